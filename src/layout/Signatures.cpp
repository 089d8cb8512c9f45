// Key signature room and time signature bar lengths.
#include "layout/Signatures.h"

#include <climits>
#include <cstdlib>

namespace sw {

namespace {

bool ValidKey(int key) {
    return key >= -7 && key <= 7;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

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
