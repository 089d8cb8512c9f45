// Merging another score file into the open one, as one edit.
#pragma once

#include <string>

#include "core/TextMeasurer.h"
#include "editor/ScoreEdit.h"
#include "fileio/Repair.h"
#include "fileio/ScoreFile.h"

namespace sw {

// Merges the file's staves after stave `after` (0: before stave 1). Every
// refusal is said before the score changes and records nothing; a merge is
// one Undo step that takes the staves out again. True when merged.
bool MergeScoreFile(EditContext& ctx, int after, const std::string& path, const FileEnv& env,
                    const TextMeasurer& measurer, const RepairOptions& repair);

}  // namespace sw
