// Object drawing rules, checked on a recording surface and on pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "layout/Gallery.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/StaveLayout.h"
#include "model/Build.h"
#include "render/GlyphStore.h"
#include "render/ObjectDrawing.h"

namespace sw {
namespace {

class ObjectDrawing : public ::testing::Test {
  protected:
    void SetUp() override { s = AppendStave(score, 200, 0, 800); }
    RecordingSurface Draw(int i, uint32_t colour = 0, bool print = false, bool normal = true) {
        RecordingSurface rec(print);
        LayOut();
        DrawObject(rec, score, s, i, DrawRequest{colour, false, normal}, settings);
        return rec;
    }
    // As a refresh does before anything is drawn.
    void LayOut() {
        for (int t = 1; t <= score.Nstaves; ++t)
            LayOutStaveGeometry(score, t);
    }
    int Last() const { return score.stave(s).h.Nobjec; }
    ScoreObject* Key(int32_t x, int key, bool cancel = false) {
        ScoreObject* o = PlaceObject(score, s, kKeysig, x, 200);
        o->data.keysig.key = static_cast<int8_t>(key);
        o->data.keysig.naturalsOnChange = cancel;
        return o;
    }
    static std::vector<int> Codes(const std::vector<RecordingSurface::Call>& calls) {
        std::vector<int> out;
        for (const auto& c : calls)
            out.push_back(c.code);
        return out;
    }
    Score score;
    DrawSettings settings;
    int s = 0;
};

TEST_F(ObjectDrawing, KeyChangesCancelThePreviousKeyOnlyWhenTheySay) {
    Key(100, 3);
    Key(200, 0);
    RecordingSurface naturals = Draw(Last());
    auto g = naturals.of("glyph");
    ASSERT_EQ(g.size(), 3u);  // at the three sharps' places, from 2 left of x
    EXPECT_EQ(Codes(g), (std::vector<int>{48, 48, 48}));
    EXPECT_EQ(g[0].x1, 198);
    EXPECT_EQ(g[1].x1, 206);
    EXPECT_EQ(g[0].y1, 200 - 4 * 4);  // the first sharp of a treble key is step 4
    EXPECT_EQ(g[1].y1, 200 - 4 * 1);

    Key(300, -2);
    EXPECT_EQ(Codes(Draw(Last()).of("glyph")), (std::vector<int>{44, 44}));  // after a key of 0
    score.stave(s).h.Nobjec = 0;
    Key(100, 3);
    Key(200, -2);
    EXPECT_EQ(Codes(Draw(Last()).of("glyph")), (std::vector<int>{44, 44}));
    score.object(s, Last()).data.keysig.naturalsOnChange = 1;
    auto cancelled = Draw(Last()).of("glyph");
    ASSERT_EQ(cancelled.size(), 5u);
    EXPECT_EQ(cancelled[3].code, 44);
    EXPECT_EQ(cancelled[3].x1, 198 + 3 * 8 + 2);  // the flats start where the naturals end

    // A key of nothing with no key before it shows only on screen, in the
    // non-printing colour; out-of-range keys draw nothing.
    score.stave(s).h.Nobjec = 0;
    Key(100, 0);
    auto hint = Draw(1).of("glyph");
    ASSERT_EQ(hint.size(), 1u);
    EXPECT_EQ(hint[0].colour, settings.colours.nonprinting);
    EXPECT_TRUE(Draw(1, 0, true).calls().empty());
    Key(150, 9);
    EXPECT_TRUE(Draw(2).calls().empty());
}

TEST_F(ObjectDrawing, TimeSignatureDigitsCentreOnTheirPlaces) {
    ScoreObject* t = PlaceObject(score, s, kCommonTime, 100, 192);
    t->data.commonTime.code = 14;  // 12 over 8
    auto g = Draw(1).of("glyph");
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].code, 9);
    EXPECT_EQ(g[0].x1, 102 - 5);
    EXPECT_EQ(g[1].code, 10);
    EXPECT_EQ(g[1].x1, 102 + 5);
    EXPECT_EQ(g[2].code, 16);
    EXPECT_EQ(g[2].y1, 192 + 16);
    // Two digits sit either side of the centre by half the other's width + 4.
    ScoreObject* f = PlaceObject(score, s, kTimesig, 200, 192);
    f->data.timesig = {12, 8, 0, 0};
    auto d = Draw(2).of("glyph");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].x1, 205 - (GlyphInkWidth(10) + 4) / 2);
    EXPECT_EQ(d[1].x1, 205 + (GlyphInkWidth(9) + 4) / 2);
}

TEST_F(ObjectDrawing, BarLinesOfAJoinedGroupAreGreyBelowTheTopOnScreenOnly) {
    int below = AppendStave(score, 280, 0, 800);
    score.stave(s).h.joinToNext = true;
    PlaceObject(score, s, kBarline, 100, 200);
    auto screen = Draw(1).of("glyph");
    ASSERT_EQ(screen.size(), 2u);
    EXPECT_EQ(screen[0].colour, 0u);
    EXPECT_EQ(screen[1].colour, kLightGrey);
    EXPECT_EQ(screen[1].y1, 280);
    // In print a single bar becomes a solid bar on each stave, all black.
    RecordingSurface print = Draw(1, 0, true);
    EXPECT_EQ(print.of("bar").size(), 2u);
    EXPECT_TRUE(print.of("glyph").empty());
    // A bar line on a lower stave of a group is drawn by the top stave only.
    PlaceObject(score, below, kBarline, 100, 280);
    RecordingSurface none;
    LayOut();
    DrawObject(none, score, below, 1, DrawRequest{}, settings);
    EXPECT_TRUE(none.calls().empty());
}

TEST_F(ObjectDrawing, RestDotsAndLedgerLinesGoWhereTheRulesPutThem) {
    for (int value : {3, 5}) {
        ScoreObject* r = PlaceNote(score, s, 100, 0, value, 2);
        r->note().rest = 1;
        r->note().dots = 1;
    }
    auto crotchet = Draw(1).of("glyph");
    ASSERT_EQ(crotchet.size(), 2u);
    EXPECT_EQ(crotchet[1].x1, 100);
    EXPECT_EQ(crotchet[1].y1, 199);
    // A semiquaver rest's dot is in the space of its top hook, as a quaver's;
    // a demisemiquaver's reaches a space higher.
    auto semi = Draw(2).of("glyph");
    EXPECT_EQ(semi[1].x1, 104);
    EXPECT_EQ(semi[1].y1, 200 - 1);
    score.object(s, 2).note().noteValue = 6;
    EXPECT_EQ(Draw(2).of("glyph")[1].y1, 200 - 8 - 1);

    // Ledger lines at every even step out to the note.
    PlaceNote(score, s, 200, 8, 3, 1);
    PlaceNote(score, s, 300, 7, 3, 1);
    PlaceNote(score, s, 400, -9, 3, 0);
    auto ledgers = [&](int i) {
        std::vector<double> ys;
        for (const auto& l : Draw(i).of("line"))
            if (l.y1 == l.y2 && l.x2 - l.x1 == 17) ys.push_back(l.y1);
        return ys;
    };
    EXPECT_EQ(ledgers(3), (std::vector<double>{200 - 24 - 1, 200 - 32 - 1}));
    EXPECT_EQ(ledgers(4), (std::vector<double>{200 - 24 - 1}));
    EXPECT_EQ(ledgers(5), (std::vector<double>{200 + 24 - 1, 200 + 32 - 1}));
}

TEST_F(ObjectDrawing, ShortStemsShrinkTheirFlag) {
    ScoreObject* n = PlaceNote(score, s, 100, -2, 4, 0);
    ValidateNotesAt(score, s, 100, false);
    n->note().stemEndY = n->note().stemStartY - 14;
    auto flags = Draw(1).of("glyph");
    auto flag =
        std::find_if(flags.begin(), flags.end(), [](const auto& c) { return c.code == 28; });
    ASSERT_NE(flag, flags.end());
    EXPECT_DOUBLE_EQ(flag->factor, 0.5);
    // Reference 5 left of and 33 below the stem end, moved up by 14 and right by 1.
    EXPECT_EQ(flag->x1, n->note().stemEndX - 5 + 1);
    EXPECT_EQ(flag->y1, n->note().stemEndY + 33 - 14);
    // A stem of no length shows no flag at all.
    n->note().stemEndY = n->note().stemStartY;
    for (const auto& c : Draw(1).of("glyph"))
        EXPECT_NE(c.code, 28);
}

TEST_F(ObjectDrawing, TiesArchByTheirWidth) {
    EXPECT_EQ(TieHeight(4), 2);
    EXPECT_EQ(TieHeight(6), 2);
    EXPECT_EQ(TieHeight(100), 9);
    EXPECT_EQ(TieHeight(300), 9);
    EXPECT_EQ(TieHeight(53), 2 + 4);  // 7 * 47 / 94 = 3.5 rounds to even
    int a = Last() + 1;
    PlaceNote(score, s, 100, 1, 3, 1);
    PlaceNote(score, s, 160, 1, 3, 1);
    score.object(s, a).note().tieRight = static_cast<uint8_t>(a + 1);
    score.object(s, a + 1).note().tieLeft = static_cast<uint8_t>(a);
    auto curves = Draw(a + 1).of("curve");
    ASSERT_EQ(curves.size(), 1u);
    const auto& p = curves[0].points;
    ASSERT_EQ(p.size(), 3u);
    EXPECT_LT(p[1].y(), p[0].y());  // stems down: the tie arches over
    // A pixel thick on screen, six print pixels in print.
    EXPECT_EQ(curves[0].width, 1);
    const auto printed = Draw(a + 1, 0, true).of("curve");
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].width, 6);
}

TEST_F(ObjectDrawing, BeamsClampTheirSlopeAndHookLoneLevels) {
    // A semiquaver beamed to a quaver far above it.
    ScoreObject* a = PlaceNote(score, s, 100, -6, 5, 0);
    ScoreObject* b = PlaceNote(score, s, 130, 6, 4, 0);
    a->note().beamOnTo = 2;
    b->note().beamBackTo = 1;
    RecordingSurface rec = Draw(2);
    auto polys = rec.of("polygon");
    ASSERT_EQ(polys.size(), 2u);  // the shared beam and the semiquaver's hook
    const auto& beam = polys[0].points;
    const double slope = double(beam[1].y() - beam[0].y()) / (beam[1].x() - beam[0].x());
    EXPECT_NEAR(slope, -0.4, 0.05);
    const auto& hook = polys[1].points;
    EXPECT_EQ(hook[0].x(), a->note().stemStartX);  // the first note hooks to the right
    EXPECT_EQ(hook[1].x() - hook[0].x(), 9 + 1);
    // A partner on the stave below at the same x (as between tidyings) gives a
    // flat beam, not a division by zero.
    int below = AppendStave(score, 300, 0, 800);
    ScoreObject* c = PlaceNote(score, below, 100, 0, 4, 0);
    a->note().beamOnTo = 1;
    a->note().beamOnDown = 1;
    c->note().beamBackTo = 1;
    c->note().beamBackUp = 1;
    b->note().beamBackTo = 0;
    RecordingSurface cross;
    LayOut();
    DrawObject(cross, score, below, 1, DrawRequest{}, settings);
    auto flat = cross.of("polygon");
    ASSERT_FALSE(flat.empty());
    EXPECT_EQ(flat[0].points[0].y(), flat[0].points[1].y());
}

// The rows a glyph inks when drawn at y on a normal stave.
std::pair<int, int> InkRows(int code, int y) {
    const GlyphBox b = GlyphInkBox(code);
    const int at = y + ScreenNudge(code).y - kScreenCellH / 2;
    return {at + b.top, at + b.bottom};
}
// The last column a glyph inks when drawn at x on a normal stave.
int InkRight(int code, int x) {
    return x + ScreenNudge(code).x - kScreenCellW / 2 - 1 + GlyphInkBox(code).right;
}
const RecordingSurface::Call* Find(const std::vector<RecordingSurface::Call>& calls, int code) {
    for (const auto& c : calls)
        if (c.code == code) return &c;
    return nullptr;
}

TEST_F(ObjectDrawing, AMarkWithAStaccatoStandsBeyondItClearOfItsInk) {
    // Stem up the marks hang below the head, stem down they stand above it;
    // on a line and in a space.
    for (int stem : {0, 1})
        for (int pitch : {2, 1, 0})
            for (int emphasis : {1, 2}) {
                const SCOPED_TRACE(testing::Message() << "stem " << stem << " pitch " << pitch
                                                      << " emphasis " << emphasis);
                score.stave(s).h.Nobjec = 0;
                ScoreObject* n = PlaceNote(score, s, 100, stem ? pitch : -pitch, 3, stem);
                n->note().staccato = 1;
                n->note().emphasis = static_cast<uint8_t>(emphasis);
                const auto glyphs = Draw(1).of("glyph");
                const auto* dot = Find(glyphs, glyph::STACCATO);
                const auto* mark = Find(glyphs, emphasis == 1 ? glyph::TENUTO : glyph::ACCENT);
                ASSERT_TRUE(dot && mark);
                const int head = n->y;
                EXPECT_LT(std::abs(dot->y1 - head), std::abs(mark->y1 - head));
                const auto d = InkRows(glyph::STACCATO, int(dot->y1));
                const auto m = InkRows(mark->code, int(mark->y1));
                // At least one blank row between the two inks.
                EXPECT_GE(stem ? d.first - m.second : m.first - d.second, 2);
                if (emphasis == 1) {
                    // A tenuto keeps a row clear of the stave lines (rows 183,
                    // 191, ... 215), not to hide in one or thicken it.
                    const int row = m.first, off = (row - 183 + 80) % 8;
                    EXPECT_FALSE(row >= 182 && row <= 216 && (off <= 1 || off == 7)) << row;
                }
            }
}

TEST_F(ObjectDrawing, ATieFromThePreviousSystemStartsAfterTheKeysInk) {
    for (int key : {2, 3, 7, -3, -7}) {
        const SCOPED_TRACE(key);
        score.stave(s).h.Nobjec = 0;
        PlaceObject(score, s, kClef, 40, 200)->data.clef.type = 0;
        Key(70, key);
        ScoreObject* n = PlaceNote(score, s, 160, 1, 3, 1);
        n->note().tieLeft = 255;
        int inkRight = 0;
        for (const auto& g : Draw(2).of("glyph"))
            inkRight = std::max(inkRight, InkRight(g.code, int(g.x1)));
        const auto curves = Draw(3).of("curve");
        ASSERT_EQ(curves.size(), 1u);
        EXPECT_GT(curves[0].points.front().x(), inkRight + 1);
        EXPECT_EQ(curves[0].points.back().x(), 160 - 6);
    }
}

TEST_F(ObjectDrawing, TremoloStrokesRiseFollowTheirBeamAndStandClearOfWholeHeads) {
    // A crotchet's strokes rise to the right, each three lines thick, on its
    // stem clear of the head (rows 204..211).
    ScoreObject* c = PlaceNote(score, s, 100, -2, 3, 0);
    c->note().tremuloBars = 2;
    const auto lines = Draw(1).of("line");
    ASSERT_EQ(lines.size(), 2u * 3 + 1);  // the stem, then the strokes
    for (std::size_t k = 1; k < lines.size(); ++k) {
        EXPECT_LT(lines[k].x1, lines[k].x2);
        EXPECT_GT(lines[k].y1, lines[k].y2);
        EXPECT_LT(std::max(lines[k].y1, lines[k].y2) + 1, 204 - 1);
    }
    // A semibreve's strokes stand above its head, beyond it.
    ScoreObject* w = PlaceNote(score, s, 200, -2, 1, 0);
    w->note().tremuloBars = 3;
    const auto whole = Draw(2).of("line");
    ASSERT_EQ(whole.size(), 9u);
    for (const auto& l : whole)
        EXPECT_LT(std::max(l.y1, l.y2) + 1, 204 - 1);
    // Beamed quavers' strokes lie along their beam.
    const int a = Last() + 1;
    PlaceNote(score, s, 300, -4, 4, 0)->note().tremuloBars = 2;
    PlaceNote(score, s, 330, 0, 4, 0)->note().tremuloBars = 2;
    score.object(s, a).note().beamOnTo = static_cast<uint8_t>(a + 1);
    score.object(s, a + 1).note().beamBackTo = static_cast<uint8_t>(a);
    const auto beam = Draw(a + 1).of("polygon");
    ASSERT_FALSE(beam.empty());
    const auto& corner = beam[0].points;
    const double slope = double(corner[1].y() - corner[0].y()) / (corner[1].x() - corner[0].x());
    ASSERT_LT(slope, -0.1);
    const auto strokes = Draw(a).of("line");
    ASSERT_EQ(strokes.size(), 3u);
    for (const auto& l : strokes)
        EXPECT_NEAR((l.y2 - l.y1) / (l.x2 - l.x1), slope, 0.05);
}

TEST_F(ObjectDrawing, SmallStavesCentreTheirTimeAndDrawRestDotsToTheirSize) {
    score.stave(s).h.sizeIndex = 1;  // lines at 190, 195, 200, 205, 210
    ScoreObject* t = PlaceObject(score, s, kTimesig, 100, 192);
    t->data.timesig = {3, 4, 0, 0};
    PlaceObject(score, s, kCommonTime, 140, 192)->data.commonTime.code = 6;  // 3 over 4
    for (int i : {1, 2}) {
        const auto g = Draw(i).of("glyph");
        ASSERT_EQ(g.size(), 2u);
        EXPECT_EQ(g[0].y1, 200 - 5) << i;  // numerator in the upper half of the stave
        EXPECT_EQ(g[1].y1, 200 + 5) << i;
    }
    ScoreObject* r = PlaceNote(score, s, 200, 0, 4, 2);
    r->note().rest = 1;
    r->note().dots = 1;
    const auto rest = Draw(3).of("glyph");
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_TRUE(rest[1].small);
}

TEST_F(ObjectDrawing, ABrevesLedgerLinesReachBeyondItsHead) {
    ScoreObject* b = PlaceNote(score, s, 100, 8, 0, 3);
    const GlyphBox box = GlyphInkBox(glyph::BREVE);
    const int left = b->x - kScreenCellW / 2 - 1 + box.left,
              right = b->x - kScreenCellW / 2 - 1 + box.right;
    const auto lines = Draw(1).of("line");
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) {
        EXPECT_LT(l.x1, left - 1);
        EXPECT_GT(l.x2, right + 2);
    }
}

TEST_F(ObjectDrawing, ColourRules) {
    ScoreObject* n = PlaceNote(score, s, 100, 0, 3, 1);
    n->note().durMod = 3;
    n->note().durMod2 = 2;
    for (const auto& c : Draw(1).of("glyph"))
        EXPECT_EQ(c.colour, settings.colours.modnote);
    n->note().durMod2 = 3;
    n->invisible = 1;
    // Invisible objects: as asked on a page drawing, magenta when the editor
    // redraws them in ink, absent from print.
    for (const auto& c : Draw(1, 0, false, true).of("glyph"))
        EXPECT_EQ(c.colour, 0u);
    for (const auto& c : Draw(1, 0, false, false).of("glyph"))
        EXPECT_EQ(c.colour, kMagenta);
    EXPECT_TRUE(Draw(1, 0, true).calls().empty());
    n->invisible = 0;
    // Print is black whatever the colour asked.
    for (const auto& c : Draw(1, 0x0000FF, true).of("line"))
        EXPECT_EQ(c.colour, 0u);
}

TEST_F(ObjectDrawing, DamagedDataDrawsNothingRatherThanIndexingPastATable) {
    ScoreObject* clef = PlaceObject(score, s, kClef, 100, 200);
    clef->data.clef.type = 7;
    ScoreObject* rest = PlaceNote(score, s, 150, 0, 9, 2);
    rest->note().rest = 1;
    ScoreObject* bar = PlaceObject(score, s, kBarline, 200, 200);
    bar->data.barline.style = 30;
    score.stave(s).h.lineCount = 9;
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(Draw(i).calls().empty()) << i;
    // A curve chain that loops is walked once.
    int c1 = Last() + 1;
    PlaceObject(score, s, kCurve, 300, 190)->curve().nextAnchor = static_cast<uint8_t>(c1 + 1);
    ScoreObject* c2 = PlaceObject(score, s, kCurve, 340, 180);
    c2->curve().prevAnchor = static_cast<uint8_t>(c1);
    c2->curve().nextAnchor = static_cast<uint8_t>(c1 + 1);
    auto curve = Draw(c1).of("curve");
    ASSERT_EQ(curve.size(), 1u);
    EXPECT_EQ(curve[0].points.size(), 2u);
}

// A white picture at screen or print scale with objects of a score drawn on it.
struct Drawing {
    GlyphStore glyphs;
    QImage picture(const Score& score, const std::vector<std::pair<int, int>>& objects, bool print,
                   int width = 400, int height = 400) {
        const int k = print ? 3 : 1;
        QImage img(width * k, height * k, QImage::Format_RGB32);
        img.fill(Qt::white);
        PictureSurface out(PictureContext(img, glyphs, print));
        for (const auto& [st, i] : objects)
            DrawObject(out, score, st, i, DrawRequest{}, DrawSettings{});
        return img;
    }
};

bool Inked(const QImage& img, int x, int y) {
    return x >= 0 && y >= 0 && x < img.width() && y < img.height() &&
           (img.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
}

// The runs of ink along row y, as [first, last] column pairs.
std::vector<std::pair<int, int>> RunsAlong(const QImage& img, int y) {
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < img.width(); ++x)
        if (Inked(img, x, y)) {
            if (runs.empty() || runs.back().second != x - 1)
                runs.push_back({x, x});
            else
                runs.back().second = x;
        }
    return runs;
}

// How many separate pieces of ink (touching by side or corner) the picture holds.
int Pieces(const QImage& img) {
    std::vector<char> seen(static_cast<std::size_t>(img.width() * img.height()), 0);
    int pieces = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!Inked(img, x, y) || seen[y * img.width() + x]) continue;
            ++pieces;
            std::vector<std::pair<int, int>> todo{{x, y}};
            seen[y * img.width() + x] = 1;
            while (!todo.empty()) {
                const auto [cx, cy] = todo.back();
                todo.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = cx + dx, ny = cy + dy;
                        if (!Inked(img, nx, ny) || seen[ny * img.width() + nx]) continue;
                        seen[ny * img.width() + nx] = 1;
                        todo.push_back({nx, ny});
                    }
            }
        }
    return pieces;
}

TEST(ObjectDrawingPicture, BarLinesMeetTheirJoinsAndPrintThinLinesThin) {
    Drawing d;
    for (int size : {0, 1})
        for (int style = 0; style <= 5; ++style)
            for (bool print : {false, true}) {
                const SCOPED_TRACE(testing::Message() << "style " << style << (size ? " small" : "")
                                                      << (print ? " print" : ""));
                Score score;
                const int upper = AppendStave(score, 100, 0, 400),
                          lower = AppendStave(score, 200, 0, 400);
                for (int st : {upper, lower})
                    score.stave(st).h.sizeIndex = static_cast<uint8_t>(size);
                score.stave(upper).h.joinToNext = score.stave(upper).h.barlineThrough = true;
                PlaceObject(score, upper, kBarline, 200, 100)->data.barline.style =
                    static_cast<uint8_t>(style);
                const QImage img = d.picture(score, {{upper, 1}}, print);
                const int k = print ? 3 : 1, sp = size ? 5 : 8;
                // A row in the top space of each stave, and one in the join.
                const int inUpper = k * (100 - 2 * sp + 2), join = k * 150,
                          inLower = k * (200 - 2 * sp + 2);
                const auto runs = RunsAlong(img, inUpper);
                ASSERT_FALSE(runs.empty());
                EXPECT_EQ(RunsAlong(img, join), runs);
                EXPECT_EQ(RunsAlong(img, inLower), runs);
                // In print a thin line is a screen pixel wide, a thick one a
                // bit under five.
                for (const auto& [from, to] : runs) {
                    if (!print) continue;
                    EXPECT_TRUE(to - from + 1 == 3 || to - from + 1 == 14) << from << ".." << to;
                }
            }
    // A small stave's bar runs from its top line to its bottom line, no further.
    Score score;
    const int s = AppendStave(score, 100, 0, 400);
    score.stave(s).h.sizeIndex = 1;
    PlaceObject(score, s, kBarline, 200, 100);
    const QImage img = d.picture(score, {{s, 1}}, true);
    int top = INT32_MAX, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        if (Inked(img, 601, y)) top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_EQ(top, 3 * (100 - 10) - 1);  // the three print rows of each line
    EXPECT_EQ(bottom, 3 * (100 + 10) + 1);
}

TEST(ObjectDrawingPicture, NotesHoldTogetherAndTheirDotsStandApart) {
    Drawing d;
    for (bool print : {false, true}) {
        const SCOPED_TRACE(print ? "print" : "screen");
        // A dotted flagged note, stem up, on a line and in a space: the dot is
        // a piece of its own, clear of the flag.
        for (int value = 4; value <= 7; ++value)
            for (int pitch : {-2, -1}) {
                Score score;
                const int s = AppendStave(score, 200, 0, 400);
                PlaceNote(score, s, 100, pitch, value, 0)->note().dots = 1;
                LayOutStaveGeometry(score, s);
                EXPECT_EQ(Pieces(d.picture(score, {{s, 1}}, print, 160, 240)), 2)
                    << "value " << value << " pitch " << pitch;
            }
        // Diamond and slash heads, and beamed grace notes, meet their stems.
        for (int stem : {0, 1}) {
            for (int head : {2, 5}) {
                Score score;
                const int s = AppendStave(score, 200, 0, 400);
                PlaceNote(score, s, 100, stem ? 1 : -1, 3, stem)->note().head =
                    static_cast<uint8_t>(head);
                LayOutStaveGeometry(score, s);
                EXPECT_EQ(Pieces(d.picture(score, {{s, 1}}, print, 160, 240)), 1)
                    << "head " << head << " stem " << stem;
            }
            Score score;
            const int s = AppendStave(score, 200, 0, 400);
            for (int x : {100, 116}) {
                PlaceNote(score, s, x, stem ? 1 : -1, 4, stem)->note().headSize = 5;
            }
            score.object(s, 1).note().beamOnTo = 2;
            score.object(s, 2).note().beamBackTo = 1;
            LayOutStaveGeometry(score, s);
            EXPECT_EQ(Pieces(d.picture(score, {{s, 1}, {s, 2}}, print, 160, 240)), 1)
                << "graces " << stem;
            // Each with the small head, not a dot.
            RecordingSurface rec;
            DrawObject(rec, score, s, 1, DrawRequest{}, DrawSettings{});
            ASSERT_FALSE(rec.of("glyph").empty());
            EXPECT_EQ(rec.of("glyph")[0].code, glyph::SMALL_HEAD_BLACK);
        }
    }
}

TEST(ObjectDrawingPicture, HeadsOnASmallStaveSitOnTheirLine) {
    Drawing d;
    Score score;
    const int s = AppendStave(score, 100, 0, 400);
    score.stave(s).h.sizeIndex = 1;
    int i = 0;
    for (int value : {1, 2, 3}) {
        PlaceNote(score, s, 60 + 40 * ++i, 0, value, 2);
        LayOutStaveGeometry(score, s);
        const QImage img = d.picture(score, {{s, i}}, false);
        int top = INT32_MAX, bottom = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Inked(img, x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
        // The middle line is row 99: as much of the head above it as below.
        EXPECT_LE(std::abs((top + bottom) - 2 * 99), 1) << "value " << value;
    }
}

TEST(ObjectDrawingPicture, GalleryDrawsEveryObjectAtBothScales) {
    GlyphStore glyphs;
    Score score = BuildGalleryScore();
    for (int st = 1; st <= score.Nstaves; ++st)
        LayOutStaveGeometry(score, st);
    for (bool print : {false, true}) {
        const int k = print ? 3 : 1;
        QImage img(kGalleryWidth * k, (score.stave(score.Nstaves).h.Ycoord + 60) * k,
                   QImage::Format_RGB32);
        img.fill(Qt::white);
        DrawContext ctx;
        ctx.glyphs = &glyphs;
        ctx.printMode = print;
        (print ? ctx.print : ctx.screen) = &img;
        PictureSurface out(ctx);
        DrawSettings settings;
        for (int st = 1; st <= score.Nstaves; ++st)
            for (int i = 1; i <= score.stave(st).h.Nobjec; ++i) {
                const ScoreObject& o = score.object(st, i);
                // Drawn by another object: continuation chunks, later curve
                // points, bar lines of lower staves in a group.
                const bool byAnother =
                    (HasTextLayout(o.kind) && (o.text().textFlags & 0x80)) ||
                    (o.kind == kCurve && o.curve().prevAnchor != 0) ||
                    (o.kind == kBarline && st > 1 && score.stave(st - 1).h.joinToNext);
                QImage before = print || byAnother ? QImage() : img.copy();
                DrawObject(out, score, st, i, DrawRequest{}, settings);
                if (!before.isNull()) {
                    EXPECT_NE(before, img)
                        << "stave " << st << " object " << i << " kind " << int(o.kind);
                }
            }
        // Print is black and white only.
        if (print)
            for (int y = 0; y < img.height(); y += 7)
                for (int x = 0; x < img.width(); x += 3) {
                    QRgb p = img.pixel(x, y);
                    ASSERT_TRUE(p == 0xFF000000u || p == 0xFFFFFFFFu) << x << "," << y;
                }
    }
}

}  // namespace
}  // namespace sw
