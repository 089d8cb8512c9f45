// The main window.
#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "render/DrawContext.h"
#include "render/PageView.h"
#include "render/Text.h"
#include "ui/FavouriteFontsDialog.h"
#include "ui/PageSetupDialog.h"

namespace sw {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
const char* const kLevelNames[4] = {"&1 Beginner", "&2 Standard", "&3 Advanced",
                                    "&4 Without tooltips"};
}  // namespace

struct TMainForm::Document {
    Score score;
    std::string path;
    std::string name;  // the window caption
    int pages = 0;
    int page = 1;
    bool modified = false;
    DrawSettings draw;
    QImage picture;
};

TMainForm::TMainForm(const AppFolder& folder, Settings settings, IniFile ini, bool ownsBackup)
    : folder_(folder),
      settings_(std::move(settings)),
      ini_(std::move(ini)),
      app_(settings_),
      host_(this) {
    app_.appDir = folder_.dir;
    app_.readOnly = folder_.readOnly;
    app_.ownsBackup = ownsBackup;
    app_.warnings.setUserLevel(settings_.level);
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        if (settings_.suppressed.test(n)) app_.warnings.setSuppressed(n, true);

    const std::string product = MessageText(msg::ProductName);
    setWindowTitle(Q(product));
    QApplication::setApplicationDisplayName(Q(product));

    mdi_ = new QMdiArea(this);
    mdi_->installEventFilter(this);
    setCentralWidget(mdi_);

    status_ = new QLabel(this);
    modePanel_ = new QLabel(this);
    modePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    modePanel_->setMinimumWidth(220);
    tabs_ = new QTabBar(this);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    statusBar()->addWidget(modePanel_);
    statusBar()->addWidget(status_, 1);
    statusBar()->addPermanentWidget(tabs_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (doc_ && index >= 0) showPage(index + 1);
    });

    buildMenus();

    const QSize screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableSize()
                             : QSize(1280, 1024);
    const bool large = screen.width() > 800 && screen.height() > 600 && settings_.maximised;
    background_ = ChooseBackground(settings_.startPic, settings_.runs,
                                   QRandomGenerator::global()->bounded(9), large);
    const QString file = QDir(Q(folder_.dir)).filePath(Q(background_.file));
    if (QFileInfo::exists(file)) backgroundPicture_.load(file);
    if (backgroundPicture_.isNull()) background_.tiled = true;  // the built-in logo tiles

    if (settings_.maximised) {
        resize(screen);
        setWindowState(Qt::WindowMaximized);
    } else {
        const int w = settings_.width > 0 ? settings_.width : screen.width() - 125;
        const int h = settings_.height > 0 ? settings_.height : screen.height() - 150;
        setGeometry(settings_.left, settings_.top, w, h);
    }

    backupTimer_.setSingleShot(true);
    connect(&backupTimer_, &QTimer::timeout, this, [this] { backupTimerFired(); });
    refreshState();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildMenus() {
    QStyle* st = style();
    fileMenu_ = menuBar()->addMenu("&File");
    QAction* newAct = fileMenu_->addAction(st->standardIcon(QStyle::SP_FileIcon), "&New", this,
                                           [this] { newFile(); });
    newAct->setShortcut(QKeySequence::New);
    QAction* openAct = fileMenu_->addAction(st->standardIcon(QStyle::SP_DialogOpenButton),
                                            "&Open...", this, [this] { openFile(false); });
    openAct->setShortcut(QKeySequence::Open);
    sampleAction_ = fileMenu_->addAction("Load &Sample File...", this, [this] { openFile(true); });
    sampleAction_->setVisible(QDir(QDir(Q(folder_.dir)).filePath("Samples")).exists());
    QAction* import = fileMenu_->addAction("&Import scanned music...");
    import->setEnabled(false);  // offered once a recognition engine is installed
    closeAction_ = fileMenu_->addAction("&Close", this, [this] { closeDocument(); });
    historyStart_ = fileMenu_->addSeparator();
    historyEnd_ = fileMenu_->addSeparator();
    fileMenu_->addAction(Q(MessageText(msg::CheckHistoryListCaption)), this,
                         [this] { CheckHistoryList(app_, host_), rebuildHistoryMenu(); });
    fileMenu_->addAction("Delete History List", this,
                         [this] { DeleteHistoryList(app_, host_), rebuildHistoryMenu(); });
    fileMenu_->addSeparator();
    fileMenu_->addAction("E&xit Staffwright", this, [this] { close(); });

    QMenu* fonts = menuBar()->addMenu("F&onts");
    fonts->addAction("Edit &Favourites...", this, [this] { editFavourites(); });

    QMenu* options = menuBar()->addMenu("O&ptions");
    QAction* configure = options->addAction("&Configure...");
    configure->setEnabled(false);  // the options window comes with the global options
    options->addAction("Default &Page Setup...", this, [this] { defaultPageSetup(); });
    options->addAction("Default &Stave Size...", this, [this] { defaultStaveSize(); });
    QAction* monitor = options->addAction("Other &Monitor", this, [this] {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.size() != 2) return;
        showNormal();
        const bool onFirst = screens[0]->geometry().contains(geometry().topLeft());
        move(onFirst ? screens[1]->geometry().topLeft() : QPoint(0, 0));
        showMaximized();
    });
    monitor->setVisible(QGuiApplication::screens().size() == 2);

    QMenu* user = menuBar()->addMenu("&User");
    auto* group = new QActionGroup(this);
    for (int level = 1; level <= 4; ++level) {
        QAction* a = user->addAction(kLevelNames[level - 1], this, [this, level] {
            settings_.level = level;
            app_.warnings.setUserLevel(level);
            refreshLevel();
        });
        a->setCheckable(true);
        group->addAction(a);
        levelActions_.push_back(a);
    }
    user->addSeparator();
    user->addAction("&Please explain this!", this, [this] {
        QMessageBox::information(
            this, "User levels",
            "Beginner: every warning and hint is shown, and new scores start empty.\n"
            "Standard: fewer warnings; templates are offered for new scores.\n"
            "Advanced: only the warnings that matter.\n"
            "Without tooltips: as Advanced, without the tooltips.");
    });

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("Guide to good &notation", this, [this] { showNotationGuide(); });
    help->addSeparator();
    help->addAction("&About Staffwright...", this, [this] { about(); });

    toolbar_ = addToolBar("Main");
    toolbar_->setMovable(false);
    toolbar_->addAction(newAct);
    toolbar_->addAction(openAct);

    rebuildHistoryMenu();
    refreshLevel();
}

void TMainForm::rebuildHistoryMenu() {
    for (QAction* a : historyActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    historyActions_.clear();
    const std::vector<std::string> captions = HistoryMenuCaptions(settings_.history);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* a = new QAction(Q(captions[i]), fileMenu_);
        const int number = static_cast<int>(i) + 1;
        connect(a, &QAction::triggered, this, [this, number] { openHistory(number); });
        fileMenu_->insertAction(historyEnd_, a);
        historyActions_.push_back(a);
    }
    historyEnd_->setVisible(!captions.empty());
}

void TMainForm::refreshLevel() {
    const int level = std::clamp(settings_.level, 1, 4);
    levelActions_[level - 1]->setChecked(true);
    // Tooltips go at the last level.
    const bool tips = level < 4;
    for (QAction* a : toolbar_ ? toolbar_->actions() : QList<QAction*>{})
        a->setToolTip(tips ? a->text().remove('&').remove("...") : QString());
}

int TMainForm::pageCount() const {
    return doc_ ? doc_->pages : 0;
}

int TMainForm::currentPage() const {
    return doc_ ? doc_->page : 0;
}

QString TMainForm::statusText() const {
    return status_->text();
}

QString TMainForm::modeText() const {
    return modePanel_->text();
}

int TMainForm::pageTabs() const {
    return tabs_->isVisibleTo(this) ? tabs_->count() : 0;
}

void TMainForm::refreshState() {
    closeAction_->setEnabled(doc_ != nullptr);
    toolbar_->setVisible(doc_ == nullptr);
    if (!doc_) {
        status_->clear();
        modePanel_->setText(Q(MessageText(msg::ProductName)));
        tabs_->hide();
        refreshBackground();
        return;
    }
    const int first = FirstStaveOnPage(doc_->score, doc_->page);
    status_->setText(Q(StatusText(doc_->score, first > 0 ? first : 1)));
    modePanel_->setText("Nothing Mode");
    if (sub_) sub_->setWindowTitle(Q(doc_->name) + (doc_->modified ? " (modified)" : ""));
}

void TMainForm::refreshBackground() {
    const QSize size = mdi_->viewport()->size();
    if (size.isEmpty()) return;
    QPixmap canvas(size);
    canvas.fill(QColor(background_.red, background_.green, background_.blue));
    QPainter p(&canvas);
    QImage picture = backgroundPicture_;
    if (picture.isNull()) {
        // The built-in logo: a stave with the program's name on it.
        picture = QImage(340, 170, QImage::Format_RGB32);
        picture.fill(QColor(background_.red, background_.green, background_.blue));
        QPainter lp(&picture);
        lp.setRenderHint(QPainter::Antialiasing);
        const QColor ink = qGray(background_.red, background_.green, background_.blue) > 128
                               ? QColor(40, 40, 40, 90)
                               : QColor(255, 255, 255, 70);
        lp.setPen(QPen(ink, 2));
        for (int i = 0; i < 5; ++i)
            lp.drawLine(20, 30 + 10 * i, 240, 30 + 10 * i);
        QFont f("Liberation Serif", 20, QFont::Bold, true);
        lp.setFont(f);
        lp.drawText(QRect(0, 75, 260, 35), Qt::AlignCenter, Q(MessageText(msg::ProductName)));
    }
    if (background_.tiled) {
        p.fillRect(canvas.rect(), QBrush(picture));
    } else {
        p.drawImage((size.width() - picture.width()) / 2,
                    (size.height() - picture.height()) / 2 - 25, picture);
    }
    p.end();
    mdi_->setBackground(QBrush(canvas));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdi_ && event->type() == QEvent::Resize) refreshBackground();
    if (watched == sub_ && sub_ && event->type() == QEvent::Close) {
        // The document's own close button asks about saving like File, Close.
        event->ignore();
        QTimer::singleShot(0, this, [this] { closeDocument(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::setPageTabs(int count) {
    QSignalBlocker block(tabs_);
    while (tabs_->count() > 0)
        tabs_->removeTab(tabs_->count() - 1);
    for (int i = 0; i < count; ++i)
        tabs_->addTab(QString::number(doc_->score.Page1 + i));
    tabs_->setVisible(count > 0);
}

void TMainForm::showPage(int page) {
    if (!doc_ || page < 1 || page > doc_->pages) return;
    doc_->page = page;
    if (SetUpPagePicture(doc_->picture, doc_->score, page, 32, settings_.language == 1, host_)) {
        DrawAll(PictureContext(doc_->picture, glyphs_, false), doc_->score, page, doc_->draw,
                PageViewState{});
        pageLabel_->setPixmap(QPixmap::fromImage(doc_->picture));
        pageLabel_->adjustSize();
    }
    {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(page - 1);
    }
    refreshState();
}

bool TMainForm::openScore(const std::string& path, bool recovering) {
    auto doc = std::make_unique<Document>();
    QtTextMeasurer measurer;
    const OpenResult r = OpenForDisplay(doc->score, path, host_, measurer);
    if (!r.load.ok) return false;
    doc->path = recovering ? std::string() : path;
    doc->name = recovering ? "NONAME" + std::to_string(++newCount_) : path;
    doc->pages = r.pages.pages;
    doc->modified = recovering;
    doc->draw.textEnv.filePath = path;
    if (recovering) app_.creating = false;
    adoptDocument(std::move(doc));
    return true;
}

void TMainForm::adoptDocument(std::unique_ptr<Document> doc) {
    doc->draw.textEnv.now = std::time(nullptr);
    doc_ = std::move(doc);
    scroll_ = new QScrollArea;
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter);
    pageLabel_ = new QLabel;
    pageLabel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    scroll_->setWidget(pageLabel_);
    sub_ = mdi_->addSubWindow(scroll_);
    sub_->setAttribute(Qt::WA_DeleteOnClose, false);
    sub_->setWindowIcon(QApplication::windowIcon());
    sub_->installEventFilter(this);
    sub_->showMaximized();
    app_.documentOpen = true;
    setPageTabs(doc_->pages);
    showPage(1);
    armBackupTimer(BackupIntervalMs(settings_));
}

void TMainForm::newFile() {
    if (!MayOpenAnother(app_, host_)) return;
    app_.creating = true;
    if (!app_.currentFile.empty()) AddToHistory(app_, app_.currentFile);
    rebuildHistoryMenu();
    auto doc = std::make_unique<Document>();
    doc->score.page = DefaultPageData(settings_);
    doc->score.staveSize = DefaultStaveSize(settings_);
    // Four empty staves across the music area until the new-score choices
    // (templates, stave layout) come with the document window.
    const int width = ComputePageGeometry(doc->score).width;
    for (int s = 0; s < 4; ++s)
        AppendStave(doc->score, 60 + 100 * s, 0, width - 10);
    QtTextMeasurer measurer;
    doc->pages = PrepareForDisplay(doc->score, host_, measurer).pages;
    doc->name = "NONAME" + std::to_string(++newCount_);
    adoptDocument(std::move(doc));
    app_.creating = false;
}

void TMainForm::openFile(bool samples) {
    if (!MayOpenAnother(app_, host_)) return;
    FileDialogSpec spec;
    spec.title = "Open";
    spec.filter = "Staffwright|*.SWN|All files|*";
    spec.directory =
        samples ? QDir(Q(folder_.dir)).filePath("Samples").toStdString() : settings_.fileDirectory;
    const std::optional<std::string> name = host_.openFileName(spec);
    if (!name) return;
    OpenNamedFile(app_, *name, host_,
                  [this](const std::string& p, bool r) { return openScore(p, r); });
    rebuildHistoryMenu();
}

void TMainForm::openHistory(int number) {
    OpenHistoryEntry(app_, number, host_,
                     [this](const std::string& p, bool r) { return openScore(p, r); });
    rebuildHistoryMenu();
}

bool TMainForm::closeDocument() {
    if (!doc_) return true;
    if (doc_->modified) {
        QMessageBox box(QMessageBox::Question, Q(MessageText(msg::ProductName)),
                        Q(MessageText(msg::ScoreNotSaved)), QMessageBox::NoButton, this);
        QAbstractButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
        box.addButton("&No", QMessageBox::NoRole);
        QAbstractButton* keep = box.addButton("&Don't close", QMessageBox::RejectRole);
        box.setDefaultButton(static_cast<QPushButton*>(yes));
        box.exec();
        if (box.clickedButton() == keep || box.clickedButton() == nullptr) return false;
        if (box.clickedButton() == yes) {
            std::string path = doc_->path;
            if (path.empty()) {
                FileDialogSpec spec;
                spec.title = "Save As";
                spec.filter = "Staffwright|*.SWN";
                spec.defaultExtension = "SWN";
                spec.directory = settings_.fileDirectory;
                spec.overwritePrompt = true;
                const std::optional<std::string> chosen = host_.saveFileName(spec);
                if (!chosen) return false;
                path = *chosen;
            }
            if (SaveScore(doc_->score, path, 0, doc_->score.Nstaves, false, true, host_) !=
                SaveResult::Saved)
                return false;
            AddToHistory(app_, path);
            rebuildHistoryMenu();
        }
    }
    backupTimer_.stop();
    mdi_->removeSubWindow(sub_);
    sub_->deleteLater();
    sub_ = nullptr;
    scroll_ = nullptr;
    pageLabel_ = nullptr;
    doc_.reset();
    app_.documentOpen = false;
    // A closed score needs no backup any more.
    if (app_.ownsBackup && !app_.readOnly)
        std::filesystem::remove(std::filesystem::path(folder_.dir) / kAutoSaveName);
    setPageTabs(0);
    refreshState();
    return true;
}

void TMainForm::armBackupTimer(int ms) {
    if (BackupTimerEnabled(app_))
        backupTimer_.start(ms);
    else
        backupTimer_.stop();
}

void TMainForm::backupTimerFired() {
    if (!doc_) return;
    EditorIdleState idle;
    idle.modified = doc_->modified;
    switch (BackupDecision(app_, idle)) {
        case BackupAction::Nothing:
            return;
        case BackupAction::RetrySoon:
            armBackupTimer(kBackupRetryMs);
            return;
        case BackupAction::Save:
            break;
    }
    const std::string path = (std::filesystem::path(folder_.dir) / kAutoSaveName).string();
    SaveScore(doc_->score, path, 0, doc_->score.Nstaves, false, false, host_);
    armBackupTimer(BackupIntervalMs(settings_));
}

void TMainForm::firstShown(const std::vector<std::string>& args) {
    refreshBackground();
    FirstShown(app_, args, host_, [this](const std::string& p, bool r) { return openScore(p, r); });
    rebuildHistoryMenu();
}

void TMainForm::defaultPageSetup() {
    PageData page = DefaultPageData(settings_);
    bool metric = !settings_.unitsInches;
    if (RunPageSetupDialog(this, Q(MessageText(msg::DefaultPageSetup)), page, metric, host_,
                           printerCapacities())) {
        StoreDefaultPageData(settings_, page);
    }
    settings_.unitsInches = !metric;
}

CapacityReader TMainForm::printerCapacities() const {
    // Without a printer of the system's, the capacities of the standard one.
    return [](bool landscape, PrinterCaps& caps) {
        caps = PrinterCaps{};
        if (landscape) {
            std::swap(caps.pageWidth, caps.pageLength);
            caps.landscape = true;
        }
        return true;
    };
}

void TMainForm::defaultStaveSize() {
    const std::optional<double> size =
        AskDefaultStaveSize(host_, DefaultStaveSize(settings_), !settings_.unitsInches);
    if (size) settings_.pageStave = static_cast<int>(std::lround(*size * 1000));
}

void TMainForm::editFavourites() {
    RunFavouriteFontsDialog(this, settings_, doc_ ? &doc_->score : nullptr, host_);
}

void TMainForm::showNotationGuide() {
    if (!QFileInfo::exists(QDir(Q(folder_.dir)).filePath("NOTATION.HLP")))
        app_.warnings.show(host_, msg::NotationGuideMissing, 5, false);
}

void TMainForm::about() {
    QMessageBox::about(this, "About Staffwright",
                       "<b>" + Q(MessageText(msg::ProductName)) +
                           "</b><p>Write music on the page, print it, play it.</p>"
                           "<p>Internal version : " +
                           QApplication::applicationVersion() + "</p>");
}

void TMainForm::writeSettings() {
    settings_.maximised = isMaximized();
    if (!settings_.maximised) {
        settings_.left = geometry().left(), settings_.top = geometry().top();
        settings_.width = geometry().width(), settings_.height = geometry().height();
    }
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        settings_.suppressed.set(n, app_.warnings.suppressed(n));
    settings_.level = app_.warnings.userLevel();
    if (!SaveSettingsFile(settings_, ini_, folder_.settingsPath))
        host_.message(MsgType::Error,
                      "The settings could not be written to " + folder_.settingsPath, Buttons::OK);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!closeDocument()) {
        event->ignore();
        return;
    }
    writeSettings();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    if (clip && clip->hasImage() &&
        host_.warning(MessageText(msg::ClearClipboard), Buttons::YesNo).answer == Answer::Yes)
        QGuiApplication::clipboard()->clear();
    event->accept();
}

}  // namespace sw
