// Printing a score: the printer behind an interface (a PDF file, or a
// recording for tests; the system's printers come with the windows), the
// check of the page against what the printer can do, and the print loop.
#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/AtomicFile.h"
#include "render/Printing.h"

namespace sw {

class Host;
class WarningBox;

class PrinterPort {
  public:
    virtual ~PrinterPort() = default;
    virtual bool installed() const = 0;
    // Turns the paper; capacities read afterwards are for that orientation.
    virtual void setLandscape(bool landscape) = 0;
    // The printer's capacities; false when they cannot be read.
    virtual bool capacities(PrinterCaps& caps) const = 0;
    virtual bool canCopy() const = 0;
    virtual bool begin(const std::string& title, bool landscape) = 0;
    // One page picture at `where` (printer dots), `copies` times.
    virtual void send(const QImage& picture, const PaperRect& where, int copies) = 0;
    virtual void newPage() = 0;
    virtual void end() = 0;
};

// Prints into a PDF file, one PDF page per printed page, on the score's paper.
class PdfPrinterPort : public PrinterPort {
  public:
    PdfPrinterPort(std::string path, const Score& score, FileIo& io = SystemFileIo());
    ~PdfPrinterPort() override;
    bool installed() const override { return true; }
    void setLandscape(bool landscape) override;
    bool capacities(PrinterCaps& caps) const override;
    bool canCopy() const override { return false; }
    bool begin(const std::string& title, bool landscape) override;
    void send(const QImage& picture, const PaperRect& where, int copies) override;
    void newPage() override;
    // Writes the file: its errno afterwards, 0 when it was written.
    void end() override;
    int writeError() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Keeps what would have been printed.
class RecordingPrinterPort : public PrinterPort {
  public:
    bool isInstalled = true, capsReadable = true, driverCopies = true;
    PrinterCaps caps;
    struct Sheet {
        QImage picture;
        PaperRect where;
        int copies;
    };
    std::vector<Sheet> sheets;
    int pagesStarted = 1, begun = 0, ended = 0;
    std::string title;

    bool installed() const override { return isInstalled; }
    // A real printer reports its paper turned with the orientation.
    void setLandscape(bool landscape) override {
        if (landscape != caps.landscape) caps = TurnCaps(caps, landscape);
    }
    bool capacities(PrinterCaps& out) const override {
        out = caps;
        return capsReadable;
    }
    bool canCopy() const override { return driverCopies; }
    bool begin(const std::string& t, bool) override {
        title = t;
        ++begun;
        return true;
    }
    void send(const QImage& p, const PaperRect& w, int c) override { sheets.push_back({p, w, c}); }
    void newPage() override { ++pagesStarted; }
    void end() override { ++ended; }
};

// Turns the printer to the orientation and reads its capacities then.
bool ReadPrinterCapacities(PrinterPort& printer, bool landscape, PrinterCaps& caps);

// The page against the printer: a page larger than the printer's, or margins
// smaller than its unprintable edges, are listed and the user asked whether
// to print anyway. False when the user says no.
bool CheckPrinterCapacity(const Score& score, PrinterPort& printer, bool metric, Host& host);

// Prints pages as the request asks. `cancelled` is asked before every page,
// so a cancelled job never leaves a blank sheet; the job is always ended.
// Returns the number of pages sent. A stopped job is reported in the warning box.
int PrintScore(const Score& score, PrinterPort& printer, const PrintRequest& request,
               const GlyphStore& glyphs, const DrawSettings& settings, Host& host,
               WarningBox& warnings, const std::function<bool()>& cancelled,
               const std::string& fileName);

}  // namespace sw
