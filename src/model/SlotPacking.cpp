// Packing of stave slots without their trailing zero bytes.
#include "model/SlotPacking.h"

#include <cstring>
#include <type_traits>

namespace sw {

static_assert(std::is_trivially_copyable_v<ScoreObject>);
static_assert(sizeof(ScoreObject) < 256, "a slot's length fits its byte");

std::size_t PackSlots(const ScoreObject* slots, std::size_t count, uint8_t* out) {
    uint8_t* at = out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto* b = reinterpret_cast<const uint8_t*>(&slots[i]);
        std::size_t n = sizeof(ScoreObject);
        while (n > 0 && b[n - 1] == 0)
            --n;
        *at++ = static_cast<uint8_t>(n);
        std::memcpy(at, b, n);
        at += n;
    }
    return static_cast<std::size_t>(at - out);
}

const uint8_t* UnpackSlots(const uint8_t* in, const uint8_t* end, ScoreObject* slots,
                           std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (in >= end) return nullptr;
        const std::size_t n = *in++;
        if (n > sizeof(ScoreObject) || static_cast<std::size_t>(end - in) < n) return nullptr;
        if (slots) {
            auto* b = reinterpret_cast<uint8_t*>(&slots[i]);
            std::memcpy(b, in, n);
            std::memset(b + n, 0, sizeof(ScoreObject) - n);
        }
        in += n;
    }
    return in;
}

}  // namespace sw
