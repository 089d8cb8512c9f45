// The MusicXML export's scanner: what it keeps while it walks the score and
// its performance, shared by the scan of the notes and the scan of the marks.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextMeasurer.h"
#include "core/TextUtil.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "playback/MusicXmlModel.h"
#include "playback/Performance.h"

namespace sw::mxl::scan {

constexpr uint8_t kStamp = 0xA5;  // the copy's notes carry their slot in working[0]
constexpr double kEpsilon = 1e-7;
constexpr double kTenthsPerPixel = 40.0 / 32;  // a stave is 32 page pixels and 40 tenths
constexpr int kMaxDivisions = 1 << 20;
constexpr int kNearNote = 24;    // a curve's end this close to a note belongs to it
constexpr int kLyricSlack = 10;  // a syllable centred this close under a note is its lyric
constexpr int kSnap = 12;        // a direction this close to a note starts with it
constexpr int kAccidentalReach = 60;
constexpr int kStaveHalf = 16;  // middle line to outer line, page pixels
constexpr int kVerseSlack = 4;  // syllables this close in height are one verse
constexpr int kNumbers = 16;    // slur, wedge and octave-shift numbers
constexpr int kHeadCentre = 4;  // from a note's x to the middle of its head
enum HeadSize { kSmallHead = 1, kAcciaccatura = 5 };
enum BarStyle {
    kNormal,
    kDouble,
    kRepeatStart,
    kRepeatEnd,
    kRepeatBoth,
    kFinal,
    kDotted,
    kDoubleDotted,
    kHalf
};
constexpr int kStartLeg = 0x02, kEndLeg = 0x04;
constexpr int kLegDown = 1, kLineWithGap = 3;
constexpr int kPitchClass[7] = {0, 2, 4, 5, 7, 9, 11};

struct System {
    int first = 0, last = 0;
};

struct Segment {
    int32_t from = INT32_MIN, to = INT32_MAX;
    int opening = -1, closing = -1;  // bar line objects on the first stave
    int measure = -1;                // -1: no measure (nothing in it)
};

struct Chord {
    int part = 0, measure = 0, voice = 1, pos = 0, stave = 0;
    int32_t x = 0;  // the written x of its first note
    std::vector<int> records;
    int note = -1;             // its first written note in the part's measure
    int prev = -1, next = -1;  // beam neighbours
};

// A slur, wedge or octave line from one place to another, numbered when all are known.
struct Spanner {
    int part = 0, kind = 0;  // 0 slur, 1 wedge, 2 octave shift
    int fromMeasure = 0, fromPos = 0, toMeasure = 0, toPos = 0;
    int startChord = -1, stopChord = -1;  // slurs
    bool above = true;
    std::string type;  // wedge: crescendo or diminuendo; octave: up or down
    int size = 8;
};

struct PartState {
    int clef = 0, clefOctave = 0;
    int key = 0, transpose = 0, lines = 5;
    bool small = false;
    bool started = false, clefSeen = false, keySeen = false;
};

struct NoteFlags {
    bool fermata = false, inverted = false, trill = false, arpeggio = false;
};

struct PendingAccidental {
    int32_t x;
    int measure;
    int8_t value;
    bool parentheses, small;
};

struct LyricItem {
    int32_t x, y;
    int chord;
    std::string text;
    bool hyphen;  // a "-" between two syllables
};

class Scanner {
  public:
    Scanner(const Score& score, Host& host, const TextMeasurer& measurer)
        : score_(score), host_(host), measurer_(measurer) {}

    Document run();

  private:
    void perform();
    void findSystems();
    void findMeasures();
    void timeMeasures();
    void chooseDivisions();
    void buildChords();
    void scanStaves();
    void scanStave(int k, int p, int s);
    void systemMarks(int k);
    void writeChord(int c, const PartState& st,
                    std::array<std::optional<PendingAccidental>, 256>& accidentals);
    void symbol(int p, int s, int i, int m);
    void curve(int p, int s, int i);
    void placeLyrics(int p, std::vector<LyricItem>& items);
    void finish();
    Note* firstNote(int c);
    void beams();
    void tuplets();
    void marks();
    void spanners();
    void titles();
    void page();
    void groups();

    int segmentOf(int k, int32_t x) const;
    int measureOf(int k, int32_t x) const;
    int posNear(int m, int32_t x) const;
    int posAtOrAfter(int m, int s, int32_t x) const;
    int chordNear(int s, int32_t x, int32_t reach) const;
    const ScoreObject* original(const PerformanceRecord& r) const;
    Note noteOf(const PerformanceRecord& r, const ScoreObject& o, const PartState& st) const;
    void pitchOf(Note& n, const PerformanceRecord& r, const NoteData& d, const PartState& st) const;
    Attributes& attributesAt(int p, int m, int pos);
    void skip(int message, int count, const std::string& what = {});
    std::string text(const StaveBlock& b, int i) const;
    TextFont fontOf(int number) const;

    const Score& score_;
    Host& host_;
    const TextMeasurer& measurer_;
    Document doc_;
    std::unique_ptr<Score> work_;
    Performance perf_, grace_;
    bool performed_ = false;
    std::vector<System> systems_;
    std::vector<std::vector<Segment>> segments_;              // by system
    std::vector<std::vector<std::pair<int32_t, int>>> bars_;  // by system: x, object
    int parts_ = 0;
    std::vector<int> recordOf_;  // stave * 256 + slot → record
    std::vector<int> graceOf_;   // the same in the grace pass
    std::vector<Chord> chords_;
    std::vector<int> chordOf_;                   // by record
    std::vector<std::vector<int>> staveChords_;  // by stave, in x order
    std::vector<Spanner> spanners_;
    std::vector<std::vector<std::pair<int32_t, int>>> measureEntries_;  // x, position of notes
    std::set<std::pair<int, int>> consumed_;  // stave, object: said by something else
    std::vector<PartState> states_;
    std::vector<int> openSlurs_;  // by part: a slur leaving the system from this chord
    std::vector<std::array<bool, 8>> openHyphens_;  // by part and verse
    std::map<int, std::vector<Lyric>> lyrics_;      // by chord
    std::map<int, NoteFlags> flags_;                // by chord
    // What was left out, by message.
    std::map<int, int> skippedCounts_;
    std::map<std::string, int> skippedSymbols_;
    std::vector<double> lengths_;
};

// Helpers both halves of the scan use.
inline double ValueLength(int value) {
    return 8.0 / (1 << std::clamp(value, 0, 7));
}
inline std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace sw::mxl::scan
