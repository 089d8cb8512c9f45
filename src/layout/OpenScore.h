// Opening a score for display: read it, refresh every stave, rebuild the
// systems and lay it out on pages — the sequence the document window runs.
#pragma once

#include <string>
#include <vector>

#include "core/Report.h"
#include "core/TextMeasurer.h"
#include "fileio/Repair.h"
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

// How a score is read for use.
struct OpenOptions {
    bool asTemplate = false;
    EmergencyOmissions omit;       // objects left out of a damaged file
    ReportSink* report = nullptr;  // what a repaired older file had wrong (else not shown)
    RepairOptions repair;
};

// Reads a score for use: the file, what the user chose to leave out, and
// the repair of a file of an older version.
LoadResult LoadForUse(Score& score, const std::string& path, Host& host, const FileEnv& env,
                      const OpenOptions& options);

// A stave's stored right end is the user's; only one that is broken (left
// of its start or beyond the page) is replaced, never so that it cuts off
// the stave's objects.
void MendStaveEnds(Score& score);

// Every step the editor takes to open a score, without the window: read,
// repaired, right ends mended, laid out on pages.
OpenResult OpenForDisplay(Score& score, const std::string& path, Host& host,
                          const TextMeasurer& measurer, const FileEnv& env = {},
                          const OpenOptions& options = {});

}  // namespace sw
