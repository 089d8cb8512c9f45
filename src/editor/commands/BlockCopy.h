// The block core: copying or moving the selected objects of consecutive
// staves onto another run of staves, and deleting them. Plain functions over
// the score, without history: the commands wrap them in one edit, and the bar
// moves reuse them in move form.
//
// A block is the selection's objects on source staves first..last (its stave
// range); target stave targetFirst + k receives the objects of source stave
// first + k. Callers check the fit first (CheckBlockFits) and record the
// staves BlockReach names before anything changes.
#pragma once

#include <cstdint>
#include <utility>

#include "editor/Selection.h"
#include "model/Score.h"

namespace sw {

struct BlockPlacement {
    int targetFirst = 0;  // the stave the first source stave's objects go to
    int32_t dx = 0;       // added to every x
    // Added to the y of the vertically movable kinds, on top of the change
    // of stave (each object keeps its offset to its stave otherwise).
    int32_t dv = 0;
};

enum class BlockFit {
    Fits,
    NoTarget,     // the target range leaves the score
    TooFull,      // a target stave would pass kObjectLimit objects
    OutsideEnds,  // no dx keeps every copied note within its target's ends
};

// Whether the block can go to targetFirst with dx: every target stave exists,
// keeps at most kObjectLimit objects (a full slot 250 would lose the links
// that tidying clears), and holds every copied note between its LeftX and
// RightX.
BlockFit CheckBlockFits(const Score& score, const Selection& selection, int targetFirst,
                        int32_t dx);

// The dx values (lo, hi) that keep each selected note within its target
// stave's LeftX..RightX; lo > hi when none does. Unbounded without notes.
std::pair<int32_t, int32_t> BlockDxLimits(const Score& score, const Selection& selection,
                                          int targetFirst);

// The staves a copy (or move) changes: the target range (and the source
// range for a move), widened by one stave where a note that tidying will
// renumber or a moved note is beamed across to it.
std::pair<int, int> BlockReach(const Score& score, const Selection& selection, int targetFirst,
                               bool move);

// Copies the block to the placement, or moves it (the originals deleted
// afterwards). Links between selected objects point to the new copies, links
// to anything else are dropped; ties across a system break (255) are kept,
// cross-stave beams never copied. Text pieces stay at (0, 0). False, and
// nothing changed, when CheckBlockFits does not say Fits.
bool PlaceBlock(Score& score, const Selection& selection, const BlockPlacement& placement,
                bool move);

// Deletes the selected objects (bar lines only with `barlines`), their beam
// partners on other staves unlinked; the slots stay (kind Nothing) until the
// staves are next tidied. Returns how many objects went.
int DeleteBlockObjects(Score& score, const Selection& selection, bool barlines);

}  // namespace sw
