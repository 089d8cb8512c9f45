// Curves through a chain of points: an arc through three, a natural cubic
// spline through more, thickest in the middle and tapering to a pixel at the
// ends, optionally dotted or with an editorial stroke. Ties use the same routine.
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
    int printThickness = -1;  // print pixels; below 0, three times the thickness

    int pixels(bool print) const {
        return !print ? thickness : (printThickness >= 0 ? printThickness : 3 * thickness);
    }
};

// Points are page pixels; they are sorted by x and points within a pixel of
// the previous one are dropped (CurveStops). False when nothing is drawn. The
// rows the curve covers are layout's (CurveRowsOf), not the drawing's.
bool DrawCurve(const DrawContext& ctx, std::vector<QPoint> points, const CurveSpec& spec);

}  // namespace sw
