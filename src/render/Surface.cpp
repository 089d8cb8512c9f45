// The picture and recording surfaces.
#include "render/Surface.h"

#include "render/GlyphPainter.h"

namespace sw {

void PictureSurface::glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
                           uint32_t colour) {
    DrawGlyphScaled(ctx_, code, x, y, factor, small, rubberBand, colour);
}
void PictureSurface::namedBitmap(const std::string& name, int x, int y, double factor,
                                 bool rubberBand, bool small, uint32_t colour) {
    DrawNamedBitmap(ctx_, name, x, y, factor, rubberBand, small, colour);
}
void PictureSurface::line(double x1, double y1, double x2, double y2, const LineSpec& spec) {
    DrawLine(ctx_, x1, y1, x2, y2, spec);
}
void PictureSurface::printBar(int x1, int y1, int x2, int y2) {
    DrawPrintBar(ctx_, x1, y1, x2, y2);
}
void PictureSurface::polygon(const QPolygonF& points, uint32_t colour, bool filled) {
    DrawPolygon(ctx_, points, colour, filled);
}
void PictureSurface::rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                               uint32_t fill) {
    DrawRectangle(ctx_, x1, y1, x2, y2, colour, filled, fill);
}
void PictureSurface::ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                             uint32_t fill) {
    DrawEllipse(ctx_, x1, y1, x2, y2, colour, filled, fill);
}
int PictureSurface::text(const std::string& text, const TextDraw& draw, int x, int y) {
    return DrawTextString(ctx_, text, draw, x, y);
}
int PictureSurface::textHeight(const TextDraw& draw) {
    return TextLineHeight(draw.font);
}
int PictureSurface::textWidth(const std::string& text, const TextDraw& draw) {
    return QtTextMeasurer().width(draw.font, text);
}
int PictureSurface::spaceWidth(const TextDraw& draw) {
    return TextSpaceWidth(draw.font);
}
void PictureSurface::curve(const std::vector<QPoint>& points, const CurveSpec& spec) {
    DrawCurve(ctx_, points, spec);
}

RecordingSurface::Call& RecordingSurface::add(const char* what, double x1, double y1, double x2,
                                              double y2, uint32_t colour) {
    Call c;
    c.what = what;
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    calls_.push_back(c);
    return calls_.back();
}

void RecordingSurface::glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
                             uint32_t colour) {
    Call& c = add("glyph", x, y, 0, 0, colour);
    c.code = code;
    c.factor = factor;
    c.small = small;
    c.rubberBand = rubberBand;
}
void RecordingSurface::namedBitmap(const std::string& name, int x, int y, double factor,
                                   bool rubberBand, bool small, uint32_t colour) {
    Call& c = add("bitmap", x, y, 0, 0, colour);
    c.text = name;
    c.factor = factor;
    c.small = small;
    c.rubberBand = rubberBand;
}
void RecordingSurface::line(double x1, double y1, double x2, double y2, const LineSpec& spec) {
    Call& c = add("line", x1, y1, x2, y2, spec.colour);
    c.width = spec.width;
    c.rubberBand = spec.rubberBand;
    c.style = spec.style;
    c.p = spec.p;
    c.q = spec.q;
}
void RecordingSurface::printBar(int x1, int y1, int x2, int y2) {
    add("bar", x1, y1, x2, y2, 0);
}
void RecordingSurface::polygon(const QPolygonF& points, uint32_t colour, bool filled) {
    Call& c = add("polygon", 0, 0, 0, 0, colour);
    for (const QPointF& p : points)
        c.points.push_back(p.toPoint());
    c.filled = filled;
}
void RecordingSurface::rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                                 uint32_t fill) {
    Call& c = add("rect", x1, y1, x2, y2, colour);
    c.filled = filled;
    c.code = static_cast<int>(fill);
}
void RecordingSurface::ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                               uint32_t fill) {
    Call& c = add("ellipse", x1, y1, x2, y2, colour);
    c.filled = filled;
    c.code = static_cast<int>(fill);
}
int RecordingSurface::text(const std::string& text, const TextDraw& draw, int x, int y) {
    Call& c = add("text", x, y, 0, 0, draw.colour);
    c.text = text;
    c.small = draw.small;
    c.rubberBand = draw.rubberBand;
    c.width = draw.font.pointSize;
    return 6 * static_cast<int>(text.size());
}
void RecordingSurface::curve(const std::vector<QPoint>& points, const CurveSpec& spec) {
    Call& c = add("curve", 0, 0, 0, 0, spec.colour);
    c.points = points;
    c.width = spec.pixels(print_);
    c.rubberBand = spec.rubberBand;
    c.style = (spec.dotted ? 1 : 0) | (spec.editorial ? 2 : 0);
}

std::vector<RecordingSurface::Call> RecordingSurface::of(const std::string& what) const {
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.what == what) out.push_back(c);
    return out;
}

}  // namespace sw
