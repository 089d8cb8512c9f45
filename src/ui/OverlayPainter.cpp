// The placing overlay.
#include "ui/OverlayPainter.h"

namespace sw {

void DrawPlacingOverlay(Surface& out, const Score& score, const PlacingOverlay& o,
                        const DrawSettings& set) {
    const Colours& c = set.colours;
    auto inverted = [](uint32_t colour) {
        LineSpec spec;
        spec.colour = colour;
        spec.rubberBand = true;
        return spec;
    };
    if (o.attachLine) {
        const Segment& a = *o.attachLine;
        out.line(a.x1, a.y1, a.x2, a.y2, inverted(c.strings));
    }
    for (const Segment& r : o.rubberBand)
        out.line(r.x1, r.y1, r.x2, r.y2, inverted(c.line));
    for (const PlacingOverlay::Point& p : o.anchors)
        out.namedBitmap("bmAnchor", p.x, p.y, 1.0, true, false, c.anchor);
    if (o.curve.size() >= 2) {
        std::vector<QPoint> points;
        for (const PlacingOverlay::Point& p : o.curve)
            points.emplace_back(p.x, p.y);
        out.curve(points,
                  CurveSpec{o.curveThickness, o.curveDotted, o.curveEditorial, c.line, true});
    }
    if (o.text && !o.text->bytes.empty()) {
        const PlacingOverlay::Text& t = *o.text;
        TextDraw draw;
        draw.font = TextFont{t.font.name, t.font.size, t.font.style};
        draw.rubberBand = true;
        draw.colour = c.putative;
        const int w = out.text(t.bytes, draw, t.x, t.y);
        if (t.boxed) {
            // A frame from a space before the text to a space after it.
            const int space = out.spaceWidth(draw), h = out.textHeight(draw);
            const int x1 = t.x - space, x2 = t.x + w + space, y2 = t.y + h;
            for (const Segment& s : {Segment{x1, t.y, x2, t.y}, Segment{x2, t.y, x2, y2},
                                     Segment{x2, y2, x1, y2}, Segment{x1, y2, x1, t.y}})
                out.line(s.x1, s.y1, s.x2, s.y2, inverted(c.putative));
        }
    }
    // The block: filled while it is dragged, then outlines, all inverted.
    if (o.blockFill) {
        const PixelBox& b = *o.blockFill;
        for (int32_t y = b.top; y < b.bottom; ++y)
            out.line(b.left, y, b.right, y, inverted(c.block));
    }
    for (const PixelBox& b : o.blockOutlines)
        for (const Segment& s :
             {Segment{b.left, b.top, b.right, b.top}, Segment{b.right, b.top, b.right, b.bottom},
              Segment{b.right, b.bottom, b.left, b.bottom},
              Segment{b.left, b.bottom, b.left, b.top}})
            out.line(s.x1, s.y1, s.x2, s.y2, inverted(c.block));
    LineSpec red;
    red.colour = 0xFF0000;
    for (const Segment& l : o.limits)
        out.line(l.x1, l.y1, l.x2, l.y2, red);
    if (o.object && score.hasStave(o.stave) && o.stave <= score.Nstaves)
        DrawObject(out, score, o.stave, *o.object, 0, DrawRequest{c.putative, true, false}, set);
}

}  // namespace sw
