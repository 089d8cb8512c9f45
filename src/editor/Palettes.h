// The two palettes of the placing modes as models without a window: "Select
// Symbol" (a fixed set of glyphs in cells laid out by their widths) and
// "Miscellaneous shapes". The window and scripts both work through them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/ScoreObject.h"

namespace sw {

// What a glyph is, for the warnings and the guidance of Symbol mode.
enum class SymbolClass : uint8_t { Note, Accidental, Centred, Extension, Other };
SymbolClass ClassOfSymbol(int glyph);
// The guidance shown while the symbol follows the mouse: 558 for the
// extension sign, 556 for symbols usually centred on the stave, else 562.
int SymbolGuidance(int glyph);

struct PaletteCell {
    int glyph = 0;
    int32_t x = 0, y = 0, w = 0, h = 0;
};
constexpr int kPaletteMargin = 10, kPaletteCellMin = 43, kPaletteRowHeight = 68;

// Cells for glyphs of the given widths: each as wide as its glyph but at
// least 43, in rows from x 10, a row ending where the next cell would pass
// `paletteWidth` (a row takes one cell however narrow the palette).
std::vector<PaletteCell> LayOutPaletteCells(const std::vector<int>& glyphs,
                                            const std::vector<int>& widths, int paletteWidth);

class SymbolPaletteModel {
  public:
    static constexpr const char* kHints = "&With Hints";
    static constexpr const char* kMoreThanOne = "&More than one";
    static constexpr const char* kAbort = "&Abort";

    // The glyphs offered, in the palette's order.
    static const std::vector<int>& Glyphs();
    static bool Offers(int glyph);
    // The palette's cells at `paletteWidth`, glyphs measured by their ink.
    static std::vector<PaletteCell> Cells(int paletteWidth);

    bool hints = false;
    bool moreThanOne = false;  // unticked each time the palette opens

    // A click on the cell of `glyph`, with Shift also ticking "More than
    // one"; false (nothing chosen) for a glyph the palette does not offer.
    bool choose(int glyph, bool shift = false);
    std::optional<int> chosen() const { return chosen_; }

  private:
    std::optional<int> chosen_;
};

class ShapePaletteModel {
  public:
    // The entries by palette number: odd entries are the solid shapes.
    static constexpr std::array<const char*, 8> kShapes = {
        "&Rectangle", "S&olid Rectangle", "&Circle", "Solid C&ircle",
        "&Ellipse",   "Solid E&llipse",   "&Square", "Solid S&quare"};
    static constexpr const char* kBlack = "&Black";
    static constexpr const char* kWhite = "&White (erase)";

    bool white = false;
    // White erases: only the solid shapes can be white, so the outlines are
    // disabled while it is chosen.
    bool enabled(int entry) const { return entry >= 0 && entry < 8 && (!white || entry % 2 == 1); }
    // A shape button: false for a disabled or unknown one.
    bool choose(int entry);
    std::optional<int> chosen() const { return chosen_; }

    // The shape object an entry starts: its shape type, fill and colour.
    static DrawobjectData Start(int entry, bool white);

  private:
    std::optional<int> chosen_;
};

}  // namespace sw
