// Times the whole PDF export as a user runs it: the 1000-bar, 8-stave score
// written to a .swn file, then `staffwright-cli convert it.swn out.pdf` (vector
// pages, then --raster) as a child process, wall clock from start to exit.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CliRun.h"
#include "Orchestra.h"
#include "render/QtEnvironment.h"

namespace {

// Pages in a PDF: its /Type /Page objects, /Pages not counted.
int PdfPages(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::string bytes;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, n);
    std::fclose(f);
    int pages = 0;
    const std::string key = "/Type /Page";
    for (std::size_t at = bytes.find(key); at != std::string::npos; at = bytes.find(key, at + 1))
        if (bytes.compare(at + key.size(), 1, "s") != 0) ++pages;
    return pages;
}

}  // namespace

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string swn = (dir / "staffwright-bench-pdf.swn").string();
    const std::string pdf = (dir / "staffwright-bench-pdf.pdf").string();
    if (!sw::bench::SaveOrchestra(swn)) {
        std::fprintf(stderr, "bench_pdf: cannot write %s\n", swn.c_str());
        return 1;
    }
    // The vector PDF first: a child's peak memory is only told as the largest
    // of all children so far.
    int failed = 0;
    for (const bool raster : {false, true}) {
        std::filesystem::remove(pdf);
        const sw::bench::CliRun run =
            sw::bench::TimeConvert(SW_CLI_PATH, swn, pdf, raster ? " --raster" : "");
        const int pages = run.status == 0 ? PdfPages(pdf) : 0;
        const double mb =
            pages > 0 ? static_cast<double>(std::filesystem::file_size(pdf)) / 1e6 : 0;
        std::filesystem::remove(pdf);
        if (pages == 0) {
            std::fprintf(stderr, "bench_pdf: the %s conversion failed (status %d)\n",
                         raster ? "raster" : "vector", run.status);
            ++failed;
        } else if (raster) {
            std::printf(
                "convert to PDF --raster: %d pages, %.1f MB, %.2f s wall (%.2f s processor)\n",
                pages, mb, run.seconds, run.cpuSeconds);
        } else {
            std::printf(
                "convert to vector PDF: 1000 bars x 8 staves, %d pages, %.2f MB, %.2f s wall "
                "(%.2f s processor), peak %.0f MB   targets <= 0.35 s, <= 1.2 MB, <= 150 MB\n",
                pages, mb, run.seconds, run.cpuSeconds, run.peakMb);
        }
    }
    std::filesystem::remove(swn);
    return failed ? 1 : 0;
}
