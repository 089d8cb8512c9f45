// Curves through a chain of points: a natural cubic spline, thickest in the
// middle and tapering to a pixel at the ends, optionally dotted or with an
// editorial stroke. Ties use the same routine.
#pragma once

#include <QPoint>
#include <vector>

#include "render/DrawContext.h"

namespace sw {

struct CurveSpec {
    int thickness = 1;
    bool dotted = false;
    bool editorial = false;
    uint32_t colour = 0;
    bool rubberBand = false;
};

struct CurveExtent {
    bool drawn = false;
    int minY = 0, maxY = 0;  // page pixels, over the points and the spline
};

// Points are page pixels; they are sorted by x and points within a pixel of
// the previous one are dropped.
CurveExtent DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec);

// The spline through points sorted by x: y at any x between the first and last.
class NaturalSpline {
  public:
    explicit NaturalSpline(const std::vector<QPointF>& points);
    double operator()(double x) const;

  private:
    std::vector<QPointF> p_;
    std::vector<double> m_;  // second derivatives
};

}  // namespace sw
