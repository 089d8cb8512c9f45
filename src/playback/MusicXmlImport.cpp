// Setting an imported MusicXML document out as a score: measures fill
// systems, columns are spaced by duration, notes get the accidentals a reader
// must see, and ties, beams, slurs, marks and texts are linked or placed.
#include "playback/MusicXmlImport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "layout/Bars.h"
#include "layout/BeamRules.h"
#include "layout/GlyphTable.h"
#include "layout/OpenScore.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Signatures.h"
#include "model/Build.h"

namespace sw {

namespace {

constexpr int kInset = 20;      // stave ends from the music area's sides
constexpr int kStaveGap = 72;   // middle line to middle line within a system
constexpr int kLyricRoom = 24;  // more under a stave with lyrics
constexpr int kLyricDrop = 46;  // a first verse's line below the middle line
constexpr int kSystemGap = 48;  // between systems
constexpr int kTitleRoom = 90;  // above the first system when it has a title
constexpr int kFirstY = 60;     // the first middle line without a title
constexpr int kClefX = 10;      // from the stave's left end
constexpr int kClefWidth = 28;
constexpr int kSignWidth = 9;  // one sharp or flat of a key signature
constexpr int kTimeWidth = 24;
constexpr int kBarlineRoom = 12;
constexpr int kGraceStep = 14;
constexpr double kColumnBase = 6,
                 kColumnGrowth = 18;  // a column's width: base + growth × √crotchets
constexpr int kOpeningRoom = 80;      // a system's clef, key and time, as filling reckons them
constexpr int kAccidentalRoom = 12;
constexpr int kRestLift = 4;        // steps a voice's rest moves away from the other voice
constexpr int kMaxSteps = 30;       // furthest note from the middle line, in steps
constexpr int kObjectBudget = 236;  // objects a stave takes before the system is split
constexpr int kMaxVoices = 2;
constexpr int kAcrossSystems = 255;  // tie to or from the next or last system
constexpr int kContinued = 14;       // a slur or hairpin going on starts this far before the music
constexpr int kPitchClass[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kSharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B, C = 0
constexpr int kMiddleLine[4] = {34, 22, 28, 26};       // diatonic step on the middle line

int LetterIndex(char step) {
    static constexpr char kLetters[] = "CDEFGAB";
    for (int i = 0; i < 7; ++i)
        if (kLetters[i] == step) return i;
    return 0;
}

int KeyAlter(int key, int letter) {
    for (int i = 0; i < std::abs(key) && i < 7; ++i)
        if ((key > 0 ? kSharpOrder[i] : kSharpOrder[6 - i]) == letter) return key > 0 ? 1 : -1;
    return 0;
}

uint8_t GlyphNamed(const std::string& name) {
    const std::string upper = ToUpperAscii(name);
    for (int c = 0; c < 256; ++c)
        if (upper == GlyphBaseName(c)) return static_cast<uint8_t>(c);
    return kNoGlyph;
}

struct StaffState {
    mxl::Clef clef;
    int key = 0;
    std::optional<mxl::Time> time;
    int transpose = 0;
};

// Where a placed note is, for links made after the stave is filled.
struct Placed {
    int stave = 0, slot = 0;
    int system = 0;
    int32_t x = 0, y = 0;
    int pitch = 0;
};

struct PendingTie {
    Placed from;
    int pitch = 0;
};

struct MeasurePlan {
    std::vector<int> positions;  // onsets of every part, ascending
    std::map<int, int> graces;   // onset → most grace notes before it
    std::set<int> accidentals;   // onsets with an accidental somewhere
    std::set<int> clefChanges;   // onsets after 0 where a clef changes
    bool opening = false;        // a clef, key or time change at its start
    bool closing = false;        // a change after its last onset, before the bar line
    double width = 0;            // natural width, page pixels
    int objects = 0;             // most objects on one stave
};

class Builder {
  public:
    Builder(const mxl::Document& doc, Score& score, Host& host, const TextMeasurer& m,
            ImportOutcome& out)
        : doc_(doc), score_(score), host_(host), measurer_(m), out_(out) {}

    void page(const ImportOptions& o);
    void plan();
    bool build();
    void texts();

  private:
    double quarters(int divisions) const {
        return static_cast<double>(divisions) / std::max(1, doc_.divisions);
    }
    int measureLength(std::size_t m) const;
    void system(std::size_t first, std::size_t last, int32_t& y, bool title);
    void opening(int s, std::size_t p, int32_t x, bool withTime, int32_t& end);
    void measure(int s, std::size_t p, std::size_t m, const std::vector<int32_t>& columns,
                 int32_t from, int32_t to, bool firstInSystem);
    int32_t columnX(std::size_t m, int pos) const;
    void place(int s, std::size_t p, std::size_t m, std::vector<const mxl::Note*>& chord,
               int voiceSlot, bool twoVoices, int32_t x, std::map<int, int>& inForce);
    void directions(int s, std::size_t p, std::size_t m, int32_t from, int32_t to);
    void linkBeams(int s);
    void slur(int s, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool above);
    void hairpin(int s, int32_t x1, int32_t x2, int32_t y, bool crescendo);
    void endings(int top, std::size_t first, std::size_t last,
                 const std::vector<std::pair<int32_t, int32_t>>& spans);
    int64_t beatOf(std::size_t m, int pos, const StaffState& st) const;
    ScoreObject* add(int s, Kind kind, int32_t x, int32_t y, uint8_t glyph = kNoGlyph);
    void placeTime(int s, int32_t x, const mxl::Time& time);
    void skip(const std::string& what) { ++skipped_[what]; }

    const mxl::Document& doc_;
    Score& score_;
    Host& host_;
    const TextMeasurer& measurer_;
    ImportOutcome& out_;
    int width_ = 0;
    int textFont_ = 0, wordsFont_ = 0, titleFont_ = 0, composerFont_ = 0;
    bool anyBeams_ = false, anyLyrics_ = false;
    std::vector<MeasurePlan> plans_;
    std::vector<std::pair<std::size_t, std::size_t>> systems_;   // measures first..last
    std::vector<StaffState> state_;                              // by part
    std::vector<std::map<int, PendingTie>> ties_;                // by part: pitch → start
    std::vector<std::map<int, Placed>> slurs_;                   // by part: number → start
    std::vector<std::map<int, Placed>> wedges_;                  // by part: number → start
    std::vector<std::array<std::optional<Placed>, 9>> hyphens_;  // by part, verse
    // The measure's column x positions, set per system.
    std::map<std::pair<std::size_t, int>, int32_t> columnX_;
    // Beam chains of the stave being filled: (voice slot) → chords' link notes.
    struct BeamNote {
        int slot;
        int voice;
        const char* type;
        int32_t x;
        int64_t beat;  // the measure and beat it falls in, when the document has no beams
    };
    std::vector<BeamNote> beamNotes_;
    struct TupletRun {
        int32_t startX = 0;
        int count = 0;
    };
    std::array<TupletRun, kMaxVoices> tuplets_{};
    std::map<std::string, int> skipped_;
    int systemIndex_ = 0;
    int lastSystemFirstStave_ = 0;
    int32_t musicStart_ = 0;  // where the current system's first measure begins
    // An ending bracket begun and not yet closed; `carried` once it has
    // reached the end of a system and goes on in the next.
    struct OpenEnding {
        int32_t x = 0;
        bool carried = false;
    };
    std::optional<OpenEnding> ending_;
    int thirdVoices_ = 0, overflow_ = 0;
};

// Without written beams, notes are grouped by the beat of the time in force:
// a dotted beat in compound times (6/8, 9/8, 12/8, 3/8), else the beat unit.
int64_t Builder::beatOf(std::size_t m, int pos, const StaffState& st) const {
    int64_t beat = doc_.divisions;
    if (st.time) {
        const int unit = std::max(1, st.time->beatType);
        beat = int64_t{4} * doc_.divisions / unit;
        if (unit >= 8 && st.time->beats % 3 == 0) beat *= 3;
    }
    return static_cast<int64_t>(m) * (int64_t{1} << 32) + pos / std::max<int64_t>(1, beat);
}

ScoreObject* Builder::add(int s, Kind kind, int32_t x, int32_t y, uint8_t glyph) {
    ScoreObject* o = PlaceObject(score_, s, kind, x, y, glyph);
    if (!o) ++overflow_;
    return o;
}

void Builder::placeTime(int s, int32_t x, const mxl::Time& time) {
    ScoreObject* t = add(s, kTimesig, x, score_.stave(s).h.Ycoord - 8);
    if (!t) return;
    const std::string symbol = time.symbol ? time.symbol : "";
    const uint8_t sign = symbol == "common" ? 1 : symbol == "cut" ? 2 : 0;
    t->data.timesig = {static_cast<uint8_t>(time.beats), static_cast<uint8_t>(time.beatType),
                       static_cast<uint8_t>(symbol == "single-number"), sign};
}

void Builder::page(const ImportOptions& o) {
    if (o.page) score_.page = *o.page;
    if (o.staveSize) score_.staveSize = *o.staveSize;
    const double inch = doc_.millimetres / 40.0 / 25.4;  // of a tenth
    if (doc_.pageWidth > 0 && doc_.pageHeight > 0) {
        PageData& p = score_.page;
        const double w = doc_.pageWidth * inch, h = doc_.pageHeight * inch;
        const double l = doc_.left * inch, r = doc_.right * inch, t = doc_.top * inch,
                     b = doc_.bottom * inch;
        // Paper from 2 to 40 inches with room left for music; else the defaults stay.
        if (w >= 2 && w <= 40 && h >= 2 && h <= 40 && l >= 0 && r >= 0 && t >= 0 && b >= 0 &&
            l + r < w * 0.6 && t + b < h * 0.6) {
            p.Width = w;
            p.Length = h;
            p.LeftM = l;
            p.RightM = r;
            p.TopM = t;
            p.BotM = b;
            p.landscape = w > h;
        } else {
            skip("page layout outside the paper sizes (the default paper is used)");
        }
    }
    if (doc_.millimetres > 0 && doc_.pageWidth > 0)
        score_.staveSize = std::clamp(doc_.millimetres / 25.4, kMinStaveSize, kMaxStaveSize);
    if (doc_.tempo > 0) score_.Tempo = static_cast<uint16_t>(std::clamp(doc_.tempo, 20, 400));
    width_ = ComputePageGeometry(score_).width;
    textFont_ = FindOrAddFont(score_, FontDesc{"Times New Roman", 10, 0, 0, 0}, host_);
    wordsFont_ = FindOrAddFont(score_, FontDesc{"Times New Roman", 10, kItalic, 0, 0}, host_);
    titleFont_ = FindOrAddFont(score_, FontDesc{"Times New Roman", 20, kBold, 0, 0}, host_);
    composerFont_ = FindOrAddFont(score_, FontDesc{"Times New Roman", 11, 0, 0, 0}, host_);
}

int Builder::measureLength(std::size_t m) const {
    return std::max(1, doc_.measures[m].length);
}

void Builder::plan() {
    const std::size_t n = doc_.measures.size();
    plans_.assign(n, MeasurePlan{});
    std::vector<StaffState> st(doc_.parts.size());
    for (std::size_t m = 0; m < n; ++m) {
        MeasurePlan& plan = plans_[m];
        std::set<int> positions;
        for (std::size_t p = 0; p < doc_.parts.size(); ++p) {
            const mxl::PartMeasure& pm = doc_.parts[p].measures[m];
            std::map<std::pair<int, int>, int> graceRun;  // (voice, onset) → graces
            int objects = 1;
            for (const mxl::Note& note : pm.notes) {
                anyBeams_ = anyBeams_ || !note.beams.empty();
                anyLyrics_ = anyLyrics_ || !note.lyrics.empty();
                objects += 1 + static_cast<int>(note.lyrics.size()) * 2 +
                           static_cast<int>(note.marks.size()) * 2 + (note.fermata ? 1 : 0);
                if (note.grace) {
                    ++graceRun[{note.voice, note.pos}];
                    positions.insert(note.pos);
                    continue;
                }
                positions.insert(note.pos);
                if (note.accidental || note.alter != 0) plan.accidentals.insert(note.pos);
                objects += note.alter != 0 ? 1 : 0;
            }
            for (const auto& [at, count] : graceRun)
                plan.graces[at.second] = std::max(plan.graces[at.second], count);
            objects += static_cast<int>(pm.directions.size()) * 2;
            for (const mxl::Attributes& a : pm.attributes) {
                objects += 1;
                if (a.pos == 0 && m > 0 && (a.clef || a.key || a.time)) plan.opening = true;
                if (a.pos > 0 && a.clef) plan.clefChanges.insert(a.pos);
            }
            plan.objects = std::max(plan.objects, objects);
        }
        plan.positions.assign(positions.begin(), positions.end());
        for (const mxl::Part& part : doc_.parts)
            for (const mxl::Attributes& a : part.measures[m].attributes)
                if (a.pos > 0 && (a.clef || a.key || a.time) &&
                    (plan.positions.empty() || a.pos > plan.positions.back()))
                    plan.closing = true;
        // Natural widths: a column grows with the square root of its length.
        const int end = measureLength(m);
        double w = kBarlineRoom + (plan.opening ? kClefWidth + kTimeWidth : 0) +
                   (plan.closing ? kClefWidth + kTimeWidth : 0);
        for (std::size_t i = 0; i < plan.positions.size(); ++i) {
            const int at = plan.positions[i];
            const int to = i + 1 < plan.positions.size() ? plan.positions[i + 1] : end;
            const double dq = std::max(quarters(to - at), 0.125);
            w += kColumnBase + kColumnGrowth * std::sqrt(dq);
            auto g = plan.graces.find(at);
            if (g != plan.graces.end()) w += kGraceStep * g->second;
            if (plan.accidentals.count(at)) w += kAccidentalRoom;
            if (plan.clefChanges.count(at)) w += kClefWidth;
        }
        if (plan.positions.empty()) w += 40;
        plan.width = w;
    }
    // Measures fill systems to the page width, breaking where the document
    // says and where a stave would pass its object limit.
    const double room = width_ - 2 * kInset - kOpeningRoom;
    std::size_t first = 0;
    double used = 0;
    int objects = 0;
    for (std::size_t m = 0; m < n; ++m) {
        const MeasurePlan& plan = plans_[m];
        const bool forced = m > first && (doc_.measures[m].newSystem || doc_.measures[m].newPage);
        const bool full =
            m > first && (used + plan.width > room || objects + plan.objects > kObjectBudget);
        if (forced || full) {
            systems_.push_back({first, m - 1});
            first = m;
            used = 0;
            objects = 0;
        }
        used += plan.width;
        objects += plan.objects;
    }
    systems_.push_back({first, n - 1});
}

int32_t Builder::columnX(std::size_t m, int pos) const {
    auto it = columnX_.lower_bound({m, pos});
    if (it != columnX_.end() && it->first.first == m) return it->second;
    // Past the last column: just before the bar line.
    auto back = columnX_.lower_bound({m + 1, INT32_MIN});
    if (back != columnX_.begin()) return std::prev(back)->second;
    return 0;
}

bool Builder::build() {
    state_.assign(doc_.parts.size(), StaffState{});
    ties_.assign(doc_.parts.size(), {});
    slurs_.assign(doc_.parts.size(), {});
    wedges_.assign(doc_.parts.size(), {});
    hyphens_.assign(doc_.parts.size(), {});
    const bool title = !doc_.title.empty() || !doc_.composer.empty();
    int32_t y = title ? kTitleRoom : kFirstY;
    if (systems_.size() * doc_.parts.size() > static_cast<std::size_t>(kMaxStaves)) {
        out_.error = FormatMessage(msg::MusicXmlTooManyStaves);
        return false;
    }
    for (std::size_t k = 0; k < systems_.size(); ++k) {
        systemIndex_ = static_cast<int>(k);
        system(systems_[k].first, systems_[k].second, y, title);
    }
    // Slurs, hairpins and endings reaching into a system add to the one
    // before, so the staves are put in order once all are filled.
    for (int s = 1; s <= score_.Nstaves; ++s)
        TidyStave(score_, s, true);
    return true;
}

void Builder::opening(int s, std::size_t p, int32_t x, bool withTime, int32_t& end) {
    const StaveHeader& h = score_.stave(s).h;
    const StaffState& st = state_[p];
    if (ScoreObject* c = add(s, kClef, x, h.Ycoord, ClefGlyph(st.clef.type, false))) {
        c->data.clef.type = static_cast<uint8_t>(st.clef.type);
        c->data.clef.octaveUp = st.clef.octave > 0;
        c->data.clef.octaveDown = st.clef.octave < 0;
    }
    x += kClefWidth;
    if (st.key != 0) {
        if (ScoreObject* k = add(s, kKeysig, x, h.Ycoord))
            k->data.keysig.key = static_cast<int8_t>(st.key);
        x += std::abs(st.key) * kSignWidth + 6;
    }
    if (withTime && st.time) {
        placeTime(s, x, *st.time);
        x += kTimeWidth;
    }
    end = std::max(end, x);
}

// The changes of one measure's attributes at one onset, applied to the part's state.
bool ApplyAttributes(const mxl::PartMeasure& pm, int pos, StaffState& st, bool& clef, bool& key,
                     bool& time) {
    bool any = false;
    for (const mxl::Attributes& a : pm.attributes) {
        if (a.pos != pos) continue;
        if (a.clef && (a.clef->type != st.clef.type || a.clef->octave != st.clef.octave)) {
            st.clef = *a.clef;
            clef = any = true;
        }
        if (a.key && *a.key != st.key) {
            st.key = *a.key;
            key = any = true;
        }
        if (a.time &&
            (!st.time || a.time->beats != st.time->beats || a.time->beatType != st.time->beatType ||
             a.time->symbol != st.time->symbol)) {
            st.time = *a.time;
            time = any = true;
        }
        if (a.transpose) st.transpose = *a.transpose;
    }
    return any;
}

void Builder::system(std::size_t first, std::size_t last, int32_t& y, bool title) {
    const std::size_t parts = doc_.parts.size();
    const int32_t left = kInset, right = width_ - kInset;
    const int firstStave = score_.Nstaves + 1;
    // The states at the system's start, after its first measure's opening changes.
    bool timeChanged = systemIndex_ == 0;
    for (std::size_t p = 0; p < parts; ++p) {
        bool c = false, k = false, t = false;
        ApplyAttributes(doc_.parts[p].measures[first], 0, state_[p], c, k, t);
        timeChanged = timeChanged || t;
    }
    (void)title;
    std::vector<int> staves;
    for (std::size_t p = 0; p < parts; ++p) {
        const int s = AppendStave(score_, y, left, right);
        staves.push_back(s);
        StaveHeader& h = score_.stave(s).h;
        h.joinToNext = p + 1 < parts;
        h.instrumentUp = h.instrumentDown = static_cast<uint8_t>(doc_.parts[p].program);
        h.soundTranspose = static_cast<int8_t>(std::clamp(state_[p].transpose, -48, 48));
        h.PageNum = 1;
        y += kStaveGap + (anyLyrics_ ? kLyricRoom : 0);
    }
    y += kSystemGap;
    // Brackets, braces and bar lines through the staves of each group.
    for (const mxl::Group& g : doc_.groups) {
        if (g.first < 0 || g.last >= static_cast<int>(parts) || g.first >= g.last) continue;
        StaveHeader& top = score_.stave(staves[g.first]).h;
        if (std::string(g.symbol) == "brace")
            top.withBrace = true;
        else
            top.withBracket = true;
        for (int p = g.first; p < g.last; ++p) {
            StaveHeader& h = score_.stave(staves[p]).h;
            h.bracketWithNext = true;
            if (g.barline) h.barlineThrough = true;
        }
    }
    if (doc_.measures[first].newPage && systemIndex_ > 0 && lastSystemFirstStave_ > 0)
        score_.stave(firstStave - 1).h.ForcedBk = true;
    lastSystemFirstStave_ = firstStave;

    int32_t start = left + kClefX;
    for (std::size_t p = 0; p < parts; ++p)
        opening(staves[p], p, left + kClefX, timeChanged, start);
    start += 10;
    musicStart_ = start;

    // Columns: the natural widths stretched or squeezed to the stave's end.
    double natural = 0;
    for (std::size_t m = first; m <= last; ++m)
        natural +=
            plans_[m].width - (m == first && plans_[m].opening ? kClefWidth + kTimeWidth : 0);
    const double scale = natural > 0 ? (right - 4 - start) / natural : 1;
    columnX_.clear();
    std::vector<std::pair<int32_t, int32_t>> spans;  // each measure's start and bar line
    double cursor = start;
    for (std::size_t m = first; m <= last; ++m) {
        const MeasurePlan& plan = plans_[m];
        const double from = cursor;
        if (plan.opening && m != first) cursor += (kClefWidth + kTimeWidth) * scale;
        const int end = measureLength(m);
        for (std::size_t i = 0; i < plan.positions.size(); ++i) {
            const int at = plan.positions[i];
            const int to = i + 1 < plan.positions.size() ? plan.positions[i + 1] : end;
            double before = 0;
            auto g = plan.graces.find(at);
            if (g != plan.graces.end()) before += kGraceStep * g->second;
            if (plan.accidentals.count(at)) before += kAccidentalRoom;
            if (plan.clefChanges.count(at)) before += kClefWidth;
            cursor += before * scale;
            columnX_[{m, at}] = static_cast<int32_t>(std::lround(cursor));
            cursor +=
                (kColumnBase + kColumnGrowth * std::sqrt(std::max(quarters(to - at), 0.125))) *
                scale;
        }
        if (plan.positions.empty()) cursor += 40 * scale;
        if (plan.closing) cursor += (kClefWidth + kTimeWidth) * scale;
        // The bar line stands in the middle of its room, clear of the next note.
        spans.push_back({static_cast<int32_t>(std::lround(from)),
                         static_cast<int32_t>(std::lround(cursor + kBarlineRoom * scale / 2))});
        cursor += kBarlineRoom * scale;
    }
    if (!spans.empty()) spans.back().second = right - 2;

    for (std::size_t p = 0; p < parts; ++p) {
        const int s = staves[p];
        beamNotes_.clear();
        tuplets_ = {};
        for (std::size_t m = first; m <= last; ++m) {
            const auto [from, to] = spans[m - first];
            measure(s, p, m, {}, from, to, m == first);
        }
        linkBeams(s);
    }
    // Bar lines stand on the system's top stave.
    const int top = staves.front();
    for (std::size_t m = first; m <= last; ++m) {
        const mxl::Barline& right = doc_.measures[m].right;
        const bool startsRepeat =
            m + 1 < doc_.measures.size() && doc_.measures[m + 1].left.repeat && m != last;
        int style = 0;
        if (right.style) {
            const std::string st = right.style;
            if (st == "light-light") style = 1;
            if (st == "light-heavy" || st == "heavy") style = 5;
            if (st == "dotted" || st == "dashed") style = 6;
            if (st == "none") style = -1;
        }
        if (right.repeat)
            style = startsRepeat ? 4 : 3;
        else if (startsRepeat)
            style = 2;
        if (style < 0) continue;
        if (ScoreObject* b =
                add(top, kBarline, spans[m - first].second, score_.stave(top).h.Ycoord))
            b->data.barline.style = static_cast<uint8_t>(style);
    }
    endings(top, first, last, spans);
    if (doc_.measures[first].left.repeat) {
        if (ScoreObject* b = add(top, kBarline, start - 6, score_.stave(top).h.Ycoord))
            b->data.barline.style = 2;
    }
}

void Builder::measure(int s, std::size_t p, std::size_t m, const std::vector<int32_t>&,
                      int32_t from, int32_t to, bool firstInSystem) {
    const mxl::PartMeasure& pm = doc_.parts[p].measures[m];
    StaffState& st = state_[p];
    const int32_t Y = score_.stave(s).h.Ycoord;
    // Signature changes: those at the start of a later measure of the system
    // stand in its opening room, later ones just before their column.
    std::set<int> onsets;
    for (const mxl::Attributes& a : pm.attributes)
        onsets.insert(a.pos);
    for (int at : onsets) {
        if (firstInSystem && at == 0) continue;
        bool clef = false, key = false, time = false;
        if (!ApplyAttributes(pm, at, st, clef, key, time)) continue;
        int32_t x = at == 0 ? from + 4 : columnX(m, at) - kClefWidth;
        if (at > 0 && (plans_[m].positions.empty() || at > plans_[m].positions.back())) {
            // After the last note: just before the bar line, as a warning of the change.
            const int room = (clef ? 18 : 0) + (key ? std::max(1, std::abs(st.key)) * 7 : 0) +
                             (time ? kTimeWidth : 0);
            x = to - 4 - room;
        }
        if (clef) {
            if (ScoreObject* c = add(s, kClef, x, Y, ClefGlyph(st.clef.type, true))) {
                c->data.clef.type = static_cast<uint8_t>(st.clef.type);
                c->data.clef.small = 1;
                c->data.clef.octaveUp = st.clef.octave > 0;
                c->data.clef.octaveDown = st.clef.octave < 0;
            }
            x += 18;
        }
        if (key) {
            if (ScoreObject* k = add(s, kKeysig, x, Y))
                k->data.keysig.key = static_cast<int8_t>(st.key);
            x += std::max(1, std::abs(st.key)) * 7;
        }
        if (time && st.time) {
            placeTime(s, x, *st.time);
        }
    }

    // Voices: the two lowest numbers that have notes; any further one is left out.
    std::vector<int> voices;
    for (const mxl::Note& n : pm.notes)
        if (std::find(voices.begin(), voices.end(), n.voice) == voices.end())
            voices.push_back(n.voice);
    std::sort(voices.begin(), voices.end());
    const bool two = voices.size() >= 2;
    std::map<int, int> inForce;  // stave position → alteration written in this measure
    // Notes in time order, chords together, grace notes before their note.
    std::vector<const mxl::Note*> order;
    for (const mxl::Note& n : pm.notes)
        order.push_back(&n);
    std::stable_sort(order.begin(), order.end(), [](const mxl::Note* a, const mxl::Note* b) {
        if (a->pos != b->pos) return a->pos < b->pos;
        return a->grace && !b->grace;
    });
    std::map<std::pair<int, int>, int> gracesLeft;  // (voice, onset) → graces still to place
    for (const mxl::Note* n : order)
        if (n->grace && !n->chord) ++gracesLeft[{n->voice, n->pos}];
    for (std::size_t i = 0; i < order.size();) {
        const mxl::Note* n = order[i];
        std::vector<const mxl::Note*> chord{n};
        std::size_t j = i + 1;
        // A chord: the notes marked as sounding with the one before.
        for (; j < order.size() && order[j]->chord && order[j]->voice == n->voice &&
               order[j]->pos == n->pos && order[j]->grace == n->grace;
             ++j)
            chord.push_back(order[j]);
        // Notes of one onset and voice written as separate notes (no chord
        // mark) are not a chord: each is placed with its own chord.
        i = j;
        const auto v = std::find(voices.begin(), voices.end(), n->voice) - voices.begin();
        if (v >= kMaxVoices) {
            thirdVoices_ += static_cast<int>(chord.size());
            continue;
        }
        int32_t x = columnX(m, n->pos);
        if (n->grace) {
            const int left = gracesLeft[{n->voice, n->pos}]--;
            x -= kGraceStep * left + (plans_[m].accidentals.count(n->pos) ? kAccidentalRoom : 0);
        }
        // A bar's rest stands for the whole bar of the time in force, so a
        // rest filling a shorter bar (a pickup) keeps its own length.
        const bool wholeBar =
            n->rest && !two && !n->grace &&
            (n->measureRest || (n->duration >= measureLength(m) && pm.notes.size() == 1)) &&
            (!st.time || n->duration >= int64_t{st.time->beats} * 4 * doc_.divisions /
                                            std::max(1, st.time->beatType));
        if (wholeBar) x = (from + to) / 2 - 6;
        place(s, p, m, chord, static_cast<int>(v), two, x, inForce);
        if (wholeBar && score_.stave(s).h.Nobjec > 0) {
            NoteData& d = score_.stave(s).obj[score_.stave(s).h.Nobjec].note();
            if (score_.stave(s).obj[score_.stave(s).h.Nobjec].kind == kNote) {
                d.noteValue = 1;
                d.dots = 0;
                d.durMod = d.durMod2 = 0;
            }
        }
    }
    directions(s, p, m, from, to);
}

void Builder::place(int s, std::size_t p, std::size_t m, std::vector<const mxl::Note*>& chord,
                    int voiceSlot, bool twoVoices, int32_t x, std::map<int, int>& inForce) {
    StaffState& st = state_[p];
    const int32_t Y = score_.stave(s).h.Ycoord;
    const mxl::Note& lead = *chord.front();
    // Stem: the voice's side with two voices, else as written, else away
    // from the note furthest from the middle line.
    auto stepOf = [&](const mxl::Note& n) {
        const int d = n.octave * 7 + LetterIndex(n.step) - 7 * st.clef.octave;
        return d - kMiddleLine[std::clamp(st.clef.type, 0, 3)];
    };
    int stem = lead.stem;
    if (twoVoices) stem = voiceSlot == 0 ? 0 : 1;
    if (stem < 0) {
        int far = 0;
        for (const mxl::Note* n : chord)
            if (!n->rest && std::abs(stepOf(*n)) > std::abs(far)) far = stepOf(*n);
        stem = far > 0 ? 1 : 0;
    }
    int linkSlot = 0, linkPitch = 0;
    for (const mxl::Note* n : chord) {
        int pitch = 0;
        if (n->rest) {
            pitch = twoVoices ? (voiceSlot == 0 ? kRestLift : -kRestLift) : 0;
        } else {
            pitch = stepOf(*n);
            if (std::abs(pitch) > kMaxSteps) {
                skip("notes too far from the stave (moved an octave nearer)");
                while (pitch > kMaxSteps)
                    pitch -= 7;
                while (pitch < -kMaxSteps)
                    pitch += 7;
            }
        }
        // The accidental a reader must see: the note's alteration against
        // what the key and this measure have made of its stave position.
        if (!n->rest) {
            const int letter = LetterIndex(n->step);
            auto f = inForce.find(pitch);
            const int current = f != inForce.end() ? f->second : KeyAlter(st.key, letter);
            const bool tiedOn = n->tieStop && !n->grace;
            if (!tiedOn && (n->alter != current || n->accidental)) {
                const int32_t ax = x - (n->grace ? 9 : kAccidentalRoom);
                if (ScoreObject* a = add(s, kAccidental, ax, NoteY(score_, s, pitch))) {
                    a->data.accidental.pitch = static_cast<int8_t>(pitch);
                    a->data.accidental.accidental = static_cast<int8_t>(n->alter);
                    a->data.accidental.small = n->grace ? 1 : 0;
                    a->data.accidental.parentheses = n->accidentalParentheses ? 1 : 0;
                }
            }
            if (!tiedOn) inForce[pitch] = n->alter;
        }
        ScoreObject* o = add(s, kNote, x, NoteY(score_, s, pitch));
        if (!o) return;
        const int slot = score_.stave(s).h.Nobjec;
        NoteData& d = o->note();
        d.pitch = static_cast<int8_t>(pitch);
        d.noteValue = static_cast<uint8_t>(std::clamp(n->value, 0, 7));
        d.dots = static_cast<uint8_t>(std::clamp(n->dots, 0, 3));
        d.rest = n->rest ? 1 : 0;
        d.stem = static_cast<uint8_t>(n->rest ? 2 : stem);
        if (n->actual > 0 && n->normal > 0 && n->actual != n->normal && n->actual < 256 &&
            n->normal < 256) {
            d.durMod = static_cast<uint8_t>(n->actual);
            d.durMod2 = static_cast<uint8_t>(n->normal);
        }
        if (n->grace) d.headSize = n->slash ? 5 : 1;
        if (n->cue) d.cueSize = 1;
        d.staccato = n->staccato;
        d.emphasis = n->emphasis;
        if (!n->rest) {
            // Ties: the start waits for the next note of its pitch.
            const Placed here{s, slot, systemIndex_, x, o->y, pitch};
            auto t = ties_[p].find(pitch);
            if (n->tieStop && t != ties_[p].end()) {
                const Placed& from = t->second.from;
                if (from.stave == s) {
                    score_.stave(s).obj[from.slot].note().tieRight = static_cast<uint8_t>(slot);
                    d.tieLeft = static_cast<uint8_t>(from.slot);
                } else if (from.system + 1 == systemIndex_) {
                    // Its system was tidied since, which renumbers slots:
                    // the start is found again where it lies.
                    StaveBlock& b = score_.stave(from.stave);
                    for (int i = 1; i <= b.count(); ++i) {
                        ScoreObject& f = b.obj[i];
                        if (f.kind != kNote || f.x != from.x || f.note().pitch != pitch) continue;
                        f.note().tieRight = kAcrossSystems;
                        d.tieLeft = kAcrossSystems;
                        break;
                    }
                }
                ties_[p].erase(t);
            }
            if (n->tieStart) ties_[p][pitch] = PendingTie{here, pitch};
            const bool end =
                stem == 0 ? pitch >= linkPitch || !linkSlot : pitch <= linkPitch || !linkSlot;
            if (end) {
                linkSlot = slot;
                linkPitch = pitch;
            }
            for (const mxl::NoteMark& mark : n->marks) {
                if (mark.kind != mxl::NoteMark::Slur) continue;
                if (mark.start) {
                    Placed at = here;
                    at.pitch = mark.above ? 1 : -1;
                    slurs_[p][mark.number] = at;
                    continue;
                }
                auto from = slurs_[p].find(mark.number);
                if (from == slurs_[p].end()) continue;
                const Placed a = from->second;
                slurs_[p].erase(from);
                const bool above = a.pitch > 0;
                const int32_t lift = above ? -12 : 12;
                if (a.stave == s) {
                    slur(s, a.x + 4, a.y + lift, x + 4, o->y + lift, above);
                } else {
                    // To the end of the first system, and on from the start of this one.
                    slur(a.stave, a.x + 4, a.y + lift, score_.stave(a.stave).h.RightX - 4,
                         a.y + lift, above);
                    slur(s, musicStart_ - kContinued, o->y + lift, x + 4, o->y + lift, above);
                }
            }
            for (const mxl::Lyric& l : n->lyrics) {
                const std::string text = Utf8ToScoreText(l.text);
                const TextFont font = TextFont{"Times New Roman", 10, 0};
                const int w = measurer_.width(font, text);
                const int verse = std::clamp(l.verse, 1, 8);
                const int32_t ly = score_.stave(s).h.Ycoord + kLyricDrop + 14 * (verse - 1);
                if (hyphens_[p][verse] && hyphens_[p][verse]->stave == s) {
                    const int32_t hx = (hyphens_[p][verse]->x + x) / 2;
                    PlaceText(score_, s, kText, hx, ly, textFont_, "-");
                }
                hyphens_[p][verse].reset();
                PlaceText(score_, s, kText, x + 4 - w / 2, ly, textFont_, text);
                if (l.syllabic == mxl::Syllabic::Begin || l.syllabic == mxl::Syllabic::Middle)
                    hyphens_[p][verse] = Placed{s, 0, systemIndex_, x + 4 + w / 2, ly, 0};
            }
        }
    }
    if (!lead.rest && !lead.grace && linkSlot) {
        const char* type = nullptr;
        for (const mxl::Beam& b : lead.beams)
            if (b.level == 1) type = b.type;
        beamNotes_.push_back({linkSlot, voiceSlot, type, x, beatOf(m, lead.pos, st)});
    } else if (!lead.grace) {
        beamNotes_.push_back({0, voiceSlot, nullptr, x, -1});
    }
    // A tuplet's number over its notes, once all of them are placed.
    TupletRun& run = tuplets_[static_cast<std::size_t>(voiceSlot)];
    if (lead.actual > 0 && lead.normal > 0 && lead.actual != lead.normal && !lead.grace) {
        if (run.count == 0) run.startX = x;
        // A number the document writes as words is not written twice.
        bool written = false;
        for (const mxl::Direction& d : doc_.parts[p].measures[m].directions)
            written = written ||
                      (d.kind == mxl::Direction::Words && d.text == std::to_string(lead.actual));
        if (++run.count == lead.actual) {
            if (!written)
                PlaceText(score_, s, kText, (run.startX + x) / 2, Y - 40, wordsFont_,
                          std::to_string(lead.actual));
            run = TupletRun{};
        }
    } else if (!lead.grace) {
        run = TupletRun{};
    }
    // Marks above or below the chord.
    if (lead.fermata || lead.trill) {
        const int32_t y = Y - 30;
        if (lead.fermata)
            add(s, kTrill, x, lead.fermataInverted ? Y + 30 : y,
                GlyphNamed(lead.fermataInverted ? "HOLDDN" : "HOLDUP"));
        if (lead.trill) add(s, kTrill, x, y - 12, GlyphNamed("TR"));
    }
    if (lead.arpeggio) skip("arpeggios");
}

void Builder::slur(int s, int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool above) {
    const int32_t mid = (y1 + y2) / 2 + (above ? -8 : 8);
    PlaceCurve(score_, s, {{x1, y1}, {(x1 + x2) / 2, mid}, {x2, y2}}, 2);
}

// A hairpin from x1 to x2, too short ones left out; a diminuendo stands at
// its wide end with a negative length.
void Builder::hairpin(int s, int32_t x1, int32_t x2, int32_t y, bool crescendo) {
    const int32_t len = x2 - x1;
    if (len < 8) return;
    if (ScoreObject* h = add(s, kHairpin, crescendo ? x1 : x2, y))
        h->data.hairpin = {static_cast<int16_t>(crescendo ? len : -len), 6, 1};
}

// Ending brackets over the system's top stave, with their numbers: a leg
// down where one begins and where one stops; one reaching past the system's
// end goes on over the next without a leg at its start.
void Builder::endings(int top, std::size_t first, std::size_t last,
                      const std::vector<std::pair<int32_t, int32_t>>& spans) {
    constexpr int32_t kRise = 52, kLeg = 16;
    const int32_t y = score_.stave(top).h.Ycoord - kRise;
    auto bracket = [&](int32_t to, bool stop) {
        LineShape shape;
        shape.dx = std::max(8, to - ending_->x);
        shape.legLength = kLeg;
        shape.legDirection = 1;
        shape.legEnds = (ending_->carried ? 0 : 2) | (stop ? 4 : 0);
        if (!PlaceLine(score_, top, ending_->x, y, shape)) ++overflow_;
    };
    for (std::size_t m = first; m <= last; ++m) {
        // From the bar line before the measure, or the start of the system's music.
        const int32_t from = m > first ? spans[m - first - 1].second + 2 : musicStart_ - 4;
        const int32_t to = spans[m - first].second;
        if (ending_ && ending_->carried && m == first) ending_->x = from;
        const mxl::Barline& left = doc_.measures[m].left;
        if (left.ending && left.endingType && std::string(left.endingType) == "start") {
            ending_ = OpenEnding{from, false};
            const std::string number =
                left.endingText.empty() ? std::to_string(left.ending) + "." : left.endingText;
            PlaceText(score_, top, kText, from + 6, y + 11, textFont_,
                      Utf8ToScoreText(number.substr(0, 8)));
        }
        const mxl::Barline& right = doc_.measures[m].right;
        if (ending_ && right.ending && right.endingType) {
            bracket(to - 4, std::string(right.endingType) == "stop");
            ending_.reset();
        }
    }
    if (ending_) {
        bracket(score_.stave(top).h.RightX - 4, false);
        ending_->carried = true;
    }
}

void Builder::linkBeams(int s) {
    StaveBlock& b = score_.stave(s);
    // As written: begin … end chains per voice. Without any beams in the
    // document: the quavers and shorter notes of one beat.
    for (int voice = 0; voice < kMaxVoices; ++voice) {
        int previous = 0;
        const BeamNote* last = nullptr;
        for (const BeamNote& n : beamNotes_) {
            if (n.voice != voice) continue;
            if (!n.slot) {
                previous = 0;
                last = nullptr;
                continue;
            }
            if (!anyBeams_) {
                if (!IsBeamableNote(score_, {s, n.slot})) {
                    last = nullptr;
                    continue;
                }
                if (last && last->beat == n.beat) LinkBeam(score_, {s, last->slot}, {s, n.slot});
                last = &n;
                continue;
            }
            const std::string type = n.type ? n.type : "";
            const bool link = previous && (type == "continue" || type == "end");
            if (link) {
                b.obj[previous].note().beamOnTo = static_cast<uint8_t>(n.slot);
                b.obj[n.slot].note().beamBackTo = static_cast<uint8_t>(previous);
            }
            previous = type == "begin" || type == "continue" ? n.slot : 0;
        }
    }
}

void Builder::directions(int s, std::size_t p, std::size_t m, int32_t from, int32_t to) {
    const mxl::PartMeasure& pm = doc_.parts[p].measures[m];
    const int32_t Y = score_.stave(s).h.Ycoord;
    for (const mxl::Direction& d : pm.directions) {
        const int32_t x = d.pos >= measureLength(m) ? to - 6 : std::max(from, columnX(m, d.pos));
        const int32_t below = Y + 30, above = Y - 40;
        switch (d.kind) {
            case mxl::Direction::Words: {
                const std::string text = Utf8ToScoreText(d.text);
                PlaceText(score_, s, kText, x, d.above ? above : below, wordsFont_, text);
                break;
            }
            case mxl::Direction::Dynamic: {
                const uint8_t g = GlyphNamed(d.text);
                if (g == kNoGlyph) {
                    skip("dynamics " + d.text.substr(0, 20));
                    break;
                }
                add(s, kTrill, x, below, g);  // a row of one: a single sign
                break;
            }
            case mxl::Direction::Wedge: {
                if (d.text == "crescendo" || d.text == "diminuendo") {
                    Placed at{s, 0, systemIndex_, x, below, d.text == "crescendo" ? 1 : -1};
                    wedges_[p][d.number] = at;
                } else if (d.text == "stop") {
                    auto w = wedges_[p].find(d.number);
                    if (w == wedges_[p].end()) break;
                    const Placed a = w->second;
                    wedges_[p].erase(w);
                    if (a.stave != s) {
                        hairpin(a.stave, a.x, score_.stave(a.stave).h.RightX - 4, a.y + 4,
                                a.pitch > 0);
                        hairpin(s, musicStart_ - kContinued, x, below + 4, a.pitch > 0);
                    } else {
                        hairpin(s, a.x, x, a.y + 4, a.pitch > 0);
                    }
                }
                break;
            }
            default:
                skip("directions");
        }
    }
}

void Builder::texts() {
    const int first = 1;
    if (score_.Nstaves < first) return;
    const StaveHeader& h = score_.stave(first).h;
    if (!doc_.title.empty()) {
        const std::string t = Utf8ToScoreText(doc_.title);
        const int w = measurer_.width(TextFont{"Times New Roman", 20, kBold}, t);
        PlaceText(score_, first, kText, (h.LeftX + h.RightX) / 2 - w / 2, h.Ycoord - 80, titleFont_,
                  t);
    }
    if (!doc_.composer.empty()) {
        const std::string t = Utf8ToScoreText(doc_.composer);
        const int w = measurer_.width(TextFont{"Times New Roman", 11, 0}, t);
        PlaceText(score_, first, kText, h.RightX - w, h.Ycoord - 46, composerFont_, t);
    }
    TidyStave(score_, first, true);
    if (thirdVoices_) out_.skipped.push_back(FormatMessage(msg::MusicXmlThirdVoice, thirdVoices_));
    if (overflow_) out_.skipped.push_back(FormatMessage(msg::MusicXmlStaveFull, overflow_));
    for (const auto& [what, count] : skipped_)
        out_.skipped.push_back(FormatMessage(msg::MusicXmlSkippedElements, count, what));
}

// Staves were set at fixed distances; laid out, the music above or below
// one may reach the next, or above the page. Each stave moves down (never up)
// until its highest point clears the one before by a gap.
void SpaceByExtents(Score& score, const TextMeasurer& measurer) {
    constexpr int32_t kTop = 4, kWithin = 8, kBetween = 24;
    for (int s = 1; s <= score.Nstaves; ++s)
        RefreshStave(score, s, measurer);
    int32_t shift = 0, bottom = kTop;
    for (int s = 1; s <= score.Nstaves; ++s) {
        const StaveHeader& h = score.stave(s).h;
        const int32_t gap = s == 1 ? 0 : IsFirstStaveOfSystem(score, s) ? kBetween : kWithin;
        shift += std::max(0, bottom + gap - (h.MinY + shift));
        bottom = h.MaxY + shift;
        ShiftStave(score, s, shift);
    }
}

}  // namespace

ImportOutcome BuildImportedScore(const mxl::Document& doc, const ImportOptions& options,
                                 Score& score, Host& host, const TextMeasurer& measurer) {
    ImportOutcome out;
    score.clear();
    if (doc.parts.empty() || doc.measures.empty()) {
        out.error = FormatMessage(msg::MusicXmlNoMeasures);
        return out;
    }
    for (const mxl::Part& p : doc.parts)
        if (p.measures.size() != doc.measures.size()) {
            out.error = FormatMessage(msg::MusicXmlNoMeasures);
            return out;
        }
    Builder b(doc, score, host, measurer, out);
    b.page(options);
    b.plan();
    if (!b.build()) {
        score.clear();
        return out;
    }
    b.texts();
    out.skipped.insert(out.skipped.begin(), doc.skipped.begin(), doc.skipped.end());
    out.skipped.insert(out.skipped.end(), doc.warnings.begin(), doc.warnings.end());
    score.CurrentStave = 1;
    SpaceByExtents(score, measurer);
    PrepareForDisplay(score, host, measurer);
    ApplyBarNumbering(score, RenumberBars(score, 0));
    out.ok = true;
    return out;
}

}  // namespace sw
