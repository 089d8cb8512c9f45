// System, screen, engine and printer facts from Linux and Qt.
#include "platform/SystemFacts.h"

#include <sys/utsname.h>

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <cstdio>
#include <fstream>
#include <string>

namespace sw {

namespace {

// The distribution's name, "PRETTY_NAME" of /etc/os-release.
std::string Distribution() {
    std::ifstream in("/etc/os-release");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        std::string v = line.substr(12);
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        return v;
    }
    return {};
}

// The resident set of this process in megabytes, -1 unknown.
long ResidentMb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        long kb = 0;
        if (std::sscanf(line.c_str(), "VmRSS: %ld kB", &kb) == 1) return kb / 1024;
    }
    return -1;
}

constexpr int kEngineWaitMs = 3000;

}  // namespace

SystemInfo LinuxSystemFacts::system() const {
    SystemInfo info;
    struct utsname u {};
    if (uname(&u) == 0) {
        const std::string distro = Distribution();
        info.name = std::string(u.sysname) + (distro.empty() ? "" : " (" + distro + ")");
        int patch = -1;
        if (std::sscanf(u.release, "%d.%d.%d", &info.major, &info.minor, &patch) == 3)
            info.build = std::to_string(patch);
        info.service = u.version;
    }
    info.memoryMb = ResidentMb();
    return info;
}

ScreenInfo LinuxSystemFacts::screens() const {
    ScreenInfo s;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return s;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return s;
    s.width = primary->size().width();
    s.height = primary->size().height();
    s.monitors = static_cast<int>(QGuiApplication::screens().size());
    s.depth = primary->depth();
    return s;
}

std::optional<std::string> LinuxSystemFacts::engineVersion(const std::string& program) const {
    QProcess engine;
    engine.setProcessChannelMode(QProcess::SeparateChannels);
    engine.start(QString::fromStdString(program), {"--version"});
    if (!engine.waitForFinished(kEngineWaitMs)) {
        engine.kill();
        engine.waitForFinished();
        return std::nullopt;
    }
    if (engine.exitStatus() != QProcess::NormalExit || engine.exitCode() != 0) return std::nullopt;
    const QString line = QString::fromUtf8(engine.readAllStandardOutput()).section('\n', 0, 0);
    const std::string text = line.trimmed().toStdString();
    if (text.empty()) return std::nullopt;
    return text;
}

std::vector<std::string> QtPrinterFacts::printers() const {
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        names.push_back(n.toStdString());
    return names;
}

std::string QtPrinterFacts::defaultPrinter() const {
    return QPrinterInfo::defaultPrinterName().toStdString();
}

std::optional<PrintableArea> QtPrinterFacts::area(const std::string& name) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
    if (info.isNull()) return std::nullopt;
    QPrinter printer(info, QPrinter::HighResolution);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Inch);
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QMarginsF least = layout.minimumMargins();
    PrintableArea a;
    a.pageHeight = full.height();
    a.pageWidth = full.width();
    a.left = least.left();
    a.top = least.top();
    a.right = least.right();
    a.bottom = least.bottom();
    a.dpiX = a.dpiY = printer.resolution();
    return a;
}

}  // namespace sw
