// What the platform tells the options window about the machine: the
// operating system, memory and screens, the recognition engine's version, and
// the printers with their printable areas.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sw {

class FolderFacts;

struct SystemInfo {
    std::string name;  // the operating system's name
    int major = 0, minor = 0;
    std::string build;    // its build number, empty when it has none
    std::string service;  // the rest of its version text
    long memoryMb = -1;   // memory the program uses; -1 unknown
};

struct ScreenInfo {
    int width = 0, height = 0;  // the primary screen; 0 without one
    int monitors = 0;
    int depth = 0;  // bits per pixel
};

class SystemFacts {
  public:
    virtual ~SystemFacts() = default;
    virtual SystemInfo system() const = 0;
    virtual ScreenInfo screens() const = 0;
    // The engine program's own version line; nothing when it gives none.
    virtual std::optional<std::string> engineVersion(const std::string& program) const = 0;
};

// A printer's paper and the part of it the printer reaches, in inches.
struct PrintableArea {
    double pageHeight = 0, pageWidth = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    int dpiX = 0, dpiY = 0;
};

class PrinterFacts {
  public:
    virtual ~PrinterFacts() = default;
    virtual std::vector<std::string> printers() const = 0;
    // The system's default printer, empty without one.
    virtual std::string defaultPrinter() const = 0;
    virtual std::optional<PrintableArea> area(const std::string& printer) const = 0;
    // "Printer Set&up" on that printer; false when nothing was set.
    virtual bool setUp(const std::string& /*printer*/) { return false; }
};

// Where the options window finds the machine's facts; a null member leaves
// its lines blank.
struct OptionsPlatform {
    const FolderFacts* folders = nullptr;
    const SystemFacts* system = nullptr;
    PrinterFacts* printers = nullptr;
    std::string appDir;   // holds VELTRO/LEARNED/MUSIC
    std::string engine;   // the recognition engine's program, empty when none is installed
    std::string program;  // this program's name and version
};

}  // namespace sw
