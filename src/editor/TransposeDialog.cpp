// The "Transposing" dialog's rules.
#include "editor/TransposeDialog.h"

#include <cmath>
#include <cstdlib>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "core/WarningBox.h"

namespace sw {

namespace {

// The list's middle item, "Unison".
constexpr int kUnisonItem = 12;
// The warnings of this dialog are shown at every user level.
constexpr int kEveryLevel = 5;

}  // namespace

int TransposeDialogModel::interval() const {
    const int item = kUnisonItem - distance_;
    return item >= 0 && item < static_cast<int>(kIntervals.size()) ? item : -1;
}

void TransposeDialogModel::chooseInterval(int item) {
    if (item >= 0 && item < static_cast<int>(kIntervals.size())) distance_ = kUnisonItem - item;
}

bool TransposeDialogModel::setDistance(int semitones) {
    if (semitones < kMinDistance || semitones > kMaxDistance) return false;
    distance_ = semitones;
    return true;
}

bool TransposeDialogModel::setDistanceText(const std::string& text) {
    const std::optional<double> n = ParseReal(text);
    if (!n || *n < kMinDistance || *n > kMaxDistance || *n != std::floor(*n)) return false;
    return setDistance(static_cast<int>(*n));
}

void TransposeDialogModel::chooseExtent(TransposeExtent e, Host& host) {
    if (e == TransposeExtent::EverySystem && !SystemsAlike(score_)) {
        host.message(MsgType::Error, MessageText(msg::SystemsNotAlike), Buttons::OK);
        e = TransposeExtent::Stave;
    }
    extent_ = e;
}

void TransposeDialogModel::chooseClef(int clef, Host& host, WarningBox& warnings) {
    if (clef < -1 || clef > 3) return;
    if (clef >= 0 && extent_ != TransposeExtent::Stave &&
        warnings.show(host, msg::ChangeAllClefsWarning, kEveryLevel, true) != Answer::OK)
        clef = -1;
    clef_ = clef;
}

std::string TransposeDialogModel::confirmation() const {
    const int d = std::abs(distance_);
    return FormatMessage(msg::TransposeConfirmation,
                         MessageText(msg::TransposeExtentStave + static_cast<int>(extent_)), d,
                         d == 1 ? "" : "s", distance_ > 0 ? "up" : "down",
                         clef_ >= 0 ? MessageText(msg::TransposeClefTreble + clef_) : std::string(),
                         adjustStems ? "with" : "without");
}

bool TransposeDialogModel::doIt(Host& host, WarningBox& warnings) {
    if (distance_ == 0) {
        if (clef_ < 0 && !adjustStems) {
            host.message(MsgType::Error, MessageText(msg::TransposeByNothing), Buttons::OK);
            return false;
        }
        respace = false;
    }
    Answer a = host.message(MsgType::Confirmation, confirmation(), Buttons::OKCancel);
    if (adjustStems && a == Answer::OK)
        a = warnings.show(host, msg::RealignStemsWarning, kEveryLevel, true);
    return a == Answer::OK;
}

void TransposeDialogModel::explain(Host& host) const {
    host.message(MsgType::Information, MessageText(msg::TransposeExplanation), Buttons::OK);
}

}  // namespace sw
