// Times "Format for GHB" with every box ticked on the 1000-bar, 8-stave score
// as the window runs it: the undo group of every stave, the staves laid out
// and the page drawn, then its Undo (target 1 s).
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Document.h"
#include "Orchestra.h"
#include "render/QtEnvironment.h"

int main(int argc, char** argv) {
    using namespace sw;
    using Clock = std::chrono::steady_clock;
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    bench::OrchestraDocument doc("bench-pipes");
    if (!doc.open()) return 1;
    DocumentController& d = *doc.d;
    double format = 1e9, back = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto t = Clock::now();
        d.run(Action::FormatForPipes);
        format = std::min(format, bench::MsSince(t));
        t = Clock::now();
        d.run(Action::Undo);
        back = std::min(back, bench::MsSince(t));
    }
    std::printf(
        "Format for GHB, every box (%d staves, undo group, page drawn): %.1f ms; its Undo: "
        "%.1f ms   target <= 1000 ms\n",
        doc.score.Nstaves, format, back);
    return 0;
}
