// The play window's widgets: the range and tempo at the top, the buttons,
// and the options panel that "More >>" opens step by step.
#include "ui/PlayWindowWidget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/PlaybackDialogs.h"

namespace sw {

namespace {

constexpr int kPollMs = 100;
constexpr int kGrowMs = 10;
const char* const kTemperaments[] = {"Equal temperament", "Pythagorean", "Just intonation",
                                     "Meantone", "Great Highland Bagpipe tuning"};

}  // namespace

PlayWindowWidget::PlayWindowWidget(QWidget* parent, PlayWindow& model)
    : QDialog(parent, Qt::Tool), model_(model) {
    setObjectName("play1");
    setWindowTitle(PlayWindow::kCaption);
    setModal(false);
    auto* column = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* ranges = new QGroupBox;
    auto* rangeColumn = new QVBoxLayout(ranges);
    range_ = new QButtonGroup(this);
    for (std::size_t k = 0; k < PlayWindow::kRanges.size(); ++k) {
        auto* b = new QRadioButton(PlayWindow::kRanges[k]);
        range_->addButton(b, static_cast<int>(k));
        rangeColumn->addWidget(b);
    }
    continueOn_ = new QCheckBox(QString(PlayWindow::kContinueOn));
    repeats_ = new QCheckBox(PlayWindow::kRepeats);
    rangeColumn->addWidget(continueOn_);
    rangeColumn->addWidget(repeats_);
    top->addWidget(ranges);

    auto* controls = new QVBoxLayout;
    auto* tempoRow = new QHBoxLayout;
    tempoRow->addWidget(new QLabel("Tempo"));
    tempo_ = new QSpinBox;
    tempo_->setRange(PlayWindow::kMinTempo, PlayWindow::kMaxTempo);
    tempoRow->addWidget(tempo_);
    dotted_ = new QToolButton;
    dotted_->setText("♩.");
    dotted_->setCheckable(true);
    dotted_->setToolTip(PlayWindow::kDotted);
    tempoRow->addWidget(dotted_);
    controls->addLayout(tempoRow);
    auto* volumeRow = new QHBoxLayout;
    volumeRow->addWidget(new QLabel("Volume"));
    volume_ = new QSlider(Qt::Horizontal);
    volume_->setRange(0, PlayWindow::kMaxVolume);
    volume_->setTickPosition(QSlider::TicksBelow);
    volumeRow->addWidget(volume_);
    controls->addLayout(volumeRow);
    auto* instrumentLabel = new QLabel(PlayWindow::kInstrument);
    instrument_ = new QComboBox;
    instrumentLabel->setBuddy(instrument_);
    controls->addWidget(instrumentLabel);
    controls->addWidget(instrument_);
    controls->addStretch();
    top->addLayout(controls);
    column->addLayout(top);

    auto* buttonRow = new QHBoxLayout;
    auto add = [&](Action a, QBoxLayout* into) {
        auto* b = new QPushButton(Info(a).caption);
        b->setObjectName(Info(a).name);
        into->addWidget(b);
        buttons_.emplace_back(a, b);
        connect(b, &QPushButton::clicked, this, [this, a] {
            const bool ctrl = QApplication::keyboardModifiers() & Qt::ControlModifier;
            model_.run(a, ctrl);
        });
    };
    for (Action a : {Action::PlayButton, Action::PlayStop, Action::PlayClose, Action::SaveMidi,
                     Action::PlayMore})
        add(a, buttonRow);
    column->addLayout(buttonRow);

    options_ = new QWidget;
    auto* optionColumn = new QVBoxLayout(options_);
    auto* proximityRow = new QHBoxLayout;
    auto* proximityLabel = new QLabel(PlayWindow::kProximity);
    proximity_ = new QSpinBox;
    proximity_->setRange(1, 20);
    proximityLabel->setBuddy(proximity_);
    proximityRow->addWidget(proximityLabel);
    proximityRow->addWidget(proximity_);
    optionColumn->addLayout(proximityRow);
    grace_ = new QCheckBox(PlayWindow::kGraceNotes);
    optionColumn->addWidget(grace_);
    temperament_ = new QLabel;
    optionColumn->addWidget(temperament_);
    auto* optionButtons = new QHBoxLayout;
    add(Action::MoreSounds, optionButtons);
    add(Action::Temperament, optionButtons);
    optionColumn->addLayout(optionButtons);
    column->addWidget(options_);

    connect(range_, &QButtonGroup::idClicked, this, [this](int id) { model_.setRange(id); });
    connect(continueOn_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.setContinueOn(on);
    });
    connect(repeats_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.setRepeats(on);
    });
    connect(grace_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) model_.setGraceNotes(on);
    });
    connect(dotted_, &QToolButton::toggled, this, [this](bool on) {
        if (!refreshing_) model_.setDotted(on);
    });
    connect(tempo_, &QSpinBox::valueChanged, this, [this](int v) {
        if (!refreshing_) model_.setTempo(v);
    });
    connect(proximity_, &QSpinBox::valueChanged, this, [this](int v) {
        if (!refreshing_) model_.setProximity(v);
    });
    connect(volume_, &QSlider::valueChanged, this, [this](int v) {
        if (!refreshing_) model_.setVolumePosition(v);
    });
    connect(instrument_, &QComboBox::activated, this,
            [this](int index) { model_.setInstrument(instrument_->itemData(index).toInt()); });

    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { model_.tick(); });
    grow_.setInterval(kGrowMs);
    connect(&grow_, &QTimer::timeout, this, [this] {
        if (steps_.empty()) {
            grow_.stop();
            return;
        }
        resizeTo(steps_.front());
        steps_.erase(steps_.begin());
    });
    model_.changed = [this] { refresh(); };
    refresh();
}

QPushButton* PlayWindowWidget::button(Action a) const {
    for (const auto& [id, b] : buttons_)
        if (id == a) return b;
    return nullptr;
}

void PlayWindowWidget::resizeTo(int height) {
    setFixedHeight(height);
}

void PlayWindowWidget::refresh() {
    refreshing_ = true;
    if (QAbstractButton* b = range_->button(model_.range())) b->setChecked(true);
    continueOn_->setChecked(model_.continueOn());
    repeats_->setChecked(model_.repeats());
    dotted_->setChecked(model_.dotted());
    tempo_->setValue(model_.tempo());
    volume_->setValue(model_.volumePosition());
    instrument_->clear();
    for (const auto& [value, caption] : model_.instruments()) {
        instrument_->addItem(QString::fromStdString(caption), value);
        if (value == model_.instrument()) instrument_->setCurrentIndex(instrument_->count() - 1);
    }
    proximity_->setValue(model_.proximity());
    grace_->setChecked(model_.graceNotes());
    temperament_->setText(QString("Temperament: ") + kTemperaments[model_.temperament()]);
    for (const auto& [a, b] : buttons_)
        b->setEnabled(model_.canRun(a));
    button(Action::PlayMore)->setText(model_.moreCaption());
    refreshing_ = false;

    const bool open = model_.expanded();
    if (open == options_->isHidden()) {
        // The window grows or shrinks to its new height in steps.
        const int from = height();
        options_->setVisible(open);
        const int to = layout()->sizeHint().height();
        if (isVisible()) {
            steps_ = model_.resizeSteps(from, to);
            grow_.start();
        } else {
            resizeTo(to);
        }
    }
    if (model_.playing())
        poll_.start();
    else
        poll_.stop();
    if (model_.shown() && !isVisible()) {
        if (!placed_ && screen()) {
            const QRect area = screen()->availableGeometry();
            adjustSize();
            move(area.right() - width(), area.top());
            placed_ = true;
        }
        show();
        raise();
    } else if (!model_.shown() && isVisible()) {
        hide();
    }
}

void PlayWindowWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) model_.activate();
    QDialog::changeEvent(e);
}

// Esc closes the window unless the music is playing.
void PlayWindowWidget::reject() {
    if (model_.closesOnEsc()) model_.close();
}

void PlayWindowWidget::closeEvent(QCloseEvent* e) {
    model_.close();
    e->accept();
}

}  // namespace sw
