// The recognition engine's result file (".mro"): its tokens, and the tables
// the reader fills from it, one per kind of element, each element knowing its
// parent.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

namespace sw {

// A number that did not parse, and both parts of a point with a bad part.
constexpr int32_t kBadNumber = 2147483647;
// The token every read after the last line gives.
inline constexpr const char* kEndToken = "###";

// Splits the result text into tokens: lines taken up to their 255th
// character and trimmed, tokens separated by spaces or tabs, a token that
// opens with a double quote running to the next undoubled one (doubled
// quotes inside read as one, the outer ones removed).
class ResultTokenizer {
  public:
    explicit ResultTokenizer(std::istream& in) : in_(in) {}
    // The next token, "###" for ever once the text is used up.
    std::string next();
    // The next token without taking it.
    const std::string& peek();

  private:
    bool fill();
    std::istream& in_;
    std::vector<std::string> line_;
    std::size_t pos_ = 0;
    std::string peeked_;
    bool hasPeeked_ = false, ended_ = false;
};

// Value forms: a signed decimal number (kBadNumber when it is not one), a
// flag (first letter T), a comma point (vertical, horizontal) and a slash
// point (in order), each part kBadNumber when either is bad.
int32_t ParseResultNumber(const std::string& token);
bool ParseResultFlag(const std::string& token);
struct ResultPoint {
    int32_t first = 0, second = 0;
};
ResultPoint ParseResultPoint(const std::string& token, char separator);

// Codes of the word tables; -1 for a word not in its table.
enum NoteShape : int {
    kShapeBreve,
    kShapeSbreve,
    kShapeMinim,
    kShapeSolid,
    kShapeGrace,
    kShapeMinimGrace,
    kShapeBreveRest,
    kShapeSbreveRest,
    kShapeMinimRest,
    kShapeCrotchetRest,
    kShapeQuaverRest,
    kShapeSquaverRest,
    kShapeDsquaverRest,
    kShapeHdsquaverRest,
};
inline bool IsRestShape(int shape) {
    return shape >= kShapeBreveRest && shape <= kShapeHdsquaverRest;
}
enum AccidCode : int {
    kAccidNone,
    kAccidSharp,
    kAccidFlat,
    kAccidNatural,
    kAccidDoubleSharp,
    kAccidDoubleFlat,
    kAccidNaturalSharp,
    kAccidNaturalFlat
};
enum ClefShape : int { kClefTreble, kClefBass, kClefAlto, kClefTrebleUp8, kClefTrebleDown8 };
enum DynamicType : int { kHairpinCresc, kHairpinDim, kDynPPP = 2, kDynFFF = 9 };
int NoteShapeCode(const std::string& word);
int AccidCode(const std::string& word);
int ClefShapeCode(const std::string& word);
int DynamicTypeCode(const std::string& word);
// By the first letter: s 0, d 1, l 2, r 3, b 4, t 5.
int BarlineTypeCode(const std::string& word);

// The table rows. Parents are 1-based indexes into the parent's table.
struct ResultPage {
    int32_t width = 0, height = 0, origWidth = 0, origHeight = 0, spacing = 0;
};
struct ResultSystem {
    int page = 0;
    int32_t top = 0, left = 0, width = 0, height = 0;
};
struct ResultStave {
    int system = 0;
    int32_t top = 0, left = 0, width = 0, size = 0;
};
struct ResultTimesig {
    bool showAsAlpha = false;
    int32_t top = 0, bottom = 0;
    ResultPoint centre;
};
struct ResultBarline {
    int type = 0;
    int32_t leftLineX = 0, rightLineX = 0;
    bool invented = false, trueEnd = false;
};
struct ResultBar {
    int stave = 0;
    bool hasTimesig = false, hasBarline = false;
    ResultTimesig timesig;
    ResultBarline barline;
};
struct ResultClef {
    int bar = 0;
    int shape = -1;
    ResultPoint centre;
    int32_t pitchPosn = 0;
};
struct ResultKeysig {
    int bar = 0;
    int32_t key = 0;
    ResultPoint centre;
};
struct ResultChord {
    int bar = 0;
    bool virtualStem = false, stemUp = false, staccato = false, tenuto = false, pause = false,
         accent = false, stemSlash = false;
    int32_t augDots = 0, flags = 0, headEnd = 0;
    ResultPoint flagPosn;
    bool beamed = false;  // its beam group has more than one node
    int32_t beamId = 0, beamLeft = 0, beamNodes = 0, beamRight = 0;
};
struct ResultNote {
    int chord = 0;
    int shape = -1;
    int32_t staveOffset = 0, accidDc = 0, p = 0;
    int accid = kAccidNone;
    bool normalSide = false;
};
struct ResultLyricLine {
    int stave = 0;
    int32_t abot = 0, height = 0;
};
struct ResultLyricElement {
    int line = 0;
    bool extender = false;
    int32_t c0 = 0, c1 = 0, midc = 0, bar = 0, symbol = 0;
    std::string text;  // at most 20 characters
};
struct ResultText {
    int stave = 0;
    int32_t abot = 0, c0 = 0, height = 0, style = 0;
    std::string text;  // at most 50 characters
};
struct ResultDynamic {
    int stave = 0;
    int type = -1;
    int32_t c = 0, c0 = 0, c1 = 0, r = 0;
};
struct ResultSlur {
    int system = 0;
    ResultPoint left, right;  // (vertical, horizontal)
    int32_t radius = 0;
};

// The capacities of the tables; elements beyond them are read and dropped.
struct ResultCapacity {
    static constexpr std::size_t systems = 50, staves = 50, bars = 500, clefs = 100, keysigs = 100,
                                 chords = 5000, notes = 12500, slurs = 500, dynamics = 1250,
                                 texts = 500, lyricLines = 100, lyricElements = 2500;
};

// What the import window's summary shows.
struct RecognitionCounts {
    int systems = 0, staves = 0, bars = 0, notes = 0, curves = 0, clefs = 0, keysigs = 0, words = 0,
        timesigs = 0;
    bool operator==(const RecognitionCounts&) const = default;
};

struct RecognitionTables {
    int32_t version = 0;
    bool hasPage = false;
    ResultPage page;
    std::vector<ResultSystem> systems;
    std::vector<ResultStave> staves;
    std::vector<ResultBar> bars;
    std::vector<ResultClef> clefs;
    std::vector<ResultKeysig> keysigs;
    std::vector<ResultChord> chords;
    std::vector<ResultNote> notes;
    std::vector<ResultLyricLine> lyricLines;
    std::vector<ResultLyricElement> lyricElements;
    std::vector<ResultText> texts;
    std::vector<ResultDynamic> dynamics;
    std::vector<ResultSlur> slurs;

    // Words are the lyric elements and texts, counted only when they are kept.
    RecognitionCounts counts(bool includeWords) const;
    void clear() { *this = RecognitionTables{}; }
};

// Clears `tables` and fills them from the text; `progress` (when given) hears
// the counts as they grow.
void ReadRecognitionResult(std::istream& in, RecognitionTables& tables,
                           const std::function<void(const RecognitionCounts&)>& progress = {});

}  // namespace sw
