// Bars: the bar list and its neighbours, both renumberings (pickups, empty
// bars, the signature in force, the 16-bit limit, show flags), and the
// re-spacing of bars after a Ctrl-drop and after a key signature change.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "layout/Bars.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Signatures.h"
#include "model/Build.h"

namespace sw {
namespace {

constexpr int kCrotchet = 3;

class Bars : public ::testing::Test {
  protected:
    // A system of `staves` staves below the last one; returns its top stave.
    int System(int staves = 1) {
        int top = 0;
        for (int k = 0; k < staves; ++k) {
            const int s = AppendStave(score, 100 + 80 * score.Nstaves, 20, 700);
            score.stave(s).h.joinToNext = k + 1 < staves;
            if (k == 0) top = s;
        }
        return top;
    }
    int Add(int s, Kind kind, int32_t x, uint8_t glyph = kNoGlyph) {
        PlaceObject(score, s, kind, x, score.stave(s).h.Ycoord, glyph);
        return score.stave(s).h.Nobjec;
    }
    int Bar(int s, int32_t x) { return Add(s, kBarline, x, glyph::BARLINE); }
    int Note(int s, int32_t x, int value = kCrotchet) {
        PlaceNote(score, s, x, 0, value, 0);
        return score.stave(s).h.Nobjec;
    }
    int Timesig(int s, int32_t x, int numerator, int denominator) {
        const int i = Add(s, kTimesig, x);
        score.object(s, i).data.timesig.numerator = static_cast<uint8_t>(numerator);
        score.object(s, i).data.timesig.denominator = static_cast<uint8_t>(denominator);
        return i;
    }
    const BarlineData& B(int s, int i) const { return score.object(s, i).data.barline; }
    // Each system's first bar lasts what `firstBar` says (a whole bar of 4
    // when not listed); the entry sits just after its first bar line.
    SystemTimeTable Times(std::map<int, double> firstBar) {
        return [this, firstBar](int top) {
            const StaveBlock& b = score.stave(top);
            for (int i = 1; i <= b.h.Nobjec; ++i)
                if (b.obj[i].kind == kBarline) {
                    const auto it = firstBar.find(top);
                    ++timed;
                    return std::vector<TimedPosition>{
                        {b.obj[i].x + 5, it == firstBar.end() ? 4.0 : it->second, 1}};
                }
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
    int timed = 0;
};

TEST_F(Bars, ListsTheBarsOfAStave) {
    const int s = System();
    Add(s, kClef, 30, glyph::GCLEF);
    const int key = Add(s, kKeysig, 60);
    score.object(s, key).data.keysig.key = 2;
    Timesig(s, 85, 4, 4);
    Note(s, 130);
    Bar(s, 200);
    Note(s, 220);
    const int last = Bar(s, 300);
    // The clef's ink, the two sharps and the time signature; then the gap.
    const int32_t clefEnd = 30 + GlyphInkBox(glyph::GCLEF).right - 21 + 20;
    const int32_t start = std::max({clefEnd, 60 + 20, 85 + 10}) + 20;
    BarBounds bars = BarList(score, s);
    EXPECT_EQ(bars.x, (std::vector<int32_t>{start, 200, 300}));
    EXPECT_FALSE(bars.opening);
    EXPECT_EQ(bars.barline.back(), last);
    EXPECT_TRUE(EndsWithBarline(score, s));
    Add(s, kText, 320);  // texts do not count
    EXPECT_TRUE(EndsWithBarline(score, s));
    Note(s, 330);
    EXPECT_FALSE(EndsWithBarline(score, s));

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
    EXPECT_FALSE(EndsWithBarline(score, System()));
    // A note before any signature bounds the start.
    const int u = System();
    Note(u, 10);
    EXPECT_EQ(BarList(score, u).x, std::vector<int32_t>{9});
}

TEST_F(Bars, RefreshCountsAPickupOnceAndAnEmptyBarNotAtAll) {
    const int s = System(2);
    Timesig(s, 60, 4, 4);
    Note(s, 100);  // a one-beat pickup
    const int b1 = Bar(s, 120);
    Note(s, 140);
    const int b2 = Bar(s, 200);
    const int b3 = Bar(s, 250);  // an empty bar
    Note(s, 270);
    const int b4 = Bar(s, 300);
    ApplyBarNumbering(score, RefreshBarNumbers(score, 1, kNumbersAtBarlines, 1, Times({{s, 1}})));
    EXPECT_EQ(score.stave(s).h.barNumber, 1);
    EXPECT_EQ(score.stave(s + 1).h.barNumber, 1);
    EXPECT_EQ(B(s, b1).barNumber, 1);
    EXPECT_EQ(B(s, b2).barNumber, 2);
    EXPECT_EQ(B(s, b3).barNumber, 2);
    EXPECT_EQ(B(s, b4).barNumber, 3);
    EXPECT_EQ(BarNumberAt(score, s + 1, 210), 2);
    EXPECT_EQ(BarNumberAt(score, s, 110), 1);

    // The keyboard's numbering counts the pickup and the empty bar.
    ApplyBarNumbering(score, RenumberBars(score, 0));
    EXPECT_EQ(B(s, b1).barNumber, 2);
    EXPECT_EQ(B(s, b2).barNumber, 3);
    EXPECT_EQ(B(s, b3).barNumber, 4);
    EXPECT_EQ(B(s, b4).barNumber, 5);
}

TEST_F(Bars, FirstBarsAreMeasuredAgainstTheSignatureInForce) {
    // A 3/4 piece over four systems with its signature on the first only.
    std::vector<int> tops, bars;
    for (int k = 0; k < 4; ++k) {
        const int s = System(2);
        tops.push_back(s);
        if (k == 0) Timesig(s, 60, 3, 4);
        for (int32_t x = 100; x < 400; x += 100) {
            Note(s, x);
            bars.push_back(Bar(s, x + 80));
        }
    }
    std::map<int, double> threeBeats;
    for (int s : tops)
        threeBeats[s] = 3;
    // The last system starts with a bar carried over from the one before.
    threeBeats[tops[3]] = 1;
    ApplyBarNumbering(score, RefreshBarNumbers(score, 1, kNumbersNone, 0, Times(threeBeats)));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(score.stave(tops[k]).h.barNumber, 1 + 3 * k);
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(B(tops[k], bars[3 * k + j]).barNumber, k < 3 ? 2 + 3 * k + j : 10 + j)
                << "system " << k << " bar line " << j;
    }
    EXPECT_TRUE(FirstBarIncomplete(score, tops[3] + 1, Times(threeBeats)));
    EXPECT_FALSE(FirstBarIncomplete(score, tops[2], Times(threeBeats)));
    // With no time table a system's first bar counts as whole.
    EXPECT_FALSE(FirstBarIncomplete(score, tops[3], nullptr));

    // Signatures: a denominator of 0 counts as 1, the signs as 4.
    ScoreObject t{};
    t.kind = kTimesig;
    t.data.timesig = {6, 8, 0, 0};
    EXPECT_DOUBLE_EQ(TimesigBarLength(t), 3);
    t.data.timesig = {2, 0, 0, 0};
    EXPECT_DOUBLE_EQ(TimesigBarLength(t), 8);
    t.data.timesig = {2, 2, 0, 2};
    EXPECT_DOUBLE_EQ(TimesigBarLength(t), 4);
}

TEST_F(Bars, AOneBarSystemLastsToTheEndOfItsLastNote) {
    const int s = System();
    Note(s, 100);
    Note(s, 150, 2);
    Bar(s, 200);
    const SystemTimeTable table = [](int) {
        return std::vector<TimedPosition>{{100, 0, 1}, {150, 1, 2}, {140, 0.5, 3}};
    };
    EXPECT_DOUBLE_EQ(FirstBarDuration(score, s, table), 3.5);
    EXPECT_FALSE(FirstBarIncomplete(score, s, [](int) {
        return std::vector<TimedPosition>{{100, 0, 2}, {150, 2, 2}};
    }));
    EXPECT_DOUBLE_EQ(FirstBarDuration(score, System(), table), 0);  // no bar line
}

TEST_F(Bars, NumbersStopAtTheSixteenBitLimit) {
    const int s = System();
    std::vector<int> bars;
    for (int32_t x = 100; x < 500; x += 100) {
        Note(s, x);
        bars.push_back(Bar(s, x + 50));
    }
    const int t = System();
    Note(t, 100);
    Bar(t, 150);
    ApplyBarNumbering(
        score, RefreshBarNumbers(score, kMaxBarNumber - 1, kNumbersAtBarlines, 1, Times({})));
    EXPECT_EQ(B(s, bars[0]).barNumber, kMaxBarNumber);
    EXPECT_EQ(B(s, bars[3]).barNumber, kMaxBarNumber);
    EXPECT_EQ(score.stave(t).h.barNumber, kMaxBarNumber);
    EXPECT_TRUE(RefreshBarNumbers(score, 0, 0, 1, Times({})).bars.empty());
    EXPECT_TRUE(RefreshBarNumbers(score, kMaxBarNumber + 1, 0, 1, Times({})).systems.empty());
    EXPECT_TRUE(RefreshBarNumbers(score, 1, 4, 1, Times({})).systems.empty());
}

TEST_F(Bars, ShowFlagsFollowTheFrequencyAndThePlace) {
    std::vector<std::pair<int, int>> bars;
    for (int k = 0; k < 2; ++k) {
        const int s = System(2);
        for (int32_t x = 100; x < 700; x += 100) {
            Note(s, x);
            bars.emplace_back(s, Bar(s, x + 50));
        }
    }
    const BarNumbering five = RefreshBarNumbers(score, 1, kNumbersAtBarlines, 5, Times({}));
    ApplyBarNumbering(score, five);
    for (const auto& [s, i] : bars)
        EXPECT_EQ(B(s, i).showNumber != 0, B(s, i).barNumber % 5 == 0) << B(s, i).barNumber;
    EXPECT_EQ(score.stave(1).h.barNumberPlace, kNumbersAtBarlines);
    EXPECT_EQ(score.stave(2).h.barNumberPlace, kNumbersNone);  // the top stave's only
    EXPECT_TRUE(StavesChangedBy(score, five).empty());

    const BarNumbering above = RefreshBarNumbers(score, 1, kNumbersUpperLeft, 5, Times({}));
    EXPECT_EQ(StavesChangedBy(score, above), (std::vector<std::pair<int, int>>{{1, 1}, {3, 3}}));
    ApplyBarNumbering(score, above);
    for (const auto& [s, i] : bars)
        EXPECT_EQ(B(s, i).showNumber, 0);

    // The keyboard's numbering shows every number but a system's last.
    ApplyBarNumbering(score, RenumberBars(score, 0));
    for (std::size_t k = 0; k < bars.size(); ++k)
        EXPECT_EQ(B(bars[k].first, bars[k].second).showNumber, k % 6 == 5 ? 0 : 1) << k;
    EXPECT_EQ(score.stave(3).h.barNumber, 7);
    EXPECT_EQ(score.stave(4).h.barNumber, 7);
}

// ---------------------------------------------------------------------------
// Re-spacing

class Respace : public Bars {
  protected:
    // A system of two staves: bar lines at 200, 300 and 400 on the top one,
    // crotchets 10 apart in both bars and outside them on both staves.
    void SetUp() override {
        top = System(2);
        Add(top, kClef, 30, glyph::GCLEF);
        for (int s : {top, top + 1})
            for (int32_t x : {150, 220, 230, 260, 320, 330, 360, 450})
                Note(s, x);
        for (int32_t x : {200, 300, 400})
            Bar(top, x);
        TidyStave(score, top, true);
        TidyStave(score, top + 1, true);
        dragged = Find(top, kBarline, 300);
    }
    int Find(int s, int kind, int32_t x) const {
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            if (score.object(s, i).kind == kind && score.object(s, i).x == x) return i;
        return 0;
    }
    int32_t X(int s, int i) const { return score.object(s, i).x; }

    int top = 0, dragged = 0;
};

TEST_F(Respace, ACtrlDropMovesTheBarlineAndTheGapsOfItsTwoBarsOnly) {
    const std::vector<int32_t> before = Xs(top + 1);
    const int a = Find(top, kNote, 220), b = Find(top, kNote, 230), c = Find(top, kNote, 260);
    const int d = Find(top, kNote, 320), e = Find(top, kNote, 330), f = Find(top, kNote, 360);
    ASSERT_TRUE(RespaceDroppedBarline(score, top, dragged, 250));
    EXPECT_EQ(X(top, dragged), 250);
    EXPECT_EQ(X(top, Find(top, kBarline, 200)), 200);
    EXPECT_EQ(X(top, Find(top, kBarline, 400)), 400);
    EXPECT_TRUE(Find(top, kNote, 150) && Find(top, kNote, 450));
    // Ink keeps its width: the two crotchets side by side stay 10 apart.
    EXPECT_EQ(X(top, b) - X(top, a), 10);
    EXPECT_EQ(X(top, e) - X(top, d), 10);
    EXPECT_LT(X(top, c) - X(top, b), 30);
    EXPECT_GT(X(top, f) - X(top, e), 30);
    EXPECT_GT(X(top, a), 200);
    EXPECT_LT(X(top, c), 250);
    EXPECT_GT(X(top, d), 250);
    EXPECT_LT(X(top, f), 400);
    // The staff below follows, column for column.
    const std::vector<int32_t> below = Xs(top + 1);
    for (std::size_t k = 0; k < below.size(); ++k) {
        const int32_t old = before[k];
        if (old < 200 || old > 400)
            EXPECT_EQ(below[k], old);
        else
            EXPECT_EQ(below[k], X(top, Find(top, kNote, below[k]))) << old;
    }
    // Dropped back where it was, the bar lines are where they began and the
    // notes within the rounding of one drag.
    ASSERT_TRUE(RespaceDroppedBarline(score, top, dragged, 300));
    const std::vector<int32_t> back = Xs(top + 1);
    for (std::size_t k = 0; k < back.size(); ++k)
        EXPECT_NEAR(back[k], before[k], 1) << k;
    EXPECT_EQ(X(top, dragged), 300);
    EXPECT_EQ(X(top, Find(top, kBarline, 200)), 200);
    EXPECT_EQ(X(top, Find(top, kBarline, 400)), 400);
    // The opening bar line and unmoved drops are plain moves.
    EXPECT_FALSE(RespaceDroppedBarline(score, top, dragged, 300));
    const int t = System();
    const int opening = Bar(t, 40);
    Note(t, 60);
    Bar(t, 100);
    EXPECT_FALSE(RespaceDroppedBarline(score, t, opening, 30));
}

TEST_F(Respace, ABarNarrowerThanItsInkKeepsItsInkInOrder) {
    const std::vector<int32_t> before = Xs(top + 1);
    ASSERT_TRUE(RespaceDroppedBarline(score, top, dragged, 205));
    const std::vector<int32_t> after = Xs(top + 1);
    for (std::size_t k = 1; k < after.size(); ++k)
        EXPECT_LT(after[k - 1], after[k]) << "notes " << k - 1 << " and " << k;
    // The first bar keeps only its ink, the bar line after it; the second
    // bar takes the rest.
    EXPECT_EQ(after[2] - after[1], 10);
    EXPECT_EQ(after[3] - after[2], 10);
    EXPECT_GT(X(top, dragged), after[3]);
    EXPECT_LT(X(top, dragged), after[4]);
    EXPECT_EQ(after.back(), before.back());
    EXPECT_EQ(X(top, Find(top, kBarline, 400)), 400);
}

TEST_F(Respace, LinesEndingOffThePictureAndImmobileTextsStay) {
    const int32_t W = ComputePageGeometry(score).width;
    LineShape shape;
    shape.dx = W + 40 - 320;  // ends beyond the page picture
    const int line = PlaceLine(score, top + 1, 320, 60, shape) - &score.object(top + 1, 0);
    const int text = PlaceText(score, top + 1, kText, 330, 60, 1, "still", kTextImmobile);
    const int moving = PlaceText(score, top + 1, kText, 340, 60, 1, "moves");
    ASSERT_TRUE(RespaceDroppedBarline(score, top, dragged, 250));
    const ScoreObject& l = score.object(top + 1, line);
    EXPECT_LT(l.x, 320);
    EXPECT_EQ(l.x + l.data.line.dx, W + 40);
    EXPECT_EQ(X(top + 1, text), 330);
    EXPECT_LT(X(top + 1, moving), 340);
}

TEST_F(Respace, TheKeyVariantFollowsKeySignaturesThatGrew) {
    // The old signatures ended at 100; the new ones end at 130.
    const int s = System();
    const int32_t R = score.stave(s).h.RightX;
    Add(s, kClef, 30, glyph::GCLEF);
    const int key = Add(s, kKeysig, 70);
    score.object(s, key).data.keysig.key = 3;
    Note(s, 120);
    Note(s, 130);
    Bar(s, 300);
    Note(s, 350);
    Bar(s, R);
    BarBounds bars = BarList(score, s);
    bars.x[0] = 100;
    std::vector<int32_t> to;
    for (int32_t p : bars.x)
        to.push_back(R - static_cast<int32_t>(std::lround((R - p) * double(R - 130) / (R - 100))));
    EXPECT_EQ(to.front(), 130);
    ASSERT_TRUE(RespaceBars(score, s, bars.x, to, 0, bars.count() - 1, RespaceVariant::Key));
    EXPECT_EQ(X(s, 1), 30);  // the clef and the signature stand before the music
    EXPECT_EQ(X(s, key), 70);
    EXPECT_GT(X(s, 3), 130);
    EXPECT_EQ(X(s, 4) - X(s, 3), 10);  // ink side by side stays so
    EXPECT_EQ(X(s, 5), to[1]);
    EXPECT_GT(X(s, 6), 350);
    EXPECT_EQ(X(s, 7), R);  // the last bound is not mapped
    EXPECT_FALSE(RespaceBars(score, s, bars.x, to, 1, 1, RespaceVariant::Key));
    EXPECT_FALSE(RespaceBars(score, s, bars.x, {130}, 0, 1, RespaceVariant::Key));
}

TEST_F(Respace, OccupancyLabelsGiveEachBarItsShareOfInk) {
    score.stave(top).h.PageNum = score.stave(top + 1).h.PageNum = 1;
    for (int s = top + 2; s <= score.Nstaves; ++s)
        score.stave(s).h.PageNum = 2;
    const std::vector<OccupancyLabel> labels = OccupancyLabels(score, 1);
    // Three bars up to 400, the open stretch to the end, and the total.
    ASSERT_EQ(labels.size(), 5u);
    const int32_t Y = score.stave(top).h.Ycoord;
    EXPECT_EQ(labels[1].x, 201);
    EXPECT_EQ(labels[1].y, Y - 40);
    EXPECT_EQ(labels[4].x, 30);
    EXPECT_EQ(labels[4].y, Y + 40);
    // Bar 200–300: three crotchets and one bar line in 99 columns.
    const std::vector<uint8_t> ink =
        MarkOccupancy(score, top, RespaceVariant::Drag, 20, 699, ComputePageGeometry(score).width);
    int32_t marked = 0;
    for (int32_t c = 201; c <= 299; ++c)
        marked += ink[c];
    EXPECT_EQ(labels[1].text,
              std::to_string(static_cast<int>(std::nearbyint(100.0 * marked / 99))) + "%");
}

}  // namespace
}  // namespace sw
