// MusicXML import, building half: the exchange picture of parts, measures
// and notes set out as systems of staves, filled to the page width, spaced by
// duration, numbered and laid out on pages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/TextMeasurer.h"
#include "model/Score.h"
#include "playback/MusicXmlModel.h"

namespace sw {

class Host;

struct ImportOptions {
    // The paper and stave size when the document's defaults give none.
    std::optional<PageData> page;
    std::optional<double> staveSize;
};

struct ImportOutcome {
    bool ok = false;
    std::string error;
    // What the score could not hold, and values read other than written.
    std::vector<std::string> skipped;
};

// Builds `score` (cleared first) from `doc`, whose lengths count doc.divisions
// a crotchet, and lays it out on pages.
ImportOutcome BuildImportedScore(const mxl::Document& doc, const ImportOptions& options,
                                 Score& score, Host& host, const TextMeasurer& measurer);

}  // namespace sw
