// The result file's tokens, values and tables.
#include <gtest/gtest.h>

#include <sstream>

#include "scan/RecognitionResult.h"

namespace sw {
namespace {

std::vector<std::string> Tokens(const std::string& text, int extra = 0) {
    std::istringstream in(text);
    ResultTokenizer t(in);
    std::vector<std::string> out;
    for (std::string s = t.next(); s != kEndToken; s = t.next())
        out.push_back(s);
    for (int i = 0; i < extra; ++i)
        out.push_back(t.next());
    return out;
}

TEST(ResultTokens, QuotesSpacesLinesAndTheEnd) {
    EXPECT_EQ(Tokens("  text$ \"He said \"\"no\"\" twice\"\tnext \n\n   \n last"),
              (std::vector<std::string>{"text$", "He said \"no\" twice", "next", "last"}));
    EXPECT_EQ(Tokens("a \"\" b \"unclosed to the end"),
              (std::vector<std::string>{"a", "", "b", "unclosed to the end"}));
    // A line is read up to its 255th character.
    const std::string longLine = std::string(253, 'x') + " yz";
    EXPECT_EQ(Tokens(longLine), (std::vector<std::string>{std::string(253, 'x'), "y"}));
    // After the last line every token is "###".
    EXPECT_EQ(Tokens("one", 2), (std::vector<std::string>{"one", "###", "###"}));
}

TEST(ResultTokens, NumbersFlagsAndPoints) {
    EXPECT_EQ(ParseResultNumber("-42"), -42);
    EXPECT_EQ(ParseResultNumber("+7"), 7);
    for (const char* bad : {"", "12x", "x", "99999999999", "1.5", "--1"})
        EXPECT_EQ(ParseResultNumber(bad), kBadNumber) << bad;
    EXPECT_TRUE(ParseResultFlag("true"));
    EXPECT_TRUE(ParseResultFlag("T"));
    EXPECT_FALSE(ParseResultFlag("F"));
    EXPECT_FALSE(ParseResultFlag(""));
    const ResultPoint comma = ParseResultPoint("-3,40", ',');
    EXPECT_EQ(comma.first, -3);
    EXPECT_EQ(comma.second, 40);
    const ResultPoint bad = ParseResultPoint("3,z", ',');
    EXPECT_EQ(bad.first, kBadNumber);
    EXPECT_EQ(bad.second, kBadNumber);
    EXPECT_EQ(ParseResultPoint("5/8", '/').second, 8);
    EXPECT_EQ(ParseResultPoint("58", '/').first, kBadNumber);
}

const char* kTwoStaves = R"(junk before the header
fileheader { version 2011 creator "x" }
ignored until then
score {
 title$ "A ""quoted"" title" unitsperstavespacing 16
 pages { nof 1 page { width 900 height 1200 spacing 16384 imagefpath$ "p.bmp"
  systems { nof 1 system { top 100 left 50 width 800 height 200
   staves { nof 2
    stave { top 100 left 50 width 800 size 64
     bars { nof 2
      bar { bartime 0/1 clefs { nof 1 clef { shape Treble centre 32,20 pitchposn 2 } }
            keysigs { nof 1 keysig { key -2 centre 32,60 } }
            timesig { showasalpha F top 6 bottom 8 centre 32,90 }
            chords { nof 1 chord { stemup T flagposn 0,200 naugdots 1 nflags 1
               mystery { deep { deeper 1 } } unknownkey 5
               beam { id 3 nofleft 0 nofnodes 2 nofright 1 }
               notes { nof 2 note { shape solid p 2 accid sharp normalside T }
                               note { shape minim p 4 accid none normalside T } } } }
            barline { type single leftlinex 400 rightlinex 402 invented F trueend F } }
      bar { chords { nof 0 } barline { type thinthick rightlinex 790 invented T } }
     }
     lyriclines { nof 1 lyricline { abot 80 height 40 elements { nof 2
        lyricelement { extender F midc 200 text$ "Twinkle-twinkle-little-star" }
        lyricelement { extender T midc 300 text$ "" } } } }
     texts { nof 1 text { abot -20 c0 10 height 48 style 5 text$ "Andante" } }
     dynamics { nof 1 dynamic type dyn_mf c 220 r 90 } } }
    stave { top 300 left 50 width 800 size 48 bars { nof 0 } }
   }
   slurs { nof 1 slur { leftpt 40,100 rightpt 40,180 radius 60 } }
  } }
 } }
})";

TEST(ResultReader, FillsEveryTableWithItsParents) {
    std::istringstream in(kTwoStaves);
    RecognitionTables t;
    std::vector<RecognitionCounts> seen;
    ReadRecognitionResult(in, t, [&](const RecognitionCounts& c) { seen.push_back(c); });
    EXPECT_EQ(t.version, 2011);
    EXPECT_EQ(t.page.spacing, 16384);
    ASSERT_EQ(t.systems.size(), 1u);
    ASSERT_EQ(t.staves.size(), 2u);
    EXPECT_EQ(t.staves[1].size, 48);
    EXPECT_EQ(t.staves[1].system, 1);
    ASSERT_EQ(t.bars.size(), 2u);
    EXPECT_TRUE(t.bars[0].hasTimesig);
    EXPECT_EQ(t.bars[0].timesig.top, 6);
    EXPECT_EQ(t.bars[1].barline.type, 5);
    EXPECT_TRUE(t.bars[1].barline.invented);
    ASSERT_EQ(t.clefs.size(), 1u);
    EXPECT_EQ(t.clefs[0].shape, kClefTreble);
    EXPECT_EQ(t.keysigs[0].key, -2);
    ASSERT_EQ(t.chords.size(), 1u);
    // The unknown keys and groups are skipped without losing the chord's own.
    EXPECT_TRUE(t.chords[0].beamed);
    EXPECT_EQ(t.chords[0].beamId, 3);
    EXPECT_EQ(t.chords[0].flagPosn.second, 200);
    ASSERT_EQ(t.notes.size(), 2u);
    EXPECT_EQ(t.notes[0].accid, kAccidSharp);
    EXPECT_EQ(t.notes[1].shape, kShapeMinim);
    EXPECT_EQ(t.notes[1].chord, 1);
    EXPECT_EQ(t.lyricElements[0].text, "Twinkle-twinkle-litt");  // 20 characters kept
    EXPECT_EQ(t.texts[0].style, 5);
    EXPECT_EQ(t.dynamics[0].type, 6);
    EXPECT_EQ(t.dynamics[0].r, 90);
    ASSERT_EQ(t.slurs.size(), 1u);
    EXPECT_EQ(t.slurs[0].right.second, 180);
    const RecognitionCounts c = t.counts(true);
    EXPECT_EQ(c, (RecognitionCounts{1, 2, 2, 2, 1, 1, 1, 3, 1}));
    EXPECT_EQ(t.counts(false).words, 0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), RecognitionCounts{});
    EXPECT_EQ(seen.back(), c);
}

TEST(ResultReader, CutShortOrMalformedFilesEnd) {
    RecognitionTables t;
    // `nof` promises more than the file holds; the file stops inside a chord.
    std::istringstream cut(
        "fileheader { score { pages { nof 9 page { spacing 5 systems { nof 1000 system { "
        "staves { nof 4 stave { bars { nof 70 bar { chords { nof 5 chord { notes { nof 3 "
        "note { p 3");
    ReadRecognitionResult(cut, t);
    EXPECT_EQ(t.version, 0);  // no version after the header's brace
    EXPECT_EQ(t.staves.size(), 1u);
    ASSERT_EQ(t.notes.size(), 1u);
    EXPECT_EQ(t.notes[0].p, 3);
    // A bad number reads as the largest number.
    std::istringstream bad(
        "fileheader { version x } score { pages { nof 1 page { spacing 1o24 } } }");
    ReadRecognitionResult(bad, t);
    EXPECT_EQ(t.version, kBadNumber);
    EXPECT_EQ(t.page.spacing, kBadNumber);
    // Nothing at all.
    std::istringstream empty("");
    ReadRecognitionResult(empty, t);
    EXPECT_TRUE(t.staves.empty());
}

TEST(ResultReader, TablesStopAtTheirCapacity) {
    std::ostringstream text;
    text << "fileheader { version 1 } score { pages { nof 1 page { systems { nof 1 system { "
            "staves { nof 60 ";
    for (int i = 0; i < 60; ++i)
        text << "stave { top " << i << " bars { nof 1 bar { chords { nof 1 chord { notes { nof 1 "
             << "note { p 1 } } } } } } }\n";
    text << "} } } } } }";
    std::istringstream in(text.str());
    RecognitionTables t;
    ReadRecognitionResult(in, t);
    EXPECT_EQ(t.staves.size(), ResultCapacity::staves);
    // The bars of the staves left out are left out with them.
    EXPECT_EQ(t.bars.size(), ResultCapacity::staves);
    EXPECT_EQ(t.notes.size(), ResultCapacity::staves);
    EXPECT_EQ(t.staves.back().top, 49);
}

}  // namespace
}  // namespace sw
