// Times playback as a user meets it: F2 on the 1000-bar, 8-stave score with
// the sound font already loaded, until the synthesiser plays (whole piece,
// to the file audio driver when the machine has no sound card); and
// `staffwright-cli convert it.swn out.wav` of 100 bars against the music's length.
#include <sys/resource.h>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "CliRun.h"
#include "Document.h"
#include "app/Settings.h"
#include "editor/PlayWindow.h"
#include "platform/FluidSynth.h"
#include "render/QtEnvironment.h"

namespace {

namespace fs = std::filesystem;

// Processor seconds used by this process, or by its finished children: on a
// machine shared with other builds the wall clock says more about them.
double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Seconds of sound in a 16-bit stereo 44.1 kHz WAV file.
double WavSeconds(const std::string& path) {
    const auto bytes = fs::exists(path) ? fs::file_size(path) : 0;
    return bytes > 44 ? static_cast<double>(bytes - 44) / (44100.0 * 4) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const fs::path dir = fs::temp_directory_path() / "staffwright-bench-playback";
    fs::create_directories(dir);
    fs::current_path(dir);  // where the file audio driver writes

    sw::bench::OrchestraDocument doc("playback");
    if (!doc.open()) return 1;
    sw::Settings settings;
    settings.what = 4;  // the whole piece
    settings.soundFont = sw::FindSoundFont("");
    // A machine with no sound card plays to a file at the same pace.
    settings.audioDriver = "file";
    sw::FluidPlayer player(sw::SoundConfig{settings.soundFont, settings.audioDriver});
    sw::PlayWindow window(settings, doc.host, doc.warnings, doc.dialogs, player, dir.string());
    window.f2(*doc.d);  // shows the window
    // The font is loaded once per run: a first short play loads it.
    window.setRange(0);
    window.play();
    window.stop();
    window.setRange(4);
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds(RUSAGE_SELF);
    window.f2(*doc.d);
    const double firstSound = sw::bench::MsSince(start) / 1000.0;
    const double firstSoundCpu = CpuSeconds(RUSAGE_SELF) - cpuStart;
    const bool playing = window.playing();
    window.stop();
    if (!playing) {
        std::fprintf(stderr, "bench_playback: nothing played\n");
        return 1;
    }

    const std::string swn = (dir / "hundred.swn").string();
    const std::string wav = (dir / "hundred.wav").string();
    if (!sw::bench::SaveOrchestra(swn, 100, 8)) return 1;
    const double childStart = CpuSeconds(RUSAGE_CHILDREN);
    const sw::bench::CliRun run = sw::bench::TimeConvert(SW_CLI_PATH, swn, wav);
    const double convertCpu = CpuSeconds(RUSAGE_CHILDREN) - childStart;
    const double music = WavSeconds(wav);
    fs::remove_all(dir);
    if (run.status != 0 || music <= 0) {
        std::fprintf(stderr, "bench_playback: the WAV conversion failed (status %d)\n", run.status);
        return 1;
    }
    std::printf(
        "F2 to first sound: 1000 bars x 8 staves, %.3f s wall (%.3f s processor)   "
        "target < 0.5 s\n",
        firstSound, firstSoundCpu);
    std::printf(
        "convert to WAV: 100 bars x 8 staves, %.1f s of music in %.2f s wall (%.2f s "
        "processor), %.1fx real time   target >= 20x\n",
        music, run.seconds, convertCpu, music / run.seconds);
    return 0;
}
