// The main window.
#include "ui/MainWindow.h"

#include "app/ScanSettings.h"
#include "scan/Engine.h"
#include "ui/ImportWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "editor/FileCommands.h"
#include "fileio/ScoreFile.h"
#include "fileio/Templates.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "platform/FluidSynth.h"
#include "render/DrawContext.h"
#include "render/PageView.h"
#include "render/Text.h"
#include "ui/DocumentDialogs.h"
#include "ui/DocumentWindow.h"
#include "ui/FavouriteFontsDialog.h"
#include "ui/HeaderFooterDialog.h"
#include "ui/OptionsWindow.h"
#include "ui/PageSetupDialog.h"
#include "ui/PlayWindowWidget.h"
#include "ui/ReportWindow.h"
#include "ui/SavePartDialog.h"
#include "ui/TemplateDialog.h"
#include "ui/Tutorial.h"

namespace sw {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
const char* const kLevelNames[4] = {"&1 Beginner", "&2 Standard", "&3 Advanced",
                                    "&4 Without tooltips"};
}  // namespace

// What the main window does for its document.
class TMainForm::Services : public DocumentServices {
  public:
    explicit Services(TMainForm& form) : f_(form) {}
    void addToHistory(const std::string& path) override {
        AddToHistory(f_.app_, path);
        f_.rebuildHistoryMenu();
        // Looked at once the save is over: a recovered score that was written
        // no longer needs its backup.
        QTimer::singleShot(0, &f_, [this] {
            if (f_.child_) DocumentSaved(f_.app_, f_.child_->controller().modified());
        });
    }
    std::string fileDirectory() const override { return f_.settings_.fileDirectory; }
    void setFileDirectory(const std::string& dir) override { f_.settings_.fileDirectory = dir; }
    void refreshStatus() override { f_.refreshState(); }
    void enableBackupTimer(bool on) override {
        if (on && !f_.backupTimer_.isActive()) f_.armBackupTimer(BackupIntervalMs(f_.settings_));
    }
    std::string lastPrinter() const override { return f_.settings_.printer; }
    void setLastPrinter(const std::string& name) override { f_.settings_.printer = name; }
    void setMetric(bool metric) override { f_.settings_.unitsInches = !metric; }
    void setNeatenFactor(int f) override { f_.settings_.neatenFactor = f; }
    void setBarFont(const FontDesc& font) override { f_.settings_.barFont = FontSettingOf(font); }
    void setRulers(bool shown) override { f_.settings_.ruler = shown; }
    int* headerFooterReminders() override { return &f_.app_.headerFooterReminders; }
    int* numberingFrequency() override { return &f_.app_.numberingFrequency; }
    ReportSink* report() override { return f_.report_.get(); }
    PlayWindow* playWindow() override { return f_.playWindow(); }
    Settings* programSettings() override { return &f_.settings_; }
    bool programFolderReadOnly() const override { return f_.folder_.readOnly; }
    void optionsChanged(const OptionsOutcome& outcome) override { f_.applyOptions(outcome); }
    OptionsPlatform optionsPlatform() override { return f_.optionsPlatform(); }

  private:
    TMainForm& f_;
};

TMainForm::TMainForm(const AppFolder& folder, Settings settings, IniFile ini, bool ownsBackup)
    : folder_(folder),
      settings_(std::move(settings)),
      ini_(std::move(ini)),
      app_(settings_),
      host_(this) {
    app_.appDir = folder_.dir;
    app_.readOnly = folder_.readOnly;
    app_.settingsPath = folder_.settingsPath;
    app_.ownsBackup = ownsBackup;
    app_.warnings.setUserLevel(settings_.level);
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        if (settings_.suppressed.test(n)) app_.warnings.setSuppressed(n, true);

    const std::string product = MessageText(msg::ProductName);
    // Only the frame says the product's name: as the application's display
    // name too, it would be said twice in every caption.
    setWindowTitle(Q(product));

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
        if (child_ && index >= 0) showPage(index + 1);
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

    templates_ = BuildTemplateList(TemplateDirectory(folder_.dir));
    report_ = std::make_unique<ReportWindow>(this);
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
    fileMenu_
        ->addAction(Q(MessageText(msg::ImportMusicXmlCaption)), this, [this] { importMusicXml(); })
        ->setObjectName(kImportMusicXmlName);
    QAction* import =
        fileMenu_->addAction("&Import scanned music...", this, [this] { importScan(); });
    import->setObjectName("acImport");
    import->setEnabled(!recognitionEngine().empty());  // offered once an engine is installed
    closeAction_ = fileMenu_->addAction("&Close", this, [this] { closeDocument(); });
    historyStart_ = fileMenu_->addSeparator();
    historyEnd_ = fileMenu_->addSeparator();
    fileMenu_->addAction(Q(MessageText(msg::CheckHistoryListCaption)), this,
                         [this] { CheckHistoryList(app_, host_), rebuildHistoryMenu(); });
    fileMenu_->addAction("Delete History List", this,
                         [this] { DeleteHistoryList(app_, host_), rebuildHistoryMenu(); });
    fileMenu_->addSeparator();
    fileMenu_->addAction("E&xit Staffwright", this, [this] { close(); });

    QMenu* fonts = fontsMenu_ = menuBar()->addMenu("F&onts");
    fonts->addAction("Edit &Favourites...", this, [this] { editFavourites(); });

    QMenu* options = menuBar()->addMenu("O&ptions");
    QAction* configure = options->addAction("&Configure...", this, [this] { showOptions(); });
    configure->setObjectName("miConfigure");
    options->addAction("Default &Page Setup...", this, [this] { defaultPageSetup(); });
    options->addAction("Default &Stave Size...", this, [this] { defaultStaveSize(); });
    // Until the options window comes, the suppressed warnings come back from here.
    options->addAction("Reinstate &warnings", this, [this] {
        for (int n = 0; n < WarningBox::kSuppressible; ++n)
            app_.warnings.setSuppressed(n, false);
        host_.message(MsgType::Information, MessageText(msg::WarningsReinstated), Buttons::OK);
    });
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
            if (child_) child_->setUserLevel(level);
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
    tutorialAction_ = help->addAction("&Tutorial", this, [this] { toggleTutorial(); });
    tutorialAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F1));
    help->addAction("Tip of the &day", this, [this] { showTip(); });
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
    return child_ ? child_->pages() : 0;
}

int TMainForm::currentPage() const {
    return child_ ? child_->currentPage() : 0;
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
    closeAction_->setEnabled(child_ != nullptr);
    toolbar_->setVisible(child_ == nullptr);
    fileMenu_->menuAction()->setVisible(child_ == nullptr);
    if (!child_) {
        status_->clear();
        modePanel_->setText(Q(MessageText(msg::ProductName)));
        tabs_->hide();
        refreshBackground();
        return;
    }
    const Score& score = child_->score();
    const int mode = child_->controller().mode();
    // While a block is copied or moved the line names its target, in italics.
    const bool copying = mode == kModeBlockCpy || mode == kModeBlockVb;
    status_->setText(mode == kModePreview ? statusOverride_
                     : copying
                         ? Q(CopyToStatusText(score, child_->controller().block().targetFirst))
                         : Q(StatusText(score, score.CurrentStave)));
    // The preview's prompt is red italic.
    status_->setStyleSheet(mode == kModePreview && !statusOverride_.isEmpty()
                               ? "color: red; font-style: italic; font-size: 12pt;"
                           : copying ? "font-style: italic;"
                                     : QString());
    modePanel_->setText(Q(ModePanelText(mode)));
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
    if (watched == sub_ && sub_ && event->type() == QEvent::WindowStateChange &&
        !sub_->isMaximized()) {
        // Restored or minimised from its system menu: maximised again.
        QTimer::singleShot(0, this, [this] {
            if (sub_) sub_->showMaximized();
        });
    }
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
    const int first = child_ ? child_->score().Page1 : 1;
    for (int i = 0; i < count; ++i)
        tabs_->addTab(QString::number(first + i));
    tabs_->setVisible(count > 0);
}

void TMainForm::showPage(int page) {
    if (!child_) return;
    // Other modes keep their page; the tab goes back to it.
    if (child_->controller().mode() == kModeMusic) child_->controller().showPage(page);
    QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(child_->controller().page() - 1);
    child_->applyUi();
}

EditorSettings TMainForm::editorSettings() const {
    return EditorSettingsFrom(settings_);
}

bool TMainForm::startDocument(DocumentController::Start how, const std::string& path,
                              const std::string& name, bool recovering) {
    if (!services_) services_ = std::make_unique<Services>(*this);
    dialogs();
    auto* child =
        new TMDIChild(editorSettings(), glyphs_, host_, app_.warnings, *services_, *dialogs_);
    child_ = child;
    child->setColours(settings_.colours);
    connect(child, &TMDIChild::pagesChanged, this, [this](int n) { setPageTabs(n); });
    connect(child, &TMDIChild::pageShown, this, [this](int page) {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(page - 1);
        refreshState();
    });
    connect(child, &TMDIChild::statusOverride, this, [this](const QString& text) {
        statusOverride_ = text;
        refreshState();
    });
    connect(
        child, &TMDIChild::closeRequested, this, [this] { closeDocument(); }, Qt::QueuedConnection);
    connect(
        child, &TMDIChild::exitRequested, this, [this] { close(); }, Qt::QueuedConnection);
    connect(child, &TMDIChild::savePartRequested, this, [this] { savePartOfScore(); });
    connect(child, &TMDIChild::saveAsTemplateRequested, this, [this] { saveAsTemplate(); });
    // The one score fills the frame: no buttons to shrink it to a stamp.
    sub_ = mdi_->addSubWindow(child, Qt::SubWindow | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    sub_->setAttribute(Qt::WA_DeleteOnClose, false);
    sub_->setWindowIcon(QApplication::windowIcon());
    sub_->installEventFilter(this);
    for (QMenu* m : child->menus())
        menuBar()->insertMenu(fontsMenu_->menuAction(), m);
    if (!child->start(how, path, name, recovering)) {
        // The window goes; whatever the score came from stays on disk.
        dropChild();
        return false;
    }
    sub_->showMaximized();
    app_.documentOpen = true;
    refreshState();
    armBackupTimer(BackupIntervalMs(settings_));
    return true;
}

QtDocumentDialogs& TMainForm::dialogs() {
    if (!dialogs_) {
        auto dialogs =
            std::make_unique<QtDocumentDialogs>(this, settings_, host_, app_.warnings, glyphs_);
        dialogs->setFavourites(&settings_.favouritePrograms);
        dialogs->setBlockPosition(&settings_.blockLeft, &settings_.blockTop);
        dialogs_ = std::move(dialogs);
    }
    return static_cast<QtDocumentDialogs&>(*dialogs_);
}

OptionsPlatform TMainForm::optionsPlatform() {
    if (!facts_) facts_ = std::make_unique<DesktopFacts>(this);
    OptionsPlatform p;
    p.folders = &facts_->folders;
    p.system = &facts_->system;
    p.printers = &facts_->printers;
    p.appDir = folder_.dir;
    p.engine = recognitionEngine();
    p.program = FormatMessage(msg::ProgramVersion, MessageText(msg::ProductName),
                              QCoreApplication::applicationVersion().toStdString());
    return p;
}

void TMainForm::showOptions() {
    if (child_) {
        // The document's command: its score tab and its edit come with it.
        child_->action(Action::Options)->trigger();
        return;
    }
    OptionsModel model(settings_, nullptr, folder_.readOnly);
    model.platform = optionsPlatform();
    model.open(host_);
    if (!dialogs().options(model)) return;
    if (const std::optional<OptionsOutcome> out = model.accept()) applyOptions(*out);
}

void TMainForm::applyOptions(const OptionsOutcome& out) {
    app_.warnings.setUserLevel(settings_.level);
    if (out.levelChanged) {
        if (child_) child_->setUserLevel(settings_.level);
        refreshLevel();
    }
    if (out.backupChanged) armBackupTimer(BackupIntervalMs(settings_));
    if (out.firstPageChanged()) setPageTabs(pageCount());
    if (out.termsChanged && tutorialText_) {
        const int at = tutorialText_->cursorForPosition(QPoint(0, 0)).blockNumber();
        tutorialText_->setPlainText(Q(TutorialText(settings_.language == 1)));
        QTextCursor cursor(tutorialText_->document()->findBlockByNumber(at));
        tutorialText_->setTextCursor(cursor);
    }
    if (child_) {
        if (out.toolbarChanged) child_->fillToolBars();
        // The cursor's shape, the note names and the score tab show on the page.
        child_->showPage(child_->currentPage());
    }
}

void TMainForm::dropChild() {
    if (!child_) return;
    // The music stops and the play window goes with the document.
    if (play_) play_->setDocument(nullptr);
    for (QMenu* m : child_->menus())
        menuBar()->removeAction(m->menuAction());
    mdi_->removeSubWindow(sub_);
    sub_->deleteLater();
    sub_ = nullptr;
    child_ = nullptr;
    app_.documentOpen = false;
    setPageTabs(0);
    refreshState();
}

bool TMainForm::openScore(const std::string& path, bool recovering) {
    const std::string name = recovering ? std::string("NONAME1") : path;
    if (recovering) app_.creating = false;
    return startDocument(DocumentController::Start::File, path, name, recovering);
}

void TMainForm::newFile() {
    if (!MayOpenAnother(app_, host_)) return;
    app_.creating = true;
    if (!app_.currentFile.empty()) AddToHistory(app_, app_.currentFile);
    rebuildHistoryMenu();
    // Beyond the beginner's level, the templates are offered.
    std::string chosen;
    if (!templates_.empty() && settings_.templates && settings_.level != 1)
        chosen = ChooseTemplate(this, templates_, TemplateDirectory(folder_.dir), host_);
    const std::string name = std::string("NONAME1");
    if (chosen.empty())
        startDocument(DocumentController::Start::Empty, "", name, false);
    else
        startDocument(DocumentController::Start::Template, chosen, name, false);
    app_.creating = false;
}

// "Import MusicXML...": the file as a new untitled, modified score.
void TMainForm::importMusicXml() {
    if (!MayOpenAnother(app_, host_)) return;
    const std::optional<std::string> name =
        host_.openFileName(MusicXmlImportDialog(settings_.fileDirectory));
    if (!name) return;
    startDocument(DocumentController::Start::Import, *name, "NONAME1", false);
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

std::string TMainForm::recognitionEngine() const {
    return FindRecognitionEngine(folder_.dir, QCoreApplication::applicationDirPath().toStdString(),
                                 STAFFWRIGHT_BUILT_ENGINE);
}

void TMainForm::importScan() {
    ImportConfig config = ScanConfig(settings_);
    config.appDir = folder_.dir;
    config.engine = recognitionEngine();
    if (config.scoreFolder.empty()) config.scoreFolder = QDir::homePath().toStdString();
    std::string folder;
    const std::optional<std::string> score = RunImportWindow(this, config, host_, folder);
    if (!folder.empty()) settings_.scanDirectory = folder;
    if (!score || !MayOpenAnother(app_, host_)) return;
    OpenNamedFile(app_, *score, host_,
                  [this](const std::string& p, bool r) { return openScore(p, r); });
    rebuildHistoryMenu();
}

void TMainForm::openHistory(int number) {
    OpenHistoryEntry(app_, number, host_,
                     [this](const std::string& p, bool r) { return openScore(p, r); });
    rebuildHistoryMenu();
}

bool TMainForm::closeDocument() {
    if (!child_) return true;
    if (!child_->controller().queryClose()) return false;
    backupTimer_.stop();
    dropChild();
    DocumentClosed(app_);
    return true;
}

void TMainForm::armBackupTimer(int ms) {
    if (BackupTimerEnabled(app_))
        backupTimer_.start(ms);
    else
        backupTimer_.stop();
}

void TMainForm::backupTimerFired() {
    if (!child_) return;
    DocumentSaved(app_, child_->controller().modified());
    EditorIdleState idle;
    idle.modified = child_->controller().modified();
    idle.provisionalObject = child_->controller().provisionalActive();
    idle.focusObject = child_->controller().focusObject() > 0;
    idle.keyboardSelection = child_->controller().objectSelected();
    idle.musicMode = child_->controller().mode() == kModeMusic;
    switch (BackupDecision(app_, idle)) {
        case BackupAction::Nothing:
            return;
        case BackupAction::RetrySoon:
            armBackupTimer(kBackupRetryMs);
            return;
        case BackupAction::Save:
            break;
    }
    const std::string path = BackupPath(app_);
    Score& score = child_->score();
    SaveScore(score, path, 0, score.Nstaves, false, false, host_);
    armBackupTimer(BackupIntervalMs(settings_));
}

void TMainForm::firstShown(const std::vector<std::string>& args) {
    refreshBackground();
    FirstShown(app_, args, host_, [this](const std::string& p, bool r) { return openScore(p, r); });
    if (settings_.tips && args.empty()) showTip();
    rebuildHistoryMenu();
}

void TMainForm::defaultPageSetup() {
    PageData page = DefaultPageData(settings_);
    bool metric = !settings_.unitsInches;
    if (RunPageSetupDialog(this, Q(MessageText(msg::DefaultPageSetup)), page, metric, host_,
                           app_.warnings, PrinterCapacityReader(settings_.printer),
                           settings_.colour("Defaultform"))) {
        StoreDefaultPageData(settings_, page);
    }
    settings_.unitsInches = !metric;
}

void TMainForm::defaultStaveSize() {
    const std::optional<double> size =
        AskDefaultStaveSize(host_, DefaultStaveSize(settings_), !settings_.unitsInches);
    if (size) settings_.pageStave = static_cast<int>(std::lround(*size * 1000));
}

void TMainForm::savePartOfScore() {
    if (!child_) return;
    const auto systems = ChoosePartOfScore(this, child_->score(), host_);
    if (!systems) return;
    FileDialogSpec spec;
    spec.title = "Staffwright File Save";
    spec.filter = "Staffwright|*.SWN";
    spec.defaultExtension = "SWN";
    spec.directory = settings_.fileDirectory;
    spec.overwritePrompt = true;
    const std::optional<std::string> path = host_.saveFileName(spec);
    if (!path) return;
    const std::string dir = DirectoryOf(*path);
    if (!dir.empty() && QFileInfo(Q(dir)).isDir()) settings_.fileDirectory = dir;
    SavePartOfScore(child_->score(), systems->first, systems->second, *path, host_);
}

void TMainForm::saveAsTemplate() {
    if (!child_) return;
    const std::string dir = TemplateDirectory(folder_.dir);
    QDir().mkpath(Q(dir));
    FileDialogSpec spec;
    spec.title = "Staffwright Templates";
    spec.filter = "SW Template|*.SWT";
    spec.defaultExtension = "SWT";
    spec.directory = dir;
    spec.fileName = ChangeExtension(FileNameOf(child_->controller().documentName()), ".SWT");
    spec.overwritePrompt = true;
    const std::optional<std::string> path = host_.saveFileName(spec);
    if (!path) return;
    SaveAsTemplateCommand(child_->score(), *path, host_, templates_, settings_.templates,
                          app_.warnings);
}

void TMainForm::editFavourites() {
    if (!child_) {
        RunFavouriteFontsDialog(this, settings_, nullptr, host_);
        return;
    }
    // Texts that followed a changed favourite change the score.
    const auto before = child_->score().fonts;
    RunFavouriteFontsDialog(this, settings_, &child_->score(), host_);
    bool changed = false;
    for (std::size_t f = 0; f < before.size() && !changed; ++f) {
        const FontDesc& a = before[f];
        const FontDesc& b = child_->score().fonts[f];
        changed = a.name != b.name || a.size != b.size || a.style != b.style;
    }
    if (changed) {
        child_->controller().setModified(true);
        child_->relayout();
        child_->applyUi();
    }
}

void TMainForm::toggleTutorial() {
    if (tutorial_ && tutorial_->isVisible()) {
        closeTutorial();
        return;
    }
    if (!tutorial_) {
        tutorial_ = new QDockWidget("Tutorial", this);
        tutorial_->setFeatures(QDockWidget::DockWidgetClosable);
        tutorial_->setAllowedAreas(Qt::BottomDockWidgetArea);
        tutorialText_ = new QPlainTextEdit(tutorial_);
        tutorialText_->setReadOnly(true);
        tutorialText_->setPlainText(Q(TutorialText(settings_.language == 1)));
        tutorial_->setWidget(tutorialText_);
        // Top, up, down and close at the right of the pane's bar.
        auto* bar = new QWidget(tutorial_);
        auto* row = new QHBoxLayout(bar);
        row->setContentsMargins(6, 2, 6, 2);
        row->addWidget(new QLabel("Tutorial"), 1);
        auto button = [&](const QString& text, std::function<void()> run) {
            auto* b = new QToolButton(bar);
            b->setText(text);
            connect(b, &QToolButton::clicked, this, std::move(run));
            row->addWidget(b);
        };
        auto scrollBy = [this](int pages) {
            QScrollBar* v = tutorialText_->verticalScrollBar();
            v->setValue(v->value() + pages * v->pageStep());
        };
        button("Top", [this] { tutorialText_->verticalScrollBar()->setValue(0); });
        button("Up", [scrollBy] { scrollBy(-1); });
        button("Down", [scrollBy] { scrollBy(1); });
        button("Close", [this] { closeTutorial(); });
        tutorial_->setTitleBarWidget(bar);
        addDockWidget(Qt::BottomDockWidgetArea, tutorial_);
        resizeDocks({tutorial_}, {std::max(100, height() / 2)}, Qt::Vertical);
        connect(tutorial_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
            tutorialAction_->setText(shown ? "Close tutorial" : "&Tutorial");
        });
    }
    tutorial_->setMaximumHeight(std::max(100, height() * 2 / 3));
    tutorial_->setMinimumHeight(100);
    tutorial_->show();
    // Back where the user left off.
    const QTextBlock block =
        tutorialText_->document()->findBlockByNumber(std::max(0, settings_.tutorBookmark));
    if (block.isValid()) {
        QTextCursor at(block);
        tutorialText_->setTextCursor(at);
        tutorialText_->centerCursor();
    }
    // Running the tutorial is the beginner's way up.
    settings_.tutorial = true;
    if (settings_.level == 1) {
        settings_.level = 2;
        app_.warnings.setUserLevel(2);
        if (child_) child_->setUserLevel(2);
        refreshLevel();
    }
}

void TMainForm::closeTutorial() {
    if (!tutorial_) return;
    settings_.tutorBookmark = tutorialText_->cursorForPosition(QPoint(0, 0)).blockNumber();
    tutorial_->hide();
}

void TMainForm::showTip() {
    const std::vector<std::string>& tips = Tips();
    QMessageBox box(QMessageBox::Information, "Tip of the day",
                    Q(tips[static_cast<std::size_t>(settings_.runs) % tips.size()]),
                    QMessageBox::Ok, this);
    auto* again = new QCheckBox("Show tips at start");
    again->setChecked(settings_.tips);
    box.setCheckBox(again);
    box.exec();
    settings_.tips = again->isChecked();
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
    closeTutorial();
    writeSettings();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    if (clip && clip->hasImage() &&
        host_.message(MsgType::Warning, MessageText(msg::ClearClipboard), Buttons::YesNo) ==
            Answer::Yes)
        QGuiApplication::clipboard()->clear();
    event->accept();
}

PlayWindow* TMainForm::playWindow() {
    if (!dialogs_) return nullptr;
    if (!play_) {
        synthesiser_ =
            std::make_unique<FluidPlayer>(SoundConfig{settings_.soundFont, settings_.audioDriver});
        play_ = std::make_unique<PlayWindow>(settings_, host_, app_.warnings, *dialogs_,
                                             *synthesiser_, folder_.dir);
        playWidget_ = new PlayWindowWidget(this, *play_);
    }
    return play_.get();
}

}  // namespace sw
