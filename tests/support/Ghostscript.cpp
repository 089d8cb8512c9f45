// Ghostscript run as a separate process.
#include "support/Ghostscript.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <sstream>

namespace sw::test {
namespace {

bool Run(const char* program, const QStringList& args, QByteArray* out = nullptr) {
    QProcess gs;
    gs.start(QString::fromUtf8(program), args);
    if (!gs.waitForStarted()) {
        ADD_FAILURE() << program << " cannot be started: run scripts/install-deps";
        return false;
    }
    gs.waitForFinished(-1);
    if (gs.exitStatus() != QProcess::NormalExit || gs.exitCode() != 0) {
        ADD_FAILURE() << program << " failed: " << gs.readAllStandardError().toStdString()
                      << gs.readAllStandardOutput().toStdString();
        return false;
    }
    if (out) *out = gs.readAllStandardOutput();
    return true;
}

bool RunGhostscript(const QStringList& args, QByteArray* out = nullptr) {
    return Run(SW_GHOSTSCRIPT, args, out);
}

}  // namespace

std::vector<PdfPageBox> PdfPageBoxes(const QString& pdf) {
    const QFileInfo file(pdf);
    // Width and height of each box, which need not start at the origin.
    const QString program = QStringLiteral(
                                "(%1) (r) file runpdfbegin 1 1 pdfpagecount "
                                "{pdfgetpage /MediaBox pget pop aload pop "
                                "3 -1 roll sub 3 1 roll exch sub = = } for quit")
                                .arg(file.absoluteFilePath());
    QByteArray out;
    std::vector<PdfPageBox> boxes;
    if (!RunGhostscript({"-q", "-dSAFER", "--permit-file-read=" + file.absolutePath() + "/",
                         "-dNODISPLAY", "-c", program},
                        &out))
        return boxes;
    std::istringstream in(out.toStdString());
    PdfPageBox box;
    while (in >> box.width >> box.height)
        boxes.push_back(box);
    return boxes;
}

std::vector<QImage> RasterizePdf(const QString& pdf, int dpi) {
    const QString folder = QFileInfo(pdf).absolutePath();
    std::vector<QImage> pages;
    if (!RunGhostscript({"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=pngmono",
                         QStringLiteral("-r%1").arg(dpi), "-sOutputFile=" + folder + "/page-%d.png",
                         pdf}))
        return pages;
    for (int p = 1;; ++p) {
        QImage page(folder + QStringLiteral("/page-%1.png").arg(p));
        if (page.isNull()) break;
        pages.push_back(page.convertToFormat(QImage::Format_RGB32));
    }
    return pages;
}

QImage RasterizeSvg(const QString& svg, int width, int height) {
    const QString png = svg + ".png";
    if (!Run(SW_RSVG_CONVERT, {"-b", "white", "-w", QString::number(width), "-h",
                               QString::number(height), "-o", png, svg}))
        return {};
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

}  // namespace sw::test
