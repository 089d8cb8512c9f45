// The scan window over the main window: a printed page lying on its side
// opened, turned back, cropped around, interpreted with the gauge running,
// counted in the summary and opened in the editor on return. With
// SW_SCREENSHOTS=DIR each stage is saved there as a picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "app/MainLogic.h"
#include "app/ScanSettings.h"
#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/Printing.h"
#include "render/Text.h"
#include "support/TestSupport.h"
#include "ui/ImportWindow.h"
#include "ui/MainWindow.h"

namespace sw {
namespace {

void Shot(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("SW_SCREENSHOTS"))
        w.grab().save(QString("%1/%2.png").arg(dir, name));
}

QPushButton* ButtonNamed(QWidget& w, const QString& caption) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    ADD_FAILURE() << caption.toStdString();
    return nullptr;
}

// Page 1 of the minuet printed, lying on its side.
std::string SidewaysPage(const test::TempDir& dir) {
    Score score;
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    EXPECT_TRUE(OpenForDisplay(score, std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/minuet.swn",
                               host, measurer)
                    .load.ok);
    GlyphStore glyphs;
    const QImage page = PagePicture(glyphs, score, 1, DrawSettings{});
    const int dpi = static_cast<int>(PrintPictureGeometry(score).scale + 0.5);
    std::ofstream(dir.file("side.bmp"), std::ios::binary)
        << EncodeBmp1(RotateQuarter(MaskOf(page), false), dpi);
    return dir.file("side.bmp");
}

TEST(ImportWindow, APageTurnedBackInterpretedAndOpened) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    settings.width = 1100, settings.height = 800;
    TMainForm window(folder, settings, IniFile{}, true);
    window.resize(1100, 800);
    window.show();

    ImportConfig config = ScanConfig(settings);
    config.appDir = folder.dir;
    config.engine = FindRecognitionEngine(folder.dir, "", VELTRO_PROGRAM);
    config.scoreFolder = dir.path();
    ScriptedHost host;
    TImportform form(&window, config, host);
    form.resize(1100, 800);
    form.show();
    ImportController& c = form.controller();
    ASSERT_TRUE(c.openPicture(SidewaysPage(dir)));
    form.refresh();
    EXPECT_EQ(form.windowTitle(), "SW Scan - side.SWN");
    QPushButton* right = ButtonNamed(form, "Rotate &Right");
    ASSERT_TRUE(right && right->isVisible());
    right->click();
    Shot(form, "1-page");

    // A drag across the picture draws the overlay; abandoned, the page stays.
    ButtonNamed(form, "Define Cropping &Area")->click();
    c.cropPress(40, 30);
    c.cropRelease(300, 200);
    form.refresh();
    Shot(form, "2-overlay");
    ButtonNamed(form, "&Abandon crop")->click();
    EXPECT_EQ(c.cropState(), ImportController::CropState::Ready);

    // The DPI box keeps only whole numbers.
    auto* dpi = form.findChild<QLineEdit*>();
    dpi->setText("3OO");
    emit dpi->editingFinished();
    EXPECT_EQ(dpi->text(), "?");
    dpi->setText("0");
    emit dpi->editingFinished();
    EXPECT_EQ(dpi->text(), "?");
    dpi->setText("240");
    emit dpi->editingFinished();

    ButtonNamed(form, "Int&erpret")->click();
    ASSERT_TRUE(c.running());
    QEventLoop wait;
    QTimer poll;
    bool shot = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!shot && c.gauge().position() > 0) {
            Shot(form, "3-gauge");
            shot = true;
        }
        if (!c.running()) wait.quit();
    });
    poll.start(20);
    QTimer::singleShot(60000, &wait, &QEventLoop::quit);
    wait.exec();
    ASSERT_FALSE(c.running());
    ASSERT_TRUE(c.summaryShown());
    EXPECT_EQ(c.counts().staves, 6);
    auto* summary = form.findChild<QGroupBox*>();
    ASSERT_TRUE(summary && summary->isVisible());
    EXPECT_EQ(summary->findChild<QLineEdit*>("Staves")->text(), "6");
    Shot(form, "4-summary");

    // Narrow, the turning and cropping buttons go.
    form.resize(700, 600);
    EXPECT_FALSE(right->isVisible());
    form.resize(1100, 800);

    ButtonNamed(form, "O&K")->click();
    ButtonNamed(form, "E&xit && Return")->click();
    ASSERT_EQ(form.result(), dir.file("side.SWN"));
    ASSERT_TRUE(window.openScore(*form.result(), false));
    EXPECT_EQ(window.pageCount(), 1);
    Shot(window, "5-editor");
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
