// The "Note Alignment Tool" and "Tremulo Beams" windows over their models.
#pragma once

#include <QWidget>

#include "editor/NoteDialogs.h"

namespace sw {

bool RunNoteAlignmentDialog(QWidget* parent, NoteAlignmentModel& model);
bool RunTremoloBeamsDialog(QWidget* parent, TremoloBeamsModel& model);

}  // namespace sw
