// The instrument chooser's pages, names and favourites.
#include "editor/PlaybackDialogs.h"

#include <algorithm>
#include <cstdlib>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

const std::vector<InstrumentChooserModel::Page>& InstrumentChooserModel::Pages() {
    static const std::vector<Page> pages{
        {"&Keyboard", {{"Piano", 0}, {"Tuned Percussion", 8}, {"Organ", 16}}},
        {"&Strings", {{"Guitar", 24}, {"Bass", 32}, {"Strings", 40}}},
        {"Ensemble && &Brass", {{"Ensemble", 48}, {"Brass", 56}}},
        {"&Reed && Pipe", {{"Reed", 64}, {"Pipe", 72}}},
        {"S&ynth", {{"Synth Lead", 80}, {"Synth Pad", 88}, {"Synth Effects", 96}}},
        {"&Other",
         {{"Ethnic", 104}, {"Percussive", 112}, {"Sound Effects", 120}, {"Silence", kSilence}}},
    };
    return pages;
}

std::string InstrumentChooserModel::Name(int program) {
    if (program < 0 || program > kSilence) return kNotAllocated;
    return MessageText(msg::FirstInstrument + program);
}

int InstrumentChooserModel::ProgramOf(const std::string& item) {
    if (item == kNotAllocated) return -1;
    char* end = nullptr;
    const long n = std::strtol(item.c_str(), &end, 10);
    if (end == item.c_str() || n < 1 || n > kSilence + 1) return -2;
    // A number alone, or the whole of that instrument's name.
    const int program = static_cast<int>(n) - 1;
    return *end == '\0' || item == Name(program) ? program : -2;
}

InstrumentChooserModel::InstrumentChooserModel(int current, std::vector<int> favourites)
    : chosen_(current >= -1 && current <= kSilence ? current : -1) {
    for (int f : favourites)
        if (f >= 1 && f <= kSilence + 1 && favourites_.size() < kMaxFavourites &&
            std::find(favourites_.begin(), favourites_.end(), f) == favourites_.end())
            favourites_.push_back(f);
}

void InstrumentChooserModel::choose(int program) {
    if (program >= -1 && program <= kSilence) chosen_ = program;
}

bool InstrumentChooserModel::isFavourite(int program) const {
    return std::find(favourites_.begin(), favourites_.end(), program + 1) != favourites_.end();
}

bool InstrumentChooserModel::addFavourite() {
    if (chosen_ < 0 || isFavourite(chosen_) || favourites_.size() >= kMaxFavourites) return false;
    favourites_.push_back(chosen_ + 1);
    return true;
}

bool InstrumentChooserModel::removeFavourite() {
    const auto it = std::find(favourites_.begin(), favourites_.end(), chosen_ + 1);
    if (chosen_ < 0 || it == favourites_.end()) return false;
    favourites_.erase(it);
    return true;
}

}  // namespace sw
