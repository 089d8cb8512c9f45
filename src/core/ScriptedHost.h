// A Host for tests: every prompt must have been announced with expect...();
// anything unannounced is recorded as a failure and answered with the safe default.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/Host.h"

namespace sw {

class ScriptedHost : public Host {
  public:
    enum class Kind { Message, Input, Warning, OpenFile, SaveFile };

    struct Expectation {
        Kind kind;
        std::string contains;  // substring of the text or prompt; empty matches anything
        Answer answer = Answer::OK;
        std::optional<std::string> text;  // for Input / file dialogs
        bool dontShowAgain = false;
    };

    ScriptedHost& expectMessage(std::string contains, Answer answer = Answer::OK);
    ScriptedHost& expectInput(std::string promptContains, std::optional<std::string> reply);
    ScriptedHost& expectWarning(std::string contains, Answer answer = Answer::OK,
                                bool dontShowAgain = false);
    ScriptedHost& expectOpenFile(std::optional<std::string> reply);
    ScriptedHost& expectSaveFile(std::optional<std::string> reply);

    // Permissive hosts answer everything with the safe default (fuzzing, benchmarks).
    void setPermissive(bool permissive) { permissive_ = permissive; }

    Answer message(MsgType type, const std::string& text, Buttons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    WarningAnswer warning(const std::string& text, Buttons buttons) override;
    std::optional<std::string> openFileName(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override;
    void progressBegin(const std::string& text) override;
    void progressText(const std::string& text) override;
    bool progressStep(int percent) override;
    void progressEnd() override;
    void setBusy(bool) override {}

    // Problems seen so far, plus one for every expectation never used.
    std::vector<std::string> problems() const;
    // Every text shown, in order, for assertions on wording.
    const std::vector<std::string>& transcript() const { return transcript_; }
    const std::vector<MsgType>& messageTypes() const { return types_; }
    int progressDepth() const { return progressDepth_; }
    // Captions and later wordings of progress boxes, in order.
    const std::vector<std::string>& progressTexts() const { return progressTexts_; }

  private:
    const Expectation* take(Kind kind, const std::string& text);

    std::deque<Expectation> queue_;
    Expectation current_{};
    std::vector<std::string> failures_;
    std::vector<std::string> transcript_;
    std::vector<MsgType> types_;
    std::vector<std::string> progressTexts_;
    int progressDepth_ = 0;
    bool permissive_ = false;
};

}  // namespace sw
