// The system printer port with its printer writing PDF files, read back by
// Ghostscript: capacities, orientation, and where a page lands on the paper.
#include <gtest/gtest.h>

#include <cstdio>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <string>

#include "platform/QtPrinterPort.h"
#include "render/Printing.h"
#include "support/Ghostscript.h"

namespace sw {
namespace {

// Letter paper whose unprintable edges are 0.5" left, 0.25" top, 0.375" right
// and 0.625" bottom (as a real printer's would be; the page layout keeps
// them in whole points), printing into `file`.
std::unique_ptr<QtPrinterPort> PdfBackedPrinter(const QString& file) {
    auto port = std::make_unique<QtPrinterPort>(QPrinterInfo());
    QPrinter& printer = port->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0.5, 0.25, 0.375, 0.625), QPageLayout::Inch);
    return port;
}

// A score on Letter paper with margins wider than the printer's edges.
std::unique_ptr<Score> LetterScore(bool landscape) {
    auto score = std::make_unique<Score>();
    score->staveSize = 0.3;
    PageData& g = score->page;
    g.Width = 8.5;
    g.Length = 11;
    g.LeftM = 1;
    g.TopM = 1.5;
    g.RightM = 0.75;
    g.BotM = 1.25;
    g.GutM = g.Header = g.Footer = 0;
    if (landscape) {
        g = TurnPage(g, true);
        g.landscape = true;
    }
    return score;
}

// A print picture with a black frame, and a black square near its top-left
// corner to show which way up it came out.
QImage FramedPicture(const Score& score) {
    const PrintPicture p = PrintPictureGeometry(score);
    QImage picture(p.width, p.height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool frame = x < 8 || y < 8 || x >= p.width - 8 || y >= p.height - 8;
            const bool marker = x >= 80 && x < 400 && y >= 80 && y < 400;  // 1" at 0.25"
            if (frame || marker) picture.setPixel(x, y, 0xFF000000u);
        }
    return picture;
}

std::string Corners(const QRect& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%d,%d)-(%d,%d)", r.left(), r.top(), r.right(), r.bottom());
    return buf;
}

// The corners of the inked area, as "(left,top)-(right,bottom)".
std::string InkBox(const QImage& sheet) {
    QRect box;
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            if (qGray(sheet.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return Corners(box);
}

bool Ink(const QImage& sheet, int x, int y) {
    return qGray(sheet.pixel(x, y)) < 128;
}

TEST(QtPrinterPort, CapacitiesFollowTheOrientation) {
    QTemporaryDir dir;
    auto port = PdfBackedPrinter(dir.filePath("caps.pdf"));
    EXPECT_TRUE(port->installed());
    EXPECT_FALSE(port->canCopy());  // a file cannot make copies
    PrinterCaps caps;
    ASSERT_TRUE(ReadPrinterCapacities(*port, false, caps));
    EXPECT_EQ(caps.dpiX, 1200);
    EXPECT_EQ(caps.dpiY, 1200);
    EXPECT_EQ(caps.pageWidth, 10200);
    EXPECT_EQ(caps.pageLength, 13200);
    EXPECT_EQ(caps.offsetLeft, 600);
    EXPECT_EQ(caps.offsetTop, 300);
    EXPECT_EQ(caps.offsetRight, 450);
    EXPECT_EQ(caps.offsetBottom, 750);
    EXPECT_FALSE(caps.landscape);

    PrinterCaps turned;
    ASSERT_TRUE(ReadPrinterCapacities(*port, true, turned));
    EXPECT_TRUE(turned.landscape);
    EXPECT_EQ(turned.dpiX, 1200);
    EXPECT_EQ(turned.pageWidth, 13200);
    EXPECT_EQ(turned.pageLength, 10200);
    // The edges are all still unprintable, whichever side they are now on.
    EXPECT_EQ(turned.offsetLeft + turned.offsetRight + turned.offsetTop + turned.offsetBottom,
              600 + 300 + 450 + 750);

    // Turned back, the printer reads as before.
    PrinterCaps back;
    ASSERT_TRUE(ReadPrinterCapacities(*port, false, back));
    EXPECT_EQ(back.pageWidth, caps.pageWidth);
    EXPECT_EQ(back.offsetLeft, caps.offsetLeft);
    EXPECT_EQ(back.offsetBottom, caps.offsetBottom);

    // No file to write to: nothing is installed.
    port->printer().setOutputFileName(QString());
    EXPECT_FALSE(port->installed());
}

// Positions come from the printable corner; the port, painting on the whole
// paper, must put the unprintable edges back: the page then sits at its
// margins on the paper, the right way up.
TEST(QtPrinterPort, APageLandsAtItsMarginsOnThePaper) {
    QTemporaryDir dir;
    const QString file = dir.filePath("page.pdf");
    auto port = PdfBackedPrinter(file);
    auto score = LetterScore(false);
    PrinterCaps caps;
    ASSERT_TRUE(ReadPrinterCapacities(*port, false, caps));
    const PaperRect where = PaperPosition(*score, 1, caps);
    EXPECT_EQ(where.x, 1200 - 600);  // from the printable corner
    ASSERT_TRUE(port->begin("SW 5 page.swn", false));
    // Read during the job, the edges are still there.
    PrinterCaps during;
    ASSERT_TRUE(port->capacities(during));
    EXPECT_EQ(during.offsetTop, caps.offsetTop);
    port->send(FramedPicture(*score), where, 1);
    port->end();

    const std::vector<test::PdfPageBox> boxes = test::PdfPageBoxes(file);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0].width, 612, 0.01);
    EXPECT_NEAR(boxes[0].height, 792, 0.01);
    const std::vector<QImage> sheets = test::RasterizePdf(file, 100);
    ASSERT_EQ(sheets.size(), 1u);
    const QImage& sheet = sheets[0];
    ASSERT_EQ(sheet.size(), QSize(850, 1100));
    // Left 1", top 1.5", right 0.75", bottom 1.25" at 100 dpi.
    EXPECT_EQ(InkBox(sheet), "(100,150)-(774,974)");
    EXPECT_TRUE(Ink(sheet, 100 + 60, 150 + 60));   // the marker, top left
    EXPECT_FALSE(Ink(sheet, 774 - 60, 974 - 60));  // not at the bottom right
    EXPECT_FALSE(Ink(sheet, 100 + 60, 974 - 60));  // nor at the bottom left
}

TEST(QtPrinterPort, LandscapeJobsCopiesAndNewPages) {
    QTemporaryDir dir;
    const QString file = dir.filePath("landscape.pdf");
    auto port = PdfBackedPrinter(file);
    auto score = LetterScore(true);
    PrinterCaps caps;
    ASSERT_TRUE(ReadPrinterCapacities(*port, true, caps));
    const QImage picture = FramedPicture(*score);
    ASSERT_TRUE(port->begin("SW 5 landscape.swn", true));
    port->send(picture, PaperPosition(*score, 1, caps), 2);  // two sheets
    port->newPage();
    port->send(picture, PaperPosition(*score, 2, caps), 1);
    port->end();

    const std::vector<QImage> sheets = test::RasterizePdf(file, 100);
    ASSERT_EQ(sheets.size(), 3u);
    const PageData& g = score->page;
    const QRect expected(QPoint(static_cast<int>(std::lround(g.LeftM * 100)),
                                static_cast<int>(std::lround(g.TopM * 100))),
                         QPoint(static_cast<int>(std::lround((g.Width - g.RightM) * 100)) - 1,
                                static_cast<int>(std::lround((g.Length - g.BotM) * 100)) - 1));
    for (const QImage& sheet : sheets) {
        ASSERT_EQ(sheet.size(), QSize(1100, 850));
        EXPECT_EQ(InkBox(sheet), Corners(expected));
        EXPECT_TRUE(Ink(sheet, expected.left() + 60, expected.top() + 60));
        EXPECT_FALSE(Ink(sheet, expected.right() - 60, expected.bottom() - 60));
    }
}

TEST(QtPrinterPort, SystemPrinterOnlyWhenOneIsInstalled) {
    const auto printer = SystemPrinter("no such printer");
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        EXPECT_EQ(printer, nullptr);
    } else {
        ASSERT_NE(printer, nullptr);
        EXPECT_TRUE(printer->installed());
    }
}

}  // namespace
}  // namespace sw
