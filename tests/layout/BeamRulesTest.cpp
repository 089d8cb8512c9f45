// Beam links: the beam-to-previous candidate, unbeaming and flat beams on
// cyclic and cut chains, the cross-stave gap, tremolo beams, the selection
// tools' conditions and the tuplet names.
#include <gtest/gtest.h>

#include "layout/BeamRules.h"
#include "layout/NoteGeometry.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"

namespace sw {
namespace {

constexpr int kUp = 0, kDown = 1;
constexpr int kCrotchet = 3, kQuaver = 4, kSemiquaver = 5;

class BeamRules : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int k = 0; k < 3; ++k)
            AppendStave(score, 100 + 100 * k, 0, 800);
    }
    int Note(int32_t x, int pitch, int value = kQuaver, int stem = kUp, int s = 1) {
        PlaceNote(score, s, x, pitch, value, stem);
        return score.stave(s).h.Nobjec;
    }
    NoteData& N(int i, int s = 1) { return score.object(s, i).note(); }
    Score score;
};

TEST_F(BeamRules, BeamToPreviousTakesTheNearestNoteThatStillShowsItsFlag) {
    const int far = Note(100, -1);
    const int small = Note(150, -1);
    N(small).headSize = 1;          // nearer, but another head size
    Note(160, -1, kQuaver, kDown);  // another stem
    const int ends = Note(165, -1);
    N(ends).beamOnTo = 1;                                  // already beams on
    const int top = Note(170, -1), inner = Note(170, -3);  // a chord: the top shows the flag
    Note(175, -1, kCrotchet);                              // too long
    const int target = Note(200, -1);
    LayOutStaveGeometry(score, 1);
    EXPECT_EQ(PreviousBeamCandidate(score, 1, target), top);
    EXPECT_NE(inner, top);

    // Without the chord, the small head is never chosen: the far note is.
    N(top).stem = N(inner).stem = kDown;
    InvalidateNotesAt(score, 1, 170);
    LayOutStaveGeometry(score, 1);
    EXPECT_EQ(PreviousBeamCandidate(score, 1, target), far);

    // Nothing left of the first note; a note already beamed back has no candidate.
    EXPECT_FALSE(PreviousBeamCandidate(score, 1, far));
    N(target).beamBackTo = static_cast<uint8_t>(far);
    EXPECT_FALSE(PreviousBeamCandidate(score, 1, target));
}

TEST_F(BeamRules, UnbeamClearsBothEndsOnlyWhenThePartnerChecksOut) {
    const int a = Note(100, 0), b = Note(120, 0);
    // No link: nothing at all changes, the flags included.
    N(b).beamBackDown = 1;
    EXPECT_FALSE(UnlinkBack(score, 1, b));
    EXPECT_EQ(N(b).beamBackDown, 1);
    N(b).beamBackDown = 0;

    LinkBeam(score, {1, a}, {1, b});
    std::vector<NoteRef> touched;
    EXPECT_TRUE(UnlinkBack(score, 1, b, &touched));
    EXPECT_EQ(N(a).beamOnTo, 0);
    EXPECT_EQ(N(b).beamBackTo, 0);
    EXPECT_EQ(touched.size(), 2u);

    // Across staves, with the flags at both ends.
    const int u = Note(300, 0, kQuaver, kUp, 2);
    const int d = Note(320, 0, kQuaver, kUp, 3);
    LinkBeam(score, {2, u}, {3, d});
    ASSERT_EQ(N(d, 3).beamBackUp, 1);
    EXPECT_TRUE(UnlinkBack(score, 3, d));
    EXPECT_EQ(N(u, 2).beamOnTo, 0);
    EXPECT_EQ(N(u, 2).beamOnDown, 0);
    EXPECT_EQ(N(d, 3).beamBackUp, 0);

    // A cut chain: the link names a clef, or a stave above the first.
    PlaceObject(score, 1, kClef, 10, 100);
    const int clef = score.stave(1).h.Nobjec;
    N(b).beamBackTo = static_cast<uint8_t>(clef);
    EXPECT_TRUE(UnlinkBack(score, 1, b));
    EXPECT_EQ(N(b).beamBackTo, 0);
    EXPECT_EQ(score.object(1, clef).kind, kClef);
    N(b).beamBackTo = static_cast<uint8_t>(a);
    N(b).beamBackUp = 1;
    EXPECT_TRUE(UnlinkBack(score, 1, b));
    EXPECT_EQ(N(b).beamBackUp, 0);
}

TEST_F(BeamRules, FlatBeamReachesTheWholeChainAndEndsOnDamage) {
    const int a = Note(100, 0), b = Note(120, 0), c = Note(140, 0);
    LinkBeam(score, {1, a}, {1, b});
    LinkBeam(score, {1, b}, {1, c});
    EXPECT_EQ(FlatBeamGroup(score, 1, b).size(), 3u);
    // Cyclic: c links on to a.
    N(c).beamOnTo = static_cast<uint8_t>(a);
    N(a).beamBackTo = static_cast<uint8_t>(c);
    EXPECT_EQ(FlatBeamGroup(score, 1, b).size(), 3u);
    // Cut: a points back past the stave's last slot and above stave 1.
    N(a).beamBackTo = 200;
    N(c).beamOnTo = 0;
    EXPECT_EQ(FlatBeamGroup(score, 1, c).size(), 3u);
    N(a).beamBackTo = 1;
    N(a).beamBackUp = 1;
    EXPECT_EQ(FlatBeamGroup(score, 1, a).size(), 3u);
    // Not beamed, or a crotchet: nothing.
    const int lone = Note(300, 0), crotchet = Note(320, 0, kCrotchet);
    EXPECT_TRUE(FlatBeamGroup(score, 1, lone).empty());
    N(crotchet).beamOnTo = static_cast<uint8_t>(lone);
    EXPECT_TRUE(FlatBeamGroup(score, 1, crotchet).empty());
}

TEST_F(BeamRules, AcrossStavesTheLeftNoteLinksOnWhenMoreThanTenPixelsLeft) {
    struct Row {
        int32_t ux, dx;
        bool linked, downFirst;
    } rows[] = {{200, 185, true, true},   {200, 189, true, true},  {200, 190, false, false},
                {200, 210, false, false}, {200, 211, true, false}, {200, 300, true, false}};
    for (const Row& r : rows) {
        Score sc;
        AppendStave(sc, 100, 0, 800);
        AppendStave(sc, 200, 0, 800);
        PlaceNote(sc, 1, r.ux, 0, kQuaver, kUp);
        PlaceNote(sc, 2, r.dx, 0, kQuaver, kUp);
        const std::vector<NoteRef> changed = CrossStaveBeam(sc, {1, 1}, {2, 1});
        const NoteData& u = sc.object(1, 1).note();
        const NoteData& d = sc.object(2, 1).note();
        EXPECT_EQ(!changed.empty(), r.linked) << r.dx;
        if (!r.linked) {
            EXPECT_EQ(u.beamOnTo + u.beamBackTo + d.beamOnTo + d.beamBackTo, 0) << r.dx;
        } else if (r.downFirst) {
            EXPECT_TRUE(d.beamOnTo == 1 && d.beamOnUp && u.beamBackTo == 1 && u.beamBackDown);
        } else {
            EXPECT_TRUE(u.beamOnTo == 1 && u.beamOnDown && d.beamBackTo == 1 && d.beamBackUp);
        }
        // The same two again take the beam away.
        if (r.linked) {
            EXPECT_FALSE(CrossStaveBeam(sc, {2, 1}, {1, 1}).empty());
            EXPECT_EQ(u.beamOnTo + u.beamBackTo + d.beamOnTo + d.beamBackTo, 0);
            EXPECT_EQ(u.beamOnDown + u.beamBackDown + d.beamOnUp + d.beamBackUp, 0);
        }
    }
    // Staves that are not neighbours.
    const int a = Note(100, 0, kQuaver, kUp, 1), c = Note(300, 0, kQuaver, kUp, 3);
    EXPECT_TRUE(CrossStaveBeam(score, {1, a}, {3, c}).empty());
}

TEST_F(BeamRules, OnOneStaveTheFirstByIndexLinksOn) {
    const int later = Note(200, 0), earlier = Note(100, 0);
    EXPECT_FALSE(CrossStaveBeam(score, {1, earlier}, {1, later}).empty());
    EXPECT_EQ(N(later).beamOnTo, earlier);  // by index, not by x
    EXPECT_EQ(N(earlier).beamBackTo, later);
}

TEST_F(BeamRules, TremoloBeamLinksAndMarksTheSecondNote) {
    const int a = Note(100, 0, kCrotchet), b = Note(160, 0, kCrotchet);
    N(a).tremuloBars = 2;
    const int chordMate = Note(160, -2, kCrotchet);
    N(chordMate).tremuloBars = 3;
    EXPECT_EQ(TremoloBeamsPreset(score, {1, a}, {1, b}), 3);
    EXPECT_FALSE(TremoloBeam(score, {1, b}, {1, a}, 2).empty());
    EXPECT_EQ(N(a).beamOnTo, b);
    EXPECT_EQ(N(b).beamStem1, 1);
    EXPECT_EQ(N(b).tremuloBars, 2);
    EXPECT_EQ(N(a).tremuloBars, 0);
    EXPECT_EQ(N(chordMate).tremuloBars, 0);
    // None takes the beam away from crotchets.
    EXPECT_FALSE(TremoloBeam(score, {1, a}, {1, b}, 0).empty());
    EXPECT_EQ(N(a).beamOnTo, 0);
    EXPECT_EQ(N(b).beamBackTo, 0);
    EXPECT_EQ(N(b).beamStem1, 0);
}

TEST_F(BeamRules, TheSelectionToolsConditions) {
    const int q1 = Note(100, 0), q2 = Note(150, 0), c1 = Note(200, 0, kCrotchet),
              c2 = Note(250, 0, kCrotchet), s1 = Note(280, 0, kSemiquaver), rest = Note(300, 0);
    N(rest).rest = 1;
    const int q3 = Note(310, 0, kQuaver, kUp, 2), q4 = Note(105, 0, kQuaver, kUp, 2);
    LayOutStaveGeometry(score, 1);
    LayOutStaveGeometry(score, 2);
    struct Row {
        std::vector<NoteRef> sel;
        bool beam, tremolo;
    } rows[] = {
        {{{1, q1}, {1, q2}}, true, true},
        {{{1, q1}}, false, false},
        {{{1, q1}, {1, q1}}, false, false},
        {{{1, c1}, {1, c2}}, false, true},
        {{{1, q1}, {1, c1}}, false, false},
        {{{1, q2}, {1, s1}}, true, false},
        {{{1, q1}, {1, rest}}, false, false},
        {{{1, q2}, {2, q3}}, false, true},  // upper stave not joined to the next
        {{{1, q1}, {2, q4}}, false, false},
        {{{1, q1}, {3, 1}}, false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(BeamToolAllowed(score, r.sel), r.beam) << r.sel[0].i;
        EXPECT_EQ(TremoloToolAllowed(score, r.sel), r.tremolo) << r.sel[0].i;
    }
    score.stave(1).h.joinToNext = true;
    EXPECT_TRUE(BeamToolAllowed(score, {{1, q2}, {2, q3}}));
    EXPECT_FALSE(BeamToolAllowed(score, {{1, q1}, {2, q4}}));  // within 10 pixels
    LinkBeam(score, {1, q1}, {1, q2});
    EXPECT_FALSE(BeamToolAllowed(score, {{1, q1}, {1, q2}}));
    EXPECT_TRUE(TremoloToolAllowed(score, {{1, q1}, {1, q2}}));  // linked to each other
    EXPECT_FALSE(TremoloToolAllowed(score, {{1, q2}, {1, c1}}));
    // Across staves, already beamed to each other.
    LinkBeam(score, {1, q2}, {2, q3});
    EXPECT_TRUE(BeamToolAllowed(score, {{2, q3}, {1, q2}}));
    score.stave(1).h.joinToNext = false;
    EXPECT_TRUE(BeamToolAllowed(score, {{2, q3}, {1, q2}}));
}

TEST_F(BeamRules, TripletsNeedAnUnbrokenRunWorthAMultipleOfThree) {
    // Quavers at 100, 120, 140, a crotchet at 160, a quaver on stave 2.
    const int a = Note(100, 0), b = Note(120, 0), c = Note(140, 0), d = Note(160, 0, kCrotchet);
    const int rest = Note(180, 0);
    N(rest).rest = 1;
    const int other = Note(100, 0, kQuaver, kUp, 2);
    struct Row {
        std::vector<NoteRef> sel;
        bool allowed;
    } rows[] = {
        {{{1, a}, {1, b}, {1, c}}, true},              // 16 × 3
        {{{1, c}, {1, a}, {1, b}}, true},              // any order
        {{{1, a}, {1, c}}, false},                     // b lies between
        {{{1, a}, {1, b}}, false},                     // 32
        {{{1, c}, {1, d}}, true},                      // 16 + 32
        {{{1, b}, {1, c}, {1, d}, {1, rest}}, false},  // 80
        {{{1, a}, {2, other}}, false},
        {{}, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TripletsToolAllowed(score, r.sel), r.allowed) << r.sel.size();
    PlaceObject(score, 1, kClef, 10, 100);
    EXPECT_FALSE(TripletsToolAllowed(score, {{1, score.stave(1).h.Nobjec}}));
}

TEST_F(BeamRules, TupletNames) {
    EXPECT_EQ(TupletLabel(3, 2), "Triplets");
    EXPECT_EQ(TupletLabel(5, 4), "Quintuplets");
    EXPECT_EQ(TupletLabel(2, 3), "Duplets");
    EXPECT_EQ(TupletLabel(7, 8), "7 in the time of 8");
    EXPECT_EQ(TupletLabel(3, 4), "3 in the time of 4");
}

}  // namespace
}  // namespace sw
