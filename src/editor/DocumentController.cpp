// The document window's logic.
#include "editor/DocumentController.h"
#include "platform/MusicXmlReader.h"

#include "editor/HitTest.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "editor/PlayWindow.h"
#include "editor/StaveActions.h"
#include "editor/commands/AlignCommands.h"
#include "editor/commands/BagpipeCommands.h"
#include "editor/commands/BarCommands.h"
#include "editor/commands/BarMoves.h"
#include "editor/commands/MergeCommands.h"
#include "editor/commands/OptionsCommands.h"
#include "editor/commands/PageCommands.h"
#include "editor/commands/RandomTuneCommands.h"
#include "editor/commands/SpacingCommands.h"
#include "editor/commands/StemCommands.h"
#include "editor/commands/TransposeCommands.h"
#include "editor/modes/PlacingModes.h"
#include "fileio/Repair.h"
#include "fileio/ScoreFile.h"
#include "layout/BeamRules.h"
#include "layout/Merge.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "playback/MusicXml.h"

namespace sw {

namespace {

const ActionState kDefaultAction{};

bool IsHeadFoot(int mode) {
    return mode == kModeHead || mode == kModeFoot;
}

// The actions whose state follows the mode; the window owns the rest.
// The actions enabled in Music only (the mode actions with a check mark and
// the ones with their own rules are set apart in refreshUi).
const char* const kMusicOnly[] = {"acOptions",
                                  "acShape",
                                  "acAttributes",
                                  "acProperties",
                                  "acLineLegs",
                                  "acRedraw",
                                  "acClose",
                                  "acNewsystem",
                                  "tbLyric0",
                                  "tbstrings",
                                  "tbnotepos",
                                  "acClipboard",
                                  "Place",
                                  "acCompress",
                                  "accutleft",
                                  "accutright",
                                  "acNewstaveabove",
                                  "acNewstavebelow",
                                  "acStaveAttributes",
                                  "acChangesize",
                                  "PlaceClef",
                                  "PlaceKeysignature",
                                  "PlaceTimeSignature",
                                  "Redrawstave1",
                                  "RedrawSystem1"};

}  // namespace

const ActionState& UiState::action(const std::string& name) const {
    auto it = actions.find(name);
    return it != actions.end() ? it->second : kDefaultAction;
}

std::string ModePanelText(int mode) {
    switch (mode) {
        case kModeMovingObject:
            return "Moving object";
        case kModeMovestave:
            return "Moving stave";
        case kModeCompressing:
            return "Compressing";
        case kModeDragging:
            return "Dragging";
        case kModeSaving:
            return "Saving File";
        case kModeBlockVb:
            return "Moving block";
        case kModeBlockCpy:
            return "Copying block";
        default:
            break;
    }
    if (!ValidMode(mode)) return {};
    // The mode's inner name is not for users.
    if (mode == kModeBlocksoon) return "Block Mode";
    return std::string(kModes[mode].name) + " Mode";
}

DocumentController::DocumentController(Score& score, const EditorSettings& settings, Host& host,
                                       WarningBox& warnings, UndoRing& undo, PageViewPort& view,
                                       DocumentServices& services, DocumentDialogs& dialogs,
                                       const TextMeasurer& measurer)
    : score_(score),
      settings_(settings),
      host_(host),
      warnings_(warnings),
      undo_(undo),
      view_(view),
      services_(services),
      dialogs_(dialogs),
      measurer_(measurer),
      handlers_(MakeModeHandlers(*this)) {
    unlocked_ = settings_.startUnlocked;
    noteTemplate_.noteValue = 3;  // a crotchet
    noteTemplate_.stem = 3;       // automatic
    undo_.setDepth(settings_.undoDepth);
    refreshUi();
}

// ---------------------------------------------------------------------------
// The document's life

bool DocumentController::start(Start how, const std::string& path, const std::string& name,
                               bool recovering) {
    name_ = name;
    path_ = how == Start::File && !recovering ? path : std::string();
    bool ok = false;
    if (how == Start::File) {
        ok = openFile(path, false);
        // A file that cannot be opened closes the window; the caller keeps
        // any backup it came from.
        if (!ok) return false;
    } else if (how == Start::Import) {
        ok = importFile(path);
        if (!ok) return false;
    } else if (how == Start::Template) {
        ok = openFile(path, true);
        if (!ok) {
            host_.message(MsgType::Error, MessageText(msg::TemplateLoadFailed), Buttons::OK);
            score_.clear();
        }
    }
    if (!ok) {
        newScore();
        if (!view_.setUpPicture()) return false;
    }
    if (score_.Nstaves >= 1 && score_.hasStave(1)) cursorX_ = score_.stave(1).h.LeftX + 20;
    score_.CurrentStave = score_.Nstaves >= 1 ? 1 : 0;
    undo_.open(host_);
    page_ = 1;
    view_.showPage(1);
    setEditMode(kModeMusic);
    hintsOff();
    setModified(recovering || how == Start::Import);
    if (score_.CurrentStave > 0) setCurrentStave(score_.CurrentStave);
    setCursorShown(true);
    return true;
}

// A MusicXML file as a new untitled score on the user's paper (unless the
// file gives its own); what it could not hold is listed in the report window.
bool DocumentController::importFile(const std::string& path) {
    score_.clear();
    ImportOptions options;
    options.page = settings_.defaultPage;
    options.staveSize = settings_.defaultStaveSize;
    const ImportOutcome out = ImportMusicXmlFile(path, options, score_, host_, measurer_);
    if (!out.ok) {
        host_.message(MsgType::Error, out.error, Buttons::OK);
        return false;
    }
    view_.setUpPicture();
    startedEmpty_ = false;
    ReportSink* report = services_.report();
    if (!report || out.skipped.empty()) return true;
    report->ClearReport(MessageText(msg::ImportMusicXmlCaption));
    report->AddReportLine(MessageText(msg::MusicXmlImportLeftOut));
    for (const std::string& line : out.skipped)
        report->AddReportLine("  " + line);
    report->ShowReport();
    return true;
}

FileDialogSpec MusicXmlImportDialog(const std::string& directory) {
    FileDialogSpec spec;
    spec.title = MessageText(msg::ImportMusicXmlCaption);
    spec.filter = "MusicXML|*.musicxml;*.xml;*.mxl|All files|*";
    spec.directory = directory;
    return spec;
}

bool DocumentController::closeAndImport(bool& failed) {
    failed = false;
    if (!queryClose()) return false;
    const std::optional<std::string> name =
        host_.openFileName(MusicXmlImportDialog(services_.fileDirectory()));
    if (!name) return false;
    failed = !start(Start::Import, *name, "NONAME1", false);
    return !failed;
}

bool DocumentController::openFile(const std::string& path, bool asTemplate) {
    score_.clear();
    score_.debug = settings_.debug;
    OpenOptions options;
    options.asTemplate = asTemplate;
    if (settings_.emergencyLoading) options.omit = AskEmergencyOptions(host_);
    options.report = services_.report();
    options.repair = RepairOptions{settings_.american, settings_.naturalsInKeyChange};
    FileEnv env;
    env.backups = settings_.backups;
    if (!LoadForUse(score_, path, host_, env, options).ok) return false;
    if (asTemplate) {
        // A template brings its staves; the page and spacing are the user's.
        score_.page = settings_.defaultPage;
        score_.staveSize = settings_.defaultStaveSize;
        score_.Spacing = static_cast<uint8_t>(std::clamp(settings_.spacing, 1, 5));
        score_.Pulse = 3;
        score_.setBeamAngle(10);
    }
    // The page picture first. One that cannot be made (staves too small for
    // the memory) still opens the score, so that the staves can be enlarged.
    view_.setUpPicture();
    MendStaveEnds(score_);
    PrepareForDisplay(score_, host_, measurer_, &warnings_);
    startedEmpty_ = false;
    return true;
}

void DocumentController::newScore() {
    score_.clear();
    score_.page = settings_.defaultPage;
    score_.staveSize = std::clamp(settings_.defaultStaveSize, kMinStaveSize, kMaxStaveSize);
    score_.Spacing = static_cast<uint8_t>(std::clamp(settings_.spacing, 1, 5));
    score_.Pulse = 3;
    score_.setBeamAngle(10);
    score_.Tempo = 120;
    score_.fileVersion = 501;
    score_.appendStaves(1);
    StaveHeader& h = score_.stave(1).h;
    h.Ycoord = 54;  // 50 and half a line space
    h.LeftX = 17;
    h.RightX = ComputePageGeometry(score_).width - 5;
    h.PageNum = 1;
    h.staveIndex = 1;
    h.lineCount = 5;
    if (score_.bagpipeScore) {
        h.soundTranspose = 1;
        score_.stave(1).t.bagpipeMark = 2;
    }
    score_.pageCount = 1;
    PrepareForDisplay(score_, host_, measurer_, &warnings_);
    startedEmpty_ = true;
}

std::string DocumentController::caption() const {
    // The suffix is added to and taken from the name itself, whatever the
    // name ends with.
    return name_ + (modified_ ? " (modified)" : "");
}

void DocumentController::setModified(bool modified) {
    modified_ = modified;
    ui_.caption = caption();
}

bool DocumentController::queryClose() {
    if (!modified_) return true;
    switch (
        host_.message(MsgType::Confirmation, MessageText(msg::ScoreNotSaved), Buttons::YesNoKeep)) {
        case Answer::Yes:
            return save();
        case Answer::No:
            return true;
        default:
            return false;  // Don't close
    }
}

SaveResult DocumentController::writeScore(const std::string& path) {
    // Saving mode shows while the file is written; from Music only, so that
    // a save from the preview leaves the preview as it is.
    const bool fromMusic = mode_ == kModeMusic;
    if (fromMusic) setEditMode(kModeSaving);
    const SaveResult r = SaveScore(score_, path, 0, score_.Nstaves, false, true, host_);
    if (fromMusic) setEditMode(kModeMusic);
    return r;
}

bool DocumentController::save() {
    const std::string head = name_.substr(0, 6);
    const bool unnamed = path_.empty() || head == "NONAME" ||
                         EqualsIgnoreCase(head, std::string("AutoSave.SWN").substr(0, 6));
    if (unnamed) {
        if (name_.empty()) name_ = "NONAME";
        return saveAs();
    }
    if (settings_.backups) BackupBeforeSave(path_, FileEnv{96, settings_.backups});
    // "name.swn" stays "name.swn": only another extension becomes ".SWN".
    const std::string target =
        EqualsIgnoreCase(FileExtension(path_), ".SWN") ? path_ : ChangeExtension(path_, ".SWN");
    if (writeScore(target) != SaveResult::Saved) return false;
    path_ = name_ = target;
    services_.addToHistory(target);
    setModified(false);
    refreshUi();
    return true;
}

// A save dialog in the folder last used, offering the score's name with `extension`.
FileDialogSpec DocumentController::saveDialog(const std::string& title, const std::string& filter,
                                              const std::string& extension) const {
    FileDialogSpec spec;
    spec.title = title;
    spec.filter = filter;
    spec.defaultExtension = extension;
    spec.directory = services_.fileDirectory();
    spec.fileName = ChangeExtension(FileNameOf(name_.empty() ? "NONAME" : name_), "." + extension);
    spec.overwritePrompt = true;
    return spec;
}

bool DocumentController::saveAs() {
    const std::optional<std::string> chosen =
        host_.saveFileName(saveDialog("Save As", "Staffwright|*.SWN", "SWN"));
    if (!chosen) return false;
    const std::string path = *chosen;
    std::error_code ec;
    if (settings_.backups && std::filesystem::exists(path, ec) &&
        EqualsIgnoreCase(FileExtension(path), ".SWN"))
        BackupBeforeSave(path, FileEnv{96, true});
    // The score takes the new name only once it is written there: a failed
    // save keeps its name, its modified state and the history as they were.
    if (writeScore(path) != SaveResult::Saved) return false;
    name_ = path_ = path;
    services_.addToHistory(path);
    const std::string dir = DirectoryOf(path);
    if (!dir.empty() && std::filesystem::is_directory(dir, ec)) services_.setFileDirectory(dir);
    setModified(false);
    refreshUi();
    return true;
}

// The score as MusicXML in a file the user names; what the format cannot
// hold, and bars it says differently, are listed in the report window.
void DocumentController::exportMusicXml() {
    const std::optional<std::string> chosen = host_.saveFileName(saveDialog(
        MessageText(msg::ExportMusicXmlCaption), "MusicXML|*.musicxml;*.mxl", "musicxml"));
    if (!chosen) return;
    const MusicXmlResult result = ExportMusicXml(score_, host_, measurer_);
    if (const int error = SaveMusicXml(*chosen, result)) {
        host_.message(
            MsgType::Error,
            FormatMessage(msg::MusicXmlCannotBeWritten, *chosen, WriteErrorText(error, false)),
            Buttons::OK);
        return;
    }
    ReportSink* report = services_.report();
    if (!report || (result.skipped.empty() && result.warnings.empty())) return;
    report->ClearReport(MessageText(msg::ExportMusicXmlCaption));
    report->AddReportLine(MessageText(msg::MusicXmlWrittenWithNotes));
    for (const std::string& line : result.warnings)
        report->AddReportLine(line);
    if (!result.skipped.empty()) report->AddReportLine(MessageText(msg::MusicXmlLeftOut));
    for (const std::string& line : result.skipped)
        report->AddReportLine("  " + line);
    report->ShowReport();
}

void DocumentController::printToPdf() {
    if (!canRun(Action::Print)) return;
    const std::optional<std::string> chosen =
        host_.saveFileName(saveDialog(MessageText(msg::PrintToPdfCaption), "PDF|*.pdf", "pdf"));
    if (!chosen) return;
    PdfPagesForm form;
    if (!dialogs_.showForm(form)) return;
    view_.printToPdf(PdfPrintRequest{*chosen, form.vector()});
}

void DocumentController::setMetric(bool metric) {
    if (settings_.metric == metric) return;
    settings_.metric = metric;
    services_.setMetric(metric);
}

// ---------------------------------------------------------------------------
// Score commands

EditContext DocumentController::editContext() {
    return EditContext{score_, undo_, host_, warnings_, cursorX_, modified_, dirty_};
}

void DocumentController::pageLayout() {
    if (!canRun(Action::PageLayout)) return;
    PageData page = score_.page;
    bool metric = settings_.metric;
    const bool ok = dialogs_.pageSetup(page, metric);
    setMetric(metric);
    if (!ok) return;
    EditContext ctx = editContext();
    PageLayout(ctx, page, [this] { return view_.setUpPicture(); });
    afterEdits();
}

void DocumentController::staveSize() {
    if (!canRun(Action::StaveSize)) return;
    StaveSizeDialogModel model(score_.staveSize, settings_.metric);
    const std::optional<double> size = dialogs_.staveSize(model, score_);
    if (!size) return;
    EditContext ctx = editContext();
    // A refused size made the old page's picture again: it is drawn anew.
    if (!SetStaveSize(ctx, *size, [this] { return view_.setUpPicture(); })) view_.showPage(page_);
    afterEdits();
}

void DocumentController::optimiseStems() {
    if (!canRun(Action::OptimiseStems)) return;
    EditContext ctx = editContext();
    OptimiseStaveStems(ctx, score_.CurrentStave);
    afterEdits();
}

void DocumentController::noteAlignment() {
    if (!canRun(Action::NoteAlignment)) return;
    NoteAlignmentModel model;
    if (!dialogs_.noteAlignment(model)) return;
    EditContext ctx = editContext();
    FixupNoteAlignment(ctx, score_.CurrentStave, model.extent, model.options());
    afterEdits();
}

void DocumentController::mergeFile(Action a) {
    if (!canRun(a) || score_.Nstaves < 1) return;
    const int cur = std::clamp<int>(score_.CurrentStave, 1, score_.Nstaves);
    const std::optional<int> after = a == Action::MergeAfter ? MergePointAfter(score_, cur, host_)
                                     : a == Action::MergeBefore
                                         ? MergePointBefore(score_, cur, host_)
                                         : std::optional<int>(score_.Nstaves);
    if (!after) return;
    FileDialogSpec spec;
    spec.title = MessageText(msg::MergeDialogTitle);
    spec.filter = "Staffwright (*.SWN)|*.SWN|Staffwright Backup (*.SWB)|*.SWB";
    spec.directory = services_.fileDirectory();
    const std::optional<std::string> path = host_.openFileName(spec);
    if (!path) return;
    const int pages = std::max<int>(score_.pageCount, 1);
    FileEnv env;
    env.backups = settings_.backups;
    EditContext ctx = editContext();
    const bool merged =
        MergeScoreFile(ctx, *after, *path, env, measurer_,
                       RepairOptions{settings_.american, settings_.naturalsInKeyChange});
    afterEdits();
    if (merged && a == Action::MergeAtEnd) {
        const int now = std::max<int>(score_.pageCount, 1);
        host_.message(
            MsgType::Information,
            FormatMessage(now == pages ? msg::MergedPageTotalSame : msg::MergedPageTotalNow, now),
            Buttons::OK);
    }
}

void DocumentController::verticalSpacing() {
    if (!canRun(Action::VerticalSpacing)) return;
    VerticalSpacingModel model;
    if (!dialogs_.verticalSpacing(model)) return;
    EditContext ctx = editContext();
    if (RespacePage(ctx, page_, model.equalSystems)) afterEdits();
}

void DocumentController::focusNoteCommand(Action a) {
    if (!canRun(a)) return;
    const int s = focusStave_, i = focusObject_;
    EditContext ctx = editContext();
    switch (a) {
        case Action::ReverseStem:
            ReverseNoteStem(ctx, s, i);
            break;
        case Action::BeamToPrevious:
            BeamNoteToPrevious(ctx, s, i);
            break;
        case Action::Unbeam:
            UnbeamNote(ctx, s, i);
            break;
        case Action::FlatBeam:
            ToggleNoteFlatBeam(ctx, s, i);
            break;
        case Action::MakeTriplet:
            MakeNoteTriplet(ctx, s, i);
            break;
        default:
            return;
    }
    afterEdits();
}

void DocumentController::tremoloBeams(const std::vector<NoteRef>& selection) {
    if (mode_ != kModeMusic && mode_ != kModeSelecting) return;
    if (!TremoloToolAllowed(score_, selection)) return;
    TremoloBeamsModel model(TremoloBeamsPreset(score_, selection[0], selection[1]));
    if (!dialogs_.tremoloBeams(model)) return;
    EditContext ctx = editContext();
    TremoloBeamSelected(ctx, selection, model.beams());
    afterEdits();
}

int DocumentController::numberingFrequency() const {
    const int* kept = services_.numberingFrequency();
    return kept ? *kept : ownFrequency_;
}

void DocumentController::setNumberingFrequency(int frequency) {
    if (!ValidNumberingFrequency(frequency)) return;
    int* kept = services_.numberingFrequency();
    (kept ? *kept : ownFrequency_) = frequency;
}

void DocumentController::renumberBars() {
    if (!canRun(Action::RenumberBars)) return;
    if (!ValidNumberingFrequency(numberingFrequency())) setNumberingFrequency(1);
    EditContext ctx = editContext();
    RenumberScoreBars(ctx, numberingFrequency());
    afterEdits();
}

bool DocumentController::moveBar(bool down, const std::function<void(Score&)>& alongside) {
    if (!canRun(down ? Action::MoveLastDown : Action::MoveFirstUp)) return false;
    EditContext ctx = editContext();
    const int s = score_.CurrentStave;
    const BarEditOptions options{measurer_, settings_.neatenFactor / 1000.0, alongside};
    if (!(down ? MoveLastBarDownCommand(ctx, s, options) : MoveFirstBarUpCommand(ctx, s, options)))
        return false;
    afterEdits();
    return true;
}

void DocumentController::barMaintenance() {
    if (!canRun(Action::BarMaintain)) return;
    const int s = score_.CurrentStave;
    const int top = SystemBounds(score_, s).first;
    const BarNumberSettings current{settings_.barFont, score_.stave(top).h.barNumberPlace,
                                    numberingFrequency(), score_.boxedBarNumbers};
    BarMaintenanceModel model(current, BarNumberAt(score_, s, cursorX_),
                              ui_.action(Action::MoveFirstUp).enabled,
                              ui_.action(Action::MoveLastDown).enabled, settings_.american);
    if (!dialogs_.barMaintenance(model)) return;
    const BarNumberSettings& chosen = model.chosen();
    const bool changed = model.changed();
    if (!SameFont(chosen.font, settings_.barFont)) {
        settings_.barFont = chosen.font;
        services_.setBarFont(chosen.font);
        view_.redrawPage();
    }
    setNumberingFrequency(chosen.frequency);
    if (chosen.boxed != score_.boxedBarNumbers) {
        score_.boxedBarNumbers = chosen.boxed;
        setModified(true);
    }
    const auto op = model.operation();
    if (op == BarMaintenanceModel::kRefresh) {
        refreshBarNumbers(model.number(), changed, chosen.place, chosen.frequency);
        return;
    }
    // The numbers' place goes into the operation's own Undo step; alone when
    // the operation changes nothing.
    std::function<void(Score&)> place;
    if (chosen.place != score_.stave(top).h.barNumberPlace)
        place = [top, to = static_cast<uint8_t>(chosen.place)](Score& score) {
            score.stave(top).h.barNumberPlace = to;
        };
    bool done = false;
    if (op == BarMaintenanceModel::kMoveUp || op == BarMaintenanceModel::kMoveDown)
        done = moveBar(op == BarMaintenanceModel::kMoveDown, place);
    else if (op == BarMaintenanceModel::kDelete)
        done = deleteBar(place);
    if (place && !done) {
        EditContext ctx = editContext();
        ScoreEdit edit(ctx, "bar number place");
        if (edit.touchStave(top)) {
            place(score_);
            edit.commit();
        }
    }
    if (op == BarMaintenanceModel::kGoTo) gotoBar(model.number());
    afterEdits();
}

void DocumentController::gotoBar(int n) {
    const BarPlace bar = FindBar(score_, n);
    if (!score_.hasStave(bar.stave) || bar.stave > score_.Nstaves) return;
    if (!bar.exact) {
        const std::string typed = std::to_string(n);
        warnings_.show(host_, msg::GotoOutOfRange,
                       FormatMessage(msg::GotoOutOfRange, "Bar", typed.c_str(), "bar", bar.number),
                       3, false);
    }
    showPage(std::max<int>(1, score_.stave(bar.stave).h.PageNum));
    setCurrentStave(bar.stave);
    cursorX_ = bar.x;
}

bool DocumentController::deleteBar(const std::function<void(Score&)>& alongside) {
    EditContext ctx = editContext();
    const BarEditOptions options{measurer_, settings_.neatenFactor / 1000.0, alongside};
    if (!DeleteBarCommand(ctx, score_.CurrentStave, cursorX_, options)) return false;
    afterEdits();
    return true;
}

bool DocumentController::refreshBarNumbers(int first, bool changed, int place, int frequency) {
    if (mode_ != kModeMusic || provisional_ || !unlocked_ || score_.Nstaves < 1) return false;
    EditContext ctx = editContext();
    const Renumbered r = RefreshScoreBarNumbers(ctx, first, place, frequency);
    if (r == Renumbered::Unchanged && changed) {
        // No number moved, but the numbers are drawn anew (font, box).
        setModified(true);
        view_.redrawPage();
    }
    afterEdits();
    return r != Renumbered::Refused;
}

void DocumentController::justifySystem() {
    if (!canRun(Action::JustifyAll)) return;
    EditContext ctx = editContext();
    JustifySystem(ctx, score_.CurrentStave);
    afterEdits();
}

void DocumentController::neaten(NeatenScope scope) {
    static constexpr Action kByScope[] = {Action::NeatenSystem, Action::NeatenPage,
                                          Action::NeatenScore};
    if (!canRun(kByScope[static_cast<int>(scope)])) return;
    EditContext ctx = editContext();
    NeatenCommand(ctx, scope, score_.CurrentStave, page_, settings_.neatenFactor / 1000.0);
    afterEdits();
}

void DocumentController::neatenDialog() {
    if (!canRun(Action::BarNeaten)) return;
    NeatenDialogModel model(settings_.neatenFactor);
    if (!dialogs_.neatenStaves(model)) return;
    settings_.neatenFactor = model.storedFactor();
    services_.setNeatenFactor(settings_.neatenFactor);
    EditContext ctx = editContext();
    NeatenCommand(ctx, model.scope, score_.CurrentStave, page_, model.factor());
    afterEdits();
}

void DocumentController::transpose() {
    if (!canRun(Action::Transpose) || !unlocked_ || refuseWhileProvisional()) return;
    const int cur = score_.CurrentStave;
    if (cur < 1 || cur > score_.Nstaves) return;
    TransposeDialogModel model(score_);
    if (!dialogs_.transpose(model)) return;
    EditContext ctx = editContext();
    TransposeFromDialog(ctx, model, cur, measurer_);
    afterEdits();
}

void DocumentController::formatForPipes() {
    if (!canRun(Action::FormatForPipes) || !unlocked_ || refuseWhileProvisional()) return;
    PipesDialogModel model;
    if (!dialogs_.scottishPipes(model)) return;
    EditContext ctx = editContext();
    FormatScoreForPipes(ctx, model.options);
    afterEdits();
}

void DocumentController::showOptions() {
    Settings* program = services_.programSettings();
    if (!program || !canRun(Action::Options)) return;
    OptionsModel model(*program, &score_, services_.programFolderReadOnly());
    model.platform = services_.optionsPlatform();
    model.open(host_);
    if (!dialogs_.options(model)) return;
    const std::optional<OptionsOutcome> out = model.accept();
    if (!out) return;
    const bool wasMetric = settings_.metric;
    TakeOptionSettings(settings_, *program);
    if (settings_.metric != wasMetric) services_.setMetric(settings_.metric);
    warnings_.setUserLevel(settings_.level);
    if (out->scoreAfter) {
        EditContext ctx = editContext();
        ApplyScoreOptions(ctx, *out->scoreBefore, *out->scoreAfter,
                          [this] { return view_.setUpPicture(); });
        afterEdits();
    }
    services_.optionsChanged(*out);
    setUserLevel(settings_.level);
}

void DocumentController::randomTune() {
    const int s = score_.CurrentStave;
    if (!unlocked_ || provisional_ || s < 1 || s > score_.Nstaves || score_.stave(s).h.Nobjec != 0)
        return;
    RandomTuneDialogModel model;
    if (!dialogs_.randomTune(model)) return;
    EditContext ctx = editContext();
    WriteRandomTune(ctx, s, model.options, *random_);
    afterEdits();
}

void DocumentController::refreshNoteActions() {
    const bool music = mode_ == kModeMusic && unlocked_ && !provisional_;
    const int s = focusStave_, i = focusObject_;
    const NoteData* n = nullptr;
    if (music && s >= 1 && s <= score_.Nstaves && score_.hasStave(s) &&
        score_.stave(s).validIndex(i) && score_.object(s, i).kind == kNote)
        n = &score_.object(s, i).note();
    const bool sounding = n && !n->rest;
    const bool beamable = sounding && IsBeamableNote(score_, {s, i});
    auto set = [this](Action a, bool enabled, bool checked = false) {
        ActionState& st = ui_.actions[ActionName(a)];
        st.enabled = enabled;
        st.checked = checked;
    };
    set(Action::ReverseStem, sounding && n->stem <= 1);
    set(Action::BeamToPrevious, beamable && n->beamBackTo == 0);
    set(Action::Unbeam, beamable && n->beamBackTo != 0);
    set(Action::FlatBeam, beamable && (n->beamBackTo || n->beamOnTo), beamable && n->flatBeam);
    set(Action::MakeTriplet, n != nullptr);
}

void DocumentController::undo() {
    // The provisional object is in no slot the record knows.
    if (refuseWhileProvisional() || !canRun(Action::Undo)) return;
    EditContext ctx = editContext();
    setCursorShown(false);
    UndoLastCommand(ctx, mode_ == kModeMusic);
    afterEdits();
    setCursorShown(true);
}

void DocumentController::layOutAgain() {
    dirty_.structural = true;
    afterEdits();
}

void DocumentController::showStaveLimits() {
    if (!canRun(Action::ShowStaveLimits)) return;
    const StaveHeader& h = score_.stave(score_.CurrentStave).h;
    ui_.overlay.limits = {{h.LeftX, h.MinY, h.RightX, h.MinY}, {h.LeftX, h.MaxY, h.RightX, h.MaxY}};
    view_.overlayChanged();
}

void DocumentController::afterEdits() {
    if (dirty_.empty()) {
        refreshUi();
        return;
    }
    const DirtyStaves d = dirty_;
    dirty_.clear();
    ui_.overlay.limits.clear();  // the page is drawn anew without them
    // A page picture that cannot be made has been reported by the view.
    if (d.page) view_.setUpPicture();
    if (d.page || d.structural) {
        PrepareForDisplay(score_, host_, measurer_);
    } else if (d.first <= d.last) {
        for (int s = std::max(d.first, 1); s <= std::min<int>(d.last, score_.Nstaves); ++s)
            RefreshStave(score_, s, measurer_);
        RebuildTrailers(score_);
        Repaginate(score_, ComputePageGeometry(score_).height);
    }
    view_.layoutChanged();
    // On the header/footer stave the header/footer view stays, whatever the mode.
    const bool onPage = score_.CurrentStave > 0;
    if (onPage && score_.Nstaves > 0 && score_.hasStave(score_.CurrentStave))
        page_ = std::clamp<int>(score_.stave(score_.CurrentStave).h.PageNum, 1,
                                std::max<int>(score_.pageCount, 1));
    if (onPage) page_ = std::clamp(page_, 1, std::max<int>(score_.pageCount, 1));
    if (onPage && !IsHeadFoot(mode_) && mode_ != kModePreview)
        view_.showPage(page_);
    else
        view_.redrawPage();
    if (score_.CurrentStave > 0) setCurrentStave(score_.CurrentStave);
    setModified(modified_);
    refreshUi();
    services_.refreshStatus();
}

// ---------------------------------------------------------------------------
// Actions and keys

bool DocumentController::playCommand(Action a) {
    PlayWindow* w = services_.playWindow();
    if (!w) return false;
    if (a >= Action::PlayButton) return w->run(a);
    if (!canRun(a)) return true;
    if (!settleProvisional()) return true;
    if (a == Action::Play)
        w->f2(*this);
    else
        w->playRange(*this, a == Action::PlaySystem ? 2 : a == Action::PlayScore ? 4 : 0);
    return true;
}

bool DocumentController::canRun(Action a) const {
    if (a >= Action::PlayButton && a <= Action::Temperament) {
        PlayWindow* w = services_.playWindow();
        return w && w->canRun(a);
    }
    const ActionState& s = ui_.action(a);
    return s.enabled;
}

bool DocumentController::run(Action a) {
    if (Placing::IsPlacingAction(a)) return Placing::command(*this, a);
    if (StaveActions::IsStaveAction(a)) return StaveActions::command(*this, a);
    switch (a) {
        case Action::Save:
            if (canRun(a)) save();
            return true;
        case Action::SaveAs:
            if (canRun(a)) saveAs();
            return true;
        case Action::ExportMusicXml:
            if (canRun(a)) exportMusicXml();
            return true;
        case Action::Undo:
            undo();
            return true;
        case Action::EnterMusic:
        case Action::TextMode:
        case Action::LineMode:
        case Action::CurveMode:
        case Action::HairpinMode:
        case Action::SymbolMode:
        case Action::ShapeMode:
        case Action::BlockMode:
        case Action::HeadFoot:
        case Action::Preview:
        case Action::Compress:
        case Action::ToggleEdit:
            modeCommand(a);
            return true;
        case Action::Escape:
            // The mode's own Esc first (abandoning a provisional object).
            if (handlers_[static_cast<std::size_t>(mode_)]->key("Esc")) return true;
            if (mode_ != kModeMusic) returnFromTransient();
            return true;
        case Action::DeleteFocus:
            deleteFocus();
            return true;
        case Action::PlaceClef:
            placeClef();
            return true;
        case Action::Properties:
            properties();
            return true;
        case Action::Attributes:
            attributes();
            return true;
        case Action::LineLegs:
            lineLegs();
            return true;
        case Action::PlaceKeysig:
            placeKeysig();
            return true;
        case Action::PlaceTimesig:
            placeTimesig();
            return true;
        case Action::RenumberBars:
            renumberBars();
            return true;
        case Action::MoveLastDown:
        case Action::MoveFirstUp:
            moveBar(a == Action::MoveLastDown);
            return true;
        case Action::BarMaintain:
            barMaintenance();
            return true;
        case Action::Transpose:
            transpose();
            return true;
        case Action::Options:
            showOptions();
            return true;
        case Action::FormatForPipes:
            formatForPipes();
            return true;
        case Action::Play:
        case Action::PlaySystem:
        case Action::PlayScore:
        case Action::PlayStave:
        case Action::PlayButton:
        case Action::PlayStop:
        case Action::PlayClose:
        case Action::SaveMidi:
        case Action::PlayMore:
        case Action::MoreSounds:
        case Action::Temperament:
            return playCommand(a);
        case Action::Top:
            top();
            return true;
        case Action::FirstPage:
            if (mode_ == kModeMusic) showPage(1);
            return true;
        case Action::LastPage:
            if (mode_ == kModeMusic) showPage(std::max<int>(score_.pageCount, 1));
            return true;
        case Action::PrevPage:
            previousPage();
            return true;
        case Action::NextPage:
            nextPage();
            return true;
        case Action::End:
            end();
            return true;
        case Action::PageTop:
            pageTop();
            return true;
        case Action::PageBottom:
            pageBottom();
            return true;
        case Action::GotoPage:
            gotoPage();
            return true;
        case Action::GotoSystem:
            gotoSystem();
            return true;
        case Action::GotoStave:
            gotoStave();
            return true;
        case Action::Repaginate:
            repaginate();
            return true;
        case Action::PageLayout:
            pageLayout();
            return true;
        case Action::StaveSize:
            staveSize();
            return true;
        case Action::Redraw:
            view_.redrawPage();
            return true;
        case Action::RedrawStave:
        case Action::RedrawSystem:
            redrawStaves(a == Action::RedrawSystem);
            return true;
        case Action::ShowStaveLimits:
            showStaveLimits();
            return true;
        case Action::AddMenu:
            addMenu();
            return true;
        case Action::VerticalSpacing:
            verticalSpacing();
            return true;
        case Action::MergeAfter:
        case Action::MergeBefore:
        case Action::MergeAtEnd:
            mergeFile(a);
            return true;
        case Action::OptimiseStems:
            optimiseStems();
            return true;
        case Action::NoteAlignment:
            noteAlignment();
            return true;
        case Action::ReverseStem:
        case Action::BeamToPrevious:
        case Action::Unbeam:
        case Action::FlatBeam:
        case Action::MakeTriplet:
            focusNoteCommand(a);
            return true;
        case Action::CrossStaveBeam:
        case Action::BeamTremolo:
        case Action::Triplets:
        case Action::DeleteBlk:
        case Action::AlignV:
        case Action::AlignH:
        case Action::AbortSelecting:
        case Action::ChgAttr:
            return selectionCommand(a);
        case Action::JustifyAll:
            justifySystem();
            return true;
        case Action::NeatenSystem:
            neaten(NeatenScope::System);
            return true;
        case Action::NeatenPage:
            neaten(NeatenScope::Page);
            return true;
        case Action::NeatenScore:
            neaten(NeatenScope::Score);
            return true;
        case Action::BarNeaten:
            neatenDialog();
            return true;
        default:
            return false;  // the window's own
    }
}

bool DocumentController::key(const std::string& k) {
    const bool down = keyDown(k);
    return keyUp(k) || down;
}

bool DocumentController::keyDown(const std::string& k) {
    const std::string key = NormalizeKey(k);
    if (key.empty()) return false;
    const KeyParts parts = SplitKey(key);
    modifiers_ = parts.held;
    // The moving box takes its keys (Alt+PgDown too) before any command.
    if ((mode_ == kModeBlockVb || mode_ == kModeBlockCpy) &&
        handlers_[static_cast<std::size_t>(mode_)]->key(key))
        return true;
    if (const std::optional<Action> a = shortcut(key)) return run(*a);
    keysDown_[parts.name] = key;
    return handlers_[static_cast<std::size_t>(mode_)]->key(key);
}

bool DocumentController::typeCharacter(char32_t c) {
    return handlers_[static_cast<std::size_t>(mode_)]->character(c);
}

std::optional<Action> DocumentController::shortcut(const std::string& key) const {
    const std::string k = NormalizeKey(key);
    if (mode_ == kModeText && (k == "Ctrl+S" || k == "Ctrl+C" || k == "Ctrl+N"))
        return std::nullopt;
    return ActionByKey(k);
}

bool DocumentController::keyUp(const std::string& k) {
    const auto held = keysDown_.find(SplitKey(NormalizeKey(k)).name);
    if (held == keysDown_.end()) return false;
    const std::string key = held->second;
    keysDown_.erase(held);
    modifiers_ = SplitKey(key).held;
    return handlers_[static_cast<std::size_t>(mode_)]->keyUp(key);
}

bool DocumentController::modifiersChanged(KeyModifiers now) {
    modifiers_ = now;
    // Ctrl changes what the pointer offers at once, not at the next move.
    if (mode_ != kModeMusic || provisional_ || !pointerIn_) return false;
    const CursorShape before = ui_.cursor;
    mouseMove(pointerX_, pointerY_, now.ctrl);
    return ui_.cursor != before;
}

PointerResult DocumentController::pointer(const PointerEvent& e) {
    pointerIn_ = e.kind != PointerEvent::Leave;
    if (pointerIn_) {
        pointerX_ = e.x;
        pointerY_ = e.y;
    }
    return handlers_[static_cast<std::size_t>(mode_)]->pointer(e);
}

// ---------------------------------------------------------------------------
// Modes

void DocumentController::setProvisional(bool active, bool note) {
    if (!active) pending_.reset();
    provisional_ = active;
    provisionalNote_ = active && note;
    refreshUi();
}

void DocumentController::setEditMode(int n) {
    if (!ValidMode(n) || n == mode_) return;
    if (n == kModeMusic && mode_ == kModeDragging && IsHeadFoot(previous_)) n = previous_;
    // On the header/footer stave, Music means the header/footer view.
    if (score_.CurrentStave == 0 && n == kModeMusic && mode_ != kModeNothing)
        n = IsHeadFoot(previous_) ? previous_ : (IsHeadFoot(mode_) ? mode_ : kModeHead);
    if (n == mode_) return;
    const int leaving = mode_;
    previous_ = mode_;
    mode_ = n;
    handlers_[static_cast<std::size_t>(leaving)]->leave(n);
    // A mode says what to do in it, or nothing: never what the last one said.
    hintsOff();
    handlers_[static_cast<std::size_t>(n)]->enter(leaving);
    refreshUi();
    services_.refreshStatus();
}

void DocumentController::returnFromTransient() {
    setEditMode(IsHeadFoot(previous_) ? previous_ : kModeMusic);
}

void DocumentController::modeCommand(Action c) {
    const bool music = mode_ == kModeMusic;
    // The preview shows the score as it is: the object in hand goes in first.
    // Any other mode would start something else.
    if (c == Action::Preview && music && !settleProvisional()) return;
    if (c != Action::Preview && c != Action::EnterMusic && c != Action::ToggleEdit &&
        refuseWhileProvisional())
        return;
    switch (c) {
        case Action::EnterMusic:
            handlers_[static_cast<std::size_t>(mode_)]->beforeMusic();
            setEditMode(kModeMusic);
            break;
        case Action::TextMode:
            if (music || IsHeadFoot(mode_)) setEditMode(kModeText);
            break;
        case Action::LineMode:
            if (music) setEditMode(kModeLine);
            break;
        case Action::CurveMode:
            if (music) setEditMode(kModeCurve);
            break;
        case Action::HairpinMode:
            if (music) setEditMode(kModeHairpin);
            break;
        case Action::SymbolMode:
            if (music) Placing::startSymbol(*this);
            break;
        case Action::ShapeMode:
            if (music) Placing::startShape(*this);
            break;
        case Action::BlockMode:
            if (!music) break;
            setCursorShown(false);
            setEditMode(kModeBlocksoon);
            break;
        case Action::HeadFoot:
            if (music) {
                const HeaderFooterChooser chooser =
                    OpenHeaderFooterChooser(score_.page, settings_.metric, host_);
                if (!chooser.headerEnabled && !chooser.footerEnabled) break;
                const HeaderFooterChooser::Choice choice = dialogs_.chooseHeaderFooter(chooser);
                if (choice == HeaderFooterChooser::HeaderArea) setEditMode(kModeHead);
                if (choice == HeaderFooterChooser::FooterArea) setEditMode(kModeFoot);
            } else if (score_.CurrentStave == 0) {
                // Leaving the header/footer view: the music as it was.
                view_.leaveHeaderFooter();
                score_.CurrentStave = static_cast<uint16_t>(savedStave_);
                page_ = savedPage_;
                cursorX_ = savedCursorX_;
                setEditMode(kModeMusic);
                view_.showPage(page_);
                setCursorShown(true);
            }
            break;
        case Action::Preview:
            if (music)
                setEditMode(kModePreview);
            else if (mode_ == kModePreview)
                setEditMode(kModeMusic);
            break;
        case Action::Compress:
            if (music) setEditMode(kModeCompressing);
            break;
        case Action::ToggleEdit:
            unlocked_ = !unlocked_;
            // The object under the mouse shows whether it can be taken now.
            objectSelected_ = unlocked_ && focusObject_ > 0;
            ui_.highlightStave = unlocked_ ? focusStave_ : -1;
            ui_.highlightObject = unlocked_ ? focusObject_ : -1;
            refreshUi();
            break;
        default:
            break;
    }
}

void DocumentController::headerFooterMouseUp() {
    int* kept = services_.headerFooterReminders();
    int& given = kept ? *kept : headerFooterMouseUps_;
    if (!IsHeadFoot(mode_) || given >= 5) return;
    ++given;
    warnings_.show(host_, msg::HeaderFooterOnlyText, 3, false);
}

void DocumentController::clickOutsideWorkingArea() {
    if (!IsHeadFoot(mode_)) return;
    const bool header = mode_ == kModeHead;
    host_.message(MsgType::Information,
                  FormatMessage(msg::NotWorkingArea, header ? "header" : "footer",
                                header ? "above" : "below"),
                  Buttons::OK);
}

// ---------------------------------------------------------------------------
// Where input goes

void DocumentController::setCurrentStave(int s) {
    if (s < 0 || s > score_.Nstaves || !score_.hasStave(s)) return;
    if (s != score_.CurrentStave && !ui_.overlay.limits.empty()) {
        ui_.overlay.limits.clear();  // they were the old stave's
        view_.overlayChanged();
    }
    score_.CurrentStave = static_cast<uint16_t>(s);
    attach_ = ComputeAttachRange(score_, s, settings_.level, IsHeadFoot(mode_));
    view_.showStaveCursor(cursorShown_);
    refreshUi();
    services_.refreshStatus();
}

void DocumentController::setCursorShown(bool shown) {
    if (shown == cursorShown_) return;
    cursorShown_ = shown;
    view_.showStaveCursor(shown);
}

std::vector<Segment> DocumentController::cursorStrokes() const {
    const int s = score_.CurrentStave;
    if (!cursorShown_ || s == 0 || IsHeadFoot(mode_) || mode_ == kModePreview ||
        !score_.hasStave(s))
        return {};
    return StaveCursorShape(settings_.cursorType, cursorX_, score_.stave(s).h.Ycoord);
}

void DocumentController::showPage(int n) {
    if (n < 1 || n > std::max<int>(score_.pageCount, 1)) return;
    if (IsHeadFoot(mode_) || mode_ == kModePreview) return;
    if (!settleProvisional()) return;
    page_ = n;
    view_.showPage(n);
    // A page whose first stave cannot be found keeps the stave the user had.
    if (const int first = FirstStaveOnPage(score_, n); first > 0) setCurrentStave(first);
    refreshUi();
    services_.refreshStatus();
}

void DocumentController::repaginate() {
    if (!canRun(Action::Repaginate) || score_.Nstaves < 1) return;
    std::vector<std::pair<int32_t, uint16_t>> before;
    for (int s = 1; s <= score_.Nstaves; ++s)
        before.emplace_back(score_.stave(s).h.Ycoord, score_.stave(s).h.PageNum);
    host_.setBusy(true);
    const PaginationResult r = Repaginate(score_, ComputePageGeometry(score_).height);
    host_.setBusy(false);
    ReportOversized(r, host_, warnings_);
    // Staves that moved are a change to save; an unchanged layout is not.
    for (int s = 1; s <= score_.Nstaves && !modified_; ++s)
        if (before[s - 1] != std::make_pair(score_.stave(s).h.Ycoord, score_.stave(s).h.PageNum))
            setModified(true);
    page_ = std::max(1, r.currentPage);
    view_.layoutChanged();
    view_.showPage(page_);
    refreshUi();
    services_.refreshStatus();
}

void DocumentController::nextPage() {
    if (mode_ == kModeMusic) showPage(page_ + 1);
}

void DocumentController::previousPage() {
    if (mode_ == kModeMusic) showPage(page_ - 1);
}

std::optional<int> DocumentController::askNumber(int caption, int prompt, int last,
                                                 const char* upper, const char* lower) {
    const std::optional<std::string> answer =
        host_.input(MessageText(caption), MessageText(prompt), std::string());
    if (!answer) return std::nullopt;
    const std::optional<long long> n = ParseGotoNumber(*answer);
    if (!n) return std::nullopt;
    const long long clamped = std::clamp<long long>(*n, 1, std::max(last, 1));
    if (clamped != *n) {
        // Said as typed: a number past any integer is still the user's number.
        std::string typed = *answer;
        typed.erase(0, typed.find_first_not_of(" \t+"));
        typed.erase(typed.find_last_not_of(" \t") + 1);
        warnings_.show(host_, msg::GotoOutOfRange,
                       FormatMessage(msg::GotoOutOfRange, upper, typed.c_str(), lower,
                                     static_cast<int>(clamped)),
                       3, false);
    }
    return static_cast<int>(clamped);
}

void DocumentController::gotoPage() {
    if (mode_ != kModeMusic || !settleProvisional()) return;
    if (const std::optional<int> n =
            askNumber(msg::GotoPageCaption, msg::GotoPagePrompt, score_.pageCount, "Page", "page"))
        showPage(*n);
}

void DocumentController::gotoSystem() {
    if (mode_ != kModeMusic || !settleProvisional()) return;
    const int systems = SystemCount(score_);
    const std::optional<int> n =
        askNumber(msg::GotoSystemCaption, msg::GotoSystemPrompt, systems, "System", "system");
    const int first = n ? FirstStaveOfSystem(score_, *n) : 0;
    if (first < 1 || first > score_.Nstaves) return;
    showPage(std::max<int>(1, score_.stave(first).h.PageNum));
    setCurrentStave(first);
}

void DocumentController::gotoStave() {
    if (mode_ != kModeMusic || !settleProvisional()) return;
    const std::optional<int> n =
        askNumber(msg::GotoStaveCaption, msg::GotoStavePrompt, score_.Nstaves, "Stave", "stave");
    if (!n || !score_.hasStave(*n)) return;
    showPage(std::max<int>(1, score_.stave(*n).h.PageNum));
    setCurrentStave(*n);
}

void DocumentController::top() {
    if (mode_ != kModeMusic || score_.Nstaves < 1 || !settleProvisional()) return;
    cursorX_ = score_.stave(1).h.LeftX + 20;
    showPage(1);
    setCurrentStave(1);
}

void DocumentController::end() {
    if (mode_ != kModeMusic || score_.Nstaves < 1 || !settleProvisional()) return;
    const int last = score_.Nstaves;
    if (score_.hasStave(score_.CurrentStave) && score_.CurrentStave > 0)
        cursorX_ = score_.stave(score_.CurrentStave).h.LeftX + 20;
    showPage(std::max<int>(1, score_.stave(last).h.PageNum));
    setCurrentStave(last);
}

bool DocumentController::cursorKey(CursorKey key, bool ctrl) {
    const int s = score_.CurrentStave;
    if (mode_ != kModeMusic || provisional_ || objectSelected_ || s < 1 || !score_.hasStave(s))
        return false;
    const StaveHeader& h = score_.stave(s).h;
    const int32_t step = ctrl ? 10 : 1;
    auto moveTo = [this](int32_t x) {
        cursorX_ = x;
        view_.showStaveCursor(cursorShown_);
        return true;
    };
    auto staveOnPage = [this](int t) {
        return t >= 1 && t <= score_.Nstaves && score_.hasStave(t) &&
               score_.stave(t).h.PageNum == score_.stave(score_.CurrentStave).h.PageNum;
    };
    switch (key) {
        case CursorKey::Left:
            return moveTo(std::max(h.LeftX, cursorX_ - step));
        case CursorKey::Right:
            return moveTo(std::min(h.RightX, cursorX_ + step));
        case CursorKey::Home:
            return moveTo(ctrl ? h.LeftX : h.LeftX + 20);
        case CursorKey::End:
            return moveTo(h.RightX - 1);
        case CursorKey::Up:
        case CursorKey::Down:
        case CursorKey::PageUp:
        case CursorKey::PageDown: {
            const bool down = key == CursorKey::Down || key == CursorKey::PageDown;
            const bool bySystem = ctrl && (key == CursorKey::PageUp || key == CursorKey::PageDown);
            int target = 0;
            if (bySystem) {
                const int systems = SystemCount(score_);
                int n = SystemNumber(score_, s) + (down ? 1 : -1);
                if (n < 1) n = systems;
                if (n > systems) n = 1;
                target = FirstStaveOfSystem(score_, n);
                if (target < 1 || target > score_.Nstaves) return true;
                showPage(std::max<int>(1, score_.stave(target).h.PageNum));
            } else {
                target = s + (down ? 1 : -1);
                if (!staveOnPage(target)) return true;  // nothing beyond the page
            }
            setCurrentStave(target);
            return true;
        }
    }
    return false;
}

void DocumentController::pageTop() {
    if (mode_ != kModeMusic) return;
    if (const int first = FirstStaveOnPage(score_, page_); first > 0) setCurrentStave(first);
}

void DocumentController::pageBottom() {
    if (mode_ != kModeMusic) return;
    if (const int last = LastStaveOnPage(score_, page_); last > 0) setCurrentStave(last);
}

// ---------------------------------------------------------------------------
// The placing tools

void DocumentController::setLineThickness(int t) {
    ui_.tools.lineThickness = std::clamp(t, 0, 5);
}
void DocumentController::setLineStyle(int style) {
    ui_.tools.lineStyle = std::clamp(style, 0, 2);
}
void DocumentController::setDotSpacing(int d) {
    ui_.tools.dotSpacing = std::clamp(d, 3, 20);
}
void DocumentController::setCurveThickness(int t) {
    ui_.tools.curveThickness = std::clamp(t, 0, 5);
    handlers_[static_cast<std::size_t>(mode_)]->toolsChanged();
}
void DocumentController::setCurveStyle(int bits) {
    ui_.tools.curveStyle = bits & 3;
    handlers_[static_cast<std::size_t>(mode_)]->toolsChanged();
}
void DocumentController::setHairpinThickness(int t) {
    ui_.tools.hairpinThickness = std::clamp(t, 0, 3);
}
void DocumentController::setTextFlags(bool transposable, bool immobile, bool boxed) {
    ui_.tools.transposable = transposable;
    ui_.tools.immobile = immobile;
    ui_.tools.boxed = boxed;
    handlers_[static_cast<std::size_t>(mode_)]->toolsChanged();
}
void DocumentController::setTextFont(const FontDesc& font) {
    FontDesc f = font;
    f.size = static_cast<int16_t>(std::clamp<int>(f.size, 1, 200));
    if (f.name.empty()) f.name = ui_.tools.textFont.name;
    ui_.tools.textFont = f;
    handlers_[static_cast<std::size_t>(mode_)]->toolsChanged();
}

// ---------------------------------------------------------------------------
// The mouse over the page

bool DocumentController::mouseMove(int32_t x, int32_t y, bool ctrl) {
    const int m = mode_;
    const bool hitting =
        unlocked_ && !provisional_ && (m == kModeMusic || m == kModeSelecting || IsHeadFoot(m));
    const Hit hit = hitting ? HitTestPage(score_, page_, m, x, y, measurer_) : Hit{};
    // The pointer, except where a mode keeps its own.
    const bool ownCursor = m == kModeLine || m == kModeCurve || m == kModeHairpin ||
                           m == kModeCompressing || IsHeadFoot(m) || m == kModePreview ||
                           m == kModeDragging || m == kModeSymbol;
    if (!ownCursor) {
        if (m == kModeText)
            ui_.cursor = CursorShape::Cursor1;
        else if (!ctrl)
            ui_.cursor = hit.found() ? CursorShape::Cursor14 : CursorShape::Default;
        else if (hit.found())
            ui_.cursor = score_.object(hit.stave, hit.object).kind == kBarline
                             ? CursorShape::MoveBar
                             : CursorShape::Cursor14;
        else
            ui_.cursor =
                StaveAt(score_, page_, x, y) > 0 ? CursorShape::MoveStave : CursorShape::HandFlat;
    }
    const bool changed = hit.stave != focusStave_ || hit.object != focusObject_;
    focusStave_ = hit.stave;
    focusObject_ = hit.object;
    objectSelected_ = hit.found() && (m == kModeMusic || IsHeadFoot(m));
    ui_.highlightStave = hit.stave;
    ui_.highlightObject = hit.object;
    if (changed) refreshNoteActions();
    return changed;
}

bool DocumentController::mouseLeave() {
    const bool changed = focusObject_ > 0;
    focusStave_ = focusObject_ = -1;
    objectSelected_ = false;
    ui_.highlightStave = ui_.highlightObject = -1;
    return changed;
}

// ---------------------------------------------------------------------------
// What the window shows

void DocumentController::refreshUi() {
    const int m = mode_;
    const bool music = m == kModeMusic;
    const bool mhf = music || IsHeadFoot(m);
    const bool free = !provisional_;
    const int level = settings_.level;
    auto set = [this](const char* name, bool enabled, bool checked = false) {
        ActionState& a = ui_.actions[name];
        a.enabled = enabled;
        a.checked = checked;
    };
    for (const char* name : kMusicOnly)
        set(name, music);
    set("actextmode", mhf, m == kModeText);
    set("acHeadFoot", mhf, m != kModeMusic && m != kModeNothing);
    set("acToggleEdit", mhf, unlocked_);
    ui_.actions["acToggleEdit"].hint =
        MessageText(unlocked_ ? msg::DisableEditing : msg::EnableEditing);
    set("acLinemode", music, m == kModeLine);
    set("acSymbol", music, m == kModeSymbol);
    set("acBlockMode", music, m == kModeBlocksoon);
    set("acHairpin", music, m == kModeHairpin);
    set("acCurve", music, m == kModeCurve);
    set("acPreview", music || m == kModePreview, m == kModePreview);
    ActionState& preview = ui_.actions["acPreview"];
    preview.caption =
        MessageText(m == kModePreview ? msg::ClosePreviewCaption : msg::PreviewCaption);
    preview.hint = MessageText(m == kModePreview ? msg::ReturnToNormalView : msg::PreviewThisPage);
    set("tbexplain0", m != kModeMovingObject);
    // The menu states.
    const bool saveable = (music || m == kModePreview) && free;
    for (const char* name :
         {"acSave", "acSaveAs", "acPrint", "acPrintSetup", "acInformation", "acExportMusicXml"})
        set(name, saveable);
    for (const char* name : {"acSaveAsTemplate", "acSavePart", "MergeFileAfter", "MergeFileBefore",
                             "miMergeFileatEnd", "acPictureFile"})
        set(name, music && free && level >= 2);
    set("acRefresh", mhf && free);
    for (const char* name : {"acRepaginate", "acPageLayout", "acStaveSize", "acVerticalSpacing"})
        set(name, music && free);
    for (const char* name : {"acTranspose", "acSortStave"})
        set(name, music && level >= 2);
    set("FormatforGHB1Click", music && score_.Nstaves > 0);
    ui_.actions["FormatforGHB1Click"].hint = MessageText(msg::PipesHint);
    set("acExit", true);

    // The stave and system actions follow the current stave.
    const int cur = score_.CurrentStave;
    const int pages = std::max<int>(score_.pageCount, 1);
    bool sounding = false;
    for (int st = 1; st <= score_.Nstaves && !sounding; ++st) {
        if (!score_.hasStave(st)) continue;
        const StaveBlock& b = score_.stave(st);
        for (int i = 1; i <= b.count() && !sounding; ++i)
            sounding = b.obj[i].kind == kNote && b.obj[i].data.note.rest == 0;
    }
    const int system = cur >= 1 && cur <= score_.Nstaves ? SystemNumber(score_, cur) : 0;
    const int systems = SystemCount(score_);
    set("acNextpage", music && page_ < pages);
    set("acPrevPage", music && page_ > 1);
    // The first and last page are there to go to from any other page.
    set("tbTop", music && page_ > 1);
    set("tbBottom", music && page_ < pages);
    set("acTop", music && cur != 1);
    set("acEnd", music && score_.Nstaves >= 2 && cur != score_.Nstaves);
    for (const char* name : {"acsound", "acPlaySystem", "acPlayScore", "acPlayStave"})
        set(name, music && sounding);
    set("acUndo", mhf && free && undo_.canUndo());
    set("acDelstave", music && score_.Nstaves >= 2);
    set("acMoveLastDown", music && free && unlocked_ && system > 0 && system < systems);
    set("acMoveFirstUp", music && free && unlocked_ && system > 1);
    const bool onStave = music && free && unlocked_ && cur >= 1 && cur <= score_.Nstaves;
    set("acOptimiseStems", onStave);
    set("acRenumberBars", onStave);
    set("acBarmaintain", onStave);
    set("showstavelimits", onStave && settings_.staveLimits);
    set("acNoteAlignment", onStave);
    for (const char* name :
         {"acJustifyall", "acNeatenSystem", "acNeatenPage", "acNeatenScore", "acBarNeaten"})
        set(name, music && free && score_.Nstaves >= 1);
    // The selection tool bar's, with what the selection allows.
    const bool selecting = m == kModeSelecting && !block_.selection.empty();
    std::vector<NoteRef> notes;
    if (selecting)
        for (const SelectedObject& e : block_.selection.entries())
            notes.push_back({e.stave, e.object});
    set("acCrossStaveBeam", selecting && BeamToolAllowed(score_, notes));
    set("acbeamtremulo", selecting && TremoloToolAllowed(score_, notes));
    set("acTriplets", selecting && TripletsToolAllowed(score_, notes));
    for (const char* name : {"acDeleteBlk", "acAlignV", "acAlignH", "tbAbort2", "acChgAttr"})
        set(name, selecting);
    ui_.selectingLabel = SelectingLabel(block_.selection.count());
    refreshNoteActions();

    ui_.toolbar = ValidMode(m) ? kModes[m].toolbar : ToolBarId::None;
    ui_.emptyBarText = m == kModeBlocksoon ? MessageText(msg::DragABox) : std::string();
    if (ValidMode(m) && kModes[m].cursor != CursorShape::Unchanged) ui_.cursor = kModes[m].cursor;
    ui_.caption = caption();
    Placing::refreshActions(*this);
    StaveActions::refreshActions(*this);
}

void DocumentController::showGuidance(int id) {
    if (settings_.level >= 3) {
        ui_.guidance.clear();
        return;
    }
    std::string text = HasMessage(id) ? MessageText(id) : std::string();
    if (HasMessage(id + 1)) text += MessageText(id + 1);
    ui_.guidance = text;
}

void DocumentController::hintsOff() {
    ui_.guidance.clear();
}

void DocumentController::setUserLevel(int level) {
    settings_.level = std::clamp(level, 1, 4);
    if (settings_.level != 1) hintsOff();
    refreshUi();
}

void DocumentController::noviceTick() {
    if (settings_.level != 1) {
        hintsOff();
        return;
    }
    if (mode_ != kModeMusic) return;
    int id = msg::GuidanceMoreHelp;
    const int s = score_.CurrentStave;
    if (!startedEmpty_) {
        id = msg::GuidanceStartAgain;
    } else if (provisional_) {
        id = provisionalNote_ ? msg::GuidanceNoteKeys : msg::GuidanceProvisional;
    } else if (s == 1 && score_.hasStave(1)) {
        const StaveBlock& b = score_.stave(1);
        bool clef = false, key = false, note = false;
        int live = 0;
        for (int i = 1; i <= b.count(); ++i) {
            const int kind = b.obj[i].kind;
            live += kind != kNothing;
            clef |= kind == kClef;
            key |= kind == kKeysig;
            note |= kind == kNote;
        }
        if (live == 0)
            id = msg::GuidanceStuck;
        else if (!clef)
            id = msg::GuidanceNoClef;
        else if (!key)
            id = msg::GuidanceGotClef;
        else if (!note)
            id = msg::GuidanceAddNote;
    }
    showGuidance(id);
}

}  // namespace sw
