// The "Save Part of Score" window.
#include "ui/SavePartDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/FileCommands.h"

namespace sw {

std::optional<std::pair<int, int>> ChoosePartOfScore(QWidget* parent, const Score& score,
                                                     Host& host) {
    SavePartChooser chooser(score);
    QDialog dialog(parent);
    dialog.setWindowTitle("Save Part of Score");
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("<b>System Number</b>"), 0, 1);
    grid->addWidget(new QLabel("<b>Stave number</b>"), 0, 2);
    auto spin = [&](int value, const char* hint) {
        auto* s = new QSpinBox;
        s->setRange(0, chooser.systems());
        s->setValue(value);
        s->setToolTip(hint);
        return s;
    };
    QSpinBox* start = spin(chooser.start(), "The first system number you want to save");
    QSpinBox* end = spin(chooser.end(), "The last system number you  want to save");
    auto* startStave = new QLineEdit;
    auto* endStave = new QLineEdit;
    for (QLineEdit* e : {startStave, endStave}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setMaximumWidth(60);
    }
    auto* startLabel = new QLabel("&Start at");
    startLabel->setBuddy(start);
    auto* endLabel = new QLabel("&End at");
    endLabel->setBuddy(end);
    grid->addWidget(startLabel, 1, 0);
    grid->addWidget(start, 1, 1);
    grid->addWidget(startStave, 1, 2);
    grid->addWidget(endLabel, 2, 0);
    grid->addWidget(end, 2, 1);
    grid->addWidget(endStave, 2, 2);

    auto show = [&] {
        startStave->setText(QString::fromStdString(chooser.startStaveText()));
        endStave->setText(QString::fromStdString(chooser.endStaveText()));
        QSignalBlocker block(end);
        end->setValue(chooser.end());
    };
    QObject::connect(start, &QSpinBox::valueChanged, &dialog, [&](int v) {
        chooser.setStart(v);
        show();
    });
    QObject::connect(end, &QSpinBox::valueChanged, &dialog, [&](int v) {
        chooser.setEnd(v);
        show();
    });
    show();

    auto* buttons = new QDialogButtonBox;
    buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("C&ancel", QDialogButtonBox::RejectRole);
    std::optional<std::pair<int, int>> chosen;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        // A range back to front keeps the window open.
        if (!chooser.accept(host)) return;
        chosen = std::make_pair(chooser.start(), chooser.end());
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(grid);
    outer->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return chosen;
}

}  // namespace sw
