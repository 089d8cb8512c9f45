// Runs the stave and system commands for the document and keeps their menu
// states.
#include "editor/StaveActions.h"

#include "editor/DocumentController.h"
#include "editor/commands/StaveCommands.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

bool LastOnPage(const Score& score, int s) {
    return s >= score.Nstaves || score.stave(s + 1).h.PageNum != score.stave(s).h.PageNum;
}

}  // namespace

bool StaveCommandApplies(const Score& score, int s, Action a) {
    if (s < 1 || s > score.Nstaves || !score.hasStave(s)) return false;
    const StaveHeader& h = score.stave(s).h;
    const bool last = LastOnPage(score, s);
    switch (a) {
        case Action::JoinDown:
            return !h.joinToNext && !last;
        case Action::NoJoinDown:
            return h.joinToNext && !last;
        case Action::BraceBelow:
            return h.joinToNext && !h.withBrace && !last;
        case Action::NoBraceBelow:
            return h.joinToNext && h.withBrace && !last;
        case Action::DeleteStave:
            return score.Nstaves >= 2;
        case Action::MoveFirstUp:
        case Action::MoveLastDown: {
            // Only towards a system of as many staves.
            const bool down = a == Action::MoveLastDown;
            const auto [first, end] = SystemBounds(score, s);
            if (down ? end >= score.Nstaves : first <= 1) return false;
            const auto [other, otherEnd] = SystemBounds(score, down ? end + 1 : first - 1);
            return otherEnd - other == end - first;
        }
        default:
            return true;
    }
}

bool StaveActions::IsStaveAction(Action a) {
    return a >= Action::NewSystem && a <= Action::CutRight;
}

void StaveActions::refreshActions(DocumentController& d) {
    const bool on = d.mode_ == kModeMusic && d.unlocked_ && d.score_.Nstaves >= 1;
    const int s = d.score_.CurrentStave;
    for (int k = static_cast<int>(Action::NewSystem); k <= static_cast<int>(Action::CutRight);
         ++k) {
        const auto a = static_cast<Action>(k);
        d.ui_.actions[ActionName(a)].enabled =
            on && (a == Action::NewSystem || StaveCommandApplies(d.score_, s, a));
    }
    const bool small = on && d.score_.hasStave(s) && d.score_.stave(s).h.sizeIndex != 0;
    d.ui_.actions[ActionName(Action::ChangeSize)].caption =
        small ? "Make stave normal size" : "Make stave small size";
}

bool StaveActions::command(DocumentController& d, Action a) {
    if (!d.canRun(a)) return true;
    EditContext ctx = d.editContext();
    const int s = d.score_.CurrentStave;
    bool done = false;
    switch (a) {
        case Action::NewSystem:
            d.abandonProvisional();
            d.setCursorShown(false);
            done = NewSystem(ctx);
            break;
        case Action::NewStaveAbove:
        case Action::NewStaveBelow:
            done = InsertStave(ctx, a == Action::NewStaveAbove ? s - 1 : s);
            break;
        case Action::DeleteStave:
            done = DeleteStave(ctx, s);
            break;
        case Action::StaveAttributes: {
            StaveAttributesModel model(d.score_, s, d.settings_.american);
            done = d.dialogs_.staveAttributes(model) && model.apply(ctx);
            break;
        }
        case Action::JoinDown:
        case Action::NoJoinDown:
            done = ToggleJoin(ctx, s, a == Action::NoJoinDown);
            break;
        case Action::BraceBelow:
        case Action::NoBraceBelow:
            done = SetBrace(ctx, s, a == Action::BraceBelow);
            break;
        case Action::ChangeSize:
            done = ToggleStaveSize(ctx, s);
            break;
        case Action::CutLeft:
        case Action::CutRight:
            done = ChopSystem(ctx, s, d.cursorX_,
                              a == Action::CutLeft ? ChopSide::Left : ChopSide::Right);
            break;
        default:
            return false;
    }
    d.afterEdits();
    if (done || a == Action::NewSystem) d.setCursorShown(true);
    return true;
}

void StaveActions::joinKey(DocumentController& d, const MusicKey&) {
    if (!d.unlocked_) return;
    EditContext ctx = d.editContext();
    ToggleJoin(ctx, d.score_.CurrentStave);
    d.afterEdits();
}

void StaveActions::binding(DocumentController& d, bool brace) {
    if (!d.unlocked_) return;
    EditContext ctx = d.editContext();
    ToggleBinding(ctx, d.score_.CurrentStave, brace);
    d.afterEdits();
}

void StaveActions::bracketKey(DocumentController& d, const MusicKey&) {
    binding(d, false);
}

void StaveActions::braceKey(DocumentController& d, const MusicKey&) {
    binding(d, true);
}

void StaveActions::sizeKey(DocumentController& d, const MusicKey&) {
    d.run(Action::ChangeSize);
}

}  // namespace sw
