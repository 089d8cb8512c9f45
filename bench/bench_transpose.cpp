// Times "Transpose..." on the 1000-bar, 8-stave score as the window runs it:
// a tone up over the whole score with the bars respaced, the staves laid
// out and the page drawn, then its Undo (target 0.1 s each).
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Document.h"
#include "Orchestra.h"
#include "render/QtEnvironment.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    bench::OrchestraDocument doc("bench-transpose");
    if (!doc.open()) return 1;
    DocumentController& d = *doc.d;
    // "Major 2nd up (1 tone)", whole score, respaced: what "Do it!" accepts.
    doc.dialogs.transposing = [&](TransposeDialogModel& m) {
        m.chooseInterval(10);
        m.chooseExtent(TransposeExtent::Score, doc.host);
        m.respace = true;
        return true;
    };
    double up = 1e9, back = 1e9;
    for (int run = 0; run < 3; ++run) {
        d.setCurrentStave(1);
        auto t = Clock::now();
        d.run(Action::Transpose);
        up = std::min(up, bench::MsSince(t));
        t = Clock::now();
        d.run(Action::Undo);
        back = std::min(back, bench::MsSince(t));
    }
    std::printf(
        "Transpose a tone up, whole score, respaced (%d staves, page drawn): %.1f ms; its "
        "Undo: %.1f ms   target <= 100 ms each\n",
        doc.score.Nstaves, up, back);
    return 0;
}
