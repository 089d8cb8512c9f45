// The note dialogs' widgets: they show the model and write the choices back.
#include "ui/NoteDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

namespace {

// A framed group of radio buttons, the one at `checked` chosen.
QButtonGroup* RadioGroup(QDialog& dialog, QVBoxLayout* layout, const char* title,
                         std::initializer_list<const char*> captions, int checked) {
    auto* box = new QGroupBox(title);
    auto* inner = new QVBoxLayout(box);
    auto* group = new QButtonGroup(&dialog);
    int id = 0;
    for (const char* c : captions) {
        auto* b = new QRadioButton(c);
        b->setChecked(id == checked);
        group->addButton(b, id++);
        inner->addWidget(b);
    }
    layout->addWidget(box);
    return group;
}

bool RunOkCancel(QDialog& dialog, QVBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

bool RunNoteAlignmentDialog(QWidget* parent, NoteAlignmentModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::NoteAlignmentCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    QButtonGroup* extent = RadioGroup(dialog, layout, " Extent ",
                                      {"Current &Stave", "&Current System", "&Whole Score"},
                                      static_cast<int>(model.extent));
    QButtonGroup* method =
        RadioGroup(dialog, layout, " Method ", {"A&verage position", "Use &Leftmost note"},
                   model.average ? 0 : 1);
    auto* form = new QFormLayout;
    auto* proximity = new QSpinBox;
    proximity->setRange(NoteAlignmentModel::kMinProximity, NoteAlignmentModel::kMaxProximity);
    proximity->setValue(model.proximity());
    form->addRow("&Proximity", proximity);
    layout->addLayout(form);
    auto* grace = new QCheckBox("Include &Grace notes");
    grace->setChecked(model.includeGrace);
    layout->addWidget(grace);
    if (!RunOkCancel(dialog, layout)) return false;
    model.extent = static_cast<AlignExtent>(std::max(0, extent->checkedId()));
    model.average = method->checkedId() != 1;
    model.setProximityText(std::to_string(proximity->value()));
    model.includeGrace = grace->isChecked();
    return true;
}

bool RunTremoloBeamsDialog(QWidget* parent, TremoloBeamsModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::TremoloBeamsCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    const auto& c = TremoloBeamsModel::kChoices;
    QButtonGroup* beams = RadioGroup(dialog, layout, " Number of beams ",
                                     {c[0], c[1], c[2], c[3], c[4]}, model.beams());
    if (!RunOkCancel(dialog, layout)) return false;
    model.choose(std::max(0, beams->checkedId()));
    return true;
}

bool RunVerticalSpacingDialog(QWidget* parent, VerticalSpacingModel& model) {
    using M = VerticalSpacingModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* heading = new QLabel(QString::fromStdString(MessageText(msg::VerticalSpacingCaption)));
    auto* explanation =
        new QLabel(QString::fromStdString(MessageText(msg::VerticalSpacingExplanation)));
    explanation->setWordWrap(true);
    layout->addWidget(heading);
    layout->addWidget(explanation);
    QButtonGroup* type = RadioGroup(dialog, layout, M::kTypeTitle, {M::kTypes[0], M::kTypes[1]},
                                    model.equalSystems ? 0 : 1);
    layout->addWidget(new QLabel(M::kQuestion));
    auto* buttons = new QDialogButtonBox;
    buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    QPushButton* explain = buttons->addButton(M::kExplain, QDialogButtonBox::HelpRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(explain, &QPushButton::clicked, &dialog, [&dialog] {
        QMessageBox::information(
            &dialog, VerticalSpacingModel::kCaption,
            QString::fromStdString(MessageText(msg::VerticalSpacingExplanation)));
    });
    if (dialog.exec() != QDialog::Accepted) return false;
    model.equalSystems = type->checkedId() != 1;
    return true;
}

bool RunNeatenDialog(QWidget* parent, NeatenDialogModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::NeatenCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    QButtonGroup* scope =
        RadioGroup(dialog, layout, " Neaten ", {"This &system", "This &page", "&Whole Score"},
                   static_cast<int>(model.scope));
    auto* spacing = new QGroupBox("&Note Spacing");
    auto* row = new QHBoxLayout(spacing);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(NeatenDialogModel::kDurational, NeatenDialogModel::kEqual);
    slider->setValue(model.spacing());
    row->addWidget(new QLabel("Durational"));
    row->addWidget(slider);
    row->addWidget(new QLabel("Equal"));
    layout->addWidget(spacing);
    if (!RunOkCancel(dialog, layout)) return false;
    model.scope = static_cast<NeatenScope>(std::max(0, scope->checkedId()));
    model.setSpacing(slider->value());
    return true;
}

}  // namespace sw
