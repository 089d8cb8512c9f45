// Where the heads, stems and dots of the notes at one x of a stave go, and
// which note of a chord carries the flag and the beam links.
#pragma once

#include "model/Score.h"

namespace sw {

// The note's stem direction after resolving "automatic": 0 up, 1 down, 2 none.
int EffectiveStem(const NoteData& n);
// x of the stem relative to the note's x for a head size, head and direction.
int StemOffset(int headSize, int head, int direction);
// Stem-up offset minus stem-down offset: 9 for a normal head.
int HeadWidth(const NoteData& n);

// Recomputes the derived fields of every non-rest note of stave s at x. With
// `relink`, beam links move to the note of each chord that shows the tail.
// The result does not depend on screen or print: drawing applies the print
// adjustments itself.
void ValidateNotesAt(Score& score, int s, int32_t x, bool relink);
// Marks the notes of stave s at x as needing their geometry again.
void InvalidateNotesAt(Score& score, int s, int32_t x);

// The glyph that draws a rest of a value (0 breve … 7), in its small form or not.
int RestGlyph(int noteValue, bool small);

// The glyph a note or rest record carries: by value, stem and head (rests by
// value alone).
int NoteGlyph(const NoteData& n);

// The geometry `pending` would have as a note of stave s among the notes
// already at its x, without putting it into the stave.
void LayOutPendingNote(const Score& score, int s, ScoreObject& pending);

}  // namespace sw
