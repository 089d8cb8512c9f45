// The modes that place texts, lines, curves, hairpins and shapes: each
// starts its tools from the settings and says what to do first.
#pragma once

#include "editor/modes/ModeHandler.h"

namespace sw {

// Drawing a text or a hairpin may leave traces on a slow redraw path: the
// page is drawn again when the user goes back to Music.
void RedrawOnReturn(DocumentController& d, int to);

class TextMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
};

class LineMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
};

class CurveMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
};

class HairpinMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
};

class DrawingMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
};

}  // namespace sw
