// The vector surface: print drawing as paths, texts and placed glyph images.
#include "render/VectorSurface.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/Bmp1.h"
#include "layout/Rounding.h"
#include "render/GlyphFont.h"
#include "render/GlyphOutlines.h"
#include "render/GlyphPainter.h"
#include "render/GlyphStore.h"

namespace sw {

namespace {
QColor Qt(uint32_t colour) {
    return QColor::fromRgb(ToQRgb(colour));
}
}  // namespace

PendingInk::PendingInk(QPainter& painter, const GlyphFont* font)
    : p_(painter), font_(font && font->valid() ? font : nullptr) {
    shapes_.setFillRule(::Qt::WindingFill);
}

bool PendingInk::glyph(int code, QPointF topLeft, double sx, double sy) {
    const auto [first, count] = font_ ? font_->pieces(code) : std::pair<quint32, quint32>{};
    if (count == 0) return false;
    auto& [ids, at] = runs_[{sx, sy}];
    for (quint32 k = 0; k < count; ++k) {
        ids.push_back(first + k);
        at.push_back(QPointF(topLeft.x() / sx, topLeft.y() / sy));
    }
    return true;
}

bool PendingInk::convex(QPolygonF polygon) {
    // Turning one way all round (a beam): filled with the others by the
    // nonzero rule, it covers what it covers alone.
    const int n = static_cast<int>(polygon.size());
    if (n < 3) return false;
    double turn = 0, area = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % n], c = polygon[(i + 2) % n];
        const double cross = (b.x() - a.x()) * (c.y() - b.y()) - (b.y() - a.y()) * (c.x() - b.x());
        if (cross * turn < 0) return false;
        if (cross != 0) turn = cross;
        area += a.x() * b.y() - b.x() * a.y();
    }
    if (area < 0) std::reverse(polygon.begin(), polygon.end());
    shapes_.addPolygon(polygon);
    shapes_.closeSubpath();
    return true;
}

void PendingInk::flush() {
    if (!shapes_.isEmpty()) {
        // The outline pen of filled shapes, as each would have had.
        p_.setPen(QPen(Qt(kBlack), 2));
        p_.setBrush(Qt(kBlack));
        p_.drawPath(shapes_);
        shapes_ = QPainterPath();
        shapes_.setFillRule(::Qt::WindingFill);
    }
    if (!cells_.isEmpty()) {
        p_.setPen(::Qt::NoPen);
        p_.setBrush(Qt(kBlack));
        p_.drawRects(cells_.constData(), static_cast<int>(cells_.size()));
        cells_.clear();
    }
    for (auto& [stretch, glyphs] : runs_) {
        QGlyphRun run;
        run.setRawFont(font_->raw());
        run.setGlyphIndexes(glyphs.first);
        run.setPositions(glyphs.second);
        p_.save();
        p_.scale(stretch.first, stretch.second);
        p_.setPen(Qt(kBlack));
        p_.drawGlyphRun(QPointF(0, 0), run);
        p_.restore();
    }
    runs_.clear();
}

VectorSurface::VectorSurface(QPainter& painter, const GlyphStore& glyphs, QPoint origin,
                             PendingInk* ink)
    : p_(painter), glyphs_(glyphs), origin_(origin), ink_(ink) {}

const QImage* VectorSurface::ink(const std::string& name, int w, int h) {
    const auto key = std::make_tuple(name, w, h);
    if (auto it = images_.find(key); it != images_.end()) return &it->second;
    const Mask* m = glyphs_.stretched(name, w, h);
    if (!m || m->width <= 0 || m->height <= 0) return nullptr;
    QImage image(m->width, m->height, QImage::Format_Mono);
    image.setColorTable({qRgba(255, 255, 255, 0), qRgb(0, 0, 0)});
    image.fill(0);
    for (int r = 0; r < m->height; ++r)
        for (int c = 0; c < m->width; ++c)
            if (m->at(c, r)) image.setPixel(c, r, 1);
    return &images_.emplace(key, std::move(image)).first->second;
}

const std::vector<QPainterPath>& VectorSurface::outline(int code) {
    auto it = outlines_.find(code);
    if (it == outlines_.end()) it = outlines_.emplace(code, GlyphOutline(code)).first;
    return it->second;
}

void VectorSurface::bitmapAt(const std::string& name, int x, int y, double factor, bool small,
                             int code) {
    const Mask* natural = glyphs_.mask(name);
    if (!natural || natural->width <= 0 || natural->height <= 0) return;
    int w, h;
    PaintedSize(name, natural->width, natural->height, factor, small, w, h);
    if (w <= 0 || h <= 0) return;  // shrunk to nothing, as on the print picture
    const QPointF topLeft(x - w / 2 - 1, y - h / 2);
    const double sx = static_cast<double>(w) / natural->width;
    const double sy = static_cast<double>(h) / natural->height;
    if (code >= 0 && ink_ && ink_->glyph(code, topLeft, sx, sy)) return;
    // The outline is drawn over the cell the bitmap would fill, stretched as
    // the bitmap is.
    if (const std::vector<QPainterPath>* pieces = code >= 0 ? &outline(code) : nullptr;
        pieces && !pieces->empty()) {
        QPainter& p = painter();
        p.save();
        p.translate(topLeft);
        p.scale(sx, sy);
        p.setPen(::Qt::NoPen);
        p.setBrush(Qt(kBlack));
        for (const QPainterPath& piece : *pieces)
            p.drawPath(piece);
        p.restore();
        return;
    }
    if (const QImage* image = ink(name, w, h)) painter().drawImage(topLeft, *image);
}

void VectorSurface::glyph(int code, int x, int y, double factor, bool small, bool, uint32_t) {
    std::string name;
    QPoint at;
    if (PrintGlyphPlace(code, x, y, origin_, name, at))
        bitmapAt(name, at.x(), at.y(), factor, small, code);
}

void VectorSurface::namedBitmap(const std::string& name, int x, int y, double factor, bool,
                                bool small, uint32_t) {
    // Named bitmaps come in print pixels already, as on the print picture.
    bitmapAt(name, x, y, factor, small);
}

void VectorSurface::fillCells(int x1, int y1, int x2, int y2, uint32_t colour) {
    const QRectF cells(x1, y1, x2 - x1, y2 - y1);
    if (ink_ && colour == kBlack)
        ink_->cells(cells);
    else
        painter().fillRect(cells, Qt(colour));
}

void VectorSurface::line(double x1, double y1, double x2, double y2, const LineSpec& spec) {
    const uint32_t colour = PrintInk(spec.colour);
    const QPointF o(origin_);
    LinePieces pieces;
    pieces.segment = [&](double ax, double ay, double bx, double by, bool) {
        if (ax == bx || ay == by) {
            const PrintSpan c = PrintAxisLine(ax, ay, bx, by, spec.width);
            if (colour == kPaper) {
                fillCells(c.x1 + 1 + origin_.x(), c.y1 + origin_.y(), c.x2 + 1 + origin_.x(),
                          c.y2 + origin_.y(), kPaper);
            } else {
                const PrintSpan bar = PrintBarCells(c.x1, c.y1, c.x2, c.y2, origin_);
                fillCells(bar.x1, bar.y1, bar.x2, bar.y2, kBlack);
            }
            return;
        }
        // Pixel centres, as the print picture's pen covers them.
        const QPointF half(0.5, 0.5);
        QPainter& p = painter();
        p.setPen(QPen(Qt(colour), std::max(1, 3 * std::abs(spec.width)), ::Qt::SolidLine,
                      ::Qt::FlatCap));
        p.drawLine(QPointF(RoundAway(3 * ax), RoundAway(3 * ay)) + o + half,
                   QPointF(RoundAway(3 * bx), RoundAway(3 * by)) + o + half);
    };
    pieces.wave = [&](QPolygonF wave) {
        if (wave.size() < 2) return;  // too short to show in print
        for (QPointF& pt : wave)
            pt = pt * 3 + o;
        QPainter& p = painter();
        p.setPen(QPen(Qt(colour), std::max(1.0, 3.0 * spec.width), ::Qt::SolidLine, ::Qt::RoundCap,
                      ::Qt::RoundJoin));
        p.setBrush(::Qt::NoBrush);
        p.drawPolyline(wave);
    };
    SplitLine(x1, y1, x2, y2, spec, true, pieces);
}

void VectorSurface::printBar(int x1, int y1, int x2, int y2) {
    const PrintSpan c = PrintBarCells(x1, y1, x2, y2, origin_);
    fillCells(c.x1, c.y1, c.x2, c.y2, kBlack);
}

void VectorSurface::shape(uint32_t colour, bool filled, uint32_t fill) {
    QPainter& p = painter();
    p.setPen(QPen(Qt(PrintInk(colour)), 2));
    if (filled)
        p.setBrush(Qt(PrintInk(fill)));
    else
        p.setBrush(::Qt::NoBrush);
}

void VectorSurface::polygon(const QPolygonF& points, uint32_t colour, bool filled) {
    QPolygonF q;
    for (const QPointF& pt : points)
        q << pt * 3 + QPointF(origin_);
    if (ink_ && filled && PrintInk(colour) == kBlack && ink_->convex(q)) return;
    shape(colour, filled, colour);
    painter().drawPolygon(q);
}

void VectorSurface::rectangle(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                              uint32_t fill) {
    shape(colour, filled, fill);
    const QPointF o(origin_);
    painter().drawRect(QRectF(QPointF(x1 * 3, y1 * 3) + o, QPointF(x2 * 3 - 1, y2 * 3 - 1) + o));
}

void VectorSurface::ellipse(int x1, int y1, int x2, int y2, uint32_t colour, bool filled,
                            uint32_t fill) {
    shape(colour, filled, fill);
    const QPointF o(origin_);
    painter().drawEllipse(QRectF(QPointF(x1 * 3, y1 * 3) + o, QPointF(x2 * 3 - 1, y2 * 3 - 1) + o));
}

int VectorSurface::text(const std::string& text, const TextDraw& draw, int x, int y) {
    // The same geometry as the print picture's scratch bitmap, drawn as text.
    const QFont font = ScoreQFont(draw.font, 3.0 * draw.font.pointSize - 2);
    const QFontMetrics fm(font);
    std::string measured = text;
    for (char& c : measured)
        if (c >= 27 && c <= 30) c = 'd';
    const int m = fm.horizontalAdvance('M');
    const int W = fm.horizontalAdvance("M" + FromScoreBytes(measured) + "M");
    const int H = fm.height();
    if (W <= 0 || H <= 0) return 0;
    x = 3 * x + origin_.x();
    y = 3 * y + origin_.y();
    const int pad = H, SH = H + 2 * pad;
    const int height = draw.small ? RoundEven(SH * 5.0 / 8.0) : SH;
    const int firstRow = y - (draw.small ? RoundEven(pad * 5.0 / 8.0) : pad);
    QPainter& p = painter();
    p.save();
    p.translate(x - m, firstRow);
    p.scale(1.0, static_cast<double>(height) / SH);
    QFont drawn = font;
    drawn.setStyleStrategy(QFont::PreferDefault);
    p.setFont(drawn);
    p.setPen(Qt(kBlack));
    DrawTextCharacters(p, text, fm, m, pad + fm.ascent());
    for (const TextSign& sign : TextSigns(glyphs_, text, draw, fm, true, m, pad, H))
        if (const Mask* mask = glyphs_.mask(sign.name))
            if (const QImage* image = ink(sign.name, mask->width, mask->height))
                p.drawImage(QPointF(sign.left, sign.top), *image);
    p.restore();
    return (W - 2 * m) / 3;
}

int VectorSurface::textHeight(const TextDraw& draw) {
    return TextLineHeight(draw.font);
}
int VectorSurface::textWidth(const std::string& text, const TextDraw& draw) {
    return QtTextMeasurer().width(draw.font, text);
}
int VectorSurface::spaceWidth(const TextDraw& draw) {
    return TextSpaceWidth(draw.font);
}

void VectorSurface::curve(const std::vector<QPoint>& points, const CurveSpec& spec) {
    const std::optional<CurveShape> shape = ShapeCurve(points, spec, true);
    if (!shape) return;
    const QColor colour = Qt(PrintInk(spec.colour));
    const QPointF o(origin_);
    const std::vector<SplinePoint>& pts = shape->points();
    const int D = shape->thickness();
    QPainter& p = painter();
    p.setPen(::Qt::NoPen);
    p.setBrush(colour);
    if (pts.size() == 2 && !spec.dotted) {
        const double lines = std::max(1, D);
        p.drawPolygon(QPolygonF{QPointF(pts[0].x, pts[0].y) + o, QPointF(pts[1].x, pts[1].y) + o,
                                QPointF(pts[1].x, pts[1].y + lines) + o,
                                QPointF(pts[0].x, pts[0].y + lines) + o});
        return;
    }
    const int first = static_cast<int>(shape->first()), last = static_cast<int>(shape->last());
    // Points follow the curve itself, not the print picture's rounding to
    // whole pixels, so that the curve stays smooth however far it is zoomed.
    if (!spec.dotted) {
        // The spine, three print pixels wide, through the pixel centres.
        QPolygonF spine;
        for (int x = first; x <= last; ++x)
            spine << QPointF((x == first ? shape->first() : x) + 0.5, shape->yAt(x) + 0.5) + o;
        p.setPen(QPen(colour, 3, ::Qt::SolidLine, ::Qt::FlatCap, ::Qt::RoundJoin));
        p.setBrush(::Qt::NoBrush);
        p.drawPolyline(spine);
        p.setPen(::Qt::NoPen);
        p.setBrush(colour);
    }
    // The thickness: each run of drawn columns is one outline, its top the
    // spine and its bottom the spine lowered by the column's depth, through
    // the columns' centres and out to the run's outer edges. The depth is a
    // whole number of pixels; averaged over a few columns its steps become
    // slopes.
    struct Column {
        double x, y, depth;
    };
    std::vector<Column> run;
    auto flush = [&] {
        if (run.empty()) return;
        const int n = static_cast<int>(run.size());
        constexpr int kReach = 16;
        QPolygonF top, bottom;
        top << QPointF(run.front().x - 0.5, run.front().y) + o;
        bottom << QPointF(run.front().x - 0.5, run.front().y + run.front().depth) + o;
        for (int i = 0; i < n; ++i) {
            double sum = 0;
            int count = 0;
            for (int k = std::max(0, i - kReach); k <= std::min(n - 1, i + kReach); ++k, ++count)
                sum += run[static_cast<std::size_t>(k)].depth;
            const Column& c = run[static_cast<std::size_t>(i)];
            top << QPointF(c.x, c.y) + o;
            bottom << QPointF(c.x, c.y + sum / count) + o;
        }
        top << QPointF(run.back().x + 0.5, run.back().y) + o;
        bottom << QPointF(run.back().x + 0.5, run.back().y + run.back().depth) + o;
        std::reverse(bottom.begin(), bottom.end());
        p.drawPolygon(top + bottom);
        run.clear();
    };
    for (int x = first; x <= last; ++x) {
        if (spec.dotted && !shape->dashOdd(x)) {
            flush();
            continue;
        }
        run.push_back(
            {x + 0.5, shape->yAt(x), static_cast<double>(shape->depthAt(x, spec.dotted))});
    }
    flush();
    if (spec.editorial) {
        const int y = RoundEven(shape->yAt(shape->mid()));
        const int x = RoundEven(shape->mid());
        fillCells(x - 1 + origin_.x(), y - 15 + origin_.y(), x + 2 + origin_.x(),
                  y + D + 15 + origin_.y(), PrintInk(spec.colour));
    }
}

}  // namespace sw
