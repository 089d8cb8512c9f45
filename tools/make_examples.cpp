// Writes the example scores under examples/ through the model API, so they stay
// valid as the file code changes:
//   minuet.swn    a keyboard minuet in G (anonymous, 18th century) on braced grand staves
//   twinkle.swn   "Twinkle, twinkle, little star" (words Jane Taylor, 1806) with its lyrics
//   ode-satb.swn  the "Ode to Joy" tune (Beethoven) set for four voices, with bar numbers
// and, with a second folder, the templates offered on New:
//   Piano.SWT, Voice and piano.SWT, SATB choir.SWT, Melody.SWT
//
//   make_examples OUTDIR [TEMPLATEDIR]
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"

namespace {

using namespace sw;

// One event of a voice: a note (or rest) with an optional lyric syllable.
struct Ev {
    int pitch;  // steps above the stave's middle line
    int value;  // 1 semibreve, 2 minim, 3 crotchet, 4 quaver
    int dots = 0;
    bool rest = false;
    const char* lyric = nullptr;
};
using Bar = std::vector<Ev>;

// Length in quavers.
int Quavers(const Ev& e) {
    int q = e.value == 1 ? 8 : e.value == 2 ? 4 : e.value == 3 ? 2 : 1;
    return e.dots ? q + q / 2 : q;
}

struct StaveSpec {
    int clef;  // 0 treble, 1 bass
    bool octaveDown = false;
    std::vector<Bar> bars;
};

struct Piece {
    std::string title, subtitle;
    int key = 0, numerator = 4, denominator = 4;
    int barsPerSystem = 4;
    double staveSize = 0.3;
    bool brace = false;    // grand staves: braced, bar lines through
    bool numbers = false;  // bar numbers above each system
    int staveGap = 80;     // between the staves of a system
    int systemGap = 120;   // between systems
    std::vector<StaveSpec> staves;
};

constexpr int kLeft = 20;

Score Engrave(const Piece& p) {
    Score score;
    score.staveSize = p.staveSize;
    score.setBeamAngle(10);
    score.Tempo = 100;
    ScriptedHost host;
    host.setPermissive(true);
    const int titleFont = FindOrAddFont(score, FontDesc{"Times New Roman", 20, kBold, 0, 0}, host);
    const int subFont = FindOrAddFont(score, FontDesc{"Times New Roman", 11, kItalic, 0, 0}, host);
    const int lyricFont = FindOrAddFont(score, FontDesc{"Times New Roman", 11, 0, 0, 0}, host);
    const int width = ComputePageGeometry(score).width;

    // Staves run across the music area of the page, less a margin at each end.
    const int kRight = ComputePageGeometry(score).width - 20;
    const int totalBars = static_cast<int>(p.staves[0].bars.size());
    const int n = static_cast<int>(p.staves.size());
    int y = 110;
    for (int first = 0; first < totalBars; first += p.barsPerSystem) {
        const int last = std::min(totalBars, first + p.barsPerSystem);
        const bool opening = first == 0;
        // Where the music of this system starts: after clef, key and (first) time.
        const int musicStart = 40 + 8 * std::abs(p.key) + 14 + (opening ? 30 : 0);
        const double barWidth = static_cast<double>(kRight - musicStart) / (last - first);
        std::vector<int> staves;
        for (int v = 0; v < n; ++v) {
            const int s = AppendStave(score, y + v * p.staveGap, kLeft, kRight);
            staves.push_back(s);
            StaveHeader& h = score.stave(s).h;
            h.instrumentUp = h.instrumentDown = 1;
            if (v + 1 < n) {
                h.joinToNext = true;
                h.barlineThrough = p.brace;
                h.withBrace = p.brace;
                h.bracketWithNext = !p.brace && n > 1;
            }
            if (!p.brace && n > 1) h.withBracket = v == 0;
            if (p.numbers && v == 0) {
                h.barNumberPlace = 1;
                h.barNumber = static_cast<uint16_t>(first + 1);
            }
            const StaveSpec& spec = p.staves[static_cast<std::size_t>(v)];
            const int32_t Y = h.Ycoord;
            ScoreObject* clef = PlaceObject(score, s, kClef, 35, Y, spec.clef == 0 ? 3 : 2);
            clef->data.clef.type = static_cast<uint8_t>(spec.clef);
            clef->data.clef.octaveDown = spec.octaveDown;
            if (p.key != 0) {
                ScoreObject* key = PlaceObject(score, s, kKeysig, 58, Y);
                key->data.keysig.key = static_cast<int8_t>(p.key);
            }
            if (opening) {
                // A time signature's y is its numerator's: a space above the middle line.
                ScoreObject* t = PlaceObject(score, s, kTimesig, musicStart - 26, Y - 8);
                t->data.timesig = {static_cast<uint8_t>(p.numerator),
                                   static_cast<uint8_t>(p.denominator), 0, 0};
            }
            for (int b = first; b < last; ++b) {
                const Bar& bar = spec.bars[static_cast<std::size_t>(b)];
                int total = 0;
                for (const Ev& e : bar)
                    total += Quavers(e);
                const double bx = musicStart + (b - first) * barWidth;
                // Notes spread over the bar by their length, a little in from its ends.
                double x = bx + 14;
                const double perQuaver = (barWidth - 26) / std::max(total, 1);
                int pendingQuaver = 0;
                for (const Ev& e : bar) {
                    ScoreObject* o = PlaceNote(score, s, static_cast<int32_t>(x),
                                               e.rest ? 0 : e.pitch, e.value, e.rest ? 2 : 3);
                    o->note().dots = static_cast<uint8_t>(e.dots);
                    o->note().rest = e.rest;
                    const int index = score.stave(s).h.Nobjec;
                    if (e.value == 4 && !e.rest && pendingQuaver) {
                        NoteData& a = score.object(s, pendingQuaver).note();
                        a.beamOnTo = static_cast<uint8_t>(index);
                        o->note().beamBackTo = static_cast<uint8_t>(pendingQuaver);
                        // A beamed pair shares one stem, away from the middle line.
                        a.stem = o->note().stem = a.pitch + o->note().pitch >= 0 ? 1 : 0;
                        pendingQuaver = 0;
                    } else {
                        pendingQuaver = e.value == 4 && !e.rest ? index : 0;
                    }
                    if (e.lyric)
                        PlaceText(score, s, kText, static_cast<int32_t>(x) - 6, Y + 30, lyricFont,
                                  e.lyric);
                    x += perQuaver * Quavers(e);
                }
                // System bar lines live on the top stave.
                if (v == 0) {
                    const bool end = b + 1 == totalBars;
                    ScoreObject* line = PlaceObject(
                        score, s, kBarline, static_cast<int32_t>(bx + barWidth) - (end ? 3 : 1), Y,
                        end ? 41 : 39);
                    line->data.barline.style = end ? 5 : 0;
                }
            }
            TidyStave(score, s, true);
        }
        y += (n - 1) * p.staveGap + p.systemGap;
    }
    // The title belongs to the first page only, so it is text of the first
    // stave above it rather than a header repeated on every page. It is
    // placed on the page, not by the music: spacing the music leaves it.
    constexpr uint8_t kImmobile = 0x02;
    if (!p.title.empty())
        PlaceText(score, 1, kText, width / 2 - 8 * static_cast<int>(p.title.size()), 30, titleFont,
                  p.title, kImmobile);
    if (!p.subtitle.empty())
        PlaceText(score, 1, kText, width - 20 - 6 * static_cast<int>(p.subtitle.size()), 62,
                  subFont, p.subtitle, kImmobile);
    TidyStave(score, 1, true);
    score.CurrentStave = 1;
    return score;
}

// Treble steps: B4 = 0. Bass steps: D3 = 0.
enum : int { C4 = -6, D4, E4, F4, G4, A4, B4, C5, D5, E5, F5, G5, A5 };
enum : int { G2 = -4, A2, B2, C3, D3, E3, F3, G3, A3, B3, C4b, D4b };

Piece Minuet() {
    Piece p;
    p.title = "Minuet in G";
    p.subtitle = "Anonymous, 18th century";
    p.key = 1;
    p.numerator = 3;
    p.denominator = 4;
    p.staveSize = 0.4;
    p.brace = true;
    p.barsPerSystem = 4;
    p.staveGap = 90;
    p.systemGap = 130;
    const Bar b1 = {{D5, 3}, {G4, 4}, {A4, 4}, {B4, 4}, {C5, 4}};
    const Bar b2 = {{D5, 3}, {G4, 3}, {G4, 3}};
    const Bar b3 = {{E5, 3}, {C5, 4}, {D5, 4}, {E5, 4}, {F5, 4}};
    const Bar b4 = {{G5, 3}, {G4, 3}, {G4, 3}};
    const Bar b5 = {{C5, 3}, {D5, 4}, {C5, 4}, {B4, 4}, {A4, 4}};
    const Bar b6 = {{B4, 3}, {C5, 4}, {B4, 4}, {A4, 4}, {G4, 4}};
    const Bar b7 = {{F4, 3}, {G4, 4}, {A4, 4}, {B4, 4}, {G4, 4}};
    const Bar b8 = {{A4, 2, 1}};
    const Bar b15 = {{A4, 3}, {B4, 4}, {A4, 4}, {G4, 4}, {F4, 4}};
    const Bar b16 = {{G4, 2, 1}};
    p.staves.push_back(
        {0, false, {b1, b2, b3, b4, b5, b6, b7, b8, b1, b2, b3, b4, b5, b6, b15, b16}});
    const Bar l1 = {{G3, 2}, {A3, 3}};
    const Bar l2 = {{B3, 2, 1}};
    const Bar l3 = {{C4b, 2, 1}};
    const Bar l5 = {{A3, 2, 1}};
    const Bar l6 = {{G3, 2, 1}};
    const Bar l7 = {{D4b, 3}, {B3, 3}, {G3, 3}};
    const Bar l8 = {{D4b, 3}, {D3, 3}, {C4b, 3}};
    const Bar l15 = {{C4b, 3}, {D4b, 3}, {D3, 3}};
    const Bar l16 = {{G3, 2}, {G2, 3}};
    p.staves.push_back(
        {1, false, {l1, l2, l3, l2, l5, l6, l7, l8, l1, l2, l3, l2, l5, l6, l15, l16}});
    return p;
}

Piece Twinkle() {
    Piece p;
    p.title = "Twinkle, Twinkle, Little Star";
    p.subtitle = "Words: Jane Taylor (1806)";
    p.barsPerSystem = 4;
    p.systemGap = 110;
    // C major, the tune in crotchets and minims.
    std::vector<Bar> m = {
        {{C4, 3, 0, false, "Twin-"},
         {C4, 3, 0, false, "kle,"},
         {G4, 3, 0, false, "twin-"},
         {G4, 3, 0, false, "kle,"}},
        {{A4, 3, 0, false, "lit-"}, {A4, 3, 0, false, "tle"}, {G4, 2, 0, false, "star,"}},
        {{F4, 3, 0, false, "How"},
         {F4, 3, 0, false, "I"},
         {E4, 3, 0, false, "won-"},
         {E4, 3, 0, false, "der"}},
        {{D4, 3, 0, false, "what"}, {D4, 3, 0, false, "you"}, {C4, 2, 0, false, "are!"}},
        {{G4, 3, 0, false, "Up"},
         {G4, 3, 0, false, "a-"},
         {F4, 3, 0, false, "bove"},
         {F4, 3, 0, false, "the"}},
        {{E4, 3, 0, false, "world"}, {E4, 3, 0, false, "so"}, {D4, 2, 0, false, "high,"}},
        {{G4, 3, 0, false, "Like"},
         {G4, 3, 0, false, "a"},
         {F4, 3, 0, false, "dia-"},
         {F4, 3, 0, false, "mond"}},
        {{E4, 3, 0, false, "in"}, {E4, 3, 0, false, "the"}, {D4, 2, 0, false, "sky."}},
        {{C4, 3, 0, false, "Twin-"},
         {C4, 3, 0, false, "kle,"},
         {G4, 3, 0, false, "twin-"},
         {G4, 3, 0, false, "kle,"}},
        {{A4, 3, 0, false, "lit-"}, {A4, 3, 0, false, "tle"}, {G4, 2, 0, false, "star,"}},
        {{F4, 3, 0, false, "How"},
         {F4, 3, 0, false, "I"},
         {E4, 3, 0, false, "won-"},
         {E4, 3, 0, false, "der"}},
        {{D4, 3, 0, false, "what"}, {D4, 3, 0, false, "you"}, {C4, 2, 0, false, "are!"}},
    };
    p.staves.push_back({0, false, m});
    return p;
}

Piece OdeSatb() {
    Piece p;
    p.title = "Ode to Joy";
    p.subtitle = "L. van Beethoven, arranged for four voices";
    p.barsPerSystem = 4;
    p.numbers = true;
    p.staveGap = 70;
    p.systemGap = 110;
    p.staveSize = 0.25;
    // Soprano and alto in the treble clef.
    const std::vector<Bar> s = {
        {{E5, 3}, {E5, 3}, {F5, 3}, {G5, 3}}, {{G5, 3}, {F5, 3}, {E5, 3}, {D5, 3}},
        {{C5, 3}, {C5, 3}, {D5, 3}, {E5, 3}}, {{E5, 3, 1}, {D5, 4}, {D5, 2}},
        {{E5, 3}, {E5, 3}, {F5, 3}, {G5, 3}}, {{G5, 3}, {F5, 3}, {E5, 3}, {D5, 3}},
        {{C5, 3}, {C5, 3}, {D5, 3}, {E5, 3}}, {{D5, 3, 1}, {C5, 4}, {C5, 2}}};
    const std::vector<Bar> a = {
        {{C5, 3}, {C5, 3}, {C5, 3}, {B4, 3}}, {{C5, 3}, {A4, 3}, {G4, 3}, {G4, 3}},
        {{E4, 3}, {A4, 3}, {G4, 3}, {G4, 3}}, {{G4, 3, 1}, {G4, 4}, {G4, 2}},
        {{C5, 3}, {C5, 3}, {C5, 3}, {B4, 3}}, {{C5, 3}, {A4, 3}, {G4, 3}, {G4, 3}},
        {{E4, 3}, {A4, 3}, {G4, 3}, {G4, 3}}, {{G4, 3, 1}, {E4, 4}, {E4, 2}}};
    // Tenor in the treble clef an octave down, bass in the bass clef.
    const std::vector<Bar> t = {
        {{G4, 3}, {G4, 3}, {A4, 3}, {D5, 3}}, {{E5, 3}, {C5, 3}, {C5, 3}, {B4, 3}},
        {{G4, 3}, {E4, 3}, {B4, 3}, {C5, 3}}, {{C5, 3, 1}, {B4, 4}, {B4, 2}},
        {{G4, 3}, {G4, 3}, {A4, 3}, {D5, 3}}, {{E5, 3}, {C5, 3}, {C5, 3}, {B4, 3}},
        {{G4, 3}, {E4, 3}, {B4, 3}, {C5, 3}}, {{B4, 3, 1}, {G4, 4}, {G4, 2}}};
    const std::vector<Bar> b = {
        {{C4b, 3}, {C4b, 3}, {F3, 3}, {G3, 3}}, {{C3, 3}, {F3, 3}, {C4b, 3}, {G3, 3}},
        {{A3, 3}, {A3, 3}, {G3, 3}, {C3, 3}},   {{C3, 3, 1}, {G3, 4}, {G2, 2}},
        {{C4b, 3}, {C4b, 3}, {F3, 3}, {G3, 3}}, {{C3, 3}, {F3, 3}, {C4b, 3}, {G3, 3}},
        {{A3, 3}, {A3, 3}, {G3, 3}, {C3, 3}},   {{G2, 3, 1}, {C3, 4}, {C3, 2}}};
    p.staves.push_back({0, false, s});
    p.staves.push_back({0, false, a});
    p.staves.push_back({0, true, t});
    p.staves.push_back({1, false, b});
    return p;
}

// A template: the staves of one kind of piece, empty, in four systems.
Piece Template(std::vector<StaveSpec> staves, bool brace) {
    Piece p;
    p.barsPerSystem = 1;
    p.brace = brace;
    for (StaveSpec& spec : staves)
        spec.bars.assign(4, Bar{});
    p.staves = std::move(staves);
    return p;
}

bool WriteTemplate(Score score, const std::string& path, const std::string& description) {
    ScriptedHost host;
    // The time signatures and bar lines belong in these templates.
    host.expectMessage("more than simply staves", Answer::Yes);
    const SaveResult r = SaveScore(score, path, 1, score.Nstaves, true, false, host, FileEnv{},
                                   [&] { return std::optional<std::string>(description); });
    if (r == SaveResult::Saved) return true;
    for (const std::string& problem : host.problems())
        std::fprintf(stderr, "make_examples: %s\n", problem.c_str());
    std::fprintf(stderr, "make_examples: could not write %s\n", path.c_str());
    return false;
}

bool Write(Score& score, const std::string& path) {
    ScriptedHost host;
    host.setPermissive(true);
    if (SaveScore(score, path, 0, score.Nstaves, false, false, host) == SaveResult::Saved)
        return true;
    std::fprintf(stderr, "make_examples: could not write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "examples";
    Score minuet = Engrave(Minuet());
    Score twinkle = Engrave(Twinkle());
    Score ode = Engrave(OdeSatb());
    bool ok = Write(minuet, dir + "/minuet.swn") && Write(twinkle, dir + "/twinkle.swn") &&
              Write(ode, dir + "/ode-satb.swn");
    if (argc > 2) {
        const std::string t = argv[2];
        ok = ok &&
             WriteTemplate(Engrave(Template({{0, false, {}}, {1, false, {}}}, true)),
                           t + "/Piano.SWT", "Piano: treble and bass staves, braced") &&
             WriteTemplate(
                 Engrave(Template({{0, false, {}}, {0, false, {}}, {1, false, {}}}, false)),
                 t + "/Voice and piano.SWT", "Voice and piano") &&
             WriteTemplate(
                 Engrave(Template({{0, false, {}}, {0, false, {}}, {0, true, {}}, {1, false, {}}},
                                  false)),
                 t + "/SATB choir.SWT", "SATB choir: soprano, alto, tenor, bass") &&
             WriteTemplate(Engrave(Template({{0, false, {}}}, false)), t + "/Melody.SWT",
                           "Melody: a single treble stave");
    }
    return ok ? 0 : 1;
}
