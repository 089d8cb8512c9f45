// The symbol and shape palettes.
#include "editor/Palettes.h"

#include <algorithm>

#include "core/MessageIds.h"
#include "layout/GlyphTable.h"

namespace sw {

namespace {

// Stemmed notes, heads and the breve: symbols that look like notes but are none.
constexpr int kNoteSymbols[] = {21,  156, 23,  24, 26, 27, 148, 149, 150, 151, 152,
                                153, 154, 155, 93, 94, 97, 98,  99,  100, 101, 102};
constexpr int kAccidentalSymbols[] = {44, 45, 46, 47, 48, 72, 121, 122, 123, 228, 229};
// Bar repeat, bars' rest, divisi, the half-stave angles and the caesura sit across the stave.
constexpr int kCentredSymbols[] = {70, 137, 147, 219, 220, 227};
constexpr int kExtensionSign = 180;

template <std::size_t N>
bool In(const int (&set)[N], int g) {
    return std::find(std::begin(set), std::end(set), g) != std::end(set);
}

}  // namespace

SymbolClass ClassOfSymbol(int glyph) {
    if (glyph == kExtensionSign) return SymbolClass::Extension;
    if (In(kNoteSymbols, glyph)) return SymbolClass::Note;
    if (In(kAccidentalSymbols, glyph)) return SymbolClass::Accidental;
    if (In(kCentredSymbols, glyph)) return SymbolClass::Centred;
    return SymbolClass::Other;
}

int SymbolGuidance(int glyph) {
    switch (ClassOfSymbol(glyph)) {
        case SymbolClass::Extension:
            return msg::GuidanceTrill;
        case SymbolClass::Centred:
            return msg::GuidanceSymbolCentre;
        default:
            return msg::GuidanceSymbolPlace;
    }
}

std::vector<PaletteCell> LayOutPaletteCells(const std::vector<int>& glyphs,
                                            const std::vector<int>& widths, int paletteWidth) {
    std::vector<PaletteCell> cells;
    int32_t x = kPaletteMargin, y = kPaletteMargin;
    for (std::size_t k = 0; k < glyphs.size(); ++k) {
        const int32_t w = std::max(kPaletteCellMin, k < widths.size() ? widths[k] : 0);
        if (x > kPaletteMargin && x + w > paletteWidth) {
            x = kPaletteMargin;
            y += kPaletteRowHeight;
        }
        cells.push_back({glyphs[k], x, y, w, kPaletteRowHeight});
        x += w;
    }
    return cells;
}

const std::vector<int>& SymbolPaletteModel::Glyphs() {
    static const std::vector<int> kGlyphs = [] {
        std::vector<int> g = {// Dynamics.
                              159, 138, 139, 140, 141, 142, 143, 160, 144, 145, 167,
                              // Pauses, articulation and ornaments.
                              65, 66, 71, 73, 74, 75, 76, 77, 78, 221, 222, 223, 215, 136, 168, 105,
                              106, 161, 166, 180, 157, 240, 241, 107, 108, 110, 162, 164,
                              // Pedal, damping, segno and coda, repeats, octave marks.
                              134, 135, 111, 112, 113, 114, 115, 116, 158, 213, 214, 70, 137, 227,
                              147, 219, 220, 217, 218, 146, 165, 242, 163,
                              // Notes and accidentals, which warn the beginner.
                              21, 156, 23, 24, 26, 27, 148, 149, 150, 151, 93, 94, 44, 45, 46, 47,
                              48, 72, 121, 122, 123, 228, 229};
        // Digits: italic, circled, fingering, figured bass; the user's own symbols last.
        for (int d = 169; d <= 178; ++d)
            g.push_back(d);
        for (int d = 181; d <= 189; ++d)
            g.push_back(d);
        for (int d = 244; d <= 253; ++d)
            g.push_back(d);
        for (int d = 190; d <= 212; ++d)
            g.push_back(d);
        for (int d = 124; d <= 133; ++d)
            g.push_back(d);
        g.push_back(255);
        return g;
    }();
    return kGlyphs;
}

bool SymbolPaletteModel::Offers(int glyph) {
    const std::vector<int>& g = Glyphs();
    return std::find(g.begin(), g.end(), glyph) != g.end();
}

std::vector<PaletteCell> SymbolPaletteModel::Cells(int paletteWidth) {
    std::vector<int> widths;
    for (int g : Glyphs())
        widths.push_back(GlyphInkWidth(g));
    return LayOutPaletteCells(Glyphs(), widths, paletteWidth);
}

bool SymbolPaletteModel::choose(int glyph, bool shift) {
    if (!Offers(glyph)) return false;
    chosen_ = glyph;
    if (shift) moreThanOne = true;
    return true;
}

bool ShapePaletteModel::choose(int entry) {
    if (!enabled(entry)) return false;
    chosen_ = entry;
    return true;
}

DrawobjectData ShapePaletteModel::Start(int entry, bool white) {
    // Rectangles, circles, ellipses and squares by pairs of entries.
    static constexpr uint8_t kShapeType[4] = {2, 0, 3, 1};
    DrawobjectData d{};
    d.shape = kShapeType[std::clamp(entry, 0, 7) / 2];
    d.filled = static_cast<uint8_t>(entry % 2 == 1 || white);
    d.whiteOut = static_cast<uint8_t>(white);
    return d;
}

}  // namespace sw
