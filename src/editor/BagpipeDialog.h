// The model of the "Scottish Pipes" dialog: the seven choices of "Format for
// GHB", every one ticked when it opens.
#pragma once

#include <array>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "tools/Bagpipe.h"

namespace sw {

class PipesDialogModel {
  public:
    static constexpr const char* kCaption = "Scottish Pipes";
    // The boxes in the order of PipeOptions' fields.
    static constexpr std::array<const char*, 7> kChoices = {
        "Grace notes stem up", "Grace notes 3 beams", "Large notes stem down", "Implied 2# key sig",
        "Transpose + 1",       "Sound = Bagpipe",     "Temperament = GHB"};
    static constexpr std::array<bool PipeOptions::*, 7> kFlags = {
        &PipeOptions::graceStemsUp,      &PipeOptions::graceThreeBeams,
        &PipeOptions::largeStemsDown,    &PipeOptions::impliedKey,
        &PipeOptions::transposeUp,       &PipeOptions::bagpipeSound,
        &PipeOptions::bagpipeTemperament};
    static constexpr const char* kExplain = "Explain";
    static constexpr const char* kRemove = "Remove";

    PipeOptions options;

    bool& choice(std::size_t k) { return options.*kFlags[k]; }
    // Unticks every box; OK then takes the score back to plain playback.
    void remove() { options.clear(); }
    void explain(Host& host) const {
        host.message(MsgType::Information, MessageText(msg::PipesExplanation), Buttons::OK);
    }
};

}  // namespace sw
