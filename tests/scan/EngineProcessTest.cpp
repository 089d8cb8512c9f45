// The engine as the program runs it: where it is found, what it is told,
// what its lines mean, and a stop in the middle leaving nothing behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/Bmp1.h"
#include "scan/Engine.h"
#include "support/TestSupport.h"

extern char** environ;

namespace sw {
namespace {

void MakeProgram(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    ::chmod(path.c_str(), 0755);
}

TEST(Engine, TheApplicationFolderComesFirst) {
    test::TempDir dir;
    const std::string app = dir.file("app"), bin = dir.file("bin"),
                      built = dir.file("built/veltro");
    MakeProgram(built);
    EXPECT_EQ(FindRecognitionEngine(app, bin, built), built);
    MakeProgram(bin + "/veltro");
    EXPECT_EQ(FindRecognitionEngine(app, bin, built), bin + "/veltro");
    MakeProgram(app + "/VELTRO/veltro");
    EXPECT_EQ(FindRecognitionEngine(app, bin, built), app + "/VELTRO/veltro");
    ::chmod((app + "/VELTRO/veltro").c_str(), 0644);  // not a program
    EXPECT_EQ(FindRecognitionEngine(app, bin, built), bin + "/veltro");
    EXPECT_EQ(FindRecognitionEngine(dir.file("none"), dir.file("none"), ""), "");
}

TEST(Engine, ArgumentsAndLines) {
    EngineOptions o;
    o.dpi = 0;
    o.accents = true;
    const std::vector<std::string> args = EngineArguments("in.bmp", "out.mro", o);
    EXPECT_EQ(args,
              (std::vector<std::string>{"--input", "in.bmp", "--output", "out.mro", "--dpi", "300",
                                        "--old-symbols", "0", "--grace-notes", "1", "--thin-beams",
                                        "1", "--symmetric-heads", "0", "--accents", "1"}));
    EXPECT_EQ(ParseEngineLine("PROGRESS 0 45").kind, EngineLine::Progress);
    EXPECT_EQ(ParseEngineLine("PROGRESS 0 45").percent, 45);
    EXPECT_EQ(ParseEngineLine("PROGRESS 1 45").kind, EngineLine::Other);
    EXPECT_EQ(ParseEngineLine("PROGRESS 0 145").kind, EngineLine::Other);
    EXPECT_EQ(ParseEngineLine("DONE").kind, EngineLine::Done);
    EXPECT_EQ(ParseEngineLine("DONE?").kind, EngineLine::Other);
}

TEST(Engine, StoppedWhileWorkingLeavesNoResult) {
    test::TempDir dir;
    Mask page;
    page.width = 5000;
    page.height = 7000;
    page.ink.assign(static_cast<std::size_t>(page.width) * page.height, 0);
    for (int y = 1000; y < 6000; y += 40)
        for (int x = 100; x < 4900; ++x)
            page.ink[static_cast<std::size_t>(y * page.width + x)] = 1;
    std::ofstream(dir.file("big.bmp"), std::ios::binary) << EncodeBmp1(page, 300);
    const std::string result = dir.file("out.mro"), errors = dir.file("err.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{VELTRO_PROGRAM, "--input", dir.file("big.bmp"), "--output",
                                  result};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, VELTRO_PROGRAM, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::exists(result));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".part-"), std::string::npos) << entry.path();
    std::string line;
    std::getline(std::ifstream(errors), line);
    EXPECT_EQ(line, "veltro: stopped; no result written");
}

}  // namespace
}  // namespace sw
