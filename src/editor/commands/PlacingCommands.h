// The commands of the placing modes: a text stored word by word (with the
// hyphens of a finished lyric set apart), and a symbol, line, curve, hairpin
// or shape put on a stave. Each is one edit, undone by one Undo; a refusal
// records nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/TextMeasurer.h"
#include "editor/ScoreEdit.h"

namespace sw {

// One line of typed text.
struct TextLine {
    int stave = 0;
    uint8_t kind = kText;          // Text, or Headertext / Footertext on stave 0
    int32_t left = 0, bottom = 0;  // the line's bottom-left corner
    std::string bytes;             // Windows-1252; spaces part the words
    FontDesc font;
    uint8_t flags = 0;  // the text flags: immobile, transposable, boxed
};

// A word of a text as it went onto its stave.
struct StoredWord {
    int stave = 0;
    uint8_t kind = kText;
    int32_t x = 0, y = 0;
    std::string text;
    FontDesc font;
};

struct StoredText {
    bool complete = true;           // false: the stave had no room for every word
    std::vector<StoredWord> words;  // the words of the line that went in
};

// Stores the words of `line`, each at its top-left corner, a word longer than
// ten characters as a first piece and continuation pieces (at 0, 0) linked
// after it. A word goes in only with all its pieces; when one does not fit,
// the user is told and the words before it stay. With `separateHyphens`
// (a finished text), every word of `earlier` and of this line that ends in
// "-" and is followed by another word of its line gives up the hyphen to an
// object "-" midway between them, where the stave has room for it. One edit;
// nothing at all when nothing changes.
StoredText StoreText(EditContext& ctx, const TextLine& line, const TextMeasurer& measurer,
                     const std::vector<StoredWord>& earlier = {}, bool separateHyphens = false);

// Appends `o` to stave s: its index, or 0 when the stave already holds 249
// objects (the user is told, nothing is recorded).
int PlaceNewObject(EditContext& ctx, int s, const ScoreObject& o);

// A curve through `points` (two or more, sorted by x) on stave s, one anchor
// each, linked in order, every anchor with the thickness and style bits.
// Refused ("Too many points in curve") when the stave has no room for them all.
bool PlaceCurvePoints(EditContext& ctx, int s,
                      const std::vector<std::pair<int32_t, int32_t>>& points, int thickness,
                      int styleBits);

// A tool button applied to line i of stave s: thickness 0..5, or style 0..2
// (dashed with dashes of 5). Nothing when the line has them already.
bool RestyleLine(EditContext& ctx, int s, int i, bool thickness, int value);

}  // namespace sw
