// The print glyphs as outlines, from the table the glyph generator writes
// beside the bitmaps: what the vector pages draw instead of the bitmaps.
#pragma once

#include <QPainterPath>
#include <vector>

namespace sw {

// The outline pieces of glyph `code` in the pixels of its print bitmap's cell
// (each piece filled by the nonzero rule); empty when the table has none.
std::vector<QPainterPath> GlyphOutline(int code);

// Parses one table entry: "M x y", "L x y" and "C x1 y1 x2 y2 x y" steps,
// pieces split by "|". Empty for text that is not such a list.
std::vector<QPainterPath> ParseOutline(const char* text);

}  // namespace sw
