// The rulers: where the marks and numbers go for inches and centimetres, and
// what a drawn ruler holds.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <tuple>
#include <vector>

#include "render/PageView.h"
#include "render/Rulers.h"

namespace sw {
namespace {

using Ints = std::vector<int>;

Ints Field(const std::vector<RulerMark>& marks, int RulerMark::*field, std::size_t n) {
    Ints out;
    for (std::size_t i = 0; i < n && i < marks.size(); ++i)
        out.push_back(marks[i].*field);
    return out;
}

TEST(RulerMarks, TenthsOfAnInchOrCentimetreNumberedAtEachWholeOne) {
    // A 0.3-inch stave: 106.67 pixels an inch.
    const std::vector<RulerMark> inches = RulerMarks(32 / 0.3, false, 300);
    EXPECT_EQ(Field(inches, &RulerMark::at, 12),
              (Ints{0, 11, 21, 32, 43, 53, 64, 75, 85, 96, 107, 117}));
    EXPECT_EQ(Field(inches, &RulerMark::length, 12),
              (Ints{20, 10, 10, 10, 10, 15, 10, 10, 10, 10, 20, 10}));
    EXPECT_EQ(Field(inches, &RulerMark::number, 11),
              (Ints{0, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1}));
    // The ruler runs 25 pixels past the picture: 324 is the last pixel.
    EXPECT_LT(inches.back().at, 325);
    EXPECT_GE(inches.back().at + 11, 325);
    EXPECT_EQ(inches[30].number, 3);

    // 128 pixels an inch is 50.4 a centimetre.
    const std::vector<RulerMark> cm = RulerMarks(128, true, 200);
    EXPECT_EQ(Field(cm, &RulerMark::at, 6), (Ints{0, 5, 10, 15, 20, 25}));
    EXPECT_EQ(cm[10].at, 50);
    EXPECT_EQ(cm[10].number, 1);
    EXPECT_EQ(cm[20].at, 101);
    EXPECT_EQ(cm[20].number, 2);

    // Marks less than a pixel apart are left off; so is a picture of nothing.
    EXPECT_TRUE(RulerMarks(9, false, 500).empty());
    EXPECT_TRUE(RulerMarks(100, false, -1).empty());
}

TEST(RulerMarks, MarksRiseFromThePageSideAndNumbersSitBesideThem) {
    RulerMark whole;
    whole.at = 107, whole.length = 20, whole.number = 1;
    RulerMark tenth;
    tenth.at = 11;
    EXPECT_EQ(RulerMarkSpan(whole, true).from, 5);
    EXPECT_EQ(RulerMarkSpan(whole, true).to, 24);
    EXPECT_EQ(RulerMarkSpan(tenth, false).from, 0);
    EXPECT_EQ(RulerMarkSpan(tenth, false).to, 9);
    const RulerText top = RulerNumber(whole, true, 8);
    EXPECT_EQ(std::make_tuple(top.x, top.y, top.text), std::make_tuple(110, 12, std::string("1")));
    const RulerText left = RulerNumber(whole, false, 8);
    EXPECT_EQ(std::make_tuple(left.x, left.y, left.text),
              std::make_tuple(17, 117, std::string("1")));
    EXPECT_TRUE(RulerNumber(tenth, false, 8).text.empty());
}

const QRgb kGreen = qRgb(0, 0x80, 0), kWhite = qRgb(255, 255, 255);

int Count(const QImage& img, QRect r, QRgb c) {
    int n = 0;
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}

TEST(DrawnRuler, TheLeftRulerHasItsMarksItsNumbersAtX17AndATrackingLine) {
    QImage left(kRulerThickness, 300, QImage::Format_RGB32);
    RulerView v;
    v.top = false, v.pixelsPerInch = 100, v.origin = 30, v.extent = 200;
    DrawRuler(left, v);
    EXPECT_NE(left.pixel(0, 29), kWhite);  // before the picture
    EXPECT_EQ(left.pixel(24, 30), kWhite);
    EXPECT_EQ(left.pixel(24, 254), kWhite);  // 25 past its end
    EXPECT_NE(left.pixel(24, 255), kWhite);
    // The mark of 1 inch: 20 pixels from the outer edge.
    EXPECT_EQ(Count(left, QRect(0, 130, 25, 1), kGreen), 20);
    // Its number right of x 17, below the mark; nothing else green there.
    EXPECT_GT(Count(left, QRect(17, 131, 8, 10), kGreen), 0);
    EXPECT_EQ(Count(left, QRect(10, 131, 7, 9), kGreen), 0);

    const QImage before = left.copy();
    v.track = 55;
    DrawRuler(left, v);
    for (int x = 0; x < kRulerThickness; ++x)
        EXPECT_EQ(left.pixel(x, 85), ~before.pixel(x, 85) | 0xFF000000u) << x;
    for (int y : {84, 86})
        EXPECT_EQ(left.pixel(3, y), before.pixel(3, y)) << y;
}

TEST(DrawnRuler, TheTopRulerNumbersSitRightOfTheirMarks) {
    QImage top(400, kRulerThickness, QImage::Format_RGB32);
    RulerView v;
    v.pixelsPerInch = 100, v.centimetres = false, v.origin = 40, v.extent = 300;
    DrawRuler(top, v);
    EXPECT_EQ(Count(top, QRect(140, 0, 1, 25), kGreen), 20);
    EXPECT_EQ(Count(top, QRect(90, 0, 1, 25), kGreen), 15);
    EXPECT_GT(Count(top, QRect(143, 0, 8, 13), kGreen), 0);
    EXPECT_EQ(Count(top, QRect(120, 0, 15, 13), kGreen), 0);
}

}  // namespace
}  // namespace sw
