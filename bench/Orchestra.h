// The benchmarks' full score: 1000 bars on 8 staves, as an orchestral
// movement would be, built in memory and written to a .swn file.
#pragma once

#include <string>

#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "render/Text.h"

namespace sw::bench {

// Systems of 8 staves with 4 bars each; every bar has a beamed pair, crotchets,
// an accidental now and then, and a slur every other bar.
inline Score BuildOrchestra(int bars, int staves) {
    Score score;
    score.staveSize = 0.2;  // a full score is printed small
    ScriptedHost host;
    host.setPermissive(true);
    FindOrAddFont(score, FontDesc{"Times New Roman", 10, 0, 0, 0}, host);
    const int width = ComputePageGeometry(score).width;
    unsigned seed = 7;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    int y = 60;
    for (int first = 0; first < bars; first += 4) {
        for (int v = 0; v < staves; ++v) {
            const int s = AppendStave(score, y + v * 60, 20, width - 20);
            StaveHeader& h = score.stave(s).h;
            h.joinToNext = v + 1 < staves;
            h.barlineThrough = h.joinToNext;
            h.withBracket = v == 0;
            h.bracketWithNext = h.joinToNext;
            ScoreObject* clef = PlaceObject(score, s, kClef, 30, h.Ycoord, v < 4 ? 3 : 2);
            clef->data.clef.type = v < 4 ? 0 : 1;
            PlaceObject(score, s, kKeysig, 52, h.Ycoord, 46)->data.keysig.key = 2;
            const double barWidth = (width - 100) / 4.0;
            for (int b = 0; b < 4; ++b) {
                const int bx = 80 + static_cast<int>(b * barWidth);
                int x = bx + 12;
                ScoreObject* a = PlaceNote(score, s, x, rnd(9) - 4, 4, 0);
                ScoreObject* c = PlaceNote(score, s, x + 18, rnd(9) - 4, 4, 0);
                const int i = score.stave(s).h.Nobjec;
                a->note().beamOnTo = static_cast<uint8_t>(i);
                c->note().beamBackTo = static_cast<uint8_t>(i - 1);
                for (int k = 0; k < 3; ++k) {
                    const int pitch = rnd(11) - 5;
                    if (rnd(6) == 0) {
                        ScoreObject* acc = PlaceObject(score, s, kAccidental, x + 50 + 36 * k - 12,
                                                       NoteY(score, s, pitch));
                        acc->data.accidental.pitch = static_cast<int8_t>(pitch);
                        acc->data.accidental.accidental = 1;
                    }
                    PlaceNote(score, s, x + 50 + 36 * k, pitch, 3);
                }
                if (v == 0)
                    PlaceObject(score, s, kBarline, bx + static_cast<int>(barWidth) - 2, h.Ycoord,
                                39);
            }
            TidyStave(score, s, true);
        }
        y += staves * 60 + 40;
    }
    return score;
}

// Writes the score to `path`, laid out as the program would show it: files
// hold paginated positions.
inline bool SaveOrchestra(const std::string& path, int bars = 1000, int staves = 8) {
    Score built = BuildOrchestra(bars, staves);
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    PrepareForDisplay(built, host, measurer);
    return SaveScore(built, path, 0, built.Nstaves, false, false, host) == SaveResult::Saved;
}

}  // namespace sw::bench
