// The options window's values: loaded from the settings and the open score,
// checked, and copied back on OK; the few buttons that act at once.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "core/FolderFacts.h"
#include "core/PlatformFacts.h"
#include "core/WarningBox.h"
#include "model/Score.h"

namespace sw {

class Host;

// The "&Score" tab: values of the open score, with the window's copies of its
// page data and stave size.
struct ScoreOptions {
    int pulse = 3;         // 2..7: rgPulse item + 2
    int spacing = 3;       // 1..5: rgSpacing item + 1
    int firstPage = 1;     // 1..10000
    bool bagpipe = false;  // "GH&B music"
    bool naturals = true;  // "With &naturals"
    PageData page;
    double staveSize = 0.3;

    static ScoreOptions Of(const Score& score);
};
bool SameScoreOptions(const ScoreOptions& a, const ScoreOptions& b);

// Every control of the window but the "&Score" tab's.
struct OptionValues {
    // &Desktop
    int userLevel = 1;   // 1..4
    int cursorType = 0;  // 0..2
    bool backups = true, autobackup = true;
    int backupMinutes = 10;  // 1..60
    bool scrollbars = false, ruler = false;
    int scrollSpeed = 10;  // 5..90
    bool unlocked = true, withoutTemplates = false;
    // &Music
    bool allClefs = true, threeDots = true;
    int lineWidth = 1, curveWidth = 2;  // 0..5
    int sound = 0;                      // General MIDI program from 0
    // &Language
    bool inches = true, american = false;
    // &Cosmetic
    int startPic = 11;  // 0..11
    // &Toolbars
    int toolbar = 0x3FFFFF;
    // &Printer: empty for none
    std::string printer;
    // The window's copies of the startup page and stave size.
    PageData defaultPage;
    double defaultStaveSize = 0.3;
    // Present only while a document is open.
    std::optional<ScoreOptions> score;
};

// The captions of the window's choices, in their order.
namespace options {
inline constexpr std::array<const char*, 4> kUserLevels = {"&1 Beginner", "&2 Standard",
                                                           "&3 Advanced", "&4 Without tooltips"};
inline constexpr std::array<const char*, 3> kCursorShapes = {"&I-bar", "&Box", "&X"};
inline constexpr std::array<const char*, 5> kSpacings = {"Extra narrow", "Narrow", "Standard",
                                                         "Wide", "Very Wide"};
inline constexpr std::array<const char*, 2> kUnits = {"&Inches", "Millim&etres"};
inline constexpr std::array<const char*, 12> kInitialPictures = {"Piano keyboard",
                                                                 "Trumpet",
                                                                 "Conductor's Score",
                                                                 "Strings",
                                                                 "Reeds",
                                                                 "Grand Piano strings",
                                                                 "Violin",
                                                                 "Trombone",
                                                                 "Chamber Organ",
                                                                 "Tavisto Software Logo",
                                                                 "Random instrument",
                                                                 "Each instrument in turn"};
}  // namespace options

// The six pulse names of the "&Score" tab in British or American terms.
std::array<std::string, 6> PulseNames(bool american);

// The spin step of the backup interval at `minutes`.
int BackupMinutesStep(int minutes);

// One box of the "&Toolbars" tab, in the order shown: each controls the tool
// bar bit of the buttons it names.
struct ToolbarBox {
    const char* component;
    const char* caption;
    int bit;
    bool textMode;
};
const std::array<ToolbarBox, 22>& ToolbarBoxes();

// What OK changed, for the window to apply.
struct OptionsOutcome {
    bool levelChanged = false, scrollbarsChanged = false, cursorChanged = false,
         toolbarChanged = false, backupChanged = false, termsChanged = false, unitsChanged = false,
         rulerChanged = false;
    // The open score's tab when any of its values changed.
    std::optional<ScoreOptions> scoreBefore, scoreAfter;
    bool firstPageChanged() const {
        return scoreAfter && scoreBefore->firstPage != scoreAfter->firstPage;
    }
};

class OptionsModel {
  public:
    // `score` is the open document's, or nullptr. With `appDirReadOnly` the
    // automatic save cannot be chosen (open() tells the user).
    OptionsModel(Settings& settings, Score* score, bool appDirReadOnly);

    // The opening warning, when the application folder is read-only.
    void open(Host& host) const;

    OptionValues values;  // the controls
    OptionsPlatform platform;
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    // The open document's score, for its information window.
    Score* score() const { return score_; }
    const OptionValues& loaded() const { return loaded_; }
    bool hasScoreTab() const { return values.score.has_value(); }
    bool automaticSaveAvailable() const { return !appDirReadOnly_; }
    int backupStep() const { return BackupMinutesStep(values.backupMinutes); }
    std::array<std::string, 6> pulseNames() const { return PulseNames(values.american); }

    bool toolbarTicked(int box) const;
    void setToolbarTicked(int box, bool on);

    // The stave size buttons: ask and keep the answer in the window's copy.
    // False on Cancel (the old value stays).
    bool askThisStaveSize(Host& host);
    bool askStartupStaveSize(Host& host);

    // Acting at once (Cancel does not undo it): the live set is the
    // warning box's, the settings' copy follows it.
    void reinstateWarnings(WarningBox& warnings);
    // Choosing a printer and "Edit Colour" act at once too.
    void choosePrinter(const std::string& name);
    void setEditColour(uint32_t colour);

    // The first value out of its control's range, said as a message; OK is
    // refused while there is one.
    std::optional<std::string> fault() const;
    // OK: the values go into the settings (nothing when fault() has one);
    // the score's tab is for the caller to apply (ApplyScoreOptions).
    std::optional<OptionsOutcome> accept();

  private:
    Settings& settings_;
    Score* score_;
    bool appDirReadOnly_;
    OptionValues loaded_;
};

// The "&Folders" tab: its buttons act at once and say their failures.
enum class SaveType { Scores, Sound, Pictures, Scans };
// The remembered folder of a file type.
std::string& TypeFolder(Settings& settings, SaveType type);
// "&New": asks a name and makes that folder in `parent`; its path, or nothing.
std::optional<std::string> NewFolder(Host& host, const std::string& parent);
// "&Rename": asks the new path; the folder's new path, or nothing.
std::optional<std::string> RenameFolder(Host& host, const std::string& folder);
// "D&elete": an empty folder only, never what it holds.
bool DeleteFolder(Host& host, const std::string& folder);
// "&Use": after asking when the folder is not a fixed local disk.
bool UseFolder(Host& host, const FolderFacts& facts, const std::string& folder, SaveType type,
               Settings& settings);
// "n bytes free on drive /mnt", or empty when the platform cannot say.
std::string FreeSpaceText(const FolderFacts& facts, const std::string& folder);

// The read-only lines of the "S&ystem" tab: the system, the program, the
// recognition engine and the screens.
std::vector<std::string> SystemTabLines(const OptionsPlatform& platform);
// The "&Printer" tab's figures of `area` (blank without one) in inches or mm.
struct PrinterFigures {
    std::string pageHeight, pageWidth, left, top, right, bottom, resolution, units;
};
PrinterFigures PrinterTabFigures(const std::optional<PrintableArea>& area, bool inches);
// "This program has been run n times and m printouts have been made."
std::string RunCountLine(const Settings& settings);
// A count with thousands separators.
std::string Grouped(uint64_t n);

// The controls' values from the settings and the score.
OptionValues LoadOptions(const Settings& settings, const Score* score);

}  // namespace sw
