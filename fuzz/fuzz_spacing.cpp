// libFuzzer target for moving music across systems: whatever a score file
// holds (objects off the page, ends crossed, chords without stems, full
// staves, accidentals far from any note), justifying, compressing, chopping
// and neatening each system must not crash or hang, must keep every note
// within its stave's ends, and must leave a score that saves and loads back.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FixedMeasurer.h"
#include "MemoryFile.h"
#include "OpenedScore.h"
#include "core/ScriptedHost.h"
#include "editor/commands/SpacingCommands.h"
#include "layout/Compress.h"
#include "layout/Justify.h"
#include "layout/Neaten.h"
#include "layout/OpenScore.h"
#include "layout/Pagination.h"

namespace {

// Notes between their stave's ends, which tidying keeps.
int NotesInside(const sw::Score& score, int first, int last) {
    int n = 0;
    for (int t = first; t <= last; ++t) {
        const sw::StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.count(); ++i)
            n += b.obj[i].kind == sw::kNote && b.obj[i].x >= b.h.LeftX && b.obj[i].x <= b.h.RightX;
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 22 || size > (1u << 18)) return 0;
    // The choices come from the file's own bytes, so the seed scores stay scores.
    const uint8_t pick = static_cast<uint8_t>(data[size / 2] ^ data[size - 1]);
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    const std::unique_ptr<sw::Score> score = OpenFuzzedScore(data, size, host, measurer);
    if (!score) return 0;

    int systems = 0;
    for (int s = 1; s <= score->Nstaves && systems < 64; ++systems) {
        const auto [first, last] = sw::SystemBounds(*score, s);
        const sw::StaveHeader h = score->stave(first).h;
        const int32_t cursor = h.LeftX + (h.RightX - h.LeftX) * (pick % 16) / 16;
        const int inside = NotesInside(*score, first, last);
        switch ((pick + systems) % 4) {
            case 0:
                sw::Justify(*score, first, sw::SystemMusicStart(*score, first, last));
                break;
            case 1: {
                sw::CompressPlan plan;
                const auto dir =
                    pick & 0x10 ? sw::CompressDirection::Left : sw::CompressDirection::Right;
                if (sw::PrepareCompress(*score, first, cursor, dir, pick, plan) ==
                    sw::CompressPrepared::Ready)
                    sw::Compress(*score, plan,
                                 cursor + (pick & 0x20 ? 900 : -900) / (1 + pick % 7));
                break;
            }
            case 2:
                sw::Chop(*score, first, cursor,
                         pick & 0x40 ? sw::ChopSide::Left : sw::ChopSide::Right);
                break;
            default:
                sw::NeatenSystem(*score, first, h.LeftX, h.RightX, (pick % 11) / 5.0,
                                 sw::NeatenTimeTable(*score, host, first));
                break;
        }
        if (NotesInside(*score, first, last) < inside) {
            std::fprintf(stderr, "a note was moved past its stave's ends\n");
            std::abort();
        }
        s = std::max(last, s) + 1;
    }
    sw::PrepareForDisplay(*score, host, measurer);
    ExpectCleanRoundTrip(*score, host, "spaced");
    return 0;
}
