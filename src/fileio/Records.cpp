// Record field codecs of the score file.
#include "fileio/Records.h"

#include <cmath>
#include <cstring>

namespace sw {

std::string GetString(const uint8_t* p, int max) {
    int n = p[0] > max ? max : p[0];
    return std::string(reinterpret_cast<const char*>(p + 1), static_cast<std::size_t>(n));
}

void PutString(uint8_t* p, const std::string& s, int max) {
    std::size_t n =
        s.size() > static_cast<std::size_t>(max) ? static_cast<std::size_t>(max) : s.size();
    p[0] = static_cast<uint8_t>(n);
    std::memcpy(p + 1, s.data(), n);
}

uint16_t InchesToFile(double inches) {
    double v = std::nearbyint(inches * 1000.0);
    if (!(v > 0)) return 0;
    return v > 65535 ? 65535 : static_cast<uint16_t>(v);
}

int StoredKindBytes(int kind) {
    static constexpr int kBytes[] = {4,  2, 4, 1, 12, 14, 0, 8, 0,  14, 3,
                                     11, 8, 6, 3, 1,  14, 5, 7, 14, 14, 14};
    return kind >= 0 && kind <= kMaxKind ? kBytes[kind] : 0;
}

namespace {
constexpr uint8_t kStaccatoCode[] = {0, 1, 2, 5, 6};
constexpr uint8_t kEmphasisCode[] = {0, 0x08, 0x10, 0x20, 0x48, 0x50, 0x60};
}  // namespace

void PackNote(const NoteData& n, uint8_t b[kKindDataSize]) {
    std::memset(b, 0, kKindDataSize);
    b[0] = n.noteValue;
    b[1] = static_cast<uint8_t>(n.pitch);
    b[2] = static_cast<uint8_t>((n.dots & 3) | ((n.durMod2 & 0x3F) << 2));
    b[3] = static_cast<uint8_t>((n.stem & 3) | ((n.durMod & 0x3F) << 2));
    b[4] = n.beamBackTo;
    b[5] = n.beamOnTo;
    b[6] = static_cast<uint8_t>((n.rest ? 1 : 0) | (n.headSize == 1 ? 2 : 0) |
                                ((n.tremuloBars & 7) << 2) | (n.beamStem1 ? 0x20 : 0) |
                                (n.headSize == 5 ? 0x40 : 0) | (n.noShorten ? 0x80 : 0));
    b[7] = static_cast<uint8_t>((n.staccato < 5 ? kStaccatoCode[n.staccato] : 0) |
                                (n.emphasis < 7 ? kEmphasisCode[n.emphasis] : 0));
    b[8] = static_cast<uint8_t>((n.beamBackDown ? 1 : 0) | (n.beamBackUp ? 2 : 0) |
                                (n.beamOnDown ? 4 : 0) | (n.beamOnUp ? 8 : 0) |
                                (n.beamStem2 ? 0x10 : 0) | (n.singleBeam ? 0x20 : 0) |
                                (n.flatBeam ? 0x40 : 0));
    b[9] = n.tieLeft;
    b[10] = n.tieRight;
    b[11] = n.tieOver;
    b[12] = n.head;
    b[13] = static_cast<uint8_t>(n.lengthIncr);
}

void UnpackNote(const uint8_t b[kKindDataSize], NoteData& n) {
    n = NoteData{};
    n.noteValue = b[0];
    n.pitch = static_cast<int8_t>(b[1]);
    n.dots = b[2] & 3;
    n.durMod2 = b[2] >> 2;
    n.stem = b[3] & 3;
    n.durMod = b[3] >> 2;
    n.beamBackTo = b[4];
    n.beamOnTo = b[5];
    n.rest = b[6] & 1;
    n.cueSize = (b[6] >> 1) & 1;
    n.headSize = (b[6] & 0x40) ? 5 : ((b[6] & 2) ? 1 : 0);
    n.tremuloBars = (b[6] >> 2) & 7;
    n.beamStem1 = (b[6] >> 5) & 1;
    n.noShorten = (b[6] >> 7) & 1;
    switch (b[7] & 7) {
        case 1:
            n.staccato = 1;
            break;
        case 2:
            n.staccato = 2;
            break;
        case 5:
            n.staccato = 3;
            break;
        case 6:
            n.staccato = 4;
            break;
        default:
            n.staccato = 0;
    }
    switch (b[7] & 0x78) {
        case 0x08:
            n.emphasis = 1;
            break;
        case 0x10:
            n.emphasis = 2;
            break;
        case 0x20:
            n.emphasis = 3;
            break;
        case 0x48:
            n.emphasis = 4;
            break;
        case 0x50:
            n.emphasis = 5;
            break;
        case 0x60:
            n.emphasis = 6;
            break;
        default:
            n.emphasis = 0;
    }
    n.beamBackDown = b[8] & 1;
    n.beamBackUp = (b[8] >> 1) & 1;
    n.beamOnDown = (b[8] >> 2) & 1;
    n.beamOnUp = (b[8] >> 3) & 1;
    n.beamStem2 = (b[8] >> 4) & 1;
    n.singleBeam = (b[8] >> 5) & 1;
    n.flatBeam = (b[8] >> 6) & 1;
    n.tieLeft = b[9];
    n.tieRight = b[10];
    n.tieOver = b[11];
    n.head = b[12];
    n.lengthIncr = static_cast<int8_t>(b[13]);
    if (n.stem == 3) n.stem = n.pitch >= 0 ? 1 : 0;
}

void ConvertOlderNoteRecord(uint8_t d[kKindDataSize]) {
    uint8_t old7 = d[7], old8 = d[8];
    d[6] &= 1;
    d[7] = static_cast<uint8_t>((old7 == 1 ? 0x08 : 0) + (old8 == 1 ? 1 : (old8 == 2 ? 2 : 0)));
    d[8] = 0;
}

TimesigData CommonTimeToTimesig(uint8_t code) {
    // code -> numerator, denominator for the figured signatures from code 2 on.
    static constexpr uint8_t kFigures[][2] = {{1, 1}, {2, 2}, {3, 2}, {2, 4}, {3, 4},
                                              {4, 4}, {5, 4}, {6, 4}, {7, 4}, {3, 8},
                                              {6, 8}, {9, 8}, {12, 8}};
    if (code == 0) return {0, 0, 0, 1};
    if (code == 1) return {0, 0, 0, 2};
    if (code >= 2 && code <= 14) return {kFigures[code - 2][0], kFigures[code - 2][1], 0, 0};
    return {0, 0, 0, 0};
}

int DescriptionRecordCount(std::size_t length) {
    if (length <= 21) return 1;
    if (length <= 42) return 2;
    return 3;
}

uint8_t DescriptionCountBits(int records) {
    switch (records) {
        case 1:
            return 0x20;
        case 2:
            return 0x10;
        case 3:
            return 0x30;
        default:
            return 0;
    }
}

int DescriptionCountFromFlags(uint8_t flags) {
    switch (flags & 0x30) {
        case 0x20:
            return 1;
        case 0x10:
            return 2;
        case 0x30:
            return 3;
        default:
            return 0;
    }
}

}  // namespace sw
