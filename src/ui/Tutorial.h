// The tutorial pane's text and the tips of the day.
#pragma once

#include <string>
#include <vector>

namespace sw {

// The tutorial, one paragraph a line, with the names of note values as
// British or American users know them.
std::string TutorialText(bool american);
const std::vector<std::string>& Tips();

}  // namespace sw
