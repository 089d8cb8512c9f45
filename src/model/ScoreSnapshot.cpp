// Stave snapshots and the guard that puts them back.
#include "model/ScoreSnapshot.h"

#include <algorithm>

#include "model/SlotPacking.h"

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
    // Only the slots in use are kept, packed, all in one buffer: a large
    // score costs a fraction of its blocks, and one allocation.
    std::size_t room = 0;
    for (int s = first; s <= last; ++s)
        room += MaxPackedSize(UsedSlots(score.stave(s).h));
    packed_ = std::make_unique_for_overwrite<uint8_t[]>(room);
    packedSize_ = 0;
    staves_.reserve(static_cast<std::size_t>(std::max(last - first + 1, 0)));
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        staves_.push_back({s, b.h, b.t, packedSize_});
        packedSize_ += PackSlots(b.obj.data(), UsedSlots(b.h), packed_.get() + packedSize_);
    }
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
    const uint8_t* end = packed_.get() + packedSize_;
    for (const Saved& saved : staves_) {
        if (saved.index > score.Nstaves) continue;
        StaveBlock& b = score.stave(saved.index);
        const std::size_t used = UsedSlots(saved.h), now = UsedSlots(b.h);
        UnpackSlots(packed_.get() + saved.first, end, b.obj.data(), used);
        // Slots filled since the snapshot are empty again, as they were.
        for (std::size_t i = used; i < now; ++i)
            NewObjectRecord(b.obj[i]);
        b.h = saved.h;
        b.t = saved.t;
    }
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
