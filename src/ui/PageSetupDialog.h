// The page setup dialog's window over its model.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "editor/PageSetup.h"

class QWidget;

namespace sw {

class Host;
class WarningBox;

// What the system's printer (the one last used, else the default) can do;
// an empty reader when no printer is installed.
CapacityReader PrinterCapacityReader(const std::string& lastUsed);

// Shows the dialog on `page` in the given units; OK writes the page and the
// units back. True when the page data changed. `formColour` (0x00BBGGRR) is
// the dialogs' colour of the settings; its groups are a shade darker.
bool RunPageSetupDialog(QWidget* parent, const QString& caption, PageData& page, bool& metric,
                        Host& host, WarningBox& warnings, const CapacityReader& printer,
                        uint32_t formColour);

}  // namespace sw
