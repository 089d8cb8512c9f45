// The vector PDF and SVG writers.
#include "render/VectorExport.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "render/GlyphFont.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/VectorSurface.h"

namespace sw {

namespace {

// A vector document's paper: all of it printable, at the print picture's
// whole dots per inch, as the bitmap PDF's.
PrinterCaps PaperCaps(const Score& score) {
    PrinterCaps caps;
    caps.dpiX = caps.dpiY = static_cast<int>(std::lround(PrintPictureGeometry(score).scale));
    caps.pageWidth = static_cast<int>(std::lround(score.page.Width * caps.dpiX));
    caps.pageLength = static_cast<int>(std::lround(score.page.Length * caps.dpiY));
    caps.offsetLeft = caps.offsetTop = caps.offsetRight = caps.offsetBottom = 0;
    caps.landscape = score.page.landscape != 0;
    return caps;
}

// Page `page` placed where the bitmap PDF puts its picture.
void PlacePage(QPainter& painter, const GlyphStore& glyphs, const Score& score, int page,
               const DrawSettings& settings, const GlyphFont* font = nullptr) {
    const PrintPicture geometry = PrintPictureGeometry(score);
    const PaperRect at = PaperPosition(score, page, PaperCaps(score));
    painter.save();
    painter.translate(at.x, at.y);
    if (geometry.width > 0 && geometry.height > 0)
        painter.scale(static_cast<double>(at.width) / geometry.width,
                      static_cast<double>(at.height) / geometry.height);
    DrawVectorPage(painter, glyphs, score, page, settings, font);
    painter.restore();
}

bool Refused(const Score& score, Host& host) {
    const std::vector<std::string> problems = PageDataProblems(score.page);
    for (const std::string& problem : problems)
        host.message(MsgType::Error, problem, Buttons::OK);
    return !problems.empty();
}

bool Store(const std::string& path, const QByteArray& bytes, int message, Host& host, FileIo& io) {
    if (const int e =
            WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()), io)) {
        host.message(MsgType::Error, FormatMessage(message, path, WriteErrorText(e, false)),
                     Buttons::OK);
        return false;
    }
    return true;
}

}  // namespace

void DrawVectorPage(QPainter& painter, const GlyphStore& glyphs, const Score& score, int page,
                    const DrawSettings& settings, const GlyphFont* font) {
    const PrintPicture geometry = PrintPictureGeometry(score);
    painter.save();
    painter.setClipRect(QRect(0, 0, geometry.width, geometry.height));
    PendingInk ink(painter, font);
    VectorSurface music(painter, glyphs, QPoint(0, geometry.originY), &ink);
    VectorSurface header(painter, glyphs, QPoint(0, 0), &ink);
    DrawPrintedPage(music, header, score, page, settings, PageViewState{}, geometry.width);
    DrawWhiteOuts(music, score, page, settings);
    ink.flush();
    painter.restore();
}

bool WriteVectorPdf(const std::string& path, const GlyphStore& glyphs, const Score& score,
                    int first, int last, const DrawSettings& settings, Host& host, FileIo& io) {
    if (Refused(score, host)) return false;
    // Made before the writer, which holds on to the font until it ends.
    const GlyphFont font;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(PaperCaps(score).dpiX);
        pdf.setPageSize(QPageSize(QSizeF(score.page.Width, score.page.Length), QPageSize::Inch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QString::fromStdString(FileNameOf(settings.textEnv.filePath)));
        pdf.setCreator(QString::fromStdString(MessageText(msg::ProductName)));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            host.message(MsgType::Error,
                         FormatMessage(msg::PdfCannotBeWritten, path, WriteErrorText(EIO, false)),
                         Buttons::OK);
            return false;
        }
        for (int page = first; page <= last; ++page) {
            if (page > first) pdf.newPage();
            PlacePage(painter, glyphs, score, page, settings, &font);
        }
        painter.end();
    }
    buffer.close();
    return Store(path, buffer.data(), msg::PdfCannotBeWritten, host, io);
}

bool WriteSvgPage(const std::string& path, const GlyphStore& glyphs, const Score& score, int page,
                  const DrawSettings& settings, Host& host, FileIo& io) {
    if (Refused(score, host)) return false;
    const PrinterCaps caps = PaperCaps(score);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(caps.pageWidth, caps.pageLength));
        svg.setViewBox(QRect(0, 0, caps.pageWidth, caps.pageLength));
        svg.setResolution(caps.dpiX);
        svg.setTitle(QString::fromStdString(FileNameOf(settings.textEnv.filePath)));
        svg.setDescription(QString::fromStdString(MessageText(msg::ProductName)));
        QPainter painter;
        if (!painter.begin(&svg)) {
            host.message(MsgType::Error,
                         FormatMessage(msg::SvgCannotBeWritten, path, WriteErrorText(EIO, false)),
                         Buttons::OK);
            return false;
        }
        painter.fillRect(QRect(0, 0, caps.pageWidth, caps.pageLength), Qt::white);
        PlacePage(painter, glyphs, score, page, settings);
        painter.end();
    }
    buffer.close();
    return Store(path, buffer.data(), msg::SvgCannotBeWritten, host, io);
}

}  // namespace sw
