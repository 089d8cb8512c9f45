// The fixed-size object record and the typed layouts of its 64 bytes of kind data.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace sw {

static_assert(std::endian::native == std::endian::little,
              "kind data is laid out as the file stores it: little-endian");

enum Kind : uint8_t {
    kClef = 0,
    kKeysig = 1,
    kTimesig = 2,
    kCommonTime = 3,
    kBarline = 4,
    kNote = 5,
    kSymbol = 6,
    kAccidental = 7,
    kNothing = 8,
    kText9 = 9,
    kTie = 10,
    kLine = 11,
    kCurve = 12,
    kTrill = 13,  // "~~~": a row of copies of one glyph
    kOther = 14,
    kDynamic = 15,
    kText = 16,
    kHairpin = 17,
    kDrawobject = 18,
    kSlur = 19,
    kHeadertext = 20,
    kFootertext = 21,
};
constexpr int kMaxKind = 21;
constexpr uint8_t kNoGlyph = 254;

// Kinds 16, 20 and 21: the set that shares font and chain rules with the header and footer.
inline bool IsTextLike(int kind) {
    return kind == kText || kind == kHeadertext || kind == kFootertext;
}
// The flag bits of a text record.
enum TextFlag : uint8_t {
    kTextGlobal = 0x01,
    kTextImmobile = 0x02,  // layout never moves it (kinds 16, 20 and 21)
    kTextTransposable = 0x04,
    kTextBoxed = 0x08,
    kTextContinuation = 0x80,  // a further chunk of a chain
};
// Every kind laid out as text (a font number and a chain of ten-character chunks).
inline bool HasTextLayout(int kind) {
    return kind == kText9 || IsTextLike(kind);
}

#pragma pack(push, 1)
struct ClefData {
    uint8_t type;  // 0 treble, 1 bass, 2 alto, 3 tenor
    uint8_t small;
    uint8_t octaveUp;
    uint8_t octaveDown;
};
struct KeysigData {
    int8_t key;  // -7..7, flats negative
    uint8_t naturalsOnChange;
};
struct TimesigData {
    uint8_t numerator;
    uint8_t denominator;
    uint8_t singleNumber;
    uint8_t sign;  // 0 figures, 1 common time, 2 alla breve
};
struct CommonTimeData {
    uint8_t code;
};
struct BarlineData {
    uint8_t style;
    uint8_t independent;
    int16_t setBarNumber;
    int16_t barNumber;
    uint8_t showNumber;
    uint8_t further[5];
};
struct NoteData {
    uint8_t noteValue;
    int8_t pitch;
    uint8_t dots;
    uint8_t stem;  // 0 up, 1 down, 2 none, 3 automatic
    uint8_t beamBackTo;
    uint8_t beamOnTo;
    uint8_t rest;
    uint8_t cueSize;
    uint8_t emphasis;
    uint8_t staccato;
    uint8_t tieLeft;
    uint8_t tieRight;
    uint8_t tieOver;
    uint8_t headSize;
    int8_t lengthIncr;  // half-spaces added to the stem, -4..9 (the file's byte)
    uint8_t beamBackUp;
    uint8_t beamBackDown;
    uint8_t beamOnUp;
    uint8_t beamOnDown;
    uint8_t singleBeam;
    uint8_t head;
    uint8_t tremuloBars;
    uint8_t beamStem1;
    uint8_t beamStem2;
    uint8_t flatBeam;
    uint8_t durMod;
    uint8_t durMod2;
    uint8_t working[2];
    uint8_t noShorten;
    // Derived by the note geometry, never stored. The two bytes first keep the
    // positions on four-byte boundaries within the record.
    int8_t dotPosition;  // the step the dots sit on
    uint8_t showTail;    // outermost note of its chord: carries flag and beam links
    int32_t headX;
    int32_t stemStartX, stemStartY;
    int32_t stemEndX, stemEndY;
    int32_t dotX, dotY;
    uint8_t stemRoot;       // innermost note of its chord
    uint8_t displaced;      // head on the other side of the stem
    uint8_t noVisibleStem;  // breve or semibreve
    uint8_t validated;
};
struct AccidentalData {
    int8_t pitch;
    int8_t accidental;  // -2..2
    uint8_t small;
    uint8_t parentheses;
    uint8_t further[4];
};
struct TextData {
    uint8_t fontNumber;
    uint8_t nextChunk;
    uint8_t textFlags;  // bit 0 global, 1 immobile, 2 transposable, 3 boxed, 7 continuation
    uint8_t chunkLength;
    char chunkText[10];
};
struct TieData {
    uint8_t leftNote;
    uint8_t rightNote;
    uint8_t extra;
};
struct LineData {
    int16_t dx;
    int16_t dy;
    uint8_t thickness;
    uint8_t style;  // 0 solid, 1 dashed, 2 wavy, 3 with break
    uint8_t dashLength;
    uint8_t gapLength;
    uint8_t legLength;
    uint8_t legDirection;
    uint8_t legEnds;
};
struct CurveData {
    uint8_t thickness;
    uint8_t nextAnchor;
    uint8_t prevAnchor;
    int16_t upperBound;
    int16_t lowerBound;
    uint8_t styleBits;
};
struct TrillData {
    uint8_t extra;
    uint8_t count;
    int16_t dx;
    int16_t dy;
};
struct OtherData {
    uint8_t bends;
    uint8_t upArrow;
    uint8_t downArrow;
};
struct HairpinData {
    int16_t length;
    int16_t halfOpening;
    uint8_t thickness;
};
struct DrawobjectData {
    uint8_t filled;
    uint8_t whiteOut;
    uint8_t shape;  // 0 circle, 1 square, 2 rectangle, 3 ellipse
    int16_t radiusOrWidth;
    int16_t height;
};
union KindData {
    uint8_t raw[64];
    ClefData clef;
    KeysigData keysig;
    TimesigData timesig;
    CommonTimeData commonTime;
    BarlineData barline;
    NoteData note;
    AccidentalData accidental;
    TextData text;
    TieData tie;
    LineData line;
    CurveData curve;
    TrillData trill;
    OtherData other;
    HairpinData hairpin;
    DrawobjectData drawobject;
};
#pragma pack(pop)
static_assert(sizeof(KindData) == 64);
static_assert(sizeof(NoteData) == 64);
static_assert(offsetof(NoteData, headX) % 4 == 0, "derived positions stay aligned");
static_assert(sizeof(TextData) == 14);
static_assert(sizeof(BarlineData) == 12 && sizeof(LineData) == 11 && sizeof(CurveData) == 8);
static_assert(sizeof(DrawobjectData) == 7 && sizeof(HairpinData) == 5 && sizeof(TrillData) == 6);

struct ScoreObject {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t invisible = 0;  // working byte: not stored in files
    uint8_t glyph = kNoGlyph;
    uint8_t working = 0;
    uint8_t kind = kNothing;
    KindData data{};

    NoteData& note() { return data.note; }
    const NoteData& note() const { return data.note; }
    TextData& text() { return data.text; }
    const TextData& text() const { return data.text; }
    CurveData& curve() { return data.curve; }
    const CurveData& curve() const { return data.curve; }

    bool isNote() const { return kind == kNote; }

    // The text chunk held by a text-layout object (at most 10 characters).
    std::string chunk() const;
    void setChunk(const std::string& s);  // keeps the first 10 characters
};

static_assert(offsetof(ScoreObject, data) % 4 == 0, "kind data starts on a four-byte boundary");

// Zeroes the record and marks it empty: kind Nothing, no glyph.
void NewObjectRecord(ScoreObject& o);

// The kind-name table used by reports; an unknown code gives "?".
const char* KindName(int kind);

}  // namespace sw
