// Measuring text in a score font, for layout code that must not depend on the
// drawing library. The drawing layer provides the real one; tests use fakes.
#pragma once

#include <cstdint>
#include <string>

namespace sw {

struct TextFont {
    std::string name;
    int pointSize = 12;
    uint8_t style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
};

class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    // Width and height in screen page pixels of score text (single-byte
    // characters; the accidental places 27-30 measure as the letter "d").
    virtual int width(const TextFont& font, const std::string& text) const = 0;
    virtual int height(const TextFont& font, const std::string& text) const = 0;
};

}  // namespace sw
