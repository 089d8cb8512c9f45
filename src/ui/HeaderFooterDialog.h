// The header/footer chooser's window over its model.
#pragma once

#include "editor/PageSetup.h"

class QWidget;

namespace sw {

// Which area to edit; None when the user aborts.
HeaderFooterChooser::Choice ChooseHeaderFooter(QWidget* parent, const HeaderFooterChooser& model);

}  // namespace sw
