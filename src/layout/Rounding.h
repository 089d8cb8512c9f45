// The two roundings drawing needs: halves to even for computed positions, and
// halves away from zero where the platform's integer scaling and the print
// coordinates round that way.
#pragma once

#include <cmath>
#include <cstdint>

namespace sw {

inline int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}
inline int RoundAway(double v) {
    return static_cast<int>(std::round(v));
}

// a * b / c rounded half away from zero, as the platform's MulDiv does; 0 when c is 0.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    return RoundAway(static_cast<double>(a) * b / c);
}

// A y on a small stave, drawn 5/8 as far from the middle line.
inline int32_t SmallStaveY(int32_t ycoord, int32_t y) {
    return ycoord + RoundEven((y - ycoord) * 5.0 / 8.0);
}

}  // namespace sw
