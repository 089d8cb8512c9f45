// libFuzzer target for the repair of older files: whatever a file of an older
// version holds, the emergency omissions and the conversion must not crash,
// and the converted score must save and load back cleanly.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "MemoryFile.h"
#include "core/Report.h"
#include "core/ScriptedHost.h"
#include "fileio/Repair.h"
#include "fileio/ScoreFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 22 || size > (1u << 20)) return 0;
    // The first byte picks the omissions; the rest is the file, made an older version.
    const uint8_t pick = data[0];
    std::vector<uint8_t> file(data + 1, data + size);
    file.resize(file.size() / 22 * 22);
    if (file.empty()) return 0;
    const int version = 300 + file[8] % 200;
    file[8] = static_cast<uint8_t>(version & 0xFF);
    file[9] = static_cast<uint8_t>(version >> 8);

    int fd;
    std::string path = MemoryFile(file.data(), file.size(), fd);
    sw::ScriptedHost host;
    host.setPermissive(true);
    sw::Score score;
    sw::LoadResult r = sw::LoadScore(score, path, false, host);
    ::close(fd);
    if (!r.ok) return 0;
    if (pick & 1) {
        sw::EmergencyOmissions omit;
        omit.kinds = sw::ParseOmittedKinds(pick & 2 ? "N" : "TC#");
        omit.staves = sw::ParseStaveList(pick & 4 ? "1-255" : "2");
        sw::ApplyEmergencyOmissions(score, omit);
    }
    sw::TextReport report;
    sw::ConvertOlderFormat(score, pick & 8, host, report, {(pick & 16) != 0, (pick & 32) != 0});
    std::string once;
    sw::Score reread;
    const sw::LoadResult r2 = SaveAndReload(score, host, reread, once);
    if (!r2.ok || r2.badRecords != 0 || r2.fileVersion != 501) {
        std::fprintf(stderr, "a converted score did not load back cleanly\n");
        std::abort();
    }
    return 0;
}
