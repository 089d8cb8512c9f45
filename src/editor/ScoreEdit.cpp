// Edit transactions over the score and its undo history.
#include "editor/ScoreEdit.h"

#include <algorithm>

namespace sw {

void DirtyStaves::add(int from, int to) {
    if (from > to) return;
    if (first > last) {
        first = from;
        last = to;
        return;
    }
    first = std::min(first, from);
    last = std::max(last, to);
}

ScoreEdit::ScoreEdit(EditContext& ctx, std::string what)
    : ctx_(ctx),
      what_(std::move(what)),
      doc_{ctx.score, ctx.cursorX, scratchModified_},
      start_(ctx.undo.written()) {
    ctx_.undo.beginEdit();
}

ScoreEdit::~ScoreEdit() {
    if (!committed_) ctx_.undo.withdraw(static_cast<int>(ctx_.undo.written() - start_));
    ctx_.undo.endEdit();
}

bool ScoreEdit::touchStave(int s) {
    return touchStaves(s, s);
}

bool ScoreEdit::touchStaves(int first, int last) {
    Score& score = ctx_.score;
    if (first < 0 || last < first || last > score.Nstaves) return false;
    const bool ok = first == last
                        ? ctx_.undo.saveStave(doc_, first, kUndoStave, ctx_.host)
                        : ctx_.undo.saveStaveGroup(doc_, first, last, kUndoGroup, ctx_.host);
    if (ok) touched_.add(first, last);
    return ok;
}

bool ScoreEdit::touchParts(const std::vector<StavePart>& parts) {
    if (!ctx_.undo.saveParts(doc_, parts, ctx_.host)) return false;
    for (const StavePart& at : parts)
        touched_.add(at.stave, at.stave);
    return true;
}

bool ScoreEdit::touchPage(int lastStave) {
    const int last = std::clamp(lastStave, 0, static_cast<int>(ctx_.score.Nstaves));
    if (!ctx_.undo.saveStaves(doc_, 0, kUndoPage, last + 1, ctx_.host)) return false;
    touched_.add(0, last);
    touched_.page = touched_.structural = true;
    return true;
}

bool ScoreEdit::touchInsertion(int after, int count) {
    if (after < 0 || after > ctx_.score.Nstaves || count < 1) return false;
    if (!ctx_.undo.saveStaves(doc_, after, kUndoInsert, count, ctx_.host)) return false;
    // The staves around the new ones are laid out again; the rest only move.
    touched_.add(std::max(after, 1), after + count + 1);
    return true;
}

bool ScoreEdit::touchDeletion(int s) {
    if (s < 1 || s > ctx_.score.Nstaves) return false;
    if (!ctx_.undo.saveStaves(doc_, s, kUndoDelete, 1, ctx_.host)) return false;
    touched_.add(std::max(s - 1, 1), s);
    return true;
}

void ScoreEdit::commit() {
    if (committed_) return;
    committed_ = true;
    ctx_.modified = true;
    if (keepLayout_ && !touched_.page && !touched_.structural) {
        ctx_.dirty.redraw = true;
        return;
    }
    ctx_.dirty.add(touched_.first, touched_.last);
    ctx_.dirty.page |= touched_.page;
    ctx_.dirty.structural |= touched_.structural;
}

}  // namespace sw
