// Opening a score for display.
#include "layout/OpenScore.h"

#include "core/Report.h"
#include "fileio/Repair.h"

#include <algorithm>

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

LoadResult LoadForUse(Score& score, const std::string& path, Host& host, const FileEnv& env,
                      const OpenOptions& options) {
    const LoadResult loaded = LoadScore(score, path, options.asTemplate, host, env);
    if (!loaded.ok) return loaded;
    if (options.omit.any()) ApplyEmergencyOmissions(score, options.omit);
    if (IsOlderFormat(loaded.fileVersion)) {
        TextReport quiet;
        ConvertOlderFormat(score, !options.asTemplate, host,
                           options.report ? *options.report : quiet, options.repair);
    }
    return loaded;
}

void MendStaveEnds(Score& score) {
    const int32_t usable = ComputePageGeometry(score).width;
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        StaveBlock& b = score.stave(s);
        StaveHeader& h = b.h;
        if (h.RightX > h.LeftX && h.RightX <= usable) continue;
        int32_t last = h.LeftX;
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind != kNothing) last = std::max(last, b.obj[i].x);
        h.RightX = std::max(usable - 5, last + 5);
    }
}

OpenResult OpenForDisplay(Score& score, const std::string& path, Host& host,
                          const TextMeasurer& measurer, const FileEnv& env,
                          const OpenOptions& options) {
    OpenResult r;
    r.load = LoadForUse(score, path, host, env, options);
    if (!r.load.ok) return r;
    r.pageProblems = PageDataProblems(score.page);
    if (!r.pageProblems.empty()) return r;
    MendStaveEnds(score);
    r.pages = PrepareForDisplay(score, host, measurer);
    return r;
}

}  // namespace sw
