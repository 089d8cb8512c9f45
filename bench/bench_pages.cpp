// Times opening and drawing a score the size of a full orchestral movement:
// 1000 bars on 8 staves. Prints the time of each phase and per page.
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/QtEnvironment.h"
#include "render/Text.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Systems of 8 staves with 4 bars each; every bar has a beamed pair, crotchets,
// an accidental now and then, and a slur every other bar.
Score BuildOrchestra(int bars, int staves) {
    Score score;
    score.staveSize = 0.2;  // a full score is printed small
    ScriptedHost host;
    host.setPermissive(true);
    FindOrAddFont(score, FontDesc{"Times New Roman", 10, 0, 0, 0}, host);
    const int width = ComputePageGeometry(score).width;
    unsigned seed = 7;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    int y = 60;
    for (int first = 0; first < bars; first += 4) {
        for (int v = 0; v < staves; ++v) {
            const int s = AppendStave(score, y + v * 60, 20, width - 20);
            StaveHeader& h = score.stave(s).h;
            h.joinToNext = v + 1 < staves;
            h.barlineThrough = h.joinToNext;
            h.withBracket = v == 0;
            h.bracketWithNext = h.joinToNext;
            ScoreObject* clef = PlaceObject(score, s, kClef, 30, h.Ycoord, v < 4 ? 3 : 2);
            clef->data.clef.type = v < 4 ? 0 : 1;
            PlaceObject(score, s, kKeysig, 52, h.Ycoord, 46)->data.keysig.key = 2;
            const double barWidth = (width - 100) / 4.0;
            for (int b = 0; b < 4; ++b) {
                const int bx = 80 + static_cast<int>(b * barWidth);
                int x = bx + 12;
                ScoreObject* a = PlaceNote(score, s, x, rnd(9) - 4, 4, 0);
                ScoreObject* c = PlaceNote(score, s, x + 18, rnd(9) - 4, 4, 0);
                const int i = score.stave(s).h.Nobjec;
                a->note().beamOnTo = static_cast<uint8_t>(i);
                c->note().beamBackTo = static_cast<uint8_t>(i - 1);
                for (int k = 0; k < 3; ++k) {
                    const int pitch = rnd(11) - 5;
                    if (rnd(6) == 0) {
                        ScoreObject* acc = PlaceObject(score, s, kAccidental, x + 50 + 36 * k - 12,
                                                       NoteY(score, s, pitch));
                        acc->data.accidental.pitch = static_cast<int8_t>(pitch);
                        acc->data.accidental.accidental = 1;
                    }
                    PlaceNote(score, s, x + 50 + 36 * k, pitch, 3);
                }
                if (v == 0)
                    PlaceObject(score, s, kBarline, bx + static_cast<int>(barWidth) - 2, h.Ycoord,
                                39);
            }
            TidyStave(score, s, true);
        }
        y += staves * 60 + 40;
    }
    return score;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const std::string path =
        (std::filesystem::temp_directory_path() / "staffwright-bench-orchestra.swn").string();
    {
        // Files hold paginated positions: a strip this long passes 16 bits.
        Score built = BuildOrchestra(1000, 8);
        ScriptedHost host;
        host.setPermissive(true);
        QtTextMeasurer measurer;
        PrepareForDisplay(built, host, measurer);
        SaveScore(built, path, 0, built.Nstaves, false, false, host);
    }
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
    const bool wrote = WritePdf(pdf, glyphs, score, 1, pages, settings);
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
