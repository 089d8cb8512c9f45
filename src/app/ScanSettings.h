// The scan window's starting state from the settings' Scanner section and
// the user's default paper.
#pragma once

#include "app/Settings.h"
#include "scan/ImportController.h"

namespace sw {

ImportConfig ScanConfig(const Settings& settings);

}  // namespace sw
