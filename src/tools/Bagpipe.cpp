// Bagpipe formatting and the bagpipe switch.
#include "tools/Bagpipe.h"

#include "layout/NoteGeometry.h"

namespace sw {

namespace {

constexpr uint8_t kStemUp = 0, kStemDown = 1;

// The note changed by the choices; true when it did.
bool FormatNote(NoteData& n, const PipeOptions& o) {
    const NoteData before = n;
    if (n.headSize == 0 && o.largeStemsDown) n.stem = kStemDown;
    if (n.headSize == pipes::kSmallHead) {
        if (o.graceStemsUp) n.stem = kStemUp;
        if (o.graceThreeBeams) n.noteValue = pipes::kGraceValue;
    }
    return n.stem != before.stem || n.noteValue != before.noteValue;
}

}  // namespace

void FormatForPipes(Score& score, const PipeOptions& o) {
    const bool none = o.none();
    if (o.bagpipeTemperament) score.temperament = pipes::kTemperament;
    if (none) score.temperament = 0;
    for (int s = 1; s <= score.Nstaves; ++s) {
        StaveBlock& b = score.stave(s);
        if (o.transposeUp || none) b.h.soundTranspose = none ? 0 : 1;
        if (o.bagpipeSound || none)
            b.h.instrumentUp = b.h.instrumentDown = none ? 0 : pipes::kProgram;
        bool changed = false;
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            ScoreObject& obj = b.obj[i];
            if (obj.kind != kNote || obj.note().rest || !FormatNote(obj.note(), o)) continue;
            obj.glyph = static_cast<uint8_t>(NoteGlyph(obj.note()));
            changed = true;
        }
        // A chord's geometry is worked out together: a changed note moves its
        // neighbours' heads and stems as well.
        if (changed)
            for (int i = 1; i <= b.h.Nobjec; ++i)
                if (b.obj[i].kind == kNote) b.obj[i].note().validated = 0;
    }
    if (o.impliedKey || none) score.setBagpipe(!none);
}

void SetBagpipeScore(Score& score, bool on) {
    if (on)
        for (int s = 1; s <= score.Nstaves; ++s)
            score.stave(s).h.soundTranspose = 1;
    score.setBagpipe(on);
}

}  // namespace sw
