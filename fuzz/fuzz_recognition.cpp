// libFuzzer target for the recognition result reader and its conversion:
// any text reads and converts without misbehaving, every stave stays within
// its capacity with its links in range, and the score file written from it
// loads back cleanly.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "FixedMeasurer.h"
#include "MemoryFile.h"
#include "core/ScriptedHost.h"
#include "scan/ResultConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 200000) return 0;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    sw::RecognitionTables tables;
    sw::ReadRecognitionResult(in, tables);
    if (tables.staves.size() > sw::ResultCapacity::staves ||
        tables.notes.size() > sw::ResultCapacity::notes)
        std::abort();
    auto score = std::make_unique<sw::Score>();
    sw::ConversionOutcome outcome;
    FixedMeasurer measurer;
    // Both buttons of the paper-fit dialog, by the input's length.
    const int button =
        size % 2 ? sw::PaperFitDialogModel::kDefaultButton : sw::PaperFitDialogModel::kOtherButton;
    if (!sw::BuildScoreFromResult(
            tables, sw::ConversionOptions{}, true,
            [button](const sw::PaperFitDialogModel&) { return button; }, measurer, *score, outcome))
        return 0;
    for (int s = 1; s <= score->Nstaves; ++s) {
        const sw::StaveBlock& b = score->stave(s);
        if (b.h.Nobjec > sw::kObjectLimit) std::abort();
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const sw::ScoreObject& o = b.obj[static_cast<std::size_t>(i)];
            if (o.kind == sw::kNote &&
                (o.note().beamBackTo > b.h.Nobjec + 1 || o.note().beamOnTo > 250))
                std::abort();
            if (o.kind == sw::kText && o.text().nextChunk > b.h.Nobjec) std::abort();
            if (o.kind == sw::kCurve &&
                (o.curve().nextAnchor > b.h.Nobjec || o.curve().prevAnchor > b.h.Nobjec))
                std::abort();
        }
    }
    const std::string bytes = sw::EncodeConvertedScore(*score);
    int fd = -1;
    const std::string path =
        MemoryFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), fd);
    sw::ScriptedHost host;
    host.setPermissive(true);
    sw::Score back;
    const sw::LoadResult r = sw::LoadScore(back, path, false, host);
    ::close(fd);
    if (!r.ok || r.badRecords != 0 || back.Nstaves != score->Nstaves) {
        std::fprintf(stderr, "a converted score did not load back cleanly\n");
        std::abort();
    }
    return 0;
}
