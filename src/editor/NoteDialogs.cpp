// The note dialogs' models.
#include "editor/NoteDialogs.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace sw {

namespace {

// A whole number within lo..hi, spaces aside.
std::optional<int> WholeNumberIn(const std::string& text, int lo, int hi) {
    const std::size_t a = text.find_first_not_of(' ');
    const std::size_t b = text.find_last_not_of(' ');
    if (a == std::string::npos) return std::nullopt;
    int value = 0;
    const char* first = text.data() + a;
    const char* last = text.data() + b + 1;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < lo || value > hi) return std::nullopt;
    return value;
}

}  // namespace

bool NoteAlignmentModel::setProximityText(const std::string& text) {
    const std::optional<int> v = WholeNumberIn(text, kMinProximity, kMaxProximity);
    if (v) proximity_ = *v;
    return v.has_value();
}

NeatenDialogModel::NeatenDialogModel(int storedFactor) {
    setSpacing(storedFactor / 10);
}

void NeatenDialogModel::setSpacing(int position) {
    spacing_ = std::clamp(position, kDurational, kEqual);
}

bool NeatenDialogModel::setSpacingText(const std::string& text) {
    const std::optional<int> v = WholeNumberIn(text, kDurational, kEqual);
    if (v) spacing_ = *v;
    return v.has_value();
}

AlignOptions NoteAlignmentModel::options() const {
    AlignOptions o;
    o.proximity = proximity_;
    o.includeGrace = includeGrace;
    o.average = average;
    return o;
}

TremoloBeamsModel::TremoloBeamsModel(int preset) {
    choose(preset);
}

void TremoloBeamsModel::choose(int beams) {
    beams_ = std::clamp(beams, 0, static_cast<int>(kChoices.size()) - 1);
}

}  // namespace sw
