// One handler per editing mode: what entering and leaving the mode does, and
// where the pointer and the keys go while it is on. The controller keeps the
// state they share and hands each event to the handler of the current mode.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/Actions.h"
#include "editor/Modes.h"

namespace sw {

class DocumentController;

enum class MouseButton : uint8_t { None, Left, Middle, Right };

struct PointerEvent {
    enum Kind : uint8_t { Move, Press, Release, DoubleClick, Leave };
    Kind kind = Move;
    // Page-picture pixels at screen scale on the page shown (in the
    // header/footer view, on the header/footer page).
    int32_t x = 0, y = 0;
    MouseButton button = MouseButton::None;
    bool shift = false, ctrl = false, alt = false;
};

// What the window does after a pointer event besides showing the state.
struct PointerResult {
    bool used = false;
    bool repaint = false;     // the highlight or cursor changed
    bool scrollDrag = false;  // the page follows the pointer from now on
    // A pop-up item that only the window can carry out (printing, pictures).
    std::optional<Action> windowAction = std::nullopt;
};

class ModeHandler {
  public:
    explicit ModeHandler(DocumentController& d) : d_(d) {}
    virtual ~ModeHandler() = default;
    ModeHandler(const ModeHandler&) = delete;
    ModeHandler& operator=(const ModeHandler&) = delete;

    virtual void enter(int /*from*/) {}
    virtual void leave(int /*to*/) {}
    // By default the pointer shows what is under it.
    virtual PointerResult pointer(const PointerEvent& e);
    // A key that is no command's: true when the mode used it.
    virtual bool key(const std::string& /*key*/) { return false; }
    // The release of a key whose press the window saw.
    virtual bool keyUp(const std::string& /*key*/) { return false; }
    // A character typed, by what it is rather than by its key.
    virtual bool character(char32_t /*c*/) { return false; }
    // A tool button or placing command of the mode.
    virtual bool tool(Action /*a*/) { return false; }
    // The placing tools changed (a font, a thickness) from outside the mode.
    virtual void toolsChanged() {}
    // Music was chosen from the menu: what the mode has in hand goes in first.
    virtual void beforeMusic() {}

  protected:
    DocumentController& d_;
};

// A handler for every mode number (the unused numbers get a plain one).
std::array<std::unique_ptr<ModeHandler>, kModeCount> MakeModeHandlers(DocumentController& d);

}  // namespace sw
