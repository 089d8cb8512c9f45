// Free space, mount point and kind of the file system under a folder.
#include "platform/LinuxFolderFacts.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace sw {

namespace {

// File systems that live on another machine.
constexpr long kNetworkTypes[] = {0x6969 /* NFS */,      0x517B /* SMB */, 0xFF534D42 /* CIFS */,
                                  0xFE534D42 /* SMB2 */, 0x564C /* NCP */, 0x73757245 /* Coda */,
                                  0x5346414F /* AFS */,  0x47504653 /* GPFS */};

// Whether the block device (or the disk it is a partition of) is removable.
bool RemovableDevice(dev_t dev) {
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    for (const char* file : {"/removable", "/../removable"}) {
        std::ifstream in(base + file);
        int flag = 0;
        if (in >> flag) return flag != 0;
    }
    return false;
}

}  // namespace

std::optional<uint64_t> LinuxFolderFacts::freeBytes(const std::string& folder) const {
    struct statvfs v {};
    if (statvfs(folder.c_str(), &v) != 0) return std::nullopt;
    return static_cast<uint64_t>(v.f_bavail) * v.f_frsize;
}

bool LinuxFolderFacts::fixedLocal(const std::string& folder) const {
    struct statfs f {};
    struct stat st {};
    if (statfs(folder.c_str(), &f) != 0 || stat(folder.c_str(), &st) != 0) return false;
    for (long type : kNetworkTypes)
        if (static_cast<long>(f.f_type) == type) return false;
    return !RemovableDevice(st.st_dev);
}

std::string LinuxFolderFacts::mountPoint(const std::string& folder) const {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::canonical(folder, ec);
    if (ec) return {};
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) return {};
    // Climb while the parent is on the same device.
    while (p.has_parent_path() && p != p.root_path()) {
        struct stat up {};
        if (stat(p.parent_path().c_str(), &up) != 0 || up.st_dev != st.st_dev) break;
        p = p.parent_path();
    }
    return p.string();
}

}  // namespace sw
