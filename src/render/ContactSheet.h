// A contact sheet of the whole glyph set: every code on a short stave, with its
// number, so the artwork can be checked by eye.
#pragma once

#include <QImage>

namespace sw {

class GlyphStore;

// The sheet at screen scale, or with the print set at three times the scale.
QImage GlyphContactSheet(const GlyphStore& glyphs, bool print);

// Every line style, curves of several widths and thicknesses, hairpins, boxed
// text and text with sharps, naturals and flats at several sizes.
QImage LinesContactSheet(const GlyphStore& glyphs, bool print);

}  // namespace sw
