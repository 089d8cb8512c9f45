// The layout step run on a refreshed or edited stave.
#include "layout/StaveLayout.h"

#include "layout/CurveGeometry.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"

namespace sw {

void LayOutStaveGeometry(Score& score, int s) {
    if (!score.hasStave(s)) return;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind == kNote && !o.note().rest && !o.note().validated)
            ValidateNotesAt(score, s, o.x, true);
    }
    LayOutCurves(score, s);
}

void LayOutStave(Score& score, int s, const TextMeasurer& measurer) {
    if (!score.hasStave(s)) return;
    LayOutStaveGeometry(score, s);
    StaveExtent(score, s, measurer);
}

}  // namespace sw
