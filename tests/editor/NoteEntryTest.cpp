// Entering music: the pitch a letter gives under each clef, the note value
// keys, the provisional object kept out of the stave until it is completed,
// completion and abandoning, bar lines going to the top stave, signatures
// offered to the system, the mouse (placing, dragging, deleting) and one Undo
// per command.
#include <gtest/gtest.h>

#include <cstring>
#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/HitTest.h"
#include "editor/Placement.h"
#include "editor/PopupMenus.h"
#include "editor/UndoStorage.h"
#include "editor/commands/EntryCommands.h"
#include "editor/commands/PageCommands.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "support/EditorFixture.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

// ---------------------------------------------------------------------------
// The placement maths

TEST(Placement, LettersGiveThePitchNearestTheLastOne) {
    const int C = NoteLetter('C'), G = NoteLetter('g'), A = NoteLetter('A');
    EXPECT_EQ(PitchFromLetter(C, 0, 0), 1);   // treble: C above the middle B
    EXPECT_EQ(PitchFromLetter(G, 0, 0), -2);  // not 5
    EXPECT_EQ(PitchFromLetter(A, 1, 0), -3);  // bass: 4 - 7
    EXPECT_EQ(PitchFromLetter(C, 2, 0), 0);   // alto: C on the middle line
    EXPECT_EQ(PitchFromLetter(C, 3, 0), 2);   // tenor
    EXPECT_EQ(NoteLetter('H'), NoteLetter('B'));
    EXPECT_EQ(NoteLetter('I'), -1);
    // Far from the middle the octave follows the reference.
    EXPECT_EQ(PitchFromLetter(C, 0, 14), 15);
    EXPECT_EQ(PitchFromLetter(C, 0, -10), -13);
}

TEST(Placement, ValuesCycleBothWays) {
    EXPECT_EQ(ShorterValue(3), 4);
    EXPECT_EQ(ShorterValue(7), 0);
    EXPECT_EQ(LongerValue(0), 7);
    EXPECT_EQ(LongerValue(4), 3);
}

TEST(Placement, TheClefInForceIsTheLastOneAtOrBeforeX) {
    Score score;
    const int s = AppendStave(score, 100, 20, 700);
    EXPECT_EQ(ClefTypeAt(score.stave(s), 300), 0);  // none: treble
    PlaceObject(score, s, kClef, 30, 100, glyph::FCLEF)->data.clef.type = 1;
    PlaceObject(score, s, kClef, 400, 100, glyph::ACLEF)->data.clef.type = 2;
    EXPECT_EQ(ClefTypeAt(score.stave(s), 300), 1);
    EXPECT_EQ(ClefTypeAt(score.stave(s), 400), 2);
    EXPECT_EQ(ClefTypeAt(score.stave(s), 20), 0);
}

TEST(Placement, SpacingWidthRowsAndDots) {
    ScoreObject o;
    NewObjectRecord(o);
    o.kind = kNote;
    o.note().noteValue = 3;  // a crotchet at pulse 3
    o.note().stem = 1;
    EXPECT_EQ(SpacingWidth(o, 3, 3), 26);
    const int w = GlyphInkWidth(NoteGlyph(o.note()));
    o.note().noteValue = 2;  // longer than the pulse
    EXPECT_EQ(SpacingWidth(o, 3, 3), 52 - GlyphInkWidth(NoteGlyph(o.note())));
    o.note().noteValue = 4;  // shorter
    const int wq = GlyphInkWidth(NoteGlyph(o.note()));
    EXPECT_EQ(SpacingWidth(o, 3, 1), (wq + 15) / 2 - 1);
    o.note().noteValue = 3;
    o.note().dots = 1;
    EXPECT_EQ(SpacingWidth(o, 3, 3), 35);  // 26 x 1.35 = 35.1
    o.note().dots = 2;
    EXPECT_EQ(SpacingWidth(o, 3, 2), 32);  // 19 x 1.7 = 32.3
    o.note().dots = 3;
    EXPECT_EQ(SpacingWidth(o, 3, 5), 97);  // 51 x 1.9 = 96.9
    (void)w;

    ScoreObject k;
    NewObjectRecord(k);
    k.kind = kKeysig;
    k.data.keysig.key = -3;
    EXPECT_EQ(SpacingWidth(k, 3, 3), 24 + 14);
    ScoreObject b;
    NewObjectRecord(b);
    b.kind = kBarline;
    b.glyph = glyph::BARLINE;
    EXPECT_EQ(SpacingWidth(b, 3, 4), 20);
    b.kind = kTimesig;
    b.glyph = glyph::COMMON;
    EXPECT_EQ(SpacingWidth(b, 3, 1), 11);
    b.kind = kClef;
    b.glyph = glyph::GCLEF;
    EXPECT_EQ(SpacingWidth(b, 3, 3), 24);
    b.glyph = glyph::GCLEF + 4;  // small
    EXPECT_EQ(SpacingWidth(b, 3, 3), 20);
    b.kind = kSymbol;
    b.glyph = 150;
    EXPECT_EQ(SpacingWidth(b, 3, 5), 60);
    EXPECT_EQ(PlainSpacingStep(3), 27);
}

TEST(Placement, NearestStaveAndTheStaveBand) {
    Score score;
    for (int i = 0; i < 3; ++i)
        score.stave(AppendStave(score, 100 + 80 * i, 20 + 100 * (i == 2), 600)).h.PageNum = 1;
    score.pageCount = 1;
    EXPECT_EQ(NearestStave(score, 1, 50, 150), 2);   // 30 from stave 2, 50 from stave 1
    EXPECT_EQ(NearestStave(score, 1, 50, 140), 1);   // a tie: the first
    EXPECT_EQ(NearestStave(score, 1, 50, 260), 2);   // stave 3 starts right of x
    EXPECT_EQ(NearestStave(score, 1, 10, 260), 1);   // none qualifies: the first
    EXPECT_EQ(NearestStave(score, 1, 650, 185), 2);  // 5 + 50 past the end beats 75
    EXPECT_EQ(StaveAt(score, 1, 300, 116), 1);
    EXPECT_EQ(StaveAt(score, 1, 300, 117), 0);
    EXPECT_EQ(StaveAt(score, 1, 610, 100), 0);  // beyond the right end
    EXPECT_EQ(StaveAt(score, 1, 50, 260), 0);   // left of stave 3
    score.stave(2).h.sizeIndex = 1;
    EXPECT_EQ(StaveAt(score, 1, 300, 190), 2);
    EXPECT_EQ(StaveAt(score, 1, 300, 191), 0);
}

TEST(Placement, NoteGlyphFollowsValueStemAndHead) {
    NoteData n{};
    n.noteValue = 3;
    n.stem = 0;
    EXPECT_EQ(NoteGlyph(n), 26);  // 4U
    n.stem = 1;
    EXPECT_EQ(NoteGlyph(n), 27);  // 4D
    n.stem = 3;
    n.pitch = -2;
    EXPECT_EQ(NoteGlyph(n), 26);  // automatic: up below the middle
    n.noteValue = 0;
    EXPECT_EQ(NoteGlyph(n), glyph::BREVE);
    n.noteValue = 5;
    n.stem = 2;
    EXPECT_EQ(NoteGlyph(n), glyph::NOTEHEAD_BLACK);
    n.rest = 1;
    EXPECT_EQ(NoteGlyph(n), 54);
}

// ---------------------------------------------------------------------------
// The controller

class Entry : public test::EditorFixture {
  protected:
    // A system of two empty staves and a third stave, all on page 1.
    void Open(int level = 3, int staves = 2) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        for (int i = 0; i < staves; ++i) {
            const int t = AppendStave(s, 100 + 80 * i, 20, w - 5);
            s.stave(t).h.joinToNext = i + 1 < staves;
        }
        AppendStave(s, 100 + 80 * staves + 40, 20, w - 5);
        OpenScore(s, level, "entry.swn");
    }
    int Count(int s) const { return score.stave(s).count(); }
    const ScoreObject& Last(int s) const { return score.object(s, score.stave(s).count()); }
    void Keys(std::initializer_list<const char*> keys) {
        for (const char* k : keys)
            d->key(k);
    }
    void Undo() {
        if (settings.level <= 2)
            host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
        d->run(Action::Undo);
    }
    // A right click whose menu answers with the item `choose` (none for "").
    std::optional<Action> Right(int x, int y, const std::string& choose,
                                MenuModel* shown = nullptr) {
        dialogs.onPopup = [&](const MenuModel& m) -> std::optional<int> {
            if (shown) *shown = m;
            for (std::size_t k = 0; k < m.items.size(); ++k)
                if (m.items[k].caption == choose) return static_cast<int>(k);
            return std::nullopt;
        };
        Mouse(PointerEvent::Move, x, y);
        PointerEvent e;
        e.kind = PointerEvent::Press;
        e.x = x;
        e.y = y;
        e.button = MouseButton::Right;
        return d->pointer(e).windowAction;
    }
    // The commands on their own, beside the controller.
    EditContext Context() { return {score, undo, host, warnings, cx, modified, dirty}; }

    int32_t cx = 0;
    bool modified = false;
    DirtyStaves dirty;
};

TEST_F(Entry, ALetterStartsAProvisionalNoteOutsideTheStave) {
    Open();
    d->key("C");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_TRUE(d->provisionalActive());
    EXPECT_EQ(Count(1), 0) << "no slot is taken before completion";
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(undo.canUndo());
    const ScoreObject& p = *d->pendingObject();
    EXPECT_EQ(p.note().pitch, 1);
    EXPECT_EQ(p.note().noteValue, 3);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, score.stave(1).h.Ycoord - 4);
    EXPECT_NE(p.note().headX, 0) << "laid out for drawing";

    // The same letter again: one value shorter; Shift: longer.
    d->key("C");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    d->key("C");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 5);
    d->key("Shift+C");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    // Another letter changes the pitch only.
    d->key("G");
    EXPECT_EQ(d->pendingObject()->note().pitch, -2);
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    // The digits set the template and the note at once.
    d->key("8");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 7);
    d->key("G");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 0) << "7 wraps to 0";
    d->key("Shift+G");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 7) << "0 wraps to 7";
    EXPECT_EQ(d->noteTemplate().noteValue, 7);
    EXPECT_EQ(d->noteTemplate().stem, 3) << "the template keeps its automatic stem";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, SpaceCompletesAndMovesOnEnterOnlyCompletes) {
    Open();
    Keys({"C", "C"});  // a quaver
    d->key("Space");
    ASSERT_EQ(Count(1), 1);
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_FALSE(d->provisionalActive());
    const ScoreObject& q = Last(1);
    EXPECT_EQ(q.kind, kNote);
    EXPECT_EQ(q.note().noteValue, 4);
    EXPECT_EQ(q.note().stem, 1) << "the automatic stem is resolved in the score";
    EXPECT_EQ(q.glyph, NoteGlyph(q.note()));
    EXPECT_EQ(score.stave(1).h.lastPitch, 1);
    EXPECT_EQ(d->cursorX(), 100 + SpacingWidth(q, score.Pulse, score.Spacing));
    EXPECT_TRUE(d->modified());
    // The new note takes the value of the last one entered.
    d->key("D");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    EXPECT_EQ(d->pendingObject()->note().pitch, 2);
    const int32_t x = d->cursorX();
    d->key("Enter");
    EXPECT_EQ(Count(1), 2);
    EXPECT_EQ(d->cursorX(), x);
    // Space with nothing in hand moves the cursor by the plain step.
    d->key("Space");
    EXPECT_EQ(d->cursorX(), x + PlainSpacingStep(score.Spacing));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, EachCompletionIsOneUndoStep) {
    Open(1);
    Keys({"C", "Space", "E", "Space", "G", "Space"});
    ASSERT_EQ(Count(1), 3);
    for (int left = 2; left >= 0; --left) {
        Undo();
        EXPECT_EQ(Count(1), left);
    }
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, EscAbandonsAndLeavesTheStaveAsItWas) {
    Open();
    Keys({"C", "Space"});
    ASSERT_EQ(Count(1), 1);
    const ScoreObject before = Last(1);
    // A chord member, then abandoned: the note already there keeps its links and value.
    d->setCursorX(100);
    d->key("E");
    EXPECT_EQ(d->pendingObject()->note().noteValue, before.note().noteValue);
    d->key("Esc");
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_FALSE(d->provisionalActive());
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(std::memcmp(&Last(1), &before, sizeof before), 0);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(d->cursorShown());
    // Esc with nothing provisional does nothing to the score.
    d->key("Esc");
    EXPECT_EQ(Count(1), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, ChordsTakeTheChordsValueAndAnOctaveBump) {
    Open();
    Keys({"E", "E", "Enter"});  // a quaver E at 100, in the top space
    ASSERT_EQ(Count(1), 1);
    ASSERT_EQ(Last(1).note().pitch, 3);
    ASSERT_EQ(Last(1).note().stem, 1);
    // Another note at the same x joins the chord and takes its value and stem.
    d->key("G");
    EXPECT_EQ(d->pendingObject()->note().pitch, 5);
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    EXPECT_EQ(d->pendingObject()->note().stem, 1);
    d->key("Esc");
    // E again: the chord has its E, so the E an octave up (stem down)…
    d->key("E");
    EXPECT_EQ(d->pendingObject()->note().pitch, 3 + 7);
    d->key("Esc");
    // …or down (stem up).
    score.object(1, 1).note().stem = 0;
    d->key("E");
    EXPECT_EQ(d->pendingObject()->note().pitch, 3 - 7);
    d->key("Esc");
    // A voice of its own (stem down chosen) is no chord with stem-up notes.
    score.object(1, 1).note().stem = 0;
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, CompletingAChordMemberSetsTheChordsValue) {
    Open();
    d->key("J");  // not a note letter: nothing
    EXPECT_EQ(d->pendingObject(), nullptr);
    Keys({"C", "Enter"});
    d->key("E");
    d->key("E");  // same letter: no shortening with a chord note at x
    EXPECT_EQ(d->pendingObject()->note().noteValue, 3);
    d->key("2");
    d->key("Enter");
    EXPECT_EQ(score.object(1, 1).note().noteValue, 1) << "the chord follows the new note";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, RestsAndOctaveMoves) {
    Open(1);
    d->key("Z");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(d->pendingObject()->note().rest, 1);
    EXPECT_EQ(d->pendingObject()->note().noteValue, 3);
    d->key("Z");
    EXPECT_EQ(d->pendingObject()->note().noteValue, 4);
    d->key("Up");
    EXPECT_EQ(d->pendingObject()->note().pitch, 2) << "a rest moves a line space";
    d->key("C");  // a rest becomes a note
    EXPECT_EQ(d->pendingObject()->note().rest, 0);
    const int p = d->pendingObject()->note().pitch;
    d->key("Up");
    EXPECT_EQ(d->pendingObject()->note().pitch, p + 7);
    d->key("Down");
    d->key("Down");
    EXPECT_EQ(d->pendingObject()->note().pitch, p - 7);
    // Up off the top of the paper is refused.
    for (int i = 0; i < 4; ++i)
        d->key("Up");
    const int top = d->pendingObject()->note().pitch;
    host.expectWarning("This would take the note off the paper.");
    d->key("Up");
    EXPECT_EQ(d->pendingObject()->note().pitch, top);
    // Left and Right carry the object and the cursor.
    d->key("Right");
    d->key("Ctrl+Right");
    EXPECT_EQ(d->pendingObject()->x, 111);
    EXPECT_EQ(d->cursorX(), 111);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, ARestIsStoredAsReadingTheFileBackWouldHaveIt) {
    Open();
    d->key("Z");
    d->key("Space");
    ASSERT_EQ(Count(1), 1);
    EXPECT_EQ(Last(1).note().rest, 1);
    EXPECT_EQ(Last(1).note().stem, 1) << "its automatic stem resolved, as loading resolves it";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, ABarLineTypedOnTheSecondStaveGoesToTheTopStave) {
    Open(1);
    d->setCurrentStave(2);
    d->key("/");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(d->pendingObject()->data.barline.style, 0);
    d->key("/");
    EXPECT_EQ(d->pendingObject()->data.barline.style, 1);
    d->key("Enter");
    EXPECT_EQ(Count(2), 0);
    ASSERT_EQ(Count(1), 1);
    EXPECT_EQ(Last(1).kind, kBarline);
    EXPECT_EQ(Last(1).y, score.stave(1).h.Ycoord) << "where the mouse finds it";
    // The record is of the top stave: Undo takes the bar line away.
    Undo();
    EXPECT_EQ(Count(1), 0);
    EXPECT_EQ(Count(2), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, AFullStaveRefusesANewObjectAtTheStart) {
    Open();
    for (int i = 0; i < kObjectLimit; ++i)
        PlaceNote(score, 1, 30 + i, 0, 3);
    host.expectMessage("Stave too complex to add this object");
    d->key("C");
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_EQ(Count(1), kObjectLimit);
    // A bar line from stave 2 into the full top stave stays provisional.
    d->setCurrentStave(2);
    d->key("/");
    host.expectMessage("Unable to save the barline.");
    d->key("Enter");
    EXPECT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(Count(1), kObjectLimit);
    EXPECT_FALSE(undo.canUndo());
    d->key("Esc");
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, MovingToAnotherPageCompletesTheObjectFirst) {
    Open();
    d->key("C");
    d->run(Action::Top);  // already at the top: still completes
    d->key("PgDown");
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(score.CurrentStave, 2);
    // Esc afterwards removes nothing of any stave.
    d->key("Esc");
    EXPECT_EQ(Count(1), 1);
    // Preview completes it too; other modes are refused while it exists.
    d->key("D");
    d->run(Action::Preview);
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_EQ(Count(2), 1);
    d->run(Action::Preview);
    EXPECT_EQ(d->mode(), kModeMusic);
    d->key("E");
    d->run(Action::LineMode);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_NE(d->pendingObject(), nullptr);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, SignaturesAreOfferedToTheSystemAsOneStep) {
    Open(1, 3);
    // A time signature on stave 2: asked first, one record for the system.
    ScoreObject t;
    NewObjectRecord(t);
    t.kind = kTimesig;
    t.x = 60;
    t.y = score.stave(2).h.Ycoord;
    t.data.timesig = TimesigData{3, 4, 0, 0};
    PlaceObject(score, 3, kTimesig, 65, score.stave(3).h.Ycoord);  // one already near
    host.expectMessage("Place this time signature in every stave of the system?", Answer::Yes);
    host.expectMessage("Stave 3 already contains a time signature");
    EditContext ctx = Context();
    ASSERT_TRUE(PlaceObjectOnStave(ctx, 2, t).ok());
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(Count(2), 1);
    EXPECT_EQ(Count(3), 1);
    EXPECT_EQ(Last(1).y, score.stave(1).h.Ycoord);
    host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
    UndoLastCommand(ctx, true);
    EXPECT_EQ(Count(1), 0);
    EXPECT_EQ(Count(2), 0);
    EXPECT_EQ(Count(3), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, AClickPlacesTheCursorOrMovesTheObjectInHand) {
    Open();
    const int32_t y2 = score.stave(2).h.Ycoord;
    Click(300, y2 + 3);
    EXPECT_EQ(score.CurrentStave, 2);
    EXPECT_EQ(d->cursorX(), 300);
    EXPECT_TRUE(d->cursorShown());
    d->key("C");
    // With a provisional object a click moves it and keeps it on its stave.
    Click(350, score.stave(1).h.Ycoord);
    EXPECT_EQ(d->pendingObject()->x, 350);
    EXPECT_EQ(d->pendingStave(), 2);
    // A double click completes it.
    Mouse(PointerEvent::DoubleClick, 350, y2);
    EXPECT_EQ(d->pendingObject(), nullptr);
    EXPECT_EQ(Count(2), 1);
    EXPECT_EQ(Last(2).x, 350);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, DraggingMovesByKindAndWritesOneRecord) {
    Open(3, 3);
    const int32_t y1 = score.stave(1).h.Ycoord;
    ScoreObject* bar = PlaceObject(score, 1, kBarline, 200, y1, glyph::BARLINE);
    ASSERT_NE(bar, nullptr);
    const int text = PlaceText(score, 1, kText, 400, y1 - 30, 1, "Allegro");
    ASSERT_GT(text, 0);
    auto drag = [&](int x1, int y1_, int x2, int y2, bool shift = false) {
        Mouse(PointerEvent::Move, x1, y1_);
        Mouse(PointerEvent::Press, x1, y1_);
        EXPECT_EQ(d->mode(), kModeMovingObject);
        Mouse(PointerEvent::Move, x2, y2, MouseButton::None, shift);
        Mouse(PointerEvent::Release, x2, y2, MouseButton::Left, shift);
        EXPECT_EQ(d->mode(), kModeMusic);
    };
    // A bar line moves across only.
    drag(200, y1, 230, y1 + 9);
    EXPECT_EQ(score.object(1, 1).x, 230);
    EXPECT_EQ(score.object(1, 1).y, y1);
    EXPECT_TRUE(d->modified());
    // A text moves both ways; with Shift across only.
    drag(402, y1 - 28, 412, y1 - 23);
    EXPECT_EQ(score.object(1, text).x, 410);
    EXPECT_EQ(score.object(1, text).y, y1 - 25);
    drag(412, y1 - 23, 432, y1 - 10, true);
    EXPECT_EQ(score.object(1, text).x, 430);
    EXPECT_EQ(score.object(1, text).y, y1 - 25);
    // Each drag is one Undo.
    Undo();
    EXPECT_EQ(score.object(1, text).x, 410);
    Undo();
    EXPECT_EQ(score.object(1, text).x, 400);
    Undo();
    EXPECT_EQ(score.object(1, 1).x, 200);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, AClickThatMovesNothingWritesNothing) {
    Open();
    PlaceObject(score, 1, kBarline, 200, score.stave(1).h.Ycoord, glyph::BARLINE);
    Click(200, score.stave(1).h.Ycoord);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, ALineDraggedWithShiftKeepsToOneAxisAndNotesStayOnTheirStave) {
    Open(3);
    const int32_t y1 = score.stave(1).h.Ycoord;
    LineShape shape;
    shape.dx = 50;
    PlaceLine(score, 1, 300, y1 - 40, shape);
    Mouse(PointerEvent::Move, 300, y1 - 40);
    // Shift is held once the object is taken (Shift on the press selects).
    Mouse(PointerEvent::Press, 300, y1 - 40);
    Mouse(PointerEvent::Move, 303, y1 - 30, MouseButton::None, true);
    Mouse(PointerEvent::Release, 303, y1 - 30, MouseButton::Left, true);
    EXPECT_EQ(score.object(1, 1).x, 300);
    EXPECT_EQ(score.object(1, 1).y, y1 - 30);
    // An unbeamed note keeps the mouse within the stave's ends.
    PlaceNote(score, 1, 100, 0, 3);
    const int note = Count(1);
    const int32_t left = score.stave(1).h.LeftX;
    ValidateNotesAt(score, 1, 100, false);
    const int32_t hx = score.object(1, note).note().headX;
    Mouse(PointerEvent::Move, hx, y1);
    Mouse(PointerEvent::Press, hx, y1);
    Mouse(PointerEvent::Move, 0, y1 + 50);
    Mouse(PointerEvent::Release, 0, y1 + 50);
    int at = 0;
    for (int i = 1; i <= Count(1); ++i)
        if (score.object(1, i).kind == kNote) at = i;
    ASSERT_GT(at, 0);
    EXPECT_EQ(score.object(1, at).x, 100 - (hx - left));
    EXPECT_EQ(score.object(1, at).y, y1) << "a note keeps its pitch";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, DelDeletesTheObjectUnderTheMouseWithWhatHangsOnIt) {
    Open();
    const int32_t y1 = score.stave(1).h.Ycoord;
    // Three beamed quavers; the middle one deleted leaves the others unbeamed.
    for (int i = 0; i < 3; ++i)
        PlaceNote(score, 1, 100 + 30 * i, 0, 4, 1);
    score.object(1, 1).note().beamOnTo = 2;
    score.object(1, 2).note().beamBackTo = 1;
    score.object(1, 2).note().beamOnTo = 3;
    score.object(1, 3).note().beamBackTo = 2;
    const int text = PlaceText(score, 1, kText, 400, y1 - 30, 1, "A text of three chunks");
    LayOutStaveGeometry(score, 1);
    const int32_t hx = score.object(1, 2).note().headX;
    Mouse(PointerEvent::Move, hx, y1);
    ASSERT_EQ(d->focusObject(), 2);
    d->key("Del");
    ASSERT_EQ(Count(1), 2 + 3);
    EXPECT_EQ(score.object(1, 1).note().beamOnTo, 0);
    EXPECT_EQ(score.object(1, 2).note().beamBackTo, 0);
    EXPECT_EQ(score.object(1, 2).x, 160);
    // A text goes with its further chunks.
    Mouse(PointerEvent::Move, 402, y1 - 28);
    ASSERT_EQ(d->focusObject(), text - 1);
    d->key("Del");
    EXPECT_EQ(Count(1), 2);
    Undo();
    EXPECT_EQ(Count(1), 5);
    Undo();
    EXPECT_EQ(Count(1), 6);
    EXPECT_EQ(score.object(1, 2).note().beamOnTo, 3);
    // Nothing under the mouse: Del does nothing.
    Mouse(PointerEvent::Move, 700, y1 + 60);
    d->key("Del");
    EXPECT_EQ(Count(1), 6);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// The right-button menus

const MenuItem* Item(const MenuModel& m, const std::string& caption) {
    for (const MenuItem& i : m.items)
        if (i.caption == caption) return &i;
    return nullptr;
}

TEST_F(Entry, MenusShowTheObjectsValuesAndEachItemIsOneStep) {
    Open();
    const int32_t y1 = score.stave(1).h.Ycoord;
    PlaceObject(score, 1, kBarline, 200, y1, glyph::BARLINE);
    MenuModel shown;
    Right(200, y1, "Repeat end", &shown);
    EXPECT_EQ(shown.name, "pumbarline");
    ASSERT_NE(Item(shown, "Normal"), nullptr);
    EXPECT_TRUE(Item(shown, "Normal")->checked);
    EXPECT_EQ(score.object(1, 1).data.barline.style, 3);
    Right(200, y1, "Repeat end", &shown);
    EXPECT_TRUE(Item(shown, "Repeat end")->checked);
    EXPECT_FALSE(Item(shown, "Normal")->checked);
    // An arrow toggled is an edit like any other: recorded and modified.
    ScoreObject* other = PlaceObject(score, 1, kOther, 300, y1, 0);
    other->data.other.bends = 2;
    Right(300, y1 - 4, "Up arrow", &shown);
    EXPECT_EQ(shown.name, "pumtwiddly");
    EXPECT_TRUE(Item(shown, "Properties")->enabled) << "the arpeggio's dialog";
    EXPECT_EQ(score.object(1, 2).data.other.upArrow, 1);
    EXPECT_TRUE(d->modified());
    Undo();
    EXPECT_EQ(score.object(1, 2).data.other.upArrow, 0);
    EXPECT_EQ(score.object(1, 1).data.barline.style, 3);
    Undo();
    EXPECT_EQ(score.object(1, 1).data.barline.style, 0);
    EXPECT_FALSE(undo.canUndo()) << "the same style again wrote nothing";
    // The note's stem and beam commands; Delete through the same command as Del.
    PlaceNote(score, 1, 400, 0, 3, 0);
    LayOutStaveGeometry(score, 1);
    const int note = Count(1);
    const int32_t hx = score.object(1, note).note().headX;
    Right(hx, y1, "Reverse Stem", &shown);
    EXPECT_EQ(shown.name, "pumNote");
    EXPECT_TRUE(Item(shown, "Reverse Stem")->enabled);
    EXPECT_EQ(score.object(1, note).note().stem, 1);
    Right(hx, y1, "Delete note");
    EXPECT_EQ(Count(1), note - 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, BoldReachesEveryChunkOfTheText) {
    Open();
    const int32_t y1 = score.stave(1).h.Ycoord;
    const int text = PlaceText(score, 1, kText, 400, y1 - 30, 1, "A text of three chunks");
    LayOutStaveGeometry(score, 1);
    MenuModel shown;
    Right(402, y1 - 28, "Bold", &shown);
    EXPECT_EQ(shown.name, "pumtext");
    EXPECT_FALSE(Item(shown, "Bold")->checked);
    for (int j = text; j <= Count(1); ++j)
        EXPECT_TRUE(score.fonts[score.object(1, j).text().fontNumber].style & kBold) << j;
    Right(402, y1 - 28, "", &shown);
    EXPECT_TRUE(Item(shown, "Bold")->checked);
    Undo();
    EXPECT_EQ(score.object(1, text).text().fontNumber, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Entry, StavesAndThePageHaveTheirOwnMenus) {
    Open();
    MenuModel shown;
    EXPECT_FALSE(Right(600, score.stave(2).h.Ycoord, "", &shown));
    EXPECT_EQ(shown.name, "pumstave");
    EXPECT_EQ(score.CurrentStave, 2);
    EXPECT_EQ(Right(600, 5, "Print", &shown), Action::Print) << "the window prints";
    EXPECT_EQ(shown.name, "pumpage");
    EXPECT_TRUE(Item(shown, "Neaten whole score")->enabled);
    ASSERT_NE(Item(shown, "Global options"), nullptr);
    EXPECT_TRUE(Item(shown, "Global options")->enabled);
    EXPECT_EQ(Item(shown, "Global options")->action, Action::Options);
    EXPECT_EQ(Item(shown, "Playback")->action, Action::Play);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST(PopupMenus, ItemsKeepShapesCentredAndCurvesWhole) {
    Score score;
    const int s = AppendStave(score, 100, 20, 700);
    ScoreObject* c = PlaceObject(score, s, kDrawobject, 100, 60, 0);
    c->data.drawobject.radiusOrWidth = 10;
    StaveBlock& b = score.stave(s);
    ASSERT_TRUE(ApplyMenuCommand(b, 1, MenuCommand::Shape, 2));
    EXPECT_EQ(b.obj[1].x, 90);
    EXPECT_EQ(b.obj[1].y, 50);
    EXPECT_EQ(int{b.obj[1].data.drawobject.height}, 20);
    ASSERT_TRUE(ApplyMenuCommand(b, 1, MenuCommand::Shape, 0));
    EXPECT_EQ(b.obj[1].x, 100);
    EXPECT_EQ(int{b.obj[1].data.drawobject.radiusOrWidth}, 10);
    EXPECT_FALSE(ApplyMenuCommand(b, 1, MenuCommand::Shape, 0));
    ASSERT_TRUE(ApplyMenuCommand(b, 1, MenuCommand::ShapeWhite, 1));
    EXPECT_EQ(int{b.obj[1].data.drawobject.filled}, 1);
    // A curve's thickness reaches every anchor, from whichever one.
    const int first = PlaceCurve(score, s, {{200, 50}, {230, 40}, {260, 50}}, 2);
    ASSERT_TRUE(ApplyMenuCommand(b, first + 1, MenuCommand::CurveThickness, 4));
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(int{b.obj[first + k].data.curve.thickness}, 4);
    // A clef's glyph follows its type and size.
    PlaceObject(score, s, kClef, 30, 100, glyph::GCLEF);
    ASSERT_TRUE(ApplyMenuCommand(b, b.count(), MenuCommand::ClefType, 1));
    EXPECT_EQ(b.obj[b.count()].glyph, glyph::FCLEF);
    EXPECT_FALSE(ApplyMenuCommand(b, b.count(), MenuCommand::KeyValue, 1)) << "not a key";
}

// ---------------------------------------------------------------------------
// The Add menu's clef, key and time signature

TEST_F(Entry, CtrlCKAndTPlaceThroughTheirDialogs) {
    Open(3, 1);
    // The dialogs' controls by position: Type, Size, Octave for the clef.
    dialogs.onForm = [](AttributeForm& f) {
        EXPECT_EQ(f.control(0).value, 0) << "treble";
        f.choose(0, 1);
        f.choose(2, 1);
        return true;
    };
    d->key("Ctrl+C");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(d->pendingObject()->glyph, glyph::FCLEF);
    EXPECT_EQ(d->pendingObject()->data.clef.octaveDown, 1);
    d->key("Space");
    // Cancel leaves the new key signature in hand as it started: one sharp.
    dialogs.onForm = nullptr;
    d->key("Ctrl+K");
    ASSERT_NE(d->pendingObject(), nullptr);
    EXPECT_EQ(d->pendingObject()->data.keysig.key, 1);
    dialogs.onForm = [this](AttributeForm& f) {
        auto& k = static_cast<KeySignatureDialog&>(f);
        EXPECT_EQ(k.keyName(), "D major/B minor") << "again: the next value";
        f.choose(k.type, 0);
        f.choose(k.number, 3);
        return f.accept(host);
    };
    d->key("Ctrl+K");
    EXPECT_EQ(d->pendingObject()->data.keysig.key, -3);
    d->key("Space");
    dialogs.onForm = [](AttributeForm& f) {
        auto& t = static_cast<TimeSignatureDialog&>(f);
        EXPECT_EQ(f.control(t.quick).value, 2) << "4/4";
        f.choose(t.type, TimeSignatureDialog::Cut);
        return true;
    };
    d->key("Ctrl+T");
    d->key("Enter");
    ASSERT_EQ(Count(1), 3);
    EXPECT_EQ(score.object(1, 1).kind, kClef);
    EXPECT_EQ(score.object(1, 2).data.keysig.key, -3);
    EXPECT_EQ(score.object(1, 3).data.timesig.sign, 2);
    EXPECT_EQ(score.object(1, 3).data.timesig.numerator, 4);
    Undo();
    EXPECT_EQ(Count(1), 2);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Staves moved with Ctrl, and drags on another stave

TEST_F(Entry, CtrlDragMovesTheStaveAndThoseBelowAsOneStep) {
    Open(3);
    const int32_t y1 = score.stave(1).h.Ycoord, y2 = score.stave(2).h.Ycoord,
                  y3 = score.stave(3).h.Ycoord;
    Mouse(PointerEvent::Move, 600, y2);
    Mouse(PointerEvent::Press, 600, y2, MouseButton::Left, false, true);
    EXPECT_EQ(d->mode(), kModeMovestave);
    Mouse(PointerEvent::Move, 600, y2 + 30);
    Mouse(PointerEvent::Release, 600, y2 + 30, MouseButton::Left, false, true);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(score.stave(1).h.Ycoord, y1);
    EXPECT_EQ(score.stave(2).h.Ycoord, y2 + 30);
    EXPECT_EQ(score.stave(3).h.Ycoord, y3 + 30);
    Undo();
    EXPECT_EQ(score.stave(2).h.Ycoord, y2);
    EXPECT_EQ(score.stave(3).h.Ycoord, y3);
    EXPECT_FALSE(undo.canUndo()) << "one step";
    // A drag on a stave that is not the current one leaves it in order.
    PlaceNote(score, 2, 100, 0, 3, 0);
    PlaceNote(score, 2, 200, 0, 3, 0);
    LayOutStaveGeometry(score, 2);
    d->setCurrentStave(1);
    const int32_t hx = score.object(2, 1).note().headX;
    Mouse(PointerEvent::Move, hx, y2);
    Mouse(PointerEvent::Press, hx, y2);
    Mouse(PointerEvent::Move, hx + 200, y2);
    Mouse(PointerEvent::Release, hx + 200, y2);
    EXPECT_EQ(score.object(2, 1).x, 200);
    EXPECT_EQ(score.object(2, 2).x, 300);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
