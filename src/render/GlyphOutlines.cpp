// The glyph outline table and its reader.
#include "render/GlyphOutlines.h"

#include <cstdlib>

namespace sw {

namespace {

struct OutlineEntry {
    int code;
    const char* path;
};

constexpr OutlineEntry kOutlines[] = {
#include "render/GlyphOutlines.inc"
};

bool Numbers(const char*& p, double* out, int n) {
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        out[i] = std::strtod(p, &end);
        if (end == p) return false;
        p = end;
    }
    return true;
}

}  // namespace

std::vector<QPainterPath> ParseOutline(const char* text) {
    std::vector<QPainterPath> pieces;
    QPainterPath piece;
    piece.setFillRule(Qt::WindingFill);
    const char* p = text;
    double v[6];
    while (*p) {
        const char step = *p++;
        if (step == ' ') continue;
        if (step == '|') {
            if (!piece.isEmpty()) pieces.push_back(piece);
            piece = QPainterPath();
            piece.setFillRule(Qt::WindingFill);
        } else if (step == 'M' && Numbers(p, v, 2)) {
            piece.moveTo(v[0], v[1]);
        } else if (step == 'L' && Numbers(p, v, 2)) {
            piece.lineTo(v[0], v[1]);
        } else if (step == 'C' && Numbers(p, v, 6)) {
            piece.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
        } else {
            return {};
        }
    }
    if (!piece.isEmpty()) pieces.push_back(piece);
    return pieces;
}

std::vector<QPainterPath> GlyphOutline(int code) {
    for (const OutlineEntry& e : kOutlines)
        if (e.code == code) return ParseOutline(e.path);
    return {};
}

}  // namespace sw
