// Times a merge: a file of 5000 staves read, checked and put in after stave 1
// of a score of 5000 staves, the pages laid out again.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "Orchestra.h"
#include "core/ScriptedHost.h"
#include "layout/Merge.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"

namespace {

// Text sizes do not matter here: a fixed answer keeps the timing Qt-free.
class FixedMeasurer : public sw::TextMeasurer {
  public:
    int width(const sw::TextFont&, const std::string& t) const override {
        return 6 * static_cast<int>(t.size());
    }
    int height(const sw::TextFont& f, const std::string&) const override { return f.pointSize; }
};

}  // namespace

int main() {
    using namespace sw;
    using Clock = std::chrono::steady_clock;
    const std::string path =
        (std::filesystem::temp_directory_path() / "staffwright-bench-merge.swn").string();
    ScriptedHost host;
    host.setPermissive(true);
    {
        Score file = bench::BuildOrchestra(2500, 8);  // 625 systems of 8 staves
        if (SaveScore(file, path, 0, file.Nstaves, false, false, host) != SaveResult::Saved) {
            std::fprintf(stderr, "bench_merge: the file could not be written\n");
            return 1;
        }
    }
    Score score = bench::BuildOrchestra(2500, 8);
    FixedMeasurer measurer;
    PrepareForDisplay(score, host, measurer);
    const int before = score.Nstaves;
    const auto t = Clock::now();
    const bool merged =
        MergeFile(score, 1, path, host, {}, measurer, ComputePageGeometry(score).height);
    const double s = std::chrono::duration<double>(Clock::now() - t).count();
    std::filesystem::remove(path);
    if (!merged || score.Nstaves != 2 * before) {
        std::fprintf(stderr, "bench_merge: the merge did not happen\n");
        return 1;
    }
    std::printf("merge 5000 staves after stave 1 of 5000: %.3f s   target < 0.3 s\n", s);
    return 0;
}
