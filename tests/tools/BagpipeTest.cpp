// Bagpipe formatting over a built two-system tune of grace notes, melody
// notes, a rest and an acciaccatura: the choices one by one, "Remove", the
// bagpipe switch, and the command through the controller with one Undo, a
// cancelled dialog and a save and reopen.
#include <gtest/gtest.h>

#include <cstring>

#include "editor/BagpipeDialog.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/EditorFixture.h"
#include "tools/Bagpipe.h"

namespace sw {
namespace {

enum Slot { kClefSlot = 1, kGrace, kMelody, kRest, kAcciaccatura };

// Two systems of two staves, each: clef, grace note, melody note, rest and
// acciaccatura, every stem automatic.
Score PipeTune() {
    Score s;
    const int w = ComputePageGeometry(s).width;
    for (int k = 0; k < 2; ++k) {
        const int top = AppendStave(s, 80 + 180 * k, 20, w - 5);
        AppendStave(s, 160 + 180 * k, 20, w - 5);
        s.stave(top).h.joinToNext = true;
        for (int t : {top, top + 1}) {
            PlaceObject(s, t, kClef, 30, s.stave(t).h.Ycoord, glyph::GCLEF);
            PlaceNote(s, t, 80, 3, 4)->note().headSize = 1;
            PlaceNote(s, t, 100, -2, 3);
            NoteData& rest = PlaceNote(s, t, 130, 0, 3)->note();
            rest.rest = 1;
            rest.headSize = 1;
            PlaceNote(s, t, 160, 4, 4)->note().headSize = 5;
        }
    }
    return s;
}

bool SameObject(const ScoreObject& a, const ScoreObject& b) {
    return a.x == b.x && a.y == b.y && a.kind == b.kind && a.glyph == b.glyph &&
           std::memcmp(a.data.raw, b.data.raw, sizeof a.data.raw) == 0;
}

void ExpectNotesAsBefore(const Score& a, const Score& b) {
    for (int s = 1; s <= a.Nstaves; ++s)
        for (int i = 1; i <= a.stave(s).h.Nobjec; ++i)
            EXPECT_TRUE(SameObject(a.object(s, i), b.object(s, i))) << s << '/' << i;
}

TEST(Bagpipe, EveryChoiceFormatsGraceAndMelodyNotesAndPlaysAsPipes) {
    Score score = PipeTune();
    const Score before(score);
    FormatForPipes(score, PipeOptions{});
    EXPECT_EQ(score.temperament, pipes::kTemperament);
    EXPECT_TRUE(score.bagpipeScore);
    for (int s = 1; s <= 4; ++s) {
        const StaveBlock& b = score.stave(s);
        EXPECT_EQ(b.h.soundTranspose, 1);
        EXPECT_EQ(b.h.instrumentUp, pipes::kProgram);
        EXPECT_EQ(b.h.instrumentDown, pipes::kProgram);
        EXPECT_EQ(b.t.bagpipeMark, 2);
        EXPECT_EQ(b.obj[kGrace].note().stem, 0);
        EXPECT_EQ(b.obj[kGrace].note().noteValue, pipes::kGraceValue);
        EXPECT_EQ(b.obj[kGrace].glyph, NoteGlyph(b.obj[kGrace].note()));
        EXPECT_EQ(b.obj[kGrace].note().validated, 0);
        EXPECT_EQ(b.obj[kMelody].note().stem, 1);
        EXPECT_EQ(b.obj[kMelody].note().noteValue, 3);
        for (int i : {kClefSlot, kRest, kAcciaccatura})
            EXPECT_TRUE(SameObject(b.obj[i], before.stave(s).obj[i])) << s << '/' << i;
    }
}

TEST(Bagpipe, UntickedChoicesLeaveTheirAttributesAsTheyWere) {
    Score score = PipeTune();
    score.stave(2).h.soundTranspose = -3;
    score.stave(3).h.instrumentUp = 41;
    score.setBagpipe(true);
    const Score before(score);
    PipeOptions only;
    only.clear();
    only.bagpipeTemperament = true;
    FormatForPipes(score, only);
    EXPECT_EQ(score.temperament, pipes::kTemperament);
    EXPECT_TRUE(score.bagpipeScore);
    ExpectNotesAsBefore(score, before);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(score.stave(s).h.soundTranspose, before.stave(s).h.soundTranspose);
        EXPECT_EQ(score.stave(s).h.instrumentUp, before.stave(s).h.instrumentUp);
        EXPECT_EQ(score.stave(s).t.bagpipeMark, 2);
    }
    // The grace-note choices alone: stems up, the value kept.
    only.clear();
    only.graceStemsUp = true;
    FormatForPipes(score, only);
    EXPECT_EQ(score.stave(1).obj[kGrace].note().stem, 0);
    EXPECT_EQ(score.stave(1).obj[kGrace].note().noteValue, 4);
    EXPECT_EQ(score.stave(1).obj[kMelody].note().stem, before.stave(1).obj[kMelody].note().stem);
}

TEST(Bagpipe, RemoveThenOkTakesPlaybackBackWithoutTouchingANote) {
    Score score = PipeTune();
    FormatForPipes(score, PipeOptions{});
    const Score formatted(score);
    PipesDialogModel model;
    model.remove();
    ASSERT_TRUE(model.options.none());
    FormatForPipes(score, model.options);
    EXPECT_EQ(score.temperament, 0);
    EXPECT_FALSE(score.bagpipeScore);
    ExpectNotesAsBefore(score, formatted);
    for (int s = 1; s <= 4; ++s) {
        const StaveHeader& h = score.stave(s).h;
        EXPECT_EQ(h.soundTranspose, 0);
        EXPECT_EQ(h.instrumentUp + h.instrumentDown, 0);
        EXPECT_EQ(score.stave(s).t.bagpipeMark, 0);
    }
}

TEST(Bagpipe, SwitchSetsTheSemitoneOnAndKeepsTranspositionsOff) {
    Score score = PipeTune();
    SetBagpipeScore(score, true);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(score.stave(s).h.soundTranspose * 10 + score.stave(s).t.bagpipeMark, 12);
    score.stave(3).h.soundTranspose = -2;
    SetBagpipeScore(score, false);
    EXPECT_FALSE(score.bagpipeScore);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(score.stave(s).h.soundTranspose, s == 3 ? -2 : 1);
        EXPECT_EQ(score.stave(s).t.bagpipeMark, 0);
    }
    EXPECT_EQ(score.temperament, 0);
    EXPECT_EQ(score.stave(1).h.instrumentUp, 0);
}

class PipesCommand : public test::EditorFixture {
  protected:
    void SetUp() override {
        Score s = PipeTune();
        OpenScore(s, 3, "tune.swn");
    }
    std::string Bytes() const { return EncodeScore(score, 0, score.Nstaves, false, 0, 96); }
};

TEST_F(PipesCommand, OneUndoGivesEveryStaveBackAndScoreValuesStay) {
    const std::string before = Bytes();
    const Score opened(score);
    bool shown = false;
    dialogs.onPipes = [&](PipesDialogModel& m) {
        shown = true;
        for (std::size_t k = 0; k < m.kChoices.size(); ++k)
            EXPECT_TRUE(m.choice(k)) << m.kChoices[k];
        return true;
    };
    d->run(Action::FormatForPipes);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(d->modified());
    EXPECT_EQ(score.stave(4).obj[kMelody].note().stem, 1);
    EXPECT_NE(score.stave(4).obj[kGrace].note().validated, 0) << "laid out again";
    d->run(Action::Undo);
    EXPECT_EQ(score.temperament, pipes::kTemperament);
    EXPECT_TRUE(score.bagpipeScore);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(score.stave(s).h.soundTranspose, 0);
        EXPECT_EQ(score.stave(s).h.instrumentUp, 0);
    }
    ExpectNotesAsBefore(score, opened);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_NE(Bytes(), before);  // only through the temperament and the flag
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PipesCommand, CancelChangesNothing) {
    const std::string before = Bytes();
    dialogs.onPipes = [](PipesDialogModel&) { return false; };
    d->run(Action::FormatForPipes);
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(PipesCommand, AFormattedScoreReopensWithItsImpliedKeyAndTranspositions) {
    dialogs.onPipes = [](PipesDialogModel&) { return true; };
    d->run(Action::FormatForPipes);
    score.stave(2).h.soundTranspose = 3;  // set by the user afterwards
    const std::string path = dir.file("formatted.swn");
    ASSERT_EQ(SaveScore(score, path, 0, score.Nstaves, false, false, host), SaveResult::Saved);
    Score reopened;
    ASSERT_TRUE(LoadScore(reopened, path, false, host).ok);
    EXPECT_TRUE(reopened.bagpipeScore);
    EXPECT_EQ(reopened.temperament, pipes::kTemperament);
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(reopened.stave(s).t.bagpipeMark, 2) << s;
        EXPECT_EQ(reopened.stave(s).h.soundTranspose, s == 2 ? 3 : 1) << s;
        EXPECT_EQ(reopened.stave(s).h.instrumentDown, pipes::kProgram) << s;
    }
}

}  // namespace
}  // namespace sw
