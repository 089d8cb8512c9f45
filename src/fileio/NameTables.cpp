// Name tables of the reports.
#include "fileio/NameTables.h"

#include <iterator>

namespace sw {

namespace {

constexpr const char* kUnknown = "???";

template <std::size_t N>
const char* Pick(const char* const (&table)[N], int code) {
    return code >= 0 && static_cast<std::size_t>(code) < N ? table[code] : kUnknown;
}

constexpr const char* kValuesUk[] = {
    "Breve",  "Semibreve",  "Minim",          "Crotchet",
    "Quaver", "Semiquaver", "Demisemiquaver", "Hemidemisemiquaver"};
constexpr const char* kValuesUs[] = {"Double whole note",  "Whole note",       "Half note",
                                     "Quarter note",       "Eighth note",      "Sixteenth note",
                                     "Thirty-second note", "Sixty-fourth note"};
constexpr const char* kAccidentals[] = {"Double flat", "Flat", "Natural", "Sharp", "Double sharp"};
constexpr const char* kStems[] = {"Stem up", "Stem down", "No stem", "Automatic stem"};
constexpr const char* kHeadSizes[] = {"Normal",  "Small",    "Style 3",
                                      "Style 4", "X-headed", "Acciacc"};
constexpr const char* kHeads[] = {"Normal", "Cross",   "Diamond", "White",   "None",
                                  "slash",  "Circle",  "Square",  "Xcircle", "Triangle",
                                  "Delta",  "Shape11", "Shape12", "Shape13", "Shape14"};
constexpr const char* kStaccatos[] = {"None", ".", "'", ". Tail", "' tail"};
constexpr const char* kEmphases[] = {"None",    "Bar",     ">",          "Marcato",
                                     "BarTail", "> Ttail", "MarcatoTail"};

}  // namespace

const char* NoteValueName(int value, bool usTerms) {
    return usTerms ? Pick(kValuesUs, value) : Pick(kValuesUk, value);
}
const char* AccidentalName(int alteration) {
    return Pick(kAccidentals, alteration + 2);
}
const char* StemName(int stem) {
    return Pick(kStems, stem);
}
const char* HeadSizeName(int headSize) {
    return Pick(kHeadSizes, headSize);
}
const char* HeadName(int head) {
    return Pick(kHeads, head);
}
const char* StaccatoName(int staccato) {
    return Pick(kStaccatos, staccato);
}
const char* EmphasisName(int emphasis) {
    return Pick(kEmphases, emphasis);
}
const char* FlagWord(int flag) {
    return flag ? "True" : "False";
}
const char* FlagLetter(int flag) {
    return flag ? "T" : "F";
}
const char* FlagAnswer(int flag) {
    return flag ? "Yes" : "No";
}

std::string NoteLetter(int clef, int pitch) {
    static constexpr int kOffsets[] = {1, -4, 2, 0};  // treble, bass, alto, tenor
    if (clef < 0 || clef >= static_cast<int>(std::size(kOffsets))) return "?";
    // A true modulo: pitches reach down to -128, where C++'s % would go negative.
    int k = (kOffsets[clef] + pitch + 49) % 7;
    if (k < 0) k += 7;
    return std::string(1, "ABCDEFG"[k]);
}

}  // namespace sw
