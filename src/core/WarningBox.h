// The warning box's rules: shown only below a user-level bound and only while
// the user has not ticked "don't show again" for that message.
#pragma once

#include <bitset>
#include <string>

#include "core/Host.h"

namespace sw {

class WarningBox {
  public:
    static constexpr int kSuppressible = 2000;

    // Shows `text` (message `number`) when userLevel < levelBound and the
    // message is not suppressed; a box that is not shown counts as OK.
    Answer show(Host& host, int number, const std::string& text, int levelBound, bool withCancel);
    Answer show(Host& host, int number, int levelBound, bool withCancel);
    // A question in the warning box; when the box is not shown the answer is
    // the affirmative one (Yes, or OK).
    Answer ask(Host& host, int number, int levelBound, Buttons buttons);

    int userLevel() const { return userLevel_; }
    void setUserLevel(int level) { userLevel_ = level; }
    bool suppressed(int number) const;
    void setSuppressed(int number, bool on);
    const std::bitset<kSuppressible>& suppressedSet() const { return suppressed_; }

  private:
    // A ticked "don't show again": the user is told how to bring it back.
    void noteSuppression(Host& host, int number, const WarningAnswer& a);

    int userLevel_ = 1;
    std::bitset<kSuppressible> suppressed_;
};

}  // namespace sw
