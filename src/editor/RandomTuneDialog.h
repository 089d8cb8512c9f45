// The model of the "Random Tune Generator" dialog: the clef, the number of
// notes and how busy the tune is.
#pragma once

#include <array>
#include <cmath>
#include <string>

#include "core/TextUtil.h"
#include "tools/RandomTune.h"

namespace sw {

class RandomTuneDialogModel {
  public:
    static constexpr const char* kCaption = "Random Tune Generator";
    static constexpr const char* kNote =
        "I know it's no Mozart, but what the heck, it's a free feature... have fun ....";
    static constexpr const char* kClefTitle = " Clef ";
    static constexpr std::array<const char*, 2> kClefs = {"&Treble", "&Bass"};
    static constexpr const char* kLength = "&Length";
    static constexpr const char* kComplexityTitle = "&Complexity";
    static constexpr std::array<const char*, 4> kComplexities = {"Simple", "Medium", "Complex",
                                                                 "Hyper"};
    static constexpr const char* kOk = "&OK";
    static constexpr const char* kAbort = "Abort";

    TuneOptions options;

    // False (the length kept) for a text that is no whole number in 5..32.
    bool setLengthText(const std::string& text) {
        const std::optional<double> n = ParseReal(text);
        if (!n || *n != std::floor(*n) || *n < TuneOptions::kMinLength ||
            *n > TuneOptions::kMaxLength)
            return false;
        options.length = static_cast<int>(*n);
        return true;
    }
};

}  // namespace sw
