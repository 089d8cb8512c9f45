// Page composition.
#include "render/PageView.h"

#include <unistd.h>

#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/Host.h"

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/GlyphTable.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"
#include "render/Rulers.h"

namespace sw {

namespace {

constexpr int kTopLines[6] = {0, 0, -1, -1, -2, -2};
constexpr int kBottomLines[6] = {0, 1, 1, 2, 2, 3};

struct Lines {
    int T = -2, B = 2, count = 5;
};

Lines LinesOf(const StaveHeader& h) {
    Lines l;
    if (h.lineCount >= 1 && h.lineCount <= 6) {
        l.count = h.lineCount;
        l.T = kTopLines[h.lineCount - 1];
        l.B = kBottomLines[h.lineCount - 1];
    }
    return l;
}

// A vertical bar of `width` pixels from y1 to y2 inclusive, on either picture.
void VBar(Surface& out, int x, int width, int y1, int y2, uint32_t colour) {
    if (y2 < y1) std::swap(y1, y2);
    if (out.printMode()) {
        out.printBar(3 * x - 1, 3 * y1, 3 * (x + width) - 1, 3 * (y2 + 1));
        return;
    }
    for (int k = 0; k < width; ++k)
        out.line(x + k, y1, x + k, y2 + 1, LineSpec{1, colour, false});
}

bool InBracket(const Score& score, int s) {
    const StaveHeader& h = score.stave(s).h;
    return h.withBracket || (s > 1 && score.stave(s - 1).h.bracketWithNext);
}

}  // namespace

std::pair<int, int> BarNumberLabelOffset(const Score& score, int s) {
    const StaveHeader& h = score.stave(s).h;
    int m = h.barNumberPlace;
    const bool joined = h.joinToNext;
    if (m == 2 && (joined || (s > 1 && score.stave(s - 1).h.joinToNext))) m = 1;
    if (m == 1) {
        const int lines = LinesOf(h).count;
        int dy = -(LineSpacing(h.sizeIndex) * lines / 2) - 3;
        if (joined) dy -= 10;
        return {5, dy};
    }
    if (m == 2) return {-3, 0};
    return {0, 0};
}

void DrawStave(Surface& out, const Score& score, int s, uint32_t colour, uint32_t kinds,
               const DrawSettings& settings, const PageViewState& view, int pictureWidth) {
    if (!score.hasStave(s)) return;
    const StaveHeader& h = score.stave(s).h;
    if (h.invisible && out.printMode()) return;  // a non-printing stave
    if (h.invisible) colour = settings.colours.nonprinting;
    const int sp = LineSpacing(h.sizeIndex);
    const bool small = h.sizeIndex != 0;
    const Lines l = LinesOf(h);
    const int top = h.Ycoord + l.T * sp - 1, bottom = h.Ycoord + l.B * sp - 1;
    const bool last = s >= score.Nstaves;
    const StaveHeader* next = last ? nullptr : &score.stave(s + 1).h;
    const bool prevJoined = s > 1 && score.stave(s - 1).h.joinToNext;
    const bool prevBracket = s > 1 && score.stave(s - 1).h.bracketWithNext;

    if (kinds == kAllKinds) {
        // Bracket hooks sit as far above the top line (below the bottom line)
        // as on a five-line stave.
        if (h.withBracket && !prevBracket)
            out.glyph(glyph::STAVE1, h.LeftX, h.Ycoord + sp * (l.T + 2) + (small ? 6 : 0), 1.0,
                      small, false, colour);
        for (int k : {0, 1, -1, 2, -2, 3}) {
            if (k < l.T || k > l.B) continue;
            const int y = h.Ycoord + k * sp;
            if (out.printMode())
                out.printBar(3 * h.LeftX, 3 * y - 1, 3 * h.RightX - 3, 3 * y + 2);
            else
                out.line(h.LeftX, y - 1, h.RightX, y - 1, LineSpec{1, colour, false});
        }
        if (l.count > 1 && (InBracket(score, s) || h.joinToNext || prevJoined))
            VBar(out, h.LeftX, 1, h.Ycoord + l.T * sp - 1, h.Ycoord + l.B * sp - 1, colour);
        if (next) {
            const Lines nl = LinesOf(*next);
            const int nextTop = next->Ycoord + nl.T * LineSpacing(next->sizeIndex) - 1;
            const int nextBottom = next->Ycoord + nl.B * LineSpacing(next->sizeIndex) - 1;
            if (h.joinToNext) VBar(out, h.LeftX, 1, bottom, nextTop, colour);
            if (h.joinToNext && h.fullEndBar)
                VBar(out, h.RightX, 2, h.Ycoord - 2 * sp + 1 - 1,
                     next->Ycoord + 2 * LineSpacing(next->sizeIndex) - 1, colour);
            if (h.bracketWithNext) VBar(out, h.LeftX - 3, 4, top, nextBottom, colour);
        }
        if (InBracket(score, s) && !h.bracketWithNext)
            out.glyph(glyph::STAVE2, h.LeftX, h.Ycoord + sp * (l.B - 2) - (small ? 6 : 0), 1.0,
                      small, false, colour);
        if (h.barNumberPlace == 1 || h.barNumberPlace == 2) {
            const auto [dx, dy] = BarNumberLabelOffset(score, s);
            TextDraw td;
            td.font = {settings.barFont.name,
                       settings.barFont.size > 0 ? settings.barFont.size : 10,
                       settings.barFont.style};
            td.colour = colour;
            const std::string text = std::to_string(h.barNumber);
            const int height = out.textHeight(td);
            const int px = h.LeftX + dx, py = h.Ycoord + dy;
            // Above the stave the number starts at the point with its bottom on
            // it; at the left it ends at the point, centred on it.
            const bool above = dx > 0;
            // A label the page's edge would cut off (left of a stave near the
            // edge, above a joined stave at the top of a page) is moved in, so
            // that the whole number shows, its box too.
            const int margin = score.boxedBarNumbers ? out.spaceWidth(td) : 0;
            const int textX = std::max(margin, above ? px : px - out.textWidth(text, td));
            const int textY = std::max(0, above ? py - height : py - height / 2);
            const int drawn = out.text(text, td, textX, textY);
            if (score.boxedBarNumbers) {
                out.rectangle(textX - margin, textY, textX + drawn + margin, textY + height, colour,
                              false, colour);
            }
        }
    }
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const int kind = b.obj[i].kind;
        if (kind > kMaxKind || !(kinds & (1u << kind))) continue;
        DrawObject(out, score, s, i, DrawRequest{colour, false, true}, settings);
    }
    if (kinds == kAllKinds && h.ForcedBk && !out.printMode() && !view.preview()) {
        const int y = score.stave(s).h.MaxY;
        out.line(0, y, pictureWidth, y, LineSpec{2, settings.colours.nonprinting, false});
    }
}

void DrawBraces(Surface& out, const Score& score, int first, int last, uint32_t colour) {
    first = std::max(first, 1);
    last = std::min<int>(last, score.Nstaves);
    for (int s = first; s <= last; ++s) {
        const StaveHeader& h = score.stave(s).h;
        if (!h.withBrace || (s > 1 && score.stave(s - 1).h.withBrace)) continue;
        int end = s;
        while (end < score.Nstaves && score.stave(end).h.withBrace)
            ++end;
        const StaveHeader& e = score.stave(end).h;
        const Lines tl = LinesOf(h), bl = LinesOf(e);
        const int top = h.Ycoord + tl.T * LineSpacing(h.sizeIndex) - 1;
        const int bottom = e.Ycoord + bl.B * LineSpacing(e.sizeIndex) - 1;
        if (bottom <= top) continue;  // nothing to span
        const int x = e.LeftX - (e.withBracket ? 6 : 2);
        const int k = out.printMode() ? 3 : 1;
        const int Y1 = top * k, Y2 = bottom * k, X = x * k, factor = 40 * k;
        for (int y = Y1; y <= Y2; ++y) {
            double t = 2.0 * (y - Y1) / (Y2 - Y1);
            if (t > 1) t = 2 - t;
            const double m = 2 * t * (t - 0.5) * (t - 1), o = 0.2 * t * (1 - t), r = 0.2 * t;
            const int x1 = X - RoundEven((m + o + r) * factor) - 1;
            const int x2 = X - RoundEven((r + m - o) * factor);
            if (out.printMode())
                out.printBar(x1 - 1, y, x2 - 1, y + 1);
            else
                out.line(x1, y, x2 + 1, y, LineSpec{1, colour, false});
        }
    }
}

void DrawStaveWithNeighbours(Surface& out, const Score& score, int s, uint32_t colour,
                             const DrawSettings& settings, const PageViewState& view,
                             int pictureWidth) {
    DrawStave(out, score, s, colour, kAllKinds, settings, view, pictureWidth);
    const int first = SystemBounds(score, s).first;
    if (first != s && first >= 1)
        DrawStave(out, score, first, colour, 1u << kBarline, settings, view, pictureWidth);
}

namespace {

// Draws object i of stave 0, a footer text in the footer band.
void DrawStaveZeroObject(Surface& out, const Score& score, int i, uint32_t colour,
                         const DrawSettings& settings) {
    const ScoreObject& o = score.stave(0).obj[i];
    if (o.kind != kFootertext) {
        DrawObject(out, score, 0, i, DrawRequest{colour, false, true}, settings);
        return;
    }
    ScoreObject moved = o;
    moved.y += FooterTop(score);
    DrawObject(out, score, 0, moved, i, DrawRequest{colour, false, true}, settings);
}

void DrawHeaderFooterForPrint(Surface& out, const Score& score, int page,
                              const DrawSettings& settings) {
    DrawSettings set = settings;
    set.textEnv.headerFooterPass = true;
    set.textEnv.pageNumber = page + score.Page1 - 1;
    const StaveBlock& b = score.stave(0);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const int kind = b.obj[i].kind;
        if (kind == kFootertext || kind == kLine || kind == kText || kind == kHeadertext)
            DrawStaveZeroObject(out, score, i, kBlack, set);
    }
}

void DrawHeaderFooterPage(const DrawContext& ctx, Surface& out, const Score& score,
                          const DrawSettings& settings) {
    QImage* img = ctx.canvas();
    if (!img) return;
    const PageGeometry g = ComputePageGeometry(score);
    const PageData& p = score.page;
    const int y1 = static_cast<int>(std::nearbyint(p.Header * g.ppiY)) + 1;
    const int y2 =
        static_cast<int>(std::nearbyint((p.Length - p.TopM - p.BotM - p.Footer) * g.ppiY)) - 2;
    {
        QPainter painter(img);
        painter.fillRect(QRect(0, y1, g.width, std::max(0, y2 - y1)), QColor(0xC0, 0xC0, 0xC0));
    }
    TextDraw td;
    td.font = {"Times New Roman", 15, 0};
    td.colour = kBlack;
    const int texts[] = {msg::HeaderPage1, msg::HeaderPage2, msg::HeaderPage3,
                         msg::HeaderPage4, msg::HeaderPage5, msg::HeaderPage6};
    // Smaller type until the longest line fits the picture.
    while (td.font.pointSize > 6 && out.textWidth(MessageText(msg::HeaderPage2), td) > g.width)
        --td.font.pointSize;
    const int h = out.textHeight(td);
    int y = y1 + 40;
    for (int t : texts) {
        const std::string line = MessageText(t);
        out.text(line, td, std::max(0, (g.width - out.textWidth(line, td)) / 2), y);
        y += h * 3 / 2;
    }
    for (int i = 1; i <= score.stave(0).h.Nobjec; ++i)
        DrawStaveZeroObject(out, score, i, settings.colours.universalText, settings);
}

}  // namespace

void DrawPrintedPage(Surface& music, Surface& header, const Score& score, int page,
                     const DrawSettings& settings, const PageViewState& view, int pictureWidth) {
    DrawBraces(music, score, FirstStaveOnPage(score, page), LastStaveOnPage(score, page),
               settings.colours.ink);
    for (int s = 1; s <= score.Nstaves; ++s)
        if (score.stave(s).h.PageNum == page)
            DrawStave(music, score, s, settings.colours.ink, kAllKinds, settings, view,
                      pictureWidth);
    DrawHeaderFooterForPrint(header, score, page, settings);
}

void DrawAll(const DrawContext& ctx, const Score& score, int page, const DrawSettings& settings,
             const PageViewState& view) {
    QImage* img = ctx.canvas();
    if (!img) return;
    if (!ctx.blank) img->fill(Qt::white);
    PictureSurface out(ctx);
    const PageGeometry g = ComputePageGeometry(score);
    if (view.mode == 20 || view.mode == 21) {
        // On the header/footer page's picture, as page 0 shows them.
        const int kind = view.mode == 20 ? kHeadertext : kFootertext;
        for (int i = 1; i <= score.stave(0).h.Nobjec; ++i)
            if (score.stave(0).obj[i].kind == kind)
                DrawStaveZeroObject(out, score, i, settings.colours.ink, settings);
        return;
    }
    if (ctx.printMode && page > 0) {
        // Headers and footers are placed from the top of the printable area.
        DrawContext top = ctx;
        top.printOrigin.setY(0);
        PictureSurface headerOut(top);
        DrawPrintedPage(out, headerOut, score, page, settings, view, g.width);
        return;
    }
    if (page > 0)
        DrawBraces(out, score, FirstStaveOnPage(score, page), LastStaveOnPage(score, page),
                   settings.colours.ink);
    const uint32_t colour = page == 0 && !ctx.printMode && !view.preview()
                                ? settings.colours.universalText
                                : settings.colours.ink;
    if (page > 0)
        for (int s = 1; s <= score.Nstaves; ++s)
            if (score.stave(s).h.PageNum == page)
                DrawStave(out, score, s, colour, kAllKinds, settings, view, g.width);
    if (page == 0 && !ctx.printMode && !view.preview())
        DrawHeaderFooterPage(ctx, out, score, settings);
}

void EraseStaveBand(QImage& picture, const Score& score, int first, int last) {
    if (first < 1 || last > score.Nstaves || first > last) return;
    const int page = score.stave(first).h.PageNum;
    // From the row below the previous stave's extent to the row above the next one's.
    int top = 0, bottom = picture.height() - 1;
    if (first > 1 && score.stave(first - 1).h.PageNum == page)
        top = score.stave(first - 1).h.MaxY + 1;
    if (last < score.Nstaves && score.stave(last + 1).h.PageNum == page)
        bottom = score.stave(last + 1).h.MinY - 1;
    QPainter p(&picture);
    p.fillRect(QRect(0, top, picture.width(), std::max(0, bottom - top + 1)), Qt::white);
}

void DrawInsertionCursor(Surface& out, const Score& score, int s, int x, int type, int thickness,
                         uint32_t colour) {
    if (out.printMode() || s < 1 || s > score.Nstaves) return;
    const int y = score.stave(s).h.Ycoord;
    const LineSpec pen{std::max(1, thickness), colour, true};
    switch (type) {
        case 1:
            out.line(x - 14, y - 25, x + 14, y - 25, pen);
            out.line(x - 14, y + 25, x + 14, y + 25, pen);
            out.line(x - 14, y - 25, x - 14, y + 25, pen);
            out.line(x + 14, y - 25, x + 14, y + 25, pen);
            break;
        case 2:
            out.line(x - 14, y - 25, x - 7, y - 12, pen);
            out.line(x + 7, y + 12, x + 14, y + 25, pen);
            out.line(x - 14, y + 25, x - 7, y + 12, pen);
            out.line(x + 7, y - 12, x + 14, y - 25, pen);
            break;
        default:
            out.line(x, y + 25, x, y - 25, pen);
            out.line(x - 14, y - 25, x + 14, y - 25, pen);
            out.line(x - 14, y + 25, x + 14, y + 25, pen);
            break;
    }
}

void RedrawStave(const DrawContext& ctx, const Score& score, int s, const DrawSettings& settings,
                 const PageViewState& view) {
    QImage* img = ctx.canvas();
    if (!img || s < 1 || s > score.Nstaves) return;
    EraseStaveBand(*img, score, s, s);
    PictureSurface out(ctx);
    DrawStaveWithNeighbours(out, score, s, settings.colours.ink, settings, view, img->width());
}

void RedrawSystem(const DrawContext& ctx, const Score& score, int s, const DrawSettings& settings,
                  const PageViewState& view) {
    QImage* img = ctx.canvas();
    if (!img || s < 1 || s > score.Nstaves) return;
    const auto [first, last] = SystemBounds(score, s);
    EraseStaveBand(*img, score, first, last);
    // Staves whose extents reach into the band are drawn again too.
    int lo = first, hi = last;
    while (lo > 1 && score.stave(lo - 1).h.PageNum == score.stave(lo).h.PageNum &&
           score.stave(lo).h.MinY < score.stave(lo - 1).h.MaxY)
        --lo;
    while (hi < score.Nstaves && score.stave(hi + 1).h.PageNum == score.stave(hi).h.PageNum &&
           score.stave(hi + 1).h.MinY < score.stave(hi).h.MaxY)
        ++hi;
    PictureSurface out(ctx);
    for (int t = lo; t <= hi; ++t)
        DrawStaveWithNeighbours(out, score, t, settings.colours.ink, settings, view, img->width());
    if (SystemBounds(score, lo).first < lo)
        DrawStave(out, score, SystemBounds(score, lo).first, settings.colours.ink, 1u << kBarline,
                  settings, view, img->width());
    DrawBraces(out, score, first, last, settings.colours.ink);
}

void DrawRuler(QImage& ruler, const RulerView& v) {
    ruler.fill(QColor(0xC0, 0xC0, 0xC0));
    QPainter p(&ruler);
    const int across = v.top ? ruler.height() : ruler.width();
    const int end = v.origin + v.extent + kRulerThickness;
    if (v.top)
        p.fillRect(QRect(v.origin, 0, end - v.origin, across), Qt::white);
    else
        p.fillRect(QRect(0, v.origin, across, end - v.origin), Qt::white);
    p.setPen(QColor(0, 0x80, 0));
    QFont font("Arial");
    font.setPixelSize(8);  // six points
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const int textHeight = QFontMetrics(font).ascent();
    for (const RulerMark& m : RulerMarks(v.pixelsPerInch, v.centimetres, v.extent)) {
        const RulerSpan span = RulerMarkSpan(m, v.top);
        const int at = v.origin + m.at;
        if (v.top)
            p.drawLine(at, span.from, at, span.to);
        else
            p.drawLine(span.from, at, span.to, at);
        const RulerText t = RulerNumber(m, v.top, textHeight);
        if (!t.text.empty())
            p.drawText(v.top ? v.origin + t.x : t.x, v.top ? t.y : v.origin + t.y,
                       QString::fromStdString(t.text));
    }
    if (v.track >= 0) {
        // Inverted, as the mouse's line is drawn on the ruler.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(Qt::black);
        const int at = v.origin + v.track;
        if (v.top)
            p.drawLine(at, 0, at, across - 1);
        else
            p.drawLine(0, at, across - 1, at);
    }
}

double PagePictureBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    const double installed =
        pages > 0 && pageSize > 0 ? static_cast<double>(pages) * pageSize : 2147483648.0;
    // The screen keeps a copy of the picture, and the editor one or two more.
    return std::clamp(installed / 8, 67108864.0, 1073741824.0);
}

std::string PageTooLargeMessage(const Score& score, int depth, bool american, double budget) {
    const std::string word = american ? "color" : "colour";
    std::string depthText;
    switch (depth) {
        case 1:
            depthText = "Monochrome (1 bit)";
            break;
        case 2:
            depthText = "4 " + word + "s";
            break;
        case 4:
            depthText = "16 " + word + "s";
            break;
        case 8:
            depthText = "256 " + word + "s";
            break;
        case 16:
            depthText = "High " + word + " (16 bits)";
            break;
        case 24:
            depthText = "16 million " + word + "s (24 bits)";
            break;
        case 32:
            depthText = "16 million " + word + "s (32 bits)";
            break;
        default:
            depthText = "(Unknown)";
            break;
    }
    const double smallest = SmallestStaveSize(score, depth, budget);
    std::string text = FormatMessage(msg::WindowsLimitation, depthText, smallest, smallest * 25.4) +
                       "\n" + MessageText(msg::WindowsLimitationAdvice);
    // Every "colour" of the message is spelt as the user's terms spell it.
    if (american)
        for (std::size_t at = text.find("colour"); at != std::string::npos;
             at = text.find("colour", at))
            text.erase(at + 4, 1);
    return text;
}

bool SetUpPagePicture(QImage& picture, const Score& score, int page, int depth, bool american,
                      Host& host, double budget) {
    const PageGeometry g = ComputePageGeometry(score);
    if (!PagePictureFits(g, depth, budget)) {
        host.message(MsgType::Warning, PageTooLargeMessage(score, depth, american, budget),
                     Buttons::OK);
        return false;
    }
    QImage made(g.width, page == 0 ? g.headerFooterHeight : g.height, QImage::Format_RGB32);
    if (made.isNull()) {
        host.message(MsgType::Error, MessageText(msg::InsufficientMemory), Buttons::OK);
        return false;
    }
    made.fill(Qt::white);
    picture = std::move(made);
    return true;
}

std::string RedrawPage(const DrawContext& ctx, const Score& score, int page,
                       const DrawSettings& settings, const PageViewState& view) {
    const auto start = std::chrono::steady_clock::now();
    DrawAll(ctx, score, page, settings, view);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return FormatMessage(msg::PageRedrawTime, seconds);
}

void DrawStaveLines(Surface& out, const Score& score, int s, uint32_t colour) {
    if (!score.hasStave(s) || s < 1) return;
    const StaveHeader& h = score.stave(s).h;
    const int sp = LineSpacing(h.sizeIndex);
    const Lines l = LinesOf(h);
    for (int k = l.T; k <= l.B; ++k) {
        const int y = h.Ycoord + k * sp;
        out.line(h.LeftX, y - 1, h.RightX, y - 1, LineSpec{1, colour, false});
    }
}

namespace {
std::string ObjectCount(int n) {
    return std::to_string(n) + MessageText(n == 1 ? msg::StatusObject : msg::StatusObjects);
}
}  // namespace

std::string StatusText(const Score& score, int stave) {
    if (stave == 0)
        return MessageText(msg::StatusHeaderFooter) + ObjectCount(score.stave(0).h.Nobjec);
    if (stave < 1 || stave > score.Nstaves) return "";
    return MessageText(msg::StatusSystem) + std::to_string(SystemNumber(score, stave)) +
           MessageText(msg::StatusOf) + std::to_string(SystemCount(score)) +
           MessageText(msg::StatusStave) + std::to_string(stave) + MessageText(msg::StatusOf) +
           std::to_string(score.Nstaves) + ":  " + ObjectCount(score.stave(stave).h.Nobjec);
}

std::string CopyToStatusText(const Score& score, int stave) {
    if (stave < 1 || stave > score.Nstaves) return "";
    return MessageText(msg::StatusCopyTo) + MessageText(msg::StatusPage) +
           std::to_string(score.stave(stave).h.PageNum) + MessageText(msg::StatusOf) +
           std::to_string(std::max<int>(score.pageCount, 1)) + StatusText(score, stave);
}

}  // namespace sw
