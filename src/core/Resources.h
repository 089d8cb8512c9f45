// Files compiled into the program (glyph bitmaps), looked up by name.
#pragma once

#include <cstddef>

namespace sw {

struct Resource {
    const char* name;  // file name without its extension, e.g. "bmGCLEF"
    const unsigned char* data;
    std::size_t size;
};

}  // namespace sw
