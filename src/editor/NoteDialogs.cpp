// The note dialogs' models.
#include "editor/NoteDialogs.h"

#include <algorithm>
#include <charconv>

namespace sw {

bool NoteAlignmentModel::setProximityText(const std::string& text) {
    const std::size_t a = text.find_first_not_of(' ');
    const std::size_t b = text.find_last_not_of(' ');
    if (a == std::string::npos) return false;
    int value = 0;
    const char* first = text.data() + a;
    const char* last = text.data() + b + 1;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || value < kMinProximity || value > kMaxProximity)
        return false;
    proximity_ = value;
    return true;
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
