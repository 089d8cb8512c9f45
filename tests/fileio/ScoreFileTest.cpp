// Score files on disk: round trips, the layout the writer produces, what the
// reader makes of older, damaged and foreign files, templates, partial files,
// backups and the safety of saving.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/ScriptedHost.h"
#include "fileio/Records.h"
#include "fileio/ScoreFile.h"
#include "fileio/Templates.h"
#include "model/Build.h"
#include "model/Score.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using Bytes = std::vector<uint8_t>;

// Kind-data bytes a file keeps, kind by kind; written out here so that a wrong
// table in the writer cannot agree with itself.
constexpr std::size_t kKept[] = {4,  2, 4, 1, 12, 14, 0, 8, 0,  14, 3,
                                 11, 8, 6, 3, 1,  14, 5, 7, 14, 14, 14};

// ---- files made record by record, for what the writer never produces ----

uint8_t* Add(Bytes& f) {
    f.resize(f.size() + kRecordSize, 0);
    return f.data() + f.size() - kRecordSize;
}
void AddHeader(Bytes& f, int nstaves, int version, int fonts = 0) {
    uint8_t* h = Add(f);
    h[0] = static_cast<uint8_t>(nstaves & 0xFF);
    h[15] = static_cast<uint8_t>(nstaves >> 8);
    h[1] = 'w';
    h[2] = 'S';
    h[4] = 'T';
    h[5] = 3;
    h[6] = 3;
    h[7] = 10;
    PutU16(h + 8, static_cast<uint32_t>(version));
    h[17] = 96;
    PutU16(h + 20, static_cast<uint32_t>(fonts));
}
void AddPage(Bytes& f) {
    uint8_t* p = Add(f);
    PutU16(p, 11690);
    PutU16(p + 2, 8270);
    PutU16(p + 19, 300);
}
void AddStaveRecord(Bytes& f, int count, bool staveZero = false) {
    uint8_t* r = Add(f);
    r[7] = static_cast<uint8_t>(count);
    r[15] = static_cast<uint8_t>(5 << 1 | (staveZero ? 0x81 : 0));
}
uint8_t* AddObjectRecord(Bytes& f, int stave, int index, int kind, int x) {
    uint8_t* r = Add(f);
    r[0] = static_cast<uint8_t>(stave & 0xFF);
    r[1] = static_cast<uint8_t>(index);
    PutU16(r + 2, static_cast<uint32_t>(x));
    r[6] = kNoGlyph;
    r[7] = static_cast<uint8_t>(kind);
    return r;
}
const uint8_t* RecordAt(const Bytes& f, std::size_t i) {
    return f.data() + i * kRecordSize;
}
std::size_t RecordCount(const Bytes& f) {
    return f.size() / kRecordSize;
}

LoadResult LoadBytes(Score& score, const TempDir& dir, const Bytes& bytes, ScriptedHost& host,
                     const std::string& name = "in.SWN") {
    WriteBytes(dir.file(name), bytes);
    return LoadScore(score, dir.file(name), false, host);
}

// A score that a refused load must leave as it was.
Score Marked() {
    Score s;
    AppendStave(s, 100, 0, 500);
    PlaceObject(s, 1, kClef, 4321, 100);
    return s;
}
void ExpectStillMarked(const Score& s) {
    ASSERT_EQ(s.Nstaves, 1);
    EXPECT_EQ(s.object(1, 1).x, 4321);
}

// ---- comparing what came back with what was saved ----

auto ScoreFields(const Score& s) {
    const PageData& p = s.page;
    return std::make_tuple(s.Nstaves, s.Spacing, s.Pulse, s.Beamang, s.Tempo, s.Page1,
                           s.naturalsInKeyChange, s.boxedBarNumbers, s.temperament, s.proximity,
                           s.includeGraceNotes, s.staveSize, p.Width, p.Length, p.TopM, p.BotM,
                           p.RightM, p.LeftM, p.GutM, p.Header, p.Footer, p.Facing, p.landscape);
}
auto HeaderFields(const StaveHeader& h) {
    return std::make_tuple(h.instrumentUp, h.instrumentDown, h.Ycoord, h.MaxY, h.MinY, h.RightX,
                           h.LeftX, h.bracketWithNext, h.withBracket, h.barlineThrough, h.withBrace,
                           h.joinToNext, h.ForcedBk, h.invisible, h.PageNum, h.barNumber,
                           h.barNumberPlace, h.lineCount, h.sizeIndex, h.cue, h.soundTranspose,
                           h.Nobjec);
}
auto FontFields(const FontDesc& f) {
    return std::make_tuple(f.name, f.size, f.style, f.colour, f.charset);
}

void ExpectSameContent(const Score& want, const Score& got, int fonts = 0) {
    EXPECT_EQ(ScoreFields(got), ScoreFields(want));
    for (int f = 1; f <= fonts; ++f)
        EXPECT_EQ(FontFields(got.fonts[f]), FontFields(want.fonts[f])) << "font " << f;
    for (int s = 0; s <= want.Nstaves && s <= got.Nstaves; ++s) {
        StaveHeader wh = want.stave(s).h;
        if (s == 0) wh.Ycoord = 0;
        EXPECT_EQ(HeaderFields(got.stave(s).h), HeaderFields(wh)) << "stave " << s;
        EXPECT_EQ(got.stave(s).h.staveIndex, s);
        for (int i = 1; i <= wh.Nobjec && i <= got.stave(s).h.Nobjec; ++i) {
            const ScoreObject& w = want.object(s, i);
            const ScoreObject& g = got.object(s, i);
            EXPECT_EQ(std::make_tuple(g.x, g.y, g.glyph, g.kind),
                      std::make_tuple(w.x, w.y, w.glyph, w.kind))
                << "stave " << s << " object " << i;
            std::size_t kept = w.kind == kNote ? offsetof(NoteData, headX) : kKept[w.kind];
            Bytes expected(w.data.raw, w.data.raw + kept);
            expected.resize(64, 0);
            EXPECT_EQ(Bytes(g.data.raw, g.data.raw + 64), expected)
                << "stave " << s << " object " << i << " kind " << int(w.kind);
        }
    }
}

// Every kind the writer stores as is, texts in two fonts, a note with every
// stored field set, and none of the settings at their defaults.
Score RichScore() {
    Score s;
    s.Spacing = 5;
    s.Pulse = 6;
    s.setBeamAngle(20);
    s.Tempo = 96;
    s.Page1 = 3;
    s.naturalsInKeyChange = false;
    s.boxedBarNumbers = true;
    s.temperament = 2;
    s.proximity = 17;
    s.includeGraceNotes = true;
    s.staveSize = 0.25;
    s.page = PageData{8.5, 11.0, 0.6, 0.7, 0.4, 0.45, 0.125, 0.3, 0.35, true, true};
    s.fonts[1] = {"Times New Roman", 12, kBold | kItalic, 0x00112233, 0};
    s.fonts[2] = {"Courier", 10, kUnderline | kStrikeOut, 0x00445566, 2};
    s.stave(0).h.Ycoord = 77;  // stave 0 is always written at 0
    PlaceText(s, 0, kHeadertext, 100, 30, 1, "A header over three chunks");
    PlaceText(s, 0, kFootertext, 100, 1000, 2, "Footer");

    AppendStave(s, 200, 40, 700);
    AppendStave(s, -300, 40, 700);
    StaveHeader& a = s.stave(1).h;
    a.joinToNext = a.withBracket = a.bracketWithNext = a.withBrace = a.barlineThrough = true;
    a.barNumberPlace = 3;
    a.PageNum = 2;
    a.instrumentUp = 40;
    a.instrumentDown = 41;
    a.soundTranspose = -3;
    a.barNumber = 1017;
    a.lineCount = 4;
    a.MinY = -20;
    StaveHeader& b = s.stave(2).h;
    b.invisible = b.cue = b.ForcedBk = true;
    b.sizeIndex = 1;
    b.lineCount = 1;
    b.barNumberPlace = 2;

    for (int k = 0; k <= kMaxKind; ++k) {
        if (k == kCommonTime || k == kNote || HasTextLayout(k)) continue;
        ScoreObject* o = PlaceObject(s, 1, static_cast<Kind>(k), 50 + 10 * k, 190 - k,
                                     static_cast<uint8_t>(k * 7));
        for (int i = 0; i < 64; ++i)
            o->data.raw[i] = static_cast<uint8_t>(0x21 + k + 3 * i);
        if (k == kLine) {
            o->data.line.dashLength = 3;
            o->data.line.gapLength = 20;
        }
    }
    NoteData& n = PlaceNote(s, 1, 400, -5, 6)->note();
    n.dots = 3;
    n.stem = 2;
    n.beamBackTo = 12;
    n.beamOnTo = 14;
    n.rest = n.cueSize = n.headSize = 1;
    n.emphasis = 6;
    n.staccato = 4;
    n.tieLeft = 255;
    n.tieRight = 9;
    n.tieOver = 1;
    n.lengthIncr = 7;
    n.beamBackUp = n.beamBackDown = n.beamOnUp = n.beamOnDown = n.singleBeam = 1;
    n.head = 14;
    n.tremuloBars = 7;
    n.beamStem1 = n.beamStem2 = n.flatBeam = n.noShorten = 1;
    n.durMod = 63;
    n.durMod2 = 62;
    PlaceText(s, 1, kText9, 420, 150, 1, "Allegro");
    PlaceText(s, 2, kText, 60, -320, 2, "dolce, with feeling", 0x0F);
    PlaceNote(s, 2, 300, 3, 3);
    return s;
}

TEST(ScoreFileRoundTrip, RichScoreSurvivesSaveLoadSaveByteForByte) {
    TempDir dir;
    ScriptedHost host;
    Score original = RichScore();
    const std::string first = dir.file("first.SWN"), second = dir.file("second.SWN");
    ASSERT_EQ(SaveScore(original, first, 0, 2, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts(), std::vector<std::string>{"Score saved as " + first});

    Score loaded;
    LoadResult r = LoadScore(loaded, first, false, host);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.badRecords, 0);
    EXPECT_FALSE(r.partial);
    EXPECT_EQ(r.fileVersion, 501);
    ExpectSameContent(original, loaded, 2);
    EXPECT_NEAR(loaded.beamTangent, std::tan(20 * M_PI / 180), 1e-9);
    ASSERT_EQ(SaveScore(loaded, second, 0, 2, false, false, host), SaveResult::Saved);
    const Bytes f = ReadBytes(first);
    EXPECT_EQ(ReadBytes(second), f);

    // The places other programs read the fields from.
    ASSERT_EQ(f.size() % kRecordSize, 0u);
    EXPECT_EQ(f[3], 0x02);
    EXPECT_EQ(GetU16(&f[8]), 501);
    EXPECT_EQ(std::vector<int>({f[10], GetU16(&f[11]), GetU16(&f[13]), f[16], f[17], f[18], f[19],
                                GetU16(&f[20])}),
              std::vector<int>({0, 300, 350, 0, 96, 2, 0x80 | 17, 2}));
    const uint8_t* p = RecordAt(f, 1);
    EXPECT_EQ(std::vector<int>({GetU16(p), GetU16(p + 2), GetU16(p + 4), GetU16(p + 6),
                                GetU16(p + 8), GetU16(p + 10), GetU16(p + 12), GetU16(p + 14),
                                GetU16(p + 16), p[18], GetU16(p + 19), p[21]}),
              std::vector<int>({11000, 8500, 600, 400, 450, 700, 125, 96, 3, 1, 250, 1}));
    const uint8_t* zero = RecordAt(f, 6);  // after header, page and two font pairs
    EXPECT_EQ(GetI16(zero), 0);
    EXPECT_EQ(zero[15] & 0x80, 0x80);
    const uint8_t* one = RecordAt(f, 7);
    EXPECT_EQ(std::vector<int>({GetI16(one), GetI16(one + 2), GetI16(one + 4), one[6], one[7],
                                GetI16(one + 8), GetI16(one + 10), one[12], one[13], one[14],
                                one[15], one[16], one[17], GetU16(one + 18)}),
              std::vector<int>({200, 216, -20, 0x7F, original.stave(1).h.Nobjec, 40, 700, 40, 0, 2,
                                4 << 1, 0xFD, 41, 1017}));
    const uint8_t* two = RecordAt(f, 8);
    EXPECT_EQ(std::vector<int>({GetI16(two), two[6], two[13], two[15]}),
              std::vector<int>({-300, 2 << 5, 1, 0x01 | 1 << 1 | 0x10 | 0x20}));
    const std::size_t objects0 = original.stave(0).h.Nobjec;
    const uint8_t* barline = RecordAt(f, 9 + objects0 + kBarline - 1);  // stave 1 starts 0,1,2,4
    EXPECT_EQ(std::vector<int>({barline[0], barline[1], barline[7], barline[19], barline[20]}),
              std::vector<int>({1, 4, kBarline, 0x21 + kBarline + 33, 0}));
    EXPECT_EQ(RecordAt(f, 9)[0], 0);
    EXPECT_EQ(RecordCount(f),
              9 + objects0 + original.stave(1).h.Nobjec + original.stave(2).h.Nobjec);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileStaves, ThreeHundredStavesKeepTheHighByteAndReloadInPlace) {
    TempDir dir;
    ScriptedHost host;
    Score s;
    for (int i = 1; i <= 300; ++i)
        AppendStave(s, 100 + 40 * i, 0, 600);
    for (int st : {1, 256, 257, 300})
        PlaceObject(s, st, kClef, st, s.stave(st).h.Ycoord);
    PlaceObject(s, 256, kKeysig, 1256, 0);
    PlaceObject(s, 257, kKeysig, 1257, 0);
    ASSERT_EQ(SaveScore(s, dir.file("big.SWN"), 0, 300, false, false, host), SaveResult::Saved);
    const Bytes f = ReadBytes(dir.file("big.SWN"));
    EXPECT_EQ(f[0], 44);
    EXPECT_EQ(f[15], 1);
    ASSERT_EQ(RecordCount(f), 2 + 301 + 6u);
    std::vector<int> staveBytes;
    for (std::size_t r = 303; r < RecordCount(f); ++r)
        staveBytes.push_back(RecordAt(f, r)[0]);
    EXPECT_EQ(staveBytes, std::vector<int>({1, 0, 0, 1, 1, 44}));

    Score loaded;
    ASSERT_TRUE(LoadScore(loaded, dir.file("big.SWN"), false, host).ok);
    ExpectSameContent(s, loaded);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileStaves, RecordsAfterEmptyRunAcross256LandOnTheirOwnStave) {
    for (bool alsoOn45 : {false, true}) {
        SCOPED_TRACE(alsoOn45 ? "stave 45 has objects too" : "staves 11..300 empty");
        TempDir dir;
        ScriptedHost host;
        Score s;
        for (int i = 1; i <= 301; ++i)
            AppendStave(s, 40 * i, 0, 600);
        PlaceObject(s, 10, kClef, 10, 0);
        if (alsoOn45) PlaceObject(s, 45, kClef, 45, 0);
        PlaceObject(s, 301, kClef, 301, 0);
        PlaceObject(s, 301, kKeysig, 302, 0);
        ASSERT_EQ(SaveScore(s, dir.file("gap.SWN"), 0, 301, false, false, host), SaveResult::Saved);
        Score loaded;
        LoadResult r = LoadScore(loaded, dir.file("gap.SWN"), false, host);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.badRecords, 0);
        ExpectSameContent(s, loaded);
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(ScoreFileDamaged, BadRecordsAreSkippedCountedAndReportedOnce) {
    TempDir dir;
    ScriptedHost host;
    Bytes f;
    AddHeader(f, 2, 501);
    AddPage(f);
    AddStaveRecord(f, 0, true);
    AddStaveRecord(f, 2);
    AddStaveRecord(f, 1);
    AddObjectRecord(f, 1, 1, kClef, 10);
    AddObjectRecord(f, 1, 0, kClef, 666);    // slot 0 is never used
    AddObjectRecord(f, 1, 251, kClef, 666);  // beyond the last slot
    AddObjectRecord(f, 1, 2, 22, 666);       // no such kind
    AddObjectRecord(f, 1, 2, kKeysig, 12);
    AddObjectRecord(f, 5, 1, kClef, 666);  // no such stave
    AddObjectRecord(f, 2, 1, kClef, 20);
    host.expectMessage("Error discovered in file data. Please check your score.");
    Score score;
    LoadResult r = LoadBytes(score, dir, f, host);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.badRecords, 4);
    ASSERT_EQ(score.stave(1).h.Nobjec, 2);
    EXPECT_EQ(score.object(1, 1).x, 10);
    EXPECT_EQ(score.object(1, 2).x, 12);
    ASSERT_EQ(score.stave(2).h.Nobjec, 1);
    EXPECT_EQ(score.object(2, 1).x, 20);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileDamaged, IndexBeyondCountRaisesItAndIsReportedOnce) {
    TempDir dir;
    ScriptedHost host;
    Bytes f;
    AddHeader(f, 2, 501);
    AddPage(f);
    AddStaveRecord(f, 0, true);
    AddStaveRecord(f, 1);
    AddStaveRecord(f, 0);
    for (int i = 1; i <= 3; ++i)
        AddObjectRecord(f, 1, i, kClef, 10 + i);
    AddObjectRecord(f, 2, 1, kClef, 21);
    host.expectMessage("Problem with stave 1 at object 2\nFile is bad.");
    Score score;
    LoadResult r = LoadBytes(score, dir, f, host);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.badRecords, 0);
    ASSERT_EQ(score.stave(1).h.Nobjec, 3);
    EXPECT_EQ(score.object(1, 3).x, 13);
    ASSERT_EQ(score.stave(2).h.Nobjec, 1);
    EXPECT_EQ(score.object(2, 1).x, 21);
    EXPECT_HOST_CLEAN(host);
}

// Stave 1 claims three objects but has two records; the record after them
// belongs to a later stave and must not be taken for stave 1's third.
TEST(ScoreFileDamaged, ShortStaveKeepsEmptySlotsAndLeavesOthersTheirObjects) {
    for (int later : {2, 257}) {
        SCOPED_TRACE(later);
        TempDir dir;
        ScriptedHost host;
        Bytes f;
        AddHeader(f, later, 501);
        AddPage(f);
        AddStaveRecord(f, 0, true);
        AddStaveRecord(f, 3);
        for (int s = 2; s <= later; ++s)
            AddStaveRecord(f, s == later ? 1 : 0);
        AddObjectRecord(f, 1, 1, kClef, 11);
        AddObjectRecord(f, 1, 2, kKeysig, 12);
        AddObjectRecord(f, later, 1, kTimesig, 99);
        host.expectMessage("Error discovered in file data");
        Score score;
        LoadResult r = LoadBytes(score, dir, f, host);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.badRecords, 1);
        EXPECT_EQ(score.object(1, 1).x, 11);
        EXPECT_EQ(score.object(1, 2).x, 12);
        EXPECT_EQ(int(score.object(1, 3).kind), kNothing);
        EXPECT_EQ(int(score.object(later, 1).kind), kTimesig);
        EXPECT_EQ(score.object(later, 1).x, 99);
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(ScoreFileDamaged, TruncatedOrOversizedFilesAreRefused) {
    TempDir dir;
    for (int cut : {3, 5}) {  // inside the font pair; inside the stave records
        ScriptedHost host;
        Bytes f;
        AddHeader(f, 2, 501, 1);
        AddPage(f);
        Add(f)[0] = 1;
        Add(f);
        AddStaveRecord(f, 0, true);
        AddStaveRecord(f, 0);
        AddStaveRecord(f, 0);
        f.resize(static_cast<std::size_t>(cut) * kRecordSize);
        host.expectMessage("The file ends before all of its staves and fonts have been read: " +
                           dir.file("in.SWN"));
        Score score = Marked();
        EXPECT_FALSE(LoadBytes(score, dir, f, host).ok) << cut;
        ExpectStillMarked(score);
        EXPECT_HOST_CLEAN(host);
    }
    ScriptedHost host;
    Bytes f;
    AddHeader(f, 10001, 501);
    AddPage(f);
    host.expectMessage("The file has 10001 staves");
    Score score = Marked();
    EXPECT_FALSE(LoadBytes(score, dir, f, host).ok);
    ExpectStillMarked(score);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileRead, OutOfRangeValuesAreReadAsUsableOnes) {
    struct Case {
        uint8_t spacing, pulse, playback;
        uint16_t staveSize;
        uint8_t lines;
        uint8_t wantSpacing, wantPulse, wantProximity;
        double wantSize;
        uint8_t wantLines;
    };
    const Case cases[] = {
        {0, 1, 0x7F, 50, 0, 3, 3, 40, 0.1, 5}, {6, 8, 0x80 | 41, 1500, 3, 3, 3, 40, 1.0, 5},
        {1, 2, 40, 100, 1, 1, 2, 40, 0.1, 1},  {5, 7, 0x80, 1000, 4, 5, 7, 0, 1.0, 4},
        {2, 4, 9, 300, 6, 2, 4, 9, 0.3, 6},    {4, 5, 0, 300, 7, 4, 5, 0, 0.3, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.spacing));
        TempDir dir;
        ScriptedHost host;
        Bytes f;
        AddHeader(f, 1, 501);
        f[5] = c.spacing;
        f[6] = c.pulse;
        f[19] = c.playback;
        AddPage(f);
        PutU16(&f[kRecordSize + 19], c.staveSize);  // tempo and first page are left 0
        AddStaveRecord(f, 0, true);
        PutU16(&f[2 * kRecordSize], 123);  // stave 0 is always at 0
        AddStaveRecord(f, 6);
        f[3 * kRecordSize + 15] = static_cast<uint8_t>(c.lines << 1);
        AddObjectRecord(f, 1, 1, kCommonTime, 0)[8] = 7;
        AddObjectRecord(f, 1, 2, kCommonTime, 0)[8] = 1;
        uint8_t* line = AddObjectRecord(f, 1, 3, kLine, 0);
        line[8 + 6] = 2;
        line[8 + 7] = 21;
        line = AddObjectRecord(f, 1, 4, kLine, 0);
        line[8 + 6] = 3;
        line[8 + 7] = 20;
        uint8_t* text = AddObjectRecord(f, 1, 5, kText9, 0);
        text[8 + 3] = 15;  // a chunk holds ten characters at most
        std::memcpy(text + 12, "abcdefghij", 10);
        AddObjectRecord(f, 1, 6, kCommonTime, 0)[8] = 99;

        Score score;
        ASSERT_TRUE(LoadBytes(score, dir, f, host).ok);
        EXPECT_EQ(std::make_tuple(score.Spacing, score.Pulse, score.proximity),
                  std::make_tuple(c.wantSpacing, c.wantPulse, c.wantProximity));
        EXPECT_EQ(score.includeGraceNotes, (c.playback & 0x80) != 0);
        EXPECT_DOUBLE_EQ(score.staveSize, c.wantSize);
        EXPECT_EQ(score.Tempo, 120);
        EXPECT_EQ(score.Page1, 1);
        EXPECT_EQ(score.stave(0).h.Ycoord, 0);
        EXPECT_EQ(score.stave(1).h.lineCount, c.wantLines);
        const StaveBlock& b = score.stave(1);
        EXPECT_EQ(b.obj[1].kind, kTimesig);
        EXPECT_EQ(Bytes(b.obj[1].data.raw, b.obj[1].data.raw + 4), Bytes({4, 4, 0, 0}));
        EXPECT_EQ(Bytes(b.obj[2].data.raw, b.obj[2].data.raw + 4), Bytes({0, 0, 0, 2}));
        EXPECT_EQ(Bytes(b.obj[6].data.raw, b.obj[6].data.raw + 4), Bytes({0, 0, 0, 0}));
        EXPECT_EQ(std::make_tuple(b.obj[3].data.line.dashLength, b.obj[3].data.line.gapLength),
                  std::make_tuple(uint8_t{5}, uint8_t{5}));
        EXPECT_EQ(std::make_tuple(b.obj[4].data.line.dashLength, b.obj[4].data.line.gapLength),
                  std::make_tuple(uint8_t{3}, uint8_t{20}));
        EXPECT_EQ(b.obj[5].text().chunkLength, 10);
        EXPECT_EQ(b.obj[5].chunk(), "abcdefghij");
        EXPECT_HOST_CLEAN(host);
    }
}

// One stave with a note whose flag bytes mean different things before and after
// version 500; the screen byte (120) differs from ours (96).
Bytes VersionFile(int version) {
    Bytes f;
    AddHeader(f, 1, version);
    f[10] = 7;  // first page, where version 500 keeps it
    f[17] = 120;
    AddPage(f);
    PutU16(&f[kRecordSize + 16], 9);  // first page, where 501 keeps it
    if (version >= 302) AddStaveRecord(f, 0, true);
    AddStaveRecord(f, 1);
    uint8_t* n = AddObjectRecord(f, 1, 1, kNote, 50);
    n[8 + 3] = 1;
    n[8 + 6] = 0x03;
    n[8 + 7] = 1;
    n[8 + 8] = 2;
    return f;
}

TEST(ScoreFileVersions, EachVersionIsReadByItsOwnRules) {
    for (int version : {300, 301, 302, 303, 499, 500, 501}) {
        SCOPED_TRACE(version);
        TempDir dir;
        ScriptedHost host;
        if (version >= 303)
            host.expectMessage("modify the sizes of all the text fonts", Answer::No);
        Score score;
        LoadResult r = LoadBytes(score, dir, VersionFile(version), host);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.fileVersion, version);
        EXPECT_EQ(r.badRecords, 0);
        EXPECT_EQ(score.Page1, version == 500 ? 7 : (version == 501 ? 9 : 1));
        EXPECT_TRUE(score.stave(0).h.invisible);
        EXPECT_EQ(score.stave(0).h.Nobjec, 0);
        ASSERT_EQ(score.stave(1).h.Nobjec, 1);
        const NoteData& n = score.object(1, 1).note();
        EXPECT_EQ(n.rest, 1);
        const bool older = version < 500;
        EXPECT_EQ(std::vector<int>({n.headSize, n.cueSize, n.emphasis, n.staccato, n.beamBackUp}),
                  older ? std::vector<int>({0, 0, 1, 2, 0}) : std::vector<int>({1, 1, 0, 1, 1}));
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(ScoreFileVersions, NoteWorthyFilesAreRefused) {
    TempDir dir;
    Bytes tooOld;
    AddHeader(tooOld, 1, 299);
    AddPage(tooOld);
    AddStaveRecord(tooOld, 0);
    Bytes nw(3 * kRecordSize, 0);  // a foreign file, known only by its version byte
    nw[8] = 200;
    for (const auto& [name, bytes] : {std::pair{"old.SWN", tooOld}, std::pair{"song.nw", nw}}) {
        ScriptedHost host;
        host.expectMessage("Cannot load NoteWorthy files into this program.");
        Score score = Marked();
        EXPECT_FALSE(LoadBytes(score, dir, bytes, host, name).ok) << name;
        ExpectStillMarked(score);
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(ScoreFileVersions, LaterVersionAsksAndCancelLeavesTheScoreAlone) {
    TempDir dir;
    Bytes f = VersionFile(502);
    f[17] = 96;
    ScriptedHost host;
    host.expectMessage("saved by a later version of Staffwright 5", Answer::Cancel);
    Score score = Marked();
    EXPECT_FALSE(LoadBytes(score, dir, f, host).ok);
    ExpectStillMarked(score);

    host.expectMessage("saved by a later version of Staffwright 5", Answer::OK);
    LoadResult r = LoadBytes(score, dir, f, host);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileVersion, 502);
    EXPECT_EQ(score.object(1, 1).kind, kNote);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileFonts, LongNamesSplitAcrossTwoRecordsAndSizesFollowTheScreen) {
    TempDir dir;
    ScriptedHost host;
    const std::string name25 = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const std::string name40 = "abcdefghijklmnopqrstuvwxyz0123456789!@#$";
    Score s;
    AppendStave(s, 100, 0, 500);
    s.fonts[3] = {name25, 12, kBold, 0x0000FF, 0};
    s.fonts[7] = {name40, 9, 0, 0, 1};
    PlaceText(s, 1, kText, 10, 50, 7, "seven");
    PlaceText(s, 1, kText, 20, 50, 3, "three");
    FileEnv wide;
    wide.screenPpi = 120;
    const std::string path = dir.file("fonts.SWN");
    ASSERT_EQ(SaveScore(s, path, 0, 1, false, false, host, wide), SaveResult::Saved);
    Bytes f = ReadBytes(path);
    ASSERT_EQ(GetU16(&f[20]), 2);  // used fonts 3 and 7 are saved as 1 and 2
    EXPECT_EQ(std::vector<int>({RecordAt(f, 2)[0], RecordAt(f, 2)[1], RecordAt(f, 3)[0],
                                RecordAt(f, 4)[0], RecordAt(f, 4)[1], RecordAt(f, 5)[0]}),
              std::vector<int>({1, 20, 5, 2, 20, 12}));

    struct Case {
        const char* why;
        std::optional<Answer> question;
        bool asTemplate;
        uint8_t screenByte;
        int16_t size1, size2;
    };
    for (const Case& c : {Case{"rescaled", Answer::Yes, false, 120, 15, 11},
                          Case{"declined", Answer::No, false, 120, 12, 9},
                          Case{"template", std::nullopt, true, 120, 12, 9},
                          Case{"unknown screen", std::nullopt, false, 0, 12, 9}}) {
        SCOPED_TRACE(c.why);
        f[17] = c.screenByte;
        WriteBytes(path, f);
        if (c.question) host.expectMessage("modify the sizes of all the text fonts", *c.question);
        Score loaded;
        ASSERT_TRUE(LoadScore(loaded, path, c.asTemplate, host).ok);
        EXPECT_EQ(FontFields(loaded.fonts[1]),
                  FontFields(FontDesc{name25, c.size1, kBold, 0x0000FF, 0}));
        EXPECT_EQ(FontFields(loaded.fonts[2]),
                  FontFields(FontDesc{name40.substr(0, 32), c.size2, 0, 0, 1}));
        EXPECT_EQ(loaded.object(1, 1).text().fontNumber, 2);
        EXPECT_EQ(loaded.object(1, 2).text().fontNumber, 1);
    }
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFilePartial, SavedStavesAreRenumberedFromOne) {
    TempDir dir;
    ScriptedHost host;
    Score s;
    s.fonts[1] = {"Arial", 14, 0, 0, 0};
    PlaceText(s, 0, kHeadertext, 100, 20, 1, "Title");
    for (int i = 1; i <= 4; ++i) {
        AppendStave(s, 100 * i, 40, 700);
        for (int j = 1; j <= i; ++j)
            PlaceObject(s, i, kClef, 10 * i + j, 100 * i);
    }
    const std::string path = dir.file("Part.SWN");
    ASSERT_EQ(SaveScore(s, path, 2, 3, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts().back(), "Staves 2-3 saved as " + path);
    const Bytes f = ReadBytes(path);
    EXPECT_EQ(f[0], 2);
    EXPECT_EQ(f[3] & 0xC0, 0x80);
    const std::size_t first = 2 + 2 * GetU16(&f[20]);
    ASSERT_EQ(RecordCount(f), first + 2 + 5);
    EXPECT_EQ(GetI16(RecordAt(f, first)), 200);
    EXPECT_EQ(RecordAt(f, first)[15] & 0x80, 0);
    EXPECT_EQ(GetI16(RecordAt(f, first + 1)), 300);
    std::vector<int> staveBytes;
    for (std::size_t r = first + 2; r < RecordCount(f); ++r)
        staveBytes.push_back(RecordAt(f, r)[0]);
    EXPECT_EQ(staveBytes, std::vector<int>({1, 1, 2, 2, 2}));

    Score part;
    LoadResult r = LoadScore(part, path, false, host);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.partial);
    EXPECT_FALSE(r.isTemplate);
    ASSERT_EQ(part.Nstaves, 2);
    EXPECT_EQ(part.stave(0).h.Nobjec, 0);
    ASSERT_EQ(part.stave(1).h.Nobjec, 2);
    EXPECT_EQ(part.object(1, 2).x, 22);
    ASSERT_EQ(part.stave(2).h.Nobjec, 3);
    EXPECT_EQ(part.object(2, 3).x, 33);

    ASSERT_EQ(SaveScore(s, path, 4, 4, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts().back(), "Stave 4 saved as " + path);
    EXPECT_HOST_CLEAN(host);
}

// Four staves of clefs and key signatures, with a title on stave 0.
Score FourStaves() {
    Score s;
    s.fonts[1] = {"Arial", 14, 0, 0, 0};
    PlaceText(s, 0, kHeadertext, 100, 20, 1, "Title");
    for (int i = 1; i <= 4; ++i) {
        AppendStave(s, 100 * i, 40, 700);
        PlaceObject(s, i, kClef, 50, 100 * i);
        PlaceObject(s, i, kKeysig, 70, 100 * i)->data.keysig.key = static_cast<int8_t>(-i);
    }
    return s;
}

TEST(ScoreFileTemplate, TemplateHoldsStavesOneToFourWithoutStaveZero) {
    TempDir dir;
    ScriptedHost host;
    Score s = FourStaves();
    host.expectInput("description", std::string("String quartet"));
    const std::string path = dir.file("Quartet.SWT");
    ASSERT_EQ(SaveScore(s, path, 1, 4, true, true, host, {},
                        [&] { return AskTemplateDescription(host, kMaxDescription); }),
              SaveResult::Saved);
    EXPECT_EQ(host.progressTexts(), std::vector<std::string>{"Template saved as Quartet.SWT"});
    const Bytes f = ReadBytes(path);
    EXPECT_EQ(f[0], 4);
    EXPECT_EQ(f[3] & 0xF0, 0x80 | 0x40 | 0x20);
    const std::size_t first = 3 + 2 * GetU16(&f[20]);
    ASSERT_EQ(RecordCount(f), first + 4 + 8);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(GetI16(RecordAt(f, first + i)), 100 * static_cast<int>(i + 1));
    for (std::size_t r = first + 4; r < RecordCount(f); ++r)
        EXPECT_EQ(static_cast<std::size_t>(RecordAt(f, r)[0]), 1 + (r - first - 4) / 2);

    // Our screen differs from the writer's, but a template is never rescaled.
    FileEnv other;
    other.screenPpi = 120;
    Score t;
    LoadResult r = LoadScore(t, path, true, host, other);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.isTemplate);
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(t.description, "String quartet");
    ASSERT_EQ(t.Nstaves, 4);
    EXPECT_EQ(t.stave(0).h.Nobjec, 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(t.object(i, 2).data.keysig.key, -i);
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileTemplate, AbortOrCancelledDescriptionWritesNothing) {
    TempDir dir;
    ScriptedHost host;
    Score s = FourStaves();
    PlaceNote(s, 2, 300, 0, 3);
    const std::string path = dir.file("Song.SWT");
    int asked = 0;
    auto ask = [&] {
        ++asked;
        return AskTemplateDescription(host, kMaxDescription);
    };
    const std::string question = "more than simply staves, clefs and key signatures";
    host.expectMessage(question, Answer::Abort);
    EXPECT_EQ(SaveScore(s, path, 1, 4, true, true, host, {}, ask), SaveResult::Abandoned);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(fs::exists(path));

    host.expectMessage(question, Answer::Yes)
        .expectInput("description", std::nullopt)
        .expectMessage("Template not saved.");
    EXPECT_EQ(SaveScore(s, path, 1, 4, true, true, host, {}, ask), SaveResult::Abandoned);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(host.progressTexts().empty());

    host.expectMessage(question, Answer::Yes)
        .expectInput("description", std::string())
        .expectMessage("Description cannot be blank")
        .expectInput("description", std::string("Song"));
    EXPECT_EQ(SaveScore(s, path, 1, 4, true, false, host, {}, ask), SaveResult::Saved);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_HOST_CLEAN(host);
}

TEST(ScoreFileTemplate, DescriptionTakesOneToThreeRecordsBeforeTheFonts) {
    struct Case {
        std::size_t length;
        uint8_t bits;
        std::size_t records;
    };
    for (Case c : {Case{0, 0x20, 1}, Case{21, 0x20, 1}, Case{22, 0x10, 2}, Case{63, 0x30, 3},
                   Case{100, 0x30, 3}}) {
        SCOPED_TRACE(c.length);
        TempDir dir;
        ScriptedHost host;
        std::string text;
        for (std::size_t i = 0; i < c.length; ++i)
            text += static_cast<char>('a' + i % 26);
        Score s = FourStaves();
        const std::string path = dir.file("T.SWT");
        ASSERT_EQ(SaveScore(s, path, 1, 4, true, false, host, {},
                            [&] { return std::optional<std::string>(text); }),
                  SaveResult::Saved);
        const Bytes f = ReadBytes(path);
        EXPECT_EQ(f[3] & 0x30, c.bits);
        const std::string kept = c.length == 0 ? " " : text.substr(0, kMaxDescription);
        for (std::size_t d = 0; d < c.records; ++d) {
            const uint8_t* r = RecordAt(f, 2 + d);
            ASSERT_LE(r[0], 21);
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 1), r[0]),
                      kept.substr(d * 21, 21));
        }
        EXPECT_EQ(RecordAt(f, 2 + c.records)[0], 1);  // font 1's first record
        EXPECT_EQ(RecordCount(f), 2 + c.records + 2 + 4 + 8);
        if (c.length > 0) {
            Score t;
            ASSERT_TRUE(LoadScore(t, path, true, host).ok);
            EXPECT_EQ(t.description, kept);
            EXPECT_EQ(t.fonts[1].name, "Arial");
        }
        EXPECT_HOST_CLEAN(host);
    }
}

TEST(PreCheck, CodesForMissingDirectoryEmptyOddSizedAndForeignFiles) {
    TempDir dir;
    Bytes header;
    AddHeader(header, 1, 501);
    Bytes foreign(2 * kRecordSize, 'x');
    Bytes nw(kRecordSize, 0);
    nw[8] = 200;
    WriteBytes(dir.file("empty.SWN"), {});
    WriteBytes(dir.file("odd.SWN"), Bytes(23, 0));
    WriteBytes(dir.file("foreign.SWN"), foreign);
    WriteBytes(dir.file("good.SWN"), header);
    WriteBytes(dir.file("old.nw"), nw);
    WriteBytes(dir.file("old.SWN"), nw);
    EXPECT_EQ(PreCheckFile(dir.file("missing.SWN"), false), 1);
    EXPECT_EQ(PreCheckFile(dir.file("nowhere/x.SWN"), false), 1);
    EXPECT_EQ(PreCheckFile(dir.path(), false), 2);
    EXPECT_EQ(PreCheckFile(dir.file("empty.SWN"), false), 3);
    EXPECT_EQ(PreCheckFile(dir.file("odd.SWN"), false), 4);
    EXPECT_EQ(PreCheckFile(dir.file("foreign.SWN"), false), 6);
    EXPECT_EQ(PreCheckFile(dir.file("good.SWN"), false), 0);
    EXPECT_EQ(PreCheckFile(dir.file("old.nw"), false), 0);
    EXPECT_EQ(PreCheckFile(dir.file("old.SWN"), false), 6);
    EXPECT_EQ(PreCheckFile(dir.file("missing.SWN"), true), 0);
    EXPECT_EQ(PreCheckMessage(4, "/x/odd.SWN"), "File has impossible size: /x/odd.SWN");

    ScriptedHost host;
    host.expectMessage("File cannot be found: " + dir.file("missing.SWN"))
        .expectMessage("File has impossible size: " + dir.file("odd.SWN"));
    Score score = Marked();
    EXPECT_FALSE(LoadScore(score, dir.file("missing.SWN"), false, host).ok);
    EXPECT_FALSE(LoadScore(score, dir.file("odd.SWN"), false, host).ok);
    ExpectStillMarked(score);
    EXPECT_HOST_CLEAN(host);

    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    ::chmod(dir.file("good.SWN").c_str(), 0);
    EXPECT_EQ(PreCheckFile(dir.file("good.SWN"), false), 7);
}

TEST(BackupBeforeSave, UpperCaseScoreIsRenamedOverAnOlderBackup) {
    TempDir dir;
    const std::string song = dir.file("Song.SWN");
    EXPECT_EQ(BackupName(song), dir.path() + "/Backup of Song.SWB");
    WriteBytes(song, {1, 2, 3});
    WriteBytes(BackupName(song), {9});
    EXPECT_TRUE(BackupBeforeSave(song, FileEnv{}));
    EXPECT_EQ(ReadBytes(BackupName(song)), Bytes({1, 2, 3}));
    EXPECT_FALSE(fs::exists(song));

    ScriptedHost host;
    Score s = Marked();
    ASSERT_EQ(SaveScore(s, song, 0, 1, false, false, host), SaveResult::Saved);
    EXPECT_EQ(ReadBytes(BackupName(song)), Bytes({1, 2, 3}));
    EXPECT_EQ(PreCheckFile(song, false), 0);
    EXPECT_HOST_CLEAN(host);
}

TEST(BackupBeforeSave, NoBackupForLowerCaseNameMissingFileOrWhenSwitchedOff) {
    TempDir dir;
    WriteBytes(dir.file("tune.swn"), {1, 2, 3});
    WriteBytes(dir.file("Song.SWN"), {4, 5, 6});
    FileEnv off;
    off.backups = false;
    EXPECT_FALSE(BackupBeforeSave(dir.file("tune.swn"), FileEnv{}));
    EXPECT_FALSE(BackupBeforeSave(dir.file("Song.SWN"), off));
    EXPECT_FALSE(BackupBeforeSave(dir.file("New.SWN"), FileEnv{}));
    EXPECT_EQ(ReadBytes(dir.file("tune.swn")), Bytes({1, 2, 3}));
    EXPECT_EQ(ReadBytes(dir.file("Song.SWN")), Bytes({4, 5, 6}));
    EXPECT_FALSE(fs::exists(dir.file("Backup of tune.SWB")));
    EXPECT_FALSE(fs::exists(dir.file("Backup of Song.SWB")));
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ScoreFileSave, ReplacesTheFileOnlyAfterACompleteWrite) {
    TempDir dir;
    ScriptedHost host;
    Score s = Marked();
    const std::string path = dir.file("Score.SWN");
    WriteBytes(path, {7, 7, 7});
    ASSERT_EQ(SaveScore(s, path, 0, 1, false, true, host), SaveResult::Saved);
    EXPECT_EQ(PreCheckFile(path, false), 0);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Score.SWN"});

    host.expectMessage("An error has occurred during the writing of the file: File not found.")
        .expectMessage("An error has occurred during the writing of the file: Access denied.");
    EXPECT_EQ(SaveScore(s, dir.file("nowhere/Score.SWN"), 0, 1, false, true, host),
              SaveResult::Failed);
    fs::create_directory(dir.file("folder.SWN"));
    EXPECT_EQ(SaveScore(s, dir.file("folder.SWN"), 0, 1, false, true, host), SaveResult::Failed);
    EXPECT_TRUE(fs::is_directory(dir.file("folder.SWN")));
    EXPECT_HOST_CLEAN(host);

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const Bytes before = ReadBytes(path);
    ::chmod(dir.path().c_str(), 0555);
    host.expectMessage("Access denied.\nPerhaps the file is marked readonly?");
    PlaceObject(s, 1, kKeysig, 10, 100);
    EXPECT_EQ(SaveScore(s, path, 0, 1, false, true, host), SaveResult::Failed);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>({"Score.SWN", "folder.SWN"}));
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
