// Compressing: the mouse picks a side of the cursor and how far the music on
// that side is squeezed, with a hairline at how far it can go.
#pragma once

#include "editor/modes/ModeHandler.h"
#include "layout/Compress.h"

namespace sw {

class CompressingMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    PointerResult pointer(const PointerEvent& e) override;

  private:
    // Forgets the press, the direction and the map.
    void reset();

    bool pressed_ = false;
    int stave_ = 0;
    CompressPlan plan_;
};

}  // namespace sw
