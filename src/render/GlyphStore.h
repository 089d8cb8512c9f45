// The glyph bitmaps compiled into the program: found by name (letter case
// ignored), decoded once and kept, with their stretched copies.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>

#include "core/Bmp1.h"

namespace sw {

class GlyphStore {
  public:
    GlyphStore();

    // The decoded bitmap, or nullptr when there is no resource of that name.
    const Mask* mask(std::string_view name) const;
    // The bitmap stretched to w x h by nearest neighbour, or nullptr.
    const Mask* stretched(std::string_view name, int w, int h) const;
    // The palette of the named bitmap as stored (entry 0, entry 1).
    bool palette(std::string_view name, uint32_t out[2]) const;
    std::size_t size() const { return index_.size(); }

  private:
    struct Entry {
        const unsigned char* data;
        std::size_t size;
    };
    const Mask* decodedLocked(const std::string& key) const;

    std::map<std::string, Entry> index_;  // by upper-case name
    // Pages are drawn on several threads at once; the caches fill as they go.
    mutable std::mutex cacheLock_;
    mutable std::map<std::string, std::unique_ptr<Mask>> decoded_;
    mutable std::map<std::tuple<std::string, int, int>, std::unique_ptr<Mask>> stretched_;
};

// Nearest-neighbour stretch of a mask to w x h: target pixel (x, y) takes
// source pixel (x * W / w, y * H / h).
Mask StretchMask(const Mask& m, int w, int h);

}  // namespace sw
