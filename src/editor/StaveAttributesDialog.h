// The stave attributes dialog ("Stave Attributes and System Construction"):
// its controls as values, the rules that tie them together, and OK as one
// edit over every stave it changes, replication into later systems included.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/ScoreEdit.h"

namespace sw {

class Host;

// The name of a General MIDI program (0..127) without its number.
std::string InstrumentName(int program);
// A stave's instrument (1..128, 0 none) as the instrument buttons show it.
std::string InstrumentCaption(int instrument);

class StaveAttributesModel {
  public:
    // The chooser opened on a program (0..127, -1 none): the chosen program,
    // -1 for none, nullopt when cancelled.
    using Chooser = std::function<std::optional<int>(int current)>;

    enum Control : uint8_t {
        Join,  // rgConn: "Join to next" chosen
        Brace,
        BarlineThrough,
        FullEndBar,
        Bracket,
        BracketNext,
        Invisible,
        PageBreak,
        OneLine,  // rgstavelines: "&1" chosen
        Small,    // rgstavesize: "&Small" chosen
        kControlCount
    };

    StaveAttributesModel(const Score& score, int s, bool american);

    int stave() const { return s_; }
    bool value(Control c) const { return values_[c]; }
    bool enabled(Control c) const;
    // A control changed by the user, with the rules that follow from it.
    void set(Control c, bool on);

    int barNumbers() const { return barNumbers_; }
    void setBarNumbers(int place);  // 0..3
    int transpose() const { return transpose_; }
    bool setTranspose(int semitones);  // false outside −24..24
    void octave(bool up);
    int instrumentUp() const { return up_; }
    int instrumentDown() const { return down_; }
    // The instrument buttons: the chooser, then the questions and warnings.
    void chooseInstrumentUp(const Chooser& choose);
    void chooseInstrumentDown(const Chooser& choose, Host& host);
    bool replicate() const { return replicate_; }
    void setReplicate(bool on) { replicate_ = on; }

    // The dialog's captions, "Staff" for "Stave" with American names.
    std::string caption() const;
    std::string linesCaption() const;
    std::string sizeCaption() const;
    std::string pageBreakCaption() const;
    std::string aboveCaption() const;
    std::string leftCaption() const;
    std::string unitCaption() const;  // after the transposition

    // OK: writes the controls to the stave as one edit (with the bar lines,
    // the bracket chain, pagination and replication). False when nothing
    // could be recorded.
    bool apply(EditContext& ctx) const;

  private:
    void rulesForJoin();
    void connEnabled();

    int s_;
    bool last_;         // the last stave of the score
    bool twoParts_;     // notes of both voices stand together somewhere
    uint8_t oldLines_;  // a count other than 5 and 1 is kept unless changed
    bool linesChosen_ = false;
    bool american_;
    bool values_[kControlCount] = {};
    bool enabled_[kControlCount] = {};
    int barNumbers_ = 0, transpose_ = 0, up_ = 0, down_ = 0;
    bool replicate_ = false;
};

}  // namespace sw
