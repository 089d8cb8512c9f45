// What the program gives the recognition engine and expects back: where the
// engine is, its argument list, and the lines it reports on standard output.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sw {

// The scanner options of the settings that the engine is told.
struct EngineOptions {
    int dpi = 300;
    bool oldSymbols = false, graceNotes = true, thinBeams = true, symmetricHeads = false,
         accents = false;
};

// VELTRO/veltro under the application folder when there is one, else the
// engine beside the program (`programDir`), else the one this build made
// (`builtEngine`, empty when there is none). Empty when none can be run.
std::string FindRecognitionEngine(const std::string& appDir, const std::string& programDir,
                                  const std::string& builtEngine);

// The engine's argument list (never a shell line).
std::vector<std::string> EngineArguments(const std::string& picture, const std::string& result,
                                         const EngineOptions& options);

// One line of the engine's output: a progress percentage ("PROGRESS 0 n"),
// the end ("DONE"), or something else.
struct EngineLine {
    enum Kind { Other, Progress, Done } kind = Other;
    int percent = 0;
};
EngineLine ParseEngineLine(const std::string& line);

}  // namespace sw
