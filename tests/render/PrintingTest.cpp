// Printing's pure parts, page pictures for export, and the PCX codec.
#include <gtest/gtest.h>

#include "core/Pcx.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/Printing.h"

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
    RenderPrintPage(picture, glyphs, score, 1, DrawSettings{});
    int ink = 0;
    for (int y = 3 * 82; y < 3 * 118; ++y)
        for (int x = 3 * 92; x < 3 * 118; ++x)
            ink += qGray(picture.pixel(x, y)) < 128;
    EXPECT_EQ(ink, 0);
    // Elsewhere the stave is printed.
    EXPECT_LT(qGray(picture.pixel(3 * 200 + 1, 3 * 100)), 128);
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
