// The random tune generator with scripted draws: the objects it writes, the
// pitches from given weights and masks, the cut on a short stave, and the
// Shift+Ctrl+M key through the controller (refused on a stave that holds
// anything, Abort, one Undo).
#include <gtest/gtest.h>

#include <deque>

#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/EditorFixture.h"
#include "tools/RandomTune.h"

namespace sw {
namespace {

// Hands out the queued draws in order; a draw out of its range or past the
// queue fails the test.
class ScriptedRandom : public RandomSource {
  public:
    explicit ScriptedRandom(std::deque<int> draws) : draws_(std::move(draws)) {}
    int uniform(int lo, int hi) override {
        if (draws_.empty()) {
            ADD_FAILURE() << "a draw more than scripted";
            return lo;
        }
        const int v = draws_.front();
        draws_.pop_front();
        EXPECT_TRUE(v >= lo && v <= hi) << v << " outside " << lo << ".." << hi;
        return v;
    }
    bool done() const { return draws_.empty(); }

  private:
    std::deque<int> draws_;
};

// Masks 6..9 from the pairs (0 1) (2 3) (4 5) (6 7), then the weights.
std::deque<int> Draws(std::initializer_list<int> weights) {
    std::deque<int> d = {0, 1, 2, 3, 4, 5, 6, 7};
    d.insert(d.end(), weights);
    return d;
}

Score EmptyStaves(int32_t right = 0) {
    Score s;
    const int w = ComputePageGeometry(s).width;
    AppendStave(s, 80, 20, right ? right : w - 5);
    AppendStave(s, 180, 20, w - 5);
    return s;
}

TEST(RandomTune, FiveSimpleNotesOnATrebleStave) {
    Score score = EmptyStaves();
    ScriptedRandom random(Draws({0, 0, 0, 0}));
    TuneOptions o;
    o.length = 5;
    o.complexity = TuneComplexity::Simple;
    ASSERT_EQ(RandomTune(score, 1, o, random), 5);
    EXPECT_TRUE(random.done());
    const StaveBlock& b = score.stave(1);
    const int32_t left = b.h.LeftX;
    ASSERT_EQ(b.h.Nobjec, 7);
    EXPECT_EQ(b.obj[1].kind, kClef);
    EXPECT_EQ(b.obj[1].x, left + 17);
    EXPECT_EQ(b.obj[1].data.clef.type, 0);
    EXPECT_EQ(b.obj[2].kind, kKeysig);
    EXPECT_EQ(b.obj[2].x, left + 34);
    EXPECT_EQ(b.obj[2].data.keysig.key, 0);
    for (int n = 0; n < 5; ++n) {
        const ScoreObject& o = b.obj[3 + n];
        ASSERT_EQ(o.kind, kNote);
        EXPECT_EQ(o.x, left + 60 + 20 * n);
        EXPECT_EQ(o.note().noteValue, 4);
        EXPECT_EQ(o.note().stem, 0);
        EXPECT_EQ(o.note().pitch, -6);
        EXPECT_EQ(o.y, b.h.Ycoord + 24);
        EXPECT_EQ(o.note().beamBackTo, n % 4 == 0 ? 0 : 2 + n) << n;
        EXPECT_EQ(o.note().beamOnTo, n < 3 ? 4 + n : 0) << n;
    }
}

TEST(RandomTune, PitchesAreTheBaseAndTheWeightsOfTheMasksHoldingEachNote) {
    Score score = EmptyStaves();
    TuneOptions o;
    o.clef = 1;
    o.complexity = TuneComplexity::Simple;
    ScriptedRandom zero(Draws({0, 0, 0, 0}));
    RandomTune(score, 1, o, zero);
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ(score.stave(1).obj[3 + n].note().pitch, -1);
    // Mask 0 holds the odd notes: the tune alternates base and base + 1.
    o.clef = 0;
    ScriptedRandom first(Draws({1, 0, 0, 0}));
    RandomTune(score, 2, o, first);
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ(score.stave(2).obj[3 + n].note().pitch, -6 + n % 2) << n;
}

TEST(RandomTune, MasksHoldTheirNotesAndCombineTheDrawnPairs) {
    ScriptedRandom random({0, 1, 2, 3, 4, 5, 6, 8});
    const TuneMasks m = DrawTuneMasks(random);
    for (int k = 0; k <= 4; ++k)
        for (int n = 0; n < 32; ++n)
            EXPECT_EQ((m[k] >> (31 - n)) & 1, uint64_t((n >> k) & 1)) << k << ' ' << n;
    EXPECT_EQ(m[5], 0u);
    EXPECT_EQ(m[6], m[0] & m[1]);
    EXPECT_EQ(m[7], m[2] | m[3]);
    EXPECT_EQ(m[8], m[4]);  // with the empty mask 5
    EXPECT_EQ(m[9], m[6] | m[8]);
    EXPECT_EQ(m[9] >> 32, 0u);
    // Hyper: note 1 lies in mask 0 alone, note 3 in masks 0, 1, 6 and 9.
    const int w[10] = {1, 2, 0, 0, 0, 0, 10, 100, 0, 1000};
    EXPECT_EQ(TunePitch(m, w, 9, 0, -6), -6);
    EXPECT_EQ(TunePitch(m, w, 9, 1, -6), -6 + 1);
    EXPECT_EQ(TunePitch(m, w, 9, 3, -6), -6 + 1 + 2 + 10 + 1000);
    EXPECT_EQ(TunePitch(m, w, 9, 35, -6), TunePitch(m, w, 9, 3, -6));
    EXPECT_EQ(TuneTerms(TuneComplexity::Hyper), 9);
}

TEST(RandomTune, AShortStaveTakesOnlyTheNotesThatFitAndClosesTheLastGroup) {
    Score score = EmptyStaves(0);
    score.stave(1).h.RightX = score.stave(1).h.LeftX + 110;  // notes at +60, +80, +100
    ScriptedRandom random(Draws({0, 0, 0, 0, 0, 0, 0, 0}));
    TuneOptions o;
    ASSERT_EQ(RandomTune(score, 1, o, random), 3);
    const StaveBlock& b = score.stave(1);
    EXPECT_EQ(b.h.Nobjec, 5);
    EXPECT_EQ(b.obj[4].note().beamOnTo, 5);
    EXPECT_EQ(b.obj[5].note().beamBackTo, 4);
    EXPECT_EQ(b.obj[5].note().beamOnTo, 0);
    score.stave(2).h.RightX = score.stave(2).h.LeftX + 59;
    ScriptedRandom none(Draws({0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(RandomTune(score, 2, o, none), 0);
    EXPECT_EQ(score.stave(2).h.Nobjec, 0);
}

class RandomTuneKey : public test::EditorFixture {
  protected:
    void SetUp() override {
        Score s = EmptyStaves();
        PlaceObject(s, 2, kClef, 40, s.stave(2).h.Ycoord, glyph::GCLEF);
        OpenScore(s, 3, "empty.swn");
        d->setRandomSource(random);
    }
    ScriptedRandom random{Draws({2, -2, 3, 1, 0, 0, 0, 0})};
};

TEST_F(RandomTuneKey, OkFillsTheEmptyStaveAndOneUndoEmptiesIt) {
    dialogs.onRandomTune = [](RandomTuneDialogModel& m) {
        EXPECT_EQ(m.options.length, 32);
        EXPECT_EQ(m.options.complexity, TuneComplexity::Complex);
        m.options.length = 6;
        return true;
    };
    d->key("Shift+Ctrl+M");
    ASSERT_EQ(score.stave(1).h.Nobjec, 8);
    EXPECT_TRUE(d->modified());
    EXPECT_EQ(score.stave(1).obj[4].note().pitch, -6 + 2);  // note 1: mask 0 only
    EXPECT_NE(score.stave(1).obj[4].note().validated, 0) << "laid out";
    d->run(Action::Undo);
    EXPECT_EQ(score.stave(1).h.Nobjec, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(RandomTuneKey, AStaveHoldingAClefOrAnAbortChangesNothing) {
    int shown = 0;
    dialogs.onRandomTune = [&](RandomTuneDialogModel&) { return ++shown, false; };
    d->setCurrentStave(2);
    d->key("Shift+Ctrl+M");
    EXPECT_EQ(shown, 0);
    d->setCurrentStave(1);
    d->key("Shift+Ctrl+M");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(score.stave(1).h.Nobjec, 0);
    EXPECT_EQ(score.stave(2).h.Nobjec, 1);
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(undo.canUndo());
}

}  // namespace
}  // namespace sw
