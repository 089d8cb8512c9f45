// Template descriptions.
#pragma once

#include <optional>
#include <string>

namespace sw {

class Host;

// Asks for a template's description until it is not blank; nullopt (after
// telling the user the template was not saved) when cancelled. The result is
// cut to maxLength characters.
std::optional<std::string> AskTemplateDescription(Host& host, int maxLength);

}  // namespace sw
