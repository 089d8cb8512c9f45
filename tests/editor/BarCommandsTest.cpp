// The bar commands driven through the controller: Ctrl+Alt+F5, the
// dialog's renumbering timed by the performance, the Ctrl-drop of a bar
// line; each one Undo step, and no record when nothing changes.
#include <gtest/gtest.h>

#include <sstream>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/UndoStorage.h"
#include "editor/commands/BarCommands.h"
#include "fileio/ScoreFile.h"
#include "layout/Bars.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class BarCommands : public ::testing::Test {
  protected:
    // `systems` systems of two staves, each with three bars of three
    // crotchets; the first system opens in 3/4 and, with `pickup`, with a
    // one-beat bar before them.
    void Open(int systems, bool pickup = false) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        for (int k = 0; k < systems; ++k) {
            const int top = AppendStave(s, 80 + 180 * k, 20, w - 5);
            AppendStave(s, 160 + 180 * k, 20, w - 5);
            s.stave(top).h.joinToNext = true;
            for (int t : {top, top + 1})
                PlaceObject(s, t, kClef, 30, s.stave(t).h.Ycoord, glyph::GCLEF);
            if (k == 0) {
                ScoreObject* sig = PlaceObject(s, top, kTimesig, 60, s.stave(top).h.Ycoord);
                sig->data.timesig.numerator = 3;
                sig->data.timesig.denominator = 4;
            }
            int32_t x = 100;
            if (k == 0 && pickup) {
                PlaceNote(s, top, x, 1, 3, 0);
                PlaceObject(s, top, kBarline, x + 30, s.stave(top).h.Ycoord, glyph::BARLINE);
                x += 40;
            }
            for (int bar = 0; bar < 3; ++bar) {
                for (int beat = 0; beat < 3; ++beat) {
                    PlaceNote(s, top, x + 30 * beat, beat, 3, 0);
                    PlaceNote(s, top + 1, x + 30 * beat, -beat, 3, 1);
                }
                PlaceObject(s, top, kBarline, x + 100, s.stave(top).h.Ycoord, glyph::BARLINE);
                x += 110;
            }
        }
        const std::string path = dir.file("bars.swn");
        ASSERT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        settings.level = 3;
        warnings.setUserLevel(3);
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        ASSERT_TRUE(d->start(DocumentController::Start::File, path, path, false));
        d->setCurrentStave(1);
    }
    // Where every object stands, and every number the commands write.
    std::string Fingerprint() const {
        std::ostringstream out;
        for (int s = 1; s <= score.Nstaves; ++s) {
            const StaveBlock& b = score.stave(s);
            out << b.h.barNumber << '/' << int(b.h.barNumberPlace) << ':';
            for (int i = 1; i <= b.h.Nobjec; ++i)
                out << ' ' << b.obj[i].x << '.' << b.obj[i].data.barline.barNumber << '.'
                    << int(b.obj[i].data.barline.showNumber);
            out << '\n';
        }
        return out.str();
    }
    std::vector<int> BarNumbers(int s) const {
        std::vector<int> n;
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            if (score.object(s, i).kind == kBarline)
                n.push_back(score.object(s, i).data.barline.barNumber);
        return n;
    }
    std::vector<int32_t> Xs(int s) const {
        std::vector<int32_t> xs;
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            xs.push_back(score.object(s, i).x);
        return xs;
    }
    void Mouse(PointerEvent::Kind kind, int x, int y, bool ctrl) {
        PointerEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = kind == PointerEvent::Move ? MouseButton::None : MouseButton::Left;
        e.ctrl = ctrl;
        d->pointer(e);
    }

    test::TempDir dir;
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    HeadlessView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    test::FixedMeasurer measurer;
    std::unique_ptr<DocumentController> d;
};

TEST_F(BarCommands, TheKeyRenumbersTheScoreAsOneStepAndOnlyWhenNumbersChange) {
    Open(2, true);
    const std::string before = Fingerprint();
    EXPECT_EQ(d->numberingFrequency(), 0);
    d->key("Ctrl+Alt+F5");
    EXPECT_EQ(d->numberingFrequency(), 1);
    // The pickup counts as a bar; every number shows but a system's last.
    EXPECT_EQ(BarNumbers(1), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(BarNumbers(3), (std::vector<int>{6, 7, 8}));
    EXPECT_EQ(score.stave(4).h.barNumber, 5);
    const StaveBlock& top = score.stave(1);
    int shown = 0;
    for (int i = 1; i <= top.h.Nobjec; ++i)
        shown += top.obj[i].kind == kBarline && top.obj[i].data.barline.showNumber;
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(d->modified());
    const int records = undo.retrievable();
    // Pressed again it finds nothing to change and writes nothing.
    d->setModified(false);
    d->key("Ctrl+Alt+F5");
    EXPECT_EQ(undo.retrievable(), records);
    EXPECT_FALSE(d->modified());
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BarCommands, RefreshTimesEachSystemAndNumbersAThreeFourPieceThrough) {
    Open(4, true);
    d->setNumberingFrequency(2);
    ASSERT_TRUE(d->refreshBarNumbers(1, false, kNumbersAtBarlines, 2));
    // The pickup continues bar 1; the other systems carry the 3/4 of the
    // first, so their first bars are whole.
    EXPECT_EQ(BarNumbers(1), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(BarNumbers(3), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(BarNumbers(7), (std::vector<int>{11, 12, 13}));
    EXPECT_EQ(score.stave(7).h.barNumber, 10);
    EXPECT_EQ(score.stave(8).h.barNumber, 10);
    EXPECT_EQ(BarNumberAt(score, 8, 400), 12);
    EXPECT_TRUE(FirstBarIncomplete(score, 2, PerformanceTimes(score, host)));
    EXPECT_FALSE(FirstBarIncomplete(score, 8, PerformanceTimes(score, host)));
    for (int i = 1; i <= score.stave(3).h.Nobjec; ++i) {
        const BarlineData& b = score.object(3, i).data.barline;
        if (score.object(3, i).kind == kBarline) {
            EXPECT_EQ(b.showNumber != 0, b.barNumber % 2 == 0);
        }
    }
    const int records = undo.retrievable();
    // The same numbers again: nothing written; a changed setting still
    // marks the score.
    d->setModified(false);
    EXPECT_TRUE(d->refreshBarNumbers(1, true, kNumbersAtBarlines, 2));
    EXPECT_EQ(undo.retrievable(), records);
    EXPECT_TRUE(d->modified());
    // A first number the 16 bits cannot hold is refused.
    host.expectMessage("The first bar number must be a whole number from 1 to 32767.");
    EXPECT_FALSE(d->refreshBarNumbers(40000, false, kNumbersAtBarlines, 2));
    EXPECT_EQ(undo.retrievable(), records);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BarCommands, ACtrlDropRespacesTheSystemInOneStep) {
    Open(2);
    const std::string before = Fingerprint();
    const std::vector<int32_t> below = Xs(2), next = Xs(3);
    // The second bar line of the first system, at 310, dropped 50 left.
    const int32_t y = score.stave(1).h.Ycoord;
    Mouse(PointerEvent::Move, 310, y, true);
    Mouse(PointerEvent::Press, 310, y, true);
    ASSERT_EQ(d->mode(), kModeMovingObject);
    Mouse(PointerEvent::Move, 260, y, true);
    Mouse(PointerEvent::Release, 260, y, true);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(BarList(score, 1).x[2], 260);
    EXPECT_EQ(BarList(score, 1).x[3], 420);
    EXPECT_NE(Xs(2), below);
    EXPECT_EQ(Xs(3), next);
    EXPECT_TRUE(d->modified());
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
