// The note alignment, neatening and vertical spacing dialogs' windows over their models.
#pragma once

#include <QWidget>
#include <functional>

#include "editor/NoteDialogs.h"
#include "editor/VerticalSpacingDialog.h"

namespace sw {

bool RunNoteAlignmentDialog(QWidget* parent, NoteAlignmentModel& model);
bool RunVerticalSpacingDialog(QWidget* parent, VerticalSpacingModel& model);
bool RunTremoloBeamsDialog(QWidget* parent, TremoloBeamsModel& model);
bool RunNeatenDialog(QWidget* parent, NeatenDialogModel& model);

}  // namespace sw
