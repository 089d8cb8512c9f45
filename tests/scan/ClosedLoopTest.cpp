// The closed loop: pages printed to 1-bit BMPs at print scale, recognised by
// the engine, converted back into scores and compared with what was printed.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "Engine.h"
#include "core/AtomicFile.h"
#include "core/Bmp1.h"
#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/Printing.h"
#include "render/Text.h"
#include "scan/ResultConversion.h"

namespace sw {
namespace {

constexpr int kTolerance = 16;  // two spaces of a normal stave, in page pixels

struct Item {
    int x, pitch, value;
    bool rest;
};

std::vector<Item> NotesOf(const Score& score, int s) {
    std::vector<Item> out;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[static_cast<std::size_t>(i)];
        if (o.kind != kNote) continue;
        out.push_back({o.x - b.h.LeftX, o.note().pitch, o.note().noteValue, o.note().rest != 0});
    }
    std::sort(out.begin(), out.end(), [](const Item& a, const Item& b) {
        return a.x < b.x || (a.x == b.x && a.pitch < b.pitch);
    });
    return out;
}

std::vector<int> XsOf(const Score& score, int s, int kind) {
    std::vector<int> out;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[static_cast<std::size_t>(i)].kind == kind)
            out.push_back(b.obj[static_cast<std::size_t>(i)].x - b.h.LeftX);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<int> ClefsOf(const Score& score, int s) {
    std::vector<int> out;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[static_cast<std::size_t>(i)].kind == kClef)
            out.push_back(b.obj[static_cast<std::size_t>(i)].data.clef.type);
    return out;
}

// In-order matching (the longest common subsequence) of `want` in `got`.
template <class Match>
std::vector<std::pair<std::size_t, std::size_t>> Align(std::size_t n, std::size_t m, Match match) {
    std::vector<std::vector<int>> best(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            best[i][j] = std::max(
                {best[i + 1][j], best[i][j + 1], match(i, j) ? best[i + 1][j + 1] + 1 : 0});
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (match(i, j) && best[i][j] == best[i + 1][j + 1] + 1) {
            pairs.emplace_back(i, j);
            ++i;
            ++j;
        } else if (best[i + 1][j] >= best[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

struct Figures {
    int staves = 0, stavesFound = 0, systemsOk = 0, clefs = 0, clefsFound = 0;
    int barlines = 0, barlinesFound = 0;
    int heads = 0, headsFound = 0, extraHeads = 0;
    int values = 0, valuesRight = 0;
    double meanDx = 0;

    std::string text() const {
        std::ostringstream o;
        o << "staves " << stavesFound << "/" << staves << ", clefs " << clefsFound << "/" << clefs
          << ", bar lines " << barlinesFound << "/" << barlines << ", heads " << headsFound << "/"
          << heads << " (" << 100.0 * headsFound / std::max(heads, 1) << "%), extra " << extraHeads
          << " (" << 100.0 * extraHeads / std::max(heads, 1) << "%), values " << valuesRight << "/"
          << values << " (" << 100.0 * valuesRight / std::max(values, 1) << "%), mean dx "
          << meanDx;
        return o.str();
    }
};

// The staves of page 1 against the recognised ones, stave for stave.
Figures Compare(const Score& printed, const std::vector<int>& pageStaves, const Score& read) {
    Figures f;
    f.staves = static_cast<int>(pageStaves.size());
    f.stavesFound = read.Nstaves;
    const int n = std::min<int>(f.staves, read.Nstaves);
    int dxCount = 0;
    for (int k = 0; k < n; ++k) {
        const int s = pageStaves[static_cast<std::size_t>(k)];
        const int r = k + 1;
        const bool lastOnPage = k + 1 == f.staves;
        if ((!lastOnPage && printed.stave(s).h.joinToNext) == read.stave(r).h.joinToNext)
            ++f.systemsOk;
        const std::vector<int> wantClefs = ClefsOf(printed, s), gotClefs = ClefsOf(read, r);
        f.clefs += static_cast<int>(wantClefs.size());
        for (std::size_t c = 0; c < std::min(wantClefs.size(), gotClefs.size()); ++c)
            f.clefsFound += wantClefs[c] == gotClefs[c];
        if (IsFirstStaveOfSystem(printed, s)) {
            const std::vector<int> want = XsOf(printed, s, kBarline), got = XsOf(read, r, kBarline);
            f.barlines += static_cast<int>(want.size());
            f.barlinesFound +=
                static_cast<int>(Align(want.size(), got.size(), [&](std::size_t i, std::size_t j) {
                                     return std::abs(want[i] - got[j]) <= kTolerance;
                                 }).size());
        }
        const std::vector<Item> want = NotesOf(printed, s), got = NotesOf(read, r);
        std::vector<Item> wantHeads, gotHeads, wantRests, gotRests;
        for (const Item& i : want)
            (i.rest ? wantRests : wantHeads).push_back(i);
        for (const Item& i : got)
            (i.rest ? gotRests : gotHeads).push_back(i);
        const auto heads =
            Align(wantHeads.size(), gotHeads.size(), [&](std::size_t i, std::size_t j) {
                return wantHeads[i].pitch == gotHeads[j].pitch &&
                       std::abs(wantHeads[i].x - gotHeads[j].x) <= kTolerance;
            });
        const auto rests =
            Align(wantRests.size(), gotRests.size(), [&](std::size_t i, std::size_t j) {
                return std::abs(wantRests[i].x - gotRests[j].x) <= kTolerance;
            });
        f.heads += static_cast<int>(wantHeads.size());
        f.headsFound += static_cast<int>(heads.size());
        f.extraHeads += static_cast<int>(gotHeads.size() - heads.size());
        f.values += static_cast<int>(wantHeads.size() + wantRests.size());
        for (const auto& [i, j] : heads) {
            f.valuesRight += wantHeads[i].value == gotHeads[j].value;
            f.meanDx += gotHeads[j].x - wantHeads[i].x;
            ++dxCount;
        }
        for (const auto& [i, j] : rests)
            f.valuesRight += wantRests[i].value == gotRests[j].value;
    }
    if (dxCount) f.meanDx /= dxCount;
    return f;
}

// Page 1 of `score` printed, recognised and converted: the figures.
Figures Loop(Score& score, const std::function<void(Mask&)>& spoil = {}) {
    GlyphStore glyphs;
    DrawSettings settings;
    const QImage picture = PagePicture(glyphs, score, 1, settings);
    Mask mask = MaskOf(picture);
    if (spoil) spoil(mask);
    const int dpi = static_cast<int>(std::lround(PrintPictureGeometry(score).scale));
    const std::string bmp = EncodeBmp1(mask, dpi);
    const auto* bytes = reinterpret_cast<const uint8_t*>(bmp.data());
    Mask read;
    uint32_t palette[2];
    EXPECT_TRUE(DecodeBmp1(bytes, bmp.size(), read, palette));
    veltro::Image page(read.width, read.height);
    page.px = read.ink;
    const veltro::PageResult result = veltro::Recognise(page, veltro::Options{});
    std::istringstream text(veltro::WriteResult(result, "page.bmp"));
    RecognitionTables tables;
    ReadRecognitionResult(text, tables);
    ConversionOptions options;
    options.dpiText = std::to_string(Bmp1Resolution(bytes, bmp.size()));
    ConversionOutcome outcome;
    auto recognised = std::make_unique<Score>();
    QtTextMeasurer measurer;
    EXPECT_TRUE(BuildScoreFromResult(tables, options, false, {}, measurer, *recognised, outcome));
    std::vector<int> pageStaves;
    for (int s = 1; s <= score.Nstaves; ++s)
        if (score.stave(s).h.PageNum == 1) pageStaves.push_back(s);
    EXPECT_EQ(outcome.geometry.staveSize, static_cast<int>(std::lround(score.staveSize * 1000)));
    return Compare(score, pageStaves, *recognised);
}

// `barlinesMissed`: how many bar lines noise may take from a page.
void ExpectGood(const Figures& f, const std::string& name, int barlinesMissed = 0) {
    std::cout << "[ closed loop ] " << name << ": " << f.text() << std::endl;
    EXPECT_EQ(f.stavesFound, f.staves) << name;
    EXPECT_EQ(f.systemsOk, f.staves) << name;
    EXPECT_EQ(f.clefsFound, f.clefs) << name;
    EXPECT_LE(f.barlinesFound, f.barlines) << name;
    EXPECT_GE(f.barlinesFound, f.barlines - barlinesMissed) << name;
    EXPECT_GE(f.headsFound, 0.9 * f.heads) << name;
    EXPECT_LT(f.extraHeads, 0.1 * f.heads) << name;
    EXPECT_GE(f.valuesRight, 0.8 * f.values) << name;
}

std::unique_ptr<Score> Open(const std::string& path) {
    auto score = std::make_unique<Score>();
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    EXPECT_TRUE(OpenForDisplay(*score, path, host, measurer).load.ok) << path;
    return score;
}

// A page with both clefs, chords, beams and rests: two systems of a treble
// and a bass stave, four bars each.
std::unique_ptr<Score> TestPage() {
    auto score = std::make_unique<Score>();
    score->staveSize = 0.3;
    struct Ev {
        std::vector<int> pitches;  // empty: a rest
        int value;
        bool beamToNext = false;
    };
    using Bar = std::vector<Ev>;
    const std::vector<Bar> treble = {
        {{{-6, -4, -2}, 3}, {{0}, 3}, {{1}, 4, true}, {{2}, 4}, {{-3}, 4, true}, {{-1}, 4}},
        {{{-4, -2}, 2}, {{}, 2}},
        {{{}, 1}},
        {{{-1}, 1}},
        {{{3}, 3}, {{-5, -3}, 3}, {{}, 2}},
        {{{-2}, 4, true}, {{-1}, 4, true}, {{0}, 4, true}, {{1}, 4}, {{4, 2}, 2}},
        {{{0}, 2}, {{-6}, 2}},
        {{{}, 1}},
    };
    const std::vector<Bar> bass = {
        {{{2}, 2}, {{0, -2}, 2}},
        {{{}, 1}},
        {{{-1}, 4, true}, {{0}, 4}, {{}, 2}, {{3}, 3}},
        {{{1, -1, -3}, 1}},
        {{{}, 2}, {{-4}, 2}},
        {{{2}, 3}, {{0}, 3}, {{-2}, 3}, {{-4}, 3}},
        {{{5}, 1}},
        {{{-3}, 2}, {{}, 2}},
    };
    const int kLeft = 10, kRight = 620, kStart = 70;
    for (int system = 0; system < 2; ++system) {
        const int y = 60 + system * 190;
        for (int v = 0; v < 2; ++v) {
            const int s = AppendStave(*score, y + v * 80, kLeft, kRight);
            StaveHeader& h = score->stave(s).h;
            h.joinToNext = v == 0;
            h.PageNum = 1;
            ScoreObject* clef = PlaceObject(*score, s, kClef, kLeft + 25, h.Ycoord, v == 0 ? 3 : 2);
            clef->data.clef.type = static_cast<uint8_t>(v);
            const double barWidth = (kRight - kStart) / 4.0;
            for (int b = 0; b < 4; ++b) {
                const Bar& bar = (v == 0 ? treble : bass)[static_cast<std::size_t>(system * 4 + b)];
                const double step = (barWidth - 30) / static_cast<double>(bar.size());
                int previous = 0;
                for (std::size_t e = 0; e < bar.size(); ++e) {
                    const Ev& ev = bar[e];
                    const int x = static_cast<int>(kStart + b * barWidth + 16 + step * e);
                    if (ev.pitches.empty()) {
                        PlaceNote(*score, s, x, 0, ev.value, 2)->note().rest = 1;
                        previous = 0;
                        continue;
                    }
                    int stemEnd = 0;
                    for (int p : ev.pitches) {
                        ScoreObject* o =
                            PlaceNote(*score, s, x, p, ev.value, ev.value >= 2 ? 0 : 2);
                        o->note().stem = ev.pitches.front() >= 0 ? 1 : 0;
                        stemEnd = score->stave(s).h.Nobjec;
                    }
                    if (previous) {
                        score->object(s, previous).note().beamOnTo = static_cast<uint8_t>(stemEnd);
                        score->object(s, stemEnd).note().beamBackTo =
                            static_cast<uint8_t>(previous);
                        score->object(s, stemEnd).note().stem =
                            score->object(s, previous).note().stem;
                    }
                    previous = ev.beamToNext ? stemEnd : 0;
                }
                if (v == 0) {
                    ScoreObject* line = PlaceObject(
                        *score, s, kBarline, static_cast<int>(kStart + (b + 1) * barWidth) - 1,
                        h.Ycoord, 39);
                    line->data.barline.style = 0;
                }
            }
        }
    }
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    PrepareForDisplay(*score, host, measurer);
    return score;
}

TEST(ClosedLoop, TestPageWithChordsBeamsAndRestsComesBack) {
    auto score = TestPage();
    if (const char* out = std::getenv("SW_TEST_PAGE")) {
        GlyphStore glyphs;
        const QImage picture = PagePicture(glyphs, *score, 1, DrawSettings{});
        picture.save(out);
        WriteFileAtomically(std::string(out) + ".bmp", EncodePictureFile(picture, true, 320));
    }
    ExpectGood(Loop(*score), "test page");
}

TEST(ClosedLoop, ExamplesComeBack) {
    for (const char* name : {"minuet", "twinkle", "ode-satb"}) {
        auto score = Open(std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/" + name + ".swn");
        ExpectGood(Loop(*score), name);
    }
}

// The page turned by `degrees` about its centre (nearest pixel).
void Rotate(Mask& m, double degrees) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    const double cx = m.width / 2.0, cy = m.height / 2.0;
    std::vector<uint8_t> out(m.ink.size(), 0);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            const int sx = static_cast<int>(std::lround(cx + (x - cx) * c + (y - cy) * s));
            const int sy = static_cast<int>(std::lround(cy - (x - cx) * s + (y - cy) * c));
            if (sx >= 0 && sy >= 0 && sx < m.width && sy < m.height)
                out[static_cast<std::size_t>(y * m.width + x)] = m.at(sx, sy);
        }
    m.ink = std::move(out);
}

// One pixel in a hundred made black or white at random.
void SaltAndPepper(Mask& m) {
    unsigned seed = 12345;
    for (uint8_t& p : m.ink) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = (seed >> 8) % 200;
        if (r < 2) p = r == 0;
    }
}

TEST(ClosedLoop, ATurnedPageComesBack) {
    auto score = Open(std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/minuet.swn");
    ExpectGood(Loop(*score, [](Mask& m) { Rotate(m, 0.5); }), "minuet turned 0.5 degrees");
    ExpectGood(Loop(*score, [](Mask& m) { Rotate(m, -0.5); }), "minuet turned -0.5 degrees");
}

TEST(ClosedLoop, ANoisyPageComesBack) {
    for (const char* name : {"minuet", "ode-satb"}) {
        auto score = Open(std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/" + name + ".swn");
        // The thin lines joining staves can drown in the noise: one bar line may go.
        ExpectGood(Loop(*score, SaltAndPepper), std::string(name) + " with 1% noise", 1);
    }
}

}  // namespace
}  // namespace sw
