// The spline a curve follows and the rows it covers, so a curve's vertical
// bounds are known to layout before (and whether or not) it is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

struct SplinePoint {
    double x, y;
};

// The line a curve follows through points sorted by x: y at any x between
// the first and last. Through three points (every tie, and a slur of three
// anchors) it is the parabola through them, an even arc; a natural spline
// there would run straight out of its ends and bend only in the middle, a
// flattened "V". Through more points it is the natural cubic spline.
class CurveLine {
  public:
    explicit CurveLine(const std::vector<SplinePoint>& points);
    double operator()(double x) const;

  private:
    std::vector<SplinePoint> p_;
    std::vector<double> m_;  // the spline's second derivatives
};

struct CurvePoint {
    int32_t x, y;
};

// The points a curve is drawn through: sorted by x (stable), dropping any
// within a pixel of the one kept before it.
std::vector<CurvePoint> CurveStops(std::vector<CurvePoint> points);

struct CurveRows {
    bool drawn = false;  // fewer than two stops draw nothing
    int minY = 0, maxY = 0;
};
// The page-pixel rows the curve through `points` covers at screen scale: the
// stops and the spline at every whole x between them.
CurveRows CurveRowsOf(const std::vector<CurvePoint>& points);

// Records on the first point of every curve chain of stave s the rows its
// curve covers, relative to the stave's Ycoord, with seven pixels to spare.
void LayOutCurves(Score& score, int s);

}  // namespace sw
