// "Fixup note Alignment" as an edit over a stave, a system or the score.
#pragma once

#include "editor/NoteDialogs.h"
#include "editor/ScoreEdit.h"

namespace sw {

// Aligns the notes of the extent round stave s: the stave, its system, or
// each system of the score on its own. True when a note moved.
bool FixupNoteAlignment(EditContext& ctx, int s, AlignExtent extent, const AlignOptions& options);

}  // namespace sw
