// Finding and talking to the recognition engine.
#include "scan/Engine.h"

#include <unistd.h>

#include <sys/stat.h>
#include <sstream>

namespace sw {

namespace {

bool Runnable(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string Joined(const std::string& dir, const std::string& name) {
    if (dir.empty()) return std::string();
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

std::string FindRecognitionEngine(const std::string& appDir, const std::string& programDir,
                                  const std::string& builtEngine) {
    for (const std::string& candidate :
         {Joined(appDir, "VELTRO/veltro"), Joined(programDir, "veltro"), builtEngine})
        if (Runnable(candidate)) return candidate;
    return std::string();
}

std::vector<std::string> EngineArguments(const std::string& picture, const std::string& result,
                                         const EngineOptions& o) {
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    return {"--input",
            picture,
            "--output",
            result,
            "--dpi",
            std::to_string(o.dpi > 0 ? o.dpi : 300),
            "--old-symbols",
            flag(o.oldSymbols),
            "--grace-notes",
            flag(o.graceNotes),
            "--thin-beams",
            flag(o.thinBeams),
            "--symmetric-heads",
            flag(o.symmetricHeads),
            "--accents",
            flag(o.accents)};
}

EngineLine ParseEngineLine(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    EngineLine out;
    if (word == "DONE") {
        out.kind = EngineLine::Done;
    } else if (word == "PROGRESS") {
        int w = -1, p = -1;
        if (in >> w >> p && w == 0 && p >= 0 && p <= 100) {
            out.kind = EngineLine::Progress;
            out.percent = p;
        }
    }
    return out;
}

}  // namespace sw
