// A screen for the document controller that remembers only what a test
// asks about: the page shown and how often the cursor changed.
#pragma once

#include "editor/DocumentController.h"

namespace sw::test {

class NullView : public PageViewPort {
  public:
    int shownPage = 0, cursorChanges = 0;
    bool setUpPicture() override { return true; }
    void showPage(int page) override { shownPage = page; }
    void redrawPage() override {}
    void showStaveCursor(bool) override { ++cursorChanges; }
    bool enterHeaderFooter(bool) override { return true; }
    void leaveHeaderFooter() override {}
    void openPreview() override {}
    void closePreview() override {}
};

}  // namespace sw::test
