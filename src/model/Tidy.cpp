// Stave tidying: link checks, dropping dead objects, the reading-order sort and
// renumbering of every link held in a stave.
#include <algorithm>
#include <numeric>
#include <vector>

#include "model/Score.h"

namespace sw {

namespace {

bool IsOctaveLineGlyph(uint8_t g) {
    return g == 146 || g == 165 || g == 242;
}

// Which stave holds the partner of a beam link, given the link's up/down flags.
int PartnerStave(int s, uint8_t up, uint8_t down) {
    return up ? s - 1 : (down ? s + 1 : s);
}

NoteData* NoteAt(Score& score, int s, int i) {
    if (s < 1 || s > score.Nstaves || !score.hasStave(s)) return nullptr;
    StaveBlock& b = score.stave(s);
    return b.validIndex(i) && b.obj[i].kind == kNote ? &b.obj[i].note() : nullptr;
}

void ClearBack(NoteData& n) {
    n.beamBackTo = 0, n.beamBackUp = 0, n.beamBackDown = 0;
}
void ClearOn(NoteData& n) {
    n.beamOnTo = 0, n.beamOnUp = 0, n.beamOnDown = 0;
}

// Step 1: every link of the stave must name a partner that names it back.
void CheckLinks(Score& score, int s) {
    StaveBlock& b = score.stave(s);
    const int n = b.h.Nobjec;
    // Flags pointing off the score are cleared first, for every note, so that a
    // partner checked earlier does not see a flag that is about to go.
    for (int i = 1; i <= n; ++i) {
        if (b.obj[i].kind != kNote) continue;
        NoteData& nd = b.obj[i].note();
        if (s == 1) nd.beamBackUp = nd.beamOnUp = 0;
        if (s == score.Nstaves) nd.beamBackDown = nd.beamOnDown = 0;
        if (nd.beamBackUp) nd.beamBackDown = 0;
        if (nd.beamOnUp) nd.beamOnDown = 0;
    }
    for (int i = 1; i <= n; ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind != kNote) continue;
        NoteData& nd = o.note();
        for (uint8_t* f : {&nd.beamBackTo, &nd.beamOnTo})
            if (*f >= kMaxObjects) *f = 0;
        for (uint8_t* f : {&nd.tieLeft, &nd.tieRight})
            if (*f >= kMaxObjects && *f != 255) *f = 0;

        // Back link: the partner must beam on to this note, with mirrored flags.
        if (nd.beamBackTo == 0) {
            ClearBack(nd);
        } else {
            int ps = PartnerStave(s, nd.beamBackUp, nd.beamBackDown);
            NoteData* p = NoteAt(score, ps, nd.beamBackTo);
            bool ok = p && p->beamOnTo == i && p->beamOnUp == nd.beamBackDown &&
                      p->beamOnDown == nd.beamBackUp && !(ps == s && nd.beamBackTo == i);
            if (ok && score.object(ps, nd.beamBackTo).x == o.x) {
                ClearOn(*p);
                ok = false;
            }
            if (!ok) ClearBack(nd);
        }
        if (nd.beamOnTo == 0) {
            ClearOn(nd);
        } else {
            int ps = PartnerStave(s, nd.beamOnUp, nd.beamOnDown);
            NoteData* p = NoteAt(score, ps, nd.beamOnTo);
            bool ok = p && p->beamBackTo == i && p->beamBackUp == nd.beamOnDown &&
                      p->beamBackDown == nd.beamOnUp && !(ps == s && nd.beamOnTo == i);
            if (ok && score.object(ps, nd.beamOnTo).x == o.x) {
                ClearBack(*p);
                ok = false;
            }
            if (!ok) ClearOn(nd);
        }
        if (nd.tieLeft != 0 && nd.tieLeft != 255) {
            NoteData* p = NoteAt(score, s, nd.tieLeft);
            if (!p || p->tieRight != i || nd.tieLeft == i) nd.tieLeft = 0;
        }
        if (nd.tieRight != 0 && nd.tieRight != 255) {
            NoteData* p = NoteAt(score, s, nd.tieRight);
            if (!p || p->tieLeft != i || nd.tieRight == i) nd.tieRight = 0;
        }
    }
    for (int i = 1; i <= n; ++i) {
        ScoreObject& o = b.obj[i];
        if (!HasTextLayout(o.kind)) continue;
        TextData& t = o.text();
        int next = t.nextChunk;
        if (next == 0) continue;
        if (next == i || next > n || next >= kMaxObjects || !HasTextLayout(b.obj[next].kind)) {
            // A chunk naming itself or something that is no text: keep this
            // chunk's text and end the chain here.
            t.nextChunk = 0;
        } else if (t.chunkLength < 10) {
            // Only a full chunk continues; what hangs off a short one is debris.
            b.obj[next].kind = kNothing;
            t.nextChunk = 0;
        }
    }
    for (int i = 1; i <= n; ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind != kCurve) continue;
        CurveData& c = o.curve();
        auto valid = [&](int j) { return j != i && b.validIndex(j) && b.obj[j].kind == kCurve; };
        if (!valid(c.nextAnchor)) c.nextAnchor = 0;
        if (!valid(c.prevAnchor)) c.prevAnchor = 0;
    }
}

// Step 2: tremolo strokes need room on a stem that no beam lengthens.
void TremoloStems(StaveBlock& b) {
    for (int i = b.h.Nobjec; i >= 1; --i) {
        ScoreObject& o = b.obj[i];
        if (o.kind != kNote) continue;
        NoteData& n = o.note();
        if (!n.beamStem2 || n.beamBackTo != 0 || n.beamOnTo != 0) continue;
        const int need = TremoloStemNeed(n);
        if (need > 0 && n.lengthIncr < need) n.lengthIncr = static_cast<int8_t>(need);
    }
}

bool Dropped(const Score& score, int s, const StaveBlock& b, const ScoreObject& o,
             bool dropBarlines) {
    if (o.x < -100 || o.kind == kNothing || o.kind == kTie) return true;
    if (o.kind > kMaxKind) return true;
    if (o.kind == kCurve && o.curve().nextAnchor == 0 && o.curve().prevAnchor == 0) return true;
    if (o.kind == kNote && (o.x < b.h.LeftX || o.x > b.h.RightX)) return true;
    if (dropBarlines && o.kind == kBarline && !IsFirstStaveOfSystem(score, s)) return true;
    return false;
}

// Reading order: sort position, then accidentals before the rest, then y, then
// the record's bytes read as a length-prefixed string.
struct SortKey {
    int32_t pos;
    int notAccidental;
    int32_t y;
    const ScoreObject* o;
};

bool KeyLess(const SortKey& a, const SortKey& b) {
    if (a.pos != b.pos) return a.pos < b.pos;
    if (a.notAccidental != b.notAccidental) return a.notAccidental < b.notAccidental;
    if (a.y != b.y) return a.y < b.y;
    const uint8_t* ra = a.o->data.raw;
    const uint8_t* rb = b.o->data.raw;
    // The string starts at the second kind-data byte; its length cannot reach
    // past the 64 bytes of the record.
    const int room = 62;
    int la = std::min<int>(ra[1], room), lb = std::min<int>(rb[1], room);
    int c = std::memcmp(ra + 2, rb + 2, static_cast<std::size_t>(std::min(la, lb)));
    if (c != 0) return c < 0;
    return la < lb;
}

}  // namespace

int TremoloStemNeed(const NoteData& n) {
    const bool up = n.stem == 0, down = n.stem == 1;
    if (n.tremuloBars == 3) return n.noteValue == 4 && up ? 1 : 0;
    if (n.tremuloBars != 4) return 0;
    if (n.noteValue == 3 || (n.noteValue == 4 && up)) return 2;
    return (n.noteValue == 4 && down) || (n.noteValue == 5 && (up || down)) ? 1 : 0;
}

void TidyStave(Score& score, int s, bool dropBarlines) {
    if (score.debug.disableTidy || !score.hasStave(s)) return;
    StaveBlock& b = score.stave(s);
    if (b.h.Nobjec == 0) return;
    if (b.h.Nobjec > kMaxObjects) b.h.Nobjec = kMaxObjects;
    const int n = b.h.Nobjec;

    CheckLinks(score, s);
    TremoloStems(b);

    std::vector<SortKey> kept;
    kept.reserve(n);
    for (int i = 1; i <= n; ++i) {
        const ScoreObject& o = b.obj[i];
        if (Dropped(score, s, b, o, dropBarlines)) continue;
        int32_t pos = o.x;
        if (o.kind == kAccidental) pos -= 10;
        if (IsOctaveLineGlyph(o.glyph)) pos -= 20;
        kept.push_back({pos, o.kind == kAccidental ? 0 : 1, o.y, &b.obj[i]});
    }
    std::stable_sort(kept.begin(), kept.end(), KeyLess);

    // Old slot -> new slot (0 when dropped), through both the drop and the sort.
    std::array<uint8_t, kSlots + 5> to{};
    for (std::size_t k = 0; k < kept.size(); ++k)
        to[static_cast<std::size_t>(kept[k].o - &b.obj[0])] = static_cast<uint8_t>(k + 1);
    auto map = [&](uint8_t old) -> uint8_t { return old <= kMaxObjects ? to[old] : 0; };

    // A dropped note's partners on the staves above and below lose their link to it.
    for (int i = 1; i <= n; ++i) {
        if (to[i] != 0 || b.obj[i].kind != kNote) continue;
        const NoteData& nd = b.obj[i].note();
        if (nd.beamBackTo && (nd.beamBackUp || nd.beamBackDown))
            if (NoteData* p =
                    NoteAt(score, PartnerStave(s, nd.beamBackUp, nd.beamBackDown), nd.beamBackTo))
                if (p->beamOnTo == i) ClearOn(*p);
        if (nd.beamOnTo && (nd.beamOnUp || nd.beamOnDown))
            if (NoteData* p =
                    NoteAt(score, PartnerStave(s, nd.beamOnUp, nd.beamOnDown), nd.beamOnTo))
                if (p->beamBackTo == i) ClearBack(*p);
    }

    std::vector<ScoreObject> out;
    out.reserve(kept.size());
    for (const SortKey& k : kept)
        out.push_back(*k.o);
    for (std::size_t k = 0; k < out.size(); ++k) {
        ScoreObject& o = out[k];
        const uint8_t newIndex = static_cast<uint8_t>(k + 1);
        if (o.kind == kNote) {
            NoteData& nd = o.note();
            if (nd.beamBackTo) {
                if (nd.beamBackUp || nd.beamBackDown) {
                    int ps = PartnerStave(s, nd.beamBackUp, nd.beamBackDown);
                    if (NoteData* p = NoteAt(score, ps, nd.beamBackTo)) p->beamOnTo = newIndex;
                } else if ((nd.beamBackTo = map(nd.beamBackTo)) == 0) {
                    ClearBack(nd);
                }
            }
            if (nd.beamOnTo) {
                if (nd.beamOnUp || nd.beamOnDown) {
                    int ps = PartnerStave(s, nd.beamOnUp, nd.beamOnDown);
                    if (NoteData* p = NoteAt(score, ps, nd.beamOnTo)) p->beamBackTo = newIndex;
                } else if ((nd.beamOnTo = map(nd.beamOnTo)) == 0) {
                    ClearOn(nd);
                }
            }
            if (nd.tieLeft != 255) nd.tieLeft = map(nd.tieLeft);
            if (nd.tieRight != 255) nd.tieRight = map(nd.tieRight);
        } else if (o.kind == kCurve) {
            o.curve().nextAnchor = map(o.curve().nextAnchor);
            o.curve().prevAnchor = map(o.curve().prevAnchor);
        } else if (HasTextLayout(o.kind)) {
            o.text().nextChunk = map(o.text().nextChunk);
        }
    }
    // The block marks stay on the objects they marked.
    std::bitset<256> marks;
    for (std::size_t k = 0; k < kept.size(); ++k)
        marks[k + 1] = b.t.blockSet[static_cast<std::size_t>(kept[k].o - &b.obj[0])];
    b.t.blockSet = marks;
    for (std::size_t k = 0; k < out.size(); ++k) {
        b.obj[k + 1] = out[k];
        // Positions and partners may have changed: the geometry is worked out again.
        if (out[k].kind == kNote) b.obj[k + 1].note().validated = 0;
    }
    for (int i = static_cast<int>(out.size()) + 1; i <= n; ++i)
        NewObjectRecord(b.obj[i]);
    b.h.Nobjec = static_cast<uint8_t>(out.size());
}

}  // namespace sw
