// The note, signature and vertical spacing dialogs' windows over their models.
#pragma once

#include <QWidget>
#include <functional>

#include "editor/NoteDialogs.h"
#include "editor/SignatureDialogs.h"
#include "editor/VerticalSpacingDialog.h"

namespace sw {

bool RunNoteAlignmentDialog(QWidget* parent, NoteAlignmentModel& model);
bool RunVerticalSpacingDialog(QWidget* parent, VerticalSpacingModel& model);
bool RunTremoloBeamsDialog(QWidget* parent, TremoloBeamsModel& model);
bool RunNeatenDialog(QWidget* parent, NeatenDialogModel& model);
bool RunClefDialog(QWidget* parent, ClefDialogModel& model);
// `refuse` tells the user why OK cannot close it yet.
bool RunKeySignatureDialog(QWidget* parent, KeySignatureDialogModel& model,
                           const std::function<void(int)>& refuse);
bool RunTimeSignatureDialog(QWidget* parent, TimeSignatureDialogModel& model,
                            const std::function<void()>& badLower);

}  // namespace sw
