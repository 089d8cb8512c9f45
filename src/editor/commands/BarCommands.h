// The bar commands: renumbering the bars of the whole score (the key's and
// the "Bar Maintenance" dialog's) and the Ctrl-drop of a bar line. Each is
// one edit, undone by one Undo, and writes nothing when nothing changes.
#pragma once

#include <cstdint>

#include "editor/ScoreEdit.h"
#include "layout/Bars.h"

namespace sw {

class Host;

// The collect-only performance of one system, as bar numbering times it.
SystemTimeTable PerformanceTimes(Score& score, Host& host);

// The keyboard renumbering (RenumberBars). True when a number, a show flag
// or a system's number changed.
bool RenumberScoreBars(EditContext& ctx, int frequency);

// The dialog's renumbering (RefreshBarNumbers) from `first`, 1..32767, with
// the place 0..3 and the frequency. A first number out of range is refused
// with a message.
enum class Renumbered { Refused, Unchanged, Changed };
Renumbered RefreshScoreBarNumbers(EditContext& ctx, int first, int place, int frequency);

// Bar line i of top stave s, at its old x, dropped with Ctrl at x: the bars
// on either side re-spaced in one record of the system. False, with nothing
// written, for a bar line that is moved plainly instead.
bool DropBarlineRespacing(EditContext& ctx, int s, int i, int32_t x);

}  // namespace sw
