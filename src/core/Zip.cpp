// Stored zip archives: local headers, the central directory, its end record.
#include "core/Zip.h"

#include <array>
#include <limits>

namespace sw {

namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint16_t kVersionNeeded = 10;  // stored entries need nothing newer
constexpr uint16_t kStored = 0;
constexpr uint16_t kDosDate1980 = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

// Eight tables: the CRC of a byte followed by 0..7 zero bytes, so that the
// checksum takes eight bytes a step (slicing by eight).
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables MakeCrcTables() {
    CrcTables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 8; ++k)
            t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
    return t;
}

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields local and central headers share, from "version needed" on.
void PutCommon(std::string& out, const ZipEntry& e, uint32_t crc) {
    Put16(out, kVersionNeeded);
    Put16(out, 0);  // flags
    Put16(out, kStored);
    Put16(out, 0);  // time 00:00:00
    Put16(out, kDosDate1980);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(e.data.size()));  // compressed
    Put32(out, static_cast<uint32_t>(e.data.size()));
    Put16(out, static_cast<uint32_t>(e.name.size()));
    Put16(out, 0);  // extra field
}

}  // namespace

uint32_t Crc32(std::string_view bytes) {
    static const CrcTables t = MakeCrcTables();
    uint32_t c = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        const uint32_t lo = c ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::optional<std::string> StoredZip(const std::vector<ZipEntry>& entries) {
    constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
    if (entries.size() >= 0xFFFF) return std::nullopt;
    std::string out, directory;
    for (const ZipEntry& e : entries) {
        if (e.data.size() >= kLimit || e.name.size() >= 0xFFFF || out.size() >= kLimit)
            return std::nullopt;
        const uint32_t crc = Crc32(e.data);
        const auto offset = static_cast<uint32_t>(out.size());
        Put32(out, kLocalHeader);
        PutCommon(out, e, crc);
        out += e.name;
        out += e.data;
        Put32(directory, kCentralHeader);
        Put16(directory, kVersionNeeded);  // made by: no particular system
        PutCommon(directory, e, crc);
        Put16(directory, 0);  // comment
        Put16(directory, 0);  // disk
        Put16(directory, 0);  // internal attributes
        Put32(directory, 0);  // external attributes
        Put32(directory, offset);
        directory += e.name;
    }
    if (out.size() + directory.size() >= kLimit) return std::nullopt;
    const auto start = static_cast<uint32_t>(out.size());
    out += directory;
    Put32(out, kEndOfDirectory);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, start);
    Put16(out, 0);  // comment
    return out;
}

}  // namespace sw
