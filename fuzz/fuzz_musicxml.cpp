// libFuzzer target for the MusicXML export: whatever a score file holds, the
// export must not crash or hang, must leave the score as it was, and must give
// a document whose elements close as they open.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "FixedMeasurer.h"
#include "OpenedScore.h"
#include "core/ScriptedHost.h"
#include "playback/MusicXml.h"

namespace {

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size()))
        ++n;
    return n;
}

void Fail(const char* why) {
    std::fprintf(stderr, "%s\n", why);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 22 || size > (1u << 18)) return 0;
    sw::ScriptedHost host;
    host.setPermissive(true);
    FixedMeasurer measurer;
    const auto score = OpenFuzzedScore(data, size, host, measurer);
    if (!score) return 0;
    const std::string before = SavedBytes(*score);
    const sw::MusicXmlResult r = sw::ExportMusicXml(*score, host, measurer);
    if (SavedBytes(*score) != before) Fail("exporting the score changed it");
    const std::string_view x = r.xml;
    if (x.rfind("<?xml", 0) != 0 || x.find("</score-partwise>\n") == std::string_view::npos)
        Fail("the document is cut short");
    if (Count(x, "<part id") != Count(x, "</part>") || Count(x, "<part id") == 0 ||
        Count(x, "<measure ") != Count(x, "</measure>") ||
        Count(x, "<note>") != Count(x, "</note>"))
        Fail("elements that open and never close");
    return 0;
}
