// The "Random Tune Generator" dialog's window over its model.
#pragma once

#include <QWidget>

#include "editor/RandomTuneDialog.h"

namespace sw {

// True when OK closed the dialog with the model holding the choices.
bool RunRandomTuneDialog(QWidget* parent, RandomTuneDialogModel& model);

}  // namespace sw
