// Object counts and the fonts the texts use.
#include "model/Figures.h"

namespace sw {

ObjectCounts CountObjects(const Score& score) {
    ObjectCounts c;
    for (int s = 0; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const int k = b.obj[i].kind;
            if (k == kNothing) continue;
            ++c.byKind[KindName(k)];
            ++c.total;
        }
        if (s >= 1) c.perStave.push_back(b.h.Nobjec);
    }
    return c;
}

std::bitset<kMaxFonts + 1> FontsUsedByTexts(const Score& score) {
    // Every text-layout kind counts, kind 9 included: it carries a font number too.
    std::bitset<kMaxFonts + 1> used;
    for (int s = 0; s <= score.Nstaves; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i)
            if (HasTextLayout(b.obj[i].kind) && b.obj[i].text().fontNumber != 0)
                used.set(b.obj[i].text().fontNumber);
    }
    return used;
}

std::vector<FontDesc> FontsInUse(const Score& score) {
    const std::bitset<kMaxFonts + 1> used = FontsUsedByTexts(score);
    std::vector<FontDesc> fonts;
    for (int j = 1; j <= kMaxFonts; ++j)
        if (used.test(j)) fonts.push_back(score.fonts[j]);
    return fonts;
}

}  // namespace sw
