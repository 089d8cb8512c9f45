// The beam links the note commands write, the conditions on a selection that
// enable the beam, tremolo and triplet tools, and the tuplets' names. Every
// link read from the score is checked before it is followed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/Beams.h"
#include "model/Score.h"

namespace sw {

// Pixels one note must lie left of the other for a beam across staves.
inline constexpr int kCrossStaveGap = 10;
// Pixels two notes of a tremolo beam lie apart at least.
inline constexpr int kTremoloGap = 24;
inline constexpr int kMaxTremoloBeams = 4;

// The staves a list of notes spans, or (0, -1) for none.
std::pair<int, int> StaveSpan(const std::vector<NoteRef>& notes);

// The note "Beam to previous" links note (s, i) back to: the nearest earlier
// sounding quaver or shorter with the same stem and head size that ends no
// group and shows its chord's flag. Needs the stave's geometry laid out.
std::optional<int> PreviousBeamCandidate(const Score& score, int s, int i);
// A sounding quaver or shorter: the notes beams join.
bool IsBeamableNote(const Score& score, const NoteRef& r);
// Whether note (s, i) may be beamed back at all (a sounding quaver or shorter
// not beamed back yet).
bool CanBeamBack(const Score& score, int s, int i);
void LinkBeam(Score& score, const NoteRef& from, const NoteRef& to);

// Clears the backward link of note (s, i) and, when the note it names is a
// Note on the flagged stave linking on to this one, that note's forward link.
// False when there was no link. `touched` gets both notes.
bool UnlinkBack(Score& score, int s, int i, std::vector<NoteRef>* touched = nullptr);
bool UnlinkOn(Score& score, int s, int i, std::vector<NoteRef>* touched = nullptr);

// The notes "Flat beam" changes: the whole group of a beamed quaver or
// shorter; empty when the note is not one.
std::vector<NoteRef> FlatBeamGroup(const Score& score, int s, int i);

// Beams two selected notes, or unbeams them when the left one is already
// linked on; across staves only when they are adjacent and more than
// kCrossStaveGap apart. Returns the notes changed (empty: nothing done).
std::vector<NoteRef> CrossStaveBeam(Score& score, NoteRef a, NoteRef b);

// The larger tremolo beam count on the two notes' chords.
int TremoloBeamsPreset(const Score& score, NoteRef a, NoteRef b);
// The note a tremolo beam joins note r to: the one it is beamed back to when
// r carries the tremolo, or the one it is beamed on to when that one does and
// links back to r. Nothing for a note without a tremolo partner.
std::optional<NoteRef> TremoloPartner(const Score& score, const NoteRef& r);
// A tremolo beam of `beams` (0..kMaxTremoloBeams) between two notes; 0 takes
// the beam away from notes of crotchet value and longer.
std::vector<NoteRef> TremoloBeam(Score& score, NoteRef a, NoteRef b, int beams);

// Marks the Notes among `notes` as triplets (3 in the time of 2).
std::vector<NoteRef> MakeTriplets(Score& score, const std::vector<NoteRef>& notes);

// The tool conditions, as functions of the selection.
bool BeamToolAllowed(const Score& score, const std::vector<NoteRef>& selection);
bool TremoloToolAllowed(const Score& score, const std::vector<NoteRef>& selection);
bool TripletsToolAllowed(const Score& score, const std::vector<NoteRef>& selection);

// "Triplets", "Quintuplets", "Duplets", or "n in the time of m".
std::string TupletLabel(int n, int m);

}  // namespace sw
