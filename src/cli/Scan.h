// `staffwright-cli scan`: the scan window's logic driven by a script, with no
// window.
#pragma once

namespace sw {

// argv[2..]: SCRIPT [--appdir DIR]. 0 when every line ran.
int ScanCommand(int argc, char** argv);

}  // namespace sw
