// The favourite fonts window's model.
#include "app/FavouriteFonts.h"

#include <algorithm>
#include <utility>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

FavouriteFontsModel::FavouriteFontsModel(const std::array<FontSetting, kCount>& favourites,
                                         bool selectMode, bool american)
    : favourites_(favourites), select_(selectMode), american_(american) {}

std::string FavouriteFontsModel::heading() const {
    if (select_) return MessageText(american_ ? msg::SelectFavoriteFont : msg::SelectFavouriteFont);
    return MessageText(american_ ? msg::EditFavoriteFont : msg::EditFavouriteFont);
}

std::string FavouriteFontsModel::hintLine() const {
    return MessageText(select_ ? msg::ClickFontToSelect : msg::ClickFontTitleToEdit);
}

char FavouriteFontsModel::accessLetter(int number) {
    static constexpr char kLetters[] = "ABCDEFGHJKLMNPQR";
    return number >= 1 && number <= kCount ? kLetters[number - 1] : '\0';
}

int FavouriteFontsModel::numberOfLetter(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    for (int n = 1; n <= kCount; ++n)
        if (accessLetter(n) == letter) return n;
    return 0;
}

std::string FavouriteFontsModel::description(int number) const {
    if (number < 1 || number > kCount) return {};
    return favourites_[number - 1].usedFor.substr(0, 32);
}

void FavouriteFontsModel::click(int number) {
    if (select_ && number >= 1 && number <= kCount) chosen_ = number;
}

void FavouriteFontsModel::rename(int number, Host& host) {
    if (number < 1 || number > kCount) return;
    const std::optional<std::string> answer =
        host.input(MessageText(msg::FavouriteFontPrompt) + std::to_string(number),
                   MessageText(msg::DescriptionOfUse), favourites_[number - 1].usedFor);
    if (!answer) return;
    favourites_[number - 1].usedFor =
        answer->empty() ? MessageText(msg::NoNameGiven) : answer->substr(0, 32);
}

FontDesc FavouriteFontDesc(const FontSetting& f) {
    FontDesc d;
    d.name = f.name.substr(0, 32);
    d.size = static_cast<int16_t>(std::clamp(f.size, 0, 32767));
    for (char c : f.style) {
        if (c == 'B' || c == 'b') d.style |= kBold;
        if (c == 'I' || c == 'i') d.style |= kItalic;
        if (c == 'U' || c == 'u') d.style |= kUnderline;
        if (c == 'S' || c == 's') d.style |= kStrikeOut;
    }
    d.charset = static_cast<uint8_t>(std::clamp(f.charset, 0, 255));
    return d;
}

FontSetting FontSettingOf(const FontDesc& font) {
    FontSetting f;
    f.name = font.name.substr(0, 32);
    f.size = font.size;
    for (auto [bit, letter] :
         {std::pair{kBold, 'B'}, {kItalic, 'I'}, {kUnderline, 'U'}, {kStrikeOut, 'S'}})
        if (font.style & bit) f.style += letter;
    f.charset = font.charset;
    return f;
}

void FavouriteFontsModel::changeFont(int number, const FontSetting& chosen, Score* score,
                                     Host& host) {
    if (number < 1 || number > kCount) return;
    FontSetting& fav = favourites_[number - 1];
    const FontDesc oldFont = FavouriteFontDesc(fav);
    const std::string usedFor = fav.usedFor;
    fav = chosen;
    fav.usedFor = usedFor;
    if (!score || host.message(MsgType::Confirmation, MessageText(msg::ChangeFontUses),
                               Buttons::YesNo) != Answer::Yes)
        return;
    // Texts refer to the font table, so changing the matching entries changes
    // every text in that font; each keeps its own colour.
    const FontDesc newFont = FavouriteFontDesc(chosen);
    for (int f = 1; f <= kMaxFonts; ++f) {
        FontDesc& d = score->fonts[f];
        if (d.name.empty() || !SameFont(d, oldFont)) continue;
        d.name = newFont.name;
        d.size = newFont.size;
        d.style = newFont.style;
        d.charset = newFont.charset;
    }
}

void FavouriteFontsModel::close(std::array<FontSetting, kCount>& favourites) const {
    favourites = favourites_;
}

}  // namespace sw
