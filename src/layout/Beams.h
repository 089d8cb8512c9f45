// Where a beam group's beams lie: the notes of the group, the line the beams
// follow and the pieces each level is made of, worked out from the laid-out
// notes so drawing only reads them.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
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

// A note by its stave and slot.
struct NoteRef {
    int s = 0, i = 0;
    bool operator==(const NoteRef&) const = default;
    auto operator<=>(const NoteRef&) const = default;
};

// The note a beam link of n (on stave s) names: backward or forward, on the
// stave above or below as its flags say. Nothing when the link is unset or
// leaves the score, the slot or the Notes.
std::optional<NoteRef> BeamNeighbour(const Score& score, int s, const NoteData& n, bool forward);

// The one walk along a beam chain, from note (s, i) and including it, in one
// direction. It stops at a note met before, so a damaged loop ends, and with
// `sameStave` at a link to another stave.
std::vector<NoteRef> WalkBeam(const Score& score, int s, int i, bool forward, bool sameStave);
// The whole chain holding note (s, i), first note first.
std::vector<NoteRef> BeamChain(const Score& score, int s, int i, bool sameStave);

// The group ending at `last`, note i of stave s, first note first, following
// the backward links across staves; a looping chain stops at a repeated note.
// `last` is passed by itself so a note not (yet) in the stave can end a group.
std::vector<BeamNote> BeamGroup(const Score& score, int s, int i, const ScoreObject& last);

// The beams of that group, from the notes' geometry as layout left it.
BeamGeometry LayOutBeams(const Score& score, int s, int i, const ScoreObject& last);

}  // namespace sw
