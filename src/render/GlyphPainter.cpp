// The glyph painter.
#include "render/GlyphPainter.h"

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
    const int cw = canvas->width(), ch = canvas->height();
    for (int r = 0; r < m->height; ++r) {
        int py = top + r;
        if (py < 0 || py >= ch) continue;
        auto* line = reinterpret_cast<uint32_t*>(canvas->scanLine(py));
        for (int c = 0; c < m->width; ++c) {
            int px = left + c;
            if (px < 0 || px >= cw || !m->at(c, r)) continue;
            if (xorMode)
                line[px] = 0xFF000000u | ((line[px] ^ invert) & 0x00FFFFFFu);
            else
                line[px] = ink;
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
    Nudge p = PrintNudge(code);
    DrawNamedBitmap(ctx, GlyphResourceName(code, true), 3 * x + ctx.printOrigin.x() + p.x,
                    3 * y + ctx.printOrigin.y() + p.y, factor, false, small, 0);
}

void DrawGlyph(const DrawContext& ctx, int code, int x, int y, bool small, bool rubberBand,
               uint32_t colour) {
    DrawGlyphScaled(ctx, code, x, y, 1.0, small, rubberBand, colour);
}

}  // namespace sw
