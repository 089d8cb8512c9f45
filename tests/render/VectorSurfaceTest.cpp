// The vector surface against the print picture: every kind of object drawn
// both ways agrees within a pixel; glyphs come from the outline table, and
// what has no outline falls back to its bitmap.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <cmath>
#include <optional>

#include "layout/Gallery.h"
#include "layout/GlyphTable.h"
#include "layout/StaveLayout.h"
#include "render/GlyphFont.h"
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

// Glyphs as outlines (SVG) and as glyphs of the glyph font (PDF).
TEST(VectorSurface, GalleryMatchesThePrintPicture) {
    GlyphStore glyphs;
    const GlyphFont font;
    ASSERT_TRUE(font.valid());
    Score score = BuildGalleryScore();
    for (int s = 1; s <= score.Nstaves; ++s)
        LayOutStaveGeometry(score, s);
    const int w = 3 * kGalleryWidth, h = 3 * (score.stave(score.Nstaves).h.Ycoord + 60);
    QImage picture = White(w, h), vector = White(w, h), fromFont = White(w, h);
    PictureSurface raster(PictureContext(picture, glyphs, true));
    QPainter painter(&vector), fontPainter(&fromFont);
    VectorSurface paths(painter, glyphs, QPoint());
    std::optional<PendingInk> ink(std::in_place, fontPainter, &font);
    VectorSurface named(fontPainter, glyphs, QPoint(), &*ink);
    for (Surface* out : {static_cast<Surface*>(&raster), static_cast<Surface*>(&paths),
                         static_cast<Surface*>(&named)}) {
        DrawBraces(*out, score, 1, score.Nstaves, 0);
        for (int s = 1; s <= score.Nstaves; ++s)
            DrawStave(*out, score, s, 0, kAllKinds, DrawSettings{}, PageViewState{}, kGalleryWidth);
    }
    ink.reset();
    painter.end();
    fontPainter.end();
    for (const QImage* drawn : {&vector, &fromFont}) {
        EXPECT_GE(test::InkNear(picture, *drawn), 0.99);
        EXPECT_GE(test::InkNear(*drawn, picture), 0.99);
    }
    // Not trivially: the gallery has ink, and a shifted copy does not match.
    EXPECT_LT(test::InkNear(picture, vector.copy(9, 9, w, h)), 0.9);
}

// Black ink waits to be drawn together, but never past a white-out: what is
// drawn after it in white still covers it, as on the print picture.
TEST(VectorSurface, WhiteOutsCoverTheInkThatWaits) {
    GlyphStore glyphs;
    const GlyphFont font;
    QImage page = White(300, 300);
    QPainter painter(&page);
    {
        PendingInk ink(painter, &font);
        VectorSurface surface(painter, glyphs, QPoint(), &ink);
        surface.glyph(glyph::GCLEF, 15, 15, 1.0, false, false, 0);
        surface.printBar(20, 20, 80, 26);
        surface.polygon(QPolygonF{{5, 20}, {25, 20}, {25, 22}, {5, 22}}, 0, true);
        surface.rectangle(0, 0, 66, 66, 0xFFFFFF, true, 0xFFFFFF);  // the white-out
        surface.printBar(20, 230, 80, 236);                         // ink after it stays
    }
    painter.end();
    int inkUnder = 0, inkAfter = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (qGray(page.pixel(x, y)) < 128) ++(y < 200 ? inkUnder : inkAfter);
    EXPECT_EQ(inkUnder, 0);
    EXPECT_GT(inkAfter, 0);
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

// The glyph font holds each outline piece as a glyph in cell pixels, its
// curves within a fraction of a pixel; what does not fit is refused whole.
TEST(GlyphFont, ShapesBecomeGlyphsInCellPixels) {
    QPainterPath square, circle, huge;
    square.addRect(10, 20, 30, 40);
    circle.addEllipse(QRectF(0, 0, 50, 50));
    huge.addRect(0, 0, 2000, 10);
    EXPECT_TRUE(BuildGlyphFont({square, huge}, "Test Glyphs").isEmpty());
    const QByteArray bytes = BuildGlyphFont({square, circle}, "Test Glyphs");
    QRawFont raw(bytes, kGlyphFontPixels, QFont::PreferNoHinting);
    ASSERT_TRUE(raw.isValid());
    const QByteArray maxp = raw.fontTable("maxp");
    ASSERT_GE(maxp.size(), 6);
    EXPECT_EQ(static_cast<uint8_t>(maxp[4]) << 8 | static_cast<uint8_t>(maxp[5]), 3) << "glyphs";
    const QRectF box = raw.pathForGlyph(1).boundingRect();
    EXPECT_NEAR(box.left(), 10, 0.05);
    EXPECT_NEAR(box.top(), 20, 0.05);
    EXPECT_NEAR(box.right(), 40, 0.05);
    EXPECT_NEAR(box.bottom(), 60, 0.05);
    const QPolygonF round = raw.pathForGlyph(2).toFillPolygon();
    ASSERT_GT(round.size(), 16);
    for (const QPointF& pt : round)
        EXPECT_NEAR(std::hypot(pt.x() - 25, pt.y() - 25), 25, 0.1) << pt.x() << "," << pt.y();
}

TEST(GlyphFont, EveryGlyphIsDrawnAsItsOutline) {
    const GlyphFont font;
    ASSERT_TRUE(font.valid());
    int drawn = 0;
    for (int code = 0; code < 256; ++code) {
        const std::vector<QPainterPath> pieces = GlyphOutline(code);
        const auto [first, count] = font.pieces(code);
        ASSERT_EQ(count, pieces.size()) << "code " << code;
        if (pieces.empty()) continue;
        QImage paths = White(200, 200), glyphs = White(200, 200);
        {
            QPainter painter(&paths);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::black);
            for (const QPainterPath& piece : pieces)
                painter.drawPath(piece);
        }
        QGlyphRun run;
        run.setRawFont(font.raw());
        QList<quint32> ids;
        QList<QPointF> at;
        for (quint32 k = 0; k < count; ++k) {
            ids << first + k;
            at << QPointF(0, 0);
        }
        run.setGlyphIndexes(ids);
        run.setPositions(at);
        {
            QPainter painter(&glyphs);
            painter.setPen(Qt::black);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        EXPECT_GE(test::InkNear(paths, glyphs), 0.99) << "code " << code;
        EXPECT_GE(test::InkNear(glyphs, paths), 0.99) << "code " << code;
        ++drawn;
    }
    EXPECT_GT(drawn, 200);
}

}  // namespace
}  // namespace sw
