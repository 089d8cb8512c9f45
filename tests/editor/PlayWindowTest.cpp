// The play window driven as a user drives it: F2 and the window's buttons
// through the controller, a fake synthesiser that ends when told, and the
// questions and messages through the scripted host.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "app/Settings.h"
#include "core/MidiPlayer.h"
#include "editor/PlayWindow.h"
#include "model/Build.h"
#include "playback/PlayRange.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

namespace fs = std::filesystem;

class FakePlayer : public MidiPlayer {
  public:
    Status answer = Status::Playing;
    std::string file;  // the last file started
    bool running = false;
    int starts = 0;
    Status play(const std::string& path) override {
        file = path;
        ++starts;
        running = answer == Status::Playing && fs::exists(path);
        return running ? Status::Playing : answer;
    }
    void stop() override { running = false; }
    bool playing() override { return running; }
    std::string problem() const override { return "No sound output could be opened."; }
};

// Two systems of three staves on two pages, the first two staves of each
// braced, a note on each stave.
void TwoSystems(Score& s) {
    for (int k = 0; k < 6; ++k) {
        const int st = AppendStave(s, 100 + 60 * k + (k >= 3 ? 40 : 0), 0, 1000);
        s.stave(st).h.joinToNext = k % 3 != 2;
        s.stave(st).h.withBrace = k % 3 == 0;
        s.stave(st).h.PageNum = k < 3 ? 1 : 2;
        PlaceObject(s, st, kClef, 10, s.stave(st).h.Ycoord);
        PlaceNote(s, st, 100, 0, 2);
    }
}

class PlayWindowTest : public test::EditorFixture {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old ? old : "";
        hadTmp_ = old != nullptr;
        setenv("TMPDIR", dir.path().c_str(), 1);
        Score s;
        TwoSystems(s);
        OpenScore(s, 3);
        window = std::make_unique<PlayWindow>(appSettings, host, warnings, dialogs, player,
                                              std::string());
        services.player = window.get();
    }
    void TearDown() override {
        window.reset();
        if (hadTmp_)
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    // The playback files in the temporary folder.
    int PlaybackFiles() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir.path()))
            n += e.path().filename().string().rfind("SWP", 0) == 0;
        return n;
    }

    Settings appSettings;
    FakePlayer player;
    std::unique_ptr<PlayWindow> window;
    std::string oldTmp_;
    bool hadTmp_ = false;
};

TEST(PlayRangeTest, FiveRangesAroundAStaveOfTheSecondSystem) {
    Score s;
    TwoSystems(s);
    auto bounds = [&](PlayRange r) {
        const PlaybackOptions o = OptionsForRange(s, r, 5);
        return std::make_tuple(o.firstStave, o.lastStave, o.continueOn);
    };
    EXPECT_EQ(bounds(PlayRange::Stave), std::make_tuple(5, 5, false));
    EXPECT_EQ(bounds(PlayRange::Braced), std::make_tuple(4, 5, false));
    EXPECT_EQ(bounds(PlayRange::System), std::make_tuple(4, 6, false));
    EXPECT_EQ(bounds(PlayRange::Page), std::make_tuple(4, 6, false));
    EXPECT_EQ(bounds(PlayRange::Score), std::make_tuple(1, 3, true));
    s.stave(5).h.PageNum = 1;  // a page that starts with the first system
    for (int k = 4; k <= 6; ++k)
        s.stave(k).h.PageNum = 1;
    EXPECT_EQ(bounds(PlayRange::Page), std::make_tuple(1, 3, false));
}

TEST_F(PlayWindowTest, DottedBeatAndVolumeConvert) {
    d->key("F2");
    ASSERT_EQ(window->tempo(), 120);
    window->setDotted(true);
    EXPECT_EQ(window->tempo(), 80);
    EXPECT_FALSE(d->modified());  // only the unit changed
    window->setDotted(false);
    EXPECT_EQ(window->tempo(), 120);
    window->setDotted(true);
    window->setTempo(60);  // dotted crotchets: 90 crotchets in the score
    EXPECT_EQ(score.Tempo, 90);
    EXPECT_TRUE(d->modified());
    window->setTempo(1000);
    EXPECT_EQ(window->tempo(), PlayWindow::kMaxTempo);
    window->setVolumePosition(8);
    EXPECT_EQ(window->velocity(), 127);
    window->setVolumePosition(4);
    EXPECT_EQ(window->velocity(), 64);
    window->setVolumePosition(-3);
    EXPECT_EQ(window->velocity(), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PlayWindowTest, F2ShowsThenPlaysThenStops) {
    d->key("F2");
    EXPECT_TRUE(window->shown());
    EXPECT_FALSE(window->playing());
    EXPECT_EQ(player.starts, 0);
    d->key("F2");
    ASSERT_TRUE(window->playing());
    EXPECT_FALSE(d->canRun(Action::PlayButton));
    EXPECT_TRUE(d->canRun(Action::PlayStop));
    EXPECT_FALSE(window->closesOnEsc());
    // Made exclusively in $TMPDIR, readable by its owner alone.
    const fs::path file = player.file;
    EXPECT_EQ(file.parent_path(), fs::path(dir.path()));
    EXPECT_EQ(file.extension(), ".MID");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    d->key("F2");
    EXPECT_FALSE(window->playing());
    EXPECT_FALSE(player.running);
    EXPECT_EQ(PlaybackFiles(), 0);
    EXPECT_TRUE(d->canRun(Action::PlayButton));
    EXPECT_FALSE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PlayWindowTest, NormalEndRestoresAndHintsOnlyPastOneStave) {
    d->key("F2");
    window->setRange(2);  // this system: three staves
    ASSERT_TRUE(window->expanded());
    ASSERT_TRUE(d->run(Action::PlayButton));
    EXPECT_FALSE(window->expanded());  // the options are out of the way
    window->tick();
    EXPECT_TRUE(window->playing());
    host.expectWarning("Was the playback as you expected?");
    player.running = false;
    window->tick();
    EXPECT_FALSE(window->playing());
    EXPECT_TRUE(window->expanded());
    EXPECT_EQ(PlaybackFiles(), 0);
    EXPECT_TRUE(d->canRun(Action::PlayButton));
    EXPECT_HOST_CLEAN(host);

    window->setRange(0);  // one stave: no hint
    d->run(Action::PlayButton);
    player.running = false;
    window->tick();
    EXPECT_EQ(PlaybackFiles(), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PlayWindowTest, NoOutputOrNoFontSaysOnceAndLeavesNoFile) {
    for (auto status : {MidiPlayer::Status::NoOutput, MidiPlayer::Status::NoSoundFont}) {
        player.answer = status;
        host.expectMessage("Save Midi still writes the music");
        d->run(Action::PlayScore);
        EXPECT_FALSE(window->playing());
        EXPECT_EQ(PlaybackFiles(), 0);
        EXPECT_TRUE(window->expanded());
        EXPECT_HOST_CLEAN(host);
    }
}

TEST_F(PlayWindowTest, SaveMidiAsksOnlyOffTheWholePiece) {
    d->key("F2");
    window->setRange(0);
    host.expectMessage("You have not selected to play the whole piece", Answer::Abort);
    d->run(Action::SaveMidi);
    EXPECT_HOST_CLEAN(host);

    const std::string out = dir.file("whole.MID");
    window->setRange(2);
    window->setContinueOn(true);  // this system and on: the whole piece
    host.expectSaveFile(out);
    d->run(Action::SaveMidi);
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(appSettings.midiDirectory, dir.path());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PlayWindowTest, ValuesAreKeptAcrossHideShowAndRefocus) {
    d->key("F2");
    window->setRange(3);
    window->setContinueOn(true);
    window->setVolumePosition(5);
    window->setTempo(100);
    dialogs.onInstrument = [](int current) {
        EXPECT_EQ(current, -1);  // "(Defined in stave)"
        return std::optional<int>(40);
    };
    d->run(Action::MoreSounds);
    EXPECT_EQ(window->instrument(), 41);
    EXPECT_EQ(window->instruments().back().second, "41 Violin");
    window->activate();  // came to the front
    d->run(Action::PlayClose);
    EXPECT_FALSE(window->shown());
    d->key("F2");
    EXPECT_EQ(window->range(), 3);
    EXPECT_TRUE(window->continueOn());
    EXPECT_EQ(window->velocity(), 80);
    EXPECT_EQ(window->tempo(), 100);
    EXPECT_EQ(window->instrument(), 41);
    // And the next window of the run starts from the same values.
    PlayWindow next(appSettings, host, warnings, dialogs, player, std::string());
    EXPECT_EQ(next.range(), 3);
    EXPECT_TRUE(next.continueOn());
    EXPECT_EQ(next.instrument(), 41);
    EXPECT_EQ(appSettings.what, 13);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PlayWindowTest, TemperamentIsTheScoresAndCtrlPlaysTheDemonstration) {
    d->key("F2");
    dialogs.onTemperament = [](int) { return std::optional<int>(2); };
    d->run(Action::Temperament);
    EXPECT_EQ(score.temperament, 2);
    EXPECT_TRUE(d->modified());
    // No application folder to write in: a file of our own, gone at the end.
    ASSERT_TRUE(window->run(Action::Temperament, true));
    EXPECT_TRUE(window->playing());
    EXPECT_EQ(PlaybackFiles(), 1);
    window->stop();
    EXPECT_EQ(PlaybackFiles(), 0);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
