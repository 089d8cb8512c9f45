// Justify, compress and neaten as edits, and the time tables neatening uses.
#include "editor/commands/SpacingCommands.h"

#include "editor/commands/BarCommands.h"

#include <algorithm>
#include <tuple>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "layout/Justify.h"
#include "layout/Pagination.h"
#include "playback/Performance.h"

namespace sw {

namespace {

// The page and whole-score warnings are shown at every user level.
constexpr int kNeatenWarningBound = 4;

bool AnySounding(const Score& score, int first, int last) {
    for (int s = first; s <= last; ++s)
        for (int i = 1; i <= score.stave(s).count(); ++i)
            if (score.object(s, i).kind == kNote && !score.object(s, i).note().rest) return true;
    return false;
}

}  // namespace

bool JustifySystem(EditContext& ctx, int s) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    const auto [first, last] = SystemBounds(score, s);
    ScoreEdit edit(ctx, "Justify system");
    if (!edit.touchStaves(first, last)) return false;
    const JustifyOutcome r = Justify(score, s, SystemMusicStart(score, first, last));
    switch (r.result) {
        case JustifyOutcome::Empty:
            return false;
        case JustifyOutcome::NothingBeyond:
            ctx.host.message(MsgType::Error, MessageText(msg::JustifyNothingBeyond), Buttons::OK);
            return false;
        case JustifyOutcome::NoRoom:
            ctx.host.message(MsgType::Error, MessageText(msg::JustifyNoRoom), Buttons::OK);
            return false;
        case JustifyOutcome::Done:
            break;
    }
    edit.commit();
    if (r.offPaper)
        ctx.host.message(
            MsgType::Warning,
            MessageText(msg::JustifyOffPaper) + "\n" + MessageText(msg::JustifyMayUndo),
            Buttons::OK);
    return true;
}

bool CompressSystem(EditContext& ctx, const CompressPlan& plan, int32_t p) {
    if (plan.first < 1 || plan.last > ctx.score.Nstaves || plan.first > plan.last) return false;
    ScoreEdit edit(ctx, "Compress");
    if (!edit.touchStaves(plan.first, plan.last)) return false;
    switch (Compress(ctx.score, plan, p)) {
        case CompressResult::TooLittleSpace:
            ctx.host.message(MsgType::Error, MessageText(msg::CompressNoSpace), Buttons::OK);
            return false;
        case CompressResult::ShortOfAnchor:
            return false;
        case CompressResult::Done:
            break;
    }
    edit.commit();
    return true;
}

std::vector<TimePoint> NeatenTimeTable(Score& score, Host& host, int first) {
    std::vector<TimePoint> table;
    if (first < 1 || first > score.Nstaves) return table;
    // The bar numbering's table: tempo 60, proximity 5, one system, collected only.
    for (const TimedPosition& p : PerformanceTimes(score, host)(SystemBounds(score, first).first))
        table.push_back({p.x, p.time});
    return table;
}

int NeatenSystems(Score& score, Host& host, int first, int last, double factor) {
    int done = 0;
    first = std::max(first, 1);
    last = std::min<int>(last, score.Nstaves);
    for (int s = first; s <= last;) {
        const auto [f, l] = SystemBounds(score, s);
        const std::vector<TimePoint> table = NeatenTimeTable(score, host, f);
        const StaveHeader& h = score.stave(f).h;
        if (!table.empty() &&
            NeatenSystem(score, f, h.LeftX, h.RightX, factor, table) == NeatenResult::Done)
            ++done;
        s = std::max(l, s) + 1;
    }
    return done;
}

bool NeatenCommand(EditContext& ctx, NeatenScope scope, int s, int page, double factor) {
    Score& score = ctx.score;
    if (score.Nstaves < 1) return false;
    int first = 1, last = score.Nstaves;
    if (scope == NeatenScope::System) {
        if (s < 1 || s > score.Nstaves) return false;
        std::tie(first, last) = SystemBounds(score, s);
    } else if (scope == NeatenScope::Page) {
        first = FirstStaveOnPage(score, page);
        last = LastStaveOnPage(score, page);
        if (first < 1 || last < first) return false;
    }
    if (scope != NeatenScope::System &&
        ctx.warnings.show(
            ctx.host, scope == NeatenScope::Page ? msg::NeatenPageWarning : msg::NeatenScoreWarning,
            kNeatenWarningBound, true) != Answer::OK)
        return false;
    if (!AnySounding(score, first, last)) {
        ctx.host.message(MsgType::Warning, MessageText(msg::NeatenNoNotes), Buttons::OK);
        return false;
    }
    ScoreEdit edit(ctx, "Neaten");
    if (!edit.touchStaves(first, last)) return false;
    ctx.host.setBusy(true);
    const int done = NeatenSystems(score, ctx.host, first, last, factor);
    ctx.host.setBusy(false);
    if (done == 0) return false;
    edit.commit();
    return true;
}

}  // namespace sw
