// Times note alignment over every system of the 1000-bar, 8-stave score, as
// each playback runs it before timing the notes. Target: 20 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "Orchestra.h"
#include "layout/Alignment.h"
#include "layout/Pagination.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

}  // namespace

int main() {
    const Score built = bench::BuildOrchestra(1000, 8);
    AlignOptions options;  // playback's: its proximity, every rest, average
    options.includeAllRests = true;
    double best = 1e9;
    std::size_t moved = 0;
    for (int run = 0; run < 5; ++run) {
        Score score(built);
        const auto t0 = Clock::now();
        moved = 0;
        for (int first = 1; first <= score.Nstaves;) {
            const auto [lo, hi] = SystemBounds(score, first);
            moved += AlignNotes(score, lo, hi, options).size();
            first = std::max(hi, first) + 1;
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    std::printf("AlignNotes over %d staves (%zu staves tidied): %.2f ms (target 20 ms)\n",
                built.Nstaves, moved, best * 1000);
    return 0;
}
