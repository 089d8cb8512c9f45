// Times the whole PDF export as a user runs it: the 1000-bar, 8-stave score
// written to a .swn file, then `staffwright-cli convert it.swn out.pdf` as a
// child process, wall clock from start to exit.
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
    std::filesystem::remove(pdf);
    const sw::bench::CliRun run = sw::bench::TimeConvert(SW_CLI_PATH, swn, pdf);
    const int status = run.status;
    const double seconds = run.seconds;
    const int pages = status == 0 ? PdfPages(pdf) : 0;
    const auto bytes = pages > 0 ? std::filesystem::file_size(pdf) : 0;
    std::filesystem::remove(swn);
    std::filesystem::remove(pdf);
    if (pages == 0) {
        std::fprintf(stderr, "bench_pdf: the conversion failed (status %d)\n", status);
        return 1;
    }
    std::printf(
        "staffwright-cli convert to PDF: %d pages, %.1f MB, %.2f s wall "
        "(%.2f s per 100 pages)   target < 1 s per 100 pages\n",
        pages, static_cast<double>(bytes) / 1e6, seconds, 100 * seconds / pages);
    return 0;
}
