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

bool RunClefDialog(QWidget* parent, ClefDialogModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::ClefAttributesCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    const auto& t = ClefDialogModel::kTypes;
    const auto& z = ClefDialogModel::kSizes;
    const auto& o = ClefDialogModel::kOctaves;
    QButtonGroup* type = RadioGroup(dialog, layout, " Type ", {t[0], t[1], t[2], t[3]}, model.type);
    QButtonGroup* size = RadioGroup(dialog, layout, " Size ", {z[0], z[1]}, model.size);
    QButtonGroup* octave =
        RadioGroup(dialog, layout, " Octave indication ", {o[0], o[1], o[2]}, model.octave);
    if (!RunOkCancel(dialog, layout)) return false;
    model.type = std::max(0, type->checkedId());
    model.size = std::max(0, size->checkedId());
    model.octave = std::max(0, octave->checkedId());
    return true;
}

bool RunKeySignatureDialog(QWidget* parent, KeySignatureDialogModel& model,
                           const std::function<void(int)>& refuse) {
    for (;;) {
        QDialog dialog(parent);
        dialog.setWindowTitle(QString::fromStdString(MessageText(msg::KeySignatureCaption)));
        auto* layout = new QVBoxLayout(&dialog);
        QButtonGroup* type = RadioGroup(dialog, layout, " Type ", {"&Flats", "&Sharps"},
                                        static_cast<int>(model.type));
        QButtonGroup* number =
            RadioGroup(dialog, layout, " Number ", {"&0", "&1", "&2", "&3", "&4", "&5", "&6", "&7"},
                       model.number);
        auto* naturals = new QCheckBox("With naturals on change");
        naturals->setChecked(model.naturals);
        layout->addWidget(naturals);
        if (!RunOkCancel(dialog, layout)) return false;
        model.type = static_cast<KeySignatureDialogModel::Type>(
            type->checkedId() < 0 ? -1 : type->checkedId());
        model.chooseNumber(std::max(0, number->checkedId()));
        model.naturals = naturals->isChecked();
        if (const std::optional<int> n = model.undecided()) {
            refuse(*n);
            continue;
        }
        return true;
    }
}

bool RunTimeSignatureDialog(QWidget* parent, TimeSignatureDialogModel& model,
                            const std::function<void()>& badLower) {
    using T = TimeSignatureDialogModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::TimeSignatureCaption)));
    auto* layout = new QVBoxLayout(&dialog);
    const auto& k = T::kTypes;
    QButtonGroup* type = RadioGroup(dialog, layout, " &Type ", {k[0], k[1], k[2], k[3]},
                                    static_cast<int>(model.type));
    const auto& q = T::kQuickCaptions;
    QButtonGroup* quick = RadioGroup(dialog, layout, " &Quick set ",
                                     {q[0], q[1], q[2], q[3], q[4], q[5]}, model.quick());
    auto* form = new QFormLayout;
    auto* upper = new QSpinBox;
    upper->setRange(1, 999);
    upper->setValue(model.upper);
    form->addRow("&Upper Number", upper);
    auto* lower = new QComboBox;
    lower->setEditable(true);
    lower->addItems({"1", "2", "4", "8", "16", "32", "64", "X"});
    lower->setEditText(QString::number(model.lower));
    form->addRow("&Lower Number", lower);
    layout->addLayout(form);
    QObject::connect(quick, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.quickSet(id);
        upper->setValue(model.upper);
        lower->setEditText(QString::number(model.lower));
        if (QAbstractButton* b = type->button(0)) b->setChecked(true);
    });
    QObject::connect(type, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.chooseType(static_cast<T::Type>(id));
        upper->setValue(model.upper);
        lower->setEditText(QString::number(model.lower));
        upper->setEnabled(id == T::Numbered || id == T::Single);
        lower->setEnabled(id == T::Numbered);
    });
    if (!RunOkCancel(dialog, layout)) return false;
    model.type = static_cast<T::Type>(std::max(0, type->checkedId()));
    model.setUpperText(std::to_string(upper->value()));
    if (!model.setLowerText(lower->currentText().toStdString())) badLower();
    return true;
}

}  // namespace sw
