// Finding the object under the mouse: each kind's rectangle on the page and
// the scan over the staves of the page.
#pragma once

#include <cstdint>
#include <optional>

#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

struct HitRect {
    int32_t left, top, right, bottom;  // right and bottom exclusive
    bool contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// The rectangle object i of stave s answers to, normalised; nothing for kinds
// that are never hit. Header and footer texts answer only in their own view.
std::optional<HitRect> ObjectHitRect(const Score& score, int s, int i, int mode,
                                     const TextMeasurer& measurer);

struct Hit {
    int stave = -1, object = -1;
    bool found() const { return object > 0; }
};
// The first object under (x, y) on page `page` (the header/footer stave in
// its own view): the rectangles first, then the ends of lines, then their
// middles. Small staves are never searched.
Hit HitTestPage(const Score& score, int page, int mode, int32_t x, int32_t y,
                const TextMeasurer& measurer);

// The first music stave of page `page` whose band holds (x, y): x within
// LeftX..RightX and y within 16 pixels of its middle line (10 on a small
// stave); 0 for none.
int StaveAt(const Score& score, int page, int32_t x, int32_t y);

}  // namespace sw
