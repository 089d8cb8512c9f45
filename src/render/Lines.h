// Lines in five styles, print bars, and filled or outlined shapes, on the
// screen picture (page pixels plus the screen origin, in a colour) or the
// print picture (three times the scale plus the print origin, black).
#pragma once

#include <QPolygonF>
#include <cstdint>
#include <functional>

#include "render/DrawContext.h"

namespace sw {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kPaper = 0xFFFFFF;

// Print ink is black; paper stays paper, so white-outs still blank the page.
inline uint32_t PrintInk(uint32_t colour) {
    return colour == kPaper ? kPaper : kBlack;
}

enum LineStyle { kSolid = 0, kDashed = 1, kWavy = 2, kGapped = 3, kSquareEnded = 5 };

struct LineSpec {
    int width = 1;  // -1 is a hairline: one pixel on screen, three print pixels
    uint32_t colour = kBlack;
    bool rubberBand = false;
    int style = kSolid;
    int p = 0, q = 0;
    bool squareEnds = false;
};

// The pieces a line of a style is drawn as, in page pixels: straight
// segments, and waves as polylines (a single point for a wave too short to
// show, which only the screen marks).
struct LinePieces {
    std::function<void(double x1, double y1, double x2, double y2, bool squareEnded)> segment;
    std::function<void(QPolygonF wave)> wave;
};
void SplitLine(double x1, double y1, double x2, double y2, const LineSpec& spec, bool print,
               const LinePieces& out);

// Print pixels [x1, x2) x [y1, y2).
struct PrintSpan {
    int x1, y1, x2, y2;
};
// A horizontal or vertical piece of a line in print pixels, before the print
// origin and the bar's one-pixel shift.
PrintSpan PrintAxisLine(double x1, double y1, double x2, double y2, int width);
// The cells DrawPrintBar fills: shifted one pixel right, origin added, and
// never empty.
PrintSpan PrintBarCells(int x1, int y1, int x2, int y2, QPoint origin);

// A line from (x1, y1) to (x2, y2) in page pixels; the end point itself is left
// out, as the platform's pens do.
void DrawLine(const DrawContext& ctx, double x1, double y1, double x2, double y2,
              const LineSpec& spec);

// A filled black rectangle on the print picture, in print pixels before the
// print origin; a bar of no width or height still shows.
void DrawPrintBar(const DrawContext& ctx, int x1, int y1, int x2, int y2);

// Shapes in page pixels: outlined with a one-pixel pen in `colour`, or filled.
void DrawPolygon(const DrawContext& ctx, const QPolygonF& points, uint32_t colour, bool filled);
void DrawRectangle(const DrawContext& ctx, int x1, int y1, int x2, int y2, uint32_t colour,
                   bool filled, uint32_t fill = kBlack);
void DrawEllipse(const DrawContext& ctx, int x1, int y1, int x2, int y2, uint32_t colour,
                 bool filled, uint32_t fill = kBlack);

// One pixel in page coordinates (screen only), in `colour` or inverted for rubber banding.
void PlotPixel(const DrawContext& ctx, int x, int y, uint32_t colour, bool rubberBand);

}  // namespace sw
