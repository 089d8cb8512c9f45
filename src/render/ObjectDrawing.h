// Drawing one stave object: which glyphs, lines, curves and texts each kind
// is made of, where they go and in which colour.
#pragma once

#include <cstdint>

#include "core/Colours.h"
#include "model/Score.h"
#include "render/ObjectShapes.h"
#include "render/Surface.h"

namespace sw {

// The "Colours" settings (0x00BBGGRR) with their defaults.

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kLightGrey = 0xC0C0C0;
constexpr uint32_t kPureBlue = 0xFF0000;

// What drawing needs besides the score: colours and settings, the text
// environment, and the bar-number font.
struct DrawSettings {
    Colours colours;
    bool showAnchors = false;
    TextEnv textEnv;
    FontDesc barFont{"Times New Roman", 10, 0, 0, 0};
};

struct DrawRequest {
    uint32_t colour = 0;
    bool rubberBand = false;
    bool normalDrawing = true;  // the page renderer, not the editor
};

// Draws object i of stave s. Only reads the score: what drawing needs beyond
// the file's fields is laid out beforehand (LayOutStave).
void DrawObject(Surface& out, const Score& score, int s, int i, const DrawRequest& req,
                const DrawSettings& settings);

// Draws o as if it were object i of stave s, or (i = 0) an object not in the
// stave whose links into the stave are followed from it; nothing links back.
void DrawObject(Surface& out, const Score& score, int s, const ScoreObject& o, int i,
                const DrawRequest& req, const DrawSettings& settings);

// Redraws every note of stave s at x; `editing` (an index or 0) gets "Edit",
// objects in the stave's block set "Selecting", the others `colour`.
void RedrawChord(Surface& out, const Score& score, int s, int32_t x, uint32_t colour, int editing,
                 const DrawSettings& settings);

// The object being dragged, simplified and in rubber-band mode: hairpins and
// lines as plain lines, a curve from its first point, a time signature as one glyph.
void DrawDraggedObject(Surface& out, const Score& score, int s, int i, uint32_t colour,
                       const DrawSettings& settings);

// The object about to be placed on stave s (not in the stave), in "Putative"
// or erased in paper.
void DrawPendingObject(Surface& out, const Score& score, int s, const ScoreObject& pending,
                       bool erase, const DrawSettings& settings);

// The height of a tie of horizontal width w: s/4 below 6 pixels, s + 1 above
// 100, and growing evenly between.
int TieHeight(int width);

// Top and bottom line of a stave with n lines (1..6): Ycoord + T*s - 1, Ycoord + B*s - 1.
bool StaveLineExtent(const StaveHeader& h, int& top, int& bottom);

}  // namespace sw
