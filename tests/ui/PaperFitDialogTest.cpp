// The paper-fit dialog's widget: its texts from the model and what its
// buttons return.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "ui/PaperFitDialog.h"

namespace sw {
namespace {

TEST(PaperFitDialog, ShowsTheModelAndReturnsItsButtons) {
    const PaperDefaults letter{8500, 11000, 1000, 1000, 1000, 1000};
    const PaperFitDialogModel neither(10417, letter, 213);
    auto dialog = std::make_unique<TLayoutconfirm4>(nullptr, neither);
    EXPECT_EQ(dialog->windowTitle(), "SW Scan");
    EXPECT_EQ(dialog->findChild<QLabel*>("first")->text().toStdString(), neither.firstLabel());
    EXPECT_TRUE(dialog->findChild<QLabel*>("first")->font().bold());
    EXPECT_EQ(dialog->findChild<QLabel*>("second")->text().toStdString(), neither.secondLabel());
    QPushButton* portrait = dialog->findChild<QPushButton*>("default");
    QPushButton* other = dialog->findChild<QPushButton*>("other");
    EXPECT_TRUE(portrait->isDefault());
    EXPECT_EQ(other->text(), "Reduce stave size by 14% to make it fit in &Landscape mode");
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    other->click();
    EXPECT_EQ(dialog->result(), PaperFitDialogModel::kOtherButton);
    portrait->click();
    EXPECT_EQ(dialog->result(), PaperFitDialogModel::kDefaultButton);
    EXPECT_EQ(neither.choose(dialog->result()).staveSize, 132);
}

}  // namespace
}  // namespace sw
