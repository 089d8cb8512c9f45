// Music, and the header/footer view that stands in for it on the
// header/footer stave.
#pragma once

#include "editor/modes/ModeHandler.h"

namespace sw {

class MusicMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    bool keyUp(const std::string& key) override;
};

// An object dragged by the mouse: it follows within its limits and is
// written back as one edit when the button is let go.
class MovingObjectMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int) override;
    PointerResult pointer(const PointerEvent& e) override;
};

class MovestaveMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    PointerResult pointer(const PointerEvent& e) override;
};

class HeaderFooterMode : public ModeHandler {
  public:
    HeaderFooterMode(DocumentController& d, bool header) : ModeHandler(d), header_(header) {}
    void enter(int from) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;

  private:
    bool header_;
};

// The middle button, or Shift+Ctrl with the left one, takes hold of the page.
bool GrabsThePage(const PointerEvent& e);

}  // namespace sw
