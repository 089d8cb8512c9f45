// 1-bit BMP codec.
#include "core/Bmp1.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace sw {

namespace {
void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
uint32_t Get16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return Get16(p) | (Get16(p + 2) << 16);
}
}  // namespace

std::string EncodeBmp1(const Mask& m, int dpi) {
    const auto perMetre = static_cast<uint32_t>(std::lround(std::clamp(dpi, 1, 100000) / 0.0254));
    const uint32_t stride = static_cast<uint32_t>(((m.width + 31) / 32) * 4);
    const uint32_t imageSize = stride * static_cast<uint32_t>(m.height);
    const uint32_t offset = 14 + 40 + 8;
    std::string s;
    s += "BM";
    Put32(s, offset + imageSize);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(m.width));
    Put32(s, static_cast<uint32_t>(m.height));
    Put16(s, 1);
    Put16(s, 1);
    Put32(s, 0);
    Put32(s, imageSize);
    Put32(s, perMetre);
    Put32(s, perMetre);
    Put32(s, 2);
    Put32(s, 2);
    Put32(s, 0x00000000);  // entry 0: black, the ink
    Put32(s, 0x00FFFFFF);  // entry 1: white
    for (int y = m.height - 1; y >= 0; --y) {
        std::string row(stride, '\0');
        for (int x = 0; x < m.width; ++x)
            if (!m.at(x, y))
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        s += row;
    }
    return s;
}

bool DecodeBmp1(const uint8_t* d, std::size_t size, Mask& out, uint32_t palette[2]) {
    if (size < 62 || d[0] != 'B' || d[1] != 'M') return false;
    uint32_t offset = Get32(d + 10);
    uint32_t header = Get32(d + 14);
    if (header < 40 || 14 + static_cast<std::size_t>(header) + 8 > size) return false;
    int32_t width = static_cast<int32_t>(Get32(d + 18));
    int32_t height = static_cast<int32_t>(Get32(d + 22));
    if (Get16(d + 26) != 1 || Get16(d + 28) != 1 || Get32(d + 30) != 0) return false;
    // A negative height means rows from the top; the most negative has no positive.
    if (height == INT32_MIN) return false;
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    const uint8_t* pal = d + 14 + header;
    palette[0] = Get32(pal) & 0xFFFFFF;
    palette[1] = Get32(pal + 4) & 0xFFFFFF;
    // The darker entry is the ink.
    auto lum = [](uint32_t c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
    const int inkIndex = lum(palette[0]) <= lum(palette[1]) ? 0 : 1;
    const std::size_t stride = static_cast<std::size_t>(((width + 31) / 32) * 4);
    if (offset > size || (size - offset) / stride < static_cast<std::size_t>(height)) return false;
    out.width = width;
    out.height = height;
    out.ink.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row =
            d + offset + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            int bit = (row[x / 8] >> (7 - x % 8)) & 1;
            out.ink[static_cast<std::size_t>(y * width + x)] = bit == inkIndex ? 1 : 0;
        }
    }
    return true;
}

bool InkOnEdge(const Mask& m) {
    if (m.width <= 0 || m.height <= 0) return false;
    for (int x = 0; x < m.width; ++x)
        if (m.at(x, 0) || m.at(x, m.height - 1)) return true;
    for (int y = 0; y < m.height; ++y)
        if (m.at(0, y) || m.at(m.width - 1, y)) return true;
    return false;
}

int Bmp1Resolution(const uint8_t* d, std::size_t size) {
    if (size < 46 || d[0] != 'B' || d[1] != 'M') return 0;
    const uint32_t perMetre = Get32(d + 38);
    if (perMetre == 0 || perMetre > 4000000) return 0;
    return static_cast<int>(std::lround(perMetre * 0.0254));
}

}  // namespace sw
