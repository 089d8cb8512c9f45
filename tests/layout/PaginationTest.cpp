// Walking staves by system and page, stave extents, and laying systems out on pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/MessageIds.h"
#include "core/ScriptedHost.h"
#include "core/WarningBox.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Build.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using Pair = std::pair<int, int>;
using Ints = std::vector<int>;

// Heights grow with the point size and the text's length, so a wrong font or
// a wrong string shows up in the extent.
class FakeMeasurer : public TextMeasurer {
  public:
    int width(const TextFont&, const std::string&) const override { return 0; }
    int height(const TextFont& f, const std::string& t) const override {
        return f.pointSize + static_cast<int>(t.size());
    }
};

// Staves `pitch` pixels apart from y 40, each extent 16 above and below its middle line.
Score Strip(int n, uint16_t page = 1, int pitch = 100) {
    Score score;
    for (int i = 1; i <= n; ++i)
        score.stave(AppendStave(score, 40 + pitch * (i - 1), 0, 600)).h.PageNum = page;
    return score;
}
void Join(Score& score, std::initializer_list<int> staves) {
    for (int s : staves)
        score.stave(s).h.joinToNext = true;
}
// One field of every music stave's header (or trailer).
template <class Part, class T>
Ints Field(const Score& score, T Part::*field) {
    Ints out;
    for (int s = 1; s <= score.Nstaves; ++s)
        if constexpr (std::is_same_v<Part, StaveHeader>)
            out.push_back(score.stave(s).h.*field);
        else
            out.push_back(score.stave(s).t.*field);
    return out;
}
constexpr auto kY = &StaveHeader::Ycoord;
constexpr auto kPage = &StaveHeader::PageNum;

TEST(PaginationNavigation, SystemsBraceGroupsAndPagesOnMixedJoins) {
    Score score = Strip(6);
    Join(score, {1, 4, 5, 6});  // systems [1,2] [3] [4..6]; the last stave's flag is moot
    score.stave(2).h.withBrace = true;
    EXPECT_EQ((std::vector<Pair>{SystemBounds(score, 0), SystemBounds(score, 3),
                                 SystemBounds(score, 99), BraceGroupBounds(score, 3)}),
              (std::vector<Pair>{{1, 2}, {3, 3}, {4, 6}, {2, 3}}));
    for (int s = 0; s <= 6; ++s)
        EXPECT_EQ(SystemNumber(score, s), (Ints{1, 1, 1, 2, 3, 3, 3}[s])) << "stave " << s;
    EXPECT_EQ(SystemCount(score), 3);
    EXPECT_EQ((Ints{FirstStaveOfSystem(score, 2), FirstStaveOfSystem(score, 3),
                    FirstStaveOfSystem(score, 4)}),
              (Ints{3, 4, 7}));

    const int pages[] = {2, 1, 2, 2, 3, 3};  // stave 1 counts on page 1 wherever it is
    for (int s = 1; s <= 6; ++s)
        score.stave(s).h.PageNum = static_cast<uint16_t>(pages[s - 1]);
    EXPECT_EQ(Pair(FirstStaveOnPage(score, 0), LastStaveOnPage(score, 0)), Pair(0, 0));
    EXPECT_EQ(LastStaveOnPage(score, 1), 2);
    EXPECT_EQ(Pair(FirstStaveOnPage(score, 3), LastStaveOnPage(score, 3)), Pair(5, 6));
    EXPECT_EQ(FirstStaveOnPage(score, 4), 0);
    score.stave(2).h.PageNum = 2;
    EXPECT_EQ(LastStaveOnPage(score, 1), 1);

    Score empty;  // nothing to walk, nothing to lay out
    empty.CurrentStave = 3;
    EXPECT_EQ(Repaginate(empty, 1000).pages, 0);
    EXPECT_EQ(
        std::make_tuple(SystemBounds(empty, 1), SystemCount(empty), LastStaveOnPage(empty, 1)),
        std::make_tuple(Pair(0, 0), 0, 0));
}

TEST(PaginationLayout, OnePageKeepsEveryPositionAndLaterPagesKeepTheGapAboveThem) {
    Score score = Strip(3);
    EXPECT_EQ(Repaginate(score, 1000).pages, 1);
    EXPECT_EQ(Field(score, kY), (Ints{40, 140, 240}));

    // Extents 68 pixels apart: a page begins 68 pixels above its first extent.
    score = Strip(5);
    score.CurrentStave = 4;
    PaginationResult r = Repaginate(score, 200);
    EXPECT_EQ(Field(score, kPage), (Ints{1, 1, 2, 2, 3}));
    EXPECT_EQ(Field(score, kY), (Ints{40, 140, 84, 184, 84}));
    EXPECT_EQ(Field(score, &StaveHeader::MinY), (Ints{24, 124, 68, 168, 68}));
    EXPECT_EQ(std::make_tuple(r.pages, r.currentPage, int{score.pageCount}, r.oversized.size()),
              std::make_tuple(3, 2, 3, std::size_t{0}));

    // Only as much of the gap as leaves the system room, and never less than 10.
    score = Strip(3);
    Repaginate(score, 80);
    EXPECT_EQ(Field(score, &StaveHeader::MinY), (Ints{24, 48, 48}));
    score = Strip(3, 1, 40);  // extents 8 apart
    Repaginate(score, 70);
    EXPECT_EQ(Field(score, &StaveHeader::MinY), (Ints{24, 10, 10}));
}

TEST(PaginationLayout, ForcedBreaksEndAPageOnlyAtTheEndOfASystem) {
    Score score = Strip(5);
    Join(score, {1});
    score.stave(1).h.ForcedBk = true;  // inside a system: no break
    score.stave(3).h.ForcedBk = true;
    score.stave(5).h.ForcedBk = true;  // the score's end: no empty page after it
    EXPECT_EQ(Repaginate(score, 1000).pages, 2);
    EXPECT_EQ(Field(score, kPage), (Ints{1, 1, 1, 2, 2}));
    EXPECT_EQ(score.stave(4).h.MinY, 68);
}

TEST(PaginationLayout, SystemsTallerThanAPageGetAPageOfTheirOwn) {
    Score score = Strip(3);  // the first system: page 1 is not left empty
    Join(score, {1});
    PaginationResult r = Repaginate(score, 100);
    EXPECT_EQ(Field(score, kPage), (Ints{1, 1, 2}));
    EXPECT_EQ(score.stave(1).h.Ycoord, 40);
    EXPECT_EQ(r.oversized, (std::vector<Pair>{{1, 1}}));

    score = Strip(4);  // a later one is named with the page before it
    Join(score, {2});
    r = Repaginate(score, 100);
    EXPECT_EQ(Field(score, kPage), (Ints{1, 2, 2, 3}));
    EXPECT_EQ(score.stave(2).h.MinY, 10);
    EXPECT_EQ(r.oversized, (std::vector<Pair>{{2, 1}}));

    // Opening a score on a tiny page: a box for each, which the user can turn off.
    score = Strip(3);
    score.page.Length = 1.3;
    ScriptedHost host;
    host.expectWarning("Cannot fit system 1 on page 1")
        .expectWarning("Cannot fit system 2 on page 1")
        .expectWarning("Cannot fit system 3 on page 2");
    EXPECT_EQ(PrepareForDisplay(score, host, FakeMeasurer()).pages, 3);
    EXPECT_HOST_CLEAN(host);
    WarningBox warnings;
    warnings.setSuppressed(msg::CannotFitSystem, true);
    ScriptedHost silent;
    score = Strip(3);
    score.page.Length = 1.3;
    EXPECT_EQ(PrepareForDisplay(score, silent, FakeMeasurer(), &warnings).pages, 3);
    EXPECT_HOST_CLEAN(silent);
}

TEST(PaginationLayout, RepaginatingAgainChangesNothingAndUnpaginateRestoresAStrip) {
    Score score = Strip(7, 1, 50);
    PlaceObject(score, 4, kClef, 50, 190 - 14);
    Repaginate(score, 120);
    const Ints pages = Field(score, kPage), ys = Field(score, kY);
    EXPECT_EQ(pages, (Ints{1, 1, 2, 2, 3, 3, 4}));
    EXPECT_EQ(score.object(4, 1).y, score.stave(4).h.Ycoord - 14);
    Repaginate(score, 120);
    EXPECT_EQ(Field(score, kPage), pages);
    EXPECT_EQ(Field(score, kY), ys);

    Unpaginate(score);
    EXPECT_EQ(Field(score, kPage), Ints(7, 1));
    // The strip it was laid out from: distances within a page are kept, and
    // the space above each later page's first stave becomes the gap again.
    EXPECT_EQ(Field(score, kY), (Ints{40, 90, 140, 190, 240, 290, 340}));
    EXPECT_EQ(score.object(4, 1).y, 190 - 14);

    // A page laid out with the page gap alone meets its neighbour 10 pixels apart.
    score = Strip(2, 1, 100);
    score.stave(2).h.PageNum = 2;
    MoveStaveTo(score, 2, 5);  // extent 11 above the page top
    Unpaginate(score);
    EXPECT_EQ(score.stave(2).h.MinY - score.stave(1).h.MaxY, 10);
}

// Strips of every kind: uneven gaps and heights, systems, forced breaks and
// systems taller than the page.
Score RandomStrip(unsigned seed, int n) {
    unsigned state = seed * 2654435761u + 1;
    auto next = [&](int lo, int hi) {
        state = state * 1103515245u + 12345u;
        return lo + static_cast<int>((state >> 8) % static_cast<unsigned>(hi - lo + 1));
    };
    Score score;
    int32_t y = next(20, 90);
    for (int i = 1; i <= n; ++i) {
        const int s = AppendStave(score, y, 0, 600);
        StaveHeader& h = score.stave(s).h;
        h.PageNum = 1;
        h.MinY = y - next(12, 60);
        h.MaxY = y + next(12, 70);
        h.joinToNext = next(0, 3) == 0;
        h.ForcedBk = next(0, 9) == 0;
        y = h.MaxY + next(-5, 80) + next(12, 60);
    }
    return score;
}

TEST(PaginationLayout, LayingOutTwiceGivesTheSamePagesAsOnce) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        Score score = RandomStrip(seed, 40);
        const int32_t H = 150 + static_cast<int32_t>(seed * 37 % 500);
        const PaginationResult first = Repaginate(score, H);
        const Ints pages = Field(score, kPage), ys = Field(score, kY);
        const PaginationResult second = Repaginate(score, H);
        ASSERT_EQ(Field(score, kPage), pages) << "seed " << seed;
        ASSERT_EQ(Field(score, kY), ys) << "seed " << seed;
        ASSERT_EQ(second.oversized, first.oversized) << "seed " << seed;
        // Every page but an oversized system's own stays inside the page.
        for (int s = 1; s <= score.Nstaves; ++s) {
            const int p = score.stave(s).h.PageNum;
            const bool alone = FirstStaveOnPage(score, p) == SystemBounds(score, s).first &&
                               LastStaveOnPage(score, p) == SystemBounds(score, s).second;
            if (!alone) {
                ASSERT_LE(score.stave(s).h.MaxY, H) << "seed " << seed << " stave " << s;
            }
        }
    }
}

TEST(PaginationLayout, OpeningASavedScoreGivesThePagesItWasSavedWith) {
    // Bare staves 70 pixels apart: their extents leave gaps wider than the
    // page gap, so on some page length a system misses a page only by its gap.
    test::TempDir dir;
    for (double length = 4.0; length <= 9.0; length += 0.25) {
        Score score;
        for (int i = 1; i <= 30; ++i)
            score.stave(AppendStave(score, 60 + 70 * (i - 1), 17, 600)).h.PageNum = 1;
        score.page.Length = length;
        ScriptedHost host;
        ASSERT_EQ(SaveScore(score, dir.file("strip.SWN"), 0, 30, false, false, host),
                  SaveResult::Saved);
        Score opened;
        ASSERT_TRUE(OpenForDisplay(opened, dir.file("strip.SWN"), host, FakeMeasurer()).load.ok);
        ASSERT_EQ(SaveScore(opened, dir.file("saved.SWN"), 0, 30, false, false, host),
                  SaveResult::Saved);
        Score reopened;
        ASSERT_TRUE(OpenForDisplay(reopened, dir.file("saved.SWN"), host, FakeMeasurer()).load.ok);
        EXPECT_EQ(Field(reopened, kPage), Field(opened, kPage)) << "length " << length;
        EXPECT_EQ(Field(reopened, kY), Field(opened, kY)) << "length " << length;
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(PaginationLayout, PagesPast255SurviveAFileAndComeBackAsTheSamePages) {
    Score score = Strip(260, 0);
    Repaginate(score, 70);  // one stave a page
    ASSERT_EQ(score.pageCount, 260);
    test::TempDir dir;
    ScriptedHost host;
    ASSERT_EQ(SaveScore(score, dir.file("long.SWN"), 0, 260, false, false, host),
              SaveResult::Saved);
    Score loaded;
    ASSERT_TRUE(LoadScore(loaded, dir.file("long.SWN"), false, host).ok);
    const Ints read = Field(loaded, kPage);
    EXPECT_EQ(std::count(read.begin(), read.end(), 0), 0);
    EXPECT_EQ(std::adjacent_find(read.begin(), read.end()), read.end());
    EXPECT_EQ(Repaginate(loaded, 70).pages, 260);
    EXPECT_EQ(Field(loaded, kPage), Field(score, kPage));
    EXPECT_EQ(Field(loaded, kY), Field(score, kY));
    EXPECT_HOST_CLEAN(host);
}

TEST(PaginationOpen, PageDataWithoutRoomForMusicIsRefusedInThePageSetupsWords) {
    test::TempDir dir;
    ScriptedHost host;
    Score score = Strip(3);
    score.page.LeftM = 8;  // with the right margin, wider than the paper
    ASSERT_EQ(SaveScore(score, dir.file("wide.SWN"), 0, 3, false, false, host), SaveResult::Saved);
    Score opened;
    const OpenResult r = OpenForDisplay(opened, dir.file("wide.SWN"), host, FakeMeasurer());
    ASSERT_TRUE(r.load.ok);
    EXPECT_EQ(r.pageProblems, (std::vector<std::string>{
                                  "Left+Gutter+Right Margins are bigger than the page width!\n"
                                  "Please fix!"}));
    EXPECT_EQ(r.pages.pages, 0);  // not laid out

    score.page = PageData{};
    score.page.Footer = 11;  // the footer takes the page's length as the margins do
    EXPECT_EQ(PageDataProblems(score.page).size(), 1u);
    EXPECT_NE(PageDataProblems(score.page)[0].find("Bottom and Top Margins"), std::string::npos);
    EXPECT_TRUE(PageDataProblems(PageData{}).empty());
    EXPECT_HOST_CLEAN(host);
}

class PaginationStave : public ::testing::Test {
  protected:
    void SetUp() override {
        s = AppendStave(score, Y, 0, 600);
        score.fonts[1] = FontDesc{"Serif", 20, 0, 0, 0};
        score.fontsInUse.set(1);
    }
    // MinY and MaxY once the stave holds only what `place` puts on it.
    template <class F>
    Pair Extent(F place) {
        score.stave(s).h.Nobjec = 0;
        place();
        StaveExtent(score, s, FakeMeasurer());
        return {score.stave(s).h.MinY, score.stave(s).h.MaxY};
    }
    ScoreObject& Note(int32_t y, int stem, int value = 3, bool beamed = false) {
        ScoreObject* o = PlaceNote(score, s, 100, 0, value, stem);
        o->y = y;
        o->note().beamOnTo = beamed ? 1 : 0;
        return *o;
    }
    Pair Notes(int stem, int value = 3, bool beamed = false) {
        return Extent([&] {
            Note(Y - 100, stem, value, beamed);
            Note(Y + 100, stem, value, beamed);
        });
    }
    KindData& Obj(Kind kind, int32_t y) { return PlaceObject(score, s, kind, 100, y)->data; }
    static constexpr int32_t Y = 300;
    // The stave alone reaches as far as its bracket hooks' ink.
    const int32_t top0 = Y + ScreenNudge(42).y + GlyphInkBox(42).top - 32;
    const int32_t bottom0 = Y + ScreenNudge(43).y + GlyphInkBox(43).bottom - 32;
    Score score;
    int s = 0;
};

TEST_F(PaginationStave, ExtentRowsForNotesTextsHairpinsDrawobjectsAndKeys) {
    EXPECT_EQ(Extent([] {}), Pair(top0, bottom0));
    EXPECT_EQ(Notes(0), Pair(Y - 128, Y + 108));           // stem up
    EXPECT_EQ(Notes(1), Pair(Y - 108, Y + 128));           // stem down
    EXPECT_EQ(Notes(0, 4, true), Pair(Y - 119, Y + 103));  // a quaver beam: L = 18
    EXPECT_EQ(Notes(1, 4, true), Pair(Y - 103, Y + 119));
    EXPECT_EQ(Extent([&] { Note(Y - 100, 0, 4, true).note().headSize = 1; }).first, Y - 114);

    auto text = [&](Kind kind) {
        return Extent([&] { PlaceText(score, s, kind, 100, Y + 100, 1, "abcdefgh"); }).second;
    };
    EXPECT_EQ(text(kText9), Y + 100 + 20 + 8);  // its own words, in font 1
    EXPECT_EQ(text(kText), Y + 100 + 20 + 2);   // "Mg"
    EXPECT_EQ(Extent([&] { Obj(kText, Y + 100).text.textFlags = 0x80; }).second, bottom0);

    EXPECT_EQ(Extent([&] {
                  Obj(kHairpin, Y + 100).hairpin = HairpinData{40, -6, 2};
              }).second,
              Y + 108);
    auto draw = [&](int shape, int32_t y, int16_t radius, int16_t height) {
        return Extent([&] {
            Obj(kDrawobject, y).drawobject = {0, 0, static_cast<uint8_t>(shape), radius, height};
        });
    };
    EXPECT_EQ(draw(0, Y - 100, 30, 0), Pair(Y - 130, bottom0));
    EXPECT_EQ(draw(2, Y + 100, 5, 40), Pair(top0, Y + 140));
    EXPECT_EQ(draw(3, Y - 100, 5, -40), Pair(Y - 100, bottom0));
    EXPECT_EQ(draw(4, Y - 100, 30, 40), Pair(top0, bottom0));

    auto key = [&](int k, int32_t y) {
        return Extent([&] { Obj(kKeysig, y).keysig.key = static_cast<int8_t>(k); });
    };
    EXPECT_EQ(key(-3, Y - 200).first, Y - 220 + GlyphInkBox(glyph::SHARP).top);
    EXPECT_EQ(key(-6, Y + 200).second, bottom0);
    EXPECT_EQ(key(-7, Y + 200).second, Y + 220 + GlyphInkBox(glyph::FLAT).bottom);
}

TEST_F(PaginationStave, ABareStaveReachesExactlyToItsBracketHooksInk) {
    // The upper hook's first ink row is 26 pixels above the middle line, the
    // lower hook's last 24 below: the extent ends there, not a hook's ink
    // height further out.
    ASSERT_EQ((std::vector<int>{GlyphInkBox(42).top, GlyphInkBox(43).bottom}),
              (std::vector<int>{6, 56}));
    EXPECT_EQ(Extent([] {}), Pair(Y - 26, Y + 24));
}

TEST_F(PaginationStave, ShiftMovesStemsAndDotsOfNotesButNotOfRests) {
    NoteData& note = Note(Y, 0).note();
    ScoreObject& rest = Note(Y, 2);
    for (NoteData* n : {&note, &rest.note()})
        n->stemStartY = 10, n->stemEndY = 20, n->dotY = 30;
    rest.note().rest = 1;
    StaveExtent(score, s, FakeMeasurer());
    const StaveHeader before = score.stave(s).h;
    ShiftStave(score, s, 0);
    EXPECT_EQ(Pair(score.stave(s).h.MinY, note.stemEndY), Pair(before.MinY, 20));
    MoveStaveTo(score, s, Y + 15);
    const StaveHeader& h = score.stave(s).h;
    EXPECT_EQ((Ints{h.Ycoord, h.MinY, h.MaxY, score.object(s, 1).y, rest.y}),
              (Ints{Y + 15, before.MinY + 15, before.MaxY + 15, Y + 15, Y + 15}));
    EXPECT_EQ((Ints{note.stemStartY, note.stemEndY, note.dotY}), (Ints{25, 35, 45}));
    const NoteData& r = rest.note();
    EXPECT_EQ((Ints{r.stemStartY, r.stemEndY, r.dotY}), (Ints{10, 20, 30}));
}

TEST_F(PaginationStave, RefreshSettlesTheLowerInstrumentFromTheUpper) {
    for (auto [up, down, settled] : {std::tuple(5, 0, 5), {0, 7, 0}, {5, 9, 9}}) {
        score.stave(s).h.instrumentUp = static_cast<uint8_t>(up);
        score.stave(s).h.instrumentDown = static_cast<uint8_t>(down);
        RefreshStave(score, s, FakeMeasurer());
        EXPECT_EQ(score.stave(s).h.instrumentDown, settled) << up << "," << down;
    }
}

TEST(PaginationTrailers, EachStaveLinksToTheSamePlaceInTheNextSystem) {
    Score score = Strip(6);
    Join(score, {1, 2, 4});  // [1,2,3] [4,5] [6]: stave 3 has no counterpart in [4,5]
    RebuildTrailers(score);
    EXPECT_EQ(Field(score, &StaveTrailer::nextSystemStave), (Ints{4, 5, 0, 6, 0, 0}));
    EXPECT_EQ(Field(score, &StaveTrailer::prevSystemStave), (Ints{0, 0, 0, 1, 2, 4}));
    EXPECT_EQ(Field(score, &StaveTrailer::systemNumber), (Ints{1, 1, 1, 2, 2, 3}));
    EXPECT_EQ(Field(score, &StaveTrailer::positionInSystem), (Ints{1, 2, 3, 1, 2, 1}));
}

}  // namespace
}  // namespace sw
