// Cursor, attachment, scrolling and numbering.
#include "editor/Navigation.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>

namespace sw {

std::vector<Segment> StaveCursorShape(int type, int32_t x, int32_t y) {
    switch (type) {
        case 1:
            return {{x - 14, y - 25, x + 14, y - 25},
                    {x - 14, y + 25, x + 14, y + 25},
                    {x - 14, y - 25, x - 14, y + 25},
                    {x + 14, y - 25, x + 14, y + 25}};
        case 2:
            return {{x - 14, y - 25, x - 7, y - 12},
                    {x + 7, y + 12, x + 14, y + 25},
                    {x - 14, y + 25, x - 7, y + 12},
                    {x + 7, y - 12, x + 14, y - 25}};
        default:
            return {{x, y + 25, x, y - 25},
                    {x - 14, y - 25, x + 14, y - 25},
                    {x - 14, y + 25, x + 14, y + 25}};
    }
}

int32_t AttachRange::clamp(int32_t y) const {
    if (upper && y < *upper) y = *upper;
    if (lower && y > *lower) y = *lower;
    return y;
}

AttachRange ComputeAttachRange(const Score& score, int s, int level, bool headerFooter) {
    AttachRange r;
    if (level >= 3 || headerFooter || s < 1 || s > score.Nstaves || !score.hasStave(s)) return r;
    const uint16_t page = score.stave(s).h.PageNum;
    if (s > 1 && score.hasStave(s - 1) && score.stave(s - 1).h.PageNum == page)
        r.upper = score.stave(s - 1).h.Ycoord;
    if (s < score.Nstaves && score.hasStave(s + 1) && score.stave(s + 1).h.PageNum == page)
        r.lower = score.stave(s + 1).h.Ycoord;
    return r;
}

int32_t AttachPointX(const Score& score, int s, int32_t x, int32_t y) {
    if (!score.hasStave(s)) return x;
    const StaveHeader& h = score.stave(s).h;
    const int64_t d = std::llabs(static_cast<int64_t>(h.Ycoord) - y);
    const int64_t at = static_cast<int64_t>(x) - d;
    const int32_t lo = std::min(h.LeftX, h.RightX), hi = std::max(h.LeftX, h.RightX);
    return static_cast<int32_t>(std::clamp<int64_t>(at, lo, hi));
}

namespace {

// Settles one direction: the scroll position that puts p at least `margin`
// inside [pos, pos + size), moving in steps and stopping at the limits. The
// near margin is met last, so it wins when both cannot be.
int Settle(int pos, int limit, int size, int32_t p, int margin, int step) {
    while (p > pos + size - margin && pos < limit)
        pos = std::min(limit, pos + step);
    while (p < pos + margin && pos > 0)
        pos = std::max(0, pos - step);
    return pos;
}

}  // namespace

ScrollView ScrollToShow(ScrollView v, int32_t px, int32_t py, int step) {
    step = std::max(step, 1);
    v.y = Settle(v.y, v.maxY, v.height, py, 50, step);
    if (v.pictureWidth > v.width) v.x = Settle(v.x, v.maxX, v.width, px, 20, step);
    return v;
}

WheelStep WheelScroll(int delta, bool modifier, bool preview) {
    WheelStep w;
    if (preview) return w;
    if (modifier)
        w.dx = delta / 2;  // truncated toward zero
    else
        w.dy = delta;
    return w;
}

std::optional<long long> ParseGotoNumber(const std::string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t'))
        ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t'))
        --b;
    if (a == b) return std::nullopt;
    std::size_t i = a;
    const bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    if (i == b) return std::nullopt;
    long long v = 0;
    for (; i < b; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        if (v < LLONG_MAX / 10) v = v * 10 + (text[i] - '0');  // saturates
    }
    return negative ? -v : v;
}

}  // namespace sw
