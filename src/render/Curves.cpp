// Curve drawing.
#include "render/Curves.h"

#include <algorithm>
#include <cmath>

#include "render/Lines.h"
#include "render/Rounding.h"

namespace sw {

NaturalSpline::NaturalSpline(const std::vector<QPointF>& p) : p_(p), m_(p.size(), 0.0) {
    const std::size_t n = p.size();
    if (n < 3) return;
    // Tridiagonal system for the inner second derivatives; the ends are 0.
    std::vector<double> a(n), b(n), c(n), d(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        double h0 = p[i].x() - p[i - 1].x(), h1 = p[i + 1].x() - p[i].x();
        a[i] = h0;
        b[i] = 2 * (h0 + h1);
        c[i] = h1;
        d[i] = 6 * ((p[i + 1].y() - p[i].y()) / h1 - (p[i].y() - p[i - 1].y()) / h0);
    }
    for (std::size_t i = 2; i + 1 < n; ++i) {
        double w = a[i] / b[i - 1];
        b[i] -= w * c[i - 1];
        d[i] -= w * d[i - 1];
    }
    for (std::size_t i = n - 2; i >= 1; --i) {
        m_[i] = (d[i] - (i + 2 < n ? c[i] * m_[i + 1] : 0)) / b[i];
        if (i == 1) break;
    }
}

double NaturalSpline::operator()(double x) const {
    if (p_.size() < 2) return p_.empty() ? 0 : p_[0].y();
    std::size_t i = 0;
    while (i + 2 < p_.size() && x > p_[i + 1].x())
        ++i;
    const double h = p_[i + 1].x() - p_[i].x();
    const double t = (x - p_[i].x()) / h, u = 1 - t;
    return t * p_[i + 1].y() + u * p_[i].y() +
           ((t * t * t - t) * m_[i + 1] + (u * u * u - u) * m_[i]) * h * h / 6;
}

CurveExtent DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec) {
    CurveExtent extent;
    std::stable_sort(points.begin(), points.end(),
                     [](const QPoint& a, const QPoint& b) { return a.x() < b.x(); });
    std::vector<QPoint> kept;
    for (const QPoint& pt : points)
        if (kept.empty() || pt.x() - kept.back().x() > 1) kept.push_back(pt);
    if (kept.size() < 2) return extent;
    extent.drawn = true;

    // Work in the pixels of the picture being drawn.
    const bool print = ctx.printMode;
    const int k = print ? 3 : 1;
    const int D = spec.thickness * k;
    const uint32_t colour = print ? (spec.colour == kPaper ? kPaper : kBlack) : spec.colour;
    const bool rubber = spec.rubberBand && !print;
    DrawContext pixels = ctx;  // picture pixels, origins applied below
    pixels.printMode = false;
    if (print) pixels.screen = ctx.print;
    pixels.screenOrigin = print ? ctx.printOrigin : ctx.screenOrigin;

    std::vector<QPointF> pts;
    for (const QPoint& pt : kept)
        pts.emplace_back(pt.x() * k, pt.y() * k);
    const double first = pts.front().x(), last = pts.back().x();
    const double mid = (first + last) / 2, span = last - first;
    double L = std::floor(span / 11.0);
    L = std::clamp(L, 2.0 * k, 5.0 * k);
    auto dashOdd = [&](double x) {
        return static_cast<long>(std::floor((x - first) / L)) % 2 == 1;
    };
    const NaturalSpline spline(pts);
    auto yAt = [&](double x) {
        if (pts.size() == 2) {
            double t = (x - first) / span;
            return pts[0].y() + (pts[1].y() - pts[0].y()) * t;
        }
        return spline(x);
    };

    extent.minY = extent.maxY = kept[0].y();
    for (int x = static_cast<int>(first); x <= static_cast<int>(last); ++x) {
        double y = yAt(x) / k;
        extent.minY = std::min(extent.minY, static_cast<int>(std::floor(y)));
        extent.maxY = std::max(extent.maxY, static_cast<int>(std::ceil(y)));
    }

    if (pts.size() == 2 && !spec.dotted) {
        // Parallel lines, each a pixel below the one before; at least one.
        const int lines = std::max(1, D);
        for (int i = 0; i < lines; ++i)
            DrawLine(pixels, pts[0].x(), pts[0].y() + i, pts[1].x(), pts[1].y() + i,
                     LineSpec{1, colour, rubber});
        return extent;
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
    return extent;
}

}  // namespace sw
