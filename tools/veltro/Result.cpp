// The whole page through every stage, and the result file written from it.
#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "Engine.h"
#include "core/Bmp1.h"

namespace veltro {

namespace {

constexpr int kResultVersion = 2011;
constexpr int kUnitsPerSpace = 16;
// Where the editor puts what it positions by x, in sixteenths of a space
// from what the engine measures: a stemless head's x lies 16 left of the
// head's centre (the conversion adds half of it back), a rest's on its centre.
constexpr int kStemlessOffset = 16;

class Units {
  public:
    explicit Units(double space) : perPixel_(kUnitsPerSpace / space) {}
    long operator()(double px) const { return std::lround(px * perPixel_); }

  private:
    double perPixel_;
};

void Line(std::ostringstream& o, int depth, const std::string& text) {
    o << std::string(static_cast<std::size_t>(depth), ' ') << text << "\n";
}
std::string Key(const std::string& key, long v) {
    return key + " " + std::to_string(v);
}
std::string Flag(const std::string& key, bool v) {
    return key + (v ? " T" : " F");
}

}  // namespace

PageResult Recognise(const Image& page, const Options& options,
                     const std::function<void(int)>& progress) {
    (void)options;
    auto step = [&](int p) {
        if (progress) progress(p);
    };
    PageResult r;
    r.width = page.width;
    r.height = page.height;
    step(2);
    // A page scanned a little askew is levelled first.
    const double slope = EstimateSlope(page);
    const Image levelled = std::fabs(slope) > 0.0004 ? Level(page, slope) : Image();
    const Image& level = levelled.width > 0 ? levelled : page;
    step(5);
    r.staves = FindStaves(level);
    step(20);
    r.systems = FindSystems(level, r.staves);
    step(30);
    const Image clean = RemoveStaveLines(level, r.staves);
    step(45);
    const Components comps = FindComponents(clean);
    step(60);
    // The page's spacing is the one most of its staves have.
    std::vector<double> spaces;
    for (const Stave& s : r.staves)
        spaces.push_back(s.space);
    if (!spaces.empty()) {
        std::sort(spaces.begin(), spaces.end());
        r.space = spaces[spaces.size() / 2];
    }
    for (std::size_t i = 0; i < r.staves.size(); ++i) {
        r.symbols.push_back(FindSymbols(level, clean, comps, r.staves, static_cast<int>(i)));
        step(60 + static_cast<int>(35 * (i + 1) / r.staves.size()));
    }
    step(100);
    return r;
}

std::string WriteResult(const PageResult& r, const std::string& imagePath) {
    std::ostringstream o;
    const Units u(r.space > 0 ? r.space : 1);
    Line(o, 0, "fileheader {");
    Line(o, 1, Key("version", kResultVersion));
    Line(o, 1, "creator \"veltro\"");
    Line(o, 0, "}");
    Line(o, 0, "score {");
    Line(o, 1, "title$ \"\"");
    Line(o, 1, Key("unitsperstavespacing", kUnitsPerSpace));
    Line(o, 1, "pages {");
    Line(o, 2, "nof 1");
    Line(o, 2, "page {");
    Line(o, 3, Key("width", u(r.width)));
    Line(o, 3, Key("height", u(r.height)));
    Line(o, 3, Key("origwidth", r.width));
    Line(o, 3, Key("origheight", r.height));
    Line(o, 3, Key("spacing", std::lround(r.space * 1024)));
    std::string quoted;
    // Lines stay under 256 characters.
    for (std::size_t i = 0; i < imagePath.size() && quoted.size() < 220; ++i)
        quoted += imagePath[i] == '"' ? std::string("\"\"") : std::string(1, imagePath[i]);
    Line(o, 3, "imagefpath$ \"" + quoted + "\"");
    const int systems = r.systems.empty() ? 0 : r.systems.back() + 1;
    Line(o, 3, "systems {");
    Line(o, 4, Key("nof", systems));
    for (int sys = 0; sys < systems; ++sys) {
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < r.staves.size(); ++i)
            if (r.systems[i] == sys) members.push_back(i);
        int left = r.width, right = 0;
        for (std::size_t i : members) {
            left = std::min(left, r.staves[i].left);
            right = std::max(right, r.staves[i].right);
        }
        const double top = r.staves[members.front()].top();
        const double bottom = r.staves[members.back()].bottom();
        Line(o, 4, "system {");
        Line(o, 5, Key("top", u(top)));
        Line(o, 5, Key("left", u(left)));
        Line(o, 5, Key("width", u(right - left)));
        Line(o, 5, Key("height", u(bottom - top)));
        Line(o, 5, "staves {");
        Line(o, 6, Key("nof", static_cast<long>(members.size())));
        for (std::size_t i : members) {
            const Stave& st = r.staves[i];
            const StaveSymbols& sym = r.symbols[i];
            auto rel = [&](double x) { return u(x - st.left); };
            Line(o, 6, "stave {");
            Line(o, 7, Key("top", u(st.top())));
            Line(o, 7, Key("left", u(st.left)));
            Line(o, 7, Key("width", u(st.right - st.left)));
            Line(o, 7, Key("size", std::lround(64 * st.space / (r.space > 0 ? r.space : 1))));
            // Bars end at the bar lines; what follows the last one is a bar
            // whose line the engine invents at the stave's end.
            std::vector<std::vector<const Chord*>> bars(sym.barlines.size() + 1);
            for (const Chord& c : sym.chords) {
                const double x = c.rest ? c.restX : c.hasStem ? c.stemX : c.heads.front().x;
                std::size_t b = 0;
                while (b < sym.barlines.size() && sym.barlines[b].x < x)
                    ++b;
                bars[b].push_back(&c);
            }
            const bool lastEmpty = bars.back().empty() && !sym.barlines.empty();
            const std::size_t nbars = bars.size() - (lastEmpty ? 1 : 0);
            Line(o, 7, "bars {");
            Line(o, 8, Key("nof", static_cast<long>(nbars)));
            // Beam groups are numbered within their bar from 1.
            std::map<int, int> groupIds;
            for (std::size_t b = 0; b < nbars; ++b) {
                Line(o, 8, "bar {");
                Line(o, 9, "bartime 0/1");
                if (b == 0 && !sym.clefs.empty()) {
                    const Clef& c = sym.clefs.front();
                    Line(o, 9, "clefs {");
                    Line(o, 10, "nof 1");
                    Line(o, 10, "clef {");
                    Line(o, 11,
                         std::string("shape ") + (c.kind == ClefKind::Treble ? "treble" : "bass"));
                    Line(o, 11,
                         "centre " + std::to_string(u(st.middle() - st.top())) + "," +
                             std::to_string(rel(c.x)));
                    Line(o, 11, Key("pitchposn", c.kind == ClefKind::Treble ? 2 : -2));
                    Line(o, 10, "}");
                    Line(o, 9, "}");
                } else {
                    Line(o, 9, "clefs { nof 0 }");
                }
                Line(o, 9, "keysigs { nof 0 }");
                Line(o, 9, "chords {");
                Line(o, 10, Key("nof", static_cast<long>(bars[b].size())));
                for (const Chord* c : bars[b]) {
                    Line(o, 10, "chord {");
                    Line(o, 11, Flag("virtualstem", !c->hasStem));
                    Line(o, 11, Flag("stemup", c->hasStem ? c->stemUp : true));
                    Line(o, 11, Flag("staccato", false));
                    Line(o, 11, Flag("tenuto", false));
                    Line(o, 11, Flag("pause", false));
                    Line(o, 11, Flag("accent", false));
                    Line(o, 11, Flag("stemslash", false));
                    Line(o, 11, Key("naugdots", c->dots));
                    Line(o, 11, Key("nflags", c->flags));
                    double fx = 0;
                    int headEnd = 0;
                    if (c->rest) {
                        fx = c->restX;
                        headEnd = c->restStep;
                    } else {
                        fx = c->hasStem ? c->stemX : c->heads.front().x;
                        headEnd = c->stemUp ? c->heads.back().step : c->heads.front().step;
                    }
                    long flag = rel(fx);
                    if (!c->rest && !c->hasStem) flag -= kStemlessOffset;
                    Line(o, 11, Key("headend", headEnd));
                    Line(o, 11, "flagposn 0," + std::to_string(flag));
                    if (c->beamGroup >= 0) {
                        auto [it, fresh] = groupIds.try_emplace(
                            c->beamGroup, static_cast<int>(groupIds.size()) + 1);
                        (void)fresh;
                        int nodes = 0;
                        for (const Chord* other : bars[b])
                            nodes += other->beamGroup == c->beamGroup;
                        Line(o, 11,
                             "beam { " + Key("id", it->second) + " " + Key("nofleft", c->beamLeft) +
                                 " " + Key("nofnodes", nodes) + " " +
                                 Key("nofright", c->beamRight) + " }");
                    }
                    Line(o, 11, "notes {");
                    const std::size_t n = c->rest ? 1 : c->heads.size();
                    Line(o, 12, Key("nof", static_cast<long>(n)));
                    for (std::size_t h = 0; h < n; ++h) {
                        std::string shape;
                        int p = 0;
                        bool normal = true;
                        if (c->rest) {
                            shape =
                                c->restShape == Shape::SemibreveRest ? "sbreverest" : "minimrest";
                            p = c->restStep;
                        } else {
                            const Head& head = c->heads[h];
                            shape = head.filled ? "solid" : c->hasStem ? "minim" : "sbreve";
                            p = head.step;
                            if (c->hasStem)
                                normal = c->stemUp ? head.x < c->stemX : head.x > c->stemX;
                        }
                        Line(o, 12,
                             "note { shape " + shape + " staveoffset 0 accid_dc 0 " + Key("p", p) +
                                 " accid none" + Flag(" normalside", normal) + " }");
                    }
                    Line(o, 11, "}");
                    Line(o, 10, "}");
                }
                Line(o, 9, "}");
                if (b < sym.barlines.size()) {
                    const Barline& bl = sym.barlines[b];
                    const char* type = bl.type == BarType::Final    ? "thinthick"
                                       : bl.type == BarType::Double ? "double"
                                                                    : "single";
                    Line(o, 9,
                         std::string("barline { type ") + type + " " +
                             Key("leftlinex", rel(bl.leftX)) + " " + Key("rightlinex", rel(bl.x)) +
                             " invented F trueend " + (b + 1 == sym.barlines.size() ? "T" : "F") +
                             " }");
                } else {
                    Line(o, 9,
                         "barline { type single " + Key("leftlinex", rel(st.right)) + " " +
                             Key("rightlinex", rel(st.right)) + " invented T trueend T }");
                }
                Line(o, 8, "}");
            }
            Line(o, 7, "}");
            Line(o, 7, "lyriclines { nof 0 }");
            Line(o, 7, "texts { nof 0 }");
            Line(o, 7, "dynamics { nof 0 }");
            Line(o, 6, "}");
        }
        Line(o, 5, "}");
        Line(o, 5, "slurs { nof 0 }");
        Line(o, 4, "}");
    }
    Line(o, 3, "}");
    Line(o, 2, "}");
    Line(o, 1, "}");
    Line(o, 0, "}");
    return o.str();
}

bool ReadBmp(const std::string& path, Image& out, int& dpi, std::string& error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::string bytes;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    const bool readFailed = std::ferror(f) != 0;
    std::fclose(f);
    if (readFailed) {
        error = "cannot read " + path;
        return false;
    }
    sw::Mask mask;
    uint32_t palette[2];
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (!sw::DecodeBmp1(data, bytes.size(), mask, palette)) {
        error = path + " is not a 1-bit BMP picture";
        return false;
    }
    dpi = sw::Bmp1Resolution(data, bytes.size());
    out = Image(mask.width, mask.height);
    out.px = std::move(mask.ink);
    return true;
}

}  // namespace veltro
