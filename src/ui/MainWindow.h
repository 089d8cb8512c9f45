// TMainForm: the application's main window. It owns what outlives a
// document (settings, history, warnings, the backup timer) and shows at most
// one score, for now as its page pictures.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/MainLogic.h"
#include "core/MidiPlayer.h"
#include "core/Report.h"
#include "editor/DocumentController.h"
#include "editor/PageSetup.h"
#include "editor/PlayWindow.h"
#include "fileio/Templates.h"
#include "model/Score.h"
#include "render/GlyphStore.h"
#include "render/ObjectDrawing.h"
#include "ui/QtHost.h"

class QAction;
class QDockWidget;
class QPlainTextEdit;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QScrollArea;
class QTabBar;

namespace sw {

class TMDIChild;
class QtDocumentDialogs;
struct DesktopFacts;

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    TMainForm(const AppFolder& folder, Settings settings, IniFile ini, bool ownsBackup);
    ~TMainForm() override;

    // The steps of the first showing: the hint, backup recovery, the command line.
    void firstShown(const std::vector<std::string>& args);
    // Opens a score in the document window; false (the user told) on failure.
    bool openScore(const std::string& path, bool recovering);
    bool hasDocument() const { return child_ != nullptr; }
    TMDIChild* document() { return child_; }
    int pageCount() const;
    void showPage(int page);
    int currentPage() const;
    QString statusText() const;
    QString modeText() const;
    int pageTabs() const;
    // Closes the score; false when the user chose to keep it.
    bool closeDocument();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void rebuildHistoryMenu();
    void refreshLevel();
    void refreshState();
    void refreshBackground();
    void setPageTabs(int count);

    bool startDocument(DocumentController::Start how, const std::string& path,
                       const std::string& name, bool recovering);
    void dropChild();
    EditorSettings editorSettings() const;
    void newFile();
    void openFile(bool samples);
    void importMusicXml();
    void openHistory(int number);
    std::string recognitionEngine() const;
    void importScan();
    // "&Configure": the options window on the document's values, or on the
    // settings alone without one; after OK the window takes the new values.
    void showOptions();
    void applyOptions(const OptionsOutcome& outcome);
    OptionsPlatform optionsPlatform();
    QtDocumentDialogs& dialogs();
    void defaultPageSetup();
    void defaultStaveSize();
    void editFavourites();
    void savePartOfScore();
    void saveAsTemplate();
    void backupTimerFired();
    void armBackupTimer(int ms);
    void showNotationGuide();
    void toggleTutorial();
    void closeTutorial();
    void showTip();
    void about();
    void writeSettings();

    AppFolder folder_;
    Settings settings_;
    IniFile ini_;
    AppState app_;
    QtHost host_;
    GlyphStore glyphs_;
    TMDIChild* child_ = nullptr;

    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* sub_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* modePanel_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* fontsMenu_ = nullptr;
    QAction* historyStart_ = nullptr;
    QAction* historyEnd_ = nullptr;
    QAction* closeAction_ = nullptr;
    QAction* tutorialAction_ = nullptr;
    QDockWidget* tutorial_ = nullptr;
    QPlainTextEdit* tutorialText_ = nullptr;
    QAction* sampleAction_ = nullptr;
    std::vector<QAction*> historyActions_;
    std::vector<QAction*> levelActions_;
    QTimer backupTimer_;
    BackgroundChoice background_;
    QImage backgroundPicture_;
    QString statusOverride_;
    std::vector<TemplateEntry> templates_;
    std::unique_ptr<ReportSink> report_;
    class Services;
    std::unique_ptr<Services> services_;
    std::unique_ptr<DocumentDialogs> dialogs_;
    std::unique_ptr<DesktopFacts> facts_;
    // The one play window of the run, made on first use.
    PlayWindow* playWindow();
    std::unique_ptr<MidiPlayer> synthesiser_;
    std::unique_ptr<PlayWindow> play_;
    class PlayWindowWidget* playWidget_ = nullptr;
};

}  // namespace sw
