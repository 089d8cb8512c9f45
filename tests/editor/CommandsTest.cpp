// Edits and the commands built on them: what a refused command leaves (no
// history, no modified flag), and that one Undo takes back each command whole,
// page data included.
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/ScoreEdit.h"
#include "editor/UndoStorage.h"
#include "editor/commands/PageCommands.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class Edits : public ::testing::Test {
  protected:
    void SetUp() override {
        score.page.Width = 8.26, score.page.Length = 11.69;
        score.page.TopM = score.page.LeftM = score.page.BotM = score.page.RightM = 0.5;
        score.staveSize = 0.3;
        const int w = ComputePageGeometry(score).width;  // 774
        for (int s = 1; s <= 3; ++s)
            AppendStave(score, 100 * s, 17, w - 5);
        PlaceNote(score, 2, 700, 0, 3);
        undo.setDepth(20);
        undo.open(host);
    }
    int Count(int stave, int kind) {
        int n = 0;
        for (int i = 1; i <= score.stave(stave).count(); ++i)
            n += score.object(stave, i).kind == kind;
        return n;
    }
    UndoRing::Result Undo() {
        host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
        return UndoLastCommand(ctx, true);
    }

    Score score;
    ScriptedHost host;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    int32_t cursorX = 40;
    bool modified = false;
    DirtyStaves dirty;
    WarningBox warnings;
    EditContext ctx{score, undo, host, warnings, cursorX, modified, dirty};
    bool pictureOk = true;
    PictureSetUp picture = [this] { return pictureOk; };
};

TEST_F(Edits, AnEditNotCommittedLeavesNoHistoryNorModifiedFlag) {
    {
        ScoreEdit edit(ctx, "nothing in the end");
        ASSERT_TRUE(edit.touchStaves(1, 3));
        ASSERT_TRUE(edit.touchStave(0));
        EXPECT_TRUE(undo.canUndo());
    }
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(modified);
    EXPECT_TRUE(dirty.empty());
    {
        ScoreEdit edit(ctx, "out of range");
        EXPECT_FALSE(edit.touchStaves(2, 9));
        EXPECT_FALSE(edit.touchStave(-1));
    }
    EXPECT_FALSE(undo.canUndo());

    // Two touches of one committed edit are one command to undo.
    {
        ScoreEdit edit(ctx, "two places");
        ASSERT_TRUE(edit.touchStave(3));
        ASSERT_TRUE(edit.touchStaves(1, 2));
        score.stave(3).h.RightX = 500;
        score.stave(1).h.LeftX = 30;
        edit.commit();
    }
    EXPECT_TRUE(modified);
    EXPECT_EQ(dirty.first, 1);
    EXPECT_EQ(dirty.last, 3);
    EXPECT_TRUE(Undo().undone);
    EXPECT_EQ(score.stave(3).h.RightX, 769);
    EXPECT_EQ(score.stave(1).h.LeftX, 17);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Edits, PageLayoutIsUndoneWithItsPageDataAndDeletedTexts) {
    score.page.Header = 0.5;
    PlaceText(score, 0, kHeadertext, 10, 10, 1, "Title");
    const PageData before = score.page;
    PageData edited = before;
    edited.Header = 0;
    edited.LeftM = 0.3;  // wider staves too

    // Refusing to lose the title changes nothing at all.
    host.expectMessage("With no header margin, the 1 header text(s) on it are deleted", Answer::No);
    EXPECT_FALSE(PageLayout(ctx, edited, picture));
    EXPECT_TRUE(SamePageData(score.page, before));
    EXPECT_FALSE(modified);
    EXPECT_FALSE(undo.canUndo());

    host.expectMessage("With no header margin", Answer::Yes);
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread the objects proportionately", Answer::No);
    ASSERT_TRUE(PageLayout(ctx, edited, picture));
    EXPECT_EQ(Count(0, kHeadertext), 0);
    EXPECT_GT(score.stave(1).h.RightX, 769);
    EXPECT_TRUE(modified);
    EXPECT_TRUE(dirty.page);

    const UndoRing::Result r = Undo();
    EXPECT_TRUE(r.page);
    EXPECT_TRUE(SamePageData(score.page, before));
    EXPECT_EQ(Count(0, kHeadertext), 1);
    EXPECT_EQ(score.stave(1).h.RightX, 769);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Edits, AbandonedPageChangesLeaveNothingToUndo) {
    PageData edited = score.page;
    edited.LeftM = 0.2;
    host.expectWarning("The usable paper width has changed.", Answer::Abort);
    EXPECT_FALSE(PageLayout(ctx, edited, picture));
    EXPECT_FALSE(modified);
    EXPECT_FALSE(undo.canUndo());
    // The same page is no change at all.
    EXPECT_FALSE(PageLayout(ctx, score.page, picture));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Edits, StaveSizeIsUndoneWithTheStavesEnds) {
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread", Answer::No);
    ASSERT_TRUE(SetStaveSize(ctx, 0.25, picture));
    EXPECT_EQ(score.stave(1).h.RightX, 769 + (929 - 774));
    EXPECT_TRUE(modified);
    EXPECT_TRUE(Undo().page);
    EXPECT_DOUBLE_EQ(score.staveSize, 0.3);
    EXPECT_EQ(score.stave(1).h.RightX, 769);

    // Objects that would fall off: refused, and nothing recorded.
    modified = false;
    host.expectMessage("Staves 2\n");
    EXPECT_FALSE(SetStaveSize(ctx, 0.4, picture));
    EXPECT_DOUBLE_EQ(score.staveSize, 0.3);
    EXPECT_FALSE(modified);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Edits, UndoOffStillEditsAndMarksModified) {
    UndoRing off{std::make_unique<MemoryUndoStorage>()};
    off.setDepth(0);
    off.open(host);
    EditContext c{score, off, host, warnings, cursorX, modified, dirty};
    {
        ScoreEdit edit(c, "with undo off");
        ASSERT_TRUE(edit.touchStave(1));
        edit.commit();
    }
    EXPECT_TRUE(modified);
    host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
    host.expectWarning("Undo is off");
    EXPECT_FALSE(UndoLastCommand(c, true).undone);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Edits, RespacingThePageIsOneUndoAndARefusalRecordsNothing) {
    for (int s = 1; s <= 3; ++s)
        score.stave(s).h.PageNum = 1;
    ShiftStave(score, 2, -70);  // the middle system close under the first
    const int32_t noteY = score.object(2, 1).y;
    ASSERT_TRUE(RespacePage(ctx, 1, true));
    EXPECT_EQ(score.stave(2).h.Ycoord, 200);
    EXPECT_EQ(score.object(2, 1).y, noteY + 70);
    EXPECT_TRUE(modified);
    EXPECT_EQ(dirty.first, 2);
    EXPECT_EQ(dirty.last, 2);
    EXPECT_TRUE(Undo().undone);
    EXPECT_EQ(score.stave(2).h.Ycoord, 130);
    EXPECT_EQ(score.object(2, 1).y, noteY);
    EXPECT_FALSE(undo.canUndo());

    modified = false;
    score.stave(1).h.joinToNext = true;  // two systems left
    host.expectMessage(
        "There are not enough systems on this page to perform a respace.\nYou must have at "
        "least 3 systems.\nOperation cancelled.");
    EXPECT_FALSE(RespacePage(ctx, 1, false));
    score.stave(1).h.joinToNext = false;
    ShiftStave(score, 3, -180);  // overlapping the middle one
    host.expectMessage("There is no free space between the systems on this page.");
    EXPECT_FALSE(RespacePage(ctx, 1, false));
    EXPECT_FALSE(modified);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
