// Scripts driven through the controller as the command line drives them:
// the grammar, questions and their answers, dialogs answered through their
// models, and the failures that name the line.
#include <gtest/gtest.h>

#include <sstream>

#include "editor/DocumentController.h"
#include "editor/UndoStorage.h"
#include "editor/script/ScriptRunner.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/NullView.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class Scripts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(controller.start(DocumentController::Start::Empty, "", "NONAME1", false));
        // Eight systems of one stave, two a page: four pages.
        for (int i = 1; i < 8; ++i)
            AppendStave(score, 54 + 300 * (i % 2), 17, 600);
        for (int s = 1; s <= 8; ++s)
            score.stave(s).h.PageNum = static_cast<uint16_t>((s + 1) / 2);
        score.pageCount = 4;
        controller.setCurrentStave(1);
    }
    ScriptResult Run(const std::string& text) {
        std::vector<std::string> lines;
        std::stringstream in(text);
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        answers.failures.clear();
        return RunScript(lines, controller, answers, score);
    }

    Score score;
    EditorSettings settings;
    ScriptAnswers answers;
    std::stringstream messages;
    ScriptHost host{answers, messages};
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    test::NullView view;
    test::FakeServices services;
    ScriptDialogs dialogs{answers, host, warnings, CapacityReader()};
    test::FixedMeasurer measurer;
    DocumentController controller{score, settings, host,    warnings, undo,
                                  view,  services, dialogs, measurer};
};

TEST_F(Scripts, KeysActionsAndNavigation) {
    ScriptResult r = Run("# pages\n\nkey Alt+PgDown\nkey alt+pagedown\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.page(), 3);
    r = Run("action acTop\nstave 4\nkey Ctrl+Right\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(score.CurrentStave, 4);
    EXPECT_EQ(controller.page(), 2);
    // A key whose command is greyed out does nothing; the same menu item fails.
    r = Run("action acEnd\nkey Alt+PgDown\n");
    ASSERT_TRUE(r.ok) << r.error;
    r = Run("action acNextpage\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "the action acNextpage is not available now");
    // The modes by name.
    r = Run("mode Line\nkey Esc\nmode text\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.mode(), kModeText);
}

TEST_F(Scripts, FailuresNameTheLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"stave 2\nfrobnicate\n", "unknown command \"frobnicate\""},
        {"key Banana\n", "\"Banana\" is no key"},
        {"action acNothing\n", "there is no action \"acNothing\""},
        {"click 10 ten\n", "\"ten\" is not a whole number"},
        {"click 10 10 Sideways\n", "unknown modifier \"Sideways\""},
        {"stave 99\n", "there is no stave 99"},
        {"page 0\n", "there is no page 0"},
        {"action acClipboard\n", "the action acClipboard needs the program's window"},
        {"answer Yes\n", "the answer \"Yes\" was never asked for"},
    };
    for (const auto& [script, error] : cases) {
        answers.queue.clear();
        const ScriptResult r = Run(script);
        EXPECT_FALSE(r.ok) << script;
        EXPECT_EQ(r.error, error) << script;
        EXPECT_EQ(r.line, std::string(script).rfind("stave 2", 0) == 0 ? 2 : 1) << script;
    }
}

TEST_F(Scripts, QuestionsTakeTheQueuedAnswers) {
    // Undo with nothing to undo: the question first, then the refusal.
    ScriptResult r = Run("action acUndo\n");
    EXPECT_EQ(r.error, "the action acUndo is not available now");  // nothing to undo yet
    score.page.Header = 0.5;
    PlaceText(score, 0, kHeadertext, 10, 10, 1, "Title");

    r = Run("answer Header=0; OK\naction acPageLayout\n");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("unanswered question: \"With no header margin"), std::string::npos);
    EXPECT_DOUBLE_EQ(score.page.Header, 0.5);  // the safe answer: nothing changed

    r = Run("answer Header=0; OK\nanswer Perhaps\naction acPageLayout\n");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("the answer \"Perhaps\" is none of the buttons"), std::string::npos);

    r = Run("answer Header=0; Top margin=1; OK\nanswer Yes\naction acPageLayout\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_DOUBLE_EQ(score.page.Header, 0);
    EXPECT_DOUBLE_EQ(score.page.TopM, 1);
    EXPECT_TRUE(controller.modified());
    EXPECT_NE(messages.str().find("message: With no header margin"), std::string::npos);

    // One Undo brings the page and the title back.
    r = Run("answer Yes\naction acUndo\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_DOUBLE_EQ(score.page.Header, 0.5);
    EXPECT_DOUBLE_EQ(score.page.TopM, 0.5);
    EXPECT_EQ(score.object(0, 1).kind, kHeadertext);
}

TEST_F(Scripts, DialogsAnsweredThroughTheirModels) {
    // A refused OK keeps the dialog open for the next answer.
    ScriptResult r = Run("answer Page width=0.5; OK\nanswer Cancel\naction acPageLayout\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_DOUBLE_EQ(score.page.Width, 8.27);
    EXPECT_FALSE(controller.modified());

    r = Run("answer &Facing pages=Perhaps; OK\naction acPageLayout\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "in the dialog \"Page Layout\": \"Perhaps\" does not fit \"&Facing pages\"");

    r = Run("answer Landscape; Facing pages=Yes; OK\nanswer No\naction acPageLayout\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(score.page.landscape);
    EXPECT_TRUE(score.page.Facing);

    // Stave size, and a control that needs a value.
    r = Run("answer Size=1/4; OK\nanswer No\naction acStaveSize\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_DOUBLE_EQ(score.staveSize, 0.25);
    r = Run("answer Size; OK\naction acStaveSize\n");
    EXPECT_EQ(r.error, "in the dialog \"Set Stave Size\": \"Size\" needs a value");
}

TEST_F(Scripts, HeaderFooterChooserAndDisabledControls) {
    score.page.Header = 0.5;
    score.page.Footer = 0.5;
    ScriptResult r = Run("answer Define Footer; OK\naction acHeadFoot\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.mode(), kModeFoot);
    r = Run("action acHeadFoot\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.mode(), kModeMusic);

    score.page.Footer = 0;  // only the header: the footer button is greyed
    r = Run("answer Define Footer; OK\naction acHeadFoot\n");
    EXPECT_EQ(r.error,
              "in the dialog \"Headers and footers\": the control \"Define Footer\" is "
              "disabled");
    answers.queue.clear();
    r = Run("answer Abort\naction acHeadFoot\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.mode(), kModeMusic);
}

TEST_F(Scripts, PalettesAnsweredByCellAndCaption) {
    // A symbol cell is its glyph's code; a ticked box keeps the mode for more.
    ScriptResult r =
        Run("answer More than one=Yes; With Hints=yes; 166\nmode Symbol\nclick 100 60\nclick 140 "
            "60\nkey Esc\n");
    ASSERT_TRUE(r.ok) << r.error;
    int trills = 0;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        trills += score.object(1, i).kind == kTrill && score.object(1, i).glyph == 166;
    EXPECT_EQ(trills, 2);
    EXPECT_EQ(controller.mode(), kModeMusic);
    r = Run("answer Abort\nmode Symbol\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.mode(), kModeMusic);

    // White erases with solid shapes only: the outlines grey out.
    r = Run("answer White (erase); Circle\naction acShape\n");
    EXPECT_EQ(r.error,
              "in the dialog \"Miscellaneous shapes\": the control \"Circle\" is disabled");
    answers.queue.clear();
    r = Run("answer white (erase); solid circle\naction acShape\nclick 200 60\nclick 210 60\n");
    ASSERT_TRUE(r.ok) << r.error;
    const ScoreObject& shape = score.object(1, score.stave(1).count());
    ASSERT_EQ(shape.kind, kDrawobject);
    EXPECT_EQ(shape.data.drawobject.whiteOut, 1);
    EXPECT_EQ(int{shape.data.drawobject.radiusOrWidth}, 10);
}

TEST_F(Scripts, TextTypedBeyondAsciiAndItsOwnControlKeys) {
    // Ctrl+S is a sharp sign in a text, not Save (which would ask for a name).
    ScriptResult r = Run("mode Text\ntype Café ñ\nkey Ctrl+S\nkey Enter\n");
    ASSERT_TRUE(r.ok) << r.error;
    std::vector<std::string> words;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        if (score.object(1, i).kind == kText) words.push_back(score.object(1, i).chunk());
    EXPECT_EQ(words, (std::vector<std::string>{"Caf\xE9", "\xF1\x1B"}));
    r = Run("mode Text\ntype 中\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(messages.str().find("cannot be kept in a score's text"), std::string::npos);
}

TEST(ScriptControls, CaptionsMatchWithoutAmpersandAndTellTwinsApart) {
    std::vector<DialogControl> controls(3);
    controls[0].caption = "&Header";
    controls[1].caption = "Foo&ter";
    controls[2].caption = "Hea&der";
    std::string why;
    EXPECT_EQ(FindControl(controls, " footer ", why), &controls[1]);
    EXPECT_EQ(FindControl(controls, "Header", why), nullptr);
    EXPECT_NE(why.find("more than one control"), std::string::npos);
    EXPECT_EQ(FindControl(controls, "hea&der", why), &controls[2]);
    EXPECT_EQ(FindControl(controls, "Gutter", why), nullptr);
    EXPECT_EQ(why, "there is no control \"Gutter\"");
    const std::vector<DialogItem> items = ParseDialogAnswer(" Dots = 2 ;Stem=Up;; OK ");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "Dots");
    EXPECT_EQ(*items[0].value, "2");
    EXPECT_FALSE(items[2].value);
}

TEST_F(Scripts, SaveWritesTheFileAndNamesTheScore) {
    test::TempDir dir;
    const std::string path = dir.file("scripted.swn");
    ScriptResult r = Run("save " + path + "\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(controller.documentName(), path);
    EXPECT_FALSE(controller.modified());
    r = Run("save " + dir.file("no/such/folder/x.swn") + "\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(controller.documentName(), path);  // a failed save keeps the name
}

}  // namespace
}  // namespace sw
