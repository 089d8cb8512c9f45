// Times saving, loading and tidying a large score: 10000 staves of 200 mixed
// objects each. Prints each phase's time and the file's throughput.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "LargeScore.h"
#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int staves = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::string dir = std::filesystem::temp_directory_path() / "staffwright-bench";
    std::filesystem::create_directories(dir);
    std::string path = dir + "/large.swn";

    ScriptedHost host;
    host.setPermissive(true);
    auto t0 = Clock::now();
    Score score = bench::BuildLargeScore(staves);
    auto t1 = Clock::now();

    SaveResult saved = SaveScore(score, path, 0, score.Nstaves, false, false, host);
    auto t2 = Clock::now();
    Score loaded;
    LoadResult lr = LoadScore(loaded, path, false, host);
    auto t3 = Clock::now();
    for (int s = 1; s <= loaded.Nstaves; ++s)
        TidyStave(loaded, s, true);
    auto t4 = Clock::now();

    if (saved != SaveResult::Saved || !lr.ok || lr.badRecords != 0) {
        std::fprintf(stderr, "bench_scorefile: the round trip failed\n");
        return 1;
    }
    double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    long objects = 0;
    for (int s = 1; s <= loaded.Nstaves; ++s)
        objects += loaded.stave(s).h.Nobjec;
    std::printf("score: %d staves, %ld objects, file %.1f MB (built in %.3f s)\n", staves, objects,
                mb, Seconds(t0, t1));
    std::printf("save:  %.3f s  (%.0f MB/s)   target < 0.3 s\n", Seconds(t1, t2),
                mb / Seconds(t1, t2));
    std::printf("load:  %.3f s  (%.0f MB/s)   target < 0.3 s\n", Seconds(t2, t3),
                mb / Seconds(t2, t3));
    std::printf("tidy:  %.3f s  (all staves)  target < 0.3 s\n", Seconds(t3, t4));
    std::filesystem::remove(path);
    return 0;
}
