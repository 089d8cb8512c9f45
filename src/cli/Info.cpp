// The JSON summary of a score.
#include "cli/Info.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "model/Figures.h"

namespace sw {

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    // Score texts are single-byte; keep them as Latin-1 code points.
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

namespace {
std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}
const char* Bool(bool b) {
    return b ? "true" : "false";
}
}  // namespace

std::string ScoreInfoJson(const Score& score, const LoadResult& load, int pages, int systems) {
    const ObjectCounts counts = CountObjects(score);
    std::ostringstream perStave;
    for (std::size_t k = 0; k < counts.perStave.size(); ++k)
        perStave << (k > 0 ? ", " : "") << counts.perStave[k];
    std::ostringstream o;
    o << "{\n";
    o << "  \"version\": " << load.fileVersion << ",\n";
    o << "  \"staves\": " << score.Nstaves << ",\n";
    o << "  \"systems\": " << systems << ",\n";
    o << "  \"pages\": " << pages << ",\n";
    o << "  \"objects\": " << counts.total << ",\n";
    o << "  \"objects_by_kind\": {";
    bool first = true;
    for (const auto& [name, n] : counts.byKind) {
        o << (first ? "" : ", ") << JsonString(name) << ": " << n;
        first = false;
    }
    o << "},\n";
    o << "  \"objects_per_stave\": [" << perStave.str() << "],\n";
    o << "  \"fonts\": [";
    first = true;
    for (int f = 1; f <= kMaxFonts; ++f) {
        if (!score.fontsInUse.test(f)) continue;
        o << (first ? "" : ", ") << JsonString(score.fonts[f].name);
        first = false;
    }
    o << "],\n";
    const PageData& p = score.page;
    o << "  \"page\": {\"Width\": " << Num(p.Width) << ", \"Length\": " << Num(p.Length)
      << ", \"TopM\": " << Num(p.TopM) << ", \"BotM\": " << Num(p.BotM)
      << ", \"RightM\": " << Num(p.RightM) << ", \"LeftM\": " << Num(p.LeftM)
      << ", \"GutM\": " << Num(p.GutM) << ", \"Header\": " << Num(p.Header)
      << ", \"Footer\": " << Num(p.Footer) << ", \"Facing\": " << Bool(p.Facing)
      << ", \"landscape\": " << Bool(p.landscape) << "},\n";
    o << "  \"stave_size\": " << Num(score.staveSize) << ",\n";
    o << "  \"spacing\": " << int(score.Spacing) << ",\n";
    o << "  \"pulse\": " << int(score.Pulse) << ",\n";
    o << "  \"beam_angle\": " << score.Beamang << ",\n";
    o << "  \"tempo\": " << score.Tempo << ",\n";
    o << "  \"page1\": " << score.Page1 << ",\n";
    o << "  \"partial\": " << Bool(load.partial) << ",\n";
    o << "  \"template\": " << Bool(load.isTemplate) << ",\n";
    o << "  \"description\": " << JsonString(score.description) << ",\n";
    o << "  \"bad_records\": " << load.badRecords << "\n";
    o << "}\n";
    return o.str();
}

}  // namespace sw
