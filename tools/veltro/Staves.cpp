// Staves, systems, stave-line removal and connected components.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "Engine.h"

namespace veltro {

namespace {

struct LineRows {
    int y0, y1;
    double centre() const { return (y0 + y1) / 2.0; }
};

// The longest run of ink in row y, gaps of up to `gap` pixels bridged.
std::pair<int, int> LongestRun(const Image& img, int y0, int y1, int gap) {
    int bestL = 0, bestR = -1, start = -1, lastInk = -1;
    for (int x = 0; x < img.width; ++x) {
        bool ink = false;
        for (int y = y0; y <= y1 && !ink; ++y)
            ink = img.px[img.index(x, y)] != 0;
        if (!ink) continue;
        if (start < 0 || x - lastInk > gap + 1) start = x;
        lastInk = x;
        if (x - start > bestR - bestL) {
            bestL = start;
            bestR = x;
        }
    }
    return {bestL, bestR};
}

bool RowInk(const Image& img, int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
        if (img.px[img.index(x, y)]) return true;
    return false;
}

// Trims from the ends of a bridged run the short pieces a gap cuts off:
// what crosses the line beside the stave (a brace, a bracket) is not the line.
std::pair<int, int> TrimEnds(const Image& img, int y0, int y1, int l, int r, int minPiece) {
    for (;;) {
        int e = l;
        while (e < r && RowInk(img, e + 1, y0, y1))
            ++e;
        if (e - l + 1 >= minPiece || e >= r) break;
        l = e + 1;
        while (l < r && !RowInk(img, l, y0, y1))
            ++l;
    }
    for (;;) {
        int b = r;
        while (b > l && RowInk(img, b - 1, y0, y1))
            --b;
        if (r - b + 1 >= minPiece || b <= l) break;
        r = b - 1;
        while (r > l && !RowInk(img, r, y0, y1))
            --r;
    }
    return {l, r};
}

template <class T>
T Median(std::vector<T> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

namespace {

// How uneven the rows are when each column is moved up by (x - middle) × slope:
// the sum of the squared row counts.
double Unevenness(const Image& page, double slope) {
    std::vector<int> rows(static_cast<std::size_t>(page.height) * 2 + 1, 0);
    const double middle = page.width / 2.0;
    // Every second column is plenty to compare slopes (every second row
    // would favour the slopes that keep to the rows sampled).
    for (int y = 0; y < page.height; ++y) {
        const uint8_t* row = &page.px[page.index(0, y)];
        for (int x = 0; x < page.width; x += 2) {
            if (!row[x]) continue;
            const long r = std::lround(y - (x - middle) * slope) + page.height / 2;
            if (r >= 0 && r < static_cast<long>(rows.size())) ++rows[static_cast<std::size_t>(r)];
        }
    }
    double sum = 0;
    for (int n : rows)
        sum += static_cast<double>(n) * n;
    return sum;
}

}  // namespace

double EstimateSlope(const Image& page) {
    if (page.width < 2 || page.height < 2) return 0;
    // The middle of the angles that make the rows most uneven: on a short
    // line several angles do equally well.
    auto best = [&](double from, double to, double step) {
        std::vector<std::pair<double, double>> tried;
        double most = -1;
        for (double a = from; a <= to + 1e-9; a += step) {
            tried.emplace_back(a, Unevenness(page, std::tan(a * M_PI / 180)));
            most = std::max(most, tried.back().second);
        }
        double sum = 0;
        int n = 0;
        for (const auto& [a, u] : tried)
            if (u >= most * (1 - 1e-12)) {
                sum += a;
                ++n;
            }
        return n ? sum / n : 0.0;
    };
    const double coarse = best(-2, 2, 0.1);
    return std::tan(best(coarse - 0.1, coarse + 0.1, 0.01) * M_PI / 180);
}

Image Level(const Image& page, double slope) {
    Image out(page.width, page.height);
    const double middle = page.width / 2.0;
    for (int x = 0; x < page.width; ++x) {
        const int shift = static_cast<int>(std::lround((x - middle) * slope));
        for (int y = 0; y < page.height; ++y) {
            const int from = y + shift;
            if (from >= 0 && from < page.height && page.px[page.index(x, from)])
                out.px[out.index(x, y)] = 1;
        }
    }
    return out;
}

int Stave::step(double y) const {
    return static_cast<int>(std::lround((y - middle()) / (space / 2)));
}

std::vector<Stave> FindStaves(const Image& page) {
    const int minRun = std::max(40, page.width / 12);
    std::vector<LineRows> lines;
    for (int y = 0; y < page.height; ++y) {
        const auto [l, r] = LongestRun(page, y, y, 0);
        if (r - l + 1 < minRun) continue;
        if (!lines.empty() && lines.back().y1 == y - 1)
            lines.back().y1 = y;
        else
            lines.push_back({y, y});
    }
    std::vector<Stave> staves;
    for (std::size_t i = 0; i + 4 < lines.size();) {
        double gaps[4];
        for (int k = 0; k < 4; ++k)
            gaps[k] = lines[i + k + 1].centre() - lines[i + k].centre();
        const double mean = (gaps[0] + gaps[1] + gaps[2] + gaps[3]) / 4;
        int thick = 0;
        for (int k = 0; k < 5; ++k)
            thick = std::max(thick, lines[i + k].y1 - lines[i + k].y0 + 1);
        bool even = mean >= 4 && mean >= 2.5 * thick;
        for (double g : gaps)
            even = even && std::fabs(g - mean) <= std::max(1.5, 0.2 * mean);
        if (!even) {
            ++i;
            continue;
        }
        Stave s;
        s.space = mean;
        s.thickness = thick;
        std::vector<int> lefts, rights;
        for (int k = 0; k < 5; ++k) {
            s.lines[static_cast<std::size_t>(k)] = lines[i + k].centre();
            const auto [l0, r0] =
                LongestRun(page, lines[i + k].y0, lines[i + k].y1, static_cast<int>(mean * 0.75));
            const auto [l, r] = TrimEnds(page, lines[i + k].y0, lines[i + k].y1, l0, r0,
                                         static_cast<int>(2 * mean));
            lefts.push_back(l);
            rights.push_back(r);
        }
        s.left = Median(lefts);
        s.right = Median(rights);
        // A bracket's thick bar at the start is not the stave: its lines
        // begin where the bar ends (a thin joining line is theirs).
        int bar = 0;
        auto fullHeight = [&](int x) {
            for (int y = static_cast<int>(s.lines[0]) - 1; y <= static_cast<int>(s.lines[4]) + 1;
                 ++y)
                if (!page.ink(x, y)) return false;
            return true;
        };
        while (s.left + bar < s.right && fullHeight(s.left + bar))
            ++bar;
        if (bar > 0.3 * mean) s.left += bar;
        staves.push_back(s);
        i += 5;
    }
    return staves;
}

std::vector<int> FindSystems(const Image& page, const std::vector<Stave>& staves) {
    std::vector<int> system(staves.size(), 0);
    for (std::size_t i = 1; i < staves.size(); ++i) {
        const Stave& a = staves[i - 1];
        const Stave& b = staves[i];
        bool joined = false;
        const int y0 = static_cast<int>(std::ceil(a.bottom())) + a.thickness;
        const int y1 = static_cast<int>(std::floor(b.top())) - b.thickness;
        if (std::abs(a.left - b.left) <= 2 * a.space && y1 > y0) {
            const int x0 = std::min(a.left, b.left) - static_cast<int>(a.space);
            const int x1 = std::max(a.left, b.left) + static_cast<int>(a.space / 2);
            for (int x = std::max(0, x0); x <= x1 && x < page.width && !joined; ++x) {
                int ink = 0;
                for (int y = y0; y <= y1; ++y)
                    ink += page.ink(x, y);
                joined = ink >= 0.95 * (y1 - y0 + 1);
            }
        }
        system[i] = system[i - 1] + (joined ? 0 : 1);
    }
    return system;
}

namespace {

// The vertical run of ink through (x, y): its first and last row.
std::pair<int, int> VerticalRun(const Image& img, int x, int y) {
    int a = y, b = y;
    while (a > 0 && img.ink(x, a - 1))
        --a;
    while (b + 1 < img.height && img.ink(x, b + 1))
        ++b;
    return {a, b};
}

// Erases the line at centre row `c` between x0 and x1 where nothing crosses
// it. A stretch of ink along the line shorter than `minLength` (crossings
// included) is left alone: ledger lines are only lines when long enough.
void EraseLine(const Image& page, Image& out, double c, int thickness, int x0, int x1,
               int minLength) {
    const int top = static_cast<int>(std::lround(c - (thickness - 1) / 2.0));
    const int tolerance = 1;
    x0 = std::max(0, x0);
    x1 = std::min(page.width - 1, x1);
    if (x1 < x0) return;
    // Per column: no ink on the line ({-2,-2}), a crossing ({-1,-1}) or the
    // line's own run.
    std::vector<std::pair<int, int>> runs(static_cast<std::size_t>(x1 - x0 + 1), {-2, -2});
    for (int x = x0; x <= x1; ++x) {
        int at = -1;
        for (int y = top - 1; y <= top + thickness && at < 0; ++y)
            if (page.ink(x, y)) at = y;
        if (at < 0) continue;
        const auto run = VerticalRun(page, x, at);
        // Only ink where the line lies: a thin stroke just beside a line's
        // place (the top of a head above a ledger line) is not the line.
        const bool line = run.second - run.first + 1 <= thickness + tolerance &&
                          run.first >= top - 1 && run.second <= top + thickness;
        runs[static_cast<std::size_t>(x - x0)] = line ? run : std::make_pair(-1, -1);
    }
    for (std::size_t i = 0; i < runs.size();) {
        if (runs[i].first == -2) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < runs.size() && runs[j].first != -2)
            ++j;
        if (static_cast<int>(j - i) >= minLength)
            for (std::size_t k = i; k < j; ++k)
                for (int y = runs[k].first; y >= 0 && y <= runs[k].second; ++y)
                    out.set(x0 + static_cast<int>(k), y, false);
        i = j;
    }
}

}  // namespace

Image RemoveStaveLines(const Image& page, const std::vector<Stave>& staves) {
    Image out = page;
    for (const Stave& s : staves) {
        const int margin = static_cast<int>(s.space);
        for (double c : s.lines)
            EraseLine(page, out, c, s.thickness, s.left - margin, s.right + margin, 1);
        // Ledger lines: a space apart above and below, at least a space long.
        for (int k = 1; k <= 6; ++k) {
            EraseLine(page, out, s.top() - k * s.space, s.thickness, s.left, s.right,
                      static_cast<int>(s.space * 0.8));
            EraseLine(page, out, s.bottom() + k * s.space, s.thickness, s.left, s.right,
                      static_cast<int>(s.space * 0.8));
        }
    }
    return out;
}

Components FindComponents(const Image& image) {
    struct Run {
        int y, x0, x1;
    };
    std::vector<Run> runs;
    std::vector<int> parent;
    auto find = [&](int i) {
        while (parent[static_cast<std::size_t>(i)] != i) {
            parent[static_cast<std::size_t>(i)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
            i = parent[static_cast<std::size_t>(i)];
        }
        return i;
    };
    std::size_t prevBegin = 0, prevEnd = 0;
    for (int y = 0; y < image.height; ++y) {
        const std::size_t begin = runs.size();
        const uint8_t* row = &image.px[image.index(0, y)];
        for (int x = 0; x < image.width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int e = x;
            while (e + 1 < image.width && row[e + 1])
                ++e;
            runs.push_back({y, x, e});
            parent.push_back(static_cast<int>(runs.size() - 1));
            x = e + 1;
        }
        // Join each run to the runs of the row above that touch it, corners included.
        std::size_t p = prevBegin;
        for (std::size_t r = begin; r < runs.size(); ++r) {
            while (p < prevEnd && runs[p].x1 < runs[r].x0 - 1)
                ++p;
            for (std::size_t q = p; q < prevEnd && runs[q].x0 <= runs[r].x1 + 1; ++q) {
                const int a = find(static_cast<int>(r)), b = find(static_cast<int>(q));
                if (a != b) parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
            }
        }
        prevBegin = begin;
        prevEnd = runs.size();
    }
    Components out;
    out.label.assign(image.px.size(), -1);
    std::vector<int> index(runs.size(), -1);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const int root = find(static_cast<int>(r));
        int& id = index[static_cast<std::size_t>(root)];
        if (id < 0) {
            id = static_cast<int>(out.list.size());
            out.list.push_back({runs[r].x0, runs[r].y, runs[r].x1, runs[r].y, 0});
        }
        Component& c = out.list[static_cast<std::size_t>(id)];
        c.x0 = std::min(c.x0, runs[r].x0);
        c.x1 = std::max(c.x1, runs[r].x1);
        c.y1 = std::max(c.y1, runs[r].y);
        c.area += runs[r].x1 - runs[r].x0 + 1;
        std::fill(out.label.begin() + static_cast<long>(image.index(runs[r].x0, runs[r].y)),
                  out.label.begin() + static_cast<long>(image.index(runs[r].x1, runs[r].y)) + 1,
                  id);
    }
    return out;
}

}  // namespace veltro
