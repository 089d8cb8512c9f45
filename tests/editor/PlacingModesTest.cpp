// The placing modes driven as a user drives them, through the controller:
// texts and lyrics, symbols, lines, curves, hairpins and shapes, with the
// limits of a full stave; and the palettes' models.
#include <gtest/gtest.h>

#include "core/ScriptedHost.h"
#include "editor/DocumentController.h"
#include "editor/HeadlessView.h"
#include "editor/UndoStorage.h"
#include "fileio/ScoreFile.h"
#include "layout/PageGeometry.h"
#include "model/Build.h"
#include "support/EditorFixture.h"

namespace sw {
namespace {

constexpr int32_t kTop = 100, kSecond = 180;  // the middle lines of the two staves

class Placing : public test::EditorFixture {
  protected:
    // Two staves on page 1; `fill` objects already on each; notes on stave
    // 1 at `notes` (x positions).
    void Open(int level = 3, std::pair<int, int> fill = {0, 0}, std::vector<int32_t> notes = {}) {
        Score s;
        const int w = ComputePageGeometry(s).width;
        AppendStave(s, kTop, 20, w - 5);
        AppendStave(s, kSecond, 20, w - 5);
        for (int32_t x : notes)
            PlaceNote(s, 1, x, 0, 3);
        for (int st : {1, 2})
            for (int k = 0; k < (st == 1 ? fill.first : fill.second); ++k)
                PlaceObject(s, st, kTrill, 500, st == 1 ? kTop : kSecond, 142);
        OpenScore(s, level, "placing.swn");
    }
    // Characters as the script's `type` gives them: a capital with Shift.
    void Type(const std::string& text) {
        for (char c : text)
            d->key(c == ' '               ? std::string("Space")
                   : c >= 'A' && c <= 'Z' ? "Shift+" + std::string(1, c)
                                          : std::string(1, c));
    }
    void Drag(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        Mouse(PointerEvent::Move, x1, y1);
        Mouse(PointerEvent::Press, x1, y1);
        Mouse(PointerEvent::Move, x2, y2);
        Mouse(PointerEvent::Release, x2, y2);
    }
    // The live objects of kind `kind` on stave s, in slot order.
    std::vector<const ScoreObject*> Of(int s, int kind) const {
        std::vector<const ScoreObject*> out;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kind) out.push_back(&b.obj[i]);
        return out;
    }
    // The first piece of the text whose chain reads `text`.
    const ScoreObject* Word(int s, const std::string& text) const {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (IsTextLike(b.obj[i].kind) && !(b.obj[i].text().textFlags & 0x80) &&
                ChainText(b, i) == text)
                return &b.obj[i];
        return nullptr;
    }
    const PlacingOverlay& Overlay() const { return d->ui().overlay; }
};

// ---------------------------------------------------------------------------
// Text

TEST_F(Placing, WordsGoWhereTheyBeganAndLongWordsContinue) {
    Open();
    d->run(Action::TextMode);
    ASSERT_EQ(d->mode(), kModeText);
    Type("Allegro moderato");
    // The provisional text stands up and to the left of the caret.
    ASSERT_TRUE(Overlay().text);
    EXPECT_EQ(Overlay().text->x, 100);
    EXPECT_EQ(Overlay().text->y, kTop - 16 - 14);
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeMusic);
    ASSERT_EQ(Of(1, kText).size(), 2u);
    const ScoreObject* allegro = Word(1, "Allegro");
    const ScoreObject* moderato = Word(1, "moderato");
    ASSERT_TRUE(allegro && moderato);
    EXPECT_EQ(allegro->x, 100);
    EXPECT_EQ(allegro->y, kTop - 16 - 14);
    EXPECT_EQ(moderato->x, 100 + 7 * 8) << "after the word and its space";
    EXPECT_EQ(moderato->y, allegro->y);
    EXPECT_TRUE(d->modified());

    // Twenty letters: ten at the word's place, ten in a piece of their own.
    d->setCursorX(300);
    d->run(Action::TextMode);
    Type("abcdefghijklmnopqrst");
    d->key("Enter");
    const ScoreObject* head = Word(1, "abcdefghijklmnopqrst");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->chunk(), "abcdefghij");
    const ScoreObject& rest = score.object(1, head->text().nextChunk);
    EXPECT_EQ(rest.chunk(), "klmnopqrst");
    EXPECT_TRUE(rest.text().textFlags & 0x80);
    EXPECT_EQ(rest.text().nextChunk, 0);
    EXPECT_EQ(rest.x, 0);
    EXPECT_EQ(rest.y, 0);
    EXPECT_EQ(Of(1, kText).size(), 4u);

    // Each stored text is one step back.
    d->key("Ctrl+Z");
    EXPECT_EQ(Of(1, kText).size(), 2u);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, LinesFontsAndTheKeysOfText) {
    Open();
    d->run(Action::TextMode);
    Type("One");
    d->key("Ctrl+Enter");
    EXPECT_EQ(d->mode(), kModeText) << "a new line stays in the text";
    Type("Two");
    d->key("Ctrl+C");  // the copyright sign, not Add Clef
    d->key("Ctrl+S");  // a sharp, not Save
    EXPECT_EQ(Overlay().text->bytes, "Two\xA9\x1B");
    d->key("Backspace");
    d->key("Ctrl+]");  // a point larger: the left edge stays
    EXPECT_EQ(d->ui().tools.textFont.size, 13);
    EXPECT_EQ(Overlay().text->x, 100);
    d->key("Left");
    d->key("Ctrl+Up");
    EXPECT_EQ(Overlay().text->x, 99);
    d->run(Action::TextBoxed);
    EXPECT_TRUE(Overlay().text->boxed);
    d->key("Enter");
    const ScoreObject* one = Word(1, "One");
    const ScoreObject* two = Word(1, "Two\xA9");
    ASSERT_TRUE(one && two);
    EXPECT_EQ(two->y, one->y + 14 - 5) << "a text height down, then 5 up";
    EXPECT_EQ(two->x, 99);
    EXPECT_EQ(two->text().textFlags, 8) << "boxed";
    EXPECT_EQ(score.fonts[two->text().fontNumber].size, 13);
    EXPECT_EQ(score.fonts[one->text().fontNumber].size, 12);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, CharactersOutsideTheCodePageAreRefused) {
    Open();
    d->run(Action::TextMode);
    EXPECT_TRUE(d->typeCharacter(U'\u00E9'));  // é has a byte
    host.expectMessage("cannot be kept in a score's text");
    EXPECT_TRUE(d->typeCharacter(U'\u4E2D'));
    EXPECT_TRUE(d->typeCharacter(U'\u20AC'));  // the euro sign is 0x80
    d->key("Enter");
    EXPECT_NE(Word(1, "\xE9\x80"), nullptr);
    EXPECT_FALSE(d->typeCharacter(U'x')) << "Music types no characters";
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, AbandoningAskesBeginnersWithMoreThanSixCharacters) {
    Open(1);
    d->run(Action::TextMode);
    Type("seven c");
    host.expectMessage("Abort text mode?", Answer::No);
    d->run(Action::Escape);
    EXPECT_EQ(d->mode(), kModeText);
    host.expectMessage("Abort text mode?", Answer::Yes);
    d->run(Action::AbortText);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(Of(1, kText).empty());
    EXPECT_FALSE(d->modified());
    // Six characters go without a question; Music from the menu keeps them.
    d->run(Action::TextMode);
    Type("sixsix");
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    d->run(Action::TextMode);
    Type("kept");
    d->run(Action::EnterMusic);
    EXPECT_NE(Word(1, "kept"), nullptr);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, LyricSyllablesSitUnderTheirNotesWithTheHyphenBetween) {
    Open(3, {0, 0}, {100, 160, 220});
    d->run(Action::Lyric);
    ASSERT_EQ(d->mode(), kModeText);
    EXPECT_TRUE(d->ui().action("tbLyric").checked);
    Type("hap-py");
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_FALSE(d->ui().tools.lyric);
    const ScoreObject* hap = Word(1, "hap");
    const ScoreObject* py = Word(1, "py");
    const ScoreObject* hyphen = Word(1, "-");
    ASSERT_TRUE(hap && py && hyphen);
    // Centred: "hap" on 100, "py" on 160, 20 pixels under the stave.
    EXPECT_EQ(hap->x, 100 - 10);
    EXPECT_EQ(py->x, 160 - 7);
    EXPECT_EQ(hap->y, kTop + 16 + 20);
    EXPECT_EQ(py->y, hap->y);
    EXPECT_EQ(hyphen->y, hap->y);
    // Centred midway between the end of "hap" (111) and the start of "py"
    // (153): (111 + 153 - 7) / 2, the half to even.
    EXPECT_EQ(hyphen->x, 128);
    EXPECT_EQ(Of(1, kText).size(), 3u);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, LyricsMoveOnNoteByNoteAndEndAfterTheLast) {
    // Notes closer than a wide syllable: each still gets its own.
    Open(3, {0, 0}, {100, 120});
    d->run(Action::Lyric);
    Type("sing-");
    EXPECT_EQ(Overlay().text->x, 120) << "the caret waits under the next note";
    Type("la ");
    EXPECT_FALSE(d->ui().tools.lyric) << "no note left";
    Type("fin");
    d->key("Enter");
    ASSERT_NE(Word(1, "sing"), nullptr);
    const ScoreObject* fin = Word(1, "fin");
    ASSERT_NE(fin, nullptr);
    EXPECT_EQ(fin->x, Word(1, "la")->x + 7 * 3) << "after the syllable and its space";
    EXPECT_EQ(Of(1, kText).size(), 4u);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, AHyphenKeptWithoutRoomAndAnEmptiedPieceRemoved) {
    // 247 objects: the two words take the last two places, the hyphen finds none.
    Open(3, {247, 0});
    d->run(Action::TextMode);
    Type("ab- cd");
    d->key("Enter");
    EXPECT_NE(Word(1, "ab-"), nullptr);
    EXPECT_EQ(Word(1, "-"), nullptr);
    EXPECT_EQ(score.stave(1).count(), 249);

    // An eleven-letter word loses its hyphen piece, which becomes the hyphen.
    d->setCurrentStave(2);
    d->run(Action::TextMode);
    Type("abcdefghij- k");
    d->key("Enter");
    const ScoreObject* word = Word(2, "abcdefghij");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->text().nextChunk, 0);
    ASSERT_NE(Word(2, "-"), nullptr);
    EXPECT_NE(Word(2, "k"), nullptr);
    EXPECT_EQ(Of(2, kText).size(), 3u);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, AWordGoesInWholeOrNotAtAll) {
    // 247 objects: "ab" fits, "abcdefghijklm" needs two places and gets one.
    Open(3, {247, 230});
    d->run(Action::TextMode);
    Type("ab abcdefghijklm zz");
    host.expectWarning("Stave too complex to save all the text.");
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_NE(Word(1, "ab"), nullptr);
    EXPECT_EQ(Of(1, kText).size(), 1u) << "nothing of the word that did not fit";
    EXPECT_EQ(score.stave(1).count(), 248);

    // A word of 255 characters needs 26 places: refused whole, nothing recorded.
    const bool before = undo.canUndo();
    d->setCurrentStave(2);
    d->run(Action::TextMode);
    Type(std::string(255, 'w'));
    d->key("x");  // past 255 characters nothing more is taken
    host.expectWarning("Stave too complex to save all the text.");
    d->key("Enter");
    EXPECT_TRUE(Of(2, kText).empty());
    EXPECT_EQ(score.stave(2).count(), 230);
    EXPECT_EQ(undo.canUndo(), before);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, HeaderTextsFromTheHeaderView) {
    Open();
    score.page.Header = 0.5;
    dialogs.onHeaderFooter = [](const HeaderFooterChooser&) {
        return HeaderFooterChooser::HeaderArea;
    };
    d->run(Action::HeadFoot);
    ASSERT_EQ(d->mode(), kModeHead);
    Mouse(PointerEvent::Move, 40, 30);
    d->key("\"");
    ASSERT_EQ(d->mode(), kModeText);
    EXPECT_FALSE(d->ui().action("acLyric").enabled);
    Type("Page");
    d->key("Enter");
    EXPECT_EQ(d->mode(), kModeHead);
    const ScoreObject* page = Word(0, "Page");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->kind, kHeadertext);
    EXPECT_EQ(page->x, 40);
    EXPECT_EQ(page->y, 30 - 14);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Symbols

TEST_F(Placing, SymbolsFollowTheMouseAndShiftCentresThem) {
    Open(1);
    dialogs.onSymbol = [](SymbolPaletteModel& m) { return m.choose(142); };
    Mouse(PointerEvent::Move, 200, 90);
    d->run(Action::SymbolMode);
    ASSERT_EQ(d->mode(), kModeSymbol);
    EXPECT_NE(d->ui().guidance.find("Click to place the symbol"), std::string::npos);
    ASSERT_TRUE(Overlay().object);
    EXPECT_EQ(Overlay().object->y, 90);
    Mouse(PointerEvent::Move, 210, 95, MouseButton::Left, true);
    EXPECT_EQ(Overlay().object->y, kTop) << "Shift: on the middle line";
    Mouse(PointerEvent::Move, 220, 400);
    EXPECT_EQ(Overlay().object->y, kSecond) << "kept to the range of its stave";
    Mouse(PointerEvent::Move, 230, 96, MouseButton::Left, true);
    Mouse(PointerEvent::Press, 230, 96, MouseButton::Left, true);
    EXPECT_EQ(d->mode(), kModeMusic) << "one symbol unless More than one";
    const auto placed = Of(1, kTrill);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0]->glyph, 142);
    EXPECT_EQ(placed[0]->x, 230);
    EXPECT_EQ(placed[0]->y, kTop);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, MoreThanOneSymbolWithRepeatsAndTheBeginnersWarning) {
    Open(1);
    dialogs.onSymbol = [](SymbolPaletteModel& m) {
        m.moreThanOne = true;
        return m.choose(46);  // a sharp: not the way to add one
    };
    host.expectWarning("You have chosen an accidental");
    d->run(Action::SymbolMode);
    ASSERT_EQ(d->mode(), kModeSymbol);
    d->key("Space");
    d->key("Space");
    d->key("Backspace");
    Click(150, 100);
    Click(180, 100);
    EXPECT_EQ(d->mode(), kModeSymbol);
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    const auto placed = Of(1, kTrill);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0]->data.trill.count, 1);
    // The palette abandoned: back to Music at once.
    dialogs.onSymbol = [](SymbolPaletteModel&) { return false; };
    d->run(Action::SymbolMode);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, AFullStaveTakesNoSymbol) {
    Open(3, {249, 0});
    dialogs.onSymbol = [](SymbolPaletteModel& m) { return m.choose(142); };
    d->run(Action::SymbolMode);
    host.expectMessage("Stave too complex to add this object");
    Click(150, 100);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_EQ(score.stave(1).count(), 249);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Lines

TEST_F(Placing, SeveralLinesInOneLineModeEachItsOwnUndo) {
    Open();
    d->run(Action::LineMode);
    Drag(100, 90, 200, 80);
    Mouse(PointerEvent::Press, 150, 120);
    Mouse(PointerEvent::Move, 260, 130, MouseButton::Left, true);  // Shift: level
    ASSERT_EQ(Overlay().rubberBand.size(), 1u);
    EXPECT_EQ(Overlay().rubberBand[0].y2, 120);
    Mouse(PointerEvent::Release, 260, 130);
    Click(300, 100);  // a click draws no line
    EXPECT_EQ(d->mode(), kModeLine);
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    const auto lines = Of(1, kLine);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->data.line.dx, 100);
    EXPECT_EQ(lines[0]->data.line.dy, -10);
    EXPECT_EQ(lines[0]->data.line.thickness, 1);
    EXPECT_EQ(lines[0]->data.line.dashLength, 5);
    EXPECT_EQ(lines[1]->data.line.dy, 0);
    d->key("Ctrl+Z");
    EXPECT_EQ(Of(1, kLine).size(), 1u);
    d->key("Ctrl+Z");
    EXPECT_TRUE(Of(1, kLine).empty());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, ToolButtonsRestyleTheLineUnderTheMouse) {
    Open();
    d->setDotSpacing(50);
    EXPECT_EQ(d->ui().tools.dotSpacing, 20) << "files keep 3 to 20";
    d->run(Action::LineMode);
    Drag(100, 90, 200, 90);
    Mouse(PointerEvent::Move, 300, 60);
    d->run(Action::LineThickness3);  // nothing under the mouse: the tool
    EXPECT_TRUE(d->ui().action("tbLine3").checked);
    Mouse(PointerEvent::Move, 150, 91);  // over the line's middle
    Mouse(PointerEvent::Leave, 0, 0);    // off to the tool bar
    d->run(Action::LineDashed);
    d->run(Action::LineThickness5);
    const LineData& l = Of(1, kLine)[0]->data.line;
    EXPECT_EQ(l.style, 1);
    EXPECT_EQ(l.dashLength, 5);
    EXPECT_EQ(l.thickness, 5);
    EXPECT_EQ(d->ui().tools.lineStyle, 0) << "the tool keeps its own style";
    EXPECT_TRUE(d->ui().action("tbLine3").checked);
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Curves

TEST_F(Placing, CurvePointsTooCloseAreIgnoredAndTheRestSortedByX) {
    Open();
    Mouse(PointerEvent::Move, 150, 100);
    d->run(Action::CurveMode);
    EXPECT_TRUE(Overlay().attachLine);
    Click(150, 100);
    EXPECT_FALSE(Overlay().attachLine) << "the first point ends the attachment line";
    Click(150, 100);  // on the point: nothing
    Click(153, 95);   // 3 right, 5 up: a point
    Click(155, 97);   // 2 right of it, 2 down: nothing
    Click(100, 110);
    ASSERT_EQ(Overlay().anchors.size(), 3u);
    EXPECT_EQ(Overlay().anchors[0].x, 100);
    EXPECT_EQ(Overlay().curve.size(), 3u);
    d->run(Action::CurveDotted);
    EXPECT_TRUE(Overlay().curveDotted);
    Click(200, 90, false, false, MouseButton::Right);
    EXPECT_EQ(d->mode(), kModeMusic);
    const auto anchors = Of(1, kCurve);
    ASSERT_EQ(anchors.size(), 3u);
    EXPECT_EQ(anchors[0]->x, 100);
    EXPECT_EQ(anchors[1]->x, 150);
    EXPECT_EQ(anchors[2]->x, 153);
    EXPECT_EQ(anchors[0]->curve().prevAnchor, 0);
    EXPECT_EQ(anchors[2]->curve().nextAnchor, 0);
    EXPECT_EQ(anchors[0]->curve().styleBits, 1);
    EXPECT_EQ(anchors[0]->curve().thickness, 2);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, AHundredPointsAtMostAndOneIsNoCurve) {
    Open();
    d->run(Action::CurveMode);
    for (int k = 0; k < 100; ++k)
        Click(30 + 5 * k, 100);
    host.expectMessage("Too many points in curve");
    Click(600, 100);
    EXPECT_EQ(Overlay().anchors.size(), 100u);
    host.expectMessage("Too many points in curve");
    d->key("Enter");  // Enter adds at the last mouse point, refused as well
    d->key("Esc");
    EXPECT_EQ(Of(1, kCurve).size(), 100u);

    // A single point stores nothing and leaves no record.
    d->key("Ctrl+Z");
    ASSERT_TRUE(Of(1, kCurve).empty());
    d->run(Action::CurveMode);
    Click(150, 100);
    d->run(Action::EndCurveMode);
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(Of(1, kCurve).empty());
    EXPECT_FALSE(undo.canUndo());
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, ACurveMovedToAFullStaveIsRefusedAtTheEnd) {
    Open(3, {0, 247});
    d->run(Action::CurveMode);
    Click(100, 100);
    Click(150, 90);
    Click(200, 100);
    d->key("PgDown");
    EXPECT_EQ(score.CurrentStave, 2);
    host.expectMessage("Too many points in curve");
    d->key("Esc");
    EXPECT_EQ(d->mode(), kModeMusic);
    EXPECT_TRUE(Of(2, kCurve).empty());
    EXPECT_TRUE(Of(1, kCurve).empty());
    EXPECT_HOST_CLEAN(host);
}

// ---------------------------------------------------------------------------
// Hairpins and shapes

TEST_F(Placing, AHairpinFromItsPointToItsOpenEnd) {
    Open();
    d->run(Action::HairpinMode);
    Click(100, 200);  // no drag: nothing
    EXPECT_EQ(d->mode(), kModeHairpin);
    Mouse(PointerEvent::Press, 100, 200);
    Mouse(PointerEvent::Move, 160, 190);
    ASSERT_EQ(Overlay().rubberBand.size(), 2u);
    EXPECT_EQ(Overlay().rubberBand[0].x2, 160);
    EXPECT_EQ(Overlay().rubberBand[0].y2, 190);
    EXPECT_EQ(Overlay().rubberBand[1].x2, 160);
    EXPECT_EQ(Overlay().rubberBand[1].y2, 210);
    Mouse(PointerEvent::Release, 160, 190);
    EXPECT_EQ(d->mode(), kModeMusic);
    const auto pins = Of(1, kHairpin);
    ASSERT_EQ(pins.size(), 1u);
    EXPECT_EQ(pins[0]->x, 100);
    EXPECT_EQ(pins[0]->y, 200);
    EXPECT_EQ(pins[0]->data.hairpin.length, 60);
    EXPECT_EQ(pins[0]->data.hairpin.halfOpening, -10);
    EXPECT_HOST_CLEAN(host);
}

TEST_F(Placing, ShapesFromTheirPalette) {
    Open();
    dialogs.onShape = [](ShapePaletteModel& m) { return m.choose(3); };  // solid circle
    d->run(Action::ShapeMode);
    ASSERT_EQ(d->mode(), kModeDrawing);
    Click(100, 100);
    Mouse(PointerEvent::Move, 130, 140);
    ASSERT_TRUE(Overlay().object);
    EXPECT_EQ(int{Overlay().object->data.drawobject.radiusOrWidth}, 50);
    Click(130, 140);
    EXPECT_EQ(d->mode(), kModeMusic);
    const auto shapes = Of(1, kDrawobject);
    ASSERT_EQ(shapes.size(), 1u);
    const DrawobjectData& c = shapes[0]->data.drawobject;
    EXPECT_EQ(c.shape, 0);
    EXPECT_EQ(c.filled, 1);
    EXPECT_EQ(int{c.radiusOrWidth}, 50);

    // A white rectangle: only the solid ones can erase.
    dialogs.onShape = [](ShapePaletteModel& m) {
        m.white = true;
        return !m.choose(0) && m.choose(1);
    };
    d->run(Action::ShapeMode);
    Click(200, 100);
    Click(170, 130);
    const DrawobjectData& r = Of(1, kDrawobject)[1]->data.drawobject;
    EXPECT_EQ(r.shape, 2);
    EXPECT_EQ(r.whiteOut, 1);
    EXPECT_EQ(int{r.radiusOrWidth}, -30);
    EXPECT_EQ(int{r.height}, 30);
    EXPECT_HOST_CLEAN(host);
}

TEST(SymbolPalette, CellsWrapAtThePaletteWidth) {
    const std::vector<PaletteCell> cells = LayOutPaletteCells({1, 2, 3, 4}, {10, 60, 43, 43}, 150);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].x, 10);
    EXPECT_EQ(cells[0].w, 43) << "at least 43 wide";
    EXPECT_EQ(cells[1].x, 53);
    EXPECT_EQ(cells[1].w, 60);
    EXPECT_EQ(cells[2].x, 10) << "113 + 43 passes 150";
    EXPECT_EQ(cells[2].y, cells[0].y + kPaletteRowHeight);
    // However narrow, a row holds a cell.
    EXPECT_EQ(LayOutPaletteCells({1, 2}, {100, 100}, 50)[1].y, 10 + kPaletteRowHeight);
    SymbolPaletteModel m;
    EXPECT_FALSE(m.choose(254));
    EXPECT_TRUE(m.choose(180, true));
    EXPECT_TRUE(m.moreThanOne);
    EXPECT_EQ(SymbolGuidance(180), 558);
}

}  // namespace
}  // namespace sw
