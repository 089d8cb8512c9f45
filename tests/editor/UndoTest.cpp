// The undo ring: single and group records, structural undo, wrapping,
// withdrawal, failures of the storage, and score snapshots.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include "core/ScriptedHost.h"
#include "editor/Undo.h"
#include "model/Build.h"

#include "support/TestSupport.h"

namespace sw {
namespace {

class Undo : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int s = 1; s <= 20; ++s) {
            // One strip, as staves are inserted and removed.
            score.stave(AppendStave(score, 60 * s, 0, 700)).h.PageNum = 1;
            Mark(s, s);
        }
        score.CurrentStave = 1;
    }
    // Gives stave s one note whose x records `value`.
    void Mark(int s, int value) {
        score.stave(s).h.Nobjec = 0;
        PlaceNote(score, s, 10 + value, 0, 3);
    }
    int ValueOf(int s) { return score.object(s, 1).x - 10; }
    UndoRing& Ring(int depth, UndoStorage* storage = nullptr) {
        ring = std::make_unique<UndoRing>(storage ? std::unique_ptr<UndoStorage>(storage)
                                                  : std::make_unique<MemoryUndoStorage>());
        ring->setDepth(depth);
        ring->open(host);
        return *ring;
    }
    UndoRing::Result Undo1() { return ring->undoOne(doc, host, warnings); }

    Score score;
    int32_t cursorX = 0;
    bool modified = false;
    UndoDocument doc{score, cursorX, modified};
    ScriptedHost host;
    WarningBox warnings;
    std::unique_ptr<UndoRing> ring;
};

TEST_F(Undo, DepthZeroRecordsNothingButStillMarksTheScoreChanged) {
    Ring(0);
    EXPECT_TRUE(ring->saveStave(doc, 3, kUndoStave, host));
    EXPECT_TRUE(modified);
    EXPECT_FALSE(ring->canUndo());
    host.expectWarning("Undo is off: depth set at 0.");
    EXPECT_FALSE(Undo1().undone);
    // A negative depth from the settings is off too, never a negative slot.
    ring->setDepth(-5);
    EXPECT_EQ(ring->depth(), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, OneHundredOfOneHundredAndOneEditsComeBack) {
    Ring(100);
    for (int k = 1; k <= 101; ++k) {
        ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
        Mark(1, 100 + k);
    }
    for (int k = 101; k >= 2; --k) {
        ASSERT_TRUE(Undo1().undone) << k;
        EXPECT_EQ(ValueOf(1), 100 + k - 1);
    }
    EXPECT_FALSE(ring->canUndo());
    host.expectWarning("Undo depth exceeded. Cannot undo.");
    EXPECT_FALSE(Undo1().undone);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, GroupsOfFiveAndOfThreeHundredStavesAreOneStep) {
    Ring(10);
    ASSERT_TRUE(ring->saveStaveGroup(doc, 5, 9, kUndoGroup, host));
    for (int s = 5; s <= 9; ++s)
        Mark(s, 500 + s);
    ASSERT_TRUE(Undo1().undone);
    for (int s = 5; s <= 9; ++s)
        EXPECT_EQ(ValueOf(s), s);

    // More staves than the ring holds and than a byte can count: the ring grows.
    score.appendStaves(300);
    for (int s = 21; s <= score.Nstaves; ++s)
        Mark(s, s);
    score.stave(1).h.LeftX = 0;
    ASSERT_TRUE(ring->saveStaves(doc, 1, kUndoGroup, 300, host));
    EXPECT_GE(ring->depth(), 300);
    for (int s = 1; s <= 300; ++s)
        Mark(s, 9000);
    ASSERT_TRUE(Undo1().undone);
    for (int s = 1; s <= 300; ++s)
        ASSERT_EQ(ValueOf(s), s) << s;
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, DeletionInsertionAndMovesAreTakenBack) {
    Ring(50);
    score.CurrentStave = 7;
    cursorX = 123;
    // Delete stave 7.
    ASSERT_TRUE(ring->saveStave(doc, 7, kUndoDelete, host));
    score.removeStave(7);
    score.CurrentStave = 3;
    cursorX = 5;
    ASSERT_TRUE(Undo1().structural);
    ASSERT_EQ(score.Nstaves, 20);
    for (int s = 1; s <= 20; ++s)
        EXPECT_EQ(ValueOf(s), s);
    EXPECT_EQ(score.CurrentStave, 7);
    EXPECT_EQ(cursorX, 123);

    // Insert two staves after stave 4; the staves below move down.
    const int32_t y5 = score.stave(5).h.Ycoord;
    ASSERT_TRUE(ring->saveStaves(doc, 4, kUndoInsert, 2, host));
    for (int k = 0; k < 2; ++k) {
        auto block = std::make_unique<StaveBlock>();
        block->h.Ycoord = 999;
        score.insertStave(5, std::move(block));
    }
    for (int s = 7; s <= score.Nstaves; ++s)
        score.stave(s).h.Ycoord += 120;
    ASSERT_TRUE(Undo1().structural);
    ASSERT_EQ(score.Nstaves, 20);
    EXPECT_EQ(ValueOf(5), 5);
    EXPECT_EQ(score.stave(5).h.Ycoord, y5);
    EXPECT_EQ(score.stave(20).h.Ycoord, 60 * 20);

    // A stave dragged up 30 pixels with everything below it.
    ASSERT_TRUE(ring->saveStave(doc, 10, kUndoShiftBelow, host));
    for (int s = 10; s <= 20; ++s)
        score.stave(s).h.Ycoord -= 30;
    ASSERT_TRUE(Undo1().undone);
    for (int s = 10; s <= 20; ++s)
        EXPECT_EQ(score.stave(s).h.Ycoord, 60 * s);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, PartsOverManyRecordsComeBackInOneStepAndNothingElseMoves) {
    Ring(3);
    score.appendStaves(280);
    for (int s = 21; s <= score.Nstaves; ++s)
        Mark(s, s);
    // A header and the note of every stave: more parts than one record holds.
    std::vector<StavePart> parts;
    for (int s = 1; s <= score.Nstaves; ++s) {
        parts.push_back({s, 0});
        parts.push_back({s, 1});
    }
    ASSERT_TRUE(ring->saveStave(doc, 2, kUndoStave, host));
    ASSERT_TRUE(ring->saveParts(doc, parts, host));
    EXPECT_EQ(ring->depth(), 4);  // three records of parts: grown, not wrapped into itself
    for (int s = 1; s <= score.Nstaves; ++s) {
        score.stave(s).h.barNumber = 77;
        score.object(s, 1).x = 5000;
    }
    score.stave(2).h.LeftX = 33;
    ASSERT_TRUE(Undo1().undone);
    for (int s = 1; s <= score.Nstaves; ++s) {
        ASSERT_EQ(ValueOf(s), s) << s;
        ASSERT_EQ(score.stave(s).h.barNumber, 0) << s;
    }
    EXPECT_EQ(score.stave(2).h.LeftX, 0);  // a header comes back whole
    ASSERT_TRUE(Undo1().undone);           // then the older stave record on its own
    EXPECT_FALSE(ring->canUndo());

    // A part naming a stave that has gone since restores nothing at all.
    ASSERT_TRUE(ring->saveParts(doc, {{3, 1}, {score.Nstaves, 1}}, host));
    Mark(3, 90);
    score.removeStave(score.Nstaves);
    host.expectWarning("overwritten by newer history");
    EXPECT_FALSE(Undo1().undone);
    EXPECT_EQ(ValueOf(3), 90);
    // Out-of-range parts are refused before anything is written.
    EXPECT_FALSE(ring->saveParts(doc, {{1, kMaxObjects + 1}}, host));
    EXPECT_FALSE(ring->saveParts(doc, {{score.Nstaves + 1, 0}}, host));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, AGroupWhoseStartWasOverwrittenRestoresNothing) {
    Ring(8);
    for (int k = 0; k < 5; ++k)
        ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
    // A group that runs past the end of the ring grows it instead of wrapping into itself.
    ASSERT_TRUE(ring->saveStaveGroup(doc, 2, 6, kUndoGroup, host));
    EXPECT_EQ(ring->depth(), 10);
    for (int s = 2; s <= 6; ++s)
        Mark(s, 70);
    ASSERT_TRUE(Undo1().undone);
    for (int s = 2; s <= 6; ++s)
        EXPECT_EQ(ValueOf(s), s);

    // Now wrap: the head of an older group survives while its first records
    // are overwritten; undoing it must touch nothing.
    Ring(6);
    ASSERT_TRUE(ring->saveStaveGroup(doc, 1, 4, kUndoGroup, host));  // slots 0..3
    ASSERT_TRUE(ring->saveStave(doc, 10, kUndoStave, host));         // slot 4
    ASSERT_TRUE(ring->saveStave(doc, 11, kUndoStave, host));         // slot 5
    ASSERT_TRUE(ring->saveStave(doc, 12, kUndoStave, host));         // slot 0: overwrites
    for (int s = 1; s <= 4; ++s)
        Mark(s, 40);
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(Undo1().undone);
    host.expectWarning("overwritten by newer history");
    EXPECT_FALSE(Undo1().undone);
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(ValueOf(s), 40);
    EXPECT_FALSE(ring->canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, WithdrawingACancelledCommandLeavesTheHistoryAsItWas) {
    Ring(20);
    ASSERT_TRUE(ring->saveStave(doc, 2, kUndoStave, host));
    Mark(2, 77);
    const int before = ring->retrievable();
    ASSERT_TRUE(ring->saveStave(doc, 3, kUndoWithNext, host));  // two records
    ring->withdraw(2);
    EXPECT_EQ(ring->retrievable(), before);
    ASSERT_TRUE(Undo1().undone);
    EXPECT_EQ(ValueOf(2), 2);
    EXPECT_EQ(ValueOf(3), 3);
    EXPECT_FALSE(ring->canUndo());
    // Cursor-only commands write nothing.
    ASSERT_TRUE(ring->saveStave(doc, 3, kUndoCursorOnly, host));
    EXPECT_FALSE(ring->canUndo());
}

TEST_F(Undo, StorageFailuresLeaveScoreAndHistoryConsistent) {
    auto* failing = new FaultyUndoStorage;
    failing->failCreate = true;
    host.expectMessage("Editing goes on with undo off");
    Ring(10, failing);
    EXPECT_EQ(ring->depth(), 0);
    EXPECT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));  // the edit goes on

    auto* partial = new FaultyUndoStorage;
    Ring(10, partial);
    ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
    partial->writesBeforeFailure = 2;  // fails inside the next group
    host.expectMessage("could not be written");
    EXPECT_FALSE(ring->saveStaveGroup(doc, 3, 7, kUndoGroup, host));
    EXPECT_EQ(ring->retrievable(), 1);  // the partial group is gone
    partial->writesBeforeFailure = -1;
    Mark(1, 50);
    ASSERT_TRUE(Undo1().undone);
    EXPECT_EQ(ValueOf(1), 1);

    ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
    Mark(1, 60);
    partial->failReads = true;
    host.expectMessage("could not be read");
    EXPECT_FALSE(Undo1().undone);
    EXPECT_EQ(ValueOf(1), 60);
    EXPECT_TRUE(ring->canUndo());  // nothing moved; it can be tried again
    partial->failReads = false;
    ASSERT_TRUE(Undo1().undone);
    EXPECT_EQ(ValueOf(1), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Undo, TheRingFileIsPrivateAndGoneOnClose) {
    test::TempDir dir;
    auto* file = new FileUndoStorage(dir.path());
    Ring(5, file);
    const std::string path = file->path();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find("/SWN"), std::string::npos);
    ASSERT_TRUE(ring->saveStave(doc, 0, kUndoStave, host));  // the header/footer stave too
    PlaceText(score, 0, kHeadertext, 10, 10, 1, "Title");
    ASSERT_TRUE(Undo1().undone);
    EXPECT_EQ(score.stave(0).h.Nobjec, 0);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ring->close();
    EXPECT_NE(::stat(path.c_str(), &st), 0);
}

// Records hold a stave's slots in use only, so they differ in length; each
// is found by its number all the same.
TEST_F(Undo, RecordsOfFewAndManyObjectsComeBackFromTheRingFile) {
    test::TempDir dir;
    Ring(5, new FileUndoStorage(dir.path()));
    for (int i = 0; i < 240; ++i)
        PlaceNote(score, 2, 40 + 2 * i, i % 9 - 4, 3);
    const StaveBlock full = score.stave(2);
    ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
    ASSERT_TRUE(ring->saveStaveGroup(doc, 2, 3, kUndoGroup, host));
    ASSERT_TRUE(ring->saveStave(doc, 1, kUndoStave, host));
    for (int i = 0; i < 5; ++i)
        PlaceNote(score, 1, 300 + 10 * i, 0, 3);
    score.stave(2).h.Nobjec = 1;
    Mark(3, 77);

    ASSERT_TRUE(Undo1().undone);  // stave 1: six objects back to one
    EXPECT_EQ(score.stave(1).h.Nobjec, 1);
    for (int i = 2; i <= 6; ++i)
        EXPECT_EQ(score.object(1, i).kind, kNothing) << i;
    ASSERT_TRUE(Undo1().undone);  // staves 2 and 3
    EXPECT_EQ(ValueOf(3), 3);
    ASSERT_EQ(score.stave(2).h.Nobjec, 241);
    EXPECT_EQ(std::memcmp(score.stave(2).obj.data(), full.obj.data(), sizeof full.obj), 0);
    ASSERT_TRUE(Undo1().undone);
    EXPECT_EQ(ValueOf(1), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST(FileUndoStorage, SlotsKeepRecordsOfAnyLengthUpToTheLimit) {
    test::TempDir dir;
    FileUndoStorage file(dir.path());
    ASSERT_TRUE(file.create(20000));
    std::vector<uint8_t> longest(20000), short1 = {1, 2, 3};
    for (std::size_t i = 0; i < longest.size(); ++i)
        longest[i] = static_cast<uint8_t>(i * 7 + 1);
    EXPECT_TRUE(file.write(1, longest));
    EXPECT_TRUE(file.write(2, short1));
    EXPECT_FALSE(file.write(0, std::vector<uint8_t>(20001, 1)));
    std::vector<uint8_t> back;
    EXPECT_TRUE(file.read(2, back) && back == short1);
    EXPECT_TRUE(file.read(1, back) && back == longest);
    EXPECT_FALSE(file.read(0, back));  // never written
    EXPECT_FALSE(file.read(9, back));  // past the end
}

TEST_F(Undo, ExecuteAsksFirstKeepsTheCurrentStaveAndLaysTheScoreOutAgain) {
    Ring(10);
    warnings.setUserLevel(1);
    ASSERT_TRUE(ring->saveStave(doc, 20, kUndoDelete, host));
    score.CurrentStave = 20;
    score.removeStave(20);
    score.CurrentStave = 19;
    host.expectWarning("no redo facility", Answer::No);
    EXPECT_FALSE(UndoExecute(*ring, doc, host, warnings, true).undone);
    EXPECT_EQ(score.Nstaves, 19);
    host.expectWarning("no redo facility", Answer::Yes);
    EXPECT_TRUE(UndoExecute(*ring, doc, host, warnings, true).structural);
    EXPECT_EQ(score.Nstaves, 20);
    EXPECT_EQ(score.stave(20).t.systemNumber, 20);  // the systems were rebuilt
    EXPECT_GE(score.stave(20).h.PageNum, 1);        // and the pages laid out
    EXPECT_FALSE(UndoExecute(*ring, doc, host, warnings, false).undone);  // Music mode only
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
