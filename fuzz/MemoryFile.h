// An in-memory file reachable by path, so that a reader runs exactly as it
// does on a real file. The descriptor is the caller's to close.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Host.h"
#include "fileio/ScoreFile.h"

inline std::string MemoryFile(const uint8_t* data, size_t size, int& fd) {
    fd = ::memfd_create("score", 0);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

// The score as it would be saved (in `bytes`), read back into `reread`
// through a file, as a user's next session would read it.
inline sw::LoadResult SaveAndReload(sw::Score& score, sw::Host& host, sw::Score& reread,
                                    std::string& bytes) {
    const int fonts = sw::RenumberFonts(score);
    bytes = sw::EncodeScore(score, 0, score.Nstaves, false, fonts, 96);
    int fd = -1;
    const std::string path =
        MemoryFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), fd);
    sw::LoadResult r = sw::LoadScore(reread, path, false, host);
    ::close(fd);
    return r;
}

// Aborts unless the score saves, loads back without a damaged record, and
// saves again to the same bytes; `what` names the score in the message.
inline void ExpectCleanRoundTrip(sw::Score& score, sw::Host& host, const char* what) {
    std::string once, twice;
    sw::Score reread, again;
    const sw::LoadResult r = SaveAndReload(score, host, reread, once);
    if (!r.ok || r.badRecords != 0) {
        std::fprintf(stderr, "a %s score did not load back cleanly\n", what);
        std::abort();
    }
    SaveAndReload(reread, host, again, twice);
    if (once != twice) {
        std::fprintf(stderr, "a %s score changed between two saves\n", what);
        std::abort();
    }
}
