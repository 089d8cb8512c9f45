// "Block Mode Action": the placing rule.
#include "editor/BlockActionDialog.h"

namespace sw {

ScreenRect BlockActionModel::Place(int left, int top, int width, int height,
                                   const ScreenRect& screen, const ScreenRect& window) {
    const bool fits = left >= screen.left && top >= screen.top &&
                      left + width <= screen.left + screen.width &&
                      top + height <= screen.top + screen.height;
    if (fits) return {left, top, width, height};
    return {window.left + (window.width - width) / 2, window.top + (window.height - height) / 2,
            width, height};
}

}  // namespace sw
