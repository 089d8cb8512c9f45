// Times a block on the 1000-bar, 8-stave score: a box over the whole of page
// 1 selected, and the selection copied one system down as one edit, the
// staves laid out and the page drawn again (target 50 ms).
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Document.h"
#include "Orchestra.h"
#include "editor/commands/BlockCommands.h"
#include "editor/commands/PageCommands.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "render/QtEnvironment.h"

int main(int argc, char** argv) {
    using namespace sw;
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    bench::OrchestraDocument doc("bench-block");
    if (!doc.open()) return 1;
    Score& score = doc.score;
    const PageGeometry g = ComputePageGeometry(score);
    const int first = FirstStaveOnPage(score, 1), last = LastStaveOnPage(score, 1);
    const int system = FirstStaveOfSystem(score, 2);
    int32_t cursorX = 0;
    bool modified = false;
    DirtyStaves dirty;
    EditContext ctx{score, doc.undo, doc.host, doc.warnings, cursorX, modified, dirty};

    double select = 1e9, copy = 1e9;
    std::size_t objects = 0;
    for (int run = 0; run < 5; ++run) {
        auto t = std::chrono::steady_clock::now();
        const Selection sel =
            SelectInBox(score, first, last, PixelBox{0, 0, g.width, g.height}).selection;
        select = std::min(select, bench::MsSince(t));
        objects = sel.count();
        // The copy goes one system down; undone before the next run.
        t = std::chrono::steady_clock::now();
        if (!CopyBlock(ctx, sel, {system, 0, 0}, false)) {
            std::fprintf(stderr, "the copy was refused\n");
            return 1;
        }
        // What the editor does after an edit: the staves laid out, the page drawn.
        for (int s = dirty.first; s <= dirty.last; ++s)
            RefreshStave(score, s, doc.measurer);
        RebuildTrailers(score);
        Repaginate(score, g.height);
        doc.view.redrawPage();
        dirty.clear();
        copy = std::min(copy, bench::MsSince(t));
        UndoLastCommand(ctx, true);
        dirty.clear();
    }
    std::printf(
        "Block over page 1 (%d staves, %zu objects): selected %.2f ms, copied one system down "
        "with layout and drawing %.1f ms; together %.1f ms   target <= 50 ms\n",
        last - first + 1, objects, select, copy, select + copy);
    return 0;
}
