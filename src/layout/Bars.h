// Bars: where the bars of a system begin and end, the numbers of bars and
// systems, and the moving of the music of bars whose bounds moved. Bar lines
// live on the top stave of a system only; its other staves share them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/Score.h"

namespace sw {

// The bounds of the bars of stave s, normally the top stave of a system:
// x[0] is the start of the music, then come the bar lines in object order,
// all but the opening one. Bar k (1 ≤ k < count()) runs from x[k − 1] to
// x[k], its closing bar line included; a list of one entry has no clear bar.
struct BarBounds {
    std::vector<int32_t> x;
    std::vector<int> barline;  // the object at each entry; [0] the opening bar line or 0
    bool opening = false;      // the music starts at an opening bar line
    int count() const { return static_cast<int>(x.size()); }
};
BarBounds BarList(const Score& score, int s);

// True when the last clef, key or time signature, bar line or note of stave
// s is a bar line.
bool EndsWithBarline(const Score& score, int s);

// The number of the bar at x in the system of stave s: that of the last bar
// line of the top stave at or before x, else the system's own number.
int BarNumberAt(const Score& score, int s, int32_t x);

// Bar numbers are signed 16-bit: counting stops here.
constexpr int kMaxBarNumber = 32767;
// Where a system shows bar numbers (`barNumberPlace` of its top stave).
enum BarNumberPlace : uint8_t {
    kNumbersNone = 0,
    kNumbersUpperLeft = 1,
    kNumbersLeft = 2,
    kNumbersAtBarlines = 3
};
// A numbering frequency the user may choose: 1, 2, 5 or 10.
bool ValidNumberingFrequency(int frequency);

// One entry of a system's time table, in the table's order: a position where
// a note, rest or repeat mark starts, its time in crotchets from the start
// of the system and the longest duration that starts there.
struct TimedPosition {
    int32_t x = 0;
    double time = 0;
    double longest = 0;
};
// The time table of the system whose top stave is given; empty when the
// system has nothing to time. It may change the score while it works but
// leaves it as it was. Layout does not time music itself: the editor passes
// the performance's collect-only table.
using SystemTimeTable = std::function<std::vector<TimedPosition>(int topStave)>;

// The crotchets from the start of the system of stave s to its first bar
// line: the time of the first position after that bar line or, with none,
// the end of the longest note before it. 0 without a bar line or a table.
double FirstBarDuration(const Score& score, int s, const SystemTimeTable& times);
// True when the first bar of s's system is shorter or longer than the bar
// length of the time signature in force there (the last one on the top
// staves up to its first bar line; 4 crotchets without one). A system that
// cannot be timed counts its first bar as whole.
bool FirstBarIncomplete(const Score& score, int s, const SystemTimeTable& times);

// What a renumbering writes, worked out before anything is written: every
// system's number (and, from Refresh, its place) and every bar line's
// number and show flag.
struct BarNumbering {
    struct SystemEntry {
        int first = 0, last = 0;  // the staves of the system
        uint16_t number = 0;      // the bar in progress at its start
        int place = -1;           // -1: the top stave's place stays
    };
    struct BarEntry {
        int stave = 0, object = 0;
        int16_t number = 0;  // the bar that begins at this bar line
        bool show = false;
    };
    std::vector<SystemEntry> systems;
    std::vector<BarEntry> bars;
};

// The keyboard renumbering of the whole score from 1: every bar line after
// the first of a system starts a new bar (empty bars too), and the number
// shows where it is a multiple of the frequency (1 unless 1, 2, 5 or 10),
// never at a system's last bar line.
BarNumbering RenumberBars(const Score& score, int frequency);
// The dialog's renumbering from `first` (1..32767): a bar counts only when
// it holds a note or rest, and a system's short first bar (a pickup, a bar
// carried over from the system before) continues the number in progress.
// Every top stave takes `place` (0..3); numbers show at bar lines only with
// place 3 and a frequency of 1 or more. Empty for a `first` or `place` out
// of range.
BarNumbering RefreshBarNumbers(const Score& score, int first, int place, int frequency,
                               const SystemTimeTable& times);
// The headers and bar lines the numbering would change, each once; none when
// it would change nothing.
std::vector<StavePart> PartsChangedBy(const Score& score, const BarNumbering& numbering);
void ApplyBarNumbering(Score& score, const BarNumbering& numbering);

// Re-spacing bars. Drag: after a bar line is dropped with Ctrl, the music of
// every kind on both sides follows it, up to the page picture's width. Key:
// after key signatures change width, the clefs, signatures and notes of
// every bar follow, up to the system's right end.
enum class RespaceVariant { Drag, Key };

// One byte per page column 0..limit, 1 under the ink of the objects the
// variant marks (every stave of the system of s, objects whose x lies in
// from..to). Ink outside 0..limit is left out.
std::vector<uint8_t> MarkOccupancy(const Score& score, int s, RespaceVariant variant, int32_t from,
                                   int32_t to, int32_t limit);

// Moves the music of bars lo+1..hi of the system of stave s from the old
// bounds `from` to the new bounds `to` (same indexing, 0 ≤ lo < hi <
// size): bound `lo` goes to to[lo] and within each bar the empty columns
// stretch or shrink while ink keeps its width; what lies outside the bars
// stays. Drag: indexes as BarList gives them, the walk starting past every
// stave's opening signatures when lo is 0, and the column of bound `hi`
// mapped too. Key: `from` is the bar list with entry 0 the old end of the
// key signatures, lo 0 and hi its last index, whose column stays. True when
// something moved; bounds that do not fit move nothing.
bool RespaceBars(Score& score, int s, const std::vector<int32_t>& from,
                 const std::vector<int32_t>& to, int lo, int hi, RespaceVariant variant);

// The Ctrl-drop of bar line i of top stave s, still at its old x, at x
// (kept between its neighbours): the bars on either side are re-spaced so
// that it lands there. False, with nothing changed, for a drop that moves
// nothing and for a bar line the bar list does not hold (the opening one,
// one of a lower stave), which is moved plainly.
bool RespaceDroppedBarline(Score& score, int s, int i, int32_t x);

// The attachments overlay's right-button labels for the systems of a page:
// for each bar of the top stave the share of its columns under ink, "…%",
// 40 pixels above the stave, and the system's total 40 pixels below it.
struct OccupancyLabel {
    int32_t x = 0, y = 0;
    std::string text;
};
std::vector<OccupancyLabel> OccupancyLabels(const Score& score, int page);

}  // namespace sw
