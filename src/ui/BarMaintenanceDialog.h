// The "Bar Maintenance" dialog's widget over its model.
#pragma once

#include <QDialog>
#include <functional>

#include "editor/BarMaintenanceDialog.h"

class QLabel;

namespace sw {

// Every rule of what is shown comes from the model, which each control
// changes as it is used. The controls are named for tests: "operationN",
// "spinLabel", "spin", "positions", "placeN", "frequencyLabel", "frequency",
// "font", "changeFont", "boxed" and "ok".
class TBarform : public QDialog {
  public:
    // `chooseFont` opens the font dialog on the font it is given.
    TBarform(QWidget* parent, BarMaintenanceModel& model,
             std::function<bool(FontDesc&)> chooseFont);

  private:
    void refresh();

    BarMaintenanceModel& model_;
    std::function<bool(FontDesc&)> chooseFont_;
    QLabel* spinLabel_ = nullptr;
    QWidget* spin_ = nullptr;
    QWidget* positions_ = nullptr;
    QWidget* frequencyLabel_ = nullptr;
    QWidget* frequency_ = nullptr;
    QLabel* font_ = nullptr;
};

// Modal; true when OK closed it.
bool RunBarMaintenanceDialog(QWidget* parent, BarMaintenanceModel& model,
                             const std::function<bool(FontDesc&)>& chooseFont);

}  // namespace sw
