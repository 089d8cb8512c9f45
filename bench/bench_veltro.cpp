// Times the recognition engine as the program runs it: an A4 page of the
// four-voice example printed at 300 dots an inch to a 1-bit BMP, then
// `veltro --input page.bmp --output page.mro` as a child process, wall clock
// from start to exit, best of three.
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "CliRun.h"
#include "core/AtomicFile.h"
#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/QtEnvironment.h"
#include "render/Text.h"

int main(int argc, char** argv) {
    sw::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string bmp = (dir / "staffwright-bench-veltro.bmp").string();
    const std::string mro = (dir / "staffwright-bench-veltro.mro").string();

    auto score = std::make_unique<sw::Score>();
    sw::ScriptedHost host;
    host.setPermissive(true);
    sw::QtTextMeasurer measurer;
    if (!sw::OpenForDisplay(*score, std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/ode-satb.swn",
                            host, measurer)
             .load.ok)
        return 1;
    // No margins and a stave of 0.32 inch: the whole A4 sheet at 300 dots an inch.
    score->page = sw::PageData{8.27, 11.69, 0, 0, 0, 0, 0, 0, 0, false, false};
    score->staveSize = 0.32;
    sw::PrepareForDisplay(*score, host, measurer);
    sw::GlyphStore glyphs;
    const QImage page = sw::PagePicture(glyphs, *score, 1, sw::DrawSettings{});
    if (sw::WriteFileAtomically(bmp, sw::EncodePictureFile(page, true, 300)) != 0) return 1;

    double best = 1e9;
    int status = 0;
    for (int run = 0; run < 3 && status == 0; ++run) {
        std::filesystem::remove(mro);
        const std::string command = sw::bench::Quoted(VELTRO_PATH) + " --input " +
                                    sw::bench::Quoted(bmp) + " --output " + sw::bench::Quoted(mro) +
                                    " > /dev/null";
        const auto start = std::chrono::steady_clock::now();
        status = std::system(command.c_str());
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const bool written = std::filesystem::exists(mro);
    std::filesystem::remove(bmp);
    std::filesystem::remove(mro);
    if (status != 0 || !written) {
        std::fprintf(stderr, "bench_veltro: the engine failed (status %d)\n", status);
        return 1;
    }
    std::printf("veltro on an A4 page (%d x %d pixels, 300 dpi): %.2f s wall   target < 2 s\n",
                page.width(), page.height(), best);
    return 0;
}
