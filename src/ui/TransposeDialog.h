// The "Transposing" dialog's window over its model.
#pragma once

#include <QWidget>

#include "editor/TransposeDialog.h"

namespace sw {

class Host;
class WarningBox;

// True when "Do it!" closed the dialog with the model holding the choices.
bool RunTransposeDialog(QWidget* parent, TransposeDialogModel& model, Host& host,
                        WarningBox& warnings);

}  // namespace sw
