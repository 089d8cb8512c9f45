// The print job.
#include "render/PrintJob.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cstdio>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

struct PdfPrinterPort::Impl {
    std::string path;
    double width = 8.27, length = 11.69;
    int dpi = 300;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
};

PdfPrinterPort::PdfPrinterPort(std::string path, const Score& score) : impl_(new Impl) {
    impl_->path = std::move(path);
    impl_->width = score.page.Width;
    impl_->length = score.page.Length;
    impl_->dpi = static_cast<int>(std::lround(PrintPictureGeometry(score).scale));
}

PdfPrinterPort::~PdfPrinterPort() {
    end();
}

bool PdfPrinterPort::capacities(PrinterCaps& caps) const {
    // A PDF page is the paper itself: all of it printable.
    caps.dpiX = caps.dpiY = impl_->dpi;
    caps.pageWidth = static_cast<int>(std::lround(impl_->width * impl_->dpi));
    caps.pageLength = static_cast<int>(std::lround(impl_->length * impl_->dpi));
    caps.offsetLeft = caps.offsetTop = caps.offsetRight = caps.offsetBottom = 0;
    return true;
}

bool PdfPrinterPort::begin(const std::string& title, bool) {
    impl_->pdf = std::make_unique<QPdfWriter>(QString::fromStdString(impl_->path));
    impl_->pdf->setResolution(impl_->dpi);
    impl_->pdf->setPageSize(QPageSize(QSizeF(impl_->width, impl_->length), QPageSize::Inch));
    impl_->pdf->setPageMargins(QMarginsF(0, 0, 0, 0));
    impl_->pdf->setTitle(QString::fromStdString(title));
    impl_->pdf->setCreator(QString::fromStdString(MessageText(msg::ProductName)));
    if (!impl_->painter.begin(impl_->pdf.get())) return false;
    impl_->painter.setRenderHint(QPainter::LosslessImageRendering);
    return true;
}

void PdfPrinterPort::send(const QImage& picture, const PaperRect& where, int copies) {
    for (int c = 0; c < copies; ++c) {
        if (c > 0) newPage();
        impl_->painter.drawImage(QRect(where.x, where.y, picture.width(), picture.height()),
                                 picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
    }
}

void PdfPrinterPort::newPage() {
    if (impl_->pdf) impl_->pdf->newPage();
}

void PdfPrinterPort::end() {
    if (impl_->painter.isActive()) impl_->painter.end();
    impl_->pdf.reset();
}

namespace {
std::string Number(double v, bool metric) {
    char buf[32];
    std::snprintf(buf, sizeof buf, metric ? "%.1f%s" : "%.3f%s", v, metric ? "mm" : "\"");
    return buf;
}
}  // namespace

bool CheckPrinterCapacity(const Score& score, PrinterPort& printer, bool metric, Host& host) {
    PrinterCaps caps;
    if (!printer.capacities(caps)) {
        host.message(MsgType::Error, MessageText(msg::PrinterUnreadable), Buttons::OK);
        return true;
    }
    PageData g = score.page;
    if (g.landscape) {
        // The page turned with its margins, as the printer sees it.
        std::swap(g.Width, g.Length);
        const double left = g.LeftM;
        g.LeftM = g.TopM, g.TopM = g.RightM, g.RightM = g.BotM, g.BotM = left;
    }
    auto unit = [&](int dots, int dpi) {
        const double inches = dpi > 0 ? static_cast<double>(dots) / dpi : 0;
        return metric ? inches * 25.4 : inches;
    };
    auto value = [&](double inches) { return metric ? inches * 25.4 : inches; };
    std::string text;
    if (g.Width > static_cast<double>(caps.pageWidth) / caps.dpiX + 1e-9)
        text += FormatMessage(msg::CapacityWidth, Number(value(g.Width), metric),
                              Number(unit(caps.pageWidth, caps.dpiX), metric));
    if (g.Length > static_cast<double>(caps.pageLength) / caps.dpiY + 1e-9)
        text += FormatMessage(msg::CapacityLength, Number(value(g.Length), metric),
                              Number(unit(caps.pageLength, caps.dpiY), metric));
    if (!text.empty() && host.message(MsgType::Error, text + MessageText(msg::CapacityAsk),
                                      Buttons::YesNo) != Answer::Yes)
        return false;
    struct Side {
        const char* name;
        double margin;
        int dots, dpi;
    };
    const Side sides[4] = {{"left", g.LeftM, caps.offsetLeft, caps.dpiX},
                           {"top", g.TopM, caps.offsetTop, caps.dpiY},
                           {"right", g.RightM, caps.offsetRight, caps.dpiX},
                           {"bottom", g.BotM, caps.offsetBottom, caps.dpiY}};
    text.clear();
    for (const Side& s : sides)
        if (s.dpi > 0 && s.margin + 1e-9 < static_cast<double>(s.dots) / s.dpi)
            text += FormatMessage(msg::CapacityMargin, s.name, Number(value(s.margin), metric),
                                  Number(unit(s.dots, s.dpi), metric));
    if (!text.empty() && host.message(MsgType::Error, text + MessageText(msg::CapacityAsk),
                                      Buttons::YesNo) != Answer::Yes)
        return false;
    return true;
}

int PrintScore(Score& score, PrinterPort& printer, const PrintRequest& request,
               const GlyphStore& glyphs, const DrawSettings& settings, Host& host,
               const std::function<bool()>& cancelled, const std::string& fileName) {
    if (!printer.installed()) {
        host.message(MsgType::Error, MessageText(msg::NoPrinter), Buttons::OK);
        return 0;
    }
    PrintRequest r = request;
    r.driverCopies = printer.canCopy();
    const std::vector<PrintStep> plan = PrintPlan(r);
    if (plan.empty()) return 0;
    const PrintPicture geometry = PrintPictureGeometry(score);
    QImage picture(geometry.width, geometry.height, QImage::Format_RGB32);
    if (picture.isNull()) {
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return 0;
    }
    PrinterCaps caps;
    printer.capacities(caps);
    if (!printer.begin("SW 5 " + fileName, score.page.landscape)) {
        printer.end();
        return 0;
    }
    int sent = 0;
    bool stopped = false;
    for (std::size_t k = 0; k < plan.size(); ++k) {
        // Asked before a page is started, so a cancel never leaves a blank sheet.
        if (cancelled && cancelled()) {
            stopped = true;
            break;
        }
        const PrintStep& step = plan[k];
        // A new sheet only when there is a page to put on it.
        if (k > 0) printer.newPage();
        RenderPrintPage(picture, glyphs, score, step.page, settings);
        printer.send(picture, PaperPosition(score, step.page, caps), step.copies);
        ++sent;
    }
    printer.end();
    if (stopped) host.warning(MessageText(msg::PrintingAborted), Buttons::OK);
    return sent;
}

}  // namespace sw
