// Counts over a score that the command line's summary and the score
// information window both show.
#pragma once

#include <bitset>
#include <map>
#include <string>
#include <vector>

#include "model/Score.h"

namespace sw {

struct ObjectCounts {
    long total = 0;                     // every live object, stave 0 included
    std::map<std::string, int> byKind;  // by kind name
    std::vector<int> perStave;          // Nobjec of staves 1..Nstaves
};
ObjectCounts CountObjects(const Score& score);

// The font numbers the score's texts use.
std::bitset<kMaxFonts + 1> FontsUsedByTexts(const Score& score);
// Those fonts in the order RenumberFonts would number them, the score left
// as it is.
std::vector<FontDesc> FontsInUse(const Score& score);

}  // namespace sw
