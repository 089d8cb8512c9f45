// Stem, beam and tuplet commands as edits.
#include "editor/commands/StemCommands.h"

#include <algorithm>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "layout/BeamRules.h"
#include "layout/NoteGeometry.h"
#include "layout/StaveLayout.h"
#include "layout/Stems.h"

namespace sw {

namespace {

// Shown at levels 1 and 2.
constexpr int kBeamWarningLevels = 3;

bool IsNote(const Score& score, int s, int i) {
    return s >= 1 && s <= score.Nstaves && score.hasStave(s) && score.stave(s).validIndex(i) &&
           score.object(s, i).kind == kNote;
}

// A link edit reaches the note's stave and its neighbours at most.
std::pair<int, int> Around(const Score& score, int s) {
    return {std::max(1, s - 1), std::min<int>(score.Nstaves, s + 1)};
}

void Invalidate(Score& score, const std::vector<NoteRef>& notes) {
    for (const NoteRef& r : notes)
        InvalidateNotesAt(score, r.s, score.object(r.s, r.i).x);
}

bool SelectionValid(const Score& score, const std::vector<NoteRef>& selection) {
    return std::all_of(selection.begin(), selection.end(),
                       [&](const NoteRef& r) { return IsNote(score, r.s, r.i); });
}

// Runs a link change over the staves around the notes: committed only when
// it changed something.
template <class Change>
bool LinkEdit(EditContext& ctx, const char* what, int lo, int hi, Change change) {
    ScoreEdit edit(ctx, what);
    if (!edit.touchStaves(lo, hi)) return false;
    const std::vector<NoteRef> touched = change();
    if (touched.empty()) return false;
    Invalidate(ctx.score, touched);
    edit.commit();
    return true;
}

}  // namespace

bool OptimiseStaveStems(EditContext& ctx, int s) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    if (HasTwoParts(score, s) &&
        ctx.host.message(MsgType::Confirmation, MessageText(msg::TwoPartsOnStave),
                         Buttons::YesNo) != Answer::Yes)
        return false;
    ScoreEdit edit(ctx, "Optimise note stems");
    if (!edit.touchStave(s)) return false;
    const std::vector<int> changed = OptimiseStems(score, s, AllSlots(score, s));
    if (changed.empty()) return false;
    for (int i : changed)
        InvalidateNotesAt(score, s, score.object(s, i).x);
    edit.commit();
    return true;
}

bool ReverseNoteStem(EditContext& ctx, int s, int i) {
    Score& score = ctx.score;
    if (!IsNote(score, s, i)) return false;
    ScoreEdit edit(ctx, "Reverse stem");
    if (!edit.touchStave(s)) return false;
    if (ReverseStem(score, s, i).empty()) return false;
    InvalidateNotesAt(score, s, score.object(s, i).x);
    edit.commit();
    return true;
}

bool BeamNoteToPrevious(EditContext& ctx, int s, int i) {
    Score& score = ctx.score;
    if (!IsNote(score, s, i) || !CanBeamBack(score, s, i)) return false;
    // Which note shows its chord's flag is layout's to say.
    LayOutStaveGeometry(score, s);
    const std::optional<int> previous = PreviousBeamCandidate(score, s, i);
    if (!previous) {
        ctx.warnings.show(ctx.host, msg::NoPreviousBeamNote, kBeamWarningLevels, false);
        return false;
    }
    ScoreEdit edit(ctx, "Beam to previous");
    if (!edit.touchStave(s)) return false;
    LinkBeam(score, {s, *previous}, {s, i});
    Invalidate(score, {{s, *previous}, {s, i}});
    edit.commit();
    return true;
}

bool UnbeamNote(EditContext& ctx, int s, int i) {
    Score& score = ctx.score;
    if (!IsNote(score, s, i) || !IsBeamableNote(score, {s, i})) return false;
    const auto [lo, hi] = Around(score, s);
    return LinkEdit(ctx, "Unbeam", lo, hi, [&] {
        std::vector<NoteRef> touched;
        UnlinkBack(score, s, i, &touched);
        return touched;
    });
}

bool ToggleNoteFlatBeam(EditContext& ctx, int s, int i) {
    Score& score = ctx.score;
    if (!IsNote(score, s, i)) return false;
    const std::vector<NoteRef> group = FlatBeamGroup(score, s, i);
    if (group.empty()) return false;
    const auto [lo, hi] = StaveSpan(group);
    return LinkEdit(ctx, "Flat beam", lo, hi, [&] {
        const uint8_t flat = !score.object(s, i).note().flatBeam;
        for (const NoteRef& r : group)
            score.object(r.s, r.i).note().flatBeam = flat;
        return group;
    });
}

bool MakeNoteTriplet(EditContext& ctx, int s, int i) {
    return MakeSelectedTriplets(ctx, {{s, i}});
}

bool BeamSelectedNotes(EditContext& ctx, const std::vector<NoteRef>& selection) {
    Score& score = ctx.score;
    if (selection.size() != 2 || !SelectionValid(score, selection)) return false;
    auto [lo, hi] = StaveSpan(selection);
    lo = std::max(1, lo - 1), hi = std::min<int>(score.Nstaves, hi + 1);
    return LinkEdit(ctx, "Beam", lo, hi,
                    [&] { return CrossStaveBeam(score, selection[0], selection[1]); });
}

bool TremoloBeamSelected(EditContext& ctx, const std::vector<NoteRef>& selection, int beams) {
    Score& score = ctx.score;
    if (selection.size() != 2 || !SelectionValid(score, selection)) return false;
    auto [lo, hi] = StaveSpan(selection);
    lo = std::max(1, lo - 1), hi = std::min<int>(score.Nstaves, hi + 1);
    return LinkEdit(ctx, "Tremolo beam", lo, hi,
                    [&] { return TremoloBeam(score, selection[0], selection[1], beams); });
}

bool MakeSelectedTriplets(EditContext& ctx, const std::vector<NoteRef>& selection) {
    Score& score = ctx.score;
    if (selection.empty() || !SelectionValid(score, selection)) return false;
    const auto [lo, hi] = StaveSpan(selection);
    return LinkEdit(ctx, "Make triplets", lo, hi, [&] { return MakeTriplets(score, selection); });
}

}  // namespace sw
