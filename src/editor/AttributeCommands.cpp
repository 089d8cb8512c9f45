// The attribute dialogs opened from the editor: on the object in hand, on
// the object under the mouse or on a list of objects, each OK one edit.
#include <algorithm>
#include <cstring>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

// Stem increments are told at every level, unless the user silenced them.
constexpr int kEveryLevel = 5;

}  // namespace

std::optional<int> DocumentDialogs::chooseObjectTypes(const std::vector<int>& kindsPresent) {
    ObjectTypeSelection model(kindsPresent);
    if (!showForm(model)) return std::nullopt;
    return model.chosenKind();
}

void DocumentController::properties() {
    if (mode_ != kModeMusic) return;
    if (pending_) {
        provisionalAttributes();
        return;
    }
    if (objectSelected_ && score_.hasStave(focusStave_) &&
        score_.stave(focusStave_).validIndex(focusObject_)) {
        editAttributes({{focusStave_, focusObject_}});
        return;
    }
    run(Action::StaveAttributes);
}

bool DocumentController::provisionalAttributes() {
    if (!pending_) return false;
    DialogContext context;
    context.american = settings_.american;
    std::unique_ptr<ObjectDialog> dialog = MakeObjectDialog({&*pending_}, context);
    if (!dialog || !dialogs_.showForm(*dialog)) return false;
    dialog->applyTo(*pending_);
    pendingChanged();
    return true;
}

bool DocumentController::editAttributes(std::vector<NoteRef> list, bool legsOnly) {
    std::erase_if(list, [this](const NoteRef& r) {
        return !score_.hasStave(r.s) || !score_.stave(r.s).validIndex(r.i);
    });
    if (list.empty()) return false;
    std::vector<int> kinds;
    for (const NoteRef& r : list) {
        const int own = score_.object(r.s, r.i).kind;
        const int k = IsTextLike(own) ? int{kText} : own;
        if (std::find(kinds.begin(), kinds.end(), k) == kinds.end()) kinds.push_back(k);
    }
    int kind = kinds.front();
    if (kinds.size() > 1) {
        const std::optional<int> k = dialogs_.chooseObjectTypes(kinds);
        if (!k) return false;
        kind = *k;
    }
    // Only the objects of the chosen kind are read and written.
    std::erase_if(list, [&](const NoteRef& r) {
        const int k = score_.object(r.s, r.i).kind;
        return !(k == kind || (kind == kText && IsTextLike(k)));
    });
    if (list.empty()) return false;
    std::vector<const ScoreObject*> objects;
    for (const NoteRef& r : list)
        objects.push_back(&score_.object(r.s, r.i));
    DialogContext context{&score_, list, settings_.american};
    std::unique_ptr<ObjectDialog> dialog =
        legsOnly ? std::make_unique<LineDialog>(objects, true) : MakeObjectDialog(objects, context);
    if (!dialog) return false;
    if (auto* text = dynamic_cast<TextAttributesDialog*>(dialog.get()))
        text->chooseFont = [this](FontDesc& f) { return dialogs_.chooseFont(f); };
    if (!dialogs_.showForm(*dialog)) return false;  // Cancel: nothing recorded

    // Links reach the staves next to the listed ones (cross-stave beams) and
    // the previous system (ties and slurs from it).
    auto [lo, hi] = std::minmax_element(
        list.begin(), list.end(), [](const NoteRef& a, const NoteRef& b) { return a.s < b.s; });
    int first = std::max(1, lo->s - 1), last = std::min<int>(score_.Nstaves, hi->s + 1);
    if (dialog->reachesPreviousSystem()) {
        const int top = SystemBounds(score_, lo->s).first;
        if (top > 1) first = std::min(first, SystemBounds(score_, top - 1).first);
    }
    std::vector<StaveBlock> before;
    for (int s = first; s <= last; ++s)
        before.push_back(score_.stave(s));
    EditContext ctx = editContext();
    ScoreEdit edit(ctx, dialog->title());
    if (!edit.touchStaves(first, last)) return false;
    for (const NoteRef& r : list)
        if (dialog->takes(score_.object(r.s, r.i).kind)) dialog->applyTo(score_.object(r.s, r.i));
    ApplyReport report;
    const bool done = dialog->applyInScore(score_, list, host_, report);
    bool changed = false;
    for (int s = first; s <= last; ++s) {
        StaveBlock& now = score_.stave(s);
        const StaveBlock& was = before[static_cast<std::size_t>(s - first)];
        if (!done) now = was;
        changed =
            changed || now.h.Nobjec != was.h.Nobjec ||
            std::memcmp(&now.obj[0], &was.obj[0], sizeof(ScoreObject) * (kMaxObjects + 1)) != 0;
    }
    // An OK that changed nothing leaves no undo step and no modified mark.
    if (!changed) return false;
    edit.commit();
    afterEdits();
    if (report.stemsRaised > 0)
        warnings_.show(host_,
                       report.stemsRaised == 1 ? msg::StemIncrementOne : msg::StemIncrementSome,
                       kEveryLevel, false);
    return true;
}

void DocumentController::attributes() {
    // Without an object in hand: the stave attributes.
    if (mode_ != kModeMusic) return;
    if (pending_)
        provisionalAttributes();
    else
        run(Action::StaveAttributes);
}

void DocumentController::lineLegs() {
    if (mode_ != kModeMusic || pending_ || !objectSelected_ || !score_.hasStave(focusStave_) ||
        !score_.stave(focusStave_).validIndex(focusObject_) ||
        score_.object(focusStave_, focusObject_).kind != kLine)
        return;
    editAttributes({{focusStave_, focusObject_}}, true);
}

}  // namespace sw
