// The header/footer chooser.
#include "ui/HeaderFooterDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

HeaderFooterChooser::Choice ChooseHeaderFooter(QWidget* parent, const HeaderFooterChooser& model) {
    HeaderFooterChooser c = model;
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(MessageText(msg::HeadersAndFootersCaption)));
    auto* grid = new QGridLayout(&dialog);
    auto panel = [&](int row, int text, const std::string& size) {
        auto* l = new QLabel(QString::fromStdString(MessageText(text) + "  " + size));
        l->setStyleSheet("background: white; padding: 6px;");
        grid->addWidget(l, row, 0);
    };
    panel(0, msg::HeaderSize, c.headerText);
    panel(1, msg::FooterSize, c.footerText);
    auto* header = new QRadioButton("Define &Header");
    auto* footer = new QRadioButton("Define &Footer");
    header->setEnabled(c.headerEnabled);
    footer->setEnabled(c.footerEnabled);
    header->setChecked(c.chosen == HeaderFooterChooser::HeaderArea);
    footer->setChecked(c.chosen == HeaderFooterChooser::FooterArea);
    grid->addWidget(header, 0, 1);
    grid->addWidget(footer, 1, 1);
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Abort", QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 2, 0, 1, 2);
    auto follow = [&] {
        c.chosen = header->isChecked()   ? HeaderFooterChooser::HeaderArea
                   : footer->isChecked() ? HeaderFooterChooser::FooterArea
                                         : HeaderFooterChooser::None;
        ok->setEnabled(c.okEnabled());
    };
    QObject::connect(header, &QRadioButton::toggled, &dialog, follow);
    QObject::connect(footer, &QRadioButton::toggled, &dialog, follow);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    follow();
    if (dialog.exec() != QDialog::Accepted) return HeaderFooterChooser::None;
    return c.chosen;
}

}  // namespace sw
