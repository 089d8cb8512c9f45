// The drawing state of one rendering pass: which picture is drawn (the screen
// picture or the print picture at three times the scale), the origins, and the
// glyph bitmaps.
#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>

namespace sw {

class GlyphStore;

struct DrawContext {
    QImage* screen = nullptr;  // Format_RGB32
    QImage* print = nullptr;   // Format_RGB32, black and white
    bool printMode = false;
    QPoint printOrigin;   // added to 3x positions in print mode
    QPoint screenOrigin;  // added to positions on the screen picture
    const GlyphStore* glyphs = nullptr;
    bool blank = false;  // the picture is all white already: DrawAll need not clear it

    QImage* canvas() const { return printMode ? print : screen; }
};

// A context that draws on `picture`: the screen picture, or in print mode the
// print picture.
inline DrawContext PictureContext(QImage& picture, const GlyphStore& glyphs, bool print) {
    DrawContext ctx;
    ctx.glyphs = &glyphs;
    ctx.printMode = print;
    (print ? ctx.print : ctx.screen) = &picture;
    return ctx;
}

// Colours are kept as 0x00BBGGRR; this is the one place they become Qt's.
inline uint32_t ToQRgb(uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

}  // namespace sw
