// Opening a score for display.
#include "layout/OpenScore.h"

#include "core/Report.h"
#include "fileio/Repair.h"

#include "core/Host.h"
#include "core/WarningBox.h"
#include "layout/PageGeometry.h"

namespace sw {

PaginationResult PrepareForDisplay(Score& score, Host& host, const TextMeasurer& measurer,
                                   WarningBox* warnings) {
    for (int s = 1; s <= score.Nstaves; ++s)
        RefreshStave(score, s, measurer);
    RebuildTrailers(score);
    if (score.CurrentStave < 1 || score.CurrentStave > score.Nstaves)
        score.CurrentStave = score.Nstaves > 0 ? 1 : 0;
    PaginationResult r = Repaginate(score, ComputePageGeometry(score).height);
    WarningBox everyBox;
    ReportOversized(r, host, warnings ? *warnings : everyBox);
    return r;
}

OpenResult OpenForDisplay(Score& score, const std::string& path, Host& host,
                          const TextMeasurer& measurer, const FileEnv& env) {
    OpenResult r;
    r.load = LoadScore(score, path, false, host, env);
    if (!r.load.ok) return r;
    // An older file is repaired as the editor repairs it; its report has no
    // window here.
    if (IsOlderFormat(r.load.fileVersion)) {
        TextReport report;
        ConvertOlderFormat(score, true, host, report);
    }
    r.pageProblems = PageDataProblems(score.page);
    if (!r.pageProblems.empty()) return r;
    r.pages = PrepareForDisplay(score, host, measurer);
    return r;
}

}  // namespace sw
