// The glyph table as data: names, ink widths, nudges, line spacing and the sized
// accidentals used inside text.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "layout/GlyphTable.h"

namespace sw {
namespace {

std::array<int, 4> Corners(const GlyphBox& b) {
    return {b.left, b.right, b.top, b.bottom};
}

TEST(GlyphTable, NamesFollowTheCodeTableAndBlanksFallBackToNothing) {
    // One code from each run of the table, so a run shifted by one shows up.
    std::istringstream samples(
        "0 ACLEF 3 GCLEF 8 0 18 16 22 1_ 25 4_ 35 64D 39 BARLINE 49 0Z 56 64Z 59 8U2 95 64U2 "
        "96 64D2 102 64D0 105 TURNROT 109 16UX 133 USER0 148 8us 155 64ds 156 SEMIBREV "
        "167 SFZ 179 DOT3 180 horitwid 190 fb0 212 fb4x2x 216 Diamond 224 dottedbarline "
        "230 0Z2 237 64Z2 242 15MA 244 finger0 253 finger9 255 tinyblack");
    int code;
    std::string name;
    while (samples >> code >> name) {
        EXPECT_EQ(GlyphBaseName(code), name) << code;
        EXPECT_EQ(GlyphResourceName(code, false), "bm" + name);
        EXPECT_EQ(GlyphResourceName(code, true), "hbm" + name);
    }
    int named = 0;
    for (code = 0; code < 256; ++code)
        named += GlyphHasArt(code) ? 1 : 0;
    EXPECT_EQ(named, 254);
    for (int blank : {243, 254, -1, 256, 1000}) {
        EXPECT_FALSE(GlyphHasArt(blank)) << blank;
        EXPECT_EQ(GlyphResourceName(blank, false), "bmNOTHING") << blank;
        EXPECT_EQ(GlyphResourceName(blank, true), "hbmNOTHING") << blank;
    }
}

TEST(GlyphTable, InkWidthCountsOnlyBoxesUpTo31Wide) {
    // Empty boxes run backwards (left 41, right 0) and must not give a negative width.
    for (int code : {243, 254, 255}) {
        EXPECT_EQ(Corners(GlyphInkBox(code)), (std::array{41, 0, 64, 0})) << code;
        EXPECT_EQ(GlyphInkWidth(code), 0) << code;
    }
    EXPECT_EQ(GlyphInkWidth(-5) + GlyphInkWidth(256), 0);
    // The rising wavy hook (35 wide) and the 15ma mark (40) count as zero for spacing.
    for (int code : {107, 242}) {
        ASSERT_GT(GlyphInkBox(code).right - GlyphInkBox(code).left, 31) << code;
        EXPECT_EQ(GlyphInkWidth(code), 0) << code;
    }
    ASSERT_EQ(GlyphInkBox(160).right - GlyphInkBox(160).left, 31);
    EXPECT_EQ(GlyphInkWidth(160), 31);
}

TEST(GlyphTable, TellingNudgesAreInPlace) {
    // code, screen x, y, print x, y
    std::vector<std::array<int, 5>> rows = {
        {71, 6, -8, 0, 0},  {76, 5, 25, 0, 0},  {78, 9, 0, 0, 0},   {49, 8, 0, 0, 0},
        {50, 8, 1, 0, 0},   {51, 8, -1, 0, 0},  {30, 1, -2, 0, 0},  {32, 1, -10, 0, 0},
        {34, 1, -16, 0, 0}, {33, 0, 3, 0, 0},   {35, 0, 12, 0, 0},  {25, 2, -1, -9, 3},
        {22, 0, 0, -4, 0},  {59, 1, -14, 1, 0}, {61, 1, -14, 1, 0}, {63, 1, -14, 1, 0},
        {60, -2, 14, 3, 0}, {62, -2, 14, 3, 0}, {64, -2, 14, 3, 0}, {-1, 0, 0, 0, 0},
        {243, 0, 0, 0, 0},  {256, 0, 0, 0, 0},
    };
    for (int d = 0; d < 10; ++d) {
        rows.push_back({244 + d, 4, 0, 0, 0});
        rows.push_back({190 + d, 0, 0, 0, 2});
    }
    for (const auto& r : rows) {
        const Nudge s = ScreenNudge(r[0]), p = PrintNudge(r[0]);
        EXPECT_EQ((std::array{r[0], s.x, s.y, p.x, p.y}), r);
    }
}

TEST(GlyphTable, LineSpacingBySizeFlag) {
    EXPECT_EQ((std::array{LineSpacing(0), HalfSpace(0), TwoSpaces(0)}), (std::array{8, 4, 16}));
    EXPECT_EQ((std::array{LineSpacing(1), HalfSpace(1), TwoSpaces(1)}), (std::array{5, 2, 10}));
    EXPECT_EQ(LineSpacing(2), 5);
}

TEST(GlyphTable, TextAccidentalsPickTheSizeClassFromThePointSize) {
    std::istringstream classes(
        "1 006 7 006 8 010 10 010 11 015 19 015 20 026 28 026 29 032 35 032 36 040 44 040 "
        "45 050 96 050");
    int points;
    std::string cls;
    while (classes >> points >> cls) {
        EXPECT_EQ(TextAccidentalName(points, 1, false), "bmSHARP" + cls) << points;
        EXPECT_EQ(TextAccidentalName(points, 0, false), "bmNAT" + cls) << points;
        EXPECT_EQ(TextAccidentalName(points, -1, true), "hbmFLAT" + cls) << points;
    }
    // The 020 strips are in the resources, but no type size may reach them.
    for (points = 0; points <= 200; ++points)
        EXPECT_EQ(TextAccidentalName(points, 1, false).find("020"), std::string::npos) << points;
}

}  // namespace
}  // namespace sw
