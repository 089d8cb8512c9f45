// Where input goes and what is in view: the stave cursor's shape, the
// attachment range and line, keeping a point in view, the wheel, and finding
// pages, systems and staves by number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Score.h"

namespace sw {

struct Segment {
    int32_t x1, y1, x2, y2;
};
// The cursor's strokes round (x, y): 0 an I-beam, 1 a box, 2 four corner strokes.
std::vector<Segment> StaveCursorShape(int type, int32_t x, int32_t y);

// Upper and lower y limits for a point being placed on stave s.
struct AttachRange {
    std::optional<int32_t> upper, lower;
    int32_t clamp(int32_t y) const;
};
// At levels 1 and 2 outside the header/footer view: between the neighbouring
// staves of the same page; otherwise unbounded.
AttachRange ComputeAttachRange(const Score& score, int s, int level, bool headerFooter);
// Where the attachment line from (x, y) meets stave s's middle line.
int32_t AttachPointX(const Score& score, int s, int32_t x, int32_t y);

// The scroll position that keeps a point in view: 50 pixels inside the top
// and bottom, and (when the picture is wider than the view) 20 inside the
// sides, moving in steps of `step` and stopping at the scroll limits. Each
// direction is settled once; in a view too small for both margins the top
// or left one wins.
struct ScrollView {
    int x = 0, y = 0;           // scroll position
    int maxX = 0, maxY = 0;     // scroll limits
    int width = 0, height = 0;  // viewport
    int pictureWidth = 0;
};
ScrollView ScrollToShow(ScrollView view, int32_t px, int32_t py, int step);

// One wheel event: pixels to scroll (dx, dy). 120 a notch vertically; with a
// modifier held, half of it horizontally. Nothing in the preview.
struct WheelStep {
    int dx = 0, dy = 0;
};
WheelStep WheelScroll(int delta, bool modifier, bool preview);

// A number typed into a goto box: nothing for text that is not a whole
// number; huge numbers saturate.
std::optional<long long> ParseGotoNumber(const std::string& text);

}  // namespace sw
