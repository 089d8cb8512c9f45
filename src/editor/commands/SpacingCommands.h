// The commands that move music across a system: Justify system, the release
// of a compression, and neatening a system, a page or the whole score. Each
// is one edit, undone by one Undo; a refusal leaves no history.
#pragma once

#include <vector>

#include "editor/NoteDialogs.h"
#include "editor/ScoreEdit.h"
#include "layout/Compress.h"
#include "layout/Neaten.h"

namespace sw {

// "Justify system": the system of stave s from the start of its music to its
// right end, with the messages of a refusal and of objects off the paper.
bool JustifySystem(EditContext& ctx, int s);

// The compression prepared by the mode, carried out by a release at p.
bool CompressSystem(EditContext& ctx, const CompressPlan& plan, int32_t p);

// The time table of the system whose first stave is `first`: a performance
// collected at tempo 60 with proximity 5. Empty when nothing in it sounds.
std::vector<TimePoint> NeatenTimeTable(Score& score, Host& host, int first);

// Neatens every system of staves first..last by its own time table, without
// history; systems with nothing to space are passed by. The number neatened.
int NeatenSystems(Score& score, Host& host, int first, int last, double factor);

// A neaten command on the system of stave s, page `page` or the whole score;
// the page and the score are first confirmed in the warning box.
bool NeatenCommand(EditContext& ctx, NeatenScope scope, int s, int page, double factor);

}  // namespace sw
