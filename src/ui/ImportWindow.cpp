// "SW Scan": buttons, menus, the picture with its crop overlay, the gauge and
// the summary panel, all showing ImportController's state. Scanning runs on a
// worker thread behind a progress box; the engine's lines arrive as events.
#include "ui/ImportWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "platform/EngineProcess.h"
#include "platform/SaneScanner.h"
#include "render/Text.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* const kBmpFilter = "BMP files|*.BMP";
constexpr int kRotateAndCropWidth = 800;  // narrower windows hide those buttons

// The page in black and white; null when there is none.
QImage MaskImage(const Mask& m) {
    if (m.width <= 0 || m.height <= 0) return QImage();
    QImage image(m.width, m.height, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < m.height; ++y) {
        uchar* row = image.scanLine(y);
        std::fill(row, row + image.bytesPerLine(), 0);
        for (int x = 0; x < m.width; ++x)
            if (m.at(x, y)) row[x / 8] |= static_cast<uchar>(0x80 >> (x % 8));
    }
    return image;
}

}  // namespace

// The picture as the window shows it, with the crop rectangle over it.
class ScanPicture : public QWidget {
  public:
    ScanPicture(ImportController& c, TImportform& form) : c_(c), form_(form) {
        setMouseTracking(false);
    }
    void pictureChanged() { image_ = MaskImage(c_.picture()); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (image_.isNull()) return;
        const ViewRect r = c_.displayed();
        const QRect target(r.x, r.y, r.width, r.height);
        p.drawImage(target, image_);
        const auto state = c_.cropState();
        if (state == ImportController::CropState::Defining ||
            state == ImportController::CropState::Defined) {
            const ViewRect k = c_.cropRectangle();
            p.setPen(QPen(QColor(255, 0, 0), 1));
            p.drawRect(r.x + k.x, r.y + k.y, k.width, k.height);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const auto state = c_.cropState();
        const ViewRect r = c_.displayed();
        const QPoint at = e->position().toPoint() - QPoint(r.x, r.y);
        if (state == ImportController::CropState::Defining ||
            state == ImportController::CropState::Defined) {
            c_.cropPress(at.x(), at.y());
        } else if (c_.hasPicture()) {
            c_.setScaled(!c_.scaled());
        }
        form_.refresh();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!(e->buttons() & Qt::LeftButton)) return;
        const ViewRect r = c_.displayed();
        c_.cropMove(e->position().toPoint().x() - r.x, e->position().toPoint().y() - r.y);
        update();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        const ViewRect r = c_.displayed();
        c_.cropRelease(e->position().toPoint().x() - r.x, e->position().toPoint().y() - r.y);
        form_.refresh();
    }

  private:
    ImportController& c_;
    TImportform& form_;
    QImage image_;
};

TImportform::TImportform(QWidget* parent, const ImportConfig& config, Host& host)
    : QDialog(parent), host_(host) {
    setObjectName("TImportform");
    measurer_ = std::make_unique<QtTextMeasurer>();
    scanner_ = std::make_unique<SaneScanner>();
    engine_ = std::make_unique<EngineProcess>(
        [this](const std::string& line) {
            controller_->engineLine(line);
            tick_.setInterval(controller_->gauge().intervalMs());
            refresh();
        },
        [this](int code, bool normal) {
            controller_->engineFinished(code, normal);
            tick_.stop();
            refresh();
        });
    auto random = std::make_shared<std::mt19937>(std::random_device{}());
    controller_ = std::make_unique<ImportController>(
        config, host, *measurer_, scanner_.get(), engine_.get(),
        [random](int below) { return std::uniform_int_distribution<int>(0, below - 1)(*random); });

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetNoConstraint);  // narrow windows drop buttons instead
    auto* menus = new QMenuBar(this);
    layout->setMenuBar(menus);
    QMenu* file = menus->addMenu("&File");
    file->addAction("&Open Bitmap", this, [this] { openBitmap(); });
    file->addAction("&Save Bitmap", this, [this] { saveBitmap(); });
    file->addAction("&Print Bitmap", this, [this] { printBitmap(); });
    QMenu* scan = menus->addMenu("&Scan");
    scan->addAction("Select Source", this, [this] { selectSource(); });
    scan->addAction("Acquire", this, [this] { acquire(); });
    QMenu* interpretMenu = menus->addMenu("&Interpret");
    interpretMenu->addAction("&Do it!", this, [this] { interpret(); });
    interpretMenu->addAction("Abort Interpret", this, [this] { controller_->abort(); });
    interpretMenu->addAction("&Re-interpret last run", this, [this] {
        controller_->reinterpret();
        refresh();
    });

    auto button = [this](const char* caption, auto fn) {
        auto* b = new QPushButton(caption, this);
        connect(b, &QPushButton::clicked, this, fn);
        return b;
    };
    auto* row = new QHBoxLayout;
    row->addWidget(button("&Open", [this] { openBitmap(); }));
    row->addWidget(save_ = button("Sa&ve", [this] { saveBitmap(); }));
    row->addWidget(button("Sca&n", [this] { acquire(); }));
    row->addWidget(rotateLeft_ = button("Rotate &Left", [this] {
                       controller_->rotate(false);
                       refresh();
                   }));
    row->addWidget(rotateRight_ = button("Rotate &Right", [this] {
                       controller_->rotate(true);
                       refresh();
                   }));
    row->addWidget(define_ = button("Define Cropping &Area", [this] {
                       controller_->defineCrop();
                       refresh();
                   }));
    row->addWidget(crop_ = button("&Crop", [this] {
                       controller_->crop();
                       refresh();
                   }));
    row->addWidget(abandon_ = button("&Abandon crop", [this] {
                       controller_->abandonCrop();
                       refresh();
                   }));
    scaled_ = new QCheckBox("&Show scaled", this);
    connect(scaled_, &QCheckBox::clicked, this, [this](bool on) {
        controller_->setScaled(on);
        refresh();
    });
    row->addWidget(scaled_);
    row->addWidget(button("&Clear", [this] {
        controller_->clear();
        refresh();
    }));
    row->addStretch();
    layout->addLayout(row);

    auto* options = new QHBoxLayout;
    auto* dpiLabel = new QLabel("Scan &DPI", this);
    dpi_ = new QLineEdit(Q(controller_->dpiText()), this);
    dpi_->setMaximumWidth(60);
    dpi_->setToolTip("The dots per inch of the picture. Affects the stave size in Staffwright");
    dpiLabel->setBuddy(dpi_);
    connect(dpi_, &QLineEdit::editingFinished, this, [this] {
        const int beeps = controller_->beeps();
        dpi_->setText(Q(controller_->setDpiText(dpi_->text().toStdString())));
        if (controller_->beeps() != beeps) QApplication::beep();
    });
    options->addWidget(dpiLabel);
    options->addWidget(dpi_);
    options->addWidget(interpret_ = button("Int&erpret", [this] { interpret(); }));
    auto check = [this, options](const char* caption, bool& value, const char* hint = nullptr) {
        auto* box = new QCheckBox(caption, this);
        box->setChecked(value);
        if (hint) box->setToolTip(hint);
        connect(box, &QCheckBox::toggled, this, [&value](bool on) { value = on; });
        options->addWidget(box);
        return box;
    };
    ScanOptions& o = controller_->options();
    words_ = check("Include &Words", o.words, "Include an interpretation of text in the image");
    curves_ = check("Include C&urves", o.curves,
                    "Include an interpretation of phrases, ties and slurs in the image");
    oldSymbols_ = check("Old s&ymbols", o.oldSymbols);
    grace_ = check("&Grace notes", o.graceNotes);
    thin_ = check("Th&in Beams", o.thinBeams);
    symmetric_ = check("Sy&mmetric Whites", o.symmetricHeads);
    accents_ = check("&Allow accents", o.accents);
    options->addStretch();
    options->addWidget(abort_ = button("Abort Interpret", [this] { controller_->abort(); }));
    options->addWidget(exit_ = button("E&xit && Return", [this] { exitAndReturn(); }));
    options->addSpacing(10 - options->contentsMargins().right());
    layout->addLayout(options);

    scroll_ = new QScrollArea(this);
    picture_ = new ScanPicture(*controller_, *this);
    scroll_->setWidget(picture_);
    layout->addWidget(scroll_, 1);

    auto* bottom = new QHBoxLayout;
    gauge_ = new QProgressBar(this);
    gauge_->setRange(0, 100);
    engineLabel_ = new QLabel(this);
    bottom->addWidget(gauge_, 1);
    bottom->addWidget(engineLabel_);
    layout->addLayout(bottom);

    summary_ = new QGroupBox("Summary", this);
    summary_->setAutoFillBackground(true);
    auto* grid = new QGridLayout(summary_);
    const char* const names[] = {"Systems", "Staves",  "Bars",  "Notes",   "Curves",
                                 "Clefs",   "Keysigs", "Words", "Timesigs"};
    for (int i = 0; i < 9; ++i) {
        auto* box = new QLineEdit("0", summary_);
        box->setReadOnly(true);
        box->setObjectName(names[i]);
        grid->addWidget(new QLabel(names[i], summary_), i, 0);
        grid->addWidget(box, i, 1);
        counts_.push_back(box);
    }
    auto* ok = new QPushButton("O&K", summary_);
    ok->setToolTip("Accept this file and load it into Staffwright");
    auto* cancel = new QPushButton("C&ancel", summary_);
    cancel->setToolTip("Abandon - don't load into Staffwright");
    connect(ok, &QPushButton::clicked, this, [this] {
        controller_->summaryOk();
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        controller_->summaryCancel();
        refresh();
    });
    grid->addWidget(ok, 9, 0);
    grid->addWidget(cancel, 9, 1);
    summary_->hide();

    connect(&tick_, &QTimer::timeout, this, [this] { engineTick(); });
    refresh();
}

TImportform::~TImportform() {
    tick_.stop();
    engine_.reset();
}

void TImportform::refresh() {
    ImportController& c = *controller_;
    setWindowTitle(Q(c.caption()));
    const QSize area = scroll_->viewport()->size();
    c.setView(area.width(), area.height());
    const ViewRect shown = c.displayed();
    picture_->resize(c.scaled() ? area
                                : QSize(std::max(1, shown.width), std::max(1, shown.height)));
    scroll_->setWidgetResizable(false);
    picture_->pictureChanged();
    picture_->update();
    const bool picture = c.hasPicture(), running = c.running();
    const auto crop = c.cropState();
    save_->setEnabled(picture);
    const bool wide = width() >= kRotateAndCropWidth;
    if (rotateLeft_->isVisibleTo(this) != wide) {
        for (QPushButton* b : {rotateLeft_, rotateRight_, define_, crop_, abandon_})
            b->setVisible(wide);
        layout()->activate();
    }
    rotateLeft_->setEnabled(picture && !running);
    rotateRight_->setEnabled(picture && !running);
    define_->setEnabled(crop == ImportController::CropState::Ready);
    crop_->setEnabled(crop == ImportController::CropState::Defined);
    abandon_->setEnabled(crop == ImportController::CropState::Defined);
    picture_->setCursor(crop == ImportController::CropState::Defining ? Qt::CrossCursor
                                                                      : Qt::ArrowCursor);
    scaled_->setChecked(c.scaled());
    interpret_->setEnabled(picture && !running && c.engineAvailable());
    abort_->setVisible(running);
    gauge_->setVisible(running);
    gauge_->setValue(c.gauge().position());
    engineLabel_->setVisible(c.diagnostics());
    engineLabel_->setText(Q(c.engineLabel()));
    const RecognitionCounts& k = c.counts();
    const int values[] = {k.systems, k.staves,  k.bars,  k.notes,   k.curves,
                          k.clefs,   k.keysigs, k.words, k.timesigs};
    for (std::size_t i = 0; i < counts_.size(); ++i)
        counts_[i]->setText(QString::number(values[i]));
    summary_->setVisible(c.summaryShown());
    if (c.summaryShown()) {
        summary_->adjustSize();
        summary_->move((width() - summary_->width()) / 2, 40);
        summary_->raise();
    }
}

void TImportform::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    refresh();
}

FileDialogSpec TImportform::bitmapDialog(const char* title) const {
    FileDialogSpec spec;
    spec.title = title;
    spec.filter = kBmpFilter;
    spec.defaultExtension = "BMP";
    spec.directory = controller_->pictureFolder();
    return spec;
}

void TImportform::openBitmap() {
    const FileDialogSpec spec = bitmapDialog("Open Bitmap");
    if (const std::optional<std::string> name = host_.openFileName(spec))
        controller_->openPicture(*name);
    refresh();
}

void TImportform::saveBitmap() {
    FileDialogSpec spec = bitmapDialog("Save Bitmap");
    spec.overwritePrompt = true;
    if (const std::optional<std::string> name = host_.saveFileName(spec))
        controller_->savePicture(*name);
    refresh();
}

void TImportform::printBitmap() {
    if (!controller_->checkPrintable()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    // The painter's origin is the printable area's corner; the page fills that area.
    QPainter p(&printer);
    p.drawImage(
        QRect(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()),
        MaskImage(controller_->picture()));
}

void TImportform::selectSource() {
    const std::vector<std::string> sources = controller_->sources();
    QStringList names;
    for (const std::string& s : sources)
        names << Q(s);
    if (names.isEmpty()) {
        host_.message(MsgType::Error, "No scanner was found.", Buttons::OK);
        return;
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        this, "Select Source", "Scanner", names,
        std::max<qsizetype>(0, names.indexOf(Q(controller_->source()))), false, &ok);
    if (ok) controller_->selectSource(chosen.toStdString());
}

void TImportform::acquire() {
    std::atomic<int> percent{0};
    std::atomic<bool> cancel{false}, done{false};
    ScanOutcome outcome;
    QProgressDialog progress("Scanning...", "Cancel", 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    std::thread worker([&] {
        outcome = controller_->scan([&](int p) {
            percent = p;
            return !cancel.load();
        });
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        progress.setValue(percent);
        if (progress.wasCanceled()) cancel = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    progress.close();
    controller_->acquired(std::move(outcome));
    refresh();
}

void TImportform::interpret() {
    if (!controller_->interpret()) return;
    tick_.start(controller_->gauge().intervalMs());
    refresh();
}

void TImportform::engineTick() {
    ScanGauge& g = controller_->gauge();
    g.tick();
    tick_.setInterval(g.intervalMs());
    gauge_->setValue(g.position());
}

void TImportform::exitAndReturn() {
    result_ = controller_->exitAndReturn();
    accept();
}

std::optional<std::string> RunImportWindow(QWidget* parent, const ImportConfig& config, Host& host,
                                           std::string& pictureFolder) {
    TImportform form(parent, config, host);
    if (parent && parent->isMaximized())
        form.setWindowState(Qt::WindowMaximized);
    else if (parent)
        form.setGeometry(parent->geometry());
    const bool accepted = form.exec() == QDialog::Accepted;
    pictureFolder = form.controller().pictureFolder();
    return accepted ? form.result() : std::nullopt;
}

}  // namespace sw
