// Times opening the large score (10000 staves, 44 MB) and its peak memory,
// then a whole-score snapshot and its restore, and the undo history's
// whole-score group and its undo, on that score.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "LargeScore.h"
#include "editor/Undo.h"
#include "model/ScoreSnapshot.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// Wall clock and the process's processor time (user and system): on a
// machine shared with other work the second says what the code costs.
struct Timing {
    double wall = 1e9, cpu = 1e9;
    // Keeps the faster of this and the run that began at (t, cpu0).
    void best(Clock::time_point t, double cpu0) {
        const double w = std::chrono::duration<double>(Clock::now() - t).count();
        if (w < wall) {
            wall = w;
            cpu = CpuSeconds() - cpu0;
        }
    }
};

double PeakMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// The file is written by a child process, so that the score built for it
// does not count in this process's peak memory.
bool WriteLargeFile(const std::string& path, int staves) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        ScriptedHost host;
        host.setPermissive(true);
        Score score = bench::BuildLargeScore(staves);
        const bool saved =
            SaveScore(score, path, 0, score.Nstaves, false, false, host) == SaveResult::Saved;
        _exit(saved ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int staves = argc > 1 ? std::atoi(argv[1]) : kMaxStaves;
    const std::string dir = std::filesystem::temp_directory_path() / "staffwright-bench";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/open-large.swn";
    if (!WriteLargeFile(path, staves)) {
        std::fprintf(stderr, "bench_open: the large score could not be written\n");
        return 1;
    }
    const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    ScriptedHost host;
    host.setPermissive(true);

    const double before = PeakMb();
    double opened = 0;
    Timing first, load;
    Score score;
    for (int run = 0; run < 3; ++run) {
        Score loaded;
        const auto t = Clock::now();
        const double cpu = CpuSeconds();
        const LoadResult lr = LoadScore(loaded, path, false, host);
        load.best(t, cpu);
        if (!lr.ok || lr.badRecords != 0 || loaded.Nstaves != staves) {
            std::fprintf(stderr, "bench_open: the large score did not load\n");
            return 1;
        }
        if (run == 0) {
            first = load;
            opened = PeakMb();
            score = std::move(loaded);
        }
    }
    std::printf(
        "open:  %d staves, file %.1f MB: first %.3f s, best of 3 %.3f s (cpu %.3f s)   "
        "target <= 0.15 s\n",
        staves, mb, first.wall, load.wall, load.cpu);
    std::printf("peak memory: %.0f MB (process before loading %.0f MB)\n", opened, before);

    // A whole-score snapshot, every stave changed, then put back; best of 3.
    Timing saveAll, restore;
    for (int run = 0; run < 3; ++run) {
        ScoreSnapshot snapshot;
        auto t = Clock::now();
        double cpu = CpuSeconds();
        snapshot.saveAll(score);
        saveAll.best(t, cpu);
        for (int s = 1; s <= score.Nstaves; ++s)
            score.stave(s).h.Ycoord += 7;
        score.removeStave(score.Nstaves);
        t = Clock::now();
        cpu = CpuSeconds();
        snapshot.restore(score);
        restore.best(t, cpu);
        if (score.Nstaves != staves || score.stave(1).h.Ycoord != 100 + 120) {
            std::fprintf(stderr, "bench_open: the snapshot did not put the score back\n");
            return 1;
        }
    }
    std::printf(
        "snapshot: whole score %.3f s (cpu %.3f s), restore %.3f s (cpu %.3f s), best of 3"
        "   target <= 0.1 s each\n",
        saveAll.wall, saveAll.cpu, restore.wall, restore.cpu);

    // The undo history's record of every stave, as a whole-score command
    // writes it, and the Undo that reads it back; best of 3.
    int32_t cursorX = 0;
    bool modified = false;
    UndoDocument doc{score, cursorX, modified};
    UndoRing ring(std::make_unique<FileUndoStorage>());
    ring.setDepth(100);
    ring.open(host);
    WarningBox warnings;
    Timing group, undo;
    for (int run = 0; run < 3; ++run) {
        auto t = Clock::now();
        double cpu = CpuSeconds();
        const bool saved = ring.saveStaveGroup(doc, 1, score.Nstaves, kUndoGroup, host);
        group.best(t, cpu);
        for (int s = 1; s <= score.Nstaves; ++s)
            score.stave(s).h.Ycoord += 7;
        t = Clock::now();
        cpu = CpuSeconds();
        const UndoRing::Result undone = ring.undoOne(doc, host, warnings);
        undo.best(t, cpu);
        if (!saved || !undone.undone || score.stave(1).h.Ycoord != 100 + 120) {
            std::fprintf(stderr, "bench_open: the undo history did not put the score back\n");
            return 1;
        }
    }
    ring.close();
    std::printf(
        "undo history: whole-score group %.3f s (cpu %.3f s), undoing it %.3f s (cpu %.3f "
        "s), best of 3\n",
        group.wall, group.cpu, undo.wall, undo.cpu);
    std::filesystem::remove(path);
    return 0;
}
