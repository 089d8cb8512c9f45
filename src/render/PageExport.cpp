// Picture files and the clipboard.
#include "render/PageExport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/Pcx.h"
#include "core/TextUtil.h"
#include "render/Printing.h"

namespace sw {

namespace {

// Small enough that the progress box moves and a cancel is heard promptly.
constexpr std::size_t kChunk = 16 * 1024;

bool IsBmpName(const std::string& path) {
    return HasExtension(path, ".BMP");
}

// Writes `bytes` to a file beside `path` and puts it in place only when all of
// it is on disk. `step` is told the percentage done and may stop the write.
// Sets `error` to the errno of a failure (0 when stopped by `step`).
bool WriteWhole(const std::string& path, const std::string& bytes,
                const std::function<bool(int)>& step, int& error) {
    error = 0;
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) {
        error = errno ? errno : EIO;
        return false;
    }
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const std::size_t n = std::min(kChunk, bytes.size() - done);
        if (std::fwrite(bytes.data() + done, 1, n, f) != n) {
            error = errno ? errno : EIO;
            ok = false;
            break;
        }
        done += n;
        if (step && !step(static_cast<int>(done * 100 / bytes.size()))) ok = false;
    }
    // A full disk may only show when the file is closed.
    if (std::fclose(f) != 0 && ok) {
        error = errno ? errno : EIO;
        ok = false;
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(part, path, ec);
        if (ec) {
            error = ec.value();
            ok = false;
        }
    }
    if (!ok) std::filesystem::remove(part, ec);
    return ok;
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
                   const DrawSettings& settings) {
    const PrintPicture geometry = PrintPictureGeometry(score);
    QImage picture(geometry.width, geometry.height, QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    RenderPrintPage(picture, glyphs, score, page, settings);
    return picture;
}

std::string EncodePictureFile(const QImage& picture, bool bmp, int dpi) {
    const Mask mask = MaskOf(picture);
    return bmp ? EncodeBmp1(mask) : EncodePcx1(mask, dpi);
}

PictureWrite SavePagePicture(const std::string& path, const QImage& picture, int dpi, Host& host) {
    const bool bmp = IsBmpName(path);
    const std::string bytes = EncodePictureFile(picture, bmp, dpi);
    int error = 0;
    if (bmp) {
        if (WriteWhole(path, bytes, {}, error)) return PictureWrite::Written;
        host.message(MsgType::Error, FormatMessage(msg::WriteErrorCode, error), Buttons::OK);
        return PictureWrite::Failed;
    }
    host.progressBegin(MessageText(msg::SavingPcx));
    const bool ok = WriteWhole(
        path, bytes, [&host](int percent) { return host.progressStep(percent); }, error);
    host.progressEnd();
    if (ok) return PictureWrite::Written;
    host.message(error ? MsgType::Error : MsgType::Warning, MessageText(msg::PcxAborted),
                 Buttons::OK);
    return error ? PictureWrite::Failed : PictureWrite::Cancelled;
}

bool ExportPagePicture(Host& host, const GlyphStore& glyphs, const Score& score, int page,
                       const DrawSettings& settings) {
    FileDialogSpec spec;
    spec.filter = "Paintbrush PCX|*.pcx|Windows bitmap BMP|*.bmp";
    spec.defaultExtension = "PCX";
    spec.overwritePrompt = true;
    const std::string& scorePath = settings.textEnv.filePath;
    if (!scorePath.empty())
        spec.directory = std::filesystem::path(scorePath).parent_path().string();
    const std::optional<std::string> path = host.saveFileName(spec);
    if (!path || path->empty()) return false;
    const QImage picture = PagePicture(glyphs, score, page, settings);
    if (picture.isNull()) {
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return false;
    }
    const int dpi = static_cast<int>(PrintPictureGeometry(score).scale);
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
                         const Score& score, int page, const DrawSettings& settings) {
    return ClipboardFlow(clipboard, host, [&] {
        // Black and white, one bit a pixel: what a word processor expects of a page.
        return PagePicture(glyphs, score, page, settings)
            .convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    });
}

}  // namespace sw
