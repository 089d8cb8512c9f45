// The packing of note records, the conversions of older records and the small
// record codecs of the score file.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "fileio/Records.h"

namespace sw {
namespace {

using Packed = std::array<uint8_t, kKindDataSize>;

Packed Pack(const NoteData& n) {
    Packed b;
    b.fill(0xEE);  // PackNote must write every byte, not only the ones it sets
    PackNote(n, b.data());
    return b;
}

NoteData Unpack(const Packed& b) {
    NoteData n;
    std::memset(&n, 0xAB, sizeof n);  // leftovers must not survive unpacking
    UnpackNote(b.data(), n);
    return n;
}

TEST(RecordsNote, EveryStoredFieldLandsInItsByteAndComesBack) {
    NoteData n{};
    n.noteValue = 6;
    n.pitch = -5;
    n.dots = 3;
    n.stem = 0;
    n.beamBackTo = 12;
    n.beamOnTo = 14;
    n.rest = 1;
    n.emphasis = 5;
    n.staccato = 4;
    n.tieLeft = 255;
    n.tieRight = 7;
    n.tieOver = 1;
    n.headSize = 5;
    n.lengthIncr = 9;
    n.beamBackUp = n.beamBackDown = n.beamOnUp = n.beamOnDown = 1;
    n.singleBeam = n.beamStem1 = n.beamStem2 = n.flatBeam = n.noShorten = 1;
    n.head = 14;
    n.tremuloBars = 7;
    n.durMod = 63;
    n.durMod2 = 62;
    n.headX = 1234;  // derived: never stored
    const Packed want = {6,        0xFB, 3 | 62 << 2, 0 | 63 << 2, 12, 14, 0xFD,
                         6 | 0x50, 0x7F, 255,         7,           1,  14, 9};
    EXPECT_EQ(Pack(n), want);

    NoteData got = Unpack(want);
    NoteData expected = n;
    expected.headX = 0;
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0);
}

// One flag at a time, so that two swapped bits cannot hide behind each other.
TEST(RecordsNote, EachFlagHasItsOwnBit) {
    struct Case {
        uint8_t NoteData::*field;
        int byte;
        uint8_t mask;
    };
    const Case cases[] = {
        {&NoteData::rest, 6, 0x01},       {&NoteData::beamStem1, 6, 0x20},
        {&NoteData::noShorten, 6, 0x80},  {&NoteData::beamBackDown, 8, 0x01},
        {&NoteData::beamBackUp, 8, 0x02}, {&NoteData::beamOnDown, 8, 0x04},
        {&NoteData::beamOnUp, 8, 0x08},   {&NoteData::beamStem2, 8, 0x10},
        {&NoteData::singleBeam, 8, 0x20}, {&NoteData::flatBeam, 8, 0x40},
    };
    for (const Case& c : cases) {
        NoteData n{};
        n.stem = 1;
        n.*c.field = 1;
        Packed b = Pack(n);
        Packed want{};
        want[3] = 1;
        want[static_cast<std::size_t>(c.byte)] = c.mask;
        EXPECT_EQ(b, want) << "byte " << c.byte << " mask " << int(c.mask);
        EXPECT_EQ(Unpack(b).*c.field, 1) << "byte " << c.byte << " mask " << int(c.mask);
    }
}

TEST(RecordsNote, HeadSizeKeepsOnlySmallAndAcciaccaturaAndSmallMeansCue) {
    const uint8_t back[] = {0, 1, 0, 0, 0, 5};
    for (uint8_t size = 0; size <= 5; ++size) {
        NoteData n{};
        n.headSize = size;
        NoteData got = Unpack(Pack(n));
        EXPECT_EQ(got.headSize, back[size]) << "headSize " << int(size);
        EXPECT_EQ(got.cueSize, size == 1 ? 1 : 0) << "headSize " << int(size);
    }
    Packed both{};
    both[6] = 0x42;
    EXPECT_EQ(Unpack(both).headSize, 5);
    EXPECT_EQ(Unpack(both).cueSize, 1);
}

TEST(RecordsNote, StaccatoAndEmphasisCodesShareByteSeven) {
    const uint8_t staccatoCode[] = {0, 1, 2, 5, 6};
    const uint8_t emphasisCode[] = {0, 0x08, 0x10, 0x20, 0x48, 0x50, 0x60};
    for (uint8_t st = 0; st <= 4; ++st) {
        for (uint8_t em = 0; em <= 6; ++em) {
            NoteData n{};
            n.staccato = st;
            n.emphasis = em;
            Packed b = Pack(n);
            EXPECT_EQ(b[7], staccatoCode[st] | emphasisCode[em]) << int(st) << "/" << int(em);
            NoteData got = Unpack(b);
            EXPECT_EQ(got.staccato, st);
            EXPECT_EQ(got.emphasis, em);
        }
    }
    // Codes no version writes read as none.
    for (uint8_t code : {3, 4, 7}) {
        Packed b{};
        b[7] = code;
        EXPECT_EQ(Unpack(b).staccato, 0) << int(code);
    }
    for (uint8_t code : {0x18, 0x40, 0x58, 0x78}) {
        Packed b{};
        b[7] = code;
        EXPECT_EQ(Unpack(b).emphasis, 0) << int(code);
    }
}

TEST(RecordsNote, AutomaticStemIsResolvedByPitchWithoutDisturbingTheTuplet) {
    struct Case {
        int8_t pitch;
        uint8_t stem;
    };
    for (Case c : {Case{0, 1}, Case{9, 1}, Case{-1, 0}, Case{-12, 0}}) {
        Packed b{};
        b[1] = static_cast<uint8_t>(c.pitch);
        b[3] = 3 | 5 << 2;
        NoteData n = Unpack(b);
        EXPECT_EQ(n.stem, c.stem) << "pitch " << int(c.pitch);
        EXPECT_EQ(n.durMod, 5);
    }
    Packed none{};
    none[1] = 4;
    none[3] = 2;
    EXPECT_EQ(Unpack(none).stem, 2);
}

TEST(RecordsOlderNote, FlagBytesMoveToTheCurrentLayout) {
    Packed d;
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = static_cast<uint8_t>(0x30 + i);
    d[6] = 0xFF;
    d[7] = 1;  // old emphasis flag
    d[8] = 2;  // old staccato code
    Packed want = d;
    want[6] = 0x01;
    want[7] = 0x08 | 2;
    want[8] = 0;
    ConvertOlderNoteRecord(d.data());
    EXPECT_EQ(d, want);
    NoteData n = Unpack(d);
    EXPECT_EQ(n.rest, 1);
    EXPECT_EQ(n.emphasis, 1);
    EXPECT_EQ(n.staccato, 2);
    EXPECT_EQ(n.headSize, 0);

    struct Case {
        uint8_t old7, old8, new7;
    };
    for (Case c : {Case{0, 0, 0}, Case{0, 1, 1}, Case{1, 0, 8}, Case{1, 1, 9}, Case{2, 3, 0},
                   Case{0x48, 5, 0}}) {
        Packed b{};
        b[7] = c.old7;
        b[8] = c.old8;
        ConvertOlderNoteRecord(b.data());
        EXPECT_EQ(b[7], c.new7) << int(c.old7) << "," << int(c.old8);
        EXPECT_EQ(b[8], 0);
    }
}

TEST(RecordsCommonTime, EveryCodeBecomesItsTimeSignature) {
    const uint8_t want[15][4] = {{0, 0, 0, 1}, {0, 0, 0, 2}, {1, 1, 0, 0}, {2, 2, 0, 0},
                                 {3, 2, 0, 0}, {2, 4, 0, 0}, {3, 4, 0, 0}, {4, 4, 0, 0},
                                 {5, 4, 0, 0}, {6, 4, 0, 0}, {7, 4, 0, 0}, {3, 8, 0, 0},
                                 {6, 8, 0, 0}, {9, 8, 0, 0}, {12, 8, 0, 0}};
    for (uint8_t code = 0; code < 15; ++code) {
        TimesigData t = CommonTimeToTimesig(code);
        EXPECT_EQ(std::vector<int>({t.numerator, t.denominator, t.singleNumber, t.sign}),
                  std::vector<int>(want[code], want[code] + 4))
            << "code " << int(code);
    }
    for (uint8_t code : {15, 100, 255}) {
        TimesigData t = CommonTimeToTimesig(code);
        EXPECT_EQ(std::vector<int>({t.numerator, t.denominator, t.singleNumber, t.sign}),
                  std::vector<int>(4, 0))
            << "code " << int(code);
    }
}

TEST(RecordsDescription, LengthDecidesRecordsAndHeaderBits) {
    struct Case {
        std::size_t length;
        int records;
        uint8_t bits;
    };
    // An empty description still takes one record (it is written as a space).
    for (Case c : {Case{0, 1, 0x20}, Case{1, 1, 0x20}, Case{21, 1, 0x20}, Case{22, 2, 0x10},
                   Case{42, 2, 0x10}, Case{43, 3, 0x30}, Case{63, 3, 0x30}}) {
        int records = DescriptionRecordCount(c.length);
        EXPECT_EQ(records, c.records) << c.length;
        EXPECT_EQ(DescriptionCountBits(records), c.bits) << c.length;
        // The other header flags must not disturb the count.
        EXPECT_EQ(DescriptionCountFromFlags(c.bits | 0xC3), c.records) << c.length;
    }
    EXPECT_EQ(DescriptionCountFromFlags(0xCF), 0);
}

}  // namespace
}  // namespace sw
