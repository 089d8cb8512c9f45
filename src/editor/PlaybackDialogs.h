// The models of the "General Midi Instruments" chooser (shared by the play
// window, the stave attributes and the options) and the "Temperament" dialog.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sw {

// Programs are 0-based here (0..127, 128 silence) as the chooser returns
// them; -1 is "(Not allocated)".
class InstrumentChooserModel {
  public:
    static constexpr const char* kCaption = "General Midi Instruments";
    static constexpr const char* kSelected = "Instrument selected: ";
    static constexpr const char* kFavourites = "Favourites";
    static constexpr const char* kAddFavourite = "&Add to favourites";
    static constexpr const char* kRemoveFavourite = "Remo&ve from favourites";
    static constexpr const char* kNotAllocated = "(Not allocated)";
    static constexpr int kSilence = 128;
    static constexpr std::size_t kMaxFavourites = 20;

    struct Family {
        const char* name;
        int first;  // its eight programs start here; silence alone at 128
    };
    struct Page {
        const char* caption;
        std::vector<Family> families;
    };
    static const std::vector<Page>& Pages();
    // "1 Acoustic Grand Piano" … "129 Silence", "(Not allocated)" for -1.
    static std::string Name(int program);
    // The program a list item names ("41 Violin" or "41"), -2 when none.
    static int ProgramOf(const std::string& item);

    // `favourites` are 1-based, as the settings keep them.
    InstrumentChooserModel(int current, std::vector<int> favourites);
    int chosen() const { return chosen_; }
    void choose(int program);
    std::string selectedText() const { return kSelected + Name(chosen_); }
    const std::vector<int>& favourites() const { return favourites_; }
    bool isFavourite(int program) const;
    // The chosen program joins (or leaves) the favourites; false when it cannot.
    bool addFavourite();
    bool removeFavourite();

  private:
    int chosen_;
    std::vector<int> favourites_;
};

class TemperamentDialogModel {
  public:
    static constexpr const char* kCaption = "Temperament";
    static constexpr const char* kGroup = " Temperament ";
    static constexpr std::array<const char*, 5> kChoices = {"&Equal temperament", "&Pythagorean",
                                                            "&Just intonation", "&Meantone",
                                                            "&Great Highland Bagpipe tuning"};
    static constexpr const char* kNote =
        "Note that if any temperament other than equal temperament is chosen then only one "
        "instrumental voice is possible.";
    explicit TemperamentDialogModel(int current)
        : chosen_(current >= 0 && current <= 4 ? current : 0) {}
    int chosen() const { return chosen_; }
    void choose(int t) {
        if (t >= 0 && t <= 4) chosen_ = t;
    }

  private:
    int chosen_;
};

}  // namespace sw
