// The benchmarks' document: the controller with a screen that draws the
// page each time it is shown, as the window would, and no dialogs.
#pragma once

#include <QImage>

#include "editor/DocumentController.h"
#include "layout/PageGeometry.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"

namespace sw::bench {

// A screen that draws the page each time the controller shows it.
class DrawingView : public PageViewPort {
  public:
    explicit DrawingView(const Score& score) : score_(score) {}
    bool setUpPicture() override {
        const PageGeometry g = ComputePageGeometry(score_);
        screen_ = QImage(g.width, g.height, QImage::Format_RGB32);
        return true;
    }
    void showPage(int page) override {
        page_ = page;
        redrawPage();
    }
    void redrawPage() override {
        if (screen_.isNull()) setUpPicture();
        DrawContext ctx;
        ctx.glyphs = &glyphs_;
        ctx.screen = &screen_;
        DrawAll(ctx, score_, page_, settings_, PageViewState{});
    }
    void showStaveCursor(bool) override {}
    bool enterHeaderFooter(bool) override { return false; }
    void leaveHeaderFooter() override {}
    void openPreview() override {}
    void closePreview() override {}

  private:
    const Score& score_;
    GlyphStore glyphs_;
    DrawSettings settings_;
    QImage screen_;
    int page_ = 1;
};

class NoDialogs : public DocumentDialogs {
  public:
    HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) override {
        return c.chosen;
    }
    bool chooseSymbol() override { return false; }
    std::optional<int> chooseShape() override { return std::nullopt; }
    std::optional<FontDesc> selectFavourite() override { return std::nullopt; }
    bool pageSetup(PageData&, bool&) override { return false; }
    std::optional<double> staveSize(StaveSizeDialogModel&, const Score&) override {
        return std::nullopt;
    }
    bool noteAlignment(NoteAlignmentModel&) override { return false; }
    bool tremoloBeams(TremoloBeamsModel&) override { return false; }
};

}  // namespace sw::bench
