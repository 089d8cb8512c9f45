// A zip archive of stored (uncompressed) entries, written in one piece: the
// container format that compressed exchange files use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

struct ZipEntry {
    std::string name;  // the path inside the archive, '/' separated
    std::string data;
};

// CRC-32 as zip and PNG use it (polynomial 0xEDB88320).
uint32_t Crc32(std::string_view bytes);

// The archive of `entries` in their order, every entry stored, dated
// 1980-01-01 so that the same entries always give the same bytes. Nothing
// when an entry or the whole archive is too large for the 32-bit format.
std::optional<std::string> StoredZip(const std::vector<ZipEntry>& entries);

}  // namespace sw
