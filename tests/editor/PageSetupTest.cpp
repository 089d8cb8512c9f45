// Page setup: the dialog's boxes, units, sizes and turning; the OK-time check
// against the printer; staves following the usable width and the stave size;
// the header/footer chooser and the favourite fonts.
#include <gtest/gtest.h>

#include "app/FavouriteFonts.h"
#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/PageSetup.h"
#include "editor/Undo.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

PageData A4(double top, double left, double bottom, double right) {
    PageData p;
    p.Width = 8.26, p.Length = 11.69;
    p.TopM = top, p.LeftM = left, p.BotM = bottom, p.RightM = right;
    return p;
}

// A printer of 300 dpi that turns its paper with the orientation.
CapacityReader Printer(PrinterCaps portrait, int* reads = nullptr) {
    return [portrait, reads](bool landscape, PrinterCaps& c) {
        if (reads) ++*reads;
        c = landscape ? TurnCaps(portrait, true) : portrait;
        return true;
    };
}

TEST(PaperDialog, BoxesConvertUnitsAndFindTheStandardSize) {
    ScriptedHost host;
    WarningBox warnings;
    PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), true, warnings);
    EXPECT_EQ(d.boxText(PaperDialogModel::Length), "296.9");
    d.editBox(PaperDialogModel::Width, "210", host);
    EXPECT_DOUBLE_EQ(d.page().Width, 210 / 25.4);
    // 210 mm is 8.2677 inches, within a hundredth of A4's 8.26: still A4.
    EXPECT_EQ(d.standardSize(), 1);
    d.editBox(PaperDialogModel::Width, "215", host);
    EXPECT_EQ(d.standardSize(), kCustomSize);
    d.setMetric(false);
    EXPECT_EQ(d.boxText(PaperDialogModel::Width), "8.465");
    d.editBox(PaperDialogModel::Width, "8.5", host);
    d.editBox(PaperDialogModel::Length, "11", host);
    EXPECT_EQ(d.standardSize(), 4);  // US Letter
    d.editBox(PaperDialogModel::Width, " 8.26 ", host);
    d.editBox(PaperDialogModel::Length, "11.69", host);
    EXPECT_EQ(d.standardSize(), 1);
    EXPECT_EQ(d.printableWidthText(), "Width 7.260");
    EXPECT_EQ(d.printableHeightText(), "Height 10.690");
    d.chooseStandardSize(0, host);
    EXPECT_DOUBLE_EQ(d.page().Length, 16.53);
    d.chooseStandardSize(9, host);  // out of the group: nothing
    EXPECT_EQ(d.standardSize(), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, BadOrNegativeNumbersKeepTheStoredValue) {
    ScriptedHost host;
    WarningBox warnings;
    PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), false, warnings);
    for (const char* text : {"abc", "", "1,5", "-0.25", "1e999", "nan"}) {
        host.expectMessage("Box contains invalid numeric format");
        d.editBox(PaperDialogModel::Top, text, host);
        EXPECT_DOUBLE_EQ(d.page().TopM, 0.5) << text;
    }
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, ValidityCountsHeaderAndFooterAndWarns) {
    ScriptedHost host;
    WarningBox warnings;
    PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), false, warnings);
    EXPECT_TRUE(d.valid());
    d.editBox(PaperDialogModel::Header, "5", host);
    host.expectWarning("Bottom and Top Margins are bigger than the page length!\nPlease fix!");
    d.editBox(PaperDialogModel::Footer, "5.69", host);  // usable height exactly 0
    EXPECT_FALSE(d.valid());
    int reads = 0;
    host.expectWarning("Bottom and Top");
    EXPECT_FALSE(d.accept(Printer(PrinterCaps{}, &reads), host));
    EXPECT_EQ(reads, 0);  // an invalid page never reaches the printer check
    d.editBox(PaperDialogModel::Footer, "0", host);
    EXPECT_TRUE(d.valid());
    host.expectWarning("Left+Gutter+Right Margins are bigger than the page width!");
    d.editBox(PaperDialogModel::Gutter, "7.26", host);
    EXPECT_FALSE(d.valid());
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, OpeningOnABadPageSaysSoAtOnce) {
    ScriptedHost host;
    WarningBox warnings;
    PageData p = A4(6, 0.5, 6, 0.5);
    PaperDialogModel d(p, false, warnings);
    host.expectWarning("Bottom and Top Margins are bigger than the page length!");
    d.open(host);
    PaperDialogModel fine(A4(0.5, 0.5, 0.5, 0.5), false, warnings);
    fine.open(host);  // nothing to say
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, SilencedMarginWarningsStaySilentButOkStillSaysWhyNot) {
    ScriptedHost host;
    WarningBox warnings;
    PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), false, warnings);
    host.expectWarning("Bottom and Top Margins", Answer::OK, true);
    host.expectMessage(
        "You have chosen not to see this message again.\n\nBut you can bring it "
        "back with Options | Reinstate warnings.");
    d.editBox(PaperDialogModel::Top, "6", host);
    d.editBox(PaperDialogModel::Bottom, "6", host);  // silenced now
    host.expectMessage("Bottom and Top Margins are bigger than the page length!\nPlease fix!");
    EXPECT_FALSE(d.accept({}, host));
    // The other margin warning is a message of its own, still shown.
    d.editBox(PaperDialogModel::Top, "0.5", host);
    d.editBox(PaperDialogModel::Bottom, "0.5", host);
    host.expectWarning("Left+Gutter+Right Margins");
    d.editBox(PaperDialogModel::Gutter, "8", host);
    EXPECT_HOST_CLEAN(host);
}

// Without a printer, printing makes PDF files on the page's own paper.
TEST(PaperDialog, WithoutAPrinterAnyPaperPassesAndTheLargestIsTheChosenOne) {
    ScriptedHost host;
    WarningBox warnings;
    PageData a3 = A4(0.1, 0.1, 0.1, 0.1);
    a3.Width = 11.69, a3.Length = 16.53, a3.GutM = 0.3, a3.Header = 0.4;
    PaperDialogModel d(a3, false, warnings);
    EXPECT_TRUE(d.accept({}, host));  // nothing to compare with, nothing asked
    d.useLargest({}, host);
    EXPECT_DOUBLE_EQ(d.page().Width, 11.69);
    EXPECT_DOUBLE_EQ(d.page().Length, 16.53);
    EXPECT_EQ(d.page().TopM + d.page().BotM + d.page().LeftM + d.page().RightM, 0);
    EXPECT_EQ(d.page().GutM + d.page().Header + d.page().Footer, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, TurningThePageTurnsTheMarginsAndBack) {
    ScriptedHost host;
    WarningBox warnings;
    PaperDialogModel d(A4(0.5, 1, 0.75, 0.25), false, warnings);
    d.setLandscape(true, host);
    const PageData& p = d.page();
    EXPECT_TRUE(p.landscape);
    EXPECT_DOUBLE_EQ(p.Width, 11.69);
    EXPECT_DOUBLE_EQ(p.Length, 8.26);
    EXPECT_DOUBLE_EQ(p.TopM, 1);
    EXPECT_DOUBLE_EQ(p.LeftM, 0.75);
    EXPECT_DOUBLE_EQ(p.BotM, 0.25);
    EXPECT_DOUBLE_EQ(p.RightM, 0.5);
    EXPECT_EQ(d.standardSize(), 1);  // still A4, turned
    d.chooseStandardSize(4, host);   // US Letter in landscape
    EXPECT_DOUBLE_EQ(p.Width, 11.0);
    d.chooseStandardSize(1, host);
    d.setLandscape(false, host);
    EXPECT_TRUE(SamePageData(p, A4(0.5, 1, 0.75, 0.25)));
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, LargestPageComesFromThePrinterInEitherOrientation) {
    PrinterCaps caps;  // 300 dpi, 2400 x 3300, 180 dots unprintable
    caps.offsetLeft = 150, caps.offsetTop = 60, caps.offsetRight = 90, caps.offsetBottom = 120;
    PageData p = A4(1, 1, 1, 1);
    p.GutM = 0.5, p.Header = 0.4, p.Footer = 0.3;
    ASSERT_TRUE(UseLargestPage(p, Printer(caps)));
    EXPECT_DOUBLE_EQ(p.Width, 8);
    EXPECT_DOUBLE_EQ(p.Length, 11);
    EXPECT_DOUBLE_EQ(p.LeftM, 0.5);
    EXPECT_DOUBLE_EQ(p.TopM, 0.2);
    EXPECT_DOUBLE_EQ(p.RightM, 0.3);
    EXPECT_DOUBLE_EQ(p.BotM, 0.4);
    EXPECT_EQ(p.GutM + p.Header + p.Footer, 0);

    // Landscape, whether or not the printer turns its paper itself.
    for (bool printerTurns : {true, false}) {
        PageData q = TurnPage(A4(1, 1, 1, 1), true);
        q.landscape = true;
        CapacityReader read = printerTurns ? Printer(caps) : [caps](bool, PrinterCaps& c) {
            c = caps;
            return true;
        };
        ASSERT_TRUE(UseLargestPage(q, read));
        EXPECT_DOUBLE_EQ(q.Width, 11) << printerTurns;
        EXPECT_DOUBLE_EQ(q.Length, 8) << printerTurns;
        EXPECT_DOUBLE_EQ(q.TopM, 0.5) << printerTurns;  // the old left edge
        EXPECT_DOUBLE_EQ(q.RightM, 0.2) << printerTurns;
    }
    PageData r = A4(1, 1, 1, 1);
    EXPECT_FALSE(UseLargestPage(r, [](bool, PrinterCaps&) { return false; }));
    EXPECT_TRUE(SamePageData(r, A4(1, 1, 1, 1)));
}

TEST(PaperDialog, OkChecksThePrinterAndOffersTheLargestPage) {
    PrinterCaps caps;  // an 8 x 11 inch printer with 0.6 inch edges
    ScriptedHost host;
    WarningBox warnings;
    {
        PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), true, warnings);
        host.expectMessage("Your page width is 209.8mm, printer maximum is 203.2mm.");
        host.expectMessage("Save these values anyway?", Answer::No);
        EXPECT_FALSE(d.accept(Printer(caps), host));  // stays open
        host.expectMessage("Your left margin is 12.7mm, printer min is 15.2mm.", Answer::No);
        host.expectMessage("Save these values anyway?", Answer::OK);
        EXPECT_TRUE(d.accept(Printer(caps), host));
        EXPECT_DOUBLE_EQ(d.page().Width, 8.26);  // kept as typed
    }
    {
        PaperDialogModel d(A4(0.5, 0.5, 0.5, 0.5), false, warnings);
        host.expectMessage("Shall I load the largest page size", Answer::Yes);
        EXPECT_TRUE(d.accept(Printer(caps), host));
        EXPECT_DOUBLE_EQ(d.page().Width, 8);
        EXPECT_DOUBLE_EQ(d.page().LeftM, 0.6);
    }
    {
        // A landscape page narrower than the printer's length passes once turned.
        PageData p = TurnPage(A4(0.7, 0.7, 0.7, 0.7), true);
        p.Width = 10.5, p.Length = 7.5, p.landscape = true;
        PaperDialogModel d(p, false, warnings);
        EXPECT_TRUE(d.accept(Printer(caps), host));
    }
    EXPECT_HOST_CLEAN(host);
}

TEST(PaperDialog, StaveRunsJoinNeighbours) {
    EXPECT_EQ(StaveRuns({3, 4, 5, 9}), "3-5,9");
    EXPECT_EQ(StaveRuns({6, 7}), "6,7");
    EXPECT_EQ(StaveRuns({1, 3, 4, 5, 6, 8, 9, 11}), "1,3-6,8,9,11");
    EXPECT_EQ(StaveRuns({}), "");
}

// A score of ten staves from LeftX 100 to RightX 1000, with its page picture
// set up through a switch the test can turn off.
class StaveWidth : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int s = 1; s <= 10; ++s)
            AppendStave(score, 100 * s, 100, 1000);
        PlaceNote(score, 2, 600, 0, 3);
        PlaceNote(score, 2, 100, 0, 3);
    }
    int32_t X(int s, int i) { return score.object(s, i).x; }

    Score score;
    ScriptedHost host;
    WarningBox warnings;
    bool pictureOk = true;
    int pictures = 0;
    PictureSetUp picture = [this] {
        ++pictures;
        return pictureOk;
    };
    bool restored = false;
    std::function<void()> restore = [this] { restored = true; };
};

TEST_F(StaveWidth, WideningWithSpreadMovesObjectsProportionally) {
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread the objects proportionately", Answer::Yes);
    EXPECT_EQ(ApplyPageWidthChange(score, 1100, 1000, host, warnings, restore, picture),
              WidthChange::Done);
    EXPECT_EQ(score.stave(2).h.RightX, 1100);
    EXPECT_EQ(score.stave(7).h.RightX, 1100);
    // LeftX + MulDiv(500, 1100 - LeftX, 1000 - LeftX) = 100 + 500 * 1000 / 900
    EXPECT_EQ(X(2, 1), 100 + 556);
    EXPECT_EQ(X(2, 2), 100);

    // Without spreading only the stave ends move; a stave of no length is
    // widened without dividing by zero.
    score.stave(5).h.RightX = score.stave(5).h.LeftX;
    PlaceNote(score, 5, 100, 0, 3);
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread the objects", Answer::Yes);
    EXPECT_EQ(ApplyPageWidthChange(score, 1200, 1100, host, warnings, restore, picture),
              WidthChange::Done);
    EXPECT_EQ(score.stave(5).h.RightX, 200);
    EXPECT_EQ(X(5, 1), 100);
    host.expectWarning("The usable paper width has changed.", Answer::No);
    EXPECT_EQ(ApplyPageWidthChange(score, 1300, 1200, host, warnings, restore, picture),
              WidthChange::Done);
    EXPECT_EQ(score.stave(2).h.RightX, 1200);
    EXPECT_FALSE(restored);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveWidth, ASilencedWidthQuestionWidensWithoutAsking) {
    host.expectWarning("The usable paper width has changed.", Answer::Yes, true);
    host.expectMessage("You have chosen not to see this message again");
    host.expectMessage("spread the objects", Answer::No);
    EXPECT_EQ(ApplyPageWidthChange(score, 1100, 1000, host, warnings, restore, picture),
              WidthChange::Done);
    host.expectMessage("spread the objects", Answer::No);
    EXPECT_EQ(ApplyPageWidthChange(score, 1200, 1100, host, warnings, restore, picture),
              WidthChange::Done);
    EXPECT_EQ(score.stave(3).h.RightX, 1200);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveWidth, AbortAndRefusalRestoreEverything) {
    host.expectWarning("The usable paper width has changed.", Answer::Abort);
    EXPECT_EQ(ApplyPageWidthChange(score, 1100, 1000, host, warnings, restore, picture),
              WidthChange::Abandoned);
    EXPECT_TRUE(restored);
    EXPECT_EQ(score.stave(2).h.RightX, 1000);

    PlaceNote(score, 3, 900, 0, 3);
    PlaceNote(score, 4, 900, 0, 3);
    PlaceNote(score, 5, 896, 0, 3);
    PlaceNote(score, 9, 950, 0, 3);
    PlaceNote(score, 6, 895, 0, 3);  // exactly at the new edge: stays
    restored = false;
    host.expectMessage("Staves 3-5,9\n\nI fear I cannot do this.");
    EXPECT_EQ(ApplyPageWidthChange(score, 900, 1000, host, warnings, restore, picture),
              WidthChange::Abandoned);
    EXPECT_TRUE(restored);
    EXPECT_EQ(score.stave(6).h.RightX, 1000);
    EXPECT_EQ(pictures, 0);

    // Narrowing that fits pulls in every stave end beyond the edge.
    EXPECT_EQ(ApplyPageWidthChange(score, 990, 1000, host, warnings, restore, picture),
              WidthChange::Done);
    EXPECT_EQ(score.stave(1).h.RightX, 985);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveWidth, PictureFailureKeepsTheOldValuesReally) {
    pictureOk = false;
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread", Answer::Yes);
    host.expectMessage("Failed to allocate new bitmap. Old values retained.");
    EXPECT_EQ(ApplyPageWidthChange(score, 1500, 1000, host, warnings, restore, picture),
              WidthChange::Abandoned);
    EXPECT_TRUE(restored);
    EXPECT_EQ(score.stave(2).h.RightX, 1000);
    EXPECT_EQ(X(2, 1), 600);
    EXPECT_EQ(pictures, 2);  // the failed one, then the old page's again
    EXPECT_HOST_CLEAN(host);
}

TEST(StaveSize, TypedSizesFractionsAndRange) {
    EXPECT_DOUBLE_EQ(*ParseStaveSize("1/4", false), 0.25);
    EXPECT_NEAR(*ParseStaveSize("1/3", false), 0.3333, 1e-4);
    EXPECT_DOUBLE_EQ(*ParseStaveSize("8", true), 8 * 0.03937);
    EXPECT_FALSE(ParseStaveSize("a/4", false));
    EXPECT_FALSE(ParseStaveSize("0.3x", false));

    ScriptedHost host;
    WarningBox warnings;
    StaveSizeDialogModel d(0.3, false);
    EXPECT_EQ(d.label(), "New stave height (\") or fraction eg 1/3:");
    EXPECT_EQ(d.boxText(), "0.300");
    d.setBoxText("1/4");
    EXPECT_DOUBLE_EQ(*d.accept(host), 0.25);
    for (const char* bad : {"0", "-0.3", "1/0", "0.05", "1.5"}) {
        d.setBoxText(bad);
        host.expectMessage("Stave size is out of range.");
        EXPECT_FALSE(d.accept(host)) << bad;
    }
    d.setBoxText("three");
    host.expectMessage("Bad number format in Size box");
    EXPECT_FALSE(d.accept(host));
    StaveSizeDialogModel mm(0.3, true);
    EXPECT_EQ(mm.label(), "New stave height (mm):");
    EXPECT_EQ(mm.boxText(), "7.6");
    EXPECT_HOST_CLEAN(host);
}

TEST(StaveSize, LargestKeepsTheRightmostObjectOnThePage) {
    Score score;
    score.page = A4(0.5, 0.5, 0.5, 0.5);  // 7.26 inches usable
    AppendStave(score, 100, 0, 2000);
    EXPECT_DOUBLE_EQ(LargestStaveSize(score), 1.0);  // no objects: capped at 1
    PlaceNote(score, 1, 1495, 0, 3);
    EXPECT_DOUBLE_EQ(LargestStaveSize(score), 7.26 * 32 / 1500);
    StaveSizeDialogModel d(0.3, false);
    d.largestPossible(score);
    EXPECT_EQ(d.boxText(), "0.154");
}

class StaveSizeChange : public ::testing::Test {
  protected:
    void SetUp() override {
        score.page = A4(0.5, 0.5, 0.5, 0.5);
        score.staveSize = 0.3;
        const int w = ComputePageGeometry(score).width;  // 774
        for (int s = 1; s <= 3; ++s)
            AppendStave(score, 100 * s, 0, w);
        PlaceNote(score, 2, 700, 0, 3);
    }
    Score score;
    int32_t cursorX = 0;
    bool modified = false;
    UndoDocument doc{score, cursorX, modified};
    ScriptedHost host;
    WarningBox warnings;
    bool pictureOk = true;
    PictureSetUp picture = [this] { return pictureOk; };
};

TEST_F(StaveSizeChange, SmallerStavesWidenAndLargerOnesAreRefusedWhenObjectsFallOff) {
    score.staveSize = 0.25;  // 929 pixels wide now
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread", Answer::No);
    EXPECT_TRUE(ApplyStaveSizeChange(doc, 0.3, host, warnings, picture));
    EXPECT_EQ(score.stave(1).h.RightX, 929);
    EXPECT_TRUE(modified);

    modified = false;
    score.staveSize = 0.4;  // 581 pixels: the note at 700 would fall off
    host.expectMessage("Staves 2\n");
    EXPECT_FALSE(ApplyStaveSizeChange(doc, 0.25, host, warnings, picture));
    EXPECT_DOUBLE_EQ(score.staveSize, 0.25);
    EXPECT_EQ(score.stave(1).h.RightX, 929);
    EXPECT_FALSE(modified);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveSizeChange, APictureThatCannotBeMadeBringsTheOldSizeBack) {
    score.staveSize = 0.2;
    pictureOk = false;
    host.expectWarning("The usable paper width has changed.", Answer::Yes);
    host.expectMessage("spread", Answer::Yes);
    host.expectMessage("Stave size too small, resulting in a page too large.\nReset to old value");
    EXPECT_FALSE(ApplyStaveSizeChange(doc, 0.3, host, warnings, picture));
    EXPECT_DOUBLE_EQ(score.staveSize, 0.3);
    EXPECT_EQ(score.stave(2).h.RightX, 774);
    EXPECT_EQ(score.object(2, 1).x, 700);
    EXPECT_HOST_CLEAN(host);
}

TEST(HeaderFooter, ChooserEnablesAreasOfATenthOfAnInchOrMore) {
    ScriptedHost host;
    WarningBox warnings;
    PageData p;
    p.Header = 0.05, p.Footer = 0.5;
    HeaderFooterChooser c = OpenHeaderFooterChooser(p, false, host);
    EXPECT_FALSE(c.headerEnabled);
    EXPECT_TRUE(c.footerEnabled);
    EXPECT_EQ(c.chosen, HeaderFooterChooser::FooterArea);
    EXPECT_TRUE(c.okEnabled());
    EXPECT_EQ(c.headerText, "0.050\"");
    EXPECT_EQ(OpenHeaderFooterChooser(p, true, host).footerText, "12.70 mm");

    p.Header = 0.5;
    c = OpenHeaderFooterChooser(p, false, host);
    EXPECT_EQ(c.chosen, HeaderFooterChooser::None);
    EXPECT_FALSE(c.okEnabled());

    p.Header = p.Footer = 0;
    host.expectMessage("There are no (or no appreciable) header or footer margins");
    c = OpenHeaderFooterChooser(p, false, host);
    EXPECT_FALSE(c.headerEnabled || c.footerEnabled);
    EXPECT_HOST_CLEAN(host);
}

TEST(FavouriteFonts, LettersHeadingsRenamingAndFollowingFonts) {
    EXPECT_EQ(FavouriteFontsModel::accessLetter(1), 'A');
    EXPECT_EQ(FavouriteFontsModel::accessLetter(9), 'J');
    EXPECT_EQ(FavouriteFontsModel::accessLetter(14), 'P');
    EXPECT_EQ(FavouriteFontsModel::accessLetter(16), 'R');
    EXPECT_EQ(FavouriteFontsModel::accessLetter(17), '\0');
    EXPECT_EQ(FavouriteFontsModel::numberOfLetter('q'), 15);
    EXPECT_EQ(FavouriteFontsModel::numberOfLetter('I'), 0);
    EXPECT_EQ(FavouriteFontsModel::numberOfLetter('O'), 0);

    std::array<FontSetting, 16> favs{};
    favs[2] = {"Serif", 12, "B", 1, std::string(40, 'x')};
    FavouriteFontsModel select(favs, true, true);
    EXPECT_EQ(select.heading(), "Select Favorite font");
    EXPECT_EQ(select.hintLine(), "Click a font to select");
    EXPECT_EQ(select.description(3).size(), 32u);
    select.click(3);
    EXPECT_EQ(select.chosen(), 3);

    ScriptedHost host;
    WarningBox warnings;
    FavouriteFontsModel edit(favs, false, false);
    EXPECT_EQ(edit.heading(), "Edit Favourite font");
    edit.click(3);
    EXPECT_EQ(edit.chosen(), 0);
    host.expectInput("Description of use:", std::string());
    edit.rename(3, host);
    host.expectInput("Description of use:", std::nullopt);
    edit.rename(4, host);

    Score score;
    FontDesc serifBold{"Serif", 12, kBold, 0x0000FF, 1};
    score.fonts[1] = serifBold;
    score.fonts[2] = FontDesc{"Serif", 12, 0, 0, 1};
    host.expectMessage("change all uses of this font", Answer::Yes);
    edit.changeFont(3, {"Sans", 14, "I", 1, "ignored"}, &score, host);
    EXPECT_EQ(score.fonts[1].name, "Sans");
    EXPECT_EQ(score.fonts[1].style, kItalic);
    EXPECT_EQ(score.fonts[1].colour, 0x0000FFu);  // each text keeps its colour
    EXPECT_EQ(score.fonts[2].name, "Serif");      // a different style is another font
    edit.close(favs);
    EXPECT_EQ(favs[2].name, "Sans");
    EXPECT_EQ(favs[2].usedFor, "No name given");
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
