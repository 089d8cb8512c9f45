// Writes the example score opened by `make run`: the first eight bars of a
// minuet in G for keyboard, two systems of treble and bass staves.
#include <cstdio>
#include <vector>

#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "model/Build.h"

namespace {

using namespace sw;

struct N {
    int pitch;  // steps above the middle line
    int value;  // 2 minim, 3 crotchet, 4 quaver
    int dots;
};

constexpr int kBarStart = 140;
constexpr int kBarWidth = 153;
constexpr int kBeat = 40;

// Places one bar of notes, beaming consecutive quavers in pairs.
void Bar(Score& score, int s, int bar, const std::vector<N>& notes) {
    int x = kBarStart + bar * kBarWidth + 20;
    int pendingQuaver = 0;
    for (const N& n : notes) {
        ScoreObject* o = PlaceNote(score, s, x, n.pitch, n.value);
        o->note().dots = static_cast<uint8_t>(n.dots);
        int index = score.stave(s).h.Nobjec;
        if (n.value == 4) {
            if (pendingQuaver) {
                NoteData& first = score.object(s, pendingQuaver).note();
                first.beamOnTo = static_cast<uint8_t>(index);
                o->note().beamBackTo = static_cast<uint8_t>(pendingQuaver);
                // A beamed pair shares one stem direction, away from the middle line.
                const uint8_t stem = first.pitch + o->note().pitch >= 0 ? 1 : 0;
                first.stem = o->note().stem = stem;
                pendingQuaver = 0;
            } else {
                pendingQuaver = index;
            }
        }
        int beats2 = n.value == 2 ? 4 : (n.value == 3 ? 2 : 1);  // in quavers
        if (n.dots) beats2 += beats2 / 2;
        x += beats2 * kBeat / 2;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "examples/minuet.swn";
    Score score;
    score.Spacing = 3;
    score.Pulse = 3;
    score.setBeamAngle(10);
    score.Tempo = 100;
    score.staveSize = 0.3;

    ScriptedHost host;
    FontDesc title{"Times New Roman", 20, kBold, 0, 0};
    FontDesc sub{"Times New Roman", 11, kItalic, 0, 0};
    int titleFont = FindOrAddFont(score, title, host);
    int subFont = FindOrAddFont(score, sub, host);
    PlaceText(score, 0, kHeadertext, 310, 40, titleFont, "Minuet in G");
    PlaceText(score, 0, kHeadertext, 570, 75, subFont, "Anonymous, 18th century");

    const std::vector<std::vector<N>> treble = {
        {{2, 3, 0}, {-2, 4, 0}, {-1, 4, 0}, {0, 4, 0}, {1, 4, 0}},
        {{2, 3, 0}, {-2, 3, 0}, {-2, 3, 0}},
        {{3, 3, 0}, {1, 4, 0}, {2, 4, 0}, {3, 4, 0}, {4, 4, 0}},
        {{5, 3, 0}, {-2, 3, 0}, {-2, 3, 0}},
        {{1, 3, 0}, {2, 4, 0}, {1, 4, 0}, {0, 4, 0}, {-1, 4, 0}},
        {{0, 3, 0}, {1, 4, 0}, {0, 4, 0}, {-1, 4, 0}, {-2, 4, 0}},
        {{-3, 3, 0}, {-2, 4, 0}, {-1, 4, 0}, {0, 4, 0}, {-2, 4, 0}},
        {{-1, 2, 1}},
    };
    const std::vector<std::vector<N>> bass = {
        {{3, 2, 0}, {4, 3, 0}},
        {{5, 2, 1}},
        {{6, 2, 1}},
        {{5, 2, 1}},
        {{4, 2, 1}},
        {{3, 2, 1}},
        {{7, 3, 0}, {5, 3, 0}, {3, 3, 0}},
        {{7, 3, 0}, {0, 3, 0}, {6, 3, 0}},
    };

    for (int system = 0; system < 2; ++system) {
        int y = 190 + system * 230;
        int t = AppendStave(score, y, 20, 755);
        int b = AppendStave(score, y + 90, 20, 755);
        StaveHeader& th = score.stave(t).h;
        th.joinToNext = true;
        th.withBrace = true;
        th.barlineThrough = true;
        th.instrumentUp = th.instrumentDown = 1;
        score.stave(b).h.instrumentUp = score.stave(b).h.instrumentDown = 1;
        score.stave(b).h.Ycoord = y + 90;

        for (int s : {t, b}) {
            bool isTreble = s == t;
            ScoreObject* clef =
                PlaceObject(score, s, kClef, 35, score.stave(s).h.Ycoord, isTreble ? 3 : 2);
            clef->data.clef.type = isTreble ? 0 : 1;
            ScoreObject* key = PlaceObject(score, s, kKeysig, 62, score.stave(s).h.Ycoord, 46);
            key->data.keysig.key = 1;
            if (system == 0) {
                // A time signature's y is its numerator's: a space above the middle line.
                ScoreObject* time =
                    PlaceObject(score, s, kTimesig, 85, score.stave(s).h.Ycoord - 8);
                time->data.timesig = {3, 4, 0, 0};
            }
            for (int bar = 0; bar < 4; ++bar)
                Bar(score, s, bar, (isTreble ? treble : bass)[system * 4 + bar]);
        }
        for (int bar = 1; bar <= 4; ++bar) {
            ScoreObject* line = PlaceObject(score, t, kBarline, kBarStart + bar * kBarWidth - 10, y,
                                            bar == 4 && system == 1 ? 41 : 39);
            line->data.barline.style = bar == 4 && system == 1 ? 5 : 0;
        }
        for (int s : {t, b})
            TidyStave(score, s, true);
    }
    score.CurrentStave = 1;

    if (SaveScore(score, out, 0, score.Nstaves, false, false, host) != SaveResult::Saved) {
        std::fprintf(stderr, "make_example: could not write %s\n", out);
        return 1;
    }
    return 0;
}
