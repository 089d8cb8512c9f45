// The conversion of a recognition result into a score file, step by step:
// extents, scale, paper, offsets, staves, then each kind of object in table
// order, beam links, and the file.
#include "scan/ResultConversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/AtomicFile.h"
#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "fileio/ScoreFile.h"
#include "layout/GlyphTable.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

constexpr int kDefaultResolution = 300;
constexpr int kMaxStaveSizeField = 65535;  // thousandths, as the page record holds it
constexpr int kSmallClefOffset = 4;        // each clef's small glyph follows the four normal ones
constexpr int kTimesNewRoman = 1;          // the one font of a converted score
constexpr int kHeadroom = 16;              // page pixels kept above the first stave
// Object limits: most kinds only below 248 objects, time signatures and
// texts below 249, a slur's points below 250.
constexpr int kBelowMost = 248, kBelowTexts = 249, kBelowCurves = 250;
// The ~~~ glyph of each dynamic, ppp … fff.
constexpr uint8_t kDynamicGlyphs[8] = {159, 138, 139, 140, 141, 142, 143, 160};

bool Bad(int32_t v) {
    return v == kBadNumber;
}
bool Bad(const ResultPoint& p) {
    return p.first == kBadNumber || p.second == kBadNumber;
}
bool Fits16(int64_t v) {
    return v >= INT16_MIN && v <= INT16_MAX;
}
// Result units to page pixels: halved, truncating towards zero.
int64_t Half(int64_t v) {
    return v / 2;
}
// Nearest integer, halves to even; nothing for a value no integer field holds.
std::optional<int64_t> Round64(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e15) return std::nullopt;
    return static_cast<int64_t>(std::nearbyint(v));
}

class Builder {
  public:
    Builder(const RecognitionTables& t, const ConversionOptions& o, const TextMeasurer& m,
            Score& score, ConversionOutcome& out)
        : t_(t), o_(o), m_(m), score_(score), out_(out) {}

    bool extents(bool fitPage, const PaperFitAsker& ask);
    void staves();
    void barlines();
    void clefs();
    void keysigs();
    void timesigs();
    void dynamics();
    void texts();
    void chords();
    void slurs();
    void lyrics();
    void linkBeams();

  private:
    // The score stave of result stave `r` (1-based), 0 when there is none.
    int staveOf(int64_t r) const {
        return r >= 1 && r < static_cast<int64_t>(staveMap_.size())
                   ? staveMap_[static_cast<std::size_t>(r)]
                   : 0;
    }
    int barStave(int bar) const {
        if (bar < 1 || bar > static_cast<int>(t_.bars.size())) return 0;
        return staveOf(t_.bars[static_cast<std::size_t>(bar - 1)].stave);
    }
    // The next slot of stave s while it holds fewer than `below` objects:
    // zeroed (glyph 0 too), kind and position set. Nothing when the stave is
    // full or the position does not fit the file's fields.
    int add(int s, int below, int64_t x, int64_t y, uint8_t kind) {
        if (s < 1 || s > score_.Nstaves || !Fits16(x) || !Fits16(y)) return 0;
        StaveBlock& b = score_.stave(s);
        if (b.h.Nobjec >= below) return 0;
        const int slot = ++b.h.Nobjec;
        ScoreObject& o = b.obj[static_cast<std::size_t>(slot)];
        o = ScoreObject{};
        o.glyph = 0;
        o.kind = kind;
        o.x = static_cast<int32_t>(x);
        o.y = static_cast<int32_t>(y);
        return slot;
    }
    ScoreObject& obj(int s, int slot) { return score_.object(s, slot); }
    int64_t leftX(int s) const { return score_.stave(s).h.LeftX; }
    int64_t ycoord(int s) const { return score_.stave(s).h.Ycoord; }
    void addText(int s, int64_t x, int64_t y, const std::string& text);

    const RecognitionTables& t_;
    const ConversionOptions& o_;
    const TextMeasurer& m_;
    Score& score_;
    ConversionOutcome& out_;
    std::vector<int> staveMap_;
    // Beam groups by (bar, id), held by the stem-end note of each chord.
    struct BeamNote {
        int bar = 0;
        int32_t id = 0;
        int rightBeams = 0;
    };
    std::map<std::pair<int, int>, BeamNote> beams_;  // (stave, slot)
};

bool Builder::extents(bool fitPage, const PaperFitAsker& ask) {
    ConversionGeometry& g = out_.geometry;
    g.resolution = ScanResolution(o_.dpiText);
    if (t_.systems.empty() || t_.staves.empty()) return false;
    int64_t right = INT64_MIN, left = INT64_MAX;
    for (const ResultSystem& s : t_.systems) {
        if (Bad(s.left) || Bad(s.width)) continue;
        right = std::max<int64_t>(right, static_cast<int64_t>(s.left) + s.width);
        left = std::min<int64_t>(left, s.left);
    }
    if (right == INT64_MIN || Bad(t_.systems.front().top)) return false;
    const auto maxRight = Round64(1.03 * static_cast<double>(right));
    if (!maxRight) return false;
    g.maxRight = *maxRight;
    g.minLeft = left;
    g.firstTop = t_.systems.front().top;
    g.maxSize = 0;
    for (const ResultStave& s : t_.staves)
        if (!Bad(s.size)) g.maxSize = std::max<int64_t>(g.maxSize, s.size);

    const auto s0 =
        Round64(static_cast<double>(t_.page.spacing) / 1024.0 * 4.0 / g.resolution * 1000.0);
    if (!s0 || *s0 <= 0 || *s0 > kMaxStaveSizeField) return false;
    g.baseStaveSize = static_cast<int>(*s0);
    const auto needed =
        Round64(static_cast<double>(Half(g.maxRight) + 10 - (Half(g.minLeft) - 10)) / 32.0 *
                g.baseStaveSize);
    const auto size = Round64(static_cast<double>(g.baseStaveSize) * g.maxSize / 64.0);
    if (!needed || !size || *size <= 0 || *size > kMaxStaveSizeField) return false;
    g.needed = *needed;
    g.staveSize = static_cast<int>(*size);

    // The paper: portrait unless it does not fit and the user picks landscape.
    const PaperDefaults& p = o_.paper;
    PaperChoice choice{false, g.staveSize};
    if (fitPage) {
        const PaperFitDialogModel model(g.needed, p, g.staveSize);
        const int button = model.asks() && ask ? ask(model) : PaperFitDialogModel::kDefaultButton;
        choice = model.choose(button);
    }
    if (choice.staveSize <= 0) return false;
    g.staveSize = choice.staveSize;
    g.landscape = choice.landscape;
    PageData& page = score_.page;
    const double w = p.width / 1000.0, l = p.length / 1000.0;
    const double lm = p.left / 1000.0, rm = p.right / 1000.0, tm = p.top / 1000.0,
                 bm = p.bottom / 1000.0;
    if (g.landscape)
        page = PageData{l, w, rm, lm, bm, tm, 0.0, 0.0, 0.0, true, true};
    else
        page = PageData{w, l, tm, bm, rm, lm, 0.0, 0.0, 0.0, true, false};
    score_.staveSize = g.staveSize / 1000.0;

    // Offsets: the leftmost system 10 pixels into the music area, the first
    // stave's top line no nearer the top of it than two spaces, so that a
    // clef or a note above the stave stays on the page (a picture with less
    // margin than the paper's would otherwise put the top line at 0).
    g.xoff = 10 - Half(g.minLeft);
    const auto top = Round64((g.landscape ? p.right : p.top) * 32.0 / g.staveSize);
    if (!top) return false;
    g.yoff = -*top;
    if (Half(g.firstTop) + g.yoff < kHeadroom) g.yoff = kHeadroom - Half(g.firstTop);
    g.yoff += 16;
    return true;
}

void Builder::staves() {
    const ConversionGeometry& g = out_.geometry;
    staveMap_.assign(t_.staves.size() + 1, 0);
    const int64_t smallLimit =
        MulDiv(static_cast<int>(std::min<int64_t>(g.maxSize, INT32_MAX / 4)), 4, 5);
    std::vector<int> systemOf;
    for (std::size_t r = 0; r < t_.staves.size(); ++r) {
        const ResultStave& rs = t_.staves[r];
        if (Bad(rs.top) || Bad(rs.left) || Bad(rs.width)) continue;
        const int64_t y = Half(rs.top) + g.yoff;
        const int64_t lx = Half(rs.left) + g.xoff;
        const int64_t rx = Half(static_cast<int64_t>(rs.left) + rs.width) + g.xoff;
        // Every position the stave record holds must fit its 16 bits.
        if (!Fits16(y - 32) || !Fits16(y + 32) || !Fits16(lx) || !Fits16(rx)) continue;
        if (!score_.appendStaves(1)) break;
        const int s = score_.Nstaves;
        staveMap_[r + 1] = s;
        systemOf.push_back(rs.system);
        StaveHeader& h = score_.stave(s).h;
        h.Ycoord = static_cast<int32_t>(y);
        h.MinY = h.Ycoord - 32;
        h.MaxY = h.Ycoord + 32;
        h.LeftX = static_cast<int32_t>(lx);
        h.RightX = static_cast<int32_t>(rx);
        h.sizeIndex = !Bad(rs.size) && rs.size <= smallLimit ? 1 : 0;
        h.PageNum = 1;
        h.staveIndex = static_cast<int16_t>(s);
    }
    for (int s = 1; s < score_.Nstaves; ++s)
        score_.stave(s).h.joinToNext =
            systemOf[static_cast<std::size_t>(s - 1)] == systemOf[static_cast<std::size_t>(s)];
}

void Builder::barlines() {
    for (const ResultBar& b : t_.bars) {
        const int s = staveOf(b.stave);
        if (!s || !b.hasBarline || b.barline.invented || b.barline.type < 0 ||
            Bad(b.barline.rightLineX))
            continue;
        // Bar lines belong to the first stave of a system; the others draw them from it.
        if (s > 1 && score_.stave(s - 1).h.joinToNext) continue;
        static constexpr uint8_t kStyle[6] = {0, 1, 3, 2, 4, 5};
        static constexpr int kNudge[6] = {-1, 1, 0, 0, 0, 0};
        const int type = b.barline.type;
        const int64_t x = leftX(s) + Half(b.barline.rightLineX) + kNudge[type];
        const int slot = add(s, kBelowMost, x, ycoord(s), kBarline);
        if (slot) obj(s, slot).data.barline.style = kStyle[type];
    }
}

void Builder::clefs() {
    for (const ResultClef& c : t_.clefs) {
        const int s = barStave(c.bar);
        if (!s || c.shape < 0 || Bad(c.centre)) continue;
        bool already = false;
        const StaveBlock& b = score_.stave(s);
        for (int i = 1; i <= b.h.Nobjec; ++i)
            already = already || b.obj[static_cast<std::size_t>(i)].kind == kClef;
        const int slot = add(s, kBelowMost, leftX(s) + Half(c.centre.second) + 4, ycoord(s), kClef);
        if (!slot) continue;
        ClefData& d = obj(s, slot).data.clef;
        switch (c.shape) {
            case kClefBass:
                d.type = 1;
                break;
            case kClefAlto:
                d.type = c.pitchPosn == -2 ? 3 : 2;
                break;
            default:
                d.type = 0;
                d.octaveUp = c.shape == kClefTrebleUp8;
                d.octaveDown = c.shape == kClefTrebleDown8;
        }
        d.small = already;
        static constexpr uint8_t kGlyph[4] = {glyph::GCLEF, glyph::FCLEF, glyph::ACLEF,
                                              glyph::TCLEF};
        obj(s, slot).glyph =
            static_cast<uint8_t>(kGlyph[d.type] + (already ? kSmallClefOffset : 0));
    }
}

void Builder::keysigs() {
    for (const ResultKeysig& k : t_.keysigs) {
        const int s = barStave(k.bar);
        if (!s || Bad(k.centre) || k.key < -7 || k.key > 7) continue;
        const int slot =
            add(s, kBelowMost, leftX(s) + Half(k.centre.second) + 2, ycoord(s), kKeysig);
        if (slot) obj(s, slot).data.keysig.key = static_cast<int8_t>(k.key);
    }
}

// The CommonTime code of a meter, or -1 for one there is none for.
int MeterCode(const ResultTimesig& t) {
    if (t.showAsAlpha) {
        if (t.top == 4 && t.bottom == 4) return 0;
        if (t.top == 2 && t.bottom == 2) return 1;
        return -1;
    }
    if (t.bottom == 1 && t.top == 1) return 2;
    if (t.bottom == 2 && t.top >= 2 && t.top <= 3) return t.top + 1;
    if (t.bottom == 4 && t.top >= 2 && t.top <= 7) return t.top + 3;
    if (t.bottom == 8 && t.top % 3 == 0 && t.top >= 3 && t.top <= 12) return 10 + t.top / 3;
    return -1;
}

void Builder::timesigs() {
    for (std::size_t i = 0; i < t_.bars.size(); ++i) {
        const ResultBar& b = t_.bars[i];
        const int s = staveOf(b.stave);
        if (!s || !b.hasTimesig) continue;
        const int code = MeterCode(b.timesig);
        if (code < 0) {
            if (!b.timesig.showAsAlpha) ++out_.beeps;
            continue;
        }
        if (Bad(b.timesig.centre)) continue;
        const int slot = add(s, kBelowTexts, leftX(s) + Half(b.timesig.centre.second) + 4,
                             ycoord(s), kCommonTime);
        if (slot) obj(s, slot).data.commonTime.code = static_cast<uint8_t>(code);
    }
}

void Builder::dynamics() {
    for (const ResultDynamic& d : t_.dynamics) {
        const int s = staveOf(d.stave);
        if (!s || d.type < 0 || Bad(d.r)) continue;
        const int64_t y = Half(d.r) + ycoord(s) - 16;
        if (d.type == kHairpinCresc || d.type == kHairpinDim) {
            if (Bad(d.c0) || Bad(d.c1)) continue;
            const bool cresc = d.type == kHairpinCresc;
            const int64_t x = leftX(s) + Half(cresc ? d.c0 : d.c1);
            const int64_t length =
                Half(cresc ? static_cast<int64_t>(d.c1) - d.c0 : static_cast<int64_t>(d.c0) - d.c1);
            if (!Fits16(length)) continue;
            const int slot = add(s, kBelowMost, x, y, kHairpin);
            if (!slot) continue;
            HairpinData& h = obj(s, slot).data.hairpin;
            h.length = static_cast<int16_t>(length);
            h.halfOpening = 5;
            h.thickness = 1;
        } else {
            if (Bad(d.c)) continue;
            const int slot = add(s, kBelowMost, leftX(s) + Half(d.c), y, kTrill);
            if (slot) obj(s, slot).glyph = kDynamicGlyphs[d.type - kDynPPP];
        }
    }
}

TextFont ResultFont(int32_t style, int32_t height) {
    static const char* const kFaces[3] = {"Arial", "Times New Roman", "Courier New"};
    TextFont f;
    const int32_t face = style >= 0 ? style / 4 : 0;
    f.name = kFaces[face >= 0 && face < 3 ? face : 0];
    f.style = static_cast<uint8_t>(style >= 0 ? style & 3 : 0);
    f.pointSize = std::max<int32_t>(height, 24) / 3;
    return f;
}

// A text as a chain of ten-character chunks; a chain the stave cannot hold
// whole ends at the last chunk that fits.
void Builder::addText(int s, int64_t x, int64_t y, const std::string& text) {
    int previous = 0;
    for (std::size_t at = 0; at < text.size(); at += 10) {
        const int slot = add(s, kBelowTexts, x, y, kText);
        if (!slot) return;
        TextData& d = obj(s, slot).data.text;
        d.fontNumber = kTimesNewRoman;
        d.textFlags = at == 0 ? 0 : 0x80;
        obj(s, slot).setChunk(text.substr(at, 10));
        if (previous) obj(s, previous).data.text.nextChunk = static_cast<uint8_t>(slot);
        previous = slot;
    }
}

void Builder::texts() {
    for (const ResultText& t : t_.texts) {
        const int s = staveOf(t.stave);
        // A size no font has is no text.
        if (!s || Bad(t.abot) || Bad(t.c0) || Bad(t.style) || t.height > 3000 || t.text.empty())
            continue;
        const TextFont font = ResultFont(t.style, t.height);
        const int64_t y = Half(t.abot) + ycoord(s) - m_.height(font, t.text) - 16;
        addText(s, leftX(s) + Half(t.c0), y, t.text);
    }
}

void Builder::lyrics() {
    for (const ResultLyricElement& e : t_.lyricElements) {
        if (e.extender || e.text.empty() || Bad(e.midc) || e.line < 1 ||
            e.line > static_cast<int>(t_.lyricLines.size()))
            continue;
        const ResultLyricLine& line = t_.lyricLines[static_cast<std::size_t>(e.line - 1)];
        const int s = staveOf(line.stave);
        const int32_t height = t_.version > 2010 ? line.height : 36;
        if (!s || Bad(line.abot) || height > 3000) continue;
        const TextFont font = ResultFont(0, height);
        const int64_t x = leftX(s) + Half(e.midc) - m_.width(font, e.text) / 2;
        const int64_t y = Half(line.abot) + ycoord(s) - m_.height(font, e.text) - 16;
        addText(s, x, y, e.text);
    }
}

void Builder::chords() {
    // The notes of each chord, in table order.
    std::vector<std::vector<std::size_t>> notesOf(t_.chords.size() + 1);
    for (std::size_t n = 0; n < t_.notes.size(); ++n) {
        const int c = t_.notes[n].chord;
        if (c >= 1 && c <= static_cast<int>(t_.chords.size()))
            notesOf[static_cast<std::size_t>(c)].push_back(n);
    }
    for (std::size_t ci = 0; ci < t_.chords.size(); ++ci) {
        const ResultChord& c = t_.chords[ci];
        const ResultBar* bar = c.bar >= 1 && c.bar <= static_cast<int>(t_.bars.size())
                                   ? &t_.bars[static_cast<std::size_t>(c.bar - 1)]
                                   : nullptr;
        const int s = barStave(c.bar);
        if (!bar || !s || Bad(c.flagPosn) || Bad(c.augDots) || Bad(c.flags)) continue;
        int left = 0, right = 0;
        if (c.beamed) {
            if (Bad(c.beamId) || c.beamLeft < 0 || c.beamRight < 0 || Bad(c.beamLeft) ||
                Bad(c.beamRight))
                continue;
            left = std::min(c.beamLeft, 7);
            right = std::min(c.beamRight, 7);
        }
        const int beams = std::max(left, right);
        const std::vector<std::size_t>& notes = notesOf[ci + 1];

        // The stem-end note: the highest (stem up) or lowest normal-side head.
        std::optional<std::size_t> stemEnd;
        for (std::size_t n : notes) {
            const ResultNote& rn = t_.notes[n];
            if (!rn.normalSide || Bad(rn.p)) continue;
            if (!stemEnd || (c.stemUp ? rn.p < t_.notes[*stemEnd].p : rn.p > t_.notes[*stemEnd].p))
                stemEnd = n;
        }

        const int64_t fx = c.flagPosn.second;
        const int64_t chordX = leftX(s) + (c.virtualStem ? Half(fx) + 8
                                           : c.stemUp    ? Half(fx - 10)
                                                         : Half(fx + 10));
        struct Placed {
            int stave, slot;
            std::size_t note;
        };
        std::vector<Placed> placed;
        for (std::size_t n : notes) {
            const ResultNote& rn = t_.notes[n];
            if (rn.shape < 0 || Bad(rn.p) || Bad(rn.staveOffset)) continue;
            const int ns = staveOf(static_cast<int64_t>(bar->stave) + rn.staveOffset);
            if (!ns) continue;
            const bool rest = IsRestShape(rn.shape);
            int value = 0;
            switch (rn.shape) {
                case kShapeBreve:
                case kShapeBreveRest:
                    value = 0;
                    break;
                case kShapeSbreve:
                case kShapeSbreveRest:
                    value = 1;
                    break;
                case kShapeMinim:
                case kShapeMinimGrace:
                case kShapeMinimRest:
                    value = 2;
                    break;
                case kShapeSolid:
                case kShapeGrace:
                    // Beams count when beamed, else flags; none shorter than a hemidemisemiquaver.
                    value = 3 + std::clamp(c.beamed ? beams : c.flags, 0, 4);
                    break;
                default:
                    value = rn.shape - kShapeCrotchetRest + 3;
            }
            int64_t pitch = -static_cast<int64_t>(rn.p);
            if (rn.shape == kShapeSbreveRest) pitch -= 2;
            if (rn.shape == kShapeSquaverRest) pitch -= 1;
            if (pitch < INT8_MIN || pitch > INT8_MAX || c.augDots < 0 || c.augDots > 3) continue;
            const int spacing = LineSpacing(score_.stave(ns).h.sizeIndex);
            const int64_t y = ycoord(ns) - spacing * pitch / 2;
            const int64_t x = chordX - (rest ? 8 : 0) - (rn.shape == kShapeSbreve ? 10 : 0);
            const int slot = add(ns, kBelowMost, x, y, kNote);
            if (!slot) continue;
            NoteData& d = obj(ns, slot).note();
            d.noteValue = static_cast<uint8_t>(value);
            d.rest = rest;
            d.pitch = static_cast<int8_t>(pitch);
            d.dots = static_cast<uint8_t>(c.augDots);
            d.stem = c.stemUp ? 0 : 1;
            d.staccato = c.staccato && rn.p == c.headEnd ? 1 : 0;
            d.emphasis = c.accent && o_.allowAccents ? 2 : 0;
            if (rn.shape == kShapeGrace || rn.shape == kShapeMinimGrace) d.headSize = 1;
            if (rn.shape == kShapeGrace && c.stemSlash) d.headSize = 5;
            if (rn.shape == kShapeMinim && c.beamed) {
                d.tremuloBars = static_cast<uint8_t>(beams);
                d.beamStem1 = 1;
            }
            StaveHeader& h = score_.stave(ns).h;
            h.MinY = std::min<int32_t>(h.MinY, static_cast<int32_t>(y));
            h.MaxY = std::max<int32_t>(h.MaxY, static_cast<int32_t>(y));
            if (c.beamed && stemEnd && *stemEnd == n)
                beams_[{ns, slot}] = BeamNote{c.bar, c.beamId, right};
            placed.push_back({ns, slot, n});
        }
        for (const Placed& p : placed) {
            const ResultNote& rn = t_.notes[p.note];
            if (rn.accid <= kAccidNone || Bad(rn.accidDc)) continue;
            static constexpr int8_t kType[8] = {0, 1, -1, 0, 2, -2, 1, -1};
            static constexpr int kOffset[8] = {0, 12, 10, 10, 14, 16, 22, 10};
            int64_t m = kOffset[rn.accid];
            if (!rn.normalSide) m += c.stemUp ? 20 : -20;
            const int64_t x = chordX + Half(m + rn.accidDc);
            const int slot = add(p.stave, kBelowMost, x, obj(p.stave, p.slot).y, kAccidental);
            if (!slot) continue;
            AccidentalData& a = obj(p.stave, slot).data.accidental;
            a.pitch = static_cast<int8_t>(-rn.p);
            a.accidental = kType[rn.accid];
            a.small = rn.shape == kShapeGrace;
        }
    }
}

// The points of a slur on the circular arc through its ends, as page pixels.
std::vector<std::pair<int64_t, int64_t>> ArcPoints(int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                                                   double r, int n) {
    double theta = 0;
    if (x1 != x2)
        theta = std::atan(static_cast<double>(y1 - y2) / static_cast<double>(x1 - x2));
    else if (y1 != y2)
        theta = y1 > y2 ? -M_PI / 2 : M_PI / 2;
    const double cs = std::cos(theta), sn = std::sin(theta);
    const double a1 = std::nearbyint(x1 * cs + y1 * sn), c1 = std::nearbyint(-x1 * sn + y1 * cs);
    const double a2 = std::nearbyint(x2 * cs + y2 * sn), c2 = std::nearbyint(-x2 * sn + y2 * cs);
    const double absR = std::fabs(r);
    const double phi = 2 * std::asin(std::clamp((a2 - a1) / (2 * absR), -1.0, 1.0));
    static const std::vector<double> kFractions[3] = {{0.5}, {0.2, 0.8}, {0.1, 0.5, 0.9}};
    std::vector<std::pair<int64_t, int64_t>> points{{x1, y1}};
    for (double t : kFractions[n - 3]) {
        const double a =
            std::nearbyint(a1 + absR * std::sin(phi / 2) - absR * std::sin((0.5 - t) * phi));
        double c = std::nearbyint(c1 - r * std::cos(phi / 2) + r * std::cos((0.5 - t) * phi));
        if (n == 5 && t == 0.5) c = std::trunc((9 * c + c2) / 10);
        points.emplace_back(static_cast<int64_t>(std::nearbyint(a * cs - c * sn)),
                            static_cast<int64_t>(std::nearbyint(a * sn + c * cs)));
    }
    points.emplace_back(x2, y2);
    return points;
}

void Builder::slurs() {
    const ConversionGeometry& g = out_.geometry;
    for (const ResultSlur& sl : t_.slurs) {
        if (sl.system < 1 || sl.system > static_cast<int>(t_.systems.size()) || Bad(sl.left) ||
            Bad(sl.right) || Bad(sl.radius))
            continue;
        const ResultSystem& sys = t_.systems[static_cast<std::size_t>(sl.system - 1)];
        if (Bad(sys.left) || Bad(sys.top)) continue;
        const int64_t lx = static_cast<int64_t>(sys.left) + sl.left.second;
        const int64_t ly = static_cast<int64_t>(sys.top) + sl.left.first - 32;
        const int64_t rx = static_cast<int64_t>(sys.left) + sl.right.second;
        const int64_t ry = static_cast<int64_t>(sys.top) + sl.right.first - 32;
        // An arc of that radius cannot join ends further apart than its diameter.
        const double apart = std::hypot(static_cast<double>(rx - lx), static_cast<double>(ry - ly));
        if (apart > 2.0 * std::fabs(static_cast<double>(sl.radius))) continue;
        const int64_t x1 = Half(lx) + g.xoff, y1 = Half(ly) + g.yoff;
        const int64_t x2 = Half(rx) + g.xoff, y2 = Half(ry) + g.yoff;
        const double r = static_cast<double>(Half(sl.radius));
        if (std::fabs(r) < 1 || !Fits16(x1) || !Fits16(y1) || !Fits16(x2) || !Fits16(y2)) continue;

        int s = 0;
        if (r <= 0) {
            for (int k = 1; k <= score_.Nstaves && !s; ++k)
                if (score_.stave(k).h.MaxY > y1) s = k;
            if (!s) s = score_.Nstaves;
        } else {
            for (int k = score_.Nstaves; k >= 1 && !s; --k)
                if (score_.stave(k).h.MinY < y1) s = k;
            if (!s) s = 1;
        }
        const int64_t d = x2 > x1 ? x2 - x1 : x1 - x2;
        const int n = d < 50 ? 3 : d < 200 ? 4 : 5;
        if (score_.stave(s).h.Nobjec + n >= kBelowCurves) continue;
        const auto points = ArcPoints(x1, y1, x2, y2, r, n);
        if (std::any_of(points.begin(), points.end(),
                        [](const auto& p) { return !Fits16(p.first) || !Fits16(p.second); }))
            continue;
        int previous = 0;
        for (const auto& [px, py] : points) {
            const int slot = add(s, kBelowCurves, px, py, kCurve);
            ScoreObject& o = obj(s, slot);
            o.glyph = kNoGlyph;
            o.curve().thickness = n == 5 ? 3 : 2;
            o.curve().prevAnchor = static_cast<uint8_t>(previous);
            if (previous) obj(s, previous).curve().nextAnchor = static_cast<uint8_t>(slot);
            previous = slot;
        }
    }
}

void Builder::linkBeams() {
    while (!beams_.empty()) {
        const std::pair<int, int> key{beams_.begin()->second.bar, beams_.begin()->second.id};
        // The group's notes, rightmost first (on equal x the lower stave and slot first).
        std::vector<std::pair<int, int>> group;
        for (const auto& [at, b] : beams_)
            if (b.bar == key.first && b.id == key.second) group.push_back(at);
        std::stable_sort(group.begin(), group.end(), [&](const auto& a, const auto& b) {
            return obj(a.first, a.second).x > obj(b.first, b.second).x;
        });
        std::size_t current = 0;
        for (;;) {
            const auto [cs, cslot] = group[current];
            const int32_t cx = obj(cs, cslot).x;
            std::optional<std::size_t> left;
            for (std::size_t k = 0; k < group.size() && !left; ++k)
                if (obj(group[k].first, group[k].second).x < cx) left = k;
            if (!left) break;
            const auto [ls, lslot] = group[*left];
            if (std::abs(ls - cs) <= 1) {
                NoteData& c = obj(cs, cslot).note();
                NoteData& l = obj(ls, lslot).note();
                c.beamBackTo = static_cast<uint8_t>(lslot);
                l.beamOnTo = static_cast<uint8_t>(cslot);
                c.beamBackUp = ls == cs - 1;
                c.beamBackDown = ls == cs + 1;
                l.beamOnUp = cs == ls - 1;
                l.beamOnDown = cs == ls + 1;
                if (beams_[{ls, lslot}].rightBeams == 1 && l.noteValue > 4) c.singleBeam = 1;
            }
            current = *left;
        }
        for (const auto& at : group)
            beams_.erase(at);
    }
}

}  // namespace

int ScanResolution(const std::string& dpiText) {
    int v = 0;
    const char* b = dpiText.data();
    const char* e = b + dpiText.size();
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e || b == e || v <= 0) return kDefaultResolution;
    return v;
}

bool BuildScoreFromResult(const RecognitionTables& tables, const ConversionOptions& options,
                          bool fitPage, const PaperFitAsker& ask, const TextMeasurer& measurer,
                          Score& score, ConversionOutcome& outcome) {
    score.clear();
    Builder b(tables, options, measurer, score, outcome);
    if (!b.extents(fitPage, ask)) {
        score.clear();
        return false;
    }
    // The leading records' values.
    score.naturalsInKeyChange = false;
    score.boxedBarNumbers = options.boxedBarNumbers;
    score.Spacing = 3;
    score.Pulse = 3;
    score.setBeamAngle(1);
    score.Tempo = 0;
    score.Page1 = 0;
    score.temperament = 0;
    score.proximity = 0;
    score.includeGraceNotes = false;
    score.bagpipeScore = false;
    score.fonts[1] = FontDesc{"Times New Roman", 12, 0, 0, 0};
    score.fontsInUse.reset();
    score.fontsInUse.set(1);

    b.staves();
    b.barlines();
    b.clefs();
    b.keysigs();
    b.timesigs();
    b.dynamics();
    b.texts();
    b.chords();
    if (options.includeCurves) b.slurs();
    if (options.includeWords) b.lyrics();
    b.linkBeams();
    return true;
}

std::string EncodeConvertedScore(const Score& score) {
    std::string bytes = EncodeScore(score, 0, score.Nstaves, false, 1, 96);
    bytes[10] = 1;  // the header's version-500 first page
    return bytes;
}

ConversionOutcome ConvertRecognitionResult(const std::string& resultPath,
                                           const std::string& scorePath,
                                           const ConversionOptions& options,
                                           RecognitionTables& tables, Score& score, Host& host,
                                           const TextMeasurer& measurer, const PaperFitAsker& ask) {
    ConversionOutcome out;
    tables.clear();
    std::ifstream in(resultPath, std::ios::binary);
    if (!in) {
        host.message(MsgType::Error, MessageText(msg::UnableToComplete), Buttons::OK);
        return out;
    }
    ReadRecognitionResult(in, tables);
    out.counts = tables.counts(options.includeWords);
    const bool write = !scorePath.empty();
    if (!BuildScoreFromResult(tables, options, write, ask, measurer, score, out)) {
        host.message(MsgType::Error, MessageText(msg::UnableToComplete), Buttons::OK);
        return out;
    }
    if (write) {
        const int error = WriteFileAtomically(scorePath, EncodeConvertedScore(score));
        if (error != 0) {
            host.message(MsgType::Error, WriteErrorText(error, true), Buttons::OK);
            return out;
        }
    }
    out.ok = true;
    return out;
}

}  // namespace sw
