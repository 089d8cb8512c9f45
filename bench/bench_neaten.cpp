// Times neatening every system of the 1000-bar, 8-stave score in process,
// each system's time table included, and then "Neaten whole score" as a
// user's script runs it: `staffwright-cli script` as a child process.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "CliRun.h"
#include "Orchestra.h"
#include "editor/commands/SpacingCommands.h"
#include "layout/Pagination.h"
#include "render/QtEnvironment.h"

int main(int argc, char** argv) {
    using namespace sw;
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);

    Score score = bench::BuildOrchestra(1000, 8);
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    PrepareForDisplay(score, host, measurer);
    const auto start = std::chrono::steady_clock::now();
    const int done = NeatenSystems(score, host, 1, score.Nstaves, 0.5);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (done != SystemCount(score)) {
        std::fprintf(stderr, "bench_neaten: %d of %d systems neatened\n", done, SystemCount(score));
        return 1;
    }
    std::printf(
        "neaten every system in process: 1000 bars x 8 staves, %d systems, %.3f s   "
        "target <= 0.5 s\n",
        done, seconds);

    const auto dir = std::filesystem::temp_directory_path() / "staffwright-bench-neaten";
    std::filesystem::create_directories(dir / "app");
    const std::string swn = (dir / "full.swn").string(), out = (dir / "out.swn").string();
    const std::string script = (dir / "neaten.txt").string();
    if (!bench::SaveOrchestra(swn)) {
        std::fprintf(stderr, "bench_neaten: cannot write %s\n", swn.c_str());
        return 1;
    }
    std::ofstream(script) << "answer OK\nkey Ctrl+F6\n";
    const bench::CliRun run =
        bench::TimeCli(SW_CLI_PATH, "script " + bench::Quoted(swn) + " " + bench::Quoted(script) +
                                        " -o " + bench::Quoted(out) + " --appdir " +
                                        bench::Quoted((dir / "app").string()) + " 2>/dev/null");
    auto bytes = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    // The run must have neatened something: the file it saved is not the one it read.
    const bool ok = run.status == 0 && std::filesystem::exists(out) && bytes(out) != bytes(swn);
    std::filesystem::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "bench_neaten: the script failed (status %d)\n", run.status);
        return 1;
    }
    std::printf("staffwright-cli script, neaten whole score of the same file: %.2f s wall\n",
                run.seconds);
    return 0;
}
