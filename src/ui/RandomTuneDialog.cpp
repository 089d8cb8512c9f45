// The "Random Tune Generator" dialog: clef, length and complexity written to
// the model when OK closes it.
#include "ui/RandomTuneDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace sw {

bool RunRandomTuneDialog(QWidget* parent, RandomTuneDialogModel& model) {
    using M = RandomTuneDialogModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* column = new QVBoxLayout(&dialog);
    auto* clefBox = new QGroupBox(M::kClefTitle);
    auto* clefRow = new QHBoxLayout(clefBox);
    auto* clefs = new QButtonGroup(&dialog);
    for (std::size_t k = 0; k < M::kClefs.size(); ++k) {
        auto* b = new QRadioButton(M::kClefs[k]);
        b->setChecked(static_cast<int>(k) == model.options.clef);
        clefs->addButton(b, static_cast<int>(k));
        clefRow->addWidget(b);
    }
    column->addWidget(clefBox);
    auto* form = new QFormLayout;
    auto* length = new QSpinBox;
    length->setRange(TuneOptions::kMinLength, TuneOptions::kMaxLength);
    length->setValue(model.options.length);
    form->addRow(M::kLength, length);
    auto* complexity = new QComboBox;
    for (const char* c : M::kComplexities)
        complexity->addItem(c);
    complexity->setCurrentIndex(static_cast<int>(model.options.complexity));
    form->addRow(M::kComplexityTitle, complexity);
    column->addLayout(form);
    auto* note = new QLabel(M::kNote);
    note->setWordWrap(true);
    column->addWidget(note);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(M::kOk, QDialogButtonBox::AcceptRole);
    buttons->addButton(M::kAbort, QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    column->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return false;
    model.options.clef = clefs->checkedId();
    model.options.length = length->value();
    model.options.complexity = static_cast<TuneComplexity>(complexity->currentIndex());
    return true;
}

}  // namespace sw
