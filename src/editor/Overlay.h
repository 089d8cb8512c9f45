// What a placing mode shows over the page while an object is being placed:
// the attachment line, rubber bands, curve anchors and the preview through
// them, the text being typed and a symbol or shape in hand. The window draws
// it inverted over a copy of the page picture, so the picture itself never
// holds any of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/Navigation.h"
#include "editor/Selection.h"
#include "model/Score.h"

namespace sw {

struct PlacingOverlay {
    struct Point {
        int32_t x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };
    // The text being typed: its top-left corner, in the "Putative" colour.
    struct Text {
        std::string bytes;  // Windows-1252
        FontDesc font;
        int32_t x = 0, y = 0;
        bool boxed = false;
    };

    std::optional<Segment> attachLine;  // "Strings"
    std::vector<Segment> rubberBand;    // "Line": a line being drawn, a hairpin's legs
    std::vector<Point> anchors;         // "Anchor": the points of a curve so far
    // "Line": the curve through the anchors, from two of them on.
    std::vector<Point> curve;
    int curveThickness = 0;
    bool curveDotted = false, curveEditorial = false;
    std::optional<Text> text;
    // A symbol or shape in hand, as it would stand on `stave`, in "Putative".
    std::optional<ScoreObject> object;
    int stave = 0;
    // "Block": the box being dragged, filled; then the marked box and the
    // moving box as outlines.
    std::optional<PixelBox> blockFill;
    std::vector<PixelBox> blockOutlines;
    // Red: the current stave's MinY and MaxY across LeftX..RightX (a debugging aid).
    std::vector<Segment> limits;

    bool empty() const {
        return !attachLine && rubberBand.empty() && anchors.empty() && curve.empty() && !text &&
               !object && !blockFill && blockOutlines.empty() && limits.empty();
    }
};

}  // namespace sw
