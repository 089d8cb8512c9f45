// Which way stems point: the whole-stave optimisation and reversing one
// note's stem. The two-part test is kept apart from the rule so that
// transposition can ask it before re-stemming.
#pragma once

#include <vector>

#include "model/Score.h"

namespace sw {

// True when somewhere on stave s an up and a down stem, or a rest and a
// note, start at the same x: optimising would merge two voices.
bool HasTwoParts(const Score& score, int s);

// Chooses stem directions for the notes of stave s at the given slots: chords
// of long notes by their outer pitches, single notes by their own, each beam
// group once from its first note over its members on this stave. Links to
// other staves are not followed and no other stave changes. Returns the slots
// whose stem changed.
std::vector<int> OptimiseStems(Score& score, int s, const std::vector<int>& slots);
// Every slot of stave s.
std::vector<int> AllSlots(const Score& score, int s);

// Up becomes down and down up for note i of stave s (not a rest, nor a note
// without a definite stem); the notes at its x that now share its stem take
// the shortest value among them. Returns the slots that changed.
std::vector<int> ReverseStem(Score& score, int s, int i);

}  // namespace sw
