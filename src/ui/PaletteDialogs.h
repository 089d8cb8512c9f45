// The placing modes' palettes as windows over their models: "Select Symbol",
// "Miscellaneous shapes", and the font chooser of Text mode.
#pragma once

#include <QFont>
#include <QWidget>
#include <optional>

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
// The system's font box, which lists installed families only: a font this
// machine lacks (drawn in its substitute) opens on the substitute and comes
// back under its own name unless another family is picked. Nothing on Cancel.
std::optional<QFont> ChooseFont(QWidget* parent, const QFont& current, const QString& caption);

}  // namespace sw
