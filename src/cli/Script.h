// `staffwright-cli script`: a score edited by a script, with no window.
#pragma once

namespace sw {

// argv[2..]: IN.swn SCRIPT [-o OUT.swn] [--png OUT.png [--page N]] [--appdir DIR].
// 0 when every line ran; else the failing line is named on stderr.
int ScriptCommand(int argc, char** argv);

}  // namespace sw
