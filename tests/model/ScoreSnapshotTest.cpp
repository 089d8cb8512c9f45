// Snapshots of staves and the guard that restores them on every way out.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <stdexcept>

#include "model/Build.h"
#include "model/ScoreSnapshot.h"
#include "model/SlotPacking.h"

namespace sw {
namespace {

Score FiveStaves() {
    Score score;
    for (int s = 1; s <= 5; ++s)
        AppendStave(score, 60 * s, 0, 700);
    PlaceNote(score, 3, 100, 2, 3);
    score.CurrentStave = 4;
    score.pageCount = 2;
    return score;
}

TEST(ScoreSnapshotTest, PutsTheScoreBackWhateverWasChanged) {
    Score score = FiveStaves();
    ScoreSnapshot all;
    all.saveAll(score);
    score.object(3, 1).x = 400;
    score.removeStave(5);
    score.appendStaves(3);
    all.restore(score);
    EXPECT_EQ(score.Nstaves, 5);
    EXPECT_EQ(score.object(3, 1).x, 100);

    ScoreSnapshot some;
    some.save(score, 3, 3);
    score.object(3, 1).x = 50;
    score.stave(4).h.Ycoord = 1;
    some.restore(score);
    EXPECT_EQ(score.object(3, 1).x, 100);
    EXPECT_EQ(score.stave(4).h.Ycoord, 1);  // outside the snapshot
}

// A snapshot keeps a stave's slots in use only: what was added since goes,
// and what was deleted and tidied away comes back byte for byte.
TEST(ScoreSnapshotTest, OnlyTheSlotsInUseAreKeptAndPutBackExactly) {
    Score score = FiveStaves();
    for (int i = 0; i < 4; ++i)
        PlaceNote(score, 2, 50 + 20 * i, i, 3);
    score.object(2, 3).working = 9;
    const StaveBlock before = score.stave(2);
    ScoreSnapshot all;
    all.saveAll(score);
    for (int i = 0; i < 6; ++i)
        PlaceNote(score, 3, 200 + 20 * i, -i, 4);  // stave 3: 1 -> 7 objects
    UnlinkAndDelete(score.stave(2), 2);
    UnlinkAndDelete(score.stave(2), 4);
    TidyStave(score, 2, false);  // stave 2: 4 -> 2 objects
    ASSERT_EQ(score.stave(2).h.Nobjec, 2);
    all.restore(score);

    EXPECT_EQ(score.stave(3).h.Nobjec, 1);
    EXPECT_EQ(score.object(3, 1).x, 100);
    for (int i = 2; i <= 7; ++i)
        EXPECT_TRUE(score.object(3, i).kind == kNothing && score.object(3, i).x == 0 &&
                    score.object(3, i).glyph == kNoGlyph)
            << i;
    EXPECT_EQ(score.stave(2).h.Nobjec, 4);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(std::memcmp(&score.object(2, i), &before.obj[static_cast<std::size_t>(i)],
                              sizeof(ScoreObject)),
                  0)
            << i;
    EXPECT_EQ(PlaceNote(score, 3, 300, 1, 3), &score.object(3, 2));
}

TEST(SlotPackingTest, SlotsComeBackByteForByteAndDamagedBytesAreRefused) {
    std::array<ScoreObject, 3> slots{};
    slots[1].kind = kNote;
    slots[1].note().validated = 1;  // the record's last byte
    slots[2].kind = kText;
    slots[2].setChunk("abc");
    std::vector<uint8_t> packed(MaxPackedSize(3));
    const std::size_t n = PackSlots(slots.data(), 3, packed.data());
    EXPECT_LT(n, sizeof(ScoreObject) * 2);
    packed.resize(n);
    std::array<ScoreObject, 3> back;
    std::memset(static_cast<void*>(back.data()), 0x5A, sizeof back);
    EXPECT_EQ(UnpackSlots(packed.data(), packed.data() + n, back.data(), 3), packed.data() + n);
    EXPECT_EQ(std::memcmp(back.data(), slots.data(), sizeof slots), 0);

    EXPECT_EQ(UnpackSlots(packed.data(), packed.data() + n - 1, nullptr, 3), nullptr);
    EXPECT_EQ(UnpackSlots(packed.data(), packed.data() + n, nullptr, 4), nullptr);
    packed[0] = sizeof(ScoreObject) + 1;
    EXPECT_EQ(UnpackSlots(packed.data(), packed.data() + n, nullptr, 3), nullptr);
}

TEST(ScoreSnapshotTest, AWholeSnapshotKeepsTheCurrentStaveInTheRestoredScore) {
    Score score = FiveStaves();
    ScoreSnapshot all;
    all.saveAll(score);
    score.removeStave(5);
    score.removeStave(4);
    score.CurrentStave = 3;
    score.pageCount = 1;
    all.restore(score);
    EXPECT_EQ(score.CurrentStave, 4);
    EXPECT_EQ(score.pageCount, 2);
    EXPECT_EQ(score.stave(5).h.Ycoord, 300);
}

TEST(ScoreSnapshotGuardTest, RestoresWhenTheScopeEnds) {
    Score score = FiveStaves();
    {
        ScoreSnapshotGuard guard(score);
        score.object(3, 1).x = 400;
        score.appendStaves(2);
    }
    EXPECT_EQ(score.Nstaves, 5);
    EXPECT_EQ(score.object(3, 1).x, 100);
}

TEST(ScoreSnapshotGuardTest, RestoresWhenAnExceptionLeavesTheScope) {
    Score score = FiveStaves();
    EXPECT_THROW(
        {
            ScoreSnapshotGuard guard(score, 2, 3);
            score.object(3, 1).x = 400;
            score.stave(2).h.Ycoord = 7;
            throw std::runtime_error("playback failed");
        },
        std::runtime_error);
    EXPECT_EQ(score.object(3, 1).x, 100);
    EXPECT_EQ(score.stave(2).h.Ycoord, 120);
}

TEST(ScoreSnapshotGuardTest, RestoresOnAnEarlyReturn) {
    Score score = FiveStaves();
    auto neaten = [&score]() {
        ScoreSnapshotGuard guard(score, 3, 3);
        score.object(3, 1).x = 10;
        if (score.object(3, 1).x < 50) return false;
        guard.keep();
        return true;
    };
    EXPECT_FALSE(neaten());
    EXPECT_EQ(score.object(3, 1).x, 100);
}

TEST(ScoreSnapshotGuardTest, KeptChangesStay) {
    Score score = FiveStaves();
    {
        ScoreSnapshotGuard guard(score);
        score.object(3, 1).x = 400;
        score.removeStave(5);
        guard.keep();
    }
    EXPECT_EQ(score.Nstaves, 4);
    EXPECT_EQ(score.object(3, 1).x, 400);
}

TEST(ScoreSnapshotGuardTest, RestoreNowPutsBackOnceAndLaterChangesStay) {
    Score score = FiveStaves();
    {
        ScoreSnapshotGuard guard(score, 3, 3);
        score.object(3, 1).x = 400;
        guard.restoreNow();
        EXPECT_EQ(score.object(3, 1).x, 100);
        score.object(3, 1).x = 250;  // after the restore: the caller's own change
    }
    EXPECT_EQ(score.object(3, 1).x, 250);
}

}  // namespace
}  // namespace sw
