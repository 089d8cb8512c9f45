// The byte-level Standard MIDI File writer: header, track chunks with their
// lengths fixed up afterwards, and delta-timed channel and meta events.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/AtomicFile.h"

namespace sw {

// Raised for a value the file format cannot hold and for a file that cannot
// be written.
class MidiError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace midi {
constexpr int kDivision = 96;                   // ticks per quarter note
constexpr uint32_t kMaxDelta = (1u << 28) - 1;  // four bytes of variable-length quantity
constexpr int kPercussionChannel = 9;
constexpr int kCentreBend = 8192;
}  // namespace midi

// The bytes of a MIDI file, built in memory and written out whole. The
// division and the open track belong to the writer, so writers are
// independent of each other.
class Tmidistream {
  public:
    void WriteHeader(int format, int tracks, int division);
    void BeginTrack();
    void EndTrack();
    void CloseOpenTrack();

    // Deltas are in quarter notes. Absolute times within a track are rounded,
    // not each delta by itself, so tracks never drift apart.
    void WriteDelta(double delta);
    void WriteText(const std::string& text);
    void WriteTempo(int bpm, double delta);
    void WriteEndOfTrack(double delta);
    void WriteProgramChange(int channel, int program, double delta);
    void WriteNoteOn(int channel, int key, int velocity, double delta);
    void WriteNoteOff(int channel, int key, double delta);
    void WriteAllSoundOff(int channel, double delta);
    void WriteKeySignature(int sharpsOrFlats, double delta);
    void WriteTimeSignature(int numerator, int denominator, double delta);
    void WritePitchBend(int channel, int value, double delta);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    int division() const { return division_; }
    bool trackOpen() const { return trackOpen_; }

    // Replaces any file at `path` as every file is written (beside it, then
    // renamed); throws MidiError, the old file untouched, when it cannot.
    void SaveTo(const std::string& path, FileIo& io = SystemFileIo()) const;

  private:
    void Byte(int value);
    void DataByte(int value);
    void Be16(int value);
    void Be32(uint32_t value);
    void Vlq(uint32_t value);
    void Status(int base, int channel, double delta);

    std::vector<uint8_t> bytes_;
    int division_ = midi::kDivision;
    std::size_t trackStart_ = 0;
    bool trackOpen_ = false;
    double trackTime_ = 0;    // quarter notes since the track began
    int64_t trackTicks_ = 0;  // ticks written so far in the track
};

// Caller channels 0..14 on MIDI channels 0..8 and 10..15: 9 is percussion.
int MidiChannel(int channel);

// The temperament demonstration: an equal-tempered major third C-E and then
// the pure one, in three octaves, with `program` on both channels.
Tmidistream TemperamentDemo(int program);

}  // namespace sw
