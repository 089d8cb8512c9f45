// The paper-fit dialog: two labels and two buttons on silver, centred on the
// screen, without title-bar buttons.
#include "ui/PaperFitDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace sw {

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

TLayoutconfirm4::TLayoutconfirm4(QWidget* parent, const PaperFitDialogModel& model)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    QDialog* dialog = this;
    dialog->setWindowTitle(Text(model.caption()));
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
    // Sized for 96 pixels an inch wherever the screen is finer or coarser.
    const int dpi = dialog->logicalDpiY();
    if (dpi > 0 && dpi != 96) {
        QFont font = dialog->font();
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pointSize();
        font.setPointSize(std::max(1, static_cast<int>(points * 96 / dpi)));
        dialog->setFont(font);
    }

    auto* first = new QLabel(Text(model.firstLabel()));
    first->setObjectName("first");
    first->setWordWrap(true);
    QFont bold = first->font();
    bold.setBold(true);
    first->setFont(bold);
    QPalette red = first->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    first->setPalette(red);
    auto* second = new QLabel(Text(model.secondLabel()));
    second->setObjectName("second");
    second->setWordWrap(true);
    auto* portrait = new QPushButton(Text(model.defaultButtonText()));
    portrait->setObjectName("default");
    portrait->setDefault(true);
    auto* other = new QPushButton(Text(model.otherButtonText()));
    other->setObjectName("other");

    QDialog* d = this;
    QObject::connect(portrait, &QPushButton::clicked, d,
                     [d] { d->done(PaperFitDialogModel::kDefaultButton); });
    QObject::connect(other, &QPushButton::clicked, d,
                     [d] { d->done(PaperFitDialogModel::kOtherButton); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(portrait);
    buttons->addWidget(other);
    auto* layout = new QVBoxLayout(d);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addLayout(buttons);
    d->setMinimumWidth(460);
}

int RunPaperFitDialog(QWidget* parent, const PaperFitDialogModel& model) {
    TLayoutconfirm4 dialog(parent, model);
    dialog.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->geometry().center() - dialog.rect().center());
    const int result = dialog.exec();
    return result == PaperFitDialogModel::kDefaultButton ? result
                                                         : PaperFitDialogModel::kOtherButton;
}

}  // namespace sw
