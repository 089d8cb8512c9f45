// Bar lists, bar numbers and the re-spacing of bars.
#include "layout/Bars.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "layout/GlyphTable.h"
#include "layout/Justify.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"
#include "layout/Signatures.h"

namespace sw {

namespace {

// Durations closer than this are the same length: sums of tuplet values
// are not exact in binary.
constexpr double kDurationTolerance = 1e-3;
// The reference column of a screen glyph cell.
constexpr int kCellOrigin = 21;
// The dots of a note widen its ink by these, for one, two and three dots.
constexpr int kDotInk[4] = {0, 7, 14, 16};
// The occupancy labels: above and below the middle line, and their gaps.
constexpr int32_t kLabelRise = 40;
constexpr int32_t kLabelInset = 10;
constexpr int32_t kSignatureMargin = 5;
constexpr int32_t kOpenTail = 20;

bool IsTimesig(int kind) {
    return kind == kTimesig || kind == kCommonTime;
}

// Calls f(first, last) for each system of the score in order.
template <class F>
void ForEachSystem(const Score& score, F f) {
    for (int a = 1; a <= score.Nstaves;) {
        int b = a;
        while (b < score.Nstaves && score.stave(b).h.joinToNext)
            ++b;
        f(a, b);
        a = b + 1;
    }
}

int TopStave(const Score& score, int s) {
    return score.Nstaves >= 1 ? SystemBounds(score, s).first : 0;
}

// The columns under the ink of a glyph drawn at x.
std::optional<std::pair<int32_t, int32_t>> GlyphColumns(int code, int32_t x) {
    const GlyphBox box = GlyphInkBox(code);
    if (box.right < box.left) return std::nullopt;
    return std::pair{x + box.left - kCellOrigin, x + box.right - kCellOrigin};
}

// The glyph whose ink stands for a note's when bars are re-spaced: its head
// and, for a lone short note, its flag.
int NoteInkGlyph(const NoteData& n) {
    if (n.rest) return RestGlyph(n.noteValue, n.headSize == 1);
    if (n.noteValue == 0) return glyph::BREVE;
    if (n.noteValue == 1) return glyph::SEMIBREVE;
    const int stem = EffectiveStem(n);
    if (n.noteValue >= 4 && n.beamOnTo == 0 && stem <= 1)
        return stem == 0 ? glyph::QUAVER_UP : glyph::QUAVER_DOWN;
    return glyph::MINIM_UP;
}

std::optional<std::pair<int32_t, int32_t>> ObjectInkColumns(const StaveBlock& b,
                                                            const ScoreObject& o) {
    switch (o.kind) {
        case kKeysig: {
            const int width = KeysigWidth(b, o);
            if (width <= 0) return std::nullopt;
            return std::pair{o.x - 10, o.x - 10 + width};
        }
        case kNote: {
            const NoteData& n = o.note();
            const int code = NoteInkGlyph(n);
            const GlyphBox box = GlyphInkBox(code), minim = GlyphInkBox(glyph::MINIM_UP);
            if (box.right < box.left) return std::nullopt;
            const int32_t head = !n.rest && n.validated ? n.headX : o.x;
            const int nudge = ScreenNudge(code).x;
            const int left = std::min(box.left, minim.left) + nudge;
            const int right = box.right + nudge + kDotInk[std::min<int>(n.dots, 3)];
            return std::pair{head + left - kCellOrigin, head + right - kCellOrigin};
        }
        default:
            return GlyphColumns(o.glyph, o.x);
    }
}

bool MarkedKind(int kind, RespaceVariant variant) {
    if (variant == RespaceVariant::Key)
        return kind == kClef || kind == kKeysig || IsTimesig(kind) || kind == kNote;
    return kind != kNothing && !IsTextLike(kind);
}

// The table's time at a bar line at c: that of the first position after it,
// else the end of the longest note before it.
double DurationTo(const std::vector<TimedPosition>& table, int32_t c) {
    double end = 0;
    for (const TimedPosition& e : table) {
        if (e.x > c) return e.time;
        if (e.x < c) end = std::max(end, e.time + e.longest);
    }
    return end;
}

int FirstBarlineIndex(const StaveBlock& b) {
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (b.obj[i].kind == kBarline) return i;
    return 0;
}

// The bar length the last time signature of objects [from, to] of b sets.
std::optional<double> LastTimesig(const StaveBlock& b, int from, int to) {
    for (int i = to; i >= from; --i)
        if (IsTimesig(b.obj[i].kind)) return TimesigBarLength(b.obj[i]);
    return std::nullopt;
}

bool Incomplete(const std::vector<TimedPosition>& table, int32_t barX, double nominal) {
    if (table.empty()) return false;
    return std::abs(DurationTo(table, barX) - nominal) > kDurationTolerance;
}

int16_t NextNumber(int c) {
    return static_cast<int16_t>(std::min(c + 1, kMaxBarNumber));
}

std::vector<TimedPosition> TableOf(const SystemTimeTable& times, int top) {
    return times ? times(top) : std::vector<TimedPosition>{};
}

}  // namespace

BarBounds BarList(const Score& score, int s) {
    BarBounds r;
    r.x.push_back(0);
    r.barline.push_back(0);
    const StaveBlock& b = score.stave(s);
    bool noteSeen = false, barSeen = false;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind == kBarline) {
            if (noteSeen || barSeen) {
                r.x.push_back(o.x);
                r.barline.push_back(i);
            } else {
                r.opening = true;
                r.x[0] = o.x;
                r.barline[0] = i;
            }
            barSeen = true;
        } else if (o.kind == kNote) {
            noteSeen = true;
        }
    }
    if (!r.opening) r.x[0] = MusicStart(score, s);
    return r;
}

bool EndsWithBarline(const Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    for (int i = b.h.Nobjec; i >= 1; --i) {
        const int kind = b.obj[i].kind;
        if (kind == kBarline) return true;
        if (kind == kNote || kind == kClef || kind == kKeysig || IsTimesig(kind)) return false;
    }
    return false;
}

int BarNumberAt(const Score& score, int s, int32_t x) {
    const int top = TopStave(score, s);
    if (top < 1) return 0;
    const StaveBlock& b = score.stave(top);
    for (int i = b.h.Nobjec; i >= 1; --i)
        if (b.obj[i].kind == kBarline && b.obj[i].x <= x) return b.obj[i].data.barline.barNumber;
    return b.h.barNumber;
}

bool ValidNumberingFrequency(int frequency) {
    return frequency == 1 || frequency == 2 || frequency == 5 || frequency == 10;
}

double FirstBarDuration(const Score& score, int s, const SystemTimeTable& times) {
    const int top = TopStave(score, s);
    if (top < 1) return 0;
    const int bar = FirstBarlineIndex(score.stave(top));
    if (bar == 0) return 0;
    const int32_t x = score.object(top, bar).x;
    return DurationTo(TableOf(times, top), x);
}

bool FirstBarIncomplete(const Score& score, int s, const SystemTimeTable& times) {
    const int top = TopStave(score, s);
    if (top < 1) return false;
    const StaveBlock& b = score.stave(top);
    const int bar = FirstBarlineIndex(b);
    if (bar == 0) return false;
    // The signature in force at the first bar line: the system's own, else
    // the last one of an earlier system.
    std::optional<double> nominal = LastTimesig(b, 1, bar);
    for (int t = top - 1; t >= 1 && !nominal; --t)
        if (IsFirstStaveOfSystem(score, t))
            nominal = LastTimesig(score.stave(t), 1, score.stave(t).h.Nobjec);
    return Incomplete(TableOf(times, top), b.obj[bar].x, nominal.value_or(4.0));
}

BarNumbering RenumberBars(const Score& score, int frequency) {
    const int f = ValidNumberingFrequency(frequency) ? frequency : 1;
    BarNumbering r;
    int c = 1;
    ForEachSystem(score, [&](int first, int last) {
        r.systems.push_back({first, last, static_cast<uint16_t>(c), -1});
        const StaveBlock& b = score.stave(first);
        bool barSeen = false, noteSeen = false;
        std::size_t lastBar = r.bars.size();
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind == kNote) noteSeen = true;
            if (o.kind != kBarline) continue;
            if (barSeen || noteSeen) c = NextNumber(c);
            lastBar = r.bars.size();
            r.bars.push_back({first, i, static_cast<int16_t>(c), c % f == 0});
            barSeen = true;
        }
        if (lastBar < r.bars.size()) r.bars[lastBar].show = false;
    });
    return r;
}

BarNumbering RefreshBarNumbers(const Score& score, int first, int place, int frequency,
                               const SystemTimeTable& times) {
    BarNumbering r;
    if (first < 1 || first > kMaxBarNumber || place < kNumbersNone || place > kNumbersAtBarlines)
        return r;
    int c = first;
    double inForce = 4;  // the bar length of the last time signature so far
    ForEachSystem(score, [&](int a, int b) {
        r.systems.push_back({a, b, static_cast<uint16_t>(c), place});
        const StaveBlock& top = score.stave(a);
        // Only a first bar with music in it needs timing: an opening bar
        // line or an empty first bar does not start a number either way.
        const int bar = FirstBarlineIndex(top);
        bool shortFirst = false;
        if (bar > 0) {
            bool music = false;
            for (int i = 1; i < bar && !music; ++i)
                music = top.obj[i].kind == kNote;
            const double nominal = LastTimesig(top, 1, bar).value_or(inForce);
            if (music) shortFirst = Incomplete(TableOf(times, a), top.obj[bar].x, nominal);
        }
        bool noteSeen = false, firstBar = true;
        for (int i = 1; i <= top.h.Nobjec; ++i) {
            const ScoreObject& o = top.obj[i];
            if (o.kind == kNote) noteSeen = true;
            if (o.kind != kBarline) continue;
            if (noteSeen && !(firstBar && shortFirst)) c = NextNumber(c);
            const bool show = frequency >= 1 && place == kNumbersAtBarlines && c % frequency == 0;
            r.bars.push_back({a, i, static_cast<int16_t>(c), show});
            noteSeen = false;
            firstBar = false;
        }
        inForce = LastTimesig(top, 1, top.h.Nobjec).value_or(inForce);
    });
    return r;
}

namespace {

bool ValidBarEntry(const Score& score, const BarNumbering::BarEntry& e) {
    return e.stave >= 1 && e.stave <= score.Nstaves && score.stave(e.stave).validIndex(e.object) &&
           score.object(e.stave, e.object).kind == kBarline;
}

bool BarDiffers(const BarlineData& d, const BarNumbering::BarEntry& e) {
    return d.barNumber != e.number || (d.showNumber != 0) != e.show;
}

}  // namespace

std::vector<StavePart> PartsChangedBy(const Score& score, const BarNumbering& numbering) {
    std::vector<StavePart> parts;
    std::vector<char> header(static_cast<std::size_t>(score.Nstaves) + 1, 0);
    for (const BarNumbering::SystemEntry& e : numbering.systems) {
        for (int t = std::max(e.first, 1); t <= std::min<int>(e.last, score.Nstaves); ++t)
            if (score.stave(t).h.barNumber != e.number) header[t] = 1;
        if (e.place >= 0 && e.first >= 1 && e.first <= score.Nstaves &&
            score.stave(e.first).h.barNumberPlace != e.place)
            header[e.first] = 1;
    }
    for (int s = 1; s <= score.Nstaves; ++s)
        if (header[s]) parts.push_back({s, 0});
    for (const BarNumbering::BarEntry& e : numbering.bars)
        if (ValidBarEntry(score, e) && BarDiffers(score.object(e.stave, e.object).data.barline, e))
            parts.push_back({e.stave, e.object});
    std::sort(parts.begin(), parts.end(), [](const StavePart& a, const StavePart& b) {
        return a.stave != b.stave ? a.stave < b.stave : a.object < b.object;
    });
    parts.erase(std::unique(parts.begin(), parts.end()), parts.end());
    return parts;
}

void ApplyBarNumbering(Score& score, const BarNumbering& numbering) {
    for (const BarNumbering::SystemEntry& e : numbering.systems) {
        for (int t = std::max(e.first, 1); t <= std::min<int>(e.last, score.Nstaves); ++t)
            score.stave(t).h.barNumber = e.number;
        if (e.place >= kNumbersNone && e.place <= kNumbersAtBarlines && e.first >= 1 &&
            e.first <= score.Nstaves)
            score.stave(e.first).h.barNumberPlace = static_cast<uint8_t>(e.place);
    }
    for (const BarNumbering::BarEntry& e : numbering.bars) {
        if (!ValidBarEntry(score, e)) continue;
        BarlineData& d = score.object(e.stave, e.object).data.barline;
        if (!BarDiffers(d, e)) continue;  // a flag byte of another value that means the same
        d.barNumber = e.number;
        d.showNumber = e.show ? 1 : 0;
    }
}

std::vector<uint8_t> MarkOccupancy(const Score& score, int s, RespaceVariant variant, int32_t from,
                                   int32_t to, int32_t limit) {
    if (limit < 0 || score.Nstaves < 1) return {};
    std::vector<uint8_t> map(static_cast<std::size_t>(limit) + 1, 0);
    const auto [first, last] = SystemBounds(score, s);
    for (int t = first; t <= last; ++t) {
        const StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            const ScoreObject& o = b.obj[i];
            if (!MarkedKind(o.kind, variant) || o.x < from || o.x > to) continue;
            const auto ink = ObjectInkColumns(b, o);
            if (!ink) continue;
            const int32_t lo = std::max<int32_t>(ink->first, 0);
            const int32_t hi = std::min(ink->second, limit);
            for (int32_t c = lo; c <= hi; ++c)
                map[static_cast<std::size_t>(c)] = 1;
        }
    }
    return map;
}

bool RespaceBars(Score& score, int s, const std::vector<int32_t>& from,
                 const std::vector<int32_t>& to, int lo, int hi, RespaceVariant variant) {
    const int n = static_cast<int>(from.size());
    if (score.Nstaves < 1 || static_cast<int>(to.size()) != n || lo < 0 || hi >= n || lo >= hi)
        return false;
    const auto [first, last] = SystemBounds(score, s);
    const StaveHeader& h = score.stave(first).h;
    const bool drag = variant == RespaceVariant::Drag;
    const int32_t W = drag ? ComputePageGeometry(score).width : h.RightX;
    if (W < 0) return false;
    const std::vector<uint8_t> occupied =
        drag ? MarkOccupancy(score, s, variant, h.LeftX, h.RightX - 1, W)
             : MarkOccupancy(score, s, variant, from.front(), from.back(), W);
    auto marked = [&](int32_t c) { return c >= 0 && c <= W && occupied[c] != 0; };
    auto inMap = [&](int32_t c) { return c >= 0 && c <= W; };

    // The walk of the first bar starts past every stave's opening signatures,
    // which keep their place.
    int32_t walkStart = from[lo];
    if (drag && lo == 0) {
        for (int t = first; t <= last; ++t)
            walkStart = std::max(walkStart, MusicStart(score, t));
        walkStart = std::min(walkStart, from[lo + 1]);
    }
    std::vector<int32_t> map(static_cast<std::size_t>(W) + 1);
    for (int32_t c = 0; c <= W; ++c)
        map[c] = c;
    // Each column is placed before the walk steps past it, so that a bar's
    // first column lands on the bar's new start.
    double o = to[lo] + (walkStart - from[lo]);
    for (int j = lo + 1; j <= hi; ++j) {
        const int32_t start = j - 1 == lo ? walkStart : from[j - 1], end = from[j];
        if (end <= start) continue;
        int32_t ink = 0;
        for (int32_t c = start; c < end; ++c)
            ink += marked(c);
        const int32_t free = end - start - ink;
        // A bar narrower than its ink keeps the ink and loses its gaps.
        const double slope = free == 0 ? 1.0 : std::max(0.0, (to[j] - o - ink) / free);
        for (int32_t c = start; c < end; ++c) {
            if (inMap(c)) map[c] = RoundEven(o);
            o += marked(c) ? 1.0 : slope;
        }
    }
    if (drag && inMap(from[hi])) map[from[hi]] = RoundEven(o);

    auto mapped = [&](int64_t c) -> int64_t { return c >= 0 && c <= W ? map[c] : c; };
    bool moved = false;
    for (int t = first; t <= last; ++t) {
        StaveBlock& b = score.stave(t);
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            ScoreObject& obj = b.obj[i];
            if (obj.kind == kNothing || IsImmobileText(obj) || !inMap(obj.x)) continue;
            const int32_t x = map[obj.x];
            if (obj.kind == kLine) {
                const int64_t dx = mapped(int64_t{obj.x} + obj.data.line.dx) - x;
                const int16_t kept =
                    static_cast<int16_t>(std::clamp<int64_t>(dx, INT16_MIN, INT16_MAX));
                moved |= kept != obj.data.line.dx;
                obj.data.line.dx = kept;
            }
            if (x == obj.x) continue;
            obj.x = x;
            moved = true;
            if (obj.kind == kNote) obj.note().validated = 0;
        }
    }
    return moved;
}

bool RespaceDroppedBarline(Score& score, int s, int i, int32_t x) {
    if (s < 1 || s > score.Nstaves || !IsFirstStaveOfSystem(score, s) ||
        !score.stave(s).validIndex(i) || score.object(s, i).kind != kBarline)
        return false;
    const BarBounds bars = BarList(score, s);
    const auto at = std::find(bars.barline.begin() + 1, bars.barline.end(), i);
    if (at == bars.barline.end()) return false;  // the opening bar line
    const int k = static_cast<int>(at - bars.barline.begin());
    const bool lastBar = k + 1 == bars.count();
    std::vector<int32_t> to = bars.x;
    const int32_t right = lastBar ? score.stave(s).h.RightX : bars.x[k + 1] - 1;
    to[k] = std::clamp(x, bars.x[k - 1] + 1, std::max(bars.x[k - 1] + 1, right));
    if (to[k] == bars.x[k]) return false;
    return RespaceBars(score, s, bars.x, to, k - 1, lastBar ? k : k + 1, RespaceVariant::Drag);
}

std::vector<OccupancyLabel> OccupancyLabels(const Score& score, int page) {
    std::vector<OccupancyLabel> labels;
    const int firstOnPage = FirstStaveOnPage(score, page);
    if (firstOnPage < 1) return labels;
    const int lastOnPage = LastStaveOnPage(score, page);
    const int32_t W = ComputePageGeometry(score).width;
    auto percent = [](int32_t part, int32_t whole) {
        char text[16];
        std::snprintf(text, sizeof text, "%d%%", RoundEven(100.0 * part / whole));
        return std::string(text);
    };
    for (int a = firstOnPage; a <= lastOnPage; ++a) {
        if (!IsFirstStaveOfSystem(score, a)) continue;
        const auto [first, last] = SystemBounds(score, a);
        const StaveBlock& top = score.stave(first);
        const StaveHeader& h = top.h;
        // The music starts after the widest opening signatures of the system.
        int32_t S = h.LeftX;
        for (int t = first; t <= last; ++t) {
            const StaveBlock& b = score.stave(t);
            bool clef = false, key = false, time = false;
            for (int i = 1; i <= b.h.Nobjec && b.obj[i].kind != kNote; ++i) {
                const ScoreObject& o = b.obj[i];
                if (o.kind == kClef && !clef) {
                    clef = true;
                    if (const auto ink = GlyphColumns(o.glyph, o.x))
                        S = std::max(S, ink->second + kSignatureMargin);
                } else if (o.kind == kKeysig && !key) {
                    key = true;
                    S = std::max(S, o.x + KeysigWidth(b, o) - kSignatureMargin);
                } else if (IsTimesig(o.kind) && !time) {
                    time = true;
                    S = std::max(S, o.x + kSignatureMargin);
                }
            }
        }
        const std::vector<uint8_t> occupied =
            MarkOccupancy(score, first, RespaceVariant::Drag, h.LeftX, h.RightX - 1, W);
        int32_t start = S, end = S, sum = 0, lastX = h.LeftX;
        auto label = [&](int32_t from, int32_t to) {
            if (to < from) return;
            int32_t ink = 0;
            for (int32_t c = std::max(from, 0); c <= std::min(to, W); ++c)
                ink += occupied[c];
            labels.push_back({from, h.Ycoord - kLabelRise, percent(ink, to - from + 1)});
            sum += ink;
            end = to + 1;
        };
        for (int i = 1; i <= h.Nobjec; ++i) {
            const ScoreObject& o = top.obj[i];
            lastX = std::max(lastX, o.x);
            if (o.kind != kBarline) continue;
            label(start, o.x - 1);
            start = o.x + 1;
        }
        if (h.RightX > lastX + kOpenTail) label(start, h.RightX - 1);
        if (end > S)
            labels.push_back({h.LeftX + kLabelInset, h.Ycoord + kLabelRise, percent(sum, end - S)});
    }
    return labels;
}

}  // namespace sw
