// The one way the score changes: an edit writes the undo records of what it
// will touch before anything changes, marks the document modified when it is
// committed, and leaves the touched staves to be laid out and redrawn. An edit
// that is never committed takes its records back, so a refused command leaves
// neither history nor a modified flag behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/Undo.h"
#include "model/Score.h"

namespace sw {

class Host;
class WarningBox;

// What needs laying out and drawing again after the committed edits.
struct DirtyStaves {
    int first = 0, last = -1;  // an empty range when first > last
    bool page = false;         // page data or stave size: a new page picture
    bool structural = false;   // staves inserted, removed or moved: paginate again
    bool redraw = false;       // the page is drawn again with nothing laid out
    bool empty() const { return first > last && !page && !structural && !redraw; }
    void add(int from, int to);
    void clear() { *this = DirtyStaves{}; }
};

// What an edit reaches: the score, its history and the document's state.
struct EditContext {
    Score& score;
    UndoRing& undo;
    Host& host;
    WarningBox& warnings;
    int32_t& cursorX;
    bool& modified;
    DirtyStaves& dirty;
};

class ScoreEdit {
  public:
    ScoreEdit(EditContext& ctx, std::string what);
    ~ScoreEdit();
    ScoreEdit(const ScoreEdit&) = delete;
    ScoreEdit& operator=(const ScoreEdit&) = delete;

    // Each records the staves before they change; false when the history
    // could not be written (the user has been told) or the staves do not
    // exist: the command must not go on.
    bool touchStave(int s);
    bool touchStaves(int first, int last);
    // Only these headers and objects, for an edit that changes them in place
    // and nothing else of their staves (no object added, removed or moved).
    bool touchParts(const std::vector<StavePart>& parts);
    // The page data and stave size, with stave 0 and the staves 1..lastStave
    // whose ends follow the page's width (0 for none).
    bool touchPage(int lastStave);
    // `count` staves are about to go in after stave `after` (0..Nstaves).
    // Staves are inserted and removed on the unpaginated strip (Unpaginate
    // first), which is what Undo puts them back into.
    bool touchInsertion(int after, int count);
    // Stave s is about to be taken out (on the strip, as above).
    bool touchDeletion(int s);

    // The change is done: the document is modified and the touched staves are
    // laid out and redrawn.
    void commit();
    // Before commit: the change alters nothing layout works out (numbers
    // only), so the page is drawn again without laying the staves out.
    void keepLayout() { keepLayout_ = true; }
    bool committed() const { return committed_; }
    const std::string& what() const { return what_; }
    Score& score() { return ctx_.score; }
    // The undo document for helpers that take one; its modified flag is the
    // edit's own until commit.
    UndoDocument& document() { return doc_; }

  private:
    EditContext& ctx_;
    std::string what_;
    bool scratchModified_ = false;
    UndoDocument doc_;
    int64_t start_;
    DirtyStaves touched_;
    bool committed_ = false;
    bool keepLayout_ = false;
};

}  // namespace sw
