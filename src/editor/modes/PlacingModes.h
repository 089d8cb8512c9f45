// The modes that place objects other than notes and signatures: Text (with
// lyrics and header/footer texts), Symbol, Line, Curve, Hairpin and Drawing.
// Each attaches what it places to the current stave (PgUp/PgDn move it to a
// neighbour on the page), keeps its points inside the stave's attachment
// range, shows its work in the overlay and stores through one edit.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/Overlay.h"
#include "editor/commands/PlacingCommands.h"
#include "editor/modes/ModeHandler.h"

namespace sw {

// Drawing a text or a hairpin may leave traces on a slow redraw path: the
// page is drawn again when the user goes back to Music.
void RedrawOnReturn(DocumentController& d, int to);

// What the placing modes share, with the controller's state in reach.
struct Placing {
    // A tool button or placing command (the Action block from acLyric on).
    static bool IsPlacingAction(Action a);
    static bool command(DocumentController& d, Action a);
    // Their enabled and checked states for the mode and tools now.
    static void refreshActions(DocumentController& d);
    // Symbol mode through its palette, Drawing mode through the shapes palette.
    static void startSymbol(DocumentController& d);
    static void startShape(DocumentController& d);

    // Entering a placing mode: the stave cursor and the object under the
    // mouse give way to what is placed.
    static void begin(DocumentController& d);
    static int32_t clampY(const DocumentController& d, int32_t y);
    // The attachment line from (x, y) to the current stave, when the point
    // lies inside the picture.
    static void attachFrom(DocumentController& d, int32_t x, int32_t y);
    // PgUp/PgDn: the previous or next stave of the page becomes current.
    static bool neighbour(DocumentController& d, bool down);
    // The keys the drawing modes share: Esc runs `end`; PgUp/PgDn attach to
    // the neighbouring stave, then run `moved`. False for any other key.
    static bool modeKey(DocumentController& d, const std::string& key,
                        const std::function<void()>& end, const std::function<void()>& moved);
    // The overlay changed: the window shows it again.
    static void show(DocumentController& d);
    static void clear(DocumentController& d);
};

class TextMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    void beforeMusic() override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    bool character(char32_t c) override;
    bool tool(Action a) override;
    void toolsChanged() override;

  private:
    TextFont font() const;
    int32_t width(const std::string& text) const;
    int32_t height() const;
    // The text's left edge for what is typed: a lyric stays centred on its note.
    void place();
    void refresh();
    void type(char byte);
    void move(int32_t dx, int32_t dy);
    void setFont(const FontDesc& f);
    // Stores the line typed; false when the stave could not take all of it
    // (the editor has gone back to where the text was started).
    bool storeLine(bool finished);
    void newLine();
    void complete();
    void abandon();
    bool startLyric();
    // Space or "-" ended a syllable: the caret goes under the next note.
    void nextSyllable(bool spaced);

    int from_ = 0;
    std::string buffer_;  // Windows-1252, at most 255 characters
    int32_t left_ = 0, bottom_ = 0;
    bool lyric_ = false;
    int32_t lyricX_ = 0, firstNoteX_ = 0;  // the note the syllable is centred on
    std::vector<StoredWord> words_;        // stored since the text was started
    bool dragging_ = false;
    int32_t mouseX_ = 0, mouseY_ = 0;
};

class SymbolMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void leave(int to) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    // The palette's choice follows the mouse from where it was.
    void begin(int glyph, bool moreThanOne, int32_t x, int32_t y);

  private:
    void follow(int32_t x, int32_t y, bool shift);
    void refresh();
    void drop();

    ScoreObject symbol_;
    bool more_ = false;
};

class LineMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    bool tool(Action a) override;

  private:
    void refresh(int32_t x, int32_t y);

    bool drawing_ = false;
    PlacingOverlay::Point start_, end_;
};

class CurveMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    void beforeMusic() override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    bool tool(Action a) override;
    void toolsChanged() override { refresh(); }

  private:
    void add(int32_t x, int32_t y);
    void finish();
    void refresh();

    std::vector<PlacingOverlay::Point> points_;  // sorted by x
    PlacingOverlay::Point mouse_;
};

class HairpinMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;
    bool tool(Action a) override;

  private:
    bool drawing_ = false;
    PlacingOverlay::Point vertex_, end_;
};

class DrawingMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int from) override;
    void leave(int to) override;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& key) override;

  private:
    std::optional<ScoreObject> shape_;
};

}  // namespace sw
