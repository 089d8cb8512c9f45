// Object drawing: the dispatcher and the routine of every kind.
#include "render/ObjectDrawing.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "fileio/Records.h"
#include "layout/BarShapes.h"
#include "layout/Beams.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Rounding.h"
#include "layout/Signatures.h"

namespace sw {

namespace {

// Everything one routine needs about the stave it draws on.
struct StaveView {
    const StaveBlock& b;
    int s;
    bool small;
    int sp;  // line spacing
    int32_t Y;
    int32_t mapY(int32_t y) const { return small ? SmallStaveY(Y, y) : y; }
    int32_t stepY(double step) const { return Y - static_cast<int32_t>(step * sp / 2); }
};

StaveView View(const Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    bool small = b.h.sizeIndex != 0;
    return {b, s, small, LineSpacing(b.h.sizeIndex), b.h.Ycoord};
}

struct Pen {
    Surface& out;
    uint32_t colour;
    bool rubber;
    bool print() const { return out.printMode(); }
    void glyph(int code, int x, int y, bool small, double factor = 1.0) {
        out.glyph(code, x, y, factor, small, rubber, colour);
    }
    void line(double x1, double y1, double x2, double y2, int width = 1) {
        out.line(x1, y1, x2, y2, LineSpec{width, colour, rubber});
    }
};

// ---- Clef -------------------------------------------------------------------

void DrawClef(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const ClefData& c = o.data.clef;
    if (c.type > 3) return;
    const int code = ClefGlyph(c.type, c.small != 0);
    const int32_t y = v.mapY(o.y);
    pen.glyph(code, o.x, y, v.small);
    if (!c.octaveUp && !c.octaveDown) return;
    // The octave figure beside the clef: (dx, dy) on a small / normal stave.
    struct Off {
        int dx, dy;
    };
    static constexpr Off kDown[2][2] = {{{-6, 16}, {-6, 26}}, {{-13, 5}, {-16, 8}}};
    static constexpr Off kUp[2][2] = {{{-4, -29}, {-5, -46}}, {{-6, -20}, {-8, -32}}};
    if (c.type > 1) return;  // alto and tenor: (0, 0), the figure sits on the clef
    TextDraw td;
    td.font = {"Times New Roman", v.small ? 8 : 12, 0};
    td.colour = pen.colour;
    td.rubberBand = pen.rubber;
    const int n = v.small ? 0 : 1;
    if (c.octaveDown) pen.out.text("8", td, o.x + kDown[c.type][n].dx, y + kDown[c.type][n].dy);
    if (c.octaveUp) pen.out.text("8", td, o.x + kUp[c.type][n].dx, y + kUp[c.type][n].dy);
}

// The clef type in force at x on a stave (treble when there is none before it).
int ClefAt(const StaveBlock& b, int32_t x) {
    int type = 0;
    int32_t best = INT32_MIN;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind == kClef && o.x <= x && o.x >= best && o.data.clef.type <= 3) {
            best = o.x;
            type = o.data.clef.type;
        }
    }
    return type;
}

// ---- Key signature ----------------------------------------------------------

// Steps of the k-th sharp or flat by clef.
constexpr int kSharpSteps[4][7] = {{4, 1, 5, 2, -1, 3, 0},
                                   {2, -1, 3, 0, -3, 1, -2},
                                   {3, 0, 4, 1, -2, 2, -1},
                                   {-2, 2, -1, 3, 0, 4, 1}};
constexpr int kFlatSteps[4][7] = {{0, 3, -1, 2, -2, 1, -3},
                                  {-2, 1, -3, 0, -4, -1, -5},
                                  {-1, 2, -2, 1, -3, 0, -4},
                                  {1, 4, 0, 3, -1, 2, -2}};

// A glyph and the point it is drawn at.
struct PlacedGlyph {
    int code;
    int32_t x, y;
};

// The signs a key signature draws: the naturals cancelling the key before it,
// then its own sharps or flats. `hasPrevious` tells whether a key stands
// before it on the stave.
std::vector<PlacedGlyph> KeysigSigns(const StaveView& v, const ScoreObject& o, bool& hasPrevious) {
    std::vector<PlacedGlyph> signs;
    hasPrevious = false;
    const int key = o.data.keysig.key;
    if (key < -7 || key > 7) return signs;
    const int clef = ClefAt(v.b, o.x);
    const KeysigLayout l = LayOutKeysig(v.b, o);
    hasPrevious = l.hasPrevious;
    const int natural = v.small ? 123 : glyph::NATURAL;
    int32_t pen_x = o.x;
    if (l.cancels) {
        pen_x -= 2;
        const int* steps = l.previous > 0 ? kSharpSteps[clef] : kFlatSteps[clef];
        for (int k = 0; k < std::abs(l.previous); ++k) {
            signs.push_back({natural, pen_x, v.stepY(steps[k])});
            pen_x += l.advance;
        }
        pen_x += 2;
    }
    if (key == 0) return signs;
    const int code = key > 0 ? (v.small ? 122 : glyph::SHARP) : (v.small ? 121 : glyph::FLAT);
    const int* steps = key > 0 ? kSharpSteps[clef] : kFlatSteps[clef];
    for (int k = 0; k < std::abs(key); ++k) {
        signs.push_back({code, pen_x, v.stepY(steps[k])});
        pen_x += l.advance;
    }
    return signs;
}

void DrawKeysig(Pen& pen, const StaveView& v, const ScoreObject& o, const DrawSettings& set) {
    bool hasPrevious = false;
    // The tiny signs of a small stave are drawn at their own size.
    for (const PlacedGlyph& g : KeysigSigns(v, o, hasPrevious))
        pen.glyph(g.code, g.x, g.y, false);
    if (o.data.keysig.key == 0 && !hasPrevious && !pen.print() && pen.colour == set.colours.ink)
        pen.out.glyph(v.small ? 123 : glyph::NATURAL, o.x, v.Y, 1.0, v.small, pen.rubber,
                      set.colours.nonprinting);
}

// The last column a glyph inks when drawn at x, at full size or (small) at
// the small stave's 5/8; INT32_MIN for a glyph without ink.
int32_t GlyphInkRight(int code, int32_t x, bool small) {
    const GlyphBox box = GlyphInkBox(code);
    if (box.right < box.left) return INT32_MIN;
    const int32_t at = x + ScreenNudge(code).x;
    if (!small) return at - kScreenCellW / 2 - 1 + box.right;
    const int w = RoundEven(kScreenCellW * 5.0 / 8.0);
    return at - w / 2 - 1 + (box.right * w + kScreenCellW - 1) / kScreenCellW;
}

// ---- Time signatures --------------------------------------------------------

// A number of one to three digits centred on cx.
void DrawNumber(Pen& pen, int number, int cx, int y, bool small) {
    // The small digits are drawn at their own size, not reduced again.
    const int base = small ? 190 : glyph::DIGIT0;
    std::string digits = std::to_string(std::clamp(number, 0, 999));
    auto w = [&](char d) { return GlyphInkWidth(base + (d - '0')); };
    // Neighbouring digits stand this far apart beyond their ink widths: any
    // less and the print digits, a little fuller than the screen's, touch.
    constexpr int kApart = 4;
    if (digits.size() == 1) {
        pen.glyph(base + digits[0] - '0', cx, y, false);
    } else if (digits.size() == 2) {
        pen.glyph(base + digits[0] - '0', cx - (w(digits[1]) + kApart) / 2, y, false);
        pen.glyph(base + digits[1] - '0', cx + (w(digits[0]) + kApart) / 2, y, false);
    } else {
        pen.glyph(base + digits[1] - '0', cx, y, false);
        pen.glyph(base + digits[0] - '0', cx - (w(digits[0]) + w(digits[1]) + kApart) / 2, y,
                  false);
        pen.glyph(base + digits[2] - '0', cx + (w(digits[2]) + w(digits[1]) + kApart) / 2, y,
                  false);
    }
}

void DrawCommonTime(Pen& pen, const StaveView& v, int code, int32_t x, int32_t y) {
    if (code < 0 || code > 14) return;
    int sx = x + 2;
    const int sy = y;
    // The small digits are centred on their places as the normal ones are:
    // raised as well, they would sit a small space too high.
    if (v.small && code > 1) sx = x - 3;
    if (code <= 1) {
        int glyphCode =
            v.small ? (code == 0 ? 238 : 239) : (code == 0 ? glyph::COMMON : glyph::COMMON2);
        pen.glyph(glyphCode, sx, sy, false);
        return;
    }
    if (code == 2) {
        DrawNumber(pen, 1, sx, sy + v.sp, v.small);
        return;
    }
    TimesigData t = CommonTimeToTimesig(static_cast<uint8_t>(code));
    if (code == 14) {
        // 12 over 8: the digits of twelve sit five (small stave three) either side.
        const int d = v.small ? 3 : 5;
        const int base = v.small ? 190 : glyph::DIGIT0;
        pen.glyph(base + 1, sx - d, sy, false);
        pen.glyph(base + 2, sx + d, sy, false);
    } else {
        DrawNumber(pen, t.numerator, sx, sy, v.small);
    }
    DrawNumber(pen, t.denominator, sx, sy + 2 * v.sp, v.small);
}

void DrawTimesig(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const TimesigData& t = o.data.timesig;
    const int32_t y = v.mapY(o.y);
    if (t.sign == 1 || t.sign == 2) {
        DrawCommonTime(pen, v, t.sign - 1, o.x, y);
        return;
    }
    const int cx = v.small ? o.x : o.x + 5;
    const int cy = y;
    if (t.singleNumber) {
        DrawNumber(pen, t.numerator, cx, cy + v.sp, v.small);
        return;
    }
    DrawNumber(pen, t.numerator, cx, cy, v.small);
    DrawNumber(pen, t.denominator, cx, cy + 2 * v.sp, v.small);
}

// ---- Bar lines --------------------------------------------------------------

constexpr int kTopLines[6] = {0, 0, -1, -1, -2, -2};
constexpr int kBottomLines[6] = {0, 1, 1, 2, 2, 3};

bool LineExtent(const StaveHeader& h, int& top, int& bottom) {
    const int n = h.lineCount;
    if (n < 1 || n > 6) return false;
    const int sp = LineSpacing(h.sizeIndex);
    top = h.Ycoord + kTopLines[n - 1] * sp - 1;
    bottom = h.Ycoord + kBottomLines[n - 1] * sp - 1;
    return true;
}

// The strokes of a bar-line style at x, from screen row y1 to y2 inclusive,
// on either picture. A row is a stave line's row on screen; in print it
// stands for the three rows that line takes there.
void BarStrokes(Surface& out, const BarShape& shape, int32_t x, int y1, int y2, uint32_t colour,
                bool rubber) {
    for (int i = 0; i < shape.strokes; ++i) {
        const BarStroke& b = shape.stroke[i];
        if (out.printMode()) {
            // printBar adds one to both x values.
            out.printBar(3 * x + b.printLeft() - 1, 3 * y1 + 2, 3 * x + b.printRight() - 1,
                         3 * y2 + 5);
            continue;
        }
        for (int k = 0; k < b.width; ++k)
            out.line(x + b.left + k, y1, x + b.left + k, y2 + 1, LineSpec{1, colour, rubber});
    }
}

void DrawBarline(Surface& out, const Score& score, int s, const ScoreObject& o,
                 const DrawRequest& req, const DrawSettings& set) {
    const BarlineData& d = o.data.barline;
    if (d.style > 8) return;
    // Only the top stave of a joined group draws, for the whole group.
    if (s > 1 && score.stave(s - 1).h.joinToNext) return;
    int last = s;
    while (last < score.Nstaves && score.stave(last).h.joinToNext)
        ++last;
    const uint32_t c = req.colour;
    const bool plainColour =
        c == set.colours.edit || c == kPureBlue || c == kPaper || c == set.colours.putative;
    static constexpr int kGlyph[9] = {
        glyph::BARLINE,        glyph::BARLINE2,       glyph::REPBAR1,
        glyph::REPBAR2,        glyph::REPBAR3,        glyph::BARLINE3,
        glyph::DOTTED_BARLINE, glyph::DOTTED_BARLINE, glyph::HALF_BARLINE};
    const BarShape shape = BarShapeOf(d.style);

    for (int t = s; t <= last; ++t) {
        const StaveHeader& h = score.stave(t).h;
        int top, bottom;
        if (!LineExtent(h, top, bottom)) continue;
        const uint32_t glyphColour = t == s || plainColour ? c : kLightGrey;
        const uint32_t joinColour = plainColour ? c : set.colours.ink;
        const bool small = h.sizeIndex != 0;
        // Connecting segments down to the next stave of the group.
        if (t < last && h.barlineThrough) {
            int nextTop, nextBottom;
            if (LineExtent(score.stave(t + 1).h, nextTop, nextBottom))
                BarStrokes(out, shape, o.x, bottom, nextTop, joinColour, req.rubberBand);
        }
        if (h.lineCount == 1) {
            if (t == s || t == last)
                out.glyph(glyph::HALF_BARLINE, o.x, h.Ycoord, 1.0, small, req.rubberBand,
                          glyphColour);
            continue;
        }
        if (small && shape.strokes > 0) {
            // A small stave's bar is built of the same strokes as the glyph,
            // from its top line to its bottom line.
            BarStrokes(out, shape, o.x, top, bottom, glyphColour, req.rubberBand);
            for (int k = 0; k < shape.dots; ++k)
                for (int dy : {-2, 2}) {
                    const int cx = o.x + shape.dotColumn[k], cy = h.Ycoord - 1 + dy;
                    out.ellipse(cx - 1, cy - 1, cx + 2, cy + 2, glyphColour, true, glyphColour);
                }
        } else if (small) {
            out.glyph(kGlyph[d.style], o.x, h.Ycoord, 1.0, true, req.rubberBand, glyphColour);
        } else if (d.style == 0 && out.printMode()) {
            // In print a single bar is a solid bar three print pixels wide.
            BarStrokes(out, shape, o.x, top, bottom, glyphColour, false);
        } else {
            out.glyph(kGlyph[d.style], o.x, h.Ycoord, 1.0, false, req.rubberBand, glyphColour);
            if (d.style == 7)
                out.glyph(224, o.x + 3, h.Ycoord, 1.0, false, req.rubberBand, glyphColour);
        }
        // The bar number, on the staves that show numbers at bar lines.
        if (d.showNumber && h.barNumberPlace == 3) {
            TextDraw td;
            td.font = {set.barFont.name, set.barFont.size > 0 ? set.barFont.size : 10,
                       set.barFont.style};
            td.colour = c;
            td.rubberBand = req.rubberBand;
            const std::string text = std::to_string(d.barNumber);
            const int width = out.textWidth(text, td);
            const int height = out.textHeight(td);
            const int bottomY =
                h.Ycoord - 2 * LineSpacing(h.sizeIndex) - (score.boxedBarNumbers ? 3 : 0);
            const int drawn = out.text(text, td, o.x - width / 2, bottomY - height);
            if (score.boxedBarNumbers) {
                const int sp = out.spaceWidth(td);
                out.rectangle(o.x - width / 2 - sp, bottomY - height, o.x - width / 2 + drawn + sp,
                              bottomY, c, false, c);
            }
        }
    }
}

// ---- Rests ------------------------------------------------------------------

int DotGlyph(int dots) {
    return dots == 1 ? glyph::DOT : (dots == 2 ? glyph::DOT2 : glyph::DOT3);
}

void Ledger(Surface& out, const StaveView& v, int step, int32_t headX, int h, uint32_t colour,
            bool rubber) {
    // Ledger lines sit where the stave's own lines do: a pixel above on screen.
    const int32_t y = v.stepY(step);
    if (out.printMode()) {
        out.printBar(3 * (headX - h) - 1, 3 * y - 1, 3 * (headX + h + 1) - 1, 3 * y + 2);
        return;
    }
    out.line(headX - h, y - 1, headX + h + 1, y - 1, LineSpec{1, colour, rubber});
}

void DrawRest(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const NoteData& n = o.note();
    if (n.noteValue > 7) return;
    const int32_t y = v.mapY(o.y);
    pen.glyph(RestGlyph(n.noteValue, n.headSize == 1), o.x, y, v.small);
    if (n.dots >= 1 && n.dots <= 3) {
        // The dot stands in the space of the rest's top hook: a semiquaver's
        // is the quaver's, the longer-tailed rests reach a space higher. On a
        // small stave the dot is the stave's size, so that it keeps to its space.
        const int dx = n.noteValue <= 4 ? 0 : (v.small ? 2 : 4);
        const int dy = n.noteValue <= 5 ? -1 : -v.sp - 1;
        pen.glyph(DotGlyph(n.dots), o.x + dx, y + dy, v.small);
    }
    const int p = n.pitch;
    int ledger = INT32_MIN;
    switch (n.noteValue) {
        case 0:
            if (p > 5)
                ledger = p;
            else if (p < -7)
                ledger = p + 2;
            break;
        case 1:
            if (p > 3)
                ledger = p + 2;
            else if (p < -7)
                ledger = p + 2;
            break;
        case 2:
            if (p > 5)
                ledger = p;
            else if (p < -5)
                ledger = p;
            break;
        default:
            break;
    }
    if (ledger != INT32_MIN) Ledger(pen.out, v, ledger, o.x, 8, pen.colour, pen.rubber);
}

// ---- Notes ------------------------------------------------------------------

bool IsBeamed(const NoteData& n) {
    return n.beamBackTo != 0 || n.beamOnTo != 0;
}

// The stem's x as drawn: the print picture takes the outer and inner stems of
// a stem-down chord one pixel to the left.
int StemX(const NoteData& n, bool print, bool smallStave = false) {
    // On a small stave the head is drawn 5/8 as wide, and the stem keeps to its side.
    int x = smallStave ? n.headX + RoundEven((n.stemStartX - n.headX) * 5.0 / 8.0) : n.stemStartX;
    if (print && EffectiveStem(n) == 1 && (n.showTail || n.stemRoot)) --x;
    return x;
}

void DrawStemLine(Surface& out, const NoteData& n, int32_t x, int32_t y1, int32_t y2,
                  uint32_t colour, bool rubber) {
    if (y1 == y2) return;
    if (!out.printMode()) {
        out.line(x, y1, x, y2, LineSpec{1, colour, rubber});
        return;
    }
    const bool up = EffectiveStem(n) == 0;
    const bool smallHead = n.headSize == 1;
    // Thirds of a pixel: the stem sits on the side of the head it touches.
    const double shift = smallHead ? (up ? 5 / 3.0 : 7 / 3.0) : (up ? 1 / 3.0 : 2 / 3.0);
    const double width = smallHead ? 2 / 3.0 : 1.0;
    const int X1 = RoundAway(3 * (x + shift)) - 1;
    out.printBar(X1, 3 * std::min(y1, y2), X1 + RoundAway(3 * width), 3 * std::max(y1, y2));
}

void DrawHead(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const NoteData& n = o.note();
    const int32_t hx = n.headX, y = v.mapY(o.y);
    const int sp = v.sp;
    const bool filled = n.noteValue >= 3;
    // A head glyph is drawn a pixel below the note, where the cell's lines
    // meet the stave's; the 5/8 cell of a small stave meets them a pixel higher.
    auto glyph = [&](int code) { pen.glyph(code, hx, v.small ? y : y + 1, v.small); };
    switch (n.head) {
        case 0:
            if (n.headSize == 0) {
                glyph(n.noteValue == 0   ? glyph::BREVE
                      : n.noteValue == 1 ? 156
                      : n.noteValue == 2 ? glyph::OPEN_HEAD
                                         : glyph::NOTEHEAD_BLACK);
            } else if (n.headSize == 5 && !IsBeamed(n) && n.showTail && n.noteValue >= 3) {
                const bool up = EffectiveStem(n) == 0;
                glyph(n.noteValue == 3 ? (up ? 57 : 58) : (up ? 91 : 92));
            } else if (n.headSize == 1 || n.headSize == 5) {
                // A grace note drawn in parts (beamed, or inside its chord)
                // has the small head, which its stem meets.
                glyph(n.noteValue >= 3 ? glyph::SMALL_HEAD_BLACK : glyph::SMALL_HEAD_OPEN);
            } else {
                glyph(glyph::TINYBLACK);
            }
            break;
        case 1:
            glyph(103);
            break;
        case 2:
            glyph(216);
            break;
        case 3:
            glyph(n.noteValue == 0 ? glyph::BREVE : n.noteValue == 1 ? 156 : glyph::OPEN_HEAD);
            break;
        case 5:
            glyph(glyph::DIAGLINE);
            break;
        case 6:
        case 8: {
            const int r = sp / 2 + 1;
            pen.out.ellipse(hx - r, y - r, hx + r + 1, y + r + 1, pen.colour, filled && n.head == 6,
                            pen.colour);
            if (n.head == 8) {
                pen.line(hx - r + 1, y - r + 1, hx + r, y + r);
                pen.line(hx - r + 1, y + r - 1, hx + r, y - r);
            }
            break;
        }
        case 7: {
            const int h = sp / 2;
            pen.out.rectangle(hx - h, y - h, hx + h + 1, y + h + 1, pen.colour, filled, pen.colour);
            break;
        }
        case 9:
        case 10: {
            const int h = RoundEven(sp / 2.0 * 0.866) + 1;
            const int dir = n.head == 9 ? -1 : 1;
            QPolygonF tri;
            tri << QPointF(hx, y + dir * h) << QPointF(hx - h, y - dir * h)
                << QPointF(hx + h, y - dir * h);
            pen.out.polygon(tri, pen.colour, filled);
            break;
        }
        default:
            break;
    }
}

void DrawFlag(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const NoteData& n = o.note();
    const int dir = EffectiveStem(n);
    if (dir == 2 || IsBeamed(n) || n.noteValue < 4 || n.noteValue > 7 || !n.showTail) return;
    const bool up = dir == 0;
    const bool smallHead = n.headSize == 1;
    static constexpr int kUp[4] = {28, 30, 32, 34}, kDown[4] = {29, 31, 33, 35};
    static constexpr int kUpSmall[4] = {59, 61, 63, 95}, kDownSmall[4] = {60, 62, 64, 96};
    const int level = n.noteValue - 4;
    const int code =
        smallHead ? (up ? kUpSmall[level] : kDownSmall[level]) : (up ? kUp[level] : kDown[level]);
    int x = n.stemEndX + (up ? -5 : 4);
    int y = n.stemEndY + (up ? 33 : -28);
    double factor = 1.0;
    const int stemLength = std::abs(n.stemEndY - n.stemStartY);
    if (n.headSize == 0 && !v.small && stemLength < 28) {
        factor = stemLength / 28.0;
        if (factor <= 0) return;
        const int move = RoundEven((1 - factor) * 28);
        y += up ? -move : move;
        if (up) x += 1;
    }
    if (v.small) {
        if ((n.headSize == 0 && !up) || (smallHead && up)) x += 1;
        if (smallHead && !up && n.noteValue == 7) x -= 1;
        if (pen.print() && smallHead) x -= 1;
        y = v.Y + MulDiv(y - v.Y, 5, 8);
    }
    pen.glyph(code, x, y, v.small, factor);
}

void DrawLedgers(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const NoteData& n = o.note();
    const bool smallish = n.headSize == 5 || (n.headSize == 1 && n.noteValue != 0) ||
                          (n.headSize == 2 && n.noteValue == 4);
    // A breve's head is twice a crotchet's: its ledger lines reach as far beyond it.
    const bool breve = n.noteValue == 0 && n.headSize == 0 && (n.head == 0 || n.head == 3);
    const int h = v.small ? (smallish ? 4 : (breve ? 7 : 5)) : (smallish ? 5 : (breve ? 11 : 8));
    for (int step = 6; step <= n.pitch; step += 2)
        Ledger(pen.out, v, step, n.headX, h, pen.colour, pen.rubber);
    for (int step = -6; step >= n.pitch; step -= 2)
        Ledger(pen.out, v, step, n.headX, h, pen.colour, pen.rubber);
}

// The first and last row a mark inks, from the point it is drawn at.
struct InkRows {
    int top, bottom;
};
InkRows MarkRows(int code, bool small) {
    const GlyphBox b = GlyphInkBox(code);
    const int ny = ScreenNudge(code).y, mid = kScreenCellH / 2;
    if (!small) return {ny + b.top - mid, ny + b.bottom - mid};
    // The 5/8 cell of a small stave, its rows taken from the full cell's.
    const int h = RoundEven(kScreenCellH * 5.0 / 8.0);
    return {ny + b.top * h / kScreenCellH - h / 2,
            ny + (b.bottom * h + kScreenCellH - 1) / kScreenCellH - h / 2};
}

// True when page row `row` is one of the stave's own lines or next to one.
bool NearStaveLine(const StaveView& v, int32_t row) {
    int top, bottom;
    if (!LineExtent(v.b.h, top, bottom) || row < top - 1 || row > bottom + 1) return false;
    const int off = ((row - top) % v.sp + v.sp) % v.sp;
    return off <= 1 || off == v.sp - 1;
}

void DrawArticulations(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const NoteData& n = o.note();
    if (n.emphasis == 0 && n.staccato == 0) return;
    const int dir = EffectiveStem(n);
    const bool up = dir == 0;
    const int half = v.sp / 2;
    const int32_t y = v.mapY(o.y);
    // "Away" is the side of the head opposite the stem.
    const int away = up ? 1 : -1;  // +1 = downwards on the page
    // A position on a line inside the stave moves half a space further out.
    auto clear = [&](int32_t py, int sign) {
        int step = (v.Y - py) * 2 / v.sp;
        if ((v.Y - py) * 2 % v.sp == 0 && step % 2 == 0 && std::abs(step) <= 4) py += sign * half;
        return py;
    };
    const int32_t hx = n.headX;
    const int32_t ex = n.stemEndX, ey = v.mapY(n.stemEndY);
    const bool bothAtTail = n.staccato >= 3 && (n.emphasis == 5 || n.emphasis == 6);
    // A staccato at the head goes next to it; a mark at the head as well goes
    // beyond the staccato, its ink a gap clear of the staccato's, and never
    // nearer than its own place.
    const int stacCode =
        n.staccato == 1 ? glyph::STACCATO : (up ? glyph::WEDGE_BELOW : glyph::WEDGE_ABOVE);
    const int32_t stacY = clear(y + away * v.sp, away);
    auto headMark = [&](int code, int32_t py) {
        if (n.staccato == 1 || n.staccato == 2) {
            const int gap = v.small ? 1 : 2;
            const InkRows mark = MarkRows(code, v.small), stac = MarkRows(stacCode, v.small);
            const int32_t beyond = away > 0 ? stacY + stac.bottom + gap + 1 - mark.top
                                            : stacY + stac.top - gap - 1 - mark.bottom;
            py = away > 0 ? std::max(py, beyond) : std::min(py, beyond);
            // A line-thin mark keeps a row clear of the stave's lines, so that it
            // neither hides in one nor reads as a thicker one.
            while (code == glyph::TENUTO && NearStaveLine(v, py + mark.top))
                py += away;
        }
        pen.glyph(code, hx, py, v.small);
    };
    switch (n.emphasis) {
        case 1:
            headMark(glyph::TENUTO, clear(y + away * v.sp, away));
            break;
        case 2:
            headMark(glyph::ACCENT, clear(y + away * 3 * half, away));
            break;
        case 3: {
            // Above the note (stem down) or below it (stem up), never inside the stave.
            const int step = up ? std::min<int>(n.pitch, -4) - 2 : std::max<int>(n.pitch, 4) + 2;
            headMark(up ? glyph::MARCATO_BELOW : glyph::MARCATO, v.stepY(step));
            break;
        }
        case 4:
        case 5:
        case 6: {
            const int ax = ex + (up ? -4 : 4);
            const int out = up ? -1 : 1;  // beyond the stem end
            int32_t py;
            if (n.emphasis == 4) {
                py = ey + out * (half + v.sp);
                pen.glyph(77, ax, clear(py, out), v.small);
            } else if (n.emphasis == 5) {
                py = ey + out * (3 * half + (up ? 0 : 2));
                const int32_t limit = 3 * v.sp;
                if (up)
                    py = std::min(py, v.Y - limit);
                else
                    py = std::max(py, v.Y + limit);
                pen.glyph(76, ax, py, v.small);
            } else {
                py = up ? std::min<int32_t>(ey - half, v.Y - 3 * v.sp)
                        : std::max<int32_t>(ey + half, v.Y + 3 * v.sp);
                pen.glyph(up ? 75 : 221, ex, py, v.small);
            }
            break;
        }
        default:
            break;
    }
    switch (n.staccato) {
        case 1:
        case 2:
            pen.glyph(stacCode, hx, stacY, v.small);
            break;
        case 3:
        case 4: {
            const int out = up ? -1 : 1;
            int32_t py = ey + out * half;
            const int32_t limit = 5 * half;
            if (up)
                py = std::min(py, v.Y - limit);
            else
                py = std::max(py, v.Y + limit);
            const int code = n.staccato == 3 ? 71 : (up ? 74 : 73);
            pen.glyph(code, ex - 1 + (bothAtTail ? 3 : 0), py, v.small);
            break;
        }
        default:
            break;
    }
}

// The line the beams of note i's group follow, when it has a beam.
std::optional<BeamGeometry> BeamOf(const Score& score, int s, int i) {
    const std::vector<NoteRef> chain = BeamChain(score, s, i, false);
    if (chain.size() < 2) return std::nullopt;
    const NoteRef last = chain.back();
    BeamGeometry geo = LayOutBeams(score, last.s, last.i, score.object(last.s, last.i));
    if (geo.notes.size() < 2) return std::nullopt;
    return geo;
}

void DrawTremolo(Pen& pen, const Score& score, const StaveView& v, const ScoreObject& o, int i) {
    const NoteData& n = o.note();
    int strokes = n.tremuloBars;
    if (n.noteValue >= 4) strokes -= n.noteValue - 3;
    if (strokes <= 0) return;
    const bool beamed = IsBeamed(n);
    const bool whole = n.noteValue <= 1;
    const int half = whole ? 7 : n.noteValue <= 3 ? 5 : beamed ? 5 : 4;
    const bool up = EffectiveStem(n) != 1;
    const int out = up ? -1 : 1;  // from the head towards the stem's end, on the page
    // Rising to the right, or along the note's beam.
    double slope = -0.4;
    const int32_t headY = v.mapY(o.y);
    int32_t sx = whole ? n.headX + 1 : StemX(n, false, v.small);
    // The stretch of stem the strokes share, from beside the head to the stem's
    // end or the nearest beam.
    double from = headY + out * 6, to = v.mapY(n.stemEndY);
    if (beamed) {
        if (const std::optional<BeamGeometry> geo = BeamOf(score, v.s, i)) {
            slope = geo->line.slope;
            const int levels = std::max(1, n.noteValue - 3);
            to = geo->line.at(n.stemStartX) -
                 out * (levels * geo->thickness + (levels - 1) * geo->gap);
        }
    }
    // A stroke is three rows thick and leans `tilt` rows either way.
    const double tilt = std::abs(slope) * half;
    double first;  // the top row of the stroke nearest the head, at its middle
    if (whole)
        // No stem: the strokes stand beyond the head, two rows clear of it.
        first = up ? headY - 9 - tilt : headY + 6 + tilt;
    else
        // Centred on the free stretch of stem.
        first = (from + to) / 2 - out * 3 * (strokes - 1) - 1;
    for (int k = 0; k < strokes; ++k) {
        const double cy = std::round(first) + out * 6 * k;
        for (int t = 0; t < 3; ++t)
            pen.line(sx - half, cy + t - slope * half, sx + half, cy + t + slope * half);
    }
}

int TieSide(const NoteData& n) {
    // Over (-1, above) or under (+1): the tie's own choice, else away from the stem.
    if (n.tieOver) return -1;
    return EffectiveStem(n) == 0 ? 1 : -1;
}

void DrawTieCurve(Pen& pen, const StaveView& v, int32_t x1, int32_t x2, int32_t y, int side) {
    if (x2 - x1 < 2) return;
    const int32_t yy = v.mapY(y) + side * 5;
    const int32_t mid = yy + side * TieHeight(x2 - x1) * (v.small ? 5 : 8) / 8;
    // A pixel thick on screen and six print pixels in print.
    pen.out.curve({QPoint(x1, yy), QPoint((x1 + x2) / 2, mid), QPoint(x2, yy)},
                  CurveSpec{1, false, false, pen.colour, pen.rubber, 6});
}

void DrawTies(Pen& pen, const Score& score, const StaveView& v, const ScoreObject& o) {
    const StaveBlock& b = v.b;
    const NoteData& n = o.note();
    const int side = TieSide(n);
    if (n.tieLeft >= 1 && n.tieLeft <= kMaxObjects && b.validIndex(n.tieLeft) &&
        b.obj[n.tieLeft].kind == kNote) {
        const NoteData& left = b.obj[n.tieLeft].note();
        DrawTieCurve(pen, v, left.headX + 7, n.headX - 2, o.y, side);
    }
    if (n.tieLeft == 255) {
        // From just after the ink of the last clef or key signature before the
        // note, however many signs the key has.
        int32_t from = b.h.LeftX;
        for (int j = 1; j <= b.h.Nobjec; ++j) {
            const ScoreObject& k = b.obj[j];
            if (k.x >= o.x) continue;
            if (k.kind == kClef && k.data.clef.type <= 3) {
                const int code = ClefGlyph(k.data.clef.type, k.data.clef.small != 0);
                from = std::max(from, GlyphInkRight(code, k.x, v.small) + 3);
            } else if (k.kind == kKeysig) {
                bool hasPrevious = false;
                for (const PlacedGlyph& g : KeysigSigns(v, k, hasPrevious))
                    from = std::max(from, GlyphInkRight(g.code, g.x, false) + 3);
            }
        }
        DrawTieCurve(pen, v, from, o.x - 6, o.y, side);
    }
    if (n.tieRight == 255) {
        // The tie takes the side of the note it continues to in the next system.
        int tieSide = side;
        const int next = b.t.nextSystemStave;
        if (next >= 1 && next <= score.Nstaves) {
            const StaveBlock& nb = score.stave(next);
            for (int j = 1; j <= nb.h.Nobjec; ++j)
                if (nb.obj[j].kind == kNote && nb.obj[j].note().tieLeft == 255 &&
                    nb.obj[j].note().pitch == n.pitch) {
                    tieSide = TieSide(nb.obj[j].note());
                    break;
                }
        }
        DrawTieCurve(pen, v, o.x + 6, b.h.RightX, o.y, tieSide);
    }
}

// ---- Beams ------------------------------------------------------------------

void DrawBeams(Pen& pen, const Score& score, int s, int i, const ScoreObject& last) {
    const BeamGeometry geo = LayOutBeams(score, s, i, last);
    if (geo.notes.size() < 2) return;
    const BeamLine& line = geo.line;
    const int t = geo.thickness;
    for (const BeamPiece& piece : geo.pieces) {
        // Successive levels lie towards the heads.
        const double off = piece.level * (t + geo.gap) * (geo.up ? 1 : -1);
        const double thick = geo.up ? t : -t;
        const double x1 = piece.x1, x2 = piece.x2;
        QPolygonF poly;
        poly << QPointF(x1, line.at(x1) + off) << QPointF(x2 + 1, line.at(x2 + 1) + off)
             << QPointF(x2 + 1, line.at(x2 + 1) + off + thick)
             << QPointF(x1, line.at(x1) + off + thick);
        pen.out.polygon(poly, pen.colour, true);
    }
    const bool print = pen.print();
    // Stems run to the beam.
    for (const BeamNote& b : geo.notes) {
        const StaveView bv = View(score, b.s);
        const int32_t x = StemX(*b.n, print, bv.small);
        const int32_t top = b.headY;
        DrawStemLine(pen.out, *b.n, x, top, RoundEven(line.at(b.x)), pen.colour, pen.rubber);
    }
}

// ---- Other kinds ------------------------------------------------------------

void DrawAccidental(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const AccidentalData& a = o.data.accidental;
    if (a.accidental < -2 || a.accidental > 2) return;
    static constexpr int kNormal[5] = {glyph::FLAT2, glyph::FLAT, glyph::NATURAL, glyph::SHARP,
                                       glyph::SHARP2};  // -2 .. 2
    static constexpr int kTiny[5] = {glyph::FLAT2, 121, 123, 122, glyph::SHARP2};
    const int code = (a.small ? kTiny : kNormal)[a.accidental + 2];
    const int32_t x = o.x - 3, y = v.mapY(o.y);
    pen.glyph(code, x, y, v.small);
    if (!a.parentheses) return;
    const GlyphBox box = GlyphInkBox(code);
    TextDraw td;
    td.font = {"Times New Roman", 12, 0};
    td.colour = pen.colour;
    td.rubberBand = pen.rubber;
    const int h = pen.out.textHeight(td);
    // The brackets hug the sign, centred on it.
    const int left = x - kScreenCellW / 2 - 1 + box.left,
              right = x - kScreenCellW / 2 - 1 + box.right;
    pen.out.text("(", td, left - 6, y - h / 2);
    pen.out.text(")", td, right + 2, y - h / 2);
}

void DrawRow(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const TrillData& t = o.data.trill;
    const int32_t y = v.mapY(o.y);
    for (int k = 0; k <= t.count; ++k)
        pen.glyph(o.glyph, o.x + k * t.dx, y + k * (v.small ? RoundEven(t.dy * 5.0 / 8.0) : t.dy),
                  v.small);
}

void DrawArpeggio(Pen& pen, const StaveView& v, const ScoreObject& o) {
    const OtherData& d = o.data.other;
    const int links = std::clamp<int>(d.bends, 1, 99);
    const int32_t x = o.x + 2, y = v.mapY(o.y) + (v.small ? 4 : 6);
    for (int k = 0; k < links; ++k) {
        int code = 157;
        if (k == 0 && d.downArrow) code = 241;
        if (k == links - 1 && d.upArrow) code = 240;
        pen.glyph(code, x, y - k * v.sp, v.small);
    }
}

void DrawShape(Pen& pen, const StaveView& v, const ScoreObject& o, const DrawSettings& set) {
    const DrawobjectData& d = o.data.drawobject;
    if (d.shape > 3) return;
    const int r = d.radiusOrWidth, h = d.height;
    const int32_t y = v.mapY(o.y);
    uint32_t frame = pen.colour, fill = d.filled ? pen.colour : kPaper;
    if (d.whiteOut) {
        if (pen.print())
            frame = fill = kPaper;
        else if (pen.colour == set.colours.ink)
            frame = fill = set.colours.erase;
    }
    const bool filled = d.filled || d.whiteOut;
    switch (d.shape) {
        case 0:
            pen.out.ellipse(o.x - r, y - r, o.x + r + 1, y + r + 1, frame, filled, fill);
            break;
        case 1:
            pen.out.rectangle(o.x - r, y - r, o.x + r + 1, y + r + 1, frame, filled, fill);
            break;
        case 2:
            pen.out.rectangle(o.x, y, o.x + r + 1, y + h + 1, frame, filled, fill);
            break;
        case 3:
            pen.out.ellipse(o.x, y, o.x + r + 1, y + h + 1, frame, filled, fill);
            break;
    }
}

void DrawNote(Pen& pen, const Score& score, int s, const ScoreObject& o, int i,
              const DrawSettings& set) {
    const StaveView v = View(score, s);
    const NoteData& n = o.note();
    if (n.noteValue > 7) return;
    Pen p = pen;
    if (n.durMod != n.durMod2 && pen.colour == set.colours.ink) p.colour = set.colours.modnote;
    DrawHead(p, v, o);
    const int dir = EffectiveStem(n);
    const bool beamed = IsBeamed(n);
    // An unbeamed grace note is one complete glyph, stem and flag included.
    const bool wholeGrace =
        n.head == 0 && n.headSize == 5 && !beamed && n.showTail && n.noteValue >= 3;
    // A beamed note's stem is drawn with its beam, to the beam's edge.
    if (dir != 2 && !n.noVisibleStem && !beamed && !wholeGrace)
        DrawStemLine(p.out, n, StemX(n, p.print(), v.small), v.mapY(n.stemStartY),
                     v.mapY(n.stemEndY), p.colour, p.rubber);
    if (!wholeGrace) DrawFlag(p, v, o);
    if (beamed && n.showTail && n.beamBackTo && !n.beamOnTo) DrawBeams(p, score, s, i, o);
    DrawLedgers(p, v, o);
    if (n.dots >= 1 && n.dots <= 3) p.glyph(DotGlyph(n.dots), n.dotX, n.dotY, false);
    DrawArticulations(p, v, o);
    if (n.headSize == 5 && beamed && !n.beamBackTo && n.noteValue >= 4) {
        const int32_t ex = n.stemEndX, ey = v.mapY(n.stemEndY);
        if (dir == 0)
            p.line(ex - 4, ey + 4, ex + 4, ey - 4);
        else
            p.line(ex - 4, ey - 4, ex + 4, ey + 4);
    }
    DrawTremolo(p, score, v, o, i);
    DrawTies(p, score, v, o);
}

}  // namespace

int TieHeight(int w) {
    const int s = 8;
    if (w < 6) return s / 4;
    if (w > 100) return s + 1;
    return s / 4 + RoundEven((s - s / 4 + 1) * (w - 6) / 94.0);
}

bool StaveLineExtent(const StaveHeader& h, int& top, int& bottom) {
    return LineExtent(h, top, bottom);
}

void DrawObject(Surface& out, const Score& score, int s, const ScoreObject& o, int i,
                const DrawRequest& req, const DrawSettings& set) {
    if (!score.hasStave(s) || s > score.Nstaves) return;
    uint32_t colour = req.colour;
    if (o.invisible) {
        if (out.printMode()) return;
        if (colour == set.colours.ink && !req.normalDrawing) colour = kMagenta;
    }
    Pen pen{out, out.printMode() && colour != kPaper ? kBlack : colour,
            req.rubberBand && !out.printMode()};
    const StaveView v = View(score, s);
    const ObjectDraw od{pen.colour, pen.rubber};
    switch (o.kind) {
        case kClef:
            DrawClef(pen, v, o);
            break;
        case kKeysig:
            DrawKeysig(pen, v, o, set);
            break;
        case kTimesig:
            DrawTimesig(pen, v, o);
            break;
        case kCommonTime:
            DrawCommonTime(pen, v, o.data.commonTime.code, o.x, v.mapY(o.y));
            break;
        case kBarline:
            DrawBarline(out, score, s, o, DrawRequest{pen.colour, pen.rubber, req.normalDrawing},
                        set);
            break;
        case kNote:
            if (o.note().rest)
                DrawRest(pen, v, o);
            else
                DrawNote(pen, score, s, o, i, set);
            break;
        case kAccidental:
            DrawAccidental(pen, v, o);
            break;
        case kText9:
        case kText:
        case kHeadertext:
        case kFootertext:
            DrawTextObject(out, score, s, o, i, od, set.textEnv);
            break;
        case kLine:
            DrawLineObject(out, score, s, o, od);
            break;
        case kCurve:
            DrawCurveObject(out, score, s, o, i, od, set.showAnchors, set.colours.anchor);
            break;
        case kTrill:
            DrawRow(pen, v, o);
            break;
        case kOther:
            DrawArpeggio(pen, v, o);
            break;
        case kHairpin:
            DrawHairpin(out, score, s, o, od);
            break;
        case kDrawobject:
            DrawShape(pen, v, o, set);
            break;
        default:
            break;  // Symbol, Nothing, Tie, Dynamic and Slur draw nothing themselves
    }
}

void DrawObject(Surface& out, const Score& score, int s, int i, const DrawRequest& req,
                const DrawSettings& set) {
    if (!score.hasStave(s) || s > score.Nstaves || !score.stave(s).validIndex(i)) return;
    DrawObject(out, score, s, score.object(s, i), i, req, set);
}

void RedrawChord(Surface& out, const Score& score, int s, int32_t x, uint32_t colour, int editing,
                 const DrawSettings& set) {
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        if (b.obj[i].kind != kNote || b.obj[i].x != x) continue;
        uint32_t c = colour;
        if (i == editing)
            c = set.colours.edit;
        else if (b.t.blockSet.test(static_cast<std::size_t>(i)))
            c = set.colours.selecting;
        DrawObject(out, score, s, i, DrawRequest{c, false, false}, set);
    }
}

void DrawDraggedObject(Surface& out, const Score& score, int s, int i, uint32_t colour,
                       const DrawSettings& set) {
    if (!score.hasStave(s) || s > score.Nstaves || !score.stave(s).validIndex(i)) return;
    const StaveBlock& b = score.stave(s);
    const ScoreObject& o = b.obj[i];
    const LineSpec thin{1, colour, true};
    switch (o.kind) {
        case kHairpin: {
            const HairpinData& h = o.data.hairpin;
            out.line(o.x, o.y, o.x + h.length, o.y + h.halfOpening, thin);
            out.line(o.x, o.y, o.x + h.length, o.y - h.halfOpening, thin);
            return;
        }
        case kLine:
            out.line(o.x, o.y, o.x + o.data.line.dx, o.y + o.data.line.dy, thin);
            return;
        case kCurve: {
            // Back to the first point of the chain, then the whole curve.
            std::set<int> seen;
            int first = i;
            while (seen.insert(first).second && b.validIndex(b.obj[first].curve().prevAnchor) &&
                   b.obj[b.obj[first].curve().prevAnchor].kind == kCurve)
                first = b.obj[first].curve().prevAnchor;
            DrawCurveObject(out, score, s, first, ObjectDraw{colour, true});
            return;
        }
        case kTimesig:
            out.glyph(o.glyph, o.x, o.y, 1.0, b.h.sizeIndex != 0, true, colour);
            return;
        default:
            DrawObject(out, score, s, i, DrawRequest{colour, true, false}, set);
    }
}

void DrawPendingObject(Surface& out, const Score& score, int s, const ScoreObject& pending,
                       bool erase, const DrawSettings& set) {
    DrawObject(out, score, s, pending, 0,
               DrawRequest{erase ? kPaper : set.colours.putative, false, false}, set);
}

}  // namespace sw
