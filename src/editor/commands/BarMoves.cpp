// Moving a bar between neighbouring systems.
#include "editor/commands/BarMoves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/Selection.h"
#include "editor/commands/BlockCommands.h"
#include "editor/commands/BlockCopy.h"
#include "editor/commands/SpacingCommands.h"
#include "layout/Bars.h"
#include "layout/Justify.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "model/ScoreSnapshot.h"

namespace sw {

namespace {

constexpr uint8_t kTieAcrossSystems = 255;
// Between music carried past a system's last bar line and what follows it.
constexpr int32_t kTailGap = 20;
constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();
// How far from a note a mark written at it may lie.
constexpr double kMarkReach = 12;

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

// Marks, texts and lines written at a note rather than in the music's own
// flow.
bool WrittenAtNote(int kind) {
    switch (kind) {
        case kSymbol:
        case kText9:
        case kLine:
        case kTrill:
        case kOther:
        case kDynamic:
        case kText:
        case kHairpin:
        case kDrawobject:
            return true;
        default:
            return false;
    }
}

// Where object i of stave s belongs in the music: a mark or line within
// reach of a note, or a text centred on a note or starting at one, is where
// that note is, whatever its own x; everything else is where it lies.
class Positions {
  public:
    Positions(const Score& score, const TextMeasurer& measurer)
        : score_(score), measurer_(measurer) {}

    int32_t at(int s, int i) const {
        const StaveBlock& b = score_.stave(s);
        const ScoreObject& o = b.obj[i];
        if (!WrittenAtNote(o.kind)) return o.x;
        if (HasTextLayout(o.kind)) {
            const int w =
                measurer_.width(ScoreTextFont(score_, o.text().fontNumber), ChainText(b, i));
            if (const int j = NoteNear(b, o.x + w / 2.0)) return b.obj[j].x;
        }
        const int j = NoteNear(b, o.x);
        return j ? b.obj[j].x : o.x;
    }

  private:
    // The note nearest to x within a mark's reach, 0 for none.
    static int NoteNear(const StaveBlock& b, double x) {
        int found = 0;
        double reach = kMarkReach;
        for (int j = 1; j <= b.count(); ++j) {
            const ScoreObject& n = b.obj[j];
            if (n.kind != kNote || std::abs(n.x - x) > reach) continue;
            reach = std::abs(n.x - x);
            found = j;
        }
        return found;
    }

    const Score& score_;
    const TextMeasurer& measurer_;
};

// Marks, texts and lines written at a note, held at their note's x while a
// bar moves, so that whatever moves, shifts or justifies the note does the
// same to them (justifying maps each x on its own and leaves what lies
// before the start of the music: a text centred on a system's first note
// would stay behind). Each is tagged in its working byte; release() puts
// them back at their offsets.
class PinnedToNotes {
  public:
    PinnedToNotes(Score& score, const Positions& where, int first, int last)
        : score_(score), first_(first), last_(last) {
        for (int s = first; s <= last; ++s) {
            StaveBlock& b = score.stave(s);
            for (int i = 1; i <= b.count(); ++i) {
                ScoreObject& o = b.obj[i];
                if (!Shifts(o) || !WrittenAtNote(o.kind)) continue;
                const int32_t x = where.at(s, i);
                // Past the byte's 255 tags the rest are justified as they lie.
                if (x == o.x || offsets_.size() >= 255) continue;
                offsets_.push_back(o.x - x);
                o.working = static_cast<uint8_t>(offsets_.size());
                o.x = x;
            }
        }
    }
    void release() {
        for (int s = first_; s <= last_; ++s) {
            StaveBlock& b = score_.stave(s);
            for (int i = 1; i <= b.count(); ++i) {
                ScoreObject& o = b.obj[i];
                if (o.working == 0 || o.working > offsets_.size()) continue;
                o.x = StorableX(static_cast<double>(o.x) + offsets_[o.working - 1u]);
                o.working = 0;
            }
        }
    }

  private:
    Score& score_;
    int first_, last_;
    std::vector<int32_t> offsets_;
};

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

// The objects of staves first..last in lo..hi: curves only whole, a text
// with every piece of its chain, never the object `skip` of the top stave
// (an opening bar line joined elsewhere).
Selection BarBox(const Score& score, const Positions& where, int first, int last, int32_t lo,
                 int32_t hi, int skip = 0) {
    Selection sel;
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (!Shifts(o) || !InRange(where.at(s, i), lo, hi) || (s == first && i == skip))
                continue;
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

// The ties over the break a move closed (a tie onwards left of the seam
// between the system's own music and the moved bar, one from before right
// of it) are joined to the nearest note of their pitch on that side, unless
// that note is already tied; one that finds no partner is dropped, as its
// break is gone. Ties over the system's own ends stay as they are.
void JoinTies(StaveBlock& b, int32_t seam) {
    for (int i = 1; i <= b.count(); ++i) {
        if (!Sounding(b.obj[i])) continue;
        NoteData& n = b.obj[i].note();
        for (int back = 0; back < 2; ++back) {
            uint8_t& mine = back ? n.tieLeft : n.tieRight;
            if (mine != kTieAcrossSystems || (back ? b.obj[i].x < seam : b.obj[i].x > seam))
                continue;
            mine = 0;
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

void TidySystem(Score& score, std::pair<int, int> staves) {
    for (int s = staves.first; s <= staves.second; ++s)
        TidyStave(score, s, s != staves.first);
}

// Both systems justified to their own right ends and tidied, bar lines on
// their top staves only; the receiving one's ties over the closed break
// joined first, while its music still lies either side of `seam`. The pins
// go last, and both systems are tidied again in the order they make.
void Settle(Score& score, PinnedToNotes& pins, WidenedEnds& ends, std::pair<int, int> target,
            std::pair<int, int> source, int32_t seam) {
    Justify(score, source.first, MusicStart(score, source.first));
    TidySystem(score, target);
    for (int s = target.first; s <= target.second; ++s)
        JoinTies(score.stave(s), seam);
    ends.restore();
    Justify(score, target.first, MusicStart(score, target.first));
    pins.release();
    TidySystem(score, source);
    TidySystem(score, target);
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

BarMove MoveLastBarDown(Score& score, int s, const TextMeasurer& measurer) {
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
    const Positions where(score, measurer);
    const Selection sel = BarBox(score, where, a, b, barStart + 1, kNoLimit);
    if (sel.empty()) return BarMove::NoBarsHere;
    const int32_t closing = here.x.back();
    const int32_t reach = RightmostX(score, sel);
    const int32_t w = (reach > closing ? reach + kTailGap : closing) - barStart;
    const int32_t start = there.x.front();
    const int32_t dx = start - barStart;
    if (!Fits(score, sel, c, dx)) return BarMove::TooFull;

    ScoreSnapshotGuard guard(score, a, d);
    PinnedToNotes pins(score, where, a, d);
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
    Settle(score, pins, ends, {c, d}, {a, b}, start + w);
    guard.keep();
    return BarMove::Moved;
}

BarMove MoveFirstBarUp(Score& score, int s, const TextMeasurer& measurer) {
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
    const Positions where(score, measurer);
    const Selection sel = BarBox(score, where, a, b, start, closing, joins ? open : 0);
    if (sel.empty()) return BarMove::NoBarsHere;
    const int32_t base = joins ? there.x.back() : LastObjectX(score, c, d) + kTailGap;
    // Music that began at the system's start, with no bar line before it,
    // keeps a gap after the bar line it now follows.
    const int32_t lead = here.opening ? 0 : kTailGap;
    const int32_t w = closing - start + lead;
    const int32_t dx = base - start + lead;
    if (!Fits(score, sel, c, dx)) return BarMove::TooFull;

    ScoreSnapshotGuard guard(score, c, b);
    PinnedToNotes pins(score, where, c, b);
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
    Settle(score, pins, ends, {c, d}, {a, b}, base);
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

bool DeleteBarAt(Score& score, int s, int32_t x, const TextMeasurer& measurer) {
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return false;
    const auto [a, b] = SystemBounds(score, s);
    const BarBounds bars = BarList(score, a);
    for (int k = 1; k < bars.count(); ++k) {
        const int32_t lo = bars.x[static_cast<std::size_t>(k - 1)];
        const int32_t hi = bars.x[static_cast<std::size_t>(k)];
        if (x <= lo || x > hi) continue;
        const Positions where(score, measurer);
        const Selection sel = BarBox(score, where, a, b, lo + 1, hi);
        PinnedToNotes pins(score, where, a, b);
        DeleteBlockObjects(score, sel, true);
        ShiftFrom(score, a, b, hi + 1, lo - hi);
        Justify(score, a, MusicStart(score, a));
        pins.release();
        TidySystem(score, {a, b});
        return true;
    }
    return false;
}

bool DeleteBarCommand(EditContext& ctx, int s, int32_t x, const BarEditOptions& options) {
    if (s < 1 || s > ctx.score.Nstaves) return false;
    const auto [a, b] = SystemBounds(ctx.score, s);
    ScoreEdit edit(ctx, "delete bar");
    if (!edit.touchStaves(a, b) || !DeleteBarAt(ctx.score, s, x, options.measurer)) return false;
    if (options.alongside) options.alongside(ctx.score);
    edit.commit();
    return true;
}

namespace {

bool RunMove(EditContext& ctx, int s, bool down, const BarEditOptions& options) {
    Score& score = ctx.score;
    const auto [lo, hi] = BarMoveStaves(score, s, down);
    if (lo > hi) return false;
    // The system that takes the bar in.
    const int target = down ? SystemBounds(score, SystemBounds(score, s).second + 1).first : lo;
    BarMove result = BarMove::NoNeighbour;
    {
        ScoreEdit edit(ctx, down ? "move last bar down" : "move first bar up");
        if (!edit.touchStaves(lo, hi)) return false;
        result = down ? MoveLastBarDown(score, s, options.measurer)
                      : MoveFirstBarUp(score, s, options.measurer);
        if (result == BarMove::Moved) {
            // The moved bar keeps the spacing of the system it left: the
            // receiving system is spaced again as a whole, by durations.
            NeatenSystems(score, ctx.host, target, target, options.neatenFactor);
            if (options.alongside) options.alongside(score);
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

bool MoveLastBarDownCommand(EditContext& ctx, int s, const BarEditOptions& options) {
    return RunMove(ctx, s, true, options);
}
bool MoveFirstBarUpCommand(EditContext& ctx, int s, const BarEditOptions& options) {
    return RunMove(ctx, s, false, options);
}

}  // namespace sw
