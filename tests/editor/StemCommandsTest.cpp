// The stem, beam, tuplet and alignment commands as edits: the two-part
// question, the beam warning, one Undo taking each command back whole, and
// the Tools menu and focus-note actions driven through the controller.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "editor/DocumentController.h"
#include "editor/UndoStorage.h"
#include "editor/commands/AlignCommands.h"
#include "editor/commands/PageCommands.h"
#include "editor/commands/StemCommands.h"
#include "fileio/ScoreFile.h"
#include "layout/BeamRules.h"
#include "layout/NoteGeometry.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "support/FakeDocument.h"
#include "support/NullView.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

constexpr int kUp = 0, kDown = 1, kCrotchet = 3, kQuaver = 4;

// The fields the commands write, stave by stave.
std::string Fingerprint(const Score& score) {
    std::ostringstream out;
    for (int s = 1; s <= score.Nstaves; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const ScoreObject& o = b.obj[i];
            out << s << '.' << i << ':' << int(o.kind) << '@' << o.x;
            if (o.kind == kNote) {
                const NoteData& n = o.note();
                out << " v" << int(n.noteValue) << " st" << int(n.stem) << " b" << int(n.beamBackTo)
                    << int(n.beamBackUp) << int(n.beamBackDown) << " o" << int(n.beamOnTo)
                    << int(n.beamOnUp) << int(n.beamOnDown) << " f" << int(n.flatBeam) << " t"
                    << int(n.tremuloBars) << int(n.beamStem1) << " d" << int(n.durMod)
                    << int(n.durMod2);
            }
            out << '\n';
        }
    }
    return out.str();
}

class StemCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        AppendStave(score, 100, 17, 760);
        AppendStave(score, 200, 17, 760);
        score.stave(1).h.joinToNext = true;
        undo.setDepth(20);
        undo.open(host);
    }
    int Note(int32_t x, int pitch, int value = kQuaver, int stem = kUp, int s = 1) {
        PlaceNote(score, s, x, pitch, value, stem);
        return score.stave(s).h.Nobjec;
    }
    NoteData& N(int i, int s = 1) { return score.object(s, i).note(); }
    void LayOut() {
        for (int s = 1; s <= score.Nstaves; ++s)
            LayOutStaveGeometry(score, s);
    }
    bool Undo() {
        host.expectWarning("You have chosen the Undo operation.", Answer::Yes);
        return UndoLastCommand(ctx, true).undone;
    }

    Score score;
    ScriptedHost host;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    int32_t cursorX = 40;
    bool modified = false;
    DirtyStaves dirty;
    WarningBox warnings;
    EditContext ctx{score, undo, host, warnings, cursorX, modified, dirty};
};

TEST_F(StemCommands, OptimiseAsksAboutTwoPartsAndNoChangesNothing) {
    const int up = Note(100, 3, kCrotchet, kUp), down = Note(100, -3, kCrotchet, kDown);
    const int lone = Note(200, 0, kCrotchet, kUp);
    const std::string before = Fingerprint(score);
    host.expectMessage("There appear to be two parts on this stave", Answer::No);
    EXPECT_FALSE(OptimiseStaveStems(ctx, 1));
    EXPECT_EQ(Fingerprint(score), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(modified);

    host.expectMessage("There appear to be two parts on this stave", Answer::Yes);
    EXPECT_TRUE(OptimiseStaveStems(ctx, 1));
    EXPECT_EQ(N(up).stem, kDown);
    EXPECT_EQ(N(down).stem, kDown);
    EXPECT_EQ(N(lone).stem, kDown);
    EXPECT_TRUE(modified);
    EXPECT_EQ(dirty.first, 1);
    EXPECT_EQ(dirty.last, 1);

    EXPECT_TRUE(Undo());
    EXPECT_EQ(Fingerprint(score), before);
    // One part: not asked; then nothing is left to change and no history is added.
    N(up).stem = kDown;
    EXPECT_TRUE(OptimiseStaveStems(ctx, 1));
    EXPECT_EQ(N(lone).stem, kDown);
    EXPECT_TRUE(Undo());
    N(lone).stem = kDown;
    EXPECT_FALSE(OptimiseStaveStems(ctx, 1));
    EXPECT_FALSE(OptimiseStaveStems(ctx, 7));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StemCommands, BeamToPreviousWarnsWhenNoNoteFits) {
    const int prev = Note(100, -1, kQuaver, kDown);
    const int note = Note(140, -1, kQuaver, kUp);
    LayOut();
    host.expectWarning("You have tried to beam a note back to a previous note.");
    EXPECT_FALSE(BeamNoteToPrevious(ctx, 1, note));
    EXPECT_FALSE(undo.canUndo());
    // From level 3 on the warning is not shown.
    warnings.setUserLevel(3);
    EXPECT_FALSE(BeamNoteToPrevious(ctx, 1, note));
    N(prev).stem = kUp;
    EXPECT_TRUE(BeamNoteToPrevious(ctx, 1, note));
    EXPECT_EQ(N(prev).beamOnTo, note);
    EXPECT_EQ(N(note).beamBackTo, prev);
    EXPECT_FALSE(N(note).validated);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StemCommands, EachCommandIsTakenBackByOneUndo) {
    const int q1 = Note(100, 2), q2 = Note(140, -1), q3 = Note(180, 1);
    LinkBeam(score, {1, q1}, {1, q2});
    const int c1 = Note(260, 0, kCrotchet, kDown), c2 = Note(330, 0, kCrotchet, kDown);
    const int low = Note(400, -2, kQuaver, kUp, 2);
    const int near = Note(262, 1, kCrotchet, kDown, 2);
    LayOut();
    struct Row {
        const char* name;
        std::function<bool()> run;
    } rows[] = {
        {"optimise", [&] { return OptimiseStaveStems(ctx, 1); }},
        {"reverse", [&] { return ReverseNoteStem(ctx, 1, c1); }},
        {"beam to previous", [&] { return BeamNoteToPrevious(ctx, 1, q3); }},
        {"unbeam", [&] { return UnbeamNote(ctx, 1, q2); }},
        {"flat beam", [&] { return ToggleNoteFlatBeam(ctx, 1, q1); }},
        {"triplet", [&] { return MakeNoteTriplet(ctx, 1, q3); }},
        {"cross-stave beam",
         [&] {
             return BeamSelectedNotes(ctx, {{1, q3}, {2, low}});
         }},
        {"tremolo",
         [&] {
             return TremoloBeamSelected(ctx, {{1, c1}, {1, c2}}, 3);
         }},
        {"triplets",
         [&] {
             return MakeSelectedTriplets(ctx, {{1, q1}, {1, q2}, {1, q3}});
         }},
        {"alignment",
         [&] { return FixupNoteAlignment(ctx, 1, AlignExtent::System, AlignOptions{}); }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string before = Fingerprint(score);
        modified = false;
        ASSERT_TRUE(r.run());
        EXPECT_NE(Fingerprint(score), before);
        EXPECT_TRUE(modified);
        EXPECT_TRUE(Undo());
        EXPECT_EQ(Fingerprint(score), before);
        EXPECT_FALSE(undo.canUndo());
        LayOut();
    }
    (void)near;
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StemCommands, CommandsOnUnsuitableNotesChangeNothing) {
    const int rest = Note(100, 0);
    N(rest).rest = 1;
    const int crotchet = Note(150, 0, kCrotchet);
    const int lone = Note(200, 0);
    PlaceObject(score, 1, kClef, 30, 100);
    const int clef = score.stave(1).h.Nobjec;
    LayOut();
    for (int i : {rest, clef, 0, 99, -1}) {
        EXPECT_FALSE(ReverseNoteStem(ctx, 1, i)) << i;
        EXPECT_FALSE(BeamNoteToPrevious(ctx, 1, i)) << i;
        EXPECT_FALSE(UnbeamNote(ctx, 1, i)) << i;
        EXPECT_FALSE(ToggleNoteFlatBeam(ctx, 1, i)) << i;
    }
    EXPECT_FALSE(MakeNoteTriplet(ctx, 1, clef));
    EXPECT_FALSE(UnbeamNote(ctx, 1, lone));  // no link
    EXPECT_FALSE(UnbeamNote(ctx, 1, crotchet));
    EXPECT_FALSE(ToggleNoteFlatBeam(ctx, 1, lone));
    EXPECT_FALSE(ReverseNoteStem(ctx, 9, 1));
    EXPECT_FALSE(BeamSelectedNotes(ctx, {{1, lone}}));
    EXPECT_FALSE(BeamSelectedNotes(ctx, {{1, lone}, {5, 1}}));
    EXPECT_FALSE(TremoloBeamSelected(ctx, {{1, lone}, {1, clef}}, 2));
    EXPECT_FALSE(MakeSelectedTriplets(ctx, {}));
    EXPECT_FALSE(FixupNoteAlignment(ctx, 1, AlignExtent::Score, AlignOptions{}));
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(modified);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StemCommands, AlignmentExtentsReachTheirStaves) {
    // Two systems: staves 1-2 joined, stave 3 alone.
    AppendStave(score, 300, 17, 760);
    Note(100, 0, kCrotchet, kUp, 1);
    Note(103, 0, kCrotchet, kUp, 2);
    Note(100, 0, kCrotchet, kUp, 3);
    Note(104, 0, kCrotchet, kUp, 3);
    AlignOptions leftmost;
    leftmost.average = false;
    EXPECT_TRUE(FixupNoteAlignment(ctx, 2, AlignExtent::Stave, leftmost) == false);
    EXPECT_TRUE(FixupNoteAlignment(ctx, 2, AlignExtent::System, leftmost));
    EXPECT_EQ(score.object(2, 1).x, 100);
    EXPECT_EQ(score.object(3, 2).x, 104);
    EXPECT_TRUE(FixupNoteAlignment(ctx, 1, AlignExtent::Score, leftmost));
    EXPECT_EQ(score.object(3, 2).x, 100);
    EXPECT_EQ(dirty.first, 2);
    EXPECT_EQ(dirty.last, 3);
    EXPECT_HOST_CLEAN(host);
}

// The controller: the Tools menu's two commands and the focus note's.
class StemActions : public ::testing::Test {
  protected:
    DocumentController& Start() {
        Score s;
        const int width = ComputePageGeometry(s).width;
        AppendStave(s, 100, 20, width - 5);
        PlaceNote(s, 1, 200, 0, kQuaver, kDown);
        PlaceNote(s, 1, 240, -1, kQuaver, kDown);
        PlaceNote(s, 1, 243, -3, kQuaver, kDown);
        LinkBeam(s, {1, 1}, {1, 2});
        const std::string path = dir.file("stems.swn");
        EXPECT_EQ(SaveScore(s, path, 0, s.Nstaves, false, false, host), SaveResult::Saved);
        controller = std::make_unique<DocumentController>(score, settings, host, warnings, undo,
                                                          view, services, dialogs, measurer);
        EXPECT_TRUE(controller->start(DocumentController::Start::File, path, "stems", false));
        return *controller;
    }

    test::TempDir dir;
    Score score;
    EditorSettings settings;
    ScriptedHost host;
    WarningBox warnings;
    UndoRing undo{std::make_unique<MemoryUndoStorage>()};
    test::NullView view;
    test::FakeServices services;
    test::FakeDialogs dialogs;
    test::FixedMeasurer measurer;
    std::unique_ptr<DocumentController> controller;
};

TEST_F(StemActions, ToolsMenuCommandsRunOnTheCurrentStave) {
    DocumentController& d = Start();
    EXPECT_TRUE(d.ui().action(Action::OptimiseStems).enabled);
    EXPECT_TRUE(d.ui().action(Action::NoteAlignment).enabled);
    EXPECT_FALSE(d.ui().action(Action::CrossStaveBeam).enabled);
    EXPECT_FALSE(d.ui().action(Action::BeamTremolo).enabled);
    EXPECT_FALSE(d.ui().action(Action::Triplets).enabled);

    ASSERT_TRUE(d.run(Action::OptimiseStems));
    // The beam's 0 + -1 and the lone -3: all up.
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(score.object(1, i).note().stem, kUp) << i;
    EXPECT_TRUE(d.modified());

    int opened = 0;
    dialogs.onNoteAlignment = [&](NoteAlignmentModel& m) {
        ++opened;
        EXPECT_EQ(m.proximity(), 5);
        EXPECT_EQ(m.extent, AlignExtent::Score);
        m.average = false;
        return m.setProximityText("3");
    };
    ASSERT_TRUE(d.run(Action::NoteAlignment));
    EXPECT_EQ(opened, 1);
    int at240 = 0;
    for (int i = 1; i <= score.stave(1).h.Nobjec; ++i)
        at240 += score.object(1, i).x == 240;
    EXPECT_EQ(at240, 2);  // 243 joined 240
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StemActions, FocusNoteCommandsFollowTheObjectUnderTheMouse) {
    DocumentController& d = Start();
    EXPECT_FALSE(d.ui().action(Action::ReverseStem).enabled);
    const ScoreObject& first = score.object(1, 1);
    d.mouseMove(first.x + 2, first.y, false);
    ASSERT_EQ(d.focusStave(), 1);
    const int i = d.focusObject();
    ASSERT_GE(i, 1);
    EXPECT_TRUE(d.ui().action(Action::ReverseStem).enabled);
    EXPECT_TRUE(d.ui().action(Action::FlatBeam).enabled);
    EXPECT_TRUE(d.ui().action(Action::MakeTriplet).enabled);
    EXPECT_TRUE(d.ui().action(Action::BeamToPrevious).enabled);
    EXPECT_FALSE(d.ui().action(Action::Unbeam).enabled);

    d.run(Action::FlatBeam);
    EXPECT_EQ(score.object(1, i).note().flatBeam, 1);
    EXPECT_TRUE(d.ui().action(Action::FlatBeam).checked);
    d.run(Action::MakeTriplet);
    EXPECT_EQ(score.object(1, i).note().durMod, 3);
    d.run(Action::ReverseStem);
    EXPECT_EQ(score.object(1, i).note().stem, kUp);

    // Away from every object, the commands are greyed out and do nothing.
    d.mouseMove(5, 5, false);
    EXPECT_FALSE(d.ui().action(Action::ReverseStem).enabled);
    d.run(Action::ReverseStem);
    EXPECT_EQ(score.object(1, i).note().stem, kUp);

    // The tremolo dialog over two notes, preset from their chords.
    score.object(1, 2).note().tremuloBars = 2;
    int preset = -1;
    dialogs.onTremoloBeams = [&](TremoloBeamsModel& m) {
        preset = m.beams();
        m.choose(1);
        return true;
    };
    d.tremoloBeams({{1, 1}, {1, 2}});
    EXPECT_EQ(preset, 2);
    EXPECT_EQ(score.object(1, 2).note().tremuloBars, 1);
    EXPECT_EQ(score.object(1, 2).note().beamStem1, 1);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// The example scores optimised stave by stave: every beam group ends with
// one stem direction.
TEST(StemExamples, EveryBeamGroupOfTheExamplesPointsOneWay) {
    int groups = 0;
    for (const char* name : {"minuet", "twinkle", "ode-satb"}) {
        SCOPED_TRACE(name);
        Score score;
        ScriptedHost host;
        host.setPermissive(true);
        const std::string path = std::string(STAFFWRIGHT_SOURCE_DIR) + "/examples/" + name + ".swn";
        ASSERT_TRUE(LoadScore(score, path, false, host).ok);
        test::FixedMeasurer measurer;
        PrepareForDisplay(score, host, measurer);
        UndoRing undo{std::make_unique<MemoryUndoStorage>()};
        undo.setDepth(100);
        undo.open(host);
        int32_t cursorX = 0;
        bool modified = false;
        DirtyStaves dirty;
        WarningBox warnings;
        EditContext ctx{score, undo, host, warnings, cursorX, modified, dirty};
        for (int s = 1; s <= score.Nstaves; ++s) {
            OptimiseStaveStems(ctx, s);
            LayOutStaveGeometry(score, s);
        }
        for (int s = 1; s <= score.Nstaves; ++s)
            for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
                if (score.object(s, i).kind != kNote) continue;
                const NoteData& n = score.object(s, i).note();
                if (n.rest || !n.beamOnTo || n.beamBackTo) continue;
                ++groups;
                const std::vector<NoteRef> chain = BeamChain(score, s, i, false);
                for (const NoteRef& m : chain)
                    EXPECT_EQ(EffectiveStem(score.object(m.s, m.i).note()), EffectiveStem(n))
                        << "stave " << s << " slot " << i;
            }
    }
    EXPECT_GT(groups, 5);  // the minuet's
}

}  // namespace
}  // namespace sw
