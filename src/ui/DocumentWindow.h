// TMDIChild: the document window inside the main window. A thin adapter:
// it shows the page picture, the tool bars, actions and guidance that the
// document controller computes, and passes commands and keys to it.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <map>
#include <memory>
#include <string>

#include "editor/DocumentController.h"
#include "editor/Undo.h"
#include "model/Score.h"
#include "render/ObjectDrawing.h"
#include "render/PageView.h"
#include "render/Preview.h"
#include "render/Text.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFontComboBox;
class QSpinBox;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;
class QWidgetAction;
class QToolButton;

namespace sw {

class GlyphStore;
class Host;
class RulerBar;

class TMDIChild : public QMainWindow, private PageViewPort {
    Q_OBJECT

  public:
    TMDIChild(const EditorSettings& settings, const GlyphStore& glyphs, Host& host,
              WarningBox& warnings, DocumentServices& services, DocumentDialogs& dialogs,
              QWidget* parent = nullptr);
    ~TMDIChild() override;

    bool start(DocumentController::Start how, const std::string& path, const std::string& name,
               bool recovering);
    DocumentController& controller() { return *controller_; }
    Score& score() { return score_; }
    int pages() const { return pages_; }
    int currentPage() const { return controller_->page(); }
    // The menu action of each command.
    QAction* action(Action id);
    void showPage(int page) override;
    // The menus that take the main window's File menu's place.
    const std::vector<QMenu*>& menus() const { return menus_; }
    // Applies the controller's state to the window.
    void applyUi();
    // Counts the pages again after a change of the page or the staves.
    void relayout();
    void setUserLevel(int level);
    // The tool bars' groups shown again by the Toolbar bits.
    void fillToolBars();
    // The editor's colours, from the settings.
    void setColours(const Colours& colours);

  signals:
    void pagesChanged(int count);
    // A status line of the window's own (the preview's prompt); empty to end it.
    void statusOverride(const QString& text);
    void pageShown(int page);
    void closeRequested();
    void exitRequested();
    // Commands that need the main window's folders and template list.
    void savePartRequested();
    void saveAsTemplateRequested();

  private:
    // The screen as the controller sees it.
    bool setUpPicture() override;
    // The page picture for `page`, or a blank stand-in (false) when it cannot
    // be made; the user is told unless this size was refused before and
    // `tellAgain` is off.
    bool makePicture(int page, bool tellAgain);
    void redrawPage() override;
    void overlayChanged() override;
    void exportBox(const PixelBox& box, bool clipboard) override;
    void printToPdf(const PdfPrintRequest& request) override;
    void showStaveCursor(bool shown) override;
    void movePointerTo(int32_t x, int32_t y) override;
    bool enterHeaderFooter(bool header) override;
    void leaveHeaderFooter() override;
    void openPreview() override;
    void closePreview() override;

    void buildActions();
    void buildToolBars();
    void print();
    void layoutChanged() override;
    void showPicture();
    // The object shown in the "Edit" colour; a key that changed it repaints.
    std::pair<int, int> highlighted() const;
    void afterKey(int stave, int object);
    void makeVisible(int32_t x, int32_t y) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void buildPreviewBar();
    void renderPreview();
    void syncTools();
    // The rulers: what each shows now, showing or hiding them (kept in the
    // settings), and their right-click menu.
    RulerView rulerView(bool top) const;
    void updateRulers();
    void setRulersShown(bool shown);
    void rulerMenu(QPoint at);
    void textFontFromBoxes();

    Score score_;
    UndoRing undo_;
    const GlyphStore& glyphs_;
    Host& host_;
    WarningBox& warnings_;
    DocumentServices& services_;
    DocumentDialogs& dialogs_;
    QtTextMeasurer measurer_;
    std::unique_ptr<DocumentController> controller_;
    DrawSettings draw_;
    QImage picture_;
    QSize refused_;  // the size of the page picture last refused
    int pages_ = 0;
    QPoint dragStart_, dragScroll_;
    QRect bandRect_;     // the header or footer band in the header/footer view
    int bandShift_ = 0;  // the band's y less the texts' own
    bool bandHeader_ = false;
    QImage spare_;  // the page the header/footer view washes out
    bool previewing_ = false;
    QTimer novice_;

    QScrollArea* scroll_ = nullptr;
    RulerBar* topRuler_ = nullptr;
    RulerBar* leftRuler_ = nullptr;
    QWidget* rulerCorner_ = nullptr;
    bool rulersShown_ = false;
    bool rulerCentimetres_ = false;  // the units are the window's own
    QPoint track_{-1, -1};           // the mouse over the picture, for the tracking lines
    QLabel* pageLabel_ = nullptr;
    QLabel* guidance_ = nullptr;
    QLabel* emptyBarLabel_ = nullptr;
    QLabel* selectingLabel_ = nullptr;  // LabNobjects
    // The attachments button; while its right button is held each bar is
    // labelled with the share of it under ink.
    QToolButton* strings_ = nullptr;
    QWidgetAction* stringsAction_ = nullptr;
    QWidgetAction* fontAction_ = nullptr;
    QWidgetAction* sizeAction_ = nullptr;
    bool occupancyShown_ = false;
    std::array<QAction*, kActionCount> actionsById_{};
    std::map<ToolBarId, QToolBar*> toolbars_;
    std::vector<QMenu*> menus_;
    QFontComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QSpinBox* dotSpacing_ = nullptr;
    bool syncing_ = false;
    QToolBar* previewBar_ = nullptr;
    QAction* previewPrev_ = nullptr;
    QAction* previewNext_ = nullptr;
    QLabel* previewLabel_ = nullptr;
    PreviewOptions previewOptions_;
    std::unique_ptr<PreviewNavigator> navigator_;
};

}  // namespace sw
