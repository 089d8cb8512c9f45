// Painting glyphs and named bitmaps onto the screen or print picture.
#pragma once

#include <QPoint>
#include <cstdint>
#include <string>

#include "render/DrawContext.h"

namespace sw {

// The size a w x h bitmap is painted at: 5/8 on a small stave (the horizontal
// wavy line keeps its width), or a reduction factor that shrinks the height
// fully and the width half as much.
void PaintedSize(const std::string& name, int w, int h, double factor, bool small, int& outW,
                 int& outH);

// Paints the named bitmap with its reference point at (x, y) on the current
// picture. On screen ink takes `colour` (0x00BBGGRR), or in rubber-band mode
// inverts the page so that painting twice restores it; in print mode ink is
// black. A missing resource paints nothing.
void DrawNamedBitmap(const DrawContext& ctx, const std::string& name, int x, int y, double factor,
                     bool rubberBand, bool small, uint32_t colour);

// The print bitmap of glyph `code` drawn at page point (x, y), and where its
// reference point lands on the print picture; false for a code without art.
bool PrintGlyphPlace(int code, int x, int y, QPoint printOrigin, std::string& name, QPoint& at);

// Paints glyph `code` at page point (x, y) with its nudges; in print mode at
// three times the position plus the print origin.
void DrawGlyph(const DrawContext& ctx, int code, int x, int y, bool small, bool rubberBand,
               uint32_t colour);
void DrawGlyphScaled(const DrawContext& ctx, int code, int x, int y, double factor, bool small,
                     bool rubberBand, uint32_t colour);

}  // namespace sw
