// MusicXML export: every exported file read back by an XML walk of our own and
// compared note for note with the performance, checked against the MusicXML
// 4.0 schema with xmllint, and the scores' texts, marks and bars as written.
#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <tuple>

#include "Orchestra.h"
#include "core/ScriptedHost.h"
#include "core/Zip.h"
#include "fileio/ScoreFile.h"
#include "layout/Gallery.h"
#include "layout/OpenScore.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "playback/MusicXml.h"
#include "playback/Performance.h"
#include "render/Text.h"
#include "support/FailingIo.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

using test::TempDir;

// A note as another program reads it: onset and length in crotchets from the
// start of the piece, and the MIDI key it sounds.
struct Heard {
    double onset, length;
    int key;
    bool operator<(const Heard& o) const {
        return std::tie(onset, key, length) < std::tie(o.onset, o.key, o.length);
    }
};

struct ReadBack {
    std::vector<Heard> notes;
    std::vector<std::vector<int>> lengths;  // by part, by measure, in divisions
    std::vector<std::string> faults;        // voices that do not fill their measure
    int graces = 0, lyrics = 0;
};

// The walk: divisions, backup and forward, chords, voices, transposition and
// clef octave signs, as the format defines them.
ReadBack Read(const std::string& xml) {
    ReadBack out;
    QXmlStreamReader r(QByteArray::fromStdString(xml));
    int divisions = 1, pos = 0, peak = 0, transpose = 0, clefOctave = 0, measure = 0;
    double start = 0;
    std::map<std::string, int> voiceEnds;
    static const std::map<QString, int> kStep = {{"C", 0}, {"D", 2}, {"E", 4}, {"F", 5},
                                                 {"G", 7}, {"A", 9}, {"B", 11}};
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            if (name == u"part") {
                out.lengths.emplace_back();
                start = 0;
                measure = transpose = clefOctave = 0;
            } else if (name == u"clef") {
                clefOctave = 0;
            } else if (name == u"measure") {
                pos = peak = 0;
                voiceEnds.clear();
                ++measure;
            } else if (name == u"divisions") {
                divisions = r.readElementText().toInt();
            } else if (name == u"chromatic") {
                transpose = r.readElementText().toInt();
            } else if (name == u"clef-octave-change") {
                clefOctave = r.readElementText().toInt();
            } else if (name == u"backup") {
                r.readNextStartElement();
                pos -= r.readElementText().toInt();
                if (pos < 0) out.faults.push_back("backup before the bar line");
            } else if (name == u"forward") {
                int d = 0;
                std::string voice;
                while (r.readNextStartElement()) {
                    if (r.name() == u"duration")
                        d = r.readElementText().toInt();
                    else if (r.name() == u"voice")
                        voice = r.readElementText().toStdString();
                    else
                        r.skipCurrentElement();
                }
                pos += d;
                voiceEnds[voice] = pos;
                peak = std::max(peak, pos);
            } else if (name == u"note") {
                bool chord = false, grace = false, rest = false;
                int duration = 0, step = 0, alter = 0, octave = 0;
                std::string voice = "1";
                while (r.readNextStartElement()) {
                    const QStringView n = r.name();
                    if (n == u"chord")
                        chord = true, r.skipCurrentElement();
                    else if (n == u"grace")
                        grace = true, r.skipCurrentElement();
                    else if (n == u"rest")
                        rest = true, r.skipCurrentElement();
                    else if (n == u"duration")
                        duration = r.readElementText().toInt();
                    else if (n == u"voice")
                        voice = r.readElementText().toStdString();
                    else if (n == u"lyric")
                        ++out.lyrics, r.skipCurrentElement();
                    else if (n == u"pitch") {
                        while (r.readNextStartElement()) {
                            if (r.name() == u"step")
                                step = kStep.at(r.readElementText());
                            else if (r.name() == u"alter")
                                alter = r.readElementText().toInt();
                            else if (r.name() == u"octave")
                                octave = r.readElementText().toInt();
                            else
                                r.skipCurrentElement();
                        }
                    } else
                        r.skipCurrentElement();
                }
                if (grace) {
                    ++out.graces;
                    continue;
                }
                const int onset = chord ? pos - duration : pos;
                if (!chord) pos += duration;
                voiceEnds[voice] = std::max(voiceEnds[voice], pos);
                peak = std::max(peak, pos);
                if (!rest)
                    out.notes.push_back(
                        {start + static_cast<double>(onset) / divisions,
                         static_cast<double>(duration) / divisions,
                         12 * (octave + 1) + step + alter + transpose - 12 * clefOctave});
            }
        } else if (r.isEndElement() && r.name() == u"measure") {
            for (const auto& [voice, end] : voiceEnds)
                if (end != peak)
                    out.faults.push_back("measure " + std::to_string(measure) + " voice " + voice +
                                         " ends at " + std::to_string(end) + " of " +
                                         std::to_string(peak));
            out.lengths.back().push_back(peak);
            start += static_cast<double>(peak) / divisions;
        }
    }
    if (r.hasError()) out.faults.push_back("not well-formed: " + r.errorString().toStdString());
    return out;
}

// The notes the performance plays (tie continuations included, each with its
// own length), timed as the export times them.
std::vector<Heard> Performed(const Score& score) {
    Score copy(score);
    ScriptedHost host;
    host.setPermissive(true);
    PlaybackOptions o;
    o.collectOnly = true;
    o.range = PlayRange::Score;
    o.continueOn = true;
    o.everyHead = true;
    o.proximity = score.proximity;
    Performance perf;
    GeneratePerformance(copy, host, o, &perf);
    std::vector<Heard> out;
    for (const PerformanceRecord& r : perf.records)
        if (r.kind == kRecordNote && !r.repeatStart && !r.repeatEnd && !r.bracket &&
            r.letter != 'Z' && r.keyNumber >= 0)
            out.push_back({r.time, r.own, r.keyNumber});
    return out;
}

// Exported, validated against the schema, read back and compared with the
// performance; returns the export for further checks.
MusicXmlResult ExportAndCheck(const Score& score, const std::string& what) {
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    MusicXmlResult result = ExportMusicXml(score, host, measurer);
    TempDir dir;
    const std::string path = dir.file("out.musicxml");
    EXPECT_EQ(SaveMusicXml(path, result), 0) << what;
    const std::string command = std::string(SW_XMLLINT) + " --noout --schema " +
                                STAFFWRIGHT_SOURCE_DIR "/tests/data/musicxml/musicxml.xsd " + path +
                                " 2>" + dir.file("errors.txt");
    if (std::system(command.c_str()) != 0) {
        std::ifstream in(dir.file("errors.txt"));
        std::stringstream errors;
        errors << in.rdbuf();
        ADD_FAILURE() << what << " does not validate:\n" << errors.str().substr(0, 2000);
    }
    const ReadBack back = Read(result.xml);
    for (const std::string& f : back.faults)
        ADD_FAILURE() << what << ": " << f;
    for (std::size_t p = 1; p < back.lengths.size(); ++p)
        EXPECT_EQ(back.lengths[p], back.lengths[0]) << what << ": part " << p + 1;
    std::vector<Heard> heard = back.notes, played = Performed(score);
    std::sort(heard.begin(), heard.end());
    std::sort(played.begin(), played.end());
    EXPECT_EQ(heard.size(), played.size()) << what;
    for (std::size_t i = 0; i < std::min(heard.size(), played.size()); ++i) {
        EXPECT_NEAR(heard[i].onset, played[i].onset, 1e-6) << what << " note " << i;
        EXPECT_NEAR(heard[i].length, played[i].length, 1e-6) << what << " note " << i;
        EXPECT_EQ(heard[i].key, played[i].key) << what << " note " << i;
        if (::testing::Test::HasFailure()) break;
    }
    return result;
}

std::unique_ptr<Score> Open(const std::string& path) {
    auto score = std::make_unique<Score>();
    ScriptedHost host;
    host.setPermissive(true);
    QtTextMeasurer measurer;
    EXPECT_TRUE(OpenForDisplay(*score, path, host, measurer).load.ok) << path;
    return score;
}

TEST(MusicXml, ExamplesAndTheGalleryReadBackAsTheyArePlayed) {
    for (const char* name : {"minuet", "twinkle", "ode-satb"}) {
        const auto score = Open(std::string(STAFFWRIGHT_SOURCE_DIR "/examples/") + name + ".swn");
        const MusicXmlResult r = ExportAndCheck(*score, name);
        EXPECT_TRUE(r.skipped.empty()) << name << ": " << r.skipped.front();
    }
    const ReadBack twinkle =
        Read(ExportAndCheck(*Open(STAFFWRIGHT_SOURCE_DIR "/examples/twinkle.swn"), "twinkle").xml);
    EXPECT_EQ(twinkle.lyrics, 42);  // one syllable under every note
    Score gallery = BuildGalleryScore();
    for (int s = 1; s <= gallery.Nstaves; ++s)
        LayOutStaveGeometry(gallery, s);
    const MusicXmlResult g = ExportAndCheck(gallery, "gallery");
    // Shapes, lines and the rows of symbols are listed, never silently dropped.
    std::string skipped;
    for (const std::string& s : g.skipped)
        skipped += s + "\n";
    EXPECT_NE(skipped.find("drawn shapes"), std::string::npos) << skipped;
    EXPECT_NE(skipped.find("lines"), std::string::npos) << skipped;
}

TEST(MusicXml, TheBenchmarkScoreValidatesAndReadsBack) {
    const Score score = bench::BuildOrchestra(1000, 8);
    ExportAndCheck(score, "orchestra");
}

// One system of `staves` staves with treble clefs, a bar every `bar` pixels.
std::unique_ptr<Score> Built(int systems, int staves) {
    auto score = std::make_unique<Score>();
    for (int k = 0; k < systems; ++k)
        for (int v = 0; v < staves; ++v) {
            const int s = AppendStave(*score, 100 + 200 * k + 60 * v, 20, 900);
            score->stave(s).h.joinToNext = v + 1 < staves;
            score->stave(s).h.PageNum = 1;
            PlaceObject(*score, s, kClef, 30, score->stave(s).h.Ycoord, 3);
        }
    return score;
}

void Time(Score& score, int s, int x, int num, int den, int sign = 0) {
    ScoreObject* t = PlaceObject(score, s, kTimesig, x, score.stave(s).h.Ycoord);
    t->data.timesig.numerator = static_cast<uint8_t>(num);
    t->data.timesig.denominator = static_cast<uint8_t>(den);
    t->data.timesig.sign = static_cast<uint8_t>(sign);
}

void Bar(Score& score, int s, int x, int style = 0) {
    PlaceObject(score, s, kBarline, x, score.stave(s).h.Ycoord)->data.barline.style =
        static_cast<uint8_t>(style);
}

void Tidy(Score& score) {
    for (int s = 1; s <= score.Nstaves; ++s)
        TidyStave(score, s, true);
}

TEST(MusicXml, WritesTheMusicAsTheScoreShowsIt) {
    auto score = Built(2, 2);
    Score& sc = *score;
    FontDesc font{"Times New Roman", 12, kItalic, 0, 0};
    ScriptedHost host;
    host.setPermissive(true);
    FindOrAddFont(sc, font, host);
    // System 1: common time, a repeat around bar 1 with a first-time bar.
    Time(sc, 1, 50, 4, 4, 1);
    PlaceObject(sc, 1, kKeysig, 40, 100)->data.keysig.key = -2;
    PlaceObject(sc, 3, kKeysig, 40, 160)->data.keysig.key = -2;
    PlaceText(sc, 1, kText, 60, 50, 1, "Allegro \x80 & <caf\xE9> \x1B\x01");
    // Bar 1: a triplet of quavers, a crotchet with a printed sharp, a minim.
    for (int i = 0; i < 3; ++i) {
        ScoreObject* n = PlaceNote(sc, 1, 100 + 20 * i, i, 4, 0);
        n->note().durMod = 3;
        n->note().durMod2 = 2;
    }
    ScoreObject* acc = PlaceObject(sc, 1, kAccidental, 168, 100);
    acc->data.accidental.pitch = 0;
    acc->data.accidental.accidental = 1;
    PlaceNote(sc, 1, 180, 0, 3, 0)->note().staccato = 1;
    PlaceNote(sc, 1, 230, -2, 2, 0)->note().emphasis = 2;
    Bar(sc, 1, 300, 3);  // repeat end
    // Bar 2: two voices on stave 1; a dynamic and a hairpin under it.
    PlaceNote(sc, 1, 320, 3, 1, 0);
    PlaceNote(sc, 1, 320, -3, 2, 1);
    PlaceNote(sc, 1, 420, -4, 2, 1);
    PlaceObject(sc, 1, kDynamic, 320, 140, 142);  // f
    PlaceObject(sc, 1, kHairpin, 330, 140)->data.hairpin.length = 120;
    Bar(sc, 1, 600);
    // Bar 3 ties over the system break into system 2.
    ScoreObject* a = PlaceNote(sc, 1, 650, 1, 1, 0);
    a->note().tieRight = 255;
    // Stave 2: a whole-bar rest in bar 1, crotchets with lyrics after.
    ScoreObject* rest = PlaceNote(sc, 2, 100, 0, 1, 0);
    rest->note().rest = 1;
    for (int i = 0; i < 4; ++i)
        PlaceNote(sc, 2, 320 + 60 * i, -1, 3, 0);
    PlaceText(sc, 2, kText, 316, 200, 1, "Hal-");
    PlaceText(sc, 2, kText, 376, 200, 1, "le-");
    PlaceText(sc, 2, kText, 436, 200, 1, "lu-");
    PlaceText(sc, 2, kText, 496, 200, 1, "jah");
    // System 2: the tied note arrives; a bass clef with an octave sign.
    ScoreObject* b = PlaceNote(sc, 3, 100, 1, 2, 0);
    b->note().tieLeft = 255;
    PlaceNote(sc, 3, 200, 1, 2, 0);
    ScoreObject* clef = PlaceObject(sc, 4, kClef, 35, 360, 2);
    clef->data.clef.type = 1;
    clef->data.clef.octaveDown = 1;
    PlaceNote(sc, 4, 100, 0, 1, 1);
    Bar(sc, 3, 300, 5);
    PlaceText(sc, 3, kText, 500, 330, 1, "dolce");
    // A slur over bar 1, a first-time bracket over it and a second-time one
    // after the repeat; an acciaccatura before the last note of stave 3.
    PlaceCurve(sc, 1, {{102, 70}, {165, 60}, {234, 70}}, 1);
    PlaceLine(sc, 1, 60, 60, LineShape{230, 0, 1, 0, 5, 5, 8, 1, 0x06});
    PlaceLine(sc, 1, 310, 60, LineShape{280, 0, 1, 0, 5, 5, 8, 1, 0x02});
    PlaceNote(sc, 3, 190, 2, 4, 0)->note().headSize = 5;
    Tidy(sc);
    for (int s = 1; s <= sc.Nstaves; ++s)
        LayOutStaveGeometry(sc, s);

    const MusicXmlResult r = ExportAndCheck(sc, "built");
    const std::string& x = r.xml;
    auto has = [&x](const std::string& s) { return x.find(s) != std::string::npos; };
    EXPECT_TRUE(has("<time symbol=\"common\">")) << "common time as its symbol";
    EXPECT_TRUE(has("<fifths>-2</fifths>"));
    EXPECT_TRUE(has("<actual-notes>3</actual-notes>"));
    EXPECT_TRUE(has("<tuplet type=\"start\""));
    EXPECT_TRUE(has("<accidental>sharp</accidental>"));
    EXPECT_TRUE(has("<alter>1</alter>"));
    EXPECT_TRUE(has("<staccato placement="));
    EXPECT_TRUE(has("<accent placement="));
    EXPECT_TRUE(has("<repeat direction=\"backward\"/>"));
    EXPECT_TRUE(has("<bar-style>light-heavy</bar-style>"));
    EXPECT_TRUE(has("<voice>2</voice>"));
    EXPECT_TRUE(has("<backup>"));
    EXPECT_TRUE(has("<f/>"));
    EXPECT_TRUE(has("<wedge type=\"crescendo\""));
    EXPECT_TRUE(has("<wedge type=\"stop\""));
    EXPECT_TRUE(has("<rest measure=\"yes\"/>"));
    EXPECT_TRUE(has("<tie type=\"start\"/>"));
    EXPECT_TRUE(has("<tied type=\"stop\"/>"));
    EXPECT_TRUE(has("<clef-octave-change>-1</clef-octave-change>"));
    EXPECT_TRUE(has("<print new-system=\"yes\"/>"));
    EXPECT_TRUE(has("<slur type=\"start\" number=\"1\" placement=\"above\"/>"));
    EXPECT_TRUE(has("<ending number=\"1\" type=\"start\">1.</ending>"));
    EXPECT_TRUE(has("<ending number=\"1\" type=\"stop\"/>"));
    EXPECT_TRUE(has("<ending number=\"2\" type=\"start\">2.</ending>"));
    EXPECT_TRUE(has("<ending number=\"2\" type=\"discontinue\"/>"));
    EXPECT_TRUE(has("<grace slash=\"yes\"/>"));
    EXPECT_TRUE(has("<syllabic>begin</syllabic>\n          <text>Hal</text>"));
    EXPECT_TRUE(has("<syllabic>middle</syllabic>"));
    EXPECT_TRUE(has("<syllabic>end</syllabic>\n          <text>jah</text>"));
    // The text over the first system is the title. Windows-1252 becomes UTF-8,
    // XML's own characters are escaped, the sharp place is the sign itself and
    // control characters are gone.
    EXPECT_TRUE(has("<work-title>Allegro \xE2\x82\xAC &amp; &lt;caf\xC3\xA9&gt; \xE2\x99\xAF<"));
    EXPECT_TRUE(has("font-style=\"italic\">dolce</words>"));
}

TEST(MusicXml, AScoreWithoutNotesStillExportsBarsOfRest) {
    auto score = Built(1, 1);
    Time(*score, 1, 50, 3, 4);
    Bar(*score, 1, 300);
    Bar(*score, 1, 600);
    Tidy(*score);
    const MusicXmlResult r = ExportAndCheck(*score, "no notes");
    const ReadBack back = Read(r.xml);
    ASSERT_EQ(back.lengths.size(), 1u);
    // Two 3/4 bars of rest: the stretch before the first bar line is one.
    EXPECT_EQ(back.lengths[0], (std::vector<int>{3, 3}));

    Score empty;  // not even a stave
    ExportAndCheck(empty, "no staves");
}

TEST(MusicXml, ABarLongerThanItsTimeSignatureIsReported) {
    auto score = Built(1, 1);
    Time(*score, 1, 50, 4, 4);
    for (int i = 0; i < 5; ++i)
        PlaceNote(*score, 1, 100 + 40 * i, 0, 3, 0);
    Bar(*score, 1, 400);
    PlaceNote(*score, 1, 450, 0, 1, 0);
    ScoreObject* shape = PlaceObject(*score, 1, kDrawobject, 700, 100);
    shape->data.drawobject.radiusOrWidth = 10;
    Tidy(*score);
    const MusicXmlResult r = ExportAndCheck(*score, "overlong");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("Bar 1 lasts longer"), std::string::npos) << r.warnings[0];
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0], "1 drawn shapes");
}

// The container: the media type first and stored, the container file naming
// the score, every entry's checksum right.
TEST(MusicXml, TheCompressedFileIsAZipOfTheScore) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    const std::string xml = "<score-partwise version=\"4.0\"/>\n";
    const std::string zip = MusicXmlContainer(xml);
    auto u32 = [&zip](std::size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(zip[at])) |
               static_cast<uint32_t>(static_cast<uint8_t>(zip[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(zip[at + 2])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(zip[at + 3])) << 24;
    };
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t at = 0; u32(at) == 0x04034b50;) {
        const uint32_t crc = u32(at + 14), size = u32(at + 18);
        const std::size_t nameLength = u32(at + 26) & 0xFFFF;
        const std::string name = zip.substr(at + 30, nameLength);
        const std::string data = zip.substr(at + 30 + nameLength, size);
        EXPECT_EQ(u32(at + 8) & 0xFFFF, 0u) << name << " is stored";
        EXPECT_EQ(crc, Crc32(data)) << name;
        entries.push_back({name, data});
        at += 30 + nameLength + size;
    }
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], std::make_pair(std::string("mimetype"),
                                         std::string("application/vnd.recordare.musicxml")));
    EXPECT_NE(entries[1].second.find("full-path=\"score.musicxml\""), std::string::npos);
    EXPECT_EQ(entries[2], std::make_pair(std::string("score.musicxml"), xml));
    EXPECT_EQ(u32(zip.size() - 22), 0x06054b50u);  // the end of the central directory

    // A write that fails leaves nothing behind and says why.
    TempDir dir;
    MusicXmlResult r;
    r.xml = xml;
    test::FailingIo io;
    io.stage = test::FailingIo::Stage::Write;
    EXPECT_NE(SaveMusicXml(dir.file("x.mxl"), r, io), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(SaveMusicXml(dir.file("x.MXL"), r), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("x.MXL")).size(), zip.size());
}

}  // namespace
}  // namespace sw
