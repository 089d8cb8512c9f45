// Every file the program writes goes through one checked, atomic write: at
// any failure (opening, a full disk after some bytes, flushing, closing,
// renaming) the old file stays, no temporary file is left, and the user is
// told once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/MainLogic.h"
#include "core/AtomicFile.h"
#include "core/ScriptedHost.h"
#include "editor/FileCommands.h"
#include "fileio/Dump.h"
#include "fileio/ScoreFile.h"
#include "model/Build.h"
#include "support/FailingIo.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class Writers : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int s = 1; s <= 3; ++s)
            AppendStave(score, 100 * s, 17, 600);
        PlaceNote(score, 1, 200, 0, 3);
        host.setPermissive(true);
    }
    // The writer's result, checking that a failure was said exactly once.
    bool Told(bool ok) {
        const std::size_t shown = host.messageTypes().size() - seen;
        seen = host.messageTypes().size();
        EXPECT_EQ(shown, ok ? 0u : 1u);
        return ok;
    }
    Score score;
    ScriptedHost host;
    std::size_t seen = 0;
    test::TempDir dir;
};

TEST_F(Writers, ScoresPartsTemplatesAndBackups) {
    const std::string target = dir.file("score.swn");
    test::ExpectFailuresLeaveNoTrace(dir.path(), target, [&](FileIo& io) {
        FileEnv env;
        env.io = &io;
        return Told(SaveScore(score, target, 0, score.Nstaves, false, false, host, env) ==
                    SaveResult::Saved);
    });
    test::ExpectFailuresLeaveNoTrace(dir.path(), target, [&](FileIo& io) {
        FileEnv env;
        env.io = &io;
        return Told(SavePartOfScore(score, 1, 1, target, host, env) == SaveResult::Saved);
    });
    const std::string backup = dir.file("AutoSave.SWN");
    std::filesystem::remove(target);
    test::ExpectFailuresLeaveNoTrace(dir.path(), backup, [&](FileIo& io) {
        FileEnv env;
        env.io = &io;
        return Told(SaveScore(score, backup, 0, score.Nstaves, false, false, host, env) ==
                    SaveResult::Saved);
    });
}

TEST_F(Writers, SettingsAndTheDump) {
    const std::string ini = dir.file("STAFWR5.INI");
    test::ExpectFailuresLeaveNoTrace(dir.path(), ini, [&](FileIo& io) {
        IniFile file;
        return SaveSettingsFile(Settings{}, file, ini, io);
    });
    std::filesystem::remove(ini);
    // The dump reads a score from another folder.
    test::TempDir scores;
    const std::string in = scores.file("in.swn");
    ASSERT_EQ(SaveScore(score, in, 0, score.Nstaves, false, false, host), SaveResult::Saved);
    const std::string out = dir.file("in.DMP");
    test::ExpectFailuresLeaveNoTrace(
        dir.path(), out, [&](FileIo& io) { return Told(DumpScoreFile(in, out, host, io)); });
}

TEST(AtomicFile, MessagesKeepsPermissionsCancelsAndSweepsDeadTemporaries) {
    EXPECT_EQ(WriteErrorText(ENOSPC, true), WriteErrorText(ENOSPC, false));
    EXPECT_NE(WriteErrorText(ENOSPC, false).find("Disk Full"), std::string::npos);
    EXPECT_NE(WriteErrorText(EACCES, false), WriteErrorText(EACCES, true));

    test::TempDir dir;
    const std::string target = dir.file("x.swn");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(WriteFileAtomically(target, "new"), 0);
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A stop asked for by the progress leaves the old bytes.
    const std::string big(300000, 'b');
    EXPECT_EQ(
        WriteFileAtomically(target, big, SystemFileIo(), [](int percent) { return percent < 50; }),
        ECANCELED);
    EXPECT_EQ(test::FileText(target), "new");
    EXPECT_EQ(test::FilesIn(dir.path()), 1);

    // A killed save's temporary file goes with the next save of the same
    // target; a running process's (our own, the first process's) stays.
    const std::string dead = target + ".saving-2147483000-0";
    const std::string alive = target + ".saving-1-0";
    const std::string mine = target + ".saving-" + std::to_string(::getpid()) + "-7";
    const std::string other = dir.file("y.swn.saving-2147483000-0");
    for (const std::string& f : {dead, alive, mine, other})
        std::ofstream(f) << "partial";
    ASSERT_EQ(WriteFileAtomically(target, "newer"), 0);
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(alive));
    EXPECT_TRUE(std::filesystem::exists(mine));
    EXPECT_TRUE(std::filesystem::exists(other));
    // A directory is never written over.
    EXPECT_EQ(WriteFileAtomically(dir.path(), "x"), EISDIR);
}

}  // namespace
}  // namespace sw
