// The paper-fit decision and the texts of its dialog.
#include "scan/PaperFit.h"

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

namespace {

// size × part / whole, truncated, in 64 bits.
int Scaled(int size, long long part, long long whole) {
    if (whole <= 0) return 0;
    return static_cast<int>(static_cast<long long>(size) * part / whole);
}

double ReductionPercent(long long part, long long whole) {
    return whole > 0 ? 100.0 - static_cast<double>(part) * 100.0 / static_cast<double>(whole) : 0;
}

}  // namespace

PaperFitDialogModel::PaperFitDialogModel(long long needed, const PaperDefaults& paper,
                                         int staveSize)
    : needed_(needed),
      portrait_(static_cast<long long>(paper.width) - paper.left - paper.right),
      landscape_(static_cast<long long>(paper.length) - paper.top - paper.bottom),
      staveSize_(staveSize) {
    if (needed_ <= portrait_)
        situation_ = Situation::Fits;
    else if (needed_ < landscape_)
        situation_ = Situation::LandscapeFits;
    else
        situation_ = Situation::NeitherFits;
}

std::string PaperFitDialogModel::caption() const {
    return MessageText(msg::ScanCaption);
}

std::string PaperFitDialogModel::firstLabel() const {
    return MessageText(situation_ == Situation::NeitherFits ? msg::FitsNeither
                                                            : msg::FitsLandscapeOnly);
}

std::string PaperFitDialogModel::secondLabel() const {
    return MessageText(situation_ == Situation::NeitherFits ? msg::FitsNeitherChoice
                                                            : msg::FitsLandscapeOnlyChoice);
}

std::string PaperFitDialogModel::defaultButtonText() const {
    return FormatMessage(msg::ReducePortrait, ReductionPercent(portrait_, needed_));
}

std::string PaperFitDialogModel::otherButtonText() const {
    if (situation_ == Situation::NeitherFits)
        return FormatMessage(msg::ReduceLandscape, ReductionPercent(landscape_, needed_));
    return MessageText(msg::SelectLandscape);
}

PaperChoice PaperFitDialogModel::choose(int button) const {
    switch (situation_) {
        case Situation::Fits:
            return {false, staveSize_};
        case Situation::LandscapeFits:
            if (button == kDefaultButton) return {false, Scaled(staveSize_, portrait_, needed_)};
            return {true, staveSize_};
        case Situation::NeitherFits:
            if (button == kDefaultButton) return {false, Scaled(staveSize_, portrait_, needed_)};
            return {true, Scaled(staveSize_, landscape_, needed_)};
    }
    return {false, staveSize_};
}

}  // namespace sw
