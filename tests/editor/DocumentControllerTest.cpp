// The document window's logic: starting from a file, a template or nothing;
// the mode switch and what the window shows for each mode; the caption;
// guidance; the header/footer view; saving and the question on closing.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/ScriptedHost.h"
#include "core/TextMeasurer.h"
#include "editor/DocumentController.h"
#include "fileio/Records.h"
#include "fileio/ScoreFile.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

// Records what the controller asks of the screen.
class FakeView : public PageViewPort {
  public:
    bool pictureOk = true, bandOk = true;
    int pictures = 0, redraws = 0, previews = 0, shownPage = -1;
    bool cursorShown = true, inHeaderFooter = false;
    bool setUpPicture() override {
        ++pictures;
        return pictureOk;
    }
    void showPage(int page) override { shownPage = page; }
    void redrawPage() override { ++redraws; }
    void showStaveCursor(bool shown) override { cursorShown = shown; }
    bool enterHeaderFooter(bool) override { return inHeaderFooter = bandOk; }
    void leaveHeaderFooter() override { inHeaderFooter = false; }
    void openPreview() override { ++previews; }
    void closePreview() override { --previews; }
};

class Document : public ::testing::Test {
  protected:
    Document() {
        services.onAddToHistory = [this](const std::string& p) { history.push_back(p); };
        services.onFileDirectory = [this] { return dir.path(); };
        services.onSetFileDirectory = [this](const std::string& d) { fileDir = d; };
        services.onRefreshStatus = [this] { ++statusRefreshes; };
    }
    DocumentController& Make() {
        controller = std::make_unique<DocumentController>(score, settings, host, warnings, undo,
                                                          view, services, dialogs, measurer);
        return *controller;
    }
    // A small score on disk whose first stave ends where `rightX` says.
    std::string File(const std::string& name, int32_t rightX = 0) {
        Score s;
        s.page.Header = 0.5;
        const int width = ComputePageGeometry(s).width;
        AppendStave(s, 100, 20, rightX ? rightX : width - 5);
        PlaceNote(s, 1, 300, 0, 3);
        PlaceObject(s, 1, kClef, 30, s.stave(1).h.Ycoord, 3);
        const std::string path = dir.file(name);
        EXPECT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        return path;
    }

    test::TempDir dir;
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    FakeView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    test::FixedMeasurer measurer;
    std::unique_ptr<DocumentController> controller;
    std::vector<std::string> history;
    std::string fileDir;
    int statusRefreshes = 0;
};

TEST_F(Document, AnEmptyScoreStartsInMusicWithOneStave) {
    settings.defaultStaveSize = 0.25;
    settings.spacing = 9;  // out of range: clamped
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    EXPECT_EQ(d.mode(), kModeMusic);
    EXPECT_EQ(score.Nstaves, 1);
    EXPECT_EQ(score.stave(1).h.Ycoord, 54);
    EXPECT_EQ(score.stave(1).h.LeftX, 17);
    EXPECT_EQ(score.stave(1).h.RightX, ComputePageGeometry(score).width - 5);
    EXPECT_EQ(score.Spacing, 5);
    EXPECT_DOUBLE_EQ(score.staveSize, 0.25);
    EXPECT_EQ(d.cursorX(), 37);
    EXPECT_EQ(d.ui().caption, "NONAME1");
    EXPECT_EQ(d.ui().toolbar, ToolBarId::Main);
    EXPECT_EQ(view.shownPage, 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, RepaginateLaysThePagesOutAgainAndShowsTheCurrentStavesPage) {
    Score s;
    for (int i = 1; i <= 12; ++i)
        s.stave(AppendStave(s, 60 + 90 * (i - 1), 17, 600)).h.PageNum = 1;
    const std::string path = dir.file("strip.swn");
    ASSERT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::File, path, path, false));
    ASSERT_EQ(score.pageCount, 1);
    EXPECT_TRUE(d.ui().action("acRepaginate").enabled);

    score.page.Length = 5;  // the staves now need three pages
    d.setCurrentStave(12);
    d.repaginate();
    EXPECT_EQ(score.pageCount, 3);
    EXPECT_EQ(view.shownPage, score.stave(12).h.PageNum);
    EXPECT_EQ(d.page(), 3);
    EXPECT_EQ(score.CurrentStave, 12);
    EXPECT_TRUE(d.modified());

    // Once more: nothing moves, so there is nothing new to save.
    std::vector<int32_t> ys;
    for (int i = 1; i <= 12; ++i)
        ys.push_back(score.stave(i).h.Ycoord);
    d.setModified(false);
    d.repaginate();
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(score.stave(i).h.Ycoord, ys[i - 1]) << i;
    EXPECT_FALSE(d.modified());

    // A page too short for any stave: one box for each system.
    score.page.Length = 1.2;
    for (int i = 1; i <= 12; ++i)
        host.expectWarning("Cannot fit system " + std::to_string(i) + " on page");
    d.repaginate();
    EXPECT_EQ(score.pageCount, 12);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, OpeningKeepsTheStavesRightEndsUnlessBroken) {
    const std::string narrow = File("narrow.swn", 400);
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::File, narrow, narrow, false));
    EXPECT_EQ(score.stave(1).h.RightX, 400);
    EXPECT_EQ(d.ui().caption, narrow);

    // A right end beyond the page is broken; the replacement never cuts off
    // the stave's last object.
    const std::string wide = File("wide.swn", 5000);
    Make();
    ASSERT_TRUE(controller->start(DocumentController::Start::File, wide, wide, false));
    EXPECT_EQ(score.stave(1).h.RightX, ComputePageGeometry(score).width - 5);

    // A template takes the user's page and spacing but keeps its staves.
    settings.defaultPage.LeftM = 1.0;
    settings.spacing = 4;
    Make();
    ASSERT_TRUE(controller->start(DocumentController::Start::Template, narrow, "NONAME2", false));
    EXPECT_DOUBLE_EQ(score.page.LeftM, 1.0);
    EXPECT_EQ(score.Spacing, 4);
    EXPECT_EQ(score.stave(1).h.RightX, 400);
    EXPECT_EQ(controller->ui().caption, "NONAME2");
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, AnOlderFileIsRepairedWhenOpenedAndItsReportOffered) {
    Score older;
    AppendStave(older, 100, 20, 600);
    PlaceNote(older, 1, 200, 0, 3);
    PlaceNote(older, 1, 200, 0, 3);  // drawn twice, as older files could
    std::string bytes = EncodeScore(older, 0, older.Nstaves, false, 1, 96);
    PutU16(reinterpret_cast<uint8_t*>(bytes.data()) + 8, 400);
    const std::string path = dir.file("older.swn");
    test::WriteBytes(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));

    TextReport report;
    services.reportSink = &report;
    DocumentController& d = Make();
    host.expectMessage("Duplicated objects", Answer::Yes);
    ASSERT_TRUE(d.start(DocumentController::Start::File, path, path, false));
    EXPECT_EQ(report.shown(), 1);
    int notes = 0;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        notes += score.object(1, i).kind == kNote;
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(score.fileVersion, 501);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, FailedStartsCloseOrFallBack) {
    DocumentController& d = Make();
    host.expectMessage("File cannot be found");
    EXPECT_FALSE(d.start(DocumentController::Start::File, dir.file("gone.swn"), "gone", true));
    // A template that fails gives an empty score instead.
    host.expectMessage("File cannot be found");
    host.expectMessage("Error on reading template. Loading without template.");
    EXPECT_TRUE(
        d.start(DocumentController::Start::Template, dir.file("gone.swt"), "NONAME1", false));
    EXPECT_EQ(score.Nstaves, 1);
    // A page that cannot be shown still opens, so that the staves can be enlarged.
    view.pictureOk = false;
    EXPECT_TRUE(Make().start(DocumentController::Start::File, File("a.swn"), "a", false));
    EXPECT_EQ(controller->mode(), kModeMusic);
    EXPECT_TRUE(controller->ui().action("acStaveSize").enabled);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, ModeSwitchSetsToolBarsActionsAndCursor) {
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    EXPECT_TRUE(d.ui().action("acLinemode").enabled);
    EXPECT_EQ(d.ui().action("acPreview").caption, "Pre&view");

    const int before = statusRefreshes;
    d.setEditMode(kModeMusic);  // the same mode: nothing at all
    EXPECT_EQ(statusRefreshes, before);

    d.run(Action::LineMode);
    EXPECT_EQ(d.mode(), kModeLine);
    EXPECT_EQ(d.previousMode(), kModeMusic);
    EXPECT_EQ(d.ui().toolbar, ToolBarId::Line);
    EXPECT_EQ(d.ui().cursor, CursorShape::Pencil);
    EXPECT_TRUE(d.ui().action("acLinemode").checked);
    EXPECT_FALSE(d.ui().action("acSave").enabled);
    EXPECT_FALSE(d.ui().action("acCurve").enabled);
    EXPECT_FALSE(view.cursorShown);
    EXPECT_NE(d.ui().guidance.find("drag using Left mouse button"), std::string::npos);
    d.run(Action::CurveMode);  // only from Music
    EXPECT_EQ(d.mode(), kModeLine);

    d.run(Action::EnterMusic);
    EXPECT_EQ(d.ui().guidance, "");
    EXPECT_TRUE(d.ui().action("acCurve").enabled);
    EXPECT_TRUE(d.ui().action("acSave").enabled);

    d.run(Action::BlockMode);
    EXPECT_EQ(d.ui().toolbar, ToolBarId::Empty);
    EXPECT_EQ(d.ui().emptyBarText, "Drag a box around the objects to be selected.");
    d.run(Action::EnterMusic);
    EXPECT_EQ(d.ui().emptyBarText, "");

    d.run(Action::Preview);
    EXPECT_EQ(view.previews, 1);
    EXPECT_EQ(d.ui().action("acPreview").caption, "Close pre&view");
    EXPECT_TRUE(d.ui().action("acPreview").checked);
    EXPECT_TRUE(d.ui().action("acSave").enabled);  // saving works from the preview
    d.run(Action::Preview);
    EXPECT_EQ(view.previews, 0);
    EXPECT_EQ(d.mode(), kModeMusic);

    // Symbol mode ends at once when the chooser is cancelled.
    dialogs.onSymbol = [](SymbolPaletteModel&) { return false; };
    Make().start(DocumentController::Start::Empty, "", "NONAME2", false);
    controller->run(Action::SymbolMode);
    EXPECT_EQ(controller->mode(), kModeMusic);
    dialogs.onShape = [](ShapePaletteModel& m) { return m.choose(3); };
    Make().start(DocumentController::Start::Empty, "", "NONAME3", false);
    controller->run(Action::ShapeMode);
    EXPECT_EQ(controller->mode(), kModeDrawing);
    EXPECT_EQ(controller->ui().guidance, "Your first click is at the centre of the circle");
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, LevelsGateCommandsAndGuidance) {
    settings.level = 1;
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    EXPECT_FALSE(d.ui().action("acSaveAsTemplate").enabled);
    EXPECT_FALSE(d.ui().action("acTranspose").enabled);
    d.noviceTick();
    EXPECT_NE(d.ui().guidance.find("why not run the Tutorial?"), std::string::npos);
    PlaceObject(score, 1, kClef, 40, 54, 3);
    d.noviceTick();
    EXPECT_NE(d.ui().guidance.find("got a clef"), std::string::npos);
    d.setProvisional(true, true);
    d.noviceTick();
    EXPECT_NE(d.ui().guidance.find("When placing a note"), std::string::npos);
    EXPECT_FALSE(d.ui().action("acSave").enabled);

    // Expert users are not locked out.
    d.setUserLevel(4);
    EXPECT_TRUE(d.ui().action("acTranspose").enabled);
    d.setProvisional(false);
    EXPECT_TRUE(d.ui().action("acSaveAsTemplate").enabled);
    d.noviceTick();
    EXPECT_EQ(d.ui().guidance, "");
    d.run(Action::TextMode);
    EXPECT_EQ(d.ui().guidance, "");  // no hints at level 3 and above
}

TEST_F(Document, CaptionKeepsItsNameWhateverItEndsWith) {
    DocumentController& d = Make();
    const std::string path = File("Sonata (v2).swn");
    ASSERT_TRUE(d.start(DocumentController::Start::File, path, path, false));
    d.setModified(true);
    EXPECT_EQ(d.ui().caption, path + " (modified)");
    d.setModified(true);
    EXPECT_EQ(d.ui().caption, path + " (modified)");
    d.setModified(false);
    EXPECT_EQ(d.ui().caption, path);
    ASSERT_TRUE(Make().start(DocumentController::Start::File, path, "x)", true));
    EXPECT_EQ(controller->ui().caption, "x) (modified)");  // a recovered backup
}

TEST_F(Document, HeaderFooterViewAndItsWarnings) {
    DocumentController& d = Make();
    const std::string path = File("h.swn");
    ASSERT_TRUE(d.start(DocumentController::Start::File, path, path, false));
    dialogs.onHeaderFooter = [](const HeaderFooterChooser& c) {
        EXPECT_TRUE(c.headerEnabled);
        return HeaderFooterChooser::HeaderArea;
    };
    Make().start(DocumentController::Start::File, path, path, false);
    DocumentController& c = *controller;
    c.run(Action::HeadFoot);
    EXPECT_EQ(c.mode(), kModeHead);
    EXPECT_EQ(score.CurrentStave, 0);
    EXPECT_TRUE(view.inHeaderFooter);
    EXPECT_EQ(c.ui().cursor, CursorShape::ArrowH);
    EXPECT_TRUE(c.ui().action("acHeadFoot").checked);

    // Music asked for on the header/footer stave means the header view; a
    // text placed there returns to it.
    c.run(Action::TextMode);
    EXPECT_EQ(c.mode(), kModeText);
    EXPECT_NE(c.ui().guidance.find("Type text"), std::string::npos);
    c.setEditMode(kModeMusic);
    EXPECT_EQ(c.mode(), kModeHead);
    EXPECT_EQ(c.ui().guidance, "");  // the text's guidance went with it

    for (int i = 0; i < 7; ++i) {
        if (i < 5) host.expectWarning("The only operation you can do on a header or footer");
        c.headerFooterMouseUp();
    }
    host.expectMessage("Your header working area is above the red line.");
    c.clickOutsideWorkingArea();

    c.run(Action::HeadFoot);
    EXPECT_EQ(c.mode(), kModeMusic);
    EXPECT_EQ(score.CurrentStave, 1);
    EXPECT_FALSE(view.inHeaderFooter);
    EXPECT_TRUE(view.cursorShown);

    // A band that cannot be made leaves the music as it was.
    view.bandOk = false;
    c.run(Action::HeadFoot);
    EXPECT_EQ(c.mode(), kModeMusic);
    EXPECT_EQ(score.CurrentStave, 1);
    EXPECT_HOST_CLEAN(host);

    // No header or footer at all: the chooser is not offered.
    score.page.Header = score.page.Footer = 0;
    host.expectMessage("There are no (or no appreciable) header or footer margins");
    c.run(Action::HeadFoot);
    EXPECT_EQ(c.mode(), kModeMusic);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, SavingAndTheQuestionOnClosing) {
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    EXPECT_TRUE(d.queryClose());  // unchanged: no question
    d.setModified(true);
    host.expectMessage("Current score has not been saved.", Answer::Cancel);
    EXPECT_FALSE(d.queryClose());
    host.expectMessage("Current score has not been saved.", Answer::No);
    EXPECT_TRUE(d.queryClose());

    // Yes on an unnamed score asks for a name; cancelling that keeps the window.
    host.expectMessage("Current score has not been saved.", Answer::Yes);
    host.expectSaveFile(std::nullopt);
    EXPECT_FALSE(d.queryClose());
    EXPECT_TRUE(d.modified());

    const std::string target = dir.file("mine.SWN");
    host.expectSaveFile(target);
    ASSERT_TRUE(d.save());
    EXPECT_FALSE(d.modified());
    EXPECT_EQ(d.ui().caption, target);
    EXPECT_EQ(history, std::vector<std::string>{target});
    EXPECT_EQ(fileDir, dir.path() + "/");
    EXPECT_TRUE(std::filesystem::exists(target));

    // A named score saves in place, keeping the previous version.
    d.setModified(true);
    ASSERT_TRUE(d.save());
    EXPECT_TRUE(std::filesystem::exists(BackupName(target)));

    // A Save As that fails leaves the score as it was: its name, its modified
    // state and the history.
    d.setModified(true);
    host.setPermissive(true);
    host.expectSaveFile(dir.file("no/such/folder/x.SWN"));
    EXPECT_FALSE(d.saveAs());
    EXPECT_TRUE(d.modified());
    EXPECT_EQ(d.documentName(), target);
    EXPECT_EQ(d.ui().caption, target + " (modified)");
    EXPECT_EQ(history.back(), target);  // the unwritten file never entered it
}

// Export MusicXML from the File menu: the file the user names, what was left
// out in the report window, the score untouched; cancelling writes nothing and
// a target that cannot be written is said so.
TEST_F(Document, ExportMusicXmlWritesTheFileAndReportsWhatWasLeftOut) {
    TextReport report;
    services.reportSink = &report;
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::File, File("tune.swn"), "tune.swn", false));
    ASSERT_TRUE(d.ui().action("acExportMusicXml").enabled);
    PlaceObject(score, 1, kDrawobject, 500, 100);
    const std::string target = dir.file("tune.mxl");
    host.expectSaveFile(target);
    EXPECT_TRUE(d.run(Action::ExportMusicXml));
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(report.shown(), 1);
    EXPECT_NE(report.text().find("1 drawn shapes"), std::string::npos) << report.text();
    EXPECT_FALSE(d.modified());

    host.expectSaveFile(std::nullopt);
    d.run(Action::ExportMusicXml);
    host.expectSaveFile(dir.file("no/such/folder/x.musicxml"));
    host.expectMessage("cannot be written");
    d.run(Action::ExportMusicXml);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no/such/folder")));
    EXPECT_EQ(report.shown(), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Document, ToolBarsStartFromTheSettingsAndKeepInRange) {
    settings.lineWidth = 3;
    settings.curveDepth = 9;  // a damaged setting
    DocumentController& d = Make();
    ASSERT_TRUE(d.start(DocumentController::Start::Empty, "", "NONAME1", false));
    d.setLineStyle(2);
    d.run(Action::LineMode);
    EXPECT_EQ(d.ui().tools.lineThickness, 3);
    EXPECT_EQ(d.ui().tools.lineStyle, 0);  // solid on entering
    d.setDotSpacing(1);
    EXPECT_EQ(d.ui().tools.dotSpacing, 3);
    d.setLineThickness(-2);
    EXPECT_EQ(d.ui().tools.lineThickness, 0);
    d.run(Action::EnterMusic);
    d.run(Action::CurveMode);
    EXPECT_EQ(d.ui().tools.curveThickness, 5);
    d.setCurveStyle(6);
    EXPECT_EQ(d.ui().tools.curveStyle, 2);
    d.run(Action::EnterMusic);
    d.run(Action::HairpinMode);
    EXPECT_EQ(d.ui().tools.hairpinThickness, 3);
    d.setHairpinThickness(4);
    EXPECT_EQ(d.ui().tools.hairpinThickness, 3);
    d.run(Action::EnterMusic);
    d.setTextFlags(true, true, true);
    d.run(Action::TextMode);
    EXPECT_FALSE(d.ui().tools.boxed);  // a new text starts plain
    d.setTextFont(FontDesc{"", 500, kBold, 0, 1});
    EXPECT_EQ(d.ui().tools.textFont.size, 200);
    EXPECT_FALSE(d.ui().tools.textFont.name.empty());
}

TEST_F(Document, FoundFaultsStayMended) {
    settings.level = 1;
    std::vector<int> modes;
    services.onRefreshStatus = [&] { modes.push_back(controller->mode()); };
    DocumentController& d = Make();
    const std::string path = File("lower.swn");
    ASSERT_TRUE(d.start(DocumentController::Start::File, path, path, false));
    // Saving keeps a lower-case score name rather than writing a second file.
    d.setModified(true);
    modes.clear();
    ASSERT_TRUE(d.save());
    EXPECT_EQ(modes, (std::vector<int>{kModeSaving, kModeMusic}));  // the status shows the save
    EXPECT_EQ(d.documentName(), path);
    EXPECT_FALSE(std::filesystem::exists(dir.file("lower.SWN")));
    // Raising the level takes the beginner's guidance away at once.
    d.noviceTick();
    EXPECT_FALSE(d.ui().guidance.empty());
    d.setUserLevel(2);
    EXPECT_EQ(d.ui().guidance, "");
    // The preview keeps its page when asked for another.
    score.pageCount = 2;
    d.run(Action::Preview);
    d.showPage(2);
    EXPECT_EQ(d.page(), 1);
    d.run(Action::Preview);
    // The text font chosen for one text is the next one's.
    d.run(Action::TextMode);
    d.setTextFont(FontDesc{"Sans", 16, kItalic, 0, 1});
    d.run(Action::EnterMusic);
    d.run(Action::TextMode);
    EXPECT_EQ(d.ui().tools.textFont.name, "Sans");
    EXPECT_HOST_CLEAN(host);
}

TEST(ModePanel, NamesAndSpecialTexts) {
    EXPECT_EQ(ModePanelText(kModeMusic), "Music Mode");
    EXPECT_EQ(ModePanelText(kModeBlocksoon), "Block Mode");
    EXPECT_EQ(ModePanelText(kModeSaving), "Saving File");
    EXPECT_EQ(ModePanelText(kModeMovestave), "Moving stave");
    EXPECT_EQ(ModePanelText(6), "");
    EXPECT_EQ(ModePanelText(200), "");
}

}  // namespace
}  // namespace sw
