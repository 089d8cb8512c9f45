// The block commands as edits: copy or move a block, delete it (from the
// block dialog or the selection tool bar) and align its objects. Each is one
// ScoreEdit over every stave it changes; a refusal records nothing.
#pragma once

#include "core/TextMeasurer.h"
#include "editor/ScoreEdit.h"
#include "editor/Selection.h"
#include "editor/commands/BlockCopy.h"

namespace sw {

// The font a score text of font number `number` is measured in (font 1 for
// a number out of range).
TextFont ScoreTextFont(const Score& score, int number);

// Copies (or moves) the selection to the placement; the user is told why
// when it does not fit. True when the score changed.
bool CopyBlock(EditContext& ctx, const Selection& selection, const BlockPlacement& placement,
               bool move);

// The block dialog's Delete: with a bar line among the objects, the user is
// asked whether bar lines go too. True when something was deleted.
bool DeleteBlock(EditContext& ctx, const Selection& selection);
// The selection tool bar's delete: everything selected, bar lines included.
bool DeleteSelectedObjects(EditContext& ctx, const Selection& selection);

// Puts the eligible objects' centres on one x (horizontal) or one y; fewer
// than two eligible objects are refused with a warning. True when one moved.
bool AlignBlock(EditContext& ctx, const Selection& selection, bool horizontal,
                const TextMeasurer& measurer);

}  // namespace sw
