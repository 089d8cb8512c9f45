// Spreading the systems of a page evenly between its first and last system,
// which stay where the user put them.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

enum class RespaceOutcome {
    Respaced,
    NoStaves,       // the page holds no stave: nothing to say
    TooFewSystems,  // under three systems on the page
    NoFreeSpace,    // equal gaps asked for, but the systems overlap in total
};

// What RespaceSystems will do, worked out without changing anything: the
// staves that move (an empty range when none) and each one's shift.
struct RespacePlan {
    RespaceOutcome outcome = RespaceOutcome::NoStaves;
    int first = 0, last = -1;
    std::vector<int32_t> shift;  // shift[s - first] for stave s
};

// Equal spaced systems put the first staves of the systems at equal
// distances; equal sized gaps leaves equal free space between one system's
// lowest extent and the next one's highest. The step or gap is truncated:
// the remainder stays in the last gap.
RespacePlan PlanRespace(const Score& score, int page, bool equalSystems);
// Moves the staves of the plan (objects and extents with them).
void ApplyRespace(Score& score, const RespacePlan& plan);

}  // namespace sw
