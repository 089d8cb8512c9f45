// Moving a bar between systems: the moves over built scores (what lands
// where, ties, curves, texts, bar-line styles, refusals that change nothing)
// and the commands through the controller, each one Undo step.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "editor/BarMaintenanceDialog.h"
#include "editor/PopupMenus.h"
#include "editor/commands/BarMoves.h"
#include "layout/Bars.h"
#include "layout/GlyphTable.h"
#include "layout/Justify.h"
#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

constexpr int32_t kRight = 700;
const test::FixedMeasurer kMeasurer;

struct Item {
    char what;  // 'n' note (pitch), '|' bar line (style)
    int32_t x;
    int value = 0;
};

// A system of `staves` staves from 20 to 700 with a treble clef, the top
// stave holding `items`, each lower stave one note under each top note.
int AddSystem(Score& s, int32_t y, const std::vector<Item>& items, int staves = 1) {
    const int top = AppendStave(s, y, 20, kRight);
    for (int k = 1; k < staves; ++k)
        AppendStave(s, y + 80 * k, 20, kRight);
    for (int t = top; t < top + staves; ++t) {
        s.stave(t).h.joinToNext = t + 1 < top + staves;
        PlaceObject(s, t, kClef, 30, s.stave(t).h.Ycoord, glyph::GCLEF);
    }
    for (const Item& it : items) {
        if (it.what == '|') {
            ScoreObject* b = PlaceObject(s, top, kBarline, it.x, y, glyph::BARLINE);
            b->data.barline.style = static_cast<uint8_t>(it.value);
            continue;
        }
        for (int t = top; t < top + staves; ++t)
            PlaceNote(s, t, it.x, it.value, 3, 3);
    }
    return top;
}

// The nth (from 1) object of the kind (a note of the pitch, a text's head).
int Find(const Score& s, int stave, int kind, int pitch = 0, int nth = 1) {
    const StaveBlock& b = s.stave(stave);
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind != kind || (kind == kNote && o.note().pitch != pitch)) continue;
        if (HasTextLayout(kind) && (o.text().textFlags & kTextContinuation)) continue;
        if (--nth == 0) return i;
    }
    return 0;
}

// Kinds, pitches and bar-line styles in reading order.
std::string Sequence(const Score& s, int stave) {
    std::ostringstream out;
    const StaveBlock& b = s.stave(stave);
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind == kNote) out << 'n' << int(o.note().pitch) << ' ';
        if (o.kind == kBarline) out << '|' << int(o.data.barline.style) << ' ';
        if (o.kind == kCurve) out << "c ";
        if (o.kind == kText9 && !(o.text().textFlags & kTextContinuation)) out << "t ";
    }
    return out.str();
}

std::vector<int32_t> Xs(const Score& s, int stave) {
    std::vector<int32_t> x;
    for (int i = 1; i <= s.stave(stave).count(); ++i)
        x.push_back(s.stave(stave).obj[i].x);
    return x;
}

TEST(BarMoves, CombineTable) {
    EXPECT_EQ(CombineBarlines(0, 2), 2);  // a repeat start joins a normal bar line
    EXPECT_EQ(CombineBarlines(3, 2), 4);  // repeat end + repeat start = both
    EXPECT_EQ(CombineBarlines(2, 3), 4);
    EXPECT_EQ(CombineBarlines(5, 2), 2);
    EXPECT_EQ(CombineBarlines(0, 8), 0);  // a half bar line adds nothing
    EXPECT_EQ(CombineBarlines(6, 8), 6);
    EXPECT_EQ(CombineBarlines(7, 6), 7);
    EXPECT_EQ(CombineBarlines(1, 6), 1);
    EXPECT_EQ(CombineBarlines(6, 0), 0);
    for (int r = 0; r <= 8; ++r)
        EXPECT_EQ(CombineBarlines(4, r), 4);
    EXPECT_EQ(CombineBarlines(9, 2), 9);  // unknown styles stay
    EXPECT_EQ(CombineBarlines(1, -1), 1);
}

// Bars 100-200-300 go into a system whose music starts at 60 and ends with
// a bar line at 700; a tie into the moved bar, one out of it over the break,
// a slur inside it, one reaching outside, a long lyric.
TEST(BarMoves, LastBarDownCarriesTiesCurvesAndTexts) {
    Score s;
    AddSystem(s, 100,
              {{'|', 100},
               {'n', 130, 1},
               {'n', 160, 3},
               {'|', 200},
               {'n', 230, 3},
               {'n', 260, 4},
               {'|', 300}});
    AddSystem(s, 300, {{'|', 60}, {'n', 100, 4}, {'n', 400, 6}, {'|', 700}});
    StaveBlock& a = s.stave(1);
    const int n160 = Find(s, 1, kNote, 3), n260 = Find(s, 1, kNote, 4);
    const int n230 = n160 + 2;
    a.obj[n160].note().tieRight = static_cast<uint8_t>(n230);
    a.obj[n230].note().tieLeft = static_cast<uint8_t>(n160);
    a.obj[n260].note().tieRight = 255;
    s.stave(2).obj[Find(s, 2, kNote, 4)].note().tieLeft = 255;
    PlaceCurve(s, 1, {{235, 80}, {255, 70}}, 2);  // inside the last bar
    PlaceCurve(s, 1, {{150, 80}, {250, 70}}, 2);  // from the first bar
    PlaceText(s, 1, kText9, 240, 140, 1, "a lyric longer than ten");

    ASSERT_EQ(MoveLastBarDown(s, 1, kMeasurer), BarMove::Moved);
    // This system keeps its first bar and the slur that reached into the
    // moved one, justified to its end.
    EXPECT_EQ(Sequence(s, 1), "|0 n1 c n3 |0 c ");
    EXPECT_EQ(Xs(s, 1).back(), kRight);
    // The moved bar leads the next system; its closing bar line replaced
    // that system's opening one; everything stays in order up to 700.
    EXPECT_EQ(Sequence(s, 2), "n3 c t c n4 |0 n4 n6 |0 ");
    EXPECT_EQ(Xs(s, 2).back(), kRight);
    // The lyric starts at the bar's first note: it keeps its place there.
    EXPECT_EQ(ChainText(s.stave(2), Find(s, 2, kText9)), "a lyric longer than ten");
    EXPECT_EQ(s.stave(2).obj[Find(s, 2, kText9)].x, s.stave(2).obj[Find(s, 2, kNote, 3)].x + 10);
    // The tie into the bar now crosses the break; the one out of it is whole.
    EXPECT_EQ(s.stave(1).obj[Find(s, 1, kNote, 3)].note().tieRight, 255);
    const StaveBlock& b = s.stave(2);
    const int moved3 = Find(s, 2, kNote, 3), moved4 = Find(s, 2, kNote, 4);
    EXPECT_EQ(b.obj[moved3].note().tieLeft, 255);
    const int old4 = Find(s, 2, kNote, 4, 2);
    EXPECT_EQ(b.obj[moved4].note().tieRight, old4);
    EXPECT_EQ(b.obj[old4].note().tieLeft, moved4);
}

TEST(BarMoves, FirstBarUpJoinsOpeningBarline) {
    for (const auto& [ending, joined] : std::vector<std::pair<int, int>>{{0, 2}, {3, 4}}) {
        Score s;
        AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 400, ending}});
        AddSystem(s, 300, {{'|', 80, 2}, {'n', 120, 3}, {'|', 200}, {'n', 260, 4}, {'|', 400}});
        ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
        EXPECT_EQ(Sequence(s, 1), "n1 |0 n2 |" + std::to_string(joined) + " n3 |0 ");
        EXPECT_EQ(Sequence(s, 2), "n4 |0 ");
        EXPECT_EQ(Xs(s, 2).back(), kRight);
        EXPECT_EQ(Xs(s, 1).back(), kRight);
    }
}

// The rest of a system that gave its first bar up closes up to its own start
// of the music, after its key signature, not the previous system's start.
TEST(BarMoves, TheRestClosesUpToItsOwnStart) {
    Score s;
    AddSystem(s, 100, {{'n', 80, 1}, {'|', 200}, {'n', 250, 2}, {'|', 400}});
    AddSystem(s, 300, {{'n', 200, 3}, {'|', 300}, {'n', 350, 4}, {'|', 500}});
    ScoreObject* key = PlaceObject(s, 2, kKeysig, 60, 300, glyph::SHARP);
    key->data.keysig.key = 7;
    TidyStave(s, 2, false);
    const int32_t start = MusicStart(s, 2);
    ASSERT_GT(start, MusicStart(s, 1) + 30);
    ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
    EXPECT_EQ(Sequence(s, 2), "n4 |0 ");
    EXPECT_GT(s.stave(2).obj[Find(s, 2, kNote, 4)].x, start);
}

// Music after the last bar line follows the bar down; music after the next
// system's last bar line moves aside instead of being overwritten; going up
// into a system without a closing bar line puts the bar after its music.
TEST(BarMoves, NothingIsLeftBehindOrOverwritten) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}, {'n', 350, 3}});
    AddSystem(s, 300, {{'n', 100, 4}, {'|', 200}, {'n', 250, 5}});
    ASSERT_EQ(MoveLastBarDown(s, 1, kMeasurer), BarMove::Moved);
    EXPECT_EQ(Sequence(s, 1), "n1 |0 ");
    EXPECT_EQ(Sequence(s, 2), "n2 |0 n3 n4 |0 n5 ");
    std::vector<int32_t> x = Xs(s, 2);
    EXPECT_TRUE(std::adjacent_find(x.begin() + 1, x.end(), std::greater_equal<>()) == x.end());

    ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
    EXPECT_EQ(Sequence(s, 1), "n1 |0 n2 |0 ");
    EXPECT_EQ(Sequence(s, 2), "n3 n4 |0 n5 ");
}

// A tie over the break comes back whole when the bar goes up; a note whose
// tie already leads elsewhere keeps it, and the other end, whose break is
// gone, loses its tie rather than reach across the system to its end.
TEST(BarMoves, JoiningLeavesOtherTiesAlone) {
    for (bool linked : {false, true}) {
        Score s;
        AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'n', 280, 1}, {'|', 300}});
        AddSystem(s, 300, {{'n', 100, 2}, {'|', 200}, {'n', 250, 3}, {'|', 300}});
        StaveBlock& a = s.stave(1);
        const int y = Find(s, 1, kNote, 2), w = Find(s, 1, kNote, 1, 2);
        a.obj[y].note().tieRight = linked ? static_cast<uint8_t>(w) : 255;
        if (linked) a.obj[w].note().tieLeft = static_cast<uint8_t>(y);
        s.stave(2).obj[Find(s, 2, kNote, 2)].note().tieLeft = 255;
        ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
        const int up = Find(s, 1, kNote, 2, 2);
        EXPECT_EQ(a.obj[y].note().tieRight, linked ? w : up);
        EXPECT_EQ(a.obj[up].note().tieLeft, linked ? 0 : y);
    }
}

// Ties over a break that disagree (a file whose tie left the wrong note)
// are dropped once the break between them is closed; the ties over the
// systems' other ends stay.
TEST(BarMoves, UnmatchedTiesOverTheClosedBreakAreDropped) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 2}, {'|', 200}, {'n', 250, 0}, {'n', 280, 1}, {'|', 300}});
    AddSystem(s, 300, {{'n', 100, 1}, {'|', 200}, {'n', 250, 3}, {'|', 300}});
    s.stave(1).obj[Find(s, 1, kNote, 2)].note().tieLeft = 255;  // from a system before
    s.stave(1).obj[Find(s, 1, kNote, 0)].note().tieRight = 255;
    s.stave(2).obj[Find(s, 2, kNote, 1)].note().tieLeft = 255;
    s.stave(2).obj[Find(s, 2, kNote, 3)].note().tieRight = 255;  // to a system after
    ASSERT_EQ(MoveLastBarDown(s, 1, kMeasurer), BarMove::Moved);
    const StaveBlock& b = s.stave(2);
    EXPECT_EQ(b.obj[Find(s, 2, kNote, 0)].note().tieRight, 0);
    // The old C finds the moved C, which was not tied: they are joined.
    const int moved = Find(s, 2, kNote, 1), old = Find(s, 2, kNote, 1, 2);
    EXPECT_EQ(b.obj[moved].note().tieRight, old);
    EXPECT_EQ(b.obj[old].note().tieLeft, moved);
    EXPECT_EQ(b.obj[Find(s, 2, kNote, 3)].note().tieRight, 255);
    EXPECT_EQ(s.stave(1).obj[Find(s, 1, kNote, 2)].note().tieLeft, 255);
}

// A text centred on a note, and a mark just before it, go where the note
// goes, whichever side of a bar line they start: down with the last bar,
// up again with the first, and in the receiving system a lyric of its first
// note stays with that note while the music moves aside.
TEST(BarMoves, MarksAndTextsGoWithTheirNotes) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'n', 180, 2}, {'|', 200}, {'n', 210, 3}, {'|', 300}});
    AddSystem(s, 300, {{'|', 60}, {'n', 70, 4}, {'|', 200}, {'n', 250, 5}, {'|', 300}});
    PlaceText(s, 1, kText, 210 + 4 - 28, 140, 1, "syllable");  // 56 wide, from 186
    PlaceObject(s, 1, kSymbol, 200, 80, glyph::GCLEF);
    PlaceText(s, 1, kText, 180 - 35, 140, 1, "a syllable");  // over the bar line, stays
    PlaceText(s, 2, kText, 70 - 28, 340, 1, "sylvanly");     // before the opening bar line
    auto offset = [&](int stave, int kind, int pitch, int nth = 1) {
        const StaveBlock& b = s.stave(stave);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kind && --nth == 0)
                return b.obj[i].x - b.obj[Find(s, stave, kNote, pitch)].x;
        return -9999;
    };
    ASSERT_EQ(MoveLastBarDown(s, 1, kMeasurer), BarMove::Moved);
    EXPECT_EQ(Find(s, 1, kSymbol), 0);
    EXPECT_EQ(ChainText(s.stave(1), Find(s, 1, kText)), "a syllable");
    EXPECT_EQ(offset(1, kText, 2), -35);
    EXPECT_EQ(ChainText(s.stave(2), Find(s, 2, kText)), "syllable");
    EXPECT_EQ(offset(2, kText, 3), -24);
    EXPECT_EQ(offset(2, kSymbol, 3), -10);
    EXPECT_EQ(ChainText(s.stave(2), Find(s, 2, kText, 0, 2)), "sylvanly");
    EXPECT_EQ(offset(2, kText, 4, 2), -28);

    ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
    EXPECT_EQ(ChainText(s.stave(1), Find(s, 1, kText, 0, 2)), "syllable");
    EXPECT_EQ(offset(1, kText, 3, 2), -24);
    EXPECT_EQ(offset(1, kSymbol, 3), -10);
    EXPECT_EQ(Find(s, 2, kSymbol), 0);
    EXPECT_EQ(offset(2, kText, 4), -28);
}

// A line written at a note goes with it to the other system at the same
// height over its stave, its far end respaced with the notes under it.
TEST(BarMoves, ALineGoesWithItsNoteWholeAndAtItsHeight) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}});
    AddSystem(s, 300,
              {{'|', 60}, {'n', 70, 4}, {'n', 150, 5}, {'|', 200}, {'n', 250, 6}, {'|', 300}});
    PlaceLine(s, 2, 72, 280, LineShape{.dx = 80, .style = 2});
    ASSERT_EQ(MoveFirstBarUp(s, 2, kMeasurer), BarMove::Moved);
    const int l = Find(s, 1, kLine);
    ASSERT_NE(l, 0);
    const ScoreObject& line = s.stave(1).obj[l];
    EXPECT_EQ(line.y - s.stave(1).h.Ycoord, -20);
    EXPECT_EQ(line.x - s.stave(1).obj[Find(s, 1, kNote, 4)].x, 2);
    // Its far end is respaced with the music under it: still 2 past note 5.
    EXPECT_EQ(line.x + line.data.line.dx - s.stave(1).obj[Find(s, 1, kNote, 5)].x, 2);
}

std::string Fingerprint(const Score& s) {
    std::ostringstream out;
    for (int t = 1; t <= s.Nstaves; ++t)
        out << Sequence(s, t) << '@' << s.stave(t).h.RightX;
    for (int t = 1; t <= s.Nstaves; ++t)
        for (int32_t x : Xs(s, t))
            out << ' ' << x;
    return out.str();
}

TEST(BarMoves, RefusalsChangeNothing) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}}, 2);
    AddSystem(s, 400, {{'n', 100, 4}, {'|', 200}});
    const std::string before = Fingerprint(s);
    EXPECT_EQ(MoveLastBarDown(s, 1, kMeasurer), BarMove::StaveCounts);
    EXPECT_EQ(MoveFirstBarUp(s, 3, kMeasurer), BarMove::StaveCounts);
    EXPECT_EQ(MoveFirstBarUp(s, 1, kMeasurer), BarMove::NoNeighbour);
    EXPECT_EQ(MoveLastBarDown(s, 3, kMeasurer), BarMove::NoNeighbour);
    EXPECT_EQ(Fingerprint(s), before);

    // Found before anything is widened, shifted or restyled.
    for (int target : {1, 2}) {
        Score full;
        AddSystem(full, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}});
        AddSystem(full, 300, {{'|', 60, 2}, {'n', 100, 4}, {'|', 200}, {'n', 250, 2}, {'|', 600}});
        while (full.stave(target).count() < kObjectLimit - 1)
            PlaceNote(full, target, 650, 5, 3);
        const std::string fullBefore = Fingerprint(full);
        const BarMove result =
            target == 2 ? MoveLastBarDown(full, 1, kMeasurer) : MoveFirstBarUp(full, 2, kMeasurer);
        EXPECT_EQ(result, BarMove::TooFull);
        EXPECT_EQ(Fingerprint(full), fullBefore);
    }

    Score bare;
    AddSystem(bare, 100, {{'n', 100, 1}});
    AddSystem(bare, 300, {{'n', 100, 4}, {'|', 200}, {'n', 250, 2}, {'|', 300}});
    EXPECT_EQ(MoveLastBarDown(bare, 1, kMeasurer), BarMove::NoBarsHere);
    EXPECT_EQ(MoveFirstBarUp(bare, 2, kMeasurer), BarMove::NoBarsThere);
}

class BarMoveCommands : public test::EditorFixture {
  protected:
    void Open(int lowerStaves) {
        Score s;
        AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}}, 2);
        AddSystem(s, 400, {{'n', 100, 4}, {'|', 200}, {'n', 250, 2}, {'|', 300}}, 1 + lowerStaves);
        OpenScore(s, 3);
    }
};

TEST_F(BarMoveCommands, EachMoveIsOneUndoStep) {
    Open(1);
    const std::string before = Fingerprint(score);
    d->setCurrentStave(1);
    d->run(Action::MoveLastDown);
    EXPECT_EQ(Sequence(score, 3), "n2 |0 n4 |0 n2 |0 ");
    EXPECT_EQ(Sequence(score, 4), "n2 n4 n2 ");
    EXPECT_TRUE(d->modified());
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(score), before);

    d->setCurrentStave(3);
    d->run(Action::MoveFirstUp);
    EXPECT_EQ(Sequence(score, 1), "n1 |0 n2 |0 n4 |0 ");
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(score), before);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(BarMoveCommands, DifferentStaveCountsAreRefused) {
    Open(0);
    // The stave menu offers no move towards a system of other stave counts.
    auto offered = [&](int s, Action a) {
        for (const MenuItem& i : StaveMenu(score, s, [](Action) { return true; }).items)
            if (i.action == a) return i.enabled;
        return false;
    };
    EXPECT_FALSE(offered(1, Action::MoveLastDown));
    EXPECT_FALSE(offered(3, Action::MoveFirstUp));
    EXPECT_FALSE(offered(1, Action::MoveFirstUp));
    Open(1);
    EXPECT_TRUE(offered(2, Action::MoveLastDown));
    EXPECT_TRUE(offered(3, Action::MoveFirstUp));
    EXPECT_FALSE(offered(3, Action::MoveLastDown));
    Open(0);
    const std::string before = Fingerprint(score);
    d->setCurrentStave(1);
    host.expectMessage("The two systems have different numbers of staves.\n\nMove not performed");
    d->run(Action::MoveLastDown);
    EXPECT_EQ(Fingerprint(score), before);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

// A bar moved up from a tightly spaced system into one spread wide is
// spaced with its new neighbours by duration, not squeezed in as it was.
TEST_F(BarMoveCommands, TheReceivingSystemIsSpacedByDuration) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'n', 250, 2}, {'n', 400, 3}, {'n', 550, 4}, {'|', 700}});
    AddSystem(s, 300,
              {{'n', 100, 1},
               {'n', 130, 2},
               {'n', 160, 3},
               {'n', 190, 4},
               {'|', 220},
               {'n', 400, 5},
               {'|', 700}});
    OpenScore(s, 3);
    d->setCurrentStave(2);
    d->run(Action::MoveFirstUp);
    ASSERT_EQ(Sequence(score, 1), "n1 n2 n3 n4 |0 n1 n2 n3 n4 |0 ");
    std::vector<int32_t> notes;
    for (int i = 1; i <= score.stave(1).count(); ++i)
        if (score.stave(1).obj[i].kind == kNote) notes.push_back(score.stave(1).obj[i].x);
    int32_t narrowest = kRight, widest = 0;
    for (std::size_t k = 1; k < notes.size(); ++k) {
        narrowest = std::min(narrowest, notes[k] - notes[k - 1]);
        widest = std::max(widest, notes[k] - notes[k - 1]);
    }
    EXPECT_LT(widest - narrowest, 25) << narrowest << ".." << widest;
    EXPECT_HOST_CLEAN(host);
}

// The numbers' place chosen with a move goes into the move's Undo step;
// with a move that is refused it is a step of its own.
TEST_F(BarMoveCommands, ThePlaceChosenWithAMoveIsUndoneWithIt) {
    for (int lower : {1, 0}) {
        Open(lower);
        const std::string before = Fingerprint(score);
        dialogs.onBarMaintenance = [](BarMaintenanceModel& m) {
            m.setPlace(2);
            return m.choose(BarMaintenanceModel::kMoveDown);
        };
        if (lower == 0)
            host.expectMessage(
                "The two systems have different numbers of staves.\n\nMove not performed");
        d->setCurrentStave(1);
        d->run(Action::BarMaintain);
        EXPECT_EQ(score.stave(1).h.barNumberPlace, 2);
        EXPECT_EQ(Fingerprint(score) == before, lower == 0);
        d->run(Action::Undo);
        EXPECT_EQ(score.stave(1).h.barNumberPlace, 0);
        EXPECT_EQ(Fingerprint(score), before);
        EXPECT_FALSE(undo.canUndo());
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(BarMaintenanceModel, ShowsWhatTheOperationNeeds) {
    const BarNumberSettings current{{"Times New Roman", 9, kItalic, 0, 1}, 1, 0, false};
    BarMaintenanceModel m(current, 0, false, true, true);
    EXPECT_EQ(m.operation(), BarMaintenanceModel::kNone);
    EXPECT_EQ(m.number(), 1);                              // kept within 1..32767
    EXPECT_EQ(m.frequency(), 5);                           // unset shows 5
    EXPECT_FALSE(m.choose(BarMaintenanceModel::kMoveUp));  // the first system
    EXPECT_TRUE(m.choose(BarMaintenanceModel::kMoveDown));
    EXPECT_FALSE(m.spinShown());
    EXPECT_EQ(m.spinLabel(), "");
    EXPECT_TRUE(m.choose(BarMaintenanceModel::kGoTo));
    EXPECT_EQ(m.spinLabel(), "Target bar n&umber");
    EXPECT_FALSE(m.positionShown());
    EXPECT_TRUE(m.choose(BarMaintenanceModel::kRefresh));
    EXPECT_EQ(m.spinLabel(), "First bar n&umber of piece");
    EXPECT_TRUE(m.positionShown());
    EXPECT_EQ(m.placeCaptions()[1], "&Staff upper left");
    EXPECT_EQ(m.placeCaptions()[2], "&Left of staff");
    EXPECT_FALSE(m.setNumber(kMaxBarNumber + 1));
    EXPECT_TRUE(m.setNumber(kMaxBarNumber));
    EXPECT_FALSE(m.frequencyShown());
    m.setPlace(3);
    EXPECT_TRUE(m.frequencyShown());
    m.setFrequency(3);  // not offered
    EXPECT_EQ(m.frequency(), 5);
}

TEST(BarMaintenanceModel, ChangedComparesEverySetting) {
    const BarNumberSettings current{{"Times New Roman", 9, kItalic, 0, 1}, 3, 2, false};
    BarMaintenanceModel m(current, 4, true, true, false);
    EXPECT_EQ(m.placeCaptions()[1], "&Stave upper left");
    EXPECT_FALSE(m.changed());
    m.setBoxed(true);
    EXPECT_TRUE(m.changed());
    m.setBoxed(false);
    m.setFrequency(10);
    EXPECT_TRUE(m.changed());
    m.setFrequency(2);
    FontDesc bold = m.font();
    bold.style = kBold;
    m.setFont(bold);
    EXPECT_TRUE(m.changed());
    m.setFont(current.font);
    m.setPlace(0);
    EXPECT_TRUE(m.changed());
}

TEST_F(BarMoveCommands, DialogGoesToABarAndDeletesOne) {
    Score s;
    AddSystem(s, 100, {{'n', 100, 1}, {'|', 200}, {'n', 250, 2}, {'|', 300}, {'n', 350, 3}});
    AddSystem(s, 300, {{'n', 100, 4}, {'|', 200}, {'n', 250, 5}, {'|', 300}});
    s.stave(1).h.barNumber = 1;
    s.stave(1).obj[Find(s, 1, kBarline)].data.barline.barNumber = 2;
    s.stave(1).obj[Find(s, 1, kBarline) + 2].data.barline.barNumber = 3;
    s.stave(2).h.barNumber = 3;
    s.stave(2).obj[Find(s, 2, kBarline)].data.barline.barNumber = 4;
    OpenScore(s, 1);
    auto run = [&](BarMaintenanceModel::Operation op, int number) {
        dialogs.onBarMaintenance = [op, number](BarMaintenanceModel& m) {
            return m.choose(op) && m.setNumber(number);
        };
        d->run(Action::BarMaintain);
    };
    run(BarMaintenanceModel::kGoTo, 4);
    EXPECT_EQ(score.CurrentStave, 2);
    EXPECT_GT(d->cursorX(), 200);
    host.expectWarning("Bar 9 does not exist. Moving to bar 4.");
    run(BarMaintenanceModel::kGoTo, 9);
    EXPECT_EQ(score.CurrentStave, 2);
    EXPECT_HOST_CLEAN(host);

    // Bar 2 of the first system goes on every stave, its closing bar line
    // with it; the bar after it closes up.
    run(BarMaintenanceModel::kGoTo, 2);
    const std::string before = Fingerprint(score);
    run(BarMaintenanceModel::kDelete, 1);
    EXPECT_EQ(Sequence(score, 1), "n1 |0 n3 ");
    settings.level = 3;
    warnings.setUserLevel(3);
    d->run(Action::Undo);
    EXPECT_EQ(Fingerprint(score), before);
}

}  // namespace
}  // namespace sw
