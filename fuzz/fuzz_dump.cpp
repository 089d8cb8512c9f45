// libFuzzer target for the record dump: any bytes at all are listed without
// reading past them, and every whole record appears as one line.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fileio/Dump.h"
#include "fileio/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::string text = sw::DumpScoreBytes("fuzz", data, size);
    std::size_t records = 0;
    for (std::size_t at = text.find("\nRecord"); at != std::string::npos;
         at = text.find("\nRecord", at + 1))
        ++records;
    if (records != (size + sw::kRecordSize - 1) / sw::kRecordSize) {
        std::fprintf(stderr, "%zu records listed for %zu bytes\n", records, size);
        std::abort();
    }
    return 0;
}
