// What object drawing draws on: the page picture (screen or print), or a
// recording of every call, so that drawing rules can be checked without
// artwork or fonts.
#pragma once

#include <QPolygonF>
#include <string>
#include <vector>

#include "render/Curves.h"
#include "render/DrawContext.h"
#include "render/Lines.h"
#include "render/Text.h"

namespace sw {

class Surface {
  public:
    virtual ~Surface() = default;
    virtual bool printMode() const = 0;

    virtual void glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
                       uint32_t colour) = 0;
    virtual void namedBitmap(const std::string& name, int x, int y, double factor, bool rubberBand,
                             bool small, uint32_t colour) = 0;
    virtual void line(double x1, double y1, double x2, double y2, const LineSpec& spec) = 0;
    // Print pixels before the print origin.
    virtual void printBar(int x1, int y1, int x2, int y2) = 0;
    virtual void polygon(const QPolygonF& points, uint32_t colour, bool filled) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                           uint32_t fill) = 0;
    virtual void ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                         uint32_t fill) = 0;
    // Returns the drawn width in page pixels.
    virtual int text(const std::string& text, const TextDraw& draw, int x, int y) = 0;
    virtual int textHeight(const TextDraw& draw) = 0;
    virtual int textWidth(const std::string& text, const TextDraw& draw) = 0;
    virtual int spaceWidth(const TextDraw& draw) = 0;
    virtual void curve(const std::vector<QPoint>& points, const CurveSpec& spec) = 0;
};

// Draws on the screen or print picture of a DrawContext.
class PictureSurface : public Surface {
  public:
    explicit PictureSurface(const DrawContext& ctx) : ctx_(ctx) {}
    bool printMode() const override { return ctx_.printMode; }
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
    const DrawContext& context() const { return ctx_; }

  private:
    DrawContext ctx_;
};

// Keeps every call as a line of text ("glyph 3 100 200 ...") and draws nothing;
// texts measure six pixels a character and twelve high.
class RecordingSurface : public Surface {
  public:
    explicit RecordingSurface(bool print = false) : print_(print) {}
    bool printMode() const override { return print_; }
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
    int textHeight(const TextDraw&) override { return 12; }
    int textWidth(const std::string& text, const TextDraw&) override {
        return 6 * static_cast<int>(text.size());
    }
    int spaceWidth(const TextDraw&) override { return 6; }
    void curve(const std::vector<QPoint>& points, const CurveSpec& spec) override;

    struct Call {
        std::string what;  // "glyph", "line", "bar", "polygon", "rect", "ellipse", "text", "curve",
                           // "bitmap"
        int code = 0;      // glyph code
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        int width = 0;
        uint32_t colour = 0;
        bool small = false, rubberBand = false, filled = false;
        double factor = 1;
        std::string text;
        std::vector<QPoint> points;
        int style = 0, p = 0, q = 0;
    };
    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> of(const std::string& what) const;
    void clear() { calls_.clear(); }

  private:
    Call& add(const char* what, double x1, double y1, double x2, double y2, uint32_t colour);
    bool print_;
    std::vector<Call> calls_;
};

}  // namespace sw
