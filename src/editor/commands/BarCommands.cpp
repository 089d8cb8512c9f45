// Bar numbering and bar re-spacing as edits.
#include "editor/commands/BarCommands.h"

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/Pagination.h"
#include "playback/Performance.h"

namespace sw {

namespace {

// Writes a worked-out numbering as one edit over the staves it changes.
bool WriteNumbering(EditContext& ctx, const BarNumbering& numbering, const char* what) {
    const std::vector<StavePart> changed = PartsChangedBy(ctx.score, numbering);
    if (changed.empty()) return false;
    ScoreEdit edit(ctx, what);
    if (!edit.touchParts(changed)) return false;
    ApplyBarNumbering(ctx.score, numbering);
    edit.keepLayout();
    edit.commit();
    return true;
}

}  // namespace

SystemTimeTable PerformanceTimes(Score& score, Host& host) {
    return [&score, &host](int top) {
        std::vector<TimedPosition> table;
        PlaybackOptions options;
        options.collectOnly = true;
        options.tempo = 60;
        options.proximity = 5;
        options.range = PlayRange::System;
        options.firstStave = options.lastStave = top;
        Performance performance;
        if (!GeneratePerformance(score, host, options, &performance)) return table;
        table.reserve(performance.table.size());
        for (const TimeEntry& e : performance.table)
            table.push_back({e.key.x, e.time, e.longest});
        return table;
    };
}

bool RenumberScoreBars(EditContext& ctx, int frequency) {
    return WriteNumbering(ctx, RenumberBars(ctx.score, frequency), "renumber bars");
}

Renumbered RefreshScoreBarNumbers(EditContext& ctx, int first, int place, int frequency) {
    if (first < 1 || first > kMaxBarNumber) {
        ctx.host.message(MsgType::Error, FormatMessage(msg::FirstBarNumberRange, kMaxBarNumber),
                         Buttons::OK);
        return Renumbered::Refused;
    }
    if (place < kNumbersNone || place > kNumbersAtBarlines) return Renumbered::Refused;
    const BarNumbering numbering = RefreshBarNumbers(ctx.score, first, place, frequency,
                                                     PerformanceTimes(ctx.score, ctx.host));
    return WriteNumbering(ctx, numbering, "refresh bar numbers") ? Renumbered::Changed
                                                                 : Renumbered::Unchanged;
}

bool DropBarlineRespacing(EditContext& ctx, int s, int i, int32_t x) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    const auto [first, last] = SystemBounds(score, s);
    ScoreEdit edit(ctx, "respace bars");
    if (!edit.touchStaves(first, last)) return false;
    if (!RespaceDroppedBarline(score, s, i, x)) return false;
    edit.commit();
    return true;
}

}  // namespace sw
