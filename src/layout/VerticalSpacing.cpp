// Vertical respacing of the systems of one page.
#include "layout/VerticalSpacing.h"

#include "layout/Pagination.h"

namespace sw {

RespacePlan PlanRespace(const Score& score, int page, bool equalSystems) {
    RespacePlan plan;
    const int f = FirstStaveOnPage(score, page);
    // FirstStaveOnPage gives a later page's stave when this one has none.
    if (f < 1 || !score.hasStave(f) || score.stave(f).h.PageNum != page) return plan;
    const int l = LastStaveOnPage(score, page);
    const int s1 = SystemNumber(score, f), s2 = SystemNumber(score, l);
    if (s2 - s1 < 2) {
        plan.outcome = RespaceOutcome::TooFewSystems;
        return plan;
    }
    const int gaps = s2 - s1;
    // Per system: its first and last stave.
    std::vector<int> firstOf, lastOf;
    for (int n = s1; n <= s2; ++n) {
        firstOf.push_back(FirstStaveOfSystem(score, n));
        lastOf.push_back(FirstStaveOfSystem(score, n + 1) - 1);
    }
    auto head = [&](int k) -> const StaveHeader& { return score.stave(firstOf[k]).h; };
    auto tail = [&](int k) -> const StaveHeader& { return score.stave(lastOf[k]).h; };

    // The new Ycoord of each middle system's first stave.
    std::vector<int64_t> target(static_cast<std::size_t>(gaps + 1), 0);
    if (equalSystems) {
        const int64_t step = (int64_t{head(gaps).Ycoord} - head(0).Ycoord) / gaps;
        for (int k = 1; k < gaps; ++k)
            target[static_cast<std::size_t>(k)] = head(0).Ycoord + k * step;
    } else {
        int64_t total = 0;
        for (int k = 1; k <= gaps; ++k)
            total += int64_t{head(k).MinY} - tail(k - 1).MaxY;
        if (total < 0) {
            plan.outcome = RespaceOutcome::NoFreeSpace;
            return plan;
        }
        const int64_t gap = total / gaps;
        // Each system sits `gap` below where the one above it now ends.
        int64_t above = tail(0).MaxY;
        for (int k = 1; k < gaps; ++k) {
            const int64_t y = above + gap + (int64_t{head(k).Ycoord} - head(k).MinY);
            target[static_cast<std::size_t>(k)] = y;
            above = tail(k).MaxY + (y - head(k).Ycoord);
        }
    }
    plan.outcome = RespaceOutcome::Respaced;
    plan.first = firstOf[1];
    plan.last = lastOf[static_cast<std::size_t>(gaps - 1)];
    for (int k = 1; k < gaps; ++k) {
        const auto dy = static_cast<int32_t>(target[static_cast<std::size_t>(k)] - head(k).Ycoord);
        for (int s = firstOf[static_cast<std::size_t>(k)]; s <= lastOf[static_cast<std::size_t>(k)];
             ++s)
            plan.shift.push_back(dy);
    }
    return plan;
}

void ApplyRespace(Score& score, const RespacePlan& plan) {
    if (plan.outcome != RespaceOutcome::Respaced) return;
    for (int s = plan.first; s <= plan.last; ++s)
        ShiftStave(score, s, plan.shift[static_cast<std::size_t>(s - plan.first)]);
}

}  // namespace sw
