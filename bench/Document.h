// The benchmarks' document: the controller with a screen that draws the
// page each time it is shown, as the window would, and no dialogs.
#pragma once

#include <QImage>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Orchestra.h"
#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/UndoStorage.h"
#include "layout/PageGeometry.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "ui/OverlayPainter.h"

namespace sw::bench {

// Milliseconds since `since` on the steady clock.
inline double MsSince(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

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
    bool showForm(AttributeForm&) override { return false; }
    bool chooseShape(ShapePaletteModel&) override { return false; }
    std::optional<FontDesc> selectFavourite() override { return std::nullopt; }
    bool pageSetup(PageData&, bool&) override { return false; }
    std::optional<double> staveSize(StaveSizeDialogModel&, const Score&) override {
        return std::nullopt;
    }
    bool noteAlignment(NoteAlignmentModel&) override { return false; }
    bool tremoloBeams(TremoloBeamsModel&) override { return false; }
    bool verticalSpacing(VerticalSpacingModel&) override { return false; }
    bool barMaintenance(BarMaintenanceModel&) override { return false; }
    std::optional<int> chooseInstrument(int) override { return std::nullopt; }
    std::optional<int> chooseTemperament(int) override { return std::nullopt; }
    bool options(OptionsModel&) override { return false; }
    // The benchmarks' own transposition, set by the one that times it.
    std::function<bool(TransposeDialogModel&)> transposing;
    bool transpose(TransposeDialogModel& m) override { return transposing && transposing(m); }
    bool scottishPipes(PipesDialogModel&) override { return true; }
    bool randomTune(RandomTuneDialogModel&) override { return false; }
    bool staveAttributes(StaveAttributesModel&) override { return false; }
    // The block action the benchmark chooses.
    BlockAction blockChoice = BlockAction::Cancel;
    bool blockAction(BlockActionModel& m) override {
        m.choose(blockChoice);
        return blockChoice != BlockAction::Cancel;
    }
};

// The full score written to a scratch file and opened in a document at
// user level 3, as a window would open it.
struct OrchestraDocument {
    explicit OrchestraDocument(const char* name)
        : path((std::filesystem::temp_directory_path() /
                ("staffwright-" + std::string(name) + ".swn"))
                   .string()) {
        settings.level = 3;
        host.setPermissive(true);
        warnings.setUserLevel(3);
    }
    ~OrchestraDocument() { std::filesystem::remove(path); }
    // False (said on stderr) when the score could not be written or opened.
    bool open() {
        if (!SaveOrchestra(path, bars)) {
            std::fprintf(stderr, "%s: the score could not be written\n", path.c_str());
            return false;
        }
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        if (d->start(DocumentController::Start::File, path, path, false)) return true;
        std::fprintf(stderr, "%s: the score did not open\n", path.c_str());
        return false;
    }

    std::string path;
    int bars = 1000;  // four a system of 8 staves
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    DrawingView view{score};
    DocumentServices services;
    NoDialogs dialogs;
    QtTextMeasurer measurer;
    std::unique_ptr<DocumentController> d;
};

}  // namespace sw::bench
