// The paper-fit dialog (TLayoutconfirm4) over its model: how a recognised
// page that is too wide for portrait paper is made to fit.
#pragma once

#include <QDialog>

#include "scan/PaperFit.h"

namespace sw {

// The dialog: its default button returns 1, the other one (also Escape) 900.
class TLayoutconfirm4 : public QDialog {
  public:
    TLayoutconfirm4(QWidget* parent, const PaperFitDialogModel& model);
};

// Shows the dialog and returns the button pressed.
int RunPaperFitDialog(QWidget* parent, const PaperFitDialogModel& model);

}  // namespace sw
