// The merge command: A opened as the editor opens it, B merged where the
// options say with the editor's checks, the result saved. Questions take
// their safe answer, so a differing page setup is not merged.
#include "cli/Merge.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliHost.h"
#include "layout/Merge.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "render/Text.h"

namespace sw {

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli merge A.swn B.swn OUT.swn [--after S | --before S | "
                 "--end]\n";
    return 2;
}

// A stave number of the options: 1..staves, else nothing.
std::optional<int> StaveArg(const char* text, int staves) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < 1 || v > staves) return std::nullopt;
    return static_cast<int>(v);
}

}  // namespace

int MergeCommand(int argc, char** argv) {
    if (argc < 5) return Usage();
    const std::string a = argv[2], b = argv[3], out = argv[4];
    std::string where = "--end";
    const char* stave = nullptr;
    for (int i = 5; i < argc; ++i) {
        const std::string opt = argv[i];
        if ((opt == "--after" || opt == "--before") && i + 1 < argc) {
            where = opt;
            stave = argv[++i];
        } else if (opt == "--end") {
            where = opt;
        } else {
            return Usage();
        }
    }
    CliHost host(std::cerr);
    QtTextMeasurer measurer;
    auto score = std::make_unique<Score>();
    if (!OpenForDisplay(*score, a, host, measurer).load.ok) return 1;
    std::optional<int> after;
    if (where == "--end") {
        after = score->Nstaves;
    } else {
        const std::optional<int> s = StaveArg(stave, score->Nstaves);
        if (!s) {
            std::cerr << "staffwright-cli: " << a << " has no stave " << stave << "\n";
            return 1;
        }
        after = where == "--after" ? MergePointAfter(*score, *s, host)
                                   : MergePointBefore(*score, *s, host);
    }
    if (!after) return 1;
    if (!MergeFile(*score, *after, b, host, {}, measurer, ComputePageGeometry(*score).height))
        return 1;
    PrepareForDisplay(*score, host, measurer);
    return SaveScore(*score, out, 0, score->Nstaves, false, false, host) == SaveResult::Saved ? 0
                                                                                              : 1;
}

}  // namespace sw
