// The glyph of an accidental by its value (-2 double flat … 2 double sharp,
// anything else a natural), for the keys and the attribute dialogs alike.
#pragma once

#include <cstdint>

#include "layout/GlyphTable.h"

namespace sw {

inline uint8_t AccidentalGlyph(int value) {
    switch (value) {
        case -2:
            return glyph::FLAT2;
        case -1:
            return glyph::FLAT;
        case 1:
            return glyph::SHARP;
        case 2:
            return glyph::SHARP2;
        default:
            return glyph::NATURAL;
    }
}

}  // namespace sw
