// Drawing the gallery score.
#include "render/GalleryPicture.h"

#include "layout/Gallery.h"
#include "layout/GlyphTable.h"
#include "render/ObjectDrawing.h"
#include "render/Surface.h"

namespace sw {

QImage GalleryPicture(const GlyphStore& glyphs, bool print) {
    Score score = BuildGalleryScore();
    const int k = print ? 3 : 1;
    const int height = score.stave(score.Nstaves).h.Ycoord + 60;
    QImage picture(kGalleryWidth * k, height * k, QImage::Format_RGB32);
    picture.fill(Qt::white);
    PictureSurface out(PictureContext(picture, glyphs, print));
    DrawSettings settings;
    for (int s = 1; s <= score.Nstaves; ++s) {
        const StaveHeader& h = score.stave(s).h;
        int top, bottom;
        if (!StaveLineExtent(h, top, bottom)) continue;
        const int sp = LineSpacing(h.sizeIndex);
        // The stave lines: on screen a pixel above each line's place, in print
        // three print pixels around it.
        for (int y = top; y <= bottom; y += sp) {
            if (print)
                out.printBar(3 * h.LeftX - 1, 3 * (y + 1) - 1, 3 * h.RightX - 1, 3 * (y + 1) + 2);
            else
                out.line(h.LeftX, y, h.RightX, y, LineSpec{1, 0, false});
        }
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            DrawObject(out, score, s, i, DrawRequest{0, false, true}, settings);
    }
    return picture;
}

}  // namespace sw
