// Bar lines moved between the top staves of systems.
#include "model/Barlines.h"

#include <cstdlib>

namespace sw {

namespace {

constexpr int32_t kSameBarline = 5;  // pixels: closer bar lines are one

bool HasBarlineNear(const StaveBlock& b, int32_t x) {
    for (int i = 1; i <= b.count(); ++i)
        if (b.obj[i].kind == kBarline && std::abs(b.obj[i].x - x) < kSameBarline) return true;
    return false;
}

}  // namespace

int BarlinesToCopy(const Score& score, int from, int to) {
    if (!score.hasStave(from) || !score.hasStave(to) || from == to) return 0;
    const StaveBlock& src = score.stave(from);
    const StaveBlock& dst = score.stave(to);
    int n = 0;
    for (int i = 1; i <= src.count(); ++i)
        if (src.obj[i].kind == kBarline && !HasBarlineNear(dst, src.obj[i].x)) ++n;
    return n;
}

bool CopyBarlines(Score& score, int from, int to) {
    if (!score.hasStave(from) || !score.hasStave(to) || from == to) return true;
    const StaveBlock& src = score.stave(from);
    StaveBlock& dst = score.stave(to);
    const int n = src.count();
    for (int i = 1; i <= n; ++i) {
        const ScoreObject& o = src.obj[i];
        if (o.kind != kBarline || HasBarlineNear(dst, o.x)) continue;
        if (dst.h.Nobjec >= kObjectLimit) return false;
        ScoreObject& copy = dst.obj[++dst.h.Nobjec];
        copy = o;
        copy.y = dst.h.Ycoord;
    }
    return true;
}

void RemoveBarlines(Score& score, int s) {
    if (!score.hasStave(s)) return;
    StaveBlock& b = score.stave(s);
    bool any = false;
    for (int i = 1; i <= b.count(); ++i)
        if (b.obj[i].kind == kBarline) {
            NewObjectRecord(b.obj[i]);
            any = true;
        }
    if (any) TidyStave(score, s, false);
}

}  // namespace sw
