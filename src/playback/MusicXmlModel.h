// The MusicXML export's picture of the score: parts of measures of notes,
// directions and attribute changes, every position and length already in
// divisions. The scan fills it from the score and its performance; the
// writer turns it into the document.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sw::mxl {

enum class Syllabic : uint8_t { Single, Begin, Middle, End };

struct Lyric {
    int verse = 1;
    Syllabic syllabic = Syllabic::Single;
    std::string text;  // UTF-8
};

// A start or stop of a slur or tuplet carried by a note.
struct NoteMark {
    enum Kind : uint8_t { Slur, Tuplet } kind = Slur;
    bool start = true;
    int number = 1;
    bool above = true;
};

struct Beam {
    int level = 1;
    const char* type = "begin";  // continue, end, forward hook, backward hook
};

struct Note {
    int pos = 0;       // divisions from the start of the measure
    int duration = 0;  // 0 for grace notes
    int voice = 1;
    bool chord = false;  // sounds with the note written before it
    bool rest = false, measureRest = false;
    bool grace = false, slash = false, cue = false;
    char step = 'C';
    int alter = 0, octave = 4;
    int value = 3;  // noteValue: 0 breve … 7 hemidemisemiquaver
    int dots = 0;
    int actual = 0, normal = 0;     // tuplet: actual notes in the time of normal
    int stem = -1;                  // 0 up, 1 down, 2 none; -1 not written
    int head = 0;                   // head shape code of the note record
    std::optional<int> accidental;  // as printed: -2..2
    bool accidentalParentheses = false, accidentalSmall = false;
    bool tieStart = false, tieStop = false;
    std::vector<Beam> beams;
    std::vector<NoteMark> marks;
    uint8_t staccato = 0, emphasis = 0;  // the record's codes
    bool above = true;                   // where head-side marks go
    bool fermata = false, fermataInverted = false, trill = false, arpeggio = false;
    int tremolo = 0;  // single-note tremolo strokes
    std::vector<Lyric> lyrics;
    int chordId = -1;  // the scan's own reference
};

struct Direction {
    enum Kind : uint8_t { Words, Dynamic, Wedge, OctaveShift, Pedal, Segno } kind = Words;
    int pos = 0;
    bool above = true;
    std::string text;  // the words, the dynamic, or the wedge/octave/pedal type
    int number = 1;
    int size = 8;  // octave shift
    std::string fontFamily;
    int fontSize = 0;
    bool bold = false, italic = false;
};

struct Clef {
    int type = 0;  // 0 treble, 1 bass, 2 alto, 3 tenor, 4 percussion
    int octave = 0;
};

struct Time {
    int beats = 4, beatType = 4;
    const char* symbol = nullptr;  // common, cut, single-number
};

struct Attributes {
    int pos = 0;
    std::optional<int> key;
    std::optional<Time> time;
    std::optional<Clef> clef;
    std::optional<int> transpose;  // semitones
    int lines = 0;                 // stave lines, when not 5
    bool small = false;
};

struct Barline {
    const char* style = nullptr;  // bar-style, or none
    bool repeat = false;
    int ending = 0;                    // ending number, 0 none
    const char* endingType = nullptr;  // start, stop, discontinue
    std::string endingText;
    bool any() const { return style || repeat || ending; }
};

struct Measure {
    int system = 0;
    int32_t fromX = 0, toX = 0;  // the stretch of the system's first stave it covers
    double start = 0;            // quarter notes from the start of the piece
    double quarters = 0;         // its length
    int length = 0;              // in divisions
    double barQuarters = 0;      // the time signature's bar, 0 without one
    std::string number;
    bool implicit = false;
    bool newSystem = false, newPage = false;
    double width = 0;  // tenths
    Barline left, right;
};

struct PartMeasure {
    std::vector<Note> notes;  // by voice, then position
    std::vector<Direction> directions;
    std::vector<Attributes> attributes;  // by position
};

struct Part {
    std::string name;
    int program = 0;  // General MIDI 1..128, 0 none
    std::vector<PartMeasure> measures;
};

struct Group {
    int first = 0, last = 0;  // parts, 0-based
    const char* symbol = "brace";
    bool barline = false;
};

struct Document {
    std::string title, composer, lyricist;
    int titleSize = 20, creditSize = 11;  // points
    double millimetres = 7;               // of 40 tenths
    double pageWidth = 0, pageHeight = 0;
    double left = 0, right = 0, top = 0, bottom = 0, gutter = 0;  // tenths
    bool facing = false;
    int divisions = 1;
    int tempo = 0;
    std::vector<Measure> measures;
    std::vector<Part> parts;
    std::vector<Group> groups;
    std::vector<std::string> skipped, warnings;
};

}  // namespace sw::mxl

namespace sw {
class Host;
class TextMeasurer;
class Score;
namespace mxl {
// The document of the score: the scan of its staves and performance.
Document Scan(const Score& score, Host& host, const TextMeasurer& measurer);
// The MusicXML text of the document.
std::string Write(const Document& doc);
}  // namespace mxl
}  // namespace sw
