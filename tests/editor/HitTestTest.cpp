// The object under the mouse: the rectangles of the kinds, the order of the
// scan, lines taken at their ends and middles, the header/footer view, small
// staves; and what the editor makes of it (focus, highlight, pointer).
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "editor/DocumentController.h"
#include "editor/HitTest.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/NullView.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class HitTesting : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int s = 0; s < 3; ++s)
            AppendStave(score, 100 + 100 * s, 17, 700);
        for (int s = 1; s <= 3; ++s)
            score.stave(s).h.PageNum = 1;
        score.pageCount = 1;
        note = PlaceNote(score, 1, 200, 0, 3) - &score.object(1, 0);
        rest = PlaceNote(score, 1, 260, 0, 6) - &score.object(1, 0);
        score.object(1, rest).data.note.rest = 1;
        bar = PlaceObject(score, 1, kBarline, 300, 100, 39) - &score.object(1, 0);
        LineShape shape;
        shape.dx = 100, shape.dy = 40;
        line = PlaceLine(score, 2, 400, 180, shape) - &score.object(2, 0);
        score.fonts[1] = FontDesc{"Serif", 12, 0, 0, 1};
        text = PlaceText(score, 2, kText, 100, 160, 1, "Allegro");
        header = PlaceText(score, 0, kHeadertext, 50, 10, 1, "Title");
    }
    Hit At(int32_t x, int32_t y, int mode = kModeMusic) {
        return HitTestPage(score, 1, mode, x, y, measurer);
    }

    Score score;
    test::FixedMeasurer measurer;
    long note = 0, rest = 0, bar = 0, line = 0;
    int text = 0, header = 0;
};

TEST_F(HitTesting, RectanglesOfTheKinds) {
    EXPECT_EQ(At(200, 100).object, note);
    EXPECT_EQ(At(204, 104).object, note);
    EXPECT_FALSE(At(205, 100).found());         // right edge exclusive
    EXPECT_EQ(At(260, 100 - 16).object, rest);  // a short rest is taller
    EXPECT_EQ(At(302, 100 + 15).object, bar);
    EXPECT_FALSE(At(304, 100).found());
    EXPECT_EQ(At(400 + 104, 180 + 44 - 5).stave, 2);  // the line's far end
    EXPECT_EQ(At(450, 200).object, line);             // its middle
    EXPECT_EQ(At(402, 183).object, line);             // its start
    // Text spans its measured width: 7 letters of 7 pixels.
    EXPECT_EQ(At(148, 170).object, text);
    EXPECT_FALSE(At(149, 170).found());
}

TEST_F(HitTesting, HeaderTextsOnlyInTheirViewAndSmallStavesNever) {
    EXPECT_FALSE(At(60, 15).found());
    EXPECT_EQ(At(60, 15, kModeHead).object, header);
    EXPECT_FALSE(At(60, 15, kModeFoot).found());
    score.stave(1).h.sizeIndex = 1;
    EXPECT_FALSE(At(200, 100).found());
    EXPECT_EQ(StaveAt(score, 1, 100, 212), 2);
    EXPECT_EQ(StaveAt(score, 1, 100, 150), 0);
}

TEST_F(HitTesting, HoverFocusHighlightAndPointer) {
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    test::NullView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    Score own;
    DocumentController d(own, settings, host, warnings, undo, view, services, dialogs, measurer);
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    own = Score(score);  // the test's staves, in the editor's score
    own.CurrentStave = 1;

    EXPECT_TRUE(d.mouseMove(200, 100, false));
    EXPECT_EQ(d.focusObject(), note);
    EXPECT_TRUE(d.objectSelected());
    EXPECT_EQ(d.ui().highlightObject, note);
    EXPECT_EQ(d.ui().cursor, CursorShape::Cursor14);
    EXPECT_FALSE(d.mouseMove(201, 101, false));  // the same object: nothing to redraw
    EXPECT_TRUE(d.mouseMove(600, 150, false));
    EXPECT_EQ(d.ui().highlightObject, -1);
    EXPECT_EQ(d.ui().cursor, CursorShape::Default);

    // With Ctrl: bar lines, staves and the page itself.
    d.mouseMove(301, 100, true);
    EXPECT_EQ(d.ui().cursor, CursorShape::MoveBar);
    d.mouseMove(600, 205, true);
    EXPECT_EQ(d.ui().cursor, CursorShape::MoveStave);
    d.mouseMove(600, 150, true);
    EXPECT_EQ(d.ui().cursor, CursorShape::HandFlat);

    // Locked, nothing can be taken; unlocking shows the object under the mouse.
    d.mouseMove(200, 100, false);
    d.run(Action::ToggleEdit);
    EXPECT_FALSE(d.objectSelected());
    EXPECT_EQ(d.ui().highlightObject, -1);
    EXPECT_EQ(d.ui().action("acToggleEdit").hint, "Enable editing");
    d.run(Action::ToggleEdit);
    EXPECT_TRUE(d.objectSelected());
    EXPECT_EQ(d.ui().highlightObject, note);

    // A provisional object blocks the hit test; leaving the page clears the focus.
    d.setProvisional(true);
    EXPECT_TRUE(d.mouseMove(200, 100, false));
    EXPECT_FALSE(d.objectSelected());
    d.setProvisional(false);
    d.mouseMove(200, 100, false);
    EXPECT_TRUE(d.mouseLeave());
    EXPECT_EQ(d.focusObject(), -1);
    EXPECT_FALSE(d.mouseLeave());
}

}  // namespace
}  // namespace sw
