// Opening a score for display: read it, refresh every stave, rebuild the
// systems and lay it out on pages — the sequence the document window runs.
#pragma once

#include <string>
#include <vector>

#include "core/TextMeasurer.h"
#include "fileio/ScoreFile.h"
#include "layout/Pagination.h"

namespace sw {

class WarningBox;

struct OpenResult {
    LoadResult load;
    PaginationResult pages;
    // Page data with no room for music: the score is not laid out.
    std::vector<std::string> pageProblems;
};

// Lays out an already loaded score: every stave refreshed, trailers rebuilt,
// repaginated to the page picture's height. Each system too tall for a page
// is reported in the warning box (one that shows everything when none is given).
PaginationResult PrepareForDisplay(Score& score, Host& host, const TextMeasurer& measurer,
                                   WarningBox* warnings = nullptr);

OpenResult OpenForDisplay(Score& score, const std::string& path, Host& host,
                          const TextMeasurer& measurer, const FileEnv& env = {});

}  // namespace sw
