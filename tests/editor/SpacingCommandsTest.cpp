// Justify system, Compress and the neaten commands driven through the
// controller as a user drives them: keys, the mouse in Compressing, the
// "Neaten Stave(s)" dialog, the warnings, refusals that leave no history,
// and one Undo for each command.
#include <gtest/gtest.h>

#include <sstream>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/UndoStorage.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Rounding.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

constexpr int kSemibreve = 1, kMinim = 2, kCrotchet = 3;

class Spacing : public ::testing::Test {
  protected:
    // Systems 1-2 and 3-4 of two bars each, 5 a system of rests only and
    // 6 one with nothing after its clef but a text.
    void Open() {
        Score s;
        width = ComputePageGeometry(s).width;
        auto stave = [&](int y, bool join) {
            const int t = AppendStave(s, y, 20, width - 5);
            s.stave(t).h.joinToNext = join;
            PlaceObject(s, t, kClef, 30, y, glyph::GCLEF);
            return t;
        };
        auto note = [&](int t, int32_t x, int value, bool rest = false) {
            PlaceNote(s, t, x, 0, value)->note().rest = rest;
        };
        for (int y : {80, 300}) {
            const int top = stave(y, true), low = stave(y + 80, false);
            ScoreObject* time = PlaceObject(s, top, kTimesig, 60, y);
            time->data.timesig.numerator = 4;
            time->data.timesig.denominator = 4;
            for (int32_t x : {100, 120})
                note(top, x, kCrotchet);
            note(top, 140, kMinim);
            PlaceObject(s, top, kBarline, 170, y, glyph::BARLINE);
            note(top, 185, kSemibreve);
            PlaceObject(s, top, kBarline, 300, y, glyph::BARLINE);
            note(low, 100, kMinim);
            note(low, 140, kMinim);
            note(low, 230, kSemibreve, true);
        }
        const int rests = stave(520, false);
        note(rests, 100, kSemibreve, true);
        note(rests, 200, kSemibreve, true);
        const int bare = stave(640, false);
        PlaceText(s, bare, kText, 400, 620, 1, "text");
        const std::string path = dir.file("spacing.swn");
        ASSERT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        settings.level = 3;
        warnings.setUserLevel(3);
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        ASSERT_TRUE(d->start(DocumentController::Start::File, path, path, false));
        before = Positions();
    }
    // Every object's x, stave by stave.
    std::string Positions(int from = 1, int to = 0) const {
        std::ostringstream out;
        for (int s = from; s <= (to ? to : score.Nstaves); ++s) {
            out << s << ':';
            for (int i = 1; i <= score.stave(s).count(); ++i)
                out << ' ' << score.object(s, i).x;
            out << '\n';
        }
        return out.str();
    }
    int32_t LastX(int s) const { return score.object(s, score.stave(s).count()).x; }
    void Mouse(PointerEvent::Kind kind, int x, int y) {
        PointerEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = kind == PointerEvent::Move ? MouseButton::None : MouseButton::Left;
        d->pointer(e);
    }
    void Drag(int x1, int x2, int y) {
        Mouse(PointerEvent::Press, x1, y);
        Mouse(PointerEvent::Move, x2, y);
        Mouse(PointerEvent::Release, x2, y);
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
    int width = 0;
    std::string before;
};

TEST_F(Spacing, CtrlJStretchesTheSystemToItsEndAndOneUndoTakesItBack) {
    Open();
    d->setCurrentStave(1);
    d->key("Ctrl+J");
    EXPECT_EQ(LastX(1), width - 5);
    EXPECT_EQ(Positions(3), before.substr(before.find("3:")));
    EXPECT_TRUE(d->modified());
    d->run(Action::Undo);
    EXPECT_EQ(Positions(), before);

    // Nothing after the start of the music: told, and no history.
    d->setCurrentStave(6);
    score.stave(6).h.Nobjec = 1;  // the clef alone
    host.expectMessage("There are no objects beyond the cursor. Justify aborted.");
    d->key("Ctrl+J");
    EXPECT_FALSE(undo.canUndo());
    // A right end past the page picture: done, with the warning.
    score.stave(3).h.RightX = score.stave(4).h.RightX = width + 100;
    d->setCurrentStave(3);
    host.expectMessage(
        "Objects have gone off the paper during this Justify.\nYou may like to Undo");
    d->key("Ctrl+J");
    EXPECT_EQ(LastX(3), width + 100);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Spacing, CompressPushesTheMusicRightWithAHairlineAndOneRecord) {
    Open();
    d->run(Action::Compress);
    EXPECT_EQ(d->mode(), kModeCompressing);
    EXPECT_EQ(d->ui().cursor, CursorShape::Cursor9);
    Mouse(PointerEvent::Press, 90, 80);
    Mouse(PointerEvent::Move, 100, 80);
    ASSERT_TRUE(d->ui().hairline.has_value());
    EXPECT_LT(d->ui().hairline->x, width - 5);
    EXPECT_LT(d->ui().hairline->top, 80);
    EXPECT_GT(d->ui().hairline->bottom, 160);
    // Released past the end: the music closes up against the right end.
    Mouse(PointerEvent::Release, width + 20, 80);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_FALSE(d->ui().hairline.has_value());
    EXPECT_GT(LastX(1), width - 5 - 10);
    EXPECT_GT(score.object(2, 2).x, 100);
    d->run(Action::Undo);
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Spacing, CompressRefusalsLeaveNoHistory) {
    Open();
    auto attempt = [&](int x1, int x2, int y, const char* told) {
        d->run(Action::Compress);
        if (told) host.expectMessage(told);
        Drag(x1, x2, y);
        EXPECT_EQ(d->mode(), kModeMusic) << told;
    };
    // Released where it was pressed: no direction.
    attempt(200, 200, 80, "No objects in that direction to compress!");
    // Only a text beyond the cursor: no ink to compress.
    attempt(200, 220, 640, "Nothing to do!");
    // Left into the clef's room after the left end: no free column.
    attempt(100, 10, 640, "Cannot compress: too little space available");
    // Released short of the anchor: nothing moves, nothing is said.
    attempt(250, 280, 80, nullptr);
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Spacing, WholeScoreNeatenAsksFirstAndIsOneUndo) {
    Open();
    host.expectWarning("You are about to neaten the notes in EVERY system in the piece.",
                       Answer::Cancel);
    d->key("Ctrl+F6");
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(undo.canUndo());

    host.expectWarning("EVERY system in the piece", Answer::OK);
    d->key("Ctrl+F6");
    const std::string neatened = Positions();
    EXPECT_NE(neatened, before);
    // The rests-only system has nothing to time: passed by without a word.
    EXPECT_EQ(Positions(5), before.substr(before.find("5:")));
    // The semibreve rest of the second bar sits in its middle.
    EXPECT_EQ(score.object(2, score.stave(2).count()).x,
              RoundEven((score.object(1, 6).x + score.object(1, 8).x) / 2.0));
    d->run(Action::Undo);
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Spacing, TheDialogChoosesTheScopeAndKeepsTheSpacing) {
    Open();
    d->setCurrentStave(3);
    int opened = -1;
    dialogs.onNeaten = [&](NeatenDialogModel& m) {
        opened = m.spacing();
        m.scope = NeatenScope::System;
        return m.setSpacingText("100");
    };
    d->key("F6");
    EXPECT_EQ(opened, 50);
    EXPECT_EQ(services.neatenFactor, 1000);
    EXPECT_EQ(d->settings().neatenFactor, 1000);
    // Only the current system, equally spaced: 100, 120, 140, 185 stay in
    // order with equal steps between them.
    EXPECT_EQ(Positions(1, 2), before.substr(0, before.find("3:")));
    const int32_t a = score.object(3, 3).x, b = score.object(3, 4).x, c = score.object(3, 5).x;
    EXPECT_NEAR(b - a, c - b, 1);
    EXPECT_GT(b - a, 20);
    // Shift+F6 uses the stored spacing: the system is left as it is now.
    const std::string equal = Positions();
    d->key("Shift+F6");
    EXPECT_EQ(Positions(), equal);
    // A system with nothing to neaten is reported.
    d->setCurrentStave(5);
    host.expectMessage("No notes to neaten on these staves!");
    d->key("Shift+F6");
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
