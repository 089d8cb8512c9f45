// The gallery score drawn on a picture, at screen or print scale.
#pragma once

#include <QImage>

namespace sw {

class GlyphStore;

QImage GalleryPicture(const GlyphStore& glyphs, bool print);

}  // namespace sw
