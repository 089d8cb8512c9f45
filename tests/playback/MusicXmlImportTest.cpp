// MusicXML import: the examples and the gallery exported and imported again
// keep their notes and texts; a hand-written file of every feature comes in
// as the page model holds it; damaged, hostile and absurd files are refused
// with one message naming the place.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "core/ScriptedHost.h"
#include "core/Zip.h"
#include "layout/Gallery.h"
#include "layout/OpenScore.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "platform/MusicXmlReader.h"
#include "playback/MusicXml.h"
#include "render/Text.h"
#include "support/EditorFixture.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

constexpr int kPitchClass[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G

// A sounding note of one part: onset and length in crotchets, MIDI key.
struct Sounded {
    std::size_t part;
    double onset, length;
    int key;
    auto operator<=>(const Sounded&) const = default;
};

struct Picture {
    std::vector<Sounded> notes;
    std::vector<std::string> texts;        // title, composer, words and lyrics
    std::vector<std::optional<int>> keys;  // each measure's key change, signature-only bars too
};

Picture PictureOf(const std::string& xml) {
    const MusicXmlRead read = ReadMusicXml(xml);
    EXPECT_TRUE(read.ok) << read.error;
    Picture out;
    const mxl::Document& d = read.doc;
    out.texts = {d.title, d.composer};
    double start = 0;
    for (std::size_t m = 0; m < d.measures.size(); ++m) {
        out.keys.emplace_back();
        for (const mxl::Attributes& a : d.parts.front().measures[m].attributes)
            if (a.key) out.keys.back() = a.key;
        for (std::size_t p = 0; p < d.parts.size(); ++p)
            for (const mxl::Note& n : d.parts[p].measures[m].notes) {
                for (const mxl::Lyric& l : n.lyrics)
                    out.texts.push_back(l.text);
                if (n.rest || n.grace) continue;
                const int key = (n.octave + 1) * 12 + kPitchClass[n.step - 'A'] + n.alter;
                out.notes.push_back({p, start + static_cast<double>(n.pos) / d.divisions,
                                     static_cast<double>(n.duration) / d.divisions, key});
            }
        for (const mxl::Part& part : d.parts)
            for (const mxl::Direction& dir : part.measures[m].directions)
                if (dir.kind == mxl::Direction::Words) out.texts.push_back(dir.text);
        start += static_cast<double>(d.measures[m].length) / d.divisions;
    }
    std::sort(out.notes.begin(), out.notes.end());
    std::sort(out.texts.begin(), out.texts.end());
    return out;
}

std::string Export(const Score& score) {
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    return ExportMusicXml(score, host, measurer).xml;
}

ImportOutcome Import(const std::string& xml, Score& score) {
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    const MusicXmlRead read = ReadMusicXml(xml);
    if (!read.ok) return ImportOutcome{false, read.error, {}};
    return BuildImportedScore(read.doc, {}, score, host, measurer);
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectRoundTrip(const Score& original, const std::string& what) {
    const std::string first = Export(original);
    auto imported = std::make_unique<Score>();
    const ImportOutcome outcome = Import(first, *imported);
    ASSERT_TRUE(outcome.ok) << what << ": " << outcome.error;
    const Picture a = PictureOf(first), b = PictureOf(Export(*imported));
    ASSERT_FALSE(a.notes.empty()) << what;
    EXPECT_EQ(a.texts, b.texts) << what;
    EXPECT_EQ(a.keys, b.keys) << what;
    ASSERT_EQ(a.notes.size(), b.notes.size()) << what;
    for (std::size_t i = 0; i < a.notes.size(); ++i) {
        EXPECT_EQ(a.notes[i].part, b.notes[i].part) << what << " note " << i;
        EXPECT_NEAR(a.notes[i].onset, b.notes[i].onset, 1e-6) << what << " note " << i;
        EXPECT_NEAR(a.notes[i].length, b.notes[i].length, 1e-6) << what << " note " << i;
        EXPECT_EQ(a.notes[i].key, b.notes[i].key) << what << " note " << i;
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(MusicXmlImport, ExamplesAndTheGalleryComeBackWithTheirNotesAndTexts) {
    for (const char* name : {"minuet", "twinkle", "ode-satb"}) {
        auto score = std::make_unique<Score>();
        ScriptedHost host;
        host.setPermissive(true);
        QtTextMeasurer measurer;
        ASSERT_TRUE(OpenForDisplay(*score,
                                   std::string(STAFFWRIGHT_SOURCE_DIR "/examples/") + name + ".swn",
                                   host, measurer)
                        .load.ok);
        ExpectRoundTrip(*score, name);
    }
    Score gallery = BuildGalleryScore();
    for (int s = 1; s <= gallery.Nstaves; ++s)
        LayOutStaveGeometry(gallery, s);
    ExpectRoundTrip(gallery, "gallery");
}

// The objects of one kind on stave s, in x order.
std::vector<const ScoreObject*> Objects(const Score& score, int s, int kind) {
    std::vector<const ScoreObject*> out;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.count(); ++i)
        if (b.obj[i].kind == kind) out.push_back(&b.obj[i]);
    std::stable_sort(out.begin(), out.end(),
                     [](const ScoreObject* a, const ScoreObject* c) { return a->x < c->x; });
    return out;
}

TEST(MusicXmlImport, AHandWrittenFileComesInAsThePageModelHoldsIt) {
    auto score = std::make_unique<Score>();
    const ImportOutcome r = Import(
        Slurp(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/features.musicxml"), *score);
    ASSERT_TRUE(r.ok) << r.error;
    // Violin and the piano's two staves, twice: new-system starts measure 3.
    ASSERT_EQ(score->Nstaves, 6);
    EXPECT_TRUE(score->stave(1).h.withBracket);
    EXPECT_TRUE(score->stave(2).h.withBrace);
    EXPECT_EQ(score->stave(1).h.instrumentUp, 41);
    EXPECT_EQ(score->Tempo, 132);
    EXPECT_NEAR(score->staveSize, 7 / 25.4, 1e-6);

    // Violin, key of three flats: the written natural, none on the E that
    // repeats it, none on the tied-on A flat or the grace note's B flat; the
    // triplet's E needs its natural again in the second bar.
    const auto accidentals = Objects(*score, 1, kAccidental);
    ASSERT_EQ(accidentals.size(), 2u);
    EXPECT_EQ(accidentals[0]->data.accidental.accidental, 0);
    EXPECT_EQ(accidentals[1]->data.accidental.accidental, 0);
    const auto notes = Objects(*score, 1, kNote);
    ASSERT_EQ(notes.size(), 12u);
    EXPECT_EQ(notes[0]->note().stem, 1);
    EXPECT_EQ(notes[0]->note().staccato, 1);
    EXPECT_EQ(notes[3]->note().dots, 1);
    EXPECT_EQ(notes[3]->note().emphasis, 2);
    // The tie joins the last note of bar 1 to the first of bar 2.
    const StaveBlock& violin = score->stave(1);
    const NoteData& tied = notes[4]->note();
    ASSERT_TRUE(violin.validIndex(tied.tieRight));
    EXPECT_EQ(&violin.obj[tied.tieRight], notes[5]);
    EXPECT_EQ(notes[6]->note().headSize, 5);  // slashed grace note
    EXPECT_EQ(notes[8]->note().durMod, 3);
    EXPECT_EQ(notes[8]->note().durMod2, 2);
    // Beams as written: the two quavers, the three triplet quavers.
    EXPECT_EQ(&violin.obj[notes[1]->note().beamOnTo], notes[2]);
    EXPECT_EQ(&violin.obj[notes[9]->note().beamBackTo], notes[8]);
    EXPECT_EQ(&violin.obj[notes[10]->note().beamBackTo], notes[9]);
    EXPECT_EQ(notes[11]->note().beamBackTo, 0);

    // Piano right hand: a three-note chord with stems up against a second
    // voice's semibreve, stem down; the whole-bar rest of bar 2 is a semibreve.
    const auto right = Objects(*score, 2, kNote);
    ASSERT_GE(right.size(), 5u);
    int up = 0, down = 0;
    for (const ScoreObject* n : right)
        if (!n->note().rest) (n->note().stem == 0 ? up : down)++;
    EXPECT_EQ(up, 3);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(right.back()->note().noteValue, 1);
    EXPECT_TRUE(right.back()->note().rest);
    // Left hand: E natural twice in bar 1 takes one sign; the octave treble
    // clef of bar 2 is small and marked.
    EXPECT_EQ(Objects(*score, 3, kAccidental).size(), 2u);
    const auto clefs = Objects(*score, 3, kClef);
    ASSERT_EQ(clefs.size(), 2u);
    EXPECT_EQ(clefs[1]->data.clef.type, 0);
    EXPECT_TRUE(clefs[1]->data.clef.small);
    EXPECT_TRUE(clefs[1]->data.clef.octaveDown);
    // Bar lines on the top staves: plain, end repeat, final.
    const auto bars = Objects(*score, 1, kBarline);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[1]->data.barline.style, 3);
    EXPECT_EQ(Objects(*score, 4, kBarline).back()->data.barline.style, 5);
    // Texts: title, composer, tempo words, lyrics with the hyphen between.
    std::vector<std::string> texts;
    for (int s = 1; s <= score->Nstaves; ++s)
        for (int i = 1; i <= score->stave(s).count(); ++i)
            if (score->stave(s).obj[i].kind == kText &&
                !(score->stave(s).obj[i].text().textFlags & kTextContinuation))
                texts.push_back(ChainText(score->stave(s), i));
    for (const char* t : {"Feature Sampler", "A. Tester", "Allegro", "Hal", "-", "lo", "3"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), t), texts.end()) << t;
    EXPECT_EQ(Objects(*score, 1, kHairpin).size(), 1u);
    EXPECT_EQ(Objects(*score, 1, kCurve).size(), 3u);  // the slur's three points
}

// A one-part document of the given measure bodies, two divisions a crotchet.
std::string OnePart(const std::vector<std::string>& measures) {
    std::string xml =
        "<score-partwise><part-list><score-part id=\"P1\"><part-name>A</part-name>"
        "</score-part></part-list><part id=\"P1\">";
    for (std::size_t m = 0; m < measures.size(); ++m)
        xml += "<measure number=\"" + std::to_string(m + 1) + "\">" +
               (m == 0 ? "<attributes><divisions>2</divisions></attributes>" : "") + measures[m] +
               "</measure>";
    return xml + "</part></score-partwise>";
}

std::string Quaver(char step, const std::string& more = "") {
    return std::string("<note><pitch><step>") + step +
           "</step><octave>5</octave></pitch><duration>1</duration><type>eighth</type>" + more +
           "</note>";
}

// The notes of stave s in x order, each as the index of the note it beams on
// to among them (-1 for none).
std::vector<int> BeamsOn(const Score& score, int s) {
    const auto notes = Objects(score, s, kNote);
    std::vector<int> out;
    for (const ScoreObject* n : notes) {
        const int to = n->note().beamOnTo;
        const auto it = std::find_if(notes.begin(), notes.end(), [&](const ScoreObject* o) {
            return to && o == &score.stave(s).obj[to];
        });
        out.push_back(it == notes.end() ? -1 : static_cast<int>(it - notes.begin()));
    }
    return out;
}

TEST(MusicXmlImport, WithoutWrittenBeamsQuaversAreBeamedByTheBeat) {
    const std::string rest = "<note><rest/><duration>1</duration><type>eighth</type></note>";
    const std::string crotchet =
        "<note><pitch><step>C</step><octave>5</octave></pitch><duration>2</duration>"
        "<type>quarter</type></note>";
    // 6/8 in two dotted beats; 2/4 by crotchets, a rest and a crotchet breaking groups.
    const std::string xml = OnePart(
        {"<attributes><time><beats>6</beats><beat-type>8</beat-type></time></attributes>" +
             Quaver('C') + Quaver('D') + Quaver('E') + Quaver('F') + Quaver('G') + Quaver('A'),
         "<attributes><time><beats>2</beats><beat-type>4</beat-type></time></attributes>" +
             Quaver('C') + Quaver('D') + rest + Quaver('E'),
         crotchet + Quaver('C') + Quaver('D')});
    auto score = std::make_unique<Score>();
    ASSERT_TRUE(Import(xml, *score).ok);
    EXPECT_EQ(BeamsOn(*score, 1),
              (std::vector<int>{1, 2, -1, 4, 5, -1, 7, -1, -1, -1, -1, 12, -1}));
    // A file that writes beams is taken as written: the unbeamed quavers stay apart.
    const std::string written =
        OnePart({Quaver('C', "<beam number=\"1\">begin</beam>") +
                 Quaver('D', "<beam number=\"1\">end</beam>") + Quaver('E') + Quaver('F')});
    ASSERT_TRUE(Import(written, *score).ok);
    EXPECT_EQ(BeamsOn(*score, 1), (std::vector<int>{1, -1, -1, -1}));
}

TEST(MusicXmlImport, EndingsSlursAndHairpinsGoOnAcrossASystemBreak) {
    const std::string crotchet =
        "<note><pitch><step>A</step><octave>4</octave></pitch><duration>2</duration>"
        "<type>quarter</type>";
    auto note = [&](const std::string& notations) {
        return crotchet + "<notations>" + notations + "</notations></note>";
    };
    const std::string wedge = "<direction><direction-type><wedge type=\"";
    const std::string xml = OnePart(
        {crotchet + "</note>",
         "<barline location=\"left\"><ending number=\"1\" type=\"start\">1.</ending>"
         "</barline>" +
             wedge + "crescendo\"/></direction-type></direction>" + note("<slur type=\"start\"/>"),
         "<print new-system=\"yes\"/>" + note("<slur type=\"stop\"/>") + wedge +
             "stop\"/></direction-type></direction>"
             "<barline location=\"right\"><bar-style>light-heavy</bar-style>"
             "<ending number=\"1\" type=\"stop\"/><repeat direction=\"backward\"/>"
             "</barline>",
         crotchet + "</note>"});
    auto score = std::make_unique<Score>();
    const ImportOutcome out = Import(xml, *score);
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_TRUE(out.skipped.empty()) << out.skipped.front();
    ASSERT_EQ(score->Nstaves, 2);
    // The bracket: its leg down and number in the first system, its closing
    // leg in the second.
    const auto first = Objects(*score, 1, kLine), second = Objects(*score, 2, kLine);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0]->data.line.legEnds, 2);
    EXPECT_EQ(second[0]->data.line.legEnds, 4);
    EXPECT_EQ(first[0]->x + first[0]->data.line.dx, score->stave(1).h.RightX - 4);
    bool number = false;
    for (const ScoreObject* t : Objects(*score, 1, kText))
        number = number ||
                 ChainText(score->stave(1), static_cast<int>(t - &score->stave(1).obj[0])) == "1.";
    EXPECT_TRUE(number);
    for (int s : {1, 2}) {
        EXPECT_EQ(Objects(*score, s, kCurve).size(), 3u) << s;  // a slur's piece of three points
        EXPECT_EQ(Objects(*score, s, kHairpin).size(), 1u) << s;
    }
    // Exported again, it is still the first ending.
    EXPECT_NE(Export(*score).find("<ending number=\"1\" type=\"start\">1.</ending>"),
              std::string::npos);
}

// A chord across a part's two staves writes its beams on its first note
// only: the notes on the other staff are beamed with it all the same.
TEST(MusicXmlImport, ChordsAcrossThePianoStavesAreBeamedOnBoth) {
    auto score = std::make_unique<Score>();
    const ImportOutcome out = Import(
        Slurp(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/w3c/apres-un-reve.musicxml"),
        *score);
    ASSERT_TRUE(out.ok) << out.error;
    ASSERT_EQ(score->Nstaves, 3);
    for (int s : {2, 3}) {
        std::set<int32_t> quavers, beamed;  // chords by x
        for (const ScoreObject* n : Objects(*score, s, kNote)) {
            if (n->note().rest || n->note().noteValue != 4) continue;
            quavers.insert(n->x);
            if (n->note().beamOnTo || n->note().beamBackTo) beamed.insert(n->x);
        }
        EXPECT_FALSE(quavers.empty()) << s;
        EXPECT_EQ(beamed, quavers) << s;
    }
}

TEST(MusicXmlImport, TimewiseScoresAndCompressedFilesReadAsPartwise) {
    const std::string partwise =
        Slurp(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/features.musicxml");
    const std::string timewise =
        Slurp(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/timewise.musicxml");
    const Picture a = PictureOf(timewise);
    EXPECT_EQ(a.notes.size(), 8u);
    EXPECT_EQ(a.notes.back().part, 1u);
    EXPECT_NEAR(a.notes.back().onset, 4, 1e-9);
    const auto zip = StoredZip({{"META-INF/container.xml",
                                 "<container><rootfiles><rootfile full-path=\"music/s.xml\"/>"
                                 "</rootfiles></container>"},
                                {"music/s.xml", partwise}});
    ASSERT_TRUE(zip);
    EXPECT_EQ(PictureOf(*zip).notes, PictureOf(partwise).notes);
}

// The reader's answer to `xml`: its error, empty when it read.
std::string Refusal(const std::string& xml, const MusicXmlLimits& limits = {}) {
    const MusicXmlRead r = ReadMusicXml(xml, limits);
    return r.ok ? std::string() : r.error;
}

std::string Minimal(const std::string& measure, const std::string& list = "") {
    return "<score-partwise>" +
           (list.empty() ? "<part-list><score-part id=\"P1\"/></part-list>" : list) +
           "<part id=\"P1\"><measure number=\"7\">" + measure +
           "</measure></part></score-partwise>";
}

TEST(MusicXmlImport, HostileAndBrokenFilesAreRefusedNamingThePlace) {
    const std::string note =
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration></note>";
    EXPECT_EQ(Refusal(Minimal("<attributes><divisions>1</divisions></attributes>" + note)), "");
    // Entities are never expanded: a billion laughs is refused at its declaration.
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE s [<!ENTITY a \"ha\"><!ENTITY b \"&a;&a;&a;&a;\">]>" +
        Minimal(
            "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>"
            "<lyric><text>&b;</text></lyric></note>");
    EXPECT_NE(Refusal(laughs).find("entity"), std::string::npos) << Refusal(laughs);
    const std::string external =
        "<!DOCTYPE s [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + Minimal(note);
    EXPECT_NE(Refusal(external).find("entity"), std::string::npos);
    // A missing part list, a part it does not list, a note without pitch.
    EXPECT_NE(Refusal("<score-partwise><part id=\"P1\"><measure/></part></score-partwise>")
                  .find("part list"),
              std::string::npos);
    EXPECT_NE(
        Refusal(Minimal(note, "<part-list><score-part id=\"Q\"/></part-list>")).find("\"P1\""),
        std::string::npos);
    EXPECT_EQ(Refusal(Minimal("<note><duration>1</duration></note>")),
              "part P1, measure 7: a note has neither a pitch nor a rest");
    for (const char* step : {"Q", "", "CD"})
        EXPECT_EQ(
            Refusal(Minimal(std::string("<note><pitch><step>") + step +
                            "</step><octave>4</octave></pitch><duration>1</duration></note>")),
            std::string("part P1, measure 7: step \"") + step +
                "\" is not a note name from A to G");
    // Absurd numbers: divisions refused, octaves and durations read within range.
    EXPECT_EQ(Refusal(Minimal("<attributes><divisions>0</divisions></attributes>")),
              "part P1, measure 7: divisions 0 is not a whole number from 1 to 16777216");
    EXPECT_NE(Refusal(Minimal("<attributes><divisions>1e300</divisions></attributes>")), "");
    const MusicXmlRead clamped = ReadMusicXml(
        Minimal("<note><pitch><step>C</step><alter>9</alter><octave>99</octave></pitch>"
                "<duration>99999999999</duration></note>"));
    ASSERT_TRUE(clamped.ok);
    const mxl::Note& n = clamped.doc.parts[0].measures[0].notes[0];
    EXPECT_EQ(n.octave, 9);
    EXPECT_EQ(n.alter, 2);
    EXPECT_EQ(clamped.doc.warnings.size(), 3u);
    // Broken XML, nesting, sizes.
    EXPECT_NE(Refusal(Minimal("<note>")).find("line 1"), std::string::npos);
    std::string deep = "<score-partwise><part-list><score-part id=\"P1\"/></part-list>";
    for (int i = 0; i < 100; ++i)
        deep += "<x>";
    EXPECT_NE(Refusal(deep).find("nested"), std::string::npos);
    MusicXmlLimits small;
    small.textChars = 100;
    EXPECT_NE(Refusal(Minimal("<direction><direction-type><words>" + std::string(200, 'w') +
                              "</words></direction-type></direction>"),
                      small)
                  .find("too long"),
              std::string::npos);
    // A file past the size limit is refused from its first bytes past it; one
    // within it is read whole.
    const test::TempDir dir;
    const std::string path = dir.file("limit.musicxml");
    std::ofstream(path, std::ios::binary) << Minimal(note);
    MusicXmlLimits tight;
    tight.fileBytes = Minimal(note).size() - 1;
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    auto score = std::make_unique<Score>();
    EXPECT_NE(ImportMusicXmlFile(path, {}, *score, host, measurer, tight).error.find("larger"),
              std::string::npos);
    tight.fileBytes += 1;
    EXPECT_TRUE(ImportMusicXmlFile(path, {}, *score, host, measurer, tight).ok);
    EXPECT_EQ(Refusal("<html/>"), "the file holds no score-partwise or score-timewise score");
    EXPECT_EQ(Refusal(Minimal("").replace(Minimal("").find("<measure"), 21, "")),
              "the score has no measures");
}

TEST(MusicXmlImport, CompressedFilesAreBoundedInEntriesAndUnpackedSize) {
    const std::string doc = Minimal(
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration></note>");
    MusicXmlLimits limits;
    limits.zipEntries = 3;
    limits.entryBytes = 4096;
    std::vector<ZipEntry> many;
    for (int i = 0; i < 4; ++i)
        many.push_back({"e" + std::to_string(i) + ".xml", doc});
    EXPECT_NE(Refusal(*StoredZip(many), limits).find("more than 3 entries"), std::string::npos);
    const std::string big = *StoredZip({{"s.xml", doc + std::string(5000, ' ')}});
    EXPECT_NE(Refusal(big, limits).find("more than"), std::string::npos);
    EXPECT_EQ(Refusal(*StoredZip({{"s.xml", doc}}), limits), "");
    EXPECT_EQ(Refusal(*StoredZip({{"readme.txt", "hi"}})), "the compressed file holds no score");
    EXPECT_NE(Refusal(std::string("PK\x03\x04", 4) + "broken"), "");
}

class ImportDocument : public test::EditorFixture {
  protected:
    bool Start(const std::string& path) {
        d = std::make_unique<DocumentController>(score, settings, host, warnings, undo, view,
                                                 services, dialogs, measurer);
        return d->start(DocumentController::Start::Import, path, "NONAME1", false);
    }
};

TEST_F(ImportDocument, TheFileMenuOpensTheFileAsAModifiedUntitledScore) {
    settings.defaultStaveSize = 0.25;
    ASSERT_TRUE(Start(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/timewise.musicxml"));
    EXPECT_TRUE(d->modified());
    EXPECT_EQ(score.Nstaves, 2);
    EXPECT_NEAR(score.staveSize, 0.25, 1e-9);  // the file gives no size of its own
    EXPECT_HOST_CLEAN(host);
}

TEST_F(ImportDocument, FromAWindowHoldingAScoreTheSaveQuestionComesFirst) {
    const std::string file = STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/timewise.musicxml";
    ASSERT_TRUE(Start(file));
    const int staves = score.Nstaves;
    d->setModified(true);
    bool failed = false;
    // Kept: no file dialog, nothing changes.
    host.expectMessage("has not been saved", Answer::Cancel);
    EXPECT_FALSE(d->closeAndImport(failed));
    EXPECT_FALSE(failed);
    // Not saved, the dialog cancelled: the score stays too.
    host.expectMessage("has not been saved", Answer::No).expectOpenFile(std::nullopt);
    EXPECT_FALSE(d->closeAndImport(failed));
    EXPECT_EQ(score.Nstaves, staves);
    // Not saved, a file chosen: it comes in untitled and modified.
    host.expectMessage("has not been saved", Answer::No)
        .expectOpenFile(STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml-import/features.musicxml");
    EXPECT_TRUE(d->closeAndImport(failed));
    EXPECT_EQ(score.Nstaves, 6);
    EXPECT_TRUE(d->modified());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(ImportDocument, ABrokenFileSaysWhereAndOpensNothing) {
    const std::string path = dir.file("broken.musicxml");
    std::ofstream(path) << Minimal("<note><duration>1</duration></note>");
    host.expectMessage("measure 7: a note has neither a pitch nor a rest");
    EXPECT_FALSE(Start(path));
    EXPECT_HOST_CLEAN(host);
}

}  // namespace
}  // namespace sw
