// The options window's values, their ranges and OK.
#include "app/Options.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "app/MainLogic.h"
#include "core/Host.h"
#include "core/Messages.h"
#include "fileio/NameTables.h"

namespace sw {

namespace {

constexpr int kMinPulse = 2, kMaxPulse = 7;

struct Range {
    const char* name;
    int value, low, high;
};

}  // namespace

ScoreOptions ScoreOptions::Of(const Score& score) {
    ScoreOptions o;
    o.pulse = std::clamp<int>(score.Pulse, kMinPulse, kMaxPulse);
    o.spacing = std::clamp<int>(score.Spacing, 1, 5);
    o.firstPage = std::clamp<int>(score.Page1, 1, 10000);
    o.bagpipe = score.bagpipeScore;
    o.naturals = score.naturalsInKeyChange;
    o.page = score.page;
    o.staveSize = score.staveSize;
    return o;
}

bool SameScoreOptions(const ScoreOptions& a, const ScoreOptions& b) {
    return a.pulse == b.pulse && a.spacing == b.spacing && a.firstPage == b.firstPage &&
           a.bagpipe == b.bagpipe && a.naturals == b.naturals && SamePageData(a.page, b.page) &&
           a.staveSize == b.staveSize;
}

std::array<std::string, 6> PulseNames(bool american) {
    std::array<std::string, 6> names;
    for (int i = 0; i < 6; ++i)
        names[i] = NoteValueName(kMinPulse + i, american);
    return names;
}

int BackupMinutesStep(int minutes) {
    if (minutes < 10) return 1;
    return minutes < 25 ? 5 : 10;
}

const std::array<ToolbarBox, 22>& ToolbarBoxes() {
    // The delete button has bit 11 and Undo bit 12, although Undo is listed
    // first; each box is named after its bit (cbN is bit N - 1).
    static constexpr std::array<ToolbarBox, 22> kBoxes = {{
        {"cb1", "Close file", 0, false},
        {"cb2", "Save file", 1, false},
        {"cb3", "Preview", 2, false},
        {"cb4", "Header/Footer", 3, false},
        {"cb5", "Print", 4, false},
        {"cb6", "Modes", 5, false},
        {"cb7", "New system", 6, false},
        {"cb8", "Redraw", 7, false},
        {"cb9", "Attributes", 8, false},
        {"cb10", "Sound", 9, false},
        {"cb11", "Navigation", 10, false},
        {"cb13", "Undo", 12, false},
        {"cb12", "Delete", 11, false},
        {"cb22", "Options", 21, false},
        {"cb14", "Attributes", 13, true},
        {"cb15", "Complete", 14, true},
        {"cb16", "Abort", 15, true},
        {"cb17", "Centralise", 16, true},
        {"cb18", "Lyrics", 17, true},
        {"cb19", "Favourite Fonts", 18, true},
        {"cb20", "Font Attributes", 19, true},
        {"cb21", "Font details", 20, true},
    }};
    return kBoxes;
}

OptionValues LoadOptions(const Settings& s, const Score* score) {
    OptionValues v;
    v.userLevel = std::clamp(s.level, 1, 4);
    v.cursorType = std::clamp(s.cursorType, 0, 2);
    v.backups = s.backups;
    v.autobackup = s.autobackup;
    v.backupMinutes = std::clamp(s.backupInterval, 1, 60);
    v.scrollbars = s.scrollbars;
    v.ruler = s.ruler;
    v.scrollSpeed = std::clamp(s.scrollSpeed, 5, 90);
    v.unlocked = s.editingUnlocked;
    v.withoutTemplates = !s.templates;
    v.allClefs = s.cClef;
    v.threeDots = s.threeDot;
    v.lineWidth = std::clamp(s.lineWidth, 0, 5);
    v.curveWidth = std::clamp(s.curveDepth, 0, 5);
    v.sound = std::clamp(s.sound, 0, 127);
    v.inches = s.unitsInches;
    v.american = s.language == 1;
    v.startPic = std::clamp(s.startPic, 0, 11);
    v.toolbar = s.toolbar & 0x3FFFFF;
    v.printer = s.printer;
    v.defaultPage = DefaultPageData(s);
    v.defaultStaveSize = DefaultStaveSize(s);
    if (score) v.score = ScoreOptions::Of(*score);
    return v;
}

OptionsModel::OptionsModel(Settings& settings, Score* score, bool appDirReadOnly)
    : values(LoadOptions(settings, score)),
      settings_(settings),
      score_(score),
      appDirReadOnly_(appDirReadOnly),
      loaded_(values) {}

void OptionsModel::open(Host& host) const {
    if (appDirReadOnly_)
        host.message(MsgType::Warning, MessageText(msg::OptionsReadOnlyFolder), Buttons::OK);
}

void OptionsModel::reinstateWarnings(WarningBox& warnings) {
    for (int n = 0; n < WarningBox::kSuppressible; ++n)
        warnings.setSuppressed(n, false);
    settings_.suppressed.reset();
}

void OptionsModel::choosePrinter(const std::string& name) {
    values.printer = name;
    loaded_.printer = name;
    settings_.printer = name;
}

void OptionsModel::setEditColour(uint32_t colour) {
    settings_.colours.edit = colour & 0xFFFFFF;
}

bool OptionsModel::toolbarTicked(int box) const {
    if (box < 0 || box >= static_cast<int>(ToolbarBoxes().size())) return false;
    return (values.toolbar >> ToolbarBoxes()[box].bit & 1) != 0;
}

void OptionsModel::setToolbarTicked(int box, bool on) {
    if (box < 0 || box >= static_cast<int>(ToolbarBoxes().size())) return;
    const int bit = 1 << ToolbarBoxes()[box].bit;
    values.toolbar = on ? values.toolbar | bit : values.toolbar & ~bit;
}

bool OptionsModel::askThisStaveSize(Host& host) {
    if (!values.score) return false;
    const std::optional<double> size = AskDefaultStaveSize(
        host, values.score->staveSize, !values.inches, msg::ThisStaveSizeCaption);
    if (size) values.score->staveSize = *size;
    return size.has_value();
}

bool OptionsModel::askStartupStaveSize(Host& host) {
    const std::optional<double> size = AskDefaultStaveSize(
        host, values.defaultStaveSize, !values.inches, msg::DefaultStaveSizeCaption);
    if (size) values.defaultStaveSize = *size;
    return size.has_value();
}

std::optional<std::string> OptionsModel::fault() const {
    std::vector<Range> ranges = {
        {"User level", values.userLevel, 1, 4},
        {"Cursor shape", values.cursorType, 0, 2},
        {"Automatic save interval", values.backupMinutes, 1, 60},
        {"Scroll speed", values.scrollSpeed, 5, 90},
        {"Line width", values.lineWidth, 0, 5},
        {"Curve width", values.curveWidth, 0, 5},
        {"Default instrument", values.sound, 0, 127},
        {"Initial picture", values.startPic, 0, 11},
    };
    if (values.score) {
        ranges.push_back({"Pulse", values.score->pulse, kMinPulse, kMaxPulse});
        ranges.push_back({"Spacing", values.score->spacing, 1, 5});
        ranges.push_back({"First page number", values.score->firstPage, 1, 10000});
    }
    for (const Range& r : ranges)
        if (r.value < r.low || r.value > r.high)
            return FormatText(MessageText(msg::OptionsOutOfRange), r.name, r.low, r.high);
    return std::nullopt;
}

std::optional<OptionsOutcome> OptionsModel::accept() {
    if (fault()) return std::nullopt;
    const OptionValues& v = values;
    const OptionValues& was = loaded_;
    Settings& s = settings_;
    OptionsOutcome out;
    out.levelChanged = v.userLevel != was.userLevel;
    out.scrollbarsChanged = v.scrollbars != was.scrollbars;
    out.rulerChanged = v.ruler != was.ruler;
    out.cursorChanged = v.cursorType != was.cursorType;
    out.toolbarChanged = v.toolbar != was.toolbar;
    out.backupChanged = v.autobackup != was.autobackup || v.backupMinutes != was.backupMinutes;
    out.termsChanged = v.american != was.american;
    out.unitsChanged = v.inches != was.inches;
    // Only what the controls changed is written back: values the settings
    // hold outside a control's range stay as they were.
    auto store = [](auto& setting, const auto& now, const auto& before) {
        if (now != before) setting = now;
    };
    store(s.level, v.userLevel, was.userLevel);
    store(s.cursorType, v.cursorType, was.cursorType);
    s.backups = v.backups;
    if (!appDirReadOnly_) s.autobackup = v.autobackup;
    store(s.backupInterval, v.backupMinutes, was.backupMinutes);
    s.scrollbars = v.scrollbars;
    s.ruler = v.ruler;
    store(s.scrollSpeed, v.scrollSpeed, was.scrollSpeed);
    s.editingUnlocked = v.unlocked;
    s.templates = !v.withoutTemplates;
    s.cClef = v.allClefs;
    s.threeDot = v.threeDots;
    store(s.lineWidth, v.lineWidth, was.lineWidth);
    store(s.curveDepth, v.curveWidth, was.curveWidth);
    store(s.sound, v.sound, was.sound);
    s.unitsInches = v.inches;
    if (out.termsChanged) s.language = v.american ? 1 : 0;
    store(s.startPic, v.startPic, was.startPic);
    store(s.toolbar, v.toolbar, was.toolbar);
    s.printer = v.printer;
    if (!SamePageData(v.defaultPage, was.defaultPage)) StoreDefaultPageData(s, v.defaultPage);
    if (v.defaultStaveSize != was.defaultStaveSize)
        s.pageStave = static_cast<int>(std::lround(v.defaultStaveSize * 1000));
    if (v.score) {
        // The naturals box sets the default for new scores too.
        if (v.score->naturals != was.score->naturals) s.naturalsInKeyChange = v.score->naturals;
        if (!SameScoreOptions(*v.score, *was.score)) {
            out.scoreBefore = was.score;
            out.scoreAfter = v.score;
        }
    }
    loaded_ = values;
    return out;
}

std::string& TypeFolder(Settings& s, SaveType type) {
    switch (type) {
        case SaveType::Sound:
            return s.midiDirectory;
        case SaveType::Pictures:
            return s.picDirectory;
        case SaveType::Scans:
            return s.scanDirectory;
        case SaveType::Scores:
            break;
    }
    return s.fileDirectory;
}

std::optional<std::string> NewFolder(Host& host, const std::string& parent) {
    const std::optional<std::string> name =
        host.input(MessageText(msg::CreateFolderIn) + parent, MessageText(msg::NewFolderName), "");
    if (!name || name->empty()) return std::nullopt;
    const std::string path = (std::filesystem::path(parent) / *name).string();
    std::error_code ec;
    // A name that climbs out of the folder or names one that exists is refused.
    const bool plain = name->find('/') == std::string::npos && *name != "." && *name != "..";
    if (!plain || !std::filesystem::create_directory(path, ec) || ec) {
        host.message(MsgType::Error, MessageText(msg::CannotCreateFolder) + path, Buttons::OK);
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> RenameFolder(Host& host, const std::string& folder) {
    const std::optional<std::string> to =
        host.input(MessageText(msg::RenameFolderCaption), MessageText(msg::NewNamePrompt), folder);
    if (!to || *to == folder) return std::nullopt;
    std::error_code ec;
    // rename() would replace an empty folder of that name: refuse instead.
    if (to->empty() || std::filesystem::exists(*to, ec))
        ec = std::make_error_code(std::errc::file_exists);
    if (!ec) std::filesystem::rename(folder, *to, ec);
    if (ec) {
        host.message(MsgType::Error,
                     MessageText(msg::CannotRenameFolder) + folder + "\n" +
                         MessageText(msg::FolderNotChanged2),
                     Buttons::OK);
        return std::nullopt;
    }
    return *to;
}

bool DeleteFolder(Host& host, const std::string& folder) {
    std::error_code ec;
    // remove() takes only an empty directory (or a file: not ours to take).
    const bool removed =
        std::filesystem::is_directory(folder, ec) && std::filesystem::remove(folder, ec) && !ec;
    if (!removed)
        host.message(MsgType::Error,
                     MessageText(msg::CannotRemoveFolder) + folder + "\n" +
                         MessageText(msg::EmptyFolderFirst),
                     Buttons::OK);
    return removed;
}

bool UseFolder(Host& host, const FolderFacts& facts, const std::string& folder, SaveType type,
               Settings& settings) {
    if (!facts.fixedLocal(folder) &&
        host.message(MsgType::Confirmation, MessageText(msg::FolderNotPermanent), Buttons::YesNo) !=
            Answer::Yes) {
        host.message(MsgType::Information, MessageText(msg::FolderNotChanged), Buttons::OK);
        return false;
    }
    TypeFolder(settings, type) = folder;
    return true;
}

std::string Grouped(uint64_t n) {
    const std::string digits = std::to_string(n);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::string FreeSpaceText(const FolderFacts& facts, const std::string& folder) {
    const std::optional<uint64_t> free = facts.freeBytes(folder);
    if (!free) return {};
    return Grouped(*free) + MessageText(msg::BytesFreeOnDrive) + facts.mountPoint(folder);
}

}  // namespace sw
