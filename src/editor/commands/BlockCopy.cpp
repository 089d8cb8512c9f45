// The block core: copy, move and delete of a selection.
#include "editor/commands/BlockCopy.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "layout/BeamRules.h"

namespace sw {

namespace {

constexpr uint8_t kTieAcrossSystems = 255;

bool TargetExists(const Score& score, const std::pair<int, int>& source, int targetFirst) {
    const int last = targetFirst + (source.second - source.first);
    return source.first >= 1 && targetFirst >= 1 && last <= score.Nstaves;
}

bool CrossStave(const NoteData& n) {
    return n.beamBackUp || n.beamBackDown || n.beamOnUp || n.beamOnDown;
}

bool IsPiece(const ScoreObject& o) {
    return HasTextLayout(o.kind) && (o.text().textFlags & kTextContinuation);
}

// Whether a note of stave s is beamed to the stave above (-1) or below (+1).
std::pair<bool, bool> BeamedAcross(const StaveBlock& b) {
    bool up = false, down = false;
    for (int i = 1; i <= b.count(); ++i) {
        if (b.obj[i].kind != kNote) continue;
        const NoteData& n = b.obj[i].note();
        up = up || ((n.beamBackUp || n.beamOnUp) && (n.beamBackTo || n.beamOnTo));
        down = down || ((n.beamBackDown || n.beamOnDown) && (n.beamBackTo || n.beamOnTo));
    }
    return {up, down};
}

// The selected slots of each source stave, in selection order.
std::vector<std::vector<int>> SlotsByStave(const Selection& selection, int first, int last) {
    std::vector<std::vector<int>> slots(static_cast<std::size_t>(last - first + 1));
    for (const SelectedObject& e : selection.entries())
        if (e.stave >= first && e.stave <= last)
            slots[static_cast<std::size_t>(e.stave - first)].push_back(e.object);
    return slots;
}

uint8_t Through(const std::array<uint8_t, kSlots>& map, uint8_t old) {
    return old >= 1 && old <= kMaxObjects ? map[old] : 0;
}

// The copy of one object in its new slot, links through `map`.
ScoreObject Translated(const ScoreObject& from, const std::array<uint8_t, kSlots>& map, int32_t dx,
                       int32_t dy, int32_t dv) {
    ScoreObject o = from;
    if (IsPiece(o)) {
        o.x = 0;  // a continuation piece is placed by its chain's head
        o.y = 0;
    } else {
        o.x += dx;
        o.y += dy + (VerticallyMovable(o.kind) ? dv : 0);
    }
    switch (o.kind) {
        case kNote: {
            NoteData& n = o.note();
            if (CrossStave(n)) {
                n.beamBackTo = n.beamOnTo = 0;
                n.beamBackUp = n.beamBackDown = n.beamOnUp = n.beamOnDown = 0;
            } else {
                n.beamBackTo = Through(map, n.beamBackTo);
                n.beamOnTo = Through(map, n.beamOnTo);
            }
            if (n.tieLeft != kTieAcrossSystems) n.tieLeft = Through(map, n.tieLeft);
            if (n.tieRight != kTieAcrossSystems) n.tieRight = Through(map, n.tieRight);
            n.validated = 0;
            break;
        }
        case kTie:
            o.data.tie.leftNote = Through(map, o.data.tie.leftNote);
            o.data.tie.rightNote = Through(map, o.data.tie.rightNote);
            break;
        case kCurve: {
            CurveData& c = o.curve();
            c.nextAnchor = Through(map, c.nextAnchor);
            c.prevAnchor = Through(map, c.prevAnchor);
            c.upperBound = static_cast<int16_t>(c.upperBound + dv);
            c.lowerBound = static_cast<int16_t>(c.lowerBound + dv);
            break;
        }
        default:
            if (HasTextLayout(o.kind)) o.text().nextChunk = Through(map, o.text().nextChunk);
            break;
    }
    return o;
}

}  // namespace

std::pair<int32_t, int32_t> BlockDxLimits(const Score& score, const Selection& selection,
                                          int targetFirst) {
    int32_t lo = std::numeric_limits<int32_t>::min() / 2;
    int32_t hi = std::numeric_limits<int32_t>::max() / 2;
    const auto source = selection.staveRange();
    if (!TargetExists(score, source, targetFirst)) return {1, 0};
    for (const SelectedObject& e : selection.entries()) {
        const ScoreObject& o = score.object(e.stave, e.object);
        if (o.kind != kNote) continue;
        const StaveHeader& t = score.stave(targetFirst + (e.stave - source.first)).h;
        lo = std::max(lo, t.LeftX - o.x);
        hi = std::min(hi, t.RightX - o.x);
    }
    return {lo, hi};
}

BlockFit CheckBlockFits(const Score& score, const Selection& selection, int targetFirst,
                        int32_t dx) {
    const auto source = selection.staveRange();
    if (selection.empty() || !TargetExists(score, source, targetFirst)) return BlockFit::NoTarget;
    for (int k = 0; k <= source.second - source.first; ++k)
        if (score.stave(targetFirst + k).count() + selection.countOn(source.first + k) >
            kObjectLimit)
            return BlockFit::TooFull;
    const auto [lo, hi] = BlockDxLimits(score, selection, targetFirst);
    if (dx < lo || dx > hi) return BlockFit::OutsideEnds;
    return BlockFit::Fits;
}

std::pair<int, int> BlockReach(const Score& score, const Selection& selection, int targetFirst,
                               bool move) {
    const auto source = selection.staveRange();
    if (selection.empty()) return {0, -1};
    int lo = targetFirst, hi = targetFirst + (source.second - source.first);
    if (move) {
        lo = std::min(lo, source.first);
        hi = std::max(hi, source.second);
    }
    int reachLo = lo, reachHi = hi;
    for (int s = std::max(lo, 1); s <= std::min<int>(hi, score.Nstaves); ++s) {
        const auto [up, down] = BeamedAcross(score.stave(s));
        if (up) reachLo = std::min(reachLo, s - 1);
        if (down) reachHi = std::max(reachHi, s + 1);
    }
    return {std::max(reachLo, 1), std::min<int>(reachHi, score.Nstaves)};
}

bool PlaceBlock(Score& score, const Selection& selection, const BlockPlacement& placement,
                bool move) {
    if (CheckBlockFits(score, selection, placement.targetFirst, placement.dx) != BlockFit::Fits)
        return false;
    const auto [first, last] = selection.staveRange();
    const std::vector<std::vector<int>> slots = SlotsByStave(selection, first, last);
    // Every copy is made from the originals before any target changes, so
    // source and target ranges may overlap.
    std::vector<std::vector<ScoreObject>> copies(slots.size());
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const int s = first + static_cast<int>(k);
        const int t = placement.targetFirst + static_cast<int>(k);
        std::array<uint8_t, kSlots> map{};
        int next = score.stave(t).count();
        for (int i : slots[k])
            map[static_cast<std::size_t>(i)] = static_cast<uint8_t>(++next);
        const int32_t dy = score.stave(t).h.Ycoord - score.stave(s).h.Ycoord;
        for (int i : slots[k])
            copies[k].push_back(
                Translated(score.object(s, i), map, placement.dx, dy, placement.dv));
    }
    // The originals' slots are only emptied, so the indexes the copies were
    // given stay right when a target stave is also a source stave.
    if (move) DeleteBlockObjects(score, selection, true);
    for (std::size_t k = 0; k < copies.size(); ++k) {
        StaveBlock& b = score.stave(placement.targetFirst + static_cast<int>(k));
        for (const ScoreObject& o : copies[k])
            b.obj[++b.h.Nobjec] = o;
    }
    return true;
}

int DeleteBlockObjects(Score& score, const Selection& selection, bool barlines) {
    int deleted = 0;
    for (const SelectedObject& e : selection.entries()) {
        if (!score.hasStave(e.stave) || e.stave > score.Nstaves) continue;
        StaveBlock& b = score.stave(e.stave);
        if (!b.validIndex(e.object)) continue;
        ScoreObject& o = b.obj[e.object];
        if (o.kind == kNothing || (o.kind == kBarline && !barlines)) continue;
        if (o.kind == kNote && CrossStave(o.note())) {
            // The partner on the next stave must not point at an emptied slot.
            const NoteData& n = o.note();
            if (n.beamBackUp || n.beamBackDown) UnlinkBack(score, e.stave, e.object);
            if (n.beamOnUp || n.beamOnDown) UnlinkOn(score, e.stave, e.object);
        }
        UnlinkAndDelete(b, e.object);
        ++deleted;
    }
    return deleted;
}

}  // namespace sw
