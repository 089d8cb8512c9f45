// File calls that fail where a test says: at opening, after N bytes, on
// flushing, closing or renaming, the way a full disk or a pulled drive would.
// `ExpectFailuresLeaveNoTrace` runs a writer through every such failure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "core/AtomicFile.h"

namespace sw::test {

class FailingIo : public FileIo {
  public:
    enum class Stage { None, Open, Write, Fsync, Close, Rename };
    Stage stage = Stage::None;
    std::size_t afterBytes = 0;  // for Write: how many bytes go through first
    int error = ENOSPC;

    int open(const std::string& path, int flags, int mode) override {
        if (stage == Stage::Open) return fail();
        written_ = 0;
        return FileIo::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, std::size_t n) override {
        if (stage == Stage::Write) {
            if (written_ >= afterBytes) return fail();
            n = std::min(n, afterBytes - written_);
        }
        const ssize_t w = FileIo::write(fd, data, n);
        if (w > 0) written_ += static_cast<std::size_t>(w);
        return w;
    }
    int fsync(int fd) override { return stage == Stage::Fsync ? fail() : FileIo::fsync(fd); }
    int close(int fd) override {
        // The descriptor goes either way; the error is what a deferred write reports.
        const int r = FileIo::close(fd);
        return stage == Stage::Close ? fail() : r;
    }
    int rename(const std::string& from, const std::string& to) override {
        return stage == Stage::Rename ? fail() : FileIo::rename(from, to);
    }

  private:
    int fail() {
        errno = error;
        return -1;
    }
    std::size_t written_ = 0;
};

inline std::string FileText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline int FilesIn(const std::string& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

// `write` writes `target` (in the empty folder `dir`) through the io it is
// given and says whether it succeeded. At every failure the target keeps its
// old bytes (or does not exist) and no other file is left; without a failure
// it is replaced.
inline void ExpectFailuresLeaveNoTrace(const std::string& dir, const std::string& target,
                                       const std::function<bool(FileIo&)>& write) {
    using Stage = FailingIo::Stage;
    const struct {
        Stage stage;
        std::size_t bytes;
        const char* name;
    } cases[] = {{Stage::Open, 0, "open"},      {Stage::Write, 0, "first write"},
                 {Stage::Write, 30, "byte 30"}, {Stage::Fsync, 0, "flush"},
                 {Stage::Close, 0, "close"},    {Stage::Rename, 0, "rename"}};
    for (const bool hadOld : {true, false}) {
        for (const auto& c : cases) {
            std::filesystem::remove(target);
            if (hadOld) std::ofstream(target, std::ios::binary) << "the old file";
            FailingIo io;
            io.stage = c.stage;
            io.afterBytes = c.bytes;
            EXPECT_FALSE(write(io)) << c.name;
            if (hadOld)
                EXPECT_EQ(FileText(target), "the old file") << c.name;
            else
                EXPECT_FALSE(std::filesystem::exists(target)) << c.name;
            EXPECT_EQ(FilesIn(dir), hadOld ? 1 : 0) << c.name << ": a temporary file was left";
        }
    }
    FailingIo fine;
    EXPECT_TRUE(write(fine));
    EXPECT_NE(FileText(target), "the old file");
    EXPECT_EQ(FilesIn(dir), 1);
}

}  // namespace sw::test
