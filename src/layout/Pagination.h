// Systems and pages: walking staves by system and page, keeping each stave's
// vertical extent, moving staves, and laying the systems out on pages.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

class Host;
class WarningBox;

// First and last stave of the system (or brace group) holding stave s; s is
// clamped to 1..Nstaves. Both are 0 for a score without music staves.
std::pair<int, int> SystemBounds(const Score& score, int s);
std::pair<int, int> BraceGroupBounds(const Score& score, int s);
// The system's ordinal, from 1.
int SystemNumber(const Score& score, int s);
// The first stave of system n, or Nstaves + 1 past the last system.
int FirstStaveOfSystem(const Score& score, int n);
int SystemCount(const Score& score);

// The first stave whose page is p or later, 0 when there is none (or p is 0);
// callers report the problem themselves.
int FirstStaveOnPage(const Score& score, int p);
// The last stave on page p or before it; stave 1 always counts. 0 for p = 0.
int LastStaveOnPage(const Score& score, int p);

// Moves a stave and everything on it vertically.
void ShiftStave(Score& score, int s, int32_t dy);
void MoveStaveTo(Score& score, int s, int32_t y);

// Recomputes MinY and MaxY of stave s from its lines and its objects (curves
// by the bounds layout recorded on them).
void StaveExtent(Score& score, int s, const TextMeasurer& measurer);
// Tidies stave s (bar lines of lower staves dropped), lays it out for drawing
// (LayOutStave) and settles its instruments.
void RefreshStave(Score& score, int s, const TextMeasurer& measurer);

// Puts every stave on page 1 as one strip. Where pages met, the space above
// the later page's first stave (at least 10 pixels) separates the two extents.
void Unpaginate(Score& score);

struct PaginationResult {
    int pages = 0;
    int currentPage = 0;
    // Systems taller than a page: (system ordinal, page that was current).
    std::vector<std::pair<int, int>> oversized;
};
// Lays the systems out on pages of usable height H (page pixels). A system
// that begins a page keeps the gap it had above it in the strip (at least 10
// pixels, at most what the page leaves), so laying out again, and after
// Unpaginate, gives the same pages.
PaginationResult Repaginate(Score& score, int32_t usableHeight);
// One warning box for each system that could not fit (the user may turn the
// message off).
void ReportOversized(const PaginationResult& r, Host& host, WarningBox& warnings);

// Rebuilds every music stave's derived trailer from the systems: system
// number, position in it, the stave at the same position in the next system
// (and back), and the bagpipe playback mark.
void RebuildTrailers(Score& score);

}  // namespace sw
