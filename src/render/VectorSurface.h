// Drawing the print picture as paths instead of pixels, on any QPainter (a
// PDF or SVG page): the same positions and thicknesses as the print picture,
// texts as text, glyphs as outlines (their print bitmaps, placed as images,
// where the outline table has none), or as glyphs of the glyph font.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/Surface.h"

namespace sw {

class GlyphFont;
class GlyphStore;

// Black ink waiting to be drawn: glyphs of the glyph font (a run per
// stretch) and filled cells. Ink over ink looks the same in any order, so it
// is gathered and drawn together just before anything else is drawn: the
// order holds where it matters (white-outs still cover what lies beneath),
// and a PDF states its pen, brush and transform once per batch, not per stem.
class PendingInk {
  public:
    // Without a valid font glyphs are not taken (they are drawn as paths).
    PendingInk(QPainter& painter, const GlyphFont* font);
    ~PendingInk() { flush(); }
    PendingInk(const PendingInk&) = delete;
    PendingInk& operator=(const PendingInk&) = delete;
    // Glyph `code` over the cell at `topLeft`, stretched by (sx, sy); false
    // when there is no font or it has no outline for the code.
    bool glyph(int code, QPointF topLeft, double sx, double sy);
    void cells(const QRectF& cells) { cells_.push_back(cells); }
    // A filled black polygon; false (nothing taken) unless it is convex,
    // since the batch fills by the nonzero rule and one polygon alone by the
    // even-odd one.
    bool convex(QPolygonF polygon);
    void flush();

  private:
    QPainter& p_;
    const GlyphFont* font_;
    std::map<std::pair<double, double>, std::pair<QList<quint32>, QList<QPointF>>> runs_;
    QList<QRectF> cells_;
    QPainterPath shapes_;
};

// Draws in print pixels: the painter's transform maps them to the device.
// `origin` is the print origin (the music area's top, or 0 for headers).
// With `ink`, black cells and glyphs wait in it (surfaces drawing one page
// share it).
class VectorSurface : public Surface {
  public:
    VectorSurface(QPainter& painter, const GlyphStore& glyphs, QPoint origin,
                  PendingInk* ink = nullptr);
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

    // The painter is about to draw something else: pending glyphs first.
    QPainter& painter() {
        if (ink_) ink_->flush();
        return p_;
    }

    QPainter& p_;
    const GlyphStore& glyphs_;
    QPoint origin_;
    PendingInk* ink_;
    std::map<std::tuple<std::string, int, int>, QImage> images_;
    std::map<int, std::vector<QPainterPath>> outlines_;
};

}  // namespace sw
