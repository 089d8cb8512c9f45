// Moving music across a system: the start of the music, Justify, Chop,
// Compress and Neaten on small hand-built systems.
#include <gtest/gtest.h>

#include <vector>

#include "layout/Compress.h"
#include "layout/GlyphTable.h"
#include "layout/Justify.h"
#include "layout/Neaten.h"
#include "layout/PageGeometry.h"
#include "layout/Rounding.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"

namespace sw {
namespace {

using Xs = std::vector<int32_t>;
constexpr int kCrotchet = 3, kSemibreve = 1, kDown = 1, kNoStem = 2;

// A system of `staves` staves from x 20 to `right`.
Score System(int staves, int32_t right = 700) {
    Score score;
    for (int s = 1; s <= staves; ++s) {
        AppendStave(score, 100 * s, 20, right);
        score.stave(s).h.joinToNext = s < staves;
    }
    return score;
}
int Add(Score& score, int s, Kind kind, int32_t x, uint8_t glyph = kNoGlyph) {
    PlaceObject(score, s, kind, x, score.stave(s).h.Ycoord, glyph);
    return score.stave(s).h.Nobjec;
}
int Note(Score& score, int s, int32_t x, int pitch = 0, int value = kCrotchet, int stem = 3) {
    PlaceNote(score, s, x, pitch, value, stem);
    return score.stave(s).h.Nobjec;
}
int Rest(Score& score, int s, int32_t x, int value) {
    const int i = Note(score, s, x, 0, value);
    score.object(s, i).note().rest = 1;
    return i;
}
Xs XsOf(const Score& score, int s) {
    Xs out;
    for (int i = 1; i <= score.stave(s).count(); ++i)
        out.push_back(score.object(s, i).x);
    return out;
}
int32_t X(const Score& score, int s, int i) {
    return score.object(s, i).x;
}

TEST(MusicStart, FollowsTheOpeningSignsAndStopsAtTheMusic) {
    Score score = System(3);
    // Nothing on the stave: room after the left end.
    EXPECT_EQ(MusicStart(score, 1), 20 + 20);
    const int32_t clefEnd = 30 + GlyphInkBox(glyph::GCLEF).right - 21;
    ASSERT_LT(clefEnd + 20, 90);
    Add(score, 1, kClef, 30, glyph::GCLEF);
    EXPECT_EQ(MusicStart(score, 1), clefEnd + 20 + 20);
    // Two sharps are two pen advances, to 90.
    score.object(1, Add(score, 1, kKeysig, 70, glyph::SHARP)).data.keysig.key = 2;
    EXPECT_EQ(MusicStart(score, 1), 90 + 20);
    // Music met: no room added, and never past just before the first note.
    Note(score, 1, 95);
    EXPECT_EQ(MusicStart(score, 1), 90);
    Note(score, 1, 85);
    TidyStave(score, 1, false);
    EXPECT_EQ(MusicStart(score, 1), 84);

    // A bar line ends the walk where it stands.
    Add(score, 2, kClef, 30, glyph::FCLEF);
    Add(score, 2, kBarline, 90, glyph::BARLINE);
    Add(score, 2, kTimesig, 120);
    EXPECT_EQ(MusicStart(score, 2), 90);
    // A time signature reaches 10 past its x; an accidental counts as music.
    Add(score, 3, kTimesig, 50);
    Add(score, 3, kAccidental, 100);
    EXPECT_EQ(MusicStart(score, 3), 60);
    EXPECT_EQ(SystemMusicStart(score, 1, 3), 60);
    EXPECT_EQ(SystemMusicStart(score, 2, 2), 90);
}

TEST(Justify, MapsLinearlyWithHalvesToEven) {
    Score score = System(2, 300);
    const int a = Note(score, 1, 105), b = Note(score, 1, 107), c = Note(score, 2, 500);
    const int keep = Note(score, 1, 90);  // left of from: stays
    const JustifyOutcome r = Justify(score, 1, 100);
    ASSERT_EQ(r.result, JustifyOutcome::Done);
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 2);
    // Ratio (300 - 100) / (500 - 100) = 0.5: 2.5 and 3.5 round to 2 and 4.
    EXPECT_EQ(X(score, 1, a), 102);
    EXPECT_EQ(X(score, 1, b), 104);
    EXPECT_EQ(X(score, 2, c), 300);
    EXPECT_EQ(X(score, 1, keep), 90);
    // Already ending at the right end: ratio 1, nothing moves.
    const Xs before = XsOf(score, 1);
    EXPECT_EQ(Justify(score, 2, 100).result, JustifyOutcome::Done);
    EXPECT_EQ(XsOf(score, 1), before);
}

TEST(Justify, LeavesImmobileTextsAndMapsLineEnds) {
    Score score = System(1, 500);
    const int note = Note(score, 1, 300);
    const int fixed = PlaceText(score, 1, kText, 600, 40, 1, "Fine", 0x02);
    const int moving = PlaceText(score, 1, kText, 200, 40, 1, "dolce");
    PlaceLine(score, 1, 50, 120, LineShape{250});  // from 50 (not moved) to 300
    const int line = score.stave(1).count();
    ASSERT_EQ(Justify(score, 1, 100).result, JustifyOutcome::Done);
    // The immobile text at 600 neither set the end nor moved: ratio 400/200.
    EXPECT_EQ(X(score, 1, note), 500);
    EXPECT_EQ(X(score, 1, fixed), 600);
    EXPECT_EQ(X(score, 1, moving), 300);
    EXPECT_EQ(X(score, 1, line), 50);
    EXPECT_EQ(score.object(1, line).data.line.dx, 450);
}

TEST(Justify, ChordNotesFollowTheirStemAndStayInside) {
    Score score = System(1, 300);
    const int stemmed = Note(score, 1, 200, 0, kCrotchet, kDown);
    const int hanging = Note(score, 1, 209, 1, kCrotchet, kNoStem);
    const int last = Note(score, 1, 400, 0, kCrotchet, kDown);
    const int tail = Note(score, 1, 410, 1, kCrotchet, kNoStem);
    ASSERT_EQ(Justify(score, 1, 100).result, JustifyOutcome::Done);
    // Ratio 200/310: the hanging note keeps its 9 pixels to the stem.
    EXPECT_EQ(X(score, 1, hanging) - X(score, 1, stemmed), 9);
    EXPECT_EQ(X(score, 1, last), 294);
    // Squeezed past the right end it would have been tidied away.
    EXPECT_EQ(X(score, 1, tail), 300);
    TidyStave(score, 1, false);
    EXPECT_EQ(score.stave(1).count(), 4);
}

TEST(Justify, RefusalsChangeNothing) {
    Score score = System(2, 300);
    EXPECT_EQ(Justify(score, 1, 100).result, JustifyOutcome::Empty);
    Note(score, 1, 80);
    const Xs before = XsOf(score, 1);
    EXPECT_EQ(Justify(score, 2, 100).result, JustifyOutcome::NothingBeyond);
    Note(score, 2, 250);
    // The right end must lie right of from: nothing folds back.
    score.stave(1).h.RightX = 200;
    EXPECT_EQ(Justify(score, 1, 200).result, JustifyOutcome::NoRoom);
    EXPECT_EQ(Justify(score, 1, 260).result, JustifyOutcome::NothingBeyond);
    EXPECT_EQ(XsOf(score, 1), before);
    EXPECT_EQ(X(score, 2, 1), 250);
    EXPECT_EQ(Justify(score, 9, 100).result, JustifyOutcome::Empty);
}

TEST(Chop, RefusesMusicOnTheWrongSideAndEndsThatMeet) {
    Score score = System(2, 600);
    Add(score, 2, kClef, 40, glyph::GCLEF);
    Note(score, 1, 200);
    PlaceText(score, 1, kText, 10, 40, 1, "title");  // not music: no obstacle
    ChopOutcome r = Chop(score, 1, 50, ChopSide::Left);
    EXPECT_EQ(r.result, ChopOutcome::MusicInTheWay);
    EXPECT_EQ(r.stave, 2);
    r = Chop(score, 2, 150, ChopSide::Right);
    EXPECT_EQ(r.result, ChopOutcome::MusicInTheWay);
    EXPECT_EQ(r.stave, 1);
    EXPECT_EQ(score.stave(1).h.LeftX, 20);
    EXPECT_EQ(Chop(score, 1, 30, ChopSide::Left).result, ChopOutcome::Done);
    EXPECT_EQ(Chop(score, 2, 200, ChopSide::Right).result, ChopOutcome::Done);
    for (int s : {1, 2}) {
        EXPECT_EQ(score.stave(s).h.LeftX, 30);
        EXPECT_EQ(score.stave(s).h.RightX, 200);
    }

    // Without music nothing stands in the way, but the ends may not meet.
    Score empty = System(1, 600);
    EXPECT_EQ(Chop(empty, 1, 600, ChopSide::Left).result, ChopOutcome::NoRoom);
    EXPECT_EQ(Chop(empty, 1, 20, ChopSide::Right).result, ChopOutcome::NoRoom);
    EXPECT_EQ(empty.stave(1).h.LeftX, 20);
    EXPECT_EQ(empty.stave(1).h.RightX, 600);
}

TEST(Compress, BeyondTheEndCollapsesEveryEmptyColumn) {
    Score score = System(2, 600);
    const int a = Note(score, 1, 200), b = Note(score, 2, 250), c = Note(score, 1, 300);
    LayOutStaveGeometry(score, 1);
    LayOutStaveGeometry(score, 2);
    CompressPlan plan;
    ASSERT_EQ(PrepareCompress(score, 1, 150, CompressDirection::Right, 80, plan),
              CompressPrepared::Ready);
    EXPECT_EQ(plan.anchor, 200);
    // Heads mark the columns their ink is drawn on: the anchor's from its x on.
    const InkColumns head = GlyphInkColumns(glyph::NOTEHEAD_BLACK, 0);
    const int ink = head.last - head.first + 1;
    EXPECT_EQ(plan.occupied, 2 * ink + head.last + 1);
    EXPECT_EQ(plan.limit(), 600 - plan.occupied);
    // Released beyond the system's end: ratio 0, only the ink keeps its
    // width, so the heads close up side by side against the end.
    ASSERT_EQ(Compress(score, plan, 650), CompressResult::Done);
    EXPECT_EQ(X(score, 1, c), 600 - head.last);
    EXPECT_EQ(X(score, 2, b), X(score, 1, c) - ink);
    EXPECT_EQ(X(score, 1, a), X(score, 1, c) - 2 * ink);
}

TEST(Compress, LeavesObjectsOffThePictureAndRefusesShortReleases) {
    Score score = System(1, 600);
    const int width = ComputePageGeometry(score).width;
    const int note = Note(score, 1, 300);
    Note(score, 1, 350);
    const int far = Add(score, 1, kSymbol, width + 40, glyph::SHARP);
    const int before = Add(score, 1, kSymbol, -30, glyph::SHARP);
    CompressPlan plan;
    ASSERT_EQ(PrepareCompress(score, 1, 250, CompressDirection::Right, 80, plan),
              CompressPrepared::Ready);
    // Released short of the anchor the music would stretch over the cursor.
    EXPECT_EQ(Compress(score, plan, 280), CompressResult::ShortOfAnchor);
    EXPECT_EQ(X(score, 1, note), 300);
    ASSERT_EQ(Compress(score, plan, 400), CompressResult::Done);
    EXPECT_GT(X(score, 1, note), 300);
    EXPECT_EQ(X(score, 1, far), width + 40);
    EXPECT_EQ(X(score, 1, before), -30);

    // No anchor beyond the cursor, and no ink between the anchor and the end.
    EXPECT_EQ(PrepareCompress(score, 1, width + 50, CompressDirection::Right, 80, plan),
              CompressPrepared::NoAnchor);
    Score bare = System(1, 600);
    PlaceText(bare, 1, kText, 400, 40, 1, "text");
    PlaceText(bare, 1, kText, 90, 40, 1, "text");
    EXPECT_EQ(PrepareCompress(bare, 1, 300, CompressDirection::Right, 80, plan),
              CompressPrepared::NothingToDo);
    // Left of the cursor everything up to LeftX + LCL counts as taken.
    ASSERT_EQ(PrepareCompress(bare, 1, 500, CompressDirection::Left, 80, plan),
              CompressPrepared::Ready);
    EXPECT_EQ(plan.anchor, 400);
    EXPECT_EQ(plan.occupied, 20 + 80 - 20 + 1);
    EXPECT_EQ(plan.limit(), 20 + plan.occupied);
    ASSERT_EQ(PrepareCompress(bare, 1, 100, CompressDirection::Left, 80, plan),
              CompressPrepared::Ready);
    EXPECT_EQ(Compress(bare, plan, 50), CompressResult::TooLittleSpace);
}

// Neatening, with the time table given.
class Neaten : public ::testing::Test {
  protected:
    // Notes at 100, 150, 200 and 400 sounding at 0, 1, 3 and 4 crotchets.
    void SetUp() override {
        for (int32_t x : {100, 150, 200, 400})
            notes.push_back(Note(score, 1, x));
    }
    NeatenResult Run(double factor) { return NeatenSystem(score, 1, 20, 700, factor, table); }
    // The notes back where the table has them.
    void Reset() {
        for (std::size_t k = 0; k < notes.size(); ++k)
            score.object(1, notes[k]).x = table[k].x;
    }
    Xs Notes() const {
        Xs out;
        for (int i : notes)
            out.push_back(X(score, 1, i));
        return out;
    }

    Score score = System(2);
    std::vector<int> notes;
    std::vector<TimePoint> table{{100, 0}, {150, 1}, {200, 3}, {400, 4}};
};

TEST_F(Neaten, EqualFactorSpacesPositionsEquallyAndDurationalByTime) {
    ASSERT_EQ(Run(1), NeatenResult::Done);
    EXPECT_EQ(Notes(), (Xs{100, 200, 300, 400}));
    Reset();
    ASSERT_EQ(Run(0), NeatenResult::Done);
    EXPECT_EQ(Notes(), (Xs{100, 175, 325, 400}));
    Reset();
    ASSERT_EQ(Run(0.5), NeatenResult::Done);
    EXPECT_EQ(Notes(), (Xs{100, 188, 312, 400}));
    // A stored factor far out of range is kept to equal spacing, inside the ends.
    Reset();
    ASSERT_EQ(Run(10), NeatenResult::Done);
    EXPECT_EQ(Notes(), (Xs{100, 200, 300, 400}));
}

TEST_F(Neaten, BarLinesTakeFifteenAndStandBeforeTheNextMusic) {
    const int bar = Add(score, 1, kBarline, 160, glyph::BARLINE);
    const int clef = Add(score, 2, kClef, 170, glyph::GCLEF);
    const int lower = Note(score, 2, 200);
    const int w = GlyphInkWidth(glyph::GCLEF);
    ASSERT_EQ(Run(1), NeatenResult::Done);
    // 300 less the bar line and the clef's reserved width, in three equal
    // steps, with the two inserted where they stand.
    const double room = 300.0 - 15 - w;
    EXPECT_EQ(Notes()[1], 100 + RoundEven(room / 3));
    EXPECT_EQ(Notes()[2], 100 + RoundEven(2 * room / 3) + 15 + w);
    EXPECT_EQ(X(score, 2, lower), Notes()[2]);
    // The clef is the nearest music right of the bar line: 15 before it.
    EXPECT_EQ(X(score, 1, bar), X(score, 2, clef) - 15);
    EXPECT_EQ(Notes()[3], 400);
}

TEST_F(Neaten, AccidentalsStayWithTheirNotes) {
    // A second on a down stem: one head sits on the other side of the stem.
    Note(score, 2, 300, 0, kCrotchet, kDown);
    Note(score, 2, 300, 1, kCrotchet, kDown);
    LayOutStaveGeometry(score, 2);
    int moved = 0;
    for (int i = 1; i <= 2; ++i)
        if (score.object(2, i).note().displaced) moved = score.object(2, i).note().pitch;
    ASSERT_TRUE(score.object(2, 1).note().displaced || score.object(2, 2).note().displaced);
    score.object(2, Add(score, 2, kAccidental, 296, glyph::SHARP)).data.accidental.pitch =
        static_cast<int8_t>(moved);
    score.object(1, notes[1]).note().pitch = 2;
    score.object(1, Add(score, 1, kAccidental, 146, glyph::FLAT)).data.accidental.pitch = 2;
    TidyStave(score, 1, false);
    TidyStave(score, 2, false);
    table.insert(table.end() - 1, {300, 3.5});
    auto find = [&](int s, Kind kind) {
        for (int i = 1; i <= score.stave(s).count(); ++i) {
            const ScoreObject& o = score.object(s, i);
            if (o.kind == kind && (kind != kNote || o.note().pitch == (s == 2 ? moved : 2)))
                return i;
        }
        return 0;
    };
    ASSERT_EQ(Run(1), NeatenResult::Done);
    // Each accidental is snapped to its note first and follows it.
    EXPECT_EQ(X(score, 1, find(1, kAccidental)), X(score, 1, find(1, kNote)));
    EXPECT_NE(X(score, 1, find(1, kNote)), 150);
    // Before a displaced head on a down stem it stands 7 further left.
    EXPECT_EQ(X(score, 2, find(2, kAccidental)), X(score, 2, find(2, kNote)) - 7);
}

TEST_F(Neaten, WholeBarRestsAreCentredOnEveryStave) {
    // Bar lines on the top stave only; a semibreve rest fills the lower
    // stave's second bar, the first bar (before any bar line) does not count.
    Add(score, 1, kBarline, 175, glyph::BARLINE);
    Add(score, 1, kBarline, 380, glyph::BARLINE);
    const int opening = Rest(score, 2, 120, kSemibreve);
    const int rest = Rest(score, 2, 200, kSemibreve);
    TidyStave(score, 1, false);
    ASSERT_EQ(Run(0), NeatenResult::Done);
    std::vector<int32_t> bars;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        if (score.object(1, i).kind == kBarline) bars.push_back(X(score, 1, i));
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(X(score, 2, rest), RoundEven((bars[0] + bars[1]) / 2.0));
    EXPECT_NE(X(score, 2, opening), RoundEven((20 + bars[0]) / 2.0));
}

TEST_F(Neaten, SystemsWithoutRoomOrPositionsAreLeftAlone) {
    const Xs before = Notes();
    EXPECT_EQ(NeatenSystem(score, 1, 20, 700, 1, {{100, 0}}), NeatenResult::TooFewPositions);
    EXPECT_EQ(NeatenSystem(score, 1, 20, 700, 1, {{100, 2}, {400, 2}}),
              NeatenResult::TooFewPositions);
    // Twenty bar lines in 300 pixels leave no room to space anything.
    for (int k = 0; k < 20; ++k)
        Add(score, 1, kBarline, 110 + 14 * k, glyph::BARLINE);
    TidyStave(score, 1, false);
    EXPECT_EQ(Run(0.5), NeatenResult::NoRoom);
    Score empty = System(1);
    EXPECT_EQ(NeatenSystem(empty, 1, 20, 700, 0.5, table), NeatenResult::NoNotes);
    Xs now;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        if (score.object(1, i).kind == kNote) now.push_back(X(score, 1, i));
    EXPECT_EQ(now, before);
}

TEST_F(Neaten, AFullLowerStaveUsesTheTopStavesBarLines) {
    Add(score, 1, kBarline, 175, glyph::BARLINE);
    Add(score, 1, kBarline, 380, glyph::BARLINE);
    TidyStave(score, 1, false);
    const int rest = Rest(score, 2, 200, kSemibreve);
    // Filled past what a new object may take, to the last slot.
    StaveBlock& full = score.stave(2);
    for (int i = full.count() + 1; i <= kMaxObjects; ++i) {
        NewObjectRecord(full.obj[i]);
        full.obj[i].kind = kSymbol;
        full.obj[i].x = 600;
        full.obj[i].glyph = glyph::DOT;
    }
    full.h.Nobjec = kMaxObjects;
    ASSERT_EQ(Run(1), NeatenResult::Done);
    EXPECT_EQ(score.stave(2).count(), kMaxObjects);
    int32_t lo = 0, hi = 0;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        if (score.object(1, i).kind == kBarline) (lo == 0 ? lo : hi) = X(score, 1, i);
    EXPECT_EQ(X(score, 2, rest), RoundEven((lo + hi) / 2.0));
}

}  // namespace
}  // namespace sw
