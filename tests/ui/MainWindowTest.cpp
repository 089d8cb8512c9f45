// The main window put together: a score opens with its page tabs and status
// line, tabs turn pages, closing returns to the empty frame, and the settings
// are written on the way out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolButton>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "app/MainLogic.h"
#include "editor/Actions.h"
#include "render/QtEnvironment.h"
#include "support/TestSupport.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"
#include "ui/RulerBar.h"

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

    // Every mode's tool bar and view, as the window shows them.
    TMDIChild& doc = *window.document();
    QStringList items;
    for (QMenu* menu : doc.menus())
        for (QAction* a : menu->actions())
            items << a->text();
    for (const char* wanted : {"&Save", "&Print...", "Copy current page to picture &file...",
                               "Copy current page to clip&board", "&Close", "E&xit Staffwright",
                               "&Next page", "Goto &page...", "Page &Layout...", "Stave &Size..."})
        EXPECT_TRUE(items.contains(wanted)) << wanted;
    using C = Action;
    for (C c : {C::LineMode, C::EnterMusic, C::CurveMode, C::EnterMusic, C::HairpinMode,
                C::EnterMusic, C::TextMode, C::EnterMusic, C::BlockMode, C::EnterMusic, C::Preview,
                C::Preview, C::ToggleEdit, C::ToggleEdit}) {
        doc.controller().run(c);
        doc.applyUi();
    }
    EXPECT_EQ(doc.controller().mode(), kModeMusic);
    EXPECT_EQ(window.modeText(), "Music Mode");
    doc.controller().run(C::Preview);
    doc.applyUi();
    EXPECT_EQ(window.modeText(), "Preview Mode");
    EXPECT_EQ(window.statusText(), "");
    doc.controller().run(C::Preview);
    // The header view of a score with a header margin.
    doc.score().page.Header = 0.5;
    doc.controller().setEditMode(kModeHead);
    doc.applyUi();
    EXPECT_EQ(doc.controller().mode(), kModeHead);
    doc.controller().run(C::HeadFoot);
    doc.applyUi();
    EXPECT_EQ(doc.controller().mode(), kModeMusic);
    EXPECT_EQ(doc.score().CurrentStave, 7);

    EXPECT_TRUE(window.closeDocument());
    EXPECT_FALSE(window.hasDocument());
    EXPECT_EQ(window.pageTabs(), 0);
    EXPECT_EQ(window.modeText(), "Staffwright 5");

    window.close();
    IniFile ini;
    const Settings written = LoadSettingsFile(folder.settingsPath, SettingsEnv{}, ini);
    EXPECT_EQ(written.runs, 1);
}

// Every command is one menu action of the window, found by its name, with the
// keys of the command table; and every named action of the window is a command.
TEST(MainWindow, EveryCommandIsOneWindowActionAndBack) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    TMainForm window(folder, settings, IniFile{}, true);
    ASSERT_TRUE(window.openScore(Example("minuet.swn"), false));
    TMDIChild& doc = *window.document();
    const QList<QAction*> all = doc.findChildren<QAction*>();
    for (const ActionInfo& info : kActions) {
        int found = 0;
        for (QAction* a : all)
            found += a->objectName() == info.name;
        EXPECT_EQ(found, 1) << info.name;
        QAction* a = doc.action(info.id);
        ASSERT_NE(a, nullptr) << info.name;
        EXPECT_EQ(a->objectName().toStdString(), info.name);
        EXPECT_EQ(a->text().toStdString(), info.caption) << info.name;
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts())
            keys << QString::fromStdString(
                NormalizeKey(k.toString(QKeySequence::PortableText).toStdString()));
        QStringList wanted;
        for (const QString& k : QString(info.keys).split(',', Qt::SkipEmptyParts))
            wanted << QString::fromStdString(NormalizeKey(k.trimmed().toStdString()));
        EXPECT_EQ(keys, wanted) << info.name;
    }
    for (QAction* a : all) {
        if (a->objectName().isEmpty()) continue;
        EXPECT_TRUE(ActionByName(a->objectName().toStdString())) << a->objectName().toStdString();
    }
    // A menu item runs its command: Next page, then Undo is offered only after a change.
    doc.action(Action::NextPage)->trigger();
    EXPECT_EQ(doc.controller().page(), 2);
    EXPECT_FALSE(doc.action(Action::Undo)->isEnabled());
    window.closeDocument();
}

// Text mode on the page: the current stave and the attachment line in
// "Strings", the text typed in "Putative", drawn over the page and gone
// with Esc. SW_SCREENSHOT names a file for the picture of the window.
TEST(MainWindow, TextModeShowsItsStaveAttachmentAndProvisionalText) {
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    settings.maximised = false;
    settings.width = 1000, settings.height = 700;
    settings.level = 3;
    TMainForm window(folder, settings, IniFile{}, true);
    window.show();
    ASSERT_TRUE(window.openScore(Example("minuet.swn"), false));
    TMDIChild& doc = *window.document();
    doc.controller().setCursorX(150);
    doc.action(Action::TextMode)->trigger();
    ASSERT_EQ(doc.controller().mode(), kModeText);
    auto* scroll = doc.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    for (QChar c : QString("Allegro \u00E0 la")) {
        const Qt::Key key = c == ' ' ? Qt::Key_Space : static_cast<Qt::Key>(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier,
                        QString(c));
        QApplication::sendEvent(scroll, &press);
    }
    ASSERT_TRUE(doc.controller().ui().overlay.text);
    EXPECT_EQ(doc.controller().ui().overlay.text->bytes, "Allegro \xE0 la");
    // Ctrl+S is the text's sharp sign now, not Save.
    EXPECT_TRUE(doc.action(Action::Save)->shortcuts().isEmpty());
    auto count = [scroll] {
        const QImage shot = qobject_cast<QLabel*>(scroll->widget())->pixmap().toImage();
        std::map<QRgb, int> n;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                ++n[shot.pixel(x, y) & 0xFFFFFF];
        return std::pair{n[0xFF00FF], n[0x808080]};
    };
    const auto [strings, putative] = count();
    EXPECT_GT(strings, 500) << "the stave's lines and the attachment line";
    EXPECT_GT(putative, 40) << "the provisional text";
    if (const char* path = std::getenv("SW_SCREENSHOT")) window.grab().save(path);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(scroll, &esc);
    doc.action(Action::EnterMusic)->trigger();
    EXPECT_EQ(doc.controller().mode(), kModeMusic);
    EXPECT_EQ(count(), std::pair(0, 0));
    EXPECT_FALSE(doc.action(Action::Save)->shortcuts().isEmpty());
    EXPECT_TRUE(window.closeDocument());
    window.close();
}

// The minuet open in a window of 1000 by 700.
class MinuetWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.maximised = false;
        settings.width = 1000, settings.height = 700;
        window = std::make_unique<TMainForm>(folder, settings, IniFile{}, true);
        window->show();
        ASSERT_TRUE(window->openScore(Example("minuet.swn"), false));
    }
    test::TempDir dir;
    const AppFolder folder = PrepareApplicationFolder(dir.path(), "", dir.file("cfg"));
    Settings settings;
    std::unique_ptr<TMainForm> window;
};

TEST_F(MinuetWindow, RulersAndRepaginateFromThePageMenu) {
    TMDIChild& doc = *window->document();
    std::map<QString, QAction*> items;
    for (QMenu* menu : doc.menus())
        for (QAction* a : menu->actions())
            items[a->text()] = a;
    ASSERT_TRUE(items.count("With &Rulers"));
    ASSERT_TRUE(items.count("Re&paginate"));
    EXPECT_EQ(items["Re&paginate"]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F5));
    EXPECT_EQ(items["Re&paginate"]->toolTip(), "Work out what staves fit on what pages");
    EXPECT_EQ(items["With &Rulers"]->shortcut(), QKeySequence(Qt::Key_F4));

    std::vector<RulerBar*> rulers;
    for (QWidget* w : doc.findChildren<QWidget*>())
        if (auto* r = dynamic_cast<RulerBar*>(w)) rulers.push_back(r);
    ASSERT_EQ(rulers.size(), 2u);
    for (RulerBar* r : rulers)
        EXPECT_FALSE(r->isVisible());  // off in these settings
    items["With &Rulers"]->trigger();
    for (RulerBar* r : rulers) {
        ASSERT_TRUE(r->isVisible());
        const QImage drawn = r->grab().toImage();
        int green = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                green += drawn.pixel(x, y) == qRgb(0, 0x80, 0);
        EXPECT_GT(green, 100);
    }
    EXPECT_TRUE(items["With &Rulers"]->isChecked());

    // Laid out again unchanged: the same pages, nothing to save.
    items["Re&paginate"]->trigger();
    EXPECT_EQ(window->pageTabs(), 2);
    EXPECT_FALSE(doc.controller().modified());
    items["With &Rulers"]->trigger();
    for (RulerBar* r : rulers)
        EXPECT_FALSE(r->isVisible());
    EXPECT_TRUE(window->closeDocument());
    window->close();
}

// Holding the right button on the attachments button labels each bar with
// its share of ink, in magenta, until the button is let go.
TEST_F(MinuetWindow, TheAttachmentsButtonLabelsTheBarsWhileHeld) {
    TMDIChild& doc = *window->document();
    auto* button = doc.findChild<QToolButton*>("tbstrings");
    ASSERT_NE(button, nullptr);
    auto magenta = [&] {
        const QImage shot = doc.grab().toImage();
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += shot.pixel(x, y) == qRgb(0xFF, 0, 0xFF);
        return n;
    };
    EXPECT_EQ(magenta(), 0);
    auto press = [&](QEvent::Type type) {
        QMouseEvent e(type, QPointF(3, 3), button->mapToGlobal(QPointF(3, 3)), Qt::RightButton,
                      type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    };
    press(QEvent::MouseButtonPress);
    EXPECT_GT(magenta(), 50);
    press(QEvent::MouseButtonRelease);
    EXPECT_EQ(magenta(), 0);
    EXPECT_TRUE(window->closeDocument());
    window->close();
}

}  // namespace
}  // namespace sw

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
