// The occupancy map, the anchor and the column map of a compression.
#include "layout/Compress.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "layout/GlyphTable.h"
#include "layout/Justify.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

// A note marks the ink of a filled head, small or normal.
constexpr int kSmallHeadGlyph = 90;
constexpr int kHeadSmall = 1, kHeadAcciacc = 5;

bool LeftOutOfMap(int kind) {
    switch (kind) {
        case kNothing:
        case kText9:
        case kText:
        case kLine:
        case kCurve:
        case kHairpin:
        case kHeadertext:
        case kFootertext:
            return true;
        default:
            return false;
    }
}

void Mark(std::vector<uint8_t>& used, int32_t from, int32_t to) {
    const int32_t top = static_cast<int32_t>(used.size()) - 1;
    from = std::max(from, 0);
    to = std::min(to, top);
    for (int32_t c = from; c <= to; ++c)
        used[static_cast<std::size_t>(c)] = 1;
}

// The columns under a glyph's ink as it is drawn; those left of the map
// count as column 0.
void MarkGlyph(std::vector<uint8_t>& used, int code, int32_t x) {
    if (!GlyphHasArt(code)) return;
    const InkColumns ink = GlyphInkColumns(code, x);
    if (ink.last < ink.first) return;
    Mark(used, std::max(0, ink.first), std::max(0, ink.last));
}

bool OnMap(const std::vector<uint8_t>& used, int32_t x) {
    return x >= 0 && x < static_cast<int32_t>(used.size());
}

// The x an object reaches in a direction: a line by its nearer or further end.
int32_t Reach(const ScoreObject& o, bool towardsRight) {
    if (o.kind != kLine) return o.x;
    const int32_t end = o.x + o.data.line.dx;
    return towardsRight ? std::min(o.x, end) : std::max(o.x, end);
}

}  // namespace

std::vector<uint8_t> OccupancyMap(const Score& score, int first, int last, int32_t leftX, int lcl,
                                  int width) {
    std::vector<uint8_t> used(static_cast<std::size_t>(std::max(width, 0)) + 1, 0);
    Mark(used, 0, leftX + lcl);
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            // Objects off the picture leave no mark (and are not moved).
            if (LeftOutOfMap(o.kind) || !OnMap(used, o.x)) continue;
            if (o.kind == kKeysig) {
                // From the first sign's ink for as far as the signs advance.
                const int32_t start = std::max(0, GlyphInkColumns(glyph::SHARP, o.x).first);
                if (const int w = KeysigWidth(b, i); w > 0) Mark(used, start, start + w - 1);
            } else if (o.kind == kNote) {
                const NoteData& n = o.note();
                const bool small = n.headSize == kHeadSmall || n.headSize == kHeadAcciacc;
                const int32_t head = !n.rest && n.validated ? n.headX : o.x;
                MarkGlyph(used, small ? kSmallHeadGlyph : glyph::NOTEHEAD_BLACK, head);
            } else {
                MarkGlyph(used, o.glyph, o.x);
            }
        }
    }
    return used;
}

CompressPrepared PrepareCompress(const Score& score, int s, int32_t cursor,
                                 CompressDirection direction, int lcl, CompressPlan& plan) {
    plan = CompressPlan{};
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves || direction == CompressDirection::None)
        return CompressPrepared::NoAnchor;
    const bool right = direction == CompressDirection::Right;
    const auto [first, last] = SystemBounds(score, s);
    int32_t anchor = cursor;
    bool found = false;
    for (int t = first; t <= last; ++t) {
        const StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.count(); ++i) {
            if (b.obj[i].kind == kNothing) continue;
            const int32_t x = Reach(b.obj[i], right);
            if (right ? x > cursor && (!found || x < anchor)
                      : x < cursor && (!found || x > anchor)) {
                anchor = x;
                found = true;
            }
        }
    }
    if (!found) return CompressPrepared::NoAnchor;
    const StaveHeader& h = score.stave(first).h;
    plan.first = first;
    plan.last = last;
    plan.direction = direction;
    plan.cursor = cursor;
    plan.anchor = anchor;
    plan.leftX = h.LeftX;
    plan.rightX = h.RightX;
    plan.used = OccupancyMap(score, first, last, h.LeftX, lcl, ComputePageGeometry(score).width);
    const int32_t top = static_cast<int32_t>(plan.used.size()) - 1;
    const int32_t lo = std::max(0, right ? anchor : plan.leftX);
    const int32_t hi = std::min(top, right ? plan.rightX : anchor);
    for (int32_t c = lo; c <= hi; ++c)
        plan.occupied += plan.used[static_cast<std::size_t>(c)];
    if (plan.occupied == 0) {
        plan = CompressPlan{};
        return CompressPrepared::NothingToDo;
    }
    return CompressPrepared::Ready;
}

std::vector<int32_t> CompressColumnMap(const CompressPlan& plan, int32_t p) {
    const int32_t size = static_cast<int32_t>(plan.used.size());
    std::vector<int32_t> map(plan.used.size());
    for (int32_t c = 0; c < size; ++c)
        map[static_cast<std::size_t>(c)] = c;
    const bool right = plan.direction == CompressDirection::Right;
    const int32_t free = right ? plan.rightX - plan.anchor - plan.occupied
                               : plan.anchor - plan.leftX - plan.occupied;
    if (free <= 0 || plan.direction == CompressDirection::None) return map;
    const double ratio = std::max(0.0, static_cast<double>(right ? plan.rightX - p - plan.occupied
                                                                 : p - plan.leftX - plan.occupied) /
                                           free);
    auto at = [&](int32_t c) { return plan.used[static_cast<std::size_t>(c)] != 0; };
    if (right) {
        double e = plan.rightX;
        for (int32_t c = std::min(plan.rightX, size - 1); c >= std::max(plan.anchor, 0); --c) {
            map[static_cast<std::size_t>(c)] = RoundEven(e);
            e -= at(c) ? 1 : ratio;
        }
    } else {
        double e = plan.leftX;
        for (int32_t c = std::max(plan.leftX, 0); c <= std::min(plan.anchor, size - 1); ++c) {
            map[static_cast<std::size_t>(c)] = RoundEven(e);
            e += at(c) ? 1 : ratio;
        }
    }
    return map;
}

CompressResult Compress(Score& score, const CompressPlan& plan, int32_t p) {
    const bool right = plan.direction == CompressDirection::Right;
    const int32_t free = right ? plan.rightX - plan.anchor - plan.occupied
                               : plan.anchor - plan.leftX - plan.occupied;
    if (free <= 0 || plan.direction == CompressDirection::None)
        return CompressResult::TooLittleSpace;
    // Released short of the anchor the music would stretch back over the cursor.
    if (right ? p <= plan.anchor : p >= plan.anchor) return CompressResult::ShortOfAnchor;
    const std::vector<int32_t> map = CompressColumnMap(plan, p);
    auto to = [&](int32_t x) { return OnMap(plan.used, x) ? map[static_cast<std::size_t>(x)] : x; };
    for (int s = plan.first; s <= std::min<int>(plan.last, score.Nstaves); ++s) {
        StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            ScoreObject& o = b.obj[i];
            if (o.kind == kNothing || IsImmobileText(o)) continue;
            const int32_t x = o.x;
            const int32_t nx = o.kind == kNote ? KeepNoteInside(b.h, x, to(x)) : to(x);
            if (o.kind == kLine) {
                LineData& l = o.data.line;
                l.dx = static_cast<int16_t>(
                    std::clamp<int32_t>(to(x + l.dx) - nx, INT16_MIN, INT16_MAX));
            }
            if (nx == x) continue;
            o.x = nx;
            if (o.kind == kNote) {
                InvalidateNotesAt(score, s, x);
                InvalidateNotesAt(score, s, nx);
            }
        }
    }
    return CompressResult::Done;
}

}  // namespace sw
