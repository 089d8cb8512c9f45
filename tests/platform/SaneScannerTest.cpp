// The scanner through SANE's test backend, configured in a private folder:
// pictures read as ink, and each way a scan can go wrong reaching the user as
// the scan window's message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <numeric>

#include "core/ScriptedHost.h"
#include "platform/SaneScanner.h"
#include "scan/ImportController.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class SaneTest : public ::testing::Test {
  protected:
    // SANE reads where its configuration is once a process, so every test
    // rewrites the same folder.
    static test::TempDir& ConfigFolder() {
        static test::TempDir dir;
        return dir;
    }

    // The test device's picture, its read status and scan area in mm.
    void configure(const std::string& picture, const std::string& status = "Default",
                   double widthMm = 80, double heightMm = 100) {
        const test::TempDir& config = ConfigFolder();
        std::ofstream(config.file("dll.conf")) << "test\n";
        std::ofstream(config.file("test.conf"))
            << "number_of_devices 1\ntest-picture \"" << picture << "\"\nread-status-code \""
            << status << "\"\ntl_x 0.0\ntl_y 0.0\nbr_x " << widthMm << "\nbr_y " << heightMm
            << "\n";
        ::setenv("SANE_CONFIG_DIR", config.path().c_str(), 1);
    }

    // One acquisition through the scan window's logic.
    bool acquire(ScriptedHost& host, const std::string& dpi = "100") {
        SaneScanner scanner;
        ImportConfig config;
        config.appDir = dir_.path();
        ImportController c(config, host, measurer_, &scanner, nullptr, nullptr);
        c.setDpiText(dpi);
        const bool ok = c.acquire();
        picture_ = c.picture();
        caption_ = c.caption();
        return ok;
    }

    long long inkCount() const {
        return std::accumulate(picture_.ink.begin(), picture_.ink.end(), 0LL);
    }

    test::TempDir dir_;
    test::FixedMeasurer measurer_;
    Mask picture_;
    std::string caption_;
};

TEST_F(SaneTest, PicturesAreReadAsInkAtTheResolutionAsked) {
    configure("Solid black");
    {
        SaneScanner scanner;
        const std::vector<std::string> sources = scanner.sources();
        ASSERT_EQ(sources, std::vector<std::string>{"test:0"});
    }
    ScriptedHost host;
    ASSERT_TRUE(acquire(host));
    // 80 x 100 mm at 100 dots an inch.
    EXPECT_NEAR(picture_.width, 315, 2);
    EXPECT_NEAR(picture_.height, 394, 2);
    EXPECT_EQ(inkCount(), static_cast<long long>(picture_.ink.size()));
    EXPECT_EQ(caption_, "SW Scan - Scanned.swn");

    configure("Grid");
    ASSERT_TRUE(acquire(host, "200"));
    EXPECT_NEAR(picture_.width, 630, 2);
    // Squares of 10 mm in both colours: about half the page is ink, and a
    // square's inside is one colour.
    const double share = static_cast<double>(inkCount()) / static_cast<double>(picture_.ink.size());
    EXPECT_GT(share, 0.4);
    EXPECT_LT(share, 0.6);
    EXPECT_NE(picture_.at(40, 40), picture_.at(40 + 79, 40));
    EXPECT_EQ(picture_.at(40, 40), picture_.at(40 + 79, 40 + 79));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(SaneTest, FailedCancelledAndTinyScansSayWhy) {
    ScriptedHost host;
    configure("Grid", "SANE_STATUS_CANCELLED");
    host.expectWarning("Scan cancelled.");
    EXPECT_FALSE(acquire(host));
    configure("Grid", "SANE_STATUS_IO_ERROR");
    host.expectMessage("Scan failure.");
    EXPECT_FALSE(acquire(host));
    EXPECT_EQ(picture_.width, 0);
    configure("Solid black", "Default", 2, 2);
    host.expectMessage("This is not a reasonable size");
    EXPECT_FALSE(acquire(host));
    EXPECT_EQ(picture_.width, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(SaneTest, TheUserCancelsWhileThePageIsRead) {
    configure("Grid");
    SaneScanner scanner;
    const ScanOutcome out = scanner.acquire("test:0", 100, [](int) { return false; });
    EXPECT_EQ(out.status, ScanOutcome::Cancelled);
    EXPECT_EQ(scanner.acquire("no-such-device", 100, [](int) { return true; }).status,
              ScanOutcome::Failed);
}

TEST(SaneGrey, SamplesBecomeInk) {
    Mask m;
    // One bit: set is black. Eight bits: below half is black.
    ASSERT_TRUE(SaneGreyToMask(std::string("\xA0\x00", 2), 3, 2, 1, m));
    EXPECT_EQ(m.ink, (std::vector<uint8_t>{1, 0, 1}));
    ASSERT_TRUE(SaneGreyToMask(std::string("\x00\x7f\x80\xff", 4), 2, 2, 8, m));
    EXPECT_EQ(m.ink, (std::vector<uint8_t>{1, 1, 0, 0}));
    // Rows that cannot hold the width, and depths SANE does not have.
    EXPECT_FALSE(SaneGreyToMask(std::string(4, '\0'), 20, 2, 1, m));
    EXPECT_FALSE(SaneGreyToMask(std::string(4, '\0'), 2, 2, 4, m));
    EXPECT_FALSE(SaneGreyToMask(std::string(), 2, 2, 8, m));
}

}  // namespace
}  // namespace sw
