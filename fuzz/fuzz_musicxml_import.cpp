// libFuzzer target for the MusicXML import: whatever bytes arrive, plain or
// zipped, the reader must refuse or read them within its bounds, and a read
// document must build into a score whose staves stay within their limits.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FixedMeasurer.h"
#include "core/ScriptedHost.h"
#include "platform/MusicXmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sw::MusicXmlLimits limits;
    limits.entryBytes = 4u << 20;
    limits.measures = 2000;
    const sw::MusicXmlRead read = sw::ReadMusicXml(bytes, limits);
    if (!read.ok) {
        if (read.error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    auto score = std::make_unique<sw::Score>();
    const sw::ImportOutcome out = sw::BuildImportedScore(read.doc, {}, *score, host, measurer);
    if (!out.ok) return 0;
    for (int s = 0; s <= score->Nstaves; ++s)
        if (score->stave(s).h.Nobjec > sw::kMaxObjects) {
            std::fprintf(stderr, "stave %d holds %d objects\n", s, score->stave(s).h.Nobjec);
            std::abort();
        }
    return 0;
}
