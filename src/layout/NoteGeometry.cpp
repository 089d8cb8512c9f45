// Note geometry: head displacement, dots, stems and tails of a chord.
#include "layout/NoteGeometry.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "layout/GlyphTable.h"

namespace sw {

namespace {

enum Head {
    kHeadNormal = 0,
    kCross = 1,
    kDiamond = 2,
    kSlash = 5,
    kCircle = 6,
    kSquare = 7,
    kXcircle = 8,
    kTriangle = 9,
    kDelta = 10
};
enum HeadSize { kSizeNormal = 0, kSizeSmall = 1, kSizeAcciacc = 5 };

struct Voice {
    std::vector<int> pitches;  // sorted ascending
    bool any() const { return !pitches.empty(); }
    int low() const { return pitches.front(); }
    int high() const { return pitches.back(); }
};

// The displaced flag of each pitch of one direction, walking from the stem's
// root: a step of one from the previous position flips the side, anything
// else returns to the normal side.
std::map<int, bool> Displacement(const std::vector<int>& sorted, bool fromTop, bool& flipped) {
    std::map<int, bool> side;
    std::vector<int> order = sorted;
    if (fromTop) std::reverse(order.begin(), order.end());
    bool other = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && std::abs(order[i] - order[i - 1]) == 1) {
            other = !other;
            flipped = true;
        } else {
            other = false;
        }
        side[order[i]] = other;
    }
    return side;
}

}  // namespace

int EffectiveStem(const NoteData& n) {
    if (n.stem == 3) return n.pitch >= 0 ? 1 : 0;
    return n.stem <= 2 ? n.stem : 2;
}

int StemOffset(int headSize, int head, int direction) {
    if (direction == 2) return 0;
    const bool up = direction == 0;
    switch (headSize) {
        case kSizeNormal:
            if (up) return head == kCross ? 6 : (head == kSlash ? 9 : 5);
            switch (head) {
                case kCross:
                case kDiamond:
                case kSquare:
                case kTriangle:
                case kDelta:
                    return -3;
                case kSlash:
                    return -8;
                case kCircle:
                case kXcircle:
                    return -5;
                default:
                    return -4;
            }
        case kSizeSmall:
        case kSizeAcciacc:
            // A grace note's head is the small head: its stems keep to its sides.
            return up ? (head == kCross ? 4 : 3) : -2;
        default:
            return 0;
    }
}

int HeadWidth(const NoteData& n) {
    return StemOffset(n.headSize, n.head, 0) - StemOffset(n.headSize, n.head, 1);
}

namespace {

// How far a head a second from its neighbour moves aside: the head width,
// or for the wide heads of a breve or semibreve their own width.
int DisplacementWidth(const NoteData& n) {
    const bool wideHead = n.headSize == kSizeNormal && (n.head == kHeadNormal || n.head == 3);
    if (wideHead && n.noteValue <= 1)
        return GlyphInkWidth(n.noteValue == 0 ? glyph::BREVE : glyph::SEMIBREVE);
    return HeadWidth(n);
}

}  // namespace

void InvalidateNotesAt(Score& score, int s, int32_t x) {
    StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[i].kind == kNote && b.obj[i].x == x) b.obj[i].note().validated = 0;
}

void ValidateNotesAt(Score& score, int s, int32_t x, bool relink) {
    StaveBlock& b = score.stave(s);
    const int32_t Y = b.h.Ycoord;
    const int spacing = LineSpacing(b.h.sizeIndex);
    std::vector<int> S;
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[i].kind == kNote && !b.obj[i].note().rest && b.obj[i].x == x) S.push_back(i);
    if (S.empty()) return;

    Voice up, down;
    bool upBeamed = false;
    for (int i : S) {
        const NoteData& n = b.obj[i].note();
        int d = EffectiveStem(n);
        if (d == 0) {
            up.pitches.push_back(n.pitch);
            if (n.beamBackTo || n.beamOnTo) upBeamed = true;
        } else if (d == 1) {
            down.pitches.push_back(n.pitch);
        }
    }
    std::sort(up.pitches.begin(), up.pitches.end());
    std::sort(down.pitches.begin(), down.pitches.end());
    // An empty voice takes part in no comparison.
    const bool voicesAdjacent = up.any() && down.any() && up.low() == down.high() + 1;
    // Interlocking: a stem-up note a step above a stem-down one. Crossed: a
    // stem-up note a step below a stem-down one, their heads on one another.
    bool interlocking = false, crossed = false;
    for (int u : up.pitches) {
        if (std::binary_search(down.pitches.begin(), down.pitches.end(), u - 1))
            interlocking = true;
        if (std::binary_search(down.pitches.begin(), down.pitches.end(), u + 1)) crossed = true;
    }

    bool upFlipped = false, downFlipped = false;
    std::map<int, bool> upSide = Displacement(up.pitches, false, upFlipped);
    std::map<int, bool> downSide = Displacement(down.pitches, true, downFlipped);

    // Dot positions, per direction, in object order. The dots of crossed
    // voices stand side by side with each other, so they share one set of
    // places, the upper voice's dots going up from a line and the lower
    // voice's down; a unison may share its dot.
    std::map<int, int> dotPos;
    std::map<int, int> sharedTaken;  // place -> pitch, for crossed voices
    for (int dir : {0, 1}) {
        std::map<int, int> ownTaken;
        std::map<int, int>& taken = crossed ? sharedTaken : ownTaken;
        for (int i : S) {
            const NoteData& n = b.obj[i].note();
            if (n.dots == 0 || EffectiveStem(n) != dir) continue;
            const bool onLine = !(n.pitch & 1);
            int base = onLine ? n.pitch + 1 : n.pitch;
            if (onLine && dir == 1 && up.any()) base = n.pitch - 1;
            if (onLine && crossed) base = dir == 1 ? n.pitch + 1 : n.pitch - 1;
            auto isTaken = [&](int p) {
                auto t = taken.find(p);
                return t != taken.end() && (!crossed || t->second != n.pitch);
            };
            int pos = base;
            if (isTaken(pos)) {
                int d = onLine ? -1 : 1;
                if (crossed) d = dir == 1 ? 1 : -1;
                int k = 2;
                for (int tries = 0; tries < 64; ++tries) {
                    pos = base + k * d;
                    if (!isTaken(pos)) break;
                    if (d < 0) k += 2;
                    d = -d;
                }
            }
            taken[pos] = n.pitch;
            dotPos[i] = pos;
        }
    }

    int32_t maxDotX = INT32_MIN;
    for (int i : S) {
        ScoreObject& o = b.obj[i];
        NoteData& n = o.note();
        const int dir = EffectiveStem(n);
        const int W = HeadWidth(n);
        const int aside = DisplacementWidth(n);
        o.y = Y - 4 * n.pitch;

        n.displaced = 0;
        if (dir == 0)
            n.displaced = upSide[n.pitch];
        else if (dir == 1)
            n.displaced = downSide[n.pitch];
        const bool hasSeconds = (dir == 0 ? upFlipped : downFlipped) || voicesAdjacent;
        n.headX = x;
        if (n.displaced) n.headX += dir == 0 ? aside : -aside;

        const bool whole = n.noteValue <= 1;
        if (whole) {
            for (int j : S)
                if (j != i && b.obj[j].note().noteValue <= 1 && b.obj[j].note().pitch == n.pitch) {
                    n.headX += dir == 0 ? W - 2 : 2 - W;
                    break;
                }
        }
        // The stem-down voice moves right, clear of the other's heads.
        int shift = 0;
        if (dir == 1 && (interlocking || crossed)) {
            shift = W + 2;
            if (interlocking && voicesAdjacent) shift -= 2;
        }
        n.headX += shift;

        auto dp = dotPos.find(i);
        if (dp != dotPos.end()) {
            n.dotPosition = static_cast<int8_t>(dp->second);
            n.dotY = Y - (spacing * dp->second) / 2 + 3;
            int dx;
            if (n.noteValue == 0)
                dx = 7;
            else if (n.noteValue == 1)
                dx = 2;
            else if (n.noteValue <= 3)
                dx = 1;
            else
                // Beyond a stem-up flag's tail, two pixels clear of it.
                dx = dir == 0 && !upBeamed ? 8 : 1;
            if (n.headSize == kSizeSmall) dx -= 3;
            if (dir == 0 && hasSeconds) dx += aside;
            // Dots follow their head when its voice moves aside.
            n.dotX = x + dx + shift;
            maxDotX = std::max(maxDotX, n.dotX);
        }

        // Stem.
        n.stemStartX = x + StemOffset(n.headSize, n.head, dir) + shift;
        n.stemStartY = o.y;
        if (n.head == kSlash && dir != 2) n.stemStartY += dir == 0 ? -spacing : spacing;
        double L;
        if (dir == 2) {
            L = 0;
        } else if (n.headSize == kSizeNormal) {
            L = n.lengthIncr + 7;
            const int p = n.pitch, ap = std::abs(p);
            if ((dir == 1 && p > 7) || (dir == 0 && p < -7)) L = ap + n.lengthIncr;
            if (!n.noShorten && ((dir == 0 && p > 0) || (dir == 1 && p < 0)))
                L = ap < 6 ? 7 - ap / 3.0 : 5;
        } else if (n.headSize == kSizeSmall || n.headSize == kSizeAcciacc) {
            L = n.lengthIncr + 4;
        } else {
            L = 7;
        }
        n.stemEndX = n.stemStartX;
        const int length = static_cast<int>(std::nearbyint(4 * L));
        n.stemEndY = n.stemStartY + (dir == 0 ? -length : (dir == 1 ? length : 0));
        n.noVisibleStem = whole;
        if (whole) n.stemEndY = n.stemStartY + (dir == 0 ? -16 : (dir == 1 ? 16 : 0));

        n.showTail = (dir == 0 && n.pitch == up.high()) || (dir == 1 && n.pitch == down.low());
        n.stemRoot = (dir == 0 && n.pitch == up.low()) || (dir == 1 && n.pitch == down.high());

        if (relink && n.showTail) {
            // Beams attach to the note that shows the tail: take the chord's
            // links, with their cross-stave flags, from the note holding them.
            // One direction of the chain: its link, its two stave flags, and the
            // partner's link back.
            struct Link {
                uint8_t NoteData::*to;
                uint8_t NoteData::*up;
                uint8_t NoteData::*down;
                uint8_t NoteData::*back;
            };
            const Link links[2] = {{&NoteData::beamBackTo, &NoteData::beamBackUp,
                                    &NoteData::beamBackDown, &NoteData::beamOnTo},
                                   {&NoteData::beamOnTo, &NoteData::beamOnUp, &NoteData::beamOnDown,
                                    &NoteData::beamBackTo}};
            for (int j : S) {
                if (j == i) continue;
                NoteData& other = b.obj[j].note();
                if (EffectiveStem(other) != dir) continue;
                for (const Link& l : links) {
                    if (!(other.*l.to) || n.*l.to) continue;
                    n.*l.to = other.*l.to;
                    n.*l.up = other.*l.up;
                    n.*l.down = other.*l.down;
                    other.*l.to = other.*l.up = other.*l.down = 0;
                    const int ps = n.*l.up ? s - 1 : (n.*l.down ? s + 1 : s);
                    if (ps >= 1 && ps <= score.Nstaves && score.stave(ps).validIndex(n.*l.to) &&
                        score.object(ps, n.*l.to).kind == kNote)
                        score.object(ps, n.*l.to).note().*l.back = static_cast<uint8_t>(i);
                }
            }
        }
    }

    // Inner stems join the outermost note's; all dots at one x line up.
    for (int i : S) {
        ScoreObject& o = b.obj[i];
        NoteData& n = o.note();
        const int dir = EffectiveStem(n);
        if (dir == 0 && n.pitch != up.high()) n.stemEndY = Y - 4 * up.high();
        if (dir == 1 && n.pitch != down.low()) n.stemEndY = Y - 4 * down.low();
        if (maxDotX != INT32_MIN) n.dotX = maxDotX;
        n.validated = 1;
    }
}

int RestGlyph(int noteValue, bool small) {
    static constexpr int kNormal[8] = {50, 49, 51, 52, 53, 54, 55, 56};
    static constexpr int kSmall[8] = {231, 230, 232, 233, 234, 235, 236, 237};
    const int v = std::clamp(noteValue, 0, 7);
    return small ? kSmall[v] : kNormal[v];
}

int NoteGlyph(const NoteData& n) {
    // Breve, semibreve, then up/down pairs from the minim on.
    static constexpr int kUp[8] = {glyph::BREVE, glyph::OPEN_HEAD, 23, 26, 28, 30, 32, 34};
    static constexpr int kCrossHead = 103;
    const int v = std::min<int>(n.noteValue, 7);
    if (n.rest) return RestGlyph(v, false);
    if (n.head == kCross) return kCrossHead;
    const int dir = EffectiveStem(n);
    if (v <= 1) return kUp[v];
    if (dir == 2) return v == 2 ? glyph::OPEN_HEAD : glyph::NOTEHEAD_BLACK;
    return kUp[v] + (dir == 1 ? 1 : 0);
}

void LayOutPendingNote(const Score& score, int s, ScoreObject& pending) {
    if (pending.kind != kNote || pending.note().rest || !score.hasStave(s)) return;
    // A scratch stave with the notes of the chord the pending note joins.
    Score scratch;
    scratch.appendStaves(1);
    StaveBlock& b = scratch.stave(1);
    const StaveBlock& from = score.stave(s);
    b.h = from.h;
    b.h.Nobjec = 0;
    for (int i = 1; i <= from.count() && b.h.Nobjec < kObjectLimit; ++i)
        if (from.obj[i].kind == kNote && from.obj[i].x == pending.x) {
            b.obj[++b.h.Nobjec] = from.obj[i];
            NoteData& n = b.obj[b.h.Nobjec].note();
            n.beamBackTo = n.beamOnTo = 0;
        }
    ScoreObject& me = b.obj[++b.h.Nobjec];
    me = pending;
    // Links point into the real stave, not the scratch one.
    me.note().beamBackTo = me.note().beamOnTo = 0;
    me.note().tieLeft = me.note().tieRight = 0;
    ValidateNotesAt(scratch, 1, pending.x, false);
    const NoteData& laid = me.note();
    NoteData& n = pending.note();
    n.dotPosition = laid.dotPosition;
    n.showTail = laid.showTail;
    n.headX = laid.headX;
    n.stemStartX = laid.stemStartX;
    n.stemStartY = laid.stemStartY;
    n.stemEndX = laid.stemEndX;
    n.stemEndY = laid.stemEndY;
    n.dotX = laid.dotX;
    n.dotY = laid.dotY;
    n.stemRoot = laid.stemRoot;
    n.displaced = laid.displaced;
    n.noVisibleStem = laid.noVisibleStem;
    n.validated = laid.validated;
}

}  // namespace sw
