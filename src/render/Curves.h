// Curves through a chain of points: an arc through three, a natural cubic
// spline through more, thickest in the middle and tapering to a pixel at the
// ends, optionally dotted or with an editorial stroke. Ties use the same routine.
#pragma once

#include <QPoint>
#include <optional>
#include <vector>

#include "layout/CurveGeometry.h"
#include "render/DrawContext.h"

namespace sw {

struct CurveSpec {
    int thickness = 1;
    bool dotted = false;
    bool editorial = false;
    uint32_t colour = 0;
    bool rubberBand = false;
    int printThickness = -1;  // print pixels; below 0, three times the thickness

    int pixels(bool print) const {
        return !print ? thickness : (printThickness >= 0 ? printThickness : 3 * thickness);
    }
};

// The geometry of a curve in the pixels of the picture drawn (three times the
// page pixels in print, origin not added): the spine through the points and,
// for each column, how far the thickness hangs below it.
class CurveShape {
  public:
    CurveShape(std::vector<SplinePoint> points, int thickness, int k);
    const std::vector<SplinePoint>& points() const { return pts_; }
    double first() const { return first_; }
    double last() const { return last_; }
    double mid() const { return mid_; }
    int thickness() const { return D_; }
    double yAt(double x) const;
    // Columns of the odd dashes of a dotted curve are left out.
    bool dashOdd(double x) const;
    // The thickness below the spine at column x (dotted straight curves keep it whole).
    int depthAt(double x, bool dotted) const;

  private:
    std::vector<SplinePoint> pts_;
    double first_, last_, mid_, span_, L_;
    int D_;
    CurveLine spline_;
};
// The shape of a curve through `points` (page pixels), or none when fewer than
// two stops remain.
std::optional<CurveShape> ShapeCurve(std::vector<QPoint> points, const CurveSpec& spec, bool print);

// Points are page pixels; they are sorted by x and points within a pixel of
// the previous one are dropped (CurveStops). False when nothing is drawn. The
// rows the curve covers are layout's (CurveRowsOf), not the drawing's.
bool DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec);

}  // namespace sw
