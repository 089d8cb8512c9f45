// Object records, note placement, deletion with its unlinking, and the font table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/ScriptedHost.h"
#include "model/Build.h"
#include "model/Score.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

bool IsFresh(const ScoreObject& o) {
    return o.kind == kNothing && o.glyph == kNoGlyph && o.x == 0 && o.y == 0 && o.invisible == 0 &&
           o.working == 0 &&
           std::all_of(std::begin(o.data.raw), std::end(o.data.raw), [](uint8_t b) { return !b; });
}

TEST(ModelRecord, FreshRecordsAndStavesHoldOnlyEmptySlots) {
    ScoreObject o;
    o.x = 5, o.y = -7, o.invisible = 1, o.working = 9, o.glyph = 3, o.kind = kNote;
    std::memset(o.data.raw, 0xAB, sizeof o.data.raw);
    NewObjectRecord(o);
    EXPECT_TRUE(IsFresh(o));
    EXPECT_STREQ(KindName(kNothing), "Nothing");
    EXPECT_STREQ(KindName(kText9), "Text");
    EXPECT_STREQ(KindName(kTrill), "~~~");
    EXPECT_STREQ(KindName(kFootertext), "Footertext");
    EXPECT_STREQ(KindName(kMaxKind + 1), "?");

    // Readers skip kind Nothing, so a slot past Nobjec must never look like an object.
    Score score;
    ASSERT_TRUE(score.appendStaves(2));
    EXPECT_TRUE(score.stave(0).h.invisible);
    for (int s = 0; s <= 2; ++s) {
        EXPECT_EQ(score.stave(s).h.Nobjec, 0);
        for (int i = 0; i < kSlots; ++i)
            if (!IsFresh(score.object(s, i))) ADD_FAILURE() << "stave " << s << " slot " << i;
    }
}

TEST(ModelNoteY, FourPixelsAStepOnEveryStaveSize) {
    Score score;
    int s = AppendStave(score, 500, 0, 800);
    EXPECT_EQ(NoteY(score, s, 0), 500);
    EXPECT_EQ(NoteY(score, s, 2), 492);
    EXPECT_EQ(NoteY(score, s, -3), 512);
    // Small and cue staves are scaled only when drawn.
    score.stave(s).h.sizeIndex = 1;
    score.stave(s).h.cue = true;
    EXPECT_EQ(NoteY(score, s, 2), 492);
}

TEST(ModelAddObject, HandsOutFreshSlotsAndRefusesAt249) {
    Score score;
    ScriptedHost host;
    int s = AppendStave(score, 200, 0, 2000);
    score.object(s, 1).kind = kNote;  // left over from an earlier use of the slot
    score.object(s, 1).glyph = 7;
    ASSERT_EQ(AddObject(score, s, host), 1);
    EXPECT_TRUE(IsFresh(score.object(s, 1)));

    while (score.stave(s).h.Nobjec < kObjectLimit - 1)
        ASSERT_NE(AddObject(score, s, host), 0);
    EXPECT_EQ(AddObject(score, s, host), 249);
    score.object(s, 250).kind = kClef;
    host.expectMessage("Stave too complex to add this object");
    EXPECT_EQ(AddObject(score, s, host), 0);
    EXPECT_EQ(score.stave(s).h.Nobjec, 249);
    EXPECT_EQ(score.object(s, 250).kind, kClef);
    ASSERT_EQ(host.messageTypes().size(), 1u);
    EXPECT_EQ(host.messageTypes()[0], MsgType::Error);
    EXPECT_HOST_CLEAN(host);
}

TEST(ModelSettings, BeamTangentIsKeptWithinZeroAndOne) {
    Score score;
    score.setBeamAngle(10);
    EXPECT_EQ(score.Beamang, 10);
    EXPECT_NEAR(score.beamTangent, 0.17633, 1e-5);
    score.setBeamAngle(60);
    EXPECT_EQ(score.Beamang, 60);
    EXPECT_DOUBLE_EQ(score.beamTangent, 1.0);
    score.setBeamAngle(-5);
    EXPECT_DOUBLE_EQ(score.beamTangent, 0.0);
}

TEST(ModelSettings, BagpipeFlagMarksMusicStavesAndKeepsTranspositions) {
    Score score;
    ASSERT_TRUE(score.appendStaves(3));
    score.stave(2).h.soundTranspose = -2;
    for (bool on : {true, false}) {
        score.setBagpipe(on);
        EXPECT_EQ(score.bagpipeScore, on);
        for (int s = 1; s <= 3; ++s) {
            EXPECT_EQ(score.stave(s).h.soundTranspose, s == 2 ? -2 : 0) << s;
            EXPECT_EQ(score.stave(s).t.bagpipeMark, on ? 2 : 0) << s;
        }
        EXPECT_EQ(score.stave(0).t.bagpipeMark, 0);
    }
}

// A stave of four notes for the deletion tests.
class UnlinkAndDeleteTest : public ::testing::Test {
  protected:
    Score score;
    int s = AppendStave(score, 200, 0, 2000);
    StaveBlock& b = score.stave(s);

    void SetUp() override {
        for (int x : {100, 200, 300, 400})
            PlaceNote(score, s, x, 0, 4);
    }
    NoteData& n(int i) { return b.obj[i].note(); }
    void beam(int from, int to) { n(from).beamOnTo = to, n(to).beamBackTo = from; }
    void tie(int left, int right) { n(left).tieRight = right, n(right).tieLeft = left; }
};

TEST_F(UnlinkAndDeleteTest, DeletedBeamNoteJoinsItsNeighbours) {
    beam(1, 2), beam(2, 3), beam(3, 4);
    UnlinkAndDelete(b, 2);
    EXPECT_EQ(b.obj[2].kind, kNothing);
    EXPECT_EQ(b.h.Nobjec, 4);  // the slot stays until the stave is tidied
    EXPECT_EQ(n(1).beamOnTo, 3);
    EXPECT_EQ(n(3).beamBackTo, 1);
    UnlinkAndDelete(b, 4);
    EXPECT_EQ(n(3).beamOnTo, 0);
    UnlinkAndDelete(b, 1);
    EXPECT_EQ(n(3).beamBackTo, 0);
}

TEST_F(UnlinkAndDeleteTest, TiesToTheDeletedNoteOrTieAreCleared) {
    tie(1, 2), tie(2, 3);
    UnlinkAndDelete(b, 2);
    EXPECT_EQ(n(1).tieRight, 0);
    EXPECT_EQ(n(3).tieLeft, 0);

    // Ties to and from other systems (255) are no slots and are left alone.
    n(3).tieLeft = 255, n(4).tieRight = 255;
    tie(3, 4);
    PlaceObject(score, s, kTie, 350, 200);
    b.obj[5].data.tie.leftNote = 3, b.obj[5].data.tie.rightNote = 4;
    UnlinkAndDelete(b, 5);
    EXPECT_EQ(n(3).tieRight, 0);
    EXPECT_EQ(n(4).tieLeft, 0);
    EXPECT_EQ(n(3).tieLeft, 255);
    EXPECT_EQ(n(4).tieRight, 255);
}

TEST_F(UnlinkAndDeleteTest, MiddleCurveAnchorJoinsItsNeighbours) {
    for (int x : {500, 600, 700})
        PlaceObject(score, s, kCurve, x, 100);
    b.obj[5].curve().nextAnchor = 6, b.obj[6].curve().prevAnchor = 5;
    b.obj[6].curve().nextAnchor = 7, b.obj[7].curve().prevAnchor = 6;
    UnlinkAndDelete(b, 6);
    EXPECT_EQ(b.obj[6].kind, kNothing);
    EXPECT_EQ(b.obj[5].curve().nextAnchor, 7);
    EXPECT_EQ(b.obj[7].curve().prevAnchor, 5);
    EXPECT_EQ(b.obj[5].curve().prevAnchor, 0);
    EXPECT_EQ(b.obj[7].curve().nextAnchor, 0);
}

TEST(UnlinkAndDeleteText, FirstChunkTakesTheWholeTextWithIt) {
    for (Kind kind : {kText9, kText, kHeadertext, kFootertext}) {
        SCOPED_TRACE(static_cast<int>(kind));
        Score score;
        int s = AppendStave(score, 200, 0, 2000);
        StaveBlock& b = score.stave(s);
        ASSERT_EQ(PlaceText(score, s, kind, 50, 100, 1, "kept"), 1);
        int first = PlaceText(score, s, kind, 100, 100, 1, "abcdefghijklmnopqrstuvwxy");
        ASSERT_EQ(first, 2);
        ASSERT_EQ(b.h.Nobjec, 4);
        UnlinkAndDelete(b, first);
        for (int i = 2; i <= 4; ++i)
            EXPECT_EQ(b.obj[i].kind, kNothing) << i;
        EXPECT_EQ(b.obj[1].kind, kind);
        EXPECT_EQ(ChainText(b, 1), "kept");
    }
}

TEST(UnlinkAndDeleteText, LoopingTextChainStillEnds) {
    Score score;
    int s = AppendStave(score, 200, 0, 2000);
    StaveBlock& b = score.stave(s);
    for (int i = 1; i <= 5; ++i)
        PlaceText(score, s, kText, 100 * i, 100, 1, "0123456789");
    // 1 -> 2 -> 3 -> 2 loops behind the first chunk; 4 <-> 5 loops back to it.
    b.obj[1].text().nextChunk = 2, b.obj[2].text().nextChunk = 3, b.obj[3].text().nextChunk = 2;
    b.obj[4].text().nextChunk = 5, b.obj[5].text().nextChunk = 4;
    UnlinkAndDelete(b, 1);
    UnlinkAndDelete(b, 4);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(b.obj[i].kind, kNothing) << i;
}

TEST(FontTable, ColourAndLetterCaseDoNotMakeANewFont) {
    Score score;
    ScriptedHost host;
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Arial", 10}, host), 1);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"ARIAL", 10, 0, 0x0000FF}, host), 1);
    EXPECT_EQ(score.fonts[1].colour, 0u);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Arial", 12}, host), 2);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Arial", 10, kBold}, host), 3);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Arial", 10, 0, 0, 2}, host), 4);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Arial Black", 10}, host), 5);
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"arial", 12}, host), 2);
    EXPECT_EQ(score.fontsInUse.count(), 5u);
    EXPECT_EQ(score.fonts[5].name, "Arial Black");
    EXPECT_HOST_CLEAN(host);
}

TEST(FontTable, FullTableWarnsAndFallsBackToFontOne) {
    Score score;
    ScriptedHost host;
    for (int i = 1; i <= kMaxFonts; ++i) {
        score.fonts[i] = FontDesc{"Face" + std::to_string(i), 10};
        score.fontsInUse.set(i);
    }
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"face255", 10}, host), 255);
    host.expectMessage("Too many fonts used in this document. Standard font chosen.");
    EXPECT_EQ(FindOrAddFont(score, FontDesc{"Other", 10}, host), 1);
    EXPECT_EQ(score.fonts[1].name, "Face1");
    ASSERT_EQ(host.messageTypes().size(), 1u);
    EXPECT_EQ(host.messageTypes()[0], MsgType::Warning);
    EXPECT_HOST_CLEAN(host);
}

TEST(FontRenumber, UsedFontsBecomeDenseAndTheTableFollows) {
    Score score;
    int s = AppendStave(score, 200, 0, 2000);
    StaveBlock& b = score.stave(s);
    for (int i = 1; i <= 8; ++i) {
        score.fonts[i] = FontDesc{"Face" + std::to_string(i), 10};
        score.fontsInUse.set(i);
    }
    ASSERT_EQ(PlaceText(score, s, kText, 100, 100, 7, std::string(25, 'a')), 1);
    ASSERT_EQ(PlaceText(score, s, kText9, 200, 100, 3, "nine"), 4);
    PlaceText(score, 0, kHeadertext, 0, 0, 3, "head");
    PlaceText(score, 0, kFootertext, 0, 0, 7, "foot");
    // Neither a deleted text nor the same byte of a note names a font.
    UnlinkAndDelete(b, PlaceText(score, s, kText, 300, 100, 5, "gone"));
    PlaceNote(score, s, 400, 0, 6);

    EXPECT_EQ(RenumberFonts(score), 2);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(b.obj[i].text().fontNumber, 2) << "continuation chunks too: " << i;
    EXPECT_EQ(b.obj[4].text().fontNumber, 1);
    EXPECT_EQ(score.object(0, 1).text().fontNumber, 1);
    EXPECT_EQ(score.object(0, 2).text().fontNumber, 2);
    EXPECT_EQ(score.fonts[1].name, "Face3");
    EXPECT_EQ(score.fonts[2].name, "Face7");
    EXPECT_EQ(score.fontsInUse.count(), 2u);
    EXPECT_TRUE(score.fontsInUse.test(1) && score.fontsInUse.test(2));
}

TEST(FontRenumber, RunsOnTheHeaderStaveAloneAndEmptiesTheSetWithoutTexts) {
    Score score;
    score.fonts[4] = FontDesc{"Head", 14};
    PlaceText(score, 0, kHeadertext, 0, 0, 4, "title");
    EXPECT_EQ(RenumberFonts(score), 1);
    EXPECT_EQ(score.object(0, 1).text().fontNumber, 1);
    EXPECT_EQ(score.fonts[1].name, "Head");

    Score empty;
    empty.fontsInUse.set(3);
    EXPECT_EQ(RenumberFonts(empty), 0);
    EXPECT_TRUE(empty.fontsInUse.none());
}

}  // namespace
}  // namespace sw
