// Lines, print bars and shapes.
#include "render/Lines.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "layout/Rounding.h"

namespace sw {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The colour a line really takes: on screen the requested one, in print black
// (paper stays paper, so white-outs still blank the page).
uint32_t InkFor(const DrawContext& ctx, uint32_t colour) {
    return ctx.printMode ? PrintInk(colour) : colour;
}

void Put(QImage& img, int x, int y, uint32_t colour, bool rubberBand) {
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
    if (rubberBand)
        line[x] = 0xFF000000u | ((line[x] ^ ~ToQRgb(colour)) & 0x00FFFFFFu);
    else
        line[x] = ToQRgb(colour);
}

// Cell rectangle [x1, x2) x [y1, y2) in picture pixels.
void Fill(QImage& img, int x1, int y1, int x2, int y2, uint32_t colour, bool rubberBand) {
    const int left = std::max(0, x1), right = std::min(img.width(), x2);
    const int top = std::max(0, y1), bottom = std::min(img.height(), y2);
    if (left >= right || top >= bottom) return;
    // Row by row: print bars cover much of a full score's page.
    const uint32_t ink = ToQRgb(colour), invert = ~ink & 0x00FFFFFFu;
    for (int y = top; y < bottom; ++y) {
        uint32_t* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        if (rubberBand)
            for (int x = left; x < right; ++x)
                line[x] = 0xFF000000u | ((line[x] ^ invert) & 0x00FFFFFFu);
        else
            std::fill(line + left, line + right, ink);
    }
}

// A one-pixel line in picture pixels, end point left out.
void Bresenham(QImage& img, int x0, int y0, int x1, int y1, uint32_t colour, bool rubberBand) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x1 && y0 == y1)) {
        Put(img, x0, y0, colour, rubberBand);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace

PrintSpan PrintAxisLine(double x1, double y1, double x2, double y2, int width) {
    const bool vertical = x1 == x2;
    int w = width < 0 ? 1 : width;
    int before = w / 2, after = w - w / 2;
    int X1, X2, Y1, Y2;
    if (vertical) {
        X1 = RoundAway(3 * (x1 - before));
        X2 = RoundAway(3 * (x1 + after));
        Y1 = RoundAway(3 * std::min(y1, y2));
        Y2 = RoundAway(3 * std::max(y1, y2));
    } else {
        Y1 = RoundAway(3 * (y1 - before));
        Y2 = RoundAway(3 * (y1 + after));
        X1 = RoundAway(3 * std::min(x1, x2));
        X2 = RoundAway(3 * std::max(x1, x2));
    }
    if (width < 0) {
        // A hairline is a bar three print pixels wide on the line.
        if (vertical)
            X1 = RoundAway(3 * x1) - 1, X2 = X1 + 3;
        else
            Y1 = RoundAway(3 * y1) - 1, Y2 = Y1 + 3;
    }
    return {X1, Y1, X2, Y2};
}

PrintSpan PrintBarCells(int x1, int y1, int x2, int y2, QPoint origin) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 += 1 + origin.x();
    x2 += 1 + origin.x();
    y1 += origin.y();
    y2 += origin.y();
    if (x1 == x2) --x1, ++x2;
    if (y1 == y2) --y1, ++y2;
    return {x1, y1, x2, y2};
}

namespace {

// One straight piece of a line, in page pixels, on whichever picture is drawn.
void Segment(const DrawContext& ctx, double x1, double y1, double x2, double y2, int width,
             uint32_t colour, bool rubberBand, bool squareEnded) {
    QImage* img = ctx.canvas();
    if (!img) return;
    const bool vertical = x1 == x2, horizontal = y1 == y2;
    if (ctx.printMode) {
        const QPoint o = ctx.printOrigin;
        if (vertical || horizontal) {
            const PrintSpan c = PrintAxisLine(x1, y1, x2, y2, width);
            if (colour == kPaper) {
                Fill(*img, c.x1 + 1 + o.x(), c.y1 + o.y(), c.x2 + 1 + o.x(), c.y2 + o.y(), kPaper,
                     false);
            } else {
                DrawPrintBar(ctx, c.x1, c.y1, c.x2, c.y2);
            }
            return;
        }
        QPainter p(img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor::fromRgb(ToQRgb(colour)), std::max(1, 3 * std::abs(width)),
                      Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(RoundAway(3 * x1) + o.x(), RoundAway(3 * y1) + o.y()),
                   QPointF(RoundAway(3 * x2) + o.x(), RoundAway(3 * y2) + o.y()));
        return;
    }
    const QPoint o = ctx.screenOrigin;
    int X1 = RoundEven(x1) + o.x(), Y1 = RoundEven(y1) + o.y();
    int X2 = RoundEven(x2) + o.x(), Y2 = RoundEven(y2) + o.y();
    int w = width < 1 ? 1 : width;
    if (vertical || horizontal || squareEnded) {
        // Parallel one-pixel lines across the line: offsets -w/2 .. (w-1)/2.
        for (int k = -(w / 2); k <= (w - 1) / 2; ++k) {
            if (vertical)
                Bresenham(*img, X1 + k, Y1, X2 + k, Y2, colour, rubberBand);
            else
                Bresenham(*img, X1, Y1 + k, X2, Y2 + k, colour, rubberBand);
        }
        return;
    }
    if (w == 1) {
        Bresenham(*img, X1, Y1, X2, Y2, colour, rubberBand);
        return;
    }
    QPainter p(img);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (rubberBand) p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(QColor::fromRgb(ToQRgb(colour)), w, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPoint(X1, Y1), QPoint(X2, Y2));
}

}  // namespace

void PlotPixel(const DrawContext& ctx, int x, int y, uint32_t colour, bool rubberBand) {
    if (QImage* img = ctx.canvas(); img && !ctx.printMode)
        Put(*img, x + ctx.screenOrigin.x(), y + ctx.screenOrigin.y(), colour, rubberBand);
}

void DrawPrintBar(const DrawContext& ctx, int x1, int y1, int x2, int y2) {
    if (!ctx.print) return;
    const PrintSpan c = PrintBarCells(x1, y1, x2, y2, ctx.printOrigin);
    Fill(*ctx.print, c.x1, c.y1, c.x2, c.y2, kBlack, false);
}

void SplitLine(double x1, double y1, double x2, double y2, const LineSpec& spec, bool print,
               const LinePieces& out) {
    if (x1 == x2 && y1 == y2) return;
    int style = spec.style;
    const bool axis = x1 == x2 || y1 == y2;
    if (spec.squareEnds && spec.width > 2 && axis) style = kSquareEnded;
    const double dx = x2 - x1, dy = y2 - y1, D = std::hypot(dx, dy);
    auto at = [&](double t) { return QPointF(x1 + dx * t, y1 + dy * t); };
    auto piece = [&](double t0, double t1) {
        QPointF a = at(t0), b = at(t1);
        out.segment(a.x(), a.y(), b.x(), b.y(), false);
    };

    switch (style) {
        case kSquareEnded:
            out.segment(x1, y1, x2, y2, true);
            return;
        case kDashed: {
            const double dash = spec.p ? spec.p : 5, gap = spec.q ? spec.q : 5;
            // Along the dominant axis; the lengths follow the line's direction.
            const double L = std::max(std::fabs(dx), std::fabs(dy));
            const double cosine = L / D;
            const double dashA = dash * cosine, gapA = gap * cosine;
            const int n = static_cast<int>(std::floor((L - dashA) / (dashA + gapA)));
            if (n <= 0) {
                piece(0, 1);
                return;
            }
            for (int i = 0; i < n; ++i) {
                double t0 = static_cast<double>(i) / n;
                piece(t0, std::min(1.0, t0 + dashA / L));
            }
            piece(1 - dashA / L, 1);
            return;
        }
        case kWavy: {
            if (spec.p == 0) {
                piece(0, 1);
                return;
            }
            // Left to right, whatever order the ends came in.
            double ax = x1, ay = y1, bx = x2, by = y2;
            if (bx < ax) std::swap(ax, bx), std::swap(ay, by);
            const int n = static_cast<int>(std::floor(D / spec.p));
            if (n == 0) {
                out.wave(QPolygonF{QPointF(ax, ay)});
                return;
            }
            const double a = (D / n) / kPi;
            const double ux = (bx - ax) / D, uy = (by - ay) / D;
            const double step = print ? kPi / 18 : kPi / 6;
            const int steps = static_cast<int>(std::lround(n * kPi / step));
            QPolygonF wave;
            for (int k = 0; k <= steps; ++k) {
                double phi = k * step;
                double along = a * phi, across = -a * std::sin(phi);
                wave << QPointF(ax + along * ux - across * uy, ay + along * uy + across * ux);
            }
            out.wave(wave);
            return;
        }
        case kGapped: {
            const double gap = spec.q ? spec.q : 5;
            // A gap as long as the line leaves nothing to draw.
            if (gap >= D) return;
            piece(0, (D - gap) / 2 / D);
            piece((D + gap) / 2 / D, 1);
            return;
        }
        default:
            piece(0, 1);
            return;
    }
}

void DrawLine(const DrawContext& ctx, double x1, double y1, double x2, double y2,
              const LineSpec& spec) {
    const uint32_t colour = InkFor(ctx, spec.colour);
    const bool rubber = spec.rubberBand && !ctx.printMode;
    LinePieces pieces;
    pieces.segment = [&](double ax, double ay, double bx, double by, bool squareEnded) {
        Segment(ctx, ax, ay, bx, by, spec.width, colour, rubber, squareEnded);
    };
    pieces.wave = [&](QPolygonF wave) {
        if (wave.size() == 1) {
            if (!ctx.printMode)
                PlotPixel(ctx, RoundEven(wave[0].x()), RoundEven(wave[0].y()), colour, rubber);
            return;
        }
        if (!ctx.printMode && spec.width <= 1) {
            for (int k = 1; k < wave.size(); ++k)
                Segment(ctx, wave[k - 1].x(), wave[k - 1].y(), wave[k].x(), wave[k].y(), 1, colour,
                        rubber, false);
            return;
        }
        // A thick wave is one stroke, so its joints stay smooth.
        QImage* img = ctx.canvas();
        if (!img) return;
        const double k = ctx.printMode ? 3 : 1;
        const QPointF o = ctx.printMode ? QPointF(ctx.printOrigin) : QPointF(ctx.screenOrigin);
        for (QPointF& pt : wave)
            pt = pt * k + o;
        QPainter p(img);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (rubber) p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(QPen(QColor::fromRgb(ToQRgb(colour)), std::max(1.0, k * spec.width), Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(wave);
    };
    SplitLine(x1, y1, x2, y2, spec, ctx.printMode, pieces);
}

namespace {
void Shape(const DrawContext& ctx, uint32_t colour, bool filled, uint32_t fill,
           const std::function<void(QPainter&, double k, QPointF o)>& draw) {
    QImage* img = ctx.canvas();
    if (!img) return;
    QPainter p(img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double k = ctx.printMode ? 3 : 1;
    QPointF o = ctx.printMode ? QPointF(ctx.printOrigin) : QPointF(ctx.screenOrigin);
    p.setPen(QPen(QColor::fromRgb(ToQRgb(InkFor(ctx, colour))), ctx.printMode ? 2 : 1));
    if (filled)
        p.setBrush(QColor::fromRgb(ToQRgb(InkFor(ctx, fill))));
    else
        p.setBrush(Qt::NoBrush);
    draw(p, k, o);
}
}  // namespace

void DrawPolygon(const DrawContext& ctx, const QPolygonF& points, uint32_t colour, bool filled) {
    Shape(ctx, colour, filled, colour, [&](QPainter& p, double k, QPointF o) {
        QPolygonF q;
        for (const QPointF& pt : points)
            q << QPointF(pt.x() * k, pt.y() * k) + o;
        p.drawPolygon(q);
    });
}

void DrawRectangle(const DrawContext& ctx, int x1, int y1, int x2, int y2, uint32_t colour,
                   bool filled, uint32_t fill) {
    Shape(ctx, colour, filled, fill, [&](QPainter& p, double k, QPointF o) {
        p.drawRect(QRectF(QPointF(x1 * k, y1 * k) + o, QPointF(x2 * k - 1, y2 * k - 1) + o));
    });
}

void DrawEllipse(const DrawContext& ctx, int x1, int y1, int x2, int y2, uint32_t colour,
                 bool filled, uint32_t fill) {
    Shape(ctx, colour, filled, fill, [&](QPainter& p, double k, QPointF o) {
        p.drawEllipse(QRectF(QPointF(x1 * k, y1 * k) + o, QPointF(x2 * k - 1, y2 * k - 1) + o));
    });
}

}  // namespace sw
