// The model of the "Vertical Spacing" dialog: its captions and its one choice.
#pragma once

#include <array>

namespace sw {

struct VerticalSpacingModel {
    static constexpr const char* kCaption = "Vertical Spacing";
    static constexpr const char* kTypeTitle = " Type of re-spacing ";
    static constexpr std::array<const char*, 2> kTypes = {"Equal spaced &systems",
                                                          "Equal sized &gaps"};
    static constexpr const char* kQuestion = "Respace now?";
    static constexpr const char* kExplain = "Explain";

    bool equalSystems = true;
};

}  // namespace sw
