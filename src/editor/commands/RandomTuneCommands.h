// The random tune generator as one edit of an empty stave.
#pragma once

#include "editor/ScoreEdit.h"
#include "tools/RandomTune.h"

namespace sw {

// Fills empty stave s with a tune; one Undo empties it again. False, with no
// record, when the stave holds an object or has no room for a note.
bool WriteRandomTune(EditContext& ctx, int s, const TuneOptions& options, RandomSource& random);

}  // namespace sw
