// A built-in score that shows every kind of object and its main variants, for
// looking at the engraving and as test data.
#pragma once

#include "model/Score.h"

namespace sw {

// Staves of 960 page pixels starting at x 20, one row every 90 pixels.
Score BuildGalleryScore();
constexpr int kGalleryWidth = 1000;

}  // namespace sw
