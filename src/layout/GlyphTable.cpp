// Glyph codes, names, nudges and ink boxes.
#include "layout/GlyphTable.h"

#include <cstdio>

namespace sw {

namespace {

struct Named {
    int code;
    const char* name;
};

// Codes without an entry draw as the blank glyph.
constexpr Named kNames[] = {
    {0, "ACLEF"},
    {1, "TCLEF"},
    {2, "FCLEF"},
    {3, "GCLEF"},
    {4, "ACLEF2"},
    {5, "TCLEF2"},
    {6, "FCLEF2"},
    {7, "GCLEF2"},
    {8, "0"},
    {9, "1"},
    {10, "2"},
    {11, "3"},
    {12, "4"},
    {13, "5"},
    {14, "6"},
    {15, "7"},
    {16, "8"},
    {17, "9"},
    {18, "16"},
    {19, "COMMON"},
    {20, "COMMON2"},
    {21, "BREVE"},
    {22, "1_"},
    {23, "2U"},
    {24, "2D"},
    {25, "4_"},
    {26, "4U"},
    {27, "4D"},
    {28, "8U"},
    {29, "8D"},
    {30, "16U"},
    {31, "16D"},
    {32, "32U"},
    {33, "32D"},
    {34, "64U"},
    {35, "64D"},
    {36, "DIAGLINE"},
    {37, "DOT"},
    {38, "DOT2"},
    {39, "BARLINE"},
    {40, "2BARLINE"},
    {41, "3BARLINE"},
    {42, "STAVE1"},
    {43, "STAVE2"},
    {44, "FLAT"},
    {45, "2FLAT"},
    {46, "SHARP"},
    {47, "2SHARP"},
    {48, "NATURAL"},
    {49, "0Z"},
    {50, "1Z"},
    {51, "2Z"},
    {52, "4Z"},
    {53, "8Z"},
    {54, "16Z"},
    {55, "32Z"},
    {56, "64Z"},
    {57, "4U2"},
    {58, "4D2"},
    {59, "8U2"},
    {60, "8D2"},
    {61, "16U2"},
    {62, "16D2"},
    {63, "32U2"},
    {64, "32D2"},
    {65, "HOLDUP"},
    {66, "HOLDDN"},
    {67, "REPBAR1"},
    {68, "REPBAR2"},
    {69, "REPBAR3"},
    {70, "REPEAT"},
    {71, "STACCUP"},
    {72, "FLATREV"},
    {73, "STACCCUP"},
    {74, "STACCCDN"},
    {75, "HATUP"},
    {76, "GREATER"},
    {77, "LINEUP"},
    {78, "LINEDN"},
    {79, "2U2"},
    {80, "2D2"},
    {81, "2U3"},
    {82, "2D3"},
    {83, "2U4"},
    {84, "2D4"},
    {85, "4U3"},
    {86, "4D3"},
    {87, "4U4"},
    {88, "4D4"},
    {89, "1_2"},
    {90, "4_2"},
    {91, "8U3"},
    {92, "8D3"},
    {93, "8U0"},
    {94, "8D0"},
    {95, "64U2"},
    {96, "64D2"},
    {97, "16U0"},
    {98, "16D0"},
    {99, "32U0"},
    {100, "32D0"},
    {101, "64U0"},
    {102, "64D0"},
    {103, "0X"},
    {104, "1X"},
    {105, "TURNROT"},
    {106, "TURNINV"},
    {107, "UPHOOK"},
    {108, "LOWHOOK"},
    {109, "16UX"},
    {110, "SPIKE"},
    {111, "MUFFLE1"},
    {112, "MUFFLE2"},
    {113, "MUFFLE3"},
    {114, "MUFFLE4"},
    {115, "SEGNO1"},
    {116, "SEGNO2"},
    {117, "1U3"},
    {118, "1D3"},
    {119, "1U4"},
    {120, "1D4"},
    {121, "TINYFLAT"},
    {122, "TINYSHAR"},
    {123, "TINYNATU"},
    {124, "USER1"},
    {125, "USER2"},
    {126, "USER3"},
    {127, "USER4"},
    {128, "USER5"},
    {129, "USER6"},
    {130, "USER7"},
    {131, "USER8"},
    {132, "USER9"},
    {133, "USER0"},
    {134, "PED"},
    {135, "STAR"},
    {136, "TURN"},
    {137, "BARSREST"},
    {138, "PP"},
    {139, "P"},
    {140, "MP"},
    {141, "MF"},
    {142, "F"},
    {143, "FF"},
    {144, "SF"},
    {145, "FZ"},
    {146, "8VA"},
    {147, "DIVISI"},
    {148, "8us"},
    {149, "8ds"},
    {150, "16us"},
    {151, "16ds"},
    {152, "32us"},
    {153, "32ds"},
    {154, "64us"},
    {155, "64ds"},
    {156, "SEMIBREV"},
    {157, "TWIDDLE"},
    {158, "SEGNO3"},
    {159, "PPP"},
    {160, "FFF"},
    {161, "MM"},
    {162, "SLUR"},
    {163, "CROTEQAL"},
    {164, "SLIDE"},
    {165, "8VB"},
    {166, "TR"},
    {167, "SFZ"},
    {168, "TURNLINE"},
    {169, "I0"},
    {170, "I1"},
    {171, "I2"},
    {172, "I3"},
    {173, "I4"},
    {174, "I5"},
    {175, "I6"},
    {176, "I7"},
    {177, "I8"},
    {178, "I9"},
    {179, "DOT3"},
    {180, "horitwid"},
    {181, "circle1"},
    {182, "circle2"},
    {183, "circle3"},
    {184, "circle4"},
    {185, "circle5"},
    {186, "circle6"},
    {187, "circle7"},
    {188, "circle8"},
    {189, "circle9"},
    {190, "fb0"},
    {191, "fb1"},
    {192, "fb2"},
    {193, "fb3"},
    {194, "fb4"},
    {195, "fb5"},
    {196, "fb6"},
    {197, "fb7"},
    {198, "fb8"},
    {199, "fb9"},
    {200, "fb2x"},
    {201, "fb4x"},
    {202, "fb5x"},
    {203, "fb6x"},
    {204, "fb7x"},
    {205, "fb42"},
    {206, "fb53"},
    {207, "fb64"},
    {208, "fb63"},
    {209, "fb73"},
    {210, "fb4x2"},
    {211, "fb42x"},
    {212, "fb4x2x"},
    {213, "dc"},
    {214, "ds"},
    {215, "U"},
    {216, "Diamond"},
    {217, "downarrow"},
    {218, "uparrow"},
    {219, "combiup"},
    {220, "combidn"},
    {221, "V"},
    {222, "Vdot"},
    {223, "invertvdot"},
    {224, "dottedbarline"},
    {225, "halfbarline"},
    {226, "halfbarline2"},
    {227, "slash2"},
    {228, "qtrsharp"},
    {229, "3qtrsharp"},
    {230, "0Z2"},
    {231, "1Z2"},
    {232, "2Z2"},
    {233, "4Z2"},
    {234, "8Z2"},
    {235, "16Z2"},
    {236, "32Z2"},
    {237, "64Z2"},
    {238, "COMMONS"},
    {239, "COMMON2S"},
    {240, "twidup"},
    {241, "twiddn"},
    {242, "15MA"},
    {244, "finger0"},
    {245, "finger1"},
    {246, "finger2"},
    {247, "finger3"},
    {248, "finger4"},
    {249, "finger5"},
    {250, "finger6"},
    {251, "finger7"},
    {252, "finger8"},
    {253, "finger9"},
    {255, "tinyblack"},
};

constexpr std::array<const char*, 256> MakeNameTable() {
    std::array<const char*, 256> t{};
    for (const Named& n : kNames)
        t[static_cast<std::size_t>(n.code)] = n.name;
    return t;
}
constexpr std::array<const char*, 256> kNameByCode = MakeNameTable();

// Ink boxes measured from the committed screen bitmaps by the glyph generator.
constexpr GlyphBox kInkBoxes[256] = {
#include "layout/GlyphInkBoxes.inc"
};

struct CodeNudge {
    int code;
    Nudge n;
};

// Where the artwork of a glyph is drawn off its reference point: these values
// and the artwork belong together (the generator reads this table).
constexpr CodeNudge kScreenNudges[] = {
    {71, {6, -8}},   // STACCUP
    {76, {5, 25}},   // GREATER
    {78, {9, 0}},    // LINEDN
    {49, {8, 0}},    // 0Z
    {50, {8, 1}},    // 1Z
    {51, {8, -1}},   // 2Z
    {30, {1, -2}},   // 16U
    {32, {1, -10}},  // 32U
    {34, {1, -16}},  // 64U
    {33, {0, 3}},    // 32D
    {35, {0, 12}},   // 64D
    {59, {1, -14}},  // 8U2
    {61, {1, -14}},  // 16U2
    {63, {1, -14}},  // 32U2
    {60, {-2, 14}},  // 8D2
    {62, {-2, 14}},  // 16D2
    {64, {-2, 14}},  // 32D2
    {96, {-2, 14}},  // 64D2
    {244, {4, 0}},
    {245, {4, 0}},
    {246, {4, 0}},
    {247, {4, 0}},
    {248, {4, 0}},
    {249, {4, 0}},
    {250, {4, 0}},
    {251, {4, 0}},
    {252, {4, 0}},
    {253, {4, 0}},
    {25, {2, -1}},  // 4_
    // The art of these stands off-centre in its cell so that none of it is cut
    // off: the third dot, the small 64th flag, and the notes whose 32nd and
    // 64th flags reach past their stems.
    {28, {0, -2}},    // 8U
    {179, {8, 0}},    // DOT3
    {95, {1, -14}},   // 64U2
    {99, {0, -6}},    // 32U0
    {152, {0, -6}},   // 32us
    {101, {0, -12}},  // 64U0
    {154, {0, -12}},  // 64us
    {100, {0, 6}},    // 32D0
    {153, {0, 6}},    // 32ds
    {102, {0, 12}},   // 64D0
    {155, {0, 12}},   // 64ds
};

constexpr CodeNudge kPrintNudges[] = {
    {59, {1, 0}},  {61, {1, 0}},  {63, {1, 0}},                 // small up flags
    {95, {1, 0}},                                               // 64U2
    {60, {3, 0}},  {62, {3, 0}},  {64, {3, 0}},  {96, {3, 0}},  // small down flags
    {190, {0, 2}}, {191, {0, 2}}, {192, {0, 2}}, {193, {0, 2}}, {194, {0, 2}}, {195, {0, 2}},
    {196, {0, 2}}, {197, {0, 2}}, {198, {0, 2}}, {199, {0, 2}}, {25, {-9, 3}},  // 4_
    {22, {-4, 0}},                                                              // 1_
};

template <std::size_t N>
constexpr std::array<Nudge, 256> MakeNudges(const CodeNudge (&list)[N]) {
    std::array<Nudge, 256> t{};
    for (const CodeNudge& c : list)
        t[static_cast<std::size_t>(c.code)] = c.n;
    return t;
}
constexpr std::array<Nudge, 256> kScreen = MakeNudges(kScreenNudges);
constexpr std::array<Nudge, 256> kPrint = MakeNudges(kPrintNudges);

int ClassIndex(int pointSize) {
    if (pointSize <= 7) return 0;
    if (pointSize <= 10) return 1;
    if (pointSize <= 19) return 2;
    if (pointSize <= 28) return 4;
    if (pointSize <= 35) return 5;
    if (pointSize <= 44) return 6;
    return 7;
}

}  // namespace

const char* GlyphBaseName(int code) {
    if (code < 0 || code > 255 || kNameByCode[static_cast<std::size_t>(code)] == nullptr)
        return "NOTHING";
    return kNameByCode[static_cast<std::size_t>(code)];
}

bool GlyphFillsItsCell(int code, bool printSet) {
    return code == glyph::NOTEHEAD_BLACK && !printSet;
}

bool GlyphHasArt(int code) {
    return code >= 0 && code <= 255 && kNameByCode[static_cast<std::size_t>(code)] != nullptr;
}

std::string GlyphResourceName(int code, bool printMode) {
    return std::string(printMode ? "hbm" : "bm") + GlyphBaseName(code);
}

GlyphBox GlyphInkBox(int code) {
    if (code < 0 || code > 255) return {kScreenCellW, 0, kScreenCellH, 0};
    return kInkBoxes[code];
}

int GlyphInkWidth(int code) {
    GlyphBox b = GlyphInkBox(code);
    int w = b.right - b.left;
    return w >= 0 && w <= 31 ? w : 0;
}

int ScreenBitmapWidth(int code) {
    constexpr int kHeadBitmapW = 10;
    return code == glyph::NOTEHEAD_BLACK ? kHeadBitmapW : kScreenCellW;
}

InkColumns GlyphInkColumns(int code, int32_t x) {
    const GlyphBox box = GlyphInkBox(code);
    const int32_t left = x + ScreenNudge(code).x - ScreenBitmapWidth(code) / 2 - 1;
    return {left + box.left, left + box.right};
}

Nudge ScreenNudge(int code) {
    return code >= 0 && code <= 255 ? kScreen[code] : Nudge{};
}
Nudge PrintNudge(int code) {
    return code >= 0 && code <= 255 ? kPrint[code] : Nudge{};
}

int LineSpacing(int sizeIndex) {
    return sizeIndex == 0 ? 8 : 5;
}

std::string TextAccidentalName(int pointSize, int accidental, bool printMode) {
    const char* family = accidental > 0 ? "SHARP" : (accidental < 0 ? "FLAT" : "NAT");
    char buf[32];
    std::snprintf(buf, sizeof buf, "%sbm%s%03d", printMode ? "h" : "", family,
                  kTextAccidentalClasses[static_cast<std::size_t>(ClassIndex(pointSize))]);
    return buf;
}

TextAccidentalOffset TextAccidentalPlace(int pointSize, int accidental) {
    // Per class: sharp, natural, flat.
    static constexpr TextAccidentalOffset kOffsets[8][3] = {
        {{3, -10}, {3, -10}, {3, -10}}, {{1, -24}, {2, -24}, {1, -23}},
        {{3, -38}, {3, -38}, {3, -35}}, {{3, -38}, {3, -38}, {3, -35}},
        {{3, -63}, {3, -63}, {3, -60}}, {{3, -80}, {3, -80}, {3, -77}},
        {{3, -95}, {3, -95}, {3, -90}}, {{3, -125}, {3, -125}, {3, -115}},
    };
    int which = accidental > 0 ? 0 : (accidental == 0 ? 1 : 2);
    return kOffsets[ClassIndex(pointSize)][which];
}

}  // namespace sw
