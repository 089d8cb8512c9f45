// The interface through which the program's logic talks to the user: message
// boxes, input boxes, the warning box, file dialogs and progress.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sw {

enum class MsgType { Plain, Error, Warning, Information, Confirmation };

// YesNoKeep: Yes, No and "Don't close" (answered as Cancel), for the
// question before a modified score is closed.
// NoOK: a confirmation whose refusal is "No" rather than "Cancel".
enum class Buttons {
    OK,
    OKCancel,
    YesNo,
    YesNoCancel,
    YesNoHelp,
    YesAbort,
    OKAbort,
    YesNoAbort,
    YesNoKeep,
    NoOK
};

enum class Answer { OK, Cancel, Yes, No, Abort, Help };

// What the warning box returns: the button and whether "don't show again" was ticked.
struct WarningAnswer {
    Answer answer = Answer::OK;
    bool dontShowAgain = false;
};

struct FileDialogSpec {
    std::string title;
    std::string filter;  // "Staffwright|*.SWN"
    std::string defaultExtension;
    std::string directory;
    std::string fileName;
    bool overwritePrompt = false;
};

// The answer a box gets when nobody can be asked: the choice that changes and risks nothing.
Answer SafeDefault(Buttons buttons);

class Host {
  public:
    virtual ~Host() = default;

    virtual Answer message(MsgType type, const std::string& text, Buttons buttons) = 0;
    // nullopt when the user cancels.
    virtual std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) = 0;
    // The warning box with its "don't show this again" check box; suppression
    // bookkeeping lives in WarningBox, not here.
    virtual WarningAnswer warning(const std::string& text, Buttons buttons) = 0;
    virtual std::optional<std::string> openFileName(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> saveFileName(const FileDialogSpec& spec) = 0;

    // The small information window / progress gauge. progressStep returns false
    // when the user asked to cancel.
    virtual void progressBegin(const std::string& text) = 0;
    // New wording for the open box, as a long job moves from one stage to the next.
    virtual void progressText(const std::string& text) = 0;
    virtual bool progressStep(int percent) = 0;
    virtual void progressEnd() = 0;
    virtual void setBusy(bool busy) = 0;
};

}  // namespace sw
