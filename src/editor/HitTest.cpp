// The object under the mouse.
#include "editor/HitTest.h"

#include <algorithm>
#include <cstdlib>

#include "editor/Modes.h"
#include "layout/GlyphTable.h"
#include "layout/Pagination.h"
#include "model/Build.h"

namespace sw {

namespace {

HitRect Normalised(int32_t l, int32_t t, int32_t r, int32_t b) {
    return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

HitRect Around(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    return Normalised(x - dx, y - dy, x + dx, y + dy);
}

// A glyph's ink box where the drawing puts it: the cell's origin at the
// point less (dx, dy), moved by the glyph's screen nudge.
HitRect GlyphRect(int glyph, int32_t x, int32_t y, int dx, int dy) {
    const GlyphBox box = GlyphInkBox(glyph);
    const Nudge n = ScreenNudge(glyph);
    const int32_t ox = x + n.x - dx, oy = y + n.y - dy;
    return Normalised(ox + box.left, oy + box.top, ox + box.right + 1, oy + box.bottom + 1);
}

int AccidentalGlyph(const AccidentalData& a) {
    if (a.small) return a.accidental > 0 ? 122 : (a.accidental < 0 ? 121 : 123);
    switch (a.accidental) {
        case 2:
            return 47;
        case 1:
            return 46;
        case -1:
            return 44;
        case -2:
            return 45;
        default:
            return 48;
    }
}

}  // namespace

std::optional<HitRect> ObjectHitRect(const Score& score, int s, int i, int mode,
                                     const TextMeasurer& measurer) {
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return std::nullopt;
    const StaveBlock& b = score.stave(s);
    const ScoreObject& o = b.obj[i];
    const int sp = LineSpacing(b.h.sizeIndex);
    switch (o.kind) {
        case kClef:
        case kTrill:
            return GlyphRect(o.glyph, o.x, o.y, 20, 31);
        case kKeysig: {
            const int32_t left = o.x + GlyphInkBox(46).left + ScreenNudge(46).x - 20;
            const int n = std::max(1, std::abs(static_cast<int>(o.data.keysig.key)));
            return Normalised(left, o.y - 2 * sp, left + GlyphInkWidth(46) + 8 * n - 8,
                              b.h.Ycoord + 2 * sp);
        }
        case kTimesig:
            return Around(o.x, o.y, GlyphInkWidth(16) / 2, 2 * sp);
        case kCommonTime: {
            const int32_t left = o.x + GlyphInkBox(o.glyph).left - 20;
            return Normalised(left, o.y - 2 * sp, left + GlyphInkWidth(o.glyph), o.y + 2 * sp);
        }
        case kBarline:
            return Around(o.x, o.y, 3, 2 * sp);
        case kNote:
            if (o.data.note.rest) return Around(o.x, o.y, 5, o.data.note.noteValue <= 2 ? 8 : 16);
            return Around(o.data.note.headX ? o.data.note.headX : o.x, o.y, 5, 5);
        case kAccidental:
            return GlyphRect(AccidentalGlyph(o.data.accidental), o.x, o.y, 23, 31);
        case kLine:
        case kCurve:
        case kHairpin:
            return Around(o.x, o.y, 5, 5);
        case kOther:
            return Normalised(o.x - 5, o.y - sp * o.data.raw[0], o.x + 5, o.y);
        case kHeadertext:
        case kFootertext:
            if (mode != (o.kind == kHeadertext ? kModeHead : kModeFoot)) return std::nullopt;
            [[fallthrough]];
        case kText: {
            const int f = o.data.text.fontNumber;
            const FontDesc& d = score.fonts[f];
            const TextFont font{d.name, d.size, d.style};
            const std::string text = ChainText(b, i);
            return Normalised(o.x, o.y, o.x + measurer.width(font, text),
                              o.y + measurer.height(font, text));
        }
        case kDrawobject: {
            const DrawobjectData& d = o.data.drawobject;
            if (d.shape == 0 || d.shape == 1)
                return Around(o.x, o.y, d.radiusOrWidth, d.radiusOrWidth);
            return Normalised(o.x, o.y, o.x + d.radiusOrWidth, o.y + d.height);
        }
        default:
            return std::nullopt;
    }
}

Hit HitTestPage(const Score& score, int page, int mode, int32_t x, int32_t y,
                const TextMeasurer& measurer) {
    int first = 0, last = 0;
    if (mode == kModeHead || mode == kModeFoot) {
        first = last = 0;
    } else {
        first = FirstStaveOnPage(score, page);
        last = LastStaveOnPage(score, page);
        if (first < 1) return {};
    }
    auto searchable = [&](int s) {
        return score.hasStave(s) && (s == 0 || score.stave(s).h.sizeIndex == 0);
    };
    for (int s = first; s <= last; ++s) {
        if (!searchable(s)) continue;
        for (int i = 1; i <= score.stave(s).count(); ++i)
            if (const std::optional<HitRect> r = ObjectHitRect(score, s, i, mode, measurer);
                r && r->contains(x, y))
                return {s, i};
    }
    // A line can be taken at its far end, or at its middle.
    for (int pass = 0; pass < 2; ++pass)
        for (int s = first; s <= last; ++s) {
            if (!searchable(s)) continue;
            const StaveBlock& b = score.stave(s);
            for (int i = 1; i <= b.count(); ++i) {
                const ScoreObject& o = b.obj[i];
                if (o.kind != kLine) continue;
                const int32_t dx = pass == 0 ? o.data.line.dx : o.data.line.dx / 2;
                const int32_t dy = pass == 0 ? o.data.line.dy : o.data.line.dy / 2;
                if (Around(o.x + dx, o.y + dy, 5, 5).contains(x, y)) return {s, i};
            }
        }
    return {};
}

int StaveAt(const Score& score, int page, int32_t x, int32_t y) {
    constexpr int32_t kBand = 16, kSmallBand = 10;
    const int first = FirstStaveOnPage(score, page), last = LastStaveOnPage(score, page);
    if (first < 1) return 0;
    for (int s = first; s <= last; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveHeader& h = score.stave(s).h;
        const int32_t half = h.sizeIndex == 0 ? kBand : kSmallBand;
        if (x >= h.LeftX && x <= h.RightX && y >= h.Ycoord - half && y <= h.Ycoord + half) return s;
    }
    return 0;
}

}  // namespace sw
