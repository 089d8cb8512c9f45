// A score read from fuzz input as the editor opens it, and its bytes as it
// would be saved, for the targets that check an operation leaves it as it was.
#pragma once

#include <memory>
#include <string>

#include "FixedMeasurer.h"
#include "MemoryFile.h"
#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"
#include "layout/OpenScore.h"

// The score opened from `data`, or nothing when it does not load.
inline std::unique_ptr<sw::Score> OpenFromBytes(const uint8_t* data, size_t size, sw::Host& host,
                                                const sw::TextMeasurer& m) {
    int fd = -1;
    const std::string path = MemoryFile(data, size, fd);
    auto score = std::make_unique<sw::Score>();
    const sw::OpenResult opened = sw::OpenForDisplay(*score, path, host, m);
    ::close(fd);
    if (!opened.load.ok) return nullptr;
    return score;
}

inline std::string SavedBytes(sw::Score& score) {
    return sw::EncodeScore(score, 0, score.Nstaves, false, sw::RenumberFonts(score), 96);
}
