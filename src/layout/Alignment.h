// Note alignment: notes whose x positions lie close together are put at one
// common x. Playback runs it over each system before timing, so it keeps no
// state, asks nothing and has no limit on the number of notes.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Score.h"

namespace sw {

struct AlignOptions {
    int proximity = 5;             // the dialog offers 1..20, playback up to 40
    bool includeAllRests = false;  // semibreve rests too
    bool includeGrace = false;     // small-headed notes too
    bool average = true;           // else the leftmost note's x
};

struct NoteMove {
    int s, i;
    int32_t from, to;
};

// Where the notes of staves first..last go: each group of notes, sorted by x
// (stave, then slot, on equal x), whose neighbours lie at most `proximity`
// apart. Only the notes that move are listed.
std::vector<NoteMove> PlanAlignment(const Score& score, int first, int last,
                                    const AlignOptions& options);

// Moves the planned notes with the accidentals standing at their old x with
// their pitch, marks their geometry stale and tidies the staves that changed.
// Returns those staves.
std::vector<int> ApplyAlignment(Score& score, const std::vector<NoteMove>& moves);

// Both, over staves first..last together.
std::vector<int> AlignNotes(Score& score, int first, int last, const AlignOptions& options);

}  // namespace sw
