// The command line's transposition.
#include "cli/Transpose.h"

#include <array>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "layout/OpenScore.h"
#include "tools/Transpose.h"

namespace sw {

bool CliTransposition::set(const std::string& option, const std::string& value) {
    if (option == "--transpose") {
        const std::optional<double> n = ParseReal(value);
        if (!n || *n < -24 || *n > 24 || *n != static_cast<int>(*n)) return false;
        semitones = static_cast<int>(*n);
        on = true;
        return true;
    }
    static constexpr std::array<const char*, 4> kClefs = {"treble", "bass", "alto", "tenor"};
    for (std::size_t k = 0; k < kClefs.size(); ++k)
        if (option == "--clef" && value == kClefs[k]) {
            clef = static_cast<int>(k);
            on = true;
            return true;
        }
    return false;
}

bool ApplyTransposition(Score& score, const CliTransposition& t, Host& host,
                        const TextMeasurer& measurer) {
    if (!t.on) return true;
    if (t.semitones == 0 && t.clef < 0) {
        host.message(MsgType::Error, MessageText(msg::TransposeByNothing), Buttons::OK);
        return false;
    }
    TransposePlan plan;
    plan.staves = TransposeRange(score, TransposeExtent::Score, 1, host);
    plan.semitones = t.semitones;
    plan.clef = t.clef;
    plan.respace = t.semitones != 0;  // as "Do it!" leaves it
    if (!Transpose(score, plan, host, measurer)) return false;
    PrepareForDisplay(score, host, measurer);
    return true;
}

}  // namespace sw
