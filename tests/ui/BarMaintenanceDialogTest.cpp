// The "Bar Maintenance" window: every control of its model is there, shown
// and enabled as the model says, and each one reaches the model.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "layout/Bars.h"
#include "ui/BarMaintenanceDialog.h"

namespace sw {
namespace {

using M = BarMaintenanceModel;

template <typename W>
W* Control(const QWidget& dialog, const QString& name) {
    W* w = dialog.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

TEST(BarMaintenanceDialog, EveryControlFollowsAndChangesTheModel) {
    M model({{"Times New Roman", 9, kItalic, 0, 1}, 1, 0, false}, 12, false, true, true);
    int fontsAsked = 0;
    TBarform w(nullptr, model, [&](FontDesc& f) {
        ++fontsAsked;
        f = {"Arial", 12, kBold, 0, 1};
        return true;
    });
    EXPECT_EQ(w.windowTitle(), "Bar Maintenance");
    for (int k = 0; k < M::kOperationCount; ++k) {
        auto* b = Control<QRadioButton>(w, QString("operation%1").arg(k));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), M::kOperations[static_cast<std::size_t>(k)]);
        EXPECT_EQ(b->isEnabled(), k != M::kMoveUp);
        EXPECT_FALSE(b->isChecked());
    }
    auto* spin = Control<QSpinBox>(w, "spin");
    auto* spinLabel = Control<QLabel>(w, "spinLabel");
    auto* positions = Control<QWidget>(w, "positions");
    auto* frequency = Control<QComboBox>(w, "frequency");
    auto* frequencyLabel = Control<QLabel>(w, "frequencyLabel");
    ASSERT_TRUE(spin && spinLabel && positions && frequency && frequencyLabel);
    EXPECT_EQ(spin->maximum(), kMaxBarNumber);
    EXPECT_EQ(spin->value(), 12);
    EXPECT_TRUE(spin->isHidden());
    EXPECT_EQ(spinLabel->text(), "");
    EXPECT_TRUE(positions->isHidden());

    Control<QRadioButton>(w, "operation3")->click();  // Go to
    EXPECT_EQ(model.operation(), M::kGoTo);
    EXPECT_FALSE(spin->isHidden());
    EXPECT_EQ(spinLabel->text(), "Target bar n&umber");
    spin->setValue(40);
    EXPECT_EQ(model.number(), 40);

    Control<QRadioButton>(w, "operation4")->click();  // Refresh
    EXPECT_EQ(spinLabel->text(), "First bar n&umber of piece");
    EXPECT_FALSE(positions->isHidden());
    EXPECT_TRUE(Control<QRadioButton>(w, "place1")->isChecked());
    EXPECT_EQ(Control<QRadioButton>(w, "place1")->text(), "&Staff upper left");
    EXPECT_TRUE(frequency->isHidden());
    Control<QRadioButton>(w, "place3")->click();
    EXPECT_EQ(model.place(), 3);
    EXPECT_FALSE(frequency->isHidden());
    EXPECT_FALSE(frequencyLabel->isHidden());
    EXPECT_EQ(frequency->currentText(), "5");  // unset shows 5
    frequency->setCurrentIndex(frequency->findText("10"));
    EXPECT_EQ(model.frequency(), 10);

    auto* boxed = Control<QCheckBox>(w, "boxed");
    ASSERT_NE(boxed, nullptr);
    EXPECT_EQ(boxed->text(), "Bo&xed bar numbers");
    boxed->click();
    EXPECT_TRUE(model.boxed());
    EXPECT_EQ(Control<QLabel>(w, "font")->text(), "Times New Roman, 9, italic");
    Control<QPushButton>(w, "changeFont")->click();
    EXPECT_EQ(fontsAsked, 1);
    EXPECT_EQ(Control<QLabel>(w, "font")->text(), "Arial, 12, bold");
    EXPECT_TRUE(model.changed());
    EXPECT_EQ(Control<QPushButton>(w, "ok")->text(), "O&K");
    Control<QPushButton>(w, "ok")->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace sw
