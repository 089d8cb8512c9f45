// Merging a score file into the open score: where its staves go, what comes
// with them (fonts, not the headers), the questions and refusals, and an
// edit that one Undo takes back whole.
#include <gtest/gtest.h>

#include <vector>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/ScoreEdit.h"
#include "editor/UndoStorage.h"
#include "editor/commands/MergeCommands.h"
#include "editor/commands/PageCommands.h"
#include "fileio/ScoreFile.h"
#include "layout/Merge.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

constexpr int32_t kTall = 100000;  // a page every stave fits on

class Merging : public ::testing::Test {
  protected:
    // The open score: staves at the given strip positions, one system each.
    static Score Open(std::initializer_list<int32_t> ys) {
        Score s;
        for (int32_t y : ys)
            s.stave(AppendStave(s, y, 20, 700)).h.PageNum = 1;
        return s;
    }
    // Saves `s` as a file of the tests' folder; `partial` keeps stave 0 out.
    std::string Write(Score& s, const std::string& name, bool partial = false) {
        const std::string path = dir.file(name);
        EXPECT_EQ(SaveScore(s, path, partial ? 1 : 0, s.Nstaves, false, false, host),
                  SaveResult::Saved);
        return path;
    }
    bool Merge(Score& into, int after, const std::string& path) {
        return MergeFile(into, after, path, host, {}, measurer, kTall);
    }
    static std::vector<int32_t> Field(const Score& s, int32_t StaveHeader::*f) {
        std::vector<int32_t> out;
        for (int i = 1; i <= s.Nstaves; ++i)
            out.push_back(s.stave(i).h.*f);
        return out;
    }

    test::TempDir dir;
    ScriptedHost host;
    test::FixedMeasurer measurer;
};

TEST_F(Merging, AfterBeforeAndAtTheEnd) {
    Score file = Open({50, 90});
    PlaceNote(file, 1, 100, 4, 3);
    PlaceNote(file, 2, 100, 2, 3);
    PlaceText(file, 0, kText, 100, 20, 1, "Not merged");  // a header text
    const std::string path = Write(file, "b.swn");

    Score a = Open({100, 200, 300});
    ASSERT_TRUE(Merge(a, 1, path));
    ASSERT_EQ(a.Nstaves, 5);
    EXPECT_EQ(a.stave(2).count(), 1);
    EXPECT_EQ(a.stave(3).count(), 1);
    EXPECT_EQ(a.stave(0).count(), 0) << "the file's headers stay behind";
    // The first merged extent touches stave 1's; the file's distance stays;
    // the following staves start 10 pixels below the last merged extent.
    EXPECT_EQ(a.stave(2).h.MinY, a.stave(1).h.MaxY);
    EXPECT_EQ(a.stave(3).h.Ycoord - a.stave(2).h.Ycoord, 40);
    EXPECT_EQ(a.stave(4).h.MinY, a.stave(3).h.MaxY + 10);
    EXPECT_EQ(a.stave(5).h.Ycoord - a.stave(4).h.Ycoord, 100);

    Score b = Open({100, 200});
    ASSERT_TRUE(Merge(b, 0, path));
    ASSERT_EQ(b.Nstaves, 4);
    EXPECT_EQ(b.stave(1).h.MinY, 10) << "before stave 1: 10 pixels down the page";
    EXPECT_EQ(b.stave(1).count(), 1);
    EXPECT_EQ(b.stave(3).h.MinY, b.stave(2).h.MaxY + 10);

    Score c = Open({100});
    ASSERT_TRUE(Merge(c, 1, path));
    EXPECT_EQ(c.Nstaves, 3);
    EXPECT_EQ(c.stave(3).count(), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Merging, APartialFileAndTheFilesPages) {
    Score file = Open({50, 90, 60});
    file.stave(3).h.PageNum = 2;  // a page of its own in the file
    const std::string path = Write(file, "part.swn", true);
    Score a = Open({100});
    ASSERT_TRUE(Merge(a, 1, path));
    ASSERT_EQ(a.Nstaves, 4);
    EXPECT_EQ(a.stave(3).h.Ycoord - a.stave(2).h.Ycoord, 40);
    EXPECT_EQ(a.stave(4).h.MinY, a.stave(3).h.MaxY + 10) << "10 pixels where its pages met";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Merging, FontsAreReusedAddedOrStandard) {
    Score file = Open({50});
    file.fonts[1] = {"times new roman", 12, 0, 0xFF0000, 0};
    file.fonts[2] = {"Arial", 10, kBold, 0, 0};
    file.fontsInUse.set(1);
    file.fontsInUse.set(2);
    PlaceText(file, 1, kText, 100, 20, 1, "same");
    PlaceText(file, 1, kText, 200, 20, 2, "new");
    PlaceText(file, 1, kText, 300, 20, 0, "none");  // no font of the file's
    const std::string path = Write(file, "fonts.swn");

    Score a = Open({100});
    a.fonts[1] = {"Times New Roman", 12, 0, 0x0000FF, 0};
    a.fontsInUse.set(1);
    PlaceText(a, 1, kText, 100, 20, 1, "mine");
    ASSERT_TRUE(Merge(a, 1, path));
    auto font = [&](int i) { return static_cast<int>(a.object(2, i).text().fontNumber); };
    EXPECT_EQ(font(1), 1) << "an equal font is reused, whatever its colour";
    EXPECT_EQ(font(2), 2);
    EXPECT_EQ(a.fonts[2].name, "Arial");
    EXPECT_EQ(font(3), 1);

    // A full table gives the standard font, and says so.
    Score full = Open({100, 300});
    for (int i = 1; i <= kMaxFonts; ++i) {
        full.fonts[static_cast<std::size_t>(i)] = {"F" + std::to_string(i), 10, 0, 0, 0};
        full.fontsInUse.set(static_cast<std::size_t>(i));
        PlaceText(full, i <= 128 ? 1 : 2, kText, 10 + i, 20, i, "x");
    }
    host.expectMessage("Too many fonts used in this document. Standard font chosen.");
    host.expectMessage("Too many fonts used in this document. Standard font chosen.");
    ASSERT_TRUE(Merge(full, 2, path));
    EXPECT_EQ(full.object(3, 2).text().fontNumber, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Merging, QuestionsAndRefusalsLeaveTheScoreAsItWas) {
    Score file = Open({50, 90});
    file.page.Width = 8.5;
    const std::string path = Write(file, "wide.swn");
    Score a = Open({100, 200});
    a.stave(2).h.PageNum = 2;  // laid out on two pages
    const std::vector<int32_t> ys = Field(a, &StaveHeader::Ycoord);

    host.expectMessage("differs in the page width", Answer::Abort);
    EXPECT_FALSE(Merge(a, 1, path));
    EXPECT_EQ(a.Nstaves, 2);
    EXPECT_EQ(Field(a, &StaveHeader::Ycoord), ys) << "not even unpaginated";
    host.expectMessage("differs in the page width", Answer::OK);
    EXPECT_TRUE(Merge(a, 1, path));
    EXPECT_DOUBLE_EQ(a.page.Width, 8.27) << "the open score's page stays";

    Score b = Open({100, 200});
    const std::string backup = dir.file("b.SWB");
    test::WriteBytes(backup, test::ReadBytes(path));
    host.expectMessage("Cannot merge a which is not a normal file");
    EXPECT_FALSE(Merge(b, 1, backup));
    host.expectMessage("File cannot be found: " + dir.file("none.swn"));
    EXPECT_FALSE(Merge(b, 1, dir.file("none.swn")));
    // A file older than this format's first version is refused, not misread.
    std::vector<uint8_t> old = test::ReadBytes(path);
    old[8] = 200, old[9] = 0;
    test::WriteBytes(dir.file("old.swn"), old);
    host.expectMessage("Cannot load NoteWorthy files");
    EXPECT_FALSE(Merge(b, 1, dir.file("old.swn")));

    b.stave(1).h.joinToNext = true;
    host.expectMessage("You cannot merge another file after this stave.");
    EXPECT_FALSE(MergePointAfter(b, 1, host));
    host.expectMessage("You cannot merge another file before this stave.");
    EXPECT_FALSE(MergePointBefore(b, 2, host));
    EXPECT_EQ(MergePointBefore(b, 1, host), 0) << "before stave 1 is always allowed";
    EXPECT_EQ(MergePointAfter(b, 2, host), 2);
    EXPECT_EQ(b.Nstaves, 2);

    Score big;
    ASSERT_TRUE(big.appendStaves(9990));
    Score eleven = Open({50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150});
    const std::string elevenPath = Write(eleven, "eleven.swn");
    host.expectMessage(
        "The current score has 9990 staves, and the one to be merged has 11.\n\nThis is greater "
        "than the 10000 allowed");
    EXPECT_FALSE(Merge(big, 9990, elevenPath));
    EXPECT_EQ(big.Nstaves, 9990);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Merging, OneUndoTakesTheMergedStavesOut) {
    Score file = Open({50, 90});
    const std::string path = Write(file, "b.swn");
    Score a = Open({100, 200, 300});
    PlaceNote(a, 3, 100, 4, 3);
    Repaginate(a, 150);  // stave 3 on a page of its own
    const std::vector<int32_t> ys = Field(a, &StaveHeader::Ycoord);
    ASSERT_EQ(a.stave(3).h.PageNum, 3);

    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    undo.setDepth(20);
    undo.open(host);
    WarningBox warnings;
    int32_t cursorX = 0;
    bool modified = false;
    DirtyStaves dirty;
    EditContext ctx{a, undo, host, warnings, cursorX, modified, dirty};
    a.CurrentStave = 2;
    ASSERT_TRUE(MergeScoreFile(ctx, 1, path, {}, measurer, {}));
    EXPECT_TRUE(modified);
    EXPECT_TRUE(dirty.structural);
    EXPECT_EQ(a.Nstaves, 5);
    EXPECT_EQ(a.CurrentStave, 4) << "the stave the cursor was on stays current";
    Repaginate(a, 150);

    host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
    ASSERT_TRUE(UndoLastCommand(ctx, true).undone);
    Repaginate(a, 150);
    EXPECT_EQ(a.Nstaves, 3);
    EXPECT_EQ(Field(a, &StaveHeader::Ycoord), ys);
    EXPECT_EQ(a.stave(3).h.PageNum, 3);
    EXPECT_EQ(a.stave(3).count(), 1);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
