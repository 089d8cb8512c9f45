// Print preview: where one page or a spread of two goes in the preview area,
// drawing a page reduced to the preview scale (in full or as a bare outline),
// and stepping through the spreads.
#pragma once

#include <QImage>
#include <QRect>
#include <string>

#include "model/Score.h"
#include "render/ObjectDrawing.h"

namespace sw {

class GlyphStore;

// The check boxes of the preview panel.
struct PreviewOptions {
    bool details = true;  // off: "Bare Outline only"
    bool margins = true;  // "Show Margins"
};

// The paper of each page shown, in preview-area pixels. A one-page score has
// its page centred as `right`; a spread keeps both places, a place without a
// page (page 0) staying empty.
struct PreviewLayout {
    double scale = 1;  // preview pixels per inch
    int leftPage = 0, rightPage = 0;
    QRect left, right;
};
constexpr int kPreviewSpreadGap = 40;

PreviewLayout LayOutPreview(const Score& score, int pages, int page, int availableWidth,
                            int availableHeight);

// The areas of a page at `scale`, relative to its paper: with facing pages
// the gutter is on the left of a right-hand page and on the right of a
// left-hand one; without, on the left of every page, as printing puts it.
struct PreviewRects {
    QRect printable;  // the paper less the margins
    QRect header, music, footer;
};
PreviewRects PreviewRectsOf(const Score& score, double scale, bool rightHand);

// Draws page `page` on its paper rectangle of `target`: in full, the screen
// page picture reduced into the music area (thin lines kept), the header and
// footer of this page, crisp stave lines and the white-outs; as a bare outline,
// only the stave lines in blue with red ends.
void RenderPreviewPage(QImage& target, const QRect& paper, const GlyphStore& glyphs,
                       const Score& score, int page, bool rightHand, bool full,
                       const DrawSettings& settings);

// The margins outlined in red round the printable area (nothing when off).
void DrawPreviewMargins(QImage& target, const QRect& paper, const Score& score, bool rightHand,
                        bool show);

// The whole preview area as the window shows it: a grey ground with the
// pages of the layout on white paper.
void RenderPreview(QImage& target, const PreviewLayout& layout, const GlyphStore& glyphs,
                   const Score& score, const DrawSettings& settings, const PreviewOptions& options);

// The status line while previewing: a prompt in bare-outline mode, else empty.
std::string PreviewStatusText(const PreviewOptions& options);

// Previous and Next of the preview panel: a one-page step for a one-page
// score, else a spread at a time; neither goes past the ends.
class PreviewNavigator {
  public:
    PreviewNavigator(int pages, int page);
    int page() const { return page_; }
    // The pages shown (0 for an empty place), as PreviewSpread gives them.
    std::pair<int, int> shown() const;
    bool canPrevious() const;
    bool canNext() const;
    void previous();
    void next();
    // The page-number label: "Page 1 of 5" or "Pages 2 and 3 of 5".
    std::string label() const;

  private:
    int firstShown() const;
    int lastShown() const;
    int pages_;
    int page_;
};

}  // namespace sw
