// The picture and recording surfaces.
#include "render/Surface.h"

#include <QFontMetrics>

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
    return QFontMetrics(ScoreQFont(draw.font, draw.font.pointSize)).height();
}
int PictureSurface::textWidth(const std::string& text, const TextDraw& draw) {
    return QtTextMeasurer().width(draw.font, text);
}
int PictureSurface::spaceWidth(const TextDraw& draw) {
    return QFontMetrics(ScoreQFont(draw.font, draw.font.pointSize)).horizontalAdvance(' ');
}
CurveExtent PictureSurface::curve(const std::vector<QPoint>& points, const CurveSpec& spec) {
    return DrawCurve(ctx_, points, spec);
}

void RecordingSurface::glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
                             uint32_t colour) {
    Call c;
    c.what = "glyph";
    c.code = code;
    c.x1 = x;
    c.y1 = y;
    c.factor = factor;
    c.small = small;
    c.rubberBand = rubberBand;
    c.colour = colour;
    calls_.push_back(c);
}
void RecordingSurface::namedBitmap(const std::string& name, int x, int y, double factor,
                                   bool rubberBand, bool small, uint32_t colour) {
    Call c;
    c.what = "bitmap";
    c.text = name;
    c.x1 = x;
    c.y1 = y;
    c.factor = factor;
    c.small = small;
    c.rubberBand = rubberBand;
    c.colour = colour;
    calls_.push_back(c);
}
void RecordingSurface::line(double x1, double y1, double x2, double y2, const LineSpec& spec) {
    Call c;
    c.what = "line";
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.width = spec.width;
    c.colour = spec.colour;
    c.rubberBand = spec.rubberBand;
    c.style = spec.style;
    c.p = spec.p;
    c.q = spec.q;
    calls_.push_back(c);
}
void RecordingSurface::printBar(int x1, int y1, int x2, int y2) {
    Call c;
    c.what = "bar";
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    calls_.push_back(c);
}
void RecordingSurface::polygon(const QPolygonF& points, uint32_t colour, bool filled) {
    Call c;
    c.what = "polygon";
    for (const QPointF& p : points)
        c.points.push_back(p.toPoint());
    c.colour = colour;
    c.filled = filled;
    calls_.push_back(c);
}
void RecordingSurface::rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                                 uint32_t fill) {
    Call c;
    c.what = "rect";
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    c.filled = filled;
    c.code = static_cast<int>(fill);
    calls_.push_back(c);
}
void RecordingSurface::ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                               uint32_t fill) {
    Call c;
    c.what = "ellipse";
    c.x1 = x1;
    c.y1 = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    c.filled = filled;
    c.code = static_cast<int>(fill);
    calls_.push_back(c);
}
int RecordingSurface::text(const std::string& text, const TextDraw& draw, int x, int y) {
    Call c;
    c.what = "text";
    c.text = text;
    c.x1 = x;
    c.y1 = y;
    c.colour = draw.colour;
    c.small = draw.small;
    c.rubberBand = draw.rubberBand;
    c.width = draw.font.pointSize;
    calls_.push_back(c);
    return 6 * static_cast<int>(text.size());
}
CurveExtent RecordingSurface::curve(const std::vector<QPoint>& points, const CurveSpec& spec) {
    Call c;
    c.what = "curve";
    c.points = points;
    c.width = spec.thickness;
    c.colour = spec.colour;
    c.rubberBand = spec.rubberBand;
    c.style = (spec.dotted ? 1 : 0) | (spec.editorial ? 2 : 0);
    calls_.push_back(c);
    CurveExtent e;
    if (points.size() < 2) return e;
    e.drawn = true;
    e.minY = e.maxY = points[0].y();
    for (const QPoint& p : points) {
        e.minY = std::min(e.minY, p.y());
        e.maxY = std::max(e.maxY, p.y());
    }
    return e;
}

std::vector<RecordingSurface::Call> RecordingSurface::of(const std::string& what) const {
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.what == what) out.push_back(c);
    return out;
}

}  // namespace sw
