// The "Bar Maintenance" dialog's model.
#include "editor/BarMaintenanceDialog.h"

#include <algorithm>

#include "layout/Bars.h"

namespace sw {

BarMaintenanceModel::BarMaintenanceModel(const BarNumberSettings& current, int number,
                                         bool canMoveUp, bool canMoveDown, bool american)
    : current_(current),
      chosen_(current),
      number_(std::clamp(number, 1, kMaxBarNumber)),
      canMoveUp_(canMoveUp),
      canMoveDown_(canMoveDown),
      american_(american) {
    chosen_.place = std::clamp(current.place, 0, 3);
    if (!ValidNumberingFrequency(chosen_.frequency)) chosen_.frequency = kDefaultFrequency;
}

bool BarMaintenanceModel::enabled(Operation op) const {
    switch (op) {
        case kMoveUp:
            return canMoveUp_;
        case kMoveDown:
            return canMoveDown_;
        case kDelete:
        case kGoTo:
        case kRefresh:
            return true;
        default:
            return false;
    }
}

bool BarMaintenanceModel::choose(Operation op) {
    if (!enabled(op)) return false;
    operation_ = op;
    return true;
}

bool BarMaintenanceModel::spinShown() const {
    return operation_ == kGoTo || operation_ == kRefresh;
}

std::string BarMaintenanceModel::spinLabel() const {
    if (operation_ == kGoTo) return "Target bar n&umber";
    if (operation_ == kRefresh) return "First bar n&umber of piece";
    return {};
}

bool BarMaintenanceModel::setNumber(int number) {
    if (number < 1 || number > kMaxBarNumber) return false;
    number_ = number;
    return true;
}

std::array<std::string, 4> BarMaintenanceModel::placeCaptions() const {
    const std::string stave = american_ ? "Staff" : "Stave";
    const std::string lower = american_ ? "staff" : "stave";
    return {"&None", "&" + stave + " upper left", "&Left of " + lower, "&Above bar line"};
}

void BarMaintenanceModel::setPlace(int place) {
    if (place >= 0 && place <= 3) chosen_.place = place;
}

void BarMaintenanceModel::setFrequency(int frequency) {
    if (ValidNumberingFrequency(frequency)) chosen_.frequency = frequency;
}

std::string BarMaintenanceModel::fontDescription() const {
    std::string text = chosen_.font.name + ", " + std::to_string(chosen_.font.size);
    if (chosen_.font.style & kBold) text += ", bold";
    if (chosen_.font.style & kItalic) text += ", italic";
    return text;
}

bool BarMaintenanceModel::changed() const {
    const FontDesc& a = current_.font;
    const FontDesc& b = chosen_.font;
    return a.name != b.name || a.size != b.size || a.style != b.style ||
           current_.place != chosen_.place || current_.frequency != chosen_.frequency ||
           current_.boxed != chosen_.boxed;
}

}  // namespace sw
