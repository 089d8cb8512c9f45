// The "Transposing" dialog: every control writes to the model at once, so the
// warnings come when a choice is made and the list and box stay in step.
#include "ui/TransposeDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace sw {

namespace {

using M = TransposeDialogModel;

// A framed column of radio buttons with ids 0, 1, …
template <std::size_t N>
QButtonGroup* Choices(QDialog& dialog, QLayout* into, const char* title,
                      const std::array<const char*, N>& captions, int checked) {
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(&dialog);
    for (std::size_t k = 0; k < N; ++k) {
        auto* b = new QRadioButton(captions[k]);
        b->setChecked(static_cast<int>(k) == checked);
        group->addButton(b, static_cast<int>(k));
        column->addWidget(b);
    }
    into->addWidget(box);
    return group;
}

}  // namespace

bool RunTransposeDialog(QWidget* parent, TransposeDialogModel& model, Host& host,
                        WarningBox& warnings) {
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* columns = new QHBoxLayout(&dialog);

    auto* left = new QVBoxLayout;
    auto* listLabel = new QLabel(M::kIntervalLabel);
    auto* list = new QListWidget;
    for (const char* item : M::kIntervals)
        list->addItem(item);
    listLabel->setBuddy(list);
    left->addWidget(listLabel);
    left->addWidget(list);
    auto* distanceLabel = new QLabel(M::kDistanceLabel);
    auto* distance = new QSpinBox;
    distance->setRange(M::kMinDistance, M::kMaxDistance);
    distance->setSuffix(QString(" ") + M::kSemitones);
    distanceLabel->setBuddy(distance);
    left->addWidget(distanceLabel);
    left->addWidget(distance);
    auto* stems = new QCheckBox(M::kStems);
    stems->setToolTip(M::kStemsHint);
    stems->setChecked(model.adjustStems);
    left->addWidget(stems);
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    QButtonGroup* extent =
        Choices(dialog, right, M::kExtentTitle, M::kExtents, static_cast<int>(model.extent()));
    auto* respace = new QCheckBox(M::kRespace);
    respace->setChecked(model.respace);
    right->addWidget(respace);
    QButtonGroup* clef = Choices(dialog, right, M::kClefTitle, M::kClefs, model.clef() + 1);
    for (QAbstractButton* b : clef->buttons())
        b->setToolTip(M::kClefHint);
    auto* buttons = new QDialogButtonBox;
    QPushButton* doIt = buttons->addButton(M::kDoIt, QDialogButtonBox::AcceptRole);
    QPushButton* explain = buttons->addButton(M::kExplain, QDialogButtonBox::HelpRole);
    buttons->addButton(M::kCancel, QDialogButtonBox::RejectRole);
    doIt->setDefault(true);
    right->addWidget(buttons);
    columns->addLayout(right);

    // The controls show the model after every change it made or refused.
    auto show = [&] {
        const QSignalBlocker a(list), b(distance), c(extent), d(clef), e(respace);
        list->setCurrentRow(model.interval());
        distance->setValue(model.distance());
        extent->button(static_cast<int>(model.extent()))->setChecked(true);
        clef->button(model.clef() + 1)->setChecked(true);
        respace->setChecked(model.respace);
    };
    show();
    QObject::connect(list, &QListWidget::currentRowChanged, &dialog, [&](int row) {
        model.chooseInterval(row);
        show();
    });
    QObject::connect(distance, &QSpinBox::valueChanged, &dialog, [&](int v) {
        model.setDistance(v);
        show();
    });
    QObject::connect(stems, &QCheckBox::toggled, &dialog, [&](bool on) { model.adjustStems = on; });
    QObject::connect(respace, &QCheckBox::toggled, &dialog, [&](bool on) { model.respace = on; });
    QObject::connect(extent, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.chooseExtent(static_cast<TransposeExtent>(id), host);
        show();
    });
    QObject::connect(clef, &QButtonGroup::idClicked, &dialog, [&](int id) {
        model.chooseClefItem(id, host, warnings);
        show();
    });
    QObject::connect(explain, &QPushButton::clicked, &dialog, [&] { model.explain(host); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (model.doIt(host, warnings)) dialog.accept();
        show();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
