// Drawing the gallery score.
#include "render/GalleryPicture.h"

#include "layout/Gallery.h"
#include "layout/GlyphTable.h"
#include "layout/StaveLayout.h"
#include "render/ObjectDrawing.h"
#include "render/PageView.h"
#include "render/Surface.h"

namespace sw {

QImage GalleryPicture(const GlyphStore& glyphs, bool print) {
    Score score = BuildGalleryScore();
    for (int s = 1; s <= score.Nstaves; ++s)
        LayOutStaveGeometry(score, s);
    const int k = print ? 3 : 1;
    const int height = score.stave(score.Nstaves).h.Ycoord + 60;
    QImage picture(kGalleryWidth * k, height * k, QImage::Format_RGB32);
    picture.fill(Qt::white);
    PictureSurface out(PictureContext(picture, glyphs, print));
    DrawSettings settings;
    DrawBraces(out, score, 1, score.Nstaves, 0);
    for (int s = 1; s <= score.Nstaves; ++s)
        DrawStave(out, score, s, 0, kAllKinds, settings, PageViewState{}, kGalleryWidth);
    return picture;
}

}  // namespace sw
