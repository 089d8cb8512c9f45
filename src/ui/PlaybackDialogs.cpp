// The instrument chooser: a tab per page of families, a list box per family,
// the favourites list beside them; and the temperament choice.
#include "ui/PlaybackDialogs.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace sw {

namespace {

using M = InstrumentChooserModel;

constexpr int kFamilySize = 8;

QListWidgetItem* Item(int program) {
    auto* item = new QListWidgetItem(QString::fromStdString(M::Name(program)));
    item->setData(Qt::UserRole, program);
    return item;
}

}  // namespace

bool RunInstrumentDialog(QWidget* parent, InstrumentChooserModel& model) {
    QDialog dialog(parent);
    dialog.setWindowTitle(M::kCaption);
    auto* column = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    auto* tabs = new QTabWidget;
    row->addWidget(tabs, 1);
    auto* selected = new QLabel;
    std::vector<QListWidget*> lists;
    auto* favourites = new QListWidget;
    auto show = [&] { selected->setText(QString::fromStdString(model.selectedText())); };
    auto pick = [&](QListWidget* from, QListWidgetItem* item) {
        if (!item) return;
        model.choose(item->data(Qt::UserRole).toInt());
        for (QListWidget* l : lists)
            if (l != from) l->clearSelection();
        if (from != favourites) favourites->clearSelection();
        show();
    };
    for (const M::Page& page : M::Pages()) {
        auto* tab = new QWidget;
        auto* boxes = new QHBoxLayout(tab);
        for (const M::Family& family : page.families) {
            auto* box = new QGroupBox(family.name);
            auto* inBox = new QVBoxLayout(box);
            auto* list = new QListWidget;
            const int count = family.first == M::kSilence ? 1 : kFamilySize;
            for (int p = family.first; p < family.first + count; ++p) {
                list->addItem(Item(p));
                if (p == model.chosen()) list->setCurrentRow(p - family.first);
            }
            inBox->addWidget(list);
            boxes->addWidget(box);
            lists.push_back(list);
            QObject::connect(list, &QListWidget::itemClicked,
                             [&, list](QListWidgetItem* item) { pick(list, item); });
            QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
        }
        tabs->addTab(tab, page.caption);
    }
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(M::kFavourites));
    auto refill = [&] {
        favourites->clear();
        for (int f : model.favourites())
            favourites->addItem(Item(f - 1));
    };
    refill();
    side->addWidget(favourites);
    auto* add = new QPushButton(M::kAddFavourite);
    auto* remove = new QPushButton(M::kRemoveFavourite);
    side->addWidget(add);
    side->addWidget(remove);
    row->addLayout(side);
    QObject::connect(favourites, &QListWidget::itemClicked,
                     [&](QListWidgetItem* item) { pick(favourites, item); });
    QObject::connect(add, &QPushButton::clicked, [&] {
        if (model.addFavourite()) refill();
    });
    QObject::connect(remove, &QPushButton::clicked, [&] {
        if (model.removeFavourite()) refill();
    });
    column->addWidget(selected);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    show();
    return dialog.exec() == QDialog::Accepted;
}

bool RunTemperamentDialog(QWidget* parent, TemperamentDialogModel& model) {
    using T = TemperamentDialogModel;
    QDialog dialog(parent);
    dialog.setWindowTitle(T::kCaption);
    auto* column = new QVBoxLayout(&dialog);
    auto* box = new QGroupBox(T::kGroup);
    auto* inBox = new QVBoxLayout(box);
    auto* group = new QButtonGroup(&dialog);
    for (std::size_t k = 0; k < T::kChoices.size(); ++k) {
        auto* b = new QRadioButton(T::kChoices[k]);
        b->setChecked(static_cast<int>(k) == model.chosen());
        group->addButton(b, static_cast<int>(k));
        inBox->addWidget(b);
    }
    column->addWidget(box);
    auto* note = new QLabel(T::kNote);
    note->setWordWrap(true);
    column->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    QObject::connect(group, &QButtonGroup::idClicked, [&](int id) { model.choose(id); });
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
