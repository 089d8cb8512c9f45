// Music and the header/footer view.
#include "editor/modes/MusicModes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/DocumentController.h"
#include "editor/HitTest.h"
#include "editor/Placement.h"
#include "editor/Selection.h"
#include "editor/commands/BarCommands.h"
#include "editor/commands/EntryCommands.h"
#include "editor/modes/BlockModes.h"
#include "editor/modes/MusicKeys.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"

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
    if (!d_.pending_) d_.provisional_ = d_.provisionalNote_ = false;
    // Music always shows where the next object goes, whichever mode hid the
    // cursor on the way in.
    d_.setCursorShown(!d_.pending_);
    d_.services_.enableBackupTimer(true);
}

namespace {}  // namespace

// Takes hold of the object under the mouse: its limits and where it was.
void StartDrag(DocumentController& d, int32_t x, int32_t y) {
    Score& score = d.score_;
    const int s = d.focusStave_, i = d.focusObject_;
    const PageGeometry g = ComputePageGeometry(score);
    auto& drag = d.drag_;
    const ScoreObject& o = score.object(s, i);
    drag = {};
    drag.stave = s;
    drag.object = i;
    drag.startX = o.x;
    drag.startY = o.y;
    drag.lineX = o.x;
    drag.lineY = o.y;
    drag.mouseX = x;
    drag.mouseY = y;
    drag.minX = 0;
    drag.maxX = g.width - 5;
    const int first = FirstStaveOnPage(score, d.page_), last = LastStaveOnPage(score, d.page_);
    drag.minY = 0;
    drag.maxY = g.height - 5;
    if (d.settings_.level <= 2) {
        if (s > first && score.hasStave(s - 1)) drag.minY = score.stave(s - 1).h.Ycoord;
        if (s < last && score.hasStave(s + 1)) drag.maxY = score.stave(s + 1).h.Ycoord;
    }
    if (o.kind == kNote) {
        const StaveHeader& h = score.stave(s).h;
        const NoteData& n = o.note();
        constexpr int32_t kBeamGap = 10;
        if (n.rest || (n.beamBackTo == 0 && n.beamOnTo == 0)) {
            drag.minX = h.LeftX;
            drag.maxX = h.RightX;
        } else {
            // A beamed note stays between the notes it is beamed to.
            auto linkedX = [&](int k, bool up, bool down, int32_t otherwise) {
                const int t = up ? s - 1 : down ? s + 1 : s;
                if (k == 0 || !score.hasStave(t) || t < 1 || t > score.Nstaves ||
                    !score.stave(t).validIndex(k))
                    return otherwise;
                return score.object(t, k).x;
            };
            const int32_t lo =
                linkedX(n.beamBackTo, n.beamBackUp, n.beamBackDown, h.LeftX - kBeamGap);
            const int32_t hi = linkedX(n.beamOnTo, n.beamOnUp, n.beamOnDown, h.RightX + kBeamGap);
            drag.minX = lo + kBeamGap + (x - o.x);
            drag.maxX = hi - kBeamGap + (x - o.x);
        }
        drag.minY = 0;
        drag.maxY = g.height - 4;
    }
    d.setEditMode(kModeMovingObject);
}

PointerResult MusicMode::pointer(const PointerEvent& e) {
    if (GrabsThePage(e)) return Grab(d_);
    DocumentController& d = d_;
    Score& score = d.score_;
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left && !e.shift) {
        d.setCursorShown(false);
        if (d.pending_) {
            // The object in hand stays on its stave and follows the click.
            d.moveProvisionalTo(e.x);
            return {true, true, false};
        }
        d.mouseMove(e.x, e.y, e.ctrl);
        if (d.objectSelected_ && d.focusObject_ > 0) {
            StartDrag(d, e.x, e.y);
            return {true, true, false};
        }
        // A miss leaves nothing in hand for the next keys.
        d.focusStave_ = d.focusObject_ = -1;
        if (const int st = e.ctrl ? StaveAt(score, d.page_, e.x, e.y) : 0; st > 0) {
            // Ctrl on a stave takes the stave and those below it on the page.
            d.setCurrentStave(st);
            d.drag_ = {};
            d.drag_.stave = st;
            d.drag_.startY = score.stave(st).h.Ycoord;
            d.drag_.mouseY = e.y;
            d.setEditMode(kModeMovestave);
            return {true, true, false};
        }
        if (e.ctrl) return Grab(d);
        d.cursorX_ = e.x;
        if (const int s = NearestStave(score, d.page_, e.x, e.y); s > 0) d.setCurrentStave(s);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left && e.shift && !e.ctrl &&
        !d.pending_ && !d.unlocked_) {
        d.warnings_.show(d.host_, msg::SelectingLocked, 3, false);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left && e.shift && !e.ctrl &&
        !d.pending_ && d.unlocked_) {
        // Shift+click starts a selection with the object hit.
        d.mouseMove(e.x, e.y, false);
        if (d.objectSelected_ && d.focusStave_ > 0 && d.focusObject_ > 0)
            StartSelecting(d, d.focusStave_, d.focusObject_);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        PointerResult r{true, true, false};
        r.windowAction = d.popupMenu(e.x, e.y);
        return r;
    }
    if (e.kind == PointerEvent::Release && e.button == MouseButton::Left && !e.shift) {
        if (!d.pending_) d.cursorX_ = e.x;
        d.setCursorShown(!d.pending_);
        d.view_.showStaveCursor(d.cursorShown_);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::DoubleClick && d.pending_) {
        d.completeProvisional(false);
        return {true, true, false};
    }
    return ModeHandler::pointer(e);
}

void MovingObjectMode::enter(int) {
    d_.setCursorShown(false);
}

PointerResult MovingObjectMode::pointer(const PointerEvent& e) {
    DocumentController& d = d_;
    auto& drag = d.drag_;
    Score& score = d.score_;
    if (!score.hasStave(drag.stave) || !score.stave(drag.stave).validIndex(drag.object)) {
        d.returnFromTransient();
        return {true, true, false};
    }
    ScoreObject& o = score.object(drag.stave, drag.object);
    if (e.kind == PointerEvent::Move) {
        const int32_t mx = std::clamp(e.x, drag.minX, std::max(drag.minX, drag.maxX));
        const int32_t my = std::clamp(e.y, drag.minY, std::max(drag.minY, drag.maxY));
        o.x += mx - drag.mouseX;
        if (VerticallyMovable(o.kind) && !e.shift) o.y += my - drag.mouseY;
        if (o.kind == kLine && e.shift) {
            // One axis only: the one it has moved further along.
            drag.lineY += my - drag.mouseY;
            drag.lineX += mx - drag.mouseX;
            const bool vertical =
                std::abs(drag.lineX - drag.startX) < std::abs(drag.lineY - drag.startY);
            o.x = vertical ? drag.startX : drag.lineX;
            o.y = vertical ? drag.lineY : drag.startY;
        }
        drag.mouseX = mx;
        drag.mouseY = my;
        d.ui_.highlightStave = drag.stave;
        d.ui_.highlightObject = drag.object;
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Release) {
        // The object goes back to where it was, so that the record of the
        // move holds the stave before it; no move, no record. A bar line
        // dropped with Ctrl takes the music of its two bars with it.
        const int32_t x = o.x, y = o.y;
        o.x = drag.startX;
        o.y = drag.startY;
        EditContext ctx = d.editContext();
        const bool respaced =
            e.ctrl && o.kind == kBarline && DropBarlineRespacing(ctx, drag.stave, drag.object, x);
        if (respaced || MoveObject(ctx, drag.stave, drag.object, x, y)) d.afterEdits();
        d.returnFromTransient();
        d.setCursorShown(true);
        return {true, true, false};
    }
    return {true, false, false};
}

PointerResult MovestaveMode::pointer(const PointerEvent& e) {
    DocumentController& d = d_;
    if (e.kind != PointerEvent::Release) return {true, false, false};
    const int s = d.drag_.stave;
    const int last = LastStaveOnPage(d.score_, d.page_);
    EditContext ctx = d.editContext();
    if (MoveStaves(ctx, s, std::max(s, last), e.y - d.drag_.mouseY)) d.afterEdits();
    d.returnFromTransient();
    d.setCursorShown(true);
    return {true, true, false};
}

bool MusicMode::key(const std::string& key) {
    return MusicKeys::press(d_, key, false);
}

bool MusicMode::keyUp(const std::string& key) {
    return MusicKeys::press(d_, key, true);
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

bool HeaderFooterMode::key(const std::string& key) {
    // The one thing to do here: a text.
    if (key != "\"") return false;
    d_.modeCommand(Action::TextMode);
    return true;
}

PointerResult HeaderFooterMode::pointer(const PointerEvent& e) {
    if (GrabsThePage(e)) return Grab(d_);
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        // Header and footer texts are measured from the top of their band.
        if (e.y < 0 || e.y >= HeaderFooterBand(d_.score_, header_)) {
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
