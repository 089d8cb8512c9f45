// Times opening and drawing a score the size of a full orchestral movement:
// 1000 bars on 8 staves. Prints the time of each phase and per page.
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "Orchestra.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/QtEnvironment.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const std::string path =
        (std::filesystem::temp_directory_path() / "staffwright-bench-orchestra.swn").string();
    // Files hold paginated positions: a strip this long passes 16 bits.
    bench::SaveOrchestra(path);
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    Score score;
    auto t0 = Clock::now();
    OpenResult opened = OpenForDisplay(score, path, host, measurer);
    const double open = Since(t0);
    if (!opened.load.ok || opened.pages.pages == 0) {
        std::fprintf(stderr, "bench_pages: the score did not open\n");
        return 1;
    }
    GlyphStore glyphs;
    const PageGeometry g = ComputePageGeometry(score);
    QImage screen(g.width, g.height, QImage::Format_RGB32);
    QImage print(3 * g.width, 3 * g.height, QImage::Format_RGB32);
    DrawSettings settings;
    const int pages = opened.pages.pages;
    double screenTime = 0, printTime = 0;
    for (int p = 1; p <= pages; ++p) {
        DrawContext ctx;
        ctx.glyphs = &glyphs;
        ctx.screen = &screen;
        auto t = Clock::now();
        DrawAll(ctx, score, p, settings, PageViewState{});
        screenTime += Since(t);
        ctx.printMode = true;
        ctx.print = &print;
        t = Clock::now();
        DrawAll(ctx, score, p, settings, PageViewState{});
        printTime += Since(t);
    }
    const std::string pdf =
        (std::filesystem::temp_directory_path() / "staffwright-bench-orchestra.pdf").string();
    auto tp = Clock::now();
    const bool wrote = WritePdf(pdf, glyphs, score, 1, pages, settings, host);
    const double pdfTime = Since(tp);
    std::filesystem::remove(pdf);
    std::printf("score: 1000 bars x 8 staves = %d staves, %d systems, %d pages\n", score.Nstaves,
                SystemCount(score), pages);
    std::printf("open (load + refresh + repaginate): %.3f s   target < 0.2 s\n", open);
    std::printf("screen page: %.1f ms each   target < 10 ms\n", 1000 * screenTime / pages);
    std::printf("print page:  %.1f ms each   target < 60 ms\n", 1000 * printTime / pages);
    std::printf("PDF of every page: %.2f s (%.2f s per 100 pages)%s   target < 1 s per 100 pages\n",
                pdfTime, 100 * pdfTime / pages, wrote ? "" : " (failed)");
    std::filesystem::remove(path);
    return 0;
}
