// Repairing scores read from files of older versions (300-499): duplicated
// objects, header and footer texts, fields the older formats did not have,
// time signatures stored digit by digit and older notes; and the emergency
// omissions that drop chosen kinds of object from a damaged file.
#pragma once

#include <bitset>
#include <string>

#include "model/Score.h"

namespace sw {

class Host;
class ReportSink;

struct RepairOptions {
    bool usTerms = false;             // note value names in American terms
    bool naturalsInKeyChange = true;  // the user's default, for every key signature but the first
};

struct ConvertResult {
    int duplicates = 0;    // duplicated objects found and deleted
    int textsRemoved = 0;  // header and footer texts that could not be kept
    bool reportShown = false;
};

// Files of these versions are converted once, after they are read.
inline bool IsOlderFormat(int fileVersion) {
    return fileVersion >= 300 && fileVersion <= 499;
}

// Reports every object of stave s that repeats an earlier one at (nearly) the
// same place and, with `remove`, deletes it. Returns how many were found.
int FindDuplicates(Score& score, int s, bool remove, ReportSink& report, bool usTerms = false);

// The whole conversion of a score just read from an older file, with its report
// and question. `showMessage` is false for templates. Afterwards the score
// counts as current, so it is never converted twice.
ConvertResult ConvertOlderFormat(Score& score, bool showMessage, Host& host, ReportSink& report,
                                 const RepairOptions& options = {});

// Object kinds (bits 0..21) and stave numbers (bits 0..255) to leave out.
struct EmergencyOmissions {
    std::bitset<kMaxKind + 1> kinds;
    std::bitset<256> staves;
    bool any() const { return kinds.any() && staves.any(); }
};

// The kinds named by the first letters of an answer ("&" clef, "#" accidental,
// "~" other, ...); unknown characters are ignored.
std::bitset<kMaxKind + 1> ParseOmittedKinds(const std::string& letters);
// Numbers and ranges "a-b"; numbers above 255 set nothing, and the list ends at
// the first text that cannot be read.
std::bitset<256> ParseStaveList(const std::string& text);

// Asks which kinds on which staves to leave out; a cancelled box omits nothing.
EmergencyOmissions AskEmergencyOptions(Host& host);
// Deletes the chosen kinds on the chosen staves (1..255) and tidies the staves
// it changed; returns how many objects went.
int ApplyEmergencyOmissions(Score& score, const EmergencyOmissions& omit);

}  // namespace sw
