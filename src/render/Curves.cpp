// Curve drawing.
#include "render/Curves.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "layout/CurveGeometry.h"
#include "layout/Rounding.h"
#include "render/Lines.h"

namespace sw {

CurveShape::CurveShape(std::vector<SplinePoint> points, int thickness, int k)
    : pts_(std::move(points)),
      first_(pts_.front().x),
      last_(pts_.back().x),
      mid_((first_ + last_) / 2),
      span_(last_ - first_),
      L_(std::clamp(std::floor(span_ / 11.0), 2.0 * k, 5.0 * k)),
      D_(thickness),
      spline_(pts_) {}

double CurveShape::yAt(double x) const {
    if (pts_.size() == 2) {
        double t = (x - first_) / span_;
        return pts_[0].y + (pts_[1].y - pts_[0].y) * t;
    }
    return spline_(x);
}

bool CurveShape::dashOdd(double x) const {
    return static_cast<long>(std::floor((x - first_) / L_)) % 2 == 1;
}

int CurveShape::depthAt(double x, bool dotted) const {
    return dotted && pts_.size() == 2
               ? std::max(1, D_)
               : std::max(1, RoundEven(D_ - std::fabs(x - mid_) / span_ * 2 * D_));
}

std::optional<CurveShape> ShapeCurve(std::vector<QPoint> points, const CurveSpec& spec,
                                     bool print) {
    std::vector<CurvePoint> stops;
    for (const QPoint& pt : points)
        stops.push_back({pt.x(), pt.y()});
    const std::vector<CurvePoint> kept = CurveStops(std::move(stops));
    if (kept.size() < 2) return std::nullopt;
    const int k = print ? 3 : 1;
    std::vector<SplinePoint> pts;
    for (const CurvePoint& pt : kept)
        pts.push_back({static_cast<double>(pt.x * k), static_cast<double>(pt.y * k)});
    return CurveShape(std::move(pts), spec.pixels(print), k);
}

bool DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec) {
    const bool print = ctx.printMode;
    const std::optional<CurveShape> shape = ShapeCurve(std::move(points), spec, print);
    if (!shape) return false;

    // Work in the pixels of the picture being drawn.
    const int k = print ? 3 : 1;
    const int D = shape->thickness();
    const uint32_t colour = print ? (spec.colour == kPaper ? kPaper : kBlack) : spec.colour;
    const bool rubber = spec.rubberBand && !print;
    DrawContext pixels = ctx;  // picture pixels, origins applied below
    pixels.printMode = false;
    if (print) pixels.screen = ctx.print;
    pixels.screenOrigin = print ? ctx.printOrigin : ctx.screenOrigin;

    const std::vector<SplinePoint>& pts = shape->points();
    const double first = shape->first(), last = shape->last(), mid = shape->mid();
    auto yAt = [&](double x) { return shape->yAt(x); };

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
            if (spec.dotted && !shape->dashOdd(x)) continue;
            int y = RoundEven(yAt(x));
            DrawLine(pixels, x, y, x, y + shape->depthAt(x, spec.dotted),
                     LineSpec{1, colour, rubber});
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
