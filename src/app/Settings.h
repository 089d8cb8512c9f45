// Everything the program remembers between runs ("STAFWR5.INI"): the values
// with their defaults and ranges, and reading and writing them.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "app/IniFile.h"
#include "core/Colours.h"

namespace sw {

struct FontSetting {
    std::string name;
    int size = 0;
    std::string style;  // letters B, I, U, S
    int charset = 1;
    std::string usedFor;
};

struct Settings {
    // Form
    bool maximised = true;
    int left = 0, top = 0, width = 0, height = 0;
    // Startup: remembered folders, kept whole.
    std::string fileDirectory, picDirectory, midiDirectory, scanDirectory;
    // Symbolform, BlockModeform, Playmenu
    int symbolWidth = 600, symbolHeight = 440, symbolLeft = 0, symbolTop = 0;
    bool symbolHints = true;
    int blockLeft = -1, blockTop = -1;
    bool playFull = true;
    // Page: thousandths of an inch
    int pageStave = 300, pageWidth = 8270, pageLength = 11690;
    int pageTop = 500, pageLeft = 500, pageRight = 500, pageBottom = 500;
    int pageGutter = 0, pageHeader = 0, pageFooter = 0;
    bool pageFacing = false, pageLandscape = false;
    // Fonts
    FontSetting defaultFont{"Times New Roman", 12, "", 1, ""};
    std::array<FontSetting, 16> favourites{};
    FontSetting barFont{"Times New Roman", 9, "I", 1, ""};
    // Defaults
    int spacing = 3;
    int lcl = 80;
    // Options
    int undo = 100;
    bool unitsInches = true, scrollbars = false, slowscroll = true, backups = true,
         autobackup = true;
    // "Lock" in the file: true when a score opens with editing allowed.
    bool editingUnlocked = true;
    int backupInterval = 10, startPic = 11, scrollSpeed = 10, inFilter = 2;
    int cursorThickness = 1, cursorType = 0, lineWidth = 1, curveDepth = 2;
    bool hintsOff = false, cClef = true, fiveStyles = true, threeDot = true,
         naturalsInKeyChange = true;
    int language = 2;  // 0 British, 1 American, 2 by locale
    bool tips = true, fastCpu = false, templates = true;
    int editCursor = 6;
    bool ruler = false;
    int toolbar = 0x3FFFFF;
    int sound = 0, expandSpeed = 4, neatenFactor = 500;
    // The editor's colours by role.
    Colours colours;
    // Preview, Warnings
    bool previewDetails = true, previewMargins = true;
    int warnings1 = 0, warnings2 = 0;
    // Debug flags: bit n for character '0' + n
    std::bitset<79> debug;
    enum DebugFlag : int {
        kDebugAcceptAnyFile = 'A' - '0',
        kDebugDump = 'D' - '0',  // the Dump menu item and Extended Properties
        kDebugEmergency = 'E' - '0',
        kDebugNoTidy = 'T' - '0',
        kDebugStaveLimits = 'L' - '0',
    };
    bool debugFlag(DebugFlag f) const { return debug.test(static_cast<std::size_t>(f)); }
    // User
    int level = 1, runs = 0, printouts = 0, tutorBookmark = 0;
    bool tutorial = false;
    // The user has been told that the application folder is read-only.
    bool readOnlyNoted = false;
    std::bitset<2000> suppressed;
    // Sound
    int volume = 127, what = 0, lastPatch = 1, temperament = 0;
    bool soundStave = false, continuing = false, useStave = false;
    std::vector<int> favouritePrograms;
    // The synthesiser's General MIDI font and audio output; empty: the defaults.
    std::string soundFont, audioDriver;
    int proximity = 5;
    bool graceNotes = false;
    // Files: the history list, most recent first
    std::vector<std::string> history;
    // Printer, Scanner
    std::string printer;
    std::string scanResolution = "300";
    bool showScaled = true, oldeSymbols = false, scanGraceNotes = true, thinBeams = true,
         ellipseHeads = false, accents = false;

    Settings();
    uint32_t colour(const std::string& key) const;
};

struct SettingsEnv {
    int screenWidth = 1280, screenHeight = 1024;
    bool northAmerican = false;
};

// Whether the process's locale is a North American one (US, Canada).
bool NorthAmericanLocale();

// The application folder: the --appdir argument, else $STAFFWRIGHT_HOME, else
// the per-user data folder ($XDG_DATA_HOME or ~/.local/share, then "staffwright").
std::string ApplicationDirectory(const std::string& appDirArgument);
// The per-user settings folder ($XDG_CONFIG_HOME or ~/.config, then "staffwright").
std::string UserConfigDirectory();
bool DirectoryWritable(const std::string& dir);

// "STAFWR5.INI" in the application folder, or in the per-user settings folder
// when the application folder cannot be written.
std::string SettingsPath(const std::string& appDir, bool appDirWritable,
                         const std::string& userConfigDir);

Settings ReadSettings(const IniFile& ini, const SettingsEnv& env);
// Writes the values into `ini` (keys the program does not know stay).
void WriteSettings(const Settings& s, IniFile& ini);

// The encodings of the suppressed warnings and the favourite programs.
std::vector<std::string> EncodeSuppressed(const std::bitset<2000>& set);
void DecodeSuppressed(const std::string& text, std::bitset<2000>& set);
std::string EncodeFavourites(const std::vector<int>& programs);
std::vector<int> DecodeFavourites(const std::string& text);
std::string EncodeDebug(const std::bitset<79>& flags);
std::bitset<79> DecodeDebug(const std::string& text);

}  // namespace sw
