// The attribute dialogs' window: every control of each dialog's form is in
// it, clicks reach the form, and the dialog wears the settings' colour.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cstdlib>

#include "core/ScriptedHost.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "model/Build.h"
#include "ui/AttributeDialog.h"

namespace sw {
namespace {

TEST(AttributeDialog, EveryControlOfEveryDialogIsInItsWindow) {
    Score score;
    const int s = AppendStave(score, 100, 20, 600);
    const std::vector<std::pair<Kind, bool>> kinds = {
        {kClef, false},  {kKeysig, false},     {kTimesig, false}, {kNote, false},
        {kNote, true},   {kAccidental, false}, {kLine, false},    {kCurve, false},
        {kOther, false}, {kText, false},       {kHairpin, false}};
    ScriptedHost host;
    for (const auto& [kind, rest] : kinds) {
        ScoreObject* o =
            kind == kNote ? PlaceNote(score, s, 100, 0, 4) : PlaceObject(score, s, kind, 100, 100);
        if (kind == kNote) o->note().rest = rest;
        std::unique_ptr<ObjectDialog> form = MakeObjectDialog({o, o}, DialogContext{});
        ASSERT_NE(form, nullptr) << KindName(kind);
        AttributeDialogWidget w(nullptr, *form, host, 0xC8FFFF, nullptr);
        EXPECT_EQ(w.windowTitle().toStdString(), form->title());
        EXPECT_EQ(w.palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xC8));
        for (std::size_t id = 0; id < form->controls().size(); ++id) {
            const FormControl& c = form->controls()[id];
            QWidget* widget = w.findChild<QWidget*>(QString("c%1").arg(id));
            ASSERT_NE(widget, nullptr) << form->title() << " " << c.caption;
            EXPECT_EQ(widget->isEnabled(), c.enabled) << c.caption;
            if (c.kind == FormControl::Radio) {
                EXPECT_EQ(widget->findChildren<QRadioButton*>().size(),
                          static_cast<qsizetype>(c.choices.size()));
            }
        }
        if (!form->tabs().empty()) {
            auto* tabs = w.findChild<QTabWidget*>("tabs");
            ASSERT_NE(tabs, nullptr);
            EXPECT_EQ(tabs->count(), 6);
            EXPECT_EQ(tabs->isTabVisible(1), !rest) << "a rest shows only Standard";
        }
        bool guideHidden = false;
        for (QPushButton* b : w.findChildren<QPushButton*>())
            if (b->text() == "Guide") guideHidden = !b->isVisible() && b->isHidden();
        EXPECT_TRUE(guideHidden);
    }
}

TEST(AttributeDialog, ClicksAndTextReachTheFormAndItsRules) {
    ScoreObject o;
    NewObjectRecord(o);
    o.kind = kTimesig;
    o.data.timesig = TimesigData{4, 4, 0, 0};
    TimeSignatureDialog form({&o});
    ScriptedHost host;
    AttributeDialogWidget w(nullptr, form, host, 0xC8FFFF, nullptr);
    w.findChild<QRadioButton*>(QString("c%1_3").arg(form.quick))->click();  // 3/8
    EXPECT_EQ(form.upperValue(), 3);
    EXPECT_EQ(form.lowerValue(), 8);
    EXPECT_EQ(w.findChild<QLineEdit*>(QString("c%1_edit").arg(form.upper))->text(), "3");
    w.findChild<QRadioButton*>(QString("c%1_1").arg(form.type))->click();  // c
    EXPECT_FALSE(w.findChild<QWidget*>(QString("c%1").arg(form.lower))->isEnabled());
    EXPECT_TRUE(w.findChild<QRadioButton*>(QString("c%1_2").arg(form.quick))->isChecked());
    EXPECT_TRUE(host.problems().empty());
}

// With SW_DIALOG_SHOTS=DIR, each tab of "Note Attributes" is saved as a
// picture there, to look at.
TEST(AttributeDialog, NoteTabsCanBePictured) {
    const char* dir = std::getenv("SW_DIALOG_SHOTS");
    if (!dir) GTEST_SKIP() << "SW_DIALOG_SHOTS not set";
    Score score;
    const int s = AppendStave(score, 100, 20, 600);
    const ScoreObject* n = PlaceNote(score, s, 100, 0, 5);
    NoteAttributesDialog form({n}, DialogContext{});
    ScriptedHost host;
    AttributeDialogWidget w(nullptr, form, host, 0xC8FFFF, nullptr);
    w.show();
    auto* tabs = w.findChild<QTabWidget*>("tabs");
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        EXPECT_TRUE(w.grab().save(QString("%1/note-tab%2.png").arg(dir).arg(t)));
    }
}

}  // namespace
}  // namespace sw
