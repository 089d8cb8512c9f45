// Neatening a system: its notes re-spaced by the musical time at which they
// sound, blended with equal spacing by a factor, bar lines set just before
// the next note and whole-bar rests centred in their bars.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

// One entry of the system's time table: a position at which a note or rest
// begins and the time (in crotchets from the start of the system) it sounds.
struct TimePoint {
    int32_t x = 0;
    double time = 0;
};

enum class NeatenResult {
    Done,
    NoNotes,          // the system holds no notes
    TooFewPositions,  // fewer than two positions, or no time between them
    NoRoom,           // bar lines and reserved widths take all the room
};

// Width a bar line takes in the spacing.
inline constexpr int kBarlineSpace = 15;

// Re-spaces the objects of the system whose first stave is `first` that lie
// between `left` and `right`, by `table` (ascending x) and `factor` (0 by
// time, 1 equally spaced; kept within 0..1). The first and last positions of
// the table stay where they are. Nothing changes unless the result is Done.
NeatenResult NeatenSystem(Score& score, int first, int32_t left, int32_t right, double factor,
                          const std::vector<TimePoint>& table);

}  // namespace sw
