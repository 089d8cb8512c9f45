// The main window's logic: the history list, one score at a time, start-up
// with a command line and a backup to recover, the backup timer's decision,
// the background picture and the default stave size question.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "app/MainLogic.h"
#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "model/Build.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class MainLogic : public ::testing::Test {
  protected:
    // A small valid score file in the scratch folder.
    std::string Score(const std::string& name) {
        sw::Score score;
        AppendStave(score, 100, 0, 700);
        PlaceNote(score, 1, 50, 0, 3);
        const std::string path = dir.file(name);
        EXPECT_EQ(SaveScore(score, path, 0, score.Nstaves, false, false, host), SaveResult::Saved);
        return path;
    }
    OpenDocument Opener(bool succeed = true) {
        return [this, succeed](const std::string& path, bool recovering) {
            opened.push_back(path + (recovering ? " (recovering)" : ""));
            return succeed;
        };
    }

    test::TempDir dir;
    Settings settings;
    AppState app{settings};
    ScriptedHost host;
    std::vector<std::string> opened;
};

TEST_F(MainLogic, HistoryKeepsNineMostRecentFirstWithoutDuplicates) {
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i)
        names.push_back(Score(std::string("s").append(std::to_string(i)).append(".swn")));
    for (const std::string& n : names)
        AddToHistory(app, n);
    ASSERT_EQ(settings.history.size(), 9u);
    EXPECT_EQ(settings.history.front(), names[9]);
    EXPECT_EQ(settings.history.back(), names[1]);
    EXPECT_EQ(app.currentFile, names[9]);
    EXPECT_EQ(settings.fileDirectory, dir.path() + "/");

    const std::vector<std::string> before = settings.history;
    AddToHistory(app, names[9]);
    EXPECT_EQ(settings.history, before);
    AddToHistory(app, names[5]);  // the fifth entry moves to the top
    EXPECT_EQ(settings.history.front(), names[5]);
    EXPECT_EQ(settings.history[4], names[6]);
    EXPECT_EQ(settings.history.size(), 9u);
    // Another spelling of the same file is the same entry.
    AddToHistory(app, dir.path() + "/./../" +
                          std::filesystem::path(dir.path()).filename().string() + "/s7.swn");
    EXPECT_EQ(settings.history.front(), names[7]);
    EXPECT_EQ(settings.history.size(), 9u);
    // Names differing in case are different files here.
    AddToHistory(app, dir.file("S7.swn"));
    EXPECT_EQ(settings.history[1], names[7]);

    const std::vector<std::string> captions = HistoryMenuCaptions(settings.history);
    EXPECT_EQ(captions[1], "&2 " + names[7]);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, CheckingAndClearingTheHistory) {
    host.expectMessage("There are no files in the history list.");
    CheckHistoryList(app, host);
    host.expectMessage("There are no files in the history list.");
    DeleteHistoryList(app, host);

    const std::string a = Score("a.swn"), b = Score("b.swn"), c = Score("c.swn");
    for (const std::string& f : {a, b, c})
        AddToHistory(app, f);
    host.expectMessage("All files on the history list are still available.");
    CheckHistoryList(app, host);
    std::filesystem::remove(a);
    std::filesystem::remove(c);
    host.expectMessage("moved or deleted:\n\n" + c + "\n" + a + "\n\nShall I delete", Answer::No);
    CheckHistoryList(app, host);
    EXPECT_EQ(settings.history.size(), 3u);
    host.expectMessage("moved or deleted", Answer::Yes);
    CheckHistoryList(app, host);
    EXPECT_EQ(settings.history, std::vector<std::string>{b});

    host.expectWarning("Are you sure you want to clear all the history list?", Answer::Cancel);
    DeleteHistoryList(app, host);
    EXPECT_EQ(settings.history.size(), 1u);
    app.warnings.setUserLevel(3);  // no question at level 3
    DeleteHistoryList(app, host);
    EXPECT_TRUE(settings.history.empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, OneScoreAtATimeAndMissingHistoryFiles) {
    const std::string a = Score("a.swn");
    AddToHistory(app, dir.file("gone.swn"));
    AddToHistory(app, a);
    EXPECT_TRUE(OpenHistoryEntry(app, 1, host, Opener()));
    EXPECT_TRUE(app.documentOpen);
    host.expectWarning("Please close the current score before opening another one.");
    EXPECT_FALSE(OpenHistoryEntry(app, 1, host, Opener()));
    app.documentOpen = false;
    host.expectMessage("File cannot be found: " + dir.file("gone.swn") +
                       "\n\nI suggest you do a File, Check History List");
    EXPECT_FALSE(OpenHistoryEntry(app, 2, host, Opener()));
    EXPECT_FALSE(OpenHistoryEntry(app, 9, host, Opener()));  // no such entry
    EXPECT_FALSE(OpenHistoryEntry(app, 0, host, Opener()));
    EXPECT_EQ(opened, std::vector<std::string>{a});
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, AHistoryEntryFollowsItsScoreWhenTheExtensionChangedCase) {
    const std::string a = Score("a.swn");
    settings.history = {dir.file("a.SWN")};
    host.expectMessage("All files on the history list are still available.");
    CheckHistoryList(app, host);
    EXPECT_EQ(settings.history, std::vector<std::string>{a});
    settings.history = {dir.file("a.SWN")};
    EXPECT_TRUE(OpenHistoryEntry(app, 1, host, Opener()));
    EXPECT_EQ(opened, std::vector<std::string>{a});
    EXPECT_EQ(settings.history, std::vector<std::string>{a});
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, StartupAsksAboutTheBackupBeforeOpeningTheCommandLine) {
    app.appDir = dir.path();
    settings.runs = 10;
    const std::string a = Score("my score.swn");
    const std::string backup = Score(kAutoSaveName);

    // Yes: the backup is opened as modified; the command line's file waits
    // at the top of the history, and the user is told so.
    host.expectMessage("Backup files exist!", Answer::Yes);
    host.expectMessage(a + " has not been opened");
    EXPECT_EQ(FirstShown(app, {dir.file("my"), "score.swn"}, host, Opener()),
              StartupOutcome::Recovered);
    EXPECT_EQ(opened, std::vector<std::string>{backup + " (recovering)"});
    EXPECT_EQ(settings.history.front(), a);
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, StartupKeepsABackupThatFailsToLoadAndDeletesOnNo) {
    app.appDir = dir.path();
    settings.runs = 10;
    const std::string a = Score("a.swn");
    const std::string backup = Score(kAutoSaveName);
    host.expectMessage("Backup files exist!", Answer::Yes);
    EXPECT_EQ(FirstShown(app, {a}, host,
                         [&](const std::string& p, bool recovering) {
                             opened.push_back(p);
                             return !recovering;  // the backup will not load; the command line will
                         }),
              StartupOutcome::OpenedCommandLine);
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_EQ(opened.back(), a);
    EXPECT_EQ(settings.history.front(), a);

    app.documentOpen = false;
    host.expectMessage("Backup files exist!", Answer::No);
    EXPECT_EQ(FirstShown(app, {}, host, Opener()), StartupOutcome::Nothing);
    EXPECT_FALSE(std::filesystem::exists(backup));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, TheMostRecentFileReopensAndAnUnansweredRecoveryKeepsTheBackup) {
    const std::string a = Score("a.swn");
    settings.history = {a};  // as read from the settings at start
    EXPECT_TRUE(OpenHistoryEntry(app, 1, host, Opener()));
    EXPECT_EQ(opened, std::vector<std::string>{a});

    EXPECT_HOST_CLEAN(host);
}

// The automatic backup is the only copy of unsaved work after a crash: only
// an explicit No deletes it, and a recovered one lasts until its score is safe.
class BackupRecovery : public MainLogic {
  protected:
    void SetUp() override {
        app.appDir = dir.path();
        settings.runs = 10;
        backup = Score(kAutoSaveName);
    }
    bool BackupExists() const { return std::filesystem::exists(backup); }
    std::string backup;
};

TEST_F(BackupRecovery, EscapeClosingTheBoxAndHelpKeepIt) {
    // Help explains and asks again; Escape and the title bar's close answer
    // nothing at all, which keeps the backup for the next start.
    host.expectMessage("Backup files exist!", Answer::Help);
    host.expectMessage("keeps an automatic backup");
    host.expectMessage("Backup files exist!", Answer::Cancel);
    host.expectMessage("you will be asked about it again");
    EXPECT_EQ(FirstShown(app, {}, host, Opener()), StartupOutcome::Nothing);
    EXPECT_TRUE(BackupExists());
    EXPECT_TRUE(opened.empty());

    // Another score opened and closed in this run neither writes over the
    // kept backup nor deletes it.
    const std::string other = Score("other.swn");
    ASSERT_TRUE(OpenNamedFile(app, other, host, Opener()));
    EditorIdleState idle;
    idle.modified = true;
    EXPECT_EQ(BackupDecision(app, idle), BackupAction::Nothing);
    EXPECT_FALSE(BackupTimerEnabled(app));
    DocumentSaved(app, false);
    DocumentClosed(app);
    EXPECT_TRUE(BackupExists());

    // The next start asks again; No is the only answer that deletes.
    AppState next(settings);
    next.appDir = dir.path();
    host.expectMessage("Backup files exist!", Answer::No);
    FirstShown(next, {}, host, Opener());
    EXPECT_FALSE(BackupExists());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BackupRecovery, ARecoveredBackupOutlivesACrashUntilItsScoreIsSaved) {
    host.expectMessage("Backup files exist!", Answer::Yes);
    EXPECT_EQ(FirstShown(app, {}, host, Opener()), StartupOutcome::Recovered);
    // The program killed here leaves the backup for the next start.
    EXPECT_TRUE(BackupExists());
    EXPECT_TRUE(BackupTimerEnabled(app));
    DocumentSaved(app, true);  // still modified: the save did not happen
    EXPECT_TRUE(BackupExists());
    DocumentSaved(app, false);
    EXPECT_FALSE(BackupExists());

    // From then on the score's backup is an ordinary one, gone when it closes.
    backup = Score(kAutoSaveName);
    DocumentClosed(app);
    EXPECT_FALSE(BackupExists());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BackupRecovery, ARecoveredScoreClosedUnsavedTakesItsBackupWithIt) {
    host.expectMessage("Backup files exist!", Answer::Yes);
    FirstShown(app, {}, host, Opener());
    DocumentClosed(app);
    EXPECT_FALSE(BackupExists());
    EXPECT_FALSE(app.documentOpen);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BackupRecovery, AReadOnlyFolderIsReadAndTheUserToldOnce) {
    app.readOnly = true;
    app.ownsBackup = false;  // as the program starts from a read-only folder
    app.settingsPath = dir.file("cfg/STAFWR5.INI");
    host.expectMessage(dir.path() + "\n\nAutomatic backup is off");
    FirstShown(app, {}, host, Opener());
    EXPECT_TRUE(settings.readOnlyNoted);
    FirstShown(app, {}, host, Opener());  // not again
    EXPECT_TRUE(BackupExists());          // not ours to offer or delete
    EXPECT_HOST_CLEAN(host);

    // The folder's own settings are read until the user has some elsewhere.
    AppFolder f{dir.path(), true, dir.file("cfg/STAFWR5.INI"), ""};
    EXPECT_EQ(SettingsReadPath(f), f.settingsPath);  // none in the folder either
    test::WriteBytes(dir.file("STAFWR5.INI"), {'[', 'U', ']', '\n'});
    EXPECT_EQ(SettingsReadPath(f), dir.file("STAFWR5.INI"));
    std::filesystem::create_directories(dir.file("cfg"));
    test::WriteBytes(f.settingsPath, {'[', 'U', ']', '\n'});
    EXPECT_EQ(SettingsReadPath(f), f.settingsPath);
    f.readOnly = false;
    EXPECT_EQ(SettingsReadPath(f), f.settingsPath);
}

TEST_F(MainLogic, StartupCommandLineAndFirstRunHint) {
    host.expectMessage("why not run the tutorial?");
    host.expectMessage("File cannot be found");
    EXPECT_EQ(FirstShown(app, {dir.file("missing.swn")}, host, Opener()), StartupOutcome::Nothing);
    EXPECT_FALSE(app.documentOpen);
    EXPECT_TRUE(opened.empty());
    settings.level = 2;  // no hint beyond the beginner's level
    EXPECT_EQ(FirstShown(app, {}, host, Opener()), StartupOutcome::Nothing);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(MainLogic, BackupTimerDecision) {
    EditorIdleState idle;
    idle.modified = true;
    EXPECT_EQ(BackupDecision(app, idle), BackupAction::Nothing);  // no document
    app.documentOpen = true;
    EXPECT_EQ(BackupDecision(app, idle), BackupAction::Save);
    EditorIdleState e = idle;
    e.modified = false;
    EXPECT_EQ(BackupDecision(app, e), BackupAction::RetrySoon);
    for (bool EditorIdleState::*busy :
         {&EditorIdleState::focusObject, &EditorIdleState::provisionalObject,
          &EditorIdleState::keyboardSelection}) {
        e = idle;
        e.*busy = true;
        EXPECT_EQ(BackupDecision(app, e), BackupAction::RetrySoon);
    }
    e = idle;
    e.musicMode = false;
    EXPECT_EQ(BackupDecision(app, e), BackupAction::RetrySoon);
    app.readOnly = true;
    EXPECT_EQ(BackupDecision(app, idle), BackupAction::Nothing);
    EXPECT_FALSE(BackupTimerEnabled(app));

    settings.backupInterval = 0;
    EXPECT_EQ(BackupIntervalMs(settings), 5000);
    settings.backupInterval = 10;
    EXPECT_EQ(BackupIntervalMs(settings), 600000);
    settings.backupInterval = -3;
    EXPECT_EQ(BackupIntervalMs(settings), 5000);
}

TEST_F(MainLogic, ApplicationFolderIsSeededAndAReadOnlyOneMovesTheSettings) {
    namespace fs = std::filesystem;
    const std::string share = dir.file("share"), home = dir.file("home"), config = dir.file("cfg");
    fs::create_directories(share + "/TEMPLATE");
    test::WriteBytes(share + "/TEMPLATE/Quartet.SWN", {1, 2, 3});
    test::WriteBytes(share + "/readme.txt", {4});
    fs::create_directories(home);
    test::WriteBytes(home + "/readme.txt", {9});  // the user's own copy stays

    AppFolder f = PrepareApplicationFolder(home, share, config);
    EXPECT_FALSE(f.readOnly);
    EXPECT_EQ(f.settingsPath, home + "/STAFWR5.INI");
    EXPECT_EQ(test::ReadBytes(home + "/TEMPLATE/Quartet.SWN"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(test::ReadBytes(home + "/readme.txt"), std::vector<uint8_t>{9});
    EXPECT_FALSE(fs::exists(home + "/Test0123.dmp"));

    // Settings survive a round trip through the file, unknown keys included.
    settings.level = 3;
    settings.history = {"/a.swn"};
    IniFile ini = IniFile::Parse("[Mine]\nKeep=1\n");
    ASSERT_TRUE(SaveSettingsFile(settings, ini, f.settingsPath));
    IniFile again;
    const Settings read = LoadSettingsFile(f.settingsPath, SettingsEnv{}, again);
    EXPECT_EQ(read.level, 3);
    EXPECT_EQ(read.history, settings.history);
    EXPECT_EQ(again.Get("Mine", "Keep"), "1");
    IniFile none;
    EXPECT_EQ(LoadSettingsFile(dir.file("absent.ini"), SettingsEnv{}, none).level, 1);

    // Root writes into any folder whatever its permissions; /proc takes no
    // files from anyone.
    const bool root = geteuid() == 0;
    const std::string locked = root ? "/proc" : home;
    if (!root) fs::permissions(home, fs::perms::owner_write, fs::perm_options::remove);
    f = PrepareApplicationFolder(locked, "", config);
    if (!root) fs::permissions(home, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(f.readOnly);
    EXPECT_EQ(f.settingsPath, config + "/STAFWR5.INI");
    app.readOnly = f.readOnly;
    EXPECT_FALSE(BackupTimerEnabled(app));
}

TEST(DefaultPage, ThousandthsOfAnInchBothWays) {
    Settings s;
    PageData p = DefaultPageData(s);
    EXPECT_DOUBLE_EQ(p.Width, 8.27);
    p.LeftM = 0.5906;  // 15 mm
    p.landscape = true;
    StoreDefaultPageData(s, p);
    EXPECT_EQ(s.pageLeft, 591);
    EXPECT_TRUE(s.pageLandscape);
    s.pageStave = 5000;  // a damaged setting
    EXPECT_DOUBLE_EQ(DefaultStaveSize(s), 1.0);
}

TEST(Background, PictureByStartPicRunsAndScreen) {
    EXPECT_EQ(ChooseBackground(11, 13, 0, true).picture, 4);
    EXPECT_EQ(ChooseBackground(11, 13, 0, true).file, "REEDS0.BMP");
    EXPECT_EQ(ChooseBackground(2, 0, 0, false).file, "SCORE2.BMP");
    EXPECT_EQ(ChooseBackground(10, 0, 7, true).file, "TROMBON0.BMP");
    const BackgroundChoice logo = ChooseBackground(9, 0, 0, true);
    EXPECT_TRUE(logo.tiled);
    EXPECT_EQ(logo.file, "LOGO.BMP");
    EXPECT_EQ(logo.green, 112);
    EXPECT_EQ(ChooseBackground(57, 0, 0, true).picture, 0);  // a damaged setting
}

TEST(DefaultStaveSize, AsksUntilTheAnswerIsInRange) {
    ScriptedHost host;
    host.expectInput("New stave height (\") or fraction eg 1/3:", std::string("big"));
    host.expectMessage("Bad number format. Please try again.");
    host.expectInput("New stave height", std::string("0.05"));
    host.expectMessage("Stave size is out of range.");
    host.expectInput("New stave height", std::string("1/3"));
    EXPECT_NEAR(*AskDefaultStaveSize(host, 0.3, false), 0.3333, 1e-4);
    host.expectInput("New stave height (mm):", std::nullopt);
    EXPECT_FALSE(AskDefaultStaveSize(host, 0.3, true));
    host.expectInput("New stave height (mm):", std::string("7.62"));
    EXPECT_NEAR(*AskDefaultStaveSize(host, 0.3, true), 0.3, 1e-9);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
