// The benchmarks' large score: 10000 staves of 200 mixed objects each, as
// the loading, saving and snapshot benchmarks use it.
#pragma once

#include <string>

#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "model/Build.h"

namespace sw::bench {

// A stave of 200 objects in a mix a real score has: notes (some beamed and
// tied), accidentals, bar lines, texts, lines, curves and a clef and key.
inline void FillStave(Score& score, int s, unsigned& seed) {
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    StaveHeader& h = score.stave(s).h;
    PlaceObject(score, s, kClef, h.LeftX + 10, h.Ycoord, 3);
    PlaceObject(score, s, kKeysig, h.LeftX + 40, h.Ycoord, 46)->data.keysig.key = 2;
    int x = h.LeftX + 60;
    int pendingBeam = 0;
    while (score.stave(s).h.Nobjec < 200) {
        int r = rnd(100);
        x += 3 + rnd(4);
        if (r < 60) {
            ScoreObject* n = PlaceNote(score, s, x, rnd(13) - 6, 3 + rnd(3));
            int i = score.stave(s).h.Nobjec;
            if (n->note().noteValue >= 4) {
                if (pendingBeam) {
                    score.object(s, pendingBeam).note().beamOnTo = static_cast<uint8_t>(i);
                    n->note().beamBackTo = static_cast<uint8_t>(pendingBeam);
                    pendingBeam = 0;
                } else {
                    pendingBeam = i;
                }
            }
        } else if (r < 70) {
            ScoreObject* a = PlaceObject(score, s, kAccidental, x, h.Ycoord, 46);
            a->data.accidental.pitch = static_cast<int8_t>(rnd(9) - 4);
            a->data.accidental.accidental = 1;
        } else if (r < 78) {
            PlaceObject(score, s, kBarline, x, h.Ycoord, 39);
        } else if (r < 86 && score.stave(s).h.Nobjec < 197) {
            PlaceText(score, s, kText, x, h.Ycoord + 30, 1, "allegro con brio");
        } else if (r < 93) {
            ScoreObject* l = PlaceObject(score, s, kLine, x, h.Ycoord - 30);
            l->data.line.dx = 40;
            l->data.line.dashLength = l->data.line.gapLength = 5;
        } else if (score.stave(s).h.Nobjec < 199) {
            ScoreObject* c1 = PlaceObject(score, s, kCurve, x, h.Ycoord - 20);
            ScoreObject* c2 = PlaceObject(score, s, kCurve, x + 30, h.Ycoord - 20);
            int i2 = score.stave(s).h.Nobjec;
            c1->curve().nextAnchor = static_cast<uint8_t>(i2);
            c2->curve().prevAnchor = static_cast<uint8_t>(i2 - 1);
        }
    }
}

// Builds the large score of `staves` staves.
inline Score BuildLargeScore(int staves) {
    ScriptedHost host;
    host.setPermissive(true);
    Score score;
    FindOrAddFont(score, FontDesc{"Liberation Serif", 12, 0, 0, 0}, host);
    unsigned seed = 1;
    for (int s = 1; s <= staves; ++s) {
        AppendStave(score, 100 + (s % 20) * 120, 60, 60 + 6000);
        FillStave(score, s, seed);
    }
    return score;
}

}  // namespace sw::bench
