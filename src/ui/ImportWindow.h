// "SW Scan" (TImportform): the scan window's widgets over ImportController.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "app/Settings.h"
#include "core/Host.h"
#include "scan/ImportController.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QGroupBox;
class QScrollArea;

namespace sw {

class EngineProcess;
class SaneScanner;
class ScanPicture;
class QtTextMeasurer;

class TImportform : public QDialog {
    Q_OBJECT

  public:
    TImportform(QWidget* parent, const ImportConfig& config, Host& host);
    ~TImportform() override;
    ImportController& controller() { return *controller_; }
    // After the window closed with Exit & Return: the score to open.
    std::optional<std::string> result() const { return result_; }
    // Shows the controller's state in the widgets.
    void refresh();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The BMP file box in the picture folder, for opening or saving.
    FileDialogSpec bitmapDialog(const char* title) const;
    void openBitmap();
    void saveBitmap();
    void printBitmap();
    void selectSource();
    void acquire();
    void interpret();
    void engineTick();
    void exitAndReturn();

    Host& host_;
    std::unique_ptr<QtTextMeasurer> measurer_;
    std::unique_ptr<SaneScanner> scanner_;
    std::unique_ptr<EngineProcess> engine_;
    std::unique_ptr<ImportController> controller_;
    ScanPicture* picture_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QPushButton *rotateLeft_, *rotateRight_, *define_, *crop_, *abandon_, *interpret_, *abort_,
        *exit_, *save_;
    QCheckBox *scaled_, *words_, *curves_, *oldSymbols_, *grace_, *thin_, *symmetric_, *accents_;
    QLineEdit* dpi_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* engineLabel_ = nullptr;
    QGroupBox* summary_ = nullptr;
    std::vector<QLineEdit*> counts_;
    QTimer tick_;
    std::optional<std::string> result_;
};

// Runs the scan window over the main window; the score to open, if any.
// `pictureFolder` receives the folder of the last picture, which the
// application keeps.
std::optional<std::string> RunImportWindow(QWidget* parent, const ImportConfig& config, Host& host,
                                           std::string& pictureFolder);

}  // namespace sw
