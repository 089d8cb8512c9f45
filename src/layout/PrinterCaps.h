// What a printer can do: its resolution, paper and unprintable edges, in
// printer dots, with the conversions the page setup and the print check show.
#pragma once

#include <cmath>
#include <string>

#include "model/Score.h"

namespace sw {

struct PrinterCaps {
    int dpiX = 300, dpiY = 300;
    int pageWidth = 2400, pageLength = 3300;  // dots
    int offsetLeft = 180, offsetTop = 180, offsetRight = 180, offsetBottom = 180;
    bool landscape = false;  // the printer's orientation when read

    // Dots as inches, rounded to thousandths as the page setup stores them.
    static double Inches(int dots, int dpi) {
        return dpi > 0 ? std::round(1000.0 * dots / dpi) / 1000.0 : 0.0;
    }
    static double Millimetres(int dots, int dpi) { return dpi > 0 ? dots * 25.4 / dpi : 0.0; }
};

// The page turned with its margins, as when the paper is turned to landscape
// (or back): width and length exchange, each margin moves a quarter turn.
PageData TurnPage(const PageData& page, bool toLandscape);

// The capacities with the paper turned a quarter (to landscape, or back):
// sizes and resolutions exchange, each unprintable edge moves as TurnPage
// moves the margins.
PrinterCaps TurnCaps(const PrinterCaps& caps, bool toLandscape);

// What of the page the printer cannot do, as the lines shown to the user:
// paper larger than the printer's, and margins inside its unprintable edges.
// Values in millimetres (1 decimal) or inches (3 decimals).
struct CapacityProblems {
    std::string size, margins;
};
CapacityProblems DescribeCapacityProblems(const PageData& page, const PrinterCaps& caps,
                                          bool metric);

}  // namespace sw
