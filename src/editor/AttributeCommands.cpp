// The attribute dialogs opened from the editor: on the object in hand, on
// the object under the mouse or on a list of objects, each OK one edit.
#include <algorithm>
#include <cstring>

#include "app/FavouriteFonts.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/commands/EntryCommands.h"
#include "editor/dialogs/ObjectDialogs.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

// Stem increments are told at every level, unless the user silenced them.
constexpr int kEveryLevel = 5;

// Equal but for a note's geometry waiting to be derived again.
bool SameButDerived(const ScoreObject& a, const ScoreObject& b) {
    if (a.kind != kNote || b.kind != kNote) return std::memcmp(&a, &b, sizeof a) == 0;
    ScoreObject x = a, y = b;
    x.note().validated = y.note().validated = 0;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

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
    for (int s = first; s <= last && done && !changed; ++s) {
        const StaveBlock& now = score_.stave(s);
        const StaveBlock& was = before[static_cast<std::size_t>(s - first)];
        changed = now.h.Nobjec != was.h.Nobjec;
        for (int i = 0; i <= kMaxObjects && !changed; ++i)
            changed = !SameButDerived(now.obj[i], was.obj[i]);
    }
    // An OK that changed nothing leaves no undo step and no modified mark.
    if (!changed) {
        for (int s = first; s <= last; ++s)
            score_.stave(s) = before[static_cast<std::size_t>(s - first)];
        return false;
    }
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

bool DocumentController::chooseTextFont(int s, int i, bool favourite) {
    if (!score_.hasStave(s) || !score_.stave(s).validIndex(i) ||
        !HasTextLayout(score_.object(s, i).kind))
        return false;
    const int f = score_.object(s, i).text().fontNumber;
    FontDesc font = f >= 1 && f <= kMaxFonts ? score_.fonts[f] : FontDesc{};
    if (favourite) {
        const Settings builtIn;
        const Settings* program = services_.programSettings();
        const auto& favourites = (program ? *program : builtIn).favourites;
        std::vector<std::string> items;
        std::vector<std::size_t> numbers;
        for (std::size_t n = 0; n < favourites.size(); ++n)
            if (favourites[n].size > 0) {
                items.push_back(favourites[n].usedFor.substr(0, 32));
                numbers.push_back(n);
            }
        RadioListChooser list(
            MessageText(settings_.american ? msg::SelectFavoriteFont : msg::SelectFavouriteFont),
            MessageText(msg::ClickFontToSelect), items);
        if (!dialogs_.showForm(list) || !list.result()) return false;
        const auto k = static_cast<std::size_t>(*list.result() - RadioListChooser::kResultBase);
        if (k >= numbers.size()) return false;
        font = FavouriteFontDesc(favourites[numbers[k]]);
    } else if (!dialogs_.chooseFont(font)) {
        return false;
    }
    EditContext ctx = editContext();
    return SetTextFont(ctx, s, i, font);
}

}  // namespace sw
