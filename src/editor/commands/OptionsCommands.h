// The options window's "&Score" tab reaching the open score as one edit.
#pragma once

#include "app/Options.h"
#include "editor/PageSetup.h"
#include "editor/ScoreEdit.h"

namespace sw {

// Applies what changed from `before` to `after` as one Undo step and marks the
// score modified. The bagpipe switch runs only when "GH&B music" changed, so
// transpositions set by hand survive an OK. True when the score changed.
bool ApplyScoreOptions(EditContext& ctx, const ScoreOptions& before, const ScoreOptions& after,
                       const PictureSetUp& setUpPicture);

}  // namespace sw
