// The open score: the stave table of fixed-capacity stave blocks, the page
// data, the font table and the score-wide settings, with the record helpers.
#pragma once

#include <array>
#include <bitset>
#include <cassert>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/ScoreObject.h"

namespace sw {

class Host;

constexpr int kMaxStaves = 10000;
constexpr int kSlots = 251;        // slots 0..250; 0 is never used
constexpr int kMaxObjects = 250;   // objects live in slots 1..Nobjec
constexpr int kObjectLimit = 249;  // a stave this full takes no new object
constexpr int kMaxFonts = 255;
constexpr int kMaxDescription = 63;
constexpr int kMaxFontName = 32;

// One part of a stave that an edit changes in place: its header (object 0,
// the slot that is never used) or the object in slot `object`.
struct StavePart {
    int stave = 0;
    int object = 0;
    bool operator==(const StavePart&) const = default;
};

struct StaveHeader {
    uint8_t instrumentUp = 0;
    uint8_t instrumentDown = 0;
    int32_t Ycoord = 0;
    int32_t MaxY = 0;
    int32_t MinY = 0;
    int32_t RightX = 0;
    int32_t LeftX = 0;
    bool bracketWithNext = false;
    bool fullEndBar = false;
    bool withBracket = false;
    bool barlineThrough = false;
    bool withBrace = false;
    bool joinToNext = false;
    bool ForcedBk = false;
    bool invisible = false;
    int8_t lastPitch = 0;
    uint16_t PageNum = 0;
    int16_t staveIndex = 0;
    uint16_t barNumber = 0;
    uint8_t barNumberPlace = 0;
    uint8_t lineCount = 5;
    uint8_t sizeIndex = 0;
    bool cue = false;
    int8_t soundTranspose = 0;
    uint8_t Nobjec = 0;
};

// Rebuilt from the system structure; never stored.
struct StaveTrailer {
    uint16_t systemNumber = 0;
    uint16_t positionInSystem = 0;
    uint16_t nextSystemStave = 0;
    uint16_t prevSystemStave = 0;
    uint8_t bagpipeMark = 0;
    bool playFlag1 = false;
    bool playFlag2 = false;
    std::bitset<256> blockSet;
};

struct StaveBlock {
    StaveHeader h;
    std::array<ScoreObject, kSlots> obj;
    StaveTrailer t;

    uint8_t count() const { return h.Nobjec; }
    bool validIndex(int i) const { return i >= 1 && i <= h.Nobjec; }
};

struct FontDesc {
    std::string name;  // at most 32 characters in files
    int16_t size = 0;
    uint8_t style = 0;    // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    uint32_t colour = 0;  // 0x00BBGGRR
    uint8_t charset = 0;
};
enum FontStyle : uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };

// Equal when names match ignoring case and size, style and character set
// match; colour does not count.
bool SameFont(const FontDesc& a, const FontDesc& b);

// The stave sizes (inches) a score may have.
inline constexpr double kMinStaveSize = 0.1, kMaxStaveSize = 1.0;

struct PageData {
    double Width = 8.27;
    double Length = 11.69;
    double TopM = 0.5;
    double BotM = 0.5;
    double RightM = 0.5;
    double LeftM = 0.5;
    double GutM = 0.0;
    double Header = 0.0;
    double Footer = 0.0;
    bool Facing = false;
    bool landscape = false;
};

// Options of the debugging menu that change how the model and the reader behave.
struct DebugOptions {
    bool acceptAnyFile = false;
    bool disableTidy = false;
};

// Stave blocks owned one by one; a copy of the table copies every block.
struct StaveTable : std::array<std::unique_ptr<StaveBlock>, kMaxStaves + 1> {
    StaveTable() = default;
    StaveTable(const StaveTable& other)
        : std::array<std::unique_ptr<StaveBlock>, kMaxStaves + 1>() {
        for (std::size_t s = 0; s < size(); ++s)
            if (other[s]) (*this)[s] = std::make_unique<StaveBlock>(*other[s]);
    }
    StaveTable(StaveTable&&) noexcept = default;
    StaveTable& operator=(StaveTable&&) noexcept = default;
    StaveTable& operator=(const StaveTable&) = delete;
};

class Score {
  public:
    Score();  // allocates stave 0, as a new document window does
    Score(Score&&) noexcept = default;
    Score& operator=(Score&&) noexcept = default;
    // A deep copy, only when asked for by name: a score can hold megabytes.
    explicit Score(const Score&) = default;
    Score& operator=(const Score&) = delete;

    uint16_t Nstaves = 0;
    uint16_t CurrentStave = 0;
    uint16_t pageCount = 0;
    uint16_t Page1 = 1;
    PageData page;
    double staveSize = 0.3;
    uint8_t Spacing = 3;
    uint8_t Pulse = 3;
    int32_t Beamang = 10;
    double beamTangent = 0.176;
    uint16_t Tempo = 120;
    bool naturalsInKeyChange = true;
    bool boxedBarNumbers = false;
    uint8_t temperament = 0;
    bool bagpipeScore = false;
    uint8_t proximity = 5;
    bool includeGraceNotes = false;
    std::string description;
    std::array<FontDesc, kMaxFonts + 1> fonts;  // entries 1..255
    std::bitset<kMaxFonts + 1> fontsInUse;
    uint16_t fileVersion = 501;  // of the file this score was read from
    DebugOptions debug;

    // Stave s (0..Nstaves); the caller keeps s in range.
    StaveBlock& stave(int s) {
        assert(s >= 0 && s <= Nstaves && staves_[s] != nullptr);
        return *staves_[s];
    }
    const StaveBlock& stave(int s) const {
        assert(s >= 0 && s <= Nstaves && staves_[s] != nullptr);
        return *staves_[s];
    }
    bool hasStave(int s) const { return s >= 0 && s <= kMaxStaves && staves_[s] != nullptr; }
    // Slot i (0..kMaxObjects) of stave s (0..Nstaves).
    ScoreObject& object(int s, int i) {
        assert(i >= 0 && i <= kMaxObjects);
        return stave(s).obj[i];
    }
    const ScoreObject& object(int s, int i) const {
        assert(i >= 0 && i <= kMaxObjects);
        return stave(s).obj[i];
    }

    // A fresh block for stave s (every slot an empty record); replaces any old one.
    StaveBlock& allocateStave(int s);
    void releaseStave(int s);
    // Appends `count` empty staves; false when that would pass 10000.
    bool appendStaves(int count);
    // Puts `block` in as stave `index` (1..Nstaves+1); the staves from there on
    // move down one place. False when the score already has 10000 staves.
    bool insertStave(int index, std::unique_ptr<StaveBlock> block);
    // Puts `blocks` in as staves index..index + n − 1 in one move; false (and
    // nothing changed) when they would pass 10000 staves.
    bool insertStaves(int index, std::vector<std::unique_ptr<StaveBlock>>& blocks);
    // Takes stave `index` (1..Nstaves) out; the staves after it move up.
    void removeStave(int index);
    // Resets stave 0 to the empty header/footer stave.
    void resetStaveZero();
    // Releases every stave block and allocates stave 0 again.
    void clear();

    // Sets Beamang and its cached tangent (kept within 0..1).
    void setBeamAngle(int degrees);
    // Sets the bagpipe flag and the implied-key mark it gives every music
    // stave; transpositions stay as they are.
    void setBagpipe(bool on);

  private:
    StaveTable staves_;
};

// y of a note at `pitch` on stave s: four page pixels a step on every stave size.
constexpr int32_t kStepPixels = 4;
int32_t NoteY(const Score& score, int s, int pitch);

// A new object slot on stave s: the index of a fresh record at Nobjec + 1, or 0
// (after telling the user) when the stave already holds 249 objects.
int AddObject(Score& score, int s, Host& host);

// Deletes object i of the block, unlinking its partners first; the slot stays
// (kind Nothing) until the stave is next tidied.
void UnlinkAndDelete(StaveBlock& block, int i);

// The number of an equal font in the table, adding it when new; 1 (after a
// warning) when all 255 numbers are taken.
int FindOrAddFont(Score& score, const FontDesc& font, Host& host);

// Renumbers the fonts that text objects use densely from 1 and compacts the
// table; returns how many there are.
int RenumberFonts(Score& score);

// True when s is the first stave of its system (stave 1, or the one after a
// stave not joined to the next).
bool IsFirstStaveOfSystem(const Score& score, int s);

// Puts the objects of stave s in reading order, dropping dead ones and
// renumbering every link.
void TidyStave(Score& score, int s, bool dropBarlines);
// The stem length a single-note tremolo needs for its strokes (0 for none).
int TremoloStemNeed(const NoteData& n);

}  // namespace sw
