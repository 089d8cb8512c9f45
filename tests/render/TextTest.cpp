// Score text: its byte set, measuring and drawing with accidental places, and
// the text object rules (chains, placeholders, fonts, boxes, global colour).
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <climits>
#include <string>

#include "layout/GlyphTable.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/ObjectShapes.h"
#include "render/Surface.h"
#include "render/Text.h"

namespace sw {
namespace {

const GlyphStore& Store() {
    static const GlyphStore store;
    return store;
}

struct Pictures {
    QImage screen{300, 120, QImage::Format_RGB32}, print{900, 360, QImage::Format_RGB32};
    DrawContext ctx{&screen, &print, false, {}, {}, &Store()};
    Pictures() { screen.fill(Qt::white), print.fill(Qt::white); }
};

struct Ink {
    int count = 0, left = INT_MAX, top = INT_MAX;
};
template <typename At>
Ink Scan(int w, int h, At at) {
    Ink ink;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (at(x, y))
                ++ink.count, ink.left = std::min(ink.left, x), ink.top = std::min(ink.top, y);
    return ink;
}
// The pixels that are not white, or only those of `colour`.
Ink InkOf(const QImage& img, QRgb colour = 0) {
    return Scan(img.width(), img.height(), [&](int x, int y) {
        return colour ? img.pixel(x, y) == colour : (img.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
    });
}

TEST(TextBytes, Windows1252RoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(ToScoreBytes(FromScoreBytes(all)), all);
    EXPECT_EQ(FromScoreBytes("\x80\x8A\x99\x9F\xE9\xFF"), QString::fromUtf8("€Š™Ÿéÿ"));
}

TEST(TextDraw, AccidentalPlacesMeasureAsDAndHoldTheirWholeSignCentredInTheirPlace) {
    for (int points : {6, 10, 12, 30}) {
        const TextFont font{"Times New Roman", points};
        for (char c : {'\x1b', '\x1c', '\x1d', '\x1e'})
            EXPECT_EQ(QtTextMeasurer().width(font, std::string("A") + c + "B"),
                      QtTextMeasurer().width(font, "AdB"));
        for (int accidental : {1, 0, -1}) {
            double middle[2] = {};  // the sign's middle row below the baseline, in screen pixels
            for (bool print : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << points << " pt, " << accidental << " print " << print);
                Pictures pic;
                pic.ctx.printMode = print;
                const QImage& page = print ? pic.print : pic.screen;
                DrawTextString(pic.ctx, "\x1e", {font}, 20, 20);
                EXPECT_EQ(InkOf(page).count, 0) << "code 30 is measured only";
                DrawTextString(pic.ctx, std::string(1, char(28 - accidental)), {font}, 20, 20);
                const Mask* sign = Store().mask(TextAccidentalName(points, accidental, print));
                ASSERT_NE(sign, nullptr);
                const Ink want =
                    Scan(sign->width, sign->height, [&](int x, int y) { return sign->at(x, y); });
                const Ink got = InkOf(page);
                const int k = print ? 3 : 1;
                const QFontMetrics fm(ScoreQFont(font, print ? 3 * points - 2 : points));
                const TextAccidentalOffset off = TextAccidentalPlace(points, accidental);
                // The whole sign, its ink centred across the place of a "d"
                // and raised by its offset.
                int inkWidth = 0;
                for (int x = 0; x < sign->width; ++x)
                    for (int y = 0; y < sign->height; ++y)
                        if (sign->at(x, y)) inkWidth = x - want.left + 1;
                EXPECT_EQ(
                    std::tuple(got.count, got.left, got.top),
                    std::tuple(want.count, 20 * k + (fm.horizontalAdvance('d') - inkWidth) / 2,
                               20 * k + fm.height() + k * off.y + want.top));
                middle[print] = (fm.descent() + k * off.y + sign->height / 2.0) / k;
            }
            // The sign keeps its height over the baseline at both scales.
            EXPECT_NEAR(middle[1], middle[0], 1.0);
        }
    }
}

TEST(TextDraw, RubberBandDrawnTwiceRestoresThePicture) {
    Pictures pic;
    for (int y = 0; y < pic.screen.height(); ++y)
        for (int x = 0; x < pic.screen.width(); ++x)
            pic.screen.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) * 5 % 256));
    const QImage before = pic.screen;
    const TextDraw draw{{"Times New Roman", 12}, false, true, 0x3060C0};
    for (int pass = 0; pass < 2; ++pass) {
        DrawTextString(pic.ctx, "Allegro \x1b\x1c\x1d", draw, 30, 30);
        EXPECT_EQ(pic.screen == before, pass == 1) << "pass " << pass;
    }
}

// A damaged file's font of thousands of points is measured, not drawn into
// a scratch picture of gigabytes.
TEST(TextDraw, AbsurdFontSizesDrawNothing) {
    Pictures pic;
    const TextDraw huge{{"Times New Roman", 3000}, false, false, 0};
    const int width = DrawTextString(pic.ctx, std::string(60, 'W'), huge, 10, 10);
    EXPECT_GT(width, 0);
    EXPECT_EQ(InkOf(pic.screen).count, 0);
    // An ordinary size still draws.
    DrawTextString(pic.ctx, "W", TextDraw{{"Times New Roman", 12}, false, false, 0}, 10, 40);
    EXPECT_GT(InkOf(pic.screen).count, 0);
}

TEST(TextPlaceholders, WholeCodesAreReplacedAndOtherTextIsKept) {
    const TextEnv env{true, 7, "/scores/minuet.swn", 1700000000};
    for (const char* page : {"@P", "@p"})
        EXPECT_EQ(ExpandPlaceholder(page, env), "7");
    EXPECT_EQ(ExpandPlaceholder("@n", env), "minuet.swn");
    EXPECT_EQ(ExpandPlaceholder("@F", env), "/scores/minuet.swn");
    EXPECT_EQ(ExpandPlaceholder("@T", env), ExpandPlaceholder("@t", env));
    EXPECT_NE(ExpandPlaceholder("@D", env), ExpandPlaceholder("@d", env));
    EXPECT_NE(ExpandPlaceholder("@d", env).find("2023"), std::string::npos);
    for (const char* same : {"@X", "@PP", "p@P", "@", ""})
        EXPECT_EQ(ExpandPlaceholder(same, env), same);
}

// The calls that drawing text object i of stave s makes.
std::vector<RecordingSurface::Call> Drawn(const Score& score, int s, int i,
                                          const TextEnv& env = {}) {
    RecordingSurface rec;
    DrawTextObject(rec, score, s, i, {}, env);
    return rec.calls();
}

TEST(TextObjects, ChainsPlaceholdersAndFontFallback) {
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    score.fonts[1] = {"Arial", 20}, score.fonts[2] = {"Arial", 30}, score.fonts[7] = {"Arial", 40};
    score.fontsInUse.set(1).set(2);
    const std::string text = "Andante con moto, sempre";
    const int first = PlaceText(score, s, kText, 50, 60, 1, text);
    ASSERT_EQ(Drawn(score, s, first).size(), 1u);
    EXPECT_EQ(Drawn(score, s, first)[0].text, text);
    EXPECT_TRUE(Drawn(score, s, first + 1).empty()) << "a continuation chunk";
    score.stave(s).obj[first + 2].text().nextChunk = static_cast<uint8_t>(first);
    EXPECT_EQ(JoinedText(score.stave(s), first), text);

    // Placeholders are replaced only on the header/footer stave in its pass.
    const int footer = PlaceText(score, 0, kFootertext, 50, 60, 1, "@p");
    const int music = PlaceText(score, s, kText, 50, 60, 1, "@p");
    TextEnv pass;
    pass.headerFooterPass = true, pass.pageNumber = 12;
    EXPECT_EQ(Drawn(score, 0, footer, pass).at(0).text, "12");
    EXPECT_EQ(Drawn(score, 0, footer).at(0).text, "@p");
    EXPECT_EQ(Drawn(score, s, music, pass).at(0).text, "@p");

    for (auto [font, size] : {std::pair{1, 20}, {2, 30}, {0, 20}, {7, 20}, {200, 20}}) {
        const int i = PlaceText(score, s, kText, 50, 60, font, "x");
        EXPECT_EQ(Drawn(score, s, i).at(0).width, size) << "font " << font;
    }
}

TEST(TextObjects, FileNamePlaceholdersAreCutToTheirLengthsOnCharacters) {
    TextEnv env;
    const std::string folder = "/home/\xC3\xA9l\xC3\xA8ve/" + std::string(150, 'd') + "/";
    const std::string name = std::string(31, 'n') + "\xC3\xA9.swn";
    env.filePath = folder + name;
    const std::string path = ExpandPlaceholder("@F", env);
    // 144 characters, two of them two bytes long.
    EXPECT_EQ(path.size(), 146u);
    EXPECT_EQ(path, env.filePath.substr(0, 146));
    // 31 letters, a two-byte letter: 32 characters, the extension gone.
    EXPECT_EQ(ExpandPlaceholder("@n", env), std::string(31, 'n') + "\xC3\xA9");
    env.filePath = "/tmp/short.swn";
    EXPECT_EQ(ExpandPlaceholder("@f", env), "/tmp/short.swn");
    EXPECT_EQ(ExpandPlaceholder("@N", env), "short.swn");
}

TEST(TextObjects, BoxedTextIsFramedASpaceBeyondEachEnd) {
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    using Seg = std::tuple<int, int, int, int>;
    std::vector<Seg> frame;
    for (const auto& c : Drawn(score, s, PlaceText(score, s, kText, 100, 50, 1, "abcd", 0x08)))
        if (c.what == "line")
            frame.emplace_back(std::min(c.x1, c.x2), std::min(c.y1, c.y2), std::max(c.x1, c.x2),
                               std::max(c.y1, c.y2));
    std::sort(frame.begin(), frame.end());
    // Recorded text is six pixels a character and twelve high; a space is six.
    EXPECT_EQ(frame,
              (std::vector<Seg>{
                  {94, 50, 94, 62}, {94, 50, 130, 50}, {94, 62, 130, 62}, {130, 50, 130, 62}}));
}

TEST(TextObjects, GlobalTextIsGreenOnScreenAndBlackInPrint) {
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    const int global = PlaceText(score, s, kText, 40, 20, 1, "Tutti", 0x01);
    const int plain = PlaceText(score, s, kText, 40, 20, 1, "Tutti");
    // How much of the ink is green on screen (black in print), and all the ink.
    auto inks = [&](int i, bool print) {
        Pictures pic;
        pic.ctx.printMode = print;
        PictureSurface surface(pic.ctx);
        DrawTextObject(surface, score, s, i, {}, {});
        const QImage& page = print ? pic.print : pic.screen;
        return std::pair(InkOf(page, print ? qRgb(0, 0, 0) : qRgb(0, 0x80, 0)).count,
                         InkOf(page).count);
    };
    for (bool print : {false, true}) {
        const auto [coloured, all] = inks(global, print);
        EXPECT_GT(all, 0);
        EXPECT_EQ(coloured, all) << "print " << print;
    }
    EXPECT_EQ(inks(plain, false).first, 0);
}

}  // namespace
}  // namespace sw
