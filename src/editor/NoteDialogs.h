// The models of the "Note Alignment Tool" and "Tremulo Beams" dialogs: what
// they offer, their defaults and the values they hand to the commands.
#pragma once

#include <array>
#include <string>

#include "layout/Alignment.h"

namespace sw {

enum class AlignExtent { Stave, System, Score };

class NoteAlignmentModel {
  public:
    static constexpr int kMinProximity = 1, kMaxProximity = 20, kDefaultProximity = 5;

    AlignExtent extent = AlignExtent::Score;
    bool average = true;  // else the leftmost note
    bool includeGrace = false;

    int proximity() const { return proximity_; }
    // False (the value kept) for a text that is no whole number in range.
    bool setProximityText(const std::string& text);
    // The options the command aligns with.
    AlignOptions options() const;

  private:
    int proximity_ = kDefaultProximity;
};

class TremoloBeamsModel {
  public:
    static constexpr std::array<const char*, 5> kChoices = {
        "&None", "&1 (Quaver)", "&2 (Semiquaver)", "&3 (Demisemiquaver)",
        "&4 (Hemidemisemiquaver)"};

    // Preset to the larger count already on the two notes' chords.
    explicit TremoloBeamsModel(int preset);
    int beams() const { return beams_; }
    void choose(int beams);

  private:
    int beams_ = 0;
};

}  // namespace sw
