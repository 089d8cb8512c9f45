// The PDF printer's choice of pages.
#include "editor/PdfPrint.h"

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

PdfPagesForm::PdfPagesForm() {
    title_ = MessageText(msg::PrintToPdfCaption);
    pages_ = radio(MessageText(msg::PdfPagesAs),
                   {MessageText(msg::PdfVectorPages), MessageText(msg::PdfRasterPages)});
    at(pages_).value = 0;
}

}  // namespace sw
