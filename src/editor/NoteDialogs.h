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

enum class NeatenScope { System, Page, Score };

// "Neaten Stave(s)": which systems, and the note spacing from durational (0)
// to equal (100), opened on the stored factor (thousandths).
class NeatenDialogModel {
  public:
    static constexpr int kDurational = 0, kEqual = 100;

    explicit NeatenDialogModel(int storedFactor);
    NeatenScope scope = NeatenScope::System;

    int spacing() const { return spacing_; }
    void setSpacing(int position);
    // False (the value kept) for a text that is no whole number in range.
    bool setSpacingText(const std::string& text);
    // What is stored on OK, and what neatening works with.
    int storedFactor() const { return spacing_ * 10; }
    double factor() const { return spacing_ / 100.0; }

  private:
    int spacing_ = 50;
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
