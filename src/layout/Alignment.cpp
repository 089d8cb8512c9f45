// Grouping close notes and moving them, with their accidentals, to one x.
#include "layout/Alignment.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "layout/NoteGeometry.h"

namespace sw {

namespace {

constexpr uint8_t kSmallHead = 1;
constexpr uint8_t kSemibreve = 1;

struct Collected {
    int s, i;
    int32_t x;
};

}  // namespace

std::vector<NoteMove> PlanAlignment(const Score& score, int first, int last,
                                    const AlignOptions& options) {
    std::vector<Collected> notes;
    first = std::max(first, 1);
    last = std::min<int>(last, score.Nstaves);
    for (int s = first; s <= last; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind != kNote) continue;
            const NoteData& n = o.note();
            if (n.headSize == kSmallHead && !options.includeGrace) continue;
            if (n.rest && n.noteValue == kSemibreve && !options.includeAllRests) continue;
            notes.push_back({s, i, o.x});
        }
    }
    std::stable_sort(notes.begin(), notes.end(),
                     [](const Collected& a, const Collected& b) { return a.x < b.x; });

    std::vector<NoteMove> moves;
    auto close = [&](std::size_t from, std::size_t to) {
        int64_t sum = 0;
        for (std::size_t k = from; k < to; ++k)
            sum += notes[k].x;
        const int32_t x = options.average
                              ? static_cast<int32_t>(std::lround(static_cast<double>(sum) /
                                                                 static_cast<double>(to - from)))
                              : notes[from].x;
        for (std::size_t k = from; k < to; ++k)
            if (notes[k].x != x) moves.push_back({notes[k].s, notes[k].i, notes[k].x, x});
    };
    std::size_t start = 0;
    for (std::size_t k = 1; k <= notes.size(); ++k)
        if (k == notes.size() || notes[k].x - notes[k - 1].x > options.proximity) {
            close(start, k);
            start = k;
        }
    return moves;
}

std::vector<int> ApplyAlignment(Score& score, const std::vector<NoteMove>& moves) {
    // Accidentals are found before anything moves, so none follows two notes.
    std::map<std::tuple<int, int32_t, int>, int32_t> byPitch;  // (stave, old x, pitch) → new x
    for (const NoteMove& m : moves) {
        const NoteData& n = score.object(m.s, m.i).note();
        if (!n.rest) byPitch[{m.s, m.from, n.pitch}] = m.to;
    }
    std::vector<std::pair<ScoreObject*, int32_t>> accidentals;
    std::vector<int> staves;
    for (const NoteMove& m : moves)
        if (staves.empty() || staves.back() != m.s) staves.push_back(m.s);
    std::sort(staves.begin(), staves.end());
    staves.erase(std::unique(staves.begin(), staves.end()), staves.end());
    for (int s : staves) {
        StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            ScoreObject& o = b.obj[i];
            if (o.kind != kAccidental) continue;
            const auto it = byPitch.find({s, o.x, o.data.accidental.pitch});
            if (it != byPitch.end()) accidentals.push_back({&o, it->second});
        }
    }
    for (const NoteMove& m : moves) {
        InvalidateNotesAt(score, m.s, m.from);
        score.object(m.s, m.i).x = m.to;
        InvalidateNotesAt(score, m.s, m.to);
    }
    for (auto& [o, x] : accidentals)
        o->x = x;
    for (int s : staves)
        TidyStave(score, s, false);
    return staves;
}

std::vector<int> AlignNotes(Score& score, int first, int last, const AlignOptions& options) {
    return ApplyAlignment(score, PlanAlignment(score, first, last, options));
}

}  // namespace sw
