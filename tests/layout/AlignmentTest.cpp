// Note alignment: groups chained by proximity, average or leftmost, what is
// left out, accidentals moving with their notes, and no limit on the notes.
#include <gtest/gtest.h>

#include "layout/Alignment.h"
#include "model/Build.h"

namespace sw {
namespace {

constexpr int kCrotchet = 3, kSemibreve = 1;

class Alignment : public ::testing::Test {
  protected:
    void SetUp() override {
        AppendStave(score, 100, 0, 900);
        AppendStave(score, 200, 0, 900);
    }
    int Note(int32_t x, int s = 1, int pitch = 0) {
        PlaceNote(score, s, x, pitch, kCrotchet, 0);
        return score.stave(s).h.Nobjec;
    }
    int32_t X(int i, int s = 1) const { return score.object(s, i).x; }
    Score score;
};

TEST_F(Alignment, NotesWithinTheProximityOfTheirNeighbourShareOneX) {
    const int a = Note(100), b = Note(104), c = Note(108), d = Note(120);
    AlignOptions o;
    o.proximity = 5;
    Score leftmost(score);
    AlignNotes(score, 1, 1, o);
    EXPECT_EQ(X(a), 104);
    EXPECT_EQ(X(b), 104);
    EXPECT_EQ(X(c), 104);
    EXPECT_EQ(X(d), 120);
    o.average = false;
    AlignNotes(leftmost, 1, 1, o);
    for (int i : {a, b, c})
        EXPECT_EQ(leftmost.object(1, i).x, 100);
    EXPECT_EQ(leftmost.object(1, d).x, 120);
}

TEST_F(Alignment, GroupsChainAcrossStavesAndRoundTheirAverage) {
    Note(100);
    Note(105, 2);
    Note(110);
    Note(115, 2);  // each within 5 of the one before: one group, 107.5
    Note(121);
    AlignOptions o;
    const std::vector<NoteMove> moves = PlanAlignment(score, 1, 2, o);
    EXPECT_EQ(moves.size(), 4u);
    for (const NoteMove& m : moves)
        EXPECT_EQ(m.to, 108);
    // One stave at a time, the same notes are two groups apart.
    EXPECT_TRUE(PlanAlignment(score, 1, 1, o).empty());
}

TEST_F(Alignment, GraceNotesAndSemibreveRestsOnlyWhenAskedFor) {
    const int grace = Note(96);
    score.object(1, grace).note().headSize = 1;
    const int note = Note(100);
    const int rest = Note(103);
    score.object(1, rest).note().rest = 1;
    score.object(1, rest).note().noteValue = kSemibreve;
    AlignOptions o;
    o.average = false;
    EXPECT_TRUE(PlanAlignment(score, 1, 1, o).empty());
    o.includeAllRests = true;
    ASSERT_EQ(PlanAlignment(score, 1, 1, o).size(), 1u);
    EXPECT_EQ(PlanAlignment(score, 1, 1, o)[0].i, rest);
    o.includeGrace = true;
    AlignNotes(score, 1, 1, o);
    for (int i = 1; i <= score.stave(1).h.Nobjec; ++i)
        EXPECT_EQ(X(i), 96);
    (void)note;
}

TEST_F(Alignment, AnAccidentalMovesWithItsNote) {
    // Playback's proximity reaches 40: the note moves 20 pixels left, past
    // where a tidy would put its sharp if the sharp stayed behind.
    Note(150, 2, 0);
    PlaceObject(score, 1, kAccidental, 190, NoteY(score, 1, 3))->data.accidental.pitch = 3;
    PlaceObject(score, 1, kAccidental, 190, NoteY(score, 1, -2))->data.accidental.pitch = -2;
    Note(190, 1, 3);
    AlignOptions o;
    o.proximity = 40;
    o.average = false;
    const std::vector<int> staves = AlignNotes(score, 1, 2, o);
    EXPECT_EQ(staves, std::vector<int>{1});
    const StaveBlock& b = score.stave(1);
    ASSERT_EQ(b.h.Nobjec, 3);
    // Tidied: the sharp of pitch 3 first, at the note's new x, then the note.
    EXPECT_EQ(b.obj[1].kind, kAccidental);
    EXPECT_EQ(b.obj[1].data.accidental.pitch, 3);
    EXPECT_EQ(b.obj[1].x, 150);
    EXPECT_EQ(b.obj[2].kind, kNote);
    EXPECT_EQ(b.obj[2].x, 150);
    EXPECT_FALSE(b.obj[2].note().validated);
    // Another pitch's accidental stays.
    EXPECT_EQ(b.obj[3].kind, kAccidental);
    EXPECT_EQ(b.obj[3].x, 190);
}

TEST_F(Alignment, HasNoLimitOnTheNotes) {
    // 12 staves of 200 notes in pairs two pixels apart: 2400 notes.
    Score big;
    for (int s = 1; s <= 12; ++s) {
        AppendStave(big, 100 * s, 0, 2000);
        for (int k = 0; k < 100; ++k) {
            PlaceNote(big, s, 10 + 15 * k, 0, kCrotchet, 0);
            PlaceNote(big, s, 12 + 15 * k, 2, kCrotchet, 0);
        }
    }
    AlignOptions o;
    o.proximity = 2;
    o.average = false;
    AlignNotes(big, 1, 12, o);
    for (int i = 1; i <= big.stave(12).h.Nobjec; ++i)
        EXPECT_EQ((big.object(12, i).x - 10) % 15, 0) << i;
}

}  // namespace
}  // namespace sw
