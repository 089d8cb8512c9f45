// Beam groups, the line their beams follow and the pieces of each level.
#include "layout/Beams.h"

#include <algorithm>
#include <set>

#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Rounding.h"

namespace sw {

std::optional<NoteRef> BeamNeighbour(const Score& score, int s, const NoteData& n, bool forward) {
    const int to = forward ? n.beamOnTo : n.beamBackTo;
    if (to == 0) return std::nullopt;
    const bool up = forward ? n.beamOnUp : n.beamBackUp;
    const bool down = forward ? n.beamOnDown : n.beamBackDown;
    const int ps = up ? s - 1 : (down ? s + 1 : s);
    if (ps < 1 || ps > score.Nstaves || !score.hasStave(ps)) return std::nullopt;
    const StaveBlock& b = score.stave(ps);
    if (!b.validIndex(to) || b.obj[to].kind != kNote) return std::nullopt;
    return NoteRef{ps, to};
}

std::vector<NoteRef> WalkBeam(const Score& score, int s, int i, bool forward, bool sameStave) {
    std::vector<NoteRef> walk;
    if (!score.hasStave(s) || s < 1 || s > score.Nstaves || !score.stave(s).validIndex(i) ||
        score.object(s, i).kind != kNote)
        return walk;
    std::set<NoteRef> seen;
    std::optional<NoteRef> at = NoteRef{s, i};
    while (at && seen.insert(*at).second) {
        walk.push_back(*at);
        at = BeamNeighbour(score, at->s, score.object(at->s, at->i).note(), forward);
        if (at && sameStave && at->s != s) break;
    }
    return walk;
}

std::vector<NoteRef> BeamChain(const Score& score, int s, int i, bool sameStave) {
    std::vector<NoteRef> back = WalkBeam(score, s, i, false, sameStave);
    if (back.empty()) return back;
    std::vector<NoteRef> chain(back.rbegin(), back.rend());
    const NoteRef first = chain.front();
    // Forward from the first note, so a chain whose links disagree is read one way.
    return WalkBeam(score, first.s, first.i, true, sameStave);
}

std::vector<BeamNote> BeamGroup(const Score& score, int s, int i, const ScoreObject& last) {
    std::vector<BeamNote> group;
    std::set<NoteRef> seen;
    int cs = s, ci = i;
    const ScoreObject* o = &last;
    while (group.size() < static_cast<std::size_t>(kMaxObjects) && seen.insert({cs, ci}).second) {
        if (cs < 1 || cs > score.Nstaves) break;
        const StaveBlock& b = score.stave(cs);
        if (!group.empty()) o = &b.obj[ci];
        if (o->kind != kNote) break;
        const NoteData& n = o->note();
        if (n.noteValue < 4 || n.noteValue > 7) return {};
        const int32_t headY = b.h.sizeIndex != 0 ? SmallStaveY(b.h.Ycoord, o->y) : o->y;
        group.push_back({cs, ci, &n, n.stemStartX, headY, n.noteValue - 3, EffectiveStem(n) != 1});
        const std::optional<NoteRef> prev = BeamNeighbour(score, cs, n, false);
        if (!prev) break;
        cs = prev->s;
        ci = prev->i;
    }
    std::reverse(group.begin(), group.end());
    return group;
}

namespace {

// Moves the beams of a group whose stems all point one way outwards, with
// their slope, until every head keeps two and a half spaces to the nearest
// beam above (below) it, so that no note loses its stem and no level runs
// through a head; and a group wholly beyond its stave reaches the middle
// line, as a single note's stem does there.
void KeepClearOfHeads(const Score& score, BeamGeometry& geo) {
    const int out = geo.up ? -1 : 1;  // from the heads towards the beams, on the page
    double shift = 0;                 // how far the beams must move that way
    bool beyond = true;
    double toMiddle = 0;
    for (const BeamNote& b : geo.notes) {
        const StaveHeader& h = score.stave(b.s).h;
        const int sp = LineSpacing(h.sizeIndex);
        // The deepest level over this note: its own, or a neighbour's beam or hook.
        int deepest = 0;
        for (const BeamPiece& p : geo.pieces)
            if (p.x1 <= b.x && b.x <= p.x2) deepest = std::max(deepest, p.level);
        const double inner =
            geo.line.at(b.x) - out * (deepest * (geo.thickness + geo.gap) + geo.thickness);
        const double wanted = b.headY + out * 2.5 * sp;
        shift = std::max(shift, (wanted - inner) * out);
        beyond &= b.up ? b.n->pitch < -4 : b.n->pitch > 4;
        toMiddle = std::max(toMiddle, (h.Ycoord - geo.line.at(b.x)) * out);
    }
    if (beyond) shift = std::max(shift, toMiddle);
    geo.line.intercept += out * shift;
}

}  // namespace

BeamGeometry LayOutBeams(const Score& score, int s, int i, const ScoreObject& last) {
    BeamGeometry geo;
    geo.notes = BeamGroup(score, s, i, last);
    const std::vector<BeamNote>& g = geo.notes;
    if (g.size() < 2) return geo;
    const StaveHeader& h = score.stave(s).h;
    const bool small = h.sizeIndex != 0;
    bool anySmall = false;
    for (const BeamNote& b : g)
        anySmall |= b.n->headSize == 1 || b.n->headSize == 5;
    const int t = small ? 2 : (anySmall ? 2 : 4);
    const int gap = small ? (anySmall ? 0 : 1) : (anySmall ? 1 : 2);
    const int sp = LineSpacing(h.sizeIndex);
    geo.thickness = t;
    geo.gap = gap;
    geo.up = g.front().up;

    std::vector<double> end(g.size());
    bool allUp = true, allDown = true;
    for (std::size_t k = 0; k < g.size(); ++k) {
        const BeamNote& b = g[k];
        double len = (b.n->lengthIncr + 6) * sp / 2.0 + std::max(0, (b.levels - 1) * (t + gap));
        end[k] = b.headY + (b.up ? -len : len);
        allUp &= b.up;
        allDown &= !b.up;
    }
    BeamLine& line = geo.line;
    const double dx = g.back().x - g.front().x;
    if (allUp || allDown) {
        // A partner at the same x (between tidyings) gives a flat beam.
        line.slope = dx != 0 ? std::clamp((end.back() - end.front()) / dx / 2, -0.4, 0.4) : 0;
        if (g.size() == 2) {
            line.intercept = (end[0] + end[1]) / 2 - line.slope * (g[0].x + g[1].x) / 2.0;
        } else {
            double sum = 0;
            for (std::size_t k = 0; k < g.size(); ++k)
                sum += end[k] - line.slope * g[k].x;
            line.intercept = sum / g.size();
        }
    } else {
        double sum = 0;
        for (double e : end)
            sum += e;
        line.intercept = sum / end.size();
    }
    for (const BeamNote& b : g)
        if (b.n->flatBeam) line.slope = 0, line.intercept = end.front();

    const int W = HeadWidth(*g.front().n);
    const int hook = small ? RoundEven(W * 5.0 / 8.0) : W;
    for (std::size_t k = 0; k < g.size(); ++k) {
        const BeamNote& b = g[k];
        const int prevShared = k > 0 ? std::min(b.levels, g[k - 1].levels) : 0;
        const int nextShared = k + 1 < g.size() ? std::min(b.levels, g[k + 1].levels) : 0;
        // Full beams to the next note at the levels both have.
        if (k + 1 < g.size())
            for (int l = 0; l < nextShared; ++l)
                geo.pieces.push_back(
                    {static_cast<double>(b.x), static_cast<double>(g[k + 1].x), l});
        // Hooks for levels shared with neither neighbour.
        const int shared = std::max(prevShared, nextShared);
        for (int l = shared; l < b.levels; ++l) {
            bool right;
            if (k == 0)
                right = true;
            else if (k + 1 == g.size())
                right = false;
            else if (g[k + 1].levels < g[k - 1].levels)
                right = false;
            else if (g[k - 1].levels < g[k + 1].levels)
                right = true;
            else
                right = g[k - 1].n->dots < g[k + 1].n->dots;
            if (b.n->singleBeam && !right) right = true;
            if (k + 1 < g.size() && g[k + 1].n->singleBeam && right) right = false;
            if (right)
                geo.pieces.push_back(
                    {static_cast<double>(b.x), static_cast<double>(b.x + hook), l});
            else
                geo.pieces.push_back(
                    {static_cast<double>(b.x - hook), static_cast<double>(b.x), l});
        }
    }
    if (allUp || allDown) KeepClearOfHeads(score, geo);
    return geo;
}

}  // namespace sw
