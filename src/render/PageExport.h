// The current page out of the program: as a PCX or BMP picture file, or as a
// bitmap on the clipboard (behind an interface, so the flow is testable
// without a platform clipboard).
#pragma once

#include <QImage>
#include <string>

#include "core/AtomicFile.h"
#include "model/Score.h"
#include "render/ObjectDrawing.h"

namespace sw {

class GlyphStore;
class Host;

// The page as files and the clipboard get it: the black-and-white print
// picture, header and footer included, at three times the screen scale.
// Null when the picture cannot be allocated.
// With a non-empty `area` (screen page pixels), only the part of the page
// under it: a marked block.
QImage PagePicture(const GlyphStore& glyphs, const Score& score, int page,
                   const DrawSettings& settings, const QRect& area = QRect());

// The bytes of a picture file, a 1-bit BMP or a PCX, recording `dpi`.
std::string EncodePictureFile(const QImage& picture, bool bmp, int dpi);

enum class PictureWrite { Written, Cancelled, Failed };

// Writes `picture` to `path`, BMP for a ".bmp" name and PCX otherwise. PCX
// writing shows progress and may be cancelled there. The file appears whole
// or not at all (an existing file is kept unless the new one is complete);
// a stop is reported to the user.
// A PNG of the picture, written as every file is (beside, checked, renamed).
// 0, or the errno of the failure (EIO when the picture cannot be encoded).
int WritePng(const std::string& path, const QImage& picture, FileIo& io = SystemFileIo());

PictureWrite SavePagePicture(const std::string& path, const QImage& picture, int dpi, Host& host,
                             FileIo& io = SystemFileIo());

// The picture-file command: asks for the name, then writes page `page`.
// True when a file was written.
bool ExportPagePicture(Host& host, const GlyphStore& glyphs, const Score& score, int page,
                       const DrawSettings& settings, const QRect& area = QRect());

class ClipboardPort {
  public:
    virtual ~ClipboardPort() = default;
    virtual bool hasData() const = 0;
    virtual void setImage(const QImage& image) = 0;
    // What the clipboard holds now, as an image (null when it holds none).
    virtual QImage image() const = 0;
};

// The application's clipboard; needs a QGuiApplication.
class QtClipboardPort : public ClipboardPort {
  public:
    bool hasData() const override;
    void setImage(const QImage& image) override;
    QImage image() const override;
};

// A clipboard in memory. `keeps` false loses what is set; `damages` spoils
// one pixel of it, as a platform converting badly might.
class FakeClipboardPort : public ClipboardPort {
  public:
    bool holdsData = false;
    bool keeps = true;
    bool damages = false;
    QImage stored;
    int sets = 0;

    bool hasData() const override { return holdsData; }
    void setImage(const QImage& image) override;
    QImage image() const override { return stored; }
};

// The clipboard command for a picture already made: confirm, ask before
// replacing what the clipboard holds, set the picture and read it back; only
// an identical read-back counts as success. True when the page is there.
bool CopyPictureToClipboard(const QImage& picture, ClipboardPort& clipboard, Host& host);
// The same for page `page`, drawn as PagePicture draws it.
bool CopyPageToClipboard(Host& host, ClipboardPort& clipboard, const GlyphStore& glyphs,
                         const Score& score, int page, const DrawSettings& settings,
                         const QRect& area = QRect());

}  // namespace sw
