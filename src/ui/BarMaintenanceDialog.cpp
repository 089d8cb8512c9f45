// The "Bar Maintenance" dialog: radio groups, the spin box and the font row,
// every rule of what is shown taken from the model.
#include "ui/BarMaintenanceDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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

TBarform::TBarform(QWidget* parent, BarMaintenanceModel& model,
                   std::function<bool(FontDesc&)> chooseFont)
    : QDialog(parent), model_(model), chooseFont_(std::move(chooseFont)) {
    using M = BarMaintenanceModel;
    setWindowTitle(M::kCaption);
    auto* layout = new QVBoxLayout(this);

    auto* operations = new QGroupBox(M::kOperationTitle, this);
    auto* opLayout = new QVBoxLayout(operations);
    auto* opGroup = new QButtonGroup(this);
    for (int k = 0; k < M::kOperationCount; ++k) {
        auto* b = new QRadioButton(M::kOperations[static_cast<std::size_t>(k)], operations);
        b->setObjectName(QString("operation%1").arg(k));
        b->setEnabled(model.enabled(static_cast<M::Operation>(k)));
        opGroup->addButton(b, k);
        opLayout->addWidget(b);
    }
    layout->addWidget(operations);

    spinLabel_ = new QLabel(this);
    spinLabel_->setObjectName("spinLabel");
    auto* spin = new QSpinBox(this);
    spin->setObjectName("spin");
    spin->setRange(1, kMaxBarNumber);
    spin->setValue(model.number());
    spinLabel_->setBuddy(spin);
    spin_ = spin;
    layout->addWidget(spinLabel_);
    layout->addWidget(spin);

    auto* positions = new QGroupBox(M::kPositionTitle, this);
    positions->setObjectName("positions");
    positions_ = positions;
    auto* posLayout = new QVBoxLayout(positions);
    auto* posGroup = new QButtonGroup(this);
    const auto captions = model.placeCaptions();
    for (std::size_t k = 0; k < captions.size(); ++k) {
        auto* b = new QRadioButton(Text(captions[k]), positions);
        b->setObjectName(QString("place%1").arg(k));
        b->setChecked(static_cast<int>(k) == model.place());
        posGroup->addButton(b, static_cast<int>(k));
        posLayout->addWidget(b);
    }
    auto* frequencyLabel = new QLabel(M::kFrequencyCaption, positions);
    frequencyLabel->setObjectName("frequencyLabel");
    auto* frequency = new QComboBox(positions);
    frequency->setObjectName("frequency");
    for (int f : M::kFrequencies) {
        frequency->addItem(QString::number(f), f);
        if (f == model.frequency()) frequency->setCurrentIndex(frequency->count() - 1);
    }
    frequencyLabel->setBuddy(frequency);
    frequencyLabel_ = frequencyLabel;
    frequency_ = frequency;
    posLayout->addWidget(frequencyLabel);
    posLayout->addWidget(frequency);
    layout->addWidget(positions);

    auto* fontBox = new QGroupBox(M::kFontTitle, this);
    auto* fontLayout = new QVBoxLayout(fontBox);
    font_ = new QLabel(fontBox);
    font_->setObjectName("font");
    auto* changeFont = new QPushButton(M::kChangeFont, fontBox);
    changeFont->setObjectName("changeFont");
    auto* boxed = new QCheckBox(M::kBoxed, fontBox);
    boxed->setObjectName("boxed");
    boxed->setChecked(model.boxed());
    fontLayout->addWidget(font_);
    fontLayout->addWidget(changeFont);
    fontLayout->addWidget(boxed);
    layout->addWidget(fontBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(M::kOk);
    ok->setObjectName("ok");
    layout->addWidget(buttons);

    connect(opGroup, &QButtonGroup::idClicked, this, [this](int id) {
        model_.choose(static_cast<M::Operation>(id));
        refresh();
    });
    connect(posGroup, &QButtonGroup::idClicked, this, [this](int id) {
        model_.setPlace(id);
        refresh();
    });
    connect(spin, &QSpinBox::valueChanged, this, [this](int v) { model_.setNumber(v); });
    connect(frequency, &QComboBox::currentIndexChanged, this,
            [this, frequency](int) { model_.setFrequency(frequency->currentData().toInt()); });
    connect(boxed, &QCheckBox::toggled, this, [this](bool on) { model_.setBoxed(on); });
    connect(changeFont, &QPushButton::clicked, this, [this] {
        FontDesc font = model_.font();
        if (chooseFont_ && chooseFont_(font)) model_.setFont(font);
        refresh();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refresh();
}

void TBarform::refresh() {
    spinLabel_->setText(Text(model_.spinLabel()));
    spin_->setVisible(model_.spinShown());
    positions_->setVisible(model_.positionShown());
    frequencyLabel_->setVisible(model_.frequencyShown());
    frequency_->setVisible(model_.frequencyShown());
    font_->setText(Text(model_.fontDescription()));
}

bool RunBarMaintenanceDialog(QWidget* parent, BarMaintenanceModel& model,
                             const std::function<bool(FontDesc&)>& chooseFont) {
    TBarform dialog(parent, model, chooseFont);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
