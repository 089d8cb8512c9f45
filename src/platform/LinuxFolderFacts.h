// Folder facts from the Linux kernel: statvfs, statfs and /sys/dev/block.
#pragma once

#include "core/FolderFacts.h"

namespace sw {

class LinuxFolderFacts : public FolderFacts {
  public:
    std::optional<uint64_t> freeBytes(const std::string& folder) const override;
    bool fixedLocal(const std::string& folder) const override;
    std::string mountPoint(const std::string& folder) const override;
};

}  // namespace sw
