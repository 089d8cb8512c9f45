// Where input goes and moving about: the cursor's shapes and its showing,
// the attachment range and line, keeping a point in view, the wheel, the goto
// boxes and page commands, and the actions that follow the current stave.
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"
#include "editor/DocumentController.h"
#include "editor/Navigation.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/NullView.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

TEST(StaveCursor, ShapesRoundThePoint) {
    const auto beam = StaveCursorShape(0, 100, 200);
    ASSERT_EQ(beam.size(), 3u);
    EXPECT_EQ(beam[0].x1, 100);
    EXPECT_EQ(beam[0].y1, 225);
    EXPECT_EQ(beam[0].y2, 175);
    // The box: 28 wide, 50 high, centred on the point.
    int minX = 1 << 30, maxX = -minX, minY = minX, maxY = -minX;
    for (const Segment& s : StaveCursorShape(1, 100, 200)) {
        minX = std::min({minX, s.x1, s.x2}), maxX = std::max({maxX, s.x1, s.x2});
        minY = std::min({minY, s.y1, s.y2}), maxY = std::max({maxY, s.y1, s.y2});
    }
    EXPECT_EQ(maxX - minX, 28);
    EXPECT_EQ(maxY - minY, 50);
    EXPECT_EQ((minX + maxX) / 2, 100);
    EXPECT_EQ((minY + maxY) / 2, 200);
    EXPECT_EQ(StaveCursorShape(2, 0, 0).size(), 4u);
}

TEST(Attach, RangeBetweenNeighboursOfThePageAndTheLineEnd) {
    Score score;
    AppendStave(score, 100, 20, 700);
    AppendStave(score, 200, 20, 700);
    AppendStave(score, 300, 20, 700);
    for (int s = 1; s <= 3; ++s)
        score.stave(s).h.PageNum = s < 3 ? 1 : 2;
    const AttachRange middle = ComputeAttachRange(score, 2, 1, false);
    EXPECT_EQ(middle.upper, 100);
    EXPECT_FALSE(middle.lower);  // stave 3 is on the next page
    EXPECT_EQ(middle.clamp(50), 100);
    EXPECT_EQ(middle.clamp(5000), 5000);
    EXPECT_FALSE(ComputeAttachRange(score, 1, 2, false).upper);
    EXPECT_EQ(ComputeAttachRange(score, 1, 2, false).lower, 200);
    EXPECT_FALSE(ComputeAttachRange(score, 2, 3, false).upper);  // no limits at level 3
    EXPECT_FALSE(ComputeAttachRange(score, 2, 1, true).upper);   // nor in the header view

    // x' = x - |Ycoord - y|, kept on the stave.
    EXPECT_EQ(AttachPointX(score, 2, 300, 230), 270);
    EXPECT_EQ(AttachPointX(score, 2, 300, 170), 270);
    EXPECT_EQ(AttachPointX(score, 2, 30, 500), 20);
    EXPECT_EQ(AttachPointX(score, 2, 9000, 200), 700);
}

TEST(Scrolling, KeepsThePointInsideTheMarginsAndStopsAtLimits) {
    ScrollView v;
    v.maxX = 500, v.maxY = 2000, v.width = 400, v.height = 300, v.pictureWidth = 900;
    ScrollView to = ScrollToShow(v, 100, 600, 10);
    EXPECT_GE(600 - to.y, 50);
    EXPECT_LE(600 - to.y, 300 - 50);
    EXPECT_EQ(to.x, 0);  // already 20 inside
    to = ScrollToShow(v, 890, 10, 10);
    EXPECT_EQ(to.x, 500);  // the limit, though the margin is not met
    EXPECT_EQ(to.y, 0);
    // A picture no wider than the view never scrolls sideways.
    v.pictureWidth = 300;
    EXPECT_EQ(ScrollToShow(v, 390, 0, 10).x, 0);
    // A view too small for both margins settles, the top margin winning.
    v.height = 60;
    to = ScrollToShow(v, 0, 500, 7);
    EXPECT_LE(to.y, 500 - 50);
    EXPECT_GT(to.y, 500 - 50 - 7);
    // A step of 0 still moves.
    EXPECT_GT(ScrollToShow(v, 0, 500, 0).y, 0);
}

TEST(Scrolling, WheelSteps) {
    EXPECT_EQ(WheelScroll(120, false, false).dy, 120);
    EXPECT_EQ(WheelScroll(-120, true, false).dx, -60);
    EXPECT_EQ(WheelScroll(-15, true, false).dx, -7);  // toward zero
    EXPECT_EQ(WheelScroll(120, false, true).dy, 0);   // not in the preview
}

TEST(Goto, NumbersAreReadSafely) {
    EXPECT_EQ(ParseGotoNumber(" 12 "), 12);
    EXPECT_EQ(ParseGotoNumber("-3"), -3);
    EXPECT_FALSE(ParseGotoNumber(""));
    EXPECT_FALSE(ParseGotoNumber("12a"));
    EXPECT_FALSE(ParseGotoNumber("-"));
    EXPECT_GT(*ParseGotoNumber("99999999999999999999999999"), 1000000000000LL);
}

// Twelve systems of two staves, three systems a page: four pages.
class Paging : public ::testing::Test {
  protected:
    void SetUp() override {
        controller = std::make_unique<DocumentController>(score, settings, host, warnings, undo,
                                                          view, services, dialogs, measurer);
        ASSERT_TRUE(controller->start(DocumentController::Start::Empty, "", "NONAME1", false));
        score.stave(1).h.joinToNext = true;
        for (int i = 1; i < 24; ++i) {
            const int s = AppendStave(score, 54 + 100 * i, 17, 600);
            score.stave(s).h.joinToNext = i % 2 == 0;
        }
        for (int s = 1; s <= 24; ++s)
            score.stave(s).h.PageNum = static_cast<uint16_t>((s - 1) / 6 + 1);
        score.pageCount = 4;
        controller->setCurrentStave(1);
    }
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    test::NullView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    test::FixedMeasurer measurer;
    std::unique_ptr<DocumentController> controller;
};

TEST_F(Paging, CursorShowsOnceAndHidesOnce) {
    DocumentController& d = *controller;
    EXPECT_TRUE(d.cursorShown());
    const int before = view.cursorChanges;
    d.setCursorShown(true);
    EXPECT_EQ(view.cursorChanges, before);
    d.setCursorShown(false);
    d.setCursorShown(false);
    EXPECT_EQ(view.cursorChanges, before + 1);
    EXPECT_TRUE(d.cursorStrokes().empty());
    d.setCursorShown(true);
    EXPECT_EQ(d.cursorStrokes().size(), 3u);
    score.CurrentStave = 0;  // never on the header/footer stave
    EXPECT_TRUE(d.cursorStrokes().empty());
}

TEST_F(Paging, ShowPageAndPageCommands) {
    DocumentController& d = *controller;
    d.showPage(0);
    d.showPage(5);
    EXPECT_EQ(d.page(), 1);
    d.showPage(3);
    EXPECT_EQ(d.page(), 3);
    EXPECT_EQ(view.shownPage, 3);
    EXPECT_EQ(score.CurrentStave, 13);
    EXPECT_TRUE(d.ui().action("acPrevPage").enabled);
    d.nextPage();
    EXPECT_EQ(d.page(), 4);
    EXPECT_FALSE(d.ui().action("acNextpage").enabled);
    d.nextPage();
    EXPECT_EQ(d.page(), 4);
    d.pageBottom();
    EXPECT_EQ(score.CurrentStave, 24);
    EXPECT_FALSE(d.ui().action("acEnd").enabled);
    EXPECT_FALSE(d.ui().action("acMoveLastDown").enabled);  // the last system
    EXPECT_TRUE(d.ui().action("acMoveFirstUp").enabled);
    d.top();
    EXPECT_EQ(d.page(), 1);
    EXPECT_EQ(score.CurrentStave, 1);
    EXPECT_EQ(d.cursorX(), 37);
    EXPECT_FALSE(d.ui().action("acTop").enabled);
    EXPECT_FALSE(d.ui().action("acMoveFirstUp").enabled);
    EXPECT_FALSE(d.ui().action("acsound").enabled);  // no notes yet
    PlaceNote(score, 1, 100, 0, 3);
    d.end();
    EXPECT_EQ(score.CurrentStave, 24);
    EXPECT_EQ(d.page(), 4);
    EXPECT_TRUE(d.ui().action("acsound").enabled);
    // Out of Music the page commands do nothing.
    d.run(Action::LineMode);
    d.previousPage();
    EXPECT_EQ(d.page(), 4);
    EXPECT_FALSE(d.ui().action("acPrevPage").enabled);
}

TEST_F(Paging, CursorKeysMoveOnTheStaveAndBetweenStavesOfThePage) {
    using K = DocumentController::CursorKey;
    DocumentController& d = *controller;
    d.setCursorX(100);
    EXPECT_TRUE(d.cursorKey(K::Right, false));
    EXPECT_EQ(d.cursorX(), 101);
    d.cursorKey(K::Left, true);
    EXPECT_EQ(d.cursorX(), 91);
    const int32_t right = score.stave(1).h.RightX;
    d.cursorKey(K::End, false);
    EXPECT_EQ(d.cursorX(), right - 1);
    d.cursorKey(K::Right, true);
    EXPECT_EQ(d.cursorX(), right);  // not past the stave's end
    d.cursorKey(K::Home, true);
    EXPECT_EQ(d.cursorX(), 17);
    d.cursorKey(K::Home, false);
    EXPECT_EQ(d.cursorX(), 37);
    d.cursorKey(K::PageDown, false);
    EXPECT_EQ(score.CurrentStave, 2);
    d.cursorKey(K::Up, false);
    EXPECT_EQ(score.CurrentStave, 1);
    d.cursorKey(K::PageUp, false);  // nothing before the page's first stave
    EXPECT_EQ(score.CurrentStave, 1);
    d.showPage(1);
    for (int i = 0; i < 8; ++i)
        d.cursorKey(K::Down, false);
    EXPECT_EQ(score.CurrentStave, 6);  // the page's last stave
    d.cursorKey(K::PageDown, true);    // next system: stave 7, on page 2
    EXPECT_EQ(score.CurrentStave, 7);
    EXPECT_EQ(d.page(), 2);
    d.end();
    d.cursorKey(K::PageDown, true);  // wraps to the first system
    EXPECT_EQ(score.CurrentStave, 1);
    EXPECT_EQ(d.page(), 1);
    d.run(Action::LineMode);
    EXPECT_FALSE(d.cursorKey(K::Right, false));
}

TEST_F(Paging, GotoClampsAndWarnsOnlyAtLowLevels) {
    DocumentController& d = *controller;
    host.expectInput("Enter page to go to", std::string("0"));
    host.expectWarning("Page 0 does not exist. Moving to page 1.");
    d.gotoPage();
    EXPECT_EQ(d.page(), 1);
    host.expectInput("Enter page to go to", std::string("999"));
    host.expectWarning("Page 999 does not exist. Moving to page 4.");
    d.gotoPage();
    EXPECT_EQ(d.page(), 4);
    host.expectInput("Enter page to go to", std::string("two"));  // ignored
    d.gotoPage();
    EXPECT_EQ(d.page(), 4);
    host.expectInput("Enter system number to go to", std::string("5"));
    d.gotoSystem();
    EXPECT_EQ(score.CurrentStave, 9);
    EXPECT_EQ(d.page(), 2);
    host.expectInput("Enter stave number to go to", std::string(" 99999999999999999999"));
    host.expectWarning("Stave 99999999999999999999 does not exist. Moving to stave 24.");
    d.gotoStave();
    EXPECT_EQ(score.CurrentStave, 24);
    EXPECT_HOST_CLEAN(host);

    warnings.setUserLevel(3);
    host.expectInput("Enter system number to go to", std::string("-4"));
    d.gotoSystem();  // no warning at level 3
    EXPECT_EQ(score.CurrentStave, 1);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
