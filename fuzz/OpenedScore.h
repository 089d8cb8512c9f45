// A fuzzer's input opened as the editor opens a score file: read, repaired
// and laid out for display.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "MemoryFile.h"
#include "core/TextMeasurer.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"

// The score, or null when the bytes hold no score with a stave.
inline std::unique_ptr<sw::Score> OpenFuzzedScore(const uint8_t* data, size_t size, sw::Host& host,
                                                  const sw::TextMeasurer& measurer) {
    int fd = -1;
    const std::string path = MemoryFile(data, size, fd);
    auto score = std::make_unique<sw::Score>();
    const sw::OpenResult opened = sw::OpenForDisplay(*score, path, host, measurer);
    ::close(fd);
    if (!opened.load.ok || score->Nstaves < 1) return nullptr;
    return score;
}

// The score's bytes as saving would write them.
inline std::string SavedBytes(sw::Score& score) {
    return sw::EncodeScore(score, 0, score.Nstaves, false, sw::RenumberFonts(score), 96);
}
