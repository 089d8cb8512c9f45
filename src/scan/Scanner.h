// What the scan window needs from a scanner: its devices and one picture
// acquired as 1-bit ink, with progress and a way to cancel.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Bmp1.h"

namespace sw {

struct ScanOutcome {
    enum Status { Acquired, Cancelled, Failed, NotMonochrome } status = Failed;
    Mask picture;        // Acquired: the page, 1 = ink
    std::string detail;  // the device's own words for a failure
};

// The most pixels a page may have: an A3 page at 1200 dots an inch has fewer.
constexpr long long kMostScanPixels = 400LL * 1000 * 1000;

// Rows of a scanner's grey samples (`depth` 1, 8 or 16 bits, native byte
// order; at 1 bit a set bit is black, else below half is) as ink; false when
// the sizes do not fit together.
bool SaneGreyToMask(const std::string& data, int width, int bytesPerLine, int depth, Mask& out);

class Scanner {
  public:
    virtual ~Scanner() = default;
    // The device names; empty when no scanner can be used.
    virtual std::vector<std::string> sources() = 0;
    // Scans one page from `source` at `dpi`. `progress` hears the percentage
    // read and returns false to cancel; it may be called from the thread the
    // scan runs on.
    virtual ScanOutcome acquire(const std::string& source, int dpi,
                                const std::function<bool(int)>& progress) = 0;
};

}  // namespace sw
