// The "Scottish Pipes" dialog's window over its model.
#pragma once

#include <QWidget>

#include "editor/BagpipeDialog.h"

namespace sw {

// True when OK closed the dialog with the model holding the ticked boxes.
bool RunPipesDialog(QWidget* parent, PipesDialogModel& model, Host& host);

}  // namespace sw
