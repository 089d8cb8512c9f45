// Page setup, stave size, header/footer chooser and favourite fonts.
#include "editor/PageSetup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "core/WarningBox.h"
#include "editor/Undo.h"
#include "layout/PageGeometry.h"

namespace sw {

namespace {

constexpr double kMmPerInch = 25.4;

double Thousandths(int dots, int dpi) {
    return PrinterCaps::Inches(dots, dpi);
}

// The largest x of any object of the music staves, at least 0.
int32_t RightmostObject(const Score& score) {
    int32_t m = 0;
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind != kNothing) m = std::max(m, b.obj[i].x);
    }
    return m;
}

}  // namespace

bool UseLargestPage(PageData& page, const CapacityReader& read) {
    if (!read) {
        page.TopM = page.BotM = page.LeftM = page.RightM = 0;
        page.GutM = page.Header = page.Footer = 0;
        return true;
    }
    PrinterCaps c;
    if (!read(page.landscape, c)) return false;
    // A printer that keeps reporting portrait paper for a landscape page is
    // turned here, so that the page comes out the shape that was asked for.
    if (page.landscape && c.pageWidth < c.pageLength) c = TurnCaps(c, true);
    page.Width = Thousandths(c.pageWidth, c.dpiX);
    page.Length = Thousandths(c.pageLength, c.dpiY);
    page.TopM = Thousandths(c.offsetTop, c.dpiY);
    page.BotM = Thousandths(c.offsetBottom, c.dpiY);
    page.RightM = Thousandths(c.offsetRight, c.dpiX);
    page.LeftM = Thousandths(c.offsetLeft, c.dpiX);
    page.GutM = page.Header = page.Footer = 0;
    return true;
}

double UsableWidth(const PageData& p) {
    return p.Width - p.LeftM - p.RightM - p.GutM;
}

double UsableHeight(const PageData& p) {
    return p.Length - p.TopM - p.BotM - p.Header - p.Footer;
}

// ---------------------------------------------------------------------------
// The page setup dialog

PaperDialogModel::PaperDialogModel(const PageData& page, bool metric, WarningBox& warnings)
    : page_(page), warnings_(warnings), metric_(metric) {}

namespace {
// The page data field behind each box, in the order of the Box enum.
constexpr double PageData::*kBoxFields[PaperDialogModel::BoxCount] = {
    &PageData::Width, &PageData::Length, &PageData::TopM,   &PageData::RightM, &PageData::BotM,
    &PageData::LeftM, &PageData::GutM,   &PageData::Header, &PageData::Footer};
}  // namespace

double PaperDialogModel::value(Box box) const {
    return box >= 0 && box < BoxCount ? page_.*kBoxFields[box] : 0.0;
}

std::string PaperDialogModel::inUnit(double inches) const {
    return LengthInUnit(inches, metric_);
}

std::string PaperDialogModel::boxText(Box box) const {
    return inUnit(value(box));
}

std::string PaperDialogModel::printableWidthText() const {
    return MessageText(msg::PrintableWidth) + inUnit(UsableWidth(page_));
}

std::string PaperDialogModel::printableHeightText() const {
    return MessageText(msg::PrintableHeight) + inUnit(UsableHeight(page_));
}

int PaperDialogModel::standardSize() const {
    auto near = [](double a, double b) { return std::fabs(a - b) <= 0.01 + 1e-9; };
    for (int i = 0; i < static_cast<int>(kStandardSizes.size()); ++i) {
        const StandardSize& s = kStandardSizes[i];
        const double w = page_.landscape ? s.length : s.width;
        const double l = page_.landscape ? s.width : s.length;
        if (near(page_.Width, w) && near(page_.Length, l)) return i;
    }
    return kCustomSize;
}

bool PaperDialogModel::valid() const {
    for (int b = 0; b < BoxCount; ++b)
        if (!(value(static_cast<Box>(b)) >= 0)) return false;
    return UsableWidth(page_) > 0 && UsableHeight(page_) > 0;
}

std::vector<int> PaperDialogModel::marginProblems() const {
    return PageDataProblemIds(page_);
}

void PaperDialogModel::refresh(Host& host) const {
    for (int problem : marginProblems())
        warnings_.show(host, problem, PageDataProblemText(problem), 5, false);
}

void PaperDialogModel::editBox(Box box, const std::string& text, Host& host) {
    if (box < 0 || box >= BoxCount) return;
    const std::optional<double> v = ParseReal(text);
    // Lengths on paper are never negative; such a value is refused like text.
    if (!v || *v < 0 || *v > 1000) {
        host.message(MsgType::Plain, MessageText(msg::BadNumericFormat), Buttons::OK);
        return;
    }
    page_.*kBoxFields[box] = metric_ ? *v / kMmPerInch : *v;
    refresh(host);
}

void PaperDialogModel::setMetric(bool metric) {
    metric_ = metric;
}

void PaperDialogModel::setLandscape(bool landscape, Host& host) {
    if (landscape == page_.landscape) return;
    page_ = TurnPage(page_, landscape);
    page_.landscape = landscape;
    refresh(host);
}

void PaperDialogModel::chooseStandardSize(int item, Host& host) {
    if (item < 0 || item >= static_cast<int>(kStandardSizes.size())) return;
    const StandardSize& s = kStandardSizes[item];
    page_.Width = page_.landscape ? s.length : s.width;
    page_.Length = page_.landscape ? s.width : s.length;
    refresh(host);
}

void PaperDialogModel::useLargest(const CapacityReader& read, Host& host) {
    if (!UseLargestPage(page_, read)) {
        host.message(MsgType::Error, MessageText(msg::PrinterUnreadable), Buttons::OK);
        return;
    }
    refresh(host);
}

bool PaperDialogModel::accept(const CapacityReader& read, Host& host) {
    refresh(host);
    if (!valid()) {
        // A silenced warning must not leave OK doing nothing for no reason shown.
        for (int problem : marginProblems())
            if (warnings_.suppressed(problem))
                host.message(MsgType::Error, PageDataProblemText(problem), Buttons::OK);
        return false;
    }
    PrinterCaps caps;
    // Compared as the print command compares: in portrait, a landscape page
    // turned with its margins.
    if (!read || !read(false, caps)) return true;
    const PageData portrait = page_.landscape ? TurnPage(page_, false) : page_;
    const CapacityProblems p = DescribeCapacityProblems(portrait, caps, metric_);
    if (p.size.empty() && p.margins.empty()) return true;
    if (host.message(MsgType::Error, p.size + p.margins + MessageText(msg::LoadLargestPage),
                     Buttons::YesNo) == Answer::Yes) {
        UseLargestPage(page_, read);
        return true;
    }
    return host.message(MsgType::Confirmation, MessageText(msg::SaveValuesAnyway), Buttons::NoOK) ==
           Answer::OK;
}

// ---------------------------------------------------------------------------
// Staves against the usable width

std::string StaveRuns(const std::vector<int>& staves) {
    std::string out;
    for (std::size_t i = 0; i < staves.size();) {
        std::size_t j = i;
        while (j + 1 < staves.size() && staves[j + 1] == staves[j] + 1)
            ++j;
        if (!out.empty()) out += ",";
        out += std::to_string(staves[i]);
        if (j > i) {
            out += j == i + 1 ? ',' : '-';
            out += std::to_string(staves[j]);
        }
        i = j + 1;
    }
    return out;
}

namespace {

// What a width change alters, kept so that a failure can put it back.
struct StaveEdges {
    std::vector<int32_t> rightX;
    std::vector<std::vector<int32_t>> x;  // filled only when objects were spread
};

StaveEdges SaveEdges(const Score& score, bool withObjects) {
    StaveEdges e;
    e.rightX.resize(score.Nstaves + 1);
    if (withObjects) e.x.resize(score.Nstaves + 1);
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        e.rightX[s] = b.h.RightX;
        if (withObjects)
            for (int i = 1; i <= b.count(); ++i)
                e.x[s].push_back(b.obj[i].x);
    }
    return e;
}

void RestoreEdges(Score& score, const StaveEdges& e) {
    for (int s = 1; s <= score.Nstaves && s < static_cast<int>(e.rightX.size()); ++s) {
        if (!score.hasStave(s)) continue;
        StaveBlock& b = score.stave(s);
        b.h.RightX = e.rightX[s];
        if (s < static_cast<int>(e.x.size()))
            for (int i = 1; i <= b.count() && i <= static_cast<int>(e.x[s].size()); ++i)
                b.obj[i].x = e.x[s][i - 1];
    }
}

int32_t MulDiv(int64_t a, int64_t b, int64_t c) {
    // Rounded as the platform's MulDiv rounds: half away from zero.
    const int64_t p = a * b;
    const int64_t q = (p >= 0) == (c > 0) ? (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c)
                                          : -((std::llabs(p) + std::llabs(c) / 2) / std::llabs(c));
    return static_cast<int32_t>(q);
}

// Wider staves, if the user wants them; false when Abort was chosen.
bool WidenStaves(Score& score, int growth, Host& host, WarningBox& warnings) {
    const Answer a = warnings.ask(host, msg::WidthIncreased, 5, Buttons::YesNoAbort);
    if (a == Answer::Abort) return false;
    if (a != Answer::Yes) return true;
    const bool spread = host.message(MsgType::Confirmation, MessageText(msg::SpreadObjects),
                                     Buttons::YesNo) == Answer::Yes;
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        StaveBlock& b = score.stave(s);
        const int32_t oldSpan = b.h.RightX - b.h.LeftX;
        b.h.RightX += growth;
        // A stave with no length has nothing to spread over.
        if (!spread || oldSpan == 0) continue;
        const int32_t newSpan = b.h.RightX - b.h.LeftX;
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind != kNothing)
                b.obj[i].x = b.h.LeftX + MulDiv(b.obj[i].x - b.h.LeftX, newSpan, oldSpan);
    }
    return true;
}

// Narrower staves, refused (with the list) when objects would fall off.
bool NarrowStaves(Score& score, int width, Host& host) {
    const int32_t edge = width - 5;
    std::vector<int> offending;
    for (int s = 1; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind != kNothing && b.obj[i].x > edge) {
                offending.push_back(s);
                break;
            }
    }
    if (!offending.empty()) {
        host.message(MsgType::Error, FormatMessage(msg::ObjectsFallOff, StaveRuns(offending)),
                     Buttons::OK);
        return false;
    }
    for (int s = 1; s <= score.Nstaves; ++s)
        if (score.hasStave(s) && score.stave(s).h.RightX > edge) score.stave(s).h.RightX = edge;
    return true;
}

// The staves follow the usable width from `oldWidth` to `newWidth`; false
// when the user aborted or objects would fall off.
bool FollowWidth(Score& score, int newWidth, int oldWidth, Host& host, WarningBox& warnings) {
    if (newWidth > oldWidth) return WidenStaves(score, newWidth - oldWidth, host, warnings);
    if (newWidth < oldWidth) return NarrowStaves(score, newWidth, host);
    return true;
}

int UsablePixels(const Score& score) {
    return ComputePageGeometry(score).width;
}

}  // namespace

WidthChange ApplyPageWidthChange(Score& score, int newWidth, int oldWidth, Host& host,
                                 WarningBox& warnings, const std::function<void()>& restore,
                                 const PictureSetUp& setUpPicture) {
    const StaveEdges before = SaveEdges(score, newWidth > oldWidth);
    auto abandon = [&] {
        RestoreEdges(score, before);
        if (restore) restore();
        return WidthChange::Abandoned;
    };
    if (!FollowWidth(score, newWidth, oldWidth, host, warnings)) return abandon();
    if (setUpPicture && !setUpPicture()) {
        host.message(MsgType::Error, MessageText(msg::BitmapFailedOldRetained), Buttons::OK);
        abandon();
        // The old values must have a picture again.
        setUpPicture();
        return WidthChange::Abandoned;
    }
    return newWidth == oldWidth ? WidthChange::Unchanged : WidthChange::Done;
}

bool ApplyPageLayout(UndoDocument& doc, const PageData& edited, Host& host, WarningBox& warnings,
                     const PictureSetUp& setUpPicture) {
    Score& score = doc.score;
    const PageData saved = score.page;
    const int oldWidth = UsablePixels(score);
    if (SamePageData(saved, edited)) return false;
    const bool wasModified = doc.modified;
    score.page = edited;
    doc.modified = true;
    const int newWidth = UsablePixels(score);
    const WidthChange r = ApplyPageWidthChange(
        score, newWidth, oldWidth, host, warnings,
        [&] {
            score.page = saved;
            doc.modified = wasModified;
        },
        setUpPicture);
    if (r == WidthChange::Abandoned) return false;
    // The texts of an area that was taken away go with it.
    const bool dropHeader = saved.Header > 0 && score.page.Header == 0;
    const bool dropFooter = saved.Footer > 0 && score.page.Footer == 0;
    if (!dropHeader && !dropFooter) return true;
    StaveBlock& z = score.stave(0);
    for (int i = 1; i <= z.count(); ++i) {
        const int kind = z.obj[i].kind;
        if ((dropHeader && kind == kHeadertext) || (dropFooter && kind == kFootertext))
            UnlinkAndDelete(z, i);
    }
    TidyStave(score, 0, false);
    return true;
}

int TextsLostWithArea(const Score& score, const PageData& edited, bool header) {
    const double before = header ? score.page.Header : score.page.Footer;
    const double after = header ? edited.Header : edited.Footer;
    if (!(before > 0 && after == 0)) return 0;
    const StaveBlock& z = score.stave(0);
    int n = 0;
    for (int i = 1; i <= z.count(); ++i)
        n += z.obj[i].kind == (header ? kHeadertext : kFootertext);
    return n;
}

int UsablePixelsFor(const PageData& page, double staveSize) {
    // As the page picture's geometry measures it.
    return std::max(1, static_cast<int>(std::nearbyint(32.0 / staveSize * UsableWidth(page))));
}

double LargestStaveSize(const Score& score) {
    const double m = RightmostObject(score);
    return std::min(1.0, UsableWidth(score.page) * 32.0 / (m + 5));
}

// ---------------------------------------------------------------------------
// Stave size

std::optional<double> ParseStaveSize(const std::string& text, bool metric) {
    const std::optional<double> v = ParseRealOrFraction(text);
    if (!v) return std::nullopt;
    return metric ? *v * 0.03937 : *v;
}

StaveSizeDialogModel::StaveSizeDialogModel(double current, bool metric)
    : metric_(metric), box_(LengthInUnit(current, metric)) {}

std::string StaveSizeDialogModel::label() const {
    return MessageText(metric_ ? msg::StaveHeightMm : msg::StaveHeightInches);
}

void StaveSizeDialogModel::largestPossible(const Score& score) {
    const double inches = LargestStaveSize(score) - 0.001;
    box_ = LengthInUnit(inches, metric_);
}

std::optional<double> StaveSizeDialogModel::accept(Host& host) const {
    const std::optional<double> size = ParseStaveSize(box_, metric_);
    if (!size) {
        host.message(MsgType::Error, MessageText(msg::BadSizeFormat), Buttons::OK);
        return std::nullopt;
    }
    if (!(*size >= kMinStaveSize - 1e-9 && *size <= kMaxStaveSize + 1e-9)) {
        host.message(MsgType::Error, MessageText(msg::StaveSizeOutOfRange), Buttons::OK);
        return std::nullopt;
    }
    return *size;
}

bool ApplyStaveSizeChange(UndoDocument& doc, double oldSize, Host& host, WarningBox& warnings,
                          const PictureSetUp& setUpPicture) {
    Score& score = doc.score;
    const double newSize = score.staveSize;
    const double usable = UsableWidth(score.page);
    const int e = static_cast<int>(std::nearbyint(32.0 / oldSize * usable));
    const int o = static_cast<int>(std::nearbyint(32.0 / newSize * usable));
    const StaveEdges before = SaveEdges(score, o > e);
    auto giveUp = [&] {
        RestoreEdges(score, before);
        score.staveSize = oldSize;
        return false;
    };
    if (!FollowWidth(score, o, e, host, warnings)) return giveUp();
    if (setUpPicture && !setUpPicture()) {
        giveUp();
        host.message(MsgType::Error,
                     MessageText(msg::StaveSizeTooSmall) + "\n" + MessageText(msg::ResetToOldValue),
                     Buttons::OK);
        setUpPicture();
        return false;
    }
    doc.modified = true;
    return true;
}

// ---------------------------------------------------------------------------
// Header/footer chooser

HeaderFooterChooser OpenHeaderFooterChooser(const PageData& page, bool metric, Host& host) {
    HeaderFooterChooser c;
    auto size = [metric](double inches) {
        char buf[48];
        if (metric)
            std::snprintf(buf, sizeof buf, "%5.2f mm", inches * kMmPerInch);
        else
            std::snprintf(buf, sizeof buf, "%5.3f\"", inches);
        return std::string(buf);
    };
    c.headerText = size(page.Header);
    c.footerText = size(page.Footer);
    c.headerEnabled = page.Header >= 0.1;
    c.footerEnabled = page.Footer >= 0.1;
    if (!c.headerEnabled && !c.footerEnabled)
        host.message(
            MsgType::Information,
            MessageText(msg::NoHeaderFooter) + "\n\n" + MessageText(msg::NoHeaderFooterAdvice),
            Buttons::OK);
    else if (c.headerEnabled != c.footerEnabled)
        c.chosen =
            c.headerEnabled ? HeaderFooterChooser::HeaderArea : HeaderFooterChooser::FooterArea;
    return c;
}

}  // namespace sw
