// The glyph contact sheet.
#include "render/ContactSheet.h"

#include <QFont>
#include <QPainter>

#include "core/ScriptedHost.h"
#include "layout/GlyphTable.h"
#include "model/Build.h"
#include "render/GlyphPainter.h"
#include "render/GlyphStore.h"
#include "render/ObjectShapes.h"

namespace sw {

QImage GlyphContactSheet(const GlyphStore& glyphs, bool print) {
    // Screen-scale geometry of one sheet cell; the print sheet is three times it.
    constexpr int kCellW = 72, kCellH = 96, kCols = 16;
    const int k = print ? 3 : 1;
    QImage sheet(kCols * kCellW * k, 16 * kCellH * k, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    const DrawContext ctx = PictureContext(sheet, glyphs, print);

    QPainter p(&sheet);
    QFont font("Liberation Sans");
    font.setPixelSize(9 * k);
    p.setFont(font);
    for (int code = 0; code < 256; ++code) {
        int col = code % kCols, row = code / kCols;
        int x = col * kCellW + 40, y = row * kCellH + 52;  // the glyph's reference point
        // Stave lines where the page draws them: on screen the middle line is
        // the row above the reference, in print three rows around 3y.
        for (int line = -2; line <= 2; ++line) {
            int ly = y + 8 * line;
            if (print)
                p.fillRect(3 * (x - 26), 3 * ly - 1, 3 * 52, 3, QColor(150, 150, 150));
            else
                p.fillRect(x - 26, ly - 1, 52, 1, QColor(150, 150, 150));
        }
        p.setPen(GlyphHasArt(code) ? QColor(0, 0, 160) : QColor(190, 190, 190));
        p.drawText(QPoint((col * kCellW + 2) * k, (row * kCellH + 10) * k),
                   QString::number(code) + " " + GlyphBaseName(code));
        DrawGlyph(ctx, code, x, y, false, false, 0x000000);
    }
    return sheet;
}

QImage LinesContactSheet(const GlyphStore& glyphs, bool print) {
    constexpr int kW = 760, kH = 560;
    const int k = print ? 3 : 1;
    QImage sheet(kW * k, kH * k, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    const DrawContext ctx = PictureContext(sheet, glyphs, print);

    Score score;
    ScriptedHost host;
    host.setPermissive(true);
    const int serif = FindOrAddFont(score, FontDesc{"Times New Roman", 12, 0, 0, 0}, host);
    const int s = AppendStave(score, 300, 0, kW);
    auto line = [&](int x, int y, int dx, int dy, int width, int style, int p, int q, int legs,
                    int legDir) {
        PlaceLine(score, s, x, y, LineShape{dx, dy, width, style, p, q, 10, legDir, legs});
    };
    auto label = [&](int x, int y, const std::string& text, int size = 9) {
        int f = FindOrAddFont(score, FontDesc{"Arial", static_cast<int16_t>(size), 0, 0, 0}, host);
        PlaceText(score, s, kText, x, y, f, text);
    };
    // Line styles and widths.
    const char* styles[] = {"solid", "dashed", "wavy", "gap", "legs"};
    for (int st = 0; st < 5; ++st) {
        int y = 30 + st * 40;
        label(10, y - 6, styles[st]);
        for (int w = 1; w <= 3; ++w) {
            int x = 70 + (w - 1) * 110;
            if (st == 4)
                line(x, y, 90, 0, w, 0, 0, 0, 0x06, 1);
            else
                line(x, y, 90, st == 2 ? 0 : 12, w, st, st == 2 ? 8 : 0, st == 3 ? 20 : 0, 0, 0);
        }
    }
    line(420, 30, 0, 60, 4, 0, 0, 0, 0, 0);     // vertical, width 4
    line(440, 30, 60, 60, 1, 1, 6, 3, 0, 0);    // slanting dashes
    line(520, 30, 80, -20, 2, 2, 10, 0, 0, 0);  // slanting wave
    line(520, 80, 80, 0, 1, 0, 0, 0, 0x06, 2);  // legs up
    // Hairpins.
    for (int h = 0; h < 3; ++h) {
        ScoreObject* o = PlaceObject(score, s, kHairpin, 420 + h * 110, 150);
        o->data.hairpin = HairpinData{static_cast<int16_t>(h == 1 ? -80 : 80),
                                      static_cast<int16_t>(6 + 3 * h), static_cast<uint8_t>(h + 1)};
        if (h == 1) o->x += 80;
    }
    // Curves: three points each, of several widths and thicknesses.
    const int curveStyles[][3] = {{120, 0, 0}, {160, 2, 0}, {220, 4, 0}, {160, 3, 1}, {160, 3, 2}};
    for (int c = 0; c < 5; ++c) {
        int x = 20 + c * 145, y = 250, w = curveStyles[c][0];
        PlaceCurve(score, s, {{x, y}, {x + w / 2, y - 18 - c * 3}, {x + w, y}}, curveStyles[c][1],
                   curveStyles[c][2]);
    }
    // Texts: boxed, and with accidentals at several sizes.
    PlaceText(score, s, kText, 20, 300, serif, "Boxed text", 0x08);
    struct Sample {
        int size, x, y;
    };
    const Sample samples[] = {{7, 20, 335},   {10, 20, 355},  {14, 20, 380}, {24, 20, 415},
                              {32, 330, 330}, {40, 330, 380}, {50, 330, 450}};
    for (const Sample& m : samples) {
        int f = FindOrAddFont(
            score, FontDesc{"Times New Roman", static_cast<int16_t>(m.size), 0, 0, 0}, host);
        // Codes 27, 28 and 29 are the places of a sharp, a natural and a flat.
        std::string t = "F\x1b C\x1c B\x1d " + std::to_string(m.size) + "pt";
        PlaceText(score, s, kText, m.x, m.y, f, t);
    }
    PlaceText(score, s, kText, 20, 480, serif, "Global text in green", 0x01);

    TextEnv env;
    const ObjectDraw ink{0x000000, false};
    PictureSurface out(ctx);
    for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
        const ScoreObject& o = score.object(s, i);
        switch (o.kind) {
            case kLine:
                DrawLineObject(out, score, s, i, ink);
                break;
            case kHairpin:
                DrawHairpin(out, score, s, i, ink);
                break;
            case kCurve:
                DrawCurveObject(out, score, s, i, ink, true);
                break;
            case kText:
                DrawTextObject(out, score, s, i, ink, env);
                break;
            default:
                break;
        }
    }
    return sheet;
}

}  // namespace sw
