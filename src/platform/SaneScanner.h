// The scanner through SANE: the local devices, one page scanned as 1-bit ink.
#pragma once

#include "scan/Scanner.h"

namespace sw {

class SaneScanner : public Scanner {
  public:
    SaneScanner() = default;
    ~SaneScanner() override;
    SaneScanner(const SaneScanner&) = delete;
    SaneScanner& operator=(const SaneScanner&) = delete;

    std::vector<std::string> sources() override;
    // Black and white where the device offers it ("Lineart"), else grey at
    // one bit, else grey cut at half its range.
    ScanOutcome acquire(const std::string& source, int dpi,
                        const std::function<bool(int)>& progress) override;

  private:
    bool start();
    bool started_ = false;
};

}  // namespace sw
