// The PDF, read back by Ghostscript, against the print pictures: each page
// holds exactly its picture (the vector PDF: its ink within a pixel), inside
// the margins, on paper of the score's size.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PrintJob.h"
#include "render/Printing.h"
#include "render/Text.h"
#include "render/VectorExport.h"
#include "support/Ghostscript.h"
#include "support/InkCompare.h"

namespace sw {
namespace {

bool Ink(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

// Pixels of `picture` that differ from the sheet's at (left, top) onwards.
long Differences(const QImage& sheet, const QImage& picture, int left, int top) {
    long n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int sx = left + x, sy = top + y;
            const bool sheetInk = sx >= 0 && sy >= 0 && sx < sheet.width() && sy < sheet.height() &&
                                  Ink(sheet, sx, sy);
            n += sheetInk != Ink(picture, x, y);
        }
    return n;
}

// Prints pages 1..pages of the score to a PDF and compares each page of it,
// read back at the print picture's resolution, with the picture itself.
void ComparePdfWithPictures(Score& score, int pages, const DrawSettings& settings,
                            bool vector = false) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("score.pdf");
    GlyphStore glyphs;
    ScriptedHost quiet;
    if (vector)
        ASSERT_TRUE(WriteVectorPdf(pdf.toStdString(), glyphs, score, 1, pages, settings, quiet));
    else
        ASSERT_TRUE(WritePdf(pdf.toStdString(), glyphs, score, 1, pages, settings, quiet));

    // The paper is the score's, rounded to whole points.
    const std::vector<test::PdfPageBox> boxes = test::PdfPageBoxes(pdf);
    ASSERT_EQ(static_cast<int>(boxes.size()), pages);
    for (const test::PdfPageBox& box : boxes) {
        EXPECT_NEAR(box.width, score.page.Width * 72, 0.5);
        EXPECT_NEAR(box.height, score.page.Length * 72, 0.5);
    }

    const PrintPicture geometry = PrintPictureGeometry(score);
    const int dpi = static_cast<int>(std::lround(geometry.scale));
    ASSERT_DOUBLE_EQ(geometry.scale, dpi) << "the PDF is written at whole dots per inch";
    const std::vector<QImage> sheets = test::RasterizePdf(pdf, dpi);
    ASSERT_EQ(static_cast<int>(sheets.size()), pages);

    // Where the PDF printer places each page: its paper has no unprintable edges.
    PrinterCaps caps;
    caps.dpiX = caps.dpiY = dpi;
    caps.offsetLeft = caps.offsetTop = caps.offsetRight = caps.offsetBottom = 0;
    QImage picture(geometry.width, geometry.height, QImage::Format_RGB32);
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const QImage& sheet = sheets[static_cast<std::size_t>(page - 1)];
        RenderPrintPage(picture, glyphs, score, page, settings);
        const PaperRect at = PaperPosition(score, page, caps);
        ASSERT_LE(at.x + picture.width(), sheet.width());
        ASSERT_LE(at.y + picture.height(), sheet.height());
        if (vector) {
            // Paths and text are not the picture's pixels: the ink must agree
            // within a pixel, both ways.
            const QImage placed = sheet.copy(at.x, at.y, picture.width(), picture.height());
            EXPECT_GE(test::InkNear(picture, placed), 0.99) << "print picture ink missing in PDF";
            EXPECT_GE(test::InkNear(placed, picture), 0.99) << "PDF ink not in the print picture";
        }
        const long differences = vector ? 0 : Differences(sheet, picture, at.x, at.y);
        if (differences != 0) {
            // Name the shift that would match, to tell misplacement from damage.
            std::string shifts;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx || dy) && Differences(sheet, picture, at.x + dx, at.y + dy) == 0)
                        shifts += " (" + std::to_string(dx) + "," + std::to_string(dy) + ")";
            ADD_FAILURE() << differences << " pixels differ from the print picture"
                          << (shifts.empty() ? "" : "; it matches moved by") << shifts;
        }
        // Nothing else is on the paper.
        long outside = 0;
        for (int y = 0; y < sheet.height(); ++y)
            for (int x = 0; x < sheet.width(); ++x)
                if (x < at.x || y < at.y || x >= at.x + picture.width() ||
                    y >= at.y + picture.height())
                    outside += Ink(sheet, x, y);
        EXPECT_EQ(outside, 0) << "ink outside the picture's place";
    }
}

// Page 1 as SVG, drawn by Qt's SVG renderer and by rsvg-convert, against its
// print picture.
void CompareSvgWithPicture(Score& score, const DrawSettings& settings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("page.svg");
    GlyphStore glyphs;
    ScriptedHost quiet;
    ASSERT_TRUE(WriteSvgPage(path.toStdString(), glyphs, score, 1, settings, quiet));
    QSvgRenderer svg(path);
    ASSERT_TRUE(svg.isValid());
    const PrintPicture geometry = PrintPictureGeometry(score);
    PrinterCaps caps;
    caps.dpiX = caps.dpiY = static_cast<int>(std::lround(geometry.scale));
    caps.offsetLeft = caps.offsetTop = caps.offsetRight = caps.offsetBottom = 0;
    QImage sheet(static_cast<int>(std::lround(score.page.Width * caps.dpiX)),
                 static_cast<int>(std::lround(score.page.Length * caps.dpiY)),
                 QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        svg.render(&painter);
    }
    const QImage other = test::RasterizeSvg(path, sheet.width(), sheet.height());
    ASSERT_EQ(other.size(), sheet.size());
    QImage picture(geometry.width, geometry.height, QImage::Format_RGB32);
    RenderPrintPage(picture, glyphs, score, 1, settings);
    const PaperRect at = PaperPosition(score, 1, caps);
    for (const QImage* drawn : {static_cast<const QImage*>(&sheet), &other}) {
        SCOPED_TRACE(drawn == &sheet ? "Qt SVG" : "rsvg-convert");
        const QImage placed = drawn->copy(at.x, at.y, picture.width(), picture.height());
        EXPECT_GE(test::InkNear(picture, placed), 0.99) << "print picture ink missing in SVG";
        EXPECT_GE(test::InkNear(placed, picture), 0.99) << "SVG ink not in the print picture";
    }
}

std::vector<std::string> ExampleScores() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(STAFFWRIGHT_SOURCE_DIR "/examples"))
        if (e.path().extension() == ".swn") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PdfExample : public ::testing::TestWithParam<std::string> {};

TEST_P(PdfExample, EveryPageIsItsPrintPictureInsideTheMargins) {
    const std::string path = STAFFWRIGHT_SOURCE_DIR "/examples/" + GetParam() + ".swn";
    auto score = std::make_unique<Score>();  // too large for the stack
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    const OpenResult opened = OpenForDisplay(*score, path, host, measurer);
    ASSERT_TRUE(opened.load.ok);
    ASSERT_GT(opened.pages.pages, 0);
    DrawSettings settings;
    settings.textEnv.filePath = path;
    settings.textEnv.now = 1700000000;  // dates in headers are the same in both
    ComparePdfWithPictures(*score, opened.pages.pages, settings);
    ComparePdfWithPictures(*score, opened.pages.pages, settings, true);
    CompareSvgWithPicture(*score, settings);
}

INSTANTIATE_TEST_SUITE_P(Examples, PdfExample, ::testing::ValuesIn(ExampleScores()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(PdfCompare, ExamplesAreThere) {
    EXPECT_GE(ExampleScores().size(), 3u);
}

// What the examples do not have: landscape paper, both a standard size
// turned and one that is no standard size, facing pages with a gutter, and
// resolutions at which the page height in pixels is not whole.
struct Paper {
    const char* name;
    double width, length, staveSize;
};
void PrintTo(const Paper& paper, std::ostream* out) {
    *out << paper.name;
}
class PdfLandscape : public ::testing::TestWithParam<Paper> {};

TEST_P(PdfLandscape, FacingPagesWithAGutter) {
    auto score = std::make_unique<Score>();
    score->staveSize = GetParam().staveSize;
    score->page.landscape = true;
    score->page.Width = GetParam().width;
    score->page.Length = GetParam().length;
    score->page.LeftM = 0.5;
    score->page.GutM = 0.75;
    score->page.RightM = 0.4;
    score->page.TopM = 0.6;
    score->page.BotM = 0.45;
    score->page.Facing = true;
    for (int p = 1; p <= 2; ++p) {
        const int s = AppendStave(*score, 60 + 40 * p, 0, 600);
        score->stave(s).h.PageNum = static_cast<uint16_t>(p);
        PlaceNote(*score, s, 100 + 50 * p, 2, 3);
    }
    score->pageCount = 2;
    ComparePdfWithPictures(*score, 2, DrawSettings{});
    ComparePdfWithPictures(*score, 2, DrawSettings{}, true);
}

INSTANTIATE_TEST_SUITE_P(Papers, PdfLandscape,
                         ::testing::Values(Paper{"A4", 11.69, 8.27, 0.375},  // 256 dpi
                                           Paper{"Odd", 10.5, 7.3, 0.32}),   // 300 dpi
                         [](const auto& info) { return std::string(info.param.name); });

// A symbol's curves are written once: each further note costs the PDF a few
// bytes (its place and its stem), never its note head's outline again.
TEST(VectorPdf, MoreNotesCostAFewBytesEach) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    GlyphStore glyphs;
    auto bytesFor = [&](int notes) -> qint64 {
        auto score = std::make_unique<Score>();
        for (int s = 1; s <= 10; ++s) {
            const int st = AppendStave(*score, 60 * s, 0, 700);
            score->stave(st).h.PageNum = 1;
            for (int n = 0; n < notes; ++n)
                PlaceNote(*score, st, 40 + 6 * n, n % 9 - 4, 2 + n % 3);
        }
        score->pageCount = 1;
        const QString pdf = dir.filePath(QString("notes-%1.pdf").arg(notes));
        ScriptedHost quiet;
        EXPECT_TRUE(WriteVectorPdf(pdf.toStdString(), glyphs, *score, 1, 1, DrawSettings{}, quiet));
        return QFileInfo(pdf).size();
    };
    const qint64 few = bytesFor(10), many = bytesFor(100);
    ASSERT_GT(few, 0);
    EXPECT_LT(static_cast<double>(many - few) / 900, 40) << few << " and " << many << " bytes";
}

}  // namespace
}  // namespace sw
