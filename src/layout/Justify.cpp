// The start of the music, Justify and Chop.
#include "layout/Justify.h"

#include "layout/Signatures.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <limits>

#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

// A chord note without a stem follows a stemmed note this close to it.
constexpr int32_t kChordReach = 12;
// Glyph cells are drawn with their reference column here.
constexpr int kCellAnchor = 21;
constexpr int kClefGap = 20, kTimesigReach = 10, kOpenStartGap = 20;

}  // namespace

bool IsMusicKind(int kind) {
    switch (kind) {
        case kClef:
        case kKeysig:
        case kTimesig:
        case kCommonTime:
        case kBarline:
        case kNote:
        case kAccidental:
            return true;
        default:
            return false;
    }
}

bool IsImmobileText(const ScoreObject& o) {
    return IsTextLike(o.kind) && (o.text().textFlags & kTextImmobile) != 0;
}

int32_t StorableX(double x) {
    constexpr double lo = std::numeric_limits<int16_t>::min();
    constexpr double hi = std::numeric_limits<int16_t>::max();
    return RoundEven(std::clamp(x, lo, hi));
}

int32_t KeepNoteInside(const StaveHeader& h, int32_t oldX, int32_t newX) {
    if (h.LeftX > h.RightX || oldX < h.LeftX || oldX > h.RightX) return newX;
    return std::clamp(newX, h.LeftX, h.RightX);
}

int KeysigWidth(const StaveBlock& b, int i) {
    return KeysigWidth(b, b.obj[i]);
}

LeadItem LeadItemOf(const StaveBlock& b, int i) {
    const ScoreObject& o = b.obj[i];
    LeadItem item{o.kind, o.x, o.x};
    switch (o.kind) {
        case kClef:
            item.end = o.x + GlyphInkBox(o.glyph).right - kCellAnchor;
            break;
        case kKeysig:
            item.end = o.x + KeysigWidth(b, i);
            break;
        case kTimesig:
        case kCommonTime:
            // A time signature drawn as a sign is a time signature all the same.
            item.kind = kTimesig;
            item.end = o.x + kTimesigReach;
            break;
        default:
            break;
    }
    return item;
}

MusicStartInfo MusicStartFrom(int32_t leftX, const std::vector<LeadItem>& items) {
    MusicStartInfo r{leftX, false};
    bool clef = false, key = false, time = false, note = false;
    int32_t noteX = 0;
    for (const LeadItem& it : items) {
        if (it.kind == kClef && !clef) {
            clef = true;
            r.x = std::max(r.x, it.end) + kClefGap;
        } else if (it.kind == kKeysig && !key) {
            key = true;
            r.x = std::max(r.x, it.end);
        } else if (it.kind == kTimesig && !time) {
            time = true;
            r.x = std::max(r.x, it.end);
        } else if (it.kind == kBarline) {
            r.x = it.x;
            r.byBarline = true;
            break;
        } else if (it.kind == kNote || it.kind == kAccidental) {
            note = true;
            noteX = it.x;
            break;
        }
        if (clef && key && time) break;
    }
    if (!note && !r.byBarline) r.x += kOpenStartGap;
    if (note) r.x = std::min(noteX - 1, r.x);
    return r;
}

int32_t MusicStart(const Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    std::vector<LeadItem> items;
    items.reserve(b.count());
    for (int i = 1; i <= b.count(); ++i)
        if (b.obj[i].kind != kNothing) items.push_back(LeadItemOf(b, i));
    return MusicStartFrom(b.h.LeftX, items).x;
}

int32_t SystemMusicStart(const Score& score, int first, int last) {
    int32_t x = INT32_MAX;
    for (int s = std::max(first, 1); s <= std::min<int>(last, score.Nstaves); ++s)
        x = std::min(x, MusicStart(score, s));
    return x == INT32_MAX ? 0 : x;
}

JustifyOutcome Justify(Score& score, int s, int32_t from) {
    JustifyOutcome out;
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return out;
    const auto [first, last] = SystemBounds(score, s);
    out.first = first;
    out.last = last;
    bool any = false;
    int32_t maxX = from;
    for (int t = first; t <= last; ++t) {
        const StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind == kNothing) continue;
            any = true;
            // A text that never moves does not say where the music ends.
            if (!IsImmobileText(o)) maxX = std::max(maxX, o.x);
        }
    }
    if (!any) return out;
    if (maxX <= from) {
        out.result = JustifyOutcome::NothingBeyond;
        return out;
    }
    // Bar moves justify other systems than the current one: the end is the
    // system's own.
    const int32_t right = score.stave(s).h.RightX;
    if (right - from <= 0) {
        out.result = JustifyOutcome::NoRoom;
        return out;
    }
    const double ratio = static_cast<double>(right - from) / (maxX - from);
    auto map = [&](int32_t x) {
        return x > from ? StorableX(static_cast<double>(x - from) * ratio + from) : x;
    };
    const int width = ComputePageGeometry(score).width;
    for (int t = first; t <= last; ++t) {
        StaveBlock& b = score.stave(t);
        // The positions before the move, for the chord notes that follow another.
        std::vector<int32_t> old(static_cast<std::size_t>(b.count()) + 1);
        for (int i = 1; i <= b.count(); ++i)
            old[static_cast<std::size_t>(i)] = b.obj[i].x;
        for (int i = 1; i <= b.count(); ++i) {
            ScoreObject& o = b.obj[i];
            const int32_t x = old[static_cast<std::size_t>(i)];
            if (o.kind == kNothing || IsImmobileText(o)) continue;
            if (o.kind == kLine) {
                LineData& l = o.data.line;
                const int32_t start = map(x), end = map(x + l.dx);
                o.x = start;
                l.dx = static_cast<int16_t>(std::clamp<int32_t>(end - start, INT16_MIN, INT16_MAX));
                continue;
            }
            if (x <= from) continue;
            int32_t nx = map(x);
            if (o.kind == kNote && o.note().stem == 2) {
                for (int j = 1; j <= b.count(); ++j) {
                    const ScoreObject& m = b.obj[j];
                    const int32_t mx = old[static_cast<std::size_t>(j)];
                    if (j == i || m.kind != kNote || m.note().rest || m.note().stem == 2 ||
                        std::abs(mx - x) > kChordReach)
                        continue;
                    nx = x + map(mx) - mx;
                    break;
                }
            }
            // Squeezed into a shortened system, a chord note hanging right of
            // its stem would land past the end, where tidying drops it.
            if (o.kind == kNote && b.h.LeftX <= b.h.RightX)
                nx = std::clamp(nx, b.h.LeftX, b.h.RightX);
            if (nx == o.x) continue;
            if (o.kind == kNote) InvalidateNotesAt(score, t, x);
            o.x = nx;
            if (o.kind == kNote) InvalidateNotesAt(score, t, nx);
        }
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind != kNothing && b.obj[i].x > width) out.offPaper = true;
    }
    out.result = JustifyOutcome::Done;
    return out;
}

ChopOutcome Chop(Score& score, int s, int32_t x, ChopSide side) {
    ChopOutcome out;
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return out;
    const auto [first, last] = SystemBounds(score, s);
    const bool left = side == ChopSide::Left;
    for (int t = first; t <= last; ++t) {
        const StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (!IsMusicKind(o.kind)) continue;
            if (left ? o.x <= x : o.x > x) {
                out.result = ChopOutcome::MusicInTheWay;
                out.stave = t;
                return out;
            }
        }
    }
    // An end that reaches the other would leave a system with no room at all.
    for (int t = first; t <= last; ++t) {
        const StaveHeader& h = score.stave(t).h;
        if (x < 0 || x > INT16_MAX || (left ? x >= h.RightX : x <= h.LeftX)) {
            out.stave = t;
            return out;
        }
    }
    for (int t = first; t <= last; ++t)
        (left ? score.stave(t).h.LeftX : score.stave(t).h.RightX) = x;
    out.result = ChopOutcome::Done;
    return out;
}

}  // namespace sw
