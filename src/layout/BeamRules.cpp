// Beam links written by the note commands, the selection tools' conditions
// and the tuplet names.
#include "layout/BeamRules.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "layout/NoteGeometry.h"

namespace sw {

namespace {

constexpr int kShortestValue = 7;
constexpr int kLongestBeamed = 4;
constexpr int kLongestTremoloKept = 3;  // a crotchet: its tremolo beam is its only beam
constexpr uint8_t kTripletN = 3, kTripletM = 2;

const NoteData* NoteAt(const Score& score, const NoteRef& r) {
    if (r.s < 1 || r.s > score.Nstaves || !score.hasStave(r.s)) return nullptr;
    const StaveBlock& b = score.stave(r.s);
    if (!b.validIndex(r.i) || b.obj[r.i].kind != kNote) return nullptr;
    return &b.obj[r.i].note();
}
NoteData* NoteAt(Score& score, const NoteRef& r) {
    return const_cast<NoteData*>(NoteAt(static_cast<const Score&>(score), r));
}

bool Beamable(const NoteData* n) {
    return n && !n->rest && n->noteValue >= kLongestBeamed && n->noteValue <= kShortestValue;
}

// One direction of a link: the note's own field and stave flags, and the
// partner's field that points back.
struct LinkFields {
    uint8_t NoteData::*to;
    uint8_t NoteData::*up;
    uint8_t NoteData::*down;
    uint8_t NoteData::*back;
};
constexpr LinkFields kBackLink{&NoteData::beamBackTo, &NoteData::beamBackUp,
                               &NoteData::beamBackDown, &NoteData::beamOnTo};
constexpr LinkFields kOnLink{&NoteData::beamOnTo, &NoteData::beamOnUp, &NoteData::beamOnDown,
                             &NoteData::beamBackTo};

bool Unlink(Score& score, int s, int i, bool forward, std::vector<NoteRef>* touched) {
    NoteData* n = NoteAt(score, {s, i});
    if (!n) return false;
    const LinkFields& f = forward ? kOnLink : kBackLink;
    if (n->*f.to == 0) return false;
    const std::optional<NoteRef> partner = BeamNeighbour(score, s, *n, forward);
    n->*f.to = n->*f.up = n->*f.down = 0;
    if (touched) touched->push_back({s, i});
    if (!partner) return true;
    NoteData& p = score.object(partner->s, partner->i).note();
    const std::optional<NoteRef> back = BeamNeighbour(score, partner->s, p, !forward);
    if (back && *back == NoteRef{s, i}) {
        const LinkFields& g = forward ? kBackLink : kOnLink;
        p.*g.to = p.*g.up = p.*g.down = 0;
        if (touched) touched->push_back(*partner);
    }
    return true;
}

bool LinkedTo(const Score& score, const NoteRef& from, const NoteRef& to, bool forward) {
    const NoteData* n = NoteAt(score, from);
    if (!n) return false;
    const std::optional<NoteRef> p = BeamNeighbour(score, from.s, *n, forward);
    return p && *p == to;
}

// The sounding notes of a chord: every one at the note's x on its stave.
std::vector<NoteRef> Chord(const Score& score, const NoteRef& r) {
    std::vector<NoteRef> chord;
    const StaveBlock& b = score.stave(r.s);
    const int32_t x = b.obj[r.i].x;
    for (int j = 1; j <= b.h.Nobjec; ++j)
        if (b.obj[j].kind == kNote && !b.obj[j].note().rest && b.obj[j].x == x)
            chord.push_back({r.s, j});
    return chord;
}

int32_t XOf(const Score& score, const NoteRef& r) {
    return score.object(r.s, r.i).x;
}

}  // namespace

std::pair<int, int> StaveSpan(const std::vector<NoteRef>& notes) {
    if (notes.empty()) return {0, -1};
    int lo = notes.front().s, hi = lo;
    for (const NoteRef& r : notes)
        lo = std::min(lo, r.s), hi = std::max(hi, r.s);
    return {lo, hi};
}

bool IsBeamableNote(const Score& score, const NoteRef& r) {
    return Beamable(NoteAt(score, r));
}

bool CanBeamBack(const Score& score, int s, int i) {
    const NoteData* n = NoteAt(score, {s, i});
    return Beamable(n) && n->beamBackTo == 0;
}

std::optional<int> PreviousBeamCandidate(const Score& score, int s, int i) {
    if (!CanBeamBack(score, s, i)) return std::nullopt;
    const StaveBlock& b = score.stave(s);
    const ScoreObject& note = b.obj[i];
    const int stem = EffectiveStem(note.note());
    std::optional<int> best;
    for (int j = 1; j <= b.h.Nobjec; ++j) {
        const ScoreObject& o = b.obj[j];
        if (j == i || o.kind != kNote || o.x >= note.x) continue;
        const NoteData& n = o.note();
        if (!Beamable(&n) || EffectiveStem(n) != stem || n.beamOnTo != 0 ||
            n.headSize != note.note().headSize || !n.showTail)
            continue;
        if (!best || o.x >= b.obj[*best].x) best = j;
    }
    return best;
}

void LinkBeam(Score& score, const NoteRef& from, const NoteRef& to) {
    NoteData& a = score.object(from.s, from.i).note();
    NoteData& b = score.object(to.s, to.i).note();
    a.beamOnTo = static_cast<uint8_t>(to.i);
    a.beamOnUp = to.s == from.s - 1;
    a.beamOnDown = to.s == from.s + 1;
    b.beamBackTo = static_cast<uint8_t>(from.i);
    b.beamBackUp = from.s == to.s - 1;
    b.beamBackDown = from.s == to.s + 1;
}

bool UnlinkBack(Score& score, int s, int i, std::vector<NoteRef>* touched) {
    return Unlink(score, s, i, false, touched);
}

bool UnlinkOn(Score& score, int s, int i, std::vector<NoteRef>* touched) {
    return Unlink(score, s, i, true, touched);
}

std::vector<NoteRef> FlatBeamGroup(const Score& score, int s, int i) {
    const NoteData* n = NoteAt(score, {s, i});
    if (!Beamable(n) || (n->beamOnTo == 0 && n->beamBackTo == 0)) return {};
    return BeamChain(score, s, i, false);
}

std::vector<NoteRef> CrossStaveBeam(Score& score, NoteRef a, NoteRef b) {
    if (!Beamable(NoteAt(score, a)) || !Beamable(NoteAt(score, b)) || a == b) return {};
    std::vector<NoteRef> touched;
    NoteRef left, right;
    if (a.s == b.s) {
        left = a.i < b.i ? a : b;
        right = a.i < b.i ? b : a;
    } else {
        if (std::abs(a.s - b.s) != 1) return {};
        const int32_t dx = XOf(score, b) - XOf(score, a);
        if (std::abs(dx) <= kCrossStaveGap) return {};
        left = dx > 0 ? a : b;
        right = dx > 0 ? b : a;
    }
    if (UnlinkOn(score, left.s, left.i, &touched)) return touched;
    if (NoteAt(score, right)->beamBackTo != 0) return {};
    LinkBeam(score, left, right);
    return {left, right};
}

int TremoloBeamsPreset(const Score& score, NoteRef a, NoteRef b) {
    int beams = 0;
    for (const NoteRef& r : {a, b}) {
        if (!NoteAt(score, r)) continue;
        for (const NoteRef& c : Chord(score, r))
            beams = std::max<int>(beams, score.object(c.s, c.i).note().tremuloBars);
    }
    return std::min(beams, kMaxTremoloBeams);
}

std::optional<NoteRef> TremoloPartner(const Score& score, const NoteRef& r) {
    const NoteData* n = NoteAt(score, r);
    if (!n || n->rest) return std::nullopt;
    if (n->beamStem1) {
        const std::optional<NoteRef> back = BeamNeighbour(score, r.s, *n, false);
        if (back && LinkedTo(score, *back, r, true) && !NoteAt(score, *back)->rest) return back;
    }
    const std::optional<NoteRef> on = BeamNeighbour(score, r.s, *n, true);
    if (!on) return std::nullopt;
    const NoteData* p = NoteAt(score, *on);
    if (p && !p->rest && p->beamStem1 && LinkedTo(score, *on, r, false)) return on;
    return std::nullopt;
}

std::vector<NoteRef> TremoloBeam(Score& score, NoteRef a, NoteRef b, int beams) {
    const NoteData* na = NoteAt(score, a);
    const NoteData* nb = NoteAt(score, b);
    if (!na || !nb || na->rest || nb->rest || a == b || std::abs(a.s - b.s) > 1) return {};
    beams = std::clamp(beams, 0, kMaxTremoloBeams);
    NoteRef first = a, second = b;
    if (a.s == b.s ? b.i < a.i : XOf(score, b) < XOf(score, a)) std::swap(first, second);
    const bool linked = LinkedTo(score, first, second, true);
    if (beams > 0 && !linked &&
        (NoteAt(score, first)->beamOnTo != 0 || NoteAt(score, second)->beamBackTo != 0))
        return {};

    std::vector<NoteRef> touched;
    for (const NoteRef& r : {a, b})
        for (const NoteRef& c : Chord(score, r)) {
            NoteData& n = score.object(c.s, c.i).note();
            n.tremuloBars = n.beamStem1 = n.beamStem2 = 0;
            touched.push_back(c);
        }
    if (beams > 0) {
        if (!linked) LinkBeam(score, first, second);
        NoteData& n = score.object(second.s, second.i).note();
        n.beamStem1 = 1;
        n.tremuloBars = static_cast<uint8_t>(beams);
        return touched;
    }
    for (const NoteRef& r : {a, b})
        if (score.object(r.s, r.i).note().noteValue <= kLongestTremoloKept) {
            UnlinkOn(score, r.s, r.i, &touched);
            UnlinkBack(score, r.s, r.i, &touched);
        }
    return touched;
}

std::vector<NoteRef> MakeTriplets(Score& score, const std::vector<NoteRef>& notes) {
    std::vector<NoteRef> changed;
    for (const NoteRef& r : notes) {
        NoteData* n = NoteAt(score, r);
        if (!n) continue;
        n->durMod = kTripletN;
        n->durMod2 = kTripletM;
        changed.push_back(r);
    }
    return changed;
}

bool BeamToolAllowed(const Score& score, const std::vector<NoteRef>& sel) {
    if (sel.size() != 2 || sel[0] == sel[1]) return false;
    const NoteData* a = NoteAt(score, sel[0]);
    const NoteData* b = NoteAt(score, sel[1]);
    if (!Beamable(a) || !Beamable(b)) return false;
    if (sel[0].s == sel[1].s) {
        const bool aFirst = sel[0].i < sel[1].i;
        const NoteData* first = aFirst ? a : b;
        const NoteData* second = aFirst ? b : a;
        return first->beamOnTo == 0 && second->beamBackTo == 0;
    }
    if (std::abs(sel[0].s - sel[1].s) != 1 || !a->showTail || !b->showTail) return false;
    const NoteRef u = sel[0].s < sel[1].s ? sel[0] : sel[1];
    const NoteRef d = sel[0].s < sel[1].s ? sel[1] : sel[0];
    const bool beamed = (LinkedTo(score, u, d, true) && LinkedTo(score, d, u, false)) ||
                        (LinkedTo(score, d, u, true) && LinkedTo(score, u, d, false));
    if (beamed) return true;
    if (!score.stave(u.s).h.joinToNext) return false;
    const int32_t dx = XOf(score, d) - XOf(score, u);
    if (std::abs(dx) <= kCrossStaveGap) return false;
    const NoteRef left = dx > 0 ? u : d;
    const NoteRef right = dx > 0 ? d : u;
    return NoteAt(score, left)->beamOnTo == 0 && NoteAt(score, right)->beamBackTo == 0;
}

bool TremoloToolAllowed(const Score& score, const std::vector<NoteRef>& sel) {
    if (sel.size() != 2 || sel[0] == sel[1] || std::abs(sel[0].s - sel[1].s) > 1) return false;
    const NoteData* a = NoteAt(score, sel[0]);
    const NoteData* b = NoteAt(score, sel[1]);
    if (!a || !b || a->rest || b->rest || a->noteValue != b->noteValue) return false;
    for (int k = 0; k < 2; ++k) {
        const NoteRef me = sel[static_cast<std::size_t>(k)];
        const NoteRef other = sel[static_cast<std::size_t>(1 - k)];
        const NoteData* n = k == 0 ? a : b;
        if (n->beamOnTo && !LinkedTo(score, me, other, true)) return false;
        if (n->beamBackTo && !LinkedTo(score, me, other, false)) return false;
    }
    return std::abs(XOf(score, sel[0]) - XOf(score, sel[1])) > kTremoloGap;
}

bool TripletsToolAllowed(const Score& score, const std::vector<NoteRef>& sel) {
    if (sel.empty()) return false;
    const int s = sel.front().s;
    std::set<int> chosen;
    int32_t lo = INT32_MAX, hi = INT32_MIN;
    int units = 0;
    for (const NoteRef& r : sel) {
        const NoteData* n = NoteAt(score, r);
        if (r.s != s || !n || n->noteValue > kShortestValue) return false;
        chosen.insert(r.i);
        lo = std::min(lo, XOf(score, r));
        hi = std::max(hi, XOf(score, r));
        units += 256 >> n->noteValue;  // breve 256 … hemidemisemiquaver 2
    }
    const StaveBlock& b = score.stave(s);
    for (int j = 1; j <= b.h.Nobjec; ++j)
        if (b.obj[j].kind == kNote && !chosen.count(j) && b.obj[j].x > lo && b.obj[j].x < hi)
            return false;
    return units % 3 == 0;
}

std::string TupletLabel(int n, int m) {
    if (n == 3 && m == 2) return "Triplets";
    if (n == 5 && m == 4) return "Quintuplets";
    if (n == 2 && m == 3) return "Duplets";
    return std::to_string(n) + " in the time of " + std::to_string(m);
}

}  // namespace sw
