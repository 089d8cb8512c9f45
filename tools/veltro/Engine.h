// veltro: recognition of printed music on a 1-bit page picture. The stages
// (staves, systems, stave-line removal, connected components, symbols) are
// exposed one by one so that each can be checked on small drawn pictures.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltro {

// A page picture, one byte a pixel: 1 ink, 0 paper.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> px;

    Image() = default;
    Image(int w, int h) : width(w), height(h), px(static_cast<std::size_t>(w) * h, 0) {}
    bool in(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool ink(int x, int y) const { return in(x, y) && px[index(x, y)] != 0; }
    void set(int x, int y, bool v = true) {
        if (in(x, y)) px[index(x, y)] = v ? 1 : 0;
    }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

// One stave: the centre rows of its five lines (top first), their thickness,
// the distance between lines and the horizontal extent.
struct Stave {
    std::array<double, 5> lines{};
    int thickness = 1;
    double space = 0;
    int left = 0, right = 0;

    double top() const { return lines[0]; }
    double bottom() const { return lines[4]; }
    double middle() const { return lines[2]; }
    // Stave steps (half spaces) below the middle line of a row.
    int step(double y) const;
};

// The slope (dy/dx) of the page's lines: the shear that makes the rows of
// ink most uneven, searched within two degrees either way.
double EstimateSlope(const Image& page);
// The page sheared by -slope about its middle column, so lines of that slope
// become level.
Image Level(const Image& page, double slope);

// Staves found by the rows that hold long horizontal runs, grouped five by
// five at an even spacing; top to bottom.
std::vector<Stave> FindStaves(const Image& page);
// The system number (from 0) of each stave: consecutive staves are one system
// when a vertical line at their left ends joins them.
std::vector<int> FindSystems(const Image& page, const std::vector<Stave>& staves);
// The page without its stave lines (and the ledger lines near them): a line
// pixel goes unless a symbol crosses the line there.
Image RemoveStaveLines(const Image& page, const std::vector<Stave>& staves);

// Connected ink (eight neighbours), found row run by row run.
struct Component {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // inclusive bounds
    int area = 0;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};
struct Components {
    std::vector<Component> list;
    std::vector<int> label;  // per pixel: index into list, -1 for paper
    int at(int x, int y, int width) const {
        return label[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)];
    }
};
Components FindComponents(const Image& image);

// What was recognised on a stave, in page pixels.
enum class Shape { Filled, Open, OpenStemless, SemibreveRest, MinimRest };
struct Head {
    double x = 0, y = 0;  // centre
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool filled = true;
    int step = 0;  // stave steps below the middle line
};
struct Chord {
    bool hasStem = false;
    double stemX = 0;
    int stemTop = 0, stemBottom = 0;
    bool stemUp = true;
    std::vector<Head> heads;
    bool open = false;  // minim (with a stem) or semibreve (without)
    bool rest = false;
    Shape restShape = Shape::MinimRest;
    double restX = 0;
    int restStep = 0;
    int flags = 0, dots = 0;
    int beamLeft = 0, beamRight = 0;  // beams joining the neighbours
    int beamGroup = -1;               // index of its beam group on the stave, -1 none
};
enum class BarType { Single, Double, Final };
struct Barline {
    double x = 0;  // centre of its right-hand line
    double leftX = 0;
    BarType type = BarType::Single;
};
enum class ClefKind { Treble, Bass };
struct Clef {
    ClefKind kind = ClefKind::Treble;
    double x = 0;  // ink centre
};
struct StaveSymbols {
    std::vector<Clef> clefs;
    std::vector<Barline> barlines;
    std::vector<Chord> chords;  // left to right, rests included
};

// The symbols of stave `index`, from the page, the page without its stave
// lines and the components of that.
StaveSymbols FindSymbols(const Image& page, const Image& clean, const Components& components,
                         const std::vector<Stave>& staves, int index);

struct Options {
    int dpi = 300;
    bool oldSymbols = false, graceNotes = true, thinBeams = true, symmetricHeads = false,
         accents = false;
};

struct PageResult {
    int width = 0, height = 0;
    double space = 0;  // the page's line spacing in pixels
    std::vector<Stave> staves;
    std::vector<int> systems;
    std::vector<StaveSymbols> symbols;
};

// Every stage in turn; `progress` hears percentages as they pass.
PageResult Recognise(const Image& page, const Options& options,
                     const std::function<void(int)>& progress = {});

// The result file's text: positions in sixteenths of the page's line spacing.
std::string WriteResult(const PageResult& result, const std::string& imagePath);

// Reads a 1-bit BMP; false (with `error` saying why) for anything else.
bool ReadBmp(const std::string& path, Image& out, int& dpi, std::string& error);

}  // namespace veltro
