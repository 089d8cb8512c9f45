// The vector surface against the print picture: every kind of object drawn
// both ways agrees within a pixel; glyphs come from the outline table, and
// what has no outline falls back to its bitmap.
#include <gtest/gtest.h>

#include <QPainter>

#include "layout/Gallery.h"
#include "layout/GlyphTable.h"
#include "layout/StaveLayout.h"
#include "render/GlyphOutlines.h"
#include "render/GlyphStore.h"
#include "render/PageView.h"
#include "render/VectorSurface.h"
#include "support/InkCompare.h"

namespace sw {
namespace {

QImage White(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(VectorSurface, GalleryMatchesThePrintPicture) {
    GlyphStore glyphs;
    Score score = BuildGalleryScore();
    for (int s = 1; s <= score.Nstaves; ++s)
        LayOutStaveGeometry(score, s);
    const int w = 3 * kGalleryWidth, h = 3 * (score.stave(score.Nstaves).h.Ycoord + 60);
    QImage picture = White(w, h), vector = White(w, h);
    PictureSurface raster(PictureContext(picture, glyphs, true));
    QPainter painter(&vector);
    VectorSurface paths(painter, glyphs, QPoint());
    for (Surface* out : {static_cast<Surface*>(&raster), static_cast<Surface*>(&paths)}) {
        DrawBraces(*out, score, 1, score.Nstaves, 0);
        for (int s = 1; s <= score.Nstaves; ++s)
            DrawStave(*out, score, s, 0, kAllKinds, DrawSettings{}, PageViewState{}, kGalleryWidth);
    }
    painter.end();
    EXPECT_GE(test::InkNear(picture, vector), 0.99);
    EXPECT_GE(test::InkNear(vector, picture), 0.99);
    // Not trivially: the gallery has ink, and a shifted copy does not match.
    EXPECT_LT(test::InkNear(picture, vector.copy(9, 9, w, h)), 0.9);
}

TEST(VectorSurface, EveryGlyphWithArtHasAnOutline) {
    int without = 0;
    for (int code = 0; code < 256; ++code) {
        if (GlyphHasArt(code))
            EXPECT_FALSE(GlyphOutline(code).empty())
                << "code " << code << " " << GlyphBaseName(code);
        else
            without += GlyphOutline(code).empty();
    }
    EXPECT_GT(without, 0) << "codes without art have no outline either";
}

TEST(VectorSurface, OutlineTextIsReadOrRefusedWhole) {
    const std::vector<QPainterPath> two = ParseOutline("M0 0L4 0C4 2 2 4 0 4|M10 10L12 10L12 12");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].elementCount(), 5);
    EXPECT_EQ(two[0].fillRule(), Qt::WindingFill);
    EXPECT_TRUE(ParseOutline("M0 0L4").empty());
    EXPECT_TRUE(ParseOutline("M0 0X4 4").empty());
    EXPECT_TRUE(ParseOutline("C1 2 3").empty());
}

TEST(VectorSurface, NamedBitmapsAndTextSignsFallBackToTheirBitmaps) {
    GlyphStore glyphs;
    QImage picture = White(200, 200), vector = White(200, 200);
    PictureSurface raster(PictureContext(picture, glyphs, true));
    QPainter painter(&vector);
    VectorSurface paths(painter, glyphs, QPoint());
    raster.namedBitmap("hbmAnchor", 100, 100, 1.0, false, false, 0);
    paths.namedBitmap("hbmAnchor", 100, 100, 1.0, false, false, 0);
    painter.end();
    EXPECT_EQ(picture, vector);
    EXPECT_NE(picture, White(200, 200));
}

}  // namespace
}  // namespace sw
