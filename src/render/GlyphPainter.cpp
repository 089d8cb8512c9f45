// The glyph painter.
#include "render/GlyphPainter.h"

#include <algorithm>
#include <cmath>

#include "core/TextUtil.h"
#include "layout/GlyphTable.h"
#include "render/GlyphStore.h"

namespace sw {

namespace {
int Round(double v) {
    return static_cast<int>(std::nearbyint(v));
}
}  // namespace

void PaintedSize(const std::string& name, int w, int h, double factor, bool small, int& outW,
                 int& outH) {
    outW = w;
    outH = h;
    if (small) {
        outH = Round(h * 5.0 / 8.0);
        // The horizontal wavy line keeps its full width so that links still join.
        std::string up = ToUpperAscii(name);
        if (up != "BMHORITWID" && up != "HBMHORITWID") outW = Round(w * 5.0 / 8.0);
    }
    if (factor != 1.0) {
        outH = Round(factor * h);
        outW = Round((factor + 1.0) * w / 2.0);
    }
}

void DrawNamedBitmap(const DrawContext& ctx, const std::string& name, int x, int y, double factor,
                     bool rubberBand, bool small, uint32_t colour) {
    QImage* canvas = ctx.canvas();
    if (!canvas || !ctx.glyphs) return;
    const Mask* natural = ctx.glyphs->mask(name);
    if (!natural) return;
    int w, h;
    PaintedSize(name, natural->width, natural->height, factor, small, w, h);
    int left = x - w / 2 - 1, top = y - h / 2;
    if (!ctx.printMode) {
        left += ctx.screenOrigin.x();
        top += ctx.screenOrigin.y();
    }
    const bool xorMode = rubberBand && !ctx.printMode;
    // Rubber banding uses the bitmap at its natural size, at the same placement.
    const Mask* m = xorMode ? natural : ctx.glyphs->stretched(name, w, h);
    if (!m) return;
    const uint32_t ink = ctx.printMode ? 0xFF000000u : ToQRgb(colour);
    const uint32_t invert = (~ToQRgb(colour)) & 0x00FFFFFFu;
    // The part of the bitmap on the canvas.
    const int c0 = std::max(0, -left), c1 = std::min(m->width, canvas->width() - left);
    const int r0 = std::max(0, -top), r1 = std::min(m->height, canvas->height() - top);
    if (c0 >= c1 || r0 >= r1) return;
    for (int r = r0; r < r1; ++r) {
        // Only the inked span of the row is touched: a note's bitmap is mostly
        // the paper beside its stem, and the picture is far out of cache.
        const uint8_t* on = m->ink.data() + static_cast<std::size_t>(r) * m->width;
        int from = c0, to = c1;
        while (from < to && !on[from])
            ++from;
        while (to > from && !on[to - 1])
            --to;
        if (from == to) continue;
        uint32_t* px = reinterpret_cast<uint32_t*>(canvas->scanLine(top + r)) + (left + from);
        on += from;
        const int n = to - from;
        if (xorMode) {
            for (int c = 0; c < n; ++c)
                if (on[c]) px[c] = 0xFF000000u | ((px[c] ^ invert) & 0x00FFFFFFu);
        } else {
            // Written whether ink or not, so that the loop vectorises.
            for (int c = 0; c < n; ++c)
                px[c] = on[c] ? ink : px[c];
        }
    }
}

void DrawGlyphScaled(const DrawContext& ctx, int code, int x, int y, double factor, bool small,
                     bool rubberBand, uint32_t colour) {
    if (!GlyphHasArt(code)) return;
    Nudge n = ScreenNudge(code);
    x += n.x;
    y += n.y;
    if (!ctx.printMode) {
        DrawNamedBitmap(ctx, GlyphResourceName(code, false), x, y, factor, rubberBand, small,
                        colour);
        return;
    }
    std::string name;
    QPoint at;
    PrintGlyphPlace(code, x - n.x, y - n.y, ctx.printOrigin, name, at);
    DrawNamedBitmap(ctx, name, at.x(), at.y(), factor, false, small, 0);
}

bool PrintGlyphPlace(int code, int x, int y, QPoint printOrigin, std::string& name, QPoint& at) {
    if (!GlyphHasArt(code)) return false;
    const Nudge n = ScreenNudge(code), p = PrintNudge(code);
    name = GlyphResourceName(code, true);
    at = QPoint(3 * (x + n.x) + printOrigin.x() + p.x, 3 * (y + n.y) + printOrigin.y() + p.y);
    return true;
}

void DrawGlyph(const DrawContext& ctx, int code, int x, int y, bool small, bool rubberBand,
               uint32_t colour) {
    DrawGlyphScaled(ctx, code, x, y, 1.0, small, rubberBand, colour);
}

}  // namespace sw
