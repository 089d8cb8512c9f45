// PCX pictures (ZSoft Paintbrush, version 5): 1-bit, one plane, run-length
// encoded, an even number of bytes per line.
#pragma once

#include <string>

#include "core/Bmp1.h"

namespace sw {

std::string EncodePcx1(const Mask& m, int dpi);
// False for anything that is not a 1-bit one-plane RLE PCX within 16384 pixels a side.
bool DecodePcx1(const uint8_t* data, std::size_t size, Mask& out);

}  // namespace sw
