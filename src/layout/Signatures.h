// What key and time signatures mean for placing music: the room a key
// signature takes on its stave and the bar length a time signature sets.
#pragma once

#include <cstdint>

#include "model/Score.h"

namespace sw {

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
