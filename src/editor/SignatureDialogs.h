// The models of the clef, key signature and time signature dialogs for one
// object: what they offer, their choices and what OK writes into it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "model/ScoreObject.h"

namespace sw {

class ClefDialogModel {
  public:
    static constexpr std::array<const char*, 4> kTypes = {"&Treble", "&Bass", "&Alto", "Teno&r"};
    static constexpr std::array<const char*, 2> kSizes = {"&Normal", "&Small"};
    static constexpr std::array<const char*, 3> kOctaves = {"Non&e", "&Down", "&Up"};

    explicit ClefDialogModel(const ClefData& c);
    int type = 0, size = 0, octave = 0;  // indexes into the lists above
    // The clef's data and its glyph.
    void apply(ScoreObject& o) const;
};

class KeySignatureDialogModel {
  public:
    explicit KeySignatureDialogModel(const KeysigData& k);
    enum Type { NoType = -1, Flats = 0, Sharps = 1 };
    Type type = NoType;
    int number = 0;  // 0..7
    bool naturals = true;
    void chooseNumber(int n);
    // The number OK refuses because sharps or flats are not chosen.
    std::optional<int> undecided() const;
    int value() const { return type == Flats ? -number : type == Sharps ? number : 0; }
    void apply(ScoreObject& o) const;
};

class TimeSignatureDialogModel {
  public:
    enum Type { Numbered, Common, Cut, Single };
    static constexpr std::array<const char*, 4> kTypes = {"Normal numbered", "c", "\xC2\xA2",
                                                          "Single number"};
    static constexpr std::array<std::pair<int, int>, 5> kQuick = {
        {{2, 4}, {3, 4}, {4, 4}, {3, 8}, {6, 8}}};
    static constexpr std::array<const char*, 6> kQuickCaptions = {"&2/4", "&3/4", "&4/4",
                                                                  "3/&8", "&6/8", "Oth&er"};

    explicit TimeSignatureDialogModel(const TimesigData& t);
    Type type = Numbered;
    int upper = 4, lower = 4;
    void chooseType(Type t);
    void quickSet(int k);
    // The quick-set entry the numbers match, or 5 ("Other").
    int quick() const;
    // False for text that is no number from 1 to 999 (the number kept).
    bool setUpperText(const std::string& text);
    // False for text that is no number from 0 to 998: the number read (0
    // when none) is taken all the same, and the user is to be told.
    bool setLowerText(const std::string& text);
    void apply(ScoreObject& o) const;
};

}  // namespace sw
