// Ghostscript as the tests' independent PDF reader: page boxes and pages
// rasterized to pictures. A missing or failing gs fails the current test.
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

}  // namespace sw::test
