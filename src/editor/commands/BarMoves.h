// Moving a whole bar between neighbouring systems: the last bar of a system
// down to the start of the next one, the first bar up to the end of the one
// before. Plain functions over the score built on the block core in move
// form, and the two commands that wrap each move in one edit of both systems.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "core/TextMeasurer.h"
#include "editor/ScoreEdit.h"
#include "model/Score.h"

namespace sw {

// The style of a system's closing bar line once the next system's opening
// bar line, of style `removed`, is joined to it (styles 0..8; anything else
// leaves `existing` as it is).
uint8_t CombineBarlines(int existing, int removed);

enum class BarMove {
    Moved,
    NoNeighbour,  // no system after (down) or before (up) the current one
    NoBarsHere,   // the current system has no clear bar
    NoBarsThere,  // the previous system has no clear bar (up only)
    StaveCounts,  // the two systems have different numbers of staves
    TooFull,      // a target stave has no room for its share of the bar
};

// The staves a move from the system of stave s changes (both systems), or
// (0, -1) when that system has no neighbour on that side.
std::pair<int, int> BarMoveStaves(const Score& score, int s, bool down);

// The moves themselves. Anything but Moved changes nothing. A mark, text or
// line written at a note goes where the note goes (texts measured with
// `measurer`). Both systems are justified to their own right ends and the
// receiving one tidied, its ties over the closed break joined again (or
// dropped when their partner is missing).
BarMove MoveLastBarDown(Score& score, int s, const TextMeasurer& measurer);
BarMove MoveFirstBarUp(Score& score, int s, const TextMeasurer& measurer);

// Where the bar numbered n begins: the top stave of its system and the x
// just after its opening bar line (or the system's start of the music). A
// number below the first bar's or past the last bar's gives that bar;
// `exact` says whether the number was found. Stave 0 without staves.
struct BarPlace {
    int stave = 0;
    int32_t x = 0;
    int number = 0;
    bool exact = false;
};
BarPlace FindBar(const Score& score, int n);

// Deletes the bar under x in the system of stave s on every stave, its
// closing bar line with it, closes the gap and justifies the system. False,
// changing nothing, when x lies in no bar that a bar line closes.
bool DeleteBarAt(Score& score, int s, int32_t x, const TextMeasurer& measurer);

// What the bar commands need besides the edit: the note spacing (0 by
// duration .. 1 equal) the receiving system of a move is neatened with, and
// a change made in the same Undo step when the command changes the score.
struct BarEditOptions {
    const TextMeasurer& measurer;
    double neatenFactor = 0.5;
    std::function<void(Score&)> alongside;
};

bool DeleteBarCommand(EditContext& ctx, int s, int32_t x, const BarEditOptions& options);

// The commands: one edit over both systems, the receiving one neatened; a
// refusal is explained and records nothing. True when the bar moved.
bool MoveLastBarDownCommand(EditContext& ctx, int s, const BarEditOptions& options);
bool MoveFirstBarUpCommand(EditContext& ctx, int s, const BarEditOptions& options);

}  // namespace sw
