// Template descriptions.
#include "fileio/Templates.h"

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

std::optional<std::string> AskTemplateDescription(Host& host, int maxLength) {
    for (;;) {
        std::optional<std::string> text = host.input(
            MessageText(msg::TemplateCaption), MessageText(msg::TemplateDescriptionPrompt), "");
        if (!text) {
            host.message(MsgType::Plain, MessageText(msg::TemplateNotSaved), Buttons::OK);
            return std::nullopt;
        }
        if (text->empty()) {
            host.message(MsgType::Error, MessageText(msg::TemplateDescriptionBlank), Buttons::OK);
            continue;
        }
        if (static_cast<int>(text->size()) > maxLength) text->resize(maxLength);
        return text;
    }
}

}  // namespace sw
