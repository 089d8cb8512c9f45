// The options window's score tab applied to an open document: one Undo
// step, the modified flag, and the bagpipe switch only when it changed.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/ScriptedHost.h"
#include "editor/commands/OptionsCommands.h"
#include "editor/dialogs/OptionsForm.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

class OptionsCommands : public test::EditorFixture {
  protected:
    void SetUp() override {
        Score s;
        const int w = ComputePageGeometry(s).width;
        for (int i = 0; i < 3; ++i) {
            const int t = AppendStave(s, 60 + 80 * i, 20, w - 5);
            PlaceNote(s, t, 120, 2, 3);
        }
        OpenScore(s, 3);
        program.level = 3;
    }
    // The options window's OK with its score tab set to `after`; true when
    // it left the score modified.
    bool Apply(const ScoreOptions& after) {
        services.settings = &program;
        dialogs.onOptions = [after](OptionsModel& m) {
            m.values.score = after;
            return true;
        };
        d->setModified(false);
        d->run(Action::Options);
        return d->modified();
    }
    Settings program;
};

TEST_F(OptionsCommands, NothingChangedRecordsNothing) {
    EXPECT_FALSE(Apply(ScoreOptions::Of(score)));
    EXPECT_FALSE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(OptionsCommands, ScoreValuesMarkTheScoreModified) {
    ScoreOptions o = ScoreOptions::Of(score);
    o.pulse = 5, o.spacing = 1, o.firstPage = 7, o.naturals = false;
    ASSERT_TRUE(Apply(o));
    EXPECT_TRUE(d->modified());
    EXPECT_EQ(score.Pulse, 5);
    EXPECT_EQ(score.Spacing, 1);
    EXPECT_EQ(score.Page1, 7);
    EXPECT_FALSE(score.naturalsInKeyChange);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(OptionsCommands, TheBagpipeSwitchRunsOnlyWhenItChangesAndUndoesAsOneStep) {
    ScoreOptions o = ScoreOptions::Of(score);
    o.bagpipe = true;
    ASSERT_TRUE(Apply(o));
    EXPECT_TRUE(score.bagpipeScore);
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(score.stave(s).h.soundTranspose, 1);
    d->run(Action::Undo);
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(score.stave(s).h.soundTranspose, 0);
    // The flag is the score's, not a stave's: it stays as set, as after
    // "Format for GHB". A transposition set by hand survives a later OK that
    // leaves the box alone.
    score.stave(2).h.soundTranspose = -3;
    o = ScoreOptions::Of(score);
    o.pulse = 6;
    ASSERT_TRUE(Apply(o));
    EXPECT_EQ(score.stave(2).h.soundTranspose, -3);

    o = ScoreOptions::Of(score);
    o.bagpipe = false;
    ASSERT_TRUE(Apply(o));
    EXPECT_FALSE(score.bagpipeScore);
    EXPECT_EQ(score.stave(2).h.soundTranspose, -3);  // off keeps transpositions
    EXPECT_EQ(score.stave(1).t.bagpipeMark, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(OptionsCommands, StaveSizeAndPageFollowTheWindowsCopies) {
    ScoreOptions o = ScoreOptions::Of(score);
    o.staveSize = 0.25;
    o.page.TopM = 1.0;
    host.expectWarning("usable paper width has changed", Answer::No);
    ASSERT_TRUE(Apply(o));
    EXPECT_DOUBLE_EQ(score.staveSize, 0.25);
    EXPECT_DOUBLE_EQ(score.page.TopM, 1.0);
    d->run(Action::Undo);
    EXPECT_DOUBLE_EQ(score.staveSize, 0.3);
    EXPECT_DOUBLE_EQ(score.page.TopM, 0.5);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(OptionsCommands, ConfigureTakesOkIntoSettingsEditorAndScoreAndCancelDiscards) {
    program.suppressed.set(5);
    services.settings = &program;
    warnings.setSuppressed(5, true);
    dialogs.onOptions = [this](OptionsModel& m) {
        m.reinstateWarnings(warnings);
        m.values.userLevel = 4;
        return false;
    };
    ASSERT_TRUE(d->run(Action::Options));
    EXPECT_EQ(program.level, 3);
    EXPECT_TRUE(program.suppressed.none());
    EXPECT_FALSE(warnings.suppressed(5));
    EXPECT_FALSE(d->modified());

    dialogs.onOptions = [](OptionsModel& m) {
        m.values.userLevel = 2;
        m.values.lineWidth = 3;
        m.values.score->spacing = 5;
        return true;
    };
    ASSERT_TRUE(d->run(Action::Options));
    EXPECT_EQ(program.level, 2);
    EXPECT_EQ(d->settings().level, 2);
    EXPECT_EQ(d->settings().lineWidth, 3);
    EXPECT_EQ(score.Spacing, 5);
    EXPECT_TRUE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

// The score information window's pages: the figures, and the fonts in the
// order RenumberFonts gives them, the score itself left alone.
TEST(OptionsForm, InformationPagesCountTheScoreAndNameItsFontsInUse) {
    Score s;
    const int t = AppendStave(s, 60, 20, 600);
    PlaceNote(s, t, 120, 2, 3);
    s.fonts[3] = FontDesc{"Arial", 14, kBold, 0, 0};
    s.fonts[9] = FontDesc{"Courier New", 10, 0, 0, 0};
    for (int f : {9, 3}) {
        ScoreObject* text = PlaceObject(s, t, kText, 200, 40);
        text->text().fontNumber = static_cast<uint8_t>(f);
    }
    const auto pages = ScoreInformationPages(s);
    auto has = [](const std::vector<std::string>& lines, const std::string& want) {
        return std::find(lines.begin(), lines.end(), want) != lines.end();
    };
    EXPECT_TRUE(has(pages[0], "Staves: 1"));
    EXPECT_TRUE(has(pages[0], "Objects: 3"));
    EXPECT_TRUE(has(pages[0], "  Text: 2"));
    ASSERT_EQ(pages[1].size(), 2u);
    EXPECT_EQ(pages[1][0], "1. Arial, 14 point bold");
    EXPECT_EQ(pages[1][1], "2. Courier New, 10 point");
    EXPECT_EQ(s.object(t, 2).text().fontNumber + s.object(t, 3).text().fontNumber, 12);
    Score renumbered(s);
    RenumberFonts(renumbered);
    EXPECT_EQ(renumbered.fonts[1].name, "Arial");
}

// Without a document the score tab's controls cannot be reached; the
// screen resolution button never can.
TEST(OptionsForm, HiddenTabAndDisabledButtons) {
    Settings settings;
    ScriptedHost host;
    WarningBox warnings;
    OptionsModel none(settings, nullptr, true);
    OptionsForm form(none, host, warnings, OptionsHelpers{});
    EXPECT_FALSE(form.tabShown(OptionsForm::kScoreTab));
    EXPECT_FALSE(form.enabled(form.find("cbGHB")));
    EXPECT_FALSE(form.enabled(form.find("bbResolution")));
    EXPECT_FALSE(form.enabled(form.find("sebackupmins"))) << "read-only program folder";
    EXPECT_FALSE(form.setValue(form.find("seScrollSpeed"), 91));
    EXPECT_TRUE(form.setValue(form.find("seScrollSpeed"), 90));
    EXPECT_EQ(none.values.scrollSpeed, 90);
    EXPECT_FALSE(form.setText(form.find("ShellTree1"), "/no/such/folder"));
    EXPECT_EQ(form.text(form.find("labSystem")), "Veltro files not found.");
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
