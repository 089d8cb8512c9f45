// Curve drawing.
#include "render/Curves.h"

#include <algorithm>
#include <cmath>

#include "layout/CurveGeometry.h"
#include "layout/Rounding.h"
#include "render/Lines.h"

namespace sw {

bool DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec) {
    std::vector<CurvePoint> stops;
    for (const QPoint& pt : points)
        stops.push_back({pt.x(), pt.y()});
    const std::vector<CurvePoint> kept = CurveStops(std::move(stops));
    if (kept.size() < 2) return false;

    // Work in the pixels of the picture being drawn.
    const bool print = ctx.printMode;
    const int k = print ? 3 : 1;
    const int D = spec.pixels(print);
    const uint32_t colour = print ? (spec.colour == kPaper ? kPaper : kBlack) : spec.colour;
    const bool rubber = spec.rubberBand && !print;
    DrawContext pixels = ctx;  // picture pixels, origins applied below
    pixels.printMode = false;
    if (print) pixels.screen = ctx.print;
    pixels.screenOrigin = print ? ctx.printOrigin : ctx.screenOrigin;

    std::vector<SplinePoint> pts;
    for (const CurvePoint& pt : kept)
        pts.push_back({static_cast<double>(pt.x * k), static_cast<double>(pt.y * k)});
    const double first = pts.front().x, last = pts.back().x;
    const double mid = (first + last) / 2, span = last - first;
    double L = std::floor(span / 11.0);
    L = std::clamp(L, 2.0 * k, 5.0 * k);
    auto dashOdd = [&](double x) {
        return static_cast<long>(std::floor((x - first) / L)) % 2 == 1;
    };
    const CurveLine spline(pts);
    auto yAt = [&](double x) {
        if (pts.size() == 2) {
            double t = (x - first) / span;
            return pts[0].y + (pts[1].y - pts[0].y) * t;
        }
        return spline(x);
    };

    if (pts.size() == 2 && !spec.dotted) {
        // Parallel lines, each a pixel below the one before; at least one.
        const int lines = std::max(1, D);
        for (int i = 0; i < lines; ++i)
            DrawLine(pixels, pts[0].x, pts[0].y + i, pts[1].x, pts[1].y + i,
                     LineSpec{1, colour, rubber});
        return true;
    }
    if (!spec.dotted) {
        double px = first, py = yAt(first);
        for (int x = static_cast<int>(first) + 1; x <= static_cast<int>(last); ++x) {
            double y = yAt(x);
            DrawLine(pixels, RoundEven(px), RoundEven(py), RoundEven(x), RoundEven(y),
                     LineSpec{print ? 3 : 1, colour, rubber});
            px = x;
            py = y;
        }
    }
    if ((D > 0 && !rubber) || spec.dotted) {
        for (int x = static_cast<int>(first); x <= static_cast<int>(last); ++x) {
            if (spec.dotted && !dashOdd(x)) continue;
            int len = spec.dotted && pts.size() == 2
                          ? std::max(1, D)
                          : std::max(1, RoundEven(D - std::fabs(x - mid) / span * 2 * D));
            int y = RoundEven(yAt(x));
            DrawLine(pixels, x, y, x, y + len, LineSpec{1, colour, rubber});
        }
    }
    if (spec.editorial) {
        const int y = RoundEven(yAt(mid));
        const int x = RoundEven(mid);
        DrawLine(pixels, x, y - 5 * k, x, y + D + 5 * k, LineSpec{print ? 3 : 1, colour, rubber});
    }
    return true;
}

}  // namespace sw
