// Picture files and the clipboard.
#include "render/PageExport.h"

#include <QBuffer>
#include <algorithm>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include "core/AtomicFile.h"
#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/Pcx.h"
#include "core/TextUtil.h"
#include "layout/PageGeometry.h"
#include "render/Printing.h"

namespace sw {

namespace {

bool IsBmpName(const std::string& path) {
    return HasExtension(path, ".BMP");
}

bool SameImage(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull() || a.size() != b.size()) return false;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    const auto rowBytes = static_cast<std::size_t>(x.width()) * 4;
    for (int row = 0; row < x.height(); ++row)
        if (std::memcmp(x.constScanLine(row), y.constScanLine(row), rowBytes) != 0) return false;
    return true;
}

bool ClipboardFlow(ClipboardPort& clipboard, Host& host, const std::function<QImage()>& make) {
    if (host.message(MsgType::Confirmation, MessageText(msg::ClipboardConfirm), Buttons::YesNo) !=
        Answer::Yes)
        return false;
    if (clipboard.hasData() &&
        host.message(MsgType::Confirmation, MessageText(msg::ClipboardOverwrite), Buttons::YesNo) !=
            Answer::Yes)
        return false;
    const QImage picture = make();
    bool ok = false;
    if (!picture.isNull()) {
        clipboard.setImage(picture);
        // The platform may accept an image and keep something else (or
        // nothing); only what can be read back counts.
        ok = SameImage(picture, clipboard.image());
    }
    if (ok)
        host.message(MsgType::Information, MessageText(msg::ClipboardSaved), Buttons::OK);
    else
        host.message(MsgType::Error, MessageText(msg::ClipboardFailed), Buttons::OK);
    return ok;
}

}  // namespace

QImage PagePicture(const GlyphStore& glyphs, const Score& score, int page,
                   const DrawSettings& settings, const QRect& area) {
    const PrintPicture geometry = PrintPictureGeometry(score);
    QImage picture(geometry.width, geometry.height, QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    RenderPrintPage(picture, glyphs, score, page, settings);
    if (area.isEmpty()) return picture;
    // The print picture is the screen page at a larger scale.
    const int screenWidth = std::max(1, ComputePageGeometry(score).width);
    const double f = static_cast<double>(geometry.width) / screenWidth;
    const QRect scaled(static_cast<int>(area.x() * f), static_cast<int>(area.y() * f),
                       static_cast<int>(area.width() * f), static_cast<int>(area.height() * f));
    return picture.copy(scaled.intersected(picture.rect()));
}

std::string EncodePictureFile(const QImage& picture, bool bmp, int dpi) {
    const Mask mask = MaskOf(picture);
    return bmp ? EncodeBmp1(mask, dpi) : EncodePcx1(mask, dpi);
}

int WritePng(const std::string& path, const QImage& picture, FileIo& io) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) return EIO;
    return WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()), io);
}

PictureWrite SavePagePicture(const std::string& path, const QImage& picture, int dpi, Host& host,
                             FileIo& io) {
    const bool bmp = IsBmpName(path);
    const std::string bytes = EncodePictureFile(picture, bmp, dpi);
    if (bmp) {
        const int error = WriteFileAtomically(path, bytes, io);
        if (error == 0) return PictureWrite::Written;
        // The user is told the system's error number, as for any write.
        host.message(MsgType::Error, WriteErrorText(error, true), Buttons::OK);
        return PictureWrite::Failed;
    }
    host.progressBegin(MessageText(msg::SavingPcx));
    const int error = WriteFileAtomically(
        path, bytes, io, [&host](int percent) { return host.progressStep(percent); });
    host.progressEnd();
    if (error == 0) return PictureWrite::Written;
    if (error == ECANCELED) {
        host.message(MsgType::Warning, MessageText(msg::PcxAborted), Buttons::OK);
        return PictureWrite::Cancelled;
    }
    host.message(MsgType::Error, MessageText(msg::PcxAborted) + "\n" + WriteErrorText(error, false),
                 Buttons::OK);
    return PictureWrite::Failed;
}

bool ExportPagePicture(Host& host, const GlyphStore& glyphs, const Score& score, int page,
                       const DrawSettings& settings, const QRect& area) {
    FileDialogSpec spec;
    spec.filter = "Paintbrush PCX|*.pcx|Windows bitmap BMP|*.bmp";
    spec.defaultExtension = "PCX";
    spec.overwritePrompt = true;
    const std::string& scorePath = settings.textEnv.filePath;
    if (!scorePath.empty())
        spec.directory = std::filesystem::path(scorePath).parent_path().string();
    const std::optional<std::string> path = host.saveFileName(spec);
    if (!path || path->empty()) return false;
    const QImage picture = PagePicture(glyphs, score, page, settings, area);
    if (picture.isNull()) {
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return false;
    }
    const int dpi = static_cast<int>(std::lround(PrintPictureGeometry(score).scale));
    return SavePagePicture(*path, picture, dpi, host) == PictureWrite::Written;
}

bool QtClipboardPort::hasData() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && !data->formats().isEmpty();
}

void QtClipboardPort::setImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

QImage QtClipboardPort::image() const {
    return QGuiApplication::clipboard()->image();
}

void FakeClipboardPort::setImage(const QImage& image) {
    ++sets;
    holdsData = keeps;
    stored = keeps ? image.convertToFormat(QImage::Format_RGB32) : QImage();
    if (keeps && damages && !stored.isNull())
        stored.setPixel(0, 0, stored.pixel(0, 0) ^ 0x00FFFFFFu);
}

bool CopyPictureToClipboard(const QImage& picture, ClipboardPort& clipboard, Host& host) {
    return ClipboardFlow(clipboard, host, [&picture] { return picture; });
}

bool CopyPageToClipboard(Host& host, ClipboardPort& clipboard, const GlyphStore& glyphs,
                         const Score& score, int page, const DrawSettings& settings,
                         const QRect& area) {
    return ClipboardFlow(clipboard, host, [&] {
        // Black and white, one bit a pixel: what a word processor expects of a page.
        return PagePicture(glyphs, score, page, settings, area)
            .convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    });
}

}  // namespace sw
