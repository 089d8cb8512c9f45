// The commands that change the page: its layout, the stave size, and Undo,
// which may bring either back.
#pragma once

#include "editor/PageSetup.h"
#include "editor/ScoreEdit.h"

namespace sw {

// Page Layout after its dialog's OK with `edited`. Texts of a header or
// footer area that is taken away are deleted only when the user agrees.
// True when the page changed.
bool PageLayout(EditContext& ctx, const PageData& edited, const PictureSetUp& setUpPicture);

// Set Stave Size after its dialog's OK. True when the new size stays.
bool SetStaveSize(EditContext& ctx, double size, const PictureSetUp& setUpPicture);

// Spreads the systems of `page` between its first and last (equal first-stave
// distances, or equal gaps). A refusal is said and records nothing. True when
// staves moved.
bool RespacePage(EditContext& ctx, int page, bool equalSystems);

// The Undo command (Music only, confirmed at the beginner levels). What came
// back is marked dirty: a restored page also needs a new page picture.
UndoRing::Result UndoLastCommand(EditContext& ctx, bool musicMode);

}  // namespace sw
