// What clefs, key and time signatures mean for placing music: the clef in
// force and the letters it gives the stave positions, the room a key
// signature takes on its stave and the bar length a time signature sets.
#pragma once

#include <cstdint>

#include "model/Score.h"

namespace sw {

// The clef type (0 treble, 1 bass, 2 alto, 3 tenor) in force at x on a
// stave: the last clef at or before x; treble when there is none.
int ClefTypeAt(const StaveBlock& b, int32_t x);
// The position of letter A nearest above the middle line, or on it, under
// a clef type.
int ClefLetterA(int clefType);
// The letter (0 = A … 6 = G) of stave position `pitch` under a clef type.
int LetterAt(int clefType, int pitch);
// The glyph that draws a clef of a type, normal or small.
uint8_t ClefGlyph(int clefType, bool small);

// How a key signature is set out: the key it follows on its stave, whether
// it first cancels that key with naturals, and the pen's step per sign.
struct KeysigLayout {
    bool hasPrevious = false;
    int previous = 0;      // the key of the nearest key signature to its left
    bool cancels = false;  // one natural per sign of `previous` comes first
    int advance = 8;       // 10 for sharps, 8 otherwise, 6 on a small stave
    int signs(int key) const;
};
KeysigLayout LayOutKeysig(const StaveBlock& b, const ScoreObject& keysig);

// The width of a key signature's signs, its cancelling naturals included.
int KeysigWidth(const StaveBlock& b, const ScoreObject& keysig);

// The crotchets in a bar under a time signature (`Timesig` or `CommonTime`):
// numerator × 4 / denominator, a denominator of 0 counting as 1; the common
// and alla breve signs and the preset signatures count as 4.
double TimesigBarLength(const ScoreObject& timesig);

}  // namespace sw
