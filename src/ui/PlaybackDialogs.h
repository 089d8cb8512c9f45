// The "General Midi Instruments" and "Temperament" dialogs over their models.
#pragma once

#include <QWidget>

#include "editor/PlaybackDialogs.h"

namespace sw {

// True when OK closed them, the choice in the model.
bool RunInstrumentDialog(QWidget* parent, InstrumentChooserModel& model);
bool RunTemperamentDialog(QWidget* parent, TemperamentDialogModel& model);

}  // namespace sw
