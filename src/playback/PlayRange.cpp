// Play ranges and the temporary playback file.
#include "playback/PlayRange.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "layout/Pagination.h"

namespace sw {

PlaybackOptions OptionsForRange(const Score& score, PlayRange range, int stave) {
    PlaybackOptions p;
    p.range = range;
    std::pair<int, int> bounds{stave, stave};
    switch (range) {
        case PlayRange::Stave:
            break;
        case PlayRange::Braced:
            bounds = BraceGroupBounds(score, stave);
            break;
        case PlayRange::System:
            bounds = SystemBounds(score, stave);
            break;
        case PlayRange::Page: {
            const int first = FirstStaveOnPage(score, score.stave(stave).h.PageNum);
            bounds = SystemBounds(score, first > 0 ? first : stave);
            break;
        }
        case PlayRange::Score:
            bounds = SystemBounds(score, 1);
            p.continueOn = true;
            break;
    }
    p.firstStave = bounds.first;
    p.lastStave = bounds.second;
    p.tempo = score.Tempo;
    p.proximity = score.proximity;
    p.graceNotes = score.includeGraceNotes;
    p.temperament = score.temperament;
    return p;
}

std::string CreatePlaybackFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string path = (dir && *dir ? std::string(dir) : std::string("/tmp")) + "/SWPXXXXXX.MID";
    // mkstemps makes the name and the file in one step, owner-only, and never
    // follows or reuses what is already there.
    const int fd = ::mkstemps(path.data(), 4);
    if (fd < 0) return {};
    ::close(fd);
    return path;
}

}  // namespace sw
