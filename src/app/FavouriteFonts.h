// The favourite fonts window's model: the sixteen favourites of the settings,
// chosen from or edited, and a changed font carried into the open score.
#pragma once

#include <array>
#include <string>

#include "app/Settings.h"
#include "model/Score.h"

namespace sw {

class Host;

// A favourite as a score font (style letters B, I, U, S as style bits).
FontDesc FavouriteFontDesc(const FontSetting& favourite);
// And back, for a font the settings keep.
FontSetting FontSettingOf(const FontDesc& font);

// The favourite fonts window, on a copy of the favourites.
class FavouriteFontsModel {
  public:
    static constexpr int kCount = 16;
    FavouriteFontsModel(const std::array<FontSetting, kCount>& favourites, bool selectMode,
                        bool american);

    std::string heading() const;
    std::string hintLine() const;
    // A..H, J..N, P, Q, R for favourites 1..16 (no I or O).
    static char accessLetter(int number);
    static int numberOfLetter(char letter);  // 0 for none
    std::string description(int number) const;
    const FontSetting& font(int number) const { return favourites_[number - 1]; }

    // Select mode: a left click chooses and closes.
    void click(int number);
    int chosen() const { return chosen_; }
    // Right click: a new description; an empty one becomes "No name given".
    void rename(int number, Host& host);
    // The font dialog chose `chosen` for a favourite; with a score open the
    // user may have every text of the score in the old font follow.
    void changeFont(int number, const FontSetting& chosen, Score* score, Host& host);
    // Closing stores the favourites (with their descriptions) back.
    void close(std::array<FontSetting, kCount>& favourites) const;

  private:
    std::array<FontSetting, kCount> favourites_;
    bool select_, american_;
    int chosen_ = 0;
};

}  // namespace sw
