// Times undo snapshots in the ring file: one stave, and a whole score of
// 10000 staves taken as one group.
#include <chrono>
#include <cstdio>

#include "core/ScriptedHost.h"
#include "editor/Undo.h"
#include "model/Build.h"

int main() {
    using namespace sw;
    using Clock = std::chrono::steady_clock;
    Score score;
    for (int s = 1; s <= kMaxStaves; ++s) {
        AppendStave(score, 100, 0, 700);
        for (int i = 0; i < 60; ++i)
            PlaceNote(score, s, 20 + 10 * i, i % 9 - 4, 3);
    }
    int32_t cursorX = 0;
    bool modified = false;
    UndoDocument doc{score, cursorX, modified};
    ScriptedHost host;
    host.setPermissive(true);
    UndoRing ring(std::make_unique<FileUndoStorage>());
    ring.setDepth(100);
    ring.open(host);

    constexpr int kSingles = 2000;
    auto t0 = Clock::now();
    for (int k = 0; k < kSingles; ++k)
        ring.saveStave(doc, 1 + k % 50, kUndoStave, host);
    const double single = std::chrono::duration<double>(Clock::now() - t0).count() / kSingles;

    t0 = Clock::now();
    ring.saveStaveGroup(doc, 1, score.Nstaves, kUndoGroup, host);
    const double whole = std::chrono::duration<double>(Clock::now() - t0).count();
    t0 = Clock::now();
    ring.undoOne(doc, host, *std::make_unique<WarningBox>());
    const double undo = std::chrono::duration<double>(Clock::now() - t0).count();

    std::printf("one-stave snapshot: %.1f us\n", single * 1e6);
    std::printf("whole-score snapshot (10000 staves): %.3f s; undoing it: %.3f s\n", whole, undo);
    ring.close();
    return 0;
}
