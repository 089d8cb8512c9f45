// The engine's stages on small drawn pictures: staves and systems, line
// removal, components, and the symbols of a stave.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "Engine.h"
#include "core/Bmp1.h"

namespace veltro {
namespace {

constexpr int kSpace = 20;

void Fill(Image& img, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            img.set(x, y);
}

void Ellipse(Image& img, double cx, double cy, double rx, double ry, double hole = 0) {
    for (int y = static_cast<int>(cy - ry) - 1; y <= cy + ry + 1; ++y)
        for (int x = static_cast<int>(cx - rx) - 1; x <= cx + rx + 1; ++x) {
            const double dx = (x - cx) / rx, dy = (y - cy) / ry;
            const double ix = (x - cx) / (rx - hole), iy = (y - cy) / (ry - hole);
            if (dx * dx + dy * dy <= 1 && (hole == 0 || ix * ix + iy * iy > 1)) img.set(x, y);
        }
}

// Five lines two pixels thick, the top one at `top`.
void DrawStave(Image& img, int top, int left, int right) {
    for (int k = 0; k < 5; ++k)
        Fill(img, left, top + k * kSpace, right, top + k * kSpace + 1);
}

TEST(EngineStages, StavesAndTheSystemsTheLeftLineJoins) {
    Image img(400, 420);
    DrawStave(img, 40, 30, 369);
    DrawStave(img, 180, 30, 369);
    DrawStave(img, 320, 30, 369);
    Fill(img, 30, 40, 31, 261);  // joins the first two
    const std::vector<Stave> staves = FindStaves(img);
    ASSERT_EQ(staves.size(), 3u);
    EXPECT_DOUBLE_EQ(staves[0].space, kSpace);
    EXPECT_DOUBLE_EQ(staves[1].top(), 180.5);
    EXPECT_EQ(staves[0].thickness, 2);
    EXPECT_EQ(staves[0].left, 30);
    EXPECT_EQ(staves[0].right, 369);
    EXPECT_EQ(staves[2].step(staves[2].middle() + 24), 2);
    EXPECT_EQ(FindSystems(img, staves), (std::vector<int>{0, 0, 1}));
}

TEST(EngineStages, ASlopingPageIsLevelled) {
    Image img(600, 300);
    for (int k = 0; k < 5; ++k)
        for (int x = 20; x < 580; ++x)
            for (int t = 0; t < 2; ++t)
                img.set(x, static_cast<int>(std::lround(100 + k * kSpace + 0.008 * x)) + t);
    const double slope = EstimateSlope(img);
    EXPECT_NEAR(slope, 0.008, 0.0015);
    const std::vector<Stave> staves = FindStaves(Level(img, slope));
    ASSERT_EQ(staves.size(), 1u);
    EXPECT_NEAR(staves[0].space, kSpace, 0.5);
    EXPECT_NEAR(EstimateSlope(Level(img, slope)), 0, 0.0015);
}

TEST(EngineStages, LineRemovalKeepsWhatCrossesTheLines) {
    Image img(300, 200);
    DrawStave(img, 40, 20, 279);
    Fill(img, 150, 30, 151, 130);  // a stroke across every line
    const Image clean = RemoveStaveLines(img, FindStaves(img));
    EXPECT_FALSE(clean.ink(100, 60));
    EXPECT_FALSE(clean.ink(100, 120));
    EXPECT_TRUE(clean.ink(150, 60));
    EXPECT_TRUE(clean.ink(151, 100));
    const Components comps = FindComponents(clean);
    ASSERT_EQ(comps.list.size(), 1u);
    EXPECT_EQ(comps.list[0].height(), 101);
}

TEST(EngineStages, ComponentsTouchAtCorners) {
    Image img(40, 20);
    Fill(img, 2, 2, 5, 5);
    Fill(img, 6, 6, 8, 8);  // touches the first at a corner
    Fill(img, 20, 2, 30, 3);
    const Components c = FindComponents(img);
    ASSERT_EQ(c.list.size(), 2u);
    EXPECT_EQ(c.list[0].area, 16 + 9);
    EXPECT_EQ(c.at(7, 7, img.width), 0);
    EXPECT_EQ(c.at(25, 3, img.width), 1);
    EXPECT_EQ(c.at(10, 10, img.width), -1);
}

TEST(EngineStages, TheSymbolsOfAStave) {
    // Wide enough that only the stave lines are long runs.
    Image img(640, 220);
    DrawStave(img, 40, 10, 629);
    Fill(img, 20, 10, 55, 150);      // a treble clef's size and place
    Ellipse(img, 150, 80.5, 12, 9);  // a filled head on the middle line, stem up
    Fill(img, 161, 12, 162, 80);
    Ellipse(img, 200, 90.5, 13, 9, 3);  // an open head in a space, stem down
    Fill(img, 187, 90, 188, 160);
    for (int x : {260, 300}) {  // two quavers beamed, stems up
        Ellipse(img, x, 100.5, 12, 9);
        Fill(img, x + 11, 34, x + 12, 100);
    }
    Fill(img, 271, 34, 312, 43);
    Fill(img, 340, 60, 362, 69);        // a semibreve rest hangs from the second line
    Fill(img, 380, 39, 381, 122);       // a bar line
    Ellipse(img, 410, 50.5, 15, 9, 4);  // a semibreve above the third line
    const std::vector<Stave> staves = FindStaves(img);
    ASSERT_EQ(staves.size(), 1u);
    const Image clean = RemoveStaveLines(img, staves);
    const StaveSymbols s = FindSymbols(img, clean, FindComponents(clean), staves, 0);
    ASSERT_EQ(s.clefs.size(), 1u);
    EXPECT_EQ(s.clefs[0].kind, ClefKind::Treble);
    ASSERT_EQ(s.barlines.size(), 1u);
    EXPECT_NEAR(s.barlines[0].x, 380.5, 0.6);
    ASSERT_EQ(s.chords.size(), 6u);
    const Chord& crotchet = s.chords[0];
    EXPECT_TRUE(crotchet.hasStem);
    EXPECT_TRUE(crotchet.stemUp);
    EXPECT_FALSE(crotchet.open);
    ASSERT_EQ(crotchet.heads.size(), 1u);
    EXPECT_EQ(crotchet.heads[0].step, 0);
    const Chord& minim = s.chords[1];
    EXPECT_TRUE(minim.open);
    EXPECT_FALSE(minim.stemUp);
    EXPECT_EQ(minim.heads[0].step, 1);
    EXPECT_EQ(s.chords[2].beamRight, 1);
    EXPECT_EQ(s.chords[3].beamLeft, 1);
    EXPECT_EQ(s.chords[2].beamGroup, s.chords[3].beamGroup);
    EXPECT_GE(s.chords[2].beamGroup, 0);
    EXPECT_EQ(s.chords[2].heads[0].step, 2);
    EXPECT_EQ(crotchet.beamGroup, -1);
    EXPECT_EQ(crotchet.flags, 0);
    EXPECT_TRUE(s.chords[4].rest);
    EXPECT_EQ(s.chords[4].restShape, Shape::SemibreveRest);
    EXPECT_EQ(s.chords[4].restStep, -2);
    EXPECT_FALSE(s.chords[5].hasStem);
    EXPECT_TRUE(s.chords[5].open);
    EXPECT_EQ(s.chords[5].heads[0].step, -3);
}

TEST(EngineStages, ReadsOneBitPicturesAndTheirResolution) {
    sw::Mask m;
    m.width = 30;
    m.height = 20;
    m.ink.assign(600, 0);
    m.ink[5 * 30 + 7] = 1;
    const std::string dir = ::testing::TempDir();
    std::ofstream(dir + "/page.bmp", std::ios::binary) << sw::EncodeBmp1(m, 240);
    std::ofstream(dir + "/text.bmp") << "not a picture";
    Image img;
    int dpi = 0;
    std::string error;
    ASSERT_TRUE(ReadBmp(dir + "/page.bmp", img, dpi, error));
    EXPECT_EQ(dpi, 240);
    EXPECT_TRUE(img.ink(7, 5));
    EXPECT_FALSE(img.ink(8, 5));
    EXPECT_FALSE(ReadBmp(dir + "/text.bmp", img, dpi, error));
    EXPECT_NE(error.find("not a 1-bit BMP"), std::string::npos);
    EXPECT_FALSE(ReadBmp(dir + "/missing.bmp", img, dpi, error));
    // Pictures that say nothing else say 72.
    const std::string plain = sw::EncodeBmp1(m);
    EXPECT_EQ(sw::Bmp1Resolution(reinterpret_cast<const uint8_t*>(plain.data()), plain.size()), 72);
}

TEST(EngineStages, ResultFileLinesStayShortAndCarryTheSpacing) {
    Image img(440, 220);
    DrawStave(img, 40, 10, 429);
    const PageResult r = Recognise(img, Options{});
    const std::string text = WriteResult(r, std::string(400, '"'));
    EXPECT_NE(text.find("spacing 20480"), std::string::npos);
    EXPECT_NE(text.find("unitsperstavespacing 16"), std::string::npos);
    for (std::size_t at = 0, next; at < text.size(); at = next + 1) {
        next = text.find('\n', at);
        ASSERT_NE(next, std::string::npos);
        EXPECT_LT(next - at, 256u);
    }
}

}  // namespace
}  // namespace veltro
