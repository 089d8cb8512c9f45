// MusicXML export: the score as a MusicXML 4.0 score-partwise document, built
// on the performance's time table (on a private copy of the score), plain or
// in the compressed container.
#pragma once

#include <string>
#include <vector>

#include "core/AtomicFile.h"
#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

class Host;

struct MusicXmlResult {
    std::string xml;
    // What the format cannot say (drawn shapes, lines, some symbols), one
    // line a kind with its count.
    std::vector<std::string> skipped;
    // Where the file says something the score did not: bars longer than
    // their time signature, rounded lengths.
    std::vector<std::string> warnings;
};

// Stave k of every system is part k; measures follow the bar lines of each
// system. The score is not changed.
MusicXmlResult ExportMusicXml(const Score& score, Host& host, const TextMeasurer& measurer);

// The compressed container (.mxl) holding `xml` as its one score.
std::string MusicXmlContainer(const std::string& xml);

// True when `path` names a compressed file (".mxl" in any letter case).
bool IsCompressedMusicXml(const std::string& path);

// Writes the export to `path`, the container for ".mxl", else the plain
// document: 0, or the errno of the failure (the target untouched).
int SaveMusicXml(const std::string& path, const MusicXmlResult& result,
                 FileIo& io = SystemFileIo());

}  // namespace sw
