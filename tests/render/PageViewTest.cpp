// The page picture: its size, stave frames, braces, the header/footer page,
// band erasing, the insertion cursor and the status line.
#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <utility>
#include <vector>

#include "core/ScriptedHost.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/Printing.h"

namespace sw {
namespace {

using Pair = std::pair<int, int>;
using Ints = std::vector<int>;
const QRgb kWhite = qRgb(255, 255, 255), kGrey = qRgb(0xC0, 0xC0, 0xC0);
constexpr double k16MiB = 16777216.0;

TEST(PageViewGeometry, PictureSizesAndThe16MiBLimit) {
    Score score;
    score.staveSize = 0.25;  // 128 pixels an inch
    PageGeometry g = ComputePageGeometry(score);
    EXPECT_EQ(Pair(g.width, g.height), Pair(931, 1368));  // A4 less half-inch margins
    score.page.Header = score.page.Footer = 0.5;
    g = ComputePageGeometry(score);
    EXPECT_EQ(Pair(g.height, g.headerFooterHeight), Pair(1240, 1368));

    score.page = PageData{};
    score.page.Width = score.page.Length = 22;  // 21 x 21 inches of music
    score.staveSize = 0.32;                     // 100 pixels an inch: 2100 x 2100
    g = ComputePageGeometry(score);
    ASSERT_EQ(Pair(g.width, g.height), Pair(2100, 2100));
    EXPECT_FALSE(PagePictureFits(g, 32, k16MiB));
    EXPECT_TRUE(PagePictureFits(g, 16, k16MiB));
    // The advice names the smallest stave size that fits; taking it must work.
    for (double header : {0.0, 1.0}) {
        score.page.Header = score.page.Footer = header;
        const double smallest = SmallestStaveSize(score, 32, k16MiB);
        score.staveSize = smallest * 1.001;
        EXPECT_TRUE(PagePictureFits(ComputePageGeometry(score), 32, k16MiB)) << "header " << header;
        score.staveSize = smallest * 0.99;
        EXPECT_FALSE(PagePictureFits(ComputePageGeometry(score), 32, k16MiB))
            << "header " << header;
    }
}

class PageView : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int y : {100, 200, 300, 400})
            score.stave(AppendStave(score, y, 50, 750)).h.PageNum = 1;
    }
    RecordingSurface Draw(int s) {
        RecordingSurface rec;
        DrawStave(rec, score, s, 0, kAllKinds, settings, view, 800);
        return rec;
    }
    StaveHeader& H(int s) { return score.stave(s).h; }
    Score score;
    DrawSettings settings;
    PageViewState view;
};

TEST_F(PageView, StaveLinesAndBracketHooks) {
    Ints ys;
    for (const auto& c : Draw(4).of("line"))
        if (c.x1 == 50 && c.x2 == 750 && c.y1 == c.y2) ys.push_back(static_cast<int>(c.y1));
    std::sort(ys.begin(), ys.end());
    EXPECT_EQ(ys, (Ints{383, 391, 399, 407, 415}));  // Ycoord + k * 8 - 1

    // In print each line is three print pixels thick, centred on three times its y.
    QImage print(2400, 1300, QImage::Format_RGB32);
    print.fill(Qt::white);
    DrawContext ctx;
    ctx.print = &print;
    ctx.printMode = true;
    PictureSurface out(ctx);
    DrawStave(out, score, 4, 0, kAllKinds, settings, view, 800);
    Ints inked, want;
    for (int y = 0; y < print.height(); ++y)
        if (print.pixel(1200, y) != kWhite) inked.push_back(y);
    for (int k = -2; k <= 2; ++k)
        want.insert(want.end(), {3 * (400 + 8 * k) - 1, 3 * (400 + 8 * k), 3 * (400 + 8 * k) + 1});
    EXPECT_EQ(inked, want);

    H(1).withBracket = H(1).bracketWithNext = true;  // a bracket over staves 1..3
    H(2).withBracket = H(2).bracketWithNext = true;
    H(3).withBracket = true;
    auto hooks = [&](int s) {
        std::vector<Ints> out;
        for (const auto& c : Draw(s).of("glyph"))
            out.push_back({c.code, static_cast<int>(c.x1), static_cast<int>(c.y1)});
        return out;
    };
    EXPECT_EQ(hooks(1), (std::vector<Ints>{{42, 50, 100}}));
    EXPECT_TRUE(hooks(2).empty());
    EXPECT_EQ(hooks(3), (std::vector<Ints>{{43, 50, 300}}));
    EXPECT_TRUE(hooks(4).empty());
}

TEST_F(PageView, BracesSpanTheirGroupAboutEightPixelsDeep) {
    H(1).withBrace = true;
    RecordingSurface rec;
    DrawBraces(rec, score, 1, 4, 0);
    const auto spans = rec.of("line");
    ASSERT_EQ(spans.size(), 215u - 83u + 1u);  // top line of stave 1 to bottom line of stave 2
    EXPECT_EQ(Pair(spans.front().y1, spans.back().y1), Pair(83, 215));
    const auto deepest =
        std::min_element(spans.begin(), spans.end(), [](auto& a, auto& b) { return a.x1 < b.x1; });
    EXPECT_EQ(Pair(deepest->x1, deepest->y1), Pair(50 - 2 - 9, 149));

    // One-line staves at the same height: nothing to span.
    H(3).withBrace = true;
    H(3).lineCount = H(4).lineCount = 1;
    H(4).Ycoord = 300;
    rec.clear();
    DrawBraces(rec, score, 3, 4, 0);
    EXPECT_TRUE(rec.calls().empty());
}

TEST_F(PageView, LabelsAndStatusLine) {
    H(2).joinToNext = true;  // systems [1] [2,3] [4]
    auto at = [&](int s, int place) {
        H(s).barNumberPlace = static_cast<uint8_t>(place);
        return BarNumberLabelOffset(score, s);
    };
    EXPECT_EQ(at(1, 1), Pair(5, -23));
    EXPECT_EQ(at(1, 2), Pair(-3, 0));
    EXPECT_EQ(at(2, 1), Pair(5, -33));
    EXPECT_EQ(at(2, 2), Pair(5, -33));
    EXPECT_EQ(at(3, 2), Pair(5, -23));

    // Labels the page's edge would cut off are moved in: left of a stave near
    // the edge, above a joined stave at the top of a page.
    H(2).LeftX = 17;
    H(2).barNumber = 1234;  // 24 pixels wide here
    H(2).barNumberPlace = 2;
    H(2).joinToNext = false;
    H(1).joinToNext = false;
    auto label = [&](int s) {
        const auto texts = Draw(s).of("text");
        return texts.empty() ? Pair(-99, -99)
                             : Pair(static_cast<int>(texts[0].x1), static_cast<int>(texts[0].y1));
    };
    EXPECT_EQ(label(2), Pair(0, 200 - 6));  // would start at 17 - 3 - 24
    H(2).LeftX = 50;
    EXPECT_EQ(label(2), Pair(50 - 3 - 24, 200 - 6));  // room enough: as it was
    H(2).joinToNext = true;
    H(2).barNumberPlace = 1;
    score.boxedBarNumbers = true;
    MoveStaveTo(score, 2, 32);      // the top of a page
    EXPECT_EQ(label(2).second, 0);  // would be 32 - 33 - 12
    const auto box = Draw(2).of("rect");
    ASSERT_FALSE(box.empty());
    EXPECT_GE(std::min(box[0].x1, box[0].y1), 0);
    score.boxedBarNumbers = false;
    H(2).barNumberPlace = 0;
    MoveStaveTo(score, 2, 200);

    H(2).joinToNext = false;
    H(1).joinToNext = H(3).joinToNext = true;
    H(1).Nobjec = 23;
    EXPECT_EQ(StatusText(score, 1), " System 1 of 2   Stave 1 of 4:  23 objects.");
    score.pageCount = 2;
    H(3).PageNum = 2;
    H(3).Nobjec = 5;
    EXPECT_EQ(CopyToStatusText(score, 3),
              "Copy to: Page 2 of 2 System 2 of 2   Stave 3 of 4:  5 objects.");
    score.stave(0).h.Nobjec = 3;
    EXPECT_EQ(StatusText(score, 0), "Header/Footer screen. 3 objects.");
    score.stave(0).h.Nobjec = 1;
    EXPECT_EQ(StatusText(score, 0), "Header/Footer screen. 1 object.");
}

// While an object is placed its stave shows in the "Strings" colour: the
// stave's own lines, whatever their number, and nothing else.
TEST_F(PageView, ThePlacingStaveIsItsLinesInOneColour) {
    H(2).lineCount = 1;
    RecordingSurface one, five, none;
    DrawStaveLines(one, score, 2, 0xFF00FF);
    DrawStaveLines(five, score, 3, 0xFF00FF);
    DrawStaveLines(none, score, 0, 0xFF00FF);
    ASSERT_EQ(one.calls().size(), 1u);
    EXPECT_EQ(one.calls()[0].y1, 199);
    Ints ys;
    for (const auto& c : five.calls()) {
        EXPECT_EQ(c.what, "line");
        EXPECT_EQ(c.colour, 0xFF00FFu);
        EXPECT_EQ(std::make_pair(c.x1, c.x2), std::make_pair(50.0, 750.0));
        ys.push_back(static_cast<int>(c.y1));
    }
    EXPECT_EQ(ys, (Ints{283, 291, 299, 307, 315}));
    EXPECT_TRUE(none.calls().empty());
}

TEST_F(PageView, HeaderFooterPageShowsTheGreyMusicAreaAndOnlyStaveZero) {
    score.staveSize = 0.25;
    score.page.Header = score.page.Footer = 0.5;  // 64 pixels each
    score.fonts[1] = FontDesc{"Times New Roman", 14, 0, 0, 0};
    score.fontsInUse.set(1);
    PlaceText(score, 0, kHeadertext, 20, 10, 1, "Title");
    const PageGeometry g = ComputePageGeometry(score);
    QImage screen(g.width, g.headerFooterHeight, QImage::Format_RGB32);
    DrawContext ctx;
    ctx.screen = &screen;
    DrawAll(ctx, score, 0, settings, view);
    auto at = [&](int y) { return screen.pixel(2, y); };  // the grey band: rows 65..1301
    EXPECT_EQ((std::vector<QRgb>{at(64), at(65), at(1301), at(1303), at(1367)}),
              (std::vector<QRgb>{kWhite, kGrey, kGrey, kWhite, kWhite}));
    EXPECT_EQ(screen.pixel(400, 399), kGrey);  // where stave 4's middle line would be
    int texts = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < g.width; ++x)
            texts += screen.pixel(x, y) == ToQRgb(settings.colours.universalText);
    EXPECT_GT(texts, 0);
}

// Rows of `picture` from y1 to y2 (exclusive) holding pixels of `colour`.
int InkRows(const QImage& picture, int y1, int y2, uint32_t colour = kBlack) {
    int rows = 0;
    for (int y = std::max(0, y1); y < std::min(y2, picture.height()); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == ToQRgb(colour)) {
                ++rows;
                break;
            }
    return rows;
}

TEST_F(PageView, AFooterTextLiesInTheFooterBandOfEveryPictureThatShowsIt) {
    score.staveSize = 0.25;
    score.page.Header = score.page.Footer = 0.5;  // 64 pixels each
    score.fonts[1] = FontDesc{"Times New Roman", 14, 0, 0, 0};
    score.fontsInUse.set(1);
    PlaceText(score, 0, kFootertext, 20, 6, 1, "Foot");
    const PageGeometry g = ComputePageGeometry(score);
    const int footerTop = FooterTop(score);
    ASSERT_EQ(footerTop, 1304);  // the header and the music area above it
    ASSERT_EQ(g.headerFooterHeight - footerTop, 64);
    for (int mode : {0, 21}) {  // the header/footer page, and the footer view drawn on it
        QImage screen(g.width, g.headerFooterHeight, QImage::Format_RGB32);
        DrawContext ctx;
        ctx.screen = &screen;
        view.mode = mode;
        DrawAll(ctx, score, 0, settings, view);
        const uint32_t c = mode == 0 ? settings.colours.universalText : settings.colours.ink;
        EXPECT_EQ(InkRows(screen, 0, footerTop, c), 0) << "mode " << mode;
        EXPECT_GT(InkRows(screen, footerTop + 6, footerTop + 64, c), 5) << "mode " << mode;
    }
    view.mode = 0;
    GlyphStore glyphs;
    const PrintPicture pp = PrintPictureGeometry(score);
    QImage print(pp.width, pp.height, QImage::Format_RGB32);
    for (int s = 1; s <= score.Nstaves; ++s)
        H(s).PageNum = 2;  // a page of nothing but its header and footer
    RenderPrintPage(print, glyphs, score, 1, settings);
    EXPECT_EQ(InkRows(print, 0, 3 * footerTop), 0);
    EXPECT_GT(InkRows(print, 3 * (footerTop + 6), 3 * (footerTop + 64)), 15);
}

TEST_F(PageView, ErasingClearsOnlyTheBandBetweenTheNeighboursExtents) {
    for (int s = 1; s <= 3; ++s)
        H(s).MinY = 120 * s - 110, H(s).MaxY = 120 * s - 20;  // 10..100, 130..220, 250..340
    QImage picture(400, 600, QImage::Format_RGB32);
    auto erased = [&](int first, int last, int y) {
        picture.fill(Qt::black);
        EraseStaveBand(picture, score, first, last);
        return picture.pixel(0, y) == kWhite && picture.pixel(399, y) == kWhite;
    };
    EXPECT_FALSE(erased(2, 2, 100));
    EXPECT_TRUE(erased(2, 2, 101));
    EXPECT_TRUE(erased(2, 2, 248));
    EXPECT_FALSE(erased(2, 2, 250));
    H(4).PageNum = 2;  // neighbours on other pages do not limit the band
    H(1).PageNum = 0;
    EXPECT_TRUE(erased(2, 3, 0));
    EXPECT_TRUE(erased(2, 3, 599));
}

TEST_F(PageView, TheInsertionCursorDrawnTwiceLeavesThePictureAsItWas) {
    QImage screen(400, 500, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter(&screen).fillRect(150, 180, 110, 40, Qt::Dense4Pattern);
    const QImage before = screen.copy();
    DrawContext ctx;
    ctx.screen = &screen;
    PictureSurface out(ctx);
    for (int type : {0, 1, 2})
        for (int thickness : {1, 3}) {
            DrawInsertionCursor(out, score, 2, 200, type, thickness, settings.colours.cursor);
            EXPECT_NE(screen, before) << type;
            DrawInsertionCursor(out, score, 2, 200, type, thickness, settings.colours.cursor);
            EXPECT_EQ(screen, before) << type << " " << thickness;
        }
}

TEST(PageViewPicture, TooLargeAPictureIsRefusedWithTheAdviceAndNothingMade) {
    Score score;
    score.page.Width = score.page.Length = 22.5;  // 2 100 x 2 100 at this stave size
    score.staveSize = 32.0 / (2100 / 21.5);
    ScriptedHost host;
    host.expectMessage("colour depth of 16 million colours (32 bits)");
    QImage picture;
    EXPECT_FALSE(SetUpPagePicture(picture, score, 1, 32, false, host, k16MiB));
    EXPECT_TRUE(picture.isNull());
    const std::string text = host.transcript().at(0);
    EXPECT_NE(text.find("you cannot have a stave size less than 0.3"), std::string::npos) << text;
    EXPECT_NE(text.find("4. Reduce the number of screen colours."), std::string::npos);
    EXPECT_NE(PageTooLargeMessage(score, 16, true, k16MiB).find("High color (16 bits)"),
              std::string::npos);
    // The same page in black and white fits.
    ScriptedHost quiet;
    EXPECT_TRUE(SetUpPagePicture(picture, score, 1, 1, false, quiet, k16MiB));
    EXPECT_EQ(picture.width(), ComputePageGeometry(score).width);
    EXPECT_TRUE(quiet.problems().empty());
}

TEST(PageViewPicture, TheSmallestStaveSizeOnA4FitsThisMachineAndTheAdviceFollowsTheBudget) {
    Score score;  // A4 with half-inch margins
    score.staveSize = kMinStaveSize;
    const double budget = PagePictureBudget();
    EXPECT_GE(budget, 64.0 * 1024 * 1024);
    EXPECT_LE(budget, 1024.0 * 1024 * 1024);
    ScriptedHost host;
    QImage picture;
    ASSERT_TRUE(SetUpPagePicture(picture, score, 1, 32, false, host, budget));
    EXPECT_EQ(picture.size(),
              QSize(ComputePageGeometry(score).width, ComputePageGeometry(score).height));
    EXPECT_TRUE(host.problems().empty());

    // Against a smaller budget the advice names the size that fits it, in the
    // user's spelling, and asks for larger staves.
    score.staveSize = 0.13;
    const double smallest = SmallestStaveSize(score, 32, k16MiB);
    EXPECT_NEAR(smallest, 0.1378, 0.0002);  // 7.27 x 10.69 inches of picture
    host.expectMessage("color depth of 16 million colors (32 bits)");
    EXPECT_FALSE(SetUpPagePicture(picture, score, 1, 32, true, host, k16MiB));
    const std::string text = host.transcript().at(0);
    EXPECT_NE(text.find("less than 0.138\" ( 3.50mm)"), std::string::npos) << text;
    EXPECT_NE(text.find("1. Choose a larger stave size"), std::string::npos) << text;
    EXPECT_NE(text.find("number of screen colors."), std::string::npos) << text;
    EXPECT_EQ(text.find("colour"), std::string::npos) << text;
    EXPECT_NEAR(SmallestStaveSize(score, 32, 4 * k16MiB), smallest / 2, 1e-9);
    EXPECT_TRUE(host.problems().empty());
}

}  // namespace
}  // namespace sw
