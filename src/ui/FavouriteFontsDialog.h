// The favourite fonts window over its model.
#pragma once

#include "app/FavouriteFonts.h"

class QWidget;

namespace sw {

// Edit mode: the favourites of the settings are edited and stored back; a
// changed font may be carried into `score` (when one is open).
void RunFavouriteFontsDialog(QWidget* parent, Settings& settings, Score* score, Host& host);
// Select mode: the number of the chosen favourite, 0 for none.
int SelectFavouriteFont(QWidget* parent, const Settings& settings, bool american, Host& host);

}  // namespace sw
