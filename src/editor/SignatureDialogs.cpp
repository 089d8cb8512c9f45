// The choices of the clef, key and time signature dialogs.
#include "editor/SignatureDialogs.h"

#include <algorithm>
#include <cctype>

#include "layout/GlyphTable.h"
#include "layout/Signatures.h"

namespace sw {

namespace {

// The leading digits of a text, if it has any.
std::optional<long> LeadingNumber(const std::string& text) {
    std::size_t k = 0;
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])))
        ++k;
    long n = 0;
    bool any = false;
    for (; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])) && n < 100000;
         ++k) {
        n = n * 10 + (text[k] - '0');
        any = true;
    }
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])))
        ++k;
    if (!any || k != text.size()) return std::nullopt;
    return n;
}

}  // namespace

ClefDialogModel::ClefDialogModel(const ClefData& c)
    : type(std::clamp<int>(c.type, 0, 3)),
      size(c.small ? 1 : 0),
      octave(c.octaveDown ? 1
             : c.octaveUp ? 2
                          : 0) {}

void ClefDialogModel::apply(ScoreObject& o) const {
    ClefData& c = o.data.clef;
    c.type = static_cast<uint8_t>(std::clamp(type, 0, 3));
    c.small = static_cast<uint8_t>(size == 1);
    c.octaveDown = static_cast<uint8_t>(octave == 1);
    c.octaveUp = static_cast<uint8_t>(octave == 2);
    o.glyph = ClefGlyph(c.type, c.small != 0);
}

KeySignatureDialogModel::KeySignatureDialogModel(const KeysigData& k)
    : type(k.key < 0   ? Flats
           : k.key > 0 ? Sharps
                       : NoType),
      number(std::min(7, std::abs(static_cast<int>(k.key)))),
      naturals(k.naturalsOnChange != 0) {}

void KeySignatureDialogModel::chooseNumber(int n) {
    number = std::clamp(n, 0, 7);
    if (number == 0) type = NoType;
}

std::optional<int> KeySignatureDialogModel::undecided() const {
    if (number != 0 && type == NoType) return number;
    return std::nullopt;
}

void KeySignatureDialogModel::apply(ScoreObject& o) const {
    o.data.keysig.key = static_cast<int8_t>(value());
    o.data.keysig.naturalsOnChange = static_cast<uint8_t>(naturals);
}

TimeSignatureDialogModel::TimeSignatureDialogModel(const TimesigData& t)
    : type(t.sign == 1      ? Common
           : t.sign == 2    ? Cut
           : t.singleNumber ? Single
                            : Numbered),
      upper(std::max(1, static_cast<int>(t.numerator))),
      lower(t.denominator) {}

void TimeSignatureDialogModel::chooseType(Type t) {
    type = t;
    if (t == Common) upper = lower = 4;
    if (t == Cut) upper = lower = 2;
    if (t == Single) lower = 1;
}

void TimeSignatureDialogModel::quickSet(int k) {
    if (k < 0 || k >= static_cast<int>(kQuick.size())) return;
    type = Numbered;
    upper = kQuick[static_cast<std::size_t>(k)].first;
    lower = kQuick[static_cast<std::size_t>(k)].second;
}

int TimeSignatureDialogModel::quick() const {
    for (std::size_t k = 0; k < kQuick.size(); ++k)
        if (kQuick[k] == std::pair{upper, lower}) return static_cast<int>(k);
    return static_cast<int>(kQuick.size());
}

bool TimeSignatureDialogModel::setUpperText(const std::string& text) {
    const std::optional<long> n = LeadingNumber(text);
    if (!n || *n < 1 || *n > 999) return false;
    upper = static_cast<int>(*n);
    return true;
}

bool TimeSignatureDialogModel::setLowerText(const std::string& text) {
    const std::optional<long> n = LeadingNumber(text);
    // "X" and other text mean no denominator.
    lower = n && *n <= 998 ? static_cast<int>(*n) : 0;
    return n && *n <= 998;
}

void TimeSignatureDialogModel::apply(ScoreObject& o) const {
    TimesigData& t = o.data.timesig;
    t = TimesigData{};
    t.numerator = static_cast<uint8_t>(std::clamp(upper, 1, 255));
    t.denominator = static_cast<uint8_t>(std::clamp(lower, 0, 255));
    t.singleNumber = static_cast<uint8_t>(type == Single);
    t.sign = static_cast<uint8_t>(type == Common ? 1 : type == Cut ? 2 : 0);
    if (type == Single) t.denominator = 1;
}

}  // namespace sw
