// Head displacement, dots, stems, tails and beam relinking of chords.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "layout/Beams.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"

namespace sw {
namespace {

class NoteGeometry : public ::testing::Test {
  protected:
    void SetUp() override { s = AppendStave(score, 200, 0, 800); }
    // A note at x; returns its slot.
    int Note(int pitch, int value, int stem, int dots = 0, int32_t x = 100) {
        ScoreObject* o = PlaceNote(score, s, x, pitch, value, stem);
        o->note().dots = static_cast<uint8_t>(dots);
        return score.stave(s).h.Nobjec;
    }
    NoteData& N(int i) { return score.object(s, i).note(); }
    Score score;
    int s = 0;
};

TEST_F(NoteGeometry, DottedSecondChordDisplacesTheMiddleHeadAndStacksTheDots) {
    // C, D, E on a treble stave, top note stored first, stem up, dotted.
    int e = Note(-4, 3, 0, 1), d = Note(-5, 3, 0, 1), c = Note(-6, 3, 0, 1);
    ValidateNotesAt(score, s, 100, false);
    EXPECT_EQ(N(c).headX, 100);
    EXPECT_EQ(N(d).headX, 109);
    EXPECT_EQ(N(e).headX, 100);
    EXPECT_TRUE(N(d).displaced);
    EXPECT_EQ(N(e).dotPosition, -3);
    EXPECT_EQ(N(d).dotPosition, -5);
    EXPECT_EQ(N(c).dotPosition, -7);
    // One dot column for the chord, clear of the displaced head (+1 +W).
    EXPECT_EQ(N(c).dotX, 110);
    EXPECT_EQ(N(d).dotX, N(c).dotX);
    EXPECT_EQ(N(e).dotX, N(c).dotX);
    EXPECT_EQ(N(e).dotY, 200 + 12 + 3);  // position -3: twelve pixels below the middle line
    // E shows the tail; C is the stem root; inner stems end at E.
    EXPECT_TRUE(N(e).showTail);
    EXPECT_TRUE(N(c).stemRoot);
    EXPECT_EQ(N(c).stemEndY, 200 + 16);
    EXPECT_TRUE(N(c).validated && N(d).validated && N(e).validated);
}

TEST_F(NoteGeometry, StemLengthsShortenAwayFromTheMiddleAndReachItFromBeyond) {
    int up = Note(2, 4, 0, 0, 100);
    int held = Note(2, 4, 0, 0, 150);
    N(held).noShorten = 1;
    int low = Note(9, 3, 1, 0, 200);
    int plain = Note(-2, 3, 0, 0, 250);
    int incr = Note(-2, 3, 0, 0, 300);
    N(incr).lengthIncr = 2;
    for (int32_t x : {100, 150, 200, 250, 300})
        ValidateNotesAt(score, s, x, false);
    EXPECT_EQ(N(up).stemStartY - N(up).stemEndY, 25);  // 7 - 2/3 half spaces
    EXPECT_EQ(N(held).stemStartY - N(held).stemEndY, 28);
    EXPECT_EQ(N(low).stemEndY, 200);  // from position 9 down to the middle line
    EXPECT_EQ(N(plain).stemStartY - N(plain).stemEndY, 28);
    EXPECT_EQ(N(incr).stemStartY - N(incr).stemEndY, 36);
    // Stem x by head: normal head up +5, down -4.
    EXPECT_EQ(N(up).stemStartX, 105);
    EXPECT_EQ(N(low).stemStartX, 196);
}

TEST_F(NoteGeometry, VoicesASecondApartMoveTheLowerVoiceRight) {
    int upper = Note(1, 3, 0, 1), lower = Note(0, 3, 1, 1);
    ValidateNotesAt(score, s, 100, false);
    EXPECT_EQ(N(upper).headX, 100);
    EXPECT_EQ(N(lower).headX, 109);
    EXPECT_EQ(N(lower).stemStartX, 100 - 4 + 9);
    // The dots follow the moved head: the dot's ink (7 right of its x) clear
    // of the head's (5 right of its x).
    EXPECT_GT(N(lower).dotX + 7, N(lower).headX + 5 + 1);
    EXPECT_EQ(N(upper).dotX, N(lower).dotX);
    // Crossed by a step (the stem-up voice a step below): the heads stand
    // side by side, each dot in its own voice's space, clear of both heads.
    score.stave(s).h.Nobjec = 0;
    int a4 = Note(-1, 3, 0, 1), b4 = Note(0, 3, 1, 1);
    ValidateNotesAt(score, s, 100, false);
    EXPECT_GE(N(b4).headX - N(a4).headX, 10);  // a head is ten pixels wide
    EXPECT_EQ(N(a4).dotPosition, -1);
    EXPECT_EQ(N(b4).dotPosition, 1);
    EXPECT_GT(N(b4).dotX + 7, N(b4).headX + 5 + 1);
    // Voices further apart stay put; a lone voice never interlocks.
    score.stave(s).h.Nobjec = 0;
    int a = Note(4, 3, 0), b = Note(0, 3, 1), lone = Note(0, 3, 1, 0, 150);
    ValidateNotesAt(score, s, 100, false);
    ValidateNotesAt(score, s, 150, false);
    EXPECT_EQ(N(a).headX, 100);
    EXPECT_EQ(N(b).headX, 100);
    EXPECT_EQ(N(lone).headX, 150);
}

TEST_F(NoteGeometry, DotsSitByValueAndStemAndAvoidEachOther) {
    int breve = Note(1, 0, 0, 1, 100), whole = Note(1, 1, 0, 1, 150);
    int quaverUp = Note(-1, 4, 0, 1, 200), quaverDown = Note(1, 4, 1, 1, 250);
    int small = Note(1, 3, 0, 1, 300);
    N(small).headSize = 1;
    for (int32_t x : {100, 150, 200, 250, 300})
        ValidateNotesAt(score, s, x, false);
    EXPECT_EQ(N(breve).dotX, 107);
    EXPECT_EQ(N(whole).dotX, 152);
    EXPECT_EQ(N(quaverUp).dotX, 208);  // two pixels clear of the flag's tail
    EXPECT_EQ(N(quaverDown).dotX, 251);
    EXPECT_EQ(N(small).dotX, 298);
    // A line note goes to the space above; with a stem-up voice present a
    // stem-down line note takes the space below.
    score.stave(s).h.Nobjec = 0;
    int top = Note(2, 3, 0, 1), bottom = Note(-2, 3, 1, 1);
    ValidateNotesAt(score, s, 100, false);
    EXPECT_EQ(N(top).dotPosition, 3);
    EXPECT_EQ(N(bottom).dotPosition, -3);
}

TEST_F(NoteGeometry, BrevesAndSemibrevesASecondApartStandSideBySide) {
    for (int value : {0, 1}) {
        const SCOPED_TRACE(value);
        score.stave(s).h.Nobjec = 0;
        const int low = Note(-2, value, 3), high = Note(-1, value, 3);
        ValidateNotesAt(score, s, 100, false);
        const int width = GlyphInkWidth(value == 0 ? glyph::BREVE : glyph::SEMIBREVE);
        // Not overlapping, and not apart either.
        EXPECT_GE(N(high).headX - N(low).headX, width);
        EXPECT_LE(N(high).headX - N(low).headX, width + 1);
    }
}

// A beam group of one value and stem at x 100, 122, ..., laid out; the line
// its beams follow and the heads' rows.
struct Group {
    BeamGeometry geo;
    std::vector<int> heads;
};

TEST_F(NoteGeometry, BeamsStandClearOfEveryHeadAndReachTheMiddleFromBeyond) {
    auto group = [&](std::initializer_list<int> pitches, int value, int stem) {
        score.stave(s).h.Nobjec = 0;
        Group g;
        int32_t x = 100;
        for (int p : pitches) {
            const int i = Note(p, value, stem, 0, x);
            if (i > 1) {
                N(i - 1).beamOnTo = static_cast<uint8_t>(i);
                N(i).beamBackTo = static_cast<uint8_t>(i - 1);
            }
            g.heads.push_back(200 - 4 * p);
            x += 22;
        }
        LayOutStaveGeometry(score, s);
        const int last = score.stave(s).h.Nobjec;
        g.geo = LayOutBeams(score, s, last, score.object(s, last));
        return g;
    };
    // From each head up to the innermost beam over it, at least two and a half
    // spaces; exactly that at the note that decided where the beams go.
    auto clearance = [](const Group& g, int levels) {
        double least = 1e9;
        for (std::size_t k = 0; k < g.heads.size(); ++k) {
            const double inner = g.geo.line.at(g.geo.notes[k].x) +
                                 (levels - 1) * (g.geo.thickness + g.geo.gap) + g.geo.thickness;
            least = std::min(least, g.heads[k] - inner);
        }
        return least;
    };
    EXPECT_DOUBLE_EQ(clearance(group({-4, 6, -4, -4}, 4, 0), 1), 20);  // E4 A5 E4 E4
    EXPECT_DOUBLE_EQ(clearance(group({-3, 3, -3, 3}, 5, 0), 2), 20);   // F4 E5 F4 E5
    // An ordinary group keeps its three-space stems.
    const Group plain = group({-2, -2}, 4, 0);
    EXPECT_DOUBLE_EQ(plain.geo.line.at(plain.geo.notes[0].x), 208 - 24);
    // Stems down from above the stave reach the middle line, every one of them.
    const Group above = group({9, 11, 10}, 4, 1);
    double nearest = 1e9;
    for (const BeamNote& b : above.geo.notes)
        nearest = std::min(nearest, above.geo.line.at(b.x));
    EXPECT_DOUBLE_EQ(nearest, 200);
}

TEST_F(NoteGeometry, BeamLinksMoveToTheTailNoteWithTheirStaveFlags) {
    int below = AppendStave(score, 300, 0, 800);
    // The partner lives on the stave below, beamed back to the chord's inner note.
    ScoreObject* partner = PlaceNote(score, below, 140, 0, 4, 0);
    int inner = Note(-4, 4, 0), outer = Note(-1, 4, 0);
    N(inner).beamOnTo = 1;
    N(inner).beamOnDown = 1;
    partner->note().beamBackTo = static_cast<uint8_t>(inner);
    partner->note().beamBackUp = 1;
    ValidateNotesAt(score, s, 100, true);
    EXPECT_EQ(N(inner).beamOnTo, 0);
    EXPECT_EQ(N(inner).beamOnDown, 0);
    EXPECT_EQ(N(outer).beamOnTo, 1);
    EXPECT_EQ(N(outer).beamOnDown, 1);
    EXPECT_EQ(partner->note().beamBackTo, outer);
    // The moved link survives tidying: its flags went with it.
    TidyStave(score, s, true);
    int tail = 0;
    for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
        if (N(i).pitch == -1) tail = i;
    EXPECT_EQ(N(tail).beamOnTo, 1);
    // Without relinking nothing moves.
    ValidateNotesAt(score, s, 100, false);
    EXPECT_EQ(N(tail).beamOnTo, 1);
}

TEST_F(NoteGeometry, ChangesAndTidyingAskForTheGeometryAgain) {
    int n = Note(0, 3, 1);
    ValidateNotesAt(score, s, 100, false);
    EXPECT_TRUE(N(n).validated);
    InvalidateNotesAt(score, s, 100);
    EXPECT_FALSE(N(n).validated);
    ValidateNotesAt(score, s, 100, false);
    TidyStave(score, s, true);
    EXPECT_FALSE(N(1).validated);
    // Rests and notes at other x are not touched.
    int rest = Note(0, 3, 1, 0, 120);
    N(rest).rest = 1;
    ValidateNotesAt(score, s, 120, false);
    EXPECT_FALSE(N(rest).validated);
}

TEST_F(NoteGeometry, StemOffsetsFollowTheHead) {
    EXPECT_EQ(StemOffset(0, 1, 0), 6);
    EXPECT_EQ(StemOffset(0, 5, 1), -8);
    EXPECT_EQ(StemOffset(0, 6, 1), -5);
    EXPECT_EQ(StemOffset(1, 0, 0), 3);
    EXPECT_EQ(StemOffset(5, 0, 1), -2);  // a grace note's stem keeps to its small head
    EXPECT_EQ(StemOffset(2, 0, 0), 0);
    EXPECT_EQ(StemOffset(0, 0, 2), 0);
    NoteData n{};
    EXPECT_EQ(HeadWidth(n), 9);
    n.stem = 3;
    n.pitch = -1;
    EXPECT_EQ(EffectiveStem(n), 0);
    n.pitch = 0;
    EXPECT_EQ(EffectiveStem(n), 1);
}

TEST_F(NoteGeometry, LayingOutAStaveGivesEveryNoteItsGeometryOnce) {
    const int a = Note(-2, 3, 0), b = Note(4, 3, 1, 0, 160);
    LayOutStaveGeometry(score, s);
    EXPECT_TRUE(N(a).validated && N(b).validated);
    EXPECT_EQ(N(b).stemStartX, 160 - 4);
    // A note laid out already keeps what it has until it is invalidated.
    N(b).stemStartX = 7;
    LayOutStaveGeometry(score, s);
    EXPECT_EQ(N(b).stemStartX, 7);
    InvalidateNotesAt(score, s, 160);
    LayOutStaveGeometry(score, s);
    EXPECT_EQ(N(b).stemStartX, 160 - 4);
}

TEST_F(NoteGeometry, BeamsFollowTheGroupBackFromItsLastNoteAndClampTheirSlope) {
    // A semiquaver, then a quaver far above it: the slope is held at 0.4.
    const int a = Note(-6, 5, 0), b = Note(6, 4, 0, 0, 130);
    N(a).beamOnTo = static_cast<uint8_t>(b);
    N(b).beamBackTo = static_cast<uint8_t>(a);
    LayOutStaveGeometry(score, s);
    const BeamGeometry geo = LayOutBeams(score, s, b, score.object(s, b));
    ASSERT_EQ(geo.notes.size(), 2u);
    EXPECT_EQ(geo.notes[0].i, a);
    EXPECT_DOUBLE_EQ(geo.line.slope, -0.4);
    EXPECT_TRUE(geo.up);
    // One shared beam, and a hook to the right for the semiquaver's second level.
    ASSERT_EQ(geo.pieces.size(), 2u);
    EXPECT_EQ(geo.pieces[0].level, 0);
    EXPECT_EQ(geo.pieces[1].level, 1);
    EXPECT_EQ(geo.pieces[1].x1, N(a).stemStartX);
    EXPECT_EQ(geo.pieces[1].x2 - geo.pieces[1].x1, HeadWidth(N(a)));
    // A last note not in the stave (about to be placed) ends the group just the same.
    ScoreObject pending = score.object(s, b);
    pending.x = 140;
    const BeamGeometry ahead = LayOutBeams(score, s, 0, pending);
    ASSERT_EQ(ahead.notes.size(), 2u);
    EXPECT_EQ(ahead.notes[1].n, &pending.note());
    // A crotchet in the chain is no beam group at all.
    N(a).noteValue = 3;
    EXPECT_TRUE(LayOutBeams(score, s, b, score.object(s, b)).notes.empty());
}

}  // namespace
}  // namespace sw
