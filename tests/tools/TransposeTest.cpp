// Transposition on the records: semitone steps and octaves, accidentals and
// chord texts, clef changes, refusals that change nothing, and the bars of
// a system respaced when its key signature changes width.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/ScriptedHost.h"
#include "layout/Bars.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Signatures.h"
#include "model/Build.h"
#include "support/TestSupport.h"
#include "tools/Transpose.h"

namespace sw {
namespace {

constexpr char kSharp = 27, kFlat = 29;

class Transposing : public ::testing::Test {
  protected:
    // A treble stave with a clef and, unless `key` is absent, a key signature.
    int Stave(std::optional<int> key = 0, int y = 100) {
        const int s = AppendStave(score, y, 20, ComputePageGeometry(score).width - 5);
        ClefAt(s, 30, 0);
        if (key) PlaceObject(score, s, kKeysig, 52, y)->data.keysig.key = static_cast<int8_t>(*key);
        return s;
    }
    ScoreObject& ClefAt(int s, int32_t x, int type) {
        ScoreObject* c = PlaceObject(score, s, kClef, x, score.stave(s).h.Ycoord);
        c->data.clef.type = static_cast<uint8_t>(type);
        c->glyph = ClefGlyph(type, false);
        return *c;
    }
    ScoreObject& Accidental(int s, int32_t x, int pitch, int alteration) {
        ScoreObject* a = PlaceObject(score, s, kAccidental, x, NoteY(score, s, pitch));
        a->data.accidental.pitch = static_cast<int8_t>(pitch);
        a->data.accidental.accidental = static_cast<int8_t>(alteration);
        return *a;
    }
    ScoreObject& Note(int s, int32_t x, int pitch) { return *PlaceNote(score, s, x, pitch, 3); }
    // Every record of every stave, as transposition can change it.
    std::string Fingerprint() const {
        std::ostringstream out;
        for (int s = 1; s <= score.Nstaves; ++s)
            for (int i = 1; i <= score.stave(s).h.Nobjec; ++i) {
                const ScoreObject& o = score.object(s, i);
                out << int(o.kind) << ':' << o.x << ',' << o.y << ',' << int(o.glyph);
                for (int k = 0; k < 14; ++k)
                    out << '.' << int(o.data.raw[k]);
                out << ' ';
            }
        return out.str();
    }
    bool Step(int direction, std::vector<int> staves = {1}) {
        return TransposeStep(score, staves, direction, host, measurer);
    }
    bool Run(TransposePlan plan) { return Transpose(score, plan, host, measurer); }

    Score score;
    ScriptedHost host;
    test::FixedMeasurer measurer;
};

TEST(KeyStep, EveryKeyASemitoneUpAndDown) {
    // Cb Gb Db Ab Eb Bb F C G D A E B F# C#
    const int up[15] = {0, 1, 2, 3, 4, 5, -6, -5, -4, -3, -2, -1, 0, 1, 2};
    const int down[15] = {-2, -1, 0, 1, 2, 3, 4, 5, 6, -5, -4, -3, -2, -1, 0};
    for (int key = -7; key <= 7; ++key) {
        EXPECT_EQ(KeyStep(key, 1), up[key + 7]) << key;
        EXPECT_EQ(KeyStep(key, -1), down[key + 7]) << key;
    }
    // A key no signature can have is read as the nearest one.
    EXPECT_EQ(KeyStep(100, 1), KeyStep(7, 1));
    EXPECT_EQ(KeyStep(-128, -1), KeyStep(-7, -1));
}

TEST(ChordText, LettersAndTheirSignsMoveASemitone) {
    EXPECT_EQ(TransposeChordText(std::string("F") + kSharp + "m7", 1, 10), "Gm7");
    EXPECT_EQ(TransposeChordText(std::string("B") + kFlat, -1, 10), "A");
    EXPECT_EQ(TransposeChordText("C/E", 1, 10), std::string("D") + kFlat + "/F");
    EXPECT_EQ(TransposeChordText("Cm", -1, 10), "Bm");
    // A sign that must go into a full text pushes out the last character;
    // the trailing spaces go.
    EXPECT_EQ(TransposeChordText("Am  Dm  E7", 1, 10),
              std::string("B") + kFlat + "m  E" + kFlat + "m");
}

TEST_F(Transposing, CMajorUpASemitoneMovesTheLettersButNotBOrE) {
    Stave(0);
    const int32_t y = NoteY(score, 1, 1);
    Note(1, 100, 1);            // C
    Accidental(1, 120, -4, 0);  // E natural
    Note(1, 130, -4);
    Accidental(1, 150, 1, 0);  // C natural
    Note(1, 160, 1);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(score.object(1, 2).data.keysig.key, -5);
    EXPECT_EQ(score.object(1, 3).note().pitch, 2);
    EXPECT_EQ(score.object(1, 3).y, y - kStepPixels);
    // E natural to F natural: the letter step is the semitone.
    EXPECT_EQ(score.object(1, 4).data.accidental.pitch, -3);
    EXPECT_EQ(score.object(1, 4).data.accidental.accidental, 0);
    // C natural to D flat.
    EXPECT_EQ(score.object(1, 6).data.accidental.pitch, 2);
    EXPECT_EQ(score.object(1, 6).data.accidental.accidental, -1);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Transposing, BFlatMajorUpKeepsTheLettersAndRaisesTheSigns) {
    Stave(-2);
    Note(1, 100, 1);
    Accidental(1, 120, -3, 0);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(score.object(1, 2).data.keysig.key, 5);
    EXPECT_EQ(score.object(1, 3).note().pitch, 1);
    EXPECT_EQ(score.object(1, 4).data.accidental.pitch, -3);
    EXPECT_EQ(score.object(1, 4).data.accidental.accidental, 1);
}

TEST_F(Transposing, OctavesMoveSevenPositionsAndThirteenTakesThirteenSteps) {
    Stave(0);
    Note(1, 100, 1);
    PlaceCurve(score, 1, {{100, 80}, {140, 70}}, 2);
    PlaceText(score, 1, kText, 100, 40, 1, "C", kTextTransposable);
    ASSERT_TRUE(Run({{1}, 12}));
    EXPECT_EQ(score.object(1, 2).data.keysig.key, 0);
    EXPECT_EQ(score.object(1, 3).note().pitch, 8);
    // The slur goes with the notes, the text stays as it is.
    EXPECT_EQ(score.object(1, 4).y, 80 - 7 * kStepPixels);
    EXPECT_EQ(score.object(1, 6).chunk(), "C");
    ASSERT_TRUE(Run({{1}, -12}));
    ASSERT_TRUE(Run({{1}, 13}));
    EXPECT_EQ(score.object(1, 2).data.keysig.key, -5);
    EXPECT_EQ(score.object(1, 3).note().pitch, 9);
    EXPECT_EQ(score.object(1, 4).y, 80 - 8 * kStepPixels);
    EXPECT_EQ(score.object(1, 6).chunk(), std::string("D") + kFlat);
}

TEST_F(Transposing, ADoubleSharpRaisedAgainIsReportedAndKept) {
    Stave(-2);
    Accidental(1, 100, -3, 2);  // F double sharp
    Note(1, 110, -3);
    host.expectMessage(
        "Transposition error\nStave      : 1\nNote       : F\nAccidental : Double sharp");
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(score.object(1, 3).data.accidental.accidental, 2);
    EXPECT_EQ(score.object(1, 2).data.keysig.key, 5);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Transposing, UpTwoThenDownTwoGivesTheMusicBack) {
    Stave(0);
    Stave(3, 200);
    for (int s : {1, 2}) {
        Accidental(s, 90, -3, 1);
        Note(s, 100, -3);
        Note(s, 130, 4);
        Accidental(s, 150, 0, -1);
        Note(s, 160, 0);
    }
    PlaceText(score, 2, kText, 100, 150, 1, std::string("B") + kFlat + "7/F" + kSharp,
              kTextTransposable);
    const std::string before = Fingerprint();
    ASSERT_TRUE(Run({{1, 2}, 2, -1, false, false, true, false}));
    EXPECT_NE(Fingerprint(), before);
    ASSERT_TRUE(Run({{1, 2}, -2, -1, false, false, true, false}));
    EXPECT_EQ(Fingerprint(), before);
}

TEST_F(Transposing, AChainedTextIsTransposedAsOneString) {
    Stave(0);
    // The flat of the B♭ begins the second chunk.
    const std::string text = std::string("Cm7 / Dm7B") + kFlat + " / A" + kFlat;
    const int first = PlaceText(score, 1, kText, 100, 40, 1, text, kTextTransposable);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(ChainText(score.stave(1), first), TransposeChordText(text, 1, 20));
    EXPECT_EQ(ChainText(score.stave(1), first),
              std::string("D") + kFlat + "m7 / E" + kFlat + "m7B / A");
}

TEST_F(Transposing, ToTheBassClefNotesKeepTheirPitchAndALaterBassClefGoes) {
    Stave(0);
    ScoreObject& marked = score.object(1, 1);
    marked.data.clef.octaveDown = 1;
    Note(1, 100, -2);
    PlaceObject(score, 1, kOther, 110, 90);
    ClefAt(1, 200, 1);
    Note(1, 220, 3);
    ChangeClefs(score, 1, 1, true, measurer);
    EXPECT_EQ(score.object(1, 1).data.clef.type, 1);
    EXPECT_EQ(score.object(1, 1).glyph, glyph::FCLEF);
    EXPECT_EQ(score.object(1, 1).data.clef.octaveDown, 0);
    EXPECT_EQ(score.object(1, 3).note().pitch, 10);
    EXPECT_EQ(score.object(1, 3).y, NoteY(score, 1, 10));
    EXPECT_EQ(score.object(1, 4).y, 90 - 12 * kStepPixels);
    EXPECT_EQ(score.object(1, 5).kind, kNothing);
    EXPECT_EQ(score.object(1, 6).note().pitch, 3);
}

TEST_F(Transposing, RefusalsChangeNothing) {
    Stave(0);
    Stave(std::nullopt, 200);
    Note(2, 100, 0);  // before any key signature
    Stave(0, 300);
    Note(3, 100, 125);  // an octave up would leave the byte
    const std::string before = Fingerprint();
    host.expectMessage(
        "Stave number(s) 2 have notes or accidentals appearing before the key "
        "signature.\n\nYou must have a key signature on the stave before any "
        "notes or accidentals.\n\nEven C major has a key signature in Staffwright.");
    EXPECT_FALSE(Step(1, {1, 2}));
    host.expectMessage("Stave number(s) 3 have notes");
    EXPECT_FALSE(Run({{1, 3}, 12}));
    EXPECT_EQ(Fingerprint(), before);
    // A clef change alone needs no key signature.
    EXPECT_TRUE(Run({{2}, 0, 1}));
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Transposing, EverySystemNeedsAStaveAtThePlace) {
    for (int k = 0; k < 3; ++k)
        Stave(0, 100 + 100 * k);
    score.stave(1).h.joinToNext = true;
    EXPECT_EQ(TransposeRange(score, TransposeExtent::EverySystem, 1, host),
              (std::vector<int>{1, 3}));
    EXPECT_FALSE(SystemsAlike(score));
    host.expectMessage("There is not a corresponding stave in all systems. Transpose aborted.");
    EXPECT_TRUE(TransposeRange(score, TransposeExtent::EverySystem, 2, host).empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Transposing, AWiderKeyRespacesTheBarsOfItsSystem) {
    const int top = Stave(0);
    const int lower = Stave(std::nullopt, 200);  // no key: its clef stays put
    score.stave(top).h.joinToNext = true;
    const int32_t right = score.stave(top).h.RightX;
    for (int32_t x : {100, 300})
        Note(top, x, 0);
    PlaceObject(score, top, kBarline, 250, 100, glyph::BARLINE);
    PlaceObject(score, top, kBarline, right, 100, glyph::BARLINE);
    const int32_t oldEnd = *KeyEnd(score, top);
    ASSERT_TRUE(Run({{top, lower}, 2}));
    const int32_t newEnd = *KeyEnd(score, top);
    // The signature without signs stays; its two sharps end where it did plus their width.
    EXPECT_EQ(score.object(top, 2).x, 52);
    EXPECT_EQ(newEnd, 52 + KeysigWidth(score.stave(top), score.object(top, 2)));
    EXPECT_EQ(score.object(lower, 1).x, 30);
    // The bar line at 250 is squeezed towards the right end, the notes follow.
    const double scale = double(right - newEnd) / (right - oldEnd);
    const int32_t barline = right - static_cast<int32_t>(std::lround((right - 250) * scale));
    EXPECT_NEAR(BarList(score, top).x[1], barline, 1);
    EXPECT_GT(score.object(top, 3).x, 100);
    EXPECT_GT(score.object(top, 4).x, barline);
    // Ends at or past the right end are left alone.
    const std::string now = Fingerprint();
    EXPECT_FALSE(RespaceAfterKeyChange(score, top, right, right - 10));
    EXPECT_FALSE(RespaceAfterKeyChange(score, top, 60, right + 5));
    EXPECT_EQ(Fingerprint(), now);
}

TEST_F(Transposing, ATimeSignatureCloseAfterTheKeyMovesWithIt) {
    const int s = Stave(1);  // G major: the signature ends 10 past its x
    ScoreObject* time = PlaceObject(score, s, kTimesig, 58, 100);
    time->data.timesig.numerator = time->data.timesig.denominator = 4;
    Note(s, 100, 0);
    PlaceObject(score, s, kBarline, score.stave(s).h.RightX, 100, glyph::BARLINE);
    ASSERT_TRUE(Run({{s}, 2}));  // A major: two signs more
    EXPECT_EQ(score.object(s, 2).x, 52);
    EXPECT_GE(score.object(s, 3).x, 58 + 2 * 10 - 1);
    EXPECT_GT(score.object(s, 4).x, 100);
}

}  // namespace
}  // namespace sw
