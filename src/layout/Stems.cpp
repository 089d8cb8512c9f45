// Stem directions for a stave and for one note.
#include "layout/Stems.h"

#include <algorithm>
#include <map>
#include <set>

#include "layout/Beams.h"
#include "layout/NoteGeometry.h"

namespace sw {

namespace {

constexpr uint8_t kStemUp = 0, kStemDown = 1;
constexpr int kLongestBeamed = 4;  // quavers and shorter are beamed

bool IsSounding(const ScoreObject& o) {
    return o.kind == kNote && !o.note().rest;
}

}  // namespace

bool HasTwoParts(const Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    struct Seen {
        bool up = false, down = false, rest = false, note = false;
    };
    std::map<int32_t, Seen> at;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind != kNote) continue;
        Seen& seen = at[o.x];
        if (o.note().rest) {
            seen.rest = true;
            continue;
        }
        seen.note = true;
        const int d = EffectiveStem(o.note());
        seen.up |= d == kStemUp;
        seen.down |= d == kStemDown;
    }
    for (const auto& [x, seen] : at)
        if ((seen.up && seen.down) || (seen.rest && seen.note)) return true;
    return false;
}

std::vector<int> AllSlots(const Score& score, int s) {
    std::vector<int> slots;
    for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
        slots.push_back(i);
    return slots;
}

std::vector<int> OptimiseStems(Score& score, int s, const std::vector<int>& slots) {
    StaveBlock& b = score.stave(s);
    std::set<int> working;
    for (int i : slots)
        if (b.validIndex(i) && IsSounding(b.obj[i])) working.insert(i);
    std::map<int, uint8_t> chosen;

    // Pass 1: chords of crotchets and longer, as consecutive notes at one x.
    std::vector<int> longNotes;
    for (int i : working)
        if (b.obj[i].note().noteValue < kLongestBeamed) longNotes.push_back(i);
    for (std::size_t k = 0; k < longNotes.size();) {
        std::size_t end = k + 1;
        while (end < longNotes.size() && b.obj[longNotes[end]].x == b.obj[longNotes[k]].x)
            ++end;
        if (end - k > 1) {
            int high = INT32_MIN, low = INT32_MAX;
            for (std::size_t j = k; j < end; ++j) {
                const NoteData& n = b.obj[longNotes[j]].note();
                if (n.stem != kStemUp && n.stem != kStemDown) continue;
                high = std::max<int>(high, n.pitch);
                low = std::min<int>(low, n.pitch);
            }
            // A chord with no definite stem keeps what it has.
            for (std::size_t j = k; j < end; ++j) {
                if (high != INT32_MIN) chosen[longNotes[j]] = high + low >= 0 ? kStemDown : kStemUp;
                working.erase(longNotes[j]);
            }
        }
        k = end;
    }

    // Pass 2: notes outside any beam group, by their own position.
    for (auto it = working.begin(); it != working.end();) {
        const NoteData& n = b.obj[*it].note();
        if (n.beamOnTo || n.beamBackTo) {
            ++it;
            continue;
        }
        chosen[*it] = n.pitch >= 0 ? kStemDown : kStemUp;
        it = working.erase(it);
    }

    // Pass 3: each beam group once, from its first note on this stave.
    for (int i : std::vector<int>(working.begin(), working.end())) {
        if (!working.count(i) || b.obj[i].note().noteValue < kLongestBeamed) continue;
        const std::vector<NoteRef> group = BeamChain(score, s, i, true);
        int sum = 0;
        std::vector<int> members;
        for (const NoteRef& m : group)
            if (working.count(m.i)) {
                members.push_back(m.i);
                sum += b.obj[m.i].note().pitch;
            }
        for (int m : members) {
            chosen[m] = sum > 0 ? kStemDown : kStemUp;
            working.erase(m);
        }
    }

    std::vector<int> changed;
    for (const auto& [i, stem] : chosen) {
        NoteData& n = b.obj[i].note();
        if (n.stem == stem) continue;
        n.stem = stem;
        changed.push_back(i);
    }
    return changed;
}

std::vector<int> ReverseStem(Score& score, int s, int i) {
    StaveBlock& b = score.stave(s);
    if (!b.validIndex(i) || !IsSounding(b.obj[i])) return {};
    NoteData& note = b.obj[i].note();
    if (note.stem != kStemUp && note.stem != kStemDown) return {};
    note.stem = note.stem == kStemUp ? kStemDown : kStemUp;
    const int32_t x = b.obj[i].x;
    std::vector<int> chord;
    uint8_t shortest = 0;
    for (int j = 1; j <= b.h.Nobjec; ++j)
        if (IsSounding(b.obj[j]) && b.obj[j].x == x &&
            EffectiveStem(b.obj[j].note()) == note.stem) {
            chord.push_back(j);
            shortest = std::max(shortest, b.obj[j].note().noteValue);
        }
    std::vector<int> changed{i};
    for (int j : chord)
        if (b.obj[j].note().noteValue != shortest) {
            b.obj[j].note().noteValue = shortest;
            if (j != i) changed.push_back(j);
        }
    return changed;
}

}  // namespace sw
