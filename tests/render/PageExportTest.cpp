// The page as a PCX or BMP file and on the clipboard: what is written, what a
// stopped or failed write leaves, and every turn of the clipboard questions.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "core/Bmp1.h"
#include "core/Pcx.h"
#include "core/ScriptedHost.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/Printing.h"

namespace sw {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Keeps the save dialog's settings and can stop a progress box after some steps.
class ExportHost : public ScriptedHost {
  public:
    int stepsBeforeCancel = -1;  // -1: never cancel
    FileDialogSpec lastSpec;
    std::optional<std::string> saveFileName(const FileDialogSpec& spec) override {
        lastSpec = spec;
        return ScriptedHost::saveFileName(spec);
    }
    bool progressStep(int percent) override {
        ++steps;
        if (stepsBeforeCancel >= 0 && steps > stepsBeforeCancel) return false;
        return ScriptedHost::progressStep(percent);
    }
    int steps = 0;
};

class PageExport : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("sw-export-" + std::to_string(rd()));
        fs::create_directories(dir);
        score.staveSize = 0.3;
        const int s = AppendStave(score, 100, 20, 600);
        score.stave(s).h.PageNum = 1;
        PlaceNote(score, s, 100, 0, 3, 1);
        score.pageCount = 1;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    Mask Expected() { return MaskOf(PagePicture(glyphs, score, 1, DrawSettings{})); }
    bool Export() { return ExportPagePicture(host, glyphs, score, 1, DrawSettings{}); }

    fs::path dir;
    Score score;
    GlyphStore glyphs;
    ExportHost host;
};

TEST_F(PageExport, PcxAndBmpFilesHoldThePrintPicture) {
    const Mask expected = Expected();
    ASSERT_GT(std::count(expected.ink.begin(), expected.ink.end(), 1), 100);

    const fs::path pcx = dir / "page.pcx";
    host.expectSaveFile(pcx.string());
    ASSERT_TRUE(Export());
    EXPECT_EQ(host.lastSpec.defaultExtension, "PCX");
    EXPECT_EQ(host.lastSpec.filter, "Paintbrush PCX|*.pcx|Windows bitmap BMP|*.bmp");
    EXPECT_TRUE(host.lastSpec.overwritePrompt);
    EXPECT_EQ(host.progressTexts(), std::vector<std::string>{"Saving PCX file"});
    const std::string pcxBytes = ReadFile(pcx);
    Mask back;
    ASSERT_TRUE(
        DecodePcx1(reinterpret_cast<const uint8_t*>(pcxBytes.data()), pcxBytes.size(), back));
    EXPECT_EQ(back.width, expected.width);
    EXPECT_EQ(back.height, expected.height);
    EXPECT_TRUE(back.ink == expected.ink);

    // The extension chosen decides the format.
    const fs::path bmp = dir / "page.BMP";
    host.expectSaveFile(bmp.string());
    ASSERT_TRUE(Export());
    const std::string bmpBytes = ReadFile(bmp);
    ASSERT_GE(bmpBytes.size(), 2u);
    EXPECT_EQ(bmpBytes.substr(0, 2), "BM");
    uint32_t palette[2];
    ASSERT_TRUE(DecodeBmp1(reinterpret_cast<const uint8_t*>(bmpBytes.data()), bmpBytes.size(), back,
                           palette));
    EXPECT_TRUE(back.ink == expected.ink);
    EXPECT_EQ(host.progressTexts().size(), 1u);  // no progress box for a bitmap
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"page.BMP", "page.pcx"}));
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(PageExport, CancelledDialogWritesNothing) {
    host.expectSaveFile(std::nullopt);
    EXPECT_FALSE(Export());
    EXPECT_TRUE(Entries(dir).empty());
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(PageExport, CancelledPcxLeavesNoFileAndKeepsTheOldOne) {
    // Even a nearly empty page takes more than one step, so it can be stopped midway.
    const fs::path fresh = dir / "fresh.pcx", old = dir / "old.pcx";
    std::ofstream(old, std::ios::binary) << "the old picture";
    host.stepsBeforeCancel = 1;
    host.expectSaveFile(fresh.string()).expectMessage("PCX writing aborted.");
    EXPECT_FALSE(Export());
    host.expectSaveFile(old.string()).expectMessage("PCX writing aborted.");
    host.steps = 0;
    EXPECT_FALSE(Export());
    EXPECT_GE(host.steps, 2);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"old.pcx"});
    EXPECT_EQ(ReadFile(old), "the old picture");
    EXPECT_EQ(host.progressDepth(), 0);  // the progress box is closed again
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(PageExport, UnwritablePlaceIsReportedNeverSuccess) {
    const fs::path missing = dir / "no such folder";
    host.expectSaveFile((missing / "page.pcx").string()).expectMessage("PCX writing aborted.");
    EXPECT_FALSE(Export());
    host.expectSaveFile((missing / "page.bmp").string())
        .expectMessage("An error has occurred during the writing of the file");
    EXPECT_FALSE(Export());
    for (const std::string& t : host.transcript())
        EXPECT_EQ(t.find("success"), std::string::npos) << t;
    // A folder in the way of the file name.
    fs::create_directories(dir / "taken.bmp");
    host.expectSaveFile((dir / "taken.bmp").string())
        .expectMessage("An error has occurred during the writing of the file");
    EXPECT_FALSE(Export());
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"taken.bmp"});
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

class Clipboard : public PageExport {
  protected:
    bool Copy(ClipboardPort& port) {
        return CopyPageToClipboard(host, port, glyphs, score, 1, DrawSettings{});
    }
    FakeClipboardPort fake;
};

TEST_F(Clipboard, DeclinedQuestionsLeaveTheClipboardAlone) {
    host.expectMessage("Copy this page to clipboard?", Answer::No);
    EXPECT_FALSE(Copy(fake));
    EXPECT_EQ(host.messageTypes().back(), MsgType::Confirmation);
    fake.holdsData = true;
    host.expectMessage("Copy this page to clipboard?", Answer::Yes)
        .expectMessage("The clipboard currently contains data.", Answer::No);
    EXPECT_FALSE(Copy(fake));
    EXPECT_EQ(fake.sets, 0);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Clipboard, OnlyAnIdenticalReadBackIsSuccess) {
    fake.damages = true;
    host.expectMessage("Copy this page to clipboard?", Answer::Yes)
        .expectMessage("Action failed. Not copied to clipboard.");
    EXPECT_FALSE(Copy(fake));
    EXPECT_EQ(host.messageTypes().back(), MsgType::Error);
    fake.damages = false;
    fake.keeps = false;
    fake.holdsData = false;
    host.expectMessage("Copy this page to clipboard?", Answer::Yes)
        .expectMessage("Action failed. Not copied to clipboard.");
    EXPECT_FALSE(Copy(fake));

    fake.keeps = true;
    fake.holdsData = true;
    host.expectMessage("Copy this page to clipboard?", Answer::Yes)
        .expectMessage("currently contains data", Answer::Yes)
        .expectMessage("Image has been successfully saved to clipboard.");
    EXPECT_TRUE(Copy(fake));
    EXPECT_EQ(MaskOf(fake.stored).ink, Expected().ink);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Clipboard, ThePlatformClipboardReadsBack) {
    QGuiApplication::clipboard()->clear();
    QtClipboardPort port;
    host.expectMessage("Copy this page to clipboard?", Answer::Yes);
    if (port.hasData()) host.expectMessage("currently contains data", Answer::Yes);
    host.expectMessage("Image has been successfully saved to clipboard.");
    ASSERT_TRUE(Copy(port));
    EXPECT_TRUE(port.hasData());
    const PrintPicture g = PrintPictureGeometry(score);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(g.width, g.height));
    // Now the clipboard holds data, so the next copy asks first.
    host.expectMessage("Copy this page to clipboard?", Answer::Yes)
        .expectMessage("currently contains data", Answer::No);
    EXPECT_FALSE(Copy(port));
    QGuiApplication::clipboard()->clear();
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// A marked block's picture is the page picture's part under the box.
TEST_F(PageExport, ABoxTakesItsPartOfThePrintPicture) {
    const QImage page = PagePicture(glyphs, score, 1, DrawSettings{});
    const QRect box(80, 80, 40, 50);
    const QImage part = PagePicture(glyphs, score, 1, DrawSettings{}, box);
    const double f = static_cast<double>(page.width()) / ComputePageGeometry(score).width;
    ASSERT_EQ(part.width(), static_cast<int>(box.width() * f));
    ASSERT_EQ(part.height(), static_cast<int>(box.height() * f));
    EXPECT_EQ(part, page.copy(static_cast<int>(80 * f), static_cast<int>(80 * f), part.width(),
                              part.height()));
    // The note at (100, 100) is in it.
    const Mask ink = MaskOf(part);
    EXPECT_GT(std::count(ink.ink.begin(), ink.ink.end(), 1), 20);
}

}  // namespace
}  // namespace sw
