// Stave slots packed for keeping a while (snapshots, the undo history): each
// slot as a length byte and its bytes up to the last non-zero one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/Score.h"

namespace sw {

// How many slots of a stave hold something: 0..Nobjec. The rest are empty
// records, which copies of a stave need not keep.
inline std::size_t UsedSlots(const StaveHeader& h) {
    return static_cast<std::size_t>(h.Nobjec < kMaxObjects ? h.Nobjec : kMaxObjects) + 1;
}

// The most bytes `count` slots can pack to.
constexpr std::size_t MaxPackedSize(std::size_t count) {
    return count * (1 + sizeof(ScoreObject));
}

// Packs `count` slots into `out` (room for MaxPackedSize(count), any of which
// it may write); returns the bytes that hold them. Records are mostly zeros
// (short kind data, empty slots), so a stave packs to a fraction of its size.
std::size_t PackSlots(const ScoreObject* slots, std::size_t count, uint8_t* out);

// Unpacks `count` slots from the bytes [in, end): the same bytes as were
// packed. Returns the position after them, or nullptr (the slots then
// undefined) when the bytes do not hold `count` packed slots. With `slots`
// null it only checks.
const uint8_t* UnpackSlots(const uint8_t* in, const uint8_t* end, ScoreObject* slots,
                           std::size_t count);

}  // namespace sw
