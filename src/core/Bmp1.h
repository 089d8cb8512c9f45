// Reading and writing 1-bit bitmaps (Windows BMP with a
// two-entry palette: entry 0 black ink, entry 1 white paper).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sw {

struct Mask {
    int width = 0, height = 0;
    std::vector<uint8_t> ink;  // width * height, 1 = ink
    bool at(int x, int y) const { return ink[static_cast<std::size_t>(y * width + x)] != 0; }
};

// `dpi` is recorded in the header (as pixels per metre).
std::string EncodeBmp1(const Mask& m, int dpi = 72);
// False for anything that is not a bottom-up or top-down 1-bit BMP with a
// two-entry palette; the palette decides which index is ink.
bool DecodeBmp1(const uint8_t* data, std::size_t size, Mask& out, uint32_t palette[2]);
// The horizontal resolution a BMP header records, in dots per inch; 0 when it
// records none (or the data is too short to hold one).
int Bmp1Resolution(const uint8_t* data, std::size_t size);

// True when ink lies in the first or last row or column: artwork drawn past
// its cell and cut off there.
bool InkOnEdge(const Mask& m);

}  // namespace sw
