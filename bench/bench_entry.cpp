// Times one note typed at bar 1000 of the full score: the letter, Space,
// the stave laid out again and the page drawn, as the window would; and one
// character typed in Text mode there, to the picture shown with the text
// over the page.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Document.h"
#include "Orchestra.h"
#include "layout/Pagination.h"
#include "render/QtEnvironment.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    bench::OrchestraDocument doc("bench-entry");
    if (!doc.open()) return 1;
    Score& score = doc.score;
    DocumentController& d = *doc.d;
    // The first stave of the last system: bars 997 to 1000.
    const int s = FirstStaveOfSystem(score, SystemCount(score));
    d.showPage(std::max<int>(1, score.stave(s).h.PageNum));
    d.setCurrentStave(s);
    const int32_t x = score.stave(s).h.RightX - 40;
    constexpr int kNotes = 60;
    std::vector<double> ms;
    for (int k = 0; k < kNotes; ++k) {
        d.setCursorX(x);
        const auto t = Clock::now();
        d.key(k % 2 ? "E" : "C");
        d.key("Space");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        // Each note is taken back, so that the stave stays as full as it was.
        d.undo();
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "letter + Space at bar 1000 (%d staves, %d pages): median %.2f ms, worst %.2f ms"
        "   target < 16 ms\n",
        score.Nstaves, score.pageCount, ms[ms.size() / 2], ms.back());

    // Text mode on the same stave: each character to the picture shown.
    doc.view.watch(&d);
    d.setCursorX(x);
    d.run(Action::TextMode);
    constexpr int kCharacters = 60;
    std::vector<double> typed;
    for (int k = 0; k < kCharacters; ++k) {
        const auto t = Clock::now();
        d.key(k % 7 == 6 ? "Space" : "E");
        typed.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    d.key("Esc");
    std::sort(typed.begin(), typed.end());
    std::printf(
        "a character in Text mode at bar 1000: median %.2f ms, worst %.2f ms   target < 16 ms\n",
        typed[typed.size() / 2], typed.back());
    return 0;
}
