// Printing's pure parts.
#include "render/Printing.h"

#include <algorithm>
#include <cmath>

#include <filesystem>

#include <QFile>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "core/WarningBox.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"
#include "render/PageView.h"
#include "render/PrintJob.h"

namespace sw {

PrintPicture PrintPictureGeometry(const Score& score) {
    PrintPicture p;
    const PageData& g = score.page;
    p.scale = 96.0 / (score.staveSize > 0 ? score.staveSize : 0.3);
    p.width = RoundEven((g.Width - g.LeftM - g.RightM - g.GutM) * p.scale);
    p.height = RoundEven((g.Length - g.TopM - g.BotM) * p.scale);
    p.originY = RoundEven(p.scale * g.Header);
    return p;
}

PaperRect PaperPosition(const Score& score, int page, const PrinterCaps& caps) {
    const PageData& g = score.page;
    PaperRect r;
    // Left and right hand go by the page's place in the score, not by the
    // number printed on it: the first page is a right-hand page even when
    // the numbering starts at an even number, as the preview's spreads show it.
    const bool evenFacing = g.Facing && page % 2 == 0;
    r.x = RoundEven((evenFacing ? g.LeftM : g.GutM + g.LeftM) * caps.dpiX) - caps.offsetLeft;
    r.y = RoundEven(g.TopM * caps.dpiY) - caps.offsetTop;
    r.width = RoundEven((g.Width - g.LeftM - g.RightM - g.GutM) * caps.dpiX);
    r.height = RoundEven((g.Length - g.TopM - g.BotM) * caps.dpiY);
    return r;
}

std::vector<PrintStep> PrintPlan(const PrintRequest& r) {
    std::vector<PrintStep> steps;
    if (r.from < 1 || r.to < r.from || r.copies < 1) return steps;
    const bool collate = r.collate && r.from != r.to;
    const int rounds = collate ? r.copies : 1;
    const int perPage = collate ? 1 : r.copies;
    for (int c = 0; c < rounds; ++c)
        for (int p = r.from; p <= r.to; ++p) {
            if (r.driverCopies || perPage == 1) {
                steps.push_back({p, perPage, true});
            } else {
                for (int k = 0; k < perPage; ++k)
                    steps.push_back({p, 1, true});
            }
        }
    if (!steps.empty()) steps.back().newPageAfter = false;
    return steps;
}

void RenderPrintPage(QImage& picture, const GlyphStore& glyphs, const Score& score, int page,
                     const DrawSettings& settings, bool blank) {
    DrawContext ctx = PictureContext(picture, glyphs, true);
    ctx.blank = blank;
    ctx.printOrigin = QPoint(0, PrintPictureGeometry(score).originY);
    DrawAll(ctx, score, page, settings, PageViewState{});
    PictureSurface out(ctx);
    DrawWhiteOuts(out, score, page, settings);
}

void DrawWhiteOuts(Surface& out, const Score& score, int page, const DrawSettings& settings) {
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (score.stave(s).h.PageNum != page) continue;
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
            const ScoreObject& o = score.object(s, i);
            if (o.kind == kDrawobject && o.data.drawobject.whiteOut)
                DrawObject(out, score, s, i, DrawRequest{0, false, true}, settings);
        }
    }
}

namespace {

// One line of the print picture to one line of bits (1 = paper). With
// `wipe` (the same line) the ink seen is painted over, so the line ends white.
void LineToBits(const uint32_t* in, int w, uchar* bits, uint32_t* wipe) {
    const int whole = w / 8;
    for (int b = 0; b < whole; ++b, in += 8) {
        // A page is mostly paper: eight white pixels are one test.
        uint32_t all = 0xFFFFFFFFu;
        for (int k = 0; k < 8; ++k)
            all &= in[k];
        if (all == 0xFFFFFFFFu) {
            bits[b] = 0xFF;
            continue;
        }
        uchar v = 0;
        for (int k = 0; k < 8; ++k)
            v = static_cast<uchar>(v << 1 | (qGray(in[k]) >= 128 ? 1 : 0));
        bits[b] = v;
        if (wipe) std::fill(wipe + 8 * b, wipe + 8 * b + 8, 0xFFFFFFFFu);
    }
    if (w % 8 != 0) {
        uchar v = 0xFF;  // bits past the edge stay paper
        for (int k = 0; k < w % 8; ++k)
            if (qGray(in[k]) < 128) v = static_cast<uchar>(v & ~(0x80u >> k));
        bits[whole] = v;
        if (wipe) std::fill(wipe + 8 * whole, wipe + w, 0xFFFFFFFFu);
    }
}

QImage MonoLike(const QImage& picture) {
    QImage out(picture.width(), picture.height(), QImage::Format_Mono);
    if (!out.isNull()) out.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return out;
}

}  // namespace

QImage PrintBitmap(const QImage& picture) {
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    QImage out = MonoLike(src);
    if (out.isNull()) return out;
    for (int y = 0; y < src.height(); ++y)
        LineToBits(reinterpret_cast<const uint32_t*>(src.constScanLine(y)), src.width(),
                   out.scanLine(y), nullptr);
    return out;
}

QImage TakePrintBitmap(QImage& picture) {
    if (picture.format() != QImage::Format_RGB32) {
        QImage out = PrintBitmap(picture);
        picture.fill(Qt::white);
        return out;
    }
    QImage out = MonoLike(picture);
    if (out.isNull()) return out;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        LineToBits(line, picture.width(), out.scanLine(y), line);
    }
    return out;
}

bool IsPrintBitmap(const QImage& picture) {
    return picture.format() == QImage::Format_Mono && picture.colorCount() == 2 &&
           picture.color(0) == qRgb(0, 0, 0) && picture.color(1) == qRgb(255, 255, 255);
}

double PreviewScale(int availableWidth, int availableHeight, double pageWidth, double pageLength,
                    int pages) {
    if (pageWidth <= 0 || pageLength <= 0) return 1;
    const double byHeight = (availableHeight - 80) / pageLength;
    const double byWidth =
        pages <= 1 ? (availableWidth - 80) / pageWidth : (availableWidth - 120) / (2 * pageWidth);
    return std::max(1.0, std::min(byHeight, byWidth));
}

std::pair<int, int> PreviewSpread(int page, int pages) {
    if (pages <= 1) return {0, pages == 1 ? 1 : 0};
    if (page <= 1) return {0, 1};
    const int left = page % 2 == 0 ? page : page - 1;
    return {left, left + 1 <= pages ? left + 1 : 0};
}

QImage MinReduce(const QImage& picture, int w, int h) {
    QImage out(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    out.fill(Qt::white);
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    if (src.isNull() || src.width() == 0 || src.height() == 0) return out;
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(src.constScanLine(y));
        const int ty = static_cast<int>(static_cast<long long>(y) * out.height() / src.height());
        auto* target = reinterpret_cast<uint32_t*>(out.scanLine(ty));
        for (int x = 0; x < src.width(); ++x)
            if (qGray(line[x]) < 128)
                target[static_cast<long long>(x) * out.width() / src.width()] = 0xFF000000u;
    }
    return out;
}

Mask MaskOf(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    Mask m;
    m.width = rgb.width();
    m.height = rgb.height();
    m.ink.assign(static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height), 0);
    for (int y = 0; y < m.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(rgb.constScanLine(y));
        for (int x = 0; x < m.width; ++x)
            m.ink[static_cast<std::size_t>(y * m.width + x)] = qGray(line[x]) < 128 ? 1 : 0;
    }
    return m;
}

bool WritePdf(const std::string& path, const GlyphStore& glyphs, const Score& score, int first,
              int last, const DrawSettings& settings, Host& host, FileIo& io) {
    // What would stop the file being written is said before anything is drawn.
    const std::vector<std::string> problems = PageDataProblems(score.page);
    for (const std::string& problem : problems)
        host.message(MsgType::Error, problem, Buttons::OK);
    if (!problems.empty()) return false;
    PdfPrinterPort pdf(path, score, io);
    WarningBox warnings;
    // Out of memory for the print picture, or a page refused: PrintScore says so.
    const int sent =
        PrintScore(score, pdf, PrintRequest{first, last, 1, true, false}, glyphs, settings, host,
                   warnings, {}, FileNameOf(settings.textEnv.filePath));
    if (sent != last - first + 1) return false;
    pdf.end();
    if (const int e = pdf.writeError()) {
        host.message(MsgType::Error,
                     FormatMessage(msg::PdfCannotBeWritten, path, WriteErrorText(e, false)),
                     Buttons::OK);
        return false;
    }
    return true;
}

}  // namespace sw
