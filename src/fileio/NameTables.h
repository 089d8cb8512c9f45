// The names the reports give to note fields, kinds and clef positions. Every
// table answers "???" for a code it does not know: the codes come straight from
// files that may be damaged.
#pragma once

#include <string>

namespace sw {

constexpr int kNoClef = -1;  // a stave position before the first clef

const char* NoteValueName(int value, bool usTerms);
const char* AccidentalName(int alteration);
const char* StemName(int stem);
const char* HeadSizeName(int headSize);
const char* HeadName(int head);
const char* StaccatoName(int staccato);
const char* EmphasisName(int emphasis);
const char* FlagWord(int flag);    // "False" / "True"
const char* FlagLetter(int flag);  // "F" / "T"
const char* FlagAnswer(int flag);  // "No" / "Yes"

// The letter name of `pitch` under clef type `clef` (0 treble, 1 bass, 2 alto,
// 3 tenor); "?" for any other clef, kNoClef included.
std::string NoteLetter(int clef, int pitch);

}  // namespace sw
