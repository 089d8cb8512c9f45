// Times deleting and inserting stave 1 of a 10000-stave score as the window
// runs the commands, the page laid out and drawn after (target 50 ms each).
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Document.h"
#include "render/QtEnvironment.h"

int main(int argc, char** argv) {
    using namespace sw;
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    bench::OrchestraDocument doc("bench-staves");
    doc.bars = 5000;  // 1250 systems of 8 staves
    if (!doc.open()) return 1;
    DocumentController& d = *doc.d;
    const int staves = doc.score.Nstaves;
    double removing = 1e9, inserting = 1e9;
    for (int run = 0; run < 3; ++run) {
        d.setCurrentStave(1);
        auto t = std::chrono::steady_clock::now();
        d.run(Action::DeleteStave);
        removing = std::min(removing, bench::MsSince(t));
        if (doc.score.Nstaves != staves - 1) {
            std::fprintf(stderr, "bench_staves: stave 1 was not deleted\n");
            return 1;
        }
        d.setCurrentStave(1);
        t = std::chrono::steady_clock::now();
        d.run(Action::NewStaveAbove);
        inserting = std::min(inserting, bench::MsSince(t));
        if (doc.score.Nstaves != staves) {
            std::fprintf(stderr, "bench_staves: no stave was inserted\n");
            return 1;
        }
    }
    std::printf("Delete stave 1 of %d staves: %.1f ms   target < 50 ms\n", staves, removing);
    std::printf("Insert a stave before stave 1: %.1f ms   target < 50 ms\n", inserting);
    return 0;
}
