// libFuzzer target for the 1-bit picture readers (BMP and PCX): any bytes
// decode safely, and a decoded picture survives writing and reading again.
#include <cstdlib>

#include "core/Bmp1.h"
#include "core/Pcx.h"

namespace {
void CheckPcx(const uint8_t* data, size_t size) {
    sw::Mask m;
    if (!sw::DecodePcx1(data, size, m) || m.width > 2048 || m.height > 2048) return;
    const std::string again = sw::EncodePcx1(m, 300);
    sw::Mask n;
    if (!sw::DecodePcx1(reinterpret_cast<const uint8_t*>(again.data()), again.size(), n) ||
        n.ink != m.ink)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckPcx(data, size);
    sw::Mask m;
    uint32_t palette[2];
    if (!sw::DecodeBmp1(data, size, m, palette)) return 0;
    if (m.width > 2048 || m.height > 2048) return 0;
    std::string again = sw::EncodeBmp1(m);
    sw::Mask n;
    if (!sw::DecodeBmp1(reinterpret_cast<const uint8_t*>(again.data()), again.size(), n, palette) ||
        n.width != m.width || n.height != m.height || n.ink != m.ink)
        std::abort();
    return 0;
}
