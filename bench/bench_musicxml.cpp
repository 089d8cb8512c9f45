// Times the MusicXML export as a user runs it from the command line: the
// 1000-bar, 8-stave score written to a .swn file, then `staffwright-cli
// convert it.swn out.musicxml` (and `out.mxl`) as a child process, wall clock
// from start to exit; then the import of that export, laid out on pages.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "CliRun.h"
#include "Orchestra.h"
#include "render/QtEnvironment.h"

namespace {

// The file starts as the format says: the XML declaration, or a zip's local header.
bool StartsWith(const std::string& path, const std::string& magic) {
    std::ifstream in(path, std::ios::binary);
    std::string head(magic.size(), '\0');
    return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == magic;
}

}  // namespace

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path();
    // --keep leaves the exported files in the temporary folder, for profiling the import.
    const bool keep = argc > 1 && std::string(argv[1]) == "--keep";
    const std::string swn = (dir / "staffwright-bench-musicxml.swn").string();
    if (!sw::bench::SaveOrchestra(swn)) {
        std::fprintf(stderr, "bench_musicxml: cannot write %s\n", swn.c_str());
        return 1;
    }
    int failures = 0;
    for (const char* ext : {".musicxml", ".mxl"}) {
        const std::string out = (dir / (std::string("staffwright-bench-musicxml") + ext)).string();
        std::filesystem::remove(out);
        const sw::bench::CliRun run = sw::bench::TimeConvert(SW_CLI_PATH, swn, out);
        const bool ok = run.status == 0 && StartsWith(out, ext[1] == 'm' && ext[2] == 'x'
                                                               ? std::string("PK\x03\x04", 4)
                                                               : std::string("<?xml"));
        const auto bytes = ok ? std::filesystem::file_size(out) : 0;
        if (ok && ext[2] == 'u') {
            // The whole import as a user runs it: read, set out on pages, saved.
            const std::string back = (dir / "staffwright-bench-imported.swn").string();
            const sw::bench::CliRun in = sw::bench::TimeConvert(SW_CLI_PATH, out, back);
            const bool imported = in.status == 0 && std::filesystem::exists(back);
            std::filesystem::remove(back);
            if (!imported) {
                std::fprintf(stderr, "bench_musicxml: the import failed (status %d)\n", in.status);
                ++failures;
            } else {
                std::printf(
                    "staffwright-cli convert from .musicxml: %.2f MB, %.2f s wall (%.2f s CPU)   "
                    "target <= 1.00 s\n",
                    static_cast<double>(bytes) / 1e6, in.seconds, in.cpuSeconds);
            }
        }
        if (!keep) std::filesystem::remove(out);
        if (!ok) {
            std::fprintf(stderr, "bench_musicxml: the conversion to %s failed (status %d)\n", ext,
                         run.status);
            ++failures;
            continue;
        }
        std::printf(
            "staffwright-cli convert to %s: 1000 bars x 8 staves, %.2f MB, %.2f s wall   "
            "target <= 0.20 s\n",
            ext, static_cast<double>(bytes) / 1e6, run.seconds);
    }
    std::filesystem::remove(swn);
    return failures == 0 ? 0 : 1;
}
