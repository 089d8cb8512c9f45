// Comparing two black-and-white pictures of the same thing drawn two ways.
#pragma once

#include <QImage>
#include <algorithm>
#include <vector>

namespace sw::test {

// The share of `from`'s ink pixels that have ink in `to` at most one pixel
// away (1 when `from` has no ink). Pictures are compared from their top-left
// corners; ink is grey below 128.
inline double InkNear(const QImage& from, const QImage& to) {
    const QImage a = from.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = to.convertToFormat(QImage::Format_Grayscale8);
    const int w = b.width(), h = b.height();
    std::vector<unsigned char> near(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (b.constScanLine(y)[x] < 128)
                for (int dy = std::max(0, y - 1); dy <= std::min(h - 1, y + 1); ++dy)
                    for (int dx = std::max(0, x - 1); dx <= std::min(w - 1, x + 1); ++dx)
                        near[static_cast<std::size_t>(dy) * w + dx] = 1;
    long ink = 0, matched = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.constScanLine(y)[x] < 128) {
                ++ink;
                matched += x < w && y < h && near[static_cast<std::size_t>(y) * w + x];
            }
    return ink == 0 ? 1.0 : static_cast<double>(matched) / static_cast<double>(ink);
}

}  // namespace sw::test
