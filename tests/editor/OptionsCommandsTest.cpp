// The options window's score tab applied to an open document: one Undo
// step, the modified flag, and the bagpipe switch only when it changed.
#include <gtest/gtest.h>

#include "editor/commands/OptionsCommands.h"
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

}  // namespace
}  // namespace sw
