// Score text on the page: fonts, the single-byte character set of score
// files, measuring, and drawing with the sharp, natural and flat signs that
// codes 27-29 stand for.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <vector>

class QFontMetrics;
class QPainter;

#include "core/TextMeasurer.h"
#include "render/DrawContext.h"

namespace sw {

class GlyphStore;

// Score text bytes are Windows-1252.
QString FromScoreBytes(const std::string& bytes);
std::string ToScoreBytes(const QString& text);

// The Liberation families stand in for the fonts scores name.
QString FontFamilyFor(const std::string& name);
// The font of a score font description at `pointSize`, drawn without smoothing.
QFont ScoreQFont(const TextFont& font, double pointSize);

class QtTextMeasurer : public TextMeasurer {
  public:
    int width(const TextFont& font, const std::string& text) const override;
    int height(const TextFont& font, const std::string& text) const override;
};

struct TextDraw {
    TextFont font;
    bool small = false;
    bool rubberBand = false;
    uint32_t colour = 0;
};

// The metrics of a score font at page scale, as every surface measures.
int TextLineHeight(const TextFont& font);
int TextSpaceWidth(const TextFont& font);

// A sized accidental sign of a text (codes 27-29): its bitmap and the top-left
// corner of it in the text's scratch picture (the text's left edge at `m`,
// `pad` rows above its line of height H).
struct TextSign {
    std::string name;
    int left = 0, top = 0;
};
std::vector<TextSign> TextSigns(const GlyphStore& glyphs, const std::string& text,
                                const TextDraw& draw, const QFontMetrics& fm, bool print, int m,
                                int pad, int H);
// The characters of `text` drawn from scratch x `m` on a baseline, accidental
// places left empty.
void DrawTextCharacters(QPainter& p, const std::string& text, const QFontMetrics& fm, int m,
                        int baseline);

// Draws `text` with its top-left corner at page point (x, y) and returns the
// drawn width in page pixels. In print mode the font is scaled three times
// (less two points) and the position moved as for every print drawing.
int DrawTextString(const DrawContext& ctx, const std::string& text, const TextDraw& draw, int x,
                   int y);

}  // namespace sw
