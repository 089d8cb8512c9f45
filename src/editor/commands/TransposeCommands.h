// Transposition from the "Transposing" dialog as one edit: the questions it
// raises are asked before anything changes, and a refusal leaves no record.
#pragma once

#include "core/TextMeasurer.h"
#include "editor/ScoreEdit.h"
#include "editor/TransposeDialog.h"

namespace sw {

// Carries out the dialog's choices on the extent around stave s. True when
// the score changed.
bool TransposeFromDialog(EditContext& ctx, const TransposeDialogModel& model, int s,
                         const TextMeasurer& measurer);

}  // namespace sw
