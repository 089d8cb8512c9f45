// The document window.
#include "ui/DocumentWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontComboBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidgetAction>
#include <ctime>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/Dump.h"
#include "layout/Bars.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "platform/QtPrinterPort.h"
#include "render/DrawContext.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/PageView.h"
#include "render/Preview.h"
#include "render/PrintJob.h"
#include "render/Rulers.h"
#include "render/Surface.h"
#include "render/VectorExport.h"
#include "ui/OverlayPainter.h"
#include "ui/PageSetupDialog.h"
#include "ui/RulerBar.h"

namespace sw {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

Qt::CursorShape QtCursor(CursorShape c) {
    switch (c) {
        case CursorShape::Hidden:
            return Qt::BlankCursor;
        case CursorShape::Pencil:
            return Qt::CrossCursor;
        case CursorShape::Cursor1:
            return Qt::IBeamCursor;
        case CursorShape::Cursor3:
        case CursorShape::Cursor4:
        case CursorShape::Cursor8:
            return Qt::CrossCursor;
        case CursorShape::Cursor9:
            return Qt::SplitHCursor;
        case CursorShape::Cursor13:
            return Qt::SizeAllCursor;
        case CursorShape::Cursor14:
            return Qt::PointingHandCursor;
        case CursorShape::MoveStave:
            return Qt::SizeVerCursor;
        case CursorShape::MoveBar:
            return Qt::SizeHorCursor;
        case CursorShape::HandFlat:
            return Qt::OpenHandCursor;
        case CursorShape::ArrowH:
        case CursorShape::ArrowF:
            return Qt::UpArrowCursor;
        case CursorShape::Hourglass:
            return Qt::WaitCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

TMDIChild::TMDIChild(const EditorSettings& settings, const GlyphStore& glyphs, Host& host,
                     WarningBox& warnings, DocumentServices& services, DocumentDialogs& dialogs,
                     QWidget* parent)
    : QMainWindow(parent),
      undo_(std::make_unique<FileUndoStorage>()),
      glyphs_(glyphs),
      host_(host),
      warnings_(warnings),
      services_(services),
      dialogs_(dialogs) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    controller_ = std::make_unique<DocumentController>(score_, settings, host_, warnings, undo_,
                                                       static_cast<PageViewPort&>(*this), services_,
                                                       dialogs_, measurer_);
    draw_.textEnv.now = std::time(nullptr);
    draw_.barFont = settings.barFont;

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    scroll_ = new QScrollArea(central);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter);
    // The scroll box's own colour, a dark brown round the page.
    scroll_->setStyleSheet("QScrollArea { background: #804000; }");
    pageLabel_ = new QLabel;
    pageLabel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    scroll_->setWidget(pageLabel_);
    scroll_->viewport()->installEventFilter(this);
    scroll_->installEventFilter(this);
    pageLabel_->installEventFilter(this);
    pageLabel_->setMouseTracking(true);
    // The rulers stand above and left of the page view, outside what scrolls.
    auto* framed = new QGridLayout;
    framed->setContentsMargins(0, 0, 0, 0);
    framed->setSpacing(0);
    auto menu = [this](QPoint at) { rulerMenu(at); };
    topRuler_ = new RulerBar(
        true, [this] { return rulerView(true); }, menu, central);
    leftRuler_ = new RulerBar(
        false, [this] { return rulerView(false); }, menu, central);
    rulerCorner_ = new QWidget(central);
    rulerCorner_->setFixedSize(kRulerThickness, kRulerThickness);
    framed->addWidget(rulerCorner_, 0, 0);
    framed->addWidget(topRuler_, 0, 1);
    framed->addWidget(leftRuler_, 1, 0);
    framed->addWidget(scroll_, 1, 1);
    layout->addLayout(framed, 1);
    rulersShown_ = settings.rulers;
    rulerCentimetres_ = settings.metric;
    for (QScrollBar* bar : {scroll_->horizontalScrollBar(), scroll_->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { updateRulers(); });
    // Guidance stays on screen while the user works, unlike a tooltip.
    guidance_ = new QLabel(central);
    guidance_->setWordWrap(true);
    guidance_->setMargin(6);
    guidance_->setStyleSheet("background: #00FF00; color: black;");
    guidance_->hide();
    layout->addWidget(guidance_);
    setCentralWidget(central);

    buildActions();
    buildToolBars();
    buildPreviewBar();
    updateRulers();
    for (auto* bar : findChildren<QToolBar*>())
        for (QAction* a : bar->actions())
            if (QWidget* button = bar->widgetForAction(a)) button->installEventFilter(this);
    // The beginner's guidance follows what has been done so far.
    novice_.setInterval(100);
    connect(&novice_, &QTimer::timeout, this, [this] {
        if (controller_->settings().level != 1 || controller_->mode() != kModeMusic) return;
        const std::string before = controller_->ui().guidance;
        controller_->noviceTick();
        if (controller_->ui().guidance != before) applyUi();
    });
    applyUi();
}

void TMDIChild::setColours(const Colours& colours) {
    draw_.colours = colours;
}

void TMDIChild::setUserLevel(int level) {
    controller_->setUserLevel(level);
    if (level == 1)
        novice_.start();
    else
        novice_.stop();
    applyUi();
}

TMDIChild::~TMDIChild() {
    undo_.close();
}

QList<QKeySequence> KeysOf(const ActionInfo& info) {
    QList<QKeySequence> keys;
    for (const QString& k : QString(info.keys).split(',', Qt::SkipEmptyParts))
        keys << QKeySequence::fromString(k.trimmed(), QKeySequence::PortableText);
    return keys;
}

QAction* TMDIChild::action(Action id) {
    return actionsById_[static_cast<std::size_t>(id)];
}

void TMDIChild::buildActions() {
    // The window's own commands; the rest are the controller's.
    const std::map<Action, std::function<void()>> own = {
        {Action::Print, [this] { print(); }},
        {Action::PictureFile,
         [this] { ExportPagePicture(host_, glyphs_, score_, controller_->page(), draw_); }},
        {Action::Clipboard,
         [this] {
             QtClipboardPort clipboard;
             CopyPageToClipboard(host_, clipboard, glyphs_, score_, controller_->page(), draw_);
         }},
        {Action::Dump,
         [this] {
             FileDialogSpec spec;
             spec.title = "Open";
             spec.filter = "Staffwright|*.SWN|Templates|*.SWT|All files|*";
             spec.directory = services_.fileDirectory();
             RunDumpCommand(host_, spec);
         }},
        {Action::Close, [this] { emit closeRequested(); }},
        {Action::SavePart, [this] { emit savePartRequested(); }},
        {Action::SaveAsTemplate, [this] { emit saveAsTemplateRequested(); }},
        {Action::Exit, [this] { emit exitRequested(); }},
        {Action::Rulers, [this] { setRulersShown(!rulersShown_); }},
        {Action::ExtendedProperties,
         [this] {
             // The note under the mouse, every attribute of it (a debugging aid).
             const int s = controller_->focusStave(), i = controller_->focusObject();
             if (i <= 0 || !services_.report()) return;
             ShowNoteAttributes(score_, s, i, controller_->settings().american, host_,
                                *services_.report());
         }},
    };
    for (const ActionInfo& info : kActions) {
        auto* a = new QAction(Q(info.caption), this);
        a->setObjectName(info.name);
        a->setShortcuts(KeysOf(info));
        a->setShortcutContext(Qt::WindowShortcut);
        const auto mine = own.find(info.id);
        std::function<void()> run =
            mine != own.end()
                ? mine->second
                : std::function<void()>([this, id = info.id] { controller_->run(id); });
        connect(a, &QAction::triggered, this, [this, run = std::move(run)] {
            run();
            applyUi();
        });
        addAction(a);
        actionsById_[static_cast<std::size_t>(info.id)] = a;
    }
    const EditorSettings& settings = controller_->settings();
    action(Action::Dump)->setVisible(settings.dumpTools);
    action(Action::ExtendedProperties)->setVisible(settings.dumpTools);
    action(Action::SavePart)->setStatusTip("Save only a part of the file");
    action(Action::MergeAfter)->setStatusTip("Load another file after this stave");
    action(Action::MergeBefore)->setStatusTip("Load another file above this stave");
    for (Action checkable :
         {Action::TextMode, Action::LineMode, Action::CurveMode, Action::HairpinMode,
          Action::SymbolMode, Action::BlockMode, Action::HeadFoot, Action::Preview,
          Action::ToggleEdit, Action::Rulers, Action::Lyric, Action::LyricButton,
          Action::TextTransposable, Action::TextImmobile, Action::TextBoxed, Action::TextBold,
          Action::TextItalic, Action::TextUnderline, Action::CurveEditorial})
        action(checkable)->setCheckable(true);
    // The tool bars' rows of buttons: one of each row is down.
    for (auto [first, last] : {std::pair{Action::LineThickness0, Action::LineWavy},
                               std::pair{Action::CurveThickness0, Action::CurveDotted},
                               std::pair{Action::HairpinThickness0, Action::HairpinThickness3}})
        for (int a = static_cast<int>(first); a <= static_cast<int>(last); ++a)
            action(static_cast<Action>(a))->setCheckable(true);
    action(Action::Rulers)->setChecked(rulersShown_);

    auto menu = [this](const char* title, std::initializer_list<std::optional<Action>> items) {
        QMenu* m = new QMenu(title, this);
        connect(m, &QMenu::aboutToShow, this, [this] { controller_->menuOpened(); });
        for (const std::optional<Action>& item : items) {
            if (item)
                m->addAction(action(*item));
            else
                m->addSeparator();
        }
        menus_.push_back(m);
    };
    using A = Action;
    menu("&File", {A::Save, A::SaveAs, A::SavePart, A::SaveAsTemplate, std::nullopt, A::MergeAfter,
                   A::MergeBefore, A::MergeAtEnd, std::nullopt, A::Print, A::PictureFile,
                   A::Clipboard, A::Dump, A::ExportMusicXml, std::nullopt, A::Close, A::Exit});
    menu("&Tools",
         {A::Undo, A::DeleteFocus, std::nullopt, A::OptimiseStems, A::NoteAlignment, A::Transpose,
          A::FormatForPipes, std::nullopt, A::Play, A::PlaySystem, A::PlayScore, A::PlayStave});
    menu("&Add", {A::PlaceClef, A::PlaceKeysig, A::PlaceTimesig, std::nullopt, A::NewSystem});
    menu("&System",
         {A::NewSystem, A::CutLeft, A::CutRight, std::nullopt, A::JustifyAll, A::Compress,
          std::nullopt, A::NeatenSystem, A::NeatenPage, A::NeatenScore, A::BarNeaten});
    menu("Sta&ve",
         {A::NewStaveAbove, A::NewStaveBelow, A::DeleteStave, std::nullopt, A::StaveAttributes});
    menu("&Mode", {A::EnterMusic, A::TextMode, A::Lyric, A::LineMode, A::CurveMode, A::HairpinMode,
                   A::SymbolMode, A::ShapeMode, A::BlockMode, std::nullopt, A::HeadFoot, A::Preview,
                   std::nullopt, A::ToggleEdit});
    menu("&Page", {A::FirstPage,    A::PrevPage,
                   A::NextPage,     A::LastPage,
                   A::Top,          A::End,
                   A::PageTop,      A::PageBottom,
                   std::nullopt,    A::GotoPage,
                   A::GotoSystem,   A::GotoStave,
                   std::nullopt,    A::Rulers,
                   A::Repaginate,   A::PageLayout,
                   A::StaveSize,    A::VerticalSpacing,
                   A::Redraw,       A::RedrawStave,
                   A::RedrawSystem, A::ExtendedProperties,
                   std::nullopt,    A::Options});
    action(Action::Compress)->setToolTip(Q(MessageText(msg::CompressHint)));
    action(Action::Compress)->setStatusTip(Q(MessageText(msg::CompressHint)));
    action(Action::Repaginate)->setToolTip(Q(MessageText(msg::RepaginateHint)));
    action(Action::Repaginate)->setStatusTip(Q(MessageText(msg::RepaginateHint)));
}

void TMDIChild::buildToolBars() {
    auto bar = [this](ToolBarId id, const char* title) {
        QToolBar* t = addToolBar(title);
        t->setMovable(false);
        t->setToolButtonStyle(Qt::ToolButtonTextOnly);
        toolbars_[id] = t;
        return t;
    };
    bar(ToolBarId::Main, "Main");
    strings_ = new QToolButton;
    strings_->setObjectName("tbstrings");
    strings_->setText("Attachments");
    strings_->setToolTip("Attachments button");
    strings_->installEventFilter(this);
    // The bars' own widgets stay with these actions while the bars are refilled.
    auto keep = [this](QWidget* w) {
        auto* a = new QWidgetAction(this);
        a->setDefaultWidget(w);
        return a;
    };
    stringsAction_ = keep(strings_);
    using A = Action;
    auto* done = new QAction("Abort", this);
    connect(done, &QAction::triggered, this, [this] {
        controller_->returnFromTransient();
        applyUi();
    });
    auto buttons = [this](QToolBar* t, Action first, Action last) {
        for (int a = static_cast<int>(first); a <= static_cast<int>(last); ++a)
            t->addAction(action(static_cast<Action>(a)));
        t->addSeparator();
    };

    bar(ToolBarId::Text, "Text");
    fontBox_ = new QFontComboBox;
    sizeBox_ = new QComboBox;
    for (int size : kTextSizes)
        sizeBox_->addItem(QString::number(size));
    fontAction_ = keep(fontBox_);
    sizeAction_ = keep(sizeBox_);
    fillToolBars();
    connect(fontBox_, &QFontComboBox::currentFontChanged, this, [this] { textFontFromBoxes(); });
    connect(sizeBox_, &QComboBox::currentIndexChanged, this, [this] { textFontFromBoxes(); });

    QToolBar* lines = bar(ToolBarId::Line, "Lines");
    buttons(lines, A::LineThickness0, A::LineThickness5);
    buttons(lines, A::LineSolid, A::LineWavy);
    lines->addWidget(new QLabel(" Dot spacing "));
    // Files keep dash and gap lengths of 3 to 20.
    dotSpacing_ = new QSpinBox(lines);
    dotSpacing_->setRange(3, 20);
    lines->addWidget(dotSpacing_);
    connect(dotSpacing_, &QSpinBox::valueChanged, this,
            [this](int v) { controller_->setDotSpacing(v); });
    lines->addSeparator();
    lines->addAction(action(A::EndLineMode));

    QToolBar* curves = bar(ToolBarId::Curve, "Curves");
    buttons(curves, A::CurveThickness0, A::CurveThickness5);
    buttons(curves, A::CurveSolid, A::CurveEditorial);
    curves->addAction(action(A::EndCurveMode));

    QToolBar* hairpins = bar(ToolBarId::Hairpin, "Hairpins");
    buttons(hairpins, A::HairpinThickness0, A::HairpinThickness3);
    hairpins->addAction(action(A::AbortHairpin));

    QToolBar* empty = bar(ToolBarId::Empty, "Instruction");
    emptyBarLabel_ = new QLabel(empty);
    empty->addWidget(emptyBarLabel_);
    empty->addAction(done);
    QToolBar* block = bar(ToolBarId::BlockActions, "Block");
    for (A a : {A::DeleteBlk, A::ChgAttr, A::CrossStaveBeam, A::Triplets, A::BeamTremolo, A::AlignV,
                A::AlignH, A::AbortSelecting})
        block->addAction(action(a));
    selectingLabel_ = new QLabel(Q(MessageText(msg::NoObjectsSelected)), block);
    block->addWidget(selectingLabel_);
}

void TMDIChild::fillToolBars() {
    // One bit of the Toolbar setting per group of buttons; a group whose
    // bit is clear is left off the bar.
    const int bits = controller_->settings().toolbarBits;
    QToolBar* main = toolbars_[ToolBarId::Main];
    QToolBar* text = toolbars_[ToolBarId::Text];
    for (QToolBar* bar : {main, text}) {
        for (QAction* a : bar->actions())
            if (a->isSeparator() && a->parent() == bar) a->deleteLater();
        bar->clear();
    }
    auto group = [this, bits](QToolBar* bar, int bit, std::initializer_list<Action> ids,
                              bool divider = false) {
        if (!((bits >> bit) & 1)) return;
        for (Action id : ids)
            bar->addAction(action(id));
        if (divider) bar->addSeparator();
    };
    using A = Action;
    group(main, 0, {A::Close});
    group(main, 1, {A::Save});
    group(main, 2, {A::Preview});
    group(main, 3, {A::HeadFoot});
    group(main, 4, {A::Print}, true);
    group(main, 5, {A::TextMode, A::LineMode, A::CurveMode, A::HairpinMode, A::BlockMode}, true);
    group(main, 6, {A::NewSystem});
    group(main, 7, {A::Redraw});
    group(main, 8, {A::Attributes});
    group(main, 12, {A::Undo});
    group(main, 11, {A::DeleteStave});
    main->addAction(stringsAction_);
    group(main, 10, {A::FirstPage, A::PrevPage, A::NextPage, A::LastPage}, true);
    main->addAction(action(A::ToggleEdit));
    group(main, 21, {A::Options});

    // The text tools, in the groups the Toolbar setting shows or hides.
    group(text, 13, {A::TextTransposable, A::TextBoxed, A::TextImmobile});
    group(text, 14, {A::CompleteText});
    group(text, 15, {A::AbortText});
    group(text, 16, {A::TextCentre});
    group(text, 17, {A::LyricButton});
    group(text, 18, {A::FavouriteFont});
    group(text, 19, {A::TextBold, A::TextItalic, A::TextUnderline, A::ChooseFont});
    if ((bits >> 20) & 1) {
        text->addAction(fontAction_);
        text->addAction(sizeAction_);
    }
}

void TMDIChild::textFontFromBoxes() {
    if (syncing_) return;
    FontDesc f = controller_->ui().tools.textFont;
    f.name = fontBox_->currentFont().family().toStdString();
    f.size = static_cast<int16_t>(sizeBox_->currentText().toInt());
    controller_->setTextFont(f);
}

void TMDIChild::syncTools() {
    const PlacementTools& t = controller_->ui().tools;
    syncing_ = true;
    {
        QSignalBlocker b(dotSpacing_);
        dotSpacing_->setValue(t.dotSpacing);
    }
    {
        QSignalBlocker b(fontBox_), c(sizeBox_);
        fontBox_->setCurrentFont(QFont(Q(t.textFont.name)));
        const int at = sizeBox_->findText(QString::number(t.textFont.size));
        if (at >= 0)
            sizeBox_->setCurrentIndex(at);
        else
            sizeBox_->setEditText(QString::number(t.textFont.size));
    }
    syncing_ = false;
}

void TMDIChild::applyUi() {
    const UiState& ui = controller_->ui();
    setUpdatesEnabled(false);
    for (auto& [id, bar] : toolbars_)
        bar->setVisible(id == ui.toolbar);
    emptyBarLabel_->setText(Q(ui.emptyBarText));
    selectingLabel_->setText(Q(ui.selectingLabel));
    syncTools();
    for (const ActionInfo& info : kActions) {
        if (!ui.actions.count(info.name)) continue;
        QAction* a = action(info.id);
        const ActionState& s = ui.action(info.id);
        a->setEnabled(s.enabled);
        if (a->isCheckable()) a->setChecked(s.checked);
        if (!s.caption.empty()) a->setText(Q(s.caption));
        if (!s.hint.empty()) a->setToolTip(Q(s.hint));
    }
    if (strings_) strings_->setEnabled(ui.action("tbstrings").enabled);
    // Typing a text takes some of the commands' keys for its characters.
    for (const ActionInfo& info : kActions) {
        QList<QKeySequence> keys;
        for (const QKeySequence& k : KeysOf(info))
            if (controller_->shortcut(k.toString(QKeySequence::PortableText).toStdString()) ==
                info.id)
                keys << k;
        QAction* a = action(info.id);
        if (a->shortcuts() != keys) a->setShortcuts(keys);
    }
    pageLabel_->setCursor(QtCursor(ui.cursor));
    guidance_->setText(Q(ui.guidance));
    guidance_->setVisible(!ui.guidance.empty());
    setWindowTitle(Q(ui.caption));
    if (QWidget* frame = parentWidget()) frame->setWindowTitle(Q(ui.caption));
    setUpdatesEnabled(true);
}

bool TMDIChild::start(DocumentController::Start how, const std::string& path,
                      const std::string& name, bool recovering) {
    // "@F" in headers and footers is the file's full path, however it was named.
    draw_.textEnv.filePath =
        path.empty() ? path : QFileInfo(Q(path)).absoluteFilePath().toStdString();
    if (!controller_->start(how, path, name, recovering)) return false;
    pages_ = std::max<int>(1, score_.pageCount);
    // The controller has shown the first page already; the tabs learn of it.
    emit pagesChanged(pages_);
    emit pageShown(controller_->page());
    if (controller_->settings().level == 1) novice_.start();
    applyUi();
    return true;
}

void TMDIChild::relayout() {
    controller_->layOutAgain();
}

void TMDIChild::layoutChanged() {
    pages_ = std::max<int>(1, score_.pageCount);
    emit pagesChanged(pages_);
}

bool TMDIChild::setUpPicture() {
    return makePicture(controller_->page(), true);
}

bool TMDIChild::makePicture(int page, bool tellAgain) {
    // A page refused once is not refused again with the same words every time
    // a page is shown: the window stays open on a blank stand-in so that the
    // user can reach Stave Size and enlarge the staves.
    const PageGeometry g = ComputePageGeometry(score_);
    const QSize size(g.width, g.headerFooterHeight);
    if (tellAgain || size != refused_) {
        if (SetUpPagePicture(picture_, score_, page, 32, controller_->settings().american, host_,
                             PagePictureBudget())) {
            refused_ = QSize();
            return true;
        }
        refused_ = size;
    }
    picture_ = QImage(200, 200, QImage::Format_RGB32);
    picture_.fill(Qt::white);
    return false;
}

std::pair<int, int> TMDIChild::highlighted() const {
    return {controller_->ui().highlightStave, controller_->ui().highlightObject};
}

void TMDIChild::afterKey(int stave, int object) {
    // A key that hands the focus to another object (Ctrl+F8, @, Alt+arrows)
    // shows it at once, before the mouse moves.
    if (highlighted() != std::pair{stave, object}) showPicture();
    applyUi();
}

void TMDIChild::showPicture() {
    // The cursor is painted over a copy, from the controller's state, so
    // that no redraw can leave half of it behind.
    const std::vector<Segment> strokes = controller_->cursorStrokes();
    const UiState& ui = controller_->ui();
    const bool highlight = ui.highlightObject > 0 && score_.hasStave(ui.highlightStave);
    const int mode = controller_->mode();
    // The stave that an object being placed goes to shows in "Strings".
    const bool placing = (mode == kModeText || mode == kModeSymbol || mode == kModeLine ||
                          mode == kModeCurve || mode == kModeHairpin || mode == kModeDrawing) &&
                         score_.CurrentStave >= 1 && score_.hasStave(score_.CurrentStave);
    const ScoreObject* pending = controller_->pendingObject();
    const bool showPending = pending && score_.hasStave(controller_->pendingStave());
    const bool overlay = !ui.overlay.empty() || !controller_->block().selection.empty();
    if ((strokes.empty() && !highlight && !placing && !showPending && !occupancyShown_ &&
         !ui.hairline && !overlay) ||
        previewing_) {
        pageLabel_->setPixmap(QPixmap::fromImage(picture_));
    } else {
        QImage shown = picture_;
        if (placing) {
            const DrawContext ctx = PictureContext(shown, glyphs_, false);
            PictureSurface surface(ctx);
            DrawStaveLines(surface, score_, score_.CurrentStave, draw_.colours.strings);
        }
        if (showPending) {
            // The object in hand, in the "Putative" colour until it is completed.
            const DrawContext ctx = PictureContext(shown, glyphs_, false);
            PictureSurface surface(ctx);
            DrawPendingObject(surface, score_, controller_->pendingStave(), *pending, false, draw_);
        }
        if (occupancyShown_) {
            const DrawContext ctx = PictureContext(shown, glyphs_, false);
            PictureSurface surface(ctx);
            TextDraw td;
            td.font = {"Arial", 10, 0};
            td.colour = kMagenta;
            for (const OccupancyLabel& label : OccupancyLabels(score_, controller_->page()))
                surface.text(label.text, td, label.x, label.y);
        }
        if (highlight) {
            // The object under the mouse, drawn again in the "Edit" colour.
            DrawContext ctx = PictureContext(shown, glyphs_, false);
            ctx.screenOrigin = QPoint(0, bandShift_);
            PictureSurface surface(ctx);
            DrawRequest req;
            req.colour = draw_.colours.edit;
            req.normalDrawing = false;
            DrawObject(surface, score_, ui.highlightStave, ui.highlightObject, req, draw_);
        }
        if (overlay) {
            // What is being placed, over the page (in the band of a header or footer).
            DrawContext ctx = PictureContext(shown, glyphs_, false);
            ctx.screenOrigin = QPoint(0, bandShift_);
            PictureSurface surface(ctx);
            // The selection: "Selecting" while collected by clicks, else "Marked".
            const uint32_t marked =
                mode == kModeSelecting ? draw_.colours.selecting : draw_.colours.marked;
            for (const SelectedObject& e : controller_->block().selection.entries())
                DrawObject(surface, score_, e.stave, e.object, DrawRequest{marked, false, false},
                           draw_);
            DrawPlacingOverlay(surface, score_, ui.overlay, draw_);
        }
        QPainter p(&shown);
        QPen pen{QColor::fromRgb(ToQRgb(draw_.colours.cursor))};
        pen.setWidth(std::max(1, controller_->settings().cursorThickness));
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        for (const Segment& g : strokes)
            p.drawLine(g.x1, g.y1, g.x2, g.y2);
        if (ui.hairline) {
            // How far a compression can take the music, in the focus colour.
            QPen line{QColor::fromRgb(ToQRgb(draw_.colours.edit))};
            line.setWidth(1);
            p.setPen(line);
            p.drawLine(ui.hairline->x, ui.hairline->top, ui.hairline->x, ui.hairline->bottom);
        }
        p.end();
        pageLabel_->setPixmap(QPixmap::fromImage(shown));
    }
    pageLabel_->adjustSize();
    updateRulers();
}

RulerView TMDIChild::rulerView(bool top) const {
    RulerView v;
    v.top = top;
    const PageGeometry g = ComputePageGeometry(score_);
    v.pixelsPerInch = top ? g.ppiX : g.ppiY;
    v.centimetres = rulerCentimetres_;
    // The picture's first pixel, inside the label's one-pixel frame.
    const QWidget* ruler = top ? topRuler_ : leftRuler_;
    const QPoint origin = pageLabel_->mapTo(this, QPoint(1, 1)) - ruler->mapTo(this, QPoint(0, 0));
    v.origin = top ? origin.x() : origin.y();
    v.extent = top ? picture_.width() : picture_.height();
    v.track = top ? track_.x() : track_.y();
    return v;
}

void TMDIChild::updateRulers() {
    const bool shown = rulersShown_ && !previewing_;
    for (QWidget* w :
         {static_cast<QWidget*>(topRuler_), static_cast<QWidget*>(leftRuler_), rulerCorner_})
        w->setVisible(shown);
    if (!shown) return;
    topRuler_->update();
    leftRuler_->update();
}

void TMDIChild::setRulersShown(bool shown) {
    rulersShown_ = shown;
    services_.setRulers(shown);
    action(Action::Rulers)->setChecked(shown);
    updateRulers();
}

void TMDIChild::rulerMenu(QPoint at) {
    QMenu menu(this);
    QAction* with = menu.addAction("With Rulers", this, [this] { setRulersShown(true); });
    with->setCheckable(true);
    with->setChecked(rulersShown_);
    menu.addAction("Hide Rulers", this, [this] { setRulersShown(false); });
    menu.addAction("Change Units", this, [this] {
        rulerCentimetres_ = !rulerCentimetres_;
        updateRulers();
    });
    menu.exec(at);
}

void TMDIChild::movePointerTo(int32_t x, int32_t y) {
    // The label's frame is one pixel round the picture; a header or footer
    // band stands where the view put it.
    QCursor::setPos(pageLabel_->mapToGlobal(QPoint(x + 1, y + 1 + bandShift_)));
}

void TMDIChild::makeVisible(int32_t x, int32_t y) {
    ScrollView v;
    v.x = scroll_->horizontalScrollBar()->value();
    v.y = scroll_->verticalScrollBar()->value();
    v.maxX = scroll_->horizontalScrollBar()->maximum();
    v.maxY = scroll_->verticalScrollBar()->maximum();
    v.width = scroll_->viewport()->width();
    v.height = scroll_->viewport()->height();
    v.pictureWidth = pageLabel_->width();
    // The page sits centred when narrower than the view.
    const int offsetX = std::max(0, (v.width - pageLabel_->width()) / 2);
    const ScrollView to = ScrollToShow(v, x + offsetX, y, controller_->settings().scrollSpeed);
    scroll_->horizontalScrollBar()->setValue(to.x);
    scroll_->verticalScrollBar()->setValue(to.y);
}

void TMDIChild::showPage(int page) {
    // The page tabs follow whatever laid the pages out last.
    if (const int count = std::max<int>(1, score_.pageCount); count != pages_) {
        pages_ = count;
        emit pagesChanged(pages_);
    }
    if (previewing_ || page < 1 || page > pages_) return;
    if (makePicture(page, false))
        DrawAll(PictureContext(picture_, glyphs_, false), score_, page, draw_, PageViewState{});
    showPicture();
    emit pageShown(page);
    applyUi();
}

void TMDIChild::redrawPage() {
    // "Bar Maintenance" may have chosen another bar-number font.
    draw_.barFont = controller_->settings().barFont;
    // A text typed in the header or footer view is drawn in its band.
    if (!bandRect_.isNull())
        enterHeaderFooter(bandHeader_);
    else
        showPage(controller_->page());
}

void TMDIChild::exportBox(const PixelBox& box, bool clipboard) {
    const QRect area(box.left, box.top, box.right - box.left, box.bottom - box.top);
    if (!clipboard) {
        ExportPagePicture(host_, glyphs_, score_, controller_->page(), draw_, area);
        return;
    }
    QtClipboardPort port;
    CopyPageToClipboard(host_, port, glyphs_, score_, controller_->page(), draw_, area);
}

void TMDIChild::overlayChanged() {
    showPicture();
}

void TMDIChild::showStaveCursor(bool shown) {
    if (previewing_) return;
    showPicture();
    const int s = score_.CurrentStave;
    if (shown && s > 0 && score_.hasStave(s))
        makeVisible(controller_->cursorX(), score_.stave(s).h.Ycoord);
}

namespace {

// The controller's name of a key: a printable character by what it types on
// any layout (a capital letter is the letter with Shift), else the key with
// its modifiers.
std::string KeyName(const QKeyEvent& k) {
    const QString text = k.text();
    if (text.size() == 1 && text[0].isPrint() && !text[0].isSpace() &&
        !(k.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = text[0];
        return (c.isUpper() ? "Shift+" : "") + QString(c.toUpper()).toStdString();
    }
    const QKeyCombination combo = k.keyCombination();
    const QKeySequence seq(
        QKeyCombination(combo.keyboardModifiers() & ~Qt::KeypadModifier, combo.key()));
    return seq.toString(QKeySequence::PortableText).toStdString();
}

}  // namespace

bool TMDIChild::eventFilter(QObject* watched, QEvent* event) {
    if (watched == strings_ &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        occupancyShown_ = event->type() == QEvent::MouseButtonPress;
        showPicture();
        return true;
    }
    // The scroll area would take the cursor keys for itself.
    if (event->type() == QEvent::ToolTip && controller_->settings().level >= 4 &&
        qobject_cast<QToolButton*>(watched))
        return true;  // the last level works without tooltips
    if (watched == scroll_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* k = static_cast<QKeyEvent*>(event);
        const int key = k->key();
        if (key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt) {
            // The event's own modifiers may or may not count the key itself.
            const bool down = event->type() == QEvent::KeyPress;
            KeyModifiers now{(k->modifiers() & Qt::ShiftModifier) != 0,
                             (k->modifiers() & Qt::ControlModifier) != 0,
                             (k->modifiers() & Qt::AltModifier) != 0};
            (key == Qt::Key_Control ? now.ctrl : key == Qt::Key_Shift ? now.shift : now.alt) = down;
            if (controller_->modifiersChanged(now)) applyUi();
            return false;
        }
    }
    if (watched == scroll_ && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        // In the preview PgUp and PgDn turn the spreads.
        if (previewing_ && navigator_ &&
            (k->key() == Qt::Key_PageUp || k->key() == Qt::Key_PageDown)) {
            if (k->key() == Qt::Key_PageUp && navigator_->canPrevious()) navigator_->previous();
            if (k->key() == Qt::Key_PageDown && navigator_->canNext()) navigator_->next();
            renderPreview();
            return true;
        }
        // Keys that are no menu command's (the cursor keys) go to the mode;
        // a text takes what a key types, whatever the keyboard.
        const auto [stave, object] = highlighted();
        const QList<uint> typed = k->text().toUcs4();
        if (typed.size() == 1 && QChar::isPrint(typed[0]) && !QChar::isSpace(typed[0]) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            controller_->typeCharacter(typed[0])) {
            afterKey(stave, object);
            return true;
        }
        if (controller_->keyDown(KeyName(*k))) {
            afterKey(stave, object);
            return true;
        }
    }
    if (watched == scroll_ && event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        const auto [stave, object] = highlighted();
        if (!k->isAutoRepeat() && controller_->keyUp(KeyName(*k))) {
            afterKey(stave, object);
            return true;
        }
    }
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        // Touchpads send small steps; they add up to the same distance.
        const QPoint angle = wheel->angleDelta();
        const int delta = angle.y() != 0 ? angle.y() : angle.x();
        const WheelStep step =
            WheelScroll(delta, wheel->modifiers() != Qt::NoModifier, previewing_);
        scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->value() - step.dx);
        scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->value() - step.dy);
        return true;
    }
    if (watched == pageLabel_) {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove &&
            type != QEvent::Leave)
            return QMainWindow::eventFilter(watched, event);
        PointerEvent e;
        if (type == QEvent::Leave) {
            e.kind = PointerEvent::Leave;
            track_ = QPoint(-1, -1);
            updateRulers();
        } else {
            auto* m = static_cast<QMouseEvent*>(event);
            e.kind = type == QEvent::MouseButtonPress      ? PointerEvent::Press
                     : type == QEvent::MouseButtonRelease  ? PointerEvent::Release
                     : type == QEvent::MouseButtonDblClick ? PointerEvent::DoubleClick
                                                           : PointerEvent::Move;
            e.button = m->button() == Qt::LeftButton     ? MouseButton::Left
                       : m->button() == Qt::MiddleButton ? MouseButton::Middle
                       : m->button() == Qt::RightButton  ? MouseButton::Right
                                                         : MouseButton::None;
            e.shift = m->modifiers() & Qt::ShiftModifier;
            e.ctrl = m->modifiers() & Qt::ControlModifier;
            e.alt = m->modifiers() & Qt::AltModifier;
            // The label's frame is one pixel round the picture; the band of
            // the header/footer view shows its texts shifted.
            QPoint at = m->position().toPoint() - QPoint(1, 1);
            if (type == QEvent::MouseMove) {
                track_ = at;
                updateRulers();
            }
            if (!bandRect_.isNull()) at.ry() -= bandShift_;
            e.x = at.x();
            e.y = at.y();
            if (controller_->mode() == kModeDragging && e.kind == PointerEvent::Move) {
                const QPoint moved = m->globalPosition().toPoint() - dragStart_;
                scroll_->horizontalScrollBar()->setValue(dragScroll_.x() - moved.x());
                scroll_->verticalScrollBar()->setValue(dragScroll_.y() - moved.y());
                return true;
            }
            if (e.kind == PointerEvent::Press) {
                dragStart_ = m->globalPosition().toPoint();
                dragScroll_ = QPoint(scroll_->horizontalScrollBar()->value(),
                                     scroll_->verticalScrollBar()->value());
            }
        }
        const CursorShape before = controller_->ui().cursor;
        const PointerResult r = controller_->pointer(e);
        if (r.windowAction)
            if (QAction* a = action(*r.windowAction)) a->trigger();
        if (r.repaint) showPicture();
        if (r.repaint || controller_->ui().cursor != before) applyUi();
        // Hovering leaves the event to Qt as well; presses are the editor's.
        return r.used && e.kind != PointerEvent::Move && e.kind != PointerEvent::Leave;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMDIChild::enterHeaderFooter(bool header) {
    // The band of the header (or footer) over the page washed out below (or
    // above) it, a red line marking where the working area ends.
    const PageGeometry g = ComputePageGeometry(score_);
    const int hb = HeaderFooterBand(score_, header);
    const int wb = g.width;
    // The band is cut from the whole header/footer page, the larger picture.
    QImage whole;
    if (!SetUpPagePicture(whole, score_, 0, 32, controller_->settings().american, host_,
                          PagePictureBudget()))
        return false;
    PageViewState view;
    view.mode = header ? kModeHead : kModeFoot;
    DrawAll(PictureContext(whole, glyphs_, false), score_, 0, draw_, view);
    // Footer texts lie in the footer band of the header/footer page.
    const int bandTop =
        header ? 0 : std::clamp(FooterTop(score_), 0, std::max(0, whole.height() - hb));
    const QImage band = whole.copy(0, bandTop, wb, hb);
    // The page under the band is the one shown when the view opened.
    if (bandRect_.isNull()) spare_ = picture_;
    bandHeader_ = header;
    QImage spare = spare_;
    for (int y = 0; y < spare.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(spare.scanLine(y));
        for (int x = 0; x < spare.width(); ++x)
            row[x] |= 0xFFC0C0C0u;
    }
    QImage view2(std::max(wb, spare.width()), hb + spare.height(), QImage::Format_RGB32);
    if (view2.isNull()) {
        host_.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return false;
    }
    view2.fill(Qt::white);
    QPainter p(&view2);
    const int spareTop = header ? hb : 0;
    bandRect_ = QRect(0, header ? 0 : spare.height(), wb, hb);
    // Header and footer texts are measured from the top of their own band.
    bandShift_ = bandRect_.top();
    p.drawImage(0, spareTop, spare);
    p.drawImage(bandRect_.topLeft(), band);
    p.fillRect(0, header ? spareTop : spareTop + spare.height() - 5, spare.width(), 5,
               QColor(255, 0, 0));
    p.end();
    picture_ = view2;
    showPicture();
    if (!header) scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->maximum());
    return true;
}

void TMDIChild::leaveHeaderFooter() {
    bandRect_ = QRect();
    spare_ = QImage();
    bandShift_ = 0;
    showPage(controller_->page());
}

void TMDIChild::openPreview() {
    previewing_ = true;
    navigator_ = std::make_unique<PreviewNavigator>(pages_, controller_->page());
    previewBar_->show();
    updateRulers();
    renderPreview();
}

void TMDIChild::renderPreview() {
    if (!previewing_ || !navigator_) return;
    // The label's frame takes a pixel on every side.
    const QSize area = scroll_->viewport()->size() - QSize(2, 2);
    const int w = std::max(area.width(), 200), h = std::max(area.height(), 200);
    const PreviewLayout layout = LayOutPreview(score_, pages_, navigator_->page(), w, h);
    QImage preview(w, h, QImage::Format_RGB32);
    RenderPreview(preview, layout, glyphs_, score_, draw_, previewOptions_);
    pageLabel_->setPixmap(QPixmap::fromImage(preview));
    pageLabel_->adjustSize();
    previewLabel_->setText(Q(navigator_->label()));
    previewPrev_->setEnabled(navigator_->canPrevious());
    previewNext_->setEnabled(navigator_->canNext());
    emit statusOverride(Q(PreviewStatusText(previewOptions_)));
}

void TMDIChild::closePreview() {
    previewing_ = false;
    previewBar_->hide();
    emit statusOverride(QString());
    showPage(controller_->page());
}

void TMDIChild::buildPreviewBar() {
    addToolBarBreak();
    previewBar_ = addToolBar("Preview");
    previewBar_->setMovable(false);
    previewPrev_ = previewBar_->addAction("Pre&vious", this, [this] {
        navigator_->previous();
        renderPreview();
    });
    previewNext_ = previewBar_->addAction("Ne&xt", this, [this] {
        navigator_->next();
        renderPreview();
    });
    previewNext_->setToolTip("Show next page(s)");
    previewBar_->addAction("C&lose", this, [this] {
        controller_->run(Action::Preview);
        applyUi();
    });
    previewBar_->addSeparator();
    auto* outline = new QCheckBox("Bare Outline only");
    outline->setChecked(!previewOptions_.details);
    connect(outline, &QCheckBox::toggled, this, [this](bool on) {
        previewOptions_.details = !on;
        renderPreview();
    });
    previewBar_->addWidget(outline);
    auto* margins = new QCheckBox("Show Margins");
    margins->setChecked(previewOptions_.margins);
    connect(margins, &QCheckBox::toggled, this, [this](bool on) {
        previewOptions_.margins = on;
        renderPreview();
    });
    previewBar_->addWidget(margins);
    previewBar_->addSeparator();
    previewLabel_ = new QLabel;
    previewBar_->addWidget(previewLabel_);
    previewBar_->hide();
}

void TMDIChild::print() {
    std::unique_ptr<QtPrinterPort> system = SystemPrinter(services_.lastPrinter());
    if (!system) {
        // Without a printer of the system's, the PDF printer is the printer.
        controller_->printToPdf();
        return;
    }
    PrintRequest request{1, pages_, 1, true, true};
    if (!CheckPrinterCapacity(score_, *system, controller_->settings().metric, host_)) return;
    QPrinter& printer = system->printer();
    printer.setPageOrientation(score_.page.landscape ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, pages_);
    dialog.setFromTo(1, pages_);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage |
                      QAbstractPrintDialog::PrintCollateCopies);
    if (dialog.exec() != QDialog::Accepted) return;
    switch (dialog.printRange()) {
        case QAbstractPrintDialog::CurrentPage:
            request.from = request.to = controller_->page();
            break;
        case QAbstractPrintDialog::PageRange:
            request.from = std::max(1, printer.fromPage());
            request.to = std::min(pages_, std::max(request.from, printer.toPage()));
            break;
        default:
            break;
    }
    request.copies = std::max(1, printer.copyCount());
    request.collate = printer.collateCopies();
    printer.setCopyCount(1);  // the print job makes the copies
    services_.setLastPrinter(printer.printerName().toStdString());
    PrintScore(score_, *system, request, glyphs_, draw_, host_, warnings_, {},
               FileNameOf(controller_->documentName()));
    showPage(controller_->page());
}

void TMDIChild::printToPdf(const PdfPrintRequest& pdf) {
    if (pdf.vector) {
        WriteVectorPdf(pdf.path, glyphs_, score_, 1, pages_, draw_, host_);
    } else {
        PdfPrinterPort port(pdf.path, score_);
        const PrintRequest request{1, pages_, 1, true, true};
        if (PrintScore(score_, port, request, glyphs_, draw_, host_, warnings_, {},
                       FileNameOf(controller_->documentName())) > 0) {
            // The file is written when the job ends; a full disk says so then.
            port.end();
            if (const int e = port.writeError())
                host_.message(
                    MsgType::Error,
                    FormatMessage(msg::PdfCannotBeWritten, pdf.path, WriteErrorText(e, false)),
                    Buttons::OK);
        }
    }
    showPage(controller_->page());
}

void TMDIChild::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The preview fits the window it is shown in.
    if (previewing_) renderPreview();
    updateRulers();
}

}  // namespace sw
