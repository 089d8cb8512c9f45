// The "Bar Maintenance" dialog: radio groups, the spin box and the font row,
// every rule of what is shown taken from the model.
#include "ui/BarMaintenanceDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "layout/Bars.h"

namespace sw {

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

bool RunBarMaintenanceDialog(QWidget* parent, BarMaintenanceModel& model,
                             const std::function<bool(FontDesc&)>& chooseFont) {
    using M = BarMaintenanceModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* layout = new QVBoxLayout(&dialog);

    auto* operations = new QGroupBox(M::kOperationTitle, &dialog);
    auto* opLayout = new QVBoxLayout(operations);
    auto* opGroup = new QButtonGroup(&dialog);
    for (int k = 0; k < M::kOperationCount; ++k) {
        auto* b = new QRadioButton(M::kOperations[static_cast<std::size_t>(k)], operations);
        b->setEnabled(model.enabled(static_cast<M::Operation>(k)));
        opGroup->addButton(b, k);
        opLayout->addWidget(b);
    }
    layout->addWidget(operations);

    auto* spinLabel = new QLabel(&dialog);
    auto* spin = new QSpinBox(&dialog);
    spin->setRange(1, kMaxBarNumber);
    spin->setValue(model.number());
    spinLabel->setBuddy(spin);
    layout->addWidget(spinLabel);
    layout->addWidget(spin);

    auto* positions = new QGroupBox(M::kPositionTitle, &dialog);
    auto* posLayout = new QVBoxLayout(positions);
    auto* posGroup = new QButtonGroup(&dialog);
    const auto captions = model.placeCaptions();
    for (std::size_t k = 0; k < captions.size(); ++k) {
        auto* b = new QRadioButton(Text(captions[k]), positions);
        b->setChecked(static_cast<int>(k) == model.place());
        posGroup->addButton(b, static_cast<int>(k));
        posLayout->addWidget(b);
    }
    auto* frequencyLabel = new QLabel(M::kFrequencyCaption, positions);
    auto* frequency = new QComboBox(positions);
    for (int f : M::kFrequencies) {
        frequency->addItem(QString::number(f), f);
        if (f == model.frequency()) frequency->setCurrentIndex(frequency->count() - 1);
    }
    frequencyLabel->setBuddy(frequency);
    posLayout->addWidget(frequencyLabel);
    posLayout->addWidget(frequency);
    layout->addWidget(positions);

    auto* fontBox = new QGroupBox(M::kFontTitle, &dialog);
    auto* fontLayout = new QVBoxLayout(fontBox);
    auto* fontName = new QLabel(Text(model.fontDescription()), fontBox);
    auto* changeFont = new QPushButton(M::kChangeFont, fontBox);
    auto* boxed = new QCheckBox(M::kBoxed, fontBox);
    boxed->setChecked(model.boxed());
    fontLayout->addWidget(fontName);
    fontLayout->addWidget(changeFont);
    fontLayout->addWidget(boxed);
    layout->addWidget(fontBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(M::kOk);
    layout->addWidget(buttons);

    auto refresh = [&] {
        spinLabel->setText(Text(model.spinLabel()));
        spin->setVisible(model.spinShown());
        positions->setVisible(model.positionShown());
        frequencyLabel->setVisible(model.frequencyShown());
        frequency->setVisible(model.frequencyShown());
        fontName->setText(Text(model.fontDescription()));
    };
    QObject::connect(opGroup, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.choose(static_cast<M::Operation>(id));
        refresh();
    });
    QObject::connect(posGroup, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.setPlace(id);
        refresh();
    });
    QObject::connect(spin, &QSpinBox::valueChanged, &dialog, [&](int v) { model.setNumber(v); });
    QObject::connect(frequency, &QComboBox::currentIndexChanged, &dialog,
                     [&](int) { model.setFrequency(frequency->currentData().toInt()); });
    QObject::connect(boxed, &QCheckBox::toggled, &dialog, [&](bool on) { model.setBoxed(on); });
    QObject::connect(changeFont, &QPushButton::clicked, &dialog, [&] {
        FontDesc font = model.font();
        if (chooseFont && chooseFont(font)) model.setFont(font);
        refresh();
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    refresh();
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
