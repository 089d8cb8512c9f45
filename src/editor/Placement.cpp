// Placement rules for new objects.
#include "editor/Placement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

// Rows of the spacing table by grade 1..5.
constexpr int kNoteRow[5] = {15, 19, 26, 36, 51};
constexpr int kKeyRow[5] = {8, 11, 14, 17, 21};
constexpr int kBarRow[5] = {6, 9, 13, 20, 30};
constexpr int kTimeRow[5] = {11, 19, 30, 47, 72};
constexpr int kOtherRow[5] = {12, 18, 27, 40, 60};

constexpr int kNormalClefWidth = 24, kSmallClefWidth = 20;
constexpr int kRepeatBarlineA = 67, kRepeatBarlineB = 68;
constexpr int kSmallClefFirst = 4, kSmallClefLast = 7;

bool IsBarGlyph(int g) {
    return g == glyph::BARLINE || g == glyph::BARLINE2 || g == kRepeatBarlineA ||
           g == kRepeatBarlineB;
}

bool IsTimeGlyph(int g) {
    return (g >= glyph::DIGIT0 && g <= glyph::DIGIT0 + 9) || g == glyph::COMMON ||
           g == glyph::COMMON2;
}

}  // namespace

int NoteLetter(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == 'H') return 1;
    return c >= 'A' && c <= 'G' ? c - 'A' : -1;
}

int PitchFromLetter(int step, int clefType, int reference) {
    int p = step + ClefLetterA(clefType);
    while (p > reference + 3)
        p -= 7;
    while (p < reference - 3)
        p += 7;
    return p;
}

int SpacingWidth(const ScoreObject& o, int pulse, int spacing) {
    const int s = std::clamp(spacing, 1, 5) - 1;
    switch (o.kind) {
        case kClef:
            return o.glyph >= kSmallClefFirst && o.glyph <= kSmallClefLast ? kSmallClefWidth
                                                                           : kNormalClefWidth;
        case kKeysig:
            return 8 * std::abs(static_cast<int>(o.data.keysig.key)) + kKeyRow[s];
        case kNote: {
            const NoteData& n = o.note();
            const int w = GlyphInkWidth(NoteGlyph(n));
            int width = n.noteValue < pulse    ? 2 * kNoteRow[s] - w
                        : n.noteValue == pulse ? kNoteRow[s]
                                               : (w + kNoteRow[s]) / 2 - 1;
            static constexpr double kDotFactor[4] = {1.0, 1.35, 1.7, 1.9};
            if (n.dots >= 1 && n.dots <= 3) width = RoundEven(width * kDotFactor[n.dots]);
            return width;
        }
        default:
            if (IsBarGlyph(o.glyph)) return kBarRow[s];
            if (IsTimeGlyph(o.glyph)) return kTimeRow[s];
            return kOtherRow[s];
    }
}

int PlainSpacingStep(int spacing) {
    return kOtherRow[std::clamp(spacing, 1, 5) - 1];
}

int NearestStave(const Score& score, int page, int32_t x, int32_t y) {
    const int first = FirstStaveOnPage(score, page), last = LastStaveOnPage(score, page);
    if (first < 1) return 0;
    int best = first;
    int64_t bestDistance = INT64_MAX;
    for (int s = first; s <= last; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveHeader& h = score.stave(s).h;
        if (h.LeftX >= x) continue;
        const int64_t d = std::llabs(static_cast<int64_t>(y) - h.Ycoord) +
                          (static_cast<int64_t>(x) - std::min(h.RightX, x));
        if (d < bestDistance) {
            bestDistance = d;
            best = s;
        }
    }
    return best;
}

}  // namespace sw
