// Helpers that add staves and objects to a score: used by commands that create
// music and by the generators of examples, benchmarks and tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/Score.h"

namespace sw {

// Appends a music stave with its middle line at y, spanning left..right;
// returns its number, or 0 when the score already has 10000 staves.
int AppendStave(Score& score, int32_t y, int32_t left, int32_t right);

// A fresh object of `kind` at (x, y) in the next slot of stave s, or nullptr
// when the stave is full (249 objects).
ScoreObject* PlaceObject(Score& score, int s, Kind kind, int32_t x, int32_t y,
                         uint8_t glyph = kNoGlyph);

// A note of `value` at `pitch` (its y follows from the pitch).
ScoreObject* PlaceNote(Score& score, int s, int32_t x, int pitch, int value, int stem = 3);

// A text of any length as a chain of ten-character chunks; returns the index
// of the first chunk, or 0 when the stave had no room for all of it (the part
// that fitted stays).
int PlaceText(Score& score, int s, Kind kind, int32_t x, int32_t y, int fontNumber,
              const std::string& text, uint8_t flags = 0);

// A line object from (x, y) to (x + dx, y + dy) with its style, dash (p) and
// gap (q) lengths, and legs of `legLength` in `legDirection` at the ends
// `legEnds` names (0x02 start, 0x04 end).
struct LineShape {
    int dx = 0, dy = 0, width = 1, style = 0, p = 0, q = 0;
    int legLength = 10, legDirection = 0, legEnds = 0;
};
ScoreObject* PlaceLine(Score& score, int s, int32_t x, int32_t y, const LineShape& shape);

// A curve through `points` (x, y), its anchors chained in order; returns the
// first anchor's index, or 0 when the stave had no room for all of them.
int PlaceCurve(Score& score, int s, const std::vector<std::pair<int32_t, int32_t>>& points,
               int thickness, int styleBits = 0);

// The whole text of the chain that starts at object i of stave s.
std::string ChainText(const StaveBlock& block, int i);

}  // namespace sw
