// `staffwright-cli merge`: one score file's staves put into another's.
#pragma once

namespace sw {

// argv[2..]: A.swn B.swn OUT.swn [--after S | --before S | --end]. 0 when
// OUT was written; a refusal says why, writes nothing and returns 1.
int MergeCommand(int argc, char** argv);

}  // namespace sw
