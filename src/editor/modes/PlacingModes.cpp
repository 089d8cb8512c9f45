// The placing modes' tools and first guidance.
#include "editor/modes/PlacingModes.h"

#include "core/MessageIds.h"
#include "editor/DocumentController.h"

namespace sw {

void RedrawOnReturn(DocumentController& d, int to) {
    if (to == kModeMusic && d.settings().fastCpu) d.view_.redrawPage();
}

void TextMode::enter(int) {
    d_.setCursorShown(false);
    // A new text starts plain, in the font the last one used.
    PlacementTools& t = d_.ui_.tools;
    t.transposable = t.immobile = t.boxed = false;
    d_.showGuidance(msg::GuidanceText);
}

void TextMode::leave(int to) {
    RedrawOnReturn(d_, to);
}

void LineMode::enter(int) {
    d_.setCursorShown(false);
    d_.ui_.tools.lineStyle = 0;
    d_.setLineThickness(d_.settings_.lineWidth);
    d_.showGuidance(msg::GuidanceLineStart);
}

void CurveMode::enter(int) {
    d_.setCursorShown(false);
    d_.ui_.tools.curveStyle = 0;
    d_.setCurveThickness(d_.settings_.curveDepth);
    d_.showGuidance(msg::GuidanceCurveStart);
}

void HairpinMode::enter(int) {
    d_.setCursorShown(false);
    d_.setHairpinThickness(d_.settings_.lineWidth);
    d_.showGuidance(msg::GuidanceHairpinStart);
}

void HairpinMode::leave(int to) {
    RedrawOnReturn(d_, to);
}

void DrawingMode::enter(int) {
    d_.setCursorShown(false);
    d_.showGuidance(msg::GuidanceShapeFirst + 2 * (d_.shapeKind_ / 2));
}

}  // namespace sw
