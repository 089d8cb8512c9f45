// What one play or save covers: the staves of a range around a stave, with
// the score's own playback settings, and the owner-only temporary file the
// player reads.
#pragma once

#include <string>

#include "playback/Performance.h"

namespace sw {

// The options for `range` around stave `stave` (1..Nstaves): its staves,
// continue-on forced for the whole piece, and the score's tempo, proximity,
// grace notes and temperament.
PlaybackOptions OptionsForRange(const Score& score, PlayRange range, int stave);

// A new empty file "SWP….MID" in $TMPDIR (else /tmp), created exclusively and
// readable only by its owner; empty when it cannot be made.
std::string CreatePlaybackFile();

}  // namespace sw
