// Drawing what a placing mode shows over the page (the attachment line,
// rubber bands, anchors and the curve through them, the text being typed,
// a symbol or shape in hand), every part inverted in its colour.
#pragma once

#include "editor/Overlay.h"
#include "render/ObjectDrawing.h"
#include "render/Surface.h"

namespace sw {

void DrawPlacingOverlay(Surface& out, const Score& score, const PlacingOverlay& overlay,
                        const DrawSettings& settings);

}  // namespace sw
