// The scripted test host.
#include "core/ScriptedHost.h"

namespace sw {

namespace {
const char* KindName(ScriptedHost::Kind k) {
    switch (k) {
        case ScriptedHost::Kind::Message:
            return "message box";
        case ScriptedHost::Kind::Input:
            return "input box";
        case ScriptedHost::Kind::Warning:
            return "warning box";
        case ScriptedHost::Kind::OpenFile:
            return "open dialog";
        case ScriptedHost::Kind::SaveFile:
            return "save dialog";
    }
    return "prompt";
}
}  // namespace

ScriptedHost& ScriptedHost::expectMessage(std::string contains, Answer answer) {
    queue_.push_back({Kind::Message, std::move(contains), answer, std::nullopt, false});
    return *this;
}
ScriptedHost& ScriptedHost::expectInput(std::string promptContains,
                                        std::optional<std::string> reply) {
    queue_.push_back({Kind::Input, std::move(promptContains), Answer::OK, std::move(reply), false});
    return *this;
}
ScriptedHost& ScriptedHost::expectWarning(std::string contains, Answer answer, bool dontShow) {
    queue_.push_back({Kind::Warning, std::move(contains), answer, std::nullopt, dontShow});
    return *this;
}
ScriptedHost& ScriptedHost::expectOpenFile(std::optional<std::string> reply) {
    queue_.push_back({Kind::OpenFile, {}, Answer::OK, std::move(reply), false});
    return *this;
}
ScriptedHost& ScriptedHost::expectSaveFile(std::optional<std::string> reply) {
    queue_.push_back({Kind::SaveFile, {}, Answer::OK, std::move(reply), false});
    return *this;
}

const ScriptedHost::Expectation* ScriptedHost::take(Kind kind, const std::string& text) {
    transcript_.push_back(text);
    if (permissive_) return nullptr;
    if (queue_.empty()) {
        failures_.push_back(std::string("unexpected ") + KindName(kind) + ": " + text);
        return nullptr;
    }
    current_ = queue_.front();
    queue_.pop_front();
    if (current_.kind != kind || text.find(current_.contains) == std::string::npos) {
        failures_.push_back(std::string("expected ") + KindName(current_.kind) + " containing \"" +
                            current_.contains + "\", got " + KindName(kind) + ": " + text);
        return nullptr;
    }
    return &current_;
}

Answer ScriptedHost::message(MsgType type, const std::string& text, Buttons buttons) {
    types_.push_back(type);
    const Expectation* e = take(Kind::Message, text);
    return e ? e->answer : SafeDefault(buttons);
}

std::optional<std::string> ScriptedHost::input(const std::string&, const std::string& prompt,
                                               const std::string&) {
    const Expectation* e = take(Kind::Input, prompt);
    return e ? e->text : std::nullopt;
}

WarningAnswer ScriptedHost::warning(const std::string& text, Buttons buttons) {
    const Expectation* e = take(Kind::Warning, text);
    if (!e) return {SafeDefault(buttons), false};
    return {e->answer, e->dontShowAgain};
}

std::optional<std::string> ScriptedHost::openFileName(const FileDialogSpec& spec) {
    const Expectation* e = take(Kind::OpenFile, spec.title);
    return e ? e->text : std::nullopt;
}

std::optional<std::string> ScriptedHost::saveFileName(const FileDialogSpec& spec) {
    const Expectation* e = take(Kind::SaveFile, spec.title);
    return e ? e->text : std::nullopt;
}

void ScriptedHost::progressBegin(const std::string& text) {
    ++progressDepth_;
    progressTexts_.push_back(text);
}
void ScriptedHost::progressText(const std::string& text) {
    if (progressDepth_ == 0) failures_.push_back("progress text without a progress window");
    progressTexts_.push_back(text);
}
bool ScriptedHost::progressStep(int) {
    return true;
}
void ScriptedHost::progressEnd() {
    if (progressDepth_ == 0)
        failures_.push_back("progressEnd without progressBegin");
    else
        --progressDepth_;
}

std::vector<std::string> ScriptedHost::problems() const {
    std::vector<std::string> out = failures_;
    for (const Expectation& e : queue_)
        out.push_back(std::string("never shown: ") + KindName(e.kind) + " containing \"" +
                      e.contains + "\"");
    if (progressDepth_ != 0) out.push_back("progress window left open");
    return out;
}

}  // namespace sw
