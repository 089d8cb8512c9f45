// PCX codec.
#include "core/Pcx.h"

#include <vector>

namespace sw {

namespace {
void Put16(std::string& s, std::size_t at, int v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
int Get16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
}  // namespace

std::string EncodePcx1(const Mask& m, int dpi) {
    const int bytesPerLine = ((m.width + 15) / 16) * 2;  // even, as the format asks
    std::string out(128, '\0');
    out[0] = 10;  // manufacturer
    out[1] = 5;   // version
    out[2] = 1;   // run-length encoding
    out[3] = 1;   // bits per pixel
    Put16(out, 8, m.width - 1);
    Put16(out, 10, m.height - 1);
    Put16(out, 12, dpi);
    Put16(out, 14, dpi);
    // Palette: entry 0 black, entry 1 white.
    for (int i = 3; i < 6; ++i)
        out[16 + static_cast<std::size_t>(i)] = static_cast<char>(0xFF);
    out[65] = 1;  // planes
    Put16(out, 66, bytesPerLine);
    Put16(out, 68, 1);  // colour palette
    std::vector<uint8_t> line(static_cast<std::size_t>(bytesPerLine));
    for (int y = 0; y < m.height; ++y) {
        // A set bit is white paper; ink is 0, as in the palette.
        std::fill(line.begin(), line.end(), 0xFF);
        for (int x = 0; x < m.width; ++x)
            if (m.at(x, y))
                line[static_cast<std::size_t>(x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
        for (std::size_t i = 0; i < line.size();) {
            std::size_t run = 1;
            while (i + run < line.size() && line[i + run] == line[i] && run < 63)
                ++run;
            if (run > 1 || (line[i] & 0xC0) == 0xC0) out += static_cast<char>(0xC0 | run);
            out += static_cast<char>(line[i]);
            i += run;
        }
    }
    return out;
}

bool DecodePcx1(const uint8_t* d, std::size_t size, Mask& out) {
    if (size < 128 || d[0] != 10 || d[2] != 1 || d[3] != 1 || d[65] != 1) return false;
    const int width = Get16(d + 8) - Get16(d + 4) + 1;
    const int height = Get16(d + 10) - Get16(d + 6) + 1;
    const int bytesPerLine = Get16(d + 66);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || bytesPerLine * 8 < width)
        return false;
    out.width = width;
    out.height = height;
    out.ink.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::vector<uint8_t> line(static_cast<std::size_t>(bytesPerLine));
    std::size_t at = 128;
    for (int y = 0; y < height; ++y) {
        std::size_t filled = 0;
        while (filled < line.size()) {
            if (at >= size) return false;
            uint8_t b = d[at++];
            std::size_t run = 1;
            if ((b & 0xC0) == 0xC0) {
                run = b & 0x3F;
                if (at >= size) return false;
                b = d[at++];
            }
            for (std::size_t k = 0; k < run && filled < line.size(); ++k)
                line[filled++] = b;
        }
        for (int x = 0; x < width; ++x)
            out.ink[static_cast<std::size_t>(y * width + x)] =
                (line[static_cast<std::size_t>(x / 8)] & (0x80 >> (x % 8))) ? 0 : 1;
    }
    return true;
}

}  // namespace sw
