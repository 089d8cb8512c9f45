// `staffwright-cli recognise`: a page picture through the recognition engine
// (or a result file already made) into a score file.
#pragma once

namespace sw {

// argv[2..]: IN OUT.swn [--dpi N] [--fit portrait|landscape] [--no-words]
// [--no-curves] [--accents] [--result R.mro] [--appdir DIR]. Prints the
// summary counts as one JSON line; 0 when the score was written.
int RecogniseCommand(int argc, char** argv);

}  // namespace sw
