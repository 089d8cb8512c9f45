// The command line's Host.
#include "cli/CliHost.h"

#include <ostream>

namespace sw {

namespace {
const char* AnswerName(Answer a) {
    switch (a) {
        case Answer::OK:
            return "OK";
        case Answer::Cancel:
            return "Cancel";
        case Answer::Yes:
            return "Yes";
        case Answer::No:
            return "No";
        case Answer::Abort:
            return "Abort";
        case Answer::Help:
            return "Help";
    }
    return "?";
}
const char* TypeName(MsgType t) {
    switch (t) {
        case MsgType::Error:
            return "error: ";
        case MsgType::Warning:
            return "warning: ";
        case MsgType::Information:
            return "note: ";
        case MsgType::Confirmation:
            return "question: ";
        case MsgType::Plain:
            return "";
    }
    return "";
}
}  // namespace

Answer CliHost::message(MsgType type, const std::string& text, Buttons buttons) {
    ++shown_;
    Answer a = SafeDefault(buttons);
    err_ << "staffwright-cli: " << TypeName(type) << text;
    if (buttons != Buttons::OK) err_ << " [answered " << AnswerName(a) << "]";
    err_ << "\n";
    return a;
}

std::optional<std::string> CliHost::input(const std::string&, const std::string& prompt,
                                          const std::string&) {
    ++shown_;
    err_ << "staffwright-cli: " << prompt << " [cancelled]\n";
    return std::nullopt;
}

WarningAnswer CliHost::warning(const std::string& text, Buttons buttons) {
    return {message(MsgType::Warning, text, buttons), false};
}

}  // namespace sw
