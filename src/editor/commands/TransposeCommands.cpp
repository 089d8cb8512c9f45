// Transposition as an edit.
#include "editor/commands/TransposeCommands.h"

#include <algorithm>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/Stems.h"

namespace sw {

bool TransposeFromDialog(EditContext& ctx, const TransposeDialogModel& model, int s,
                         const TextMeasurer& measurer) {
    Score& score = ctx.score;
    TransposePlan plan;
    plan.staves = TransposeRange(score, model.extent(), s, ctx.host);
    if (plan.staves.empty()) return false;
    plan.semitones = model.distance();
    plan.clef = model.clef();
    plan.adjustStems = model.adjustStems;
    plan.respace = model.respace;
    if (!Transposable(score, plan, ctx.host)) return false;
    if (plan.clef >= 0 && ClefsCarryOctaveMarkers(score, plan.staves))
        plan.dropMarkers =
            ctx.host.message(MsgType::Confirmation, MessageText(msg::OctaveMarkersQuestion),
                             Buttons::YesNo) == Answer::Yes;
    if (plan.adjustStems && std::any_of(plan.staves.begin(), plan.staves.end(),
                                        [&](int t) { return HasTwoParts(score, t); }))
        plan.stemsOnTwoParts =
            ctx.host.message(MsgType::Confirmation, MessageText(msg::TwoPartsOnStave),
                             Buttons::YesNo) == Answer::Yes;
    const auto [first, last] = TransposedStaves(score, plan);
    ScoreEdit edit(ctx, "Transpose");
    if (!edit.touchStaves(first, last)) return false;
    if (!Transpose(score, plan, ctx.host, measurer)) return false;
    edit.commit();
    return true;
}

}  // namespace sw
