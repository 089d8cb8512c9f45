// Stem directions: chords of long notes, single notes, beam groups decided
// once on their own stave, the two-part test and Reverse Stem.
#include <gtest/gtest.h>

#include "layout/BeamRules.h"
#include "layout/Beams.h"
#include "layout/Stems.h"
#include "model/Build.h"

namespace sw {
namespace {

constexpr int kUp = 0, kDown = 1, kNone = 2, kAuto = 3;
constexpr int kCrotchet = 3, kQuaver = 4;

class Stems : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int k = 0; k < 3; ++k)
            AppendStave(score, 100 + 100 * k, 0, 800);
    }
    int Note(int32_t x, int pitch, int value, int stem, int s = 1) {
        PlaceNote(score, s, x, pitch, value, stem);
        return score.stave(s).h.Nobjec;
    }
    NoteData& N(int i, int s = 1) { return score.object(s, i).note(); }
    void Link(int a, int b, int s = 1) { LinkBeam(score, {s, a}, {s, b}); }
    std::vector<int> Optimise(int s = 1) { return OptimiseStems(score, s, AllSlots(score, s)); }
    Score score;
};

TEST_F(Stems, ChordsOfLongNotesGoByTheirOuterNotes) {
    const int a = Note(100, 3, kCrotchet, kUp), b = Note(100, -3, kCrotchet, kUp);
    const int c = Note(200, 2, kCrotchet, kDown), d = Note(200, -3, kCrotchet, kDown);
    Optimise();
    EXPECT_EQ(N(a).stem, kDown);  // 3 + -3 = 0
    EXPECT_EQ(N(b).stem, kDown);
    EXPECT_EQ(N(c).stem, kUp);  // 2 + -3 < 0
    EXPECT_EQ(N(d).stem, kUp);
}

TEST_F(Stems, ALongChordWithNoDefiniteStemKeepsItsStems) {
    const int a = Note(100, 4, kCrotchet, kUp), b = Note(100, -1, kCrotchet, kUp);
    N(a).stem = kAuto;
    N(b).stem = kNone;
    EXPECT_TRUE(Optimise().empty());
    EXPECT_EQ(N(a).stem, kAuto);  // pass 2 leaves it alone too
    EXPECT_EQ(N(b).stem, kNone);
}

TEST_F(Stems, SingleNotesGoByTheirOwnPosition) {
    const int mid = Note(100, 0, kCrotchet, kUp), low = Note(200, -1, kCrotchet, kDown);
    // Quavers at one x without beams are not a chord: each goes its own way.
    const int q1 = Note(300, 2, kQuaver, kUp), q2 = Note(300, -3, kQuaver, kDown);
    const int rest = Note(400, 5, kCrotchet, kUp);
    N(rest).rest = 1;
    Optimise();
    EXPECT_EQ(N(mid).stem, kDown);
    EXPECT_EQ(N(low).stem, kUp);
    EXPECT_EQ(N(q1).stem, kDown);
    EXPECT_EQ(N(q2).stem, kUp);
    EXPECT_EQ(N(rest).stem, kUp);
}

TEST_F(Stems, ABeamGroupGoesByTheSumOfItsPitches) {
    const int a = Note(100, 2, kQuaver, kDown), b = Note(120, -2, kQuaver, kDown);
    Link(a, b);
    const int c = Note(200, 3, kQuaver, kUp), d = Note(220, -2, kQuaver, kUp);
    Link(c, d);
    Optimise();
    EXPECT_EQ(N(a).stem, kUp);  // balanced: up
    EXPECT_EQ(N(b).stem, kUp);
    EXPECT_EQ(N(c).stem, kDown);
    EXPECT_EQ(N(d).stem, kDown);
}

TEST_F(Stems, AThreeNoteGroupIsDecidedOnceFromItsFirstNote) {
    // The middle note comes first in the stave: starting there would sum only
    // its tail (-1 + -2) and turn the tail up under a beam going down.
    const int mid = Note(120, -1, kQuaver, kUp);
    const int first = Note(100, 4, kQuaver, kUp);
    const int last = Note(140, -2, kQuaver, kUp);
    Link(first, mid);
    Link(mid, last);
    Optimise();
    EXPECT_EQ(N(first).stem, kDown);
    EXPECT_EQ(N(mid).stem, kDown);
    EXPECT_EQ(N(last).stem, kDown);
}

TEST_F(Stems, ADamagedLoopEndsAndGetsOneDirection) {
    const int a = Note(100, 3, kQuaver, kUp), b = Note(120, 1, kQuaver, kUp);
    Link(a, b);
    Link(b, a);
    Optimise();
    EXPECT_EQ(N(a).stem, kDown);
    EXPECT_EQ(N(b).stem, kDown);
}

TEST_F(Stems, ALinkToAnotherStaveIsNotFollowed) {
    // Slot 1 links on to slot 2 of the stave below; slot 2 here is another
    // group's note, which the link must not pull in.
    const int low = Note(100, -4, kQuaver, kDown);
    const int other = Note(200, 6, kQuaver, kDown), next = Note(220, 6, kQuaver, kDown);
    Link(other, next);
    Note(50, 0, kCrotchet, kUp, 2);
    const int partner = Note(110, 5, kQuaver, kUp, 2);
    ASSERT_EQ(partner, 2);
    LinkBeam(score, {1, low}, {2, partner});
    const std::vector<int> changed = Optimise();
    EXPECT_EQ(N(low).stem, kUp);  // on its own: -4
    EXPECT_EQ(N(other).stem, kDown);
    EXPECT_EQ(N(next).stem, kDown);
    EXPECT_EQ(N(partner, 2).stem, kUp);  // the other stave is not changed
    EXPECT_EQ(changed, std::vector<int>{low});
}

TEST_F(Stems, TwoPartsAreUpAndDownOrARestAndANoteAtOneX) {
    struct Row {
        int stemA, stemB;
        bool restB;
        int32_t xB;
        bool twoParts;
    } rows[] = {
        {kUp, kDown, false, 100, true},    {kUp, kUp, false, 100, false},
        {kUp, kDown, false, 130, false},   {kDown, kDown, true, 100, true},
        {kAuto, kDown, false, 100, false},  // automatic at pitch 2 points down
    };
    for (const Row& r : rows) {
        Score sc;
        AppendStave(sc, 100, 0, 800);
        PlaceNote(sc, 1, 100, 2, kCrotchet, r.stemA);
        PlaceNote(sc, 1, r.xB, -2, kCrotchet, r.stemB)->note().rest = r.restB;
        EXPECT_EQ(HasTwoParts(sc, 1), r.twoParts) << r.stemA << r.stemB << r.restB << r.xB;
    }
}

TEST_F(Stems, ReverseStemTurnsTheNewChordIntoItsShortestValue) {
    const int c1 = Note(100, 0, kCrotchet, kDown), c2 = Note(100, -2, kCrotchet, kDown);
    const int q = Note(100, 4, kQuaver, kUp);
    const int other = Note(200, 0, kCrotchet, kDown);
    const std::vector<int> changed = ReverseStem(score, 1, q);
    EXPECT_EQ(N(q).stem, kDown);
    EXPECT_EQ(N(c1).noteValue, kQuaver);
    EXPECT_EQ(N(c2).noteValue, kQuaver);
    EXPECT_EQ(N(other).noteValue, kCrotchet);
    EXPECT_EQ(changed.size(), 3u);
    // Reversing back keeps the quavers: the shortest value wins.
    ReverseStem(score, 1, q);
    EXPECT_EQ(N(q).stem, kUp);
    EXPECT_EQ(N(c1).noteValue, kQuaver);

    const int none = Note(300, 0, kCrotchet, kNone), rest = Note(400, 0, kCrotchet, kUp);
    N(rest).rest = 1;
    EXPECT_TRUE(ReverseStem(score, 1, none).empty());
    EXPECT_TRUE(ReverseStem(score, 1, rest).empty());
    EXPECT_TRUE(ReverseStem(score, 1, 99).empty());
    EXPECT_EQ(N(rest).stem, kUp);
}

}  // namespace
}  // namespace sw
