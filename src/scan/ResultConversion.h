// Turning the recognition engine's result into a score: staves and objects
// built from the parse tables, the page fitted to the user's paper, and the
// score file written.
#pragma once

#include <string>

#include "core/TextMeasurer.h"
#include "model/Score.h"
#include "scan/PaperFit.h"
#include "scan/RecognitionResult.h"

namespace sw {

class Host;

// The resolution the DPI box stands for: its whole number, else 300 (also
// for anything not above 0).
int ScanResolution(const std::string& dpiText);

struct ConversionOptions {
    std::string dpiText = "300";
    bool includeWords = true, includeCurves = true, allowAccents = false;
    bool boxedBarNumbers = false;  // the setting in force, copied into the score
    PaperDefaults paper;
};

// The page geometry worked out before the staves are made (thousandths of an
// inch for sizes, page pixels for the offsets).
struct ConversionGeometry {
    int resolution = 300;
    long long maxRight = 0, minLeft = 0, firstTop = 0, maxSize = 0;
    int baseStaveSize = 0;  // s0
    long long needed = 0;   // N
    int staveSize = 0;      // s, after fitting
    bool landscape = false;
    long long xoff = 0, yoff = 0;
};

struct ConversionOutcome {
    bool ok = false;
    RecognitionCounts counts;
    ConversionGeometry geometry;
    int beeps = 0;  // meters that have no time signature of ours
};

// Reads `resultPath` into `tables` (cleared first) and builds `score` from
// them. With a `scorePath` the page is fitted (asking through `ask` when it
// does not fit in portrait) and the score file is written beside that name
// and renamed over it only when complete. A missing result file or a page
// without a stave size tells the user "Unable to complete operation" and
// writes nothing.
ConversionOutcome ConvertRecognitionResult(const std::string& resultPath,
                                           const std::string& scorePath,
                                           const ConversionOptions& options,
                                           RecognitionTables& tables, Score& score, Host& host,
                                           const TextMeasurer& measurer,
                                           const PaperFitAsker& ask = {});

// The conversion of tables already read: false (nothing built) when the page
// has no usable stave size. `fitPage` asks about the paper as a writing
// conversion does.
bool BuildScoreFromResult(const RecognitionTables& tables, const ConversionOptions& options,
                          bool fitPage, const PaperFitAsker& ask, const TextMeasurer& measurer,
                          Score& score, ConversionOutcome& outcome);

// The score file's bytes for a converted score.
std::string EncodeConvertedScore(const Score& score);

}  // namespace sw
