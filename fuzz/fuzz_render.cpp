// libFuzzer target for drawing damaged scores: whatever a file holds, opening
// it for display and drawing its pages on screen, for print and as vector
// paths must not crash.
#include <sys/mman.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <string>

#include "MemoryFile.h"
#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "render/GlyphFont.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/QtEnvironment.h"
#include "render/Text.h"
#include "render/VectorExport.h"

namespace {
struct QtHarness {
    QtHarness() {
        sw::PrepareHeadlessQt();
        static int argc = 1;
        static char name[] = "fuzz_render";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        font = std::make_unique<sw::GlyphFont>();  // the font database needs the application
    }
    std::unique_ptr<QGuiApplication> app;
    sw::GlyphStore glyphs;
    std::unique_ptr<sw::GlyphFont> font;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QtHarness qt;
    if (size > (1u << 18)) return 0;
    int fd = -1;
    const std::string path = MemoryFile(data, size, fd);
    sw::ScriptedHost host;
    host.setPermissive(true);
    sw::Score score;
    sw::QtTextMeasurer measurer;
    sw::OpenResult r = sw::OpenForDisplay(score, path, host, measurer);
    ::close(fd);
    if (!r.load.ok) return 0;
    // A small picture is enough to run every drawing routine; clipping does the rest.
    QImage screen(400, 300, QImage::Format_RGB32);
    QImage print(1200, 900, QImage::Format_RGB32);
    sw::DrawSettings settings;
    for (int page = 0; page <= std::min(r.pages.pages, 2); ++page) {
        sw::DrawAll(sw::PictureContext(screen, qt.glyphs, false), score, page, settings, {});
        if (page > 0) {
            sw::DrawAll(sw::PictureContext(print, qt.glyphs, true), score, page, settings, {});
            QPainter painter(&print);
            sw::DrawVectorPage(painter, qt.glyphs, score, page, settings, qt.font.get());
        }
    }
    return 0;
}
