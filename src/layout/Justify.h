// Where the music of a stave begins, stretching or squeezing a system's music
// to its right end, and moving a system's ends to the cursor.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

// The kinds that make up the horizontal flow of the music.
bool IsMusicKind(int kind);
// An Immobile text (kinds 16, 20, 21): never moved by spacing.
bool IsImmobileText(const ScoreObject& o);
// Keeps a computed x within what a stored position can hold.
int32_t StorableX(double x);
// Where a note that moves from oldX to newX may go: a note between its
// stave's ends stays between them, since tidying drops notes outside.
int32_t KeepNoteInside(const StaveHeader& h, int32_t oldX, int32_t newX);

// The width the key signature at slot i draws: its cancelling naturals and
// its own signs, each one pen advance.
int KeysigWidth(const StaveBlock& b, int i);

// One object as the start of the music sees it: its kind, x, and the x its
// ink reaches (clef: its right ink edge; key: x + width; time: x + 10).
struct LeadItem {
    int kind = kNothing;
    int32_t x = 0, end = 0;
};
LeadItem LeadItemOf(const StaveBlock& b, int i);

struct MusicStartInfo {
    int32_t x = 0;
    bool byBarline = false;  // the walk ended at a bar line, which set the start
};
// The walk over a stave's opening objects, in order, from its left end.
MusicStartInfo MusicStartFrom(int32_t leftX, const std::vector<LeadItem>& items);
// The x at which notes may begin on stave s, after its opening clef, key and
// time signature.
int32_t MusicStart(const Score& score, int s);
// The smallest over staves first..last.
int32_t SystemMusicStart(const Score& score, int first, int last);

struct JustifyOutcome {
    enum Result {
        Done,
        Empty,          // the system holds no objects: nothing to say
        NothingBeyond,  // no object right of from
        NoRoom,         // the right end is not right of from
    } result = Empty;
    bool offPaper = false;  // something now lies beyond the page picture
    int first = 0, last = 0;
};
// Stretches or squeezes everything of the system of stave s right of `from`
// (Immobile texts aside) so that the rightmost object lands on the right end
// of stave s. Nothing changes unless the result is Done.
JustifyOutcome Justify(Score& score, int s, int32_t from);

enum class ChopSide { Left, Right };
struct ChopOutcome {
    enum Result {
        Done,
        MusicInTheWay,  // a music object on the wrong side, on `stave`
        NoRoom,         // the left end would reach the right one (or the reverse)
    } result = NoRoom;
    int stave = 0;
};
// Moves the left or right end of every stave of the system of stave s to x.
ChopOutcome Chop(Score& score, int s, int32_t x, ChopSide side);

}  // namespace sw
