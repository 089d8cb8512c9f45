// The system's printers through QPrinter.
#include "platform/QtPrinterPort.h"

#include <QPageLayout>
#include <QPrinterInfo>

namespace sw {

QtPrinterPort::QtPrinterPort(const QPrinterInfo& info) : printer_(info, QPrinter::HighResolution) {}

QtPrinterPort::~QtPrinterPort() {
    end();
}

bool QtPrinterPort::installed() const {
    // Redirected to a file, the printer is always there; a real one may have
    // been removed since it was chosen.
    if (printer_.outputFormat() == QPrinter::PdfFormat) return !printer_.outputFileName().isEmpty();
    return printer_.isValid() && !QPrinterInfo::availablePrinters().isEmpty();
}

void QtPrinterPort::setLandscape(bool landscape) {
    printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QtPrinterPort::capacities(PrinterCaps& caps) const {
    // Read as if the job's whole-paper mode were off, so that a read during a
    // job still sees the unprintable edges.
    QPageLayout layout = printer_.pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    const int dpi = printer_.resolution();
    if (dpi <= 0 || !layout.isValid()) return false;
    const QRect paper = layout.fullRectPixels(dpi);
    const QMargins edges = layout.marginsPixels(dpi);
    const int printableWidth = paper.width() - edges.left() - edges.right();
    const int printableLength = paper.height() - edges.top() - edges.bottom();
    if (paper.isEmpty() || printableWidth <= 0 || printableLength <= 0) return false;
    caps.dpiX = caps.dpiY = dpi;
    caps.pageWidth = paper.width();
    caps.pageLength = paper.height();
    caps.offsetLeft = edges.left();
    caps.offsetTop = edges.top();
    caps.offsetRight = paper.width() - printableWidth - caps.offsetLeft;
    caps.offsetBottom = paper.height() - printableLength - caps.offsetTop;
    caps.landscape = layout.orientation() == QPageLayout::Landscape;
    return true;
}

bool QtPrinterPort::canCopy() const {
    return printer_.supportsMultipleCopies();
}

bool QtPrinterPort::begin(const std::string& title, bool landscape) {
    if (painter_.isActive()) return false;
    setLandscape(landscape);
    // The edges are those of the job's orientation, read before the painter
    // is given the whole paper.
    PrinterCaps caps;
    if (!capacities(caps)) return false;
    offsetLeft_ = caps.offsetLeft;
    offsetTop_ = caps.offsetTop;
    printer_.setDocName(QString::fromStdString(title));
    printer_.setCopyCount(1);
    printer_.setFullPage(true);
    if (painter_.begin(&printer_)) return true;
    printer_.setFullPage(false);
    return false;
}

void QtPrinterPort::send(const QImage& picture, const PaperRect& where, int copies) {
    if (!painter_.isActive()) return;
    const QRect target(where.x + offsetLeft_, where.y + offsetTop_, where.width, where.height);
    const QImage bits = picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    for (int c = 0; c < copies; ++c) {
        if (c > 0) newPage();
        painter_.drawImage(target, bits);
    }
}

void QtPrinterPort::newPage() {
    if (painter_.isActive()) printer_.newPage();
}

void QtPrinterPort::end() {
    if (!painter_.isActive()) return;
    painter_.end();
    printer_.setFullPage(false);
}

std::unique_ptr<QtPrinterPort> SystemPrinter(const std::string& lastUsed) {
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) return nullptr;
    if (!lastUsed.empty()) {
        const QPrinterInfo named = QPrinterInfo::printerInfo(QString::fromStdString(lastUsed));
        if (!named.isNull()) return std::make_unique<QtPrinterPort>(named);
    }
    const QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
    return std::make_unique<QtPrinterPort>(fallback.isNull() ? printers.front() : fallback);
}

}  // namespace sw
