// The 22-byte records of a score file: their layouts, and the packing of notes
// and of the older record forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/Score.h"

namespace sw {

constexpr int kRecordSize = 22;
constexpr int kKindDataSize = 14;
constexpr uint16_t kWriterVersion = 501;
using Record = std::array<uint8_t, kRecordSize>;

// Little-endian field access within a record.
inline uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t GetI16(const uint8_t* p) {
    return static_cast<int16_t>(GetU16(p));
}
inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    PutU16(p, v & 0xFFFF);
    PutU16(p + 2, v >> 16);
}

// A length byte followed by at most `max` characters; the length is clamped to
// what the field can hold.
std::string GetString(const uint8_t* p, int max);
void PutString(uint8_t* p, const std::string& s, int max);

// Inches <-> thousandths of an inch, as the file stores lengths.
uint16_t InchesToFile(double inches);
inline double InchesFromFile(uint16_t v) {
    return v / 1000.0;
}

// How many bytes of each kind's data the file keeps (Notes are packed instead).
int StoredKindBytes(int kind);

void PackNote(const NoteData& n, uint8_t out[kKindDataSize]);
void UnpackNote(const uint8_t in[kKindDataSize], NoteData& n);
// Rewrites a note's flag bytes from the layout of versions 300-499.
void ConvertOlderNoteRecord(uint8_t data[kKindDataSize]);
// The time signature bytes a CommonTime code stands for.
TimesigData CommonTimeToTimesig(uint8_t code);

// Description records: how many a description of this length needs (1..3),
// and the header bits that say so.
int DescriptionRecordCount(std::size_t length);
uint8_t DescriptionCountBits(int records);
int DescriptionCountFromFlags(uint8_t flags);

}  // namespace sw
