// The print glyphs' outlines as a TrueType font made in memory: each outline
// piece is one glyph of it, so that a PDF embeds a symbol's curves once and
// names the glyph at every use instead of repeating them.
#pragma once

#include <QByteArray>
#include <QPainterPath>
#include <QRawFont>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace sw {

// Font units per pixel of a print bitmap's cell. A glyph drawn at
// kGlyphFontPixels covers the cell as the outline does, its baseline the
// cell's top edge.
constexpr int kGlyphFontUnitsPerEm = 2048;
constexpr int kGlyphFontUnitsPerPixel = 32;
constexpr double kGlyphFontPixels =
    static_cast<double>(kGlyphFontUnitsPerEm) / kGlyphFontUnitsPerPixel;

// A TrueType font whose glyph k + 1 is shapes[k] (glyph 0 is the empty
// .notdef), in cell pixels with y downwards, mapped from U+E000 + k. Curves
// become quadratic ones within a fiftieth of a pixel. Empty when a shape is
// too large for the font's coordinates.
QByteArray BuildGlyphFont(const std::vector<QPainterPath>& shapes, const std::string& family);

// The outline table as a font registered with Qt for the life of this
// object; QPainter::drawGlyphRun with raw() draws its glyphs.
class GlyphFont {
  public:
    GlyphFont();
    ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    // False when the font could not be made or loaded: glyphs are then
    // drawn as paths.
    bool valid() const { return raw_.isValid(); }
    const QRawFont& raw() const { return raw_; }
    // The font's glyphs for the pieces of glyph `code` (first, count); count
    // 0 when the code has no outline.
    std::pair<quint32, quint32> pieces(int code) const;

  private:
    int id_ = -1;
    QRawFont raw_;
    std::array<std::pair<quint32, quint32>, 256> pieces_{};
};

}  // namespace sw
