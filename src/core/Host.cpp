// Defaults shared by every Host implementation.
#include "core/Host.h"

namespace sw {

Answer SafeDefault(Buttons buttons) {
    switch (buttons) {
        case Buttons::OK:
            return Answer::OK;
        case Buttons::OKCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoHelp:
        case Buttons::NoOK:
            return Answer::No;
        case Buttons::YesNoCancel:
        case Buttons::YesNoKeep:
            return Answer::Cancel;
        case Buttons::YesAbort:
        case Buttons::YesNoAbort:
        case Buttons::OKAbort:
            return Answer::Abort;
    }
    return Answer::Cancel;
}

}  // namespace sw
