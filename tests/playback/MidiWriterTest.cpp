// The MIDI writer's bytes: deltas, meta events, channels, chunk lengths.
#include <gtest/gtest.h>

#include <vector>

#include "playback/MidiWriter.h"
#include "support/FailingIo.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using Bytes = std::vector<uint8_t>;

// The bytes a track holds after its 8-byte chunk header.
Bytes TrackBody(void (*write)(Tmidistream&)) {
    Tmidistream m;
    m.WriteHeader(1, 1, midi::kDivision);
    m.BeginTrack();
    write(m);
    m.EndTrack();
    return Bytes(m.bytes().begin() + 14 + 8, m.bytes().end());
}

TEST(MidiWriterTest, DeltasAreVariableLengthTicks) {
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteDelta(0.5); }), (Bytes{0x30}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteDelta(2); }), (Bytes{0x81, 0x40}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteDelta(0); }), (Bytes{0x00}));
    // 2^21 ticks take four bytes.
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteDelta((1 << 21) / 96.0); }),
              (Bytes{0x81, 0x80, 0x80, 0x00}));
}

TEST(MidiWriterTest, MetaEventsHaveTheirFixedShapes) {
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteTempo(120, 0); }),
              (Bytes{0, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
    EXPECT_TRUE(TrackBody([](Tmidistream& m) { m.WriteTempo(0, 0); }).empty());
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteTimeSignature(6, 8, 0); }),
              (Bytes{0, 0xFF, 0x58, 0x04, 0x06, 0x03, 0x18, 0x08}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteTimeSignature(3, 4, 0); }),
              (Bytes{0, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteTimeSignature(5, 3, 0); })[5], 2);
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteKeySignature(-3, 0); }),
              (Bytes{0, 0xFF, 0x59, 0x02, 0xFD, 0x00}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteEndOfTrack(0); }), (Bytes{0, 0xFF, 0x2F, 0}));
}

TEST(MidiWriterTest, TextLengthIsAVariableLengthQuantity) {
    const Bytes body = TrackBody([](Tmidistream& m) { m.WriteText(std::string(200, 'a')); });
    ASSERT_EQ(body.size(), 1u + 2 + 2 + 200);
    EXPECT_EQ(body[3], 0x81);
    EXPECT_EQ(body[4], 0x48);
}

TEST(MidiWriterTest, ChannelNineIsNeverUsed) {
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteNoteOn(9, 60, 100, 0); }),
              (Bytes{0, 0x9A, 60, 100}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteNoteOn(8, 60, 100, 0); }),
              (Bytes{0, 0x98, 60, 100}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteNoteOff(0, 61, 1); }),
              (Bytes{0x60, 0x80, 61, 0}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteAllSoundOff(2, 0); }),
              (Bytes{0, 0xB2, 120, 0}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WritePitchBend(0, 7631, 0); }),
              (Bytes{0, 0xE0, 7631 & 0x7F, 7631 >> 7}));
}

TEST(MidiWriterTest, ProgramsAreWrittenFromZero) {
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteProgramChange(0, 1, 0); }),
              (Bytes{0, 0xC0, 0}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteProgramChange(0, 128, 0); }),
              (Bytes{0, 0xC0, 127}));
    EXPECT_EQ(TrackBody([](Tmidistream& m) { m.WriteProgramChange(0, 0, 0); }),
              (Bytes{0, 0xC0, 0}));
}

TEST(MidiWriterTest, ChunksCarryTheirLengths) {
    Tmidistream m;
    m.WriteHeader(1, 2, 96);
    m.BeginTrack();
    m.WriteEndOfTrack(0);
    m.EndTrack();
    m.BeginTrack();
    EXPECT_TRUE(m.trackOpen());
    m.WriteNoteOn(0, 60, 100, 0);
    m.CloseOpenTrack();
    EXPECT_FALSE(m.trackOpen());
    const Bytes expected = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 1,    0,    2,    0,
                            96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0,    0xFF, 0x2F, 0,
                            'M', 'T', 'r', 'k', 0,   0, 0, 4, 0, 0x90, 60,   100};
    EXPECT_EQ(m.bytes(), expected);
}

TEST(MidiWriterTest, AbsoluteTimesAreRoundedSoTracksStayTogether) {
    // Quintuplet semiquavers: 19.2 ticks each; five make exactly a crotchet.
    const Bytes body = TrackBody([](Tmidistream& m) {
        for (int i = 0; i < 5; ++i)
            m.WriteDelta(0.2);
    });
    int sum = 0;
    for (uint8_t b : body)
        sum += b;
    EXPECT_EQ(sum, 96);
    EXPECT_EQ(body, (Bytes{19, 19, 20, 19, 19}));
}

TEST(MidiWriterTest, ValuesTheFileCannotHoldThrow) {
    Tmidistream m;
    m.WriteHeader(1, 1, 96);
    m.BeginTrack();
    EXPECT_THROW(m.WriteNoteOn(0, 128, 100, 0), MidiError);
    EXPECT_THROW(m.WriteNoteOn(0, 60, 200, 0), MidiError);
    EXPECT_THROW(m.WriteDelta(-1), MidiError);
    EXPECT_THROW(m.WriteDelta(double(1u << 28) / 96 + 1), MidiError);
    EXPECT_THROW(m.WriteNoteOn(15, 60, 100, 0), MidiError);
}

TEST(MidiWriterTest, TemperamentDemoPlaysThirdsInThreeOctaves) {
    const Tmidistream m = TemperamentDemo(20);
    const Bytes& b = m.bytes();
    ASSERT_GT(b.size(), 40u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 14),
              (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96}));
    const std::string text = "Produced by Tavisto Software";
    EXPECT_NE(std::string(b.begin(), b.end()).find(text), std::string::npos);
    // Track 2 starts with the program changes and the centred bend.
    const std::size_t t2 = 14 + 8 + 4 + text.size() + 7 + 4 + 8;
    EXPECT_EQ(Bytes(b.begin() + t2, b.begin() + t2 + 9),
              (Bytes{0, 0xC0, 19, 0, 0xC1, 19, 0, 0xE0, 0}));
    int noteOns = 0, pureBends = 0;
    for (std::size_t i = t2; i + 2 < b.size(); ++i) {
        if ((b[i] == 0x90 || b[i] == 0x91) && b[i + 2] == 100) ++noteOns;
        if (b[i] == 0xE1 && b[i + 1] == (7631 & 0x7F) && b[i + 2] == (7631 >> 7)) ++pureBends;
    }
    EXPECT_EQ(noteOns, 12);
    EXPECT_EQ(pureBends, 3);
    EXPECT_FALSE(m.trackOpen());
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// A MIDI file is written as every file is: a failure anywhere keeps the old
// file and leaves nothing half-written.
TEST(MidiFile, FailuresLeaveTheOldFileAndNoTemporary) {
    test::TempDir dir;
    const std::string target = dir.file("demo.mid");
    const Tmidistream demo = TemperamentDemo(1);
    test::ExpectFailuresLeaveNoTrace(dir.path(), target, [&](FileIo& io) {
        try {
            demo.SaveTo(target, io);
            return true;
        } catch (const MidiError&) {
            return false;
        }
    });
}

}  // namespace
}  // namespace sw
