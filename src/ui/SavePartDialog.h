// The "Save Part of Score" window over its chooser.
#pragma once

#include <optional>
#include <utility>

class QWidget;

namespace sw {

class Host;
class Score;

// The first and last of the chosen systems, or nothing when cancelled.
std::optional<std::pair<int, int>> ChoosePartOfScore(QWidget* parent, const Score& score,
                                                     Host& host);

}  // namespace sw
