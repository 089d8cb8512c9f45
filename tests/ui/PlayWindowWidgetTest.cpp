// The "Play music" window in the main window: F2 shows it beside the score,
// "More >>" folds its options away and back in steps, and its choosers open
// over it. With SW_SCREENSHOTS=DIR the pictures are kept there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "app/MainLogic.h"
#include "support/TestSupport.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/PlayWindowWidget.h"

namespace sw {
namespace {

void Keep(QWidget* w, const char* name) {
    if (const char* dir = std::getenv("SW_SCREENSHOTS"))
        w->grab().save(QString(dir) + "/" + name + ".png");
}

// Lets the step timer finish a resize.
void Settle() {
    for (int k = 0; k < 100; ++k) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
}

// Runs `a`, whose dialog is kept and cancelled as soon as it is up.
void OpenAndCancel(DocumentController& d, Action a, const char* name, QString& title) {
    QTimer::singleShot(100, [&, name] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            Keep(dialog, name);
            dialog->close();
        }
    });
    d.run(a);
}

TEST(PlayWindowWidget, ShowsFoldsAndOpensItsChoosers) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    settings.audioDriver = "file";  // never a real sound card from a test
    TMainForm window(folder, settings, IniFile{}, true);
    window.show();
    ASSERT_TRUE(
        window.openScore(std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/minuet.swn", false));
    DocumentController& d = window.document()->controller();
    ASSERT_TRUE(d.run(Action::Play));
    auto* play = window.findChild<PlayWindowWidget*>();
    ASSERT_NE(play, nullptr);
    EXPECT_TRUE(play->isVisible());
    EXPECT_EQ(play->windowTitle(), "Play music");
    Settle();
    const int expanded = play->height();
    Keep(play, "play-expanded");
    EXPECT_EQ(play->button(Action::PlayMore)->text(), "Less &>>");

    play->button(Action::PlayMore)->click();
    Settle();
    EXPECT_LT(play->height(), expanded);
    EXPECT_EQ(play->button(Action::PlayMore)->text(), "More &>>");
    Keep(play, "play-collapsed");
    play->button(Action::PlayMore)->click();
    Settle();
    EXPECT_EQ(play->height(), expanded);

    QString title;
    OpenAndCancel(d, Action::MoreSounds, "instruments", title);
    EXPECT_EQ(title, "General Midi Instruments");
    OpenAndCancel(d, Action::Temperament, "temperament", title);
    EXPECT_EQ(title, "Temperament");

    play->button(Action::PlayClose)->click();
    EXPECT_FALSE(play->isVisible());
}

}  // namespace
}  // namespace sw
