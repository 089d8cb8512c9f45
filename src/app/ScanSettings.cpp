// Settings read into the scan window's configuration.
#include "app/ScanSettings.h"

namespace sw {

ImportConfig ScanConfig(const Settings& s) {
    ImportConfig c;
    c.scoreFolder = !s.scanDirectory.empty() ? s.scanDirectory : s.fileDirectory;
    c.dpiText = s.scanResolution;
    c.showScaled = s.showScaled;
    c.diagnostics = s.debug.any();
    c.options.oldSymbols = s.oldeSymbols;
    c.options.graceNotes = s.scanGraceNotes;
    c.options.thinBeams = s.thinBeams;
    c.options.symmetricHeads = s.ellipseHeads;
    c.options.accents = s.accents;
    c.paper =
        PaperDefaults{s.pageWidth, s.pageLength, s.pageLeft, s.pageRight, s.pageTop, s.pageBottom};
    return c;
}

}  // namespace sw
