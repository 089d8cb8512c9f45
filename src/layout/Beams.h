// Where a beam group's beams lie: the notes of the group, the line the beams
// follow and the pieces each level is made of, worked out from the laid-out
// notes so drawing only reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

struct BeamNote {
    int s, i;
    const NoteData* n;
    int32_t x;      // stem x
    int32_t headY;  // as drawn: a small stave's y brought in towards its middle
    int levels;
    bool up;
};

struct BeamLine {
    double slope = 0, intercept = 0;
    double at(double x) const { return slope * x + intercept; }
};

// A beam of one level from x1 to x2 (a full beam between two notes or a hook).
struct BeamPiece {
    double x1, x2;
    int level;
};

struct BeamGeometry {
    std::vector<BeamNote> notes;  // first note first; fewer than two: no beam
    BeamLine line;
    int thickness = 4;
    int gap = 2;  // between levels
    bool up = true;
    std::vector<BeamPiece> pieces;
};

// The group ending at `last`, note i of stave s, first note first, following
// the backward links across staves; a looping chain stops at a repeated note.
// `last` is passed by itself so a note not (yet) in the stave can end a group.
std::vector<BeamNote> BeamGroup(const Score& score, int s, int i, const ScoreObject& last);

// The beams of that group, from the notes' geometry as layout left it.
BeamGeometry LayOutBeams(const Score& score, int s, int i, const ScoreObject& last);

}  // namespace sw
