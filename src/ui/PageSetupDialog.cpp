// The page setup dialog.
#include "ui/PageSetupDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "core/Host.h"
#include "platform/QtPrinterPort.h"
#include "render/DrawContext.h"

namespace sw {

namespace {

// Enter moves to the next box instead of closing the dialog.
class EnterMovesFocus : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                auto* w = static_cast<QWidget*>(watched);
                if (QWidget* next = (key->modifiers() & Qt::ShiftModifier)
                                        ? w->previousInFocusChain()
                                        : w->nextInFocusChain())
                    next->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        return false;
    }
};

}  // namespace

CapacityReader PrinterCapacityReader(const std::string& lastUsed) {
    return [lastUsed](bool landscape, PrinterCaps& caps) {
        if (std::unique_ptr<QtPrinterPort> printer = SystemPrinter(lastUsed))
            return ReadPrinterCapacities(*printer, landscape, caps);
        RecordingPrinterPort standard;
        return ReadPrinterCapacities(standard, landscape, caps);
    };
}

bool RunPageSetupDialog(QWidget* parent, const QString& caption, PageData& page, bool& metric,
                        Host& host, const CapacityReader& printer, uint32_t formColour) {
    PaperDialogModel model(page, metric);
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    const QColor form = QColor::fromRgb(ToQRgb(formColour));
    const QColor shade(qRound(form.red() * 0.8), qRound(form.green() * 0.8),
                       qRound(form.blue() * 0.8));
    auto paint = [](QWidget* w, const QColor& c) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, c);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    };
    paint(&dialog, form);
    auto* enter = new EnterMovesFocus(&dialog);

    using Box = PaperDialogModel::Box;
    auto* layoutGroup = new QGroupBox(" Layout ");
    auto* grid = new QGridLayout(layoutGroup);
    std::array<QLineEdit*, PaperDialogModel::BoxCount> edits{};
    int row = 0;
    for (const auto& [box, label] : kPaperBoxes) {
        auto* edit = new QLineEdit;
        edit->setMaximumWidth(90);
        edit->installEventFilter(enter);
        auto* l = new QLabel(label);
        l->setBuddy(edit);
        grid->addWidget(l, row, 0);
        grid->addWidget(edit, row, 1);
        edits[box] = edit;
        ++row;
    }
    auto* facing = new QCheckBox("&Facing pages");
    facing->setChecked(page.Facing);
    grid->addWidget(facing, row++, 0, 1, 2);
    auto* printableWidth = new QLabel;
    auto* printableHeight = new QLabel;
    grid->addWidget(printableWidth, row++, 0, 1, 2);
    grid->addWidget(printableHeight, row++, 0, 1, 2);

    auto* sizeGroup = new QGroupBox(" Standard Size ");
    auto* sizeLayout = new QVBoxLayout(sizeGroup);
    auto* sizes = new QButtonGroup(&dialog);
    for (int i = 0; i <= kCustomSize; ++i) {
        auto* b = new QRadioButton(i < kCustomSize ? kStandardSizes[i].caption : "Custom si&ze");
        sizes->addButton(b, i);
        sizeLayout->addWidget(b);
    }
    auto* unitsGroup = new QGroupBox(" Units ");
    auto* unitsLayout = new QHBoxLayout(unitsGroup);
    auto* inch = new QRadioButton("&Inch");
    auto* mm = new QRadioButton("&mm");
    unitsLayout->addWidget(inch);
    unitsLayout->addWidget(mm);
    (metric ? mm : inch)->setChecked(true);
    auto* orientGroup = new QGroupBox(" Orientation ");
    auto* orientLayout = new QHBoxLayout(orientGroup);
    auto* portrait = new QRadioButton("&Portrait");
    auto* landscape = new QRadioButton("Land&scape");
    orientLayout->addWidget(portrait);
    orientLayout->addWidget(landscape);
    (page.landscape ? landscape : portrait)->setChecked(true);
    auto* largest = new QPushButton("U&se Largest Possible");

    auto refresh = [&] {
        for (const auto& entry : kPaperBoxes)
            edits[entry.box]->setText(QString::fromStdString(model.boxText(entry.box)));
        printableWidth->setText(QString::fromStdString(model.printableWidthText()));
        printableHeight->setText(QString::fromStdString(model.printableHeightText()));
        QSignalBlocker block(sizes);
        sizes->button(model.standardSize())->setChecked(true);
        QSignalBlocker blockP(portrait), blockL(landscape);
        (model.page().landscape ? landscape : portrait)->setChecked(true);
    };
    for (const auto& entry : kPaperBoxes) {
        const Box box = entry.box;
        QLineEdit* edit = edits[box];
        QObject::connect(edit, &QLineEdit::editingFinished, &dialog, [&, box, edit] {
            if (!edit->isModified()) return;
            edit->setModified(false);
            model.editBox(box, edit->text().toStdString(), host);
            refresh();
        });
    }
    QObject::connect(sizes, &QButtonGroup::idClicked, &dialog, [&](int id) {
        if (id < kCustomSize) model.chooseStandardSize(id, host);
        refresh();
    });
    QObject::connect(mm, &QRadioButton::toggled, &dialog, [&](bool on) {
        model.setMetric(on);
        refresh();
    });
    QObject::connect(landscape, &QRadioButton::toggled, &dialog, [&](bool on) {
        model.setLandscape(on, host);
        refresh();
    });
    QObject::connect(largest, &QPushButton::clicked, &dialog, [&] {
        model.useLargest(printer, host);
        refresh();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (model.accept(printer, host)) dialog.accept();
        refresh();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    for (QGroupBox* g : {layoutGroup, sizeGroup, unitsGroup, orientGroup})
        paint(g, shade);
    auto* right = new QVBoxLayout;
    right->addWidget(sizeGroup);
    right->addWidget(unitsGroup);
    right->addWidget(orientGroup);
    right->addWidget(largest);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(layoutGroup);
    top->addLayout(right);
    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(top);
    outer->addWidget(buttons);
    refresh();
    model.open(host);

    if (dialog.exec() != QDialog::Accepted) return false;
    PageData result = model.page();
    result.Facing = facing->isChecked();
    metric = model.metric();
    const bool changed = !SamePageData(result, page);
    page = result;
    return changed;
}

}  // namespace sw
