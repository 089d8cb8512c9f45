// Stave snapshots and the guard that puts them back.
#include "model/ScoreSnapshot.h"

#include <algorithm>

namespace sw {

void ScoreSnapshot::saveAll(const Score& score) {
    save(score, 0, score.Nstaves);
    whole_ = true;
    currentStave_ = score.CurrentStave;
    pageCount_ = score.pageCount;
}

void ScoreSnapshot::save(const Score& score, int first, int last) {
    staves_.clear();
    whole_ = false;
    nstaves_ = score.Nstaves;
    first = std::max(first, 0);
    last = std::min<int>(last, score.Nstaves);
    for (int s = first; s <= last; ++s)
        staves_.push_back({s, std::make_unique<StaveBlock>(score.stave(s))});
}

void ScoreSnapshot::restore(Score& score) const {
    if (whole_) {
        while (score.Nstaves > nstaves_)
            score.removeStave(score.Nstaves);
        while (score.Nstaves < nstaves_)
            score.appendStaves(1);
        score.CurrentStave = currentStave_;
        score.pageCount = pageCount_;
    }
    for (const Saved& saved : staves_)
        if (saved.index <= score.Nstaves) score.stave(saved.index) = *saved.block;
}

ScoreSnapshotGuard::ScoreSnapshotGuard(Score& score) : score_(score) {
    snapshot_.saveAll(score);
}

ScoreSnapshotGuard::ScoreSnapshotGuard(Score& score, int first, int last) : score_(score) {
    snapshot_.save(score, first, last);
}

ScoreSnapshotGuard::~ScoreSnapshotGuard() {
    if (!kept_) snapshot_.restore(score_);
}

void ScoreSnapshotGuard::restoreNow() {
    if (!kept_) snapshot_.restore(score_);
    kept_ = true;
}

}  // namespace sw
