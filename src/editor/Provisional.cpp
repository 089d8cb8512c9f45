// The provisional object: started by the note, rest, bar line and clef keys,
// moved with the cursor, completed into the score through one edit or
// abandoned. It is kept apart from the stave until it is completed, so a
// stave never holds an object nobody recorded.
#include <algorithm>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/DocumentController.h"
#include "editor/HitTest.h"
#include "editor/Placement.h"
#include "editor/commands/EntryCommands.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

constexpr int kOctave = 7;
constexpr int32_t kOffPaperMargin = 35;
constexpr int kLevelBound = 3;  // warnings for levels 1 and 2
constexpr int kClefTypes = 4;

}  // namespace

bool DocumentController::refuseWhileProvisional() {
    if (!provisional_) return false;
    warnings_.show(host_, msg::FinishProvisionalFirst, kLevelBound, false);
    return true;
}

bool DocumentController::startProvisional(int kind) {
    const int s = score_.CurrentStave;
    if (pending_) {
        if (pending_->kind != kind) {
            const int32_t x = pending_->x;
            NewObjectRecord(*pending_);
            pending_->kind = static_cast<uint8_t>(kind);
            pending_->x = x;
        }
        return true;
    }
    if (s < 1 || !score_.hasStave(s)) return false;
    // The slot it will take must exist when it is completed.
    if (score_.stave(s).count() >= kObjectLimit) {
        host_.message(MsgType::Error, MessageText(msg::StaveTooComplex), Buttons::OK);
        return false;
    }
    ScoreObject o;
    NewObjectRecord(o);
    o.kind = static_cast<uint8_t>(kind);
    o.x = cursorX_;
    o.y = score_.stave(s).h.Ycoord;
    pending_ = o;
    pendingStave_ = s;
    setCursorShown(false);
    return true;
}

void DocumentController::pendingChanged() {
    provisional_ = pending_.has_value();
    provisionalNote_ = provisional_ && pending_->kind == kNote;
    if (pending_ && pending_->kind == kNote) {
        NoteData& n = pending_->note();
        pending_->glyph = static_cast<uint8_t>(NoteGlyph(n));
        LayOutPendingNote(score_, pendingStave_, *pending_);
    }
    refreshUi();
    // The window draws the provisional object over the page with the cursor.
    view_.showStaveCursor(cursorShown_);
}

void DocumentController::noteLetter(int step, bool shift) {
    const int s = pending_ ? pendingStave_ : score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return;
    if (score_.stave(s).h.sizeIndex != 0) {
        warnings_.show(host_, msg::NoNotesOnSmallStave, kLevelBound, false);
        return;
    }
    const bool wasNote = pending_ && pending_->kind == kNote;
    if (!startProvisional(kNote)) return;
    const StaveBlock& b = score_.stave(s);
    ScoreObject& w = *pending_;
    const bool oneLine = b.h.lineCount == 1;
    const int clef = ClefTypeAt(b, w.x);
    // A voice is a stem value; notes on automatic stems make one voice with
    // whatever stands at x, since completed notes keep their resolved stems.
    auto sameVoice = [](const NoteData& a, int stem) { return stem == 3 || a.stem == stem; };
    auto notesAt = [&](int stem, int pitch, bool anyPitch) {
        int n = 0;
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            n += o.kind == kNote && !o.note().rest && o.x == w.x && sameVoice(o.note(), stem) &&
                 (anyPitch || o.note().pitch == pitch);
        }
        return n;
    };
    if (wasNote) {
        NoteData& n = w.note();
        const int p = oneLine ? n.pitch : PitchFromLetter(step, clef, n.pitch);
        if (p != n.pitch || n.rest) {
            n.pitch = static_cast<int8_t>(p);
            n.rest = 0;
        } else if (notesAt(n.stem, 0, true) == 0) {
            n.noteValue =
                static_cast<uint8_t>(shift ? LongerValue(n.noteValue) : ShorterValue(n.noteValue));
        }
    } else {
        const int p = oneLine ? 0 : PitchFromLetter(step, clef, b.h.lastPitch);
        NoteData n = noteTemplate_;
        n.pitch = static_cast<int8_t>(p);
        n.rest = 0;
        const ScoreObject* first = nullptr;
        for (int i = 1; i <= b.count() && !first; ++i)
            if (b.obj[i].kind == kNote && !b.obj[i].note().rest && b.obj[i].x == w.x &&
                sameVoice(b.obj[i].note(), n.stem))
                first = &b.obj[i];
        if (first) {
            // A chord member takes the chord's value and look.
            const NoteData& c = first->note();
            n.noteValue = c.noteValue;
            n.dots = c.dots;
            n.stem = c.stem;
            n.emphasis = c.emphasis;
            n.staccato = c.staccato;
            n.head = c.head;
        } else {
            if (shift) n.noteValue = static_cast<uint8_t>(LongerValue(n.noteValue));
            n.dots = n.emphasis = n.staccato = 0;
            n.beamBackTo = n.beamOnTo = 0;
            n.beamBackUp = n.beamBackDown = n.beamOnUp = n.beamOnDown = 0;
        }
        // A pitch the voice already has at x goes an octave out of the chord.
        for (int guard = 0; guard < 40 && notesAt(n.stem, n.pitch, false) > 0; ++guard)
            n.pitch = static_cast<int8_t>(n.pitch + (n.stem != 0 ? kOctave : -kOctave));
        w.data.note = n;
    }
    w.y = NoteY(score_, s, w.note().pitch);
    noteTemplate_.pitch = w.note().pitch;
    noteTemplate_.noteValue = w.note().noteValue;
    pendingChanged();
}

void DocumentController::restKey(bool shift) {
    const int s = pending_ ? pendingStave_ : score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return;
    if (score_.stave(s).h.sizeIndex != 0) {
        warnings_.show(host_, msg::NoNotesOnSmallStave, kLevelBound, false);
        return;
    }
    const bool wasRest = pending_ && pending_->kind == kNote && pending_->note().rest;
    if (!startProvisional(kNote)) return;
    NoteData& n = pending_->note();
    if (wasRest) {
        n.noteValue =
            static_cast<uint8_t>(shift ? LongerValue(n.noteValue) : ShorterValue(n.noteValue));
    } else {
        n = NoteData{};
        n.noteValue = static_cast<uint8_t>(shift ? LongerValue(noteTemplate_.noteValue)
                                                 : noteTemplate_.noteValue);
        n.rest = 1;
        n.stem = noteTemplate_.stem;
    }
    pending_->y = score_.stave(s).h.Ycoord;
    noteTemplate_.noteValue = n.noteValue;
    pendingChanged();
}

void DocumentController::barlineKey() {
    const int s = pending_ ? pendingStave_ : score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return;
    const bool again = pending_ && pending_->kind == kBarline;
    if (!startProvisional(kBarline)) return;
    ScoreObject& w = *pending_;
    // Styles cycle 0..5.
    w.data.barline.style = static_cast<uint8_t>(again ? (w.data.barline.style + 1) % 6 : 0);
    w.glyph = glyph::BARLINE;
    w.y = score_.stave(s).h.Ycoord;
    pendingChanged();
}

void DocumentController::clefKey() {
    const int s = pending_ ? pendingStave_ : score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return;
    if (score_.stave(s).h.sizeIndex != 0) {
        warnings_.show(host_, msg::NoNotesOnSmallStave, kLevelBound, false);
        return;
    }
    const bool again = pending_ && pending_->kind == kClef;
    if (!startProvisional(kClef)) return;
    ClefData& c = pending_->data.clef;
    if (again) {
        c.type = static_cast<uint8_t>((c.type + 1) % (settings_.cClef ? kClefTypes : 2));
    } else {
        // A clef after another one is a clef change, drawn small.
        const StaveBlock& b = score_.stave(s);
        bool before = false;
        for (int i = 1; i <= b.count(); ++i)
            before |= b.obj[i].kind == kClef && b.obj[i].x <= pending_->x;
        c = ClefData{0, static_cast<uint8_t>(before ? 1 : 0), 0, 0};
    }
    pending_->glyph = ClefGlyph(c.type, c.small != 0);
    pending_->y = score_.stave(s).h.Ycoord;
    pendingChanged();
}

void DocumentController::valueKey(int value) {
    if (mode_ != kModeMusic || value < 0 || value > 7) return;
    noteTemplate_.noteValue = static_cast<uint8_t>(value);
    if (pending_ && pending_->kind == kNote) {
        pending_->note().noteValue = static_cast<uint8_t>(value);
        pendingChanged();
    }
}

bool DocumentController::completeProvisional(bool spaceOn) {
    if (!pending_) return true;
    EditContext ctx = editContext();
    const Placed placed = PlaceObjectOnStave(ctx, pendingStave_, *pending_);
    if (!placed.ok()) return false;
    const ScoreObject& o = score_.object(placed.stave, placed.index);
    const int s = pendingStave_;
    if (spaceOn && score_.hasStave(s))
        cursorX_ = std::min(score_.stave(s).h.RightX,
                            cursorX_ + SpacingWidth(o, score_.Pulse, score_.Spacing));
    pending_.reset();
    noteTemplate_.lengthIncr = 0;
    provisional_ = provisionalNote_ = false;
    afterEdits();
    setCursorShown(true);
    view_.showStaveCursor(cursorShown_);
    return true;
}

void DocumentController::abandonProvisional() {
    if (!pending_) return;
    pending_.reset();
    noteTemplate_.lengthIncr = 0;
    cursorShown_ = false;
    setCursorShown(true);
    pendingChanged();
}

bool DocumentController::settleProvisional() {
    return !pending_ || completeProvisional(false);
}

void DocumentController::moveProvisionalTo(int32_t x) {
    if (!pending_) return;
    cursorX_ = x;
    pending_->x = x;
    pendingChanged();
}

void DocumentController::provisionalOctave(bool up) {
    if (!pending_ || !score_.hasStave(pendingStave_)) return;
    ScoreObject& w = *pending_;
    const StaveHeader& h = score_.stave(pendingStave_).h;
    const int height = ComputePageGeometry(score_).height;
    if (w.kind == kNote && !w.note().rest) {
        NoteData& n = w.note();
        if (h.lineCount == 1) {
            n.pitch = static_cast<int8_t>(std::clamp(n.pitch + (up ? 1 : -1), -1, 1));
        } else {
            const int32_t y = w.y + (up ? -kOffPaperMargin : kOffPaperMargin);
            if (y < 0 || y >= height) {
                warnings_.show(host_, msg::NoteOffThePaper, kLevelBound, false);
                return;
            }
            n.pitch = static_cast<int8_t>(n.pitch + (up ? kOctave : -kOctave));
        }
        w.y = NoteY(score_, pendingStave_, n.pitch);
        noteTemplate_.pitch = n.pitch;
    } else if (w.kind == kNote) {
        NoteData& n = w.note();
        n.pitch = static_cast<int8_t>(n.pitch + (up ? 2 : -2));
        w.y = NoteY(score_, pendingStave_, n.pitch);
    } else if (w.kind == kAccidental) {
        w.data.accidental.pitch =
            static_cast<int8_t>(w.data.accidental.pitch + (up ? kOctave : -kOctave));
        w.y = NoteY(score_, pendingStave_, w.data.accidental.pitch);
    } else if (w.kind == kOther) {
        w.y += up ? -kOctave : kOctave;
    } else {
        return;
    }
    pendingChanged();
}

void DocumentController::deleteFocus() {
    if (mode_ != kModeMusic && !IsHeadFootMode(mode_)) return;
    if (!objectSelected_ || !score_.hasStave(focusStave_) ||
        !score_.stave(focusStave_).validIndex(focusObject_))
        return;
    EditContext ctx = editContext();
    const bool done = DeleteObject(ctx, focusStave_, focusObject_);
    focusStave_ = focusObject_ = -1;
    objectSelected_ = false;
    ui_.highlightStave = ui_.highlightObject = -1;
    if (done) afterEdits();
    setCursorShown(true);
}

std::optional<Action> DocumentController::popupMenu(int32_t x, int32_t y) {
    if (mode_ != kModeMusic) return std::nullopt;
    // A right click on the object in hand opens its dialog.
    if (pending_) {
        provisionalAttributes();
        return std::nullopt;
    }
    mouseMove(x, y, false);
    // The object under the same focus may be another since the last move
    // (an Undo in between): the note items follow the object there now.
    refreshNoteActions();
    const ActionEnabled enabled = [this](Action a) { return canRun(a); };
    const int s = focusStave_, i = focusObject_;
    const bool onObject = objectSelected_ && score_.hasStave(s) && score_.stave(s).validIndex(i);
    MenuModel menu;
    if (onObject) {
        menu = ObjectMenu(score_, s, i, enabled);
    } else if (const int st = StaveAt(score_, page_, x, y); st > 0) {
        setCursorShown(false);
        setCurrentStave(st);
        menu = StaveMenu(score_, st, enabled);
    } else {
        menu = PageMenu(enabled);
    }
    const std::optional<std::size_t> chosen = choose(menu);
    if (!chosen) return std::nullopt;
    const MenuItem& item = menu.items[*chosen];
    if (item.action) return run(*item.action) ? std::nullopt : item.action;
    if (!onObject) return std::nullopt;
    EditContext ctx = editContext();
    const bool changed = item.command == MenuCommand::TextFont
                             ? chooseTextFont(s, i, item.value == 0)
                         : item.command == MenuCommand::TextStyle
                             ? ToggleTextStyle(ctx, s, i, item.value)
                             : ApplyMenuItem(ctx, s, i, item.command, item.value);
    if (changed) afterEdits();
    return std::nullopt;
}

std::optional<std::size_t> DocumentController::choose(const MenuModel& menu) {
    if (menu.items.empty()) return std::nullopt;
    const std::optional<int> chosen = dialogs_.popup(menu);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(menu.items.size()))
        return std::nullopt;
    const auto i = static_cast<std::size_t>(*chosen);
    if (!menu.items[i].enabled) return std::nullopt;
    return i;
}

void DocumentController::addMenu() {
    if (mode_ != kModeMusic) return;
    const MenuModel menu = AddMenuModel([this](Action a) { return canRun(a); });
    if (const std::optional<std::size_t> i = choose(menu); i && menu.items[*i].action)
        run(*menu.items[*i].action);
}

void DocumentController::redrawStaves(bool system) {
    const int s = score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return;
    const auto [first, last] = system ? SystemBounds(score_, s) : std::pair{s, s};
    dirty_.add(first, last);
    afterEdits();
}

void DocumentController::placeClef() {
    clefKey();
    if (!pending_ || pending_->kind != kClef) return;
    provisionalAttributes();
}

// A key or time signature goes on a full-size stave only.
bool DocumentController::signatureAllowed() {
    const int s = pending_ ? pendingStave_ : score_.CurrentStave;
    if (mode_ != kModeMusic || s < 1 || !score_.hasStave(s)) return false;
    if (score_.stave(s).h.sizeIndex != 0) {
        warnings_.show(host_, msg::NoObjectsOnCueStave, kLevelBound, false);
        return false;
    }
    return true;
}

void DocumentController::placeKeysig() {
    if (!signatureAllowed()) return;
    const bool again = pending_ && pending_->kind == kKeysig;
    if (!startProvisional(kKeysig)) return;
    KeysigData& k = pending_->data.keysig;
    if (again) {
        k.key = static_cast<int8_t>(k.key >= 7 ? -7 : k.key + 1);
    } else {
        k.key = 1;
        k.naturalsOnChange = static_cast<uint8_t>(settings_.naturalsInKeyChange);
    }
    pending_->glyph = kNoGlyph;
    pending_->y = score_.stave(pendingStave_).h.Ycoord;
    pendingChanged();
    provisionalAttributes();
}

void DocumentController::placeTimesig() {
    if (!signatureAllowed()) return;
    if (!startProvisional(kTimesig)) return;
    ScoreObject& w = *pending_;
    if (w.data.timesig.numerator == 0) w.data.timesig = TimesigData{4, 4, 0, 0};
    w.y = score_.stave(pendingStave_).h.Ycoord;
    pendingChanged();
    provisionalAttributes();
}

}  // namespace sw
