// The keys of Music as one table: which key, in which case, under which
// condition, runs which command. MusicMode asks the table before anything else.
#pragma once

#include <string>

namespace sw {

class DocumentController;
struct MusicKey;
struct ScoreObject;

struct MusicKeys {
    // A key name as NormalizeKey spells it ("Shift+T", "#", "Ctrl+Home"),
    // pressed or released: true when a row of the table took it. A press
    // also claims the keys whose rows act on their release.
    static bool press(DocumentController& d, const std::string& key, bool release);

    // The object under the mouse when editing may change it; null otherwise.
    static ScoreObject* focus(DocumentController& d);
    // The focus object edited as one undoable change.
    template <class F>
    static void editFocus(DocumentController& d, F change);
    // A provisional note at `pitch` (the note after an accidental).
    static void startNoteAt(DocumentController& d, int pitch);
    // The x of the nearest note or clef of the system strictly left
    // (or right) of the cursor, if any.
    static bool jump(DocumentController& d, bool right);

    // The commands the rows run.
    static void letter(DocumentController& d, const MusicKey& k);
    static void value(DocumentController& d, const MusicKey& k);
    static void stem(DocumentController& d, const MusicKey& k);
    static void dot(DocumentController& d, const MusicKey& k);
    static void staccato(DocumentController& d, const MusicKey& k);
    static void emphasis(DocumentController& d, const MusicKey& k);
    static void accidental(DocumentController& d, const MusicKey& k);
    static void barline(DocumentController& d, const MusicKey& k);
    static void keysig(DocumentController& d, const MusicKey& k);
    static void rest(DocumentController& d, const MusicKey& k);
    static void tie(DocumentController& d, const MusicKey& k);
    static void arpeggio(DocumentController& d, const MusicKey& k);
    static void properties(DocumentController& d, const MusicKey& k);
    static void backspace(DocumentController& d, const MusicKey& k);
    static void clef(DocumentController& d, const MusicKey& k);
    static void enter(DocumentController& d, const MusicKey& k);
    static void space(DocumentController& d, const MusicKey& k);
    static void tab(DocumentController& d, const MusicKey& k);
    static void escape(DocumentController& d, const MusicKey& k);
    static void del(DocumentController& d, const MusicKey& k);
    static void textMode(DocumentController& d, const MusicKey& k);
    static void nudge(DocumentController& d, const MusicKey& k);
    static void octave(DocumentController& d, const MusicKey& k);
    static void cursor(DocumentController& d, const MusicKey& k);
    static void previousPosition(DocumentController& d, const MusicKey& k);
    static void grace(DocumentController& d, const MusicKey& k);
    static void small(DocumentController& d, const MusicKey& k);
    static void crossHead(DocumentController& d, const MusicKey& k);
    static void focusTie(DocumentController& d, const MusicKey& k);
    static void focusNudge(DocumentController& d, const MusicKey& k);
    static void focusVertical(DocumentController& d, const MusicKey& k);
    static void nearest(DocumentController& d, const MusicKey& k);
    static void pointerToNearest(DocumentController& d, const MusicKey& k);
    static void cursorShape(DocumentController& d, const MusicKey& k);
    static void focusStep(DocumentController& d, const MusicKey& k);
    static void randomTune(DocumentController& d, const MusicKey& k);
};

}  // namespace sw
