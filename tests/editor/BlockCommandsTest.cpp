// The block core and commands on real scores: what a box selects, copies
// that fit or are refused without history, links carried into the copy or
// dropped, moves and deletions undone in one step, and alignment.
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/UndoStorage.h"
#include "editor/commands/BlockCommands.h"
#include "editor/commands/PageCommands.h"
#include "layout/BeamRules.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/EditorFixture.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

constexpr int kQuaver = 4;

class BlockCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        AppendStave(score, 100, 17, 760);
        AppendStave(score, 200, 17, 760);
        AppendStave(score, 300, 17, 760);
        score.stave(1).h.joinToNext = true;
        score.fonts[1] = {"Times New Roman", 12, 0, 0, 1};
        score.fontsInUse.set(1);
        undo.setDepth(20);
        undo.open(host);
    }
    int Note(int s, int32_t x, int pitch = 0) {
        PlaceNote(score, s, x, pitch, kQuaver, 0);
        return score.stave(s).count();
    }
    // What the editor does after an edit: every dirty stave refreshed.
    void Refresh() {
        for (int s = std::max(dirty.first, 1); s <= std::min<int>(dirty.last, score.Nstaves); ++s)
            RefreshStave(score, s, measurer);
        dirty.clear();
    }
    Selection Box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        return SelectInBox(score, 1, score.Nstaves, PixelBox::Between(x1, y1, x2, y2)).selection;
    }
    bool Undo() {
        host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
        return UndoLastCommand(ctx, true).undone;
    }
    const ScoreObject& O(int s, int i) { return score.object(s, i); }

    Score score;
    ScriptedHost host;
    test::FixedMeasurer measurer;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    int32_t cursorX = 40;
    bool modified = false;
    DirtyStaves dirty;
    WarningBox warnings;
    EditContext ctx{score, undo, host, warnings, cursorX, modified, dirty};
};

TEST_F(BlockCommands, BoxTakesWholeCurvesAndTextsWithTheirPiecesOnly) {
    const int note = Note(1, 100);
    const int slur = PlaceCurve(score, 1, {{90, 90}, {130, 85}, {170, 90}}, 2);
    const int inner = PlaceCurve(score, 1, {{95, 95}, {120, 92}}, 2);
    const int text = PlaceText(score, 1, kText, 100, 80, 1, "a long text of three pieces");
    PlaceObject(score, 1, kSymbol, 110, 100);
    PlaceObject(score, 2, kBarline, 110, 200);

    const BoxSelection box = SelectInBox(score, 1, 3, PixelBox::Between(150, 70, 80, 120));
    EXPECT_TRUE(box.curvesLeftOut);
    const Selection& sel = box.selection;
    EXPECT_TRUE(sel.contains(1, note));
    EXPECT_FALSE(sel.contains(1, slur));
    EXPECT_FALSE(sel.contains(1, slur + 1));
    EXPECT_TRUE(sel.contains(1, inner) && sel.contains(1, inner + 1));
    for (int i = text; i < text + 3; ++i)
        EXPECT_TRUE(sel.contains(1, i)) << i;
    EXPECT_EQ(sel.count(), 6u);  // no symbol, nothing of stave 2
    EXPECT_EQ(sel.staveRange(), std::make_pair(1, 1));

    // A box round a piece alone (they sit at 0, 0) takes nothing.
    EXPECT_TRUE(Box(-5, -5, 5, 5).empty());
}

TEST_F(BlockCommands, CapacityIsCheckedBeforeAnyHistoryIsWritten) {
    for (int i = 0; i < 6; ++i)
        Note(1, 100 + 20 * i);
    for (int i = 0; i < 244; ++i)
        PlaceObject(score, 2, kText9, 30 + i, 150);
    const Selection six = Box(90, 0, 300, 150);
    ASSERT_EQ(six.count(), 6u);
    PlaceObject(score, 2, kText9, 20, 150);  // 245 on the target
    host.expectMessage("too many objects on the target stave", Answer::OK);
    EXPECT_FALSE(CopyBlock(ctx, six, {2, 0, 0}, false));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(modified);
    EXPECT_EQ(score.stave(2).count(), 245);

    Selection five = six;
    five.remove(1, 6);
    NewObjectRecord(score.object(2, 245));
    score.stave(2).h.Nobjec = 244;
    EXPECT_TRUE(CopyBlock(ctx, five, {2, 0, 0}, false));
    EXPECT_EQ(score.stave(2).count(), 249);
    EXPECT_EQ(O(2, 249).y, O(1, 5).y + 100);  // kept its offset to its stave
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockCommands, CopiedLinksFollowTheCopyOrAreDropped) {
    const int a = Note(1, 100), b = Note(1, 140), outside = Note(1, 400);
    LinkBeam(score, {1, a}, {1, b});
    LinkBeam(score, {1, b}, {1, outside});
    score.object(1, a).note().tieLeft = 255;
    score.object(1, a).note().tieRight = static_cast<uint8_t>(b);
    const int below = Note(2, 160);
    LinkBeam(score, {1, b}, {2, below});  // a cross-stave beam replaces b's link on
    const Selection sel = Box(90, 0, 200, 150);
    ASSERT_EQ(sel.count(), 2u);

    ASSERT_TRUE(CopyBlock(ctx, sel, {3, 5, 0}, false));
    const NoteData& ca = O(3, 1).note();
    const NoteData& cb = O(3, 2).note();
    EXPECT_EQ(O(3, 1).x, 105);
    EXPECT_EQ(ca.beamOnTo, 2);
    EXPECT_EQ(cb.beamBackTo, 0);  // b's cross-stave beam is never copied
    EXPECT_EQ(cb.beamOnTo + cb.beamOnDown + cb.beamOnUp, 0);
    EXPECT_EQ(ca.tieLeft, 255);
    EXPECT_EQ(ca.tieRight, 2);
    // The originals are untouched.
    EXPECT_EQ(O(1, b).note().beamOnTo, below);
}

TEST_F(BlockCommands, CopiedTextKeepsItsPiecesAtTheOrigin) {
    const int text = PlaceText(score, 1, kText, 100, 80, 1, "a long text of three pieces");
    ASSERT_TRUE(CopyBlock(ctx, Box(90, 70, 200, 90), {2, 30, 0}, false));
    Refresh();
    int head = 0;
    for (int i = 1; i <= score.stave(2).count(); ++i) {
        const ScoreObject& o = O(2, i);
        if (o.text().textFlags & kTextContinuation)
            EXPECT_TRUE(o.x == 0 && o.y == 0) << i;
        else
            head = i;
    }
    ASSERT_NE(head, 0);
    EXPECT_EQ(O(2, head).x, 130);
    EXPECT_EQ(ChainText(score.stave(2), head), ChainText(score.stave(1), text));
}

TEST_F(BlockCommands, TheBoxStopsWhereANoteWouldLeaveItsTargetStave) {
    Note(1, 700);
    PlaceObject(score, 1, kText9, 100, 80);
    const Selection sel = Box(90, 0, 710, 120);
    score.stave(2).h.RightX = 720;
    EXPECT_EQ(BlockDxLimits(score, sel, 2), std::make_pair(17 - 700, 20));
    host.expectMessage("past the ends of the target stave", Answer::OK);
    EXPECT_FALSE(CopyBlock(ctx, sel, {2, 21, 0}, false));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(CopyBlock(ctx, sel, {2, 20, 0}, false));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockCommands, OneUndoRestoresSourceAndTargetOfAMove) {
    const int a = Note(1, 100), b = Note(1, 150);
    PlaceObject(score, 1, kBarline, 200, 100);
    Note(3, 120);
    const Score before(score);
    const Selection sel = Box(90, 0, 210, 150);
    ASSERT_EQ(sel.count(), 3u);
    ASSERT_TRUE(CopyBlock(ctx, sel, {3, 0, 40}, true));
    Refresh();
    EXPECT_EQ(score.stave(1).count(), 0);
    EXPECT_EQ(score.stave(3).count(), 4);
    // Notes and bar lines keep their offset to the stave: dv moves only free kinds.
    EXPECT_EQ(O(3, 1).y, NoteY(score, 3, 0));  // slot 1 of stave 3: the old note at 100
    (void)a;
    (void)b;
    ASSERT_TRUE(Undo());
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(score.stave(s).count(), before.stave(s).count()) << s;
    EXPECT_EQ(O(1, a).x, 100);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(BlockCommands, MovingOrDeletingACrossStaveNoteClearsItsPartnerInTheSameEdit) {
    const int top = Note(1, 100), bottom = Note(2, 140);
    LinkBeam(score, {1, top}, {2, bottom});
    const Selection sel = Box(90, 0, 110, 150);
    ASSERT_EQ(sel.count(), 1u);
    ASSERT_TRUE(CopyBlock(ctx, sel, {1, 50, 0}, true));
    EXPECT_EQ(O(2, bottom).note().beamBackTo, 0);
    EXPECT_EQ(O(2, bottom).note().beamBackUp, 0);
    ASSERT_TRUE(Undo());
    EXPECT_EQ(O(2, bottom).note().beamBackTo, top);  // the partner's stave was recorded

    ASSERT_TRUE(DeleteSelectedObjects(ctx, sel));
    EXPECT_EQ(O(2, bottom).note().beamBackTo, 0);
    EXPECT_EQ(O(1, top).kind, kNothing);
    ASSERT_TRUE(Undo());
    EXPECT_EQ(O(2, bottom).note().beamBackTo, top);
    EXPECT_EQ(O(1, top).kind, kNote);
}

TEST_F(BlockCommands, DeleteAsksAboutBarLines) {
    Note(1, 100);
    const int bar = score.stave(1).count() + 1;
    PlaceObject(score, 1, kBarline, 150, 100);
    const Selection sel = Box(90, 0, 200, 150);
    host.expectMessage("Delete bar lines along with everything else?", Answer::No);
    ASSERT_TRUE(DeleteBlock(ctx, sel));
    EXPECT_EQ(O(1, 1).kind, kNothing);
    EXPECT_EQ(O(1, bar).kind, kBarline);
    ASSERT_TRUE(Undo());
    host.expectMessage("Delete bar lines along with everything else?", Answer::Yes);
    ASSERT_TRUE(DeleteBlock(ctx, sel));
    EXPECT_EQ(O(1, bar).kind, kNothing);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockCommands, AlignPutsCentresOnOneLineAndRefusesASingleObject) {
    const int t1 = PlaceText(score, 1, kText, 100, 60, 1, "ab");
    const int t2 = PlaceText(score, 1, kText, 130, 70, 1, "abcdefgh");
    const int t3 = PlaceText(score, 2, kText, 90, 160, 1, "abcdefghijklmn");  // two pieces
    const Selection all = Box(0, 0, 400, 250);
    ASSERT_TRUE(AlignBlock(ctx, all, true, measurer));
    const auto centre = [&](int s, int i) {
        return O(s, i).x + measurer.width({}, ChainText(score.stave(s), i)) / 2.0;
    };
    EXPECT_NEAR(centre(1, t1), centre(1, t2), 1.0);
    EXPECT_NEAR(centre(1, t1), centre(2, t3), 1.0);
    EXPECT_EQ(O(2, t3 + 1).x, 90);  // the piece is not moved
    ASSERT_TRUE(Undo());
    EXPECT_EQ(O(1, t1).x, 100);
    EXPECT_EQ(O(2, t3).x, 90);

    ASSERT_TRUE(AlignBlock(ctx, all, false, measurer));
    EXPECT_EQ(O(1, t1).y, O(1, t2).y);
    EXPECT_EQ(O(1, t1).y, O(2, t3).y);

    host.expectMessage("less than two objects", Answer::OK);
    EXPECT_FALSE(AlignBlock(ctx, Box(95, 55, 105, 65), true, measurer));
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw

// ---------------------------------------------------------------------------
// Driven through the controller as a user drives it.

namespace sw {
namespace {

class BlockModes : public test::EditorFixture {
  protected:
    void Open(Score& s) {
        s.fonts[1] = {"Times New Roman", 12, 0, 0, 1};
        s.fontsInUse.set(1);
        OpenScore(s, 3);
    }
    static Score ThreeStaves() {
        Score s;
        AppendStave(s, 100, 17, 760);
        AppendStave(s, 200, 17, 760);
        AppendStave(s, 300, 17, 760);
        return s;
    }
    int32_t Y(int s) const { return score.stave(s).h.Ycoord; }
    // Block mode, a box dragged from (x1, y1) to (x2, y2), the dialog answered.
    void BoxAround(int32_t x1, int32_t y1, int32_t x2, int32_t y2, BlockAction choice) {
        dialogs.onBlockAction = [choice](BlockActionModel& m) {
            m.choose(choice);
            return true;
        };
        ASSERT_TRUE(d->run(Action::BlockMode));
        ASSERT_EQ(d->mode(), kModeBlocksoon);
        Mouse(PointerEvent::Press, x1, y1);
        Mouse(PointerEvent::Move, x2, y2);
        Mouse(PointerEvent::Release, x2, y2);
    }
    int Count(int s, int kind) const {
        int n = 0;
        for (int i = 1; i <= score.stave(s).count(); ++i)
            n += score.object(s, i).kind == kind;
        return n;
    }
    bool Undo() { return d->run(Action::Undo); }  // no question at level 3
};

TEST_F(BlockModes, CopyManyPlacesCopiesEachItsOwnUndoAndEscKeepsThem) {
    Score s = ThreeStaves();
    PlaceNote(s, 1, 100, 0, kQuaver, 0);
    PlaceNote(s, 1, 140, 2, kQuaver, 0);
    Open(s);
    BoxAround(90, Y(1) - 30, 150, Y(1) + 30, BlockAction::CopyMany);
    ASSERT_EQ(d->mode(), kModeBlockCpy);
    EXPECT_EQ(d->block().selection.count(), 2u);
    d->key("PgDown");
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeBlockCpy);
    d->key("PgDown");
    d->key("Right");
    d->key("Enter");
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(Count(2, kNote), 2);
    EXPECT_EQ(Count(3, kNote), 2);
    EXPECT_EQ(score.object(3, 1).x, 101);
    EXPECT_EQ(score.object(2, 1).y - Y(2), score.object(1, 1).y - Y(1));
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Count(3, kNote), 0);
    EXPECT_EQ(Count(2, kNote), 2);
    EXPECT_TRUE(d->block().selection.empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockModes, NotesKeepTheirStaveOffsetWhileTextFollowsTheMouse) {
    Score s = ThreeStaves();
    PlaceNote(s, 1, 100, 0, kQuaver, 0);
    PlaceObject(s, 1, kBarline, 130, 100);
    PlaceText(s, 2, kText, 100, 180, 1, "rit.");
    Open(s);
    BoxAround(90, Y(1) - 30, 150, Y(1) + 30, BlockAction::Move);
    EXPECT_EQ(std::pair(view.visibleX, view.visibleY), std::pair(150, Y(1) + 30));  // the drag
    ASSERT_EQ(d->mode(), kModeBlockVb);
    d->key("PgDown");
    // The page follows the box's corner to its new stave.
    EXPECT_EQ(std::pair(view.visibleX, view.visibleY), std::pair(view.pointerX, view.pointerY));
    EXPECT_EQ(view.visibleY, d->block().moving.bottom);
    Mouse(PointerEvent::Move, 150, Y(1) + 30);  // re-anchors after the key
    Mouse(PointerEvent::Move, 160, Y(1) + 60);
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(Count(1, kNote), 0);
    ASSERT_EQ(Count(2, kNote), 1);
    for (int i = 1; i <= score.stave(2).count(); ++i) {
        const ScoreObject& o = score.object(2, i);
        if (o.kind != kNote) continue;
        EXPECT_EQ(o.y, NoteY(score, 2, 0));
        EXPECT_EQ(o.x, 110);
    }

    // Text is free to follow the mouse up and down.
    const int32_t textY = Y(2) - 20;
    BoxAround(95, textY - 5, 140, textY + 10, BlockAction::CopyOnce);
    ASSERT_EQ(d->mode(), kModeBlockCpy);
    Mouse(PointerEvent::Move, 140, textY + 10);
    Mouse(PointerEvent::Move, 140, textY + 22);
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeMusic);
    int texts = 0;
    for (int i = 1; i <= score.stave(2).count(); ++i)
        if (score.object(2, i).kind == kText) {
            ++texts;
            EXPECT_TRUE(score.object(2, i).y == textY || score.object(2, i).y == textY + 12);
        }
    EXPECT_EQ(texts, 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockModes, EmptyBoxesAndHalfEnclosedSlursAreToldAndCancelLeavesAllAsItWas) {
    Score s = ThreeStaves();
    PlaceNote(s, 1, 100, 0, kQuaver, 0);
    PlaceCurve(s, 1, {{95, 90}, {200, 90}}, 2);
    Open(s);
    warnings.setUserLevel(1);
    host.expectWarning("There are no objects enclosed in the box");
    BoxAround(400, Y(3) - 10, 450, Y(3) + 10, BlockAction::Cancel);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(d->cursorX(), 450);

    host.expectWarning("One or more curves were incompletely enclosed");
    BoxAround(90, Y(1) - 30, 150, Y(1) + 30, BlockAction::Cancel);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_FALSE(d->modified());
    EXPECT_TRUE(d->block().selection.empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockModes, AShiftClickWhileEditingIsLockedSaysWhyAtTheFirstLevels) {
    Score s = ThreeStaves();
    PlaceObject(s, 1, kBarline, 100, 100);
    s.fonts[1] = {"Times New Roman", 12, 0, 0, 1};
    s.fontsInUse.set(1);
    settings.startUnlocked = false;
    OpenScore(s, 1);
    host.expectWarning("Selecting is not allowed at the moment");
    Click(100, Y(1), true);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(d->block().selection.empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BlockModes, ShiftClicksCollectObjectsForTheToolBar) {
    Score s = ThreeStaves();
    PlaceObject(s, 1, kBarline, 100, 100);
    PlaceObject(s, 2, kBarline, 300, 200);
    PlaceObject(s, 1, kClef, 500, 100, 3);
    PlaceObject(s, 2, kClef, 500, 200, 3);
    Open(s);
    EXPECT_FALSE(d->ui().action(Action::DeleteBlk).enabled);
    Click(100, Y(1), true);
    ASSERT_EQ(d->mode(), kModeSelecting);
    EXPECT_EQ(d->ui().selectingLabel, " Selecting: 1 object selected.");
    Click(300, Y(2), true);
    EXPECT_EQ(d->ui().selectingLabel, " Selecting: 2 objects selected.");
    Click(300, Y(2), true);
    EXPECT_EQ(d->block().selection.count(), 1u);
    Click(300, Y(2), true);
    EXPECT_TRUE(d->ui().action(Action::DeleteBlk).enabled);
    ASSERT_TRUE(d->run(Action::DeleteBlk));
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(Count(1, kBarline), 0);
    EXPECT_EQ(Count(2, kBarline), 0);
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Count(1, kBarline) + Count(2, kBarline), 2);

    // Alter attributes opens the clef dialog over both selected clefs; Cancel
    // leaves the score as it was.
    Click(500, Y(1), true);
    Click(500, Y(2), true);
    ASSERT_EQ(d->block().selection.count(), 2u);
    ASSERT_TRUE(d->ui().action(Action::ChgAttr).enabled);
    int forms = 0;
    dialogs.onForm = [&forms](AttributeForm&) { return ++forms, false; };
    const int records = undo.retrievable();
    ASSERT_TRUE(d->run(Action::ChgAttr));
    EXPECT_EQ(forms, 1);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(undo.retrievable(), records);

    Click(100, Y(1), true);
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(d->block().selection.empty());
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

class BlockPages : public test::EditorFixture {};

// Staves 1..3 on page 1 and 4..5 on page 2: a three-stave block cannot go
// down, by stave or by page, without splitting or running off the score.
TEST_F(BlockPages, TheTargetRangeNeverSplitsOverPagesOrRunsPastTheLastStave) {
    Score s;
    for (int k = 0; k < 5; ++k)
        AppendStave(s, 100 + 150 * k, 17, 760);
    for (int k = 1; k <= 3; ++k)
        PlaceObject(s, k, kBarline, 300, 100 + 150 * (k - 1));
    s.stave(3).h.ForcedBk = true;
    OpenScore(s, 3);
    ASSERT_EQ(score.stave(3).h.PageNum, 1);
    ASSERT_EQ(score.stave(4).h.PageNum, 2);
    dialogs.onBlockAction = [](BlockActionModel& m) {
        m.choose(BlockAction::CopyOnce);
        return true;
    };
    ASSERT_TRUE(d->run(Action::BlockMode));
    const int32_t top = score.stave(1).h.Ycoord - 20, bottom = score.stave(3).h.Ycoord + 20;
    Mouse(PointerEvent::Press, 290, top);
    Mouse(PointerEvent::Release, 310, bottom);
    ASSERT_EQ(d->mode(), kModeBlockCpy);
    ASSERT_EQ(d->block().selection.count(), 3u);

    host.expectMessage("Cannot split a block over 2 pages while copying.");
    d->key("PgDown");
    EXPECT_EQ(d->block().targetFirst, 1);
    d->key("Alt+PgDown");  // page 2 holds only two staves
    EXPECT_EQ(d->block().targetFirst, 1);
    host.expectMessage("Cannot split a block over 2 pages while copying.");
    d->key("Ctrl+PgDown");  // the next system is stave 2
    EXPECT_EQ(d->block().targetFirst, 1);
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_FALSE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
