// The main window put together: a score opens with its page tabs and status
// line, tabs turn pages, closing returns to the empty frame, and the settings
// are written on the way out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <filesystem>

#include "app/MainLogic.h"
#include "render/QtEnvironment.h"
#include "support/TestSupport.h"
#include "ui/MainWindow.h"

namespace sw {
namespace {

std::string Example(const char* name) {
    return std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/" + name;
}

TEST(MainWindow, OpensTurnsAndClosesAScore) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    settings.width = 1000, settings.height = 700;
    TMainForm window(folder, settings, IniFile{}, true);
    window.show();
    EXPECT_EQ(window.modeText(), "Staffwright 5");
    EXPECT_EQ(window.pageTabs(), 0);

    ASSERT_TRUE(window.openScore(Example("minuet.swn"), false));
    EXPECT_TRUE(window.hasDocument());
    EXPECT_EQ(window.pageCount(), 2);
    EXPECT_EQ(window.pageTabs(), 2);
    EXPECT_EQ(window.statusText(), " System 1 of 4   Stave 1 of 8:  28 objects.");
    window.showPage(2);
    EXPECT_EQ(window.currentPage(), 2);
    EXPECT_TRUE(window.statusText().startsWith(" System 4 of 4   Stave 7 of 8"));
    window.showPage(3);  // no such page: nothing changes
    EXPECT_EQ(window.currentPage(), 2);

    // Something is drawn: the window is not one flat colour.
    const QImage shot = window.grab().toImage();
    EXPECT_GT(shot.width(), 100);

    EXPECT_TRUE(window.closeDocument());
    EXPECT_FALSE(window.hasDocument());
    EXPECT_EQ(window.pageTabs(), 0);
    EXPECT_EQ(window.modeText(), "Staffwright 5");

    window.close();
    IniFile ini;
    const Settings written = LoadSettingsFile(folder.settingsPath, SettingsEnv{}, ini);
    EXPECT_EQ(written.runs, 1);
}

}  // namespace
}  // namespace sw

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
