// The model of the "Bar Maintenance" dialog: its operations, the bar-number
// spin box and its labels, the numbering position, frequency and font, and
// what counts as a change of the numbering settings.
#pragma once

#include <array>
#include <string>

#include "model/Score.h"

namespace sw {

// The numbering settings the dialog shows and changes.
struct BarNumberSettings {
    FontDesc font;
    int place = 0;      // 0..3, as a top stave's barNumberPlace
    int frequency = 0;  // 1, 2, 5 or 10; anything else is unset
    bool boxed = false;
};

class BarMaintenanceModel {
  public:
    enum Operation { kNone = -1, kMoveUp, kMoveDown, kDelete, kGoTo, kRefresh, kOperationCount };

    static constexpr const char* kCaption = "Bar Maintenance";
    static constexpr const char* kOperationTitle = " Operation ";
    static constexpr std::array<const char*, kOperationCount> kOperations = {
        "Move bar to &previous system", "Move bar to n&ext system", "&Delete bar",
        "&Go to bar number", "&Refresh bar numbers"};
    static constexpr const char* kPositionTitle = " Numbers position ";
    static constexpr const char* kFrequencyCaption = "Numbering &Frequency";
    static constexpr std::array<int, 4> kFrequencies = {1, 2, 5, 10};
    static constexpr const char* kFontTitle = " Bar numbering font ";
    static constexpr const char* kChangeFont = "Change f&ont";
    static constexpr const char* kBoxed = "Bo&xed bar numbers";
    static constexpr const char* kOk = "O&K";
    // Shown while the numbering frequency is unset.
    static constexpr int kDefaultFrequency = 5;

    // `number`: the bar at the cursor; the moves enabled as their commands are.
    BarMaintenanceModel(const BarNumberSettings& current, int number, bool canMoveUp,
                        bool canMoveDown, bool american);

    bool enabled(Operation op) const;
    Operation operation() const { return operation_; }
    // False, with nothing chosen, for an operation not enabled.
    bool choose(Operation op);

    // The spin box is shown and enabled for Go to and Refresh only; its label
    // is empty otherwise.
    bool spinShown() const;
    std::string spinLabel() const;
    int number() const { return number_; }
    // False, keeping the number, outside 1..32767.
    bool setNumber(int number);

    bool positionShown() const { return operation_ == kRefresh; }
    std::array<std::string, 4> placeCaptions() const;
    int place() const { return chosen_.place; }
    void setPlace(int place);  // 0..3; others ignored

    // Shown and enabled exactly while numbers go above the bar lines.
    bool frequencyShown() const { return chosen_.place == 3; }
    int frequency() const { return chosen_.frequency; }
    void setFrequency(int frequency);  // 1, 2, 5 or 10; others ignored

    const FontDesc& font() const { return chosen_.font; }
    void setFont(const FontDesc& font) { chosen_.font = font; }
    std::string fontDescription() const;
    bool boxed() const { return chosen_.boxed; }
    void setBoxed(bool on) { chosen_.boxed = on; }

    // The settings OK writes, and whether any differs from what it was.
    const BarNumberSettings& chosen() const { return chosen_; }
    bool changed() const;

  private:
    BarNumberSettings current_, chosen_;
    Operation operation_ = kNone;
    int number_ = 1;
    bool canMoveUp_, canMoveDown_, american_;
};

}  // namespace sw
