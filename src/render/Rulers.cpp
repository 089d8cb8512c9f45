// Ruler marks.
#include "render/Rulers.h"

#include <cmath>

namespace sw {

std::vector<RulerMark> RulerMarks(double pixelsPerInch, bool centimetres, int extent) {
    std::vector<RulerMark> marks;
    const double unit = centimetres ? pixelsPerInch / 2.54 : pixelsPerInch;
    // Below a pixel between marks they would only blacken the ruler.
    if (!(unit >= 10) || extent < 0) return marks;
    for (int i = 0;; ++i) {
        const int at = static_cast<int>(std::lround(i * unit / 10));
        if (at >= extent + kRulerThickness) break;
        RulerMark m;
        m.at = at;
        m.length = i % 10 == 0 ? 20 : (i % 5 == 0 ? 15 : 10);
        m.number = i % 10 == 0 ? i / 10 : -1;
        marks.push_back(m);
    }
    return marks;
}

RulerSpan RulerMarkSpan(const RulerMark& mark, bool top) {
    if (top) return {kRulerThickness - mark.length, kRulerThickness - 1};
    return {0, mark.length - 1};
}

RulerText RulerNumber(const RulerMark& mark, bool top, int textHeight) {
    if (mark.number < 0) return {};
    const std::string text = std::to_string(mark.number);
    if (top) return {mark.at + 3, 12, text};
    return {17, mark.at + 2 + textHeight, text};
}

}  // namespace sw
