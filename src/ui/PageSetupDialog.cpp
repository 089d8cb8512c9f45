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
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "platform/QtPrinterPort.h"
#include "render/DrawContext.h"

namespace sw {

namespace {

// Enter moves to the next control as Tab does (Shift+Enter to the previous)
// and never closes the dialog, whichever control has the focus.
class PaperDialog : public QDialog {
  public:
    using QDialog::QDialog;
    // Called once every control is in place.
    void takeEnter() {
        for (QWidget* w : findChildren<QWidget*>())
            w->installEventFilter(this);
        for (QPushButton* b : findChildren<QPushButton*>())
            b->setAutoDefault(false), b->setDefault(false);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
        return true;
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
            return;
        }
        QDialog::keyPressEvent(event);
    }
};

}  // namespace

CapacityReader PrinterCapacityReader(const std::string& lastUsed) {
    // Without a printer, printing makes PDF files on whatever paper the page
    // has: there is nothing to read.
    if (!SystemPrinter(lastUsed)) return {};
    return [lastUsed](bool landscape, PrinterCaps& caps) {
        std::unique_ptr<QtPrinterPort> printer = SystemPrinter(lastUsed);
        return printer && ReadPrinterCapacities(*printer, landscape, caps);
    };
}

bool RunPageSetupDialog(QWidget* parent, const QString& caption, PageData& page, bool& metric,
                        Host& host, WarningBox& warnings, const CapacityReader& printer,
                        uint32_t formColour) {
    PaperDialogModel model(page, metric, warnings);
    PaperDialog dialog(parent);
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

    using Box = PaperDialogModel::Box;
    auto* layoutGroup = new QGroupBox(" Layout ");
    auto* grid = new QGridLayout(layoutGroup);
    std::array<QLineEdit*, PaperDialogModel::BoxCount> edits{};
    int row = 0;
    for (const auto& [box, label] : kPaperBoxes) {
        auto* edit = new QLineEdit;
        edit->setMaximumWidth(90);
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
    if (!printer) {
        auto* pdf = new QLabel(QString::fromStdString(MessageText(msg::NoPrinterPdf)));
        pdf->setWordWrap(true);
        right->addWidget(pdf);
    }
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(layoutGroup);
    top->addLayout(right);
    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(top);
    outer->addWidget(buttons);
    dialog.takeEnter();
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
