// The editor's view of the settings file.
#include "app/MainLogic.h"
#include "editor/DocumentController.h"

namespace sw {

EditorSettings EditorSettingsFrom(const Settings& s) {
    EditorSettings e;
    e.level = s.level;
    e.startUnlocked = s.editingUnlocked;
    e.fastCpu = s.fastCpu;
    e.backups = s.backups;
    e.lineWidth = s.lineWidth;
    e.curveDepth = s.curveDepth;
    e.spacing = s.spacing;
    e.toolbarBits = s.toolbar;
    e.defaultPage = DefaultPageData(s);
    e.defaultStaveSize = DefaultStaveSize(s);
    e.undoDepth = s.undo;
    e.metric = !s.unitsInches;
    e.cursorType = s.cursorType;
    e.cursorThickness = s.cursorThickness;
    e.scrollSpeed = s.scrollSpeed;
    e.american = s.language == 1;
    e.naturalsInKeyChange = s.naturalsInKeyChange;
    e.debug.acceptAnyFile = s.debugFlag(Settings::kDebugAcceptAnyFile);
    e.debug.disableTidy = s.debugFlag(Settings::kDebugNoTidy);
    e.emergencyLoading = s.debugFlag(Settings::kDebugEmergency);
    e.dumpTools = s.debugFlag(Settings::kDebugDump);
    e.staveLimits = s.debugFlag(Settings::kDebugStaveLimits);
    e.rulers = s.ruler;
    e.threeDot = s.threeDot;
    e.cClef = s.cClef;
    e.neatenFactor = s.neatenFactor;
    e.lcl = s.lcl;
    return e;
}

}  // namespace sw
