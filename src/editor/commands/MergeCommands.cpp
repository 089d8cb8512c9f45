// The merge command over the merge of the layout.
#include "editor/commands/MergeCommands.h"

#include "layout/Merge.h"
#include "layout/Pagination.h"

namespace sw {

bool MergeScoreFile(EditContext& ctx, int after, const std::string& path, const FileEnv& env,
                    const TextMeasurer& measurer, const RepairOptions& repair) {
    Score& score = ctx.score;
    if (after < 0 || after > score.Nstaves) return false;
    std::optional<Score> file = ReadMergeFile(score, path, ctx.host, env, measurer, repair);
    if (!file || file->Nstaves < 1) return false;
    // Staves go in on the strip; the pages are laid out again afterwards,
    // whatever happens to the edit.
    Unpaginate(score);
    ctx.dirty.structural = true;
    ScoreEdit edit(ctx, "Merge file");
    if (!edit.touchInsertion(after, file->Nstaves)) return false;
    const int cur = score.CurrentStave;
    const int n = SpliceMergedStaves(score, after, *file, ctx.host);
    // The stave the cursor was on stays current.
    if (cur > after) score.CurrentStave = static_cast<uint16_t>(cur + n);
    edit.commit();
    return n > 0;
}

}  // namespace sw
