// The options window's score values as an edit.
#include "editor/commands/OptionsCommands.h"

#include <cmath>

#include "tools/Bagpipe.h"

namespace sw {

bool ApplyScoreOptions(EditContext& ctx, const ScoreOptions& before, const ScoreOptions& after,
                       const PictureSetUp& setUpPicture) {
    if (SameScoreOptions(before, after)) return false;
    Score& score = ctx.score;
    const bool pageChanges = !SamePageData(before.page, after.page);
    const bool sizeChanges = std::abs(before.staveSize - after.staveSize) > 1e-9;
    const bool bagpipeChanges = before.bagpipe != after.bagpipe;
    ScoreEdit edit(ctx, "Options");
    if (pageChanges || sizeChanges) {
        if (!edit.touchPage(score.Nstaves)) return false;
    } else if (bagpipeChanges && score.Nstaves > 0) {
        if (!edit.touchStaves(1, score.Nstaves)) return false;
    }
    score.Pulse = static_cast<uint8_t>(after.pulse);
    score.Spacing = static_cast<uint8_t>(after.spacing);
    score.Page1 = static_cast<uint16_t>(after.firstPage);
    score.naturalsInKeyChange = after.naturals;
    if (bagpipeChanges) SetBagpipeScore(score, after.bagpipe);
    if (pageChanges)
        ApplyPageLayout(edit.document(), after.page, ctx.host, ctx.warnings, setUpPicture);
    if (sizeChanges) {
        const double old = score.staveSize;
        score.staveSize = after.staveSize;
        ApplyStaveSizeChange(edit.document(), old, ctx.host, ctx.warnings, setUpPicture);
    }
    edit.commit();
    return true;
}

}  // namespace sw
