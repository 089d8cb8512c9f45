// What Linux says about a temporary folder's file system, the program's own
// memory and the recognition engine's version.
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <filesystem>

#include "platform/LinuxFolderFacts.h"
#include "platform/SystemFacts.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

TEST(LinuxFolderFacts, FreeSpaceMountPointAndKindOfATempFolder) {
    test::TempDir dir;
    const std::string inner = dir.file("a/b");
    std::filesystem::create_directories(inner);
    LinuxFolderFacts facts;
    struct statvfs v {};
    ASSERT_EQ(statvfs(inner.c_str(), &v), 0);
    const std::optional<uint64_t> free = facts.freeBytes(inner);
    ASSERT_TRUE(free);
    // Within a few megabytes of what statvfs said a moment ago.
    const double expected = double(v.f_bavail) * double(v.f_frsize);
    EXPECT_NEAR(double(*free), expected, 64.0 * 1024 * 1024);
    // The mount point holds the folder and is on the same device; its parent is not.
    const std::string mount = facts.mountPoint(inner);
    ASSERT_FALSE(mount.empty());
    const std::string canonical = std::filesystem::canonical(inner).string();
    EXPECT_EQ(canonical.rfind(mount, 0), 0u) << mount << " " << canonical;
    EXPECT_EQ(facts.mountPoint(mount), mount);
    // A temporary folder is on a local disk; a folder that is not there is not.
    EXPECT_TRUE(facts.fixedLocal(inner));
    EXPECT_FALSE(facts.fixedLocal(dir.file("missing")));
    EXPECT_FALSE(facts.freeBytes(dir.file("missing")));
    EXPECT_TRUE(facts.mountPoint(dir.file("missing")).empty());
}

TEST(LinuxSystemFacts, SystemMemoryAndTheEnginesVersion) {
    LinuxSystemFacts facts;
    const SystemInfo info = facts.system();
    EXPECT_EQ(info.name.rfind("Linux", 0), 0u) << info.name;
    EXPECT_GT(info.major, 0);
    EXPECT_GT(info.memoryMb, 0);
    EXPECT_EQ(facts.engineVersion(VELTRO_PROGRAM), "veltro 1.0");
    // A program that fails, or is not there, gives no version.
    EXPECT_FALSE(facts.engineVersion("/bin/false"));
    EXPECT_FALSE(facts.engineVersion("/nonexistent/veltro"));
}

}  // namespace
}  // namespace sw
