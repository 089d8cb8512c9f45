// MusicXML import, reading half: a score-partwise or score-timewise document
// (plain, or in the compressed container) read into the exchange picture of
// parts, measures and notes, every length in kImportDivisions a crotchet.
#pragma once

#include <string>

#include "core/TextMeasurer.h"
#include "playback/MusicXmlImport.h"
#include "playback/MusicXmlModel.h"

namespace sw {

// Divisions of a crotchet the imported picture counts in: every common
// division (1..16, 24, 32, 48, 96, 120, 256, 480, 960, 10080…) divides it.
inline constexpr int kImportDivisions = 80640;

// Bounds on outside data.
struct MusicXmlLimits {
    std::size_t fileBytes = 64u << 20;   // a file as read
    std::size_t entryBytes = 64u << 20;  // one entry of a compressed file, unpacked
    int zipEntries = 1000;
    int depth = 64;                    // element nesting
    std::size_t textChars = 1u << 16;  // one text or attribute value
    int measures = 100000;
    int parts = 500;
};

struct MusicXmlRead {
    bool ok = false;
    std::string error;  // the one message naming the place, when not ok
    mxl::Document doc;  // divisions = kImportDivisions; texts UTF-8
};

// True when the bytes are a zip archive (the compressed container).
bool LooksCompressed(const std::string& bytes);

// Reads the document in `bytes`, unpacking the container first when it is one.
MusicXmlRead ReadMusicXml(const std::string& bytes, const MusicXmlLimits& limits = {});

// True for the names an import takes: .musicxml, .xml and .mxl in any case.
bool IsMusicXmlPath(const std::string& path);

// The whole import of the file at `path` into `score`, laid out on pages.
// A failure names the file and the place in `error` and leaves the score empty.
ImportOutcome ImportMusicXmlFile(const std::string& path, const ImportOptions& options,
                                 Score& score, Host& host, const TextMeasurer& measurer,
                                 const MusicXmlLimits& limits = {});

}  // namespace sw
