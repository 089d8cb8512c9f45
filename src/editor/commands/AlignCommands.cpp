// Note alignment as an edit: planned first, so an alignment that moves
// nothing leaves no history.
#include "editor/commands/AlignCommands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "layout/Pagination.h"

namespace sw {

bool FixupNoteAlignment(EditContext& ctx, int s, AlignExtent extent, const AlignOptions& options) {
    Score& score = ctx.score;
    if (score.Nstaves < 1 || s < 1 || s > score.Nstaves) return false;
    std::vector<std::pair<int, int>> ranges;
    if (extent == AlignExtent::Stave) {
        ranges.push_back({s, s});
    } else if (extent == AlignExtent::System) {
        ranges.push_back(SystemBounds(score, s));
    } else {
        for (int first = 1; first <= score.Nstaves;) {
            const std::pair<int, int> r = SystemBounds(score, first);
            ranges.push_back(r);
            first = std::max(r.second, first) + 1;
        }
    }
    std::vector<NoteMove> moves;
    int lo = score.Nstaves + 1, hi = 0;
    for (const auto& [first, last] : ranges)
        for (const NoteMove& m : PlanAlignment(score, first, last, options)) {
            moves.push_back(m);
            lo = std::min(lo, m.s), hi = std::max(hi, m.s);
        }
    if (moves.empty()) return false;
    ScoreEdit edit(ctx, "Fixup note alignment");
    if (!edit.touchStaves(lo, hi)) return false;
    ApplyAlignment(score, moves);
    edit.commit();
    return true;
}

}  // namespace sw
