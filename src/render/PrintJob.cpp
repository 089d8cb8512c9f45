// The print job: PDF and recording printers, the capacity check, and the
// print loop with its pages drawn ahead on worker threads.
#include "render/PrintJob.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"

namespace sw {

struct PdfPrinterPort::Impl {
    std::string path;
    FileIo* io = nullptr;
    // The document is made in memory and written in one checked, atomic
    // step: a full disk never leaves a cut-short PDF where the user looks.
    QBuffer buffer;
    int writeError = 0;
    double width = 8.27, length = 11.69;
    bool scoreLandscape = false, landscape = false;
    int dpi = 300;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
};

PdfPrinterPort::PdfPrinterPort(std::string path, const Score& score, FileIo& io) : impl_(new Impl) {
    impl_->path = std::move(path);
    impl_->io = &io;
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
    impl_->buffer.setData(QByteArray());
    if (!impl_->buffer.open(QIODevice::WriteOnly)) return false;
    impl_->pdf = std::make_unique<QPdfWriter>(&impl_->buffer);
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
    // Kept at one bit a pixel: Qt stores such a picture as it is, where
    // anything else becomes 24-bit colour, deflated at ten times the cost.
    const QImage bitmap = IsPrintBitmap(picture) ? picture : PrintBitmap(picture);
    for (int c = 0; c < copies; ++c) {
        if (c > 0) newPage();
        // The paper rectangle, not the picture's own size: the PDF's whole-dot
        // resolution can differ a little from the picture's scale.
        const QRect target = where.width > 0 && where.height > 0
                                 ? QRect(where.x, where.y, where.width, where.height)
                                 : QRect(where.x, where.y, bitmap.width(), bitmap.height());
        impl_->painter.drawImage(target, bitmap);
    }
}

void PdfPrinterPort::newPage() {
    if (impl_->pdf) impl_->pdf->newPage();
}

void PdfPrinterPort::end() {
    if (!impl_->pdf) return;
    if (impl_->painter.isActive()) impl_->painter.end();
    impl_->pdf.reset();
    impl_->buffer.close();
    const QByteArray& bytes = impl_->buffer.data();
    impl_->writeError = WriteFileAtomically(
        impl_->path, std::string_view(bytes.constData(), bytes.size()), *impl_->io);
    impl_->buffer.setData(QByteArray());
}

int PdfPrinterPort::writeError() const {
    return impl_->writeError;
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

namespace {

// The print picture, on huge memory pages where the system offers them:
// glyphs are drawn row by row down a picture of tens of megabytes, each row
// on a page of its own otherwise.
QImage NewPrintPicture(int width, int height) {
#ifdef __linux__
    constexpr std::size_t kHuge = std::size_t{2} << 20;
    if (width > 0 && height > 0 && width <= (1 << 15) && height <= (1 << 15)) {
        const qsizetype perLine = 4 * static_cast<qsizetype>(width);
        const std::size_t bytes =
            static_cast<std::size_t>(perLine) * static_cast<std::size_t>(height);
        const std::size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
        if (void* memory = std::aligned_alloc(kHuge, rounded)) {
            madvise(memory, rounded, MADV_HUGEPAGE);
            QImage picture(
                static_cast<uchar*>(memory), width, height, perLine, QImage::Format_RGB32,
                [](void* p) { std::free(p); }, memory);
            if (!picture.isNull()) return picture;
            std::free(memory);
        }
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

// Draws the plan's pages ahead of the print loop and hands them back as 1-bit
// pictures in plan order. With workers, each has its own picture and its own
// copy of the score: drawing moves footers about for a moment, and the
// caller's score may be read meanwhile (a repaint while the progress box runs).
// Without workers a page is drawn when it is taken, on the caller's score.
class PageRenderer {
  public:
    // `picture` is the print picture, already made; workers past the first
    // make their own. Fewer workers than asked for when memory or threads
    // run short; with none, pages are drawn as they are taken.
    PageRenderer(const Score& score, std::vector<int> pages, QImage picture,
                 const GlyphStore& glyphs, const DrawSettings& settings, int workers)
        : score_(score),
          pages_(std::move(pages)),
          glyphs_(glyphs),
          settings_(settings),
          picture_(std::move(picture)),
          ahead_(2 * static_cast<std::size_t>(std::max(workers, 1))) {
        try {
            for (int w = 0; w < workers; ++w)
                copies_.push_back(std::make_unique<Score>(score));
        } catch (const std::bad_alloc&) {
        }
        running_ = copies_.size();
        const QSize size = picture_.size();
        for (std::size_t w = 0; w < copies_.size(); ++w) {
            try {
                threads_.emplace_back([this, w, size] {
                    QImage own;
                    if (w > 0) own = NewPrintPicture(size.width(), size.height());
                    work(*copies_[w], w == 0 ? picture_ : own);
                });
            } catch (const std::system_error&) {
                std::lock_guard<std::mutex> hold(lock_);
                running_ -= copies_.size() - w;
                break;
            }
        }
    }
    ~PageRenderer() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    // The picture of plan step k, steps taken in order; null when memory ran out.
    QImage take(std::size_t k) {
        if (threads_.empty()) return draw(picture_, blank_, score_, pages_[k]);
        std::unique_lock<std::mutex> hold(lock_);
        taken_ = k;
        changed_.notify_all();
        changed_.wait(hold, [&] { return ready_.count(k) != 0 || running_ == 0; });
        auto it = ready_.find(k);
        if (it == ready_.end()) return QImage();
        QImage out = std::move(it->second);
        ready_.erase(it);
        return out;
    }

  private:
    // Each picture is left white by the one before it, so is not cleared again.
    QImage draw(QImage& picture, bool& blank, const Score& score, int page) const {
        try {
            RenderPrintPage(picture, glyphs_, score, page, settings_, blank);
            blank = false;
            QImage bitmap = TakePrintBitmap(picture);
            blank = !bitmap.isNull();
            return bitmap;
        } catch (const std::bad_alloc&) {
            blank = false;
            return QImage();
        }
    }

    void work(const Score& score, QImage& picture) {
        bool blank = false;
        std::unique_lock<std::mutex> hold(lock_);
        // A worker that cannot have a picture leaves the pages to the others.
        while (!picture.isNull()) {
            changed_.wait(
                hold, [&] { return stop_ || next_ >= pages_.size() || next_ < taken_ + ahead_; });
            if (stop_ || next_ >= pages_.size()) break;
            const std::size_t k = next_++;
            hold.unlock();
            QImage bitmap = draw(picture, blank, score, pages_[k]);
            hold.lock();
            ready_[k] = std::move(bitmap);
            changed_.notify_all();
        }
        --running_;
        changed_.notify_all();
    }

    const Score& score_;
    const std::vector<int> pages_;
    const GlyphStore& glyphs_;
    const DrawSettings& settings_;
    QImage picture_;
    bool blank_ = false;
    std::vector<std::unique_ptr<Score>> copies_;
    std::vector<std::thread> threads_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::map<std::size_t, QImage> ready_;  // drawn, not yet taken
    std::size_t next_ = 0;                 // the next step to draw
    std::size_t taken_ = 0;                // the step the printer waits for
    const std::size_t ahead_;              // how far drawing may run ahead of it
    std::size_t running_ = 0;              // workers still drawing
    bool stop_ = false;
};

// Workers for a print job: none for a single page, else one per core.
int WorkersFor(std::size_t steps) {
    if (steps < 2) return 0;
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::min<std::size_t>({steps, cores == 0 ? 1 : cores, 4}));
}

}  // namespace

int PrintScore(const Score& score, PrinterPort& printer, const PrintRequest& request,
               const GlyphStore& glyphs, const DrawSettings& settings, Host& host,
               WarningBox& warnings, const std::function<bool()>& cancelled,
               const std::string& fileName) {
    if (!printer.installed()) {
        host.message(MsgType::Error, MessageText(msg::NoPrinter), Buttons::OK);
        return 0;
    }
    PrintRequest r = request;
    r.driverCopies = printer.canCopy();
    const std::vector<PrintStep> plan = PrintPlan(r);
    if (plan.empty()) return 0;
    const PrintPicture geometry = PrintPictureGeometry(score);
    QImage picture = NewPrintPicture(geometry.width, geometry.height);
    if (picture.isNull()) {
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return 0;
    }
    PrinterCaps caps;
    ReadPrinterCapacities(printer, score.page.landscape != 0, caps);
    if (!printer.begin("SW 5 " + fileName, score.page.landscape)) {
        printer.end();
        host.message(MsgType::Error, MessageText(msg::PrintJobRefused), Buttons::OK);
        return 0;
    }
    std::vector<int> pages;
    for (const PrintStep& step : plan)
        pages.push_back(step.page);
    auto renderer = std::make_unique<PageRenderer>(score, std::move(pages), std::move(picture),
                                                   glyphs, settings, WorkersFor(plan.size()));
    // Collated copies repeat the range, each with its own progress box.
    const int length = r.to - r.from + 1;
    const int rounds = r.collate && r.from != r.to ? r.copies : 1;
    const std::size_t perRound = plan.size() / static_cast<std::size_t>(rounds);
    int sent = 0;
    bool stopped = false, boxCancelled = false, boxOpen = false, outOfMemory = false;
    for (std::size_t k = 0; k < plan.size(); ++k) {
        // Asked before a page is started, so a cancel never leaves a blank sheet.
        if ((cancelled && cancelled()) || boxCancelled) {
            stopped = true;
            break;
        }
        if (k % perRound == 0) {
            if (boxOpen) host.progressEnd();
            const int copy = static_cast<int>(k / perRound) + 1;
            host.progressBegin(rounds > 1 ? FormatMessage(msg::PrintingCopyCaption, copy, rounds)
                                          : MessageText(msg::PrintingCaption));
            boxOpen = true;
        }
        const PrintStep& step = plan[k];
        const int position = step.page - r.from + 1;
        host.progressText(FormatMessage(msg::PreparingPage, position, length));
        const QImage bitmap = renderer->take(k);
        if (bitmap.isNull()) {
            outOfMemory = true;
            break;
        }
        // A new sheet only when there is a page to put on it.
        if (k > 0) printer.newPage();
        host.progressText(FormatMessage(msg::PrintingPage, position, length));
        printer.send(bitmap, PaperPosition(score, step.page, caps), step.copies);
        ++sent;
        boxCancelled = !host.progressStep(static_cast<int>((k % perRound + 1) * 100 / perRound));
    }
    renderer.reset();
    if (boxOpen) host.progressEnd();
    printer.end();
    if (outOfMemory)
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
    if (stopped) warnings.show(host, msg::PrintingAborted, 5, false);
    return sent;
}

}  // namespace sw
