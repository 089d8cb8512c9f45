// A screen that is never looked at, for a document run with no window (the
// command line's scripts, fuzzing): the controller's state is all there is.
#pragma once

#include <optional>

#include "editor/DocumentController.h"

namespace sw {

class HeadlessView : public PageViewPort {
  public:
    bool setUpPicture() override { return true; }
    void showPage(int) override {}
    void redrawPage() override {}
    void showStaveCursor(bool) override {}
    bool enterHeaderFooter(bool) override { return true; }
    void leaveHeaderFooter() override {}
    void openPreview() override {}
    void closePreview() override {}
    // Where the pointer was sent last, as a window would have moved it.
    void movePointerTo(int32_t x, int32_t y) override {
        pointerX = x;
        pointerY = y;
    }
    // The last point the page was scrolled to show.
    void makeVisible(int32_t x, int32_t y) override {
        visibleX = x;
        visibleY = y;
    }
    // What the PDF printer was asked for last.
    void printToPdf(const PdfPrintRequest& request) override { printed = request; }
    int32_t pointerX = -1, pointerY = -1;
    int32_t visibleX = -1, visibleY = -1;
    std::optional<PdfPrintRequest> printed;
};

}  // namespace sw
