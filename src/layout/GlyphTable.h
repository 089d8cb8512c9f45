// The glyph set as plain data: codes and their base names, the ink box of every
// code in the screen cell, the screen and print placement nudges, and the
// stave line spacing. Layout measures with it; the painter draws with it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sw {

struct GlyphBox {
    int32_t left, right, top, bottom;  // first and last ink column and row in the screen cell
};

struct Nudge {
    int x = 0, y = 0;
};

// Cell sizes of the two sets; the print set is drawn for a space three times as large.
constexpr int kScreenCellW = 41, kScreenCellH = 64;
constexpr int kPrintCellW = 123, kPrintCellH = 192;
constexpr int kScreenSpace = 8, kPrintSpace = 24;

// Well-known codes.
namespace glyph {
enum : uint8_t {
    GCLEF = 3,
    FCLEF = 2,
    ACLEF = 0,
    TCLEF = 1,
    DIGIT0 = 8,  // "0"; the digits follow in order
    FB0 = 190,   // the small "0"; the small digits follow in order
    COMMON = 19,
    COMMON2 = 20,  // alla breve
    BREVE = 21,
    NOTEHEAD_BLACK = 25,  // "4_"
    OPEN_HEAD = 22,       // "1_"
    MINIM_UP = 23,        // "2U"
    QUAVER_UP = 28,       // "8U": head, stem and flag
    QUAVER_DOWN = 29,     // "8D"
    DIAGLINE = 36,        // slash head
    BARLINE = 39,
    BARLINE2 = 40,  // "2BARLINE"
    BARLINE3 = 41,  // "3BARLINE"
    STAVE1 = 42,    // upper bracket hook
    STAVE2 = 43,    // lower bracket hook
    FLAT = 44,
    FLAT2 = 45,  // "2FLAT"
    SHARP = 46,
    SHARP2 = 47,  // "2SHARP"
    NATURAL = 48,
    DOT = 37,
    DOT2 = 38,
    DOT3 = 179,
    REPBAR1 = 67,  // start repeat; 68 end repeat, 69 both
    REPBAR2 = 68,
    REPBAR3 = 69,
    DOTTED_BARLINE = 224,
    HALF_BARLINE = 225,
    STACCATO = 71,          // "STACCUP"
    WEDGE_BELOW = 73,       // "STACCCUP", pointing up at a note above it
    WEDGE_ABOVE = 74,       // "STACCCDN"
    MARCATO = 75,           // "HATUP"
    ACCENT = 76,            // "GREATER"
    TENUTO = 77,            // "LINEUP"
    MARCATO_BELOW = 221,    // "V"
    SMALL_HEAD_OPEN = 89,   // "1_2"
    SMALL_HEAD_BLACK = 90,  // "4_2"
    SEMIBREVE = 156,
    DIAMOND = 216,
    OCTAVE_8VA = 146,
    OCTAVE_8VB = 165,
    OCTAVE_15MA = 242,
    BLANK = 254,
    BLANK2 = 243,
    TINYBLACK = 255,
};
}  // namespace glyph

// The base name of a code ("GCLEF"), or "NOTHING" for a code without one.
const char* GlyphBaseName(int code);
// True for codes that have artwork of their own.
bool GlyphHasArt(int code);
// True for the one bitmap whose ink may reach the edge of its cell: the
// screen's filled head, drawn in a box of its own size. Every other glyph
// keeps its ink off the edge, where it would have been cut off.
bool GlyphFillsItsCell(int code, bool printSet);
// bm + name on screen, hbm + name in print mode.
std::string GlyphResourceName(int code, bool printMode);

GlyphBox GlyphInkBox(int code);
// right - left when that lies within 0..31, else 0.
int GlyphInkWidth(int code);

Nudge ScreenNudge(int code);
Nudge PrintNudge(int code);

// The width of a code's screen bitmap: the full cell, except the black note
// head, which is drawn in a bitmap of its own size.
int ScreenBitmapWidth(int code);
// The page columns the screen ink of a code drawn at x covers, where the
// painter puts it (the bitmap centred on x, moved by the screen nudge).
struct InkColumns {
    int32_t first, last;
};
InkColumns GlyphInkColumns(int code, int32_t x);

// Stave line spacing by size flag (0 normal, 1 small).
int LineSpacing(int sizeIndex);
inline int HalfSpace(int sizeIndex) {
    return LineSpacing(sizeIndex) / 2;
}
inline int TwoSpaces(int sizeIndex) {
    return LineSpacing(sizeIndex) * 2;
}

// The bitmap name of a sharp (1), natural (0) or flat (-1) drawn inside text of
// the given point size, e.g. "bmSHARP026"; print mode prefixes "h".
std::string TextAccidentalName(int pointSize, int accidental, bool printMode);
struct TextAccidentalOffset {
    int x, y;
};
TextAccidentalOffset TextAccidentalPlace(int pointSize, int accidental);

// The size classes of the text accidentals and their strip heights.
constexpr std::array<int, 8> kTextAccidentalClasses = {6, 10, 15, 20, 26, 32, 40, 50};
constexpr std::array<int, 8> kTextAccidentalScreenHeights = {10, 34, 52, 69, 90, 111, 136, 172};
// The print strips are three times the screen ones, so that the sign keeps
// its place on the baseline at both scales.
constexpr std::array<int, 8> kTextAccidentalPrintHeights = {30, 102, 156, 207, 270, 333, 408, 516};

}  // namespace sw
