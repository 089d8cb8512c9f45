// The page setup dialog's window over its model.
#pragma once

#include <QString>

#include "editor/PageSetup.h"

class QWidget;

namespace sw {

class Host;

// Shows the dialog on `page` in the given units; OK writes the page and the
// units back. True when the page data changed.
bool RunPageSetupDialog(QWidget* parent, const QString& caption, PageData& page, bool& metric,
                        Host& host, const CapacityReader& printer);

}  // namespace sw
