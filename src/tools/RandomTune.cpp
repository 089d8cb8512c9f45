// The random tune generator.
#include "tools/RandomTune.h"

#include <vector>

#include "layout/NoteGeometry.h"
#include "layout/Signatures.h"

namespace sw {

namespace {

constexpr TuneMasks kFixedMasks = {0x55555555, 0x33333333, 0x0F0F0F0F, 0x00FF00FF, 0x0000FFFF, 0};
constexpr int kDrawnFrom = 6;  // masks 6..8 combine two of 0..5
constexpr int kMinWeight = -2, kMaxWeight = 3;
constexpr int kClefOffset = 17, kKeysigOffset = 34, kFirstNoteOffset = 60, kNoteSpacing = 20;
constexpr int kTreble = 0;
constexpr int kTrebleBase = -6, kBassBase = -1;  // middle C below the treble stave; the bass's
constexpr uint8_t kQuaver = 4;
constexpr int kBeamGroup = 4;
constexpr int kFirstNoteSlot = 3;

int Pick(RandomSource& random, int below) {
    return random.uniform(0, below - 1);
}

}  // namespace

TuneMasks DrawTuneMasks(RandomSource& random) {
    TuneMasks m = kFixedMasks;
    auto two = [&](int below) {
        const int a = Pick(random, below);
        return std::pair{m[a], m[Pick(random, below)]};
    };
    auto [a6, b6] = two(kDrawnFrom);
    m[6] = a6 & b6;
    auto [a7, b7] = two(kDrawnFrom);
    m[7] = a7 | b7;
    auto [a8, b8] = two(kDrawnFrom);
    m[8] = a8 ^ b8;
    auto [a9, b9] = two(9);
    m[9] = a9 | b9;
    return m;
}

int TuneTerms(TuneComplexity complexity) {
    return 3 + 2 * static_cast<int>(complexity);
}

int TunePitch(const TuneMasks& masks, const int* weights, int terms, int n, int base) {
    const uint64_t bit = uint64_t{1} << (31 - n % 32);
    int p = base;
    for (int k = 0; k <= terms; ++k)
        if (masks[k] & bit) p += weights[k];
    return p;
}

int RandomTune(Score& score, int s, const TuneOptions& o, RandomSource& random) {
    StaveBlock& b = score.stave(s);
    if (b.h.Nobjec != 0) return 0;
    const TuneMasks masks = DrawTuneMasks(random);
    const int terms = TuneTerms(o.complexity);
    std::vector<int> w(static_cast<std::size_t>(terms) + 1);
    for (int& weight : w)
        weight = random.uniform(kMinWeight, kMaxWeight);

    const int32_t left = b.h.LeftX, Y = b.h.Ycoord;
    // Notes past the right end would be dropped at the stave's next tidying,
    // breaking their beam group: the tune is cut to fit instead.
    int count = 0;
    while (count < o.length && left + kNoteSpacing * count + kFirstNoteOffset <= b.h.RightX)
        ++count;
    if (count == 0) return 0;

    ScoreObject& clef = b.obj[1];
    clef = ScoreObject{};
    clef.kind = kClef;
    clef.x = left + kClefOffset;
    clef.y = Y;
    clef.data.clef.type = static_cast<uint8_t>(o.clef);
    clef.glyph = ClefGlyph(o.clef, false);
    ScoreObject& key = b.obj[2];
    key = ScoreObject{};
    key.kind = kKeysig;
    key.x = left + kKeysigOffset;
    key.y = Y;
    key.glyph = kNoGlyph;
    const int base = o.clef == kTreble ? kTrebleBase : kBassBase;
    for (int n = 0; n < count; ++n) {
        const int slot = kFirstNoteSlot + n;
        ScoreObject& obj = b.obj[slot];
        obj = ScoreObject{};
        obj.kind = kNote;
        obj.x = left + kNoteSpacing * n + kFirstNoteOffset;
        NoteData& note = obj.note();
        note.noteValue = kQuaver;
        note.pitch = static_cast<int8_t>(TunePitch(masks, w.data(), terms, n, base));
        obj.y = NoteY(score, s, note.pitch);
        if (n % kBeamGroup != 0) note.beamBackTo = static_cast<uint8_t>(slot - 1);
        if (n % kBeamGroup < kBeamGroup - 1 && n + 1 < count)
            note.beamOnTo = static_cast<uint8_t>(slot + 1);
        obj.glyph = static_cast<uint8_t>(NoteGlyph(note));
    }
    b.h.Nobjec = static_cast<uint8_t>(count + 2);
    return count;
}

}  // namespace sw
