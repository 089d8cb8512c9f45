// The main window's logic.
#include "app/MainLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/ScoreFile.h"
#include "model/Score.h"

namespace sw {

namespace fs = std::filesystem;

AppFolder PrepareApplicationFolder(const std::string& dir, const std::string& shareDir,
                                   const std::string& userConfigDir) {
    AppFolder f;
    f.dir = dir;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!shareDir.empty() && fs::is_directory(shareDir, ec)) {
        // Seeds only what is missing: the user's own templates and samples stay.
        fs::copy(shareDir, dir, fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    }
    f.readOnly = !DirectoryWritable(dir);
    f.settingsPath = SettingsPath(dir, !f.readOnly, userConfigDir);
    if (f.readOnly) fs::create_directories(userConfigDir, ec);
    f.settingsReadPath = SettingsReadPath(f);
    return f;
}

std::string SettingsReadPath(const AppFolder& folder) {
    if (!folder.readOnly) return folder.settingsPath;
    // An installation's own settings hold until the user has settings of his own.
    const std::string own = SettingsPath(folder.dir, true, "");
    std::error_code ec;
    return !fs::exists(folder.settingsPath, ec) && fs::exists(own, ec) ? own : folder.settingsPath;
}

Settings LoadSettingsFile(const std::string& path, const SettingsEnv& env, IniFile& ini) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        std::size_t n;
        // A settings file is small; anything past 4 MB is not one of ours.
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < (4u << 20))
            text.append(buf, n);
        std::fclose(f);
    }
    ini = IniFile::Parse(text);
    return ReadSettings(ini, env);
}

bool SaveSettingsFile(const Settings& settings, IniFile& ini, const std::string& path, FileIo& io) {
    WriteSettings(settings, ini);
    // A full disk must never leave the settings empty: the old file stays.
    return WriteFileAtomically(path, ini.Text(), io) == 0;
}

PageData DefaultPageData(const Settings& s) {
    PageData p;
    auto in = [](int thousandths) { return thousandths / 1000.0; };
    p.Width = in(s.pageWidth), p.Length = in(s.pageLength);
    p.TopM = in(s.pageTop), p.BotM = in(s.pageBottom);
    p.LeftM = in(s.pageLeft), p.RightM = in(s.pageRight);
    p.GutM = in(s.pageGutter), p.Header = in(s.pageHeader), p.Footer = in(s.pageFooter);
    p.Facing = s.pageFacing, p.landscape = s.pageLandscape;
    return p;
}

void StoreDefaultPageData(Settings& s, const PageData& p) {
    auto th = [](double inches) { return static_cast<int>(std::lround(inches * 1000)); };
    s.pageWidth = th(p.Width), s.pageLength = th(p.Length);
    s.pageTop = th(p.TopM), s.pageBottom = th(p.BotM);
    s.pageLeft = th(p.LeftM), s.pageRight = th(p.RightM);
    s.pageGutter = th(p.GutM), s.pageHeader = th(p.Header), s.pageFooter = th(p.Footer);
    s.pageFacing = p.Facing, s.pageLandscape = p.landscape;
}

bool SamePageData(const PageData& a, const PageData& b) {
    return a.Width == b.Width && a.Length == b.Length && a.TopM == b.TopM && a.BotM == b.BotM &&
           a.RightM == b.RightM && a.LeftM == b.LeftM && a.GutM == b.GutM && a.Header == b.Header &&
           a.Footer == b.Footer && a.Facing == b.Facing && a.landscape == b.landscape;
}

double DefaultStaveSize(const Settings& s) {
    return std::clamp(s.pageStave / 1000.0, kMinStaveSize, kMaxStaveSize);
}

std::string HistoryName(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path : p.string();
}

void AddToHistory(AppState& app, const std::string& name) {
    if (name.empty()) return;
    const std::string entry = HistoryName(name);
    const std::string dir = DirectoryOf(entry);
    std::error_code ec;
    if (!dir.empty() && fs::is_directory(dir, ec)) app.settings.fileDirectory = dir;
    std::vector<std::string>& h = app.settings.history;
    app.currentFile = entry;
    // Linux file names differ by case, so entries are compared exactly.
    if (!h.empty() && h.front() == entry) return;
    h.erase(std::remove(h.begin(), h.end(), entry), h.end());
    h.insert(h.begin(), entry);
    if (h.size() > static_cast<std::size_t>(kHistoryLength)) h.resize(kHistoryLength);
    app.currentFile = entry;
}

std::vector<std::string> HistoryMenuCaptions(const std::vector<std::string>& history) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < history.size() && i < static_cast<std::size_t>(kHistoryLength); ++i)
        out.push_back(
            std::string("&").append(std::to_string(i + 1)).append(" ").append(history[i]));
    return out;
}

namespace {
bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}
}  // namespace

void CheckHistoryList(AppState& app, Host& host) {
    std::vector<std::string>& h = app.settings.history;
    if (h.empty()) {
        host.message(MsgType::Information, MessageText(msg::HistoryEmpty), Buttons::OK);
        return;
    }
    std::vector<std::string> missing;
    for (std::string& f : h) {
        // A score whose extension changed case is the same score.
        if (!Exists(f)) f = ResolveScoreFile(f);
        if (!Exists(f)) missing.push_back(f);
    }
    if (missing.empty()) {
        host.message(MsgType::Information, MessageText(msg::HistoryAllAvailable), Buttons::OK);
        return;
    }
    std::string text = MessageText(msg::HistoryMissing);
    for (std::size_t i = 0; i < missing.size(); ++i)
        text += (i ? "\n" : "") + missing[i];
    text += MessageText(msg::HistoryDeleteMissing);
    if (host.message(MsgType::Confirmation, text, Buttons::YesNo) != Answer::Yes) return;
    h.erase(std::remove_if(h.begin(), h.end(),
                           [&](const std::string& f) {
                               return std::find(missing.begin(), missing.end(), f) != missing.end();
                           }),
            h.end());
}

void DeleteHistoryList(AppState& app, Host& host) {
    if (app.settings.history.empty()) {
        host.message(MsgType::Information, MessageText(msg::HistoryEmpty), Buttons::OK);
        return;
    }
    if (app.warnings.show(host, msg::ClearHistoryWarning, 3, true) == Answer::OK)
        app.settings.history.clear();
}

bool MayOpenAnother(AppState& app, Host& host) {
    if (!app.documentOpen) return true;
    app.warnings.show(host, msg::CloseCurrentScoreFirst, 5, false);
    return false;
}

bool OpenNamedFile(AppState& app, const std::string& path, Host& host, const OpenDocument& open) {
    if (!MayOpenAnother(app, host)) return false;
    const int code = PreCheckFile(path, false);
    if (code != 0) {
        host.message(MsgType::Error, PreCheckMessage(code, path), Buttons::OK);
        return false;
    }
    AddToHistory(app, path);
    app.creating = false;
    if (!open || !open(app.currentFile, false)) return false;
    app.documentOpen = true;
    return true;
}

bool OpenHistoryEntry(AppState& app, int number, Host& host, const OpenDocument& open) {
    std::vector<std::string>& h = app.settings.history;
    if (number < 1 || number > static_cast<int>(h.size())) return false;
    if (!MayOpenAnother(app, host)) return false;
    if (!Exists(h[number - 1])) h[number - 1] = ResolveScoreFile(h[number - 1]);
    const std::string path = h[number - 1];
    if (!Exists(path)) {
        host.message(MsgType::Error,
                     FormatMessage(msg::FileNotFoundCheck, path) + "\n\n" +
                         MessageText(msg::SuggestFileMenu) +
                         MessageText(msg::CheckHistoryListCaption),
                     Buttons::OK);
        return false;
    }
    return OpenNamedFile(app, path, host, open);
}

namespace {
// The recovery question until it gets an answer; Help explains and asks again.
Answer AskRecovery(Host& host) {
    for (;;) {
        const Answer a =
            host.message(MsgType::Warning, MessageText(msg::RecoverBackup), Buttons::YesNoHelp);
        if (a != Answer::Help) return a;
        host.message(MsgType::Information, MessageText(msg::RecoverBackupHelp), Buttons::OK);
    }
}

std::string JoinArguments(const std::vector<std::string>& args) {
    std::string name;
    for (const std::string& a : args)
        name += (name.empty() ? "" : " ") + a;
    return name;
}
}  // namespace

std::string BackupPath(const AppState& app) {
    return (fs::path(app.appDir) / kAutoSaveName).string();
}

void DocumentClosed(AppState& app) {
    app.documentOpen = false;
    if (app.backup == BackupHold::Unanswered) return;
    app.backup = BackupHold::Open;
    if (!app.ownsBackup || app.readOnly || app.appDir.empty()) return;
    std::error_code ec;
    fs::remove(BackupPath(app), ec);
}

void DocumentSaved(AppState& app, bool modified) {
    if (app.backup != BackupHold::Recovered || modified) return;
    app.backup = BackupHold::Open;
    std::error_code ec;
    fs::remove(BackupPath(app), ec);
}

StartupOutcome FirstShown(AppState& app, const std::vector<std::string>& args, Host& host,
                          const OpenDocument& open) {
    const Settings& s = app.settings;
    if (s.runs < 5 && !s.tutorial && s.level == 1)
        host.message(MsgType::Information, MessageText(msg::TutorialHint), Buttons::OK);
    if (app.readOnly && !s.readOnlyNoted) {
        host.message(MsgType::Information,
                     FormatMessage(msg::ReadOnlyFolder, app.appDir, app.settingsPath), Buttons::OK);
        app.settings.readOnlyNoted = true;
    }

    // The backup first: once a command-line score is open there is no room
    // for the recovered one, and deleting the backup unasked would lose it.
    const std::string backup = BackupPath(app);
    if (app.ownsBackup && !app.appDir.empty() && Exists(backup)) {
        // Not a warning box: nobody may silence the question that guards the
        // backup. Only an explicit No deletes it.
        const Answer a = AskRecovery(host);
        if (a == Answer::No) {
            std::error_code ec;
            fs::remove(backup, ec);
        } else if (a == Answer::Yes) {
            app.creating = false;
            // Kept until the recovered score is saved or closed: another
            // crash before then would otherwise lose it.
            app.backup = BackupHold::Recovered;
            if (open && open(backup, true)) {
                app.documentOpen = true;
                if (!args.empty()) {
                    // One score at a time: the named file waits at the top of the history.
                    const std::string name = JoinArguments(args);
                    const int code = PreCheckFile(name, false);
                    if (code != 0) {
                        host.message(MsgType::Error, PreCheckMessage(code, name), Buttons::OK);
                    } else {
                        AddToHistory(app, name);
                        host.message(MsgType::Information,
                                     FormatMessage(msg::CommandLineNotOpened, name), Buttons::OK);
                    }
                }
                return StartupOutcome::Recovered;
            }
            // A backup that will not load is kept for another try.
            app.backup = BackupHold::Unanswered;
        } else {
            app.backup = BackupHold::Unanswered;
            host.message(MsgType::Information, MessageText(msg::RecoverBackupKept), Buttons::OK);
        }
    }
    if (args.empty() || app.documentOpen) return StartupOutcome::Nothing;
    return OpenNamedFile(app, JoinArguments(args), host, open) ? StartupOutcome::OpenedCommandLine
                                                               : StartupOutcome::Nothing;
}

BackupAction BackupDecision(const AppState& app, const EditorIdleState& e) {
    if (app.readOnly || !app.ownsBackup || !app.documentOpen ||
        app.backup == BackupHold::Unanswered)
        return BackupAction::Nothing;
    // An unchanged score is already safe on disk; wait for a change.
    if (!e.modified) return BackupAction::RetrySoon;
    if (e.focusObject || e.provisionalObject || e.keyboardSelection || !e.musicMode)
        return BackupAction::RetrySoon;
    return BackupAction::Save;
}

bool BackupTimerEnabled(const AppState& app) {
    return app.settings.autobackup && !app.readOnly && app.ownsBackup &&
           app.backup != BackupHold::Unanswered;
}

int BackupIntervalMs(const Settings& settings) {
    const int minutes = std::clamp(settings.backupInterval, 0, 24 * 60);
    return minutes == 0 ? kBackupRetryMs : minutes * 60 * 1000;
}

BackgroundChoice ChooseBackground(int startPic, int runs, int randomPicture, bool large) {
    static constexpr struct {
        const char* name;
        uint8_t r, g, b;
    } kPictures[10] = {{"PIANO", 255, 255, 192},  {"TRUMPET", 255, 255, 192},
                       {"SCORE", 128, 64, 0},     {"STRINGS", 128, 128, 64},
                       {"REEDS", 0, 128, 64},     {"FRAME", 102, 102, 153},
                       {"VIOLIN", 249, 224, 174}, {"TROMBON", 255, 255, 192},
                       {"HARMON", 255, 255, 192}, {"LOGO", 43, 112, 49}};
    int n = startPic;
    if (n == 10) n = std::clamp(randomPicture, 0, 8);
    if (n == 11) n = (runs % 9 + 9) % 9;
    if (n < 0 || n > 9) n = 0;
    BackgroundChoice c;
    c.picture = n;
    c.red = kPictures[n].r, c.green = kPictures[n].g, c.blue = kPictures[n].b;
    c.file = n == 9 ? std::string("LOGO.BMP")
                    : std::string(kPictures[n].name) + (large ? "0" : "2") + ".BMP";
    c.tiled = n == 9;
    return c;
}

std::optional<double> AskDefaultStaveSize(Host& host, double current, bool metric,
                                          int captionMessage) {
    std::string text = LengthInUnit(current, metric);
    for (;;) {
        const std::optional<std::string> answer =
            host.input(MessageText(captionMessage),
                       MessageText(metric ? msg::StaveHeightMm : msg::StaveHeightInches), text);
        if (!answer) return std::nullopt;
        text = *answer;
        const std::optional<double> v = ParseRealOrFraction(*answer);
        if (!v) {
            host.message(MsgType::Error, MessageText(msg::BadNumberTryAgain), Buttons::OK);
            continue;
        }
        const double inches = metric ? *v / 25.4 : *v;
        if (!(inches >= kMinStaveSize - 1e-9 && inches <= kMaxStaveSize + 1e-9)) {
            host.message(MsgType::Error, MessageText(msg::StaveSizeOutOfRange), Buttons::OK);
            continue;
        }
        return inches;
    }
}

}  // namespace sw
