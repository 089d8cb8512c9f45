// Moving a system's bar lines between staves: they live only in the top stave
// of a system, so a stave that becomes or stops being a top takes or loses them.
#pragma once

#include "model/Score.h"

namespace sw {

// How many bar lines of stave `from` CopyBarlines would add to stave `to`
// (those with no bar line of `to` within 5 pixels of their x).
int BarlinesToCopy(const Score& score, int from, int to);

// Appends every bar line of `from` to `to` at `to`'s Ycoord, skipping those
// that already have a bar line of `to` within 5 pixels. Stops when `to` holds
// 249 objects; false when a bar line was left out for want of room.
bool CopyBarlines(Score& score, int from, int to);

// Empties the bar line slots of stave s and tidies it.
void RemoveBarlines(Score& score, int s);

}  // namespace sw
