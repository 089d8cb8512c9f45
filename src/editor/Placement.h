// Where new objects go: the pitch a note letter gives under a clef, how far
// the cursor moves past a completed object, and which stave a point is
// nearest. Pure values in and out, so every rule is tested without a window.
#pragma once

#include <cstdint>

#include "layout/Signatures.h"
#include "model/Score.h"

namespace sw {

// The letter of a note key as a step from A (0..6); H means B. -1 for any
// other character.
int NoteLetter(char c);

// The pitch (steps from the middle line) of letter `step` (0 = A) under
// `clefType`, moved by octaves to within 3 steps of `reference`.
int PitchFromLetter(int step, int clefType, int reference);

// How far the cursor moves past a completed object, in page pixels, for
// the score's pulse and spacing grade (1..5).
int SpacingWidth(const ScoreObject& o, int pulse, int spacing);
// The cursor step of Space with nothing in hand ("any other glyph" row).
int PlainSpacingStep(int spacing);

// The stave of page `page` a point is nearest: among those whose left end is
// left of x, the least |y - Ycoord| + the distance past the right end; the
// page's first stave when none qualifies; 0 for a page without staves.
int NearestStave(const Score& score, int page, int32_t x, int32_t y);

// The next value in the cycle 0..7 one step shorter (or longer).
inline int ShorterValue(int v) {
    return v >= 7 ? 0 : v + 1;
}
inline int LongerValue(int v) {
    return v <= 0 ? 7 : v - 1;
}

}  // namespace sw
