// The modes that only show or wait (preview, dragging the page, blocks,
// moving an object), and the table of every mode's handler.
#include "editor/modes/ModeHandler.h"

#include "core/MessageIds.h"
#include "editor/DocumentController.h"
#include "editor/modes/BlockModes.h"
#include "editor/modes/CompressingMode.h"
#include "editor/modes/MusicModes.h"
#include "editor/modes/PlacingModes.h"

namespace sw {

PointerResult ModeHandler::pointer(const PointerEvent& e) {
    // Every mode shows what is under the pointer (and so its shape).
    PointerResult r;
    if (e.kind == PointerEvent::Move) {
        r.used = true;
        r.repaint = d_.mouseMove(e.x, e.y, e.ctrl);
    } else if (e.kind == PointerEvent::Leave) {
        r.used = true;
        r.repaint = d_.mouseLeave();
    }
    return r;
}

// The preview replaces the page while it is on.
class PreviewMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int) override { d_.view_.openPreview(); }
    void leave(int) override { d_.view_.closePreview(); }
};

namespace {

class PlainMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
};

// The page follows the pointer until the button is let go.
class DraggingMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    PointerResult pointer(const PointerEvent& e) override {
        if (e.kind != PointerEvent::Release) return {true, false, e.kind == PointerEvent::Move};
        d_.returnFromTransient();
        return {true, true, false};
    }
};

}  // namespace

std::array<std::unique_ptr<ModeHandler>, kModeCount> MakeModeHandlers(DocumentController& d) {
    std::array<std::unique_ptr<ModeHandler>, kModeCount> h;
    for (auto& handler : h)
        handler = std::make_unique<PlainMode>(d);
    h[kModeMusic] = std::make_unique<MusicMode>(d);
    h[kModeHead] = std::make_unique<HeaderFooterMode>(d, true);
    h[kModeFoot] = std::make_unique<HeaderFooterMode>(d, false);
    h[kModePreview] = std::make_unique<PreviewMode>(d);
    h[kModeDragging] = std::make_unique<DraggingMode>(d);
    h[kModeMovingObject] = std::make_unique<MovingObjectMode>(d);
    h[kModeMovestave] = std::make_unique<MovestaveMode>(d);
    AddBlockModeHandlers(h, d);
    h[kModeText] = std::make_unique<TextMode>(d);
    h[kModeSymbol] = std::make_unique<SymbolMode>(d);
    h[kModeLine] = std::make_unique<LineMode>(d);
    h[kModeCurve] = std::make_unique<CurveMode>(d);
    h[kModeHairpin] = std::make_unique<HairpinMode>(d);
    h[kModeDrawing] = std::make_unique<DrawingMode>(d);
    h[kModeCompressing] = std::make_unique<CompressingMode>(d);
    return h;
}

}  // namespace sw
