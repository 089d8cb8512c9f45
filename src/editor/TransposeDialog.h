// The model of the "Transposing" dialog: the interval list and the distance
// box kept in step, the extent, clef and stem choices with the warnings they
// bring, and what "Do it!" asks before the dialog closes.
#pragma once

#include <array>

#include "model/Score.h"
#include "tools/Transpose.h"

namespace sw {

class Host;
class WarningBox;

class TransposeDialogModel {
  public:
    static constexpr const char* kCaption = "Transposing";
    static constexpr const char* kIntervalLabel = "&Interval";
    // Item i is 12 - i semitones.
    static constexpr std::array<const char*, 25> kIntervals = {"One octave up",
                                                               "Major 7th up",
                                                               "Minor 7th up",
                                                               "Major 6th up",
                                                               "Minor 6th up",
                                                               "Perfect 5th up",
                                                               "Augmented 4th (tritone) up",
                                                               "Perfect 4th up",
                                                               "Major 3rd up",
                                                               "Minor 3rd up",
                                                               "Major 2nd up (1 tone)",
                                                               "Minor 2nd up (semitone)",
                                                               "Unison",
                                                               "Minor 2nd down (semitone)",
                                                               "Major 2nd down (1 tone)",
                                                               "Minor 3rd down",
                                                               "Major 3rd down",
                                                               "Perfect 4th down",
                                                               "Augmented 4th (tritone) down",
                                                               "Perfect 5th down",
                                                               "Minor 6th down",
                                                               "Major 6th down",
                                                               "Minor 7th down",
                                                               "Major 7th down",
                                                               "Octave down"};
    static constexpr const char* kDistanceLabel = "Di&stance and Direction";
    static constexpr const char* kSemitones = "semitones";
    static constexpr int kMinDistance = -24, kMaxDistance = 24;
    static constexpr const char* kStems = "Adjust ste&m directions";
    static constexpr const char* kStemsHint =
        "Take care with this option - it works best with simple melody lines";
    static constexpr const char* kExtentTitle = "Extent";
    static constexpr std::array<const char*, 3> kExtents = {"&Current stave", "&Whole score",
                                                            "This sta&ve in every system"};
    static constexpr const char* kRespace = "Respace notes";
    static constexpr const char* kClefTitle = "Clef Change";
    static constexpr std::array<const char*, 5> kClefs = {"&No change", "To treble (&G) clef",
                                                          "To bass (&F) clef", "To &Alto (C) clef",
                                                          "To &Tenor (C) clef"};
    static constexpr const char* kClefHint = "Can be used with or without an interval change";
    static constexpr const char* kDoIt = "&Do it!";
    static constexpr const char* kExplain = "Explain";
    static constexpr const char* kCancel = "Canc&el";

    // The dialog over the score, opened on the current stave.
    explicit TransposeDialogModel(const Score& score) : score_(score) {}

    int distance() const { return distance_; }
    // The list item that shows the distance; -1 beyond an octave.
    int interval() const;
    void chooseInterval(int item);
    // False for a distance outside -24..24 (the box keeps its value).
    bool setDistance(int semitones);
    bool setDistanceText(const std::string& text);

    TransposeExtent extent() const { return extent_; }
    // "This stave in every system" on a score whose systems differ in size
    // is refused with a message and the extent goes back to the current stave.
    void chooseExtent(TransposeExtent e, Host& host);
    int clef() const { return clef_; }  // -1 no change, else 0 treble … 3 tenor
    // A clef change for more than the current stave is confirmed in the
    // warning box; Cancel keeps "No change".
    void chooseClef(int clef, Host& host, WarningBox& warnings);
    void chooseClefItem(int item, Host& host, WarningBox& warnings) {
        chooseClef(item - 1, host, warnings);
    }

    bool adjustStems = false;
    bool respace = true;

    // "Do it!": the refusal of a transposition by nothing, then the
    // confirmation (and the stems warning). True when the dialog closes to
    // transpose; false keeps it open.
    bool doIt(Host& host, WarningBox& warnings);
    void explain(Host& host) const;
    // The confirmation's text for the choices made.
    std::string confirmation() const;

  private:
    const Score& score_;
    int distance_ = 0;
    TransposeExtent extent_ = TransposeExtent::Stave;
    int clef_ = -1;
};

}  // namespace sw
