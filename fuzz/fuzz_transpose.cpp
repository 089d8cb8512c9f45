// libFuzzer target for transposition: whatever a score file holds (keys far
// outside -7..7, notes at the ends of their byte, clefs of unknown types,
// broken text chains), transposing it over the whole score by any distance,
// with any clef change and stem choice, must not crash, may refuse with a
// message, and must leave a score that saves and loads back the same.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FixedMeasurer.h"
#include "OpenedScore.h"
#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "tools/Transpose.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 22 || size > (1u << 18)) return 0;
    // The choices come from the file's own bytes, so the seed scores stay scores.
    const uint8_t pick = static_cast<uint8_t>(data[size / 2] ^ data[size - 1]);
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    const std::unique_ptr<sw::Score> score = OpenFuzzedScore(data, size, host, measurer);
    if (!score) return 0;

    sw::TransposePlan plan;
    const auto extent = static_cast<sw::TransposeExtent>(pick % 3);
    plan.staves = sw::TransposeRange(*score, extent, 1 + pick % score->Nstaves, host);
    plan.semitones = static_cast<int>(pick % 53) - 26;  // a little past -24..24 too
    plan.clef = static_cast<int>((pick >> 3) % 5) - 1;
    plan.dropMarkers = pick & 0x20;
    plan.adjustStems = pick & 0x40;
    plan.respace = pick & 0x80;
    if (!sw::Transpose(*score, plan, host, measurer)) return 0;
    sw::PrepareForDisplay(*score, host, measurer);

    std::string saved;
    auto reread = std::make_unique<sw::Score>();
    if (!SaveAndReload(*score, host, *reread, saved).ok || SavedBytes(*reread) != saved) {
        std::fprintf(stderr, "the transposed score did not load back the same\n");
        std::abort();
    }
    return 0;
}
