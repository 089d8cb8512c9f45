// Great Highland bagpipe conventions over a whole score: small grace notes
// stemmed up with three beams, melody stems down, and the playback attributes
// of the instrument; and the score's bagpipe switch.
#pragma once

#include "model/Score.h"

namespace sw {

namespace pipes {
constexpr int kProgram = 110;    // General MIDI, counted from 1
constexpr int kTemperament = 4;  // the pipes' own tuning
constexpr int kSmallHead = 1;    // grace notes
constexpr int kGraceValue = 6;   // demisemiquaver: three beams
}  // namespace pipes

// The seven choices of "Format for GHB"; all on when the dialog opens.
struct PipeOptions {
    bool graceStemsUp = true;
    bool graceThreeBeams = true;
    bool largeStemsDown = true;
    bool impliedKey = true;
    bool transposeUp = true;
    bool bagpipeSound = true;
    bool bagpipeTemperament = true;

    bool none() const {
        return !graceStemsUp && !graceThreeBeams && !largeStemsDown && !impliedKey &&
               !transposeUp && !bagpipeSound && !bagpipeTemperament;
    }
    void clear() { *this = PipeOptions{false, false, false, false, false, false, false}; }
};

// Applies the ticked choices to every music stave; with none ticked, takes
// the score back to plain playback (no transposition, instrument, implied
// key or special tuning) without touching a note. The implied key is kept
// through the score's bagpipe flag, the one place a file records it: ticked
// turns the flag on, none ticked turns it off. Rests and notes of other head
// sizes are never changed.
void FormatForPipes(Score& score, const PipeOptions& options);

// "GH&B music": on, every music stave plays a semitone up with two implied
// sharps; off, the implied sharps go and each stave keeps its transposition.
void SetBagpipeScore(Score& score, bool on);

}  // namespace sw
