// The settings file: the INI reader and writer, defaults, clamps and encodings.
#include <gtest/gtest.h>

#include <climits>

#include "app/Settings.h"

namespace sw {
namespace {

TEST(IniFileTest, KeysAndSectionsIgnoreCaseValuesStayVerbatimAndUnknownKeysSurvive) {
    IniFile ini =
        IniFile::Parse("; kept\n[Options]\nUNDO=42\nMine=a, b = c\n\n[Other]\nx=1\n[options]\n");
    EXPECT_EQ(ini.GetInt("options", "undo", 0), 42);
    EXPECT_EQ(ini.Get("OPTIONS", "mine"), "a, b = c");
    EXPECT_EQ(ini.GetInt("Options", "Mine", 7), 7);  // not a number
    ini.SetInt("Options", "Undo", 5);
    ini.Set("New", "Key", "two\nlines");
    const std::string text = ini.Text();
    EXPECT_NE(text.find("; kept\n"), std::string::npos);
    EXPECT_NE(text.find("UNDO=5\nMine=a, b = c\n"), std::string::npos);  // order and spelling kept
    EXPECT_NE(text.find("[Other]\nx=1\n"), std::string::npos);
    EXPECT_EQ(IniFile::Parse(text).Get("new", "key"), "two lines");
    ini.EraseSection("other");
    EXPECT_FALSE(ini.Has("Other", "x"));
    // A repeated section is erased whole, so a rewritten list cannot keep stale keys.
    IniFile twice = IniFile::Parse("[Files]\n1=a\n[X]\n[files]\n5=b\n");
    twice.EraseSection("Files");
    EXPECT_FALSE(twice.Has("Files", "5"));
    EXPECT_EQ(IniFile::Parse("[A]\nn=99999999999999999999\n").GetInt("A", "n", 0), LLONG_MAX);
}

TEST(SettingsTest, DefaultsFollowTheLocale) {
    const Settings europe = ReadSettings(IniFile(), SettingsEnv{1000, 800, false});
    EXPECT_EQ(europe.pageWidth, 8270);
    EXPECT_EQ(europe.pageLength, 11690);
    EXPECT_EQ(europe.language, 0);
    EXPECT_EQ(europe.width, 875);
    EXPECT_EQ(europe.symbolLeft, 200);
    const Settings america = ReadSettings(IniFile(), SettingsEnv{1000, 800, true});
    EXPECT_EQ(america.pageWidth, 8500);
    EXPECT_EQ(america.pageLength, 11000);
    EXPECT_EQ(america.language, 1);
    EXPECT_EQ(europe.favourites[0].size, 30);
    EXPECT_EQ(europe.favourites[10].style, "BI");
    EXPECT_EQ(europe.colour("Modnote"), 0x008080u);
    EXPECT_EQ(europe.favouritePrograms.size(), 15u);
}

TEST(SettingsTest, IndexesAndSizesAreClampedToTheirDomains) {
    IniFile ini = IniFile::Parse(
        "[Page]\nStave=50\nWidth=99999\nLeft=7000\nRight=7000\n[Defaultfont]\nSize=2\n"
        "[Options]\nUndo=-3\nCursortype=9\nLinewidth=-1\nCurvedepth=77\nStartpic=40\n"
        "Language=5\nBackupinterval=-9\n[User]\nLevel=0\n[Sound]\nTemperament=12\nVolume=300\n"
        "[Debug]\nOptions=3a~\x01!\n");
    const Settings s = ReadSettings(ini, SettingsEnv{});
    EXPECT_EQ(s.pageStave, 100);
    EXPECT_EQ(s.pageWidth, 12000);
    // Margins that leave no page go back to their defaults.
    EXPECT_EQ(s.pageLeft, 500);
    EXPECT_EQ(s.pageRight, 500);
    EXPECT_EQ(s.defaultFont.size, 4);
    EXPECT_EQ(s.undo, 0);
    EXPECT_EQ(s.cursorType, 2);
    EXPECT_EQ(s.lineWidth, 0);
    EXPECT_EQ(s.curveDepth, 5);
    EXPECT_EQ(s.startPic, 11);
    EXPECT_EQ(s.language, 0);
    EXPECT_EQ(s.backupInterval, 0);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.temperament, 4);
    EXPECT_EQ(s.volume, 127);
    // Debug characters outside '0'..'~' are ignored; letters count in upper case.
    EXPECT_EQ(EncodeDebug(s.debug), "3A~");
    EXPECT_EQ(ReadSettings(IniFile::Parse("[Page]\nStave=2000\n"), {}).pageStave, 1000);
}

TEST(SettingsTest, SuppressedWarningsAndFavouritesUseTheirHexForms) {
    std::bitset<2000> set;
    for (int n : {7, 120, 1050})
        set.set(static_cast<std::size_t>(n));
    EXPECT_EQ(EncodeSuppressed(set).at(0), "00707841A");
    // Past 220 characters the list goes on in the next string.
    std::bitset<2000> many;
    for (int n = 0; n < 100; ++n)
        many.set(static_cast<std::size_t>(n * 3));
    const std::vector<std::string> parts = EncodeSuppressed(many);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].size(), 222u);
    std::bitset<2000> back;
    for (const std::string& p : parts)
        DecodeSuppressed(p, back);
    EXPECT_EQ(back, many);
    // Numbers past the set, and broken digits, are ignored.
    std::bitset<2000> odd;
    DecodeSuppressed("FFF7D0zz1007", odd);
    EXPECT_EQ(odd.count(), 1u);
    EXPECT_TRUE(odd.test(7));

    EXPECT_EQ(DecodeFavourites("014A80FF7F"), (std::vector<int>{1, 74, 127}));
    EXPECT_EQ(DecodeFavourites(std::string(60, '1')).size(), 20u);
    EXPECT_EQ(EncodeFavourites({1, 74, 127}), "014A7F");
}

TEST(SettingsTest, WritingAndReadingBackKeepsValuesAndTheFilesOwnKeys) {
    IniFile ini = IniFile::Parse("[Options]\nSomethingElse=kept\n[Debug]\nOptions=5\n");
    Settings s = ReadSettings(ini, SettingsEnv{});
    s.maximised = false;
    s.left = 12;
    s.fileDirectory = "/home/user/" + std::string(200, 'a');  // paths are never cut
    s.favourites[2].charset = 1;
    s.favourites[3].size = 0;  // writes nothing
    s.threeDot = false;
    s.suppressed.set(7);
    s.history = {"/a.swn", "/b.swn"};
    s.debug.reset();
    s.runs = 41;
    WriteSettings(s, ini);
    const std::string text = ini.Text();
    EXPECT_NE(text.find("SomethingElse=kept"), std::string::npos);
    EXPECT_EQ(text.find("[Debug]"), std::string::npos);  // no flags: no section
    EXPECT_EQ(text.find("Charset3"), std::string::npos);
    EXPECT_EQ(text.find("Name4"), std::string::npos);
    const Settings r = ReadSettings(IniFile::Parse(text), SettingsEnv{});
    EXPECT_FALSE(r.maximised);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.fileDirectory, s.fileDirectory);
    EXPECT_EQ(r.favourites[2].charset, 1);
    EXPECT_FALSE(r.threeDot);
    EXPECT_TRUE(r.suppressed.test(7));
    EXPECT_EQ(r.history, s.history);
    EXPECT_EQ(r.runs, 42);
    EXPECT_EQ(r.favourites[0].name, "Times New Roman");
}

TEST(SettingsTest, TheFileLivesInTheApplicationFolderUnlessItIsReadOnly) {
    ::setenv("STAFFWRIGHT_HOME", "/srv/sw", 1);
    EXPECT_EQ(ApplicationDirectory("/given"), "/given");
    EXPECT_EQ(ApplicationDirectory(""), "/srv/sw");
    ::unsetenv("STAFFWRIGHT_HOME");
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(ApplicationDirectory(""), "/data/staffwright");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SettingsPath("/opt/sw", true, "/home/u/.config/staffwright"), "/opt/sw/STAFWR5.INI");
    EXPECT_EQ(SettingsPath("/opt/sw/", false, "/home/u/.config/staffwright"),
              "/home/u/.config/staffwright/STAFWR5.INI");
}

}  // namespace
}  // namespace sw
