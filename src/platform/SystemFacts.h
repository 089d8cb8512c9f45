// The machine's facts for the options window: the kernel and distribution,
// the program's memory, the screens, the engine's version and the printers.
#pragma once

#include "core/PlatformFacts.h"

namespace sw {

// uname, /etc/os-release and /proc/self/status; the screens from the Qt
// application when there is one.
class LinuxSystemFacts : public SystemFacts {
  public:
    SystemInfo system() const override;
    ScreenInfo screens() const override;
    // The engine run with --version (an argument list, no shell) for at most a few seconds.
    std::optional<std::string> engineVersion(const std::string& program) const override;
};

// The installed printers through Qt's print support.
class QtPrinterFacts : public PrinterFacts {
  public:
    std::vector<std::string> printers() const override;
    std::string defaultPrinter() const override;
    std::optional<PrintableArea> area(const std::string& printer) const override;
};

}  // namespace sw
