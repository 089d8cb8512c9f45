// The template selection window.
#include "ui/TemplateDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace sw {

std::string ChooseTemplate(QWidget* parent, std::vector<TemplateEntry>& list,
                           const std::string& directory, Host& host) {
    TemplateSelection selection(list, directory);
    QDialog dialog(parent);
    dialog.setWindowTitle("Staffwright Template Selection");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel("<b>Available templates</b>");
    layout->addWidget(label);
    auto* box = new QListWidget;
    layout->addWidget(box);
    auto refill = [&] {
        box->clear();
        for (const TemplateEntry& e : selection.entries())
            box->addItem(QString::fromStdString(e.description));
        box->setCurrentRow(0);
    };
    refill();
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    QPushButton* none = buttons->addButton("&No template", QDialogButtonBox::RejectRole);
    QPushButton* remove = buttons->addButton("&Delete", QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    bool chosen = false;
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        chosen = true;
        dialog.accept();
    });
    QObject::connect(box, &QListWidget::itemDoubleClicked, &dialog, [&] {
        chosen = true;
        dialog.accept();
    });
    QObject::connect(none, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(box, &QListWidget::currentRowChanged, &dialog,
                     [&](int row) { selection.select(row); });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
        selection.select(box->currentRow());
        if (selection.deleteSelected(host)) refill();
        ok->setEnabled(!selection.entries().empty());
        remove->setEnabled(!selection.entries().empty());
    });
    dialog.resize(480, 320);
    dialog.exec();
    if (!chosen) return {};
    selection.select(box->currentRow());
    return selection.choose();
}

}  // namespace sw
