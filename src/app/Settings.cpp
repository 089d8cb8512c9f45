// Reading and writing the settings file.
#include "app/Settings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "core/TextUtil.h"

namespace sw {

namespace {

struct BuiltInFont {
    const char* name;
    int size;
    const char* style;
    const char* usedFor;
};
constexpr BuiltInFont kFavourites[16] = {
    {"Times New Roman", 30, "", "Title"},
    {"Times New Roman", 14, "", "Attributions"},
    {"Times New Roman", 12, "B", "Tempo instructions"},
    {"Arial", 16, "", "Instrument name"},
    {"Times New Roman", 12, "", "Font 5"},
    {"Times New Roman", 12, "", "Font 6"},
    {"Times New Roman", 12, "", "Font 7"},
    {"Times New Roman", 12, "", "Lyrics"},
    {"Arial", 14, "", "Chordal symbols"},
    {"Arial", 10, "", "Fingerings"},
    {"Times New Roman", 12, "BI", "Bold Italic"},
    {"Times New Roman", 12, "", "Font 12"},
    {"Times New Roman", 12, "", "Font 13"},
    {"Times New Roman", 12, "", "Font 14"},
    {"Times New Roman", 12, "", "Font 15"},
    {"Times New Roman", 12, "", "Font 16"},
};

int Clamp(long long v, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

// A style string normalised to the letters it names, in B I U S order.
std::string Style(const std::string& s) {
    std::string up = ToUpperAscii(s), out;
    for (char c : std::string("BIUS"))
        if (up.find(c) != std::string::npos) out += c;
    return out;
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

Settings::Settings() {
    for (int i = 0; i < 16; ++i)
        favourites[static_cast<std::size_t>(i)] = {kFavourites[i].name, kFavourites[i].size,
                                                   kFavourites[i].style, 1, kFavourites[i].usedFor};
    favouritePrograms = DecodeFavourites("014A4C3107196E48351413392F4642");
}

uint32_t Settings::colour(const std::string& key) const {
    for (const ColourRole& role : kColourRoles)
        if (EqualsIgnoreCase(role.key, key)) return colours.*role.member;
    return 0;
}

bool NorthAmericanLocale() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (!v || !*v) continue;
        const std::string l(v);
        return l.rfind("en_US", 0) == 0 || l.rfind("en_CA", 0) == 0 || l.rfind("fr_CA", 0) == 0;
    }
    return false;
}

namespace {
std::string FromEnvOrHome(const char* var, const char* underHome) {
    const char* v = std::getenv(var);
    if (v && *v) return std::string(v) + "/staffwright";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + underHome + "/staffwright";
}
}  // namespace

std::string ApplicationDirectory(const std::string& appDirArgument) {
    if (!appDirArgument.empty()) return appDirArgument;
    const char* home = std::getenv("STAFFWRIGHT_HOME");
    if (home && *home) return home;
    return FromEnvOrHome("XDG_DATA_HOME", "/.local/share");
}

std::string UserConfigDirectory() {
    return FromEnvOrHome("XDG_CONFIG_HOME", "/.config");
}

bool DirectoryWritable(const std::string& dir) {
    // Writing a file is the only sure test: permissions say nothing of a
    // read-only mount, and root passes every permission check.
    const std::string probe = (dir.empty() || dir.back() == '/' ? dir : dir + "/") + "Test0123.dmp";
    std::FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) return false;
    char block[1024] = {};
    const bool ok = std::fwrite(block, 1, sizeof block, f) == sizeof block;
    const bool closed = std::fclose(f) == 0;
    const bool removed = std::remove(probe.c_str()) == 0;
    return ok && closed && removed;
}

std::string SettingsPath(const std::string& appDir, bool appDirWritable,
                         const std::string& userConfigDir) {
    const std::string& dir = appDirWritable ? appDir : userConfigDir;
    if (dir.empty()) return "STAFWR5.INI";
    return dir.back() == '/' ? dir + "STAFWR5.INI" : dir + "/STAFWR5.INI";
}

std::vector<std::string> EncodeSuppressed(const std::bitset<2000>& set) {
    std::vector<std::string> out(1);
    for (int n = 0; n < 2000; ++n) {
        if (!set.test(static_cast<std::size_t>(n))) continue;
        // A string longer than 220 characters is full: the rest go to the next.
        if (out.back().size() > 220 && out.size() < 3) out.emplace_back();
        char buf[8];
        std::snprintf(buf, sizeof buf, "%03X", n);
        out.back() += buf;
    }
    return out;
}

void DecodeSuppressed(const std::string& text, std::bitset<2000>& set) {
    for (std::size_t i = 0; i + 3 <= text.size(); i += 3) {
        int a = Hex(text[i]), b = Hex(text[i + 1]), c = Hex(text[i + 2]);
        if (a < 0 || b < 0 || c < 0) continue;
        const int n = a * 256 + b * 16 + c;
        if (n < 2000) set.set(static_cast<std::size_t>(n));  // the set has 2000 entries
    }
}

std::string EncodeFavourites(const std::vector<int>& programs) {
    std::string out;
    for (std::size_t i = 0; i < programs.size() && i < 20; ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", std::clamp(programs[i], 0, 127));
        out += buf;
    }
    return out;
}

std::vector<int> DecodeFavourites(const std::string& text) {
    std::vector<int> out;
    for (std::size_t i = 0; i + 2 <= text.size() && out.size() < 20; i += 2) {
        int a = Hex(text[i]), b = Hex(text[i + 1]);
        if (a < 0 || b < 0) continue;
        const int p = a * 16 + b;
        if (p <= 127) out.push_back(p);
    }
    return out;
}

std::string EncodeDebug(const std::bitset<79>& flags) {
    std::string out;
    for (std::size_t n = 0; n < flags.size(); ++n)
        if (flags.test(n)) out += static_cast<char>('0' + n);
    return out;
}

std::bitset<79> DecodeDebug(const std::string& text) {
    std::bitset<79> flags;
    for (char c : ToUpperAscii(text))
        if (c >= '0' && c <= '~') flags.set(static_cast<std::size_t>(c - '0'));
    return flags;
}

namespace {

// The plain values of the file, each with its default, range and use; the
// values with a rule of their own (window places, fonts, colours, lists) are
// read and written beside the table.
enum class Use { ReadWrite, ReadOnly, WriteOnly };

struct IntField {
    const char* section;
    const char* key;
    int Settings::*member;
    int def, lo, hi;
    Use use = Use::ReadWrite;
};
struct FlagField {
    const char* section;
    const char* key;
    bool Settings::*member;
    bool def;
    Use use = Use::ReadWrite;
};
struct TextField {
    const char* section;
    const char* key;
    std::string Settings::*member;
    const char* def;
    Use use = Use::ReadWrite;
};

constexpr int kFar = 100000, kHuge = 2000000000;

const IntField kIntFields[] = {
    {"Symbolform", "Width", &Settings::symbolWidth, 600, 50, kFar},
    {"Symbolform", "Height", &Settings::symbolHeight, 440, 50, kFar},
    {"BlockModeform", "Left", &Settings::blockLeft, -1, -kFar, kFar},
    {"BlockModeform", "Top", &Settings::blockTop, -1, -kFar, kFar},
    {"Page", "Stave", &Settings::pageStave, 300, 100, 1000},
    {"Page", "Top", &Settings::pageTop, 500, 0, 24000},
    {"Page", "Left", &Settings::pageLeft, 500, 0, 12000},
    {"Page", "Right", &Settings::pageRight, 500, 0, 12000},
    {"Page", "Bottom", &Settings::pageBottom, 500, 0, 24000},
    {"Page", "Gutter", &Settings::pageGutter, 0, 0, 12000},
    {"Page", "Header", &Settings::pageHeader, 0, 0, 24000},
    {"Page", "Footer", &Settings::pageFooter, 0, 0, 24000},
    {"Defaults", "Spacing", &Settings::spacing, 3, 1, 5},
    {"Defaults", "LCL", &Settings::lcl, 80, 0, 1000, Use::ReadOnly},
    {"Options", "Undo", &Settings::undo, 100, 0, 10000},
    {"Options", "Backupinterval", &Settings::backupInterval, 10, 0, 1440},
    {"Options", "Startpic", &Settings::startPic, 11, 0, 11},
    {"Options", "Scrollspeed", &Settings::scrollSpeed, 10, 1, 100},
    {"Options", "Infilter", &Settings::inFilter, 2, 1, 10},
    {"Options", "Cursorthickness", &Settings::cursorThickness, 1, 1, 10},
    {"Options", "Cursortype", &Settings::cursorType, 0, 0, 2},
    {"Options", "Linewidth", &Settings::lineWidth, 1, 0, 5},
    {"Options", "Curvedepth", &Settings::curveDepth, 2, 0, 5},
    {"Options", "EditCursor", &Settings::editCursor, 6, 0, 100},
    {"Options", "Toolbar", &Settings::toolbar, 0x3FFFFF, 0, 0x3FFFFF},
    {"Options", "Sound", &Settings::sound, 0, 0, 128},
    {"Options", "Expandspeed", &Settings::expandSpeed, 4, 1, 100, Use::ReadOnly},
    {"Options", "Neatenfactor", &Settings::neatenFactor, 500, 0, 10000},
    {"Warnings", "1", &Settings::warnings1, 0, 0, 1000000},
    {"Warnings", "2", &Settings::warnings2, 0, 0, 1000000},
    {"User", "Level", &Settings::level, 1, 1, 4},
    {"User", "Printouts", &Settings::printouts, 0, 0, kHuge},
    {"User", "Tutorbookmark", &Settings::tutorBookmark, 0, 0, kHuge},
    {"Sound", "Volume", &Settings::volume, 127, 0, 127},
    {"Sound", "What", &Settings::what, 0, 0, 19},
    {"Sound", "Lastpatch", &Settings::lastPatch, 1, 1, 129},
    {"Sound", "Temperament", &Settings::temperament, 0, 0, 4},
    // The playback window's, written when a document closes and never read.
    {"Sound", "Proximity", &Settings::proximity, 5, 1, 20, Use::WriteOnly},
};

const FlagField kFlagFields[] = {
    {"Symbolform", "Hints", &Settings::symbolHints, true},
    {"Playmenu", "Full", &Settings::playFull, true},
    {"Page", "Facing", &Settings::pageFacing, false},
    {"Page", "Orientation", &Settings::pageLandscape, false},
    {"Options", "Units", &Settings::unitsInches, true},
    {"Options", "Scrollbars", &Settings::scrollbars, false},
    {"Options", "Slowscroll", &Settings::slowscroll, true},
    {"Options", "Backups", &Settings::backups, true},
    {"Options", "Autobackup", &Settings::autobackup, true},
    {"Options", "Lock", &Settings::editingUnlocked, true},
    {"Options", "HintsOff", &Settings::hintsOff, false, Use::ReadOnly},
    {"Options", "CClef", &Settings::cClef, true},
    {"Options", "5styles", &Settings::fiveStyles, true},
    {"Options", "3-Dot", &Settings::threeDot, true},
    {"Options", "NaturalsInKeyChange", &Settings::naturalsInKeyChange, true},
    {"Options", "Tips", &Settings::tips, true},
    {"Options", "FastCPU", &Settings::fastCpu, false},
    {"Options", "Templates", &Settings::templates, true},
    {"Options", "Ruler", &Settings::ruler, false},
    {"Preview", "Details", &Settings::previewDetails, true},
    {"Preview", "Margins", &Settings::previewMargins, true},
    {"User", "Tutorial", &Settings::tutorial, false},
    {"User", "ReadOnlyNoted", &Settings::readOnlyNoted, false},
    {"Sound", "Stave", &Settings::soundStave, false},
    {"Sound", "Continuing", &Settings::continuing, false},
    {"Sound", "Usestave", &Settings::useStave, false},
    {"Sound", "Gracenotes", &Settings::graceNotes, false, Use::WriteOnly},
    {"Scanner", "Showscaled", &Settings::showScaled, true, Use::ReadOnly},
    {"Scanner", "Oldesymbols", &Settings::oldeSymbols, false, Use::ReadOnly},
    {"Scanner", "Gracenotes", &Settings::scanGraceNotes, true, Use::ReadOnly},
    {"Scanner", "Thinbeams", &Settings::thinBeams, true, Use::ReadOnly},
    {"Scanner", "ellipseheads", &Settings::ellipseHeads, false, Use::ReadOnly},
    {"Scanner", "Accents", &Settings::accents, false, Use::ReadOnly},
};

const TextField kTextFields[] = {
    {"Startup", "FileDirectory", &Settings::fileDirectory, ""},
    {"Startup", "PicDirectory", &Settings::picDirectory, ""},
    {"Startup", "MidiDirectory", &Settings::midiDirectory, ""},
    {"Startup", "ScanDirectory", &Settings::scanDirectory, ""},
    {"Scanner", "Resolution", &Settings::scanResolution, "300", Use::ReadOnly},
    {"Sound", "Soundfont", &Settings::soundFont, ""},
    {"Sound", "AudioDriver", &Settings::audioDriver, ""},
};

void ReadFields(const IniFile& ini, Settings& s) {
    for (const IntField& f : kIntFields)
        if (f.use != Use::WriteOnly)
            s.*f.member = Clamp(ini.GetInt(f.section, f.key, f.def), f.lo, f.hi);
    for (const FlagField& f : kFlagFields)
        if (f.use != Use::WriteOnly) s.*f.member = ini.GetFlag(f.section, f.key, f.def);
    for (const TextField& f : kTextFields)
        if (f.use != Use::WriteOnly) s.*f.member = ini.Get(f.section, f.key, f.def);
}

// The table's values of one section; sections are written in the file's order.
void WriteFields(const Settings& s, IniFile& ini, const std::string& section) {
    for (const TextField& f : kTextFields)
        if (f.use != Use::ReadOnly && section == f.section) ini.Set(f.section, f.key, s.*f.member);
    for (const IntField& f : kIntFields)
        if (f.use != Use::ReadOnly && section == f.section)
            ini.SetInt(f.section, f.key, s.*f.member);
    for (const FlagField& f : kFlagFields)
        if (f.use != Use::ReadOnly && section == f.section)
            ini.SetFlag(f.section, f.key, s.*f.member);
}

}  // namespace

Settings ReadSettings(const IniFile& ini, const SettingsEnv& env) {
    Settings s;
    ReadFields(ini, s);
    auto I = [&](const char* sec, const char* key, long long def) {
        return ini.GetInt(sec, key, def);
    };
    auto S = [&](const char* sec, const char* key, const std::string& def) {
        return ini.Get(sec, key, def);
    };

    // Window places start from the screen's size.
    s.maximised = ini.GetFlag("Form", "Maximised", true);
    s.left = Clamp(I("Form", "Left", 0), -kFar, kFar);
    s.top = Clamp(I("Form", "Top", 0), -kFar, kFar);
    s.width = Clamp(I("Form", "Width", env.screenWidth - 125), 100, kFar);
    s.height = Clamp(I("Form", "Height", env.screenHeight - 150), 100, kFar);
    s.symbolLeft = Clamp(I("Symbolform", "Left", (env.screenWidth - 600) / 2), -kFar, kFar);
    s.symbolTop = Clamp(I("Symbolform", "Top", (env.screenHeight - 440) / 2), -kFar, kFar);

    // The paper starts from the locale's.
    s.pageWidth = Clamp(I("Page", "Width", env.northAmerican ? 8500 : 8270), 4000, 12000);
    s.pageLength = Clamp(I("Page", "Length", env.northAmerican ? 11000 : 11690), 3000, 24000);
    // Margins that leave no page to print on are not kept.
    if (s.pageLeft + s.pageRight + s.pageGutter >= s.pageWidth ||
        s.pageTop + s.pageBottom + s.pageHeader + s.pageFooter >= s.pageLength) {
        s.pageTop = s.pageLeft = s.pageRight = s.pageBottom = 500;
        s.pageGutter = s.pageHeader = s.pageFooter = 0;
    }

    s.defaultFont = {
        S("Defaultfont", "Name", "Times New Roman"), Clamp(I("Defaultfont", "Size", 12), 4, 100),
        Style(S("Defaultfont", "Style", "")), Clamp(I("Defaultfont", "Charset", 1), 0, 255), ""};
    for (int n = 1; n <= 16; ++n) {
        FontSetting& f = s.favourites[static_cast<std::size_t>(n - 1)];
        const std::string k = std::to_string(n);
        if (!ini.Has("FavouriteFonts", "Name" + k)) continue;
        f.name = ini.Get("FavouriteFonts", "Name" + k);
        f.size = Clamp(ini.GetInt("FavouriteFonts", "Size" + k, f.size), 0, 100);
        f.style = Style(ini.Get("FavouriteFonts", "Style" + k));
        f.charset = Clamp(ini.GetInt("FavouriteFonts", "Charset" + k, 1), 0, 255);
        std::string used = ini.Get("FavouriteFonts", "Usedfor" + k);
        if (!used.empty()) f.usedFor = used.substr(0, 32);
    }
    s.barFont = {S("Barfont", "Name", "Times New Roman"), Clamp(I("Barfont", "Size", 9), 4, 100),
                 Style(S("Barfont", "Style", "I")), 1, ""};

    s.language = Clamp(I("Options", "Language", 2), 0, 2);
    if (s.language == 2) s.language = env.northAmerican ? 1 : 0;
    for (const ColourRole& role : kColourRoles) {
        uint32_t& c = s.colours.*role.member;
        c = static_cast<uint32_t>(
            std::clamp<long long>(ini.GetInt("Colours", role.key, c), 0, 0xFFFFFF));
    }
    s.debug = DecodeDebug(S("Debug", "Options", ""));
    s.runs = Clamp(I("User", "Runs", 0), 0, kHuge);
    for (const char* key : {"Boring1", "Boring2", "Boring3"})
        DecodeSuppressed(S("User", key, ""), s.suppressed);
    s.favouritePrograms =
        DecodeFavourites(S("Sound", "Favourites", "014A4C3107196E48351413392F4642"));
    for (int n = 1; n <= 9; ++n) {
        std::string f = ini.Get("Files", std::to_string(n));
        if (!f.empty()) s.history.push_back(f);
    }
    s.printer = S("Printer", "Default", "").substr(0, 50);
    return s;
}

void WriteSettings(const Settings& s, IniFile& ini) {
    ini.EraseSection("Form");
    ini.SetFlag("Form", "Maximised", s.maximised);
    if (!s.maximised) {
        ini.SetInt("Form", "Left", s.left);
        ini.SetInt("Form", "Top", s.top);
        ini.SetInt("Form", "Width", s.width);
        ini.SetInt("Form", "Height", s.height);
    }
    WriteFields(s, ini, "Startup");
    WriteFields(s, ini, "Symbolform");
    ini.SetInt("Symbolform", "Left", s.symbolLeft);
    ini.SetInt("Symbolform", "Top", s.symbolTop);
    WriteFields(s, ini, "BlockModeform");
    WriteFields(s, ini, "Playmenu");
    WriteFields(s, ini, "Page");
    ini.SetInt("Page", "Width", s.pageWidth);
    ini.SetInt("Page", "Length", s.pageLength);
    ini.Set("Defaultfont", "Name", s.defaultFont.name);
    ini.SetInt("Defaultfont", "Size", s.defaultFont.size);
    ini.Set("Defaultfont", "Style", Style(s.defaultFont.style));
    ini.SetInt("Defaultfont", "Charset", s.defaultFont.charset);
    ini.EraseSection("FavouriteFonts");
    for (int n = 1; n <= 16; ++n) {
        const FontSetting& f = s.favourites[static_cast<std::size_t>(n - 1)];
        if (f.size == 0) continue;
        const std::string k = std::to_string(n);
        ini.Set("FavouriteFonts", "Name" + k, f.name);
        ini.SetInt("FavouriteFonts", "Size" + k, f.size);
        ini.Set("FavouriteFonts", "Style" + k, Style(f.style));
        if (f.charset != 1) ini.SetInt("FavouriteFonts", "Charset" + k, f.charset);
        ini.Set("FavouriteFonts", "Usedfor" + k, f.usedFor);
    }
    ini.Set("Barfont", "Name", s.barFont.name);
    ini.SetInt("Barfont", "Size", s.barFont.size);
    ini.Set("Barfont", "Style", Style(s.barFont.style));
    WriteFields(s, ini, "Defaults");
    WriteFields(s, ini, "Options");
    ini.SetInt("Options", "Language", s.language == 1 ? 1 : 0);
    // Of the colours only the highlight is the user's to change here.
    ini.SetInt("Colours", "Edit", s.colour("Edit"));
    WriteFields(s, ini, "Preview");
    WriteFields(s, ini, "Warnings");
    if (s.debug.any())
        ini.Set("Debug", "Options", EncodeDebug(s.debug));
    else
        ini.EraseSection("Debug");
    WriteFields(s, ini, "User");
    ini.SetInt("User", "Runs", static_cast<long long>(s.runs) + 1);
    const std::vector<std::string> boring = EncodeSuppressed(s.suppressed);
    const char* keys[3] = {"Boring1", "Boring2", "Boring3"};
    for (std::size_t i = 0; i < 3; ++i)
        ini.Set("User", keys[i], i < boring.size() ? boring[i] : "");
    WriteFields(s, ini, "Sound");
    ini.Set("Sound", "Favourites", EncodeFavourites(s.favouritePrograms));
    ini.EraseSection("Files");
    for (std::size_t i = 0; i < s.history.size() && i < 9; ++i)
        ini.Set("Files", std::to_string(i + 1), s.history[i]);
    ini.Set("Printer", "Default", s.printer.substr(0, 50));
}

}  // namespace sw
