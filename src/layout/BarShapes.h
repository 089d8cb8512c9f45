// The strokes and repeat dots of each bar-line style, measured from the bar
// line's x. The bar glyphs are drawn from this one table, and so are the lines
// that join the staves of a group and the bars of a small stave, so that the
// three meet without a jog at either scale.
#pragma once

namespace sw {

struct BarStroke {
    int left = 0;   // first screen column, from the bar line's x
    int width = 0;  // screen columns; three or more make a thick line

    constexpr bool thick() const { return width >= 3; }
    // Print columns from three times the bar line's x, end excluded. A thin
    // line prints one screen pixel wide whatever its width on screen, as the
    // single bar line does; a thick one keeps its right edge and is 4 2/3 wide.
    constexpr int printLeft() const { return 3 * left + 1; }
    constexpr int printRight() const { return thick() ? 3 * (left + width) : 3 * left + 4; }
};

struct BarShape {
    int strokes = 0;
    BarStroke stroke[3] = {};
    int dots = 0;
    int dotColumn[2] = {};  // the repeat dots' columns: centred half a pixel right of these
};

// Styles 0 single, 1 double, 2 start repeat, 3 end repeat, 4 end and start
// repeat, 5 final; the dotted and half-height styles have no strokes here.
// The repeats mirror each other about the thick line, which always stands
// where the final bar line's does.
constexpr BarShape BarShapeOf(int style) {
    switch (style) {
        case 0:
            return {1, {{0, 2}}, 0, {}};
        case 1:
            return {2, {{-5, 2}, {-1, 2}}, 0, {}};
        case 2:
            return {2, {{-2, 5}, {4, 1}}, 1, {8}};
        case 3:
            return {2, {{-4, 1}, {-2, 5}}, 1, {-8}};
        case 4:
            return {3, {{-4, 1}, {-2, 5}, {4, 1}}, 2, {-8, 8}};
        case 5:
            return {2, {{-7, 2}, {-2, 5}}, 0, {}};
        default:
            return {};
    }
}

}  // namespace sw
