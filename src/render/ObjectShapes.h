// The objects drawn with lines, curves and text: line objects with their legs,
// hairpins, curves through their chain of points, and texts.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "model/Score.h"
#include "render/Surface.h"

namespace sw {

struct ObjectDraw {
    uint32_t colour = 0;
    bool rubberBand = false;
};

// Each draws object o of stave s; i is its slot, or 0 for an object not in the
// stave (the one about to be placed), whose links into the stave are followed
// from it. The forms without o draw the object in slot i.
void DrawLineObject(Surface& out, const Score& score, int s, const ScoreObject& o,
                    const ObjectDraw& draw);
void DrawHairpin(Surface& out, const Score& score, int s, const ScoreObject& o,
                 const ObjectDraw& draw);
// The line dialogs' preview: `sample` with its legs on a white area of
// width × height page pixels, or a grey area while there is no sample.
inline constexpr uint32_t kPreviewPaper = 0xFFFFFF, kPreviewNoSample = 0xC0C0C0;
inline constexpr int kPreviewLeft = 30;
void DrawLinePreview(Surface& out, const std::optional<ScoreObject>& sample, int width, int height);
inline void DrawLineObject(Surface& out, const Score& score, int s, int i, const ObjectDraw& draw) {
    DrawLineObject(out, score, s, score.object(s, i), draw);
}
inline void DrawHairpin(Surface& out, const Score& score, int s, int i, const ObjectDraw& draw) {
    DrawHairpin(out, score, s, score.object(s, i), draw);
}

// Drawn by the first point of the chain (a next link and no previous one).
void DrawCurveObject(Surface& out, const Score& score, int s, const ScoreObject& first, int i,
                     const ObjectDraw& draw, bool showAnchors = false,
                     uint32_t anchorColour = 0x808080);
inline void DrawCurveObject(Surface& out, const Score& score, int s, int i, const ObjectDraw& draw,
                            bool showAnchors = false, uint32_t anchorColour = 0x808080) {
    DrawCurveObject(out, score, s, score.object(s, i), i, draw, showAnchors, anchorColour);
}

// What a text may need beyond its object.
struct TextEnv {
    bool headerFooterPass = false;  // printing or previewing the header/footer stave
    int pageNumber = 1;
    std::string filePath;
    std::time_t now = 0;
    bool globalInGreen = true;  // no object has the focus and nothing is being moved
};

// The whole text of the chain that starts at object i (each object at most once).
std::string JoinedText(const StaveBlock& block, int i);
// The same for a chain starting at `first`, in slot i (0: not in the stave).
std::string JoinedText(const StaveBlock& block, const ScoreObject& first, int i);
// "@P", "@F", "@N", "@D", "@d", "@T" stand for the page number, the file's
// full path (its first 144 characters), its name (the first 32), the long and
// short date and the time; other texts are left as they are.
inline constexpr std::size_t kPlaceholderPathLength = 144, kPlaceholderNameLength = 32;
std::string ExpandPlaceholder(const std::string& text, const TextEnv& env);

// Draws a text object and returns its drawn width (0 when it is not drawn).
int DrawTextObject(Surface& out, const Score& score, int s, const ScoreObject& o, int i,
                   const ObjectDraw& draw, const TextEnv& env);
inline int DrawTextObject(Surface& out, const Score& score, int s, int i, const ObjectDraw& draw,
                          const TextEnv& env) {
    return DrawTextObject(out, score, s, score.object(s, i), i, draw, env);
}

}  // namespace sw
