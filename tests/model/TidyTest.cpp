// Stave tidying: what is dropped, the reading order, and that every link still
// names the same partner afterwards.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "model/Build.h"
#include "model/Score.h"

namespace sw {
namespace {

// Staves 100 pixels apart, each spanning x 100..900.
class Tidy : public ::testing::Test {
  protected:
    Score score;

    int stave() { return AppendStave(score, 100 * (score.Nstaves + 1), 100, 900); }
    StaveBlock& block(int s) { return score.stave(s); }
    ScoreObject& obj(int s, int i) { return score.object(s, i); }
    NoteData& nd(int s, int i) { return score.object(s, i).note(); }

    int add(int s, Kind kind, int32_t x, int32_t y = 0, uint8_t glyph = 0) {
        EXPECT_NE(PlaceObject(score, s, kind, x, y, glyph), nullptr);
        return block(s).h.Nobjec;
    }
    int note(int s, int32_t x) {
        EXPECT_NE(PlaceNote(score, s, x, 0, 4), nullptr);
        return block(s).h.Nobjec;
    }
    // Note `from` on stave fs beams on to note `to` on stave ts (the same stave or a neighbour).
    void beam(int fs, int from, int ts, int to) {
        NoteData& a = nd(fs, from);
        NoteData& b = nd(ts, to);
        a.beamOnTo = static_cast<uint8_t>(to);
        b.beamBackTo = static_cast<uint8_t>(from);
        a.beamOnDown = b.beamBackUp = ts == fs + 1;
        a.beamOnUp = b.beamBackDown = ts == fs - 1;
    }
    void tie(int s, int left, int right) {
        nd(s, left).tieRight = static_cast<uint8_t>(right);
        nd(s, right).tieLeft = static_cast<uint8_t>(left);
    }
    // Objects are told apart by glyph or by x.
    std::vector<int> glyphs(int s) {
        std::vector<int> out;
        for (int i = 1; i <= block(s).h.Nobjec; ++i)
            out.push_back(obj(s, i).glyph);
        return out;
    }
    std::vector<int32_t> xs(int s) {
        std::vector<int32_t> out;
        for (int i = 1; i <= block(s).h.Nobjec; ++i)
            out.push_back(obj(s, i).x);
        return out;
    }
    // beamBackTo, beamOnTo, tieLeft, tieRight of note i.
    std::vector<int> links(int s, int i) {
        const NoteData& n = nd(s, i);
        return {n.beamBackTo, n.beamOnTo, n.tieLeft, n.tieRight};
    }
    int at(int s, int32_t x) {
        for (int i = 1; i <= block(s).h.Nobjec; ++i)
            if (obj(s, i).x == x) return i;
        return 0;
    }
};

TEST_F(Tidy, ReadingOrderMovesAccidentalsAndOctaveLineSignsEarlier) {
    int s = stave();
    add(s, kSymbol, 300, 0, 1);
    add(s, kSymbol, 115, 0, 146);
    add(s, kSymbol, 100, 0, 2);
    add(s, kAccidental, 110, 50, 3);  // first among equals even though it lies lower
    add(s, kSymbol, 121, 0, 165);
    add(s, kSymbol, 122, 0, 242);
    add(s, kSymbol, 105, 0, 147);
    add(s, kSymbol, 100, -50, 4);
    TidyStave(score, s, true);
    EXPECT_EQ(glyphs(s), (std::vector<int>{146, 3, 4, 2, 165, 242, 147, 1}));
}

TEST_F(Tidy, EqualPositionsOrderByRecordBytesAndOtherwiseKeepTheirOrder) {
    int s = stave();
    auto bytes = [&](uint8_t glyph, std::vector<uint8_t> fromSecond) -> ScoreObject& {
        ScoreObject& o = obj(s, add(s, kSymbol, 200, 0, glyph));
        for (std::size_t k = 0; k < fromSecond.size(); ++k)
            o.data.raw[k + 1] = fromSecond[k];
        return o;
    };
    bytes(10, {2, 'b', 'a'});
    bytes(11, {2, 'a', 'z'});
    bytes(12, {1, 'a', 'z'});
    bytes(13, {});
    bytes(14, {});
    // A length past the record is cut to the bytes it has, so its last byte still counts.
    bytes(15, {255}).data.raw[63] = 2;
    bytes(16, {255}).data.raw[63] = 1;
    // Accidentals among themselves are ordered like anything else, or the order never settles.
    add(s, kAccidental, 300, 20, 1);
    add(s, kAccidental, 300, 20, 2);
    add(s, kAccidental, 300, 10, 3);
    std::vector<int> expected{13, 14, 16, 15, 12, 11, 10, 3, 1, 2};
    for (int g = 100; g < 130; ++g)  // enough equal objects to upset an unstable sort
        add(s, kSymbol, 400, 0, static_cast<uint8_t>(g)), expected.push_back(g);
    TidyStave(score, s, true);
    EXPECT_EQ(glyphs(s), expected);
}

TEST_F(Tidy, DropsDeadObjectsAndKeepsTheBoundaries) {
    int s = stave();
    add(s, kSymbol, -100);
    add(s, kSymbol, -101);
    add(s, kNothing, 200);
    add(s, kTie, 210);
    add(s, kCurve, 220);  // an anchor without a partner
    int c1 = add(s, kCurve, 230), c2 = add(s, kCurve, 240);
    obj(s, c1).curve().nextAnchor = static_cast<uint8_t>(c2);
    obj(s, c2).curve().prevAnchor = static_cast<uint8_t>(c1);
    int toNote = add(s, kCurve, 250);
    for (int x : {99, 100, 900, 901})
        note(s, x);
    obj(s, toNote).curve().nextAnchor = static_cast<uint8_t>(at(s, 100));
    add(s, kBarline, 500);  // stave 1 starts its system
    add(s, kClef, 950);     // only notes must lie between LeftX and RightX
    const int before = block(s).h.Nobjec;
    TidyStave(score, s, true);
    EXPECT_EQ(xs(s), (std::vector<int32_t>{-100, 100, 230, 240, 500, 900, 950}));
    for (int i = block(s).h.Nobjec + 1; i <= before; ++i)
        EXPECT_TRUE(obj(s, i).kind == kNothing && obj(s, i).glyph == kNoGlyph) << i;
}

TEST_F(Tidy, PartnersOfADroppedNoteLoseTheirLinks) {
    int s1 = stave(), s2 = stave();
    int out = note(s1, 950), in = note(s1, 300), next = note(s1, 400);
    int below = note(s2, 800);
    beam(s2, below, s1, out);
    beam(s1, out, s1, in);
    beam(s1, in, s1, next);
    tie(s1, out, in);
    TidyStave(score, s1, true);
    ASSERT_EQ(xs(s1), (std::vector<int32_t>{300, 400}));
    EXPECT_EQ(nd(s1, 1).beamBackTo, 0);
    EXPECT_EQ(nd(s1, 1).tieLeft, 0);
    EXPECT_EQ(nd(s1, 1).beamOnTo, 2);
    EXPECT_EQ(nd(s1, 2).beamBackTo, 1);
    EXPECT_EQ(nd(s2, below).beamOnTo, 0);
    EXPECT_EQ(nd(s2, below).beamOnUp, 0);
}

TEST_F(Tidy, BarLinesStayOnlyOnTheFirstStaveOfASystem) {
    int s1 = stave(), s2 = stave(), s3 = stave();
    block(s1).h.joinToNext = true;
    for (int s : {s1, s2, s3})
        add(s, kBarline, 500);
    TidyStave(score, s2, false);
    EXPECT_EQ(block(s2).h.Nobjec, 1);
    for (int s : {s1, s2, s3})
        TidyStave(score, s, true);
    EXPECT_EQ(block(s1).h.Nobjec, 1);
    EXPECT_EQ(block(s2).h.Nobjec, 0);
    EXPECT_EQ(block(s3).h.Nobjec, 1);
}

TEST_F(Tidy, LinksFollowTheirPartnersThroughDropAndSort) {
    int s = stave();
    add(s, kNothing, 150);
    int n3 = note(s, 500), n2 = note(s, 400), n1 = note(s, 300);
    beam(s, n1, s, n2);
    beam(s, n2, s, n3);
    tie(s, n1, n2);
    int c2 = add(s, kCurve, 700), c1 = add(s, kCurve, 600);
    obj(s, c1).curve().nextAnchor = static_cast<uint8_t>(c2);
    obj(s, c2).curve().prevAnchor = static_cast<uint8_t>(c1);
    int t = PlaceText(score, s, kText9, 800, 0, 1, "abcdefghijklmnopqrstuvw");
    obj(s, t).x = 820;  // chunks lie right to left, so sorting reverses them
    obj(s, t + 1).x = 810;
    TidyStave(score, s, true);
    ASSERT_EQ(xs(s), (std::vector<int32_t>{300, 400, 500, 600, 700, 800, 810, 820}));
    EXPECT_EQ(links(s, 1), (std::vector<int>{0, 2, 0, 2}));
    EXPECT_EQ(links(s, 2), (std::vector<int>{1, 3, 1, 0}));
    EXPECT_EQ(links(s, 3), (std::vector<int>{2, 0, 0, 0}));
    EXPECT_EQ(obj(s, 4).curve().nextAnchor, 5);
    EXPECT_EQ(obj(s, 5).curve().prevAnchor, 4);
    EXPECT_EQ(ChainText(block(s), 8), "abcdefghijklmnopqrstuvw");
    EXPECT_EQ(obj(s, 6).text().nextChunk, 0);
}

TEST_F(Tidy, PartnersOnNeighbouringStavesFollowTheNote) {
    int s1 = stave(), s2 = stave(), s3 = stave();
    add(s1, kSymbol, 150);
    int above = note(s1, 200);
    add(s3, kSymbol, 150);
    int below = note(s3, 400);
    add(s2, kSymbol, 600);
    add(s2, kSymbol, 700);
    int mid = note(s2, 300);
    beam(s1, above, s2, mid);
    beam(s2, mid, s3, below);
    TidyStave(score, s2, true);
    ASSERT_EQ(xs(s2), (std::vector<int32_t>{300, 600, 700}));
    EXPECT_EQ(nd(s1, above).beamOnTo, 1);
    EXPECT_EQ(nd(s3, below).beamBackTo, 1);
    // The note's own links name slots of the other staves and keep them.
    EXPECT_EQ(nd(s2, 1).beamBackTo, above);
    EXPECT_EQ(nd(s2, 1).beamOnTo, below);
    EXPECT_TRUE(nd(s2, 1).beamBackUp && nd(s2, 1).beamOnDown);

    // Deletion leaves partners on other staves to be unlinked when those staves are tidied.
    UnlinkAndDelete(block(s2), 1);
    TidyStave(score, s1, true);
    TidyStave(score, s3, true);
    EXPECT_EQ(nd(s1, above).beamOnTo, 0);
    EXPECT_EQ(nd(s1, above).beamOnDown, 0);
    EXPECT_EQ(nd(s3, below).beamBackTo, 0);
    EXPECT_EQ(nd(s3, below).beamBackUp, 0);
}

TEST_F(Tidy, CrossStaveFlagsNeedANeighbourStaveAndAMatchingPartner) {
    int s1 = stave(), s2 = stave(), s3 = stave();
    // No stave lies above the first or below the last: a stray flag there must not break
    // a beam within the stave, whichever of its notes the link check meets first.
    for (int s : {s1, s3}) {
        SCOPED_TRACE(s);
        int a = note(s, 200), b = note(s, 300), c = note(s, 400), d = note(s, 500);
        beam(s, a, s, b);
        beam(s, c, s, d);
        (s == s1 ? nd(s, b).beamBackUp : nd(s, b).beamBackDown) = 1;
        (s == s1 ? nd(s, c).beamOnUp : nd(s, c).beamOnDown) = 1;
        TidyStave(score, s, true);
        for (auto [l, r] : {std::pair{1, 2}, std::pair{3, 4}}) {
            EXPECT_EQ(nd(s, l).beamOnTo, r);
            EXPECT_EQ(nd(s, r).beamBackTo, l);
            EXPECT_FALSE(nd(s, l).beamOnUp || nd(s, l).beamOnDown);
            EXPECT_FALSE(nd(s, r).beamBackUp || nd(s, r).beamBackDown);
        }
    }
    // Between staves a flag stands only when the partner carries the opposite one.
    int g = note(s2, 600), h = note(s3, 650);
    beam(s2, g, s3, h);
    nd(s3, h).beamBackUp = 0;
    int j = note(s1, 750), k = note(s2, 700);
    beam(s1, j, s2, k);
    TidyStave(score, s2, true);
    EXPECT_EQ(nd(s2, at(s2, 600)).beamOnTo, 0);
    EXPECT_EQ(nd(s2, at(s2, 600)).beamOnDown, 0);
    EXPECT_EQ(nd(s2, at(s2, 700)).beamBackTo, j);
    EXPECT_EQ(nd(s2, at(s2, 700)).beamBackUp, 1);
    TidyStave(score, s3, true);
    EXPECT_EQ(nd(s3, at(s3, 650)).beamBackTo, 0);
}

TEST_F(Tidy, LinksToNothingValidAreCleared) {
    int s = stave();
    int n1 = note(s, 200), n2 = note(s, 300), sym = add(s, kSymbol, 400);
    // 30 lies beyond Nobjec; 255 ties to another system and stays.
    nd(s, n1).beamBackTo = 252, nd(s, n1).beamOnTo = 30;
    nd(s, n1).tieLeft = 255, nd(s, n1).tieRight = 251;
    nd(s, n2).beamOnTo = nd(s, n2).tieLeft = static_cast<uint8_t>(sym);
    nd(s, n2).tieRight = 255;
    int n3 = note(s, 500), n4 = note(s, 500);
    beam(s, n3, s, n4);  // partners at one x cannot be beamed
    nd(s, n4).tieLeft = static_cast<uint8_t>(n3);
    int self = PlaceText(score, s, kText, 700, 0, 1, "self");
    obj(s, self).text().nextChunk = static_cast<uint8_t>(self);
    obj(s, PlaceText(score, s, kText9, 710, 0, 1, "0123456789")).text().nextChunk =
        static_cast<uint8_t>(n1);
    obj(s, PlaceText(score, s, kText, 720, 0, 1, "0123456789")).text().nextChunk = 200;
    int shortChunk = PlaceText(score, s, kText, 730, 0, 1, "abc");
    obj(s, shortChunk).text().nextChunk =
        static_cast<uint8_t>(PlaceText(score, s, kText, 740, 0, 1, "def"));

    TidyStave(score, s, true);
    EXPECT_EQ(links(s, at(s, 200)), (std::vector<int>{0, 0, 255, 0}));
    EXPECT_EQ(links(s, at(s, 300)), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(links(s, at(s, 500)), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(links(s, at(s, 500) + 1), (std::vector<int>{0, 0, 0, 0}));
    // Each faulty chunk keeps its own text; only debris after a short chunk goes.
    for (int x : {700, 710, 720, 730}) {
        ASSERT_NE(at(s, x), 0) << x;
        EXPECT_EQ(obj(s, at(s, x)).text().nextChunk, 0) << x;
    }
    EXPECT_EQ(obj(s, at(s, 700)).chunk(), "self");
    EXPECT_EQ(at(s, 740), 0);
    EXPECT_EQ(obj(s, at(s, 200)).kind, kNote);
    EXPECT_EQ(obj(s, at(s, 400)).kind, kSymbol);
}

TEST_F(Tidy, SlotTwoHundredFiftyIsNeverAChunkLink) {
    int s = stave();
    while (block(s).h.Nobjec < kObjectLimit)
        add(s, kSymbol, 100 + block(s).h.Nobjec);
    block(s).h.Nobjec = kMaxObjects;  // as full as a file can make it
    ScoreObject& last = obj(s, kMaxObjects);
    last.kind = kText, last.x = 600, last.y = 0;
    last.setChunk("tail");
    ScoreObject& first = obj(s, 1);
    first.kind = kText;
    first.setChunk("0123456789");
    first.text().nextChunk = kMaxObjects;
    TidyStave(score, s, true);
    EXPECT_EQ(obj(s, at(s, 100)).text().nextChunk, 0);
}

TEST_F(Tidy, TremoloStrokesLengthenStemsWithoutABeam) {
    struct Case {
        int bars, value, stem, before, after;
    };
    const Case cases[] = {
        {3, 4, 0, 0, 1}, {3, 4, 1, 0, 0}, {3, 3, 0, 0, 0}, {4, 3, 1, 0, 2},
        {4, 4, 0, 0, 2}, {4, 4, 1, 0, 1}, {4, 5, 0, 0, 1}, {4, 5, 1, 0, 1},
        {4, 5, 2, 0, 0}, {4, 6, 0, 0, 0}, {4, 3, 0, 3, 3}, {5, 3, 0, 0, 0},
    };
    int s = stave();
    auto tremolo = [&](int x, int bars, int value, int stem, int before, bool stem2) {
        NoteData& n = nd(s, note(s, x));
        n.tremuloBars = static_cast<uint8_t>(bars);
        n.noteValue = static_cast<uint8_t>(value);
        n.stem = static_cast<uint8_t>(stem);
        n.lengthIncr = static_cast<uint8_t>(before);
        n.beamStem2 = stem2;
        return block(s).h.Nobjec;
    };
    int x = 100;
    for (const Case& c : cases)
        tremolo(x += 20, c.bars, c.value, c.stem, c.before, true);
    int noFlag = tremolo(x += 20, 4, 3, 0, 0, false);
    int beamed = tremolo(x += 20, 4, 3, 0, 0, true);
    beam(s, beamed, s, tremolo(x += 20, 4, 3, 0, 0, true));
    int stray = tremolo(x += 20, 4, 3, 0, 0, true);
    nd(s, stray).beamOnTo = 200;  // removed by the link check, so it does not count as a beam

    TidyStave(score, s, true);
    for (std::size_t k = 0; k < std::size(cases); ++k)
        EXPECT_EQ(nd(s, static_cast<int>(k) + 1).lengthIncr, cases[k].after) << "case " << k;
    EXPECT_EQ(nd(s, noFlag).lengthIncr, 0);
    EXPECT_EQ(nd(s, beamed).lengthIncr, 0);
    EXPECT_EQ(nd(s, beamed + 1).lengthIncr, 0);
    EXPECT_EQ(nd(s, stray).lengthIncr, 2);
}

TEST_F(Tidy, DebugOptionLeavesTheStaveAlone) {
    int s = stave();
    add(s, kSymbol, 500, 0, 1);
    add(s, kNothing, 400, 0, 2);
    add(s, kSymbol, -500, 0, 3);
    nd(s, note(s, 300)).beamOnTo = 252;
    score.debug.disableTidy = true;
    TidyStave(score, s, true);
    EXPECT_EQ(glyphs(s), (std::vector<int>{1, 2, 3, kNoGlyph}));
    EXPECT_EQ(nd(s, 4).beamOnTo, 252);
    score.debug.disableTidy = false;
    TidyStave(score, s, true);
    EXPECT_EQ(glyphs(s), (std::vector<int>{kNoGlyph, 1}));
}

}  // namespace
}  // namespace sw
