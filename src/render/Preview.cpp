// Print preview pictures and their navigation.
#include "render/Preview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "render/PageView.h"
#include "render/Printing.h"
#include "render/Surface.h"

namespace sw {

namespace {

constexpr QRgb kGround = 0xFF808080u;
constexpr QRgb kOutlineBlue = 0xFF0000FFu;
constexpr QRgb kOutlineRed = 0xFFFF0000u;

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// The rows of a stave's lines on the page picture, top to bottom.
std::vector<int> StaveLineRows(const StaveHeader& h) {
    constexpr int kTop[6] = {0, 0, -1, -1, -2, -2};
    constexpr int kBottom[6] = {0, 1, 1, 2, 2, 3};
    const int n = h.lineCount >= 1 && h.lineCount <= 6 ? h.lineCount : 5;
    const int sp = LineSpacing(h.sizeIndex);
    std::vector<int> rows;
    for (int k = kTop[n - 1]; k <= kBottom[n - 1]; ++k)
        rows.push_back(h.Ycoord + k * sp - 1);
    return rows;
}

// Page-picture positions on the reduced music area. Rows map as MinReduce maps
// them, so redrawn lines fall exactly where the reduced ones did.
struct Reduction {
    QRect area;
    int srcWidth = 1, srcHeight = 1;
    int x(long long px) const { return area.x() + static_cast<int>(px * area.width() / srcWidth); }
    int y(long long py) const {
        return area.y() + static_cast<int>(py * area.height() / srcHeight);
    }
};

void FillRow(QImage& img, int y, int x1, int x2, QRgb colour) {
    if (y < 0 || y >= img.height()) return;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::max(x1, 0);
    x2 = std::min(x2, img.width() - 1);
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = x1; x <= x2; ++x)
        line[x] = colour;
}

void FillColumn(QImage& img, int x, int y1, int y2, QRgb colour) {
    if (x < 0 || x >= img.width()) return;
    if (y1 > y2) std::swap(y1, y2);
    for (int y = std::max(y1, 0); y <= std::min(y2, img.height() - 1); ++y)
        img.setPixel(x, y, colour);
}

// Screen drawing calls landing on a preview page at its smaller scale:
// positions and pens shrink, fonts by the same ratio. Measurements stay in
// page pixels so that what is laid out from them (text frames) keeps its
// shape. With `paint` every call uses that one colour.
class ScaledSurface : public Surface {
  public:
    ScaledSurface(QImage& target, const GlyphStore& glyphs, QPointF origin, double fx, double fy,
                  std::optional<uint32_t> paint = std::nullopt)
        : inner_(PictureContext(target, glyphs, false)),
          origin_(origin),
          fx_(fx),
          fy_(fy),
          paint_(paint) {}

    bool printMode() const override { return false; }
    void glyph(int code, int x, int y, double factor, bool small, bool rubberBand,
               uint32_t colour) override {
        inner_.glyph(code, X(x), Y(y), factor * fy_, small, rubberBand, C(colour));
    }
    void namedBitmap(const std::string& name, int x, int y, double factor, bool rubberBand,
                     bool small, uint32_t colour) override {
        inner_.namedBitmap(name, X(x), Y(y), factor * fy_, rubberBand, small, C(colour));
    }
    void line(double x1, double y1, double x2, double y2, const LineSpec& spec) override {
        LineSpec s = spec;
        if (s.width > 0) s.width = std::max(1, Round(s.width * fy_));
        if (s.p > 0) s.p = std::max(1, Round(s.p * fx_));
        if (s.q > 0) s.q = std::max(1, Round(s.q * fx_));
        s.colour = C(s.colour);
        inner_.line(Xd(x1), Yd(y1), Xd(x2), Yd(y2), s);
    }
    void printBar(int, int, int, int) override {}
    void polygon(const QPolygonF& points, uint32_t colour, bool filled) override {
        QPolygonF mapped;
        for (const QPointF& p : points)
            mapped << QPointF(Xd(p.x()), Yd(p.y()));
        inner_.polygon(mapped, C(colour), filled);
    }
    void rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                   uint32_t fill) override {
        inner_.rectangle(X(x1), Y(y1), X(x2), Y(y2), C(colour), filled, C(fill));
    }
    void ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                 uint32_t fill) override {
        inner_.ellipse(X(x1), Y(y1), X(x2), Y(y2), C(colour), filled, C(fill));
    }
    int text(const std::string& text, const TextDraw& draw, int x, int y) override {
        TextDraw scaled = draw;
        scaled.font.pointSize = std::max(1, Round(draw.font.pointSize * fy_));
        scaled.colour = C(draw.colour);
        inner_.text(text, scaled, X(x), Y(y));
        return textWidth(text, draw);
    }
    int textHeight(const TextDraw& draw) override { return inner_.textHeight(draw); }
    int textWidth(const std::string& text, const TextDraw& draw) override {
        return inner_.textWidth(text, draw);
    }
    int spaceWidth(const TextDraw& draw) override { return inner_.spaceWidth(draw); }
    void curve(const std::vector<QPoint>& points, const CurveSpec& spec) override {
        std::vector<QPoint> mapped;
        for (const QPoint& p : points)
            mapped.emplace_back(X(p.x()), Y(p.y()));
        CurveSpec s = spec;
        s.thickness = std::max(1, Round(s.thickness * fy_));
        s.colour = C(s.colour);
        inner_.curve(mapped, s);
    }

  private:
    double Xd(double x) const { return origin_.x() + x * fx_; }
    double Yd(double y) const { return origin_.y() + y * fy_; }
    int X(double x) const { return static_cast<int>(std::floor(Xd(x))); }
    int Y(double y) const { return static_cast<int>(std::floor(Yd(y))); }
    uint32_t C(uint32_t colour) const { return paint_ ? *paint_ : colour; }

    PictureSurface inner_;
    QPointF origin_;
    double fx_, fy_;
    std::optional<uint32_t> paint_;
};

// The scale a page's paper was laid out at, read back from the paper so that
// every part of the page agrees with its rounded size.
double ScaleOf(const QRect& paper, const Score& score) {
    return score.page.Length > 0 ? paper.height() / score.page.Length : 1;
}

bool OnPage(const Score& score, int s, int page) {
    return score.stave(s).h.PageNum == page;
}

// The screen page picture reduced into the music area, combined with AND so
// that what is already there stays.
void ReducedPagePicture(QImage& img, const Reduction& r, const GlyphStore& glyphs,
                        const Score& score, int page, const DrawSettings& settings) {
    QImage picture(r.srcWidth, r.srcHeight, QImage::Format_RGB32);
    if (picture.isNull()) return;  // the window could not show this page either
    DrawSettings set = settings;
    set.showAnchors = false;
    PageViewState view;
    view.mode = 19;
    DrawAll(PictureContext(picture, glyphs, false), score, page, set, view);
    // What is drawn in the non-printing colour is not printed, so not previewed.
    const QRgb nonprinting = ToQRgb(settings.colours.nonprinting);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (line[x] == nonprinting) line[x] = 0xFFFFFFFFu;
    }
    const QImage small = MinReduce(picture, r.area.width(), r.area.height());
    for (int y = 0; y < small.height(); ++y) {
        const int ty = r.area.y() + y;
        if (ty < 0 || ty >= img.height()) continue;
        const auto* src = reinterpret_cast<const QRgb*>(small.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(img.scanLine(ty));
        for (int x = 0; x < small.width(); ++x) {
            const int tx = r.area.x() + x;
            if (tx >= 0 && tx < img.width()) dst[tx] &= src[x];
        }
    }
}

// Header and footer of stave 0 with this page's number, placed as printing
// places them: from the top of the printable area, footers from the footer's top.
void HeaderAndFooter(QImage& img, const PreviewRects& rects, double ratio, const GlyphStore& glyphs,
                     const Score& score, int page, const DrawSettings& settings) {
    DrawSettings set = settings;
    set.textEnv.headerFooterPass = true;
    set.textEnv.pageNumber = page + score.Page1 - 1;
    ScaledSurface header(img, glyphs, rects.header.topLeft(), ratio, ratio);
    ScaledSurface footer(img, glyphs, rects.footer.topLeft(), ratio, ratio);
    const StaveBlock& b = score.stave(0);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const int kind = b.obj[i].kind;
        if (kind == kFootertext)
            DrawObject(footer, score, 0, i, DrawRequest{kBlack, false, true}, set);
        else if (kind == kLine || kind == kText || kind == kHeadertext)
            DrawObject(header, score, 0, i, DrawRequest{kBlack, false, true}, set);
    }
}

void StaveLines(QImage& img, const Reduction& r, const Score& score, int page, QRgb colour,
                bool ends) {
    for (int s = 1; s <= score.Nstaves; ++s) {
        const StaveHeader& h = score.stave(s).h;
        if (!OnPage(score, s, page) || h.invisible) continue;
        const std::vector<int> rows = StaveLineRows(h);
        const int x1 = r.x(h.LeftX), x2 = r.x(h.RightX) - 1;
        for (int row : rows)
            FillRow(img, r.y(row), x1, x2, colour);
        if (ends) {
            FillColumn(img, x1, r.y(rows.front()), r.y(rows.back()), kOutlineRed);
            FillColumn(img, x2, r.y(rows.front()), r.y(rows.back()), kOutlineRed);
        }
    }
}

}  // namespace

PreviewLayout LayOutPreview(const Score& score, int pages, int page, int availableWidth,
                            int availableHeight) {
    PreviewLayout l;
    const PageData& p = score.page;
    l.scale = PreviewScale(availableWidth, availableHeight, p.Width, p.Length, pages);
    const int w = Round(p.Width * l.scale), h = Round(p.Length * l.scale);
    const int y = (availableHeight - h) / 2;
    if (pages <= 1) {
        l.rightPage = pages == 1 ? 1 : 0;
        l.right = QRect((availableWidth - w) / 2, y, w, h);
        return l;
    }
    std::tie(l.leftPage, l.rightPage) = PreviewSpread(page, pages);
    const int x = (availableWidth - (2 * w + kPreviewSpreadGap)) / 2;
    l.left = QRect(x, y, w, h);
    l.right = QRect(x + w + kPreviewSpreadGap, y, w, h);
    return l;
}

PreviewRects PreviewRectsOf(const Score& score, double scale, bool rightHand) {
    const PageData& p = score.page;
    // As on paper: only facing pages move the gutter to the inside edge.
    const bool gutterLeft = rightHand || !p.Facing;
    const double left = p.LeftM + (gutterLeft ? p.GutM : 0);
    const double right = p.Width - p.RightM - (gutterLeft ? 0 : p.GutM);
    const int x1 = Round(left * scale), x2 = Round(right * scale);
    const int top = Round(p.TopM * scale), headerEnd = Round((p.TopM + p.Header) * scale);
    const int footerTop = Round((p.Length - p.BotM - p.Footer) * scale);
    const int bottom = Round((p.Length - p.BotM) * scale);
    PreviewRects r;
    r.printable = QRect(x1, top, x2 - x1, bottom - top);
    r.header = QRect(x1, top, x2 - x1, headerEnd - top);
    r.music = QRect(x1, headerEnd, x2 - x1, footerTop - headerEnd);
    r.footer = QRect(x1, footerTop, x2 - x1, bottom - footerTop);
    return r;
}

void RenderPreviewPage(QImage& target, const QRect& paper, const GlyphStore& glyphs,
                       const Score& score, int page, bool rightHand, bool full,
                       const DrawSettings& settings) {
    if (paper.width() <= 0 || paper.height() <= 0) return;
    QImage img(paper.size(), QImage::Format_RGB32);
    if (img.isNull()) return;
    img.fill(Qt::white);
    const double scale = ScaleOf(paper, score);
    const PreviewRects rects = PreviewRectsOf(score, scale, rightHand);
    const PageGeometry g = ComputePageGeometry(score);
    const Reduction r{rects.music, g.width, g.height};
    if (rects.music.width() > 0 && rects.music.height() > 0) {
        if (!full) {
            StaveLines(img, r, score, page, kOutlineBlue, true);
        } else {
            ReducedPagePicture(img, r, glyphs, score, page, settings);
            HeaderAndFooter(img, rects, scale / g.ppiY, glyphs, score, page, settings);
            StaveLines(img, r, score, page, ToQRgb(settings.colours.ink), false);
            const double fx = static_cast<double>(r.area.width()) / r.srcWidth;
            const double fy = static_cast<double>(r.area.height()) / r.srcHeight;
            ScaledSurface whiteOut(img, glyphs, r.area.topLeft(), fx, fy, kPaper);
            for (int s = 1; s <= score.Nstaves; ++s) {
                if (!OnPage(score, s, page)) continue;
                for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
                    const ScoreObject& o = score.object(s, i);
                    if (o.kind == kDrawobject && o.data.drawobject.whiteOut)
                        DrawObject(whiteOut, score, s, i,
                                   DrawRequest{settings.colours.ink, false, true}, settings);
                }
            }
        }
    }
    QPainter painter(&target);
    painter.drawImage(paper.topLeft(), img);
}

void DrawPreviewMargins(QImage& target, const QRect& paper, const Score& score, bool rightHand,
                        bool show) {
    if (!show || score.page.Length <= 0) return;
    const QRect m = PreviewRectsOf(score, ScaleOf(paper, score), rightHand)
                        .printable.translated(paper.topLeft());
    // One pixel outside the printable area, so that nothing printed is covered.
    const int x1 = m.left() - 1, x2 = m.left() + m.width(), y1 = m.top() - 1,
              y2 = m.top() + m.height();
    FillRow(target, y1, x1, x2, kOutlineRed);
    FillRow(target, y2, x1, x2, kOutlineRed);
    FillColumn(target, x1, y1, y2, kOutlineRed);
    FillColumn(target, x2, y1, y2, kOutlineRed);
}

void RenderPreview(QImage& target, const PreviewLayout& layout, const GlyphStore& glyphs,
                   const Score& score, const DrawSettings& settings,
                   const PreviewOptions& options) {
    target.fill(kGround);
    const struct {
        int page;
        QRect paper;
        bool rightHand;
    } places[] = {{layout.leftPage, layout.left, false}, {layout.rightPage, layout.right, true}};
    for (const auto& place : places) {
        if (place.page <= 0) continue;
        RenderPreviewPage(target, place.paper, glyphs, score, place.page, place.rightHand,
                          options.details, settings);
        DrawPreviewMargins(target, place.paper, score, place.rightHand, options.margins);
    }
}

std::string PreviewStatusText(const PreviewOptions& options) {
    return options.details ? std::string() : MessageText(msg::PreviewOutlineStatus);
}

PreviewNavigator::PreviewNavigator(int pages, int page)
    : pages_(std::max(pages, 0)), page_(std::clamp(page, pages > 0 ? 1 : 0, std::max(pages, 0))) {}

std::pair<int, int> PreviewNavigator::shown() const {
    return PreviewSpread(page_, pages_);
}

int PreviewNavigator::firstShown() const {
    const auto [left, right] = shown();
    return left > 0 ? left : right;
}

int PreviewNavigator::lastShown() const {
    const auto [left, right] = shown();
    return right > 0 ? right : left;
}

bool PreviewNavigator::canPrevious() const {
    return firstShown() > 1;
}

bool PreviewNavigator::canNext() const {
    return lastShown() > 0 && lastShown() < pages_;
}

void PreviewNavigator::previous() {
    if (canPrevious()) page_ = firstShown() - 1;
}

void PreviewNavigator::next() {
    if (canNext()) page_ = lastShown() + 1;
}

std::string PreviewNavigator::label() const {
    const auto [left, right] = shown();
    if (left > 0 && right > 0) return FormatMessage(msg::PreviewPagesLabel, left, right, pages_);
    return FormatMessage(msg::PreviewPageLabel, left > 0 ? left : right, pages_);
}

}  // namespace sw
