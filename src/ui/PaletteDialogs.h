// The placing modes' palettes as windows over their models: "Select Symbol",
// "Miscellaneous shapes", and the font chooser of Text mode.
#pragma once

#include <QWidget>

#include "editor/Palettes.h"
#include "model/Score.h"

namespace sw {

class GlyphStore;

// True when a cell was clicked (the model holds the choice).
bool RunSymbolPalette(QWidget* parent, SymbolPaletteModel& model, const GlyphStore& glyphs);
// True when a shape was chosen.
bool RunShapePalette(QWidget* parent, ShapePaletteModel& model);
// True when OK closed it; `font` is then the choice.
bool RunFontChooser(QWidget* parent, FontDesc& font);

}  // namespace sw
