// Line, hairpin, curve and text objects.
#include "render/ObjectShapes.h"

#include <algorithm>
#include <set>

#include "core/TextUtil.h"
#include "layout/GlyphTable.h"
#include "layout/Rounding.h"
#include "model/Build.h"
#include "render/Curves.h"
#include "render/GlyphPainter.h"
#include "render/Lines.h"
#include "render/Text.h"

namespace sw {

namespace {

bool IsSmall(const StaveBlock& b) {
    return b.h.sizeIndex != 0;
}

int32_t MapY(const StaveBlock& b, int32_t y) {
    return IsSmall(b) ? SmallStaveY(b.h.Ycoord, y) : y;
}

int Scale58(const StaveBlock& b, int v) {
    return IsSmall(b) ? RoundEven(v * 5.0 / 8.0) : v;
}

}  // namespace

void DrawLineObject(Surface& out, const Score& score, int s, const ScoreObject& o,
                    const ObjectDraw& draw) {
    const StaveBlock& b = score.stave(s);
    const LineData& l = o.data.line;
    const int32_t x1 = o.x, y1 = MapY(b, o.y);
    const int32_t x2 = o.x + l.dx, y2 = y1 + Scale58(b, l.dy);
    LineSpec spec{l.thickness, draw.colour, draw.rubberBand, l.style, l.dashLength, l.gapLength};
    out.line(x1, y1, x2, y2, spec);
    if (l.legLength == 0 || l.legDirection == 0) return;
    bool atStart = l.legEnds & 0x02, atEnd = l.legEnds & 0x04;
    if (l.dx < 0 || (l.dx == 0 && l.dy > 0)) std::swap(atStart, atEnd);
    const int r = Scale58(b, l.legLength);
    int lx = 0, ly = 0;
    switch (l.legDirection) {
        case 1:
            ly = r;
            break;
        case 2:
            ly = -r;
            break;
        case 3:
            lx = -r;
            break;
        case 4:
            lx = r;
            break;
        default:
            return;
    }
    LineSpec leg{l.thickness, draw.colour, draw.rubberBand};
    if (atStart) out.line(x1, y1, x1 + lx, y1 + ly, leg);
    if (atEnd) out.line(x2, y2, x2 + lx, y2 + ly, leg);
}

void DrawLinePreview(Surface& out, const std::optional<ScoreObject>& sample, int width,
                     int height) {
    out.rectangle(0, 0, width, height, sample ? kPreviewPaper : kPreviewNoSample, true,
                  sample ? kPreviewPaper : kPreviewNoSample);
    if (!sample) return;
    // A stave of its own, so the line's height maps as on a normal stave.
    Score score;
    const int s = AppendStave(score, height / 2, 0, width);
    if (s < 1) return;
    ScoreObject o = *sample;
    o.x = kPreviewLeft;
    o.y = height / 2;
    DrawLineObject(out, score, s, o, ObjectDraw{});
}

void DrawHairpin(Surface& out, const Score& score, int s, const ScoreObject& o,
                 const ObjectDraw& draw) {
    const StaveBlock& b = score.stave(s);
    const HairpinData& h = o.data.hairpin;
    LineSpec spec{h.thickness, draw.colour, draw.rubberBand};
    const int32_t y = MapY(b, o.y);
    out.line(o.x, y, o.x + h.length, MapY(b, o.y + h.halfOpening), spec);
    out.line(o.x, y, o.x + h.length, MapY(b, o.y - h.halfOpening), spec);
}

void DrawCurveObject(Surface& out, const Score& score, int s, const ScoreObject& first, int i,
                     const ObjectDraw& draw, bool showAnchors, uint32_t anchorColour) {
    const StaveBlock& b = score.stave(s);
    if (first.kind != kCurve || first.curve().prevAnchor != 0 || first.curve().nextAnchor == 0)
        return;
    std::vector<QPoint> points{QPoint(first.x, MapY(b, first.y))};
    std::set<int> seen{i};
    // A chain from a damaged file may loop: each point is taken once.
    for (int j = first.curve().nextAnchor; b.validIndex(j) && b.obj[j].kind == kCurve &&
                                           seen.insert(j).second && points.size() < kMaxObjects;
         j = b.obj[j].curve().nextAnchor)
        points.emplace_back(b.obj[j].x, MapY(b, b.obj[j].y));
    if (showAnchors && !out.printMode())
        for (const QPoint& p : points)
            out.namedBitmap("bmAnchor", p.x(), p.y(), 1.0, draw.rubberBand, false, anchorColour);
    const CurveData& c = first.curve();
    CurveSpec spec{Scale58(b, c.thickness), (c.styleBits & 1) != 0, (c.styleBits & 2) != 0,
                   draw.colour, draw.rubberBand};
    out.curve(points, spec);
}

std::string JoinedText(const StaveBlock& b, int i) {
    if (!b.validIndex(i) || !HasTextLayout(b.obj[i].kind)) return {};
    return JoinedText(b, b.obj[i], i);
}

std::string JoinedText(const StaveBlock& b, const ScoreObject& first, int i) {
    std::string out = first.chunk();
    std::set<int> seen{i};
    for (int j = first.text().nextChunk;
         b.validIndex(j) && HasTextLayout(b.obj[j].kind) && seen.insert(j).second;
         j = b.obj[j].text().nextChunk)
        out += b.obj[j].chunk();
    return out;
}

namespace {

// The first n characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == n)
            return text.substr(0, i);
    return text;
}

}  // namespace

std::string ExpandPlaceholder(const std::string& text, const TextEnv& env) {
    if (text.size() != 2 || text[0] != '@') return text;
    const char c = text[1];
    std::tm tm{};
    localtime_r(&env.now, &tm);
    char buf[128];
    switch (c) {
        case 'P':
        case 'p':
            return std::to_string(env.pageNumber);
        case 'F':
        case 'f':
            return FirstCharacters(env.filePath, kPlaceholderPathLength);
        case 'N':
        case 'n':
            return FirstCharacters(FileNameOf(env.filePath), kPlaceholderNameLength);
        case 'D':
            std::strftime(buf, sizeof buf, "%A, %d %B %Y", &tm);
            return buf;
        case 'd':
            std::strftime(buf, sizeof buf, "%d/%m/%Y", &tm);
            return buf;
        case 'T':
        case 't':
            std::strftime(buf, sizeof buf, "%H:%M", &tm);
            return buf;
        default:
            return text;
    }
}

int DrawTextObject(Surface& out, const Score& score, int s, const ScoreObject& o, int i,
                   const ObjectDraw& draw, const TextEnv& env) {
    const StaveBlock& b = score.stave(s);
    if (!HasTextLayout(o.kind) || (o.text().textFlags & 0x80) || (o.x == 0 && o.y == 0)) return 0;
    std::string text = JoinedText(b, o, i);
    if (s == 0 && env.headerFooterPass) text = ExpandPlaceholder(text, env);
    int number = o.text().fontNumber;
    // A font number the table does not hold falls back to the first font.
    if (number == 0 || !score.fontsInUse.test(number)) number = 1;
    const FontDesc& fd = score.fonts[number];
    TextDraw td;
    td.font = {fd.name.empty() ? "Times New Roman" : fd.name, fd.size > 0 ? fd.size : 12, fd.style};
    td.small = IsSmall(b);
    td.rubberBand = draw.rubberBand;
    td.colour = draw.colour;
    if ((o.text().textFlags & 1) && !out.printMode() && env.globalInGreen && draw.colour == 0)
        td.colour = 0x008000;
    const int32_t y = MapY(b, o.y);
    const int width = out.text(text, td, o.x, y);
    if (o.text().textFlags & 0x08) {
        const int space = out.spaceWidth(td);
        const int h = td.small ? RoundEven(out.textHeight(td) * 5.0 / 8.0) : out.textHeight(td);
        const LineSpec frame{1, td.colour, draw.rubberBand};
        const int x1 = o.x - space, x2 = o.x + width + space;
        out.line(x1, y, x2, y, frame);
        out.line(x2, y, x2, y + h, frame);
        out.line(x2, y + h, x1, y + h, frame);
        out.line(x1, y + h, x1, y, frame);
    }
    return width;
}

}  // namespace sw
