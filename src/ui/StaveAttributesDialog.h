// The stave attributes window and the plain instrument chooser behind its
// instrument buttons.
#pragma once

#include <QWidget>
#include <optional>

#include "editor/StaveAttributesDialog.h"

namespace sw {

class Host;

// True when OK closed the dialog with the model holding the choices.
bool RunStaveAttributesDialog(QWidget* parent, StaveAttributesModel& model,
                              const StaveAttributesModel::Chooser& choose, Host& host);

// The 128 General MIDI programs and "(Not allocated)": the program chosen
// (0..127, -1 for none), nullopt when cancelled.
std::optional<int> RunInstrumentChooser(QWidget* parent, int current);

}  // namespace sw
