// Bagpipe formatting as an edit.
#include "editor/commands/BagpipeCommands.h"

namespace sw {

bool FormatScoreForPipes(EditContext& ctx, const PipeOptions& options) {
    if (ctx.score.Nstaves < 1) return false;
    ScoreEdit edit(ctx, "Format for GHB");
    if (!edit.touchStaves(1, ctx.score.Nstaves)) return false;
    FormatForPipes(ctx.score, options);
    edit.commit();
    return true;
}

}  // namespace sw
