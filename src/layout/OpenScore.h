// Opening a score for display: read it, refresh every stave, rebuild the
// systems and lay it out on pages — the sequence the document window runs.
#pragma once

#include <string>

#include "core/TextMeasurer.h"
#include "fileio/ScoreFile.h"
#include "layout/Pagination.h"

namespace sw {

struct OpenResult {
    LoadResult load;
    PaginationResult pages;
};

// Lays out an already loaded score: every stave refreshed, trailers rebuilt,
// repaginated to the page picture's height. Systems too tall for a page are
// reported in one warning.
PaginationResult PrepareForDisplay(Score& score, Host& host, const TextMeasurer& measurer);

OpenResult OpenForDisplay(Score& score, const std::string& path, Host& host,
                          const TextMeasurer& measurer, const FileEnv& env = {});

}  // namespace sw
