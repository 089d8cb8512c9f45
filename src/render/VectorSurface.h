// Drawing the print picture as paths instead of pixels, on any QPainter (a
// PDF or SVG page): the same positions and thicknesses as the print picture,
// texts as text, glyphs as outlines (their print bitmaps, placed as images,
// where the outline table has none).
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "render/Surface.h"

namespace sw {

class GlyphStore;

// Draws in print pixels: the painter's transform maps them to the device.
// `origin` is the print origin (the music area's top, or 0 for headers).
class VectorSurface : public Surface {
  public:
    VectorSurface(QPainter& painter, const GlyphStore& glyphs, QPoint origin);
    bool printMode() const override { return true; }
    void glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
               uint32_t colour) override;
    void namedBitmap(const std::string& name, int x, int y, double factor, bool rubberBand,
                     bool small, uint32_t colour) override;
    void line(double x1, double y1, double x2, double y2, const LineSpec& spec) override;
    void printBar(int x1, int y1, int x2, int y2) override;
    void polygon(const QPolygonF& points, uint32_t colour, bool filled) override;
    void rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                   uint32_t fill) override;
    void ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                 uint32_t fill) override;
    int text(const std::string& text, const TextDraw& draw, int x, int y) override;
    int textHeight(const TextDraw& draw) override;
    int textWidth(const std::string& text, const TextDraw& draw) override;
    int spaceWidth(const TextDraw& draw) override;
    void curve(const std::vector<QPoint>& points, const CurveSpec& spec) override;
    void setOrigin(QPoint origin) { origin_ = origin; }

  private:
    // The bitmap `name` at w x h as an image whose paper is transparent;
    // kept, so that a document stores each stretched glyph once.
    const QImage* ink(const std::string& name, int w, int h);
    void bitmapAt(const std::string& name, int x, int y, double factor, bool small, int code = -1);
    const std::vector<QPainterPath>& outline(int code);
    void fillCells(int x1, int y1, int x2, int y2, uint32_t colour);
    void shape(uint32_t colour, bool filled, uint32_t fill);

    QPainter& p_;
    const GlyphStore& glyphs_;
    QPoint origin_;
    std::map<std::tuple<std::string, int, int>, QImage> images_;
    std::map<int, std::vector<QPainterPath>> outlines_;
};

}  // namespace sw
