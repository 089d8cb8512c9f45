// The stave attributes window.
#pragma once

#include <QWidget>
#include <optional>

#include "editor/StaveAttributesDialog.h"

namespace sw {

class Host;

// True when OK closed the dialog with the model holding the choices.
bool RunStaveAttributesDialog(QWidget* parent, StaveAttributesModel& model,
                              const StaveAttributesModel::Chooser& choose, Host& host);

}  // namespace sw
