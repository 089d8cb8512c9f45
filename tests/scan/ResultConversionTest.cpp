// Converting recognition results into scores: scale and paper, each kind of
// object, beam links, the paper-fit dialog, the faults, and the file.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "core/ScriptedHost.h"
#include "fileio/Records.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "scan/ResultConversion.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using test::FixedMeasurer;
using test::TempDir;

const PaperDefaults kLetter{8500, 11000, 1000, 1000, 1000, 1000};  // P 6500, Q 9000

std::string Mro(const std::string& systems, const std::string& spacing = "16384") {
    return "fileheader { version 2011 }\nscore { pages { nof 1 page { spacing " + spacing +
           "\nsystems { nof 9999\n" + systems + "\n} } } }\n";
}
std::string Sys(int left, int width, const std::string& staves, const std::string& slurs = "") {
    return "system { top 400 left " + std::to_string(left) + " width " + std::to_string(width) +
           " height 200\nstaves { nof 9999\n" + staves + "\n}\nslurs { nof 9999 " + slurs +
           " } }\n";
}
std::string Stv(const std::string& bars, const std::string& extra = "", int top = 400,
                int size = 64) {
    return "stave { top " + std::to_string(top) + " left 100 width 1000 size " +
           std::to_string(size) + "\nbars { nof 9999\n" + bars + "\n}\n" + extra + " }\n";
}
std::string Bar(const std::string& body) {
    return "bar {\n" + body + "\n}\n";
}
std::string Chords(const std::string& chords) {
    return "chords { nof 9999\n" + chords + "}\n";
}
std::string Chord(const std::string& attributes, const std::string& notes) {
    return "chord { " + attributes + "\nnotes { nof 9999\n" + notes + " } }\n";
}
std::string Note(const std::string& shape, int p, const std::string& extra = "") {
    return "note { shape " + shape + " p " + std::to_string(p) + " normalside T " + extra + " }\n";
}

struct Converted {
    ConversionOutcome out;
    std::unique_ptr<Score> score = std::make_unique<Score>();
    RecognitionTables tables;
};

Converted Convert(const std::string& text, ScriptedHost& host, ConversionOptions options = {},
                  const PaperFitAsker& ask = {}, const std::string& write = "") {
    TempDir dir;
    std::ofstream(dir.file("r.mro")) << text;
    options.paper = kLetter;
    Converted c;
    FixedMeasurer measurer;
    c.out = ConvertRecognitionResult(dir.file("r.mro"), write, options, c.tables, *c.score, host,
                                     measurer, ask);
    return c;
}

Converted Convert(const std::string& text, ConversionOptions options = {}) {
    ScriptedHost host;
    Converted c = Convert(text, host, options);
    EXPECT_HOST_CLEAN(host);
    return c;
}

// The objects of `kind` on stave s, in slot order.
std::vector<const ScoreObject*> Objects(const Score& score, int s, int kind) {
    std::vector<const ScoreObject*> out;
    for (int i = 1; i <= score.stave(s).h.Nobjec; ++i)
        if (score.object(s, i).kind == kind) out.push_back(&score.object(s, i));
    return out;
}

TEST(ResultConversion, TheScaleExampleFitsLetterInPortrait) {
    bool asked = false;
    ScriptedHost host;
    const Converted c = Convert(
        Mro(Sys(100, 1000, Stv(Bar("")))), host, {},
        [&](const PaperFitDialogModel&) { return asked = true, 1; }, "");
    ASSERT_TRUE(c.out.ok);
    const ConversionGeometry& g = c.out.geometry;
    EXPECT_EQ(g.baseStaveSize, 213);
    EXPECT_EQ(g.maxRight, 1133);
    EXPECT_EQ(g.needed, 3568);
    EXPECT_EQ(g.staveSize, 213);
    EXPECT_FALSE(g.landscape);
    EXPECT_FALSE(asked);
    const StaveHeader& h = c.score->stave(1).h;
    EXPECT_EQ(h.LeftX, 10);  // the leftmost system 10 pixels into the music area
    EXPECT_EQ(h.RightX, 510);
    EXPECT_EQ(h.Ycoord, 200 - 150 + 16);  // top/2 − round(1000 × 32 / 213) + 16
    EXPECT_EQ(h.PageNum, 1);
    EXPECT_HOST_CLEAN(host);
    // A picture with less margin than the paper keeps two spaces above the
    // first stave's top line.
    const Converted high = Convert(Mro(
        "system { top 60 left 100 width 1000\nstaves { nof 1 stave { top 60 left 100 width 1000 "
        "size 64 } } }"));
    EXPECT_EQ(high.score->stave(1).h.Ycoord, 16 + 16);
}

TEST(ResultConversion, ResolutionOfTheDpiBox) {
    EXPECT_EQ(ScanResolution("240"), 240);
    for (const char* text : {"3OO", "", "0", "-72", "300 dpi", "1e3"})
        EXPECT_EQ(ScanResolution(text), 300) << text;
    ConversionOptions o;
    o.dpiText = "3OO";
    EXPECT_EQ(Convert(Mro(Sys(100, 1000, Stv(Bar("")))), o).out.geometry.baseStaveSize, 213);
}

TEST(ResultConversion, NoteValuesRestsAndPositions) {
    const std::string bar =
        Bar(Chords(Chord("stemup T flagposn 0,200 nflags 2", Note("solid", 0)) +
                   Chord("stemup F flagposn 0,300 beam { id 1 nofleft 0 nofnodes 2 nofright 3 }",
                         Note("solid", -1)) +
                   Chord("stemup F flagposn 0,340 beam { id 1 nofleft 3 nofnodes 2 nofright 0 }",
                         Note("solid", -2)) +
                   Chord("stemup T flagposn 0,400 beam { id 2 nofleft 0 nofnodes 2 nofright 2 }",
                         Note("minim", 2)) +
                   Chord("stemup T flagposn 0,440 beam { id 2 nofleft 2 nofnodes 2 nofright 0 }",
                         Note("minim", 2)) +
                   Chord("stemup T stemslash T flagposn 0,500 nflags 1", Note("grace", 1)) +
                   Chord("stemup T flagposn 0,540", Note("minimgrace", 1)) +
                   Chord("virtualstem T flagposn 0,600", Note("sbreverest", -2)) +
                   Chord("virtualstem T flagposn 0,640", Note("squaverrest", 0)) +
                   Chord("virtualstem T flagposn 0,700 naugdots 2", Note("sbreve", 3))));
    const Converted c = Convert(Mro(Sys(100, 1000, Stv(bar))));
    const auto notes = Objects(*c.score, 1, kNote);
    ASSERT_EQ(notes.size(), 10u);
    const int left = c.score->stave(1).h.LeftX, y = c.score->stave(1).h.Ycoord;
    EXPECT_EQ(notes[0]->note().noteValue, 5);  // two flags: a semiquaver
    EXPECT_EQ(notes[0]->x, left + 95);         // (200 − 10) / 2 with the stem up
    EXPECT_EQ(notes[1]->note().noteValue, 6);  // three beams: a demisemiquaver
    EXPECT_EQ(notes[1]->x, left + 155);        // (300 + 10) / 2 with the stem down
    EXPECT_EQ(notes[1]->y, y - 4);
    EXPECT_EQ(notes[3]->note().noteValue, 2);  // a beamed minim keeps its beams as bars
    EXPECT_EQ(notes[3]->note().tremuloBars, 2);
    EXPECT_EQ(notes[3]->note().beamStem1, 1);
    EXPECT_EQ(notes[5]->note().headSize, 5);  // a slashed grace note: an acciaccatura
    EXPECT_EQ(notes[5]->note().noteValue, 4);
    EXPECT_EQ(notes[6]->note().headSize, 1);
    EXPECT_EQ(notes[6]->note().noteValue, 2);
    EXPECT_TRUE(notes[7]->note().rest);
    EXPECT_EQ(notes[7]->note().noteValue, 1);
    EXPECT_EQ(notes[7]->note().pitch, 0);  // 2 lower than −p
    EXPECT_EQ(notes[7]->x, left + 300);    // 600 / 2 + 8, less 8 for a rest
    EXPECT_EQ(notes[8]->note().pitch, -1);
    EXPECT_EQ(notes[8]->note().noteValue, 5);
    EXPECT_EQ(notes[9]->note().noteValue, 1);
    EXPECT_EQ(notes[9]->note().dots, 2);
    EXPECT_EQ(notes[9]->x, left + 350 + 8 - 10);
    EXPECT_EQ(notes[9]->y, y + 12);
    EXPECT_EQ(c.score->stave(1).h.MaxY, y + 32);
}

TEST(ResultConversion, ClefsSignaturesAndAccidentals) {
    const std::string bar1 =
        Bar("clefs { nof 2 clef { shape alto centre 0,40 pitchposn -2 }\nclef { shape trebledown8 "
            "centre 0,80 } }\nkeysigs { nof 2 keysig { key 3 centre 0,120 }\nkeysig { key 9 centre "
            "0,130 } }\ntimesig { top 5 bottom 8 centre 0,160 }\n" +
            Chords(Chord("stemup T flagposn 0,300", Note("solid", 1, "accid flat accid_dc -30") +
                                                        Note("solid", 3, "accid sharp"))));
    const std::string bar2 = Bar("timesig { top 6 bottom 8 centre 0,400 }");
    const std::string bar3 = Bar("timesig { showasalpha T top 4 bottom 4 centre 0,500 }");
    const std::string bar4 = Bar("timesig { showasalpha T top 3 bottom 4 centre 0,600 }");
    const Converted c = Convert(Mro(Sys(100, 1000, Stv(bar1 + bar2 + bar3 + bar4))));
    const int left = c.score->stave(1).h.LeftX;
    const auto clefs = Objects(*c.score, 1, kClef);
    ASSERT_EQ(clefs.size(), 2u);
    EXPECT_EQ(clefs[0]->data.clef.type, 3);  // a C clef at −2: tenor
    EXPECT_EQ(clefs[0]->glyph, glyph::TCLEF);
    EXPECT_EQ(clefs[0]->x, left + 24);
    EXPECT_EQ(clefs[1]->data.clef.type, 0);  // the second clef on the stave is small
    EXPECT_EQ(clefs[1]->data.clef.small, 1);
    EXPECT_EQ(clefs[1]->data.clef.octaveDown, 1);
    EXPECT_EQ(clefs[1]->glyph, glyph::GCLEF + 4);
    const auto keys = Objects(*c.score, 1, kKeysig);  // a key of 9 sharps is left out
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0]->data.keysig.key, 3);
    const auto times = Objects(*c.score, 1, kCommonTime);
    ASSERT_EQ(times.size(), 2u);  // 5/8 and 3/4 as a sign have none
    EXPECT_EQ(times[0]->data.commonTime.code, 12);
    EXPECT_EQ(times[1]->data.commonTime.code, 0);
    EXPECT_EQ(c.out.beeps, 1);
    const auto accidentals = Objects(*c.score, 1, kAccidental);
    ASSERT_EQ(accidentals.size(), 2u);
    EXPECT_EQ(accidentals[0]->data.accidental.accidental, -1);
    EXPECT_EQ(accidentals[0]->data.accidental.pitch, -1);
    EXPECT_EQ(accidentals[0]->x, left + 145 + (10 - 30) / 2);
    EXPECT_EQ(accidentals[1]->data.accidental.accidental, 1);
}

TEST(ResultConversion, BarLinesOnlyOnTheFirstStaveOfASystem) {
    const std::string bars = Bar("barline { type single rightlinex 400 }") +
                             Bar("barline { type double rightlinex 500 }") +
                             Bar("barline { type left rightlinex 600 }") +
                             Bar("barline { type thinthick rightlinex 700 }") +
                             Bar("barline { type single rightlinex 800 invented T }");
    const Converted c = Convert(
        Mro(Sys(100, 1000, Stv(bars) + Stv(bars, "", 600)) + Sys(100, 1000, Stv(bars, "", 900))));
    ASSERT_EQ(c.score->Nstaves, 3);
    EXPECT_TRUE(c.score->stave(1).h.joinToNext);
    EXPECT_FALSE(c.score->stave(2).h.joinToNext);
    EXPECT_TRUE(Objects(*c.score, 2, kBarline).empty());
    for (int s : {1, 3}) {
        const auto lines = Objects(*c.score, s, kBarline);
        ASSERT_EQ(lines.size(), 4u);
        const int left = c.score->stave(s).h.LeftX;
        EXPECT_EQ(lines[0]->x, left + 199);
        EXPECT_EQ(lines[1]->x, left + 251);
        EXPECT_EQ(lines[1]->data.barline.style, 1);
        EXPECT_EQ(lines[2]->data.barline.style, 3);  // dots on the left: a repeat's end
        EXPECT_EQ(lines[3]->data.barline.style, 5);
    }
}

TEST(ResultConversion, TextsAreChainsOfTenCharacters) {
    const std::string texts =
        "texts { nof 1 text { abot 40 c0 60 height 48 style 0\ntext$ \"Andante con moto e "
        "dolce\" } }";
    const Converted c = Convert(Mro(Sys(100, 1000, Stv(Bar(""), texts))));
    const auto chunks = Objects(*c.score, 1, kText);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0]->chunk(), "Andante co");
    EXPECT_EQ(chunks[2]->chunk(), "olce");
    EXPECT_EQ(chunks[0]->text().textFlags, 0);
    EXPECT_EQ(chunks[1]->text().textFlags, 128);
    EXPECT_EQ(chunks[2]->text().textFlags, 128);
    EXPECT_EQ(chunks[0]->text().nextChunk, 2);
    EXPECT_EQ(chunks[1]->text().nextChunk, 3);
    EXPECT_EQ(chunks[2]->text().nextChunk, 0);
    EXPECT_EQ(chunks[0]->text().fontNumber, 1);
    EXPECT_EQ(chunks[0]->x, c.score->stave(1).h.LeftX + 30);
    EXPECT_EQ(chunks[0]->y, c.score->stave(1).h.Ycoord + 20 - 14 - 16);
}

TEST(ResultConversion, AFullStaveEndsATextAtItsLastChunk) {
    std::string dynamics = "dynamics { nof 999 ";
    for (int i = 0; i < 247; ++i)
        dynamics += "dynamic type dyn_p c " + std::to_string(i) + " r 0 }\n";
    dynamics += "}";
    const Converted c = Convert(
        Mro(Sys(100, 1000,
                Stv(Bar(""), dynamics + " texts { nof 1 text { abot 0 c0 0 height 30 style 4 text$ "
                                        "\"twenty-five characters..\" } }"))));
    EXPECT_EQ(Objects(*c.score, 1, kTrill).front()->glyph, 139);
    const auto chunks = Objects(*c.score, 1, kText);
    ASSERT_EQ(chunks.size(), 2u);  // slots 248 and 249; the third piece has no room
    EXPECT_EQ(c.score->stave(1).h.Nobjec, 249);
    EXPECT_EQ(chunks[0]->text().nextChunk, 249);
    EXPECT_EQ(chunks[1]->text().nextChunk, 0);
}

const ScoreObject* First(const Score& score, int kind, int& count) {
    const auto all = Objects(score, 1, kind);
    count = static_cast<int>(all.size());
    return all.empty() ? nullptr : all.front();
}

TEST(ResultConversion, SlursByLengthAndBend) {
    // The ends 40 and 250 pixels apart (result units halved), bending down and up.
    auto slur = [](int right, int radius) {
        return "slur { leftpt 40,100 rightpt 40," + std::to_string(100 + right * 2) + " radius " +
               std::to_string(radius) + " }";
    };
    auto convert = [&](int right, int radius) {
        return Convert(Mro(Sys(100, 1000, Stv(Bar("")), slur(right, radius))));
    };
    int n = 0;
    const Converted shortDown = convert(40, 100);
    const ScoreObject* first = First(*shortDown.score, kCurve, n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(first->curve().thickness, 2);
    EXPECT_EQ(first->curve().prevAnchor, 0);
    const auto points = Objects(*shortDown.score, 1, kCurve);
    EXPECT_EQ(points[0]->x, 60);
    EXPECT_EQ(points[2]->x, 100);
    EXPECT_EQ(points[0]->y, points[2]->y);
    EXPECT_EQ(points[1]->y, points[0]->y + 4);  // a positive radius bends down
    EXPECT_EQ(points[1]->curve().nextAnchor, 3);
    EXPECT_EQ(points[2]->curve().nextAnchor, 0);
    EXPECT_EQ(points[2]->glyph, kNoGlyph);
    const Converted up = convert(40, -100);  // an upward arc is kept
    ASSERT_EQ(Objects(*up.score, 1, kCurve).size(), 3u);
    EXPECT_EQ(Objects(*up.score, 1, kCurve)[1]->y, points[0]->y - 4);
    const Converted longer = convert(250, 400);
    first = First(*longer.score, kCurve, n);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(first->curve().thickness, 3);
    EXPECT_EQ(convert(120, 300).score->stave(1).h.Nobjec, 4);
    // Ends further apart than the diameter, and a radius under a pixel, give nothing.
    EXPECT_EQ(convert(40, 30).score->stave(1).h.Nobjec, 0);
    EXPECT_EQ(convert(0, 1).score->stave(1).h.Nobjec, 0);
    ConversionOptions noCurves;
    noCurves.includeCurves = false;
    EXPECT_EQ(Convert(Mro(Sys(100, 1000, Stv(Bar("")), slur(40, 100))), noCurves)
                  .score->stave(1)
                  .h.Nobjec,
              0);
}

TEST(ResultConversion, BeamGroupsLinkWithinTheirBar) {
    auto chord = [](int x, int id, int left, int right) {
        return Chord("stemup T flagposn 0," + std::to_string(x) + " beam { id " +
                         std::to_string(id) + " nofleft " + std::to_string(left) +
                         " nofnodes 3 nofright " + std::to_string(right) + " }",
                     Note("solid", 1));
    };
    // Ids of 100 and more, and bars past 327, kept apart all the same.
    std::string bars;
    for (int b = 0; b < 330; ++b)
        bars += Bar(
            Chords(b == 0   ? chord(100, 100, 0, 2) + chord(160, 100, 2, 1) + chord(220, 100, 1, 0)
                   : b == 1 ? chord(300, 0, 0, 1) + chord(360, 0, 1, 0)
                   : b >= 328 ? chord(400 + 100 * (b - 328), 1, b == 328 ? 0 : 1, b == 328 ? 1 : 0)
                              : std::string()));
    const Converted c = Convert(Mro(Sys(100, 1000, Stv(bars))));
    const auto notes = Objects(*c.score, 1, kNote);
    ASSERT_EQ(notes.size(), 7u);
    auto slot = [&](std::size_t i) { return static_cast<int>(notes[i] - &c.score->object(1, 0)); };
    EXPECT_EQ(notes[0]->note().beamBackTo, 0);
    EXPECT_EQ(notes[0]->note().beamOnTo, slot(1));
    EXPECT_EQ(notes[1]->note().beamBackTo, slot(0));
    EXPECT_EQ(notes[1]->note().beamOnTo, slot(2));
    EXPECT_EQ(notes[2]->note().beamOnTo, 0);
    // The middle note has one right beam and is a semiquaver: one beam to the last.
    EXPECT_EQ(notes[1]->note().singleBeam, 0);
    EXPECT_EQ(notes[2]->note().singleBeam, 1);
    EXPECT_EQ(notes[3]->note().beamBackTo, 0);
    EXPECT_EQ(notes[3]->note().beamOnTo, slot(4));
    EXPECT_EQ(notes[4]->note().beamOnTo, 0);
    // Bars 329 and 330 each hold one chord of group 1: nothing joins them.
    EXPECT_EQ(notes[5]->note().beamOnTo, 0);
    EXPECT_EQ(notes[6]->note().beamBackTo, 0);
}

TEST(ResultConversion, BadElementsAreLeftOut) {
    const std::string bar =
        Bar("clefs { nof 1 clef { shape treble centre 0,zz } }\n" +
            Chords(Chord("stemup T flagposn 0,2147483647", Note("solid", 1)) +
                   Chord("stemup T flagposn 0,200000", Note("solid", 1)) +
                   Chord("stemup T flagposn 0,200", Note("solid", 1, "staveoffset 5") +
                                                        Note("solid", 400) + Note("blob", 1) +
                                                        Note("solid", 2))));
    const Converted c = Convert(Mro(Sys(100, 1000, Stv(bar))));
    EXPECT_TRUE(Objects(*c.score, 1, kClef).empty());
    const auto notes = Objects(*c.score, 1, kNote);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0]->note().pitch, -2);
}

TEST(ResultConversion, NoStaveSizeIsUnableToComplete) {
    TempDir dir;
    const std::string out = dir.file("kept.swn");
    std::ofstream(out) << "the user's score";
    for (const std::string& text :
         {Mro(Sys(100, 1000, Stv(Bar(""))), "0"), Mro(""), std::string("not a result")}) {
        ScriptedHost host;
        host.expectMessage("Unable to complete operation");
        EXPECT_FALSE(Convert(text, host, {}, {}, out).out.ok);
        EXPECT_HOST_CLEAN(host);
    }
    ScriptedHost host;
    host.expectMessage("Unable to complete operation");
    RecognitionTables tables;
    Score score;
    FixedMeasurer measurer;
    EXPECT_FALSE(
        ConvertRecognitionResult(dir.file("missing.mro"), out, {}, tables, score, host, measurer)
            .ok);
    EXPECT_HOST_CLEAN(host);
    std::string kept;
    std::getline(std::ifstream(out), kept);
    EXPECT_EQ(kept, "the user's score");
}

TEST(ResultConversion, MarginsWiderThanThePaperAreUnableToComplete) {
    std::istringstream in(Mro(Sys(100, 1000, Stv(Bar("")))));
    RecognitionTables tables;
    ReadRecognitionResult(in, tables);
    ConversionOptions options;
    options.paper = PaperDefaults{8500, 11000, 5000, 5000, 6000, 6000};
    FixedMeasurer measurer;
    Score score;
    ConversionOutcome out;
    for (int button : {PaperFitDialogModel::kDefaultButton, PaperFitDialogModel::kOtherButton})
        EXPECT_FALSE(BuildScoreFromResult(
            tables, options, true, [button](const PaperFitDialogModel&) { return button; },
            measurer, score, out));
    EXPECT_EQ(score.Nstaves, 0);
}

TEST(ResultConversion, TheDialogWhenPortraitIsTooNarrow) {
    // N = 8014: wider than portrait (6500), narrower than landscape (9000).
    const std::string landscapeFits = Mro(Sys(0, 2300, Stv(Bar(""))));
    std::vector<std::string> texts;
    auto ask = [&](int button) {
        return [&texts, button](const PaperFitDialogModel& m) {
            texts = {m.caption(), m.firstLabel(), m.secondLabel(), m.defaultButtonText(),
                     m.otherButtonText()};
            return button;
        };
    };
    ScriptedHost host;
    TempDir dir;
    const std::string out = dir.file("fitted.swn");
    Converted c = Convert(landscapeFits, host, {}, ask(PaperFitDialogModel::kDefaultButton), out);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "SW Scan");
    EXPECT_NE(texts[1].find("will fit in in landscape mode"), std::string::npos);
    EXPECT_NE(texts[2].find("Landscape mode in the normal width"), std::string::npos);
    EXPECT_EQ(texts[3], "Reduce stave size by 19% to make it fit in &Portrait mode");
    EXPECT_EQ(texts[4], "Select &Landscape orientation");
    EXPECT_EQ(c.out.geometry.needed, 8014);
    EXPECT_EQ(c.out.geometry.staveSize, 172);  // trunc(213 × 6500 / 8014)
    EXPECT_DOUBLE_EQ(c.score->page.Width, 8.5);
    c = Convert(landscapeFits, host, {}, ask(PaperFitDialogModel::kOtherButton), out);
    EXPECT_TRUE(c.out.geometry.landscape);
    EXPECT_EQ(c.out.geometry.staveSize, 213);
    EXPECT_DOUBLE_EQ(c.score->page.Width, 11.0);
    EXPECT_TRUE(c.score->page.landscape);

    // N = 10417: too wide for landscape too; both buttons compress.
    const std::string neither = Mro(Sys(0, 3000, Stv(Bar(""))));
    c = Convert(neither, host, {}, ask(PaperFitDialogModel::kOtherButton), out);
    EXPECT_NE(texts[1].find("even in Landscape mode"), std::string::npos);
    EXPECT_NE(texts[2].find("both will need some compression"), std::string::npos);
    EXPECT_EQ(texts[3], "Reduce stave size by 38% to make it fit in &Portrait mode");
    EXPECT_EQ(texts[4], "Reduce stave size by 14% to make it fit in &Landscape mode");
    EXPECT_TRUE(c.out.geometry.landscape);
    EXPECT_EQ(c.out.geometry.staveSize, 184);  // trunc(213 × 9000 / 10417)
    c = Convert(neither, host, {}, ask(PaperFitDialogModel::kDefaultButton), out);
    EXPECT_FALSE(c.out.geometry.landscape);
    EXPECT_EQ(c.out.geometry.staveSize, 132);
    EXPECT_HOST_CLEAN(host);
}

TEST(ResultConversion, TheScoreFileReadsBack) {
    TempDir dir;
    const std::string bar =
        Bar("clefs { nof 1 clef { shape bass centre 0,40 } }\ntimesig { top 3 bottom 4 centre "
            "0,90 }\n" +
            Chords(Chord("stemup T flagposn 0,200 beam { id 1 nofleft 0 nofnodes 2 nofright 1 }",
                         Note("solid", 1)) +
                   Chord("stemup T flagposn 0,260 beam { id 1 nofleft 1 nofnodes 2 nofright 0 }",
                         Note("solid", 2))) +
            "barline { type single rightlinex 400 }");
    ScriptedHost host;
    ConversionOptions options;
    options.boxedBarNumbers = true;
    const std::string path = dir.file("out.swn");
    const Converted c =
        Convert(Mro(Sys(100, 1000, Stv(bar) + Stv(Bar(""), "", 600, 40))), host, options, {}, path);
    ASSERT_TRUE(c.out.ok);
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    ASSERT_EQ(bytes.size() % kRecordSize, 0u);
    EXPECT_EQ(bytes[3], 2);  // boxed bar numbers, nothing else
    EXPECT_EQ(bytes[5], 3);
    EXPECT_EQ(bytes[6], 3);
    EXPECT_EQ(bytes[7], 1);
    EXPECT_EQ(bytes[10], 1);
    EXPECT_EQ(bytes[17], 96);
    EXPECT_EQ(GetU16(&bytes[20]), 1);
    EXPECT_EQ(bytes[kRecordSize + 18], 1);  // facing pages

    Score back;
    ASSERT_TRUE(LoadScore(back, path, false, host).ok);
    EXPECT_HOST_CLEAN(host);
    ASSERT_EQ(back.Nstaves, 2);
    EXPECT_EQ(back.staveSize, 0.213);
    EXPECT_EQ(back.stave(2).h.sizeIndex, 1);  // 40 ≤ 64 × 4 / 5: a small stave
    EXPECT_TRUE(back.stave(1).h.joinToNext);
    EXPECT_EQ(back.fonts[1].name, "Times New Roman");
    const auto times = Objects(back, 1, kTimesig);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_EQ(times[0]->data.timesig.numerator, 3);
    const auto notes = Objects(back, 1, kNote);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0]->note().beamOnTo, notes[1] - &back.object(1, 0));
    EXPECT_EQ(notes[1]->note().beamBackTo, notes[0] - &back.object(1, 0));
    EXPECT_EQ(notes[1]->note().pitch, -2);
    EXPECT_EQ(Objects(back, 1, kClef).front()->data.clef.type, 1);
    EXPECT_EQ(Objects(back, 1, kBarline).size(), 1u);
}

}  // namespace
}  // namespace sw
