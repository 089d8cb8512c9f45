// Times one note typed at bar 1000 of the full score: the letter, Space,
// the stave laid out again and the page drawn, as the window would; and one
// character typed in Text mode there, to the picture shown with the text
// over the page.
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "Orchestra.h"
#include "editor/DocumentController.h"
#include "editor/UndoStorage.h"
#include "layout/Pagination.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/QtEnvironment.h"
#include "ui/OverlayPainter.h"

namespace {

using namespace sw;
using Clock = std::chrono::steady_clock;

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
    // What the window shows over the page: a copy of it with the current
    // stave in "Strings" and the overlay on top.
    void overlayChanged() override {
        if (!controller_ || screen_.isNull()) return;
        shown_ = screen_;
        DrawContext ctx;
        ctx.glyphs = &glyphs_;
        ctx.screen = &shown_;
        PictureSurface out(ctx);
        if (score_.CurrentStave > 0)
            DrawStaveLines(out, score_, score_.CurrentStave, settings_.colours.strings);
        DrawPlacingOverlay(out, score_, controller_->ui().overlay, settings_);
    }
    void watch(const DocumentController* c) { controller_ = c; }
    bool enterHeaderFooter(bool) override { return false; }
    void leaveHeaderFooter() override {}
    void openPreview() override {}
    void closePreview() override {}

  private:
    const Score& score_;
    GlyphStore glyphs_;
    DrawSettings settings_;
    QImage screen_, shown_;
    int page_ = 1;
    const DocumentController* controller_ = nullptr;
};

class NoDialogs : public DocumentDialogs {
  public:
    HeaderFooterChooser::Choice chooseHeaderFooter(const HeaderFooterChooser& c) override {
        return c.chosen;
    }
    bool chooseSymbol(SymbolPaletteModel&) override { return false; }
    bool chooseShape(ShapePaletteModel&) override { return false; }
    std::optional<FontDesc> selectFavourite() override { return std::nullopt; }
    bool pageSetup(PageData&, bool&) override { return false; }
    std::optional<double> staveSize(StaveSizeDialogModel&, const Score&) override {
        return std::nullopt;
    }
    bool noteAlignment(NoteAlignmentModel&) override { return false; }
    bool tremoloBeams(TremoloBeamsModel&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    PrepareHeadlessQt();
    QGuiApplication app(argc, argv);
    const std::string path =
        (std::filesystem::temp_directory_path() / "staffwright-bench-entry.swn").string();
    if (!bench::SaveOrchestra(path)) {
        std::fprintf(stderr, "bench_entry: the score could not be written\n");
        return 1;
    }
    Score score;
    EditorSettings settings;
    settings.level = 3;
    ScriptedHost host;
    host.setPermissive(true);
    WarningBox warnings;
    warnings.setUserLevel(3);
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    DrawingView view(score);
    DocumentServices services;
    NoDialogs dialogs;
    QtTextMeasurer measurer;
    DocumentController d(score, settings, host, warnings, undo, view, services, dialogs, measurer);
    if (!d.start(DocumentController::Start::File, path, path, false)) {
        std::fprintf(stderr, "bench_entry: the score did not open\n");
        return 1;
    }
    // The first stave of the last system: bars 997 to 1000.
    const int s = FirstStaveOfSystem(score, SystemCount(score));
    d.showPage(std::max<int>(1, score.stave(s).h.PageNum));
    d.setCurrentStave(s);
    const int32_t x = score.stave(s).h.RightX - 40;
    constexpr int kNotes = 60;
    std::vector<double> ms;
    for (int k = 0; k < kNotes; ++k) {
        d.setCursorX(x);
        const auto t = Clock::now();
        d.key(k % 2 ? "E" : "C");
        d.key("Space");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        // Each note is taken back, so that the stave stays as full as it was.
        d.undo();
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "letter + Space at bar 1000 (%d staves, %d pages): median %.2f ms, worst %.2f ms"
        "   target < 16 ms\n",
        score.Nstaves, score.pageCount, ms[ms.size() / 2], ms.back());

    // Text mode on the same stave: each character to the picture shown.
    view.watch(&d);
    d.setCursorX(x);
    d.run(Action::TextMode);
    constexpr int kCharacters = 60;
    std::vector<double> typed;
    for (int k = 0; k < kCharacters; ++k) {
        const auto t = Clock::now();
        d.key(k % 7 == 6 ? "Space" : "E");
        typed.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
    d.key("Esc");
    std::sort(typed.begin(), typed.end());
    std::printf(
        "a character in Text mode at bar 1000: median %.2f ms, worst %.2f ms   target < 16 ms\n",
        typed[typed.size() / 2], typed.back());
    std::filesystem::remove(path);
    return 0;
}
