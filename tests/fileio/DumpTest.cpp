// The file dump and the note attribute report, on sound files and on damaged,
// truncated ones.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/Report.h"
#include "core/ScriptedHost.h"
#include "fileio/Dump.h"
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
using Bytes = std::vector<uint8_t>;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// The line after the first line equal to `heading`.
std::string After(const std::vector<std::string>& lines, const std::string& heading) {
    for (std::size_t k = 0; k + 1 < lines.size(); ++k)
        if (lines[k] == heading) return lines[k + 1];
    return "<no " + heading + ">";
}

int CountStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    int n = 0;
    for (const std::string& l : lines)
        n += l.rfind(prefix, 0) == 0;
    return n;
}

// One stave with a clef and a note, one font, saved as version `version`.
Bytes SmallFile(int version = 501) {
    Score score;
    AppendStave(score, 200, 10, 900);
    score.fonts[1].name = "A font name of twenty-five";
    score.fonts[1].size = 14;
    score.fonts[1].colour = 0x00FF0080;
    score.fontsInUse.set(1);
    PlaceText(score, 0, kHeadertext, 30, 20, 1, "Top");
    PlaceObject(score, 1, kClef, 20, 200, 0);
    PlaceNote(score, 1, 100, 2, 3);
    std::string b = EncodeScore(score, 0, score.Nstaves, false, 1, 96);
    Bytes out(b.begin(), b.end());
    PutU16(out.data() + 8, static_cast<uint32_t>(version));
    return out;
}

constexpr const char* kHeaderHeading =
    "Nstaves Flags Spacing Pulse Beamang FileVer Header Footer Nhead Nfoot Page1 NumFonts";
constexpr const char* kStaveHeading =
    "Stave data: Ycoord  MinY  MaxY CFlag Nobjec LeftX RightX Sysdown ForcedBk PageNum";

TEST(Dump, EveryRecordInHexWithTheKnownOnesDecoded) {
    Bytes f = SmallFile();
    auto lines = Lines(DumpScoreBytes("/tmp/x.swn", f.data(), f.size()));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Dump of file: /tmp/x.swn");
    EXPECT_EQ(lines[1], "============");
    EXPECT_EQ(lines[2], "");
    // Header, page, two font records, two staves, three objects.
    EXPECT_EQ(CountStarting(lines, "Record"), 9);
    EXPECT_EQ(lines[3],
              "Record   0: 01 77 53 01 54 03 03 0A F5 01 00 00 00 00 00 00 00 60 00 05 01 00");
    EXPECT_EQ(Words(After(lines, kHeaderHeading)),
              (std::vector<std::string>{"1", "$01", "3", "3", "10", "501", "0", "0", "0", "96", "0",
                                        "1"}));
    std::string page = After(
        lines,
        "Page size data: Length Width  TopM RightM LeftM  BotM   GutM   Tempo  StvSiz Facing");
    EXPECT_EQ(Words(page), (std::vector<std::string>{"11690", "8270", "500", "500", "500", "500",
                                                     "0", "120", "300", "0"}));
    // Each value ends under the end of its heading word.
    EXPECT_EQ(page.find("11690") + 5, std::string("Page size data: Length").size());
    std::string font = After(lines, "Font num -----font name------ ------------ Size Style Colour");
    EXPECT_EQ(Words(font), (std::vector<std::string>{"1", "A", "font", "name", "of", "twent",
                                                     "y-five", "14", "0", "$00FF0080"}));
    EXPECT_EQ(CountStarting(lines, "Stv "), 2);
    int stv1 = -1;
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (lines[k].rfind("Stv 1:", 0) == 0) stv1 = static_cast<int>(k);
    ASSERT_GT(stv1, 0);
    EXPECT_EQ(lines[static_cast<std::size_t>(stv1) - 1], kStaveHeading);
    EXPECT_EQ(Words(lines[static_cast<std::size_t>(stv1)]),
              (std::vector<std::string>{"Stv", "1:", "200", "184", "216", "$00", "2", "10", "900",
                                        "0", "0", "0"}));
    EXPECT_EQ(After(lines, "Object data:").substr(0, 20), "            00 01 02");
    EXPECT_EQ(Words(After(lines, "Object data:")).back(), "15");
    EXPECT_EQ(lines.back().substr(0, 17), "Record   8: 01 02");
}

TEST(Dump, DamagedTruncatedFileIsListedAsFarAsItGoes) {
    Bytes f = SmallFile();
    // Claims 5000 staves and 60000 fonts, and ends inside its tenth record.
    f[0] = 5000 & 0xFF;
    f[15] = 5000 >> 8;
    PutU16(f.data() + 20, 60000);
    f.resize(9 * kRecordSize + 7);
    auto lines = Lines(DumpScoreBytes("cut.swn", f.data(), f.size()));
    EXPECT_EQ(CountStarting(lines, "Record"), 10);
    EXPECT_EQ(Words(After(lines, kHeaderHeading))[0], "5000");
    EXPECT_EQ(lines.back().size(), std::string("Record   9:").size() + 3 * 7);
    EXPECT_EQ(CountStarting(lines, "Font num"), 3);  // the pairs that are there
    EXPECT_EQ(CountStarting(lines, "Stv "), 0);

    // Only the header, cut short.
    auto header = Lines(DumpScoreBytes("h", f.data(), 10));
    EXPECT_EQ(header.size(), 4u);
    EXPECT_EQ(DumpScoreBytes("empty", nullptr, 0), "Dump of file: empty\n============\n\n");
}

TEST(Dump, FilesBeforeVersion300AreNotDecoded) {
    Bytes f = SmallFile(200);
    auto lines = Lines(DumpScoreBytes("old.nw", f.data(), f.size()));
    EXPECT_EQ(CountStarting(lines, "Record"), 9);
    EXPECT_EQ(lines.size(), 12u);
}

TEST(Dump, CommandAsksForBothFilesAndWritesTheDump) {
    TempDir dir;
    const std::string score = dir.file("tune.swn"), dump = dir.file("tune.DMP");
    Bytes f = SmallFile();
    WriteBytes(score, f);
    EXPECT_EQ(DumpFileName(score), dir.file("tune.DMP"));

    ScriptedHost host;
    host.expectOpenFile(score).expectSaveFile(dump);
    EXPECT_TRUE(RunDumpCommand(host, FileDialogSpec{}));
    Bytes text = ReadBytes(dump);
    EXPECT_EQ(std::string(text.begin(), text.end()), DumpScoreBytes(score, f.data(), f.size()));

    host.expectOpenFile(score).expectSaveFile(std::nullopt);
    EXPECT_FALSE(RunDumpCommand(host, FileDialogSpec{}));
    host.expectOpenFile(dir.file("missing.swn"))
        .expectSaveFile(dump)
        .expectMessage("could not be read");
    EXPECT_FALSE(RunDumpCommand(host, FileDialogSpec{}));
    host.expectMessage("dump file could not be written");
    EXPECT_FALSE(DumpScoreFile(score, dir.file("no/such/dir.DMP"), host));
    EXPECT_HOST_CLEAN(host);
}

TEST(NoteReport, EveryFieldOfTheNote) {
    Score score;
    AppendStave(score, 200, 0, 900);
    PlaceObject(score, 1, kClef, 20, 200, 0);
    NoteData& n = PlaceNote(score, 1, 100, 2, 4, 1)->note();
    n.dots = 1, n.beamOnTo = 3, n.beamOnDown = 1, n.staccato = 3, n.emphasis = 5;
    n.tieRight = 255, n.tieOver = 1, n.head = 6, n.tremuloBars = 2, n.beamStem2 = 1;
    n.durMod = 3, n.durMod2 = 2, n.headSize = 5, n.lengthIncr = 4, n.noShorten = 1;
    n.stemStartX = 104, n.stemStartY = 192, n.stemEndX = 104, n.stemEndY = 220, n.validated = 1;
    EXPECT_EQ(NoteAttributeLines(score, 1, 2, false),
              (std::vector<std::string>{"Stv 1 obj 2",
                                        "Position=(100,192)",
                                        "Quaver   pitch 2  dots:1",
                                        "Stem down",
                                        "Rest=False",
                                        "Size Acciacc",
                                        "Cue size=False",
                                        "Length incr=4 noshorten=Yes",
                                        "Beam back to: 0   Up=F Down=F",
                                        "Beam on to: 3   Up=F Down=T",
                                        "Single beam=False   Flat=False",
                                        "Stacc = . Tail",
                                        "Emphasis=> Ttail",
                                        "Tie left = 0   right=255 over=True",
                                        "Head=Circle",
                                        "Tremulobars = 2 Beam/stem: F/T",
                                        "Dur mod = 3/2",
                                        "",
                                        "Showtail=False",
                                        "Stemstart=(104,192)",
                                        "Stemend  =(104,220)",
                                        "Validated=True"}));

    TextReport report;
    ScriptedHost host;
    EXPECT_TRUE(ShowNoteAttributes(score, 1, 2, true, host, report));
    EXPECT_EQ(report.caption(), "Note attributes");
    EXPECT_EQ(report.lines()[2], "Eighth note   pitch 2  dots:1");
    EXPECT_EQ(report.shown(), 1);
    host.expectMessage("Not yet implemented.");
    EXPECT_FALSE(ShowNoteAttributes(score, 1, 1, false, host, report));
    EXPECT_EQ(report.shown(), 1);
    EXPECT_HOST_CLEAN(host);
}

TEST(NoteReport, DamagedOlderFileReportsAndListsItsNotes) {
    TempDir dir;
    Bytes f = SmallFile(400);
    const std::size_t note = f.size() - kRecordSize;  // the last record
    f[note + 8] = 200;                                // no such note value
    f[note + 8 + 3] = 2;                              // no stem
    f[note + 8 + 12] = 77;                            // no such head
    // The stave promises one object more than the file holds.
    const std::size_t stave1 = 2 + 2 + 1;
    f[stave1 * kRecordSize + 7] = 3;
    const std::string path = dir.file("damaged.swn");
    WriteBytes(path, f);

    ScriptedHost host;
    host.expectMessage("Error discovered in file data");
    Score score;
    ASSERT_TRUE(LoadScore(score, path, false, host).ok);
    TextReport report;
    ConvertResult r = ConvertOlderFormat(score, false, host, report);
    EXPECT_HOST_CLEAN(host);
    EXPECT_EQ(r.duplicates, 0);
    EXPECT_EQ(report.text(), "0 duplicated objects found.\n");
    ASSERT_EQ(score.stave(1).h.Nobjec, 2);
    auto lines = NoteAttributeLines(score, 1, 2, false);
    EXPECT_EQ(lines[2], "???   pitch 2  dots:0");
    EXPECT_EQ(lines[14], "Head=???");

    auto dump = Lines(DumpScoreBytes(path, f.data(), f.size()));
    EXPECT_EQ(CountStarting(dump, "Record"), 9);
    EXPECT_EQ(Words(After(dump, kHeaderHeading))[5], "400");
}

}  // namespace
}  // namespace sw
