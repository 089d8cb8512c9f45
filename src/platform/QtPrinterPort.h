// The system's printers behind the print job's printer interface.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <memory>
#include <string>

#include "render/PrintJob.h"

class QPrinterInfo;

namespace sw {

// One QPrinter at high resolution. Positions arrive measured from the
// printable corner, as the print job computes them; the painter is opened on
// the whole paper, so they are moved back by the unprintable edges.
class QtPrinterPort : public PrinterPort {
  public:
    explicit QtPrinterPort(const QPrinterInfo& info);
    ~QtPrinterPort() override;
    QtPrinterPort(const QtPrinterPort&) = delete;
    QtPrinterPort& operator=(const QtPrinterPort&) = delete;

    // For the print dialog, which chooses the printer and its paper.
    QPrinter& printer() { return printer_; }

    bool installed() const override;
    void setLandscape(bool landscape) override;
    bool capacities(PrinterCaps& caps) const override;
    bool canCopy() const override;
    bool begin(const std::string& title, bool landscape) override;
    // Copies are repeated here: the driver's copy count is fixed for the whole
    // job before the first page, and the job's pages ask for them one by one.
    void send(const QImage& picture, const PaperRect& where, int copies) override;
    void newPage() override;
    void end() override;

  private:
    QPrinter printer_;
    QPainter painter_;
    int offsetLeft_ = 0, offsetTop_ = 0;
};

// The printer to print on: the one named (the last used) while it is still
// installed, else the system's default, else the first there is. Null when
// no printer is installed at all.
std::unique_ptr<QtPrinterPort> SystemPrinter(const std::string& lastUsed = {});

}  // namespace sw
