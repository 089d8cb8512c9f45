// Times "Save Midi" as a user runs it from the command line: the 1000-bar,
// 8-stave score written to a .swn file, then `staffwright-cli convert it.swn
// out.mid` as a child process, wall clock from start to exit.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "Orchestra.h"
#include "render/QtEnvironment.h"

namespace {

// A MIDI file starts with its header tag.
bool IsMidi(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char tag[4] = {};
    const bool ok = std::fread(tag, 1, 4, f) == 4 && std::string(tag, 4) == "MThd";
    std::fclose(f);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string swn = (dir / "staffwright-bench-midi.swn").string();
    const std::string mid = (dir / "staffwright-bench-midi.mid").string();
    if (!sw::bench::SaveOrchestra(swn)) {
        std::fprintf(stderr, "bench_midi: cannot write %s\n", swn.c_str());
        return 1;
    }
    std::filesystem::remove(mid);
    const sw::bench::CliRun run = sw::bench::TimeConvert(SW_CLI_PATH, swn, mid);
    const int status = run.status;
    const double seconds = run.seconds;
    const bool ok = status == 0 && IsMidi(mid);
    const auto bytes = ok ? std::filesystem::file_size(mid) : 0;
    std::filesystem::remove(swn);
    std::filesystem::remove(mid);
    if (!ok) {
        std::fprintf(stderr, "bench_midi: the conversion failed (status %d)\n", status);
        return 1;
    }
    std::printf(
        "staffwright-cli convert to MIDI: 1000 bars x 8 staves, %.2f MB, %.2f s wall   "
        "target <= 0.20 s\n",
        static_cast<double>(bytes) / 1e6, seconds);
    return 0;
}
