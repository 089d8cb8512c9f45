// Standard MIDI File bytes: big-endian chunk headers, variable-length deltas.
#include "playback/MidiWriter.h"

#include <cmath>
#include <cstdio>

namespace sw {

namespace {
constexpr uint8_t kMeta = 0xFF;
constexpr uint8_t kMetaText = 0x01, kMetaEnd = 0x2F, kMetaTempo = 0x51, kMetaTime = 0x58,
                  kMetaKey = 0x59;
constexpr int kNoteOff = 0x80, kNoteOn = 0x90, kControl = 0xB0, kProgram = 0xC0, kBend = 0xE0;
constexpr int kAllSoundOff = 120;
constexpr int kMicrosPerMinute = 60000000;
constexpr int kMaxText = 255;
}  // namespace

int MidiChannel(int channel) {
    return channel < midi::kPercussionChannel ? channel : channel + 1;
}

void Tmidistream::Byte(int value) {
    bytes_.push_back(static_cast<uint8_t>(value));
}

void Tmidistream::DataByte(int value) {
    if (value < 0 || value > 127) throw MidiError("MIDI data byte out of range");
    Byte(value);
}

void Tmidistream::Be16(int value) {
    Byte((value >> 8) & 0xFF);
    Byte(value & 0xFF);
}

void Tmidistream::Be32(uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        Byte(static_cast<int>((value >> shift) & 0xFF));
}

void Tmidistream::Vlq(uint32_t value) {
    if (value > midi::kMaxDelta) throw MidiError("MIDI delta time too large");
    uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1)
        Byte(groups[--n] | 0x80);
    Byte(groups[0]);
}

void Tmidistream::WriteHeader(int format, int tracks, int division) {
    for (char c : std::string("MThd"))
        Byte(c);
    Be32(6);
    Be16(format);
    Be16(tracks);
    Be16(division);
    division_ = division;
}

void Tmidistream::BeginTrack() {
    if (trackOpen_) EndTrack();
    trackStart_ = bytes_.size();
    for (char c : std::string("MTrk"))
        Byte(c);
    Be32(0);
    trackOpen_ = true;
    trackTime_ = 0;
    trackTicks_ = 0;
}

void Tmidistream::EndTrack() {
    if (!trackOpen_) return;
    const uint32_t length = static_cast<uint32_t>(bytes_.size() - trackStart_ - 8);
    for (int i = 0; i < 4; ++i)
        bytes_[trackStart_ + 4 + i] = static_cast<uint8_t>((length >> (24 - 8 * i)) & 0xFF);
    trackOpen_ = false;
}

void Tmidistream::CloseOpenTrack() {
    if (trackOpen_) EndTrack();
}

void Tmidistream::WriteDelta(double delta) {
    if (!(delta >= 0) && !(delta > -1e-9)) throw MidiError("negative MIDI delta time");
    trackTime_ += std::max(0.0, delta);
    // nearbyint rounds halves to even in the default rounding mode.
    const double ticks = std::nearbyint(trackTime_ * division_);
    if (ticks > static_cast<double>(INT64_MAX / 2)) throw MidiError("MIDI delta time too large");
    const int64_t d = static_cast<int64_t>(ticks) - trackTicks_;
    if (d < 0 || d > static_cast<int64_t>(midi::kMaxDelta))
        throw MidiError("MIDI delta time out of range");
    Vlq(static_cast<uint32_t>(d));
    trackTicks_ += d;
}

void Tmidistream::WriteText(const std::string& text) {
    const std::string t = text.substr(0, kMaxText);
    WriteDelta(0);
    Byte(kMeta);
    Byte(kMetaText);
    Vlq(static_cast<uint32_t>(t.size()));
    for (char c : t)
        Byte(static_cast<uint8_t>(c));
}

void Tmidistream::WriteTempo(int bpm, double delta) {
    if (bpm <= 0) return;
    const int micros = kMicrosPerMinute / bpm;
    WriteDelta(delta);
    Byte(kMeta);
    Byte(kMetaTempo);
    Byte(3);
    Byte((micros >> 16) & 0xFF);
    Byte((micros >> 8) & 0xFF);
    Byte(micros & 0xFF);
}

void Tmidistream::WriteEndOfTrack(double delta) {
    WriteDelta(delta);
    Byte(kMeta);
    Byte(kMetaEnd);
    Byte(0);
}

void Tmidistream::Status(int base, int channel, double delta) {
    if (channel < 0 || channel > 14) throw MidiError("MIDI channel out of range");
    WriteDelta(delta);
    Byte(base + MidiChannel(channel));
}

void Tmidistream::WriteProgramChange(int channel, int program, double delta) {
    Status(kProgram, channel, delta);
    DataByte(program == 0 ? 0 : program - 1);
}

void Tmidistream::WriteNoteOn(int channel, int key, int velocity, double delta) {
    Status(kNoteOn, channel, delta);
    DataByte(key);
    DataByte(velocity);
}

void Tmidistream::WriteNoteOff(int channel, int key, double delta) {
    Status(kNoteOff, channel, delta);
    DataByte(key);
    DataByte(0);
}

void Tmidistream::WriteAllSoundOff(int channel, double delta) {
    Status(kControl, channel, delta);
    DataByte(kAllSoundOff);
    DataByte(0);
}

void Tmidistream::WriteKeySignature(int sharpsOrFlats, double delta) {
    WriteDelta(delta);
    Byte(kMeta);
    Byte(kMetaKey);
    Byte(2);
    Byte(static_cast<uint8_t>(static_cast<int8_t>(sharpsOrFlats)));
    Byte(0);
}

void Tmidistream::WriteTimeSignature(int numerator, int denominator, double delta) {
    int dd = 2;
    switch (denominator) {
        case 1:
            dd = 0;
            break;
        case 2:
            dd = 1;
            break;
        case 8:
            dd = 3;
            break;
        case 16:
            dd = 4;
            break;
        case 32:
            dd = 5;
            break;
        case 64:
            dd = 6;
            break;
        case 128:
            dd = 7;
            break;
        default:
            break;
    }
    WriteDelta(delta);
    Byte(kMeta);
    Byte(kMetaTime);
    Byte(4);
    Byte(numerator & 0xFF);
    Byte(dd);
    Byte(0x18);
    Byte(0x08);
}

void Tmidistream::WritePitchBend(int channel, int value, double delta) {
    Status(kBend, channel, delta);
    Byte(value & 0x7F);
    Byte((value >> 7) & 0x7F);
}

void Tmidistream::SaveTo(const std::string& path, FileIo& io) const {
    const int e = WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()), io);
    if (e != 0) throw MidiError(WriteErrorText(e, false));
}

Tmidistream TemperamentDemo(int program) {
    constexpr int kPureThirdBend = 7631;  // about 13.7 cents flat
    constexpr int kVelocity = 100, kTempo = 120;
    Tmidistream m;
    m.WriteHeader(1, 2, midi::kDivision);
    m.BeginTrack();
    m.WriteText("Produced by Tavisto Software");
    m.WriteTempo(kTempo, 0);
    m.WriteEndOfTrack(0);
    m.EndTrack();
    m.BeginTrack();
    m.WriteProgramChange(0, program, 0);
    m.WriteProgramChange(1, program, 0);
    m.WritePitchBend(0, midi::kCentreBend, 0);
    for (int k = -1; k <= 1; ++k) {
        m.WritePitchBend(1, midi::kCentreBend, 0);
        m.WriteNoteOn(0, 60 + 12 * k, kVelocity, 1);
        m.WriteNoteOn(1, 64 + 12 * k, kVelocity, 0);
        m.WriteNoteOff(0, 60 + 12 * k, 4);
        m.WriteNoteOff(1, 64 + 12 * k, 0);
        m.WritePitchBend(1, kPureThirdBend, 0);
        m.WriteNoteOn(0, 60 + 12 * k, kVelocity, 0);
        m.WriteNoteOn(1, 64 + 12 * k, kVelocity, 0);
        m.WriteNoteOff(0, 60 + 12 * k, 4);
        m.WriteNoteOff(1, 64 + 12 * k, 0);
    }
    m.WriteEndOfTrack(0);
    m.EndTrack();
    m.CloseOpenTrack();
    return m;
}

}  // namespace sw
