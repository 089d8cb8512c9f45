// The note dialogs' widgets: they show the model and write the choices back.
#include "ui/NoteDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
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

}  // namespace sw
