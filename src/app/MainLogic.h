// The main window's logic without a window: the history list, the start-up
// decisions (command line, recovery of the automatic backup), the automatic
// backup's timing, the background picture, and the rule of one open score.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "app/Settings.h"
#include "core/AtomicFile.h"
#include "core/MessageIds.h"
#include "core/WarningBox.h"
#include "model/Score.h"

namespace sw {

class Host;

inline constexpr int kHistoryLength = 9;
inline constexpr const char* kAutoSaveName = "AutoSave.SWN";

// Who the automatic backup file belongs to, and so who may delete or write it.
enum class BackupHold {
    Open,        // the open score's own, if any: closing that score deletes it
    Recovered,   // the recovered score's: kept until that score is saved or closed
    Unanswered,  // the recovery question went unanswered: kept for the next start
};

// What outlives a document.
struct AppState {
    explicit AppState(Settings& s) : settings(s) {}
    Settings& settings;
    std::string appDir;
    bool readOnly = false;  // the application folder cannot be written
    // Another running copy holds the backup: this one neither recovers nor
    // writes it.
    bool ownsBackup = true;
    BackupHold backup = BackupHold::Open;
    std::string settingsPath;
    std::string currentFile;
    bool creating = false;  // a New command is in progress
    bool documentOpen = false;
    // The reminder that only text goes into a header or footer is given five
    // times a run, not five times a score.
    int headerFooterReminders = 0;
    // How often bar numbers show at bar lines: chosen once a run, never saved.
    int numberingFrequency = 0;
    WarningBox warnings;
};

// The application folder at start: created when missing, seeded with what
// the installation ships (templates, samples) without overwriting anything,
// and tested for writing. The settings file sits in it, or in the per-user
// settings folder when it is read-only.
struct AppFolder {
    std::string dir;
    bool readOnly = false;
    std::string settingsPath;
    // Where the settings are read from: a read-only folder's own file until
    // the settings have been written elsewhere once.
    std::string settingsReadPath;
};
AppFolder PrepareApplicationFolder(const std::string& dir, const std::string& shareDir,
                                   const std::string& userConfigDir);
// Where the settings are read from: the settings file, or for a read-only
// folder its own file until the settings have been written elsewhere once.
std::string SettingsReadPath(const AppFolder& folder);

// The settings file read (missing or unreadable: the defaults) and written
// (beside the old one, then renamed over it). `ini` keeps keys we do not know.
Settings LoadSettingsFile(const std::string& path, const SettingsEnv& env, IniFile& ini);
bool SaveSettingsFile(const Settings& settings, IniFile& ini, const std::string& path,
                      FileIo& io = SystemFileIo());

// The defaults for new scores, kept in thousandths of an inch.
PageData DefaultPageData(const Settings& settings);
void StoreDefaultPageData(Settings& settings, const PageData& page);
bool SamePageData(const PageData& a, const PageData& b);
double DefaultStaveSize(const Settings& settings);

// A file name as the history keeps it: absolute and with links resolved where
// the file exists, so that two spellings of one file are one entry.
std::string HistoryName(const std::string& path);
// Puts `name` at the top of the history (at most nine, no duplicates) and
// makes it the current file; its folder becomes the file directory.
void AddToHistory(AppState& app, const std::string& name);
// "&1 /path/to/file.swn" for each entry.
std::vector<std::string> HistoryMenuCaptions(const std::vector<std::string>& history);
void CheckHistoryList(AppState& app, Host& host);
void DeleteHistoryList(AppState& app, Host& host);

// Opens a score in the document window; false when it could not be opened
// (the user has been told why).
using OpenDocument = std::function<bool(const std::string& path, bool recovering)>;

// New, Open, Load Sample and the history entries while a score is open: the
// user is asked to close it first. True when another may be opened.
bool MayOpenAnother(AppState& app, Host& host);
// A history entry chosen from the menu.
bool OpenHistoryEntry(AppState& app, int number, Host& host, const OpenDocument& open);
// Opens a named file the way Open does: pre-checked, added to the history.
bool OpenNamedFile(AppState& app, const std::string& path, Host& host, const OpenDocument& open);

// The steps of the first showing of the main window that decide what is
// opened: the first-run hint, then the automatic backup's recovery (asked
// before anything else is opened; a recovered backup wins over the command
// line), then the file named on the command line.
enum class StartupOutcome { Nothing, Recovered, OpenedCommandLine };
StartupOutcome FirstShown(AppState& app, const std::vector<std::string>& args, Host& host,
                          const OpenDocument& open);

// The automatic backup file of the application folder.
std::string BackupPath(const AppState& app);
// The open score was closed: its backup goes, unless it is one the user has
// not yet answered for.
void DocumentClosed(AppState& app);
// The open score's modified flag after a save or a backup: a recovered score
// that is no longer modified has been saved, so its backup may go.
void DocumentSaved(AppState& app, bool modified);

// The automatic backup.
struct EditorIdleState {
    bool modified = false;
    bool focusObject = false, provisionalObject = false, keyboardSelection = false;
    bool musicMode = true;
};
enum class BackupAction { Nothing, RetrySoon, Save };
BackupAction BackupDecision(const AppState& app, const EditorIdleState& editor);
bool BackupTimerEnabled(const AppState& app);
// Milliseconds between backups; a zero interval means five seconds.
int BackupIntervalMs(const Settings& settings);
inline constexpr int kBackupRetryMs = 5000;

// The picture shown on the empty frame.
struct BackgroundChoice {
    int picture = 0;
    std::string file;
    uint8_t red = 0, green = 0, blue = 0;
    bool tiled = false;
};
// `randomPicture` (0..8) is used when the setting asks for a random one;
// `large` when the screen is larger than 800 x 600 and the window starts maximised.
BackgroundChoice ChooseBackground(int startPic, int runs, int randomPicture, bool large);

// Default Stave Size: asks in the current units until the answer is a size
// in range or the user cancels; the input box has the caption `captionMessage`.
std::optional<double> AskDefaultStaveSize(Host& host, double current, bool metric,
                                          int captionMessage = msg::SetStaveHeight);

}  // namespace sw
