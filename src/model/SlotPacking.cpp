// Packing of stave slots without their trailing zero bytes.
#include "model/SlotPacking.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace sw {

static_assert(std::is_trivially_copyable_v<ScoreObject>);
static_assert(sizeof(ScoreObject) < 256, "a slot's length fits its byte");

namespace {

// The record's length up to its last non-zero byte, eight bytes at a time
// (the record is little-endian, so a word's top byte is its last).
std::size_t PackedLength(const uint8_t* b) {
    constexpr std::size_t kWords = sizeof(ScoreObject) / 8;
    for (std::size_t n = sizeof(ScoreObject); n > kWords * 8; --n)
        if (b[n - 1] != 0) return n;
    for (std::size_t k = kWords; k-- > 0;) {
        uint64_t w;
        std::memcpy(&w, b + 8 * k, 8);
        if (w != 0) return 8 * k + static_cast<std::size_t>(std::bit_width(w) + 7) / 8;
    }
    return 0;
}

}  // namespace

std::size_t PackSlots(const ScoreObject* slots, std::size_t count, uint8_t* out) {
    uint8_t* at = out;
    for (std::size_t i = 0; i < count; ++i) {
        const auto* b = reinterpret_cast<const uint8_t*>(&slots[i]);
        const std::size_t n = PackedLength(b);
        *at++ = static_cast<uint8_t>(n);
        // A whole record's copy is one fixed move; the room for the most
        // the slots can pack to always has space for it.
        std::memcpy(at, b, sizeof(ScoreObject));
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
            std::memset(b, 0, sizeof(ScoreObject));
            std::memcpy(b, in, n);
        }
        in += n;
    }
    return in;
}

}  // namespace sw
