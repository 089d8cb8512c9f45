// The "Scottish Pipes" dialog: seven tick boxes over the model, "Remove"
// unticking them all with the dialog left open.
#include "ui/BagpipeDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace sw {

bool RunPipesDialog(QWidget* parent, PipesDialogModel& model, Host& host) {
    using M = PipesDialogModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* column = new QVBoxLayout(&dialog);
    std::vector<QCheckBox*> boxes;
    for (std::size_t k = 0; k < M::kChoices.size(); ++k) {
        auto* box = new QCheckBox(M::kChoices[k]);
        box->setChecked(model.choice(k));
        QObject::connect(box, &QCheckBox::toggled, &dialog,
                         [&model, k](bool on) { model.choice(k) = on; });
        column->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* explain = buttons->addButton(M::kExplain, QDialogButtonBox::HelpRole);
    QPushButton* remove = buttons->addButton(M::kRemove, QDialogButtonBox::ResetRole);
    column->addWidget(buttons);
    QObject::connect(explain, &QPushButton::clicked, &dialog, [&] { model.explain(host); });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        model.remove();
        for (std::size_t k = 0; k < boxes.size(); ++k)
            boxes[k]->setChecked(model.choice(k));
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
