// The glyph contact sheet.
#include "render/ContactSheet.h"

#include <QFont>
#include <QPainter>

#include "layout/GlyphTable.h"
#include "render/GlyphPainter.h"
#include "render/GlyphStore.h"

namespace sw {

QImage GlyphContactSheet(const GlyphStore& glyphs, bool print) {
    // Screen-scale geometry of one sheet cell; the print sheet is three times it.
    constexpr int kCellW = 72, kCellH = 96, kCols = 16;
    const int k = print ? 3 : 1;
    QImage sheet(kCols * kCellW * k, 16 * kCellH * k, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    DrawContext ctx;
    ctx.glyphs = &glyphs;
    ctx.printMode = print;
    (print ? ctx.print : ctx.screen) = &sheet;

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

}  // namespace sw
