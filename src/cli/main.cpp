// staffwright-cli: the program's outputs without a window, for scripts and tests.
#include <cstring>
#include <iostream>
#include <string>

#include "cli/CliHost.h"
#include "cli/Info.h"
#include "core/TextUtil.h"
#include "fileio/ScoreFile.h"

namespace {

int Usage() {
    std::cerr << "usage: staffwright-cli info FILE\n"
                 "       staffwright-cli convert IN OUT.swn\n";
    return 2;
}

int Info(const std::string& path) {
    sw::CliHost host(std::cerr);
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    if (!r.ok) return 1;
    std::cout << sw::ScoreInfoJson(score, r);
    return 0;
}

int Convert(const std::string& in, const std::string& out) {
    sw::CliHost host(std::cerr);
    std::string ext = sw::ToUpperAscii(sw::FileExtension(out));
    if (ext != ".SWN") {
        std::cerr << "staffwright-cli: cannot convert to '" << sw::FileExtension(out)
                  << "' files; the output must end in .swn\n";
        return 2;
    }
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, in, false, host);
    if (!r.ok) return 1;
    if (sw::SaveScore(score, out, 0, score.Nstaves, false, false, host) != sw::SaveResult::Saved)
        return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string cmd = argv[1];
    if (cmd == "info" && argc == 3) return Info(argv[2]);
    if (cmd == "convert" && argc == 4) return Convert(argv[2], argv[3]);
    if (cmd == "--help" || cmd == "-h") {
        Usage();
        return 0;
    }
    return Usage();
}
