// The stave and system commands driven as a user drives them (actions, keys,
// the stave pop-up), each with its Undo round trip: every stave a command
// changes comes back, and a refusal leaves no record.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>

#include "editor/StaveAttributesDialog.h"
#include "editor/commands/StaveCommands.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

class StaveCommands : public test::EditorFixture {
  protected:
    // Systems of the given sizes down the page, 70 pixels a stave and 40
    // between systems; every stave has a treble clef and a G major key, its
    // system's top two bar lines at 200 + 10k and 300 + 10k (k the system).
    void Open(std::vector<int> sizes, int level = 3, int32_t gap = 40) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        int32_t y = 60;
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            const int top = s.Nstaves + 1;
            for (int i = 0; i < sizes[k]; ++i, y += 70) {
                const int t = AppendStave(s, y, 20, w - 5);
                PlaceObject(s, t, kClef, 30, y, glyph::GCLEF);
                PlaceObject(s, t, kKeysig, 52, y)->data.keysig.key = 1;
                PlaceNote(s, t, 120, 2, 3);
                if (i + 1 < sizes[k]) s.stave(t).h.joinToNext = true;
            }
            y += gap;
            for (int32_t x : {200, 300})
                PlaceObject(s, top, kBarline, x + 10 * static_cast<int32_t>(k),
                            s.stave(top).h.Ycoord, glyph::BARLINE);
        }
        OpenScore(s, level);
    }
    // Everything a stave command can change, stave by stave.
    std::string Picture() const {
        std::ostringstream out;
        out << score.Nstaves << '/' << score.pageCount << '\n';
        for (int s = 1; s <= score.Nstaves; ++s) {
            const StaveHeader& h = score.stave(s).h;
            out << h.Ycoord << ' ' << h.PageNum << ' ' << h.LeftX << ' ' << h.RightX << ' '
                << h.joinToNext << h.bracketWithNext << h.withBracket << h.withBrace
                << h.barlineThrough << h.ForcedBk << ' ' << int(h.sizeIndex) << int(h.lineCount)
                << int(h.instrumentUp) << ' ' << int(h.soundTranspose) << int(h.barNumberPlace)
                << ':';
            for (int i = 1; i <= h.Nobjec; ++i) {
                const ScoreObject& o = score.object(s, i);
                out << ' ' << int(o.kind) << '@' << o.x << ',' << o.y;
            }
            out << '\n';
        }
        return out.str();
    }
    std::vector<int32_t> Barlines(int s) const {
        std::vector<int32_t> xs;
        for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
            if (score.object(s, i).kind == kBarline) xs.push_back(score.object(s, i).x);
        return xs;
    }
    // Runs `change`, checks it changed the score, undoes it and checks the
    // score is as it was.
    void RoundTrip(const std::function<void()>& change) {
        const std::string before = Picture();
        change();
        EXPECT_NE(Picture(), before);
        EXPECT_TRUE(d->modified());
        // Undo without its beginner's question.
        const int level = warnings.userLevel();
        warnings.setUserLevel(3);
        d->run(Action::Undo);
        warnings.setUserLevel(level);
        EXPECT_EQ(Picture(), before);
    }
    StaveHeader& H(int s) { return score.stave(s).h; }
    // The attributes dialog answered by `change`, then OK.
    void Dialog(std::function<void(StaveAttributesModel&)> change) {
        dialogs.onStaveAttributes = [change](StaveAttributesModel& m) {
            change(m);
            return true;
        };
    }
};

using V = std::vector<int32_t>;

TEST_F(StaveCommands, DeletingTheTopOrBottomOfASystemKeepsItsBarLinesAndFlagsRight) {
    Open({3, 1});
    H(1).withBracket = H(1).bracketWithNext = H(2).withBrace = true;
    RoundTrip([&] {
        d->setCurrentStave(1);
        d->run(Action::DeleteStave);
        ASSERT_EQ(score.Nstaves, 3);
        EXPECT_EQ(Barlines(1), (V{200, 300}));  // the old stave 2, now the top
        EXPECT_TRUE(H(1).joinToNext);
    });
    RoundTrip([&] {
        d->setCurrentStave(3);
        d->run(Action::DeleteStave);
        ASSERT_EQ(score.Nstaves, 3);
        EXPECT_FALSE(H(2).joinToNext || H(2).withBrace || H(2).bracketWithNext);
        EXPECT_EQ(Barlines(3), (V{210, 310}));
    });
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, DeletingAStaveUnlinksItsCrossStaveBeamPartners) {
    Open({2, 1});
    auto note = [&](int s) -> NoteData& {
        for (int i = 1; i <= H(s).Nobjec; ++i)
            if (score.object(s, i).kind == kNote) return score.object(s, i).note();
        throw std::logic_error("no note");
    };
    const int n1 = 3, n2 = 3;     // clef, key, note
    score.object(2, n2).x = 140;  // partners at one x would not stay linked
    note(1).beamOnTo = n2;
    note(1).beamOnDown = 1;
    note(2).beamBackTo = n1;
    note(2).beamBackUp = 1;
    RoundTrip([&] {
        d->setCurrentStave(2);
        d->run(Action::DeleteStave);
        EXPECT_EQ(note(1).beamOnTo, 0);
        EXPECT_EQ(note(1).beamOnDown, 0);
    });
    EXPECT_EQ(note(1).beamOnTo, n2);
}

TEST_F(StaveCommands, StaveLimitsShowOnlyWithTheirDebugFlagAndGoWithTheStave) {
    Open({2});
    d->key("Shift+Ctrl+F5");
    EXPECT_TRUE(d->ui().overlay.limits.empty());
    settings.staveLimits = true;  // the debug flag, read when a document opens
    Open({2});
    d->setCurrentStave(2);
    d->key("Shift+Ctrl+F5");
    const StaveHeader& h = score.stave(2).h;
    ASSERT_EQ(d->ui().overlay.limits.size(), 2u);
    for (const Segment& l : d->ui().overlay.limits) {
        EXPECT_EQ(std::pair(l.x1, l.x2), std::pair(h.LeftX, h.RightX));
        EXPECT_EQ(l.y1, l.y2);
    }
    EXPECT_EQ(d->ui().overlay.limits[0].y1, h.MinY);
    EXPECT_EQ(d->ui().overlay.limits[1].y1, h.MaxY);
    d->setCurrentStave(1);
    EXPECT_TRUE(d->ui().overlay.limits.empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, ADeclinedDeletionOrTheOnlyStaveChangesNothing) {
    Open({2}, 1);
    host.expectWarning("I am about to delete this complete stave!", Answer::Cancel);
    const std::string before = Picture();
    d->run(Action::DeleteStave);
    EXPECT_EQ(Picture(), before);
    EXPECT_FALSE(d->modified());
    EXPECT_FALSE(d->canRun(Action::Undo));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, InsertedStavesTakeTheGapOnTheStripAndUndoTakesThemOut) {
    // Three systems of three, the third on page 2.
    Open({3, 3, 3}, 3, 400);
    ASSERT_EQ(score.stave(7).h.PageNum, 2);
    RoundTrip([&] {
        d->setCurrentStave(6);  // the last stave of page 1
        d->run(Action::NewStaveBelow);
        ASSERT_EQ(score.Nstaves, 10);
        EXPECT_EQ(H(7).lineCount, 5);
        for (int s = 2; s <= score.Nstaves; ++s)
            if (H(s).PageNum == H(s - 1).PageNum) {
                EXPECT_GT(H(s).Ycoord, H(s - 1).Ycoord) << s;
            }
    });
    RoundTrip([&] {
        d->setCurrentStave(9);
        d->run(Action::NewStaveBelow);
        ASSERT_EQ(score.Nstaves, 10);
        EXPECT_EQ(H(10).Ycoord - H(9).Ycoord, 70);  // the gap above it, not 0
    });
    RoundTrip([&] {
        d->setCurrentStave(1);
        d->run(Action::NewStaveAbove);
        EXPECT_EQ(Barlines(2), (V{200, 300}));
        EXPECT_EQ(H(1).Nobjec, 0);
    });
}

TEST_F(StaveCommands, ANewSystemRepeatsClefAndKeyOnlyWithRoomOrOnANewPage) {
    Open({2});
    score.object(2, 1).data.clef.small = 1;
    const int32_t lowest = std::max(H(1).MaxY, H(2).MaxY);
    RoundTrip([&] {
        d->run(Action::NewSystem);
        ASSERT_EQ(score.Nstaves, 4);
        EXPECT_EQ(score.CurrentStave, 3);
        EXPECT_EQ(H(3).Ycoord, lowest + 2 * 8 + 30);
        EXPECT_EQ(H(4).Ycoord - H(3).Ycoord, 70);
        EXPECT_TRUE(H(3).joinToNext);
        EXPECT_EQ(H(3).LeftX, 17);
        for (int s : {3, 4}) {
            ASSERT_EQ(H(s).Nobjec, 2);
            EXPECT_EQ(score.object(s, 1).kind, kClef);
            EXPECT_EQ(score.object(s, 1).x, 37);
            EXPECT_EQ(score.object(s, 1).data.clef.small, 0);
            EXPECT_EQ(score.object(s, 2).kind, kKeysig);
            EXPECT_EQ(score.object(s, 2).x, 52 - 20 + 17);
        }
        EXPECT_EQ(d->cursorX(), 120);
    });
    H(2).ForcedBk = true;
    RoundTrip([&] {
        d->run(Action::NewSystem);
        EXPECT_EQ(H(3).PageNum, 2);
        EXPECT_EQ(H(3).Ycoord, 50);
        EXPECT_EQ(d->page(), 2);
    });
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, ANewSystemWithoutRoomAsksAndAbortLeavesTheScore) {
    // The second system ends just above the foot of the page.
    Open({3, 3}, 3, ComputePageGeometry(Score()).height - 500);
    host.expectMessage("No room on this page for another system", Answer::Abort);
    const std::string before = Picture();
    d->run(Action::NewSystem);
    EXPECT_EQ(Picture(), before);
    EXPECT_FALSE(d->modified());
    host.expectMessage("Start new page?", Answer::Yes);
    d->run(Action::NewSystem);
    EXPECT_EQ(H(7).PageNum, H(6).PageNum + 1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, JoiningAndSeparatingMoveTheBarLines) {
    Open({1, 1, 2});
    RoundTrip([&] {
        d->setCurrentStave(2);
        d->key("Ctrl+[");
        EXPECT_TRUE(H(2).joinToNext);
        EXPECT_EQ(Barlines(2), (V{210, 220, 310, 320}));
        EXPECT_TRUE(Barlines(3).empty());
        d->key("Ctrl+[");
        EXPECT_FALSE(H(2).joinToNext);
        EXPECT_EQ(Barlines(3), (V{210, 220, 310, 320}));
        d->run(Action::Undo);  // the separation only
        EXPECT_TRUE(H(2).joinToNext);
    });
    // The pop-up's join and separate are the same edits, and separating
    // lets go of the brace.
    H(3).withBrace = true;
    RoundTrip([&] {
        d->setCurrentStave(3);
        EXPECT_FALSE(d->canRun(Action::JoinDown));
        d->run(Action::NoJoinDown);
        EXPECT_FALSE(H(3).joinToNext || H(3).withBrace);
        EXPECT_EQ(Barlines(4), (V{220, 320}));
    });
}

TEST_F(StaveCommands, AJoinThatWouldOverfillTheTopStaveIsRefused) {
    Open({1, 1});
    while (H(1).Nobjec < kObjectLimit - 1)
        PlaceNote(score, 1, 150, 0, 3);
    host.expectMessage("Too many objects on new top stave to retain bar lines correctly.");
    const std::string before = Picture();
    d->key("Ctrl+[");
    EXPECT_EQ(Picture(), before);
    EXPECT_FALSE(d->canRun(Action::Undo));
    host.expectMessage("there's no stave to bind to");
    d->setCurrentStave(2);
    d->key("Ctrl+[");
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, BracketAndBraceKeysNeedAJoinAndAreOneStep) {
    Open({3, 1}, 1);
    d->setCurrentStave(3);
    host.expectWarning("put a brace between this stave and the next");
    d->key("{");
    EXPECT_FALSE(H(3).withBrace);
    d->setCurrentStave(1);
    RoundTrip([&] { d->key("{"); });
    EXPECT_FALSE(H(1).withBrace);
    RoundTrip([&] {
        d->key("[");
        EXPECT_TRUE(H(1).bracketWithNext && H(1).withBracket && H(2).withBracket);
    });
    RoundTrip([&] { d->run(Action::BraceBelow); });
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, TheSizeTogglePlacesNotesByStepAndDropsCue) {
    Open({1}, 1);
    const int32_t before = score.object(1, 3).y;
    host.expectWarning("you cannot create items nor edit them when the stave is small");
    RoundTrip([&] {
        d->key("+");
        EXPECT_EQ(H(1).sizeIndex, 1);
        EXPECT_EQ(score.object(1, 3).y, before);  // NoteY: 4 pixels a step on every size
    });
    // A row of digits under the stave follows the line spacing.
    ScoreObject* digits = PlaceObject(score, 1, kTrill, 200, H(1).Ycoord + 8, glyph::DIGIT0 + 3);
    H(1).sizeIndex = 1;
    ReplaceForSize(score, 1, 0);
    EXPECT_EQ(digits->y, H(1).Ycoord + 10);
    EXPECT_EQ(score.object(1, 3).note().validated, 0);
    H(1).sizeIndex = 0;
    H(1).sizeIndex = 1;
    H(1).cue = true;
    d->run(Action::ChangeSize);
    EXPECT_EQ(H(1).sizeIndex, 0);
    EXPECT_FALSE(H(1).cue);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, ChoppingMovesTheSystemEndsToTheCursor) {
    Open({2});
    d->setCursorX(30);
    host.expectMessage("Objects beyond current cursor position on stave 1.");
    d->run(Action::CutLeft);
    EXPECT_EQ(H(1).LeftX, 20);
    d->setCursorX(400);
    RoundTrip([&] {
        d->run(Action::CutRight);
        EXPECT_EQ(H(1).RightX, 400);
        EXPECT_EQ(H(2).RightX, 400);
    });
    EXPECT_HOST_CLEAN(host);
}

TEST_F(StaveCommands, TheStavePopupEnablesByJoinBraceAndPage) {
    Open({2, 1});
    auto items = [&](int s) {
        std::map<std::string, bool> on;
        for (const MenuItem& i : StaveMenu(score, s, [&](Action a) { return d->canRun(a); }).items)
            on[i.caption] = i.enabled;
        return on;
    };
    auto top = items(1);
    EXPECT_FALSE(top["Join to stave below"]);
    EXPECT_TRUE(top["Separate from stave below"]);
    EXPECT_TRUE(top["Brace with stave below"]);
    EXPECT_FALSE(top["Do not brace below"]);
    EXPECT_TRUE(top["Delete this stave"]);
    auto last = items(3);
    for (const char* c : {"Join to stave below", "Separate from stave below",
                          "Brace with stave below", "Do not brace below"})
        EXPECT_FALSE(last[c]) << c;
}

// The dialog's rules, one control change a row: what the boxes hold and
// which are enabled afterwards.
TEST_F(StaveCommands, TheDialogRulesFollowEachControl) {
    Open({1, 1});
    using M = StaveAttributesModel;
    M m(score, 1, false);
    EXPECT_FALSE(m.enabled(M::Brace));
    EXPECT_TRUE(m.enabled(M::PageBreak));
    struct Row {
        M::Control c;
        bool on;
        std::vector<M::Control> ticked, disabled;
    };
    const Row rows[] = {
        {M::Join, true, {M::Join}, {M::PageBreak}},
        {M::BracketNext, true, {M::Join, M::Bracket, M::BracketNext}, {M::PageBreak}},
        {M::Bracket, false, {M::Join}, {M::PageBreak}},
        {M::Brace, true, {M::Join, M::Brace}, {M::PageBreak}},
        {M::Join, false, {}, {M::Brace, M::BracketNext, M::BarlineThrough}},
        {M::PageBreak, true, {M::PageBreak}, {M::Join}},
        {M::PageBreak, false, {}, {M::Brace}},
        {M::OneLine, true, {M::OneLine}, {M::Small}},
        {M::Bracket, true, {M::OneLine, M::Bracket}, {M::Small}},
        {M::OneLine, false, {M::Bracket}, {}},
    };
    for (const Row& r : rows) {
        m.set(r.c, r.on);
        for (int c = 0; c < M::kControlCount; ++c) {
            const auto control = static_cast<M::Control>(c);
            const bool ticked = std::count(r.ticked.begin(), r.ticked.end(), control) > 0;
            EXPECT_EQ(m.value(control), ticked) << "control " << c << " after " << int(r.c);
            if (std::count(r.disabled.begin(), r.disabled.end(), control)) {
                EXPECT_FALSE(m.enabled(control)) << c;
            }
        }
    }
    EXPECT_FALSE(m.replicate());
    m.octave(false);
    EXPECT_EQ(m.transpose(), -12);
    EXPECT_TRUE(m.replicate());
    M lastStave(score, 2, true);
    EXPECT_FALSE(lastStave.enabled(M::Join));
    EXPECT_EQ(lastStave.caption(), "Staff Attributes and System Construction");
}

TEST_F(StaveCommands, TheDialogKeepsALineCountItWasNotAskedToChange) {
    Open({1, 1});
    H(1).lineCount = 4;
    Dialog([](StaveAttributesModel& m) { m.setTranspose(3); });
    d->run(Action::StaveAttributes);
    EXPECT_EQ(H(1).lineCount, 4);
    EXPECT_EQ(H(1).soundTranspose, 3);
    H(1).lineCount = 1;
    StaveAttributesModel one(score, 1, false);
    EXPECT_FALSE(one.enabled(StaveAttributesModel::Small));
    Dialog([](StaveAttributesModel& m) { m.set(StaveAttributesModel::OneLine, false); });
    d->run(Action::StaveAttributes);
    EXPECT_EQ(H(1).lineCount, 5);
}

TEST_F(StaveCommands, TheDialogRecordsTheWholeBracketChainAndThePageBreak) {
    Open({3, 3, 1});
    H(2).bracketWithNext = true;
    H(3).withBracket = false;
    RoundTrip([&] {
        d->setCurrentStave(1);
        Dialog([](StaveAttributesModel& m) { m.set(StaveAttributesModel::BracketNext, true); });
        d->run(Action::StaveAttributes);
        EXPECT_TRUE(H(2).withBracket && H(3).withBracket);
    });
    RoundTrip([&] {
        d->setCurrentStave(3);
        Dialog([](StaveAttributesModel& m) { m.set(StaveAttributesModel::PageBreak, true); });
        d->run(Action::StaveAttributes);
        EXPECT_EQ(H(4).PageNum, 2);
    });
    // Joining through the dialog moves the bar lines as Ctrl+[ does.
    RoundTrip([&] {
        d->setCurrentStave(6);
        Dialog([](StaveAttributesModel& m) { m.set(StaveAttributesModel::Join, true); });
        d->run(Action::StaveAttributes);
        EXPECT_EQ(Barlines(4), (V{210, 220, 310, 320}));
        EXPECT_TRUE(Barlines(7).empty());
    });
}

TEST_F(StaveCommands, ReplicateReachesTheSamePlaceInSystemsOfTheSameSize) {
    Open({2, 3, 2, 2});
    RoundTrip([&] {
        d->setCurrentStave(2);
        Dialog([](StaveAttributesModel& m) {
            m.setTranspose(-5);
            m.setBarNumbers(2);
        });
        d->run(Action::StaveAttributes);
        for (int s : {2, 7, 9}) {
            EXPECT_EQ(H(s).soundTranspose, -5) << s;
            EXPECT_EQ(H(s).barNumberPlace, 2) << s;
        }
        for (int s : {1, 3, 4, 5, 6, 8})
            EXPECT_EQ(H(s).soundTranspose, 0) << s;
    });
}

TEST_F(StaveCommands, TheInstrumentButtonsAskAboutOnePartAndUnallocated) {
    Open({1});
    StaveAttributesModel m(score, 1, false);
    m.chooseInstrumentUp([](int current) {
        EXPECT_EQ(current, -1);
        return std::optional<int>(40);
    });
    EXPECT_EQ(m.instrumentUp(), 41);
    EXPECT_EQ(m.instrumentDown(), 41);
    EXPECT_EQ(InstrumentCaption(41), "Violin...");
    host.expectMessage("make the \"stems down\" part into \"Cello\" anyway?", Answer::No);
    m.chooseInstrumentDown([](int) { return std::optional<int>(42); }, host);
    EXPECT_EQ(m.instrumentDown(), 41);
    host.expectMessage("into \"(Not allocated)\" anyway?", Answer::Yes);
    host.expectMessage("it is being set to Violin");
    m.chooseInstrumentDown([](int) { return std::optional<int>(-1); }, host);
    EXPECT_EQ(m.instrumentDown(), 41);
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
