// Page layout, stave size and undo as edits.
#include "editor/commands/PageCommands.h"

#include <cmath>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/VerticalSpacing.h"

namespace sw {

namespace {

// Asks before the texts of a header or footer area go with it.
bool AgreeToLoseTexts(const Score& score, const PageData& edited, Host& host) {
    for (const bool header : {true, false}) {
        const int lost = TextsLostWithArea(score, edited, header);
        if (lost == 0) continue;
        const char* area = header ? "header" : "footer";
        if (host.message(MsgType::Confirmation,
                         FormatMessage(msg::MarginTextsDeleted, area, lost, area),
                         Buttons::YesNo) != Answer::Yes)
            return false;
    }
    return true;
}

}  // namespace

bool PageLayout(EditContext& ctx, const PageData& edited, const PictureSetUp& setUpPicture) {
    Score& score = ctx.score;
    if (SamePageData(score.page, edited)) return false;
    if (!AgreeToLoseTexts(score, edited, ctx.host)) return false;
    // The staves' ends follow the width only when it changes.
    const bool widthChanges =
        UsablePixelsFor(edited, score.staveSize) != UsablePixelsFor(score.page, score.staveSize);
    ScoreEdit edit(ctx, "Page layout");
    if (!edit.touchPage(widthChanges ? score.Nstaves : 0)) return false;
    if (!ApplyPageLayout(edit.document(), edited, ctx.host, ctx.warnings, setUpPicture))
        return false;
    edit.commit();
    return true;
}

bool SetStaveSize(EditContext& ctx, double size, const PictureSetUp& setUpPicture) {
    Score& score = ctx.score;
    const double old = score.staveSize;
    if (std::abs(size - old) < 1e-9) return false;
    ScoreEdit edit(ctx, "Stave size");
    if (!edit.touchPage(score.Nstaves)) return false;
    score.staveSize = size;
    if (!ApplyStaveSizeChange(edit.document(), old, ctx.host, ctx.warnings, setUpPicture))
        return false;
    edit.commit();
    return true;
}

bool RespacePage(EditContext& ctx, int page, bool equalSystems) {
    const RespacePlan plan = PlanRespace(ctx.score, page, equalSystems);
    switch (plan.outcome) {
        case RespaceOutcome::NoStaves:
            return false;
        case RespaceOutcome::TooFewSystems:
            ctx.host.message(MsgType::Warning, MessageText(msg::TooFewSystemsToRespace),
                             Buttons::OK);
            return false;
        case RespaceOutcome::NoFreeSpace:
            ctx.host.message(MsgType::Warning, MessageText(msg::NoFreeSpaceBetweenSystems),
                             Buttons::OK);
            return false;
        case RespaceOutcome::Respaced:
            break;
    }
    if (plan.first > plan.last) return false;
    ScoreEdit edit(ctx, "Vertical spacing");
    if (!edit.touchStaves(plan.first, plan.last)) return false;
    ApplyRespace(ctx.score, plan);
    edit.commit();
    return true;
}

UndoRing::Result UndoLastCommand(EditContext& ctx, bool musicMode) {
    UndoDocument doc{ctx.score, ctx.cursorX, ctx.modified};
    const UndoRing::Result r = UndoExecute(ctx.undo, doc, ctx.host, ctx.warnings, musicMode);
    if (!r.undone) return r;
    // Which staves came back is the ring's business: lay out and draw them all.
    ctx.modified = true;
    ctx.dirty.add(0, ctx.score.Nstaves);
    ctx.dirty.page |= r.page;
    ctx.dirty.structural |= r.structural;
    return r;
}

}  // namespace sw
