// Printing with no printer of the system's: the built-in PDF printer asks
// for the file and for how its pages are drawn.
#pragma once

#include <string>

#include "editor/dialogs/AttributeForm.h"

namespace sw {

struct PdfPrintRequest {
    std::string path;
    bool vector = true;  // paths and text, else the 1-bit print pictures
};

// "Print to PDF": vector pages (zoomable, text searchable) or the print
// pictures the printer path sends; vector unless the user picks otherwise.
class PdfPagesForm : public AttributeForm {
  public:
    PdfPagesForm();
    bool vector() const { return !isChosen(pages_, 1); }

  private:
    int pages_ = 0;
};

}  // namespace sw
