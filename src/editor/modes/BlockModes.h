// Block operations as modes: Blocksoon and Def block (dragging the box),
// Selecting (Shift+clicks), and BlockVb / BlockCpy (the moving box), with the
// state they share.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "editor/Selection.h"
#include "editor/modes/ModeHandler.h"

namespace sw {

struct BlockState {
    Selection selection;
    int32_t fixedX = 0, fixedY = 0;    // where the box was started
    int32_t cornerX = 0, cornerY = 0;  // its moving corner: where the button was let go
    PixelBox marked;                   // the box drawn
    PixelBox moving;                   // the box that follows the mouse
    int32_t mouseX = 0, mouseY = 0;    // the last mouse point while moving
    int targetFirst = 0, targetLast = 0;
    bool freeVertical = false;  // the selection holds a vertically movable kind
    bool copyOnce = false;
    bool afterKey = false;  // the box was moved by a key: the next mouse move only re-anchors
};

// The handlers of the block modes, by mode number.
void AddBlockModeHandlers(std::array<std::unique_ptr<ModeHandler>, kModeCount>& h,
                          DocumentController& d);

// " Selecting: n objects selected." for the selection tool bar.
std::string SelectingLabel(std::size_t count);

// Shift+click in Music on object i of stave s: Selecting with it alone.
void StartSelecting(DocumentController& d, int s, int i);

}  // namespace sw
