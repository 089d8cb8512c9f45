// Page picture geometry.
#include "layout/PageGeometry.h"

#include <algorithm>
#include <cmath>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

PageGeometry ComputePageGeometry(const Score& score) {
    PageGeometry g;
    const PageData& p = score.page;
    g.ppiY = 32.0 / (score.staveSize > 0 ? score.staveSize : 0.3);
    g.ppiX = g.ppiY;
    g.width = static_cast<int>(std::nearbyint((p.Width - p.LeftM - p.RightM - p.GutM) * g.ppiX));
    g.height = static_cast<int>(
        std::nearbyint((p.Length - p.TopM - p.BotM - p.Header - p.Footer) * g.ppiY));
    // The header/footer page shows the whole printable height, footer included.
    g.headerFooterHeight = static_cast<int>(std::nearbyint((p.Length - p.TopM - p.BotM) * g.ppiY));
    if (g.width < 1) g.width = 1;
    if (g.height < 1) g.height = 1;
    if (g.headerFooterHeight < g.height) g.headerFooterHeight = g.height;
    return g;
}

int FooterTop(const Score& score) {
    const PageData& p = score.page;
    const double ppiY = 32.0 / (score.staveSize > 0 ? score.staveSize : 0.3);
    return static_cast<int>(std::nearbyint((p.Length - p.TopM - p.BotM - p.Footer) * ppiY));
}

int HeaderFooterBand(const Score& score, bool header) {
    const double inches = header ? score.page.Header : score.page.Footer;
    return std::max(1, static_cast<int>(std::lround(inches * ComputePageGeometry(score).ppiY)));
}

std::vector<int> PageDataProblemIds(const PageData& p) {
    std::vector<int> problems;
    // The header and footer take page length as the margins do.
    if (p.TopM + p.BotM + p.Header + p.Footer >= p.Length) problems.push_back(msg::MarginsTooLong);
    if (p.LeftM + p.RightM + p.GutM >= p.Width) problems.push_back(msg::MarginsTooWide);
    return problems;
}

std::string PageDataProblemText(int problem) {
    return MessageText(problem) + "\n" + MessageText(msg::PleaseFix);
}

std::vector<std::string> PageDataProblems(const PageData& p) {
    std::vector<std::string> problems;
    for (int id : PageDataProblemIds(p))
        problems.push_back(PageDataProblemText(id));
    return problems;
}

bool PagePictureFits(const PageGeometry& g, int depth, double budget) {
    const double bytes = static_cast<double>(g.width) * g.headerFooterHeight * depth / 8.0;
    return bytes <= budget;
}

double SmallestStaveSize(const Score& score, int depth, double budget) {
    const PageData& p = score.page;
    // bytes = width x length x (32 / size)^2 x depth / 8, solved for the size.
    return std::sqrt(128.0 * depth * (p.Width - p.LeftM - p.RightM - p.GutM) *
                     (p.Length - p.TopM - p.BotM) / budget);
}

}  // namespace sw
