// Moving a bar between neighbouring systems.
#include "editor/commands/BarMoves.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/Selection.h"
#include "editor/commands/BlockCopy.h"
#include "layout/Bars.h"
#include "layout/Justify.h"
#include "layout/Pagination.h"
#include "model/ScoreSnapshot.h"

namespace sw {

namespace {

constexpr uint8_t kTieAcrossSystems = 255;
// Between music carried past a system's last bar line and what follows it.
constexpr int32_t kTailGap = 20;
constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();

bool IsPiece(const ScoreObject& o) {
    return HasTextLayout(o.kind) && (o.text().textFlags & kTextContinuation);
}

// Objects that follow the music sideways: not empty slots, not texts fixed
// to the page, not text pieces (their chain's head places them).
bool Shifts(const ScoreObject& o) {
    return o.kind != kNothing && !IsImmobileText(o) && !IsPiece(o);
}

bool InRange(int32_t x, int32_t lo, int32_t hi) {
    return x >= lo && x <= hi;
}

// Whether every anchor of the curve through object i lies in lo..hi.
bool CurveInside(const StaveBlock& b, int i, int32_t lo, int32_t hi) {
    for (int dir = 0; dir < 2; ++dir) {
        int j = i;
        for (int steps = 0; steps <= kMaxObjects && b.validIndex(j); ++steps) {
            const ScoreObject& o = b.obj[j];
            if (o.kind != kCurve || !InRange(o.x, lo, hi)) return false;
            const int next = dir == 0 ? o.curve().prevAnchor : o.curve().nextAnchor;
            if (next == 0) break;
            j = next;
        }
    }
    return true;
}

// The objects of staves first..last with x in lo..hi: curves only whole, a
// text with every piece of its chain, never the object `skip` of the top
// stave (an opening bar line joined elsewhere).
Selection BarBox(const Score& score, int first, int last, int32_t lo, int32_t hi, int skip = 0) {
    Selection sel;
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (!Shifts(o) || !InRange(o.x, lo, hi) || (s == first && i == skip)) continue;
            if (o.kind == kCurve && !CurveInside(b, i, lo, hi)) continue;
            sel.add(s, i);
            if (!HasTextLayout(o.kind)) continue;
            for (int j = o.text().nextChunk, steps = 0; b.validIndex(j) && steps < kMaxObjects;
                 j = b.obj[j].text().nextChunk, ++steps) {
                if (!HasTextLayout(b.obj[j].kind) || !sel.add(s, j)) break;
            }
        }
    }
    return sel;
}

int32_t RightmostX(const Score& score, const Selection& sel) {
    int32_t x = std::numeric_limits<int32_t>::min();
    for (const SelectedObject& e : sel.entries()) {
        const ScoreObject& o = score.object(e.stave, e.object);
        if (!IsPiece(o)) x = std::max(x, o.x);
    }
    return x;
}

int32_t LastObjectX(const Score& score, int first, int last) {
    int32_t x = std::numeric_limits<int32_t>::min();
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (Shifts(b.obj[i])) x = std::max(x, b.obj[i].x);
    }
    return x;
}

void ShiftFrom(Score& score, int first, int last, int32_t from, int32_t dx) {
    for (int s = first; s <= last; ++s) {
        StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            ScoreObject& o = b.obj[i];
            if (!Shifts(o) || o.x < from) continue;
            o.x = StorableX(static_cast<double>(o.x) + dx);
            if (o.kind == kNote) o.note().validated = 0;
        }
    }
}

NoteData* TieNote(StaveBlock& b, int i) {
    return b.validIndex(i) && b.obj[i].kind == kNote ? &b.obj[i].note() : nullptr;
}

// Every tie between a selected note and one left behind becomes a pair of
// ties over the system break.
void CutTies(Score& score, const Selection& sel) {
    for (const SelectedObject& e : sel.entries()) {
        StaveBlock& b = score.stave(e.stave);
        NoteData* n = TieNote(b, e.object);
        if (!n) continue;
        if (NoteData* p = TieNote(b, n->tieRight); p && !sel.contains(e.stave, n->tieRight)) {
            if (p->tieLeft == e.object) p->tieLeft = kTieAcrossSystems;
            n->tieRight = kTieAcrossSystems;
        }
        if (NoteData* p = TieNote(b, n->tieLeft); p && !sel.contains(e.stave, n->tieLeft)) {
            if (p->tieRight == e.object) p->tieRight = kTieAcrossSystems;
            n->tieLeft = kTieAcrossSystems;
        }
    }
}

bool Sounding(const ScoreObject& o) {
    return o.kind == kNote && !o.note().rest;
}

// Ties over the system break whose other end now lies on the same stave are
// joined to the nearest note of their pitch on that side, unless that note
// is already tied onwards.
void JoinTies(StaveBlock& b) {
    for (int i = 1; i <= b.count(); ++i) {
        if (!Sounding(b.obj[i])) continue;
        NoteData& n = b.obj[i].note();
        for (int back = 0; back < 2; ++back) {
            uint8_t& mine = back ? n.tieLeft : n.tieRight;
            if (mine != kTieAcrossSystems) continue;
            const int step = back ? -1 : 1;
            for (int j = i + step; j >= 1 && j <= b.count(); j += step) {
                if (!Sounding(b.obj[j]) || b.obj[j].note().pitch != n.pitch) continue;
                uint8_t& theirs = back ? b.obj[j].note().tieRight : b.obj[j].note().tieLeft;
                if (theirs == 0 || theirs == kTieAcrossSystems) {
                    theirs = static_cast<uint8_t>(i);
                    mine = static_cast<uint8_t>(j);
                }
                break;
            }
        }
    }
}

// Widens staves first..last so that x fits and gives their right ends back.
class WidenedEnds {
  public:
    WidenedEnds(Score& score, int first, int last, int32_t by, int32_t atLeast)
        : score_(score), first_(first) {
        for (int s = first; s <= last; ++s) {
            int32_t& right = score.stave(s).h.RightX;
            old_.push_back(right);
            right = std::max(StorableX(static_cast<double>(right) + by), atLeast);
        }
    }
    void restore() {
        for (std::size_t k = 0; k < old_.size(); ++k)
            score_.stave(first_ + static_cast<int>(k)).h.RightX = old_[k];
    }

  private:
    Score& score_;
    int first_;
    std::vector<int32_t> old_;
};

// Both systems justified to their own right ends (the receiving one after
// its ends are given back), the receiving one tidied with bar lines on its
// top stave only and its ties joined, the other tidied.
void Settle(Score& score, WidenedEnds& ends, std::pair<int, int> target,
            std::pair<int, int> source) {
    Justify(score, source.first, MusicStart(score, source.first));
    ends.restore();
    Justify(score, target.first, MusicStart(score, target.first));
    for (int s = target.first; s <= target.second; ++s) {
        TidyStave(score, s, s != target.first);
        JoinTies(score.stave(s));
    }
    for (int s = source.first; s <= source.second; ++s)
        TidyStave(score, s, s != source.first);
}

bool Fits(const Score& score, const Selection& sel, int targetFirst, int32_t dx) {
    return CheckBlockFits(score, sel, targetFirst, dx) != BlockFit::TooFull;
}

}  // namespace

uint8_t CombineBarlines(int existing, int removed) {
    static constexpr std::array<std::array<uint8_t, 9>, 9> kCombine{{
        {0, 1, 2, 3, 4, 5, 6, 7, 0},
        {1, 1, 2, 3, 4, 5, 1, 1, 1},
        {2, 2, 2, 4, 4, 2, 2, 2, 2},
        {3, 3, 4, 3, 4, 3, 3, 3, 3},
        {4, 4, 4, 4, 4, 4, 4, 4, 4},
        {5, 5, 2, 3, 4, 5, 5, 5, 5},
        {0, 1, 2, 3, 4, 5, 6, 7, 6},
        {0, 1, 2, 3, 4, 5, 7, 7, 7},
        {0, 1, 2, 3, 4, 5, 6, 7, 8},
    }};
    if (existing < 0 || existing > 8 || removed < 0 || removed > 8)
        return static_cast<uint8_t>(existing);
    return kCombine[static_cast<std::size_t>(existing)][static_cast<std::size_t>(removed)];
}

std::pair<int, int> BarMoveStaves(const Score& score, int s, bool down) {
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return {0, -1};
    const auto [a, b] = SystemBounds(score, s);
    if (down) {
        if (b >= score.Nstaves) return {0, -1};
        return {a, SystemBounds(score, b + 1).second};
    }
    if (a <= 1) return {0, -1};
    return {SystemBounds(score, a - 1).first, b};
}

BarMove MoveLastBarDown(Score& score, int s) {
    if (BarMoveStaves(score, s, true).first == 0) return BarMove::NoNeighbour;
    const auto [a, b] = SystemBounds(score, s);
    const auto [c, d] = SystemBounds(score, b + 1);
    const BarBounds here = BarList(score, a);
    const int n = here.count();
    if (n <= 1) return BarMove::NoBarsHere;
    if (b - a != d - c) return BarMove::StaveCounts;
    const BarBounds there = BarList(score, c);
    const int32_t barStart = here.x[static_cast<std::size_t>(n - 2)];
    // The last bar, and whatever follows its closing bar line, goes down.
    const Selection sel = BarBox(score, a, b, barStart + 1, kNoLimit);
    if (sel.empty()) return BarMove::NoBarsHere;
    const int32_t closing = here.x.back();
    const int32_t reach = RightmostX(score, sel);
    const int32_t w = (reach > closing ? reach + kTailGap : closing) - barStart;
    const int32_t start = there.x.front();
    const int32_t dx = start - barStart;
    if (!Fits(score, sel, c, dx)) return BarMove::TooFull;

    ScoreSnapshotGuard guard(score, a, d);
    WidenedEnds ends(score, c, d, w, start + w);
    ShiftFrom(score, c, d, start, w);
    CutTies(score, sel);
    if (!PlaceBlock(score, sel, {c, dx, 0}, true)) return BarMove::TooFull;
    // The next system's opening bar line now meets the moved closing one.
    if (there.opening) {
        StaveBlock& top = score.stave(c);
        const int open = there.barline.front();
        const int32_t at = start + w;
        for (int i = top.count(); i >= 1; --i) {
            ScoreObject& o = top.obj[i];
            if (i == open || o.kind != kBarline || o.x != at) continue;
            o.data.barline.style =
                CombineBarlines(o.data.barline.style, top.obj[open].data.barline.style);
            UnlinkAndDelete(top, open);
            break;
        }
    }
    Settle(score, ends, {c, d}, {a, b});
    guard.keep();
    return BarMove::Moved;
}

BarMove MoveFirstBarUp(Score& score, int s) {
    if (BarMoveStaves(score, s, false).first == 0) return BarMove::NoNeighbour;
    const auto [a, b] = SystemBounds(score, s);
    const auto [c, d] = SystemBounds(score, a - 1);
    const BarBounds there = BarList(score, c);
    if (there.count() <= 1) return BarMove::NoBarsThere;
    const BarBounds here = BarList(score, a);
    if (here.count() <= 1) return BarMove::NoBarsHere;
    if (b - a != d - c) return BarMove::StaveCounts;
    // Into a system that ends with its bar line the opening bar line joins
    // that one; otherwise the bar goes after its last object, opening bar
    // line and all.
    const bool joins = EndsWithBarline(score, c);
    const int open = here.opening ? here.barline.front() : 0;
    const int32_t start = here.x[0], closing = here.x[1];
    const Selection sel = BarBox(score, a, b, start, closing, joins ? open : 0);
    if (sel.empty()) return BarMove::NoBarsHere;
    const int32_t base = joins ? there.x.back() : LastObjectX(score, c, d) + kTailGap;
    // Music that began at the system's start, with no bar line before it,
    // keeps a gap after the bar line it now follows.
    const int32_t lead = here.opening ? 0 : kTailGap;
    const int32_t w = closing - start + lead;
    const int32_t dx = base - start + lead;
    if (!Fits(score, sel, c, dx)) return BarMove::TooFull;

    ScoreSnapshotGuard guard(score, c, b);
    if (joins && open != 0) {
        StaveBlock& top = score.stave(a);
        const uint8_t removed = top.obj[open].data.barline.style;
        StaveBlock& end = score.stave(c);
        for (int i = 1; i <= end.count(); ++i)
            if (end.obj[i].kind == kBarline && end.obj[i].x == base)
                end.obj[i].data.barline.style =
                    CombineBarlines(end.obj[i].data.barline.style, removed);
        UnlinkAndDelete(top, open);
    }
    WidenedEnds ends(score, c, d, w, base + w);
    CutTies(score, sel);
    if (!PlaceBlock(score, sel, {c, dx, 0}, true)) return BarMove::TooFull;
    // The rest of this system closes up to its own start of the music.
    ShiftFrom(score, a, b, closing + 1, start - (closing + 1));
    Settle(score, ends, {c, d}, {a, b});
    guard.keep();
    return BarMove::Moved;
}

BarPlace FindBar(const Score& score, int n) {
    BarPlace first, last, above;
    for (int top = 1; top <= score.Nstaves; top = SystemBounds(score, top).second + 1) {
        const BarBounds bars = BarList(score, top);
        const bool closed = EndsWithBarline(score, top);
        // The system's start, then every bar line that opens a bar of it.
        const int opens = bars.count() - (closed ? 1 : 0);
        for (int k = 0; k < opens; ++k) {
            const int i = bars.barline[static_cast<std::size_t>(k)];
            BarPlace p{
                top, bars.x[static_cast<std::size_t>(k)] + 1,
                k == 0 ? score.stave(top).h.barNumber : score.object(top, i).data.barline.barNumber,
                false};
            if (p.number == n) {
                p.exact = true;
                return p;
            }
            if (first.stave == 0) first = p;
            last = p;
            if (above.stave == 0 && p.number > n) above = p;
        }
    }
    if (first.stave == 0 || n < first.number) return first;
    return n > last.number || above.stave == 0 ? last : above;
}

bool DeleteBarAt(Score& score, int s, int32_t x) {
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return false;
    const auto [a, b] = SystemBounds(score, s);
    const BarBounds bars = BarList(score, a);
    for (int k = 1; k < bars.count(); ++k) {
        const int32_t lo = bars.x[static_cast<std::size_t>(k - 1)];
        const int32_t hi = bars.x[static_cast<std::size_t>(k)];
        if (x <= lo || x > hi) continue;
        const Selection sel = BarBox(score, a, b, lo + 1, hi);
        DeleteBlockObjects(score, sel, true);
        ShiftFrom(score, a, b, hi + 1, lo - hi);
        Justify(score, a, MusicStart(score, a));
        for (int t = a; t <= b; ++t)
            TidyStave(score, t, t != a);
        return true;
    }
    return false;
}

bool DeleteBarCommand(EditContext& ctx, int s, int32_t x) {
    if (s < 1 || s > ctx.score.Nstaves) return false;
    const auto [a, b] = SystemBounds(ctx.score, s);
    ScoreEdit edit(ctx, "delete bar");
    if (!edit.touchStaves(a, b) || !DeleteBarAt(ctx.score, s, x)) return false;
    edit.commit();
    return true;
}

namespace {

bool RunMove(EditContext& ctx, int s, bool down) {
    Score& score = ctx.score;
    const auto [lo, hi] = BarMoveStaves(score, s, down);
    if (lo > hi) return false;
    BarMove result = BarMove::NoNeighbour;
    {
        ScoreEdit edit(ctx, down ? "move last bar down" : "move first bar up");
        if (!edit.touchStaves(lo, hi)) return false;
        result = down ? MoveLastBarDown(score, s) : MoveFirstBarUp(score, s);
        if (result == BarMove::Moved) {
            edit.commit();
            return true;
        }
    }
    int message = 0;
    switch (result) {
        case BarMove::NoBarsHere:
            message = down ? msg::MoveNoBarsHere : msg::MoveUpNoBarsHere;
            break;
        case BarMove::NoBarsThere:
            message = msg::MoveUpNoBarsThere;
            break;
        case BarMove::StaveCounts:
            message = msg::MoveStaveCounts;
            break;
        case BarMove::TooFull:
            message = msg::BlockTooFull;
            break;
        default:
            return false;
    }
    ctx.host.message(MsgType::Error, MessageText(message), Buttons::OK);
    return false;
}

}  // namespace

bool MoveLastBarDownCommand(EditContext& ctx, int s) {
    return RunMove(ctx, s, true);
}
bool MoveFirstBarUpCommand(EditContext& ctx, int s) {
    return RunMove(ctx, s, false);
}

}  // namespace sw
