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

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
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
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
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
