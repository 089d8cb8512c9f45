// Music and the header/footer view.
#include "editor/modes/MusicModes.h"

#include <cmath>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/DocumentController.h"
#include "layout/PageGeometry.h"

namespace sw {

bool GrabsThePage(const PointerEvent& e) {
    return e.kind == PointerEvent::Press && (e.button == MouseButton::Middle ||
                                             (e.button == MouseButton::Left && e.shift && e.ctrl));
}

namespace {

// Takes hold of the page: Dragging until the button is let go.
PointerResult Grab(DocumentController& d) {
    d.setEditMode(kModeDragging);
    return {true, true, true};
}

}  // namespace

void MusicMode::enter(int) {
    d_.hintsOff();
    d_.provisional_ = d_.provisionalNote_ = false;
    // Music always shows where the next object goes, whichever mode hid the
    // cursor on the way in.
    d_.setCursorShown(true);
    d_.services_.enableBackupTimer(true);
}

PointerResult MusicMode::pointer(const PointerEvent& e) {
    if (GrabsThePage(e)) return Grab(d_);
    return ModeHandler::pointer(e);
}

bool MusicMode::key(const std::string& key) {
    using K = DocumentController::CursorKey;
    static const std::pair<const char*, K> kCursorKeys[] = {
        {"Left", K::Left}, {"Right", K::Right}, {"Home", K::Home},   {"End", K::End},
        {"Up", K::Up},     {"Down", K::Down},   {"PgUp", K::PageUp}, {"PgDown", K::PageDown}};
    const bool ctrl = key.rfind("Ctrl+", 0) == 0;
    const std::string bare = ctrl ? key.substr(5) : key;
    for (const auto& [name, k] : kCursorKeys)
        if (bare == name) return d_.cursorKey(k, ctrl);
    return false;
}

void HeaderFooterMode::enter(int from) {
    if (from != kModeMusic) return;
    DocumentController& d = d_;
    d.setCursorShown(false);
    d.savedStave_ = d.score_.CurrentStave;
    d.savedPage_ = d.page_;
    d.savedCursorX_ = d.cursorX_;
    d.score_.CurrentStave = 0;
    d.page_ = 0;
    if (!d.view_.enterHeaderFooter(header_)) {
        // No band could be made: back to the music as it was.
        d.score_.CurrentStave = static_cast<uint16_t>(d.savedStave_);
        d.page_ = d.savedPage_;
        d.previous_ = d.mode_;
        d.mode_ = kModeMusic;
        d.setCursorShown(true);
    }
}

PointerResult HeaderFooterMode::pointer(const PointerEvent& e) {
    if (GrabsThePage(e)) return Grab(d_);
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        // Header and footer texts are measured from the top of their band.
        const PageGeometry g = ComputePageGeometry(d_.score_);
        const double inches = header_ ? d_.score_.page.Header : d_.score_.page.Footer;
        const int band = std::max(1, static_cast<int>(std::lround(inches * g.ppiY)));
        if (e.y < 0 || e.y >= band) {
            d_.clickOutsideWorkingArea();
            return {true, false, false};
        }
        return {true, false, false};
    }
    if (e.kind == PointerEvent::Release) {
        d_.headerFooterMouseUp();
        return {true, false, false};
    }
    return ModeHandler::pointer(e);
}

}  // namespace sw
