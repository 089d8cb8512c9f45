// The random tune as an edit.
#include "editor/commands/RandomTuneCommands.h"

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

bool WriteRandomTune(EditContext& ctx, int s, const TuneOptions& options, RandomSource& random) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves || score.stave(s).h.Nobjec != 0) return false;
    ScoreEdit edit(ctx, "Random tune");
    if (!edit.touchStave(s)) return false;
    if (RandomTune(score, s, options, random) == 0) {
        ctx.host.message(MsgType::Information, MessageText(msg::NoRoomForTune), Buttons::OK);
        return false;
    }
    edit.commit();
    return true;
}

}  // namespace sw
