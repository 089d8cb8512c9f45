// Repair of scores from older files: duplicates, header and footer texts, time
// signatures stored digit by digit, older notes and fields, the emergency
// omissions, and a whole older file loaded, converted and saved again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Report.h"
#include "core/ScriptedHost.h"
#include "fileio/NameTables.h"
#include "fileio/Records.h"
#include "fileio/Repair.h"
#include "fileio/ScoreFile.h"
#include "model/Build.h"
#include "model/Score.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr int32_t kMid = 200;  // the middle line of the first stave

// A score with `staves` music staves 100 pixels apart, each spanning 0..2000.
Score MakeScore(int staves = 1) {
    Score score;
    for (int s = 0; s < staves; ++s)
        AppendStave(score, kMid + 100 * s, 0, 2000);
    return score;
}

NoteData& Note(Score& score, int s, int32_t x, int pitch, int value, int stem) {
    ScoreObject* o = PlaceNote(score, s, x, pitch, value);
    o->note().stem = static_cast<uint8_t>(stem);  // automatic stays automatic
    return o->note();
}

std::vector<const ScoreObject*> OfKind(const Score& score, int s, int kind) {
    std::vector<const ScoreObject*> out;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[i].kind == kind) out.push_back(&b.obj[i]);
    return out;
}

// Converts with no question expected (nothing to report).
ConvertResult ConvertQuietly(Score& score, TextReport& report, RepairOptions options = {}) {
    ScriptedHost host;
    ConvertResult r = ConvertOlderFormat(score, false, host, report, options);
    EXPECT_HOST_CLEAN(host);
    return r;
}

// ---- name tables and note letters ----

TEST(NoteLetter, FourClefsOverTheWholePitchRange) {
    // The middle line: B treble, D bass, C alto, A tenor.
    EXPECT_EQ(NoteLetter(0, 0), "B");
    EXPECT_EQ(NoteLetter(1, 0), "D");
    EXPECT_EQ(NoteLetter(2, 0), "C");
    EXPECT_EQ(NoteLetter(3, 0), "A");
    // The lowest pitch a byte holds, where a truncating % would index before the table.
    EXPECT_EQ(NoteLetter(0, -128), "G");
    EXPECT_EQ(NoteLetter(1, -128), "B");
    EXPECT_EQ(NoteLetter(2, -128), "A");
    EXPECT_EQ(NoteLetter(3, -128), "F");
    EXPECT_EQ(NoteLetter(0, 127), "C");
    EXPECT_EQ(NoteLetter(0, -51), "G");
    EXPECT_EQ(NoteLetter(kNoClef, 0), "?");
    EXPECT_EQ(NoteLetter(4, 0), "?");
}

TEST(NameTables, CodesFromDamagedFilesGiveQuestionMarks) {
    EXPECT_STREQ(NoteValueName(3, false), "Crotchet");
    EXPECT_STREQ(NoteValueName(3, true), "Quarter note");
    EXPECT_STREQ(NoteValueName(8, false), "???");
    EXPECT_STREQ(NoteValueName(255, true), "???");
    EXPECT_STREQ(AccidentalName(-2), "Double flat");
    EXPECT_STREQ(AccidentalName(2), "Double sharp");
    EXPECT_STREQ(AccidentalName(3), "???");
    EXPECT_STREQ(AccidentalName(-128), "???");
    EXPECT_STREQ(StemName(3), "Automatic stem");
    EXPECT_STREQ(StemName(4), "???");
    EXPECT_STREQ(HeadName(14), "Shape14");
    EXPECT_STREQ(HeadName(255), "???");
    EXPECT_STREQ(HeadSizeName(6), "???");
    EXPECT_STREQ(StaccatoName(5), "???");
    EXPECT_STREQ(EmphasisName(7), "???");
}

// ---- duplicates ----

struct DupCase {
    const char* what;
    int value1, stem1, value2, stem2;
    bool duplicate;
};

TEST(FindDuplicates, NotesAtOnePlace) {
    const DupCase cases[] = {
        {"crotchets, stem up and automatic", 3, 0, 3, 3, true},
        {"crotchets, no stem and stem down", 3, 2, 3, 1, true},
        {"crotchets, stem up and stem down", 3, 0, 3, 1, false},
        {"crotchet and quaver", 3, 0, 4, 0, false},
        {"minim and crotchet", 2, 0, 3, 0, true},
        {"semibreve and semiquaver", 1, 0, 5, 0, true},
        {"minim and semibreve", 2, 0, 1, 0, false},
    };
    for (const DupCase& c : cases) {
        SCOPED_TRACE(c.what);
        Score score = MakeScore();
        Note(score, 1, 100, 2, c.value1, c.stem1);
        Note(score, 1, 100, 2, c.value2, c.stem2);
        TextReport report;
        EXPECT_EQ(FindDuplicates(score, 1, false, report), c.duplicate ? 1 : 0);
        EXPECT_EQ(report.lines().size(), c.duplicate ? 1u : 0u);
    }
}

TEST(FindDuplicates, OnePixelApartCountsTwoDoesNot) {
    Score score = MakeScore();
    Note(score, 1, 100, 0, 3, 0);
    ScoreObject* near = PlaceNote(score, 1, 101, 0, 3);
    near->y += 1;
    near->note().stem = 0;
    Note(score, 1, 103, 0, 3, 0);
    Note(score, 1, 100, 1, 3, 0);  // another pitch
    TextReport report;
    EXPECT_EQ(FindDuplicates(score, 1, false, report), 1);
}

TEST(FindDuplicates, CurveAnchorsAlwaysTextsTiesDynamicsAndSlursNever) {
    Score score = MakeScore();
    PlaceCurve(score, 1, {{100, 150}, {200, 150}}, 1);
    PlaceCurve(score, 1, {{101, 151}, {300, 100}}, 3, 1);  // other thickness and style
    PlaceText(score, 1, kText, 400, 150, 1, "same");
    PlaceText(score, 1, kText, 400, 150, 1, "same");
    for (Kind k : {kTie, kDynamic, kSlur, kSymbol, kText9}) {
        PlaceObject(score, 1, k, 500, 150, 60);
        PlaceObject(score, 1, k, 500, 150, 60);
    }
    TextReport report;
    EXPECT_EQ(FindDuplicates(score, 1, false, report), 1);
    ASSERT_EQ(report.lines().size(), 1u);
    EXPECT_EQ(report.lines()[0], "Stave  1, position (101,151) type = Curve");
}

TEST(FindDuplicates, OtherKindsCompareTheirOwnFields) {
    Score score = MakeScore();
    auto pair = [&](Kind k, int x, auto&& first, auto&& second) {
        first(PlaceObject(score, 1, k, x, 150, 70)->data);
        second(PlaceObject(score, 1, k, x, 150, 70)->data);
    };
    auto none = [](KindData&) {};
    // Duplicates.
    pair(kClef, 10, none, none);
    pair(
        kKeysig, 20, [](KindData& d) { d.keysig.key = 2; },
        [](KindData& d) { d.keysig.key = 2, d.keysig.naturalsOnChange = 1; });
    pair(
        kLine, 30, [](KindData& d) { d.line.dx = 50; }, [](KindData& d) { d.line.dx = 51; });
    pair(
        kDrawobject, 40, [](KindData& d) { d.drawobject.shape = 0, d.drawobject.height = 3; },
        [](KindData& d) { d.drawobject.shape = 0, d.drawobject.height = 9; });
    // Not duplicates.
    pair(kClef, 50, none, [](KindData& d) { d.clef.small = 1; });
    pair(
        kTimesig, 60, [](KindData& d) { d.timesig.numerator = 3; },
        [](KindData& d) { d.timesig.numerator = 4; });
    pair(
        kLine, 70, [](KindData& d) { d.line.dy = 50; }, [](KindData& d) { d.line.dy = 52; });
    pair(
        kDrawobject, 80, [](KindData& d) { d.drawobject.shape = 2, d.drawobject.height = 3; },
        [](KindData& d) { d.drawobject.shape = 2, d.drawobject.height = 9; });
    pair(
        kHairpin, 90, [](KindData& d) { d.hairpin.length = 40; },
        [](KindData& d) { d.hairpin.length = -40; });
    TextReport report;
    EXPECT_EQ(FindDuplicates(score, 1, false, report), 4) << report.text();
}

TEST(FindDuplicates, ReportNamesNoteAndAccidentalUnderTheCurrentClefAndBar) {
    Score score = MakeScore();
    Note(score, 1, 50, 0, 3, 0);
    Note(score, 1, 50, 0, 3, 0);  // before any clef: no letter
    PlaceObject(score, 1, kClef, 60, kMid, 0)->data.clef.type = 1;
    PlaceObject(score, 1, kBarline, 70, kMid);
    Note(score, 1, 100, -2, 4, 1);
    Note(score, 1, 100, -2, 4, 3);
    for (int k = 0; k < 2; ++k) {
        ScoreObject* a = PlaceObject(score, 1, kAccidental, 90, NoteY(score, 1, 1), 20);
        a->data.accidental.pitch = 1;
        a->data.accidental.accidental = -1;
    }
    TextReport report;
    EXPECT_EQ(FindDuplicates(score, 1, false, report, true), 3);
    EXPECT_EQ(report.text(),
              "Stave  1, Object  2, bar 1, Note: ? Quarter note\n"
              "Stave  1, Object  6, bar 2, Note: B Eighth note\n"
              "Stave  1, bar 2, Accidental: E Flat\n");
}

TEST(FindDuplicates, RemovingKeepsTheLinksOfWhatStays) {
    // The second anchor of a curve lies on the first: deleting it must join
    // the curve up, not leave links to an empty slot that tidying would then
    // take the whole curve apart for.
    Score score = MakeScore();
    PlaceCurve(score, 1, {{100, 150}, {100, 150}, {160, 140}, {220, 150}}, 1);
    TextReport report;
    EXPECT_EQ(FindDuplicates(score, 1, true, report), 1);
    TidyStave(score, 1, true);
    auto anchors = OfKind(score, 1, kCurve);
    ASSERT_EQ(anchors.size(), 3u);
    EXPECT_EQ(anchors[0]->curve().nextAnchor, 2);
    EXPECT_EQ(anchors[1]->curve().prevAnchor, 1);
    EXPECT_EQ(anchors[1]->curve().nextAnchor, 3);

    // A duplicated note inside a beam group: its neighbours close the gap.
    Score beamed = MakeScore();
    Note(beamed, 1, 100, 0, 4, 0).beamOnTo = 2;
    NoteData& twice = Note(beamed, 1, 100, 0, 4, 0);
    twice.beamBackTo = 1, twice.beamOnTo = 3;
    Note(beamed, 1, 130, 0, 4, 0).beamBackTo = 2;
    EXPECT_EQ(FindDuplicates(beamed, 1, true, report), 1);
    TidyStave(beamed, 1, true);
    auto notes = OfKind(beamed, 1, kNote);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0]->note().beamOnTo, 2);
    EXPECT_EQ(notes[1]->note().beamBackTo, 1);
}

// ---- the conversion as a whole ----

TEST(ConvertOlderFormat, NothingFoundIsReportedWithoutAQuestion) {
    Score score = MakeScore();
    Note(score, 1, 100, 0, 3, 0);
    score.fileVersion = 400;
    TextReport report;
    ScriptedHost host;
    ConvertResult r = ConvertOlderFormat(score, true, host, report);
    EXPECT_HOST_CLEAN(host);
    EXPECT_EQ(r.duplicates, 0);
    EXPECT_EQ(report.caption(), "Problems discovered in input file");
    EXPECT_EQ(report.text(), "0 duplicated objects found.\n");
    EXPECT_EQ(report.fontSize(), 10);
    EXPECT_FALSE(report.fixedPitch());
    EXPECT_EQ(report.shown(), 0);
    EXPECT_EQ(host.progressTexts().size(), 1u);
    EXPECT_EQ(host.progressDepth(), 0);
    EXPECT_EQ(score.fileVersion, kWriterVersion);
}

TEST(ConvertOlderFormat, DuplicatesAskWhetherToShowTheReport) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        Score score = MakeScore(2);
        Note(score, 2, 100, 0, 3, 0);
        Note(score, 2, 100, 0, 3, 0);
        TextReport report;
        ScriptedHost host;
        host.expectMessage("Do you wish to see a detailed report?", answer);
        ConvertResult r = ConvertOlderFormat(score, false, host, report);
        EXPECT_HOST_CLEAN(host);
        EXPECT_TRUE(host.progressTexts().empty());  // a template shows no message
        EXPECT_EQ(r.duplicates, 1);
        EXPECT_EQ(report.shown(), answer == Answer::Yes ? 1 : 0);
        EXPECT_EQ(report.lines().back(), "1 duplicated objects found.");
        EXPECT_EQ(OfKind(score, 2, kNote).size(), 1u);
    }
}

// Page pixels per inch 100: header area y < 50, body 910, footer 960..1000.
Score HeaderFooterScore(double header, double footer) {
    Score score = MakeScore();
    score.staveSize = 0.32;
    score.page.Length = 11;
    score.page.TopM = score.page.BotM = 0.5;
    score.page.Header = header;
    score.page.Footer = footer;
    return score;
}

TEST(ConvertOlderFormat, StaveZeroTextsGoToTheNearerArea) {
    struct Case {
        int32_t y;
        int kind;
        int32_t newY;
    };
    const Case cases[] = {
        {-5, kHeadertext, -5},   {49, kHeadertext, 49},    {50, kHeadertext, 50},
        {504, kHeadertext, 504}, {506, kFootertext, -454}, {959, kFootertext, -1},
        {960, kFootertext, 0},   {1000, kFootertext, 40},  {1200, kFootertext, 240},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        Score score = HeaderFooterScore(0.5, 0.4);
        PlaceText(score, 0, kText, 300, c.y, 1, "Title");
        TextReport report;
        ConvertResult r = ConvertQuietly(score, report);
        EXPECT_EQ(r.textsRemoved, 0);
        ASSERT_EQ(score.stave(0).h.Nobjec, 1);
        EXPECT_EQ(score.object(0, 1).kind, c.kind);
        EXPECT_EQ(score.object(0, 1).y, c.newY);
    }
}

TEST(ConvertOlderFormat, TextsSurviveWithoutMarginsAndChainsStayWhole) {
    Score score = HeaderFooterScore(0, 0);
    PlaceText(score, 0, kText, 300, 100, 1, "Composed in the year of our Lord");
    PlaceText(score, 0, kText, 300, 900, 1, std::string("Page \x8d\x8e\x8f"), 0x30);
    TextReport report;
    ConvertResult r = ConvertQuietly(score, report);
    EXPECT_EQ(r.textsRemoved, 0);
    const StaveBlock& z = score.stave(0);
    ASSERT_EQ(z.h.Nobjec, 5);
    int first = 0, footer = 0;
    for (int i = 1; i <= z.h.Nobjec; ++i) {
        if (z.obj[i].kind == kHeadertext && !(z.obj[i].text().textFlags & 0x80)) first = i;
        if (z.obj[i].kind == kFootertext) footer = i;
    }
    ASSERT_NE(first, 0);
    EXPECT_EQ(ChainText(z, first), "Composed in the year of our Lord");
    EXPECT_EQ(OfKind(score, 0, kHeadertext).size(), 4u);
    ASSERT_NE(footer, 0);
    EXPECT_EQ(z.obj[footer].chunk(), "Page \x1d\x1c\x1b");
    EXPECT_EQ(z.obj[footer].text().textFlags & 0x30, 0);
    EXPECT_EQ(z.obj[footer].y, 900 - 1000);
}

TEST(ConvertOlderFormat, RemovedTextsAreListed) {
    Score score = HeaderFooterScore(0.5, 0.4);
    PlaceText(score, 0, kText, -200, 10, 1, "Lost");
    PlaceText(score, 0, kText, 100, 10, 1, "Kept");
    TextReport report;
    ScriptedHost host;
    host.expectMessage("header or footer texts", Answer::Yes);
    ConvertResult r = ConvertOlderFormat(score, false, host, report);
    EXPECT_HOST_CLEAN(host);
    EXPECT_EQ(r.textsRemoved, 1);
    EXPECT_EQ(report.shown(), 1);
    EXPECT_EQ(report.text(),
              "0 duplicated objects found.\n"
              "Stave 0, position (-200, 10) text removed: Lost\n");
    ASSERT_EQ(score.stave(0).h.Nobjec, 1);
    EXPECT_EQ(score.object(0, 1).chunk(), "Kept");
}

TEST(ConvertOlderFormat, TimeSignaturesAssembledFromDigits) {
    Score score = MakeScore();
    // 12/8: the digits 1 and 2 on the middle line, 8 below.
    PlaceObject(score, 1, kTimesig, 100, kMid, 9);
    PlaceObject(score, 1, kTimesig, 104, kMid + 16, 16);
    PlaceObject(score, 1, kTimesig, 108, kMid, 10);
    // 999 does not fit a byte: kept at 255. Over 16 (glyph 18).
    PlaceObject(score, 1, kTimesig, 284, kMid, 17);
    PlaceObject(score, 1, kTimesig, 292, kMid, 17);
    PlaceObject(score, 1, kTimesig, 300, kMid + 16, 18);
    PlaceObject(score, 1, kTimesig, 308, kMid, 17);
    // A glyph that is no digit is not taken as one and stays.
    PlaceObject(score, 1, kTimesig, 500, kMid, 40);
    PlaceObject(score, 1, kTimesig, 504, kMid, 11);
    PlaceObject(score, 1, kTimesig, 506, kMid + 16, 12);
    // A lower glyph that is no digit: an empty time signature on the middle line.
    PlaceObject(score, 1, kTimesig, 700, kMid, 11);
    PlaceObject(score, 1, kTimesig, 704, kMid + 16, 60);
    TextReport report;
    ConvertQuietly(score, report);

    struct Want {
        int32_t x, y;
        int glyph, numerator, denominator;
    };
    const Want want[] = {{104, kMid, 16, 12, 8}, {300, kMid, 18, 255, 16}, {500, kMid, 40, 0, 0},
                         {506, kMid, 12, 3, 4},  {700, kMid, 11, 0, 0},    {704, kMid, 60, 0, 0}};
    auto sigs = OfKind(score, 1, kTimesig);
    ASSERT_EQ(sigs.size(), std::size(want));
    for (std::size_t k = 0; k < sigs.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(sigs[k]->x, want[k].x);
        EXPECT_EQ(sigs[k]->y, want[k].y);
        EXPECT_EQ(sigs[k]->glyph, want[k].glyph);
        EXPECT_EQ(sigs[k]->data.timesig.numerator, want[k].numerator);
        EXPECT_EQ(sigs[k]->data.timesig.denominator, want[k].denominator);
    }
}

TEST(ConvertOlderFormat, FirstKeySignatureGetsNoNaturals) {
    for (bool userDefault : {true, false}) {
        Score score = MakeScore(2);
        for (int s = 1; s <= 2; ++s)
            for (int x : {50, 500, 900}) {
                ScoreObject* k = PlaceObject(score, s, kKeysig, x, score.stave(s).h.Ycoord);
                k->data.keysig.key = 3;
                k->data.keysig.naturalsOnChange = 1;
            }
        TextReport report;
        ConvertQuietly(score, report, RepairOptions{false, userDefault});
        for (int s = 1; s <= 2; ++s) {
            auto keys = OfKind(score, s, kKeysig);
            ASSERT_EQ(keys.size(), 3u);
            EXPECT_EQ(keys[0]->data.keysig.naturalsOnChange, 0);
            EXPECT_EQ(keys[1]->data.keysig.naturalsOnChange, userDefault ? 1 : 0);
            EXPECT_EQ(keys[2]->data.keysig.naturalsOnChange, userDefault ? 1 : 0);
        }
    }
}

TEST(ConvertOlderFormat, FieldsTheOlderFormatsDidNotHaveAreReset) {
    Score score = MakeScore();
    StaveBlock& b = score.stave(1);
    b.h.instrumentUp = 5, b.h.instrumentDown = 6, b.h.invisible = true, b.h.lineCount = 1;
    b.h.sizeIndex = 1, b.h.cue = true, b.h.soundTranspose = 3, b.t.bagpipeMark = 2;
    ScoreObject* clef = PlaceObject(score, 1, kClef, 10, kMid, 0);
    clef->data.clef = ClefData{0, 0, 1, 1};
    clef->invisible = 1;
    ScoreObject* bar = PlaceObject(score, 1, kBarline, 600, kMid);
    bar->data.barline.barNumber = 7, bar->data.barline.setBarNumber = 7;
    bar->data.barline.showNumber = 1, bar->data.barline.style = 1;
    LineShape shape;
    shape.dx = 40, shape.style = 2, shape.p = 9, shape.q = 9, shape.legDirection = 2;
    shape.legEnds = 6;
    PlaceLine(score, 1, 200, 150, shape);
    PlaceObject(score, 1, kCurve, 300, 150)->curve().styleBits = 3;
    PlaceObject(score, 1, kCurve, 340, 150)->curve().prevAnchor = 4;
    score.object(1, 4).curve().nextAnchor = 5;
    PlaceObject(score, 1, kTrill, 400, 150, 76)->data.raw[6] = 9;
    PlaceObject(score, 1, kTrill, 410, 150, 71);
    ScoreObject* other = PlaceObject(score, 1, kOther, 420, 150);
    other->data.other = OtherData{3, 1, 1};
    ScoreObject* acc = PlaceObject(score, 1, kAccidental, 450, 150, 20);
    acc->data.accidental.parentheses = 1, acc->data.accidental.further[2] = 4;
    PlaceText(score, 1, kText, 500, 100, 1, std::string("\x8f"), 0x3B);
    NoteData& n = Note(score, 1, 700, 0, 3, 0);
    n.durMod = 3, n.durMod2 = 2, n.singleBeam = 1, n.flatBeam = 1, n.noShorten = 1;
    n.beamBackUp = 1, n.validated = 1, n.stemEndY = 99;
    ScoreObject* rest = PlaceNote(score, 1, 800, 0, 3);
    rest->note().rest = 1, rest->note().durMod = 3, rest->note().durMod2 = 2;

    TextReport report;
    ConvertQuietly(score, report);
    const StaveHeader& h = score.stave(1).h;
    EXPECT_EQ(h.instrumentUp + h.instrumentDown + h.soundTranspose + h.sizeIndex, 0);
    EXPECT_FALSE(h.invisible || h.cue);
    EXPECT_EQ(h.lineCount, 5);
    EXPECT_EQ(score.stave(1).t.bagpipeMark, 0);

    const ScoreObject* c = OfKind(score, 1, kClef)[0];
    EXPECT_EQ(c->data.clef.octaveUp + c->data.clef.octaveDown + c->invisible, 0);
    const BarlineData& bl = OfKind(score, 1, kBarline)[0]->data.barline;
    EXPECT_EQ(bl.barNumber + bl.setBarNumber + bl.showNumber, 0);
    EXPECT_EQ(bl.style, 1);
    const LineData& l = OfKind(score, 1, kLine)[0]->data.line;
    EXPECT_EQ(l.dx, 40);
    EXPECT_EQ(l.style + l.dashLength + l.gapLength + l.legLength + l.legDirection, 0);
    EXPECT_EQ(l.legEnds, 6);
    EXPECT_EQ(OfKind(score, 1, kCurve)[0]->curve().styleBits, 1);
    auto trills = OfKind(score, 1, kTrill);
    ASSERT_EQ(trills.size(), 2u);
    EXPECT_EQ(trills[0]->x, 403);
    EXPECT_EQ(trills[0]->y, 125);
    EXPECT_EQ(trills[0]->data.raw[6], 0);
    EXPECT_EQ(trills[1]->x, 404);
    EXPECT_EQ(trills[1]->y, 158);
    const OtherData& o = OfKind(score, 1, kOther)[0]->data.other;
    EXPECT_EQ(o.bends, 3);
    EXPECT_EQ(o.upArrow + o.downArrow, 0);
    const AccidentalData& a = OfKind(score, 1, kAccidental)[0]->data.accidental;
    EXPECT_EQ(a.parentheses + a.further[2], 0);
    const ScoreObject* t = OfKind(score, 1, kText)[0];
    EXPECT_EQ(t->text().textFlags, 0x0B);
    EXPECT_EQ(t->chunk(), "\x1b");
    auto notes = OfKind(score, 1, kNote);
    ASSERT_EQ(notes.size(), 2u);
    for (const ScoreObject* x : notes) {
        const NoteData& d = x->note();
        EXPECT_EQ(d.durMod + d.durMod2 + d.singleBeam + d.flatBeam + d.noShorten + d.beamBackUp +
                      d.validated + d.stemEndY,
                  0);
    }
}

// ---- older notes ----

TEST(OlderNotes, StemsTakenFromTheirNeighbours) {
    Score score = MakeScore();
    // A semibreve beside a minim an upper third higher: its stem points down.
    Note(score, 1, 100, 0, 1, 0);
    Note(score, 1, 95, 2, 2, 0);
    // Automatic stems resolve by pitch.
    Note(score, 1, 300, -1, 3, 3);
    Note(score, 1, 320, 1, 3, 3);
    // A stemless note a step from a stem-down note takes its stem, value and x.
    Note(score, 1, 500, 3, 3, 2);
    Note(score, 1, 505, 2, 5, 1);
    TextReport report;
    ConvertQuietly(score, report);
    auto notes = OfKind(score, 1, kNote);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[1]->x, 100);
    EXPECT_EQ(notes[1]->note().stem, 1);
    EXPECT_EQ(notes[2]->note().stem, 0);
    EXPECT_EQ(notes[3]->note().stem, 1);
    EXPECT_EQ(notes[4]->note().pitch, 3);
    EXPECT_EQ(notes[4]->x, 505);
    EXPECT_EQ(notes[4]->note().stem, 1);
    EXPECT_EQ(notes[4]->note().noteValue, 5);
}

TEST(OlderNotes, ChordsShareTheShortestValueAndSecondsJoinUp) {
    Score score = MakeScore();
    Note(score, 1, 100, 0, 3, 0);
    Note(score, 1, 103, 4, 4, 0);
    Note(score, 1, 110, 6, 2, 0);  // five pixels away: another chord
    // Stem-down notes at 300 with an upper second standing at 292 move there.
    Note(score, 1, 300, 0, 3, 1);
    Note(score, 1, 300, -3, 3, 1);
    Note(score, 1, 292, 1, 3, 0);
    TextReport report;
    ConvertQuietly(score, report);
    auto notes = OfKind(score, 1, kNote);
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0]->note().noteValue, 4);
    EXPECT_EQ(notes[1]->note().noteValue, 4);
    EXPECT_EQ(notes[2]->note().noteValue, 2);
    for (int k = 3; k < 6; ++k)
        EXPECT_EQ(notes[static_cast<std::size_t>(k)]->x, 292) << k;
}

TEST(OlderNotes, ForwardBeamLinksMustLeadToANoteThatLinksBack) {
    Score score = MakeScore();
    Note(score, 1, 100, 0, 4, 0).beamOnTo = 250;  // past the stave's objects
    Note(score, 1, 200, 0, 4, 0).beamOnTo = 3;    // a clef
    PlaceObject(score, 1, kClef, 250, kMid, 0);
    Note(score, 1, 300, 0, 4, 0).beamOnTo = 5;
    Note(score, 1, 330, 0, 4, 0).beamBackTo = 4;
    TextReport report;
    ConvertQuietly(score, report);
    auto notes = OfKind(score, 1, kNote);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0]->note().beamOnTo, 0);
    EXPECT_EQ(notes[1]->note().beamOnTo, 0);
    EXPECT_NE(notes[2]->note().beamOnTo, 0);
}

TEST(OlderNotes, HeadCodes) {
    struct Case {
        int head, value;
        bool beamed;
        int newHead, tremolo, beamStem1, beamStem2, headSize;
    };
    const Case cases[] = {
        {0, 3, false, 0, 0, 0, 0, 0}, {1, 3, false, 0, 0, 0, 0, 1}, {2, 0, false, 0, 0, 0, 0, 0},
        {2, 3, false, 0, 1, 0, 1, 0}, {2, 4, true, 0, 0, 1, 0, 5},  {2, 6, true, 0, 3, 1, 0, 0},
        {2, 6, false, 3, 0, 0, 0, 0}, {3, 2, false, 0, 2, 0, 1, 0}, {3, 5, true, 0, 2, 1, 0, 0},
        {3, 5, false, 0, 0, 0, 0, 0}, {4, 1, false, 2, 0, 0, 0, 0}, {4, 3, false, 1, 0, 0, 0, 0},
        {9, 3, false, 9, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "head " << c.head << " value " << c.value);
        Score score = MakeScore();
        NoteData& n = Note(score, 1, 100, 0, c.value, 0);
        n.head = static_cast<uint8_t>(c.head);
        if (c.beamed) {
            Note(score, 1, 140, 0, c.value, 0).beamBackTo = 1;
            n.beamOnTo = 2;
        }
        TextReport report;
        ConvertQuietly(score, report);
        const NoteData& d = score.object(1, 1).note();
        EXPECT_EQ(d.head, c.newHead);
        EXPECT_EQ(d.tremuloBars, c.tremolo);
        EXPECT_EQ(d.beamStem1, c.beamStem1);
        EXPECT_EQ(d.beamStem2, c.beamStem2);
        EXPECT_EQ(d.headSize, c.headSize);
    }
}

// ---- emergency omissions ----

TEST(EmergencyOptions, LettersAndStaveLists) {
    auto kinds = ParseOmittedKinds("t&n?z");
    EXPECT_TRUE(kinds.test(kText9) && kinds.test(kText) && kinds.test(kHeadertext) &&
                kinds.test(kFootertext) && kinds.test(kClef) && kinds.test(kNote));
    EXPECT_EQ(kinds.count(), 6u);
    EXPECT_EQ(ParseOmittedKinds("CLHBST~K#&DN").count(), 15u);

    auto staves = [](const std::string& text) {
        std::vector<int> out;
        auto set = ParseStaveList(text);
        for (int s = 0; s < 256; ++s)
            if (set.test(static_cast<std::size_t>(s))) out.push_back(s);
        return out;
    };
    EXPECT_EQ(staves("1-3, 7 300 5"), (std::vector<int>{1, 2, 3, 5, 7}));
    EXPECT_EQ(staves(" 9 - 7"), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(staves("253-400").size(), 3u);
    EXPECT_EQ(staves("2, x, 4"), std::vector<int>{2});
    EXPECT_EQ(staves("4 6-"), std::vector<int>{4});
    EXPECT_TRUE(staves("256").empty());
    EXPECT_TRUE(staves("99999999999999999999").empty());
    EXPECT_TRUE(staves("-3").empty());
    EXPECT_TRUE(staves("").empty());
}

TEST(EmergencyOptions, CancelOmitsNothing) {
    {
        ScriptedHost host;
        host.expectInput("first letters of object types", std::nullopt);
        EmergencyOmissions e = AskEmergencyOptions(host);
        EXPECT_HOST_CLEAN(host);
        EXPECT_FALSE(e.any());
        EXPECT_TRUE(e.kinds.none());
    }
    {
        ScriptedHost host;
        host.expectInput("first letters of object types", "N")
            .expectInput("stave number(s)", std::nullopt);
        EmergencyOmissions e = AskEmergencyOptions(host);
        EXPECT_HOST_CLEAN(host);
        EXPECT_FALSE(e.any());
    }
    ScriptedHost host;
    host.expectInput("first letters of object types", "n").expectInput("stave number(s)", "2");
    EmergencyOmissions e = AskEmergencyOptions(host);
    EXPECT_HOST_CLEAN(host);
    EXPECT_TRUE(e.kinds.test(kNote));
    EXPECT_TRUE(e.staves.test(2));
    EXPECT_EQ(e.staves.count(), 1u);
}

TEST(EmergencyOptions, TextsOmittedOnChosenStavesOnly) {
    Score score = MakeScore(257);
    for (int s : {1, 2, 256}) {
        int32_t y = score.stave(s).h.Ycoord;
        PlaceText(score, s, kText, 100, y - 30, 1, "A text longer than ten");
        PlaceObject(score, s, kText9, 200, y - 30);
        Note(score, s, 300, 0, 3, 0);
        PlaceCurve(score, s, {{400, y}, {450, y - 10}}, 1);
    }
    EmergencyOmissions e;
    e.kinds = ParseOmittedKinds("TC");
    e.staves = ParseStaveList("2-300");
    EXPECT_EQ(ApplyEmergencyOmissions(score, e), 6);
    EXPECT_EQ(score.stave(1).h.Nobjec, 7);
    ASSERT_EQ(score.stave(2).h.Nobjec, 1);
    EXPECT_EQ(score.object(2, 1).kind, kNote);
    EXPECT_EQ(score.stave(256).h.Nobjec, 7);
}

// ---- an older file from end to end ----

TEST(OlderFile, LoadsConvertsAndSavesAsCurrentVersion) {
    Score built = MakeScore(2);
    built.page.Header = 0.5;
    FontDesc font;
    font.name = "Arial";
    font.size = 12;
    built.fonts[1] = font;
    built.fontsInUse.set(1);
    PlaceText(built, 0, kText, 100, 20, 1, "Heading");
    PlaceObject(built, 1, kClef, 20, kMid, 0);
    PlaceObject(built, 1, kTimesig, 60, kMid, 9);
    PlaceObject(built, 1, kTimesig, 64, kMid + 16, 16);
    PlaceObject(built, 1, kTimesig, 68, kMid, 10);
    Note(built, 1, 100, 0, 3, 0).head = 2;
    Note(built, 1, 100, 0, 3, 0);  // drawn twice
    Note(built, 2, 100, -2, 1, 0);

    TempDir dir;
    std::string bytes = EncodeScore(built, 0, built.Nstaves, false, 1, 96);
    PutU16(reinterpret_cast<uint8_t*>(bytes.data()) + 8, 400);
    const std::string older = dir.file("older.swn");
    WriteBytes(older, std::vector<uint8_t>(bytes.begin(), bytes.end()));

    ScriptedHost host;
    Score score;
    LoadResult r = LoadScore(score, older, false, host);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileVersion, 400);
    ASSERT_TRUE(IsOlderFormat(score.fileVersion));
    host.expectMessage("Duplicated objects", Answer::No);
    TextReport report;
    ConvertResult c = ConvertOlderFormat(score, true, host, report);
    EXPECT_EQ(c.duplicates, 1);
    EXPECT_FALSE(IsOlderFormat(score.fileVersion));

    const std::string saved = dir.file("saved.swn");
    ASSERT_EQ(SaveScore(score, saved, 0, score.Nstaves, false, false, host), SaveResult::Saved);
    auto out = ReadBytes(saved);
    ASSERT_GE(out.size(), 22u);
    EXPECT_EQ(GetU16(out.data() + 8), 501);

    Score again;
    LoadResult r2 = LoadScore(again, saved, false, host);
    EXPECT_HOST_CLEAN(host);
    ASSERT_TRUE(r2.ok);
    EXPECT_EQ(r2.fileVersion, 501);
    auto heads = OfKind(again, 0, kHeadertext);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0]->chunk(), "Heading");
    auto sigs = OfKind(again, 1, kTimesig);
    ASSERT_EQ(sigs.size(), 1u);
    EXPECT_EQ(sigs[0]->data.timesig.numerator, 12);
    EXPECT_EQ(sigs[0]->data.timesig.denominator, 8);
    auto notes = OfKind(again, 1, kNote);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0]->note().tremuloBars, 1);
    EXPECT_EQ(notes[0]->note().beamStem2, 1);
    EXPECT_EQ(OfKind(again, 2, kNote).size(), 1u);
}

}  // namespace
}  // namespace sw
