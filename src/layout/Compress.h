// Compressing a system: the music on one side of the cursor squeezed into
// less room by shrinking only the empty columns between the objects' ink.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

enum class CompressDirection : uint8_t { None = 0, Left = 1, Right = 2 };

// What a compression works from, fixed when the mouse has chosen a direction.
struct CompressPlan {
    int first = 0, last = 0;  // the system
    CompressDirection direction = CompressDirection::None;
    int32_t cursor = 0;
    int32_t anchor = 0;  // the nearest object beyond the cursor
    int32_t leftX = 0, rightX = 0;
    // One byte a page-picture column, 0..width: 1 under the ink of music.
    std::vector<uint8_t> used;
    int32_t occupied = 0;  // marked columns between the anchor and the system's end
    // How far the music can be compressed: the end less (or plus) the occupied columns.
    int32_t limit() const {
        return direction == CompressDirection::Left ? leftX + occupied : rightX - occupied;
    }
};

// The occupancy map of staves first..last: columns 0..leftX + lcl, then the
// ink of every music object that lies on the map.
std::vector<uint8_t> OccupancyMap(const Score& score, int first, int last, int32_t leftX, int lcl,
                                  int width);

enum class CompressPrepared {
    Ready,
    NoAnchor,     // nothing beyond the cursor in that direction
    NothingToDo,  // no ink between the anchor and the end
};
// Phases one and two for the system of stave s: the anchor beyond `cursor`
// and the occupancy map. `lcl` is the width after the left end counted as taken.
CompressPrepared PrepareCompress(const Score& score, int s, int32_t cursor,
                                 CompressDirection direction, int lcl, CompressPlan& plan);

enum class CompressResult {
    Done,
    TooLittleSpace,  // no free column between the anchor and the end
    ShortOfAnchor,   // released before the anchor: nothing to compress
};
// The column map for a release at p: every column to where it goes.
std::vector<int32_t> CompressColumnMap(const CompressPlan& plan, int32_t p);
// Phase three: the release at p moves the system's objects through the map.
// Nothing changes unless the result is Done.
CompressResult Compress(Score& score, const CompressPlan& plan, int32_t p);

}  // namespace sw
