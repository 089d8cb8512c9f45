// The commands on stems, beams and tuplets: the current stave's stems, the
// focus note's commands, and those on two selected notes. Each is one edit,
// undone by one Undo; a note that does not suit the command changes nothing.
#pragma once

#include <vector>

#include "editor/ScoreEdit.h"
#include "layout/Beams.h"

namespace sw {

// "Optimise note stems" on stave s; a stave of two parts only when the user
// agrees. True when a stem changed.
bool OptimiseStaveStems(EditContext& ctx, int s);

// The focus note's commands. Beam to previous warns when no note fits.
bool ReverseNoteStem(EditContext& ctx, int s, int i);
bool BeamNoteToPrevious(EditContext& ctx, int s, int i);
bool UnbeamNote(EditContext& ctx, int s, int i);
bool ToggleNoteFlatBeam(EditContext& ctx, int s, int i);
bool MakeNoteTriplet(EditContext& ctx, int s, int i);

// The selection's commands.
bool BeamSelectedNotes(EditContext& ctx, const std::vector<NoteRef>& selection);
bool TremoloBeamSelected(EditContext& ctx, const std::vector<NoteRef>& selection, int beams);
bool MakeSelectedTriplets(EditContext& ctx, const std::vector<NoteRef>& selection);

}  // namespace sw
