// The options window's controls, tab by tab, bound to the model, and the
// score information window's pages.
#include "editor/dialogs/OptionsForm.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "editor/PlaybackDialogs.h"
#include "layout/Pagination.h"
#include "model/Figures.h"

namespace sw {

namespace {

using C = OptionControl;

C Make(C::Kind kind, int tab, std::string caption, std::string name = {}) {
    C c;
    c.kind = kind;
    c.tab = tab;
    c.caption = std::move(caption);
    c.name = std::move(name);
    return c;
}

constexpr std::array<const char*, 4> kSaveTypes = {"Scores", "Sound", "Pictures", "Scans"};
constexpr std::array<const char*, 4> kSaveTypeWords = {"scores", "midi files", "pictures", "scans"};

std::string StartFolder(Settings& settings, SaveType type) {
    const std::string& remembered = TypeFolder(settings, type);
    if (!remembered.empty()) return remembered;
    const char* home = std::getenv("HOME");
    return home ? home : "/";
}

}  // namespace

OptionsForm::OptionsForm(OptionsModel& model, Host& host, WarningBox& warnings,
                         OptionsHelpers helpers)
    : model_(model), host_(host), warnings_(warnings), helpers_(std::move(helpers)) {
    folder_ = StartFolder(model_.settings(), saveType_);
    systemLines_ = SystemTabLines(model_.platform);
    // The current printer, then the program's own when it is still installed.
    if (PrinterFacts* p = model_.platform.printers) {
        const std::vector<std::string> all = p->printers();
        if (std::find(all.begin(), all.end(), model_.values.printer) == all.end())
            model_.values.printer = p->defaultPrinter();
    }
    readPrinter();
    buildDesktop();
    buildMusicAndScore();
    buildLanguageAndFolders();
    buildPrinterAndSystem();
    buildCosmeticAndToolbars();
}

int OptionsForm::add(OptionControl c, Binding b) {
    controls_.push_back(std::move(c));
    bindings_.push_back(std::move(b));
    return static_cast<int>(controls_.size()) - 1;
}

void OptionsForm::buildDesktop() {
    OptionValues& v = model_.values;
    const bool autoSave = model_.automaticSaveAvailable();
    auto check = [&](const char* caption, const char* name, bool& flag, bool on = true) {
        add(Make(C::Check, kDesktop, caption, name), {[&flag] { return int(flag); },
                                                      [&flag](int k) { flag = k != 0; },
                                                      {},
                                                      {},
                                                      {},
                                                      [on] { return on; }});
    };
    auto spin = [&](const char* caption, const char* name, int& value, int low, int high,
                    bool on = true) {
        C c = Make(C::Spin, kDesktop, caption, name);
        c.low = low, c.high = high;
        return add(c, {[&value] { return value; },
                       [&value](int k) { value = k; },
                       {},
                       {},
                       {},
                       [on] { return on; }});
    };
    auto radio = [&](const char* caption, const char* name, const auto& items, int& value,
                     int offset) {
        add(Make(C::Radio, kDesktop, caption, name),
            {[&value, offset] { return value - offset; },
             [&value, offset](int k) { value = k + offset; },
             {},
             [&items] { return std::vector<std::string>(items.begin(), items.end()); }});
    };
    radio(" User Level", "rgUser", options::kUserLevels, v.userLevel, 1);
    radio(" Cursor shape ", "rgCursor", options::kCursorShapes, v.cursorType, 0);
    check("Keep backup file o&n save", "cbBackup", v.backups);
    check("A&utomatic Save", "cbAutobackup", v.autobackup, autoSave);
    const int every = spin("e&very", "sebackupmins", v.backupMinutes, 1, 60, autoSave);
    controls_[std::size_t(every)].suffix = " minutes";
    C scroll = Make(C::Check, kDesktop, "&With scrollbars", "cbScrollbars");
    scroll.newColumn = true;
    add(scroll, {[&v] { return int(v.scrollbars); }, [&v](int k) { v.scrollbars = k != 0; }});
    check("With &Rulers (F4)", "cbRulers", v.ruler);
    spin("Scroll sp&eed", "seScrollSpeed", v.scrollSpeed, 5, 90);
    auto button = [&](
                      int tab, const char* caption, const char* name, std::function<void()> press,
                      std::function<bool()> on = [] { return true; }) {
        return add(Make(C::Button, tab, caption, name), {{}, {}, {}, {}, std::move(press), on});
    };
    button(kDesktop, "Startup Pa&ge Size", "bbDefPage", [this] {
        OptionValues& v = model_.values;
        PageData page = v.defaultPage;
        bool metric = !v.inches;
        if (helpers_.pageSetup && helpers_.pageSetup(page, metric, false)) v.defaultPage = page;
    });
    button(kDesktop, "Startup Stave Si&ze", "bbDefStave",
           [this] { model_.askStartupStaveSize(host_); });
    check("Wit&h objects unlocked", "cbStartLocked", v.unlocked);
    check("With&out templates", "cbNotemplates", v.withoutTemplates);
    const int bore = button(kDesktop, "Reinstate warnings", "bbBoreMe",
                            [this] { model_.reinstateWarnings(warnings_); });
    controls_[std::size_t(bore)].hint = MessageText(msg::WarningsReinstated);
    button(kDesktop, "Edit Colour", "bbcolours", [this] {
        if (!helpers_.chooseColour) return;
        if (const std::optional<uint32_t> c = helpers_.chooseColour(model_.settings().colours.edit))
            model_.setEditColour(*c);
    });
    add(Make(C::Label, kDesktop, "", "labRuns"),
        {{}, {}, [this] { return RunCountLine(model_.settings()); }});
}

void OptionsForm::buildMusicAndScore() {
    OptionValues& v = model_.values;
    auto check = [&](int tab, const char* caption, const char* name, auto flag) {
        add(Make(C::Check, tab, caption, name),
            {[flag] { return int(flag()); }, [flag](int k) { flag() = k != 0; }});
    };
    auto spin = [&](int tab, const char* caption, const char* name, auto value, int low, int high) {
        C c = Make(C::Spin, tab, caption, name);
        c.low = low, c.high = high;
        add(c, {[value] { return value(); }, [value](int k) { value() = k; }});
    };
    check(kMusic, "Clefs: &include all", "cbTenor", [&v]() -> bool& { return v.allClefs; });
    check(kMusic, "D&ots: include double and triple", "cbDot",
          [&v]() -> bool& { return v.threeDots; });
    spin(
        kMusic, "Default Line &Width", "seLine", [&v]() -> int& { return v.lineWidth; }, 0, 5);
    spin(
        kMusic, "Default Cur&ve Width", "seCurve", [&v]() -> int& { return v.curveWidth; }, 0, 5);
    add(Make(C::Label, kMusic, "Default instrument sound:", "edDefaultSound"),
        {{}, {}, [&v] { return InstrumentChooserModel::Name(v.sound); }});
    add(Make(C::Button, kMusic, "C&hange...", "bbChangesound"),
        {{}, {}, {}, {}, [this] {
             if (!helpers_.chooseInstrument) return;
             const std::optional<int> p = helpers_.chooseInstrument(model_.values.sound);
             if (p && *p >= 0 && *p <= 127) model_.values.sound = *p;
         }});

    // The score tab's controls exist without a document too, on a hidden tab.
    auto sc = [this]() -> ScoreOptions& {
        return model_.values.score ? *model_.values.score : noScore_;
    };
    add(Make(C::Radio, kScoreTab, " P&ulse ", "rgPulse"),
        {[sc] { return sc().pulse - 2; },
         [sc](int k) { sc().pulse = k + 2; },
         {},
         [this] {
             const auto names = model_.pulseNames();
             return std::vector<std::string>(names.begin(), names.end());
         }});
    add(Make(C::Radio, kScoreTab, " Spac&ing ", "rgSpacing"),
        {[sc] { return sc().spacing - 1; },
         [sc](int k) { sc().spacing = k + 1; },
         {},
         [] {
             return std::vector<std::string>(options::kSpacings.begin(), options::kSpacings.end());
         }});
    C first = Make(C::Spin, kScoreTab, "Fi&rst page number", "sefirstpage");
    first.low = 1, first.high = 10000;
    first.newColumn = true;
    add(first, {[sc] { return sc().firstPage; }, [sc](int k) { sc().firstPage = k; }});
    add(Make(C::Button, kScoreTab, "This Stave Si&ze", "bbThisStaveSize"),
        {{}, {}, {}, {}, [this] { model_.askThisStaveSize(host_); }});
    add(Make(C::Button, kScoreTab, "This pa&ge setup", "bbThispagesetup"),
        {{}, {}, {}, {}, [this] {
             if (!model_.values.score || !helpers_.pageSetup) return;
             PageData page = model_.values.score->page;
             bool metric = !model_.values.inches;
             if (helpers_.pageSetup(page, metric, true)) model_.values.score->page = page;
         }});
    check(kScoreTab, "GH&B music", "cbGHB", [sc]() -> bool& { return sc().bagpipe; });
    add(Make(C::Label, kScoreTab, " Information ", ""), {});
    auto info = [this](int page) {
        return [this, page] {
            if (model_.score() && helpers_.scoreInformation)
                helpers_.scoreInformation(*model_.score(), page);
        };
    };
    add(Make(C::Button, kScoreTab, "F&onts Information", "bbFontsInfo"), {{}, {}, {}, {}, info(1)});
    add(Make(C::Button, kScoreTab, "Docum&ent Statistics", "bbStatistics"),
        {{}, {}, {}, {}, info(0)});
    add(Make(C::Label, kScoreTab, "Key sig changes", ""), {});
    check(kScoreTab, "With &naturals", "cbwithnat", [sc]() -> bool& { return sc().naturals; });
}

void OptionsForm::buildLanguageAndFolders() {
    OptionValues& v = model_.values;
    add(Make(C::Radio, kLanguage, " Units of measurement ", "rgMeasure"),
        {[&v] { return v.inches ? 0 : 1; },
         [&v](int k) { v.inches = k == 0; },
         {},
         [] { return std::vector<std::string>(options::kUnits.begin(), options::kUnits.end()); }});
    C terms = Make(C::Radio, kLanguage, " Musical Terms ", "");
    terms.choiceNames = {"rbUK", "rbUS"};
    add(terms, {[&v] { return int(v.american); },
                [&v](int k) { v.american = k == 1; },
                {},
                [] {
                    return std::vector<std::string>{"&British", "Ame&rican"};
                }});

    const bool facts = model_.platform.folders != nullptr;
    add(Make(C::Folder, kFolders, "", "ShellTree1"), {{}, {}, [this] { return folder_; }});
    C chosen = Make(C::Label, kFolders, "", "labSelected");
    chosen.newColumn = true;
    add(chosen, {{}, {}, [this] {
                     return FormatMessage(msg::SelectedFolderFor,
                                          kSaveTypeWords[std::size_t(saveType_)]);
                 }});
    add(Make(C::Label, kFolders, "", "labfolder"), {{}, {}, [this] { return folder_; }});
    add(Make(C::Label, kFolders, "", "labdiskfree"),
        {{}, {}, [this] {
             return model_.platform.folders ? FreeSpaceText(*model_.platform.folders, folder_)
                                            : std::string();
         }});
    auto button = [&](const char* caption, const char* name, std::function<void()> press,
                      bool on = true) {
        add(Make(C::Button, kFolders, caption, name),
            {{}, {}, {}, {}, std::move(press), [on] { return on; }});
    };
    button("&New", "bbNewFolder", [this] {
        if (auto made = NewFolder(host_, folder_)) folder_ = *made;
    });
    button("&Rename", "bbRenameFolder", [this] {
        if (auto renamed = RenameFolder(host_, folder_)) folder_ = *renamed;
    });
    button("D&elete", "bbDeleteFolder", [this] {
        if (DeleteFolder(host_, folder_))
            folder_ = std::filesystem::path(folder_).parent_path().string();
    });
    button(
        "&Use", "bbUseFolder",
        [this] {
            UseFolder(host_, *model_.platform.folders, folder_, saveType_, model_.settings());
        },
        facts);
    add(Make(C::Radio, kFolders, " F&ile type to be saved ", "rgsavetype"),
        {[this] { return int(saveType_); },
         [this](int k) { selectSaveType(k); },
         {},
         [] { return std::vector<std::string>(kSaveTypes.begin(), kSaveTypes.end()); }});
    C note = Make(C::Label, kFolders, "", "labActAtOnce");
    note.italic = true;
    add(note, {{}, {}, [] { return MessageText(msg::OptionsActAtOnce); }});
}

void OptionsForm::selectSaveType(int type) {
    saveType_ = static_cast<SaveType>(std::clamp(type, 0, 3));
    folder_ = StartFolder(model_.settings(), saveType_);
}

void OptionsForm::readPrinter() {
    PrinterFacts* p = model_.platform.printers;
    area_ = p && !model_.values.printer.empty() ? p->area(model_.values.printer) : std::nullopt;
}

void OptionsForm::buildPrinterAndSystem() {
    add(Make(C::List, kPrinter, "Default printer for this program", "cbPrinter"),
        {[this] {
             const std::vector<std::string> all = choices(find("cbPrinter"));
             const auto at = std::find(all.begin(), all.end(), model_.values.printer);
             return at == all.end() ? -1 : int(at - all.begin());
         },
         [this](int k) {
             const std::vector<std::string> all = choices(find("cbPrinter"));
             if (k < 0 || k >= int(all.size())) return;
             model_.choosePrinter(all[std::size_t(k)]);
             readPrinter();
         },
         {},
         [this] {
             PrinterFacts* p = model_.platform.printers;
             return p ? p->printers() : std::vector<std::string>();
         }});
    add(Make(C::Button, kPrinter, "Printer Set&up", "bbsetup"),
        {{},
         {},
         {},
         {},
         [this] {
             if (PrinterFacts* p = model_.platform.printers) p->setUp(model_.values.printer);
             readPrinter();
         },
         [this] { return model_.platform.printers && !model_.values.printer.empty(); }});
    using F = PrinterFigures;
    const std::pair<const char*, std::string F::*> figures[] = {{"labPageHeight", &F::pageHeight},
                                                                {"labPageWidth", &F::pageWidth},
                                                                {"labLeft", &F::left},
                                                                {"labTop", &F::top},
                                                                {"labRight", &F::right},
                                                                {"labBottom", &F::bottom},
                                                                {"labResolution", &F::resolution},
                                                                {"labUnits", &F::units}};
    const char* captions[] = {"Page height",
                              "Page width",
                              "Left margin",
                              "Top margin",
                              "Right margin",
                              "Bottom margin",
                              "",
                              ""};
    for (std::size_t k = 0; k < std::size(figures); ++k) {
        C c = Make(C::Label, kPrinter, captions[k], figures[k].first);
        c.red = k < 2;
        c.newColumn = k == 0;
        auto member = figures[k].second;
        add(c, {{}, {}, [this, member] {
                    return PrinterTabFigures(area_, model_.values.inches).*member;
                }});
    }
    C largest = Make(C::Label, kPrinter, MessageText(msg::PrinterLargest), "");
    largest.red = true;
    add(largest, {});
    add(Make(C::Label, kPrinter, MessageText(msg::PrinterSmallest), ""), {});

    add(Make(C::Label, kSystem, "", "labSystem"), {{}, {}, [this] {
                                                       std::string lines;
                                                       for (const std::string& line : systemLines_)
                                                           lines +=
                                                               (lines.empty() ? "" : "\n") + line;
                                                       return lines;
                                                   }});
    add(Make(C::Button, kSystem, "Change Screen &Resolution", "bbResolution"),
        {{}, {}, {}, {}, [] {}, [] { return false; }});
}

void OptionsForm::buildCosmeticAndToolbars() {
    OptionValues& v = model_.values;
    add(Make(C::Radio, kCosmetic, " &Initial Picture ", "rgInitPic"),
        {[&v] { return v.startPic; },
         [&v](int k) { v.startPic = k; },
         {},
         [] {
             return std::vector<std::string>(options::kInitialPictures.begin(),
                                             options::kInitialPictures.end());
         }});
    add(Make(C::Label, kCosmetic, MessageText(msg::NextRestart), ""), {});

    add(Make(C::Label, kToolbars, "Music Mode Buttons", ""), {});
    const auto& boxes = ToolbarBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (k > 0 && boxes[k].textMode && !boxes[k - 1].textMode) {
            C title = Make(C::Label, kToolbars, "Text Mode Controls", "");
            title.newColumn = true;
            add(title, {});
        }
        const int box = static_cast<int>(k);
        add(Make(C::Check, kToolbars, boxes[k].caption, boxes[k].component),
            {[this, box] { return int(model_.toolbarTicked(box)); },
             [this, box](int on) { model_.setToolbarTicked(box, on != 0); }});
    }
}

int OptionsForm::find(const std::string& name) const {
    for (std::size_t id = 0; id < controls_.size(); ++id)
        if (!name.empty() && controls_[id].name == name) return static_cast<int>(id);
    return -1;
}

bool OptionsForm::enabled(int id) const {
    const Binding& b = bindings_.at(std::size_t(id));
    return tabShown(control(id).tab) && (!b.enabled || b.enabled());
}

int OptionsForm::value(int id) const {
    const Binding& b = bindings_.at(std::size_t(id));
    return b.get ? b.get() : -1;
}

std::string OptionsForm::text(int id) const {
    const Binding& b = bindings_.at(std::size_t(id));
    return b.text ? b.text() : control(id).caption;
}

std::vector<std::string> OptionsForm::choices(int id) const {
    const Binding& b = bindings_.at(std::size_t(id));
    return b.items ? b.items() : std::vector<std::string>();
}

int OptionsForm::step(int id) const {
    return control(id).name == "sebackupmins" ? BackupMinutesStep(value(id)) : 1;
}

bool OptionsForm::choose(int id, int choice) {
    if (!enabled(id) || choice < 0 || choice >= static_cast<int>(choices(id).size())) return false;
    bindings_.at(std::size_t(id)).set(choice);
    return true;
}

void OptionsForm::setCheck(int id, bool on) {
    if (enabled(id) && control(id).kind == C::Check) bindings_.at(std::size_t(id)).set(on);
}

bool OptionsForm::setValue(int id, int value) {
    const OptionControl& c = control(id);
    if (!enabled(id) || c.kind != C::Spin || value < c.low || value > c.high) return false;
    bindings_.at(std::size_t(id)).set(value);
    return true;
}

bool OptionsForm::setText(int id, const std::string& text) {
    if (!enabled(id)) return false;
    const OptionControl& c = control(id);
    if (c.kind == C::Folder) {
        std::error_code ec;
        if (!std::filesystem::is_directory(text, ec)) return false;
        folder_ = text;
        return true;
    }
    const std::vector<std::string> all = choices(id);
    const auto at = std::find(all.begin(), all.end(), text);
    return at != all.end() && choose(id, static_cast<int>(at - all.begin()));
}

void OptionsForm::press(int id) {
    const Binding& b = bindings_.at(std::size_t(id));
    if (enabled(id) && b.press) b.press();
}

void OptionsForm::leaveTab(int tab) {
    if (tab == kPrinter) readPrinter();
}

bool OptionsForm::accept() {
    const std::optional<std::string> fault = model_.fault();
    if (fault) host_.message(MsgType::Error, *fault, Buttons::OK);
    return !fault;
}

std::string OptionsForm::explanation() const {
    return MessageText(msg::OptionsExplanation);
}

std::array<std::vector<std::string>, 2> ScoreInformationPages(const Score& score) {
    std::array<std::vector<std::string>, 2> pages;
    const ObjectCounts counts = CountObjects(score);
    std::vector<std::string>& stats = pages[0];
    auto line = [&stats](const std::string& label, const std::string& value) {
        stats.push_back(label + ": " + value);
    };
    line("Staves", Grouped(score.Nstaves));
    line("Systems", Grouped(static_cast<uint64_t>(SystemCount(score))));
    line("Pages", Grouped(score.pageCount));
    line("First page number", std::to_string(score.Page1));
    line("Objects", Grouped(static_cast<uint64_t>(counts.total)));
    for (const auto& [kind, n] : counts.byKind)
        line("  " + kind, Grouped(static_cast<uint64_t>(n)));
    const PageData& p = score.page;
    line("Paper",
         FormatText("%5.3f\" x %5.3f\"%s", p.Width, p.Length, p.landscape ? " landscape" : ""));
    line("Margins", FormatText("top %5.3f\", bottom %5.3f\", left %5.3f\", right %5.3f\"", p.TopM,
                               p.BotM, p.LeftM, p.RightM));
    line("Stave size", FormatText("%5.3f\"", score.staveSize));
    line("Spacing", std::to_string(score.Spacing));
    line("Pulse", std::to_string(score.Pulse));
    line("Tempo", std::to_string(score.Tempo));
    line("File version", std::to_string(score.fileVersion));
    if (!score.description.empty()) line("Description", score.description);

    const std::vector<FontDesc> fonts = FontsInUse(score);
    for (std::size_t k = 0; k < fonts.size(); ++k) {
        const FontDesc& f = fonts[k];
        std::string style;
        if (f.style & kBold) style += " bold";
        if (f.style & kItalic) style += " italic";
        if (f.style & kUnderline) style += " underlined";
        pages[1].push_back(std::to_string(k + 1) + ". " + f.name + ", " + std::to_string(f.size) +
                           " point" + style);
    }
    if (fonts.empty()) pages[1].push_back("The score's texts use no fonts.");
    return pages;
}

}  // namespace sw
