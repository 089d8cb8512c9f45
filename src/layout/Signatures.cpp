// Key signature room and time signature bar lengths.
#include "layout/Signatures.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "layout/GlyphTable.h"

namespace sw {

namespace {

bool ValidKey(int key) {
    return key >= -7 && key <= 7;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// Where each clef puts letter A relative to the middle line.
constexpr int kClefLetterA[4] = {-1, 4, -2, 0};

int ValidClef(int clefType) {
    return std::clamp(clefType, 0, 3);
}

}  // namespace

int ClefTypeAt(const StaveBlock& b, int32_t x) {
    int type = 0;
    int32_t best = INT32_MIN;
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind != kClef || o.x > x || o.x < best) continue;
        best = o.x;
        type = o.data.clef.type <= 3 ? o.data.clef.type : 0;
    }
    return type;
}

int ClefLetterA(int clefType) {
    return kClefLetterA[ValidClef(clefType)];
}

int LetterAt(int clefType, int pitch) {
    return ((pitch - ClefLetterA(clefType)) % 7 + 7) % 7;
}

uint8_t ClefGlyph(int clefType, bool small) {
    static constexpr uint8_t kGlyph[4] = {glyph::GCLEF, glyph::FCLEF, glyph::ACLEF, glyph::TCLEF};
    constexpr uint8_t kSmallShift = 4;
    return static_cast<uint8_t>(kGlyph[ValidClef(clefType)] + (small ? kSmallShift : 0));
}

int KeysigLayout::signs(int key) const {
    return (cancels ? std::abs(previous) : 0) + std::abs(key);
}

KeysigLayout LayOutKeysig(const StaveBlock& b, const ScoreObject& keysig) {
    KeysigLayout l;
    const int key = keysig.data.keysig.key;
    int32_t best = INT32_MIN;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& k = b.obj[i];
        if (k.kind == kKeysig && k.x < keysig.x && k.x > best && ValidKey(k.data.keysig.key)) {
            best = k.x;
            l.previous = k.data.keysig.key;
            l.hasPrevious = true;
        }
    }
    const bool asked = key == 0 || keysig.data.keysig.naturalsOnChange != 0;
    l.cancels = l.hasPrevious && l.previous != 0 && asked && Sign(l.previous) != Sign(key);
    l.advance = b.h.sizeIndex != 0 ? 6 : (key > 0 ? 10 : 8);
    return l;
}

int KeysigWidth(const StaveBlock& b, const ScoreObject& keysig) {
    const int key = keysig.data.keysig.key;
    if (!ValidKey(key)) return 0;
    const KeysigLayout l = LayOutKeysig(b, keysig);
    return l.signs(key) * l.advance;
}

double TimesigBarLength(const ScoreObject& timesig) {
    const TimesigData& t = timesig.data.timesig;
    if (timesig.kind == kCommonTime || t.sign != 0) return 4;
    return t.numerator * 4.0 / (t.denominator == 0 ? 1 : t.denominator);
}

}  // namespace sw
