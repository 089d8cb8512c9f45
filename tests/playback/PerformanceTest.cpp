// Performance generation on scores built in memory: lengths, pitches, voices,
// repeats, ties, tracks, velocities, the pickup, and the score left as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>

#include <fstream>

#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "model/Build.h"
#include "playback/MidiWriter.h"
#include "playback/Performance.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using test::TempDir;

// One system of `staves` staves, each opening with a treble clef.
std::unique_ptr<Score> Systems(int systems, int staves = 1, int clef = 0) {
    auto score = std::make_unique<Score>();
    for (int k = 0; k < systems; ++k)
        for (int v = 0; v < staves; ++v) {
            const int s = AppendStave(*score, 100 + 200 * k + 60 * v, 0, 1000);
            score->stave(s).h.joinToNext = v + 1 < staves;
            PlaceObject(*score, s, kClef, 10, score->stave(s).h.Ycoord)->data.clef.type =
                static_cast<uint8_t>(clef);
        }
    return score;
}

void Timesig(Score& score, int s, int x, int num, int den) {
    ScoreObject* t = PlaceObject(score, s, kTimesig, x, score.stave(s).h.Ycoord);
    t->data.timesig.numerator = static_cast<uint8_t>(num);
    t->data.timesig.denominator = static_cast<uint8_t>(den);
}

ScoreObject* Bar(Score& score, int s, int x, int style = 0) {
    ScoreObject* b = PlaceObject(score, s, kBarline, x, score.stave(s).h.Ycoord);
    b->data.barline.style = static_cast<uint8_t>(style);
    return b;
}

ScoreObject* Rest(Score& score, int s, int x, int value) {
    ScoreObject* r = PlaceNote(score, s, x, 0, value, 0);
    r->note().rest = 1;
    return r;
}

struct Heard {
    double time;
    int key;
    double length;
    int velocity;
    int track;
};

// Each note on with the note off that ends it.
std::vector<Heard> Notes(const Performance& p) {
    std::vector<Heard> out;
    for (std::size_t i = 0; i < p.events.size(); ++i) {
        const MidiEvent& on = p.events[i];
        if (on.kind != kEventNoteOn) continue;
        for (std::size_t j = i + 1; j < p.events.size(); ++j) {
            const MidiEvent& off = p.events[j];
            if (off.kind == kEventNoteOff && off.track == on.track && off.data1 == on.data1) {
                out.push_back({on.time, on.data1, off.time - on.time, on.data2, on.track});
                break;
            }
        }
    }
    return out;
}

std::vector<int> Keys(const Performance& p) {
    std::vector<int> keys;
    for (const Heard& h : Notes(p))
        keys.push_back(h.key);
    return keys;
}

std::vector<double> Starts(const Performance& p) {
    std::vector<double> t;
    for (const Heard& h : Notes(p))
        t.push_back(h.time);
    return t;
}

class PerformanceTest : public ::testing::Test {
  protected:
    TempDir dir;
    ScriptedHost host;

    PlaybackOptions Options(PlayRange range = PlayRange::Score, int first = 1, int last = 1) {
        PlaybackOptions o;
        o.outputPath = dir.file("out.mid");
        o.range = range;
        o.firstStave = first;
        o.lastStave = last;
        return o;
    }
    Performance Play(Score& score, PlaybackOptions o) {
        Performance p;
        EXPECT_TRUE(GeneratePerformance(score, host, o, &p));
        EXPECT_HOST_CLEAN(host);
        return p;
    }
    Performance Play(Score& score) { return Play(score, Options(PlayRange::Score, 1, 1)); }
};

// ---- Lengths ----

TEST_F(PerformanceTest, NoteLengthsInTicks) {
    auto score = Systems(1);
    ScoreObject* triplet = PlaceNote(*score, 1, 100, 0, 4);
    triplet->note().durMod = 3;
    triplet->note().durMod2 = 2;
    PlaceNote(*score, 1, 120, 0, 2)->note().dots = 1;
    PlaceNote(*score, 1, 140, 0, 3)->note().dots = 2;
    PlaceNote(*score, 1, 160, 0, 3)->note().headSize = 5;
    PlaceNote(*score, 1, 180, 0, 3);
    PlaybackOptions o = Options();
    o.graceNotes = true;
    const Performance p = Play(*score, o);
    const std::vector<double> starts = Starts(p);
    ASSERT_EQ(starts.size(), 5u);
    const double ticks[] = {32, 288, 168, 6};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR((starts[i + 1] - starts[i]) * 96, ticks[i], 1e-6) << i;
    // The acciaccatura is left out without grace notes.
    EXPECT_EQ(Keys(Play(*score)).size(), 4u);
}

TEST_F(PerformanceTest, WholeBarRestFillsABarOfThreeFour) {
    auto score = Systems(1);
    Timesig(*score, 1, 30, 3, 4);
    PlaceNote(*score, 1, 60, 0, 3);
    Bar(*score, 1, 80);
    Rest(*score, 1, 100, 1);
    Bar(*score, 1, 140);
    PlaceNote(*score, 1, 160, 0, 3);
    TidyStave(*score, 1, false);
    const std::vector<double> starts = Starts(Play(*score));
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_DOUBLE_EQ((starts[1] - starts[0]) * 96, 96 + 288);
}

TEST_F(PerformanceTest, StaccatoShortensTheSound) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, 0, 3);
    PlaceNote(*score, 1, 140, 0, 3)->note().staccato = 1;
    PlaceNote(*score, 1, 180, 0, 3)->note().staccato = 4;
    const std::vector<Heard> n = Notes(Play(*score));
    ASSERT_EQ(n.size(), 3u);
    EXPECT_DOUBLE_EQ(n[0].length, 91.0 / 96);
    EXPECT_DOUBLE_EQ(n[1].length, 0.625);
    EXPECT_DOUBLE_EQ(n[2].length, 0.3125);
}

// ---- Pitches ----

TEST_F(PerformanceTest, EveryClefReadsItsMiddleLine) {
    const int expected[] = {71, 50, 60, 57};
    for (int clef = 0; clef < 4; ++clef) {
        auto score = Systems(1, 1, clef);
        PlaceNote(*score, 1, 100, 0, 3);
        PlaceNote(*score, 1, 140, 1, 3);
        PlaceNote(*score, 1, 180, -7, 3);
        const std::vector<int> keys = Keys(Play(*score));
        ASSERT_EQ(keys.size(), 3u);
        EXPECT_EQ(keys[0], expected[clef]) << clef;
        EXPECT_EQ(keys[2], expected[clef] - 12) << clef;
    }
}

TEST_F(PerformanceTest, FarBelowTheStaveStillCountsDown) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, -50, 3);  // 7 octaves and a step below B4: out of range
    PlaceNote(*score, 1, 140, -28, 3);  // B0
    PlaceNote(*score, 1, 180, -29, 3);  // A0
    EXPECT_EQ(Keys(Play(*score)), (std::vector<int>{23, 21}));
}

TEST_F(PerformanceTest, KeySignaturesAndAccidentalsToTheBarLine) {
    auto score = Systems(1);
    PlaceObject(*score, 1, kKeysig, 20, 0)->data.keysig.key = 2;  // F# C#
    PlaceNote(*score, 1, 100, -3, 3);                             // F4 → F#4
    PlaceNote(*score, 1, 120, -6, 3);                             // C4 → C#4
    ScoreObject* a = PlaceObject(*score, 1, kAccidental, 135, 0);
    a->data.accidental.pitch = -3;
    a->data.accidental.accidental = 0;
    PlaceNote(*score, 1, 140, -3, 3);  // natural
    PlaceNote(*score, 1, 160, -3, 3);  // still natural in the bar
    Bar(*score, 1, 180);
    PlaceNote(*score, 1, 200, -3, 3);  // the key again
    ScoreObject* f = PlaceObject(*score, 1, kAccidental, 215, 0);
    f->data.accidental.pitch = 0;
    f->data.accidental.accidental = -2;
    PlaceNote(*score, 1, 220, 0, 3);  // B double flat
    TidyStave(*score, 1, false);
    EXPECT_EQ(Keys(Play(*score)), (std::vector<int>{66, 61, 65, 65, 66, 69}));
}

TEST_F(PerformanceTest, FlatKeysAndOutOfRangeSignaturesAreClamped) {
    auto score = Systems(1);
    PlaceObject(*score, 1, kKeysig, 20, 0)->data.keysig.key = -20;
    PlaceNote(*score, 1, 100, -3, 3);  // F → F flat (all seven flats)
    const Performance p = Play(*score);
    EXPECT_EQ(Keys(p), (std::vector<int>{64}));
    bool keyEvent = false;
    for (const MidiEvent& e : p.events)
        if (e.kind == kEventKeysig) {
            keyEvent = true;
            EXPECT_EQ(e.data1, -7);
        }
    EXPECT_TRUE(keyEvent);
}

TEST_F(PerformanceTest, OctaveLinesAndSoundTransposition) {
    auto score = Systems(1);
    PlaceObject(*score, 1, kTrill, 90, 40, glyph::OCTAVE_8VA);
    LineShape line;
    line.dx = 100;
    PlaceLine(*score, 1, 110, 40, line);
    PlaceNote(*score, 1, 100, 0, 3);
    PlaceNote(*score, 1, 200, 0, 3);
    PlaceNote(*score, 1, 300, 0, 3);
    score->stave(1).h.soundTranspose = -2;
    TidyStave(*score, 1, false);
    EXPECT_EQ(Keys(Play(*score)), (std::vector<int>{81, 81, 69}));
}

// ---- Voices and systems ----

TEST_F(PerformanceTest, StavesOfDifferentRhythmsStartTogether) {
    auto score = Systems(1, 2);
    PlaceNote(*score, 1, 100, 0, 2);  // minim
    PlaceNote(*score, 1, 200, 0, 3);
    PlaceNote(*score, 2, 100, 0, 3);  // crotchets
    PlaceNote(*score, 2, 150, 0, 3);
    PlaceNote(*score, 2, 200, 0, 3);
    PlaybackOptions o = Options(PlayRange::System, 1, 2);
    const std::vector<Heard> n = Notes(Play(*score, o));
    std::vector<std::pair<double, int>> got;
    for (const Heard& h : n)
        got.push_back({h.time, h.track});
    EXPECT_EQ(got, (std::vector<std::pair<double, int>>{{0, 2}, {0, 3}, {1, 3}, {2, 2}, {2, 3}}));
}

TEST_F(PerformanceTest, NotesCloseTogetherSoundTogetherAndTheScoreStaysAsItWas) {
    auto score = Systems(1, 2);
    PlaceNote(*score, 1, 100, 0, 3);
    PlaceNote(*score, 1, 200, 0, 3);
    PlaceNote(*score, 2, 103, 0, 3);  // a little to the right, as hands place them
    PlaceNote(*score, 2, 204, 0, 3);
    const Score before(*score);
    PlaybackOptions o = Options(PlayRange::System, 1, 2);
    std::vector<double> times;
    for (const Heard& h : Notes(Play(*score, o)))
        times.push_back(h.time);
    EXPECT_EQ(times, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(score->object(2, 2).x, before.object(2, 2).x);
    // Beyond the proximity they stay apart.
    o.proximity = 2;
    times.clear();
    for (const Heard& h : Notes(Play(*score, o)))
        times.push_back(h.time);
    EXPECT_NE(times, (std::vector<double>{0, 0, 1, 1}));
}

TEST_F(PerformanceTest, TwoPartsOnOneStaveTakeTwoVoices) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, 2, 2, 0);   // minim up
    PlaceNote(*score, 1, 100, -2, 3, 1);  // crotchets down
    PlaceNote(*score, 1, 140, -2, 3, 1);
    PlaceNote(*score, 1, 200, 2, 3, 0);  // both parts again together
    const Performance p = Play(*score);
    EXPECT_EQ(Starts(p), (std::vector<double>{0, 0, 1, 2}));
}

TEST_F(PerformanceTest, EmptyBarsPlayOnlyWithATimeSignature) {
    auto score = Systems(2);
    Timesig(*score, 1, 30, 2, 4);
    PlaceNote(*score, 1, 60, 0, 3);
    PlaceNote(*score, 1, 70, 0, 3);
    Bar(*score, 1, 100);
    Bar(*score, 1, 200);  // an empty bar of 2/4
    PlaceNote(*score, 1, 220, 0, 3);
    // The next system has no time signature of its own: its empty bar takes no time.
    PlaceNote(*score, 2, 60, 0, 3);
    Bar(*score, 2, 100);
    Bar(*score, 2, 200);
    PlaceNote(*score, 2, 220, 0, 3);
    EXPECT_EQ(Starts(Play(*score)), (std::vector<double>{0, 1, 4, 5, 6}));
}

TEST_F(PerformanceTest, ATieOverASystemBreakSoundsOnce) {
    auto score = Systems(2);
    PlaceNote(*score, 1, 100, 0, 3);
    PlaceNote(*score, 1, 200, 1, 2)->note().tieRight = 255;
    PlaceNote(*score, 2, 50, 1, 3)->note().tieLeft = 255;
    PlaceNote(*score, 2, 100, 0, 3);
    const std::vector<Heard> n = Notes(Play(*score));
    ASSERT_EQ(n.size(), 3u);
    EXPECT_DOUBLE_EQ(n[1].time, 1);
    EXPECT_DOUBLE_EQ(n[1].length, 3 * 91.0 / 96);
    // What follows the tie comes after the tied notes' own lengths, not late.
    EXPECT_DOUBLE_EQ(n[2].time, 4);
}

TEST_F(PerformanceTest, ATieRingInADamagedFileEnds) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, 0, 3)->note().tieRight = 3;  // the clef is object 1
    PlaceNote(*score, 1, 140, 0, 3)->note().tieRight = 2;
    const std::vector<Heard> n = Notes(Play(*score));
    ASSERT_EQ(n.size(), 1u);
    EXPECT_DOUBLE_EQ(n[0].length, 2 * 91.0 / 96);
}

TEST_F(PerformanceTest, WithoutContinueOnOnlyTheSystemPlays) {
    auto score = Systems(2);
    PlaceNote(*score, 1, 100, 0, 3);
    PlaceNote(*score, 2, 100, 0, 3);
    EXPECT_EQ(Keys(Play(*score, Options(PlayRange::System, 1, 1))).size(), 1u);
    PlaybackOptions on = Options(PlayRange::System, 1, 1);
    on.continueOn = true;
    EXPECT_EQ(Keys(Play(*score, on)).size(), 2u);
    EXPECT_EQ(Keys(Play(*score)).size(), 2u);  // the whole piece always goes on
}

TEST_F(PerformanceTest, TracksFollowTheLargestSystemPlayed) {
    auto score = std::make_unique<Score>();
    AppendStave(*score, 100, 0, 1000);
    for (int v = 0; v < 3; ++v) {
        const int s = AppendStave(*score, 300 + 60 * v, 0, 1000);
        score->stave(s).h.joinToNext = v < 2;
        score->stave(s).h.instrumentUp = static_cast<uint8_t>(41 + v);
    }
    for (int s = 1; s <= 4; ++s)
        PlaceNote(*score, s, 100, 0, 3);
    const Performance p = Play(*score);
    ASSERT_EQ(p.tracks.size(), 4u);
    EXPECT_EQ(p.tracks[1].instrument, 1);  // stave 1 has none: the default
    EXPECT_EQ(p.tracks[2].instrument, 42);
    EXPECT_EQ(p.tracks[3].instrument, 43);
    EXPECT_EQ(Keys(p).size(), 4u);
}

// ---- Repeats ----

// Bars A |: B :| with brackets: A B A C when the first-time bar is bracketed.
std::unique_ptr<Score> Voltas() {
    auto score = Systems(1);
    PlaceNote(*score, 1, 60, 0, 3);  // A = 71
    Bar(*score, 1, 100, 2);
    PlaceNote(*score, 1, 120, 1, 3);  // 72
    LineShape first;
    first.dx = 60;
    first.legDirection = 1;
    first.legEnds = 6;
    PlaceLine(*score, 1, 205, -40, first);
    Bar(*score, 1, 200);
    PlaceNote(*score, 1, 220, 2, 3);  // first time: 74
    Bar(*score, 1, 300, 3);
    LineShape second = first;
    second.legEnds = 2;
    PlaceLine(*score, 1, 305, -40, second);
    PlaceNote(*score, 1, 320, 3, 3);  // second time: 76
    TidyStave(*score, 1, false);
    return score;
}

TEST_F(PerformanceTest, RepeatsWithFirstAndSecondTimeBars) {
    auto score = Voltas();
    PlaybackOptions o = Options();
    o.repeats = true;
    const Performance p = Play(*score, o);
    EXPECT_EQ(Keys(p), (std::vector<int>{71, 72, 74, 72, 76}));
    EXPECT_EQ(Starts(p), (std::vector<double>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Keys(Play(*score)), (std::vector<int>{71, 72, 74, 76}));
}

TEST_F(PerformanceTest, ARepeatEndWithoutAStartRepeatsFromTheBeginning) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 60, 0, 3);
    Bar(*score, 1, 100, 3);
    PlaceNote(*score, 1, 120, 1, 3);
    PlaybackOptions o = Options();
    o.repeats = true;
    EXPECT_EQ(Keys(Play(*score, o)), (std::vector<int>{71, 71, 72}));
}

TEST_F(PerformanceTest, BadRepeatStructuresAbortWithOneBox) {
    struct Case {
        std::vector<int> styles;
        const char* message;
    };
    const Case cases[] = {
        {{2, 2}, "Consecutive repeat start bars found in stave 1."},
        {{3, 3}, "Repeat end found without a repeat start in stave 1."},
    };
    for (const Case& c : cases) {
        auto score = Systems(1);
        int x = 60;
        for (int style : c.styles) {
            PlaceNote(*score, 1, x, 0, 3);
            Bar(*score, 1, x + 30, style);
            x += 60;
        }
        PlaceNote(*score, 1, x, 0, 3);
        ScriptedHost h;
        h.expectMessage(std::string(c.message) + "\nPlayback aborted.");
        PlaybackOptions o = Options();
        o.repeats = true;
        EXPECT_FALSE(GeneratePerformance(*score, h, o));
        EXPECT_HOST_CLEAN(h);
        EXPECT_FALSE(std::ifstream(o.outputPath).good());
    }
}

TEST_F(PerformanceTest, NothingToPlaySaysSoUnlessOnlyCollecting) {
    auto score = Systems(1);
    Rest(*score, 1, 100, 3);
    ScriptedHost h;
    h.expectWarning("No notes to play in these staves!");
    EXPECT_FALSE(GeneratePerformance(*score, h, Options()));
    PlaybackOptions collect = Options();
    collect.collectOnly = true;
    Performance p;
    EXPECT_FALSE(GeneratePerformance(*score, h, collect, &p));
    EXPECT_TRUE(p.table.empty());
    EXPECT_HOST_CLEAN(h);
}

// ---- Tracks, temperaments, tremolos, velocities, pickup ----

TEST_F(PerformanceTest, TemperamentsGiveEachPitchClassATrackAndBend) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, -6, 3);  // C4
    ScoreObject* a = PlaceObject(*score, 1, kAccidental, 135, 0);
    a->data.accidental.pitch = -6;
    a->data.accidental.accidental = 1;
    PlaceNote(*score, 1, 140, -6, 3);  // C#4
    TidyStave(*score, 1, false);
    PlaybackOptions o = Options();
    o.temperament = 1;
    const Performance p = Play(*score, o);
    ASSERT_EQ(p.tracks.size(), 13u);
    const std::vector<Heard> n = Notes(p);
    ASSERT_EQ(n.size(), 2u);
    EXPECT_EQ(n[0].track, 2);
    EXPECT_EQ(n[1].track, 3);
    EXPECT_EQ(TemperamentBend(0, 4), 8192);
    // Pythagorean E is 7.8 cents sharp: round(7.82 / 200 × 8192) above the centre.
    EXPECT_EQ(TemperamentBend(1, 4), 8192 + 320);
    EXPECT_NEAR(TemperamentCents(2, 4), -13.69, 0.01);
    EXPECT_NEAR(TemperamentCents(4, 2), 52.6, 1e-9);
    // The bend of C# is written on its track.
    const std::vector<uint8_t> bytes = test::ReadBytes(o.outputPath);
    const int bend = TemperamentBend(1, 1);
    const uint8_t want[] = {0xE1, static_cast<uint8_t>(bend & 0x7F),
                            static_cast<uint8_t>(bend >> 7)};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), want, want + 3), bytes.end());
}

TEST_F(PerformanceTest, TremolosRepeatAtLeastOnce) {
    auto score = Systems(1);
    PlaceNote(*score, 1, 100, 0, 3)->note().tremuloBars = 2;  // four semiquavers
    PlaceNote(*score, 1, 140, 0, 5)->note().tremuloBars = 1;  // finer than its value: once
    PlaceNote(*score, 1, 180, 0, 3)->note().tremuloBars = 7;  // past the table: 128
    const std::vector<Heard> n = Notes(Play(*score));
    ASSERT_EQ(n.size(), 4u + 1 + 128);
    EXPECT_DOUBLE_EQ(n[1].time, 0.25);
    EXPECT_DOUBLE_EQ(n[4].length, 0.25);
    EXPECT_DOUBLE_EQ(n[5].time, 1.25);
}

TEST_F(PerformanceTest, VelocitiesFavourTheBarsFirstBeat) {
    auto score = Systems(1);
    Timesig(*score, 1, 30, 2, 4);
    PlaceNote(*score, 1, 60, 0, 3);
    PlaceNote(*score, 1, 80, 0, 3);
    Bar(*score, 1, 100);
    PlaceNote(*score, 1, 120, 0, 3);
    PlaceNote(*score, 1, 140, 0, 3);
    TidyStave(*score, 1, false);
    PlaybackOptions o = Options();
    o.volume = 100;
    std::vector<int> v;
    for (const Heard& h : Notes(Play(*score, o)))
        v.push_back(h.velocity);
    EXPECT_EQ(v, (std::vector<int>{100, 90, 100, 90}));
}

TEST_F(PerformanceTest, SavingFillsOutThePickupBar) {
    auto score = Systems(1);
    Timesig(*score, 1, 30, 3, 4);
    PlaceNote(*score, 1, 60, 0, 3);  // one-beat pickup
    Bar(*score, 1, 100);
    PlaceNote(*score, 1, 120, 0, 3);
    TidyStave(*score, 1, false);
    PlaybackOptions o = Options();
    o.save = true;
    const Performance p = Play(*score, o);
    EXPECT_DOUBLE_EQ(p.pickup, 2);
    EXPECT_EQ(Starts(p), (std::vector<double>{2, 3}));
    // A first bar longer than the signature's delays nothing.
    auto longer = Systems(1);
    Timesig(*longer, 1, 30, 2, 4);
    for (int x = 40; x < 100; x += 15)
        PlaceNote(*longer, 1, x, 0, 3);
    Bar(*longer, 1, 100);
    PlaceNote(*longer, 1, 120, 0, 3);
    TidyStave(*longer, 1, false);
    EXPECT_DOUBLE_EQ(Play(*longer, o).pickup, 0);
}

// ---- The score afterwards ----

TEST_F(PerformanceTest, TheScoreIsUnchangedOnEveryPath) {
    auto score = Voltas();
    PlaceNote(*score, 1, 340, 0, 3, 2);  // no stem: given one for a while
    const auto before = std::make_unique<Score>(*score);
    auto same = [&] {
        for (int s = 1; s <= score->Nstaves; ++s)
            for (int i = 0; i < kSlots; ++i)
                ASSERT_EQ(
                    std::memcmp(&score->object(s, i), &before->object(s, i), sizeof(ScoreObject)),
                    0)
                    << s << " " << i;
    };
    PlaybackOptions o = Options();
    o.repeats = true;
    Play(*score, o);
    same();
    o.collectOnly = true;
    Play(*score, o);
    same();
    // A bad structure.
    Bar(*score, 1, 330, 3);
    Bar(*score, 1, 335, 3);
    TidyStave(*score, 1, false);
    const auto bad = std::make_unique<Score>(*score);
    ScriptedHost h;
    h.expectMessage("Playback aborted.");
    o.collectOnly = false;
    EXPECT_FALSE(GeneratePerformance(*score, h, o));
    EXPECT_HOST_CLEAN(h);
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(std::memcmp(&score->object(1, i), &bad->object(1, i), sizeof(ScoreObject)), 0);
    // A file that cannot be written.
    o.repeats = false;
    o.outputPath = dir.file("missing/out.mid");
    EXPECT_THROW(GeneratePerformance(*score, host, o), MidiError);
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(std::memcmp(&score->object(1, i), &bad->object(1, i), sizeof(ScoreObject)), 0);
}

TEST_F(PerformanceTest, TheSameScoreGivesTheSameBytes) {
    auto score = Voltas();
    PlaybackOptions o = Options();
    o.repeats = true;
    Play(*score, o);
    const auto first = test::ReadBytes(o.outputPath);
    Play(*score, o);
    EXPECT_EQ(test::ReadBytes(o.outputPath), first);
}

// ---- Read back by another reader ----

std::string RunPython(const std::string& script, const std::string& file) {
    const std::string command = std::string(SW_PYTHON) + " -c '" + script + "' '" + file + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "popen failed";
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

TEST_F(PerformanceTest, MidoReadsEveryFileWeWrite) {
    const std::string script =
        "import sys, mido\n"
        "f = mido.MidiFile(sys.argv[1])\n"
        "out = [str(len(f.tracks)), str(f.ticks_per_beat)]\n"
        "for t in f.tracks:\n"
        "  now = 0\n"
        "  for m in t:\n"
        "    now += m.time\n"
        "    if m.type == \"note_on\": out.append(\"%d:%d@%d\" % (m.channel, m.note, now))\n"
        "print(\" \".join(out))\n";
    auto score = Voltas();
    PlaybackOptions o = Options();
    o.repeats = true;
    Play(*score, o);
    EXPECT_EQ(RunPython(script, o.outputPath), "2 96 0:71@0 0:72@96 0:74@192 0:72@288 0:76@384\n");
    const std::string demo = dir.file("Temper.MID");
    TemperamentDemo(1).SaveTo(demo);
    EXPECT_EQ(RunPython(script, demo),
              "2 96 0:48@96 1:52@96 0:48@480 1:52@480 0:60@960 1:64@960 0:60@1344 1:64@1344 "
              "0:72@1824 1:76@1824 0:72@2208 1:76@2208\n");
}

}  // namespace
}  // namespace sw
