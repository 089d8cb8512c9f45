// The "Bar Maintenance" dialog's widget over its model.
#pragma once

#include <functional>

#include "editor/BarMaintenanceDialog.h"

class QWidget;

namespace sw {

// Modal; true when OK closed it. `chooseFont` opens the font dialog.
bool RunBarMaintenanceDialog(QWidget* parent, BarMaintenanceModel& model,
                             const std::function<bool(FontDesc&)>& chooseFont);

}  // namespace sw
