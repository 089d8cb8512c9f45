// A document opened from a file as the editor opens one, with a scripted
// host, fake dialogs and fixed-metric text, for tests that drive the
// controller as a user does: keys, the mouse and commands.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/ScriptedHost.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/UndoStorage.h"
#include "fileio/ScoreFile.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw::test {

class EditorFixture : public ::testing::Test {
  protected:
    // Saves `s` and opens it at user `level`: stave 1 current, the cursor at x 100.
    void OpenScore(Score& s, int level, const std::string& name = "document.swn") {
        const std::string path = dir.file(name);
        ASSERT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        settings.level = level;
        warnings.setUserLevel(level);
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        ASSERT_TRUE(d->start(DocumentController::Start::File, path, path, false));
        d->setCurrentStave(1);
        d->setCursorX(100);
    }
    PointerResult Mouse(PointerEvent::Kind kind, int x, int y, MouseButton b = MouseButton::Left,
                        bool shift = false, bool ctrl = false) {
        PointerEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = kind == PointerEvent::Move ? MouseButton::None : b;
        e.shift = shift;
        e.ctrl = ctrl;
        return d->pointer(e);
    }
    void Click(int x, int y, bool shift = false, bool ctrl = false,
               MouseButton b = MouseButton::Left) {
        Mouse(PointerEvent::Move, x, y);
        Mouse(PointerEvent::Press, x, y, b, shift, ctrl);
        Mouse(PointerEvent::Release, x, y, b, shift, ctrl);
    }

    TempDir dir;
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    HeadlessView view;
    FakeServices services;
    FakeDialogs dialogs;
    FixedMeasurer measurer;
    std::unique_ptr<DocumentController> d;
};

}  // namespace sw::test
