// The options window's values: loading, storing, the buttons that act at
// once, and the score tab.
#include "app/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/MainLogic.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

Settings Unusual() {
    Settings s;
    s.language = 0;
    s.level = 3, s.cursorType = 2, s.backups = false, s.autobackup = false;
    s.backupInterval = 35, s.scrollbars = true, s.ruler = true, s.scrollSpeed = 40;
    s.editingUnlocked = false, s.templates = false, s.cClef = false, s.threeDot = false;
    s.lineWidth = 4, s.curveDepth = 0, s.sound = 40, s.unitsInches = false;
    s.startPic = 5, s.toolbar = 0x2AAAAA, s.printer = "Laser", s.pageStave = 450;
    return s;
}

TEST(Options, EveryControlLoadsItsValueAndOkWithNothingChangedKeepsThem) {
    Settings s = Unusual();
    s.suppressed.set(7);
    const Settings before = s;
    Score score;
    score.Pulse = 5, score.Spacing = 2, score.Page1 = 12, score.naturalsInKeyChange = false;
    OptionsModel m(s, &score, false);
    const OptionValues& v = m.values;
    EXPECT_EQ(v.userLevel, 3);
    EXPECT_EQ(v.cursorType, 2);
    EXPECT_FALSE(v.backups || v.autobackup || v.unlocked || v.allClefs || v.threeDots || v.inches ||
                 v.american);
    EXPECT_EQ(v.backupMinutes, 35);
    EXPECT_TRUE(v.scrollbars && v.ruler && v.withoutTemplates);
    EXPECT_EQ(v.scrollSpeed, 40);
    EXPECT_EQ(v.lineWidth, 4);
    EXPECT_EQ(v.curveWidth, 0);
    EXPECT_EQ(v.sound, 40);
    EXPECT_EQ(v.startPic, 5);
    EXPECT_EQ(v.toolbar, 0x2AAAAA);
    EXPECT_EQ(v.printer, "Laser");
    EXPECT_DOUBLE_EQ(v.defaultStaveSize, 0.45);
    ASSERT_TRUE(v.score);
    EXPECT_EQ(v.score->pulse, 5);
    EXPECT_EQ(v.score->spacing, 2);
    EXPECT_EQ(v.score->firstPage, 12);
    EXPECT_FALSE(v.score->naturals);

    const std::optional<OptionsOutcome> out = m.accept();
    ASSERT_TRUE(out);
    EXPECT_FALSE(out->scoreAfter);
    EXPECT_FALSE(out->levelChanged || out->toolbarChanged || out->termsChanged);
    IniFile a, b;
    WriteSettings(before, a);
    WriteSettings(s, b);
    EXPECT_EQ(a.Text(), b.Text());
}

TEST(Options, EditedControlsReachTheirSettings) {
    Settings s = Unusual();
    OptionsModel m(s, nullptr, false);
    OptionValues& v = m.values;
    v.userLevel = 1, v.cursorType = 0, v.backups = true, v.autobackup = true;
    v.backupMinutes = 5, v.scrollbars = false, v.ruler = false, v.scrollSpeed = 90;
    v.unlocked = true, v.withoutTemplates = false, v.allClefs = true, v.threeDots = true;
    v.lineWidth = 0, v.curveWidth = 5, v.sound = 109, v.inches = true, v.american = true;
    v.startPic = 11, v.printer = "Ink", v.defaultStaveSize = 0.25;
    const std::optional<OptionsOutcome> out = m.accept();
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->levelChanged && out->cursorChanged && out->backupChanged &&
                out->termsChanged && out->unitsChanged && out->scrollbarsChanged);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.cursorType, 0);
    EXPECT_TRUE(s.backups && s.autobackup && s.editingUnlocked && s.templates && s.cClef &&
                s.threeDot && s.unitsInches);
    EXPECT_EQ(s.backupInterval, 5);
    EXPECT_EQ(s.scrollSpeed, 90);
    EXPECT_EQ(s.lineWidth, 0);
    EXPECT_EQ(s.curveDepth, 5);
    EXPECT_EQ(s.sound, 109);
    EXPECT_EQ(s.language, 1);
    EXPECT_EQ(s.startPic, 11);
    EXPECT_EQ(s.printer, "Ink");
    EXPECT_EQ(s.pageStave, 250);
}

TEST(Options, OutOfRangeValuesAreRefusedAndLoseNothing) {
    Settings s;
    OptionsModel m(s, nullptr, false);
    m.values.scrollSpeed = 4;
    m.values.lineWidth = 3;
    EXPECT_EQ(m.fault(), "Scroll speed must be from 5 to 90.");
    EXPECT_FALSE(m.accept());
    EXPECT_EQ(s.lineWidth, 1);
}

TEST(Options, CancelDiscardsWhileReinstatedWarningsStayReinstated) {
    Settings s;
    s.suppressed.set(12);
    WarningBox warnings;
    warnings.setSuppressed(12, true);
    {
        OptionsModel m(s, nullptr, false);
        m.values.userLevel = 4;
        m.reinstateWarnings(warnings);
    }  // closed without OK
    EXPECT_EQ(s.level, 1);
    EXPECT_TRUE(s.suppressed.none());
    EXPECT_FALSE(warnings.suppressed(12));
}

TEST(Options, BackupIntervalStepsGrowWithTheInterval) {
    EXPECT_EQ(BackupMinutesStep(1), 1);
    EXPECT_EQ(BackupMinutesStep(9), 1);
    EXPECT_EQ(BackupMinutesStep(10), 5);
    EXPECT_EQ(BackupMinutesStep(24), 5);
    EXPECT_EQ(BackupMinutesStep(25), 10);
    EXPECT_EQ(BackupMinutesStep(60), 10);
}

TEST(Options, AReadOnlyApplicationFolderWarnsAndKeepsAutomaticSave) {
    Settings s;
    s.autobackup = false;
    ScriptedHost host;
    host.expectMessage("readonly");
    OptionsModel m(s, nullptr, true);
    m.open(host);
    EXPECT_FALSE(m.automaticSaveAvailable());
    m.values.autobackup = true;
    ASSERT_TRUE(m.accept());
    EXPECT_FALSE(s.autobackup);
    EXPECT_HOST_CLEAN(host);
}

TEST(Options, StaveSizeAnswersAreFractionsInRangeOnly) {
    Settings s;
    Score score;
    ScriptedHost host;
    host.expectInput("fraction eg 1/3", "0.05")
        .expectMessage("Stave size is out of range.")
        .expectInput("fraction", "5")
        .expectMessage("Stave size is out of range.")
        .expectInput("fraction", "1/0")
        .expectMessage("Stave size is out of range.")
        .expectInput("fraction", "a third")
        .expectMessage("Bad number format")
        .expectInput("fraction", "1/3");
    OptionsModel m(s, &score, false);
    ASSERT_TRUE(m.askThisStaveSize(host));
    EXPECT_NEAR(m.values.score->staveSize, 1.0 / 3, 1e-9);
    host.expectInput("New stave height (mm):", std::nullopt);
    m.values.inches = false;
    EXPECT_FALSE(m.askStartupStaveSize(host));
    EXPECT_DOUBLE_EQ(m.values.defaultStaveSize, 0.3);
    host.expectInput("(mm)", "10");
    ASSERT_TRUE(m.askStartupStaveSize(host));
    EXPECT_NEAR(m.values.defaultStaveSize, 10 / 25.4, 1e-9);
    EXPECT_HOST_CLEAN(host);
}

TEST(Options, TheScoreTabNeedsADocumentAndItsNaturalsSetTheDefault) {
    Settings s;
    OptionsModel none(s, nullptr, false);
    EXPECT_FALSE(none.hasScoreTab());
    ScriptedHost host;
    EXPECT_FALSE(none.askThisStaveSize(host));

    Score score;
    OptionsModel m(s, &score, false);
    m.values.score->naturals = false;
    m.values.score->pulse = 4;
    const std::optional<OptionsOutcome> out = m.accept();
    ASSERT_TRUE(out && out->scoreAfter);
    EXPECT_FALSE(s.naturalsInKeyChange);
    EXPECT_EQ(out->scoreAfter->pulse, 4);
    EXPECT_EQ(score.Pulse, 3);  // the command applies it
}

TEST(Options, PulseNamesFollowTheChosenTerms) {
    EXPECT_EQ(PulseNames(false)[0], "Minim");
    EXPECT_EQ(PulseNames(false)[5], "Hemidemisemiquaver");
    EXPECT_EQ(PulseNames(true)[1], "Quarter note");
    Settings s;
    OptionsModel m(s, nullptr, false);
    m.values.american = true;
    EXPECT_EQ(m.pulseNames()[2], "Eighth note");
}

TEST(Options, EachToolbarBoxControlsTheBitOfItsButtons) {
    Settings s;
    OptionsModel m(s, nullptr, false);
    const auto& boxes = ToolbarBoxes();
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        EXPECT_EQ(std::string(boxes[i].component), "cb" + std::to_string(boxes[i].bit + 1));
        m.values.toolbar = 0x3FFFFF;
        m.setToolbarTicked(i, false);
        EXPECT_EQ(m.values.toolbar, 0x3FFFFF & ~(1 << boxes[i].bit)) << boxes[i].caption;
        EXPECT_FALSE(m.toolbarTicked(i));
    }
    EXPECT_STREQ(boxes[11].caption, "Undo");
    EXPECT_EQ(boxes[11].bit, 12);
    EXPECT_STREQ(boxes[12].caption, "Delete");
    EXPECT_EQ(boxes[12].bit, 11);
    m.setToolbarTicked(99, false);
    EXPECT_FALSE(m.toolbarTicked(-1));
}

class FakeFacts : public FolderFacts {
  public:
    bool local = true;
    std::optional<uint64_t> freeBytes(const std::string&) const override { return 1234567; }
    bool fixedLocal(const std::string&) const override { return local; }
    std::string mountPoint(const std::string&) const override { return "/mnt"; }
};

TEST(Options, FolderButtonsActAtOnceAndSayTheirFailures) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    ScriptedHost host;
    host.expectInput("Name of new folder", "songs");
    const std::optional<std::string> made = NewFolder(host, dir.path());
    ASSERT_TRUE(made);
    EXPECT_TRUE(fs::is_directory(*made));
    host.expectInput("Name of new folder", "songs").expectMessage("Unable to create folder");
    EXPECT_FALSE(NewFolder(host, dir.path()));
    host.expectInput("Name of new folder", "../out").expectMessage("Unable to create folder");
    EXPECT_FALSE(NewFolder(host, dir.path()));

    host.expectInput("New name", dir.file("tunes"));
    const std::optional<std::string> renamed = RenameFolder(host, *made);
    ASSERT_TRUE(renamed);
    EXPECT_TRUE(fs::is_directory(dir.file("tunes")) && !fs::exists(*made));
    fs::create_directory(dir.file("other"));
    host.expectInput("New name", dir.file("other")).expectMessage("Unable to rename folder");
    EXPECT_FALSE(RenameFolder(host, *renamed));

    std::ofstream(dir.file("tunes/a.swn")) << "x";
    host.expectMessage("emptied in Explorer first");
    EXPECT_FALSE(DeleteFolder(host, *renamed));
    EXPECT_TRUE(fs::exists(dir.file("tunes/a.swn")));
    fs::remove(dir.file("tunes/a.swn"));
    EXPECT_TRUE(DeleteFolder(host, *renamed));
    EXPECT_FALSE(fs::exists(*renamed));

    Settings s;
    s.midiDirectory = "/old";
    FakeFacts facts;
    facts.local = false;
    host.expectMessage("not a permanent hard drive", Answer::No)
        .expectMessage("Folder not changed.");
    EXPECT_FALSE(UseFolder(host, facts, dir.path(), SaveType::Sound, s));
    EXPECT_EQ(s.midiDirectory, "/old");
    host.expectMessage("not a permanent hard drive", Answer::Yes);
    EXPECT_TRUE(UseFolder(host, facts, dir.path(), SaveType::Sound, s));
    EXPECT_EQ(s.midiDirectory, dir.path());
    EXPECT_EQ(FreeSpaceText(facts, dir.path()), "1,234,567 bytes free on drive /mnt");
    EXPECT_HOST_CLEAN(host);
}

class FakeSystem : public SystemFacts {
  public:
    SystemInfo system() const override { return {"Linux (Debian)", 6, 1, "55", "#1 SMP", 42}; }
    ScreenInfo screens() const override { return {1920, 1080, monitors, 24}; }
    std::optional<std::string> engineVersion(const std::string&) const override { return version; }
    int monitors = 1;
    std::optional<std::string> version;
};

TEST(Options, SystemTabSaysWhatThePlatformAndTheEngineTell) {
    test::TempDir dir;
    FakeSystem system;
    OptionsPlatform p;
    p.system = &system;
    p.appDir = dir.path();
    p.program = "Staffwright 5, version 5.0.0";
    auto has = [](const std::vector<std::string>& lines, const std::string& want) {
        return std::find(lines.begin(), lines.end(), want) != lines.end();
    };
    std::vector<std::string> lines = SystemTabLines(p);
    for (const char* want :
         {"Linux (Debian)", "Version : 6.1", "Build number 55", "#1 SMP", "Using 42 Mb memory.",
          "Staffwright 5, version 5.0.0", "Veltro files not found.", "Resolution: 1920x1080"})
        EXPECT_TRUE(has(lines, want)) << want;
    EXPECT_FALSE(has(lines, "1 monitor system."));

    // An engine that gives no version, then one that does, with its learned file.
    p.engine = dir.file("veltro");
    std::ofstream(p.engine) << "x";
    EXPECT_TRUE(has(SystemTabLines(p), "Veltro: product information not available."));
    system.version = "veltro 1.0";
    system.monitors = 2;
    std::filesystem::create_directories(dir.file("VELTRO/LEARNED"));
    std::ofstream(dir.file("VELTRO/LEARNED/MUSIC")) << "x";
    std::filesystem::last_write_time(dir.file("VELTRO/LEARNED/MUSIC"),
                                     std::chrono::file_clock::now() - std::chrono::hours(24 * 400));
    lines = SystemTabLines(p);
    EXPECT_TRUE(has(lines, "Veltro version veltro 1.0"));
    EXPECT_TRUE(has(lines, "2 monitor system."));
    const auto learned = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("Veltro Learned file dated ", 0) == 0;
    });
    ASSERT_NE(learned, lines.end());
    // "d mmm yyyy": no leading zero, a three-letter month, four digits.
    const std::string date = learned->substr(26);
    EXPECT_NE(date[0], '0');
    EXPECT_EQ(date.size() - date.find(' '), 9u) << date;
}

TEST(Options, PrinterFiguresInInchesOrMillimetresAndBlankWithoutAPrinter) {
    PrintableArea a;
    a.pageHeight = 11.69, a.pageWidth = 8.27, a.left = 0.25, a.top = 0.2, a.right = 0.25;
    a.bottom = 0.5, a.dpiX = 600, a.dpiY = 300;
    PrinterFigures f = PrinterTabFigures(a, true);
    EXPECT_EQ(f.pageHeight, "11.690\"");
    EXPECT_EQ(f.top, "0.200\"");
    EXPECT_EQ(f.resolution, "Resolution: 600 x 300");
    EXPECT_EQ(f.units, "Units are inches");
    f = PrinterTabFigures(a, false);
    EXPECT_EQ(f.pageWidth, "210.06");
    EXPECT_EQ(f.bottom, "12.70");
    EXPECT_EQ(f.units, "Units are mm");
    f = PrinterTabFigures(std::nullopt, false);
    EXPECT_TRUE(f.pageHeight.empty() && f.left.empty() && f.resolution.empty());

    Settings s;
    s.runs = 1234567, s.printouts = 12;
    EXPECT_EQ(RunCountLine(s),
              "This program has been run 1,234,567 times and 12 printouts have been made.");
}

}  // namespace
}  // namespace sw
