// The stave attributes window: every control writes to the model at once and
// all of them are shown again from it, so the rules between them hold.
#include "ui/StaveAttributesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "render/DrawContext.h"

namespace sw {

namespace {

using M = StaveAttributesModel;
constexpr uint32_t kFormColour = 0xC8FFFF;  // 0x00BBGGRR

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A framed pair of radio buttons for one model control: the first is "off".
QButtonGroup* Pair(QDialog& dialog, QLayout* into, const std::string& title, const char* off,
                   const char* on) {
    auto* box = new QGroupBox(Q(title));
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(&dialog);
    int id = 0;
    for (const char* caption : {off, on}) {
        auto* b = new QRadioButton(caption);
        group->addButton(b, id++);
        column->addWidget(b);
    }
    into->addWidget(box);
    return group;
}

}  // namespace

bool RunStaveAttributesDialog(QWidget* parent, StaveAttributesModel& model,
                              const StaveAttributesModel::Chooser& choose, Host& host) {
    QDialog dialog(parent);
    dialog.setWindowTitle(Q(model.caption()));
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(kFormColour)));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
    auto* columns = new QHBoxLayout;
    auto *left = new QVBoxLayout, *right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    QButtonGroup* conn =
        Pair(dialog, left, " Current Stave ", "&Do not join to next", "&Join to next");
    struct Box {
        M::Control control;
        QCheckBox* box;
    };
    std::vector<Box> boxes;
    auto addBox = [&](M::Control c, const std::string& caption, bool shown = true) {
        auto* b = new QCheckBox(Q(caption));
        b->setVisible(shown);
        left->addWidget(b);
        boxes.push_back({c, b});
    };
    addBox(M::Brace, "Wit&h brace");
    addBox(M::BarlineThrough, "Barline thro&ugh");
    addBox(M::FullEndBar, "Full end bar", false);
    addBox(M::Bracket, "With brac&ket");
    addBox(M::BracketNext, "Bracket with ne&xt");
    addBox(M::Invisible, "Invisible", false);
    addBox(M::PageBreak, model.pageBreakCaption());
    boxes.back().box->setToolTip("Tick to make a forced page break after this stave");

    QButtonGroup* lines = Pair(dialog, right, model.linesCaption(), "&5", "&1");
    QButtonGroup* size = Pair(dialog, right, model.sizeCaption(), "Nor&mal", "&Small");
    auto* numbersBox = new QGroupBox(" Location of bar numbers ");
    auto* numbersColumn = new QVBoxLayout(numbersBox);
    auto* numbers = new QButtonGroup(&dialog);
    const std::string places[] = {"&None", model.aboveCaption(), model.leftCaption(),
                                  "On &barlines"};
    for (int k = 0; k < 4; ++k) {
        auto* b = new QRadioButton(Q(places[k]));
        numbers->addButton(b, k);
        numbersColumn->addWidget(b);
    }
    right->addWidget(numbersBox);

    auto* transposeRow = new QHBoxLayout;
    auto* transposeLabel = new QLabel("T&ranspose");
    auto* transpose = new QSpinBox;
    transpose->setRange(-24, 24);
    transposeLabel->setBuddy(transpose);
    auto* octUp = new QPushButton("Octa&ve Up");
    auto* octDown = new QPushButton("Octave Do&wn");
    transposeRow->addWidget(transposeLabel);
    transposeRow->addWidget(transpose);
    transposeRow->addWidget(new QLabel(Q(model.unitCaption())));
    transposeRow->addWidget(octUp);
    transposeRow->addWidget(octDown);

    auto* instruments = new QGridLayout;
    auto *up = new QPushButton, *down = new QPushButton;
    instruments->addWidget(new QLabel("All"), 0, 0);
    instruments->addWidget(up, 0, 1);
    instruments->addWidget(new QLabel("Stems Down only"), 1, 0);
    instruments->addWidget(down, 1, 1);

    auto* replicate = new QPushButton("Re&plicate attributes");
    replicate->setCheckable(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(replicate, QDialogButtonBox::ActionRole);

    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(columns);
    outer->addLayout(transposeRow);
    outer->addLayout(instruments);
    outer->addWidget(buttons);

    // Everything shown from the model, without feeding back into it.
    auto show = [&] {
        std::vector<std::unique_ptr<QSignalBlocker>> quiet;
        for (QObject* o :
             std::initializer_list<QObject*>{conn, lines, size, numbers, transpose, replicate})
            quiet.push_back(std::make_unique<QSignalBlocker>(o));
        conn->button(model.value(M::Join) ? 1 : 0)->setChecked(true);
        for (QAbstractButton* b : conn->buttons())
            b->setEnabled(model.enabled(M::Join));
        for (const Box& b : boxes) {
            QSignalBlocker q(b.box);
            b.box->setChecked(model.value(b.control));
            b.box->setEnabled(model.enabled(b.control));
        }
        lines->button(model.value(M::OneLine) ? 1 : 0)->setChecked(true);
        size->button(model.value(M::Small) ? 1 : 0)->setChecked(true);
        for (QAbstractButton* b : size->buttons())
            b->setEnabled(model.enabled(M::Small));
        numbers->button(model.barNumbers())->setChecked(true);
        transpose->setValue(model.transpose());
        up->setText(Q(InstrumentCaption(model.instrumentUp())));
        down->setText(Q(InstrumentCaption(model.instrumentDown())));
        replicate->setChecked(model.replicate());
    };
    QObject::connect(conn, &QButtonGroup::idClicked, [&](int id) {
        model.set(M::Join, id == 1);
        show();
    });
    for (const Box& b : boxes)
        QObject::connect(b.box, &QCheckBox::toggled, [&, c = b.control](bool on) {
            model.set(c, on);
            show();
        });
    QObject::connect(lines, &QButtonGroup::idClicked, [&](int id) {
        model.set(M::OneLine, id == 1);
        show();
    });
    QObject::connect(size, &QButtonGroup::idClicked, [&](int id) {
        model.set(M::Small, id == 1);
        show();
    });
    QObject::connect(numbers, &QButtonGroup::idClicked, [&](int id) {
        model.setBarNumbers(id);
        show();
    });
    QObject::connect(transpose, &QSpinBox::valueChanged, [&](int v) {
        model.setTranspose(v);
        show();
    });
    QObject::connect(octUp, &QPushButton::clicked, [&] {
        model.octave(true);
        show();
    });
    QObject::connect(octDown, &QPushButton::clicked, [&] {
        model.octave(false);
        show();
    });
    QObject::connect(up, &QPushButton::clicked, [&] {
        model.chooseInstrumentUp(choose);
        show();
    });
    QObject::connect(down, &QPushButton::clicked, [&] {
        model.chooseInstrumentDown(choose, host);
        show();
    });
    QObject::connect(replicate, &QPushButton::toggled, [&](bool on) { model.setReplicate(on); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    show();
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace sw
