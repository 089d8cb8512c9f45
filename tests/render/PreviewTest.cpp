// Print preview: where the pages go, what a reduced page keeps and loses,
// the outline and margin colours, and stepping through the spreads.
#include <gtest/gtest.h>

#include <QImage>

#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/Preview.h"
#include "render/Printing.h"

namespace sw {
namespace {

const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255);

bool Ink(QRgb c) {
    return qGray(c) < 128 && c != kRed && c != kBlue;
}

// 8.5 x 11 inches, half-inch margins, 160 page pixels an inch: a page picture
// of 1200 x 1600 that the preview at 100 pixels an inch reduces to 750 x 1000.
class Preview : public ::testing::Test {
  protected:
    void SetUp() override {
        score.staveSize = 0.2;
        score.page = PageData{};
        score.page.Width = 8.5;
        score.page.Length = 11;
        stave = AppendStave(score, 200, 40, 1100);
        score.stave(stave).h.PageNum = 1;
        score.pageCount = 1;
        target = QImage(1000, 1180, QImage::Format_RGB32);
    }
    // One page: paper (75, 40, 850, 1100), music area 50 pixels in.
    void Render(bool details, bool margins = false, int pages = 1, int page = 1) {
        layout = LayOutPreview(score, pages, page, target.width(), target.height());
        ASSERT_DOUBLE_EQ(layout.scale, 100);
        RenderPreview(target, layout, glyphs, score, DrawSettings{}, {details, margins});
    }
    // Page-picture positions in the preview area.
    int X(int x) const { return 125 + x * 750 / 1200; }
    int Y(int y) const { return 90 + y * 1000 / 1600; }
    bool InkNearRow(int x, int row) const {
        for (int y = row - 1; y <= row + 1; ++y)
            if (Ink(target.pixel(x, y))) return true;
        return false;
    }
    int CountInk(const QRect& r) const {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Ink(target.pixel(x, y));
        return n;
    }

    Score score;
    int stave = 0;
    GlyphStore glyphs;
    QImage target;
    PreviewLayout layout;
};

TEST(PreviewLayout, OnePageCentredAndSpreadsFortyPixelsApart) {
    Score score;
    score.page.Width = 8.5;
    score.page.Length = 11;
    PreviewLayout one = LayOutPreview(score, 1, 1, 1000, 1180);
    EXPECT_DOUBLE_EQ(one.scale, 100);
    EXPECT_EQ(one.rightPage, 1);
    EXPECT_EQ(one.leftPage, 0);
    EXPECT_EQ(one.right, QRect(75, 40, 850, 1100));

    // Two pages of 850 with 40 between them, centred in 1820.
    PreviewLayout spread = LayOutPreview(score, 5, 3, 1820, 1180);
    EXPECT_DOUBLE_EQ(spread.scale, 100);
    EXPECT_EQ(spread.left, QRect(40, 40, 850, 1100));
    EXPECT_EQ(spread.right, QRect(930, 40, 850, 1100));
    EXPECT_EQ(std::make_pair(spread.leftPage, spread.rightPage), std::make_pair(2, 3));
    // Page 1 stands alone on the right; the last even page has nothing beside it.
    spread = LayOutPreview(score, 4, 1, 1820, 1180);
    EXPECT_EQ(std::make_pair(spread.leftPage, spread.rightPage), std::make_pair(0, 1));
    EXPECT_EQ(spread.right.x(), 930);
    spread = LayOutPreview(score, 4, 4, 1820, 1180);
    EXPECT_EQ(std::make_pair(spread.leftPage, spread.rightPage), std::make_pair(4, 0));
}

TEST_F(Preview, EmptyPlaceOfASpreadStaysGround) {
    target = QImage(1820, 1180, QImage::Format_RGB32);
    layout = LayOutPreview(score, 4, 1, target.width(), target.height());
    RenderPreview(target, layout, glyphs, score, DrawSettings{}, {true, false});
    EXPECT_EQ(target.pixel(400, 600), target.pixel(10, 10));  // the left place: no paper
    EXPECT_EQ(target.pixel(1000, 60), qRgb(255, 255, 255));   // page 1's paper
}

TEST_F(Preview, FullPageKeepsOnePixelLines) {
    // A one-pixel line that is not a stave line, on a row that sampling every
    // 1.6th row skips: only a reduction that keeps thin black lines shows it.
    PlaceLine(score, stave, 100, 302, LineShape{800, 0, 1});
    Render(true);
    for (int x = X(100) + 1; x < X(900) - 1; ++x)
        ASSERT_TRUE(InkNearRow(x, Y(302))) << "the drawn line breaks at x " << x;
    for (int k = -2; k <= 2; ++k)
        for (int x = X(40); x < X(1100) - 1; ++x)
            ASSERT_TRUE(Ink(target.pixel(x, Y(200 + 8 * k - 1))))
                << "stave line " << k << " breaks at x " << x;
    EXPECT_EQ(CountInk(QRect(0, 0, 75, 1180)), 0);  // nothing off the paper
}

TEST_F(Preview, NonPrintingStavesAndWhiteOutsStayOut) {
    const int hidden = AppendStave(score, 600, 40, 1100);
    score.stave(hidden).h.PageNum = 1;
    score.stave(hidden).h.invisible = true;
    PlaceNote(score, hidden, 300, 0, 3, 1);
    // A white-out before a note in the list still covers it, stave lines too.
    ScoreObject* w = PlaceObject(score, stave, kDrawobject, 400, 170);
    w->data.drawobject = DrawobjectData{0, 1, 2, 60, 60};
    PlaceNote(score, stave, 420, 0, 3, 1);
    Render(true);
    EXPECT_EQ(CountInk(QRect(X(40), Y(560), X(1100) - X(40), Y(640) - Y(560))), 0);
    EXPECT_EQ(CountInk(QRect(X(402), Y(172), X(458) - X(402), Y(228) - Y(172))), 0);
    EXPECT_GT(CountInk(QRect(X(40), Y(180), X(390) - X(40), Y(220) - Y(180))), 0);
}

TEST_F(Preview, FootersCarryEachPagesNumber) {
    score.page.Footer = 1;  // footer area 950..1050 on the paper
    PlaceText(score, 0, kFootertext, 300, 10, 1, "@P");
    const QRect paper(75, 40, 850, 1100), footer(125, 40 + 950, 750, 100);
    auto page = [&](int n, bool full) {
        target.fill(Qt::white);
        RenderPreviewPage(target, paper, glyphs, score, n, true, full, DrawSettings{});
        return target.copy(footer);
    };
    const QImage first = page(1, true);
    EXPECT_GT(CountInk(footer), 0);
    const QImage second = page(2, true);
    EXPECT_GT(CountInk(footer), 0);
    EXPECT_NE(first, second);
    page(1, false);  // the bare outline has no texts
    EXPECT_EQ(CountInk(footer), 0);
}

TEST_F(Preview, BareOutlineIsBlueLinesWithRedEnds) {
    PlaceNote(score, stave, 300, 0, 3, 1);
    Render(false);
    EXPECT_EQ(CountInk(QRect(0, 0, target.width(), target.height())), 0);
    const int top = Y(200 - 16 - 1), bottom = Y(200 + 16 - 1);
    EXPECT_EQ(target.pixel(X(500), top), kBlue);
    EXPECT_EQ(target.pixel(X(500), bottom), kBlue);
    EXPECT_EQ(target.pixel(X(500), (top + bottom) / 2 + 1), qRgb(255, 255, 255));
    for (int y = top; y <= bottom; ++y) {
        EXPECT_EQ(target.pixel(X(40), y), kRed) << y;
        EXPECT_EQ(target.pixel(X(1100) - 1, y), kRed) << y;
    }
    EXPECT_EQ(PreviewStatusText({false, true}), "Press details to see all the objects");
    EXPECT_EQ(PreviewStatusText({true, true}), "");
}

TEST_F(Preview, MarginsOutlinedOutsideThePrintableAreaGutterInside) {
    score.page.GutM = 0.5;
    Render(true, true);
    // A right-hand page: gutter on the left, printable 100..800 across.
    EXPECT_EQ(target.pixel(75 + 99, 600), kRed);
    EXPECT_EQ(target.pixel(75 + 800, 600), kRed);
    EXPECT_EQ(target.pixel(75 + 49, 600), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(400, 40 + 49), kRed);
    EXPECT_EQ(target.pixel(400, 40 + 1050), kRed);
    // With facing pages a left-hand page has its gutter on the right.
    score.page.Facing = true;
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    DrawPreviewMargins(page, page.rect(), score, false, true);
    EXPECT_EQ(page.pixel(49, 600), kRed);
    EXPECT_EQ(page.pixel(750, 600), kRed);
    EXPECT_EQ(page.pixel(99, 600), qRgb(255, 255, 255));
    // Without, on the left as on the right-hand page.
    score.page.Facing = false;
    page.fill(Qt::white);
    DrawPreviewMargins(page, page.rect(), score, false, true);
    EXPECT_EQ(page.pixel(99, 600), kRed);
    EXPECT_EQ(page.pixel(800, 600), kRed);
    EXPECT_EQ(page.pixel(49, 600), qRgb(255, 255, 255));
    score.page.Facing = true;
    // Off: no red anywhere.
    Render(true, false);
    int red = 0;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x)
            red += target.pixel(x, y) == kRed;
    EXPECT_EQ(red, 0);
}

TEST_F(Preview, TheGutterIsWherePrintingPutsItOnEveryPage) {
    score.page.GutM = 0.5;
    const PrinterCaps caps;
    for (bool facing : {false, true})
        // The number printed on the first page does not make it a left-hand page.
        for (int first : {1, 2}) {
            score.page.Facing = facing;
            score.Page1 = static_cast<uint16_t>(first);
            for (int page = 1; page <= 4; ++page) {
                const bool rightHand = PreviewSpread(page, 4).second == page;
                const double previewed =
                    PreviewRectsOf(score, 100, rightHand).printable.x() / 100.0;
                const double printed = (PaperPosition(score, page, caps).x + caps.offsetLeft) /
                                       static_cast<double>(caps.dpiX);
                EXPECT_NEAR(previewed, printed, 0.01)
                    << "facing " << facing << " first " << first << " page " << page;
            }
        }
    score.page.Facing = false;
    EXPECT_EQ(PreviewRectsOf(score, 100, false).printable.x(), 100);
}

TEST(PreviewNavigation, SpreadsAndTheEnds) {
    PreviewNavigator nav(5, 1);
    EXPECT_EQ(nav.shown(), std::make_pair(0, 1));
    EXPECT_FALSE(nav.canPrevious());
    EXPECT_TRUE(nav.canNext());
    EXPECT_EQ(nav.label(), "Page 1 of 5");
    nav.previous();  // disabled: nothing moves
    EXPECT_EQ(nav.shown(), std::make_pair(0, 1));
    nav.next();
    EXPECT_EQ(nav.shown(), std::make_pair(2, 3));
    EXPECT_EQ(nav.label(), "Pages 2 and 3 of 5");
    nav.next();
    EXPECT_EQ(nav.shown(), std::make_pair(4, 5));
    EXPECT_FALSE(nav.canNext());
    nav.next();
    EXPECT_EQ(nav.shown(), std::make_pair(4, 5));
    nav.previous();
    EXPECT_EQ(nav.shown(), std::make_pair(2, 3));
    nav.previous();
    EXPECT_EQ(nav.shown(), std::make_pair(0, 1));

    PreviewNavigator even(4, 3);
    even.next();
    EXPECT_EQ(even.shown(), std::make_pair(4, 0));  // the last page alone on the left
    EXPECT_FALSE(even.canNext());
    EXPECT_TRUE(even.canPrevious());
    EXPECT_EQ(even.label(), "Page 4 of 4");

    PreviewNavigator single(1, 1);
    EXPECT_FALSE(single.canPrevious());
    EXPECT_FALSE(single.canNext());
    EXPECT_EQ(single.label(), "Page 1 of 1");
}

}  // namespace
}  // namespace sw
