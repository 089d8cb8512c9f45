// The stave and system commands: new systems, inserting and deleting staves,
// joins, brackets and braces, the stave size and the system's ends. Each is
// one edit whose records cover every stave it changes; a refusal says why and
// records nothing.
#pragma once

#include <cstdint>

#include "editor/ScoreEdit.h"
#include "layout/Justify.h"

namespace sw {

// Appends a copy of the last system (clefs and key signatures only), on the
// last page or a new one. The first new stave becomes current and the cursor
// goes where the old system's music starts. False when nothing changed.
bool NewSystem(EditContext& ctx);

// A new empty stave after stave `after` (0: before stave 1). The staves are
// left on the unpaginated strip for the document to lay out on pages, as it
// does after every edit.
bool InsertStave(EditContext& ctx, int after);

// Deletes stave s after the confirmation; its bar lines go to the next stave
// when it was the top of its system. Left on the strip, as above.
bool DeleteStave(EditContext& ctx, int s);

// Joins stave s to the next one or separates them, moving the bar lines to
// the top of the system they now belong to. `clearBinding`: separating also
// drops the brackets and braces that tied the two together.
bool ToggleJoin(EditContext& ctx, int s, bool clearBinding = false);

// The `[` (bracket) and `{` (brace) keys: the binding with the next stave
// flips on a joined stave; an unjoined one is only warned about.
bool ToggleBinding(EditContext& ctx, int s, bool brace);

// The brace with the next stave on or off (joined staves only).
bool SetBrace(EditContext& ctx, int s, bool on);

// Flips stave s between normal and small size, re-placing what follows the
// line spacing.
bool ToggleStaveSize(EditContext& ctx, int s);

// Re-places the notes, accidentals and digit rows of stave s for its size,
// after sizeIndex changed from `oldSize`.
void ReplaceForSize(Score& score, int s, int oldSize);

// Moves the left or right end of the system of stave s to x.
bool ChopSystem(EditContext& ctx, int s, int32_t x, ChopSide side);

}  // namespace sw
