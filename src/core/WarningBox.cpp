// The warning box's level and suppression rules.
#include "core/WarningBox.h"

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

bool WarningBox::suppressed(int number) const {
    return number >= 0 && number < kSuppressible && suppressed_.test(number);
}

void WarningBox::setSuppressed(int number, bool on) {
    if (number >= 0 && number < kSuppressible) suppressed_.set(number, on);
}

void WarningBox::noteSuppression(Host& host, int number, const WarningAnswer& a) {
    if (!a.dontShowAgain || number < 0 || number >= kSuppressible) return;
    host.message(MsgType::Information, MessageText(msg::WarningSuppressedNote), Buttons::OK);
    setSuppressed(number, true);
}

Answer WarningBox::show(Host& host, int number, const std::string& text, int levelBound,
                        bool withCancel) {
    if (userLevel_ >= levelBound || suppressed(number)) return Answer::OK;
    WarningAnswer a = host.warning(text, withCancel ? Buttons::OKCancel : Buttons::OK);
    noteSuppression(host, number, a);
    return a.answer;
}

Answer WarningBox::ask(Host& host, int number, int levelBound, Buttons buttons) {
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ||
                       buttons == Buttons::YesNoHelp || buttons == Buttons::YesAbort ||
                       buttons == Buttons::YesNoAbort || buttons == Buttons::YesNoKeep;
    if (userLevel_ >= levelBound || suppressed(number)) return yesNo ? Answer::Yes : Answer::OK;
    WarningAnswer a = host.warning(MessageText(number), buttons);
    noteSuppression(host, number, a);
    return a.answer;
}

Answer WarningBox::show(Host& host, int number, int levelBound, bool withCancel) {
    return show(host, number, MessageText(number), levelBound, withCancel);
}

}  // namespace sw
