// Respacing the systems of a page: both rules, the truncation remainder, the
// refusals, pages after the first, and objects moving with their staves.
#include <gtest/gtest.h>

#include <vector>

#include "layout/VerticalSpacing.h"
#include "model/Build.h"

namespace sw {
namespace {

// One stave per entry at that y (extent 16 either side), on `page`; staves
// listed in `joined` are joined to the next into one system.
Score Page(std::initializer_list<int32_t> ys, std::initializer_list<int> joined = {},
           uint16_t page = 1) {
    Score score;
    for (int32_t y : ys)
        score.stave(AppendStave(score, y, 20, 600)).h.PageNum = page;
    for (int s : joined)
        score.stave(s).h.joinToNext = true;
    return score;
}

std::vector<int32_t> Ys(const Score& score) {
    std::vector<int32_t> out;
    for (int s = 1; s <= score.Nstaves; ++s)
        out.push_back(score.stave(s).h.Ycoord);
    return out;
}

using Y = std::vector<int32_t>;

TEST(VerticalSpacing, TheTwoRulesOnAMiddleSystemTouchingTheFirst) {
    // A two-stave middle system (56..128) touching the first (24..56).
    for (const bool equalSystems : {true, false}) {
        Score score = Page({40, 72, 112, 400}, {2});
        const RespacePlan plan = PlanRespace(score, 1, equalSystems);
        ASSERT_EQ(plan.outcome, RespaceOutcome::Respaced);
        EXPECT_EQ(plan.first, 2);
        EXPECT_EQ(plan.last, 3);
        ApplyRespace(score, plan);
        if (equalSystems) {
            // First staves at equal distances: 40, 220, 400.
            EXPECT_EQ(Ys(score), (Y{40, 220, 260, 400}));
        } else {
            // 256 pixels of free space, 128 above and below the middle system.
            EXPECT_EQ(Ys(score), (Y{40, 200, 240, 400}));
            EXPECT_EQ(score.stave(2).h.MinY - score.stave(1).h.MaxY,
                      score.stave(4).h.MinY - score.stave(3).h.MaxY);
        }
    }
}

TEST(VerticalSpacing, TheRemainderStaysInTheLastGap) {
    Score score = Page({40, 60, 90, 401});
    ApplyRespace(score, PlanRespace(score, 1, true));
    EXPECT_EQ(Ys(score), (Y{40, 160, 280, 401}));  // 361 / 3 = 120, one pixel left over
    score = Page({40, 60, 90, 402});
    ApplyRespace(score, PlanRespace(score, 1, false));
    // Free space 402 - 40 - 3 * 32 = 266: gaps of 88, the last 90.
    EXPECT_EQ(Ys(score), (Y{40, 160, 280, 402}));
}

TEST(VerticalSpacing, RefusalsChangeNothing) {
    Score two = Page({40, 80, 300}, {1});
    EXPECT_EQ(PlanRespace(two, 1, true).outcome, RespaceOutcome::TooFewSystems);
    EXPECT_EQ(PlanRespace(two, 2, true).outcome, RespaceOutcome::NoStaves)
        << "a page without staves is not measured from another page's";
    // Systems overlapping in total: no free space to share out.
    Score tight = Page({40, 50, 60});
    const RespacePlan plan = PlanRespace(tight, 1, false);
    EXPECT_EQ(plan.outcome, RespaceOutcome::NoFreeSpace);
    ApplyRespace(tight, plan);
    EXPECT_EQ(Ys(tight), (Y{40, 50, 60}));
    EXPECT_EQ(PlanRespace(tight, 1, true).outcome, RespaceOutcome::Respaced);
}

TEST(VerticalSpacing, ALaterPageMovesItsOwnSystemsWithTheirObjects) {
    Score score = Page({40, 100, 160}, {}, 1);
    for (int32_t y : {50, 70, 300}) {
        const int s = AppendStave(score, y, 20, 600);
        score.stave(s).h.PageNum = 2;
    }
    PlaceNote(score, 5, 100, 4, 3);
    const int32_t noteY = score.object(5, 1).y;
    const int32_t stemEnd = score.object(5, 1).note().stemEndY;
    ApplyRespace(score, PlanRespace(score, 2, true));
    EXPECT_EQ(Ys(score), (Y{40, 100, 160, 50, 175, 300}));
    EXPECT_EQ(score.object(5, 1).y, noteY + 105);
    EXPECT_EQ(score.object(5, 1).note().stemEndY, stemEnd + 105);
    EXPECT_EQ(score.stave(5).h.MinY, 175 - 16);
}

}  // namespace
}  // namespace sw
