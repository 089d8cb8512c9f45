// Text seven pixels a character wide and fourteen high: the fuzz targets lay
// scores out without a font or a display.
#pragma once

#include <string>

#include "core/TextMeasurer.h"

class FixedMeasurer : public sw::TextMeasurer {
  public:
    int width(const sw::TextFont&, const std::string& text) const override {
        return 7 * static_cast<int>(text.size());
    }
    int height(const sw::TextFont&, const std::string&) const override { return 14; }
};
