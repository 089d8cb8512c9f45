// The JSON summary of a loaded score printed by `staffwright-cli info`.
#pragma once

#include <string>

#include "fileio/ScoreFile.h"

namespace sw {

std::string ScoreInfoJson(const Score& score, const LoadResult& load, int pages, int systems);
std::string JsonString(const std::string& s);

}  // namespace sw
