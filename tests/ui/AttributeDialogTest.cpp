// The attribute dialogs' window: every control of each dialog's form is in
// it, clicks reach the form, and the dialog wears the settings' colour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>

#include "core/ScriptedHost.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/ObjectShapes.h"
#include "render/Surface.h"
#include "ui/AttributeDialog.h"
#include "ui/PaletteDialogs.h"

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
    // The forms opened other ways: the legs alone, the type chooser, the radio list.
    const ScoreObject* line = PlaceObject(score, s, kLine, 100, 100);
    std::vector<std::unique_ptr<AttributeForm>> others;
    others.push_back(std::make_unique<LineDialog>(std::vector{line}, true));
    others.push_back(std::make_unique<ObjectTypeSelection>(std::vector<int>{kNote, kLine}));
    others.push_back(
        std::make_unique<RadioListChooser>("Pick", " Items ", std::vector<std::string>{"a", "b"}));
    for (const auto& form : others) {
        AttributeDialogWidget w(nullptr, *form, host, 0xC8FFFF, nullptr);
        for (std::size_t id = 0; id < form->controls().size(); ++id)
            EXPECT_NE(w.findChild<QWidget*>(QString("c%1").arg(id)), nullptr)
                << form->title() << " " << form->controls()[id].caption;
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

TEST(AttributeDialog, MnemonicsWorkAndEnterInTheMemoIsOk) {
    Score score;
    const int s = AppendStave(score, 100, 20, 600);
    ScriptedHost host;
    {
        const ScoreObject* n = PlaceNote(score, s, 100, 0, 4);
        NoteAttributesDialog form({n}, DialogContext{});
        AttributeDialogWidget w(nullptr, form, host, 0xC8FFFF, nullptr);
        auto* label = w.findChild<QLabel*>(QString("c%1").arg(form.modLabel));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), "No &Modification");
        EXPECT_EQ(label->buddy(), w.findChild<QLineEdit*>(QString("c%1_edit").arg(form.ratio)))
            << "the \"&\" is a mnemonic, not a letter to show";
    }
    {
        const int t = PlaceText(score, s, kText, 100, 80, 1, "Allegro");
        TextAttributesDialog form({&score.object(s, t)}, DialogContext{});
        AttributeDialogWidget w(nullptr, form, host, 0xC8FFFF, nullptr);
        auto* memo = w.findChild<QPlainTextEdit*>(QString("c%1").arg(form.text));
        ASSERT_NE(memo, nullptr);
        memo->moveCursor(QTextCursor::End);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(memo, &enter);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(memo->toPlainText(), "Allegro") << "no new line";
    }
    {
        RadioListChooser list("Pick", " Items ", {"one", "two"});
        AttributeDialogWidget w(nullptr, list, host, 0xC8FFFF, nullptr);
        w.findChild<QRadioButton*>("c0_1")->click();
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(list.result(), 1001);
    }
    EXPECT_TRUE(host.problems().empty());
}

TEST(AttributeDialog, LinePreviewDrawsTheChosenLineOrAGreyArea) {
    Score score;
    const int s = AppendStave(score, 100, 20, 600);
    ScoreObject* a = PlaceObject(score, s, kLine, 100, 100);
    a->data.line.dx = 80;
    a->data.line.thickness = 3;
    ScoreObject* b = PlaceObject(score, s, kLine, 200, 100);
    b->data.line.dx = 40;
    b->data.line.thickness = 0;
    LineDialog form({a, b}, false);
    ScriptedHost host;
    RecordingSurface out;
    constexpr int kW = 180, kH = 60;
    // The thicknesses differ: "No change" has nothing to show.
    DrawLinePreview(out, form.sample(), kW, kH);
    ASSERT_EQ(out.calls().size(), 1u);
    EXPECT_EQ(out.calls()[0].what, "rect");
    EXPECT_EQ(out.calls()[0].code, static_cast<int>(kPreviewNoSample));
    form.press(form.legs.second, host);  // 2nd time bar: thickness 1, solid, a leg at the start
    out.clear();
    DrawLinePreview(out, form.sample(), kW, kH);
    EXPECT_EQ(out.of("rect").at(0).code, static_cast<int>(kPreviewPaper));
    const std::vector<RecordingSurface::Call> lines = out.of("line");
    ASSERT_EQ(lines.size(), 2u);
    const double y = kH / 2;
    EXPECT_EQ(std::tuple(lines[0].x1, lines[0].y1, lines[0].y2),
              std::tuple(double{kPreviewLeft}, y, y));
    EXPECT_GT(lines[0].x2, lines[0].x1);
    EXPECT_EQ(lines[0].width, 1);
    EXPECT_EQ(lines[0].style, 0);
    EXPECT_EQ(std::tuple(lines[1].x1, lines[1].y1, lines[1].x2, lines[1].y2),
              std::tuple(double{kPreviewLeft}, y, double{kPreviewLeft}, y + 15))
        << "one leg, at the start, 15 down";
    // Tuplets: legs at both ends and a gap in the line.
    form.press(form.tuplets, host);
    out.clear();
    DrawLinePreview(out, form.sample(), kW, kH);
    ASSERT_EQ(out.of("line").size(), 3u);
    EXPECT_EQ(out.of("line")[0].style, 3);
    EXPECT_EQ(out.of("line")[0].q, 20);
    EXPECT_TRUE(host.problems().empty());
}

// With SW_DIALOG_SHOTS=DIR, each tab of "Note Attributes" and the line
// dialog with its preview are saved as pictures there, to look at.
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
    // The line dialog with its preview of a second-time bar.
    const ScoreObject* line = PlaceObject(score, s, kLine, 100, 100);
    LineDialog lines({line}, false);
    lines.press(lines.legs.second, host);
    GlyphStore glyphs;
    AttributeDialogWidget l(nullptr, lines, host, 0xC8FFFF, &glyphs);
    l.show();
    EXPECT_TRUE(l.grab().save(QString("%1/line.png").arg(dir)));
}

// The font box lists installed families only: a text's font this machine
// lacks must come back under its own name when the box is accepted as it
// opened, not as the family the box fell back to.
TEST(FontChooser, AFontTheMachineLacksKeepsItsNameWhenAcceptedUnchanged) {
    FontDesc font{"No Such Family Here", 14, kItalic};
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QMetaObject::invokeMethod(box, "accept");
    });
    ASSERT_TRUE(RunFontChooser(nullptr, font));
    EXPECT_EQ(font.name, "No Such Family Here");
    EXPECT_EQ(font.size, 14);
    EXPECT_EQ(font.style, kItalic);
}

}  // namespace
}  // namespace sw
