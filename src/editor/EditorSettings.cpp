// The editor's view of the settings file.
#include "app/FavouriteFonts.h"
#include "app/MainLogic.h"
#include "editor/DocumentController.h"

namespace sw {

void TakeOptionSettings(EditorSettings& e, const Settings& s) {
    e.level = s.level;
    e.startUnlocked = s.editingUnlocked;
    e.backups = s.backups;
    e.lineWidth = s.lineWidth;
    e.curveDepth = s.curveDepth;
    e.toolbarBits = s.toolbar;
    e.defaultPage = DefaultPageData(s);
    e.defaultStaveSize = DefaultStaveSize(s);
    e.metric = !s.unitsInches;
    e.cursorType = s.cursorType;
    e.scrollSpeed = s.scrollSpeed;
    e.american = s.language == 1;
    e.naturalsInKeyChange = s.naturalsInKeyChange;
    e.rulers = s.ruler;
    e.threeDot = s.threeDot;
    e.cClef = s.cClef;
}

EditorSettings EditorSettingsFrom(const Settings& s) {
    EditorSettings e;
    TakeOptionSettings(e, s);
    e.fastCpu = s.fastCpu;
    e.spacing = s.spacing;
    e.undoDepth = s.undo;
    e.cursorThickness = s.cursorThickness;
    e.debug.acceptAnyFile = s.debugFlag(Settings::kDebugAcceptAnyFile);
    e.debug.disableTidy = s.debugFlag(Settings::kDebugNoTidy);
    e.emergencyLoading = s.debugFlag(Settings::kDebugEmergency);
    e.dumpTools = s.debugFlag(Settings::kDebugDump);
    e.staveLimits = s.debugFlag(Settings::kDebugStaveLimits);
    e.neatenFactor = s.neatenFactor;
    e.lcl = s.lcl;
    e.barFont = FavouriteFontDesc(s.barFont);
    return e;
}

}  // namespace sw
