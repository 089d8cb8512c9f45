// The pictures and PDFs the program writes survive any failure of the disk:
// the old file stays, no temporary file is left, the user is told once.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/ScriptedHost.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/PageExport.h"
#include "render/Printing.h"
#include "support/FailingIo.h"

namespace sw {
namespace {

TEST(WriteFaults, PdfPngBmpAndPcx) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    Score score;
    AppendStave(score, 100, 17, 600);
    PlaceNote(score, 1, 200, 0, 3);
    score.pageCount = 1;
    score.stave(1).h.PageNum = 1;
    GlyphStore glyphs;
    ScriptedHost host;
    host.setPermissive(true);
    std::size_t seen = 0;
    auto told = [&](bool ok) {
        const std::size_t shown = host.messageTypes().size() - seen;
        seen = host.messageTypes().size();
        EXPECT_EQ(shown, ok ? 0u : 1u);
        return ok;
    };
    const std::string pdf = folder + "/score.pdf";
    test::ExpectFailuresLeaveNoTrace(folder, pdf, [&](FileIo& io) {
        return told(WritePdf(pdf, glyphs, score, 1, 1, DrawSettings{}, host, io));
    });
    std::filesystem::remove(pdf);

    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const std::string png = folder + "/page.png";
    test::ExpectFailuresLeaveNoTrace(folder, png,
                                     [&](FileIo& io) { return WritePng(png, picture, io) == 0; });
    std::filesystem::remove(png);
    for (const char* name : {"/page.bmp", "/page.pcx"}) {
        const std::string path = folder + name;
        test::ExpectFailuresLeaveNoTrace(folder, path, [&](FileIo& io) {
            return told(SavePagePicture(path, picture, 300, host, io) == PictureWrite::Written);
        });
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace sw
