// Copies of staves kept in memory, for work that changes the score only for a
// while (playback, neatening, bar numbering) and must put it back on every
// path without going through the undo ring.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Score.h"

namespace sw {

class ScoreSnapshot {
  public:
    // All staves, the stave count, the current stave and the page count.
    void saveAll(const Score& score);
    // Staves first..last only (kept within 0..Nstaves).
    void save(const Score& score, int first, int last);
    // Puts back what was saved; a whole-score snapshot also restores the count.
    void restore(Score& score) const;
    bool empty() const { return staves_.empty(); }

  private:
    // A stave as it was: its header and trailer here, its slots 0..Nobjec
    // packed in packed_ from `first` on. Slots above the count hold nothing
    // and are not kept.
    struct Saved {
        int index;
        StaveHeader h;
        StaveTrailer t;
        std::size_t first;
    };
    std::vector<Saved> staves_;
    // Room for the most the staves can pack to, left uninitialised: only
    // the part written is ever touched.
    std::unique_ptr<uint8_t[]> packed_;
    std::size_t packedSize_ = 0;
    bool whole_ = false;
    int nstaves_ = 0;
    uint16_t currentStave_ = 0;
    uint16_t pageCount_ = 0;
};

// Restores a snapshot taken on construction when it goes out of scope, however
// the scope is left (a return, an exception), unless the changes are kept.
class ScoreSnapshotGuard {
  public:
    // The whole score.
    explicit ScoreSnapshotGuard(Score& score);
    // Staves first..last.
    ScoreSnapshotGuard(Score& score, int first, int last);
    ~ScoreSnapshotGuard();
    ScoreSnapshotGuard(const ScoreSnapshotGuard&) = delete;
    ScoreSnapshotGuard& operator=(const ScoreSnapshotGuard&) = delete;

    // The changes stay: nothing is put back.
    void keep() { kept_ = true; }
    // Puts the score back now; the guard then has nothing left to do.
    void restoreNow();

  private:
    Score& score_;
    ScoreSnapshot snapshot_;
    bool kept_ = false;
};

}  // namespace sw
