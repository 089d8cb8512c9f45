// Printing with no system printer: the PDF printer asks for the file, then
// whether the pages are vector or the print pictures, and hands the window
// both; cancelling either question prints nothing.
#include "editor/PdfPrint.h"

#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

class PrintToPdf : public test::EditorFixture {
  protected:
    void SetUp() override {
        Score s;
        AppendStave(s, 100, 20, 600);
        PlaceNote(s, 1, 300, 0, 3);
        OpenScore(s, 4);
    }
};

TEST_F(PrintToPdf, AsksForTheFileThenHowThePagesAreDrawn) {
    const std::string target = dir.file("out.pdf");
    dialogs.onForm = [](AttributeForm& form) {
        EXPECT_EQ(form.title(), "Print to PDF");
        EXPECT_EQ(form.control(0).value, 0) << "vector pages unless the user picks otherwise";
        return true;
    };
    host.expectSaveFile(target);
    d->printToPdf();
    ASSERT_TRUE(view.printed);
    EXPECT_EQ(view.printed->path, target);
    EXPECT_TRUE(view.printed->vector);

    dialogs.onForm = [](AttributeForm& form) {
        form.choose(0, 1);
        return true;
    };
    host.expectSaveFile(target);
    d->printToPdf();
    EXPECT_FALSE(view.printed->vector);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(PrintToPdf, CancellingEitherQuestionPrintsNothing) {
    int forms = 0;
    dialogs.onForm = [&](AttributeForm&) {
        ++forms;
        return false;
    };
    host.expectSaveFile(std::nullopt);
    d->printToPdf();
    EXPECT_EQ(forms, 0);
    host.expectSaveFile(dir.file("x.pdf"));
    d->printToPdf();
    EXPECT_EQ(forms, 1);
    EXPECT_FALSE(view.printed);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
