// Neatening one system by its time table.
#include "layout/Neaten.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "layout/GlyphTable.h"
#include "layout/Justify.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

constexpr int kSemibreve = 1;
// Room kept for a head on the other side of its stem, and for an accidental.
constexpr int32_t kDisplacedRoom = 10, kAccidentalRoom = 10;
// An accidental this far before the next object stands on its own.
constexpr int32_t kDetachedAccidental = 40;
constexpr int kTimesigRoomGlyph = 16;
// Where a bar line goes before the object that follows it.
constexpr int32_t kBeforeTimesig = 10, kBeforeAccidental = 19;
// An accidental of a displaced head on a down stem stands further left.
constexpr int32_t kDisplacedShift = 7, kDisplacedShiftSmall = 4;
constexpr int kHeadSmall = 1, kHeadAcciacc = 5;

struct Interval {
    int32_t a, b;
};

bool IsRestNote(const ScoreObject& o) {
    return o.kind == kNote && o.note().rest;
}
bool IsSounding(const ScoreObject& o) {
    return o.kind == kNote && !o.note().rest;
}

// The positions of one stave's objects while the system is worked out.
using Xs = std::vector<int32_t>;

class SystemSpacing {
  public:
    SystemSpacing(Score& score, int first, int last) : score_(score), first_(first), last_(last) {
        for (int s = first; s <= last; ++s) {
            const StaveBlock& b = score.stave(s);
            Xs xs(static_cast<std::size_t>(b.count()) + 1, 0);
            for (int i = 1; i <= b.count(); ++i)
                xs[static_cast<std::size_t>(i)] = b.obj[i].x;
            old_.push_back(xs);
        }
    }

    const StaveBlock& block(int s) const { return score_.stave(s); }
    int32_t& x(int s, int i) {
        return old_[static_cast<std::size_t>(s - first_)][static_cast<std::size_t>(i)];
    }

    // The first sounding note after object i on stave s at `pitch`, up to
    // the next bar line; 0 when there is none.
    int NoteAtPitch(int s, int i, int pitch) const {
        const StaveBlock& b = block(s);
        for (int j = i + 1; j <= b.count(); ++j) {
            if (b.obj[j].kind == kBarline) break;
            if (IsSounding(b.obj[j]) && b.obj[j].note().pitch == pitch) return j;
        }
        return 0;
    }

    // An accidental takes the x of the chord note it belongs to: the first
    // note after it, unless a bar line or an accidental elsewhere comes first.
    void SnapAccidentals() {
        for (int s = first_; s <= last_; ++s) {
            const StaveBlock& b = block(s);
            for (int i = 1; i <= b.count(); ++i) {
                if (b.obj[i].kind != kAccidental) continue;
                int j = i + 1;
                for (; j <= b.count(); ++j) {
                    const int k = b.obj[j].kind;
                    if (k == kNote || k == kBarline) break;
                    if (k == kAccidental && x(s, j) != x(s, i)) break;
                }
                if (j > b.count() || b.obj[j].kind != kNote) continue;
                const int32_t chord = x(s, j);
                for (int c = j; c <= b.count() && b.obj[c].kind == kNote && x(s, c) == chord; ++c)
                    if (IsSounding(b.obj[c]) &&
                        b.obj[c].note().pitch == b.obj[i].data.accidental.pitch) {
                        x(s, i) = chord;
                        break;
                    }
            }
        }
    }

    // The room clefs, signatures, displaced heads and accidentals keep
    // between positions, as merged intervals within [lo, hi].
    std::vector<Interval> Reserved(int32_t lo, int32_t hi, int32_t right) {
        std::vector<Interval> v;
        auto add = [&](int32_t a, int32_t w) {
            const Interval c{std::max(a, lo), std::min(a + w, hi)};
            if (w > 0 && c.a < c.b) v.push_back(c);
        };
        for (int s = first_; s <= last_; ++s) {
            const StaveBlock& b = block(s);
            for (int i = 1; i <= b.count(); ++i) {
                const ScoreObject& o = b.obj[i];
                const int32_t xi = x(s, i);
                if (xi < lo || xi > right) continue;
                switch (o.kind) {
                    case kClef:
                        add(xi, GlyphInkWidth(o.glyph));
                        break;
                    case kKeysig:
                        add(xi, KeysigWidth(b, i));
                        break;
                    case kTimesig:
                    case kCommonTime:
                        add(xi, GlyphInkWidth(kTimesigRoomGlyph));
                        break;
                    case kNote:
                        if (IsSounding(o) && o.note().displaced)
                            add(EffectiveStem(o.note()) == 1 ? xi - kDisplacedRoom : xi,
                                kDisplacedRoom);
                        break;
                    case kAccidental: {
                        int j = i + 1;
                        while (j <= b.count() && b.obj[j].kind == kNothing)
                            ++j;
                        if (j <= b.count() && x(s, j) - xi > kDetachedAccidental)
                            add(x(s, j), GlyphInkWidth(glyph::SHARP));
                        else if (NoteAtPitch(s, i, o.data.accidental.pitch))
                            add(xi - kAccidentalRoom, kAccidentalRoom);
                        break;
                    }
                    default:
                        break;
                }
            }
        }
        std::sort(v.begin(), v.end(),
                  [](const Interval& p, const Interval& q) { return p.a < q.a; });
        std::vector<Interval> merged;
        for (const Interval& c : v) {
            if (!merged.empty() && c.a <= merged.back().b)
                merged.back().b = std::max(merged.back().b, c.b);
            else
                merged.push_back(c);
        }
        return merged;
    }

    Score& score_;
    int first_, last_;
    std::vector<Xs> old_;
};

// The width of the reserved intervals left of x.
int32_t ReservedBefore(const std::vector<Interval>& u, int32_t x) {
    int32_t r = 0;
    for (const Interval& c : u) {
        if (c.b <= x)
            r += c.b - c.a;
        else if (c.a < x)
            r += x - c.a;
    }
    return r;
}

class PositionMap {
  public:
    PositionMap(std::vector<int32_t> from, std::vector<int32_t> to)
        : from_(std::move(from)), to_(std::move(to)) {}
    int32_t operator()(int32_t x) const {
        if (x <= from_.front() || x >= from_.back()) return x;
        const auto it = std::lower_bound(from_.begin(), from_.end(), x);
        const std::size_t i = static_cast<std::size_t>(it - from_.begin());
        if (*it == x) return to_[i];
        const double share = static_cast<double>(x - from_[i - 1]) / (from_[i] - from_[i - 1]);
        return RoundEven((to_[i] - to_[i - 1]) * share) + to_[i - 1];
    }

  private:
    std::vector<int32_t> from_, to_;
};

bool BarlineTarget(int kind) {
    return kind == kClef || kind == kKeysig || kind == kTimesig || kind == kCommonTime ||
           kind == kNote || kind == kAccidental;
}

int32_t BeforeTarget(int kind) {
    switch (kind) {
        case kTimesig:
        case kCommonTime:
            return kBeforeTimesig;
        case kAccidental:
            return kBeforeAccidental;
        default:
            return kBarlineSpace;
    }
}

}  // namespace

NeatenResult NeatenSystem(Score& score, int first, int32_t left, int32_t right, double factor,
                          const std::vector<TimePoint>& table) {
    if (score.Nstaves < 1 || first < 1 || first > score.Nstaves) return NeatenResult::NoNotes;
    const auto [f, last] = SystemBounds(score, first);
    bool notes = false;
    for (int s = f; s <= last && !notes; ++s)
        for (int i = 1; i <= score.stave(s).count() && !notes; ++i)
            notes = score.object(s, i).kind == kNote;
    if (!notes) return NeatenResult::NoNotes;
    // A stored factor out of range would push notes past the system's ends.
    factor = std::isnan(factor) ? 0.0 : std::clamp(factor, 0.0, 1.0);

    std::vector<TimePoint> points;
    for (const TimePoint& p : table)
        if (p.x >= left && p.x <= right && std::isfinite(p.time)) points.push_back(p);
    std::stable_sort(points.begin(), points.end(),
                     [](const TimePoint& a, const TimePoint& b) { return a.x < b.x; });
    points.erase(std::unique(points.begin(), points.end(),
                             [](const TimePoint& a, const TimePoint& b) { return a.x == b.x; }),
                 points.end());
    for (std::size_t i = 1; i < points.size(); ++i)
        points[i].time = std::max(points[i].time, points[i - 1].time);
    const std::size_t n = points.size();
    if (n < 2 || !(points[n - 1].time > points[0].time)) return NeatenResult::TooFewPositions;
    const int32_t x1 = points.front().x, xn = points.back().x;

    SystemSpacing sys(score, f, last);
    sys.SnapAccidentals();
    // Bar lines are the first stave's; each takes its room after the first position.
    std::vector<int32_t> bars;
    for (int i = 1; i <= score.stave(f).count(); ++i)
        if (score.object(f, i).kind == kBarline) bars.push_back(score.object(f, i).x);
    std::sort(bars.begin(), bars.end());
    auto barsBefore = [&](int32_t x) {
        return static_cast<int32_t>(std::lower_bound(bars.begin(), bars.end(), x) -
                                    std::lower_bound(bars.begin(), bars.end(), x1));
    };
    const std::vector<Interval> reserved = sys.Reserved(x1, xn, right);
    int32_t w = 0;
    for (const Interval& c : reserved)
        w += c.b - c.a;
    const double available = xn - x1 - kBarlineSpace * barsBefore(xn) - w;
    if (available <= 0) return NeatenResult::NoRoom;

    const double span = points[n - 1].time - points[0].time;
    std::vector<int32_t> from(n), to(n);
    for (std::size_t i = 0; i < n; ++i) {
        const int32_t fixed =
            ReservedBefore(reserved, points[i].x) + x1 + kBarlineSpace * barsBefore(points[i].x);
        const double d = fixed + RoundEven(available / span * (points[i].time - points[0].time));
        const double q = fixed + RoundEven(available / static_cast<double>(n - 1) * i);
        from[i] = points[i].x;
        to[i] = RoundEven(factor * q + (1 - factor) * d);
    }
    const PositionMap mapX(from, to);

    // New positions, worked out from the old ones before any is written.
    std::vector<Xs> nx = sys.old_;
    std::vector<std::vector<int32_t>> ends(static_cast<std::size_t>(last - f + 1));
    for (int s = f; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        Xs& out = nx[static_cast<std::size_t>(s - f)];
        ends[static_cast<std::size_t>(s - f)].assign(out.size(), 0);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            const int32_t x = sys.x(s, i);
            if (o.kind == kNothing || x < left || x > right) continue;
            switch (o.kind) {
                case kBarline: {
                    // The nearest music to its right, over the system's staves.
                    int32_t best = INT32_MAX;
                    int kind = kNothing;
                    for (int t = f; t <= last; ++t) {
                        const StaveBlock& c = score.stave(t);
                        for (int j = 1; j <= c.count(); ++j) {
                            const int32_t cx = sys.x(t, j);
                            if (!BarlineTarget(c.obj[j].kind) || cx <= x) continue;
                            const bool accidental = c.obj[j].kind == kAccidental;
                            if (cx - x < best ||
                                (cx - x == best && (accidental || kind != kAccidental))) {
                                best = cx - x;
                                kind = c.obj[j].kind;
                                out[static_cast<std::size_t>(i)] = mapX(cx) - BeforeTarget(kind);
                            }
                            break;
                        }
                    }
                    break;
                }
                case kAccidental: {
                    const int j = sys.NoteAtPitch(s, i, o.data.accidental.pitch);
                    if (j == 0) {
                        out[static_cast<std::size_t>(i)] = mapX(x);
                        break;
                    }
                    const NoteData& note = b.obj[j].note();
                    const bool small = note.headSize == kHeadSmall || note.headSize == kHeadAcciacc;
                    int32_t d = sys.x(s, j) - x;
                    if (note.displaced && EffectiveStem(note) == 1)
                        d += small ? kDisplacedShiftSmall : kDisplacedShift;
                    out[static_cast<std::size_t>(i)] = mapX(sys.x(s, j)) - d;
                    break;
                }
                case kLine:
                case kHairpin: {
                    const int32_t dx = o.kind == kLine ? o.data.line.dx : o.data.hairpin.length;
                    out[static_cast<std::size_t>(i)] = mapX(x);
                    ends[static_cast<std::size_t>(s - f)][static_cast<std::size_t>(i)] =
                        mapX(x + dx) - mapX(x);
                    break;
                }
                default:
                    if (!IsImmobileText(o)) out[static_cast<std::size_t>(i)] = mapX(x);
                    break;
            }
        }
    }

    // Whole-bar rests: the first stave's bar lines bound the bars of every
    // stave; a bar whose one note is a semibreve rest has it in its middle.
    std::vector<int32_t> newBars;
    for (int i = 1; i <= score.stave(f).count(); ++i)
        if (score.object(f, i).kind == kBarline)
            newBars.push_back(nx[0][static_cast<std::size_t>(i)]);
    std::sort(newBars.begin(), newBars.end());
    for (int s = f; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        Xs& out = nx[static_cast<std::size_t>(s - f)];
        struct Item {
            LeadItem lead;
            int index;  // 0 for a bar line of the first stave
        };
        std::vector<Item> items;
        for (int i = 1; i <= b.count(); ++i) {
            if (b.obj[i].kind == kNothing || (s != f && b.obj[i].kind == kBarline)) continue;
            LeadItem it = LeadItemOf(b, i);
            const int32_t moved = out[static_cast<std::size_t>(i)];
            it.end += moved - it.x;
            it.x = moved;
            items.push_back({it, s == f && b.obj[i].kind == kBarline ? 0 : i});
        }
        if (s != f)
            for (int32_t bx : newBars)
                items.push_back({LeadItem{kBarline, bx, bx}, 0});
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& c) {
            return a.lead.x < c.lead.x || (a.lead.x == c.lead.x && a.index == 0 && c.index != 0);
        });
        std::vector<LeadItem> leads;
        for (const Item& it : items)
            leads.push_back(it.lead);
        const MusicStartInfo start = MusicStartFrom(b.h.LeftX, leads);
        bool open = start.byBarline;
        int32_t opening = start.x;
        int count = 0, rest = 0;
        for (const Item& it : items) {
            if (it.lead.x <= start.x || it.lead.x < b.h.LeftX || it.lead.x > b.h.RightX) continue;
            if (it.lead.kind == kBarline) {
                if (open && count == 1 && rest != 0)
                    out[static_cast<std::size_t>(rest)] =
                        RoundEven((static_cast<double>(opening) + it.lead.x) / 2);
                open = true;
                opening = it.lead.x;
                count = 0;
                rest = 0;
            } else if (it.lead.kind == kNote) {
                ++count;
                const ScoreObject& o = b.obj[it.index];
                rest =
                    count == 1 && IsRestNote(o) && o.note().noteValue == kSemibreve ? it.index : 0;
            }
        }
    }

    for (int s = f; s <= last; ++s) {
        StaveBlock& b = score.stave(s);
        const Xs& out = nx[static_cast<std::size_t>(s - f)];
        for (int i = 1; i <= b.count(); ++i) {
            ScoreObject& o = b.obj[i];
            int32_t x = StorableX(out[static_cast<std::size_t>(i)]);
            if (o.kind == kNote) x = KeepNoteInside(b.h, o.x, x);
            if (o.kind == kLine || o.kind == kHairpin) {
                const int32_t dx = std::clamp<int32_t>(
                    ends[static_cast<std::size_t>(s - f)][static_cast<std::size_t>(i)], INT16_MIN,
                    INT16_MAX);
                const int32_t oldX = sys.x(s, i);
                if (oldX >= left && oldX <= right)
                    (o.kind == kLine ? o.data.line.dx : o.data.hairpin.length) =
                        static_cast<int16_t>(dx);
            }
            if (x == o.x) continue;
            if (o.kind == kNote) InvalidateNotesAt(score, s, o.x);
            o.x = x;
            if (o.kind == kNote) InvalidateNotesAt(score, s, x);
        }
    }
    return NeatenResult::Done;
}

}  // namespace sw
