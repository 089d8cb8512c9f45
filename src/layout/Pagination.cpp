// Pagination, stave extents and system navigation.
#include "layout/Pagination.h"

#include <algorithm>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/WarningBox.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/StaveLayout.h"

namespace sw {

namespace {

std::pair<int, int> Bounds(const Score& score, int s, bool StaveHeader::*flag) {
    const int n = score.Nstaves;
    if (n == 0) return {0, 0};
    s = std::clamp(s, 1, n);
    int first = s, last = s;
    while (first > 1 && score.stave(first - 1).h.*flag)
        --first;
    while (last < n && score.stave(last).h.*flag)
        ++last;
    return {first, last};
}

constexpr int32_t kPageGap = 10;

// The space above system first..last when it begins a page: the gap it had
// above it in the strip, at least the page gap, and no more than leaves the
// system room on the page. Unpaginate reads it
// back as the gap between the pages, so laying the strip out again finds the
// same pages: a system that did not fit below the one before it does not fit
// there the next time either.
int32_t PageTopGap(const Score& score, int first, int last, int32_t H) {
    const int32_t gap = score.stave(first).h.MinY - score.stave(first - 1).h.MaxY;
    const int32_t height = score.stave(last).h.MaxY - score.stave(first).h.MinY;
    return std::clamp(gap, kPageGap, std::max(kPageGap, H - height));
}
// User levels run from 1 to 4: a bound of 5 shows the box to everyone.
constexpr int kEveryLevel = 5;

}  // namespace

std::pair<int, int> SystemBounds(const Score& score, int s) {
    return Bounds(score, s, &StaveHeader::joinToNext);
}

std::pair<int, int> BraceGroupBounds(const Score& score, int s) {
    return Bounds(score, s, &StaveHeader::withBrace);
}

int SystemNumber(const Score& score, int s) {
    s = std::clamp(s, 1, std::max(1, static_cast<int>(score.Nstaves)));
    int n = 1;
    for (int i = 1; i < s && i <= score.Nstaves; ++i)
        if (!score.stave(i).h.joinToNext) ++n;
    return n;
}

int FirstStaveOfSystem(const Score& score, int n) {
    if (n <= 1) return 1;
    int count = 1;
    for (int i = 1; i < score.Nstaves; ++i)
        if (!score.stave(i).h.joinToNext && ++count == n) return i + 1;
    return score.Nstaves + 1;
}

int SystemCount(const Score& score) {
    return score.Nstaves == 0 ? 0 : SystemNumber(score, score.Nstaves);
}

int FirstStaveOnPage(const Score& score, int p) {
    if (p <= 0) return 0;
    for (int i = 1; i <= score.Nstaves; ++i)
        if (score.stave(i).h.PageNum >= p) return i;
    return 0;
}

int LastStaveOnPage(const Score& score, int p) {
    if (p <= 0 || score.Nstaves == 0) return 0;
    int i = 1;
    while (i < score.Nstaves && score.stave(i + 1).h.PageNum <= p)
        ++i;
    return i;
}

void ShiftStave(Score& score, int s, int32_t dy) {
    if (dy == 0 || !score.hasStave(s)) return;
    StaveBlock& b = score.stave(s);
    b.h.Ycoord += dy;
    b.h.MaxY += dy;
    b.h.MinY += dy;
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        ScoreObject& o = b.obj[i];
        o.y += dy;
        if (o.kind == kNote && !o.note().rest) {
            // Stems, dots and beams move with their notes without being worked out again.
            NoteData& n = o.note();
            n.stemStartY += dy;
            n.stemEndY += dy;
            n.dotY += dy;
        }
    }
}

void MoveStaveTo(Score& score, int s, int32_t y) {
    if (score.hasStave(s)) ShiftStave(score, s, y - score.stave(s).h.Ycoord);
}

void StaveExtent(Score& score, int s, const TextMeasurer& measurer) {
    if (!score.hasStave(s)) return;
    StaveBlock& b = score.stave(s);
    const int32_t Y = b.h.Ycoord;
    const int half = HalfSpace(b.h.sizeIndex), space = LineSpacing(b.h.sizeIndex);
    // The stave itself reaches as far as the hooks of a bracket drawn on it:
    // the ink of the upper hook above the anchor row, of the lower one below.
    int32_t minY = Y + ScreenNudge(glyph::STAVE1).y + GlyphInkBox(glyph::STAVE1).top - 32;
    int32_t maxY = Y + ScreenNudge(glyph::STAVE2).y + GlyphInkBox(glyph::STAVE2).bottom - 32;
    auto top = [&](int32_t v) { minY = std::min(minY, v); };
    auto bottom = [&](int32_t v) { maxY = std::max(maxY, v); };
    auto glyphExtent = [&](const ScoreObject& o) {
        const GlyphBox box = GlyphInkBox(o.glyph);
        if (box.right < box.left) return;  // no ink
        const int ny = ScreenNudge(o.glyph).y;
        top(o.y + ny - 32 + box.top - 1);
        bottom(o.y + ny - 32 + box.bottom + 2);
    };
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        const ScoreObject& o = b.obj[i];
        const int32_t y = o.y;
        switch (o.kind) {
            case kClef:
            case kAccidental:
            case kTrill:
            case kDynamic:
                glyphExtent(o);
                break;
            case kKeysig: {
                const int key = o.data.keysig.key;
                if (std::abs(key) > 2) top(y - 5 * half + GlyphInkBox(glyph::SHARP).top);
                if (key == -7) bottom(y + 5 * half + GlyphInkBox(glyph::FLAT).bottom);
                break;
            }
            case kNote: {
                const NoteData& n = o.note();
                if (n.rest) {
                    glyphExtent(o);
                    break;
                }
                const int stem = EffectiveStem(n);
                if (n.beamBackTo || n.beamOnTo) {
                    const int L = (n.headSize == 1 && b.h.sizeIndex == 0) ? 4 * n.noteValue - 3
                                                                          : 5 * n.noteValue - 2;
                    top(stem == 0 ? y - L - 1 : y - 3);
                    bottom(stem == 0 ? y + 3 : y + L + 1);
                } else if (stem == 0) {
                    top(y - 7 * half);
                    bottom(y + space);
                } else if (stem == 1) {
                    top(y - space);
                    bottom(y + 7 * half);
                } else {
                    top(y - space);
                    bottom(y + space);
                }
                break;
            }
            case kText9:
            case kText: {
                if (o.kind == kText && (o.text().textFlags & 0x80)) break;
                int number = o.text().fontNumber;
                if (number == 0 || !score.fontsInUse.test(number)) number = 1;
                const FontDesc& f = score.fonts[number];
                TextFont tf{f.name.empty() ? "Times New Roman" : f.name, f.size > 0 ? f.size : 12,
                            f.style};
                top(y);
                bottom(y + measurer.height(tf, o.kind == kText ? std::string("Mg") : o.chunk()));
                break;
            }
            case kLine: {
                const LineData& l = o.data.line;
                const int end = l.legDirection != 0 ? l.legLength : 0;
                top(y - (std::max(0, -static_cast<int>(l.dy)) + end));
                bottom(y + std::max(0, static_cast<int>(l.dy)) + (l.legDirection == 1 ? end : 0));
                break;
            }
            case kCurve: {
                const CurveData& c = o.curve();
                if (c.nextAnchor != 0 && c.prevAnchor == 0) {
                    top(Y + c.upperBound);
                    bottom(Y + c.lowerBound + c.thickness);
                }
                break;
            }
            case kOther:
                top(y - 8 * static_cast<int8_t>(o.data.other.bends));
                break;
            case kHairpin: {
                const int open = std::abs(o.data.hairpin.halfOpening) + o.data.hairpin.thickness;
                top(y - open);
                bottom(y + open);
                break;
            }
            case kDrawobject: {
                const DrawobjectData& d = o.data.drawobject;
                if (d.shape <= 1) {
                    top(y - d.radiusOrWidth);
                    bottom(y + d.radiusOrWidth);
                } else if (d.shape <= 3) {
                    top(std::min<int32_t>(y, y - d.height));
                    bottom(std::max<int32_t>(y, y + d.height));
                }
                break;
            }
            default:
                break;
        }
    }
    b.h.MinY = minY;
    b.h.MaxY = maxY;
}

void RefreshStave(Score& score, int s, const TextMeasurer& measurer) {
    if (!score.hasStave(s)) return;
    TidyStave(score, s, true);
    LayOutStave(score, s, measurer);
    StaveHeader& h = score.stave(s).h;
    if (h.instrumentUp == 0)
        h.instrumentDown = 0;
    else if (h.instrumentDown == 0)
        h.instrumentDown = h.instrumentUp;
}

void Unpaginate(Score& score) {
    const int n = score.Nstaves;
    if (n == 0) return;
    std::vector<int32_t> target(static_cast<std::size_t>(n) + 1);
    target[1] = score.stave(1).h.Ycoord;
    for (int i = 2; i <= n; ++i) {
        const StaveHeader& prev = score.stave(i - 1).h;
        const StaveHeader& cur = score.stave(i).h;
        if (cur.PageNum == prev.PageNum)
            target[i] = target[i - 1] + (cur.Ycoord - prev.Ycoord);
        else  // the space above the page's first stave becomes the gap
            target[i] = target[i - 1] + (prev.MaxY - prev.Ycoord) + std::max(kPageGap, cur.MinY) +
                        (cur.Ycoord - cur.MinY);
    }
    for (int i = 1; i <= n; ++i) {
        ShiftStave(score, i, target[i] - score.stave(i).h.Ycoord);
        score.stave(i).h.PageNum = 1;
    }
}

PaginationResult Repaginate(Score& score, int32_t H) {
    PaginationResult r;
    const int n = score.Nstaves;
    if (n == 0) return r;
    for (int i = 1; i <= n; ++i)
        if (score.stave(i).h.PageNum != 1) {
            Unpaginate(score);
            break;
        }
    std::vector<int32_t> Y(static_cast<std::size_t>(n) + 1), New(Y.size());
    std::vector<uint16_t> page(Y.size());
    for (int i = 1; i <= n; ++i)
        Y[i] = score.stave(i).h.Ycoord;
    int k = 1, system = 1;
    bool forced = false;
    // Where the current page begins in the strip: 0 on page 1, else the
    // page-start stave's extent less the space kept above it.
    int32_t top = 0;
    for (int first = 1; first <= n;) {
        const int last = SystemBounds(score, first).second;
        const int32_t bottom = score.stave(last).h.MaxY;
        if (bottom - top > H || forced) {
            top = first == 1 ? 0 : score.stave(first).h.MinY - PageTopGap(score, first, last, H);
            ++k;
            if (bottom - top > H) {
                r.oversized.push_back({system, k - 1});
                if (system == 1) k = 1;
            }
        }
        for (int i = first; i <= last; ++i) {
            New[i] = Y[i] - top;
            page[i] = static_cast<uint16_t>(k);
        }
        forced = score.stave(last).h.ForcedBk;
        ++system;
        first = last + 1;
    }
    for (int i = 1; i <= n; ++i) {
        ShiftStave(score, i, New[i] - Y[i]);
        score.stave(i).h.PageNum = page[i];
    }
    score.pageCount = page[n];
    r.pages = page[n];
    int current = std::clamp(static_cast<int>(score.CurrentStave), 1, n);
    r.currentPage = page[current];
    return r;
}

void ReportOversized(const PaginationResult& r, Host& host, WarningBox& warnings) {
    for (const auto& [system, page] : r.oversized)
        warnings.show(host, msg::CannotFitSystem, FormatMessage(msg::CannotFitSystem, system, page),
                      kEveryLevel, false);
}

void RebuildTrailers(Score& score) {
    const int n = score.Nstaves;
    int system = 0, position = 0;
    for (int i = 1; i <= n; ++i) {
        StaveTrailer& t = score.stave(i).t;
        if (i == 1 || !score.stave(i - 1).h.joinToNext) {
            ++system;
            position = 0;
        }
        t.systemNumber = static_cast<uint16_t>(system);
        t.positionInSystem = static_cast<uint16_t>(++position);
        t.nextSystemStave = 0;
        t.prevSystemStave = 0;
        t.bagpipeMark = score.bagpipeScore ? 2 : 0;
    }
    for (int i = 1; i <= n; ++i) {
        const int last = SystemBounds(score, i).second;
        const int next = last + score.stave(i).t.positionInSystem;
        if (last < n && next <= n &&
            score.stave(next).t.systemNumber == score.stave(i).t.systemNumber + 1) {
            score.stave(i).t.nextSystemStave = static_cast<uint16_t>(next);
            score.stave(next).t.prevSystemStave = static_cast<uint16_t>(i);
        }
    }
}

}  // namespace sw
