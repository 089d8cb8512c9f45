// Bars: the bar list, both renumberings (pickups, empty bars, the 16-bit
// limit, show flags, a one-bar system), and the re-spacing of bars after a
// Ctrl-drop and after a key signature change.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "layout/Bars.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"

namespace sw {
namespace {

class Bars : public ::testing::Test {
  protected:
    // A system of `staves` staves below the last one; returns its top stave.
    int System(int staves = 1) {
        const int top = score.Nstaves + 1;
        for (int k = 0; k < staves; ++k)
            score.stave(AppendStave(score, 100 + 80 * score.Nstaves, 20, 700)).h.joinToNext =
                k + 1 < staves;
        return top;
    }
    int Add(int s, Kind kind, int32_t x, uint8_t glyph = kNoGlyph) {
        PlaceObject(score, s, kind, x, score.stave(s).h.Ycoord, glyph);
        return score.stave(s).h.Nobjec;
    }
    int Bar(int s, int32_t x) { return Add(s, kBarline, x, glyph::BARLINE); }
    int Note(int s, int32_t x) {
        PlaceNote(score, s, x, 0, 3, 0);
        return score.stave(s).h.Nobjec;
    }
    // Bars of one crotchet each from x on: their closing bar lines.
    std::vector<int> OneBeatBars(int s, int32_t x, int count) {
        std::vector<int> bars;
        for (int k = 0; k < count; ++k, x += 100) {
            Note(s, x);
            bars.push_back(Bar(s, x + 50));
        }
        return bars;
    }
    int N(int s, int i) const { return score.object(s, i).data.barline.barNumber; }
    // Each system's first bar lasts `firstBar[top]` (4 when not listed).
    SystemTimeTable Times(std::map<int, double> firstBar = {}) {
        return [this, firstBar](int top) {
            const StaveBlock& b = score.stave(top);
            for (int i = 1; i <= b.h.Nobjec; ++i)
                if (b.obj[i].kind == kBarline)
                    return std::vector<TimedPosition>{
                        {b.obj[i].x + 5, firstBar.count(top) ? firstBar.at(top) : 4.0, 1}};
            return std::vector<TimedPosition>{};
        };
    }
    std::vector<int32_t> Xs(int s) const {
        std::vector<int32_t> xs;
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            xs.push_back(score.object(s, i).x);
        return xs;
    }

    Score score;
};

TEST_F(Bars, ListsTheBarsOfAStave) {
    const int s = System();
    Add(s, kClef, 30, glyph::GCLEF);
    score.object(s, Add(s, kKeysig, 60)).data.keysig.key = 2;
    Add(s, kTimesig, 85);
    Note(s, 130);
    Bar(s, 200);
    Note(s, 220);
    const int last = Bar(s, 300);
    // Past the clef's ink, the two sharps and the time signature, then a gap.
    const int32_t clefEnd = 30 + GlyphInkBox(glyph::GCLEF).right - 21 + 20;
    BarBounds bars = BarList(score, s);
    EXPECT_EQ(bars.x, (std::vector<int32_t>{std::max({clefEnd, 60 + 20, 85 + 10}) + 20, 200, 300}));
    EXPECT_FALSE(bars.opening);
    EXPECT_EQ(bars.barline.back(), last);
    Add(s, kText, 320);  // texts do not count
    EXPECT_TRUE(EndsWithBarline(score, s));
    Note(s, 330);
    EXPECT_FALSE(EndsWithBarline(score, s));
    EXPECT_FALSE(EndsWithBarline(score, System()));

    // An opening bar line starts the music; an empty bar after it counts.
    const int t = System();
    const int opening = Bar(t, 40);
    Bar(t, 60);
    Note(t, 100);
    Bar(t, 200);
    bars = BarList(score, t);
    EXPECT_EQ(bars.x, (std::vector<int32_t>{40, 60, 200}));
    EXPECT_TRUE(bars.opening);
    EXPECT_EQ(bars.barline[0], opening);
}

TEST_F(Bars, RefreshCountsAPickupOnceAndAnEmptyBarNotAtAll) {
    const int s = System(2);
    Note(s, 100);  // a one-beat pickup in 4/4
    const int b1 = Bar(s, 120);
    Note(s, 140);
    const int b2 = Bar(s, 200);
    const int b3 = Bar(s, 250);  // an empty bar
    Note(s, 270);
    const int b4 = Bar(s, 300);
    ApplyBarNumbering(score, RefreshBarNumbers(score, 1, kNumbersAtBarlines, 1, Times({{s, 1}})));
    EXPECT_EQ(score.stave(s + 1).h.barNumber, 1);
    EXPECT_EQ((std::vector<int>{N(s, b1), N(s, b2), N(s, b3), N(s, b4)}),
              (std::vector<int>{1, 2, 2, 3}));
    EXPECT_EQ(BarNumberAt(score, s + 1, 210), 2);
    EXPECT_EQ(BarNumberAt(score, s, 110), 1);
    // The keyboard's numbering counts both.
    ApplyBarNumbering(score, RenumberBars(score, 0));
    EXPECT_EQ((std::vector<int>{N(s, b1), N(s, b2), N(s, b3), N(s, b4)}),
              (std::vector<int>{2, 3, 4, 5}));
}

TEST_F(Bars, AOneBarSystemAndNumbersAtTheSixteenBitLimit) {
    // The one bar lasts to the end of its longest note; no table, whole.
    const int s = System();
    Note(s, 100);
    Bar(s, 200);
    EXPECT_DOUBLE_EQ(
        FirstBarDuration(
            score, s,
            [](int) {
                return std::vector<TimedPosition>{{100, 0, 1}, {150, 1, 2}, {140, .5, 3}};
            }),
        3.5);
    EXPECT_FALSE(FirstBarIncomplete(score, s, nullptr));

    const std::vector<int> bars = OneBeatBars(System(), 100, 4);
    OneBeatBars(System(), 100, 1);
    ApplyBarNumbering(score, RefreshBarNumbers(score, kMaxBarNumber - 2, 0, 1, Times()));
    EXPECT_EQ(score.stave(2).h.barNumber, kMaxBarNumber - 1);
    EXPECT_EQ(N(2, bars[0]), kMaxBarNumber);
    EXPECT_EQ(N(2, bars[3]), kMaxBarNumber);
    EXPECT_EQ(score.stave(3).h.barNumber, kMaxBarNumber);
    EXPECT_TRUE(RefreshBarNumbers(score, 0, 0, 1, Times()).systems.empty());
    EXPECT_TRUE(RefreshBarNumbers(score, kMaxBarNumber + 1, 0, 1, Times()).systems.empty());
    EXPECT_TRUE(RefreshBarNumbers(score, 1, 4, 1, Times()).systems.empty());
}

TEST_F(Bars, ShowFlagsFollowTheFrequencyAndThePlace) {
    std::vector<std::pair<int, int>> bars;
    for (int k = 0; k < 2; ++k) {
        const int s = System(2);
        for (int i : OneBeatBars(s, 100, 6))
            bars.emplace_back(s, i);
    }
    auto shown = [&](int s, int i) { return score.object(s, i).data.barline.showNumber; };
    const BarNumbering five = RefreshBarNumbers(score, 1, kNumbersAtBarlines, 5, Times());
    ApplyBarNumbering(score, five);
    for (const auto& [s, i] : bars)
        EXPECT_EQ(shown(s, i) != 0, N(s, i) % 5 == 0) << N(s, i);
    EXPECT_EQ(score.stave(2).h.barNumberPlace, kNumbersNone);  // the top stave's only
    EXPECT_TRUE(PartsChangedBy(score, five).empty());

    // Moving the numbers above the stave changes the two top staves' headers
    // and hides the shown numbers, nothing else.
    const BarNumbering above = RefreshBarNumbers(score, 1, kNumbersUpperLeft, 5, Times());
    std::vector<StavePart> expected{{1, 0}};
    for (const auto& [s, i] : bars) {
        if (s == 3 && expected.back().stave == 1) expected.push_back({3, 0});
        if (shown(s, i)) expected.push_back({s, i});
    }
    EXPECT_EQ(PartsChangedBy(score, above), expected);
    ApplyBarNumbering(score, above);
    for (const auto& [s, i] : bars)
        EXPECT_EQ(shown(s, i), 0);

    // The keyboard's numbering shows every number but a system's last.
    ApplyBarNumbering(score, RenumberBars(score, 0));
    for (std::size_t k = 0; k < bars.size(); ++k)
        EXPECT_EQ(shown(bars[k].first, bars[k].second), k % 6 == 5 ? 0 : 1) << k;
    EXPECT_EQ(score.stave(4).h.barNumber, 7);
}

// ---------------------------------------------------------------------------
// Re-spacing

class Respace : public Bars {
  protected:
    // Two staves: bar lines at 200, 300 and 400 on the top one, crotchets
    // (ten columns of ink) in both bars and outside them on both staves.
    void SetUp() override {
        System(2);
        Add(1, kClef, 30, glyph::GCLEF);
        for (int s : {1, 2})
            for (int32_t x : {150, 220, 230, 260, 320, 330, 360, 450})
                Note(s, x);
        for (int32_t x : {200, 300, 400})
            Bar(1, x);
        TidyStave(score, 1, true);
        dragged = Find(kBarline, 300);
    }
    int Find(int kind, int32_t x) const {
        for (int i = 1; i <= score.stave(1).h.Nobjec; ++i)
            if (score.object(1, i).kind == kind && score.object(1, i).x == x) return i;
        return 0;
    }
    int32_t X(int s, int i) const { return score.object(s, i).x; }

    int dragged = 0;
};

TEST_F(Respace, ACtrlDropMovesTheBarlineAndTheGapsOfItsTwoBarsOnly) {
    const std::vector<int32_t> before = Xs(2);
    ASSERT_TRUE(RespaceDroppedBarline(score, 1, dragged, 250));
    const std::vector<int32_t> after = Xs(2);
    EXPECT_EQ(X(1, dragged), 250);
    EXPECT_TRUE(Find(kBarline, 200) && Find(kBarline, 400));
    EXPECT_EQ(after.front(), 150);
    EXPECT_EQ(after.back(), 450);
    // Ink keeps its width: the crotchets side by side stay 10 apart; the
    // gaps of the first bar shrink and those of the second grow.
    EXPECT_EQ(after[2] - after[1], 10);
    EXPECT_EQ(after[5] - after[4], 10);
    EXPECT_LT(after[3] - after[2], 30);
    EXPECT_GT(after[6] - after[5], 30);
    EXPECT_TRUE(after[1] > 200 && after[3] < 250 && after[4] > 250 && after[6] < 400);
    EXPECT_NE(Find(kNote, after[3]), 0);  // the staves move as one
    // Dropped back, the bar lines are where they began and the notes
    // within the rounding of one drag.
    ASSERT_TRUE(RespaceDroppedBarline(score, 1, dragged, 300));
    for (std::size_t k = 0; k < before.size(); ++k)
        EXPECT_NEAR(Xs(2)[k], before[k], 1) << k;
    EXPECT_TRUE(Find(kBarline, 200) && Find(kBarline, 300) && Find(kBarline, 400));
    // An unmoved drop and the opening bar line are plain moves.
    EXPECT_FALSE(RespaceDroppedBarline(score, 1, dragged, 300));
    const int t = System();
    const int opening = Bar(t, 40);
    Note(t, 60);
    Bar(t, 100);
    EXPECT_FALSE(RespaceDroppedBarline(score, t, opening, 30));
}

TEST_F(Respace, ABarNarrowerThanItsInkKeepsItsInkInOrder) {
    ASSERT_TRUE(RespaceDroppedBarline(score, 1, dragged, 205));
    const std::vector<int32_t> after = Xs(2);
    for (std::size_t k = 1; k < after.size(); ++k)
        EXPECT_LT(after[k - 1], after[k]) << k;
    // The first bar keeps only its ink, with the bar line after it.
    EXPECT_EQ(after[3] - after[1], 20);
    EXPECT_TRUE(X(1, dragged) > after[3] && X(1, dragged) < after[4]);
    EXPECT_EQ(after.back(), 450);
    EXPECT_TRUE(Find(kBarline, 400));
}

TEST_F(Respace, LinesEndingOffThePictureAndImmobileTextsStay) {
    const int32_t W = ComputePageGeometry(score).width;
    LineShape shape;
    shape.dx = W + 40 - 320;
    const ScoreObject& line = *PlaceLine(score, 2, 320, 60, shape);
    const int text = PlaceText(score, 2, kText, 330, 60, 1, "still", kTextImmobile);
    const int moving = PlaceText(score, 2, kText, 340, 60, 1, "moves");
    ASSERT_TRUE(RespaceDroppedBarline(score, 1, dragged, 250));
    EXPECT_LT(line.x, 320);
    EXPECT_EQ(line.x + line.data.line.dx, W + 40);
    EXPECT_EQ(X(2, text), 330);
    EXPECT_LT(X(2, moving), 340);
}

TEST_F(Respace, TheKeyVariantFollowsKeySignaturesThatGrew) {
    // The old signatures ended at 100; the new ones end at 130.
    const int s = System();
    const int32_t R = score.stave(s).h.RightX;
    Add(s, kClef, 30, glyph::GCLEF);
    score.object(s, Add(s, kKeysig, 70)).data.keysig.key = 3;
    Note(s, 120);
    Note(s, 130);
    Bar(s, 300);
    Note(s, 350);
    Bar(s, R);
    std::vector<int32_t> from = BarList(score, s).x, to;
    from[0] = 100;
    for (int32_t p : from)
        to.push_back(R - static_cast<int32_t>(std::lround((R - p) * double(R - 130) / (R - 100))));
    ASSERT_TRUE(RespaceBars(score, s, from, to, 0, 2, RespaceVariant::Key));
    const std::vector<int32_t> x = Xs(s);
    EXPECT_EQ(x[0], 30);  // the clef and signature stand before the music
    EXPECT_EQ(x[1], 70);
    EXPECT_GT(x[2], 130);
    EXPECT_EQ(x[3] - x[2], 10);
    EXPECT_EQ(x[4], to[1]);
    EXPECT_GT(x[5], 350);
    EXPECT_EQ(x[6], R);  // the last bound is not mapped
    EXPECT_FALSE(RespaceBars(score, s, from, {130}, 0, 1, RespaceVariant::Key));
}

TEST_F(Respace, OccupancyLabelsGiveEachBarItsShareOfInk) {
    score.stave(1).h.PageNum = score.stave(2).h.PageNum = 1;
    const std::vector<OccupancyLabel> labels = OccupancyLabels(score, 1);
    // Three bars up to 400, the open stretch to the end, and the total.
    ASSERT_EQ(labels.size(), 5u);
    const int32_t Y = score.stave(1).h.Ycoord;
    EXPECT_TRUE(labels[1].x == 201 && labels[1].y == Y - 40);
    EXPECT_TRUE(labels[4].x == 30 && labels[4].y == Y + 40);
    const std::vector<uint8_t> ink =
        MarkOccupancy(score, 1, RespaceVariant::Drag, 20, 699, ComputePageGeometry(score).width);
    int marked = 0;
    for (int32_t c = 201; c <= 299; ++c)
        marked += ink[c];
    EXPECT_EQ(marked, 31);  // the edge of the bar line at 200, three crotchets
    EXPECT_EQ(labels[1].text, std::to_string(std::lround(100.0 * marked / 99)) + "%");
}

}  // namespace
}  // namespace sw
