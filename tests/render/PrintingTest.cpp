// Printing's pure parts, page pictures for export, and the PCX codec.
#include <gtest/gtest.h>

#include <QPainter>

#include <filesystem>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/Pcx.h"
#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PrintJob.h"
#include "render/Printing.h"
#include "render/VectorExport.h"

namespace sw {
namespace {

Score A4(double staveSize, double marginMm) {
    Score score;
    score.staveSize = staveSize;
    score.page.Width = 210 / 25.4;
    score.page.Length = 297 / 25.4;
    score.page.LeftM = score.page.RightM = score.page.TopM = score.page.BotM = marginMm / 25.4;
    score.page.GutM = score.page.Header = score.page.Footer = 0;
    return score;
}

TEST(PrintingGeometry, PrintPictureAndPaperPosition) {
    Score score = A4(0.3, 15);
    PrintPicture p = PrintPictureGeometry(score);
    EXPECT_DOUBLE_EQ(p.scale, 320);
    EXPECT_EQ(p.width, 2268);
    EXPECT_EQ(p.height, 3364);
    EXPECT_EQ(p.originY, 0);
    score.page.Header = 0.5;
    EXPECT_EQ(PrintPictureGeometry(score).originY, 160);  // the music starts below the header

    // Facing pages: even pages at the left margin, odd ones past the gutter too.
    score.page.Facing = true;
    score.page.GutM = 15 / 25.4;
    PrinterCaps caps;  // 300 dpi, 180 dots unprintable on every side
    const PaperRect even = PaperPosition(score, 2, caps), odd = PaperPosition(score, 3, caps);
    EXPECT_EQ(even.x, 177 - 180);
    EXPECT_EQ(odd.x, 354 - 180);
    EXPECT_EQ(even.y, 177 - 180);
    EXPECT_EQ(even.width, odd.width);
    score.page.Facing = false;
    EXPECT_EQ(PaperPosition(score, 2, caps).x, odd.x);
}

TEST(PrintingPlan, CopiesCollationAndRanges) {
    // A single page is never collated: three copies asked of the driver at once.
    auto one = PrintPlan({2, 2, 3, true, true});
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].page, 2);
    EXPECT_EQ(one[0].copies, 3);
    EXPECT_FALSE(one[0].newPageAfter);
    // Collated copies repeat the range.
    auto collated = PrintPlan({1, 3, 2, true, true});
    std::vector<int> pages;
    for (const auto& s : collated)
        pages.push_back(s.page);
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    // Uncollated copies from a printer that cannot copy repeat each page.
    auto repeated = PrintPlan({1, 2, 2, false, false});
    pages.clear();
    for (const auto& s : repeated)
        pages.push_back(s.page);
    EXPECT_EQ(pages, (std::vector<int>{1, 1, 2, 2}));
    EXPECT_TRUE(PrintPlan({1, 0, 1, true, true}).empty());  // a range of 1..0
    EXPECT_TRUE(PrintPlan({1, 3, 0, true, true}).empty());
}

TEST(PrintingRender, WhiteOutsCoverWhatIsBeneathThem) {
    GlyphStore glyphs;
    Score score = A4(0.3, 15);
    const int s = AppendStave(score, 100, 20, 400);
    score.stave(s).h.PageNum = 1;
    // A white-out placed before the note in the stave still covers it.
    ScoreObject* w = PlaceObject(score, s, kDrawobject, 90, 80);
    w->data.drawobject = DrawobjectData{0, 1, 2, 30, 40};
    PlaceNote(score, s, 100, 0, 3, 1);
    const PrintPicture p = PrintPictureGeometry(score);
    QImage picture(p.width, p.height, QImage::Format_RGB32);
    QImage vector(p.width, p.height, QImage::Format_RGB32);
    RenderPrintPage(picture, glyphs, score, 1, DrawSettings{});
    vector.fill(Qt::white);
    {
        QPainter painter(&vector);
        DrawVectorPage(painter, glyphs, score, 1, DrawSettings{});
    }
    for (const QImage* drawn : {&picture, &vector}) {
        int ink = 0;
        for (int y = 3 * 82; y < 3 * 118; ++y)
            for (int x = 3 * 92; x < 3 * 118; ++x)
                ink += qGray(drawn->pixel(x, y)) < 128;
        EXPECT_EQ(ink, 0);
        // Elsewhere the stave is printed.
        EXPECT_LT(qGray(drawn->pixel(3 * 200 + 1, 3 * 100)), 128);
    }
}

TEST(PrintingPreview, ScaleSpreadsAndThinLines) {
    EXPECT_DOUBLE_EQ(PreviewScale(1000, 1180, 8.5, 11, 1), 100);
    EXPECT_DOUBLE_EQ(PreviewScale(1820, 1180, 8.5, 11, 3), 100);
    EXPECT_GT(PreviewScale(50, 30, 8.5, 11, 2), 0);  // a tiny window still has a scale
    EXPECT_EQ(PreviewSpread(1, 5), std::make_pair(0, 1));
    EXPECT_EQ(PreviewSpread(3, 5), std::make_pair(2, 3));
    EXPECT_EQ(PreviewSpread(4, 4), std::make_pair(4, 0));
    EXPECT_EQ(PreviewSpread(1, 1), std::make_pair(0, 1));
    // A one-pixel line survives a reduction by ten.
    QImage page(300, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (int x = 0; x < 300; ++x)
        page.setPixel(x, 137, 0xFF000000u);
    QImage small = MinReduce(page, 30, 30);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(small.pixel(x, 13), 0xFF000000u);
    EXPECT_EQ(small.pixel(5, 5), 0xFFFFFFFFu);
}

TEST(PrintingBitmap, OneBitPictureMatchesQtsThreshold) {
    // Greys either side of the threshold, colours, and a width that leaves
    // part of a byte at the end of each line.
    QImage picture(37, 6, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QRgb samples[] = {qRgb(127, 127, 127), qRgb(128, 128, 128), qRgb(255, 0, 0),
                            qRgb(0, 255, 0),     qRgb(0, 0, 255),     qRgb(0, 0, 0),
                            qRgb(200, 90, 90),   qRgb(250, 250, 250)};
    for (int y = 0; y < 6; ++y)
        for (int x = (y * 5) % 9; x < 37; x += 3 + y)
            picture.setPixel(x, y, samples[(x + y) % 8]);
    const QImage qt = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    QImage copy = picture;
    const QImage ours = PrintBitmap(picture);
    ASSERT_TRUE(IsPrintBitmap(ours));
    EXPECT_FALSE(IsPrintBitmap(qt));  // Qt's own has white first: stored as colour in a PDF
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(ours.pixel(x, y), qt.pixel(x, y)) << x << "," << y;
    // Taking the bitmap leaves the picture white for the next page.
    copy.detach();
    const QImage taken = TakePrintBitmap(copy);
    EXPECT_EQ(taken, ours);
    QImage white(37, 6, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(copy, white);
}

TEST(PrintingExport, PcxAndBmpRoundTrip) {
    Mask m;
    m.width = 37;  // not a multiple of 16: padded lines
    m.height = 5;
    m.ink.assign(37 * 5, 0);
    for (int x = 0; x < 37; ++x)
        m.ink[static_cast<std::size_t>(2 * 37 + x)] = 1;  // a long run
    for (int y = 0; y < 5; ++y)
        m.ink[static_cast<std::size_t>(y * 37 + 36)] = 1;
    const std::string pcx = EncodePcx1(m, 300);
    EXPECT_EQ(pcx[0], 10);
    EXPECT_EQ(pcx[1], 5);
    EXPECT_EQ(static_cast<unsigned char>(pcx[66]) % 2, 0);  // even bytes per line
    Mask back;
    ASSERT_TRUE(DecodePcx1(reinterpret_cast<const uint8_t*>(pcx.data()), pcx.size(), back));
    EXPECT_EQ(back.width, 37);
    EXPECT_EQ(back.ink, m.ink);
    EXPECT_FALSE(DecodePcx1(reinterpret_cast<const uint8_t*>(pcx.data()), pcx.size() - 3, back));
    const std::string bmp = EncodeBmp1(m);
    uint32_t palette[2];
    ASSERT_TRUE(
        DecodeBmp1(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), back, palette));
    EXPECT_EQ(back.ink, m.ink);
    EXPECT_EQ(palette[0], 0u);
    // The most negative height (rows from the top, with no positive) is refused.
    std::string bad = bmp;
    bad[22] = bad[23] = bad[24] = 0;
    bad[25] = static_cast<char>(0x80);
    EXPECT_FALSE(
        DecodeBmp1(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), back, palette));
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

class PrintJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        score = A4(0.3, 15);
        for (int p = 1; p <= 3; ++p) {
            const int s = AppendStave(score, 100, 20, 400);
            score.stave(s).h.PageNum = static_cast<uint16_t>(p);
        }
        score.pageCount = 3;
    }
    int Print(const PrintRequest& r, std::function<bool()> cancel = {}) {
        return PrintScore(score, printer, r, glyphs, DrawSettings{}, host, warnings,
                          std::move(cancel), "a.swn");
    }
    Score score;
    GlyphStore glyphs;
    RecordingPrinterPort printer;
    ScriptedHost host;
    WarningBox warnings;
};

TEST_F(PrintJobTest, PagesCopiesAndTheJobTitle) {
    EXPECT_EQ(Print({1, 3, 2, true, true}), 6);
    EXPECT_EQ(printer.sheets.size(), 6u);
    EXPECT_EQ(printer.pagesStarted, 6);  // no blank page after the last
    EXPECT_EQ(printer.title, "SW 5 a.swn");
    EXPECT_EQ(printer.ended, 1);
    printer.sheets.clear();
    printer.driverCopies = false;  // uncollated copies repeat each page
    EXPECT_EQ(Print({2, 3, 2, false, true}), 4);
    EXPECT_EQ(printer.sheets[0].copies, 1);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PrintJobTest, CancelIsAskedBeforeEachPageAndTheJobStillEnds) {
    int asked = 0;
    host.expectWarning("Printing aborted.");
    EXPECT_EQ(Print({1, 3, 1, true, true}, [&] { return ++asked > 1; }), 1);
    EXPECT_EQ(printer.sheets.size(), 1u);
    EXPECT_EQ(printer.pagesStarted, 1);  // no sheet started for a page never printed
    EXPECT_EQ(printer.ended, 1);
    // The box said no more than the page it printed, and was closed.
    EXPECT_EQ(host.progressTexts(), (std::vector<std::string>{"Printing", "Preparing page 1 of 3.",
                                                              "Printing page 1 of 3."}));
    EXPECT_EQ(host.progressDepth(), 0);
    printer.isInstalled = false;
    host.expectMessage("There is no printer driver defined on this computer.");
    EXPECT_EQ(Print({1, 1, 1, true, true}), 0);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PrintJobTest, AStoppedJobIsNotReportedOnceTheUserSaidSo) {
    host.expectWarning("Printing aborted.", Answer::OK, true);
    host.expectMessage("You have chosen not to see this message again");
    EXPECT_EQ(Print({1, 3, 1, true, true}, [] { return true; }), 0);
    EXPECT_EQ(Print({1, 3, 1, true, true}, [] { return true; }), 0);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PrintJobTest, ProgressCaptionsFollowCopiesAndPages) {
    // Collated copies: a box per copy, pages counted within the range.
    EXPECT_EQ(Print({2, 3, 2, true, true}), 4);
    EXPECT_EQ(host.progressTexts(),
              (std::vector<std::string>{"Printing copy 1 of 2", "Preparing page 1 of 2.",
                                        "Printing page 1 of 2.", "Preparing page 2 of 2.",
                                        "Printing page 2 of 2.", "Printing copy 2 of 2",
                                        "Preparing page 1 of 2.", "Printing page 1 of 2.",
                                        "Preparing page 2 of 2.", "Printing page 2 of 2."}));
    EXPECT_EQ(host.progressDepth(), 0);
    // Uncollated copies by repeating pages: one box, each page said twice.
    ScriptedHost other;
    printer.driverCopies = false;
    EXPECT_EQ(PrintScore(score, printer, {3, 3, 2, false, true}, glyphs, DrawSettings{}, other,
                         warnings, {}, "a.swn"),
              2);
    EXPECT_EQ(
        other.progressTexts(),
        (std::vector<std::string>{"Printing", "Preparing page 1 of 1.", "Printing page 1 of 1.",
                                  "Preparing page 1 of 1.", "Printing page 1 of 1."}));
    EXPECT_TRUE(host.problems().empty());
    EXPECT_TRUE(other.problems().empty());
}

TEST_F(PrintJobTest, PagesDrawnAheadAreThePagesInPlanOrder) {
    // Each page different, so a page out of order or drawn over an earlier
    // one's remains shows.
    for (int p = 1; p <= 3; ++p) {
        const int s = AppendStave(score, 100 + 60 * p, 20, 400);
        score.stave(s).h.PageNum = static_cast<uint16_t>(p);
        for (int n = 0; n < 2 * p; ++n)
            PlaceNote(score, s, 60 + 40 * n, n - p, 3);
    }
    std::vector<QImage> expected;
    const PrintPicture g = PrintPictureGeometry(score);
    for (int p : {3, 1, 2, 3}) {
        QImage picture(g.width, g.height, QImage::Format_RGB32);
        RenderPrintPage(picture, glyphs, score, p, DrawSettings{});
        expected.push_back(PrintBitmap(picture));
    }
    EXPECT_EQ(Print({3, 3, 1, true, true}), 1);
    EXPECT_EQ(Print({1, 3, 1, true, true}), 3);
    ASSERT_EQ(printer.sheets.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(IsPrintBitmap(printer.sheets[k].picture));
        EXPECT_EQ(printer.sheets[k].picture, expected[k]) << "sheet " << k;
    }
    EXPECT_NE(expected[1], expected[2]);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PrintJobTest, PdfKeepsThePageAtOneBit) {
    const std::string path = ::testing::TempDir() + "printjob-one-bit.pdf";
    ASSERT_TRUE(WritePdf(path, glyphs, score, 1, 3, DrawSettings{}, host));
    EXPECT_TRUE(host.problems().empty());
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t images = 0;
    for (std::size_t at = pdf.find("/Subtype /Image"); at != std::string::npos;
         at = pdf.find("/Subtype /Image", at + 1))
        ++images;
    EXPECT_EQ(images, 3u);
    EXPECT_NE(pdf.find("/BitsPerComponent 1"), std::string::npos);
    EXPECT_EQ(pdf.find("/BitsPerComponent 8"), std::string::npos);
    std::remove(path.c_str());
}

TEST_F(PrintJobTest, APdfThatCannotBeWrittenSaysWhy) {
    const std::string folder = ::testing::TempDir() + "no-such-folder-for-a-pdf";
    host.expectMessage("The PDF file " + folder + "/a.pdf cannot be written: ");
    EXPECT_FALSE(WritePdf(folder + "/a.pdf", glyphs, score, 1, 3, DrawSettings{}, host));

    const std::string path = ::testing::TempDir() + "printjob-no-room.pdf";
    score.page.LeftM = 8;  // no width left for music
    host.expectMessage("Left+Gutter+Right Margins are bigger than the page width!\nPlease fix!");
    EXPECT_FALSE(WritePdf(path, glyphs, score, 1, 3, DrawSettings{}, host));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PrintJobTest, CapacityTextsAndTurnedPages) {
    printer.caps = PrinterCaps{};  // 8 x 11 inches, 0.6 inch unprintable edges
    host.expectMessage("Your page length is 11.693\", printer maximum is 11.000\".", Answer::No);
    EXPECT_FALSE(CheckPrinterCapacity(score, printer, false, host));
    host.expectMessage("Your page length is 297.0mm", Answer::Yes);
    host.expectMessage("Your left margin is 15.0mm, printer min is 15.2mm.", Answer::No);
    EXPECT_FALSE(CheckPrinterCapacity(score, printer, true, host));
    // A landscape page is turned before it is measured.
    printer.caps.pageWidth = 2600;
    printer.caps.pageLength = 3600;
    printer.caps.offsetLeft = printer.caps.offsetTop = printer.caps.offsetRight =
        printer.caps.offsetBottom = 30;
    score.page.landscape = true;
    std::swap(score.page.Width, score.page.Length);
    EXPECT_TRUE(CheckPrinterCapacity(score, printer, false, host));
    printer.capsReadable = false;
    host.expectMessage("Problem addressing the printer driver");
    EXPECT_TRUE(CheckPrinterCapacity(score, printer, false, host));
    EXPECT_TRUE(host.problems().empty());
}

}  // namespace
}  // namespace sw
