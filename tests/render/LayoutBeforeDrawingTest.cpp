// Drawing only reads what layout left: a stave's extent, its curve bounds and
// its notes' geometry are the same whether or not (and however) it was drawn,
// and the object about to be placed is drawn without borrowing a slot.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <memory>
#include <string>

#include "core/ScriptedHost.h"
#include "layout/OpenScore.h"
#include "layout/Pagination.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/ObjectDrawing.h"
#include "render/PageExport.h"
#include "render/PageView.h"
#include "render/Preview.h"
#include "render/Text.h"
#include "support/TestSupport.h"

namespace sw {
namespace {

// Every laid-out field of every stave, objects byte for byte.
void ExpectSameLayout(const Score& a, const Score& b, const std::string& what) {
    ASSERT_EQ(a.Nstaves, b.Nstaves) << what;
    for (int s = 0; s <= a.Nstaves; ++s) {
        const StaveBlock& x = a.stave(s);
        const StaveBlock& y = b.stave(s);
        EXPECT_EQ(x.h.MinY, y.h.MinY) << what << " stave " << s;
        EXPECT_EQ(x.h.MaxY, y.h.MaxY) << what << " stave " << s;
        ASSERT_EQ(x.h.Nobjec, y.h.Nobjec) << what << " stave " << s;
        for (int i = 1; i <= x.h.Nobjec + 1 && i <= kMaxObjects; ++i) {
            EXPECT_EQ(x.obj[i].kind, y.obj[i].kind) << what << " " << s << "/" << i;
            EXPECT_EQ(x.obj[i].y, y.obj[i].y) << what << " " << s << "/" << i;
            EXPECT_EQ(std::memcmp(x.obj[i].data.raw, y.obj[i].data.raw, sizeof x.obj[i].data.raw),
                      0)
                << what << " " << s << "/" << i;
        }
    }
}

// Draws every page on screen, in print, in the preview and on a recording surface.
void DrawEverything(const Score& score, const GlyphStore& glyphs, ScriptedHost& host) {
    DrawSettings settings;
    for (int page = 1; page <= std::max<int>(1, score.pageCount); ++page) {
        QImage screen;
        ASSERT_TRUE(SetUpPagePicture(screen, score, page, 32, false, host));
        DrawAll(PictureContext(screen, glyphs, false), score, page, settings, PageViewState{});
        PagePicture(glyphs, score, page, settings);
        QImage preview(800, 1000, QImage::Format_RGB32);
        RenderPreviewPage(preview, QRect(20, 20, 700, 900), glyphs, score, page, false, true,
                          settings);
    }
    RecordingSurface rec;
    for (int s = 1; s <= score.Nstaves; ++s)
        DrawStave(rec, score, s, 0, kAllKinds, settings, PageViewState{}, 2000);
}

// Two staves with a curve standing well above the first, a beam group and a
// beam across to the second, laid out as opening does.
std::unique_ptr<Score> CurvesAndBeams(const TextMeasurer& measurer) {
    auto score = std::make_unique<Score>();
    const int s = AppendStave(*score, 200, 20, 900);
    const int t = AppendStave(*score, 320, 20, 900);
    PlaceCurve(*score, s, {{100, 150}, {200, 60}, {300, 140}}, 3);
    ScoreObject* a = PlaceNote(*score, s, 400, -6, 5, 0);
    ScoreObject* b = PlaceNote(*score, s, 440, 6, 4, 0);
    a->note().beamOnTo = 5;
    b->note().beamBackTo = 4;
    ScoreObject* c = PlaceNote(*score, s, 500, 0, 4, 0);
    ScoreObject* d = PlaceNote(*score, t, 540, 0, 4, 0);
    c->note().beamOnTo = 1;
    c->note().beamOnDown = 1;
    d->note().beamBackTo = 6;
    d->note().beamBackUp = 1;
    for (int k = 1; k <= score->Nstaves; ++k)
        RefreshStave(*score, k, measurer);
    return score;
}

TEST(LayoutBeforeDrawing, AStavesExtentIsTheSameDrawnOrNot) {
    GlyphStore glyphs;
    QtTextMeasurer measurer;
    ScriptedHost host;
    std::unique_ptr<Score> drawn = CurvesAndBeams(measurer);
    const Score untouched(*drawn);
    DrawEverything(*drawn, glyphs, host);
    ExpectSameLayout(untouched, *drawn, "built");

    for (const char* name : {"minuet", "twinkle", "ode-satb"}) {
        auto a = std::make_unique<Score>();
        auto b = std::make_unique<Score>();
        const std::string path = STAFFWRIGHT_SOURCE_DIR "/examples/" + std::string(name) + ".swn";
        ASSERT_TRUE(OpenForDisplay(*a, path, host, measurer).load.ok) << name;
        ASSERT_TRUE(OpenForDisplay(*b, path, host, measurer).load.ok) << name;
        DrawEverything(*a, glyphs, host);
        ExpectSameLayout(*b, *a, name);
    }
    EXPECT_HOST_CLEAN(host);
}

TEST(LayoutBeforeDrawing, RefreshingAStaveLaysItOutForDrawing) {
    QtTextMeasurer measurer;
    std::unique_ptr<Score> score = CurvesAndBeams(measurer);
    const StaveBlock& b = score->stave(1);
    for (int i = 1; i <= b.h.Nobjec; ++i) {
        if (b.obj[i].kind == kNote) {
            EXPECT_TRUE(b.obj[i].note().validated) << i;
        }
    }
    // The curve's laid-out bounds reach above its highest point, and the
    // extent holds them before anything is drawn.
    const ScoreObject& first = b.obj[1];
    ASSERT_EQ(first.kind, kCurve);
    EXPECT_LE(b.h.Ycoord + first.curve().upperBound, 60 - 7);
    EXPECT_EQ(b.h.MinY, b.h.Ycoord + first.curve().upperBound);
    // The beam across the staves runs to the note on the lower stave.
    RecordingSurface rec;
    const int last = score->stave(2).h.Nobjec;
    DrawObject(rec, *score, 2, last, DrawRequest{}, DrawSettings{});
    EXPECT_FALSE(rec.of("polygon").empty());
}

TEST(LayoutBeforeDrawing, ThePendingObjectIsAParameterNotABorrowedSlot) {
    QtTextMeasurer measurer;
    Score score;
    const int s = AppendStave(score, 200, 20, 900);
    PlaceNote(score, s, 100, 1, 3, 1);
    // The same note placed for real, tied back to the first, and laid out.
    Score placed(score);
    ScoreObject* tied = PlaceNote(placed, s, 160, 1, 3, 1);
    tied->note().tieLeft = 1;
    placed.object(s, 1).note().tieRight = 2;
    for (Score* sc : {&score, &placed})
        LayOutStave(*sc, s, measurer);
    const ScoreObject pending = placed.object(s, 2);

    DrawSettings settings;
    RecordingSurface want, got;
    DrawObject(want, placed, s, 2, DrawRequest{settings.colours.putative, false, false}, settings);
    const Score before(score);
    DrawPendingObject(got, score, s, pending, false, settings);
    ASSERT_FALSE(want.calls().empty());
    ASSERT_EQ(got.calls().size(), want.calls().size());
    for (std::size_t k = 0; k < want.calls().size(); ++k) {
        EXPECT_EQ(got.calls()[k].what, want.calls()[k].what) << k;
        EXPECT_EQ(got.calls()[k].x1, want.calls()[k].x1) << k;
        EXPECT_EQ(got.calls()[k].colour, want.calls()[k].colour) << k;
        EXPECT_EQ(got.calls()[k].points, want.calls()[k].points) << k;
    }
    EXPECT_EQ(got.of("curve").size(), 1u) << "the tie back to the note in the stave";
    ExpectSameLayout(before, score, "pending");

    // A full stave has no spare slot, and still shows what is about to go on it.
    Score full;
    const int f = AppendStave(full, 200, 20, 900);
    full.stave(f).h.Nobjec = kMaxObjects;  // slots of nothing
    RecordingSurface onFull;
    DrawPendingObject(onFull, full, f, pending, false, settings);
    EXPECT_FALSE(onFull.calls().empty());
}

}  // namespace
}  // namespace sw
