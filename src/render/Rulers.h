// The rulers beside the page picture, as plain numbers: where each tick mark
// goes, how long it is, which carry a number and where the number is written.
#pragma once

#include <string>
#include <vector>

namespace sw {

// Each ruler is this thick, and runs this far past the picture's far end.
constexpr int kRulerThickness = 25;

struct RulerMark {
    int at = 0;       // pixels from the picture's origin
    int length = 10;  // 20 at a whole unit, 15 at a half, else 10
    int number = -1;  // the units counted at a whole unit, else -1
};

// The marks every tenth of an inch (or centimetre) at `pixelsPerInch`, from
// the picture's origin to `extent` + kRulerThickness pixels along it.
std::vector<RulerMark> RulerMarks(double pixelsPerInch, bool centimetres, int extent);

// Where a mark's line lies across the ruler (first and last pixel) and where
// its number is written: the top ruler's marks rise from its lower edge with
// the number 3 pixels right of the mark, its baseline at 12; the left ruler's
// run in from its outer edge with the number at x 17, just below the mark.
struct RulerSpan {
    int from = 0, to = 0;
};
RulerSpan RulerMarkSpan(const RulerMark& mark, bool top);
// x and y in the ruler's picture, the position along it counted from the
// page picture's origin; y is the text's baseline.
struct RulerText {
    int x = 0, y = 0;
    std::string text;
};
RulerText RulerNumber(const RulerMark& mark, bool top, int textHeight);

}  // namespace sw
