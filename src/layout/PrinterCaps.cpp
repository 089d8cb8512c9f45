// Printer capacities against a page.
#include "layout/PrinterCaps.h"

#include <cstdio>
#include <utility>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"

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

PrinterCaps TurnCaps(const PrinterCaps& c, bool toLandscape) {
    PrinterCaps t = c;
    std::swap(t.dpiX, t.dpiY);
    std::swap(t.pageWidth, t.pageLength);
    if (toLandscape)
        t.offsetTop = c.offsetLeft, t.offsetLeft = c.offsetBottom, t.offsetBottom = c.offsetRight,
        t.offsetRight = c.offsetTop;
    else
        t.offsetTop = c.offsetRight, t.offsetRight = c.offsetBottom, t.offsetBottom = c.offsetLeft,
        t.offsetLeft = c.offsetTop;
    t.landscape = toLandscape;
    return t;
}

namespace {
std::string Number(double inches, bool metric) {
    return LengthInUnit(inches, metric) + (metric ? "mm" : "\"");
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
