// The Music key table, row by row: accidentals, the cycles of the marks,
// bar lines, key signatures, ties, arpeggios, beaming back, Space and Tab,
// and the faults the table must not repeat.
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/Placement.h"
#include "editor/UndoStorage.h"
#include "fileio/ScoreFile.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/EditorFixture.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class MusicKeys : public test::EditorFixture {
  protected:
    // Two joined staves on page 1; `lines` stave lines on the first.
    void Open(int level = 3, int lines = 5) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        for (int i = 0; i < 2; ++i) {
            const int t = AppendStave(s, 100 + 80 * i, 20, w - 5);
            s.stave(t).h.joinToNext = i == 0;
        }
        s.stave(1).h.lineCount = static_cast<uint8_t>(lines);
        OpenScore(s, level, "keys.swn");
    }
    void Keys(std::initializer_list<const char*> keys) {
        for (const char* k : keys)
            d->key(k);
    }
    const ScoreObject& P() const { return *d->pendingObject(); }
    int Count(int s) const { return score.stave(s).count(); }
    const ScoreObject& Obj(int s, int i) const { return score.object(s, i); }
    // The mouse over object i of stave 1.
    void Hover(int i) {
        PointerEvent e;
        e.x = Obj(1, i).x;
        e.y = Obj(1, i).y - 1;
        d->pointer(e);
        ASSERT_EQ(d->focusObject(), i);
    }
    // The values a key gives when pressed again and again.
    template <class F>
    std::vector<int> Cycle(const char* key, int n, F read) {
        std::vector<int> seen;
        for (int i = 0; i < n; ++i) {
            d->key(key);
            seen.push_back(read());
        }
        return seen;
    }
};

using V = std::vector<int>;

// ---------------------------------------------------------------------------
// Accidentals N S V W X #

TEST_F(MusicKeys, AccidentalsReplaceTheNoteAndSpaceStartsTheNoteAgain) {
    Open();
    Keys({"F", "S"});
    ASSERT_EQ(P().kind, kAccidental);
    const int pitch = P().data.accidental.pitch;
    EXPECT_EQ(P().data.accidental.accidental, 1);
    d->key("S");
    EXPECT_EQ(P().data.accidental.accidental, 2) << "S on a sharp";
    Keys({"V", "V"});
    EXPECT_EQ(P().data.accidental.accidental, -2) << "V on a flat";
    d->key("#");
    EXPECT_EQ(P().data.accidental.accidental, -2) << "# leaves a double flat";
    Keys({"V", "#"});
    EXPECT_EQ(P().data.accidental.accidental, 0) << "# on a flat";
    d->key("Space");
    ASSERT_EQ(Count(1), 1);
    EXPECT_EQ(Obj(1, 1).kind, kAccidental);
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(P().kind, kNote);
    EXPECT_EQ(P().note().pitch, pitch);
    EXPECT_GT(P().x, Obj(1, 1).x);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, NoAccidentalOnAOneLineStave) {
    Open(3, 1);
    Keys({"C", "S"});
    EXPECT_EQ(P().kind, kNote);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// The cycles of the marks on a provisional note and on the focus note

TEST_F(MusicKeys, ProvisionalCycles) {
    Open();
    d->key("C");
    auto st = [&] { return int(P().note().staccato); };
    auto em = [&] { return int(P().note().emphasis); };
    auto dots = [&] { return int(P().note().dots); };
    EXPECT_EQ(Cycle("'", 5, st), (V{1, 3, 2, 4, 0}));
    EXPECT_EQ(Cycle("-", 7, em), (V{1, 4, 2, 5, 3, 6, 0}));
    EXPECT_EQ(Cycle("=", 1, em), (V{1}));
    d->key("Esc");
    d->key("C");
    EXPECT_EQ(Cycle(">", 7, em), (V{2, 5, 3, 6, 1, 4, 0}));
    EXPECT_EQ(Cycle(".", 4, dots), (V{1, 2, 3, 0}));
    d->key("Esc");
    Keys({"Ctrl+Q"});
    auto clef = [&] { return int(P().data.clef.type); };
    EXPECT_EQ(Cycle("Ctrl+Q", 4, clef), (V{1, 2, 3, 0}));
    d->key("Esc");
    d->key("/");
    auto bar = [&] { return int(P().data.barline.style); };
    EXPECT_EQ(Cycle("|", 6, bar), (V{1, 2, 3, 4, 5, 0}));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, WithoutThreeDotsOrCClefsTheCyclesAreShort) {
    settings.threeDot = settings.cClef = false;
    Open();
    d->key("C");
    EXPECT_EQ(Cycle(".", 3, [&] { return int(P().note().dots); }), (V{1, 0, 1}));
    d->key("Esc");
    d->key("Ctrl+Q");
    EXPECT_EQ(Cycle("Ctrl+Q", 3, [&] { return int(P().data.clef.type); }), (V{1, 0, 1}));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, MarksOnAChordMemberChangeNothing) {
    Open();
    Keys({"C", "Enter", "E"});
    Keys({"'", "-", ">"});
    EXPECT_EQ(P().note().staccato, 0);
    EXPECT_EQ(P().note().emphasis, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, FocusEditsAreUndoneOneByOne) {
    Open();
    host.expectMessage("Place this key signature in every stave", Answer::No);
    Keys({"C", "Space", "/", "Space", "K", "Space", "~", "Space"});
    ASSERT_EQ(Count(1), 4);
    const int64_t before = undo.written();
    Hover(1);
    EXPECT_EQ(Cycle("'", 5, [&] { return int(Obj(1, 1).note().staccato); }), (V{1, 2, 3, 4, 0}));
    EXPECT_EQ(Cycle(">", 7, [&] { return int(Obj(1, 1).note().emphasis); }),
              (V{1, 2, 3, 4, 5, 6, 0}));
    Keys({"2", "J", "."});
    EXPECT_EQ(Obj(1, 1).note().noteValue, 1);
    EXPECT_EQ(Obj(1, 1).note().stem, 0);
    EXPECT_EQ(Obj(1, 1).note().dots, 1);
    Hover(2);
    d->key("\\");
    EXPECT_EQ(Obj(1, 2).data.barline.style, 1);
    Hover(3);
    Keys({"Shift+K", "Shift+K"});
    EXPECT_EQ(Obj(1, 3).data.keysig.key, 1);
    Hover(4);
    Keys({"~", "Backspace", "Backspace"});
    EXPECT_EQ(Obj(1, 4).data.other.bends, 1) << "never below 1";
    // Every change but the last Backspace (nothing to do) wrote a record.
    EXPECT_EQ(undo.written(), before + 12 + 3 + 1 + 2 + 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, HeadsAndSizes) {
    Open();
    Keys({"C", "%"});
    EXPECT_EQ(P().note().headSize, 5);
    EXPECT_EQ(P().note().noteValue, 4);
    Keys({"%", "Ctrl+X"});
    EXPECT_EQ(P().note().headSize, 0);
    EXPECT_EQ(P().note().head, 1) << "cross head";
    Keys({"Esc", "0"});
    EXPECT_EQ(d->noteTemplate().headSize, 1) << "no provisional: the template's small head";
    Keys({"Ctrl+Q", "0"});
    EXPECT_EQ(P().data.clef.small, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, FocusTiesAndMovesAreRecorded) {
    Open();
    Keys({"G", "Space", "G", "Space"});
    Hover(2);
    const int64_t before = undo.written();
    d->key("Shift+T");
    EXPECT_EQ(Obj(1, 2).note().tieLeft, 1);
    EXPECT_EQ(Obj(1, 1).note().tieRight, 2);
    d->key("Shift+T");
    EXPECT_EQ(Obj(1, 1).note().tieRight, 0) << "again removes it from both notes";
    const int pitch = Obj(1, 2).note().pitch;
    d->key("Down");
    EXPECT_EQ(Obj(1, 2).note().pitch, pitch - 7);
    const int32_t x = Obj(1, 2).x;
    d->key("Ctrl+Right");
    EXPECT_EQ(Obj(1, 2).x, x + 10);
    EXPECT_EQ(undo.written(), before + 4);
    // @ takes the object nearest the cursor.
    d->mouseLeave();
    d->setCursorX(x + 5);
    d->key("@");
    EXPECT_EQ(d->focusObject(), 2);
    d->key("Alt+Left");
    EXPECT_EQ(d->focusObject(), 1) << "the focus steps along its stave";
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Key signatures, ties, arpeggios, beaming back (faults 2, 3 and 5)

TEST_F(MusicKeys, KeySignaturesStayWithinSevenEitherWay) {
    Open();
    for (int i = 0; i < 9; ++i)
        d->key("K");
    EXPECT_EQ(P().data.keysig.key, -7);
    for (int i = 0; i < 16; ++i)
        d->key("Shift+K");
    EXPECT_EQ(P().data.keysig.key, 7);
    EXPECT_EQ(P().data.keysig.naturalsOnChange, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, ATieLinksItsPartnerOnlyOnCompletion) {
    Open();
    Keys({"G", "Space", "G", "Shift+T"});
    EXPECT_EQ(P().note().tieLeft, 1);
    EXPECT_EQ(P().note().tieOver, 1);
    EXPECT_EQ(Obj(1, 1).note().tieRight, 0) << "nothing linked before completion";
    d->key("Esc");
    EXPECT_EQ(Obj(1, 1).note().tieRight, 0);
    Keys({"G", "Shift+T", "T"});
    EXPECT_EQ(P().note().tieOver, 0) << "the other case flips the side";
    d->key("T");
    EXPECT_EQ(P().note().tieLeft, 0) << "the same key again removes it";
    Keys({"U", "Space"});
    EXPECT_EQ(Obj(1, 2).note().tieLeft, 1);
    EXPECT_EQ(Obj(1, 1).note().tieRight, 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, AnArpeggioCountStaysWithinItsBounds) {
    Open();
    d->key("~");
    ASSERT_EQ(P().kind, kOther);
    Keys({"Backspace", "Backspace"});
    EXPECT_EQ(P().data.other.bends, 1) << "the byte does not wrap";
    for (int i = 1; i < 127; ++i)
        d->key("~");
    EXPECT_EQ(P().data.other.bends, 127);
    d->key("~");
    EXPECT_EQ(d->pendingObject(), nullptr) << "a count of 0 is abandoned";
    EXPECT_EQ(Count(1), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, BackspaceBeamsBackOrUnbeams) {
    Open(1);
    Keys({"C", "C"});
    host.expectWarning("There is no previous note with the same stem");
    d->key("Backspace");
    Keys({"Space", "D"});
    d->key("Backspace");
    EXPECT_EQ(P().note().beamBackTo, 1);
    d->key("Backspace");
    EXPECT_EQ(P().note().beamBackTo, 0);
    Keys({"Backspace", "Space"});
    EXPECT_EQ(Obj(1, 1).note().beamOnTo, 2);
    Keys({"4", "E", "Backspace"});
    EXPECT_EQ(P().note().beamBackTo, 0) << "a crotchet is never beamed";
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Press, release and the menu guard; Space, Tab and Undo (fault 1)

TEST_F(MusicKeys, ReleaseRowsWaitAndTheMenuGuardDropsStrayReleases) {
    Open();
    EXPECT_TRUE(d->keyDown("Z")) << "claimed at once";
    EXPECT_EQ(d->pendingObject(), nullptr) << "Z acts on its release";
    d->keyUp("z");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(P().note().rest, 1);
    d->keyDown("Shift+Z");
    d->keyUp("Z");
    EXPECT_EQ(P().note().noteValue, 2) << "the release keeps the press's Shift";
    Keys({"C"});
    d->keyDown("Tab");
    d->menuOpened();
    d->keyUp("Tab");
    EXPECT_EQ(Count(1), 0) << "a release after a menu opened edits nothing";
    EXPECT_FALSE(d->keyUp("Esc"));
    EXPECT_NE(d->pendingObject(), nullptr) << "the Esc that closed a menu keeps the note";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, SpaceAloneStepsUpToTheRightEnd) {
    Open();
    score.Spacing = 3;
    d->key("Space");
    EXPECT_EQ(d->cursorX(), 127);
    const int32_t right = score.stave(1).h.RightX;
    d->setCursorX(right - 10);
    d->key("Space");
    EXPECT_EQ(d->cursorX(), right);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, TabCompletesThenJumps) {
    Open();
    Keys({"C", "Space", "E", "Space"});
    d->setCursorX(100);
    Keys({"G", "Tab"});
    EXPECT_EQ(Count(1), 3);
    EXPECT_EQ(d->cursorX(), 126) << "the E, past the chord just completed";
    d->key("Shift+Tab");
    EXPECT_EQ(d->cursorX(), 100);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MusicKeys, UndoIsRefusedWithAProvisionalObject) {
    Open(1);
    Keys({"C", "Space", "D"});
    host.expectWarning("Finish or abandon the provisional object first.");
    d->key("Ctrl+Z");
    EXPECT_EQ(Count(1), 1);
    d->key("Esc");
    EXPECT_EQ(Count(1), 1) << "Esc leaves the completed note alone";
    EXPECT_HOST_CLEAN(host);
}

// Keys that act where the mouse is, Ctrl alone, Ins and Shift+F5

TEST_F(MusicKeys, PointerKeysTheAddMenuAndRedraw) {
    Open();
    // Shift+F5 lays the stave out again: nothing to save, nothing to undo.
    d->key("Shift+F5");
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(undo.canUndo());
    Keys({"C", "Space", "G", "Space"});
    const ScoreObject& g = Obj(1, 2);
    PointerEvent e;
    e.x = g.x + 6;
    e.y = g.y + 40;  // below the stave, on nothing
    d->pointer(e);
    ASSERT_EQ(d->focusObject(), -1);
    d->key("Ctrl+F8");
    EXPECT_EQ(d->focusObject(), 2) << "the G is nearer than the C";
    EXPECT_EQ(view.pointerX, g.x);
    EXPECT_EQ(view.pointerY, g.y);

    // Ctrl alone changes what the pointer offers before the mouse moves.
    e.x = g.x + 60;
    e.y = score.stave(1).h.Ycoord + 4;
    d->pointer(e);
    ASSERT_EQ(d->ui().cursor, CursorShape::Default);
    EXPECT_TRUE(d->modifiersChanged({.ctrl = true}));
    EXPECT_EQ(d->ui().cursor, CursorShape::MoveStave);
    EXPECT_TRUE(d->modifiers().ctrl);
    EXPECT_TRUE(d->modifiersChanged({}));
    EXPECT_EQ(d->ui().cursor, CursorShape::Default);
    d->key("Shift+Z");
    EXPECT_TRUE(d->modifiers().shift) << "the last key's shift state is kept";
    d->key("Esc");

    // Ins: the Add menu at the mouse, its clef item placing a clef.
    std::string shown;
    dialogs.onPopup = [&](const MenuModel& m) -> std::optional<int> {
        shown = m.name;
        for (std::size_t i = 0; i < m.items.size(); ++i)
            if (PlainCaption(m.items[i].caption) == "Clef...") return static_cast<int>(i);
        return std::nullopt;
    };
    dialogs.onForm = [](AttributeForm&) { return true; };
    d->key("Ins");
    EXPECT_EQ(shown, "Place");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(P().kind, kClef);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
