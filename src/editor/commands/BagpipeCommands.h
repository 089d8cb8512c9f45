// "Format for GHB" as one edit of every music stave.
#pragma once

#include "editor/ScoreEdit.h"
#include "tools/Bagpipe.h"

namespace sw {

// Formats the whole score for the pipes; one Undo gives every stave back (the
// score's temperament and bagpipe flag stay as set). False when the score has
// no music stave or the history could not be written.
bool FormatScoreForPipes(EditContext& ctx, const PipeOptions& options);

}  // namespace sw
