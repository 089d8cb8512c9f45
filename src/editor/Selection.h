// The block selection: the (stave, object) pairs a box or Shift+clicks
// collected, and the box selection that builds it from a page.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "model/Score.h"

namespace sw {

struct SelectedObject {
    uint16_t stave = 0;
    uint8_t object = 0;
    bool operator==(const SelectedObject&) const = default;
};

// Entries keep the order they were added in: copies take new slots in it.
class Selection {
  public:
    // Room grows by this many entries at a time.
    static constexpr std::size_t kGrowth = 500;

    // False when (s, i) is already selected.
    bool add(int s, int i);
    // Adds (s, i) without looking for it: the caller knows it is new.
    void append(int s, int i);
    // False when (s, i) was not selected.
    bool remove(int s, int i);
    bool contains(int s, int i) const;
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    std::size_t count() const { return entries_.size(); }
    std::size_t capacity() const { return entries_.capacity(); }
    const std::vector<SelectedObject>& entries() const { return entries_; }
    // The least and greatest stave holding a selected object; (0, -1) when empty.
    std::pair<int, int> staveRange() const;
    // How many selected objects stave s holds.
    int countOn(int s) const;
    // Entries that no longer name an object of the score are dropped.
    void dropStale(const Score& score);

  private:
    std::vector<SelectedObject> entries_;
};

// The kinds a moving box may carry off its stave's vertical offset.
bool VerticallyMovable(int kind);
// True when any selected object is of such a kind.
bool SelectionMovesFreely(const Score& score, const Selection& selection);

struct PixelBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded
    // The box between two corners, whichever way round they are.
    static PixelBox Between(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    bool holds(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

struct BoxSelection {
    Selection selection;
    bool curvesLeftOut = false;  // a curve had an anchor inside and one outside
};

// The objects of staves first..last whose point lies in the box: curves only
// whole, a text with all of its pieces, never a piece on its own; symbols,
// dynamics and empty slots never.
BoxSelection SelectInBox(const Score& score, int first, int last, const PixelBox& box);

}  // namespace sw
