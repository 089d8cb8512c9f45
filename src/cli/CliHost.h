// The command line's Host: messages go to stderr and every question takes its
// safe default, so no prompt can block a script.
#pragma once

#include <iosfwd>

#include "core/Host.h"

namespace sw {

class CliHost : public Host {
  public:
    explicit CliHost(std::ostream& err) : err_(err) {}

    Answer message(MsgType type, const std::string& text, Buttons buttons) override;
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    WarningAnswer warning(const std::string& text, Buttons buttons) override;
    std::optional<std::string> openFileName(const FileDialogSpec&) override { return {}; }
    std::optional<std::string> saveFileName(const FileDialogSpec&) override { return {}; }
    void progressBegin(const std::string&) override {}
    void progressText(const std::string&) override {}
    bool progressStep(int) override { return true; }
    void progressEnd() override {}
    void setBusy(bool) override {}

    int shown() const { return shown_; }

  private:
    std::ostream& err_;
    int shown_ = 0;
};

}  // namespace sw
