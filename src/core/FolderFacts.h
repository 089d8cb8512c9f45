// What the platform says about a folder's file system: its free space and
// whether it is a fixed local disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sw {

class FolderFacts {
  public:
    virtual ~FolderFacts() = default;
    // Free bytes for an ordinary user; nothing when the folder cannot be read.
    virtual std::optional<uint64_t> freeBytes(const std::string& folder) const = 0;
    // False for network file systems and removable media.
    virtual bool fixedLocal(const std::string& folder) const = 0;
    // The mount point of the file system holding the folder.
    virtual std::string mountPoint(const std::string& folder) const = 0;
};

}  // namespace sw
