// libFuzzer target for performance generation: whatever a score file holds
// (tie rings, repeats without ends, huge tremolos, keys far off the stave),
// laying it out and playing it must not crash or hang, may refuse with a
// message, and must leave the score exactly as it was.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FixedMeasurer.h"
#include "MemoryFile.h"
#include "OpenedScore.h"
#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "playback/MidiWriter.h"
#include "playback/Performance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 22 || size > (1u << 18)) return 0;
    // The options come from the file's own bytes, so the seed scores stay scores.
    const uint8_t pick = static_cast<uint8_t>(data[size / 2] ^ data[size - 1]);
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    const std::unique_ptr<sw::Score> score = OpenFuzzedScore(data, size, host, measurer);
    if (!score) return 0;
    const std::string before = SavedBytes(*score);

    sw::PlaybackOptions o;
    o.outputPath = "/tmp/fuzz-playback-" + std::to_string(::getpid()) + ".mid";
    o.collectOnly = pick & 1;
    o.repeats = pick & 2;
    o.continueOn = pick & 4;
    o.save = pick & 8;
    o.temperament = (pick >> 4) % 5;
    o.range = (pick & 0x80) ? sw::PlayRange::System : sw::PlayRange::Score;
    o.firstStave = o.lastStave = 1 + (pick % score->Nstaves);
    o.proximity = 1 + pick % 40;
    try {
        sw::Performance p;
        sw::GeneratePerformance(*score, host, o, &p);
    } catch (const sw::MidiError&) {
        // A value the file format cannot hold is refused, never written.
    }
    std::remove(o.outputPath.c_str());
    if (SavedBytes(*score) != before) {
        std::fprintf(stderr, "playing the score changed it\n");
        std::abort();
    }
    return 0;
}
