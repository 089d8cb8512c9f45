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
    colours = {{"Ink", 0x000000},           {"Nonprinting", 0xFF00FF}, {"Modnote", 0x008080},
               {"Putative", 0x808080},      {"Selecting", 0xFF0000},   {"Line", 0x008000},
               {"Erase", 0xAAD7D3},         {"Anchor", 0x808080},      {"Edit", 0x0000FF},
               {"Cursor", 0xFF0000},        {"Block", 0x80FF00},       {"Marked", 0xFF0000},
               {"UniversalText", 0x008000}, {"Virtualstem", 0x00FF00}, {"Strings", 0xFF00FF},
               {"Defaultform", 0xC8FFFF},   {"Grid", 0x00FFFF}};
    favouritePrograms = DecodeFavourites("014A4C3107196E48351413392F4642");
}

uint32_t Settings::colour(const std::string& key) const {
    for (const Colour& c : colours)
        if (EqualsIgnoreCase(c.key, key)) return c.value;
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

Settings ReadSettings(const IniFile& ini, const SettingsEnv& env) {
    Settings s;
    auto I = [&](const char* sec, const char* key, long long def) {
        return ini.GetInt(sec, key, def);
    };
    auto F = [&](const char* sec, const char* key, bool def) { return ini.GetFlag(sec, key, def); };
    auto S = [&](const char* sec, const char* key, const std::string& def) {
        return ini.Get(sec, key, def);
    };

    s.maximised = F("Form", "Maximised", true);
    s.left = Clamp(I("Form", "Left", 0), -100000, 100000);
    s.top = Clamp(I("Form", "Top", 0), -100000, 100000);
    s.width = Clamp(I("Form", "Width", env.screenWidth - 125), 100, 100000);
    s.height = Clamp(I("Form", "Height", env.screenHeight - 150), 100, 100000);
    s.fileDirectory = S("Startup", "FileDirectory", "");
    s.picDirectory = S("Startup", "PicDirectory", "");
    s.midiDirectory = S("Startup", "MidiDirectory", "");
    s.scanDirectory = S("Startup", "ScanDirectory", "");
    s.symbolWidth = Clamp(I("Symbolform", "Width", 600), 50, 100000);
    s.symbolHeight = Clamp(I("Symbolform", "Height", 440), 50, 100000);
    s.symbolLeft = Clamp(I("Symbolform", "Left", (env.screenWidth - 600) / 2), -100000, 100000);
    s.symbolTop = Clamp(I("Symbolform", "Top", (env.screenHeight - 440) / 2), -100000, 100000);
    s.symbolHints = F("Symbolform", "Hints", true);
    s.blockLeft = Clamp(I("BlockModeform", "Left", -1), -100000, 100000);
    s.blockTop = Clamp(I("BlockModeform", "Top", -1), -100000, 100000);
    s.playFull = F("Playmenu", "Full", true);

    s.pageStave = Clamp(I("Page", "Stave", 300), 100, 1000);
    s.pageWidth = Clamp(I("Page", "Width", env.northAmerican ? 8500 : 8270), 4000, 12000);
    s.pageLength = Clamp(I("Page", "Length", env.northAmerican ? 11000 : 11690), 3000, 24000);
    s.pageTop = Clamp(I("Page", "Top", 500), 0, 24000);
    s.pageLeft = Clamp(I("Page", "Left", 500), 0, 12000);
    s.pageRight = Clamp(I("Page", "Right", 500), 0, 12000);
    s.pageBottom = Clamp(I("Page", "Bottom", 500), 0, 24000);
    s.pageGutter = Clamp(I("Page", "Gutter", 0), 0, 12000);
    s.pageHeader = Clamp(I("Page", "Header", 0), 0, 24000);
    s.pageFooter = Clamp(I("Page", "Footer", 0), 0, 24000);
    s.pageFacing = F("Page", "Facing", false);
    s.pageLandscape = F("Page", "Orientation", false);
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
    s.spacing = Clamp(I("Defaults", "Spacing", 3), 1, 5);
    s.lcl = Clamp(I("Defaults", "LCL", 80), 0, 1000);

    s.undo = Clamp(I("Options", "Undo", 100), 0, 10000);
    s.unitsInches = F("Options", "Units", true);
    s.scrollbars = F("Options", "Scrollbars", false);
    s.slowscroll = F("Options", "Slowscroll", true);
    s.backups = F("Options", "Backups", true);
    s.autobackup = F("Options", "Autobackup", true);
    s.editingUnlocked = F("Options", "Lock", true);
    s.backupInterval = Clamp(I("Options", "Backupinterval", 10), 0, 1440);
    s.startPic = Clamp(I("Options", "Startpic", 11), 0, 11);
    s.scrollSpeed = Clamp(I("Options", "Scrollspeed", 10), 1, 100);
    s.inFilter = Clamp(I("Options", "Infilter", 2), 1, 10);
    s.cursorThickness = Clamp(I("Options", "Cursorthickness", 1), 1, 10);
    s.cursorType = Clamp(I("Options", "Cursortype", 0), 0, 2);
    s.lineWidth = Clamp(I("Options", "Linewidth", 1), 0, 5);
    s.curveDepth = Clamp(I("Options", "Curvedepth", 2), 0, 5);
    s.hintsOff = F("Options", "HintsOff", false);
    s.cClef = F("Options", "CClef", true);
    s.fiveStyles = F("Options", "5styles", true);
    s.threeDot = F("Options", "3-Dot", true);
    s.naturalsInKeyChange = F("Options", "NaturalsInKeyChange", true);
    s.language = Clamp(I("Options", "Language", 2), 0, 2);
    if (s.language == 2) s.language = env.northAmerican ? 1 : 0;
    s.tips = F("Options", "Tips", true);
    s.fastCpu = F("Options", "FastCPU", false);
    s.templates = F("Options", "Templates", true);
    s.editCursor = Clamp(I("Options", "EditCursor", 6), 0, 100);
    s.ruler = F("Options", "Ruler", false);
    s.toolbar = Clamp(I("Options", "Toolbar", 0x3FFFFF), 0, 0x3FFFFF);
    s.sound = Clamp(I("Options", "Sound", 0), 0, 128);
    s.expandSpeed = Clamp(I("Options", "Expandspeed", 4), 1, 100);
    s.neatenFactor = Clamp(I("Options", "Neatenfactor", 500), 0, 10000);
    for (Settings::Colour& c : s.colours)
        c.value = static_cast<uint32_t>(
            std::clamp<long long>(ini.GetInt("Colours", c.key, c.value), 0, 0xFFFFFF));
    s.previewDetails = F("Preview", "Details", true);
    s.previewMargins = F("Preview", "Margins", true);
    s.warnings1 = Clamp(I("Warnings", "1", 0), 0, 1000000);
    s.warnings2 = Clamp(I("Warnings", "2", 0), 0, 1000000);
    s.debug = DecodeDebug(S("Debug", "Options", ""));
    s.level = Clamp(I("User", "Level", 1), 1, 4);
    s.runs = Clamp(I("User", "Runs", 0), 0, 2000000000);
    s.printouts = Clamp(I("User", "Printouts", 0), 0, 2000000000);
    s.tutorial = F("User", "Tutorial", false);
    s.readOnlyNoted = F("User", "ReadOnlyNoted", false);
    s.tutorBookmark = Clamp(I("User", "Tutorbookmark", 0), 0, 2000000000);
    for (const char* key : {"Boring1", "Boring2", "Boring3"})
        DecodeSuppressed(S("User", key, ""), s.suppressed);
    s.volume = Clamp(I("Sound", "Volume", 127), 0, 127);
    s.what = Clamp(I("Sound", "What", 0), 0, 19);
    s.soundStave = F("Sound", "Stave", false);
    s.lastPatch = Clamp(I("Sound", "Lastpatch", 1), 1, 129);
    s.continuing = F("Sound", "Continuing", false);
    s.favouritePrograms =
        DecodeFavourites(S("Sound", "Favourites", "014A4C3107196E48351413392F4642"));
    s.useStave = F("Sound", "Usestave", false);
    s.temperament = Clamp(I("Sound", "Temperament", 0), 0, 4);
    for (int n = 1; n <= 9; ++n) {
        std::string f = ini.Get("Files", std::to_string(n));
        if (!f.empty()) s.history.push_back(f);
    }
    s.printer = S("Printer", "Default", "").substr(0, 50);
    s.scanResolution = S("Scanner", "Resolution", "300");
    s.showScaled = F("Scanner", "Showscaled", true);
    s.oldeSymbols = F("Scanner", "Oldesymbols", false);
    s.scanGraceNotes = F("Scanner", "Gracenotes", true);
    s.thinBeams = F("Scanner", "Thinbeams", true);
    s.ellipseHeads = F("Scanner", "ellipseheads", false);
    s.accents = F("Scanner", "Accents", false);
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
    ini.Set("Startup", "FileDirectory", s.fileDirectory);
    ini.Set("Startup", "PicDirectory", s.picDirectory);
    ini.Set("Startup", "MidiDirectory", s.midiDirectory);
    ini.Set("Startup", "ScanDirectory", s.scanDirectory);
    ini.SetInt("Symbolform", "Width", s.symbolWidth);
    ini.SetInt("Symbolform", "Height", s.symbolHeight);
    ini.SetInt("Symbolform", "Left", s.symbolLeft);
    ini.SetInt("Symbolform", "Top", s.symbolTop);
    ini.SetFlag("Symbolform", "Hints", s.symbolHints);
    ini.SetInt("BlockModeform", "Left", s.blockLeft);
    ini.SetInt("BlockModeform", "Top", s.blockTop);
    ini.SetFlag("Playmenu", "Full", s.playFull);
    ini.SetInt("Page", "Stave", s.pageStave);
    ini.SetInt("Page", "Width", s.pageWidth);
    ini.SetInt("Page", "Length", s.pageLength);
    ini.SetInt("Page", "Top", s.pageTop);
    ini.SetInt("Page", "Left", s.pageLeft);
    ini.SetInt("Page", "Right", s.pageRight);
    ini.SetInt("Page", "Bottom", s.pageBottom);
    ini.SetInt("Page", "Gutter", s.pageGutter);
    ini.SetInt("Page", "Header", s.pageHeader);
    ini.SetInt("Page", "Footer", s.pageFooter);
    ini.SetFlag("Page", "Facing", s.pageFacing);
    ini.SetFlag("Page", "Orientation", s.pageLandscape);
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
    ini.SetInt("Defaults", "Spacing", s.spacing);
    ini.SetInt("Options", "Undo", s.undo);
    ini.SetFlag("Options", "Units", s.unitsInches);
    ini.SetFlag("Options", "Scrollbars", s.scrollbars);
    ini.SetFlag("Options", "Slowscroll", s.slowscroll);
    ini.SetFlag("Options", "Backups", s.backups);
    ini.SetFlag("Options", "Autobackup", s.autobackup);
    ini.SetFlag("Options", "Lock", s.editingUnlocked);
    ini.SetInt("Options", "Backupinterval", s.backupInterval);
    ini.SetInt("Options", "Startpic", s.startPic);
    ini.SetInt("Options", "Scrollspeed", s.scrollSpeed);
    ini.SetInt("Options", "Infilter", s.inFilter);
    ini.SetInt("Options", "Cursorthickness", s.cursorThickness);
    ini.SetInt("Options", "Cursortype", s.cursorType);
    ini.SetInt("Options", "Linewidth", s.lineWidth);
    ini.SetInt("Options", "Curvedepth", s.curveDepth);
    ini.SetFlag("Options", "CClef", s.cClef);
    ini.SetFlag("Options", "5styles", s.fiveStyles);
    ini.SetFlag("Options", "3-Dot", s.threeDot);
    ini.SetFlag("Options", "NaturalsInKeyChange", s.naturalsInKeyChange);
    ini.SetInt("Options", "Language", s.language == 1 ? 1 : 0);
    ini.SetFlag("Options", "Tips", s.tips);
    ini.SetFlag("Options", "FastCPU", s.fastCpu);
    ini.SetFlag("Options", "Templates", s.templates);
    ini.SetInt("Options", "EditCursor", s.editCursor);
    ini.SetFlag("Options", "Ruler", s.ruler);
    ini.SetInt("Options", "Toolbar", s.toolbar);
    ini.SetInt("Options", "Sound", s.sound);
    ini.SetInt("Options", "Neatenfactor", s.neatenFactor);
    ini.SetInt("Colours", "Edit", s.colour("Edit"));
    ini.SetFlag("Preview", "Details", s.previewDetails);
    ini.SetFlag("Preview", "Margins", s.previewMargins);
    ini.SetInt("Warnings", "1", s.warnings1);
    ini.SetInt("Warnings", "2", s.warnings2);
    if (s.debug.any())
        ini.Set("Debug", "Options", EncodeDebug(s.debug));
    else
        ini.EraseSection("Debug");
    ini.SetInt("User", "Level", s.level);
    ini.SetInt("User", "Runs", static_cast<long long>(s.runs) + 1);
    ini.SetInt("User", "Printouts", s.printouts);
    ini.SetFlag("User", "Tutorial", s.tutorial);
    ini.SetFlag("User", "ReadOnlyNoted", s.readOnlyNoted);
    ini.SetInt("User", "Tutorbookmark", s.tutorBookmark);
    const std::vector<std::string> boring = EncodeSuppressed(s.suppressed);
    const char* keys[3] = {"Boring1", "Boring2", "Boring3"};
    for (std::size_t i = 0; i < 3; ++i)
        ini.Set("User", keys[i], i < boring.size() ? boring[i] : "");
    ini.SetInt("Sound", "Volume", s.volume);
    ini.SetInt("Sound", "What", s.what);
    ini.SetFlag("Sound", "Stave", s.soundStave);
    ini.SetInt("Sound", "Lastpatch", s.lastPatch);
    ini.SetFlag("Sound", "Continuing", s.continuing);
    ini.Set("Sound", "Favourites", EncodeFavourites(s.favouritePrograms));
    ini.SetFlag("Sound", "Usestave", s.useStave);
    ini.SetInt("Sound", "Temperament", s.temperament);
    ini.SetInt("Sound", "Proximity", s.proximity);
    ini.SetFlag("Sound", "Gracenotes", s.graceNotes);
    ini.EraseSection("Files");
    for (std::size_t i = 0; i < s.history.size() && i < 9; ++i)
        ini.Set("Files", std::to_string(i + 1), s.history[i]);
    ini.Set("Printer", "Default", s.printer.substr(0, 50));
}

}  // namespace sw
