// Laying out one stave for drawing: everything drawing reads but does not
// keep in the file is worked out here, so drawing never changes the score.
#pragma once

#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

// The geometry of every note of stave s not laid out since it last changed
// (beam links moved to the notes that show the tails) and the bounds of its
// curves. Beam groups that cross into other staves need those laid out too.
void LayOutStaveGeometry(Score& score, int s);

// The geometry, then the stave's extent, which holds its curves as laid out.
void LayOutStave(Score& score, int s, const TextMeasurer& measurer);

}  // namespace sw
