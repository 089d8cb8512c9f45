// Score files on disk: round trips, the layout other programs read, what the
// reader makes of older, damaged and foreign files, templates, partial files,
// backups and the safety of saving.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <thread>
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
using Slots = std::vector<std::pair<int, int>>;  // kind and x of each object of a stave

// Kind-data bytes a file keeps, kind by kind; written out here so that a wrong
// table in the writer cannot agree with itself.
constexpr std::size_t kKept[] = {4,  2, 4, 1, 12, 14, 0, 8, 0,  14, 3,
                                 11, 8, 6, 3, 1,  14, 5, 7, 14, 14, 14};

// ---- records and files made by hand ----

// A value at an offset: outside 0..255 it takes two bytes, low byte first, as
// the file's 16-bit fields do.
struct At {
    int at, v;
};
Record Rec(std::initializer_list<At> fields) {
    Record r{};
    for (auto [at, v] : fields) {
        r[static_cast<std::size_t>(at)] = static_cast<uint8_t>(v & 0xFF);
        if (v < 0 || v > 0xFF) r[static_cast<std::size_t>(at) + 1] = static_cast<uint8_t>(v >> 8);
    }
    return r;
}
Record RecordAt(const Bytes& f, std::size_t i) {
    Record r;
    std::copy_n(f.begin() + static_cast<std::ptrdiff_t>(i * kRecordSize), kRecordSize, r.begin());
    return r;
}

struct Obj {
    int stave, index, kind, x;
    Bytes data = {};  // from the record's byte 8
};

// Header, page, stave 0 (from version 302 on), staves 1.. holding `counts`
// objects, then the object records.
Bytes RawFile(const std::vector<int>& counts, const std::vector<Obj>& objects = {},
              int version = 501) {
    const int n = static_cast<int>(counts.size());
    std::vector<Record> rs = {
        Rec({At{0, n & 0xFF}, At{1, 'w'}, At{2, 'S'}, At{4, 'T'}, At{5, 3}, At{6, 3}, At{7, 10},
             At{8, version}, At{15, n >> 8}, At{17, 96}}),
        Rec({At{0, 11690}, At{2, 8270}, At{19, 300}})};
    if (version >= 302) rs.push_back(Rec({At{15, 0x80 | 5 << 1 | 1}}));
    for (int c : counts)
        rs.push_back(Rec({At{7, c}, At{15, 5 << 1}}));
    for (const Obj& o : objects) {
        rs.push_back(Rec(
            {At{0, o.stave & 0xFF}, At{1, o.index}, At{2, o.x}, At{6, kNoGlyph}, At{7, o.kind}}));
        std::copy(o.data.begin(), o.data.end(), rs.back().begin() + 8);
    }
    Bytes f;
    for (const Record& r : rs)
        f.insert(f.end(), r.begin(), r.end());
    return f;
}

Slots SlotsOf(const Score& s, int stave) {
    Slots out;
    for (int i = 1; stave <= s.Nstaves && i <= s.stave(stave).h.Nobjec; ++i)
        out.emplace_back(s.object(stave, i).kind, s.object(stave, i).x);
    return out;
}

// A score that a refused load must leave as it was.
Score Marked() {
    Score s;
    AppendStave(s, 100, 0, 500);
    PlaceObject(s, 1, kClef, 4321, 100);
    return s;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
                           h.Nobjec, h.staveIndex);
}
auto FontFields(const FontDesc& f) {
    return std::make_tuple(f.name, f.size, f.style, f.colour, f.charset);
}

void ExpectSameContent(const Score& want, const Score& got, int fonts = 0, int firstStave = 0) {
    EXPECT_EQ(ScoreFields(got), ScoreFields(want));
    for (int f = 1; f <= fonts; ++f)
        EXPECT_EQ(FontFields(got.fonts[f]), FontFields(want.fonts[f])) << "font " << f;
    for (int s = firstStave; s <= want.Nstaves && s <= got.Nstaves; ++s) {
        StaveHeader wh = want.stave(s).h;
        if (s == 0) wh.Ycoord = 0;
        wh.staveIndex = static_cast<int16_t>(s);
        EXPECT_EQ(HeaderFields(got.stave(s).h), HeaderFields(wh)) << "stave " << s;
        for (int i = 1; i <= wh.Nobjec && i <= got.stave(s).h.Nobjec; ++i) {
            const ScoreObject& w = want.object(s, i);
            const ScoreObject& g = got.object(s, i);
            Bytes kept(w.data.raw,
                       w.data.raw + (w.isNote() ? offsetof(NoteData, headX) : kKept[w.kind]));
            kept.resize(64, 0);
            EXPECT_EQ(
                std::make_tuple(g.x, g.y, g.glyph, g.kind, Bytes(g.data.raw, g.data.raw + 64)),
                std::make_tuple(w.x, w.y, w.glyph, w.kind, kept))
                << "stave " << s << " object " << i;
        }
    }
}

// Every kind the writer stores as is, texts in two fonts, a note, and none of
// the settings at their defaults.
Score RichScore() {
    Score s;
    std::tie(s.Spacing, s.Pulse, s.Tempo, s.Page1, s.temperament, s.proximity, s.staveSize) =
        std::make_tuple(5, 6, 96, 3, 2, 17, 0.25);
    s.naturalsInKeyChange = false;
    s.boxedBarNumbers = s.includeGraceNotes = true;
    s.setBeamAngle(20);
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
    std::tie(a.barNumberPlace, a.PageNum, a.instrumentUp, a.instrumentDown, a.soundTranspose,
             a.barNumber, a.lineCount, a.MinY) = std::make_tuple(3, 2, 40, 41, -3, 1017, 4, -20);
    StaveHeader& b = s.stave(2).h;
    b.invisible = b.cue = b.ForcedBk = true;
    std::tie(b.sizeIndex, b.lineCount, b.barNumberPlace) = std::make_tuple(1, 1, 2);

    for (int k = 0; k <= kMaxKind; ++k) {
        if (k == kCommonTime || k == kNote || HasTextLayout(k)) continue;
        ScoreObject* o = PlaceObject(s, 1, static_cast<Kind>(k), 50 + 10 * k, 190 - k,
                                     static_cast<uint8_t>(k * 7));
        for (int i = 0; i < 64; ++i)
            o->data.raw[i] = static_cast<uint8_t>(0x21 + k + 3 * i);
        if (k == kLine)
            std::tie(o->data.line.dashLength, o->data.line.gapLength) = std::pair(3, 20);
    }
    // Each field's bits are the record codecs' tests' business; here notes must pass through them.
    NoteData& n = PlaceNote(s, 1, 400, -5, 6)->note();
    std::tie(n.dots, n.tieLeft, n.head, n.durMod) = std::make_tuple(3, 255, 14, 63);
    n.rest = n.cueSize = n.headSize = n.beamOnUp = 1;
    PlaceText(s, 1, kText9, 420, 150, 1, "Allegro");
    PlaceText(s, 2, kText, 60, -320, 2, "dolce, with feeling", 0x0F);
    PlaceNote(s, 2, 300, 3, 3);
    return s;
}

// A scratch folder, and a host that fails the test on any prompt not expected.
class ScoreFile : public testing::Test {
  protected:
    void TearDown() override { EXPECT_HOST_CLEAN(host); }
    LoadResult Load(Score& score, const Bytes& bytes, const std::string& name = "in.SWN") {
        WriteBytes(dir.file(name), bytes);
        return LoadScore(score, dir.file(name), false, host);
    }
    TempDir dir;
    ScriptedHost host;
};

TEST_F(ScoreFile, RichScoreSurvivesSaveLoadSaveByteForByte) {
    Score original = RichScore();
    const std::string first = dir.file("first.SWN"), second = dir.file("second.SWN");
    ASSERT_EQ(SaveScore(original, first, 0, 2, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts(), std::vector<std::string>{"Score saved as " + first});
    Score loaded;
    LoadResult r = LoadScore(loaded, first, false, host);
    EXPECT_EQ(std::make_tuple(r.ok, r.badRecords, r.partial, r.fileVersion),
              std::make_tuple(true, 0, false, 501));
    ExpectSameContent(original, loaded, 2);
    EXPECT_NEAR(loaded.beamTangent, std::tan(20 * M_PI / 180), 1e-9);
    ASSERT_EQ(SaveScore(loaded, second, 0, 2, false, false, host), SaveResult::Saved);
    const Bytes f = ReadBytes(first);
    EXPECT_EQ(ReadBytes(second), f);

    // A writer and reader agreeing on a wrong place pass the above, but other programs
    // would misread the file. (Hand-made files below pin down the rest.)
    EXPECT_EQ(RecordAt(f, 0),
              Rec({At{0, 2}, At{1, 'w'}, At{2, 'S'}, At{3, 0x02}, At{4, 'T'}, At{5, 5}, At{6, 6},
                   At{7, 20}, At{8, 501}, At{11, 300}, At{13, 350}, At{17, 96}, At{18, 2},
                   At{19, 0x80 | 17}, At{20, 2}}));
    EXPECT_EQ(RecordAt(f, 1),
              Rec({At{0, 11000}, At{2, 8500}, At{4, 600}, At{6, 400}, At{8, 450}, At{10, 700},
                   At{12, 125}, At{14, 96}, At{16, 3}, At{18, 1}, At{19, 250}, At{21, 1}}));
    EXPECT_EQ(RecordAt(f, 6)[15] & 0x80, 0x80);  // stave 0, after the two font pairs
    EXPECT_EQ(RecordAt(f, 7),
              Rec({At{0, 200}, At{2, 216}, At{4, -20}, At{6, 0x7F},
                   At{7, original.stave(1).h.Nobjec}, At{8, 40}, At{10, 700}, At{12, 40}, At{14, 2},
                   At{15, 4 << 1}, At{16, 0xFD}, At{17, 41}, At{18, 1017}}));
}

// A record keeps only its stave's low byte; runs of empty staves across 256
// must not carry records onto the wrong stave.
TEST_F(ScoreFile, MoreThan256StavesKeepTheHighByteAndEveryObjectItsStave) {
    for (const std::vector<int>& used :
         std::vector<std::vector<int>>{{1, 256, 257, 300}, {10, 301}, {10, 45, 301}}) {
        SCOPED_TRACE(testing::PrintToString(used));
        const int n = used.back();
        Score s;
        for (int i = 1; i <= n; ++i)
            AppendStave(s, 40 * i, 0, 600);
        for (int st : used) {
            PlaceObject(s, st, kClef, st, 0);
            if (st > 255) PlaceObject(s, st, kKeysig, 1000 + st, 0);
        }
        ASSERT_EQ(SaveScore(s, dir.file("big.SWN"), 0, n, false, false, host), SaveResult::Saved);
        const Bytes f = ReadBytes(dir.file("big.SWN"));
        EXPECT_EQ(f[0] | f[15] << 8, n);
        Score loaded;
        LoadResult r = Load(loaded, f);
        EXPECT_EQ(std::make_tuple(r.ok, r.badRecords), std::make_tuple(true, 0));
        ExpectSameContent(s, loaded);
    }
}

// The reader takes a large file a piece at a time, so records fall across
// the pieces; a pipe (with the debug option) is read whole first.
TEST_F(ScoreFile, LargeFilesAndPipesReadAsTheyWereWritten) {
    Score s;
    for (int st = 1; st <= 100; ++st) {
        AppendStave(s, 60 * st, 0, 6000);
        for (int i = 0; i < 200; ++i)
            PlaceNote(s, st, 20 + 25 * i, (st + i) % 11 - 5, 3 + i % 3);
    }
    ASSERT_EQ(SaveScore(s, dir.file("large.SWN"), 0, s.Nstaves, false, false, host),
              SaveResult::Saved);
    const Bytes f = ReadBytes(dir.file("large.SWN"));
    ASSERT_GT(f.size(), 3u << 17);
    Score loaded;
    LoadResult r = Load(loaded, f);
    EXPECT_EQ(std::make_tuple(r.ok, r.badRecords), std::make_tuple(true, 0));
    ExpectSameContent(s, loaded);
    EXPECT_EQ(EncodeScore(loaded, 0, loaded.Nstaves, false, RenumberFonts(loaded), 96),
              std::string(f.begin(), f.end()));

    // Cut after 5000 records, well past the first piece: the rest is missing.
    const Bytes cut(f.begin(), f.begin() + 5000 * kRecordSize);
    host.expectMessage("Error discovered in file data");
    r = Load(loaded, cut);
    EXPECT_EQ(std::make_tuple(r.ok, r.badRecords), std::make_tuple(true, 20000 - (5000 - 103)));

    const std::string fifo = dir.file("pipe.SWN");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { WriteBytes(fifo, f); });
    Score piped;
    piped.debug.acceptAnyFile = true;
    r = LoadScore(piped, fifo, false, host);
    writer.join();
    EXPECT_EQ(std::make_tuple(r.ok, r.badRecords), std::make_tuple(true, 0));
    ExpectSameContent(s, piped);
}

TEST_F(ScoreFile, DamagedRecordsAreCountedReportedOnceAndTakeNoOtherStavesObjects) {
    const auto load = [&](const Bytes& f, const std::string& message, int badRecords) {
        host.expectMessage(message);
        Score score;
        LoadResult r = Load(score, f);
        EXPECT_TRUE(r.ok) << message;
        EXPECT_EQ(r.badRecords, badRecords) << message;
        return score;
    };
    const std::string error = "Error discovered in file data. Please check your score.";
    // Bad: slot 0 (never used), slot 251 (past the last), kind 22 (none such), stave 5.
    Score s =
        load(RawFile({2, 1}, {Obj{1, 1, kClef, 10}, Obj{1, 0, kClef, 666}, Obj{1, 251, kClef, 666},
                              Obj{1, 2, 22, 666}, Obj{1, 2, kKeysig, 12}, Obj{5, 1, kClef, 666},
                              Obj{2, 1, kClef, 20}}),
             error + "\n\n" + dir.file("in.SWN") + ": 4 damaged object records were left out.", 4);
    EXPECT_EQ(SlotsOf(s, 1), (Slots{{kClef, 10}, {kKeysig, 12}}));
    EXPECT_EQ(SlotsOf(s, 2), (Slots{{kClef, 20}}));

    // Slots beyond a stave's count raise it.
    s = load(RawFile({1, 0},
                     {{1, 1, kClef, 11}, {1, 2, kClef, 12}, {1, 3, kClef, 13}, {2, 1, kClef, 21}}),
             "Problem with stave 1 at object 2\nFile is bad.", 0);
    EXPECT_EQ(SlotsOf(s, 1), (Slots{{kClef, 11}, {kClef, 12}, {kClef, 13}}));
    EXPECT_EQ(SlotsOf(s, 2), (Slots{{kClef, 21}}));

    // Stave 1 claims three objects but has two records: the record after them
    // is a later stave's, not stave 1's third.
    for (int later : {2, 257}) {
        std::vector<int> counts(static_cast<std::size_t>(later), 0);
        counts.front() = 3;
        counts.back() = 1;
        s = load(
            RawFile(counts, {{1, 1, kClef, 11}, {1, 2, kKeysig, 12}, {later, 1, kTimesig, 99}}),
            error, 1);
        EXPECT_EQ(SlotsOf(s, 1), (Slots{{kClef, 11}, {kKeysig, 12}, {kNothing, 0}})) << later;
        EXPECT_EQ(SlotsOf(s, later), (Slots{{kTimesig, 99}})) << later;
    }
}

// One stave with a note whose flag bytes mean different things before and after
// version 500; the screen byte (120) differs from ours (96).
Bytes VersionFile(int version) {
    Bytes f = RawFile({1}, {{1, 1, kNote, 50, {0, 0, 0, 1, 0, 0, 0x03, 1, 2}}}, version);
    f[10] = 7;  // first page, where version 500 keeps it
    f[17] = 120;
    f[kRecordSize + 16] = 9;  // first page, where 501 keeps it
    return f;
}

TEST_F(ScoreFile, RefusedFilesLeaveTheScoreAsItWas) {
    const std::string saved = EncodeScore(RichScore(), 0, 2, false, 2, 96);
    const auto cut = [&](int records) {
        return Bytes(saved.begin(), saved.begin() + records * kRecordSize);
    };
    Bytes huge = RawFile({});
    std::tie(huge[0], huge[15]) = std::pair(10001 & 0xFF, 10001 >> 8);
    Bytes foreign(3 * kRecordSize, 0);  // known only by its version byte
    foreign[8] = 200;
    Bytes later = VersionFile(502);
    later[17] = 96;
    const std::string truncated =
        "The file ends before all of its staves and fonts have been read: " + dir.file("in.SWN");
    const std::string notOurs = "Cannot load NoteWorthy files into this program.";
    const auto refused = [&](const Bytes& bytes, const std::string& message,
                             const std::string& name = "in.SWN", Answer answer = Answer::OK) {
        host.expectMessage(message, answer);
        Score score = Marked();
        EXPECT_FALSE(Load(score, bytes, name).ok) << message;
        EXPECT_EQ(std::make_tuple(score.Nstaves, SlotsOf(score, 1)),
                  std::make_tuple(1, Slots{{kClef, 4321}}))
            << message;
    };
    refused(cut(3), truncated);  // inside the fonts
    refused(cut(8), truncated);  // inside the staves
    refused(huge, "The file has 10001 staves");
    refused(RawFile({0}, {}, 299), notOurs, "old.SWN");
    refused(foreign, notOurs, "song.nw");
    refused(later, "saved by a later version of Staffwright 5", "in.SWN", Answer::Cancel);
    refused(Bytes(23, 0), "File has impossible size: " + dir.file("odd.SWN"), "odd.SWN");
}

TEST_F(ScoreFile, OutOfRangeValuesAreReadAsUsableOnes) {
    struct Case {
        int spacing, pulse, playback, staveSize, lines;
        int wantSpacing, wantPulse, wantProximity, wantLines;
        double wantSize;
    };
    const Case cases[] = {{0, 1, 0x7F, 50, 7, 3, 3, 40, 5, 0.1},
                          {6, 8, 0x80 | 41, 1500, 3, 3, 3, 40, 5, 1.0},
                          {1, 2, 40, 100, 1, 1, 2, 40, 1, 0.1},
                          {5, 7, 0x80, 1000, 4, 5, 7, 0, 4, 1.0},
                          {2, 4, 9, 300, 6, 2, 4, 9, 6, 0.3}};
    const Bytes text = {0, 0, 0, 15, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
    const Bytes base = RawFile({4}, {{1, 1, kCommonTime, 0, {7}},
                                     {1, 2, kLine, 0, {0, 0, 0, 0, 0, 0, 2, 21}},
                                     {1, 3, kLine, 0, {0, 0, 0, 0, 0, 0, 3, 20}},
                                     {1, 4, kText9, 0, text}});  // a chunk holds ten at most
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spacing);
        Bytes f = base;
        std::tie(f[5], f[6], f[19]) = std::make_tuple(c.spacing, c.pulse, c.playback);
        PutU16(&f[kRecordSize + 19], c.staveSize);  // tempo and first page are left 0
        PutU16(&f[2 * kRecordSize], 123);           // stave 0 is always at 0
        f[3 * kRecordSize + 15] = static_cast<uint8_t>(c.lines << 1);
        Score score;
        ASSERT_TRUE(Load(score, f).ok);
        EXPECT_EQ(std::make_tuple(score.Spacing, score.Pulse, score.proximity,
                                  score.includeGraceNotes, score.stave(1).h.lineCount),
                  std::make_tuple(c.wantSpacing, c.wantPulse, c.wantProximity,
                                  (c.playback & 0x80) != 0, c.wantLines));
        EXPECT_DOUBLE_EQ(score.staveSize, c.wantSize);
        EXPECT_EQ(std::make_tuple(score.Tempo, score.Page1, score.stave(0).h.Ycoord),
                  std::make_tuple(120, 1, 0));
        const StaveBlock& b = score.stave(1);
        EXPECT_EQ(std::make_tuple(b.obj[1].kind, Bytes(b.obj[1].data.raw, b.obj[1].data.raw + 4)),
                  std::make_tuple(kTimesig, Bytes{4, 4, 0, 0}));
        EXPECT_EQ(std::make_tuple(b.obj[2].data.line.dashLength, b.obj[2].data.line.gapLength,
                                  b.obj[3].data.line.dashLength, b.obj[3].data.line.gapLength),
                  std::make_tuple(5, 5, 3, 20));
        EXPECT_EQ(std::make_tuple(b.obj[4].text().chunkLength, b.obj[4].chunk()),
                  std::make_tuple(10, "abcdefghij"));
    }
}

TEST_F(ScoreFile, EachVersionIsReadByItsOwnRules) {
    for (int version : {300, 301, 302, 303, 499, 500, 501, 502}) {
        SCOPED_TRACE(version);
        if (version >= 303)
            host.expectMessage("modify the sizes of all the text fonts", Answer::No);
        if (version > 501) host.expectMessage("saved by a later version", Answer::OK);
        Score score;
        LoadResult r = Load(score, VersionFile(version));
        ASSERT_EQ(std::make_tuple(r.ok, r.fileVersion, r.badRecords),
                  std::make_tuple(true, version, 0));
        EXPECT_EQ(score.Page1, version == 500 ? 7 : (version >= 501 ? 9 : 1));
        EXPECT_EQ(std::make_tuple(score.stave(0).h.invisible, score.stave(0).h.Nobjec),
                  std::make_tuple(true, 0));
        ASSERT_EQ(score.stave(1).h.Nobjec, 1);
        const NoteData& n = score.object(1, 1).note();
        EXPECT_EQ(
            std::vector<int>({n.rest, n.headSize, n.cueSize, n.emphasis, n.staccato, n.beamBackUp}),
            version < 500 ? std::vector<int>({1, 0, 0, 1, 2, 0})
                          : std::vector<int>({1, 1, 1, 0, 1, 1}));
    }
}

TEST_F(ScoreFile, LongFontNamesAreCutTo32AndSizesFollowTheScreen) {
    const std::string name25 = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    const std::string name40 = "abcdefghijklmnopqrstuvwxyz0123456789!@#$";
    Score s;
    AppendStave(s, 100, 0, 500);
    s.fonts[3] = {name25, 12, kBold, 0x0000FF, 0};
    s.fonts[7] = {name40, 9, 0, 0, 1};
    PlaceText(s, 1, kText, 10, 50, 7, "seven");
    PlaceText(s, 1, kText, 20, 50, 3, "three");
    const std::string path = dir.file("fonts.SWN");
    ASSERT_EQ(SaveScore(s, path, 0, 1, false, false, host, FileEnv{120}), SaveResult::Saved);
    Bytes f = ReadBytes(path);

    struct Case {
        const char* why;
        std::optional<Answer> question;
        bool asTemplate;
        int screenByte, size1, size2;
    };
    for (const Case& c : {Case{"rescaled", Answer::Yes, false, 120, 15, 11},
                          Case{"declined", Answer::No, false, 120, 12, 9},
                          Case{"template", std::nullopt, true, 120, 12, 9},
                          Case{"unknown screen", std::nullopt, false, 0, 12, 9}}) {
        SCOPED_TRACE(c.why);
        f[17] = static_cast<uint8_t>(c.screenByte);
        WriteBytes(path, f);
        if (c.question) host.expectMessage("modify the sizes of all the text fonts", *c.question);
        Score loaded;
        ASSERT_TRUE(LoadScore(loaded, path, c.asTemplate, host).ok);
        // Only fonts in use are saved: 3 and 7 become 1 and 2.
        EXPECT_EQ(FontFields(loaded.fonts[1]), std::make_tuple(name25, c.size1, kBold, 0xFF, 0));
        EXPECT_EQ(FontFields(loaded.fonts[2]),
                  std::make_tuple(name40.substr(0, 32), c.size2, 0, 0, 1));
        EXPECT_EQ(std::make_tuple(loaded.object(1, 1).text().fontNumber,
                                  loaded.object(1, 2).text().fontNumber),
                  std::make_tuple(2, 1));
    }
}

// Four staves of clefs and key signatures, with a title on stave 0.
Score FourStaves() {
    Score s;
    s.fonts[1] = {"Arial", 14, 0, 0, 0};
    PlaceText(s, 0, kHeadertext, 100, 20, 1, "Title");
    for (int i = 1; i <= 4; ++i) {
        AppendStave(s, 100 * i, 40, 700);
        PlaceObject(s, i, kClef, 10 * i, 100 * i);
        PlaceObject(s, i, kKeysig, 70, 100 * i)->data.keysig.key = static_cast<int8_t>(-i);
    }
    return s;
}

TEST_F(ScoreFile, PartialFileStavesAreRenumberedFromOne) {
    Score s = FourStaves();
    const std::string path = dir.file("Part.SWN");
    ASSERT_EQ(SaveScore(s, path, 2, 3, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts().back(), "Staves 2-3 saved as " + path);
    EXPECT_EQ(ReadBytes(path)[3] & 0xC0, 0x80);
    Score part;
    LoadResult r = LoadScore(part, path, false, host);
    EXPECT_EQ(std::make_tuple(r.ok, r.partial, r.isTemplate), std::make_tuple(true, true, false));
    ASSERT_EQ(part.Nstaves, 2);
    EXPECT_EQ(part.stave(0).h.Nobjec, 0);
    EXPECT_EQ(std::make_tuple(part.stave(1).h.Ycoord, part.stave(2).h.Ycoord),
              std::make_tuple(200, 300));
    EXPECT_EQ(SlotsOf(part, 1), (Slots{{kClef, 20}, {kKeysig, 70}}));
    EXPECT_EQ(SlotsOf(part, 2), (Slots{{kClef, 30}, {kKeysig, 70}}));

    ASSERT_EQ(SaveScore(s, path, 4, 4, false, true, host), SaveResult::Saved);
    EXPECT_EQ(host.progressTexts().back(), "Stave 4 saved as " + path);
}

TEST_F(ScoreFile, TemplateHoldsStavesOneToFourAndADescriptionOfOneToThreeRecords) {
    struct Case {
        std::size_t length;
        int bits, records;
    };
    for (Case c : {Case{0, 0x20, 1}, Case{21, 0x20, 1}, Case{22, 0x10, 2}, Case{63, 0x30, 3},
                   Case{100, 0x30, 3}}) {
        SCOPED_TRACE(c.length);
        std::string text;
        for (std::size_t i = 0; i < c.length; ++i)
            text += static_cast<char>('a' + i % 26);
        Score s = FourStaves();
        const std::string path = dir.file("T.SWT");
        ASSERT_EQ(SaveScore(s, path, 1, 4, true, true, host, {},
                            [&] { return std::optional<std::string>(text); }),
                  SaveResult::Saved);
        EXPECT_EQ(host.progressTexts().back(), "Template saved as T.SWT");
        const Bytes f = ReadBytes(path);
        EXPECT_EQ(f[3] & 0xF0, 0x80 | 0x40 | c.bits);
        EXPECT_EQ(RecordAt(f, 2 + c.records)[0], 1);  // other programs expect font 1 next
        // Four stave records and eight objects: nothing of stave 0.
        EXPECT_EQ(f.size(), static_cast<std::size_t>((2 + c.records + 2 + 4 + 8) * kRecordSize));

        Score t;  // our screen differs, but a template's fonts are never rescaled
        LoadResult r = LoadScore(t, path, true, host, FileEnv{120});
        EXPECT_EQ(std::make_tuple(r.ok, r.partial, r.isTemplate),
                  std::make_tuple(true, true, true));
        EXPECT_EQ(t.description, c.length == 0 ? " " : text.substr(0, kMaxDescription));
        EXPECT_EQ(t.stave(0).h.Nobjec, 0);
        ExpectSameContent(s, t, 1, 1);
    }
}

TEST_F(ScoreFile, AbortedOrCancelledTemplateWritesNothing) {
    Score s = FourStaves();
    PlaceNote(s, 2, 300, 0, 3);
    const std::string path = dir.file("Song.SWT");
    // Any prompt for a description after Abort would be one the host did not expect.
    auto ask = [&] { return AskTemplateDescription(host, kMaxDescription); };
    const std::string question = "more than simply staves, clefs and key signatures";
    host.expectMessage(question, Answer::Abort);
    EXPECT_EQ(SaveScore(s, path, 1, 4, true, true, host, {}, ask), SaveResult::Abandoned);
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
    Score t;
    ASSERT_TRUE(LoadScore(t, path, true, host).ok);
    EXPECT_EQ(t.description, "Song");
}

TEST_F(ScoreFile, FailedSaveKeepsTheOldFileAndSaysWhy) {
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

    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const Bytes before = ReadBytes(path);
    ::chmod(dir.path().c_str(), 0555);
    host.expectMessage("Access denied.\nPerhaps the file is marked readonly?");
    PlaceObject(s, 1, kKeysig, 10, 100);
    EXPECT_EQ(SaveScore(s, path, 0, 1, false, true, host), SaveResult::Failed);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>({"Score.SWN", "folder.SWN"}));
}

TEST(PreCheck, CodesForMissingDirectoryEmptyOddSizedAndForeignFiles) {
    TempDir dir;
    Bytes nw(kRecordSize, 0);
    nw[8] = 200;
    WriteBytes(dir.file("empty.SWN"), {});
    WriteBytes(dir.file("odd.SWN"), Bytes(23, 0));
    WriteBytes(dir.file("foreign.SWN"), Bytes(2 * kRecordSize, 'x'));
    WriteBytes(dir.file("good.SWN"), RawFile({0}));
    WriteBytes(dir.file("old.nw"), nw);
    WriteBytes(dir.file("old.SWN"), nw);
    const std::pair<const char*, int> codes[] = {
        {"missing.SWN", 1}, {"nowhere/x.SWN", 1}, {"", 2},       {"empty.SWN", 3}, {"odd.SWN", 4},
        {"foreign.SWN", 6}, {"good.SWN", 0},      {"old.nw", 0}, {"old.SWN", 6}};
    for (const auto& [name, code] : codes)
        EXPECT_EQ(PreCheckFile(dir.file(name), false), code) << name;
    EXPECT_EQ(PreCheckFile(dir.file("missing.SWN"), true), 0);
    EXPECT_EQ(PreCheckMessage(1, "/x/a.SWN"), "File cannot be found: /x/a.SWN");
    EXPECT_EQ(PreCheckMessage(4, "/x/odd.SWN"), "File has impossible size: /x/odd.SWN");

    if (::geteuid() == 0) GTEST_SKIP() << "root reads files without read permission";
    ::chmod(dir.file("good.SWN").c_str(), 0);
    EXPECT_EQ(PreCheckFile(dir.file("good.SWN"), false), 7);
}

// The save dialog writes ".swn": the program's own files in any letter case
// keep their previous version, named in the same case.
TEST(BackupBeforeSave, AnExistingScoreOfAnyCaseIsKeptOnlyWhenSwitchedOn) {
    TempDir dir;
    const std::string song = dir.file("Song.SWN"), tune = dir.file("tune.swn");
    EXPECT_EQ(BackupName(song), dir.path() + "/Backup of Song.SWB");
    EXPECT_EQ(BackupName(tune), dir.path() + "/Backup of tune.swb");
    WriteBytes(tune, {4, 5, 6});
    WriteBytes(song, {1, 2, 3});
    WriteBytes(dir.file("notes.txt"), {7});
    EXPECT_FALSE(BackupBeforeSave(song, FileEnv{96, false}));
    EXPECT_FALSE(BackupBeforeSave(dir.file("New.SWN"), FileEnv{}));
    EXPECT_FALSE(BackupBeforeSave(dir.file("notes.txt"), FileEnv{}));
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>({"Song.SWN", "notes.txt", "tune.swn"}));

    WriteBytes(BackupName(song), {9});  // an older backup gives way
    EXPECT_TRUE(BackupBeforeSave(song, FileEnv{}));
    EXPECT_EQ(ReadBytes(BackupName(song)), Bytes({1, 2, 3}));
    EXPECT_FALSE(fs::exists(song));
    EXPECT_TRUE(BackupBeforeSave(tune, FileEnv{}));
    EXPECT_EQ(ReadBytes(dir.file("Backup of tune.swb")), Bytes({4, 5, 6}));
    WriteBytes(dir.file("Mixed.SwN"), {8});
    EXPECT_TRUE(BackupBeforeSave(dir.file("Mixed.SwN"), FileEnv{}));
    EXPECT_TRUE(fs::exists(dir.file("Backup of Mixed.swb")));
}

TEST_F(ScoreFile, ANameWithoutOrWithAnotherCaseOfExtensionFindsTheScore) {
    Score original = RichScore();
    const std::string lower = dir.file("waltz.swn");
    ASSERT_EQ(SaveScore(original, lower, 0, 2, false, false, host), SaveResult::Saved);
    EXPECT_EQ(ResolveScoreFile(dir.file("waltz")), lower);
    EXPECT_EQ(ResolveScoreFile(dir.file("waltz.SWN")), lower);
    EXPECT_EQ(ResolveScoreFile(dir.file("polka.SWN")), dir.file("polka.SWN"));
    for (const char* name : {"waltz", "waltz.SWN", "waltz.swn"}) {
        Score loaded;
        EXPECT_TRUE(LoadScore(loaded, dir.file(name), false, host).ok) << name;
        EXPECT_EQ(loaded.Nstaves, original.Nstaves) << name;
    }
    host.expectMessage("File cannot be found: " + dir.file("polka"));
    Score none;
    EXPECT_FALSE(LoadScore(none, dir.file("polka"), false, host).ok);
}

}  // namespace
}  // namespace sw
