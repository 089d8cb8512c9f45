// The block selection and the box that builds it.
#include "editor/Selection.h"

#include <algorithm>

namespace sw {

bool Selection::add(int s, int i) {
    if (contains(s, i)) return false;
    append(s, i);
    return true;
}

void Selection::append(int s, int i) {
    if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() + kGrowth);
    entries_.push_back({static_cast<uint16_t>(s), static_cast<uint8_t>(i)});
}

bool Selection::remove(int s, int i) {
    const auto it = std::find(entries_.begin(), entries_.end(),
                              SelectedObject{static_cast<uint16_t>(s), static_cast<uint8_t>(i)});
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

bool Selection::contains(int s, int i) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const SelectedObject& e) { return e.stave == s && e.object == i; });
}

std::pair<int, int> Selection::staveRange() const {
    if (entries_.empty()) return {0, -1};
    int lo = entries_.front().stave, hi = lo;
    for (const SelectedObject& e : entries_) {
        lo = std::min<int>(lo, e.stave);
        hi = std::max<int>(hi, e.stave);
    }
    return {lo, hi};
}

int Selection::countOn(int s) const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [&](const SelectedObject& e) { return e.stave == s; }));
}

void Selection::dropStale(const Score& score) {
    std::erase_if(entries_, [&](const SelectedObject& e) {
        return e.stave < 1 || e.stave > score.Nstaves || !score.hasStave(e.stave) ||
               !score.stave(e.stave).validIndex(e.object) ||
               score.object(e.stave, e.object).kind == kNothing;
    });
}

bool VerticallyMovable(int kind) {
    switch (kind) {
        case kText9:
        case kLine:
        case kCurve:
        case kTrill:
        case kOther:
        case kText:
        case kHairpin:
        case kDrawobject:
        case kHeadertext:
        case kFootertext:
            return true;
        default:
            return false;
    }
}

bool SelectionMovesFreely(const Score& score, const Selection& selection) {
    return std::any_of(selection.entries().begin(), selection.entries().end(),
                       [&](const SelectedObject& e) {
                           return VerticallyMovable(score.object(e.stave, e.object).kind);
                       });
}

PixelBox PixelBox::Between(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

namespace {

bool IsContinuation(const ScoreObject& o) {
    return HasTextLayout(o.kind) && (o.text().textFlags & kTextContinuation);
}

// Every anchor of the curve through anchor i, in both directions; empty when
// one of them lies outside the box. Bounded, so a looping chain ends.
bool WholeCurveInside(const StaveBlock& b, int i, const PixelBox& box) {
    for (const bool forward : {true, false}) {
        int j = i;
        for (int steps = 0; steps < kMaxObjects; ++steps) {
            const ScoreObject& a = b.obj[j];
            if (!box.holds(a.x, a.y)) return false;
            const int next = forward ? a.curve().nextAnchor : a.curve().prevAnchor;
            if (!b.validIndex(next) || b.obj[next].kind != kCurve || next == i) break;
            j = next;
        }
    }
    return true;
}

}  // namespace

BoxSelection SelectInBox(const Score& score, int first, int last, const PixelBox& box) {
    BoxSelection out;
    first = std::max(first, 1);
    last = std::min<int>(last, score.Nstaves);
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        // The entries of this stave so far, for the pieces a text brings along.
        std::vector<bool> taken(kSlots, false);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind == kSymbol || o.kind == kNothing || o.kind == kDynamic) continue;
            if (IsContinuation(o) || !box.holds(o.x, o.y)) continue;
            if (o.kind == kCurve) {
                if (!WholeCurveInside(b, i, box)) {
                    out.curvesLeftOut = true;
                    continue;
                }
            }
            if (!taken[i]) {
                out.selection.append(s, i);
                taken[i] = true;
            }
            if (!HasTextLayout(o.kind)) continue;
            int j = o.text().nextChunk;
            for (int steps = 0; steps < kMaxObjects && b.validIndex(j) && !taken[j]; ++steps) {
                if (!HasTextLayout(b.obj[j].kind)) break;
                out.selection.append(s, j);
                taken[j] = true;
                j = b.obj[j].text().nextChunk;
            }
        }
    }
    return out;
}

}  // namespace sw
