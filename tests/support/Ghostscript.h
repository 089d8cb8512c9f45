// Ghostscript as the tests' independent PDF reader: page boxes and pages
// rasterized to pictures; rsvg-convert as the SVG reader. A missing or
// failing program fails the current test.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace sw::test {

struct PdfPageBox {
    double width = 0, height = 0;  // points
};

// The size of each page's media box, in page order.
std::vector<PdfPageBox> PdfPageBoxes(const QString& pdf);

// Every page at `dpi` in black and white (RGB32 pictures), written next to
// the PDF as page-N.png on the way.
std::vector<QImage> RasterizePdf(const QString& pdf, int dpi);

// The SVG drawn by rsvg-convert at width x height pixels on white (RGB32),
// written next to it as NAME.png on the way; null when it failed.
QImage RasterizeSvg(const QString& svg, int width, int height);

}  // namespace sw::test
