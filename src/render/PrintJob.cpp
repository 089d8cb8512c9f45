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
    bool scoreLandscape = false, landscape = false;
    int dpi = 300;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
};

PdfPrinterPort::PdfPrinterPort(std::string path, const Score& score) : impl_(new Impl) {
    impl_->path = std::move(path);
    impl_->width = score.page.Width;
    impl_->length = score.page.Length;
    impl_->scoreLandscape = impl_->landscape = score.page.landscape != 0;
    impl_->dpi = static_cast<int>(std::lround(PrintPictureGeometry(score).scale));
}

PdfPrinterPort::~PdfPrinterPort() {
    end();
}

void PdfPrinterPort::setLandscape(bool landscape) {
    impl_->landscape = landscape;
}

bool PdfPrinterPort::capacities(PrinterCaps& caps) const {
    // A PDF page is the score's paper itself, all of it printable, turned
    // when asked for the other orientation.
    const bool turned = impl_->landscape != impl_->scoreLandscape;
    caps.dpiX = caps.dpiY = impl_->dpi;
    caps.pageWidth =
        static_cast<int>(std::lround((turned ? impl_->length : impl_->width) * impl_->dpi));
    caps.pageLength =
        static_cast<int>(std::lround((turned ? impl_->width : impl_->length) * impl_->dpi));
    caps.offsetLeft = caps.offsetTop = caps.offsetRight = caps.offsetBottom = 0;
    caps.landscape = impl_->landscape;
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

bool ReadPrinterCapacities(PrinterPort& printer, bool landscape, PrinterCaps& caps) {
    printer.setLandscape(landscape);
    return printer.capacities(caps);
}

bool CheckPrinterCapacity(const Score& score, PrinterPort& printer, bool metric, Host& host) {
    // The page is compared as the printer sees it in portrait: a landscape
    // page is turned with its margins.
    PrinterCaps caps;
    if (!ReadPrinterCapacities(printer, false, caps)) {
        host.message(MsgType::Error, MessageText(msg::PrinterUnreadable), Buttons::OK);
        return true;
    }
    const PageData g = score.page.landscape ? TurnPage(score.page, false) : score.page;
    const CapacityProblems problems = DescribeCapacityProblems(g, caps, metric);
    for (const std::string* text : {&problems.size, &problems.margins})
        if (!text->empty() && host.message(MsgType::Error, *text + MessageText(msg::CapacityAsk),
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
    ReadPrinterCapacities(printer, score.page.landscape != 0, caps);
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
