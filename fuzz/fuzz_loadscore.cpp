// libFuzzer target for the score file reader. Whatever the bytes, loading must
// not crash or misbehave, and a score that loads must save, load and save again
// to the same bytes, with every stave tidied in between.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "MemoryFile.h"
#include "core/ScriptedHost.h"
#include "fileio/ScoreFile.h"

namespace {

void Check(const std::string& path, bool acceptAnyFile) {
    sw::ScriptedHost host;
    host.setPermissive(true);
    sw::Score score;
    score.debug.acceptAnyFile = acceptAnyFile;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    if (!r.ok) return;
    for (int s = 0; s <= score.Nstaves; ++s)
        sw::TidyStave(score, s, s != 0);
    std::string once;
    sw::Score reread;
    const sw::LoadResult r2 = SaveAndReload(score, host, reread, once);
    if (!r2.ok || r2.badRecords != 0) {
        std::fprintf(stderr, "a saved score did not load cleanly\n");
        std::abort();
    }
    int fonts2 = sw::RenumberFonts(reread);
    if (sw::EncodeScore(reread, 0, reread.Nstaves, false, fonts2, 96) != once) {
        std::fprintf(stderr, "save, load and save again gave different bytes\n");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    int fd;
    std::string path = MemoryFile(data, size, fd);
    Check(path, false);
    Check(path, true);
    ::close(fd);
    return 0;
}
