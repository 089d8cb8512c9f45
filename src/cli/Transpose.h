// `staffwright-cli convert … --transpose N [--clef NAME]`: the whole score
// transposed after it is opened, before it is written in any format.
#pragma once

#include <string>

#include "core/TextMeasurer.h"
#include "model/Score.h"

namespace sw {

class Host;

struct CliTransposition {
    bool on = false;
    int semitones = 0;
    int clef = -1;  // -1 none, else 0 treble … 3 tenor
    // Takes "--transpose N" or "--clef treble|bass|alto|tenor"; false for a
    // value that is none of these.
    bool set(const std::string& option, const std::string& value);
};

// Transposes the opened score as "Do it!" would over the whole score with
// "Respace notes" ticked, no stem adjustment and no questions (octave
// markers kept), then lays it out again. True when there was nothing to
// do or it was done; false after the refusal's message.
bool ApplyTransposition(Score& score, const CliTransposition& t, Host& host,
                        const TextMeasurer& measurer);

}  // namespace sw
