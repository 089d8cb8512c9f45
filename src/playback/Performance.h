// Performance generation: a range of the score turned into timed notes,
// signatures and repeat marks, unfolded and written as a MIDI file, or only
// the x-to-time table that neatening spaces notes by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/AtomicFile.h"
#include "model/Score.h"

namespace sw {

class Host;

enum class PlayRange { Stave = 0, Braced = 1, System = 2, Page = 3, Score = 4 };

struct PlaybackOptions {
    std::string outputPath;
    FileIo* io = nullptr;  // the system's calls unless a test stands in
    bool save = false;     // "Save Midi": the pickup bar is filled out
    int tempo = 120;       // crotchets per minute
    bool collectOnly = false;
    int proximity = 5;
    bool graceNotes = false;
    bool repeats = false;
    bool continueOn = false;
    PlayRange range = PlayRange::Score;
    int firstStave = 1, lastStave = 1;
    int instrument = 0;  // 0: each stave's own
    int volume = 127;
    int temperament = 0;  // 0 equal … 4 bagpipe
    int defaultInstrument = 1;
    // Notes of every head shape take their time (exporting the written
    // music), not only the normal heads that sound.
    bool everyHead = false;
    // The score is a throwaway copy: it is left aligned and tidied as
    // generation leaves it, with no snapshot taken or put back.
    bool scratch = false;
};

// Where a record sits: by system, then by x.
struct TimeKey {
    int32_t system = 0;
    int32_t x = 0;
    auto operator<=>(const TimeKey&) const = default;
};

enum RecordKind : uint8_t {
    kRecordNote = 0,
    kRecordKeysig = 1,
    kRecordTimesig = 2,
    kRecordBar = 3
};

struct PerformanceRecord {
    double time = 0;
    double duration = 0;  // the notated length of the whole tie chain
    double own = 0;       // this note's own length: what the voice advances by
    TimeKey key;
    int16_t voice = 1;
    uint16_t stave = 0;
    uint8_t object = 0;
    bool mark = false;
    uint8_t kind = kRecordNote;
    int8_t value1 = 0;
    uint8_t value2 = 0;
    double sounding = 0;
    double notated = 0;
    double spacing = 0;
    int keyNumber = -1;   // -1: no MIDI key (rest, mark, outside 0..127)
    int partnerKey = -1;  // two-note tremolo
    uint8_t stem = 0;
    bool firstOfBar = false;
    NoteData note{};
    char letter = 'Z';
    bool repeatStart = false, repeatEnd = false, bracket = false;
    bool sounds() const { return kind == kRecordNote && !mark && keyNumber >= 0; }
};

// TxtoTarray: one entry per key at which a note, rest or repeat mark starts.
struct TimeEntry {
    TimeKey key;
    double time = -1;
    double longest = 0;
    double shortest = 0;
    bool firstOfBar = false;
};

enum MidiEventKind : uint8_t {
    kEventNoteOff = 1,
    kEventKeysig = 2,
    kEventTimesig = 3,
    kEventNoteOn = 4
};

struct MidiEvent {
    double time = 0;
    uint8_t track = 1;
    uint8_t kind = kEventNoteOn;
    int8_t data1 = 0;
    uint8_t data2 = 0;
};

struct TrackInfo {
    int instrument = 1;   // above 128: silent
    int pitchClass = -1;  // with a temperament
};

struct Performance {
    std::vector<PerformanceRecord> records;  // sorted
    std::vector<TimeEntry> table;            // TxtoTarray
    std::vector<MidiEvent> events;           // sorted, pickup included
    std::vector<TrackInfo> tracks;           // tracks 1..n at 0..n-1
    double pickup = 0;
};

// Runs the range of `options` over the score, which is the same afterwards on
// every path (unless `scratch` says it may stay changed). False when nothing was written (no notes,
// a bad repeat structure); a file that cannot be written throws MidiError.
bool GeneratePerformance(Score& score, Host& host, const PlaybackOptions& options,
                         Performance* out = nullptr);

// Deviation of a pitch class from equal temperament in cents, and its bend.
double TemperamentCents(int temperament, int pitchClass);
int TemperamentBend(int temperament, int pitchClass);

// Length in quarter notes of a note by its value, dots, tuplet and head size.
double NoteLength(const NoteData& n);

// The letter (0 C … 6 B) of stave position `pitch` under clef code `clef`,
// and the MIDI key of that position with no accidental, key or octave line.
int NoteLetter(int clef, int pitch);
int StaveKey(int clef, int pitch);

// An octave line on a stave: its sign (object `sign`, a row of the 8va, 8vb or
// 15ma glyph) and the line that continues it (object `line`, 0 for none)
// shift the notes from x `from` to `to` by `shift` semitones.
struct OctaveSpan {
    int32_t from, to;
    int shift;
    int sign, line;
};
std::vector<OctaveSpan> OctaveSpans(const StaveBlock& b);

}  // namespace sw
