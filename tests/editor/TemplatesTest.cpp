// Saving part of a score, templates, the template list and its selection.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>
#include <utility>

#include "editor/FileCommands.h"
#include "model/Build.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

class Templates : public ::testing::Test {
  protected:
    void SetUp() override {
        // Three systems of two staves, a title on stave 0.
        for (int s = 1; s <= 6; ++s) {
            AppendStave(score, 60 * s, 0, 700);
            if (s % 2) score.stave(s).h.joinToNext = true;
            ScoreObject* clef = PlaceObject(score, s, kClef, 20, score.stave(s).h.Ycoord, 3);
            clef->data.clef.type = 0;
        }
        PlaceText(score, 0, kHeadertext, 100, 10, 1, "Title");
    }
    Score Load(const std::string& path) {
        Score loaded;
        ScriptedHost quiet;
        EXPECT_TRUE(LoadScore(loaded, path, false, quiet).ok);
        return loaded;
    }
    Score score;
    ScriptedHost host;
    test::TempDir dir;
    std::vector<TemplateEntry> list;
};

TEST_F(Templates, SavePartWritesTheChosenSystemsRenumberedFromOne) {
    host.expectMessage("Start system number must not be greater than end system number.");
    EXPECT_EQ(SavePartOfScore(score, 3, 2, dir.file("x.SWN"), host), SaveResult::Abandoned);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.SWN")));
    host.expectMessage("Start system number");
    EXPECT_FALSE(PartRange(score, 1, 4, host));  // past the last system

    ASSERT_EQ(SavePartOfScore(score, 2, 3, dir.file("part.SWN"), host), SaveResult::Saved);
    Score part = Load(dir.file("part.SWN"));
    EXPECT_EQ(part.Nstaves, 4);
    EXPECT_EQ(part.stave(1).h.Ycoord, 180);  // stave 3 of the score
    EXPECT_EQ(part.stave(0).h.Nobjec, 0);    // no header stave in a part
    // Every system is still a partial file: no stave 0.
    ASSERT_EQ(SavePartOfScore(score, 1, 3, dir.file("all.SWN"), host), SaveResult::Saved);
    EXPECT_EQ(Load(dir.file("all.SWN")).stave(0).h.Nobjec, 0);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Templates, TheSavePartWindowStartsAtTheCurrentSystemAndKeepsItsRangeInOrder) {
    score.CurrentStave = 4;  // system 2: staves 3 and 4
    SavePartChooser c(score);
    EXPECT_EQ(std::make_tuple(c.start(), c.end(), c.systems()), std::make_tuple(2, 2, 3));
    EXPECT_EQ(c.startStaveText() + "-" + c.endStaveText(), "3-4");
    c.setStart(3);  // the end follows a start beyond it
    EXPECT_EQ(c.end(), 3);
    EXPECT_EQ(c.endStaveText(), "6");
    c.setEnd(1);
    EXPECT_EQ(c.endStaveText(), "2");
    host.expectMessage("Start system number must not be greater than end system number.");
    EXPECT_FALSE(c.accept(host));
    c.setStart(0);
    EXPECT_EQ(c.startStaveText(), "?");
    EXPECT_EQ(c.end(), 1);  // no system, nothing to follow
    c.setStart(1);
    c.setEnd(3);
    EXPECT_EQ(c.accept(host), std::make_optional(std::make_pair(1, 6)));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Templates, DescriptionsAreStoredToSixtyThreeAndListedToEighty) {
    const std::string hundred(100, 'd');
    for (const std::string& d :
         {std::string(21, 'a'), std::string(22, 'b'), std::string(63, 'c'), hundred}) {
        host.expectInput("description for this template", d);
        const std::string path = dir.file(std::to_string(d.size()) + ".SWT");
        ASSERT_EQ(SaveAsTemplate(score, path, host, list), SaveResult::Saved);
        EXPECT_EQ(ReadTemplateDescription(path), d.substr(0, 63));
    }
    ASSERT_EQ(list.size(), 4u);
    for (const TemplateEntry& e : list)
        EXPECT_EQ(e.description.size(), 80u);
    // The list read from the folder agrees, sorted without regard to case.
    std::vector<TemplateEntry> built = BuildTemplateList(dir.path());
    ASSERT_EQ(built.size(), 4u);
    EXPECT_EQ(built[0].description.substr(0, 21), std::string(21, 'a'));
    EXPECT_EQ(built[3].description.substr(0, 63), std::string(63, 'd'));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Templates, CancelledOrBlankDescriptionsAndOverwriting) {
    const std::string path = dir.file("Quartet.SWT");
    host.expectInput("description", std::string());
    host.expectMessage("Description cannot be blank.");
    host.expectInput("description", std::nullopt);
    host.expectMessage("Template not saved.");
    EXPECT_EQ(SaveAsTemplate(score, path, host, list), SaveResult::Abandoned);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(list.empty());  // nothing listed for a file never written

    host.expectInput("description", std::string("String quartet"));
    ASSERT_EQ(SaveAsTemplate(score, path, host, list), SaveResult::Saved);
    host.expectInput("description", std::string("Quartet, second version"));
    ASSERT_EQ(SaveAsTemplate(score, path, host, list), SaveResult::Saved);
    ASSERT_EQ(list.size(), 1u);  // replaced, not listed twice
    EXPECT_EQ(list[0].description.substr(0, 23), "Quartet, second version");

    // With templates switched off the user is reminded how to get them back.
    WarningBox warnings;
    host.expectInput("description", std::string("Again"));
    host.expectWarning("disabled templates");
    ASSERT_EQ(SaveAsTemplateCommand(score, path, host, list, false, warnings), SaveResult::Saved);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Templates, TheListShowsUnreadableFilesAndTheSelectionDeletes) {
    {
        test::WriteBytes(dir.file("broken.swt"), {1, 2, 3});
        std::filesystem::create_directory(dir.file("folder.SWT"));
        host.expectInput("description", std::string("Zither"));
        ASSERT_EQ(SaveAsTemplate(score, dir.file("z.SWT"), host, list), SaveResult::Saved);
        Score bare;
        AppendStave(bare, 100, 0, 700);
        ScriptedHost quiet;
        SaveScore(bare, dir.file("plain.SWT"), 1, 1, false, false, quiet);  // no description
    }
    list = BuildTemplateList(dir.path());
    ASSERT_EQ(list.size(), 3u);  // the folder is not a template
    auto find = [&](const std::string& name) {
        for (const TemplateEntry& e : list)
            if (e.path == dir.file(name)) return e.description;
        return std::string("?");
    };
    EXPECT_NE(find("broken.swt").find("**Error reading this file&**"), std::string::npos);
    EXPECT_EQ(find("plain.SWT").substr(0, dir.file("plain.SWT").size()), dir.file("plain.SWT"));

    TemplateSelection selection(list, dir.path());
    int zither = 0;
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
        if (list[static_cast<std::size_t>(i)].path == dir.file("z.SWT")) zither = i;
    selection.select(zither);
    EXPECT_EQ(selection.choose(), dir.file("z.SWT"));
    host.expectMessage("About to delete template \"Zither\". Are you sure?", Answer::No);
    EXPECT_FALSE(selection.deleteSelected(host));
    EXPECT_TRUE(std::filesystem::exists(dir.file("z.SWT")));
    host.expectMessage("About to delete template \"Zither\"", Answer::Yes);
    EXPECT_TRUE(selection.deleteSelected(host));
    EXPECT_FALSE(std::filesystem::exists(dir.file("z.SWT")));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(selection.selected(), 0);

    // A path that cannot be removed is reported, and the list stays.
    list.insert(list.begin(), TemplateEntry{"Folder", dir.file("folder.SWT")});
    selection.select(0);
    host.expectMessage("Folder", Answer::Yes);
    host.expectMessage("cannot be deleted");
    EXPECT_FALSE(selection.deleteSelected(host));
    EXPECT_EQ(list.size(), 3u);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
