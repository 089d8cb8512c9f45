// Lines, print bars and curves pinned pixel by pixel; line, hairpin and curve
// objects checked on a recording surface.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <climits>
#include <tuple>
#include <vector>

#include "layout/CurveGeometry.h"
#include "model/Build.h"
#include "render/Curves.h"
#include "render/Lines.h"
#include "render/ObjectShapes.h"
#include "render/Surface.h"

namespace sw {
namespace {

bool Ink(const QImage& img, int x, int y) {
    return (img.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
}
std::vector<int> Span(int from, int to, std::vector<int> before = {}) {
    for (int v = from; v <= to; ++v)
        before.push_back(v);
    return before;
}
// The inked places of row y, or of column x when y < 0.
std::vector<int> InkAlong(const QImage& img, int x, int y) {
    std::vector<int> out;
    for (int k = 0; k < (y < 0 ? img.height() : img.width()); ++k)
        if (y < 0 ? Ink(img, x, k) : Ink(img, k, y)) out.push_back(k);
    return out;
}
// Left, right, top, bottom and count of the ink (of the black ink only when `black`).
std::tuple<int, int, int, int, int> InkBox(const QImage& img, bool black = false) {
    int l = INT_MAX, r = -1, t = INT_MAX, b = -1, n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x : InkAlong(img, 0, y))
            if (!black || img.pixel(x, y) == qRgb(0, 0, 0))
                l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = y, ++n;
    return {l, r, t, b, n};
}
int InkCount(const QImage& img) {
    return std::get<4>(InkBox(img));
}

struct Pictures {
    QImage screen{140, 60, QImage::Format_RGB32}, print{420, 180, QImage::Format_RGB32};
    DrawContext ctx{&screen, &print, false, {}, {}, nullptr};
    Pictures() { screen.fill(Qt::white), print.fill(Qt::white); }
};
LineSpec Style(int style, int p = 0, int q = 0, int width = 1) {
    return LineSpec{width, kBlack, false, style, p, q};
}

TEST(LinesScreen, StylesPinnedByPixel) {
    Pictures square, dashed, wavy, gapped;
    DrawLine(square.ctx, 20, 5, 20, 30, LineSpec{4, kBlack, false, kSolid, 0, 0, true});
    EXPECT_EQ(InkBox(square.screen), std::make_tuple(18, 21, 5, 29, 4 * 25));

    DrawLine(dashed.ctx, 0, 5, 30, 5, Style(kDashed));
    EXPECT_EQ(InkAlong(dashed.screen, 0, 5), Span(25, 29, Span(15, 19, Span(0, 4))));
    DrawLine(dashed.ctx, 0, 40, 4, 40, Style(kDashed));  // shorter than a dash: solid
    EXPECT_EQ(InkAlong(dashed.screen, 0, 40), Span(0, 3));

    DrawLine(wavy.ctx, 0, 5, 30, 5, Style(kWavy, 0));
    EXPECT_EQ(InkBox(wavy.screen), std::make_tuple(0, 29, 5, 5, 30));
    DrawLine(wavy.ctx, 50, 20, 60, 20, Style(kWavy, 15));  // shorter than p: its start
    EXPECT_EQ(InkAlong(wavy.screen, 0, 20), Span(50, 50));

    DrawLine(gapped.ctx, 0, 5, 30, 5, Style(kGapped, 0, 10));
    EXPECT_EQ(InkAlong(gapped.screen, 0, 5), Span(20, 29, Span(0, 9)));
    DrawLine(gapped.ctx, 0, 20, 30, 20, Style(kGapped, 0, 30));
    DrawLine(gapped.ctx, 0, 30, 30, 30, Style(kGapped, 0, 40));
    EXPECT_EQ(InkCount(gapped.screen), 20) << "a gap as long as the line leaves nothing";
}

TEST(LinesPrint, LinesOfAnyColourPrintBlackAtThreeTimesTheScale) {
    Pictures pic;
    pic.ctx.printMode = true;
    DrawLine(pic.ctx, 10, 10, 20, 10, LineSpec{1, 0x0000FF});
    EXPECT_EQ(InkBox(pic.print, true), std::make_tuple(31, 60, 30, 32, 30 * 3));
    DrawLine(pic.ctx, 30, 20, 50, 40, LineSpec{2, 0x00C000});
    const int diagonal = InkCount(pic.print) - 30 * 3;
    EXPECT_GT(diagonal, 60);
    EXPECT_EQ(std::get<4>(InkBox(pic.print, true)), InkCount(pic.print)) << "all black";
    DrawLine(pic.ctx, 10, 10, 20, 10, LineSpec{1, kPaper});
    EXPECT_EQ(InkCount(pic.print), diagonal) << "paper blanks what is under it";
}

TEST(LinesPrint, BarsMoveOneRightAndEmptyBarsWiden) {
    Pictures pic;
    pic.ctx.printMode = true;
    auto bar = [&](int x1, int y1, int x2, int y2, QPoint origin = {}) {
        pic.print.fill(Qt::white);
        pic.ctx.printOrigin = origin;
        DrawPrintBar(pic.ctx, x1, y1, x2, y2);
        return InkBox(pic.print, true);
    };
    EXPECT_EQ(bar(10, 20, 10, 40), std::make_tuple(10, 11, 20, 39, 2 * 20));
    EXPECT_EQ(bar(50, 30, 20, 30), std::make_tuple(21, 50, 29, 30, 30 * 2));
    EXPECT_EQ(bar(0, 0, 6, 3, {5, 7}), std::make_tuple(6, 11, 7, 9, 6 * 3));
    auto vertical = [&](int width) {  // print origin still (5, 7)
        pic.print.fill(Qt::white);
        DrawLine(pic.ctx, 10, 10, 10, 20, LineSpec{width});
        return InkBox(pic.print, true);
    };
    EXPECT_EQ(vertical(1), std::make_tuple(36, 38, 37, 66, 3 * 30));
    EXPECT_EQ(vertical(2), std::make_tuple(33, 38, 37, 66, 6 * 30));
    EXPECT_EQ(std::get<4>(vertical(-1)), 3 * 30) << "a hairline is three print pixels wide";
}

TEST(LinesRubberBand, LinesAndCurvesDrawnTwiceRestoreThePicture) {
    Pictures pic;
    for (int y = 0; y < pic.screen.height(); ++y)
        for (int x = 0; x < pic.screen.width(); ++x)
            pic.screen.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) * 5 % 256));
    const QImage before = pic.screen;
    const LineSpec kinds[] = {Style(kSolid, 0, 0, 3),
                              Style(kDashed, 4, 3),
                              Style(kWavy, 6, 0, 2),
                              {4, kBlack, false, kSolid, 0, 0, true}};
    for (int k = 0; k <= 4; ++k)
        for (int pass = 0; pass < 2; ++pass) {
            if (k == 4) {
                DrawCurve(pic.ctx, {{5, 5}, {50, 30}, {100, 5}}, {4, false, true, 0x3060C0, true});
            } else {
                LineSpec line = kinds[k];
                line.rubberBand = true, line.colour = 0x3060C0;
                DrawLine(pic.ctx, 10, 10, k == 3 ? 10 : 90, 40, line);
            }
            EXPECT_EQ(pic.screen == before, pass == 1) << "drawing " << k << " pass " << pass;
        }
}

TEST(CurvesScreen, ThicknessTapersAndDotsAreFivePixelDashes) {
    Pictures pic, dotted;
    pic.ctx.screenOrigin = {10, 10};
    DrawCurve(pic.ctx, {{0, 0}, {100, 0}, {50, 10}}, CurveSpec{4});
    EXPECT_EQ(InkAlong(pic.screen, 60, -1), Span(20, 23));
    EXPECT_EQ(InkAlong(pic.screen, 10, -1), Span(10, 10));
    EXPECT_EQ(InkAlong(pic.screen, 110, -1), Span(10, 10));

    DrawCurve(dotted.ctx, {{0, 20}, {55, 20}, {110, 20}}, CurveSpec{2, true});
    std::vector<int> dashes;
    for (int start = 5; start < 110; start += 10)
        dashes = Span(start, start + 4, dashes);
    EXPECT_EQ(InkAlong(dotted.screen, 0, 20), dashes);
}

TEST(CurvesScreen, ThreePointCurvesAreEvenArcs) {
    // The parabola through the three points: a quarter of the way along, three
    // quarters of the middle's height, the same either side.
    const CurveLine tie({{0, 0}, {50, -12}, {100, 0}});
    EXPECT_DOUBLE_EQ(tie(25), -9);
    EXPECT_DOUBLE_EQ(tie(75), -9);
    EXPECT_DOUBLE_EQ(tie(50), -12);
    // Through more points the curve still passes through every one.
    const CurveLine slur({{0, 0}, {30, -8}, {60, -10}, {100, 0}});
    EXPECT_NEAR(slur(30), -8, 1e-9);
    EXPECT_NEAR(slur(60), -10, 1e-9);
}

TEST(CurvesScreen, PointsWithinAPixelAreDroppedAndThinTwoPointCurvesAreLines) {
    Pictures pic;
    EXPECT_FALSE(DrawCurve(pic.ctx, {{10, 10}, {11, 30}}, CurveSpec{3}));
    EXPECT_FALSE(DrawCurve(pic.ctx, {{10, 10}, {10, 30}, {9, 50}}, CurveSpec{3}));
    EXPECT_EQ(InkCount(pic.screen), 0);
    // (1, 40) is dropped, leaving a straight two-point curve of thickness 0.
    EXPECT_TRUE(DrawCurve(pic.ctx, {{0, 5}, {1, 40}, {40, 5}}, CurveSpec{0}));
    EXPECT_EQ(InkBox(pic.screen), std::make_tuple(0, 39, 5, 5, 40));
    DrawCurve(pic.ctx, {{0, 20}, {40, 20}}, CurveSpec{3});
    EXPECT_EQ(InkAlong(pic.screen, 20, -1), (std::vector<int>{5, 20, 21, 22}));
}

using Seg = std::tuple<double, double, double, double>;
// Lines recorded drawing object 1 of a stave at y 100, made by `make`.
template <typename Make>
std::vector<Seg> Recorded(Kind kind, int x, int y, Make make) {
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    make(*PlaceObject(score, s, kind, x, y));
    RecordingSurface rec;
    kind == kLine ? DrawLineObject(rec, score, s, 1, {}) : DrawHairpin(rec, score, s, 1, {});
    std::vector<Seg> out;
    for (const auto& c : rec.of("line")) {
        out.emplace_back(c.x1, c.y1, c.x2, c.y2);
        if (out.size() > 1) {
            EXPECT_TRUE(c.style == kSolid && c.width == 2) << "leg or hairpin";
        }
    }
    return out;
}

TEST(ShapesLineObject, LegsPointOneWaySwapWhenDrawnLeftwardAndHairpinsOpen) {
    auto line = [](int dx, int ends) {
        return Recorded(kLine, 100, 50, [&](ScoreObject& o) {
            o.data.line.dx = int16_t(dx), o.data.line.thickness = 2, o.data.line.style = kDashed;
            o.data.line.legLength = 10, o.data.line.legDirection = 1,
            o.data.line.legEnds = uint8_t(ends);
        });
    };
    EXPECT_EQ(line(60, 0x06),
              (std::vector<Seg>{{100, 50, 160, 50}, {100, 50, 100, 60}, {160, 50, 160, 60}}));
    EXPECT_EQ(line(60, 0x02), (std::vector<Seg>{{100, 50, 160, 50}, {100, 50, 100, 60}}));
    EXPECT_EQ(line(-60, 0x02), (std::vector<Seg>{{100, 50, 40, 50}, {40, 50, 40, 60}}));

    for (int length : {60, -60}) {  // a hairpin opens from its apex either way
        std::vector<Seg> got = Recorded(kHairpin, 100, 200, [&](ScoreObject& o) {
            o.data.hairpin.length = int16_t(length), o.data.hairpin.halfOpening = -10;
            o.data.hairpin.thickness = 2;
        });
        std::sort(got.begin(), got.end());
        const double end = 100 + length;
        EXPECT_EQ(got, (std::vector<Seg>{{100, 200, end, 190}, {100, 200, end, 210}}));
    }
}

TEST(ShapesCurveObject, LoopingChainEndsAndBoundsAreClampedTo16Bits) {
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    StaveBlock& b = score.stave(s);
    for (int k = 0; k < 3; ++k)
        PlaceObject(score, s, kCurve, 10 + 40 * k, k < 2 ? 90 + 5 * k : 40100);
    b.obj[1].curve().nextAnchor = 2, b.obj[2].curve().prevAnchor = 1;
    b.obj[2].curve().nextAnchor = 3, b.obj[3].curve().prevAnchor = 2;
    b.obj[3].curve().nextAnchor = 2;  // back into the chain
    RecordingSurface rec;
    DrawCurveObject(rec, score, s, 2, {});
    EXPECT_TRUE(rec.calls().empty()) << "only the first point draws";
    DrawCurveObject(rec, score, s, 1, {});
    ASSERT_EQ(rec.of("curve").size(), 1u);
    EXPECT_EQ(rec.of("curve")[0].points, (std::vector<QPoint>{{10, 90}, {50, 95}, {90, 40100}}));
    // Drawing only reads: the bounds are layout's.
    const int drawnUpper = b.obj[1].curve().upperBound, drawnLower = b.obj[1].curve().lowerBound;
    EXPECT_EQ(std::make_tuple(drawnUpper, drawnLower), std::make_tuple(0, 0));
    LayOutCurves(score, s);
    const int upper = b.obj[1].curve().upperBound, lower = b.obj[1].curve().lowerBound;
    EXPECT_LE(upper, 90 - 7 - 100);
    EXPECT_EQ(lower, 32767);
    const int second = b.obj[2].curve().upperBound;
    EXPECT_EQ(second, 0) << "only the first point keeps them";
}

TEST(ShapesCurveObject, LaidOutBoundsHoldTheInkOfTheDrawnCurve) {
    for (int sizeIndex : {0, 2}) {
        Score score;
        const int s = AppendStave(score, 100, 0, 400);
        score.stave(s).h.sizeIndex = static_cast<uint8_t>(sizeIndex);
        PlaceCurve(score, s, {{20, 60}, {70, 30}, {120, 75}, {170, 50}}, 3);
        LayOutCurves(score, s);
        const int upperBound = score.object(s, 1).curve().upperBound;
        const int lowerBound = score.object(s, 1).curve().lowerBound;
        const int thickness = score.object(s, 1).curve().thickness;
        QImage screen(400, 200, QImage::Format_RGB32);
        screen.fill(Qt::white);
        PictureSurface out(DrawContext{&screen, nullptr, false, {}, {}, nullptr});
        DrawCurveObject(out, score, s, 1, {});
        const auto [left, right, top, bottom, count] = InkBox(screen);
        ASSERT_GT(count, 0);
        // Seven pixels to spare above the spline and below it, plus the thickness;
        // the drawn rows round where the bounds take the floor and the ceiling.
        EXPECT_GE(top - (100 + upperBound + 7), 0) << sizeIndex;
        EXPECT_LE(top - (100 + upperBound + 7), 1) << sizeIndex;
        EXPECT_GE(100 + lowerBound + thickness, bottom) << sizeIndex;
        EXPECT_LE(100 + lowerBound - 7 - 1, bottom) << sizeIndex;
    }
}

}  // namespace
}  // namespace sw
