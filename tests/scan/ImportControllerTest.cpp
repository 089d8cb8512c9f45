// The scan window's logic without a window: names, the DPI rule, crops and
// turns on the decoded picture, the gauge, and engine runs that end well,
// badly or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>

#include "core/ScriptedHost.h"
#include "scan/ImportController.h"
#include "scan/ResultConversion.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using test::TempDir;

// Records what it was asked to run; the test plays the engine's part.
class FakeEngine : public EngineRunner {
  public:
    bool start(const std::string& program, const std::vector<std::string>& a,
               std::string&) override {
        started = program;
        args = a;
        return true;
    }
    void terminate() override { ++terminated; }
    std::string started;
    std::vector<std::string> args;
    int terminated = 0;
};

// A picture whose every pixel can be told apart from its neighbours'.
Mask Pattern(int w, int h) {
    Mask m;
    m.width = w;
    m.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.ink.push_back(static_cast<uint8_t>((x * 7 + y * 3 + x * y) % 5 < 2));
    return m;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// A result with one stave, which converts.
const char* const kResult =
    "fileheader { version 2011 }\nscore { pages { nof 1 page { spacing 16384\nsystems { nof 1\n"
    "system { top 400 left 100 width 1000 height 200\nstaves { nof 1\nstave { top 400 left 100 "
    "width 1000 size 64\nbars { nof 1\nbar {\n}\n}\n }\n}\nslurs { nof 0 } }\n} } } }\n";

class ImportTest : public ::testing::Test {
  protected:
    ImportTest() {
        config_.appDir = dir_.path();
        config_.engine = "/opt/veltro";
        config_.scoreFolder = dir_.path();
        ::mkdir(dir_.file("VELTRO").c_str(), 0755);
        ::mkdir(dir_.file("VELTRO/SCRAP").c_str(), 0755);
    }
    ImportController& make() {
        c_ = std::make_unique<ImportController>(config_, host_, measurer_, nullptr, &engine_,
                                                [](int below) { return below - 1; });
        return *c_;
    }
    // Writes a picture file and opens it.
    ImportController& opened(const Mask& m, const std::string& name = "page1.BMP") {
        std::ofstream(dir_.file(name), std::ios::binary) << EncodeBmp1(m, 300);
        ImportController& c = make();
        EXPECT_TRUE(c.openPicture(dir_.file(name)));
        return c;
    }

    TempDir dir_;
    ImportConfig config_;
    ScriptedHost host_;
    test::FixedMeasurer measurer_;
    FakeEngine engine_;
    std::unique_ptr<ImportController> c_;
};

TEST_F(ImportTest, NamesFollowThePicture) {
    ImportController& c = make();
    EXPECT_EQ(c.caption(), "SW Scan - Scanned.swn");
    opened(Pattern(30, 20));
    EXPECT_EQ(c_->scoreName(), "page1.SWN");
    EXPECT_EQ(c_->caption(), "SW Scan - page1.SWN");
    EXPECT_EQ(c_->scorePath(), dir_.file("page1.SWN"));
    ::mkdir(dir_.file("out").c_str(), 0755);
    ASSERT_TRUE(c_->savePicture(dir_.file("out/kept.bmp")));
    EXPECT_EQ(c_->scorePath(), dir_.file("out/kept.SWN"));

    // Not a picture: said so, and the page stays. A deeper BMP is not
    // monochrome: the page goes.
    std::ofstream(dir_.file("text.bmp")) << "hello";
    host_.expectMessage("is not a BMP picture");
    EXPECT_FALSE(c_->openPicture(dir_.file("text.bmp")));
    EXPECT_TRUE(c_->hasPicture());
    std::string deep = EncodeBmp1(Pattern(30, 20));
    deep[28] = 8;
    std::ofstream(dir_.file("grey.bmp"), std::ios::binary) << deep;
    host_.expectWarning("only handle monochrome");
    EXPECT_FALSE(c_->openPicture(dir_.file("grey.bmp")));
    EXPECT_FALSE(c_->hasPicture());
    host_.expectMessage("No bitmap to print!");
    EXPECT_FALSE(c_->checkPrintable());
    EXPECT_HOST_CLEAN(host_);
}

TEST_F(ImportTest, DpiMustBeAWholeNumberAboveNought) {
    ImportController& c = make();
    EXPECT_EQ(c.dpiText(), "300");
    EXPECT_EQ(c.setDpiText("3OO"), "?");
    EXPECT_EQ(ScanResolution(c.dpiText()), 300);
    EXPECT_EQ(c.setDpiText("240"), "240");
    EXPECT_EQ(c.setDpiText("0"), "?");
    EXPECT_EQ(c.setDpiText("-5"), "?");
    EXPECT_EQ(c.setDpiText(""), "?");
    EXPECT_EQ(c.beeps(), 4);
}

TEST_F(ImportTest, TurnsGiveThePictureBack) {
    Mask tiny;
    tiny.width = 3;
    tiny.height = 2;
    tiny.ink = {1, 0, 0,  //
                0, 0, 1};
    const Mask right = RotateQuarter(tiny, true);
    EXPECT_EQ(right.width, 2);
    EXPECT_EQ(right.height, 3);
    EXPECT_EQ(right.ink, (std::vector<uint8_t>{0, 1,  //
                                               0, 0,  //
                                               1, 0}));
    EXPECT_EQ(RotateQuarter(right, false).ink, tiny.ink);

    const Mask page = Pattern(37, 23);
    ImportController& c = opened(page);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(c.rotate(true));
    EXPECT_EQ(c.picture().ink, page.ink);
    c.rotate(false);
    EXPECT_EQ(c.picture().width, 23);
    c.rotate(true);
    EXPECT_EQ(c.picture().ink, page.ink);
}

TEST_F(ImportTest, CropsScaleFromTheDisplayAndStayInside) {
    const Mask page = Pattern(190, 380);
    ImportController& c = opened(page);
    c.setView(100, 200);  // half size: 95 x 190 shown
    c.setScaled(false);
    ASSERT_TRUE(c.defineCrop());
    EXPECT_TRUE(c.scaled());
    EXPECT_EQ(c.displayed().width, 95);
    EXPECT_EQ(c.displayed().height, 190);

    // 19 displayed pixels are refused; the rectangle stays to be abandoned.
    c.cropPress(10, 10);
    c.cropRelease(29, 40);
    host_.expectMessage("Crop area too small");
    EXPECT_FALSE(c.crop());
    EXPECT_EQ(c.cropState(), ImportController::CropState::Defined);
    c.abandonCrop();
    EXPECT_EQ(c.cropState(), ImportController::CropState::Ready);

    // Dragged up and to the left: 20 x 30 shown is 40 x 60 of the picture.
    c.defineCrop();
    c.cropPress(30, 40);
    c.cropMove(0, 0);
    c.cropRelease(10, 10);
    ASSERT_TRUE(c.crop());
    EXPECT_EQ(c.picture().width, 40);
    EXPECT_EQ(c.picture().height, 60);
    EXPECT_EQ(c.picture().ink, CropMask(page, 20, 20, 40, 60).ink);

    // Past the picture's corner: clipped to it.
    c.setView(40, 60);
    c.setScaled(false);
    c.defineCrop();
    c.cropPress(-50, 500);
    c.cropRelease(100, -10);
    const ViewRect r = c.cropRectangle();
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.width, c.displayed().width);
    EXPECT_EQ(r.height, c.displayed().height);
    ASSERT_TRUE(c.crop());
    EXPECT_EQ(c.picture().width, 40);
    EXPECT_EQ(c.picture().height, 60);
    EXPECT_HOST_CLEAN(host_);
}

TEST(ScanGauge, MovesTowardsEachPercentageThenIdles) {
    int drawn = 0;
    ScanGauge g([&](int below) {
        ++drawn;
        EXPECT_EQ(below, ScanGauge::kIdleBelowMs);
        return 7000;
    });
    EXPECT_FALSE(g.running());
    int ticks = 0;
    for (int target : {10, 50, 100}) {
        g.setTarget(target);
        EXPECT_EQ(g.intervalMs(), ScanGauge::kStepMs);
        while (g.intervalMs() == ScanGauge::kStepMs && ticks < 1000) {
            g.tick();
            ++ticks;
        }
        EXPECT_EQ(g.position(), target - 1);
        EXPECT_EQ(g.intervalMs(), 7000);
    }
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(ticks, 99);
    g.tick();
    g.tick();
    EXPECT_EQ(g.position(), 0);  // from 100 back to the start
}

TEST_F(ImportTest, InterpretHandsTheEngineTheCurrentPictureAndNoOldResult) {
    ImportController& c = opened(Pattern(60, 40));
    c.rotate(true);
    c.setDpiText("240");
    c.options().accents = true;
    std::ofstream(c.engineResultPath()) << kResult;  // from an earlier run
    ASSERT_TRUE(c.interpret());
    EXPECT_TRUE(c.running());
    EXPECT_EQ(engine_.started, "/opt/veltro");
    EXPECT_EQ(engine_.args, EngineArguments(c.enginePicturePath(), c.engineResultPath(),
                                            EngineOptions{240, false, true, true, false, true}));
    EXPECT_FALSE(Exists(c.engineResultPath()));
    const std::string written = Slurp(c.enginePicturePath());
    Mask m;
    uint32_t palette[2];
    ASSERT_TRUE(
        DecodeBmp1(reinterpret_cast<const uint8_t*>(written.data()), written.size(), m, palette));
    EXPECT_EQ(m.ink, c.picture().ink);
    EXPECT_EQ(Bmp1Resolution(reinterpret_cast<const uint8_t*>(written.data()), written.size()),
              240);

    c.engineLine("PROGRESS 0 40");
    EXPECT_EQ(c.gauge().target(), 40);
    EXPECT_EQ(c.engineLabel(), "0,40");
    // Failed: no completion, and no score from what was there before.
    host_.expectWarning("has not signalled a completion");
    c.engineFinished(1, true);
    EXPECT_FALSE(c.running());
    EXPECT_FALSE(c.summaryShown());
    EXPECT_FALSE(Exists(c.scorePath()));
    EXPECT_FALSE(c.exitAndReturn());
    EXPECT_HOST_CLEAN(host_);
}

TEST_F(ImportTest, AnEngineThatFailsOrSaysNothingConvertsNothing) {
    ImportController& c = opened(Pattern(60, 40));
    // Exits 1 after writing its result; exits 0 with a result and no DONE.
    for (int exitCode : {1, 0}) {
        ASSERT_TRUE(c.interpret());
        std::ofstream(c.engineResultPath()) << kResult;
        if (exitCode == 1) c.engineLine("DONE");
        host_.expectWarning("has not signalled a completion");
        c.engineFinished(exitCode, true);
        EXPECT_FALSE(Exists(c.scorePath()));
    }
    // Stopped by the user: no message at all.
    ASSERT_TRUE(c.interpret());
    c.abort();
    EXPECT_EQ(engine_.terminated, 1);
    c.engineFinished(15, false);
    EXPECT_FALSE(c.running());
    EXPECT_FALSE(c.exitAndReturn());
    EXPECT_HOST_CLEAN(host_);
}

TEST_F(ImportTest, AScoreOfTheSameNameIsReplacedOnlyWhenTheUserSays) {
    ImportController& c = opened(Pattern(60, 40));
    const std::string score = c.scorePath();
    std::ofstream(score) << "the user's own score";

    ASSERT_TRUE(c.interpret());
    std::ofstream(c.engineResultPath()) << kResult;
    c.engineLine("DONE");
    host_.expectMessage("page1.SWN already exists", Answer::No);
    c.engineFinished(0, true);
    EXPECT_EQ(Slurp(score), "the user's own score");
    EXPECT_FALSE(c.summaryShown());
    EXPECT_FALSE(c.exitAndReturn());

    host_.expectMessage("Backup of page1.SWB", Answer::Yes);
    ASSERT_TRUE(c.reinterpret());
    EXPECT_EQ(Slurp(dir_.file("Backup of page1.SWB")), "the user's own score");
    EXPECT_NE(Slurp(score), "the user's own score");
    EXPECT_TRUE(c.summaryShown());
    EXPECT_EQ(c.counts().staves, 1);
    c.summaryOk();
    EXPECT_EQ(c.exitAndReturn(), score);

    // Abandoned from the summary: nothing is opened.
    host_.expectMessage("already exists", Answer::Yes);
    ASSERT_TRUE(c.reinterpret());
    c.summaryCancel();
    EXPECT_FALSE(c.exitAndReturn());

    // Cleared, and no result left: nothing to re-read.
    c.clear();
    EXPECT_EQ(c.counts(), RecognitionCounts{});
    ::unlink(c.engineResultPath().c_str());
    host_.expectMessage("Unable to complete operation");
    EXPECT_FALSE(c.reinterpret());
    EXPECT_FALSE(c.summaryShown());
    EXPECT_HOST_CLEAN(host_);
}

}  // namespace
}  // namespace sw
