// Printer capacities against a page.
#include "layout/PrinterCaps.h"

#include <cstdio>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

PageData TurnPage(const PageData& p, bool toLandscape) {
    PageData g = p;
    std::swap(g.Width, g.Length);
    if (toLandscape)
        g.TopM = p.LeftM, g.LeftM = p.BotM, g.BotM = p.RightM, g.RightM = p.TopM;
    else
        g.TopM = p.RightM, g.RightM = p.BotM, g.BotM = p.LeftM, g.LeftM = p.TopM;
    return g;
}

namespace {
std::string Number(double inches, bool metric) {
    char buf[32];
    std::snprintf(buf, sizeof buf, metric ? "%.1f%s" : "%.3f%s", metric ? inches * 25.4 : inches,
                  metric ? "mm" : "\"");
    return buf;
}
double InchesOf(int dots, int dpi) {
    return dpi > 0 ? static_cast<double>(dots) / dpi : 0.0;
}
}  // namespace

CapacityProblems DescribeCapacityProblems(const PageData& g, const PrinterCaps& caps, bool metric) {
    CapacityProblems out;
    const double tolerance = 1e-9;
    if (caps.dpiX > 0 && g.Width > InchesOf(caps.pageWidth, caps.dpiX) + tolerance)
        out.size += FormatMessage(msg::CapacityWidth, Number(g.Width, metric),
                                  Number(InchesOf(caps.pageWidth, caps.dpiX), metric));
    if (caps.dpiY > 0 && g.Length > InchesOf(caps.pageLength, caps.dpiY) + tolerance)
        out.size += FormatMessage(msg::CapacityLength, Number(g.Length, metric),
                                  Number(InchesOf(caps.pageLength, caps.dpiY), metric));
    struct Side {
        const char* name;
        double margin;
        int dots, dpi;
    };
    const Side sides[4] = {{"left", g.LeftM, caps.offsetLeft, caps.dpiX},
                           {"top", g.TopM, caps.offsetTop, caps.dpiY},
                           {"right", g.RightM, caps.offsetRight, caps.dpiX},
                           {"bottom", g.BotM, caps.offsetBottom, caps.dpiY}};
    for (const Side& s : sides)
        if (s.dpi > 0 && s.margin + tolerance < InchesOf(s.dots, s.dpi))
            out.margins += FormatMessage(msg::CapacityMargin, s.name, Number(s.margin, metric),
                                         Number(InchesOf(s.dots, s.dpi), metric));
    return out;
}

}  // namespace sw
