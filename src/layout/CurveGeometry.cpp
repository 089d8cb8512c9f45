// The line a curve follows and the rows it covers.
#include "layout/CurveGeometry.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "layout/Rounding.h"

namespace sw {

CurveLine::CurveLine(const std::vector<SplinePoint>& p) : p_(p), m_(p.size(), 0.0) {
    const std::size_t n = p.size();
    if (n <= 3) return;
    // Tridiagonal system for the inner second derivatives; the ends are 0.
    std::vector<double> a(n), b(n), c(n), d(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        double h0 = p[i].x - p[i - 1].x, h1 = p[i + 1].x - p[i].x;
        a[i] = h0;
        b[i] = 2 * (h0 + h1);
        c[i] = h1;
        d[i] = 6 * ((p[i + 1].y - p[i].y) / h1 - (p[i].y - p[i - 1].y) / h0);
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

double CurveLine::operator()(double x) const {
    if (p_.size() < 2) return p_.empty() ? 0 : p_[0].y;
    if (p_.size() == 3) {
        const SplinePoint &a = p_[0], &b = p_[1], &c = p_[2];
        return a.y * (x - b.x) * (x - c.x) / ((a.x - b.x) * (a.x - c.x)) +
               b.y * (x - a.x) * (x - c.x) / ((b.x - a.x) * (b.x - c.x)) +
               c.y * (x - a.x) * (x - b.x) / ((c.x - a.x) * (c.x - b.x));
    }
    std::size_t i = 0;
    while (i + 2 < p_.size() && x > p_[i + 1].x)
        ++i;
    const double h = p_[i + 1].x - p_[i].x;
    const double t = (x - p_[i].x) / h, u = 1 - t;
    return t * p_[i + 1].y + u * p_[i].y +
           ((t * t * t - t) * m_[i + 1] + (u * u * u - u) * m_[i]) * h * h / 6;
}

std::vector<CurvePoint> CurveStops(std::vector<CurvePoint> points) {
    std::stable_sort(points.begin(), points.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
    std::vector<CurvePoint> kept;
    for (const CurvePoint& pt : points)
        if (kept.empty() || pt.x - kept.back().x > 1) kept.push_back(pt);
    return kept;
}

CurveRows CurveRowsOf(const std::vector<CurvePoint>& points) {
    CurveRows rows;
    const std::vector<CurvePoint> kept = CurveStops(points);
    if (kept.size() < 2) return rows;
    rows.drawn = true;
    std::vector<SplinePoint> pts;
    for (const CurvePoint& pt : kept)
        pts.push_back({static_cast<double>(pt.x), static_cast<double>(pt.y)});
    const double first = pts.front().x, last = pts.back().x, span = last - first;
    const CurveLine spline(pts);
    auto yAt = [&](double x) {
        if (pts.size() == 2) return pts[0].y + (pts[1].y - pts[0].y) * ((x - first) / span);
        return spline(x);
    };
    rows.minY = rows.maxY = kept[0].y;
    for (int x = static_cast<int>(first); x <= static_cast<int>(last); ++x) {
        const double y = yAt(x);
        rows.minY = std::min(rows.minY, static_cast<int>(std::floor(y)));
        rows.maxY = std::max(rows.maxY, static_cast<int>(std::ceil(y)));
    }
    return rows;
}

namespace {

int16_t Clamp16(int32_t v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

}  // namespace

void LayOutCurves(Score& score, int s) {
    StaveBlock& b = score.stave(s);
    const int32_t Y = b.h.Ycoord;
    const bool small = b.h.sizeIndex != 0;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        ScoreObject& first = b.obj[i];
        if (first.kind != kCurve || first.curve().prevAnchor != 0 || first.curve().nextAnchor == 0)
            continue;
        std::vector<CurvePoint> points;
        std::set<int> seen;
        // A chain from a damaged file may loop: each point is taken once.
        for (int j = i; b.validIndex(j) && b.obj[j].kind == kCurve && seen.insert(j).second &&
                        points.size() < kMaxObjects;
             j = b.obj[j].curve().nextAnchor)
            points.push_back({b.obj[j].x, small ? SmallStaveY(Y, b.obj[j].y) : b.obj[j].y});
        const CurveRows rows = CurveRowsOf(points);
        if (!rows.drawn) continue;
        first.curve().upperBound = Clamp16(rows.minY - 7 - Y);
        first.curve().lowerBound = Clamp16(rows.maxY + 7 - Y);
    }
}

}  // namespace sw
