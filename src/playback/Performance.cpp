// Performance generation: scanning the range system by system, timing the
// voices against one x-to-time table, unfolding repeats, writing the file.
#include "playback/Performance.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/Alignment.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Signatures.h"
#include "model/ScoreSnapshot.h"
#include "playback/MidiWriter.h"

namespace sw {

namespace {

constexpr std::array<double, 8> kValueLength = {8, 4, 2, 1, 0.5, 0.25, 0.125, 0.0625};
constexpr std::array<double, 4> kDotFactor = {1, 1.5, 1.75, 1.875};
constexpr double kAcciaccaturaLength = 0.0625;
// By staccato code: none, ".", "'", ". Tail", "' tail".
constexpr std::array<double, 5> kArticulation = {91.0 / 96, 0.625, 0.3125, 0.625, 0.3125};
constexpr int kClefCodes = 5;
constexpr std::array<int, kClefCodes> kClefReference = {71, 50, 60, 57, 71};
constexpr int kClefSteps[kClefCodes][7] = {{0, 1, 3, 5, 6, 8, 10},
                                           {0, 2, 3, 5, 7, 9, 10},
                                           {0, 2, 4, 5, 7, 9, 11},
                                           {0, 2, 3, 5, 7, 8, 10},
                                           {0, 1, 3, 5, 6, 8, 10}};
// Letters as 0 = C … 6 = B: the middle line of each clef, and the order in
// which key signatures alter them.
constexpr std::array<int, kClefCodes> kClefLetter = {6, 1, 0, 5, 6};
constexpr std::array<int, 7> kSharpOrder = {3, 0, 4, 1, 5, 2, 6};
constexpr std::array<int, 7> kFlatOrder = {6, 2, 5, 1, 4, 0, 3};
constexpr char kLetterNames[] = "CDEFGAB";
constexpr int kMaxKey = 7;
constexpr int kBagpipeSharps = 2;
constexpr int kMaxTracks = 16;
constexpr int kTemperedTracks = 13;
constexpr int kSilentInstrument = 128;  // programs above it are silent
constexpr double kQuietFactor = 0.9;    // notes off the bar's first beat
constexpr int kBracketSlack = 20;       // an octave line's continuation starts this close
constexpr int kLevelSlack = 3;
constexpr double kEpsilon = 1e-9;
constexpr int kMaxChain = 10000;
constexpr int kSemibreve = 1;
constexpr const char* kProducedBy = "Produced by Staffwright 5";

enum HeadSize { kNormalSize = 0, kSmallSize = 1, kAcciaccatura = 5 };
enum BarStyle { kRepeatStart = 2, kRepeatEnd = 3, kRepeatEndStart = 4 };
enum LegDirection { kLegDown = 1 };
constexpr int kStartLeg = 0x02;
constexpr int kLineWithGap = 3;  // tuplet brackets, never volta brackets

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int ClampKey(int k) {
    return std::clamp(k, -kMaxKey, kMaxKey);
}

struct System {
    int first = 0, last = 0;
};

struct Bar {
    int32_t x;
    int style;
    int index;
};

// What the first stave of a system says for every stave of it.
struct SystemFrame {
    std::vector<Bar> bars;
    std::vector<std::pair<int32_t, double>> barLengths;  // from x on
    double startLength = 0;                              // carried in from before
    bool ownTimesig = false;
    std::vector<int32_t> noteXs;  // where notes start on the staves played
};

// Per stave position, carried from system to system.
struct Chain {
    int clef = 0;
    int key = 0;
    double part1 = 0, part2 = 0;  // how far each part has got (two-part writing)
    bool twoPart = false;
};

int AccidentalIndex(int pitch) {
    return pitch + 128;
}

class Generator {
  public:
    Generator(Score& score, const PlaybackOptions& o) : score_(score), o_(o) {}

    std::vector<System> systems;
    std::vector<int> played;  // indexes into systems
    int posFirst = 0, posLast = 0;
    std::vector<PerformanceRecord> records;
    std::vector<TimeEntry> table;
    std::unordered_set<int64_t> continuations;

    void FindSystems() {
        for (int s = 1; s <= score_.Nstaves; ++s) {
            if (systems.empty() || IsFirstStaveOfSystem(score_, s)) systems.push_back({s, s});
            systems.back().last = s;
        }
    }

    int SystemOf(int s) const {
        auto it = std::upper_bound(systems.begin(), systems.end(), s,
                                   [](int v, const System& y) { return v < y.first; });
        return static_cast<int>(it - systems.begin()) - 1;
    }

    void ChooseRange() {
        const int first = std::clamp(o_.firstStave, 1, static_cast<int>(score_.Nstaves));
        const int last = std::clamp(o_.lastStave, first, static_cast<int>(score_.Nstaves));
        const int sys = SystemOf(first);
        posFirst = first - systems[sys].first;
        posLast = std::min(last, systems[sys].last) - systems[sys].first;
        const bool onward = o_.continueOn || o_.range == PlayRange::Score;
        const int page = score_.stave(systems[sys].first).h.PageNum;
        for (int k = sys; k < static_cast<int>(systems.size()); ++k) {
            if (k > sys && !onward &&
                !(o_.range == PlayRange::Page && score_.stave(systems[k].first).h.PageNum == page))
                break;
            played.push_back(k);
        }
        // A whole system is played on every stave of the largest one.
        if (o_.range == PlayRange::System || o_.range == PlayRange::Page ||
            o_.range == PlayRange::Score) {
            posFirst = 0;
            for (int k : played)
                posLast = std::max(posLast, systems[k].last - systems[k].first);
        }
    }

    template <class F>
    void ForPlayedStaves(F f) const {
        for (int k : played)
            for (int p = posFirst; p <= posLast; ++p) {
                const int s = systems[k].first + p;
                if (s <= systems[k].last) f(k, p, s);
            }
    }

    bool AnyNotes() const {
        bool any = false;
        ForPlayedStaves([&](int, int, int s) {
            const StaveBlock& b = score_.stave(s);
            for (int i = 1; i <= b.count() && !any; ++i)
                any = b.obj[i].kind == kNote && !b.obj[i].note().rest;
        });
        return any;
    }

    // Every note without a stem gets one, so that it belongs to a voice.
    void SettleStems() {
        ForPlayedStaves([&](int, int, int s) {
            StaveBlock& b = score_.stave(s);
            for (int i = 1; i <= b.count(); ++i) {
                ScoreObject& o = b.obj[i];
                if (o.kind != kNote || o.note().rest || o.note().stem != 2) continue;
                int low = 127, high = -128;
                for (int j = 1; j <= b.count(); ++j) {
                    const ScoreObject& m = b.obj[j];
                    if (m.kind != kNote || m.note().rest || m.x != o.x) continue;
                    low = std::min<int>(low, m.note().pitch);
                    high = std::max<int>(high, m.note().pitch);
                }
                const int p = o.note().pitch;
                o.note().stem = p == low ? 1 : p == high ? 0 : (p > 0 ? 1 : 0);
            }
        });
    }

    SystemFrame Frame(int k, double carried) const {
        SystemFrame f;
        f.startLength = carried;
        const StaveBlock& b = score_.stave(systems[k].first);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind == kBarline) f.bars.push_back({o.x, o.data.barline.style, i});
            if (o.kind == kTimesig || o.kind == kCommonTime) {
                f.barLengths.push_back({o.x, TimesigBarLength(o)});
                f.ownTimesig = true;
            }
        }
        auto byX = [](const auto& a, const auto& c) { return a.x < c.x; };
        std::stable_sort(f.bars.begin(), f.bars.end(), byX);
        std::stable_sort(f.barLengths.begin(), f.barLengths.end());
        return f;
    }

    static std::size_t BarIndex(const SystemFrame& f, int32_t x) {
        return static_cast<std::size_t>(
            std::lower_bound(f.bars.begin(), f.bars.end(), x,
                             [](const Bar& b, int32_t v) { return b.x < v; }) -
            f.bars.begin());
    }

    static double LengthAt(const SystemFrame& f, int32_t x) {
        double len = f.startLength;
        for (const auto& [at, l] : f.barLengths)
            if (at <= x) len = l;
        return len;
    }

    int Voice(int p, bool second) const { return 2 * (p + 1) - (second ? 0 : 1); }

    void Scan() {
        std::vector<Chain> chains(posLast - posFirst + 1);
        for (Chain& c : chains)
            c.key = score_.bagpipeScore ? kBagpipeSharps : 0;
        double carried = 0;
        for (std::size_t n = 0; n < played.size(); ++n) {
            const int k = played[n];
            SystemFrame frame = Frame(k, carried);
            if (!frame.barLengths.empty()) carried = frame.barLengths.back().second;
            ScanSystemMarks(k, frame);
            for (int p = posFirst; p <= posLast; ++p) {
                const int s = systems[k].first + p;
                if (s > systems[k].last) continue;
                ScanStave(k, p, s, frame, chains[p - posFirst]);
            }
        }
    }

    PerformanceRecord Base(int k, int32_t x, int voice, int s, int i) const {
        PerformanceRecord r;
        r.key = {k, x};
        r.voice = static_cast<int16_t>(voice);
        r.stave = static_cast<uint16_t>(s);
        r.object = static_cast<uint8_t>(i);
        return r;
    }

    // Time signatures, repeat marks, brackets and empty bars: once a system.
    void ScanSystemMarks(int k, SystemFrame& frame) {
        const int f = systems[k].first;
        const int voice = Voice(posFirst, false);
        const StaveBlock& b = score_.stave(f);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind == kTimesig || o.kind == kCommonTime) {
                PerformanceRecord r = Base(k, o.x, voice, f, i);
                r.kind = kRecordTimesig;
                r.mark = true;
                const bool symbol = o.kind == kCommonTime || o.data.timesig.sign != 0;
                r.value1 =
                    static_cast<int8_t>(symbol ? 4 : std::min<int>(o.data.timesig.numerator, 127));
                r.value2 = symbol ? 4 : o.data.timesig.denominator;
                records.push_back(r);
            } else if (o.kind == kLine && o.data.line.legDirection == kLegDown &&
                       (o.data.line.legEnds & kStartLeg) && o.data.line.style != kLineWithGap) {
                PerformanceRecord r = Base(k, o.x, voice, f, i);
                r.mark = r.bracket = true;
                records.push_back(r);
            }
        }
        // Which x's hold notes on the played staves, for the empty bars.
        std::vector<int32_t>& noteXs = frame.noteXs;
        for (int p = posFirst; p <= posLast; ++p) {
            const int s = f + p;
            if (s > systems[k].last) continue;
            const StaveBlock& sb = score_.stave(s);
            for (int i = 1; i <= sb.count(); ++i)
                if (sb.obj[i].kind == kNote) noteXs.push_back(sb.obj[i].x);
        }
        std::sort(noteXs.begin(), noteXs.end());
        int32_t previous = score_.stave(f).h.LeftX;
        double timesigLength = 0;  // only a time signature of this system counts
        std::size_t ts = 0;
        for (const Bar& bar : frame.bars) {
            while (ts < frame.barLengths.size() && frame.barLengths[ts].first <= bar.x)
                timesigLength = frame.barLengths[ts++].second;
            const bool ordinary = bar.style == 0 || bar.style == 1;
            auto it = std::upper_bound(noteXs.begin(), noteXs.end(), previous);
            const bool empty = it == noteXs.end() || *it >= bar.x;
            if (empty && ordinary && timesigLength > 0) {
                PerformanceRecord r =
                    Base(k, previous + (bar.x - previous) / 2, voice, f, bar.index);
                r.own = r.duration = r.sounding = r.notated = r.spacing = timesigLength;
                r.firstOfBar = true;
                r.mark = true;  // silent
                records.push_back(r);
            }
            PerformanceRecord r = Base(k, bar.x, voice, f, bar.index);
            r.mark = true;
            if (bar.style == kRepeatEnd || bar.style == kRepeatEndStart) {
                r.repeatEnd = true;
                records.push_back(r);
                r.repeatEnd = false;
            }
            if (bar.style == kRepeatStart || bar.style == kRepeatEndStart) {
                r.repeatStart = true;
                records.push_back(r);
            }
            if (ordinary) {
                r.kind = kRecordBar;
                records.push_back(r);
            }
            previous = bar.x;
        }
    }

    // The note a tie leaving the system lands on: the same position on the
    // corresponding stave of the next system played.
    std::pair<int, int> TieTarget(int s, int i, int nextSystem, int p) const {
        const NoteData& n = score_.stave(s).obj[i].note();
        if (n.tieRight == 255) {
            if (nextSystem < 0) return {0, 0};
            const int t = systems[nextSystem].first + p;
            if (t > systems[nextSystem].last) return {0, 0};
            const StaveBlock& b = score_.stave(t);
            for (int j = 1; j <= b.count(); ++j)
                if (b.obj[j].kind == kNote && b.obj[j].note().tieLeft == 255 &&
                    b.obj[j].note().pitch == n.pitch)
                    return {t, j};
            return {0, 0};
        }
        const StaveBlock& b = score_.stave(s);
        // Forward only: a damaged file may link notes in a ring.
        if (!b.validIndex(n.tieRight) || n.tieRight <= i) return {0, 0};
        const ScoreObject& m = b.obj[n.tieRight];
        if (m.kind != kNote || m.note().rest || m.note().pitch != n.pitch) return {0, 0};
        return {s, n.tieRight};
    }

    static int MidiKey(const Chain& c, int pitch, int alteration, int shift, int transpose) {
        return StaveKey(c.clef, pitch) + alteration + shift + transpose;
    }

    static int KeyAlteration(int key, int letter) {
        const int k = ClampKey(key);
        for (int i = 0; i < std::abs(k); ++i)
            if ((k > 0 ? kSharpOrder : kFlatOrder)[i] == letter) return k > 0 ? 1 : -1;
        return 0;
    }

    bool Playable(const NoteData& n) const {
        if (n.head != 0 && !o_.everyHead) return false;
        if (n.headSize != kNormalSize &&
            !(o_.graceNotes && (n.headSize == kSmallSize || n.headSize == kAcciaccatura)))
            return false;
        return true;
    }

    // The first note of a two-note tremolo names its partner; the second is
    // played through the first.
    static bool TremoloSecond(const StaveBlock& b, const NoteData& n) {
        return n.beamStem1 && n.beamBackTo != 0 && !n.beamBackUp && !n.beamBackDown &&
               b.validIndex(n.beamBackTo) && b.obj[n.beamBackTo].kind == kNote &&
               b.obj[n.beamBackTo].note().beamStem1;
    }

    void ScanStave(int k, int p, int s, const SystemFrame& frame, Chain& c) {
        const StaveBlock& b = score_.stave(s);
        std::vector<int> order;
        for (int i = 1; i <= b.count(); ++i)
            order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int d) { return b.obj[a].x < b.obj[d].x; });
        const std::vector<OctaveSpan> spans = OctaveSpans(b);
        std::array<int8_t, 256> accidentals;
        constexpr int8_t kUnset = 99;
        accidentals.fill(kUnset);
        std::size_t bar = 0;
        bool firstOfBar = true;
        std::vector<int> notesInBar(frame.bars.size() + 1, 0);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kNote) ++notesInBar[BarIndex(frame, b.obj[i].x)];
        for (std::size_t at = 0; at < order.size();) {
            const int i = order[at];
            const ScoreObject& o = b.obj[i];
            while (bar < frame.bars.size() && frame.bars[bar].x < o.x) {
                ++bar;
                accidentals.fill(kUnset);
                firstOfBar = true;
            }
            if (o.kind == kClef) {
                c.clef = std::min<int>(o.data.clef.type, kClefCodes - 1);
                accidentals.fill(kUnset);
            } else if (o.kind == kKeysig) {
                c.key = ClampKey(o.data.keysig.key);
                PerformanceRecord r = Base(k, o.x, Voice(p, false), s, i);
                r.kind = kRecordKeysig;
                r.mark = true;
                r.value1 = static_cast<int8_t>(c.key);
                records.push_back(r);
            } else if (o.kind == kAccidental) {
                accidentals[AccidentalIndex(o.data.accidental.pitch)] =
                    static_cast<int8_t>(std::clamp<int>(o.data.accidental.accidental, -2, 2));
            }
            if (o.kind != kNote) {
                ++at;
                continue;
            }
            // The notes at one x form a group: a chord, or the two parts.
            std::vector<int> group;
            std::size_t end = at;
            for (; end < order.size() && b.obj[order[end]].x == o.x; ++end)
                if (b.obj[order[end]].kind == kNote)
                    group.push_back(order[end]);
                else if (b.obj[order[end]].kind == kAccidental) {
                    const AccidentalData& a = b.obj[order[end]].data.accidental;
                    accidentals[AccidentalIndex(a.pitch)] =
                        static_cast<int8_t>(std::clamp<int>(a.accidental, -2, 2));
                }
            at = end;
            std::vector<std::pair<int, bool>> members;  // object, second part
            bool up = false, down = false, rest = false;
            for (int g : group) {
                const NoteData& n = b.obj[g].note();
                if (!Playable(n) || TremoloSecond(b, n)) continue;
                if (continuations.count(static_cast<int64_t>(s) * 256 + g) && n.rest) continue;
                if (n.rest)
                    rest = true;
                else if (EffectiveStem(n) == 1)
                    down = true;
                else
                    up = true;
            }
            if ((up && down) || (rest && (up || down))) {
                if (!c.twoPart) c.part2 = c.part1;
                c.twoPart = true;
            }
            double len1 = -1, len2 = -1;
            for (int g : group) {
                const NoteData& n = b.obj[g].note();
                if (!Playable(n) || TremoloSecond(b, n)) continue;
                bool second = false;
                if (c.twoPart) {
                    if (n.rest)
                        second = up && !down;
                    else
                        second = EffectiveStem(n) == 1;
                }
                AddNote(k, p, s, g, second, firstOfBar, spans, accidentals, c);
                const NoteData& n2 = b.obj[g].note();
                if (n2.rest && n2.noteValue == kSemibreve && notesInBar[bar] == 1)
                    WholeBarRest(records.back(), frame, bar);
                (second ? len2 : len1) = records.back().own;
            }
            if (group.empty()) continue;
            if (len1 < 0 && len2 < 0) continue;
            firstOfBar = false;
            if (c.twoPart) {
                if (len1 >= 0) c.part1 += len1;
                if (len2 >= 0) c.part2 += len2;
                if (std::abs(c.part1 - c.part2) < kEpsilon) c.twoPart = false;
            } else {
                c.part1 += len1 >= 0 ? len1 : len2;
                c.part2 = c.part1;
            }
        }
    }

    // A lone semibreve rest lasts the bar, from the bar's first note on any stave.
    void WholeBarRest(PerformanceRecord& r, const SystemFrame& f, std::size_t bar) const {
        const double len = LengthAt(f, r.key.x);
        if (len <= 0) return;
        r.own = r.duration = r.sounding = r.notated = r.spacing = len;
        const int32_t opening = bar == 0 ? INT32_MIN : f.bars[bar - 1].x;
        auto it = std::upper_bound(f.noteXs.begin(), f.noteXs.end(), opening);
        if (it != f.noteXs.end() && (bar >= f.bars.size() || *it < f.bars[bar].x)) r.key.x = *it;
    }

    void AddNote(int k, int p, int s, int i, bool second, bool firstOfBar,
                 const std::vector<OctaveSpan>& spans, const std::array<int8_t, 256>& accidentals,
                 const Chain& c) {
        const StaveBlock& b = score_.stave(s);
        const ScoreObject& o = b.obj[i];
        const NoteData& n = o.note();
        PerformanceRecord r = Base(k, o.x, Voice(p, second), s, i);
        r.note = n;
        r.stem = static_cast<uint8_t>(EffectiveStem(n));
        r.firstOfBar = firstOfBar;
        r.own = NoteLength(n);
        r.duration = r.own;
        r.spacing = r.own;
        r.mark = continuations.count(static_cast<int64_t>(s) * 256 + i) > 0;
        if (n.rest) {
            r.letter = 'Z';
            r.sounding = r.notated = r.duration;
            records.push_back(r);
            return;
        }
        r.letter = c.clef == 4 ? '?' : kLetterNames[NoteLetter(c.clef, n.pitch)];
        if (!r.mark) {
            // The tie chain: lengths of every note tied on, each once.
            int cs = s, ci = i, sys = k;
            for (int guard = 0; guard < kMaxChain; ++guard) {
                auto [ts, ti] = TieTarget(cs, ci, NextPlayedAfter(sys), p);
                if (ts == 0) break;
                if (!continuations.insert(static_cast<int64_t>(ts) * 256 + ti).second) break;
                r.duration += NoteLength(score_.stave(ts).obj[ti].note());
                if (ts != cs) sys = SystemOf(ts);
                cs = ts;
                ci = ti;
            }
            r.sounding = r.duration * kArticulation[std::min<int>(n.staccato, 4)];
            r.notated = r.duration;
        }
        int alteration = accidentals[AccidentalIndex(n.pitch)];
        if (alteration == 99) alteration = KeyAlteration(c.key, NoteLetter(c.clef, n.pitch));
        int shift = 0;
        for (const OctaveSpan& sp : spans)
            if (o.x >= sp.from && o.x <= sp.to) shift = sp.shift;
        const int key = MidiKey(c, n.pitch, alteration, shift, b.h.soundTranspose);
        r.keyNumber = key >= 0 && key <= 127 ? key : -1;
        if (n.beamStem1 && n.beamOnTo != 0 && !n.beamOnUp && !n.beamOnDown &&
            b.validIndex(n.beamOnTo) && b.obj[n.beamOnTo].kind == kNote) {
            const NoteData& m = b.obj[n.beamOnTo].note();
            int alt = accidentals[AccidentalIndex(m.pitch)];
            if (alt == 99) alt = KeyAlteration(c.key, NoteLetter(c.clef, m.pitch));
            const int pk = MidiKey(c, m.pitch, alt, shift, b.h.soundTranspose);
            r.partnerKey = pk >= 0 && pk <= 127 ? pk : -1;
        }
        records.push_back(r);
    }

    // The systems played follow one another.
    int NextPlayedAfter(int sys) const { return sys < played.back() ? sys + 1 : -1; }

    void Sort() {
        std::sort(records.begin(), records.end(),
                  [](const PerformanceRecord& a, const PerformanceRecord& b) {
                      if (a.key != b.key) return a.key < b.key;
                      const bool ra = a.repeatStart || a.repeatEnd,
                                 rb = b.repeatStart || b.repeatEnd;
                      if (ra && rb && a.repeatEnd != b.repeatEnd) return a.repeatEnd;
                      if (a.voice != b.voice) return a.voice < b.voice;
                      if (a.stem != b.stem) return a.stem < b.stem;
                      if (a.stave != b.stave) return a.stave < b.stave;
                      if (a.object != b.object) return a.object < b.object;
                      if (a.kind != b.kind) return a.kind < b.kind;
                      return a.repeatEnd > b.repeatEnd;
                  });
    }

    static bool Timed(const PerformanceRecord& r) { return r.kind == kRecordNote; }

    TimeEntry* Entry(const TimeKey& key) {
        auto it = std::lower_bound(table.begin(), table.end(), key,
                                   [](const TimeEntry& e, const TimeKey& k) { return e.key < k; });
        return it != table.end() && it->key == key ? &*it : nullptr;
    }

    void Times() {
        for (const PerformanceRecord& r : records) {
            if (!Timed(r)) continue;
            if (table.empty() || table.back().key != r.key) {
                TimeEntry e;
                e.key = r.key;
                e.shortest = r.spacing;
                table.push_back(e);
            }
            TimeEntry& e = table.back();
            if (!r.repeatStart && !r.repeatEnd && !r.bracket) {
                e.longest = std::max(e.longest, r.spacing);
                e.shortest = e.shortest == 0 ? r.spacing : std::min(e.shortest, r.spacing);
            }
            e.firstOfBar = e.firstOfBar || r.firstOfBar;
        }
        std::map<int, std::vector<const PerformanceRecord*>> voices;
        for (const PerformanceRecord& r : records)
            if (Timed(r)) voices[r.voice].push_back(&r);
        for (auto& [voice, list] : voices) {
            double start = 0, length = 0;
            bool first = true;
            const TimeKey* previous = nullptr;
            for (const PerformanceRecord* r : list) {
                if (previous && *previous == r->key) {
                    length = r->own;
                    continue;
                }
                double t = first ? 0 : start + length;
                TimeEntry* e = Entry(r->key);
                if (e->time < 0) {
                    if (first) t = 0;
                    e->time = t;
                } else if (e->time < t - kEpsilon) {
                    const double delay = t - e->time;
                    for (TimeEntry* x = e; x != table.data() + table.size(); ++x)
                        if (x->time >= 0) x->time += delay;
                } else {
                    t = e->time;
                }
                start = t;
                length = r->own;
                previous = &r->key;
                first = false;
            }
        }
        double shift = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i].time += shift;
            if (i > 0 && table[i].time <= table[i - 1].time) {
                const double moved = table[i - 1].time + table[i - 1].longest - table[i].time;
                shift += moved;
                table[i].time += moved;
            }
        }
        for (PerformanceRecord& r : records) {
            if (!Timed(r)) continue;
            const TimeEntry* e = Entry(r.key);
            r.time = e->time;
            r.firstOfBar = e->firstOfBar;
        }
    }

    // The first fault in the repeat structure, as the message to show.
    std::string CheckRepeats() const {
        bool inRepeat = false, atStart = true, inFirst = false, afterFirst = false;
        int stave = 0;
        for (const PerformanceRecord& r : records) {
            if (!r.repeatStart && !r.repeatEnd && !r.bracket) continue;
            stave = systems[r.key.system].first;
            if (r.repeatEnd) {
                if (!inRepeat && !atStart) return FormatMessage(msg::RepeatEndWithoutStart, stave);
                afterFirst = inFirst;
                inFirst = atStart = inRepeat = false;
            } else if (r.repeatStart) {
                if (inRepeat) return FormatMessage(msg::ConsecutiveRepeatStarts, stave);
                if (inFirst) return FormatMessage(msg::FirstTimeBarThenRepeatStart, stave);
                atStart = false;
                inRepeat = true;
            } else if (afterFirst) {
                afterFirst = false;
            } else {
                if (inFirst) return FormatMessage(msg::TimeBarsNotSeparated, stave);
                inFirst = true;
            }
        }
        if (inFirst) return FormatMessage(msg::FinalFirstTimeBar, stave);
        return {};
    }

    std::vector<TrackInfo> tracks;
    std::map<int, int> voiceTrack;

    void AssignTracks() {
        tracks.assign(1, TrackInfo{});
        const int sys = played.front();
        if (o_.temperament != 0) {
            int instrument = o_.instrument;
            for (int s = systems[sys].first; s <= systems[sys].last && instrument == 0; ++s)
                instrument = score_.stave(s).h.instrumentUp;
            instrument = std::max(instrument, 1);
            for (int pc = 0; pc < kTemperedTracks - 1; ++pc)
                tracks.push_back({instrument, pc});
            return;
        }
        std::set<int> seconds;
        for (const PerformanceRecord& r : records)
            if (r.kind == kRecordNote && r.voice % 2 == 0) seconds.insert(r.voice);
        for (int p = posFirst; p <= posLast; ++p) {
            int s = 0;
            for (int k : played)
                if (systems[k].first + p <= systems[k].last) {
                    s = systems[k].first + p;
                    break;
                }
            if (s == 0) break;
            const StaveHeader& h = score_.stave(s).h;
            auto instrumentOf = [&](int i) {
                if (o_.instrument != 0) return o_.instrument;
                return i == 0 ? o_.defaultInstrument : i;
            };
            if (static_cast<int>(tracks.size()) < kMaxTracks)
                tracks.push_back({instrumentOf(h.instrumentUp), -1});
            const int up = static_cast<int>(tracks.size());
            voiceTrack[Voice(p, false)] = up;
            voiceTrack[Voice(p, true)] = up;
            if (seconds.count(Voice(p, true)) && h.instrumentDown != h.instrumentUp &&
                h.instrumentDown != 0 && static_cast<int>(tracks.size()) < kMaxTracks) {
                tracks.push_back({instrumentOf(h.instrumentDown), -1});
                voiceTrack[Voice(p, true)] = static_cast<int>(tracks.size());
            }
        }
    }

    int TrackOf(const PerformanceRecord& r) const {
        if (o_.temperament != 0) return r.keyNumber >= 0 ? r.keyNumber % 12 + 2 : 1;
        auto it = voiceTrack.find(r.voice);
        return it == voiceTrack.end() ? (tracks.size() > 1 ? 2 : 1) : it->second;
    }

    std::vector<MidiEvent> events;

    void Note(double t, int track, int key, int velocity, double length) {
        events.push_back({t, static_cast<uint8_t>(track), kEventNoteOn, static_cast<int8_t>(key),
                          static_cast<uint8_t>(velocity)});
        events.push_back(
            {t + length, static_cast<uint8_t>(track), kEventNoteOff, static_cast<int8_t>(key), 0});
    }

    void Events() {
        double offset = 0, lastEnd = 0;
        int start = -1;
        bool armed = true, firstKey = true, firstTime = true;
        std::vector<bool> consumed(records.size(), false);
        const std::size_t limit = records.size() * 8 + 64;
        std::size_t steps = 0;
        const int loud = std::clamp(o_.volume, 0, 127);
        const int quiet = std::max(0, static_cast<int>(std::lround(kQuietFactor * loud)));
        for (std::size_t i = 0; i < records.size() && steps < limit; ++steps) {
            const PerformanceRecord& r = records[i];
            if (r.kind == kRecordKeysig || r.kind == kRecordTimesig) {
                const bool key = r.kind == kRecordKeysig;
                bool& first = key ? firstKey : firstTime;
                const int track = first || o_.temperament != 0 ? 1 : TrackOf(r);
                first = false;
                events.push_back({lastEnd, static_cast<uint8_t>(track),
                                  key ? kEventKeysig : kEventTimesig, r.value1, r.value2});
                ++i;
                continue;
            }
            if (o_.repeats && (r.repeatStart || r.repeatEnd) && !consumed[i]) {
                if (r.repeatEnd) {
                    if (armed) {
                        offset += r.time - (start >= 0 ? records[start].time : 0);
                        armed = false;
                        i = start >= 0 ? start + 1 : 0;
                    } else {
                        armed = true;
                        start = static_cast<int>(i++);
                    }
                } else {
                    start = static_cast<int>(i++);
                    armed = true;
                }
                continue;
            }
            if (o_.repeats && r.bracket && !armed) {
                std::size_t j = i + 1;
                int newStart = start;
                for (; j < records.size() && !(records[j].repeatEnd && !consumed[j]); ++j)
                    if (records[j].repeatStart && !consumed[j]) newStart = static_cast<int>(j);
                if (j < records.size()) {
                    start = newStart;
                    offset -= records[j].time - r.time;
                    consumed[j] = true;
                    armed = true;
                    i = j + 1;
                    continue;
                }
            }
            if (r.sounds() && tracks.size() > 1) {
                const double t = r.time + offset;
                const int track = TrackOf(r);
                const int velocity = r.firstOfBar ? loud : quiet;
                const NoteData& n = r.note;
                if (n.tremuloBars > 0) {
                    // 256ths of a crotchet: breve 2048 … and on past the table.
                    const int whole = 2048 >> std::min<int>(n.noteValue, 11);
                    const int part = 2048 >> std::min(n.tremuloBars + 3, 11);
                    const int count = std::max(1, part > 0 ? whole / part : 1);
                    const double each = r.duration / count;
                    for (int c = 0; c < count; ++c) {
                        const int key =
                            r.partnerKey >= 0 && c % 2 == 1 ? r.partnerKey : r.keyNumber;
                        Note(t + c * each, track, key, velocity, each);
                    }
                } else {
                    Note(t, track, r.keyNumber, velocity, r.sounding);
                }
                lastEnd = t + r.notated;
            }
            ++i;
        }
    }

    double Pickup() const {
        if (played.empty()) return 0;
        const int k = played.front();
        const SystemFrame f = Frame(k, 0);
        if (f.barLengths.empty() || f.bars.empty()) return 0;
        const double bar = f.barLengths.front().second;
        for (const PerformanceRecord& r : records)
            if (r.key.system == k && r.kind == kRecordNote && !r.repeatStart && !r.repeatEnd &&
                !r.bracket && r.key.x > f.bars.front().x)
                return std::max(0.0, bar - r.time);
        return 0;
    }

    void Write(double pickup) {
        for (MidiEvent& e : events)
            e.time += pickup;
        std::sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
            if (a.time != b.time) return a.time < b.time;
            if (a.track != b.track) return a.track < b.track;
            if (a.kind != b.kind) return a.kind < b.kind;
            if (a.data1 != b.data1) return a.data1 < b.data1;
            return a.data2 < b.data2;
        });
    }

    Tmidistream File() const {
        Tmidistream m;
        const int n = static_cast<int>(tracks.size());
        m.WriteHeader(1, n, midi::kDivision);
        std::vector<std::vector<const MidiEvent*>> byTrack(n + 1);
        for (const MidiEvent& e : events)
            if (e.track >= 1 && e.track <= n) byTrack[e.track].push_back(&e);
        for (int t = 1; t <= n; ++t) {
            m.BeginTrack();
            const TrackInfo& info = tracks[t - 1];
            const int channel = t - 2;
            const bool silent = t > 1 && info.instrument > kSilentInstrument;
            if (t == 1) {
                m.WriteText(kProducedBy);
                m.WriteTempo(o_.tempo, 0);
            } else if (!silent) {
                m.WriteProgramChange(channel, info.instrument, 0);
                if (info.pitchClass >= 0)
                    m.WritePitchBend(channel, TemperamentBend(o_.temperament, info.pitchClass), 0);
            }
            double at = 0;
            for (const MidiEvent* e : byTrack[t]) {
                const double delta = e->time - at;
                switch (e->kind) {
                    case kEventKeysig:
                        m.WriteKeySignature(e->data1, delta);
                        break;
                    case kEventTimesig:
                        m.WriteTimeSignature(e->data1, e->data2, delta);
                        break;
                    case kEventNoteOn:
                        if (silent) continue;
                        m.WriteNoteOn(channel, e->data1, e->data2, delta);
                        break;
                    default:
                        if (silent) continue;
                        m.WriteNoteOff(channel, e->data1, delta);
                        break;
                }
                at = e->time;
            }
            m.WriteEndOfTrack(0);
            m.EndTrack();
        }
        m.CloseOpenTrack();
        return m;
    }

  private:
    Score& score_;
    const PlaybackOptions& o_;
};

// Frequency ratios to C; the bagpipe column holds cents.
constexpr double kRatios[3][12] = {
    {1, 1.067871, 1.125, 1.185185, 1.265625, 1.333333, 1.423828, 1.5, 1.580247, 1.6875, 1.777778,
     1.898438},
    {1, 1.041667, 1.125, 1.2, 1.25, 1.333333, 1.40625, 1.5, 1.6, 1.666667, 1.8, 1.875},
    {1, 1.044938, 1.11806, 1.196303, 1.25, 1.337464, 1.397566, 1.495453, 1.562475, 1.671817,
     1.788706, 1.869194}};
constexpr double kBagpipeCents[12] = {33.0, 19.3, 52.6, 33.0, 35.0, 33.0,
                                      17.4, 40.6, 33.0, 33.0, 33.0, 36.9};
constexpr int kBendPerTone = 8192;  // a bend range of two semitones
constexpr double kCentsPerBendRange = 200;

}  // namespace

double NoteLength(const NoteData& n) {
    if (n.headSize == kAcciaccatura) return kAcciaccaturaLength;
    double len = kValueLength[std::min<int>(n.noteValue, 7)] * kDotFactor[std::min<int>(n.dots, 3)];
    if (n.durMod != 0 && n.durMod2 != 0) len = len * n.durMod2 / n.durMod;
    return len;
}

std::vector<OctaveSpan> OctaveSpans(const StaveBlock& b) {
    std::vector<OctaveSpan> spans;
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind != kTrill) continue;
        const int shift = o.glyph == glyph::OCTAVE_8VA    ? 12
                          : o.glyph == glyph::OCTAVE_8VB  ? -12
                          : o.glyph == glyph::OCTAVE_15MA ? 24
                                                          : 0;
        if (shift == 0) continue;
        const int width = GlyphInkWidth(o.glyph);
        OctaveSpan span{o.x, o.x + width, shift, i, 0};
        for (int j = 1; j <= b.count(); ++j) {
            const ScoreObject& l = b.obj[j];
            if (l.kind == kLine && l.x >= o.x && l.x <= o.x + width + kBracketSlack &&
                std::abs(l.y - o.y) < kLevelSlack && l.x + l.data.line.dx > span.to) {
                span.to = l.x + l.data.line.dx;
                span.line = j;
            }
        }
        spans.push_back(span);
    }
    return spans;
}

int StaveKey(int clef, int pitch) {
    const int c = std::clamp(clef, 0, kClefCodes - 1);
    return kClefReference[c] + kClefSteps[c][((pitch % 7) + 7) % 7] + 12 * FloorDiv(pitch, 7);
}

int NoteLetter(int clef, int pitch) {
    return ((kClefLetter[std::clamp(clef, 0, kClefCodes - 1)] + pitch) % 7 + 7) % 7;
}

double TemperamentCents(int temperament, int pitchClass) {
    const int c = ((pitchClass % 12) + 12) % 12;
    if (temperament >= 1 && temperament <= 3)
        return 1200 * std::log2(kRatios[temperament - 1][c]) - 100 * c;
    if (temperament == 4) return kBagpipeCents[c];
    return 0;
}

int TemperamentBend(int temperament, int pitchClass) {
    const double cents = TemperamentCents(temperament, pitchClass);
    return std::clamp(static_cast<int>(std::lround(cents / kCentsPerBendRange * kBendPerTone)) +
                          midi::kCentreBend,
                      0, 16383);
}

bool GeneratePerformance(Score& score, Host& host, const PlaybackOptions& options,
                         Performance* out) {
    if (score.Nstaves < 1) {
        if (!options.collectOnly) host.warning(MessageText(msg::NoNotesToPlay), Buttons::OK);
        return false;
    }
    Generator probe(score, options);
    probe.FindSystems();
    probe.ChooseRange();
    if (!probe.AnyNotes()) {
        if (!options.collectOnly) host.warning(MessageText(msg::NoNotesToPlay), Buttons::OK);
        return false;
    }
    // A scratch copy is left as generation changes it: nothing to put back.
    std::optional<ScoreSnapshotGuard> guard;
    if (!options.scratch)
        guard.emplace(score, probe.systems[probe.played.front()].first,
                      probe.systems[probe.played.back()].last);
    // Notes that stand close together sound together: each system played is
    // aligned on the private copy (rests included, by the average x).
    for (const int index : probe.played) {
        const auto& system = probe.systems[index];
        AlignNotes(score, system.first, system.last,
                   AlignOptions{options.proximity, true, options.graceNotes, true});
    }
    // Alignment tidies the staves it moved: the music is read afresh.
    Generator g(score, options);
    g.FindSystems();
    g.ChooseRange();
    g.SettleStems();
    g.Scan();
    g.Sort();
    g.Times();
    if (options.collectOnly) {
        if (out) {
            out->table = std::move(g.table);
            out->records = std::move(g.records);
        }
        return true;
    }
    if (out) out->table = g.table;
    if (options.repeats) {
        const std::string problem = g.CheckRepeats();
        if (!problem.empty()) {
            if (guard) guard->restoreNow();
            host.message(MsgType::Error, problem + "\n" + MessageText(msg::PlaybackAborted),
                         Buttons::OK);
            return false;
        }
    }
    g.AssignTracks();
    g.Events();
    const double pickup = options.save ? g.Pickup() : 0;
    g.Write(pickup);
    const Tmidistream file = g.File();
    if (guard) guard->restoreNow();
    if (out) {
        out->records = g.records;
        out->events = g.events;
        out->tracks = g.tracks;
        out->pickup = pickup;
    }
    file.SaveTo(options.outputPath, options.io ? *options.io : SystemFileIo());
    return true;
}

}  // namespace sw
