// The synthesiser's file renderer on a short tune: a 16-bit 44.1 kHz WAV file
// that is not silent and lasts as long as the music and its dying notes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/ScriptedHost.h"
#include "model/Build.h"
#include "platform/FluidSynth.h"
#include "playback/Performance.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    double seconds = 0;
    int peak = 0;
};

uint32_t Le(const std::vector<unsigned char>& b, std::size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

Wav ReadWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    Wav w;
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return w;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at),
                             b.begin() + static_cast<long>(at) + 4);
        const uint32_t size = Le(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt ") {
            w.channels = static_cast<int>(Le(b, body + 2, 2));
            w.rate = static_cast<int>(Le(b, body + 4, 4));
            w.bits = static_cast<int>(Le(b, body + 14, 2));
        } else if (id == "data" && w.channels > 0 && w.bits == 16) {
            const std::size_t end = std::min<std::size_t>(body + size, b.size());
            w.seconds = static_cast<double>(end - body) / (2.0 * w.channels * w.rate);
            for (std::size_t i = body; i + 1 < end; i += 2)
                w.peak = std::max(w.peak, std::abs(static_cast<int16_t>(Le(b, i, 2))));
        }
        at = body + size + (size & 1);
    }
    return w;
}

TEST(WavRenderTest, ATuneIsHeardForAsLongAsItLasts) {
    const std::string font = FindSoundFont("");
    if (font.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
    test::TempDir dir;
    Score score;
    const int s = AppendStave(score, 100, 0, 1000);
    PlaceObject(score, s, kClef, 10, score.stave(s).h.Ycoord);
    for (int k = 0; k < 8; ++k)
        PlaceNote(score, s, 60 + 40 * k, k % 5, 3);  // eight crotchets at 120: 4 s
    ScriptedHost host;
    PlaybackOptions o;
    o.outputPath = dir.file("tune.mid");
    o.range = PlayRange::Score;
    ASSERT_TRUE(GeneratePerformance(score, host, o));
    std::string error;
    ASSERT_TRUE(RenderMidiToWav(o.outputPath, dir.file("tune.wav"), font, error)) << error;
    const Wav w = ReadWav(dir.file("tune.wav"));
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.channels, 2);
    EXPECT_GE(w.seconds, 4.0);
    EXPECT_LT(w.seconds, 4.0 + 5.0);  // the last note dies away, then the file ends
    EXPECT_GT(w.peak, 1000);
    // Without a sound font there is no file at all.
    EXPECT_FALSE(RenderMidiToWav(o.outputPath, dir.file("none.wav"), "", error));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.wav")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace sw
