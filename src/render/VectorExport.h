// Pages as vector documents: a PDF of pages drawn as paths and text, and one
// page as SVG, each placed on the score's paper as the print pictures are.
#pragma once

#include <QPainter>
#include <string>

#include "core/AtomicFile.h"
#include "model/Score.h"
#include "render/ObjectDrawing.h"

namespace sw {

class GlyphFont;
class GlyphStore;
class Host;

// Draws page `page` on `painter`, whose transform maps print pixels to the
// device: the print picture's content, clipped to its size. Glyphs are
// drawn from `font` when it is given and valid, else as paths.
void DrawVectorPage(QPainter& painter, const GlyphStore& glyphs, const Score& score, int page,
                    const DrawSettings& settings, const GlyphFont* font = nullptr);

// Pages first..last as a vector PDF on the score's paper, titled and credited
// as the bitmap PDF is. False when it cannot, the user told why.
bool WriteVectorPdf(const std::string& path, const GlyphStore& glyphs, const Score& score,
                    int first, int last, const DrawSettings& settings, Host& host,
                    FileIo& io = SystemFileIo());

// Page `page` as an SVG document of the paper's size. False when it cannot,
// the user told why.
bool WriteSvgPage(const std::string& path, const GlyphStore& glyphs, const Score& score, int page,
                  const DrawSettings& settings, Host& host, FileIo& io = SystemFileIo());

}  // namespace sw
