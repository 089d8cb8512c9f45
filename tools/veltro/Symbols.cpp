// The symbols of one stave: clefs, bar lines, note heads (filled and open),
// stems, beams, flags, dots and the semibreve and minim rests, from the
// picture without its stave lines. Every size is measured in spaces.
#include <algorithm>
#include <cmath>
#include <set>

#include "Engine.h"

namespace veltro {

namespace {

struct Zone {
    int x0, x1, y0, y1;
};

// A vertical stroke: adjacent columns each holding a long run of ink.
struct Stroke {
    int x0, x1, y0, y1;
    int comp;
    double x() const { return (x0 + x1) / 2.0; }
    int width() const { return x1 - x0 + 1; }
};

class StaveReader {
  public:
    StaveReader(const Image& page, const Image& img, const Components& comps,
                const std::vector<Stave>& staves, int index)
        : page_(page), img_(img), comps_(comps), s_(staves[static_cast<std::size_t>(index)]) {
        sp_ = s_.space;
        const double above =
            index > 0 ? (s_.top() - staves[static_cast<std::size_t>(index - 1)].bottom()) / 2
                      : 7 * sp_;
        const double below =
            index + 1 < static_cast<int>(staves.size())
                ? (staves[static_cast<std::size_t>(index + 1)].top() - s_.bottom()) / 2
                : 7 * sp_;
        zone_.y0 = std::max(0, static_cast<int>(s_.top() - std::min(above, 7 * sp_)));
        zone_.y1 =
            std::min(img.height - 1, static_cast<int>(s_.bottom() + std::min(below, 7 * sp_)));
        zone_.x0 = std::max(0, s_.left);
        zone_.x1 = std::min(img.width - 1, s_.right + static_cast<int>(sp_ / 2));
    }

    StaveSymbols read() {
        findClefs();
        findStrokes();
        findFilledHeads();
        findOpenHeads();
        findBarlines();
        buildChords();
        findBeams();
        findFlagsAndDots();
        findRests();
        std::sort(out_.chords.begin(), out_.chords.end(),
                  [](const Chord& a, const Chord& b) { return x(a) < x(b); });
        std::sort(out_.barlines.begin(), out_.barlines.end(),
                  [](const Barline& a, const Barline& b) { return a.x < b.x; });
        return out_;
    }

    static double x(const Chord& c) {
        if (c.rest) return c.restX;
        if (c.hasStem) return c.stemX;
        return c.heads.empty() ? 0 : c.heads.front().x;
    }

  private:
    int comp(int x, int y) const { return img_.in(x, y) ? comps_.at(x, y, img_.width) : -1; }
    const Component& component(int i) const { return comps_.list[static_cast<std::size_t>(i)]; }
    bool isClef(int c) const { return clefComps_.count(c) != 0; }
    double spaces(double px) const { return px / sp_; }

    void findClefs() {
        std::set<int> seen;
        for (int y = zone_.y0; y <= zone_.y1; ++y)
            for (int x = zone_.x0; x <= std::min(zone_.x1, s_.left + static_cast<int>(6 * sp_));
                 ++x) {
                const int c = comp(x, y);
                if (c < 0 || !seen.insert(c).second) continue;
                const Component& k = component(c);
                const double w = spaces(k.width()), h = spaces(k.height());
                const double cx = (k.x0 + k.x1) / 2.0;
                if (k.x0 < s_.left - 2 || cx > s_.left + 6 * sp_ || w < 1.4 || w > 4) continue;
                if (h >= 5 && h <= 9 && k.y0 < s_.top() && k.y1 > s_.bottom()) {
                    out_.clefs.push_back({ClefKind::Treble, cx});
                    clefComps_.insert(c);
                } else if (h >= 2.2 && h <= 4.2 && std::fabs(k.y0 - s_.top()) <= 0.7 * sp_) {
                    out_.clefs.push_back({ClefKind::Bass, cx});
                    clefComps_.insert(c);
                    // Its two dots belong to it.
                    for (const Component& d : comps_.list)
                        if (d.x0 > k.x1 && d.x0 - k.x1 < sp_ && d.y1 < s_.middle() + sp_ &&
                            d.y0 > s_.top() && spaces(d.width()) < 0.6 && spaces(d.height()) < 0.6)
                            clefComps_.insert(static_cast<int>(&d - comps_.list.data()));
                }
            }
        std::sort(out_.clefs.begin(), out_.clefs.end(),
                  [](const Clef& a, const Clef& b) { return a.x < b.x; });
        if (out_.clefs.size() > 1) out_.clefs.resize(1);
    }

    // Each run of ink in column x within the zone: f(first row, last row).
    template <class F>
    void columnRuns(int x, F&& f) const {
        for (int y = zone_.y0; y <= zone_.y1;) {
            if (!img_.ink(x, y)) {
                ++y;
                continue;
            }
            int e = y;
            while (e + 1 <= zone_.y1 && img_.ink(x, e + 1))
                ++e;
            f(y, e);
            y = e + 1;
        }
    }

    // Columns holding a run of at least 2.4 spaces, joined into strokes.
    void findStrokes() {
        const int minRun = static_cast<int>(2.4 * sp_);
        std::vector<Stroke> open;
        for (int x = zone_.x0; x <= zone_.x1; ++x) {
            std::vector<Stroke> here;
            columnRuns(x, [&](int y, int e) {
                // A run reaching the zone's edge may go on beyond it.
                while (e + 1 < img_.height && img_.ink(x, e + 1))
                    ++e;
                int b = y;
                while (b > 0 && img_.ink(x, b - 1))
                    --b;
                if (e - b + 1 >= minRun && !isClef(comp(x, y)))
                    here.push_back({x, x, b, e, comp(x, y)});
            });
            std::vector<Stroke> next;
            for (Stroke& h : here) {
                bool joined = false;
                for (Stroke& o : open)
                    if (!joined && o.x1 == x - 1 && o.comp == h.comp && h.y0 <= o.y1 &&
                        h.y1 >= o.y0) {
                        o.x1 = x;
                        o.y0 = std::min(o.y0, h.y0);
                        o.y1 = std::max(o.y1, h.y1);
                        next.push_back(o);
                        o.x1 = -1;
                        joined = true;
                    }
                if (!joined) next.push_back(h);
            }
            for (const Stroke& o : open)
                if (o.x1 >= 0 && o.x1 < x) strokes_.push_back(o);
            open = next;
        }
        for (const Stroke& o : open)
            strokes_.push_back(o);
        strokes_.erase(std::remove_if(strokes_.begin(), strokes_.end(),
                                      [&](const Stroke& k) { return spaces(k.width()) > 0.7; }),
                       strokes_.end());
    }

    // Filled heads: columns whose vertical run is one head high (or a stack of
    // heads a space apart), in blobs at least half a space wide.
    void findFilledHeads() {
        struct Sample {
            int x;
            double y;
            int run;
        };
        std::vector<Sample> samples;
        const double headH = 0.92 * sp_;
        for (int x = zone_.x0; x <= zone_.x1; ++x)
            columnRuns(x, [&](int y, int e) {
                const double len = e - y + 1;
                if (len >= 0.7 * sp_ && len <= 5 * sp_ && !isClef(comp(x, y))) {
                    const int k = len <= 1.3 * sp_
                                      ? 1
                                      : static_cast<int>(std::lround((len - headH) / sp_)) + 1;
                    const double h = len - (k - 1) * sp_;
                    if (h >= 0.62 * sp_ && h <= 1.3 * sp_)
                        for (int j = 0; j < k; ++j)
                            samples.push_back({x, y + h / 2 + j * sp_, static_cast<int>(h)});
                }
            });
        // Blobs: samples in neighbouring columns at nearly the same height.
        std::vector<bool> used(samples.size(), false);
        std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) {
            return a.x < b.x || (a.x == b.x && a.y < b.y);
        });
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (used[i]) continue;
            std::vector<std::size_t> blob{i};
            used[i] = true;
            int lastX = samples[i].x;
            double lastY = samples[i].y;
            for (std::size_t j = i + 1; j < samples.size() && samples[j].x <= lastX + 2; ++j) {
                if (used[j] || samples[j].x == lastX || std::fabs(samples[j].y - lastY) > 0.3 * sp_)
                    continue;
                blob.push_back(j);
                used[j] = true;
                lastX = samples[j].x;
                lastY = samples[j].y;
            }
            const int x0 = samples[blob.front()].x, x1 = samples[blob.back()].x;
            if (spaces(x1 - x0 + 1) < 0.55 || spaces(x1 - x0 + 1) > 1.8) continue;
            double sy = 0;
            int tallest = 0;
            for (std::size_t b : blob) {
                sy += samples[b].y;
                tallest = std::max(tallest, samples[b].run);
            }
            if (tallest < 0.8 * sp_) continue;
            Head h;
            h.filled = true;
            h.y = sy / static_cast<double>(blob.size());
            // The head's edges are thinner than its middle: the whole width
            // is the row through its centre.
            const int row = static_cast<int>(std::lround(h.y));
            const int mid = (x0 + x1) / 2;
            h.x0 = x0;
            h.x1 = x1;
            while (h.x0 > mid - 0.8 * sp_ && img_.ink(h.x0 - 1, row))
                --h.x0;
            while (h.x1 < mid + 0.8 * sp_ && img_.ink(h.x1 + 1, row))
                ++h.x1;
            h.x = (x0 + x1) / 2.0;
            h.y0 = static_cast<int>(h.y - headH / 2);
            h.y1 = static_cast<int>(h.y + headH / 2);
            h.step = s_.step(h.y);
            heads_.push_back(h);
        }
    }

    // Open heads: holes in the ink (paper enclosed on every side) of a head's
    // size, inside a ring a head wide. A semibreve in a space loses its thin
    // top and bottom with the stave lines, so the page itself is searched
    // too, for holes whose sides (without the lines) are a semibreve's.
    void findOpenHeads() {
        findHoles(img_, false);
        findHoles(page_, true);
    }

    void findHoles(const Image& source, bool withLines) {
        const int w = zone_.x1 - zone_.x0 + 1, h = zone_.y1 - zone_.y0 + 1;
        if (w <= 0 || h <= 0) return;
        Image paper(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                paper.px[paper.index(x, y)] = source.ink(zone_.x0 + x, zone_.y0 + y) ? 0 : 1;
        const Components holes = FindComponents(paper);
        for (const Component& c : holes.list) {
            if (c.x0 == 0 || c.y0 == 0 || c.x1 == w - 1 || c.y1 == h - 1) continue;
            const double hw = spaces(c.width()), hh = spaces(c.height());
            if (hw < 0.3 || hw > 1.2 || hh < 0.2 || hh > 0.85) continue;
            const int cx = zone_.x0 + (c.x0 + c.x1) / 2, cy = zone_.y0 + (c.y0 + c.y1) / 2;
            // The ring around it: out from the hole to the paper beyond.
            int l = zone_.x0 + c.x0 - 1, r = zone_.x0 + c.x1 + 1;
            if (!img_.ink(l, cy) || !img_.ink(r, cy) || isClef(comp(l, cy))) continue;
            const int innerL = l, innerR = r;
            while (img_.ink(l - 1, cy))
                --l;
            while (img_.ink(r + 1, cy))
                ++r;
            int t = zone_.y0 + c.y0 - 1, b = zone_.y0 + c.y1 + 1;
            while (source.ink(cx, t - 1))
                --t;
            while (source.ink(cx, b + 1))
                ++b;
            const double ringW = spaces(r - l + 1), ringH = spaces(b - t + 1);
            // A stem along the ring's side makes it a little wider.
            if (ringW < 1.0 || ringW > 2.0 || ringH < 0.6 || ringH > 1.4) continue;
            if (withLines &&
                (ringW < 1.2 || spaces(innerL - l + 1) < 0.15 || spaces(r - innerR + 1) < 0.15))
                continue;
            Head head;
            head.filled = false;
            head.x = (zone_.x0 + c.x0 + zone_.x0 + c.x1) / 2.0;
            head.y = (zone_.y0 + c.y0 + zone_.y0 + c.y1) / 2.0;
            if (std::any_of(heads_.begin(), heads_.end(), [&](const Head& o) {
                    return std::fabs(o.x - head.x) < sp_ / 2 && std::fabs(o.y - head.y) < sp_ / 2;
                }))
                continue;
            head.x0 = l;
            head.x1 = r;
            head.y0 = t;
            head.y1 = b;
            head.step = s_.step(head.y);
            heads_.push_back(head);
        }
    }

    bool headTouches(const Stroke& k, const Head& h) const {
        return k.x1 >= h.x0 - 3 && k.x0 <= h.x1 + 3 && h.y >= k.y0 - 0.6 * sp_ &&
               h.y <= k.y1 + 0.6 * sp_;
    }

    void findBarlines() {
        std::vector<Stroke> bars;
        for (const Stroke& k : strokes_) {
            if (k.y0 > s_.top() + s_.thickness + 2 || k.y1 < s_.bottom() - s_.thickness - 2)
                continue;
            // Beyond the stave only when it goes on to the next one.
            const bool through = k.y0 < s_.top() - 1.5 * sp_ || k.y1 > s_.bottom() + 1.5 * sp_;
            if (through && spaces(k.y1 - k.y0) < 6) continue;
            if (std::any_of(heads_.begin(), heads_.end(),
                            [&](const Head& h) { return headTouches(k, h); }))
                continue;
            if (k.x() < s_.left + sp_ / 2) continue;  // the line that joins a system
            bars.push_back(k);
            barStrokes_.insert(&k - strokes_.data());
        }
        for (std::size_t i = 0; i < bars.size(); ++i) {
            Barline b;
            b.x = b.leftX = bars[i].x();
            if (i + 1 < bars.size() && spaces(bars[i + 1].x0 - bars[i].x1) < 1.2) {
                const Stroke& r = bars[i + 1];
                b.x = r.x();
                b.type = r.width() >= 2 * bars[i].width() ? BarType::Final : BarType::Double;
                ++i;
            }
            out_.barlines.push_back(b);
        }
    }

    void buildChords() {
        std::vector<int> owner(heads_.size(), -1);
        for (std::size_t i = 0; i < heads_.size(); ++i) {
            double best = 1e9;
            for (std::size_t k = 0; k < strokes_.size(); ++k) {
                if (barStrokes_.count(static_cast<long>(k)) || spaces(strokes_[k].width()) > 0.4)
                    continue;
                if (!headTouches(strokes_[k], heads_[i])) continue;
                const double d = std::min(std::fabs(strokes_[k].x() - heads_[i].x0),
                                          std::fabs(strokes_[k].x() - heads_[i].x1));
                if (d < best) {
                    best = d;
                    owner[i] = static_cast<int>(k);
                }
            }
        }
        for (std::size_t k = 0; k < strokes_.size(); ++k) {
            Chord c;
            for (std::size_t i = 0; i < heads_.size(); ++i)
                if (owner[i] == static_cast<int>(k)) c.heads.push_back(heads_[i]);
            if (c.heads.empty()) continue;
            const Stroke& st = strokes_[k];
            // A stem goes on beyond its heads; the edge of a stack of heads
            // a third apart does not.
            double top = 1e9, bottom = -1e9;
            for (const Head& h : c.heads) {
                top = std::min(top, h.y);
                bottom = std::max(bottom, h.y);
            }
            if (st.y0 > top - 1.5 * sp_ && st.y1 < bottom + 1.5 * sp_) {
                for (std::size_t i = 0; i < heads_.size(); ++i)
                    if (owner[i] == static_cast<int>(k)) owner[i] = -1;
                continue;
            }
            c.hasStem = true;
            c.stemX = st.x();
            c.stemTop = st.y0;
            c.stemBottom = st.y1;
            double sumY = 0;
            for (const Head& h : c.heads)
                sumY += h.y;
            c.stemUp = sumY / static_cast<double>(c.heads.size()) > (st.y0 + st.y1) / 2.0;
            c.open = std::all_of(c.heads.begin(), c.heads.end(),
                                 [](const Head& h) { return !h.filled; });
            std::sort(c.heads.begin(), c.heads.end(),
                      [](const Head& a, const Head& b) { return a.y < b.y; });
            stemComp_.push_back(st.comp);
            out_.chords.push_back(c);
        }
        // Open heads without a stem are semibreves, one chord for those
        // stacked at one x.
        std::vector<bool> taken(heads_.size(), false);
        for (std::size_t i = 0; i < heads_.size(); ++i) {
            if (owner[i] >= 0 || heads_[i].filled || taken[i]) continue;
            Chord chord;
            chord.open = true;
            for (std::size_t j = i; j < heads_.size(); ++j)
                if (owner[j] < 0 && !heads_[j].filled && !taken[j] &&
                    std::fabs(heads_[j].x - heads_[i].x) < 0.3 * sp_) {
                    chord.heads.push_back(heads_[j]);
                    taken[j] = true;
                }
            const Head& h = chord.heads.front();
            const int c = comp(h.x0, static_cast<int>(h.y));
            if (c < 0) continue;
            const Component& k = component(c);
            const double stack = static_cast<double>(chord.heads.size());
            if (spaces(k.height()) > stack + 0.5 || spaces(k.width()) > 2.2) continue;
            std::sort(chord.heads.begin(), chord.heads.end(),
                      [](const Head& a, const Head& b) { return a.y < b.y; });
            stemComp_.push_back(c);
            out_.chords.push_back(chord);
        }
        for (const Chord& c : out_.chords)
            for (const Head& h : c.heads)
                if (int k = comp(h.x0, static_cast<int>(h.y)); k >= 0) usedComps_.insert(k);
    }

    // Beams between neighbouring stems whose free ends a band of ink joins.
    int beamsBetween(const Chord& a, const Chord& b, int compA) const {
        if (a.stemUp != b.stemUp) return 0;
        const double ea = a.stemUp ? a.stemTop : a.stemBottom;
        const double eb = b.stemUp ? b.stemTop : b.stemBottom;
        const int dir = a.stemUp ? 1 : -1;
        int fewest = 99;
        for (double t : {0.3, 0.5, 0.7}) {
            const int x = static_cast<int>(std::lround(a.stemX + t * (b.stemX - a.stemX)));
            const double ye = ea + t * (eb - ea);
            int count = 0, run = 0;
            for (int k = static_cast<int>(-0.3 * sp_); k <= static_cast<int>(2.2 * sp_); ++k) {
                const int y = static_cast<int>(std::lround(ye)) + dir * k;
                const bool on = img_.ink(x, y) && comp(x, y) == compA;
                if (on) {
                    ++run;
                } else {
                    if (run >= 0.3 * sp_) ++count;
                    run = 0;
                }
            }
            if (run >= 0.3 * sp_) ++count;
            fewest = std::min(fewest, count);
        }
        return fewest == 99 ? 0 : fewest;
    }

    void findBeams() {
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < out_.chords.size(); ++i)
            if (out_.chords[i].hasStem && !out_.chords[i].open) order.push_back(i);
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return out_.chords[a].stemX < out_.chords[b].stemX;
        });
        int groups = 0;
        for (std::size_t k = 0; k + 1 < order.size(); ++k) {
            Chord& a = out_.chords[order[k]];
            Chord& b = out_.chords[order[k + 1]];
            if (spaces(b.stemX - a.stemX) > 8 || stemComp_[order[k]] != stemComp_[order[k + 1]])
                continue;
            const int n = beamsBetween(a, b, stemComp_[order[k]]);
            if (n <= 0) continue;
            a.beamRight = n;
            b.beamLeft = n;
            if (a.beamGroup < 0) a.beamGroup = groups++;
            b.beamGroup = a.beamGroup;
        }
    }

    void findFlagsAndDots() {
        for (std::size_t i = 0; i < out_.chords.size(); ++i) {
            Chord& c = out_.chords[i];
            if (c.hasStem && !c.open && c.beamGroup < 0) {
                const int x = static_cast<int>(std::lround(c.stemX + 0.45 * sp_));
                const int from = c.stemUp ? c.stemTop : c.stemBottom - static_cast<int>(2.5 * sp_);
                const int to = c.stemUp ? c.stemTop + static_cast<int>(2.5 * sp_) : c.stemBottom;
                int runs = 0;
                bool in = false;
                for (int y = from; y <= to; ++y) {
                    const bool on = img_.ink(x, y) && comp(x, y) == stemComp_[i];
                    if (on && !in) ++runs;
                    in = on;
                }
                c.flags = std::min(runs, 4);
            }
            // Dots just right of the heads (and of an upward stem).
            if (c.heads.empty()) continue;
            double right = 0;
            for (const Head& h : c.heads)
                right = std::max(right, static_cast<double>(h.x1));
            if (c.hasStem && c.stemUp) right = std::max(right, c.stemX + 1);
            int dots = 0;
            for (std::size_t d = 0; d < comps_.list.size() && dots < 3; ++d) {
                const Component& k = comps_.list[d];
                const double gap = spaces(k.x0 - right);
                if (gap < 0.05 || gap > 1.6 || spaces(k.width()) < 0.2 || spaces(k.width()) > 0.6 ||
                    spaces(k.height()) < 0.2 || spaces(k.height()) > 0.6)
                    continue;
                const double cy = (k.y0 + k.y1) / 2.0;
                bool beside = false;
                for (const Head& h : c.heads)
                    beside = beside || std::fabs(cy - h.y) <= 0.75 * sp_;
                if (beside && cy > zone_.y0 && cy < zone_.y1) ++dots;
            }
            c.dots = dots;
        }
    }

    // Semibreve rests hang from a line, minim rests sit on one: solid blocks
    // about a space wide and half a space high.
    void findRests() {
        std::set<int> seen;
        for (int y = zone_.y0; y <= zone_.y1; ++y)
            for (int x = zone_.x0; x <= zone_.x1; ++x) {
                const int c = comp(x, y);
                if (c < 0 || !seen.insert(c).second || isClef(c) || usedComps_.count(c)) continue;
                const Component& k = component(c);
                const double w = spaces(k.width()), h = spaces(k.height());
                if (w < 0.8 || w > 1.7 || h < 0.35 || h > 0.8) continue;
                if (k.area < 0.85 * k.width() * k.height()) continue;
                for (int line = 0; line < 5; ++line) {
                    const double lineTop =
                        s_.lines[static_cast<std::size_t>(line)] - (s_.thickness - 1) / 2.0;
                    const double lineBottom = lineTop + s_.thickness - 1;
                    Chord rest;
                    rest.rest = true;
                    rest.restX = (k.x0 + k.x1) / 2.0;
                    rest.restStep = (line - 2) * 2;
                    if (std::fabs(k.y0 - lineTop) <= 0.2 * sp_) {
                        rest.restShape = Shape::SemibreveRest;
                    } else if (std::fabs(k.y1 - lineBottom) <= 0.2 * sp_) {
                        rest.restShape = Shape::MinimRest;
                    } else {
                        continue;
                    }
                    out_.chords.push_back(rest);
                    break;
                }
            }
    }

    const Image& page_;
    const Image& img_;
    const Components& comps_;
    const Stave& s_;
    double sp_ = 1;
    Zone zone_{};
    std::set<int> clefComps_, usedComps_;
    std::vector<Stroke> strokes_;
    std::set<long> barStrokes_;
    std::vector<Head> heads_;
    std::vector<int> stemComp_;  // per chord, the component of its stem or head
    StaveSymbols out_;
};

}  // namespace

StaveSymbols FindSymbols(const Image& page, const Image& clean, const Components& components,
                         const std::vector<Stave>& staves, int index) {
    if (index < 0 || index >= static_cast<int>(staves.size()) ||
        staves[static_cast<std::size_t>(index)].space <= 0)
        return {};
    return StaveReader(page, clean, components, staves, index).read();
}

}  // namespace veltro
