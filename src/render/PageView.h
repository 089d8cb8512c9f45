// Composing the picture of one page: staves with their lines, brackets,
// braces and labels, every object on them, the header and footer, the
// insertion cursor and the status line. Screen and print share this path.
#pragma once

#include <QImage>
#include <string>
#include <utility>

#include "layout/PageGeometry.h"
#include "model/Score.h"
#include "render/ObjectDrawing.h"
#include "render/Surface.h"

namespace sw {

class Host;

constexpr uint32_t kAllKinds = 0x3FFFFF;

// Everything about the window that drawing a page reads.
struct PageViewState {
    int mode = 0;  // editing mode: 19 print preview, 20 header, 21 footer
    bool preview() const { return mode == 19; }
    bool slowDrawing = false;
};

// (dx, dy) from (LeftX, Ycoord) of stave s's number label.
std::pair<int, int> BarNumberLabelOffset(const Score& score, int s);

void DrawStave(Surface& out, const Score& score, int s, uint32_t colour, uint32_t kinds,
               const DrawSettings& settings, const PageViewState& view, int pictureWidth);
// The lines of stave s alone, in one colour: the current stave is drawn so
// while an object is being placed on it.
void DrawStaveLines(Surface& out, const Score& score, int s, uint32_t colour);
// Braces of the brace groups among staves first..last.
void DrawBraces(Surface& out, const Score& score, int first, int last, uint32_t colour);
// Redraws stave s, and the bar lines of its system's first stave when that is another.
void DrawStaveWithNeighbours(Surface& out, const Score& score, int s, uint32_t colour,
                             const DrawSettings& settings, const PageViewState& view,
                             int pictureWidth);

// A printed page (1 or more): braces, staves, then the headers and footers on
// `header`, whose print origin is the top of the printable area.
void DrawPrintedPage(Surface& music, Surface& header, const Score& score, int page,
                     const DrawSettings& settings, const PageViewState& view, int pictureWidth);

// The whole page on the context's picture (cleared white first). Page 0 is the
// header/footer page on screen.
void DrawAll(const DrawContext& ctx, const Score& score, int page, const DrawSettings& settings,
             const PageViewState& view);

// Clears the band of the picture that staves first..last occupy, between the
// extents of their neighbours on the same page.
void EraseStaveBand(QImage& picture, const Score& score, int first, int last);

// The insertion cursor at (x, Ycoord) of stave s, drawn inverted so a second
// call removes it. `type` 0, 1 or 2, `thickness` in pixels.
void DrawInsertionCursor(Surface& out, const Score& score, int s, int x, int type, int thickness,
                         uint32_t colour);

// Redraws the current stave: its band erased, the stave and its system's bar
// lines drawn again.
void RedrawStave(const DrawContext& ctx, const Score& score, int s, const DrawSettings& settings,
                 const PageViewState& view);
// Redraws the system of stave s, widened up and down while neighbouring
// staves' extents overlap it, with its braces.
void RedrawSystem(const DrawContext& ctx, const Score& score, int s, const DrawSettings& settings,
                  const PageViewState& view);

// A ruler beside the page picture, drawn into an image 25 pixels thick
// (`top`: the top ruler, else the left one). The picture's origin is
// `origin` pixels along the image and `extent` pixels long; the ruler is white
// from the origin to 25 pixels past the far end, with its marks and numbers
// in green, and a tracking line (inverted) at `track` pixels from the origin
// unless that is negative.
struct RulerView {
    bool top = true;
    double pixelsPerInch = 0;
    bool centimetres = false;
    int origin = 0, extent = 0;
    int track = -1;
};
void DrawRuler(QImage& ruler, const RulerView& view);

// What the page picture may take of this machine's memory, in bytes: a
// share of the memory installed, never less than 64 MiB nor more than 1 GiB.
double PagePictureBudget();

// The refusal shown when the page picture would pass `budget` bytes at
// `depth` bits a pixel.
std::string PageTooLargeMessage(const Score& score, int depth, bool american, double budget);

// Makes the page picture for `page` (0: the header/footer page) at the size
// the page data and stave size give. A picture past `budget` bytes at `depth`
// bits is refused, and so is one the machine cannot allocate; the user is told
// why and the result is false.
bool SetUpPagePicture(QImage& picture, const Score& score, int page, int depth, bool american,
                      Host& host, double budget = PagePictureBudget());

// Draws the whole page again and returns the status text with the time taken.
std::string RedrawPage(const DrawContext& ctx, const Score& score, int page,
                       const DrawSettings& settings, const PageViewState& view);

// The status line: " System a of b   Stave c of d:  e objects." or the
// header/footer form for stave 0.
std::string StatusText(const Score& score, int stave);
// The status line while a block is being copied or moved: the target's page,
// then the target stave's own line.
std::string CopyToStatusText(const Score& score, int stave);

}  // namespace sw
