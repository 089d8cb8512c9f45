// The commands of note entry and mouse editing: an object placed on a stave
// (a provisional object completed), an object moved or deleted. Each is one
// edit, undone by one Undo.
#pragma once

#include <cstdint>

#include "editor/PopupMenus.h"
#include "editor/ScoreEdit.h"

namespace sw {

struct Placed {
    int stave = 0, index = 0;  // where the object went; 0 when refused
    bool ok() const { return index > 0; }
};

// Writes `o` (not in any slot) onto stave s as a finished object: a bar line
// goes to the top stave of the system, a note resolves its automatic stem and
// sets the stave's last pitch, and the notes of its chord follow its value.
// A key or time signature is first offered to the other staves of its system
// (a C major key signature on stave 1 to every stave of the score without
// one), and the copies are part of the same edit. Refused (nothing written,
// the user told) when the stave is full.
Placed PlaceObjectOnStave(EditContext& ctx, int s, const ScoreObject& o);

// Moves object i of stave s to (x, y): one edit, nothing at all when the
// object stays where it was.
bool MoveObject(EditContext& ctx, int s, int i, int32_t x, int32_t y);

// Deletes object i of stave s with what hangs on it (a text's further
// chunks, a note's beam and tie links) and tidies the stave.
bool DeleteObject(EditContext& ctx, int s, int i);

// Writes `o` over object i of stave s (a pop-up menu's item): one edit,
// nothing when the record is unchanged.
bool ReplaceObject(EditContext& ctx, int s, int i, const ScoreObject& o);

// A pop-up item written into object i of stave s: one edit, nothing when
// the item changes nothing.
bool ApplyMenuItem(EditContext& ctx, int s, int i, MenuCommand c, int value);

// Toggles a style bit (bold, italic, underline) in the font of the text
// chain that holds object i: one edit.
bool ToggleTextStyle(EditContext& ctx, int s, int i, int styleBit);
// The text's whole chain takes `font` (found in, or added to, the score's table).
bool SetTextFont(EditContext& ctx, int s, int i, const FontDesc& font);

// Moves staves first…last up or down by dy: one edit over those staves
// only, nothing when dy is 0.
bool MoveStaves(EditContext& ctx, int first, int last, int32_t dy);

}  // namespace sw
