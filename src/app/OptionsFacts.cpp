// The read-only lines of the options window: the system, the program, the
// recognition engine, the screens, the printer's printable area and the run
// counts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/Options.h"
#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

namespace {

// "d mmm yyyy" of a file's last change, in local time.
std::string FileDate(const std::filesystem::path& file) {
    std::error_code ec;
    const auto when = std::filesystem::last_write_time(file, ec);
    if (ec) return {};
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(when)));
    std::tm local{};
    if (!localtime_r(&t, &local)) return {};
    char buf[32];
    std::strftime(buf, sizeof buf, "%d %b %Y", &local);
    // The day without its leading zero.
    return buf[0] == '0' ? std::string(buf + 1) : std::string(buf);
}

std::vector<std::string> EngineLines(const OptionsPlatform& p) {
    std::error_code ec;
    if (p.engine.empty() || !std::filesystem::is_regular_file(p.engine, ec))
        return {MessageText(msg::EngineNotFound)};
    std::vector<std::string> lines;
    const std::optional<std::string> version =
        p.system ? p.system->engineVersion(p.engine) : std::nullopt;
    lines.push_back(version ? FormatMessage(msg::EngineVersion, *version)
                            : MessageText(msg::EngineNoProductInfo));
    const std::filesystem::path learned =
        std::filesystem::path(p.appDir) / "VELTRO" / "LEARNED" / "MUSIC";
    if (!p.appDir.empty() && std::filesystem::exists(learned, ec))
        lines.push_back(FormatMessage(msg::EngineLearnedDate, FileDate(learned)));
    return lines;
}

}  // namespace

std::vector<std::string> SystemTabLines(const OptionsPlatform& p) {
    std::vector<std::string> lines;
    if (p.system) {
        const SystemInfo i = p.system->system();
        lines.push_back(i.name);
        lines.push_back(FormatMessage(msg::SystemVersion, i.major, i.minor));
        if (!i.build.empty()) lines.push_back(FormatMessage(msg::SystemBuild, i.build));
        if (!i.service.empty()) lines.push_back(i.service);
        if (i.memoryMb >= 0) lines.push_back(FormatMessage(msg::MemoryInUse, i.memoryMb));
    }
    if (!p.program.empty()) lines.push_back(p.program);
    for (std::string& line : EngineLines(p))
        lines.push_back(std::move(line));
    if (p.system) {
        const ScreenInfo s = p.system->screens();
        if (s.width > 0) lines.push_back(FormatMessage(msg::ScreenResolution, s.width, s.height));
        if (s.monitors > 1)
            lines.push_back(std::to_string(s.monitors) + MessageText(msg::MonitorSystem));
        if (s.depth > 0) lines.push_back(FormatMessage(msg::ColourDepth, s.depth));
    }
    return lines;
}

PrinterFigures PrinterTabFigures(const std::optional<PrintableArea>& area, bool inches) {
    PrinterFigures f;
    f.units = MessageText(inches ? msg::UnitsAreInches : msg::UnitsAreMm);
    if (!area) return f;
    auto value = [inches](double v) {
        char buf[32];
        if (inches)
            std::snprintf(buf, sizeof buf, "%5.3f\"", v);
        else
            std::snprintf(buf, sizeof buf, "%5.2f", v * 25.4);
        return std::string(buf);
    };
    f.pageHeight = value(area->pageHeight);
    f.pageWidth = value(area->pageWidth);
    f.left = value(area->left);
    f.top = value(area->top);
    f.right = value(area->right);
    f.bottom = value(area->bottom);
    f.resolution = FormatMessage(msg::PrinterResolution, area->dpiX, area->dpiY);
    return f;
}

std::string RunCountLine(const Settings& settings) {
    return FormatMessage(msg::RunCount, Grouped(static_cast<uint64_t>(std::max(0, settings.runs))),
                         Grouped(static_cast<uint64_t>(std::max(0, settings.printouts))));
}

}  // namespace sw
