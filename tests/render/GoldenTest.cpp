// The golden pages: every page of every example and the gallery, at screen and
// print scale, compared pixel for pixel with the pictures under tests/golden/.
// `make golden` (SW_GOLDEN_UPDATE=1) writes them anew when a change is meant to
// alter what the pages look like.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "render/GalleryPicture.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/Text.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

const std::string kGoldenDir = STAFFWRIGHT_SOURCE_DIR "/tests/golden/";

bool Updating() {
    const char* v = std::getenv("SW_GOLDEN_UPDATE");
    return v && *v && std::string(v) != "0";
}

// The first differing pixel, or an empty string when the pictures agree.
std::string Compare(const QImage& want, const QImage& got) {
    if (want.size() != got.size())
        return "size " + std::to_string(got.width()) + "x" + std::to_string(got.height()) +
               ", golden " + std::to_string(want.width()) + "x" + std::to_string(want.height());
    long differing = 0;
    std::string first;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (want.pixel(x, y) != got.pixel(x, y)) {
                if (differing++ == 0)
                    first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
    return differing == 0 ? std::string() : std::to_string(differing) + " pixels differ," + first;
}

void CheckGolden(const QImage& picture, const std::string& name) {
    ASSERT_FALSE(picture.isNull()) << name;
    const std::string path = kGoldenDir + name + ".png";
    // Both sides through the same format, so the comparison is of pixels only.
    const QImage got = picture.convertToFormat(QImage::Format_RGB32);
    if (Updating()) {
        std::filesystem::create_directories(kGoldenDir);
        ASSERT_TRUE(got.save(QString::fromStdString(path), "PNG")) << path;
        return;
    }
    const QImage want(QString::fromStdString(path));
    ASSERT_FALSE(want.isNull()) << "no golden picture " << path << " (make golden writes it)";
    const std::string diff = Compare(want.convertToFormat(QImage::Format_RGB32), got);
    EXPECT_TRUE(diff.empty()) << name << ": " << diff;
}

std::vector<std::string> Examples() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(STAFFWRIGHT_SOURCE_DIR "/examples"))
        if (e.path().extension() == ".swn") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenExample : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenExample, EveryPageAtScreenAndPrintScale) {
    ScriptedHost host;
    auto score = std::make_unique<Score>();
    QtTextMeasurer measurer;
    const OpenResult opened = OpenForDisplay(
        *score, STAFFWRIGHT_SOURCE_DIR "/examples/" + GetParam() + ".swn", host, measurer);
    ASSERT_TRUE(opened.load.ok);
    ASSERT_GE(opened.pages.pages, 1);
    DrawSettings settings;
    // Header fields name the file and the day: the same on every machine.
    settings.textEnv.filePath = GetParam() + ".swn";
    settings.textEnv.now = 1700000000;
    GlyphStore glyphs;
    for (int page = 0; page <= opened.pages.pages; ++page) {
        const std::string stem = GetParam() + "-p" + std::to_string(page);
        QImage screen;
        ASSERT_TRUE(SetUpPagePicture(screen, *score, page, 32, false, host, PagePictureBudget()));
        DrawAll(PictureContext(screen, glyphs, false), *score, page, settings, PageViewState{});
        CheckGolden(screen, stem + "-screen");
        if (page > 0) CheckGolden(PagePicture(glyphs, *score, page, settings), stem + "-print");
    }
    EXPECT_HOST_CLEAN(host);
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenExample, ::testing::ValuesIn(Examples()),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(Golden, GalleryAtScreenAndPrintScale) {
    GlyphStore glyphs;
    CheckGolden(GalleryPicture(glyphs, false), "gallery-screen");
    CheckGolden(GalleryPicture(glyphs, true), "gallery-print");
}

}  // namespace
}  // namespace sw
