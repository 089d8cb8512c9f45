// Merging another score file's staves into the open score: after a stave,
// before the first, or at the end.
#pragma once

#include <optional>
#include <string>

#include "core/TextMeasurer.h"
#include "fileio/Repair.h"
#include "fileio/ScoreFile.h"
#include "model/Score.h"

namespace sw {

class Host;

// Where a merge goes: the stave the file's staves follow (0 = before stave 1).
// Nothing when the menu command refuses (the user has been told): after
// must be the last stave of its system, before the first of its system.
std::optional<int> MergePointAfter(const Score& score, int stave, Host& host);
std::optional<int> MergePointBefore(const Score& score, int stave, Host& host);

// Reads and checks the file to merge into `score` without changing it: the
// extension, the file checks, the load itself (an older file repaired as
// opening repairs it, its staves laid out), the stave total and the page
// questions. Nothing (every refusal said) when it is not to be merged.
std::optional<Score> ReadMergeFile(const Score& score, const std::string& path, Host& host,
                                   const FileEnv& env, const TextMeasurer& measurer,
                                   const RepairOptions& repair = {});

// Splices the staves of `file` in after stave `after` of an unpaginated
// score: fonts mapped, the staves placed below stave `after` as they stood
// on the file's pages, the following staves 10 pixels below them. The caller
// repaginates. Returns how many staves came in.
int SpliceMergedStaves(Score& score, int after, const Score& file, Host& host);

// The whole merge for a score with no history: read, unpaginate, splice,
// repaginate to pages of usable height `pageHeight`. False when refused.
bool MergeFile(Score& score, int after, const std::string& path, Host& host, const FileEnv& env,
               const TextMeasurer& measurer, int32_t pageHeight, const RepairOptions& repair = {});

}  // namespace sw
