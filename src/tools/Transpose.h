// Transposition and clef change: the written music of some staves moved by
// semitones (key signatures, notes, accidentals, chord texts), their clefs
// changed with the notes keeping their pitch, stems chosen again and the bars
// of a system respaced when its key signatures change width.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

class Host;

// The key (sharps positive, flats negative) a semitone up (direction > 0) or
// down; a key outside -7..7 is read as the nearest one inside.
int KeyStep(int key, int direction);

// A transposable text moved a semitone: every letter A-G with the sharp or
// flat sign (characters 27 and 29) right after it is renamed. A sign that
// must go into a text already `capacity` long pushes out its last
// character; trailing spaces go and the result is at most `capacity` long.
std::string TransposeChordText(const std::string& text, int direction, std::size_t capacity);

// The staves of stave s's extent: s alone, the whole score, or the stave at
// s's place in every system. Empty, after the error box, when some system
// has no stave at that place.
enum class TransposeExtent { Stave, Score, EverySystem };
std::vector<int> TransposeRange(const Score& score, TransposeExtent extent, int s, Host& host);
// True when every system has as many staves as the first.
bool SystemsAlike(const Score& score);

// One semitone up or down over the staves: key signatures, notes, their
// accidentals, slurs and other marks, and transposable texts. Refused with
// the error box (nothing changed) when a stave has a note or accidental
// before its first key signature. An accidental that cannot be raised or
// lowered further is reported and left; the rest goes on.
bool TransposeStep(Score& score, const std::vector<int>& staves, int direction, Host& host,
                   const TextMeasurer& measurer);
// An octave up or down: notes, accidentals, slurs and other marks move seven
// positions; key signatures and texts stay.
void TransposeOctave(Score& score, const std::vector<int>& staves, bool up,
                     const TextMeasurer& measurer);
// Every clef of stave s becomes `clef` (0 treble … 3 tenor), a later clef
// that already is one going; the notes after a clef keep their pitch.
// `dropMarkers`: the changed clefs lose their octave "8".
void ChangeClefs(Score& score, int s, int clef, bool dropMarkers, const TextMeasurer& measurer);
// True when a clef of the staves carries an octave "8".
bool ClefsCarryOctaveMarkers(const Score& score, const std::vector<int>& staves);

// Where the first key signature of stave s ends (its x + its width, at
// least 1); nothing when the stave has none.
std::optional<int32_t> KeyEnd(const Score& score, int s);
// The bars of the system that begins at stave `first` respaced after its key
// signatures ended at `oldEnd` and now end at `newEnd`: the bar bounds
// squeezed or stretched towards the system's right end, the ink keeping its
// width. Nothing happens when the ends are equal or either is at or past the
// right end. True when something moved.
bool RespaceAfterKeyChange(Score& score, int first, int32_t oldEnd, int32_t newEnd);

// What "Do it!" carries out once every question has been answered.
struct TransposePlan {
    std::vector<int> staves;  // in order, from TransposeRange
    int semitones = 0;        // -24..24
    int clef = -1;            // -1 no change, else 0 treble … 3 tenor
    bool dropMarkers = false;
    bool adjustStems = false;
    bool stemsOnTwoParts = true;  // also on staves that hold two parts
    bool respace = true;
};
// The first and last stave the plan may change: whole systems, since a
// respacing moves every stave of a system.
std::pair<int, int> TransposedStaves(const Score& score, const TransposePlan& plan);
// False, after the error box, when the plan cannot be carried out: a
// semitone count out of range, a stave that does not exist, a note or
// accidental before a stave's key signature, a note the transposition would
// take past the positions a stave can hold.
bool Transposable(const Score& score, const TransposePlan& plan, Host& host);
// Carries out the plan; false, with nothing changed, when it is not
// Transposable.
bool Transpose(Score& score, const TransposePlan& plan, Host& host, const TextMeasurer& measurer);

}  // namespace sw
