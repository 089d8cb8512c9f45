// What the placing modes share, and the Symbol, Line, Curve, Hairpin and
// Drawing modes.
#include "editor/modes/PlacingModes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/DocumentController.h"
#include "editor/HitTest.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

constexpr int kLevelBound = 3;  // warnings for levels 1 and 2
constexpr std::size_t kMaxCurvePoints = 100;
constexpr int kMaxRepeat = 255;
using Point = PlacingOverlay::Point;

int Index(Action a) {
    return static_cast<int>(a);
}

bool InRange(Action a, Action first, Action last) {
    return Index(a) >= Index(first) && Index(a) <= Index(last);
}

Action Nth(Action first, int k) {
    return static_cast<Action>(Index(first) + k);
}

int16_t Short(int32_t v) {
    return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

// The step of an arrow key: 1 pixel, or with Ctrl 10 across and 5 up and down.
bool ArrowStep(const KeyParts& k, int32_t& dx, int32_t& dy) {
    const int32_t across = k.held.ctrl ? 10 : 1, upDown = k.held.ctrl ? 5 : 1;
    dx = k.name == "Left" ? -across : k.name == "Right" ? across : 0;
    dy = k.name == "Up" ? -upDown : k.name == "Down" ? upDown : 0;
    return dx != 0 || dy != 0;
}

}  // namespace

void RedrawOnReturn(DocumentController& d, int to) {
    if (to == kModeMusic && d.settings().fastCpu) d.view_.redrawPage();
}

// ---------------------------------------------------------------------------
// Shared

bool Placing::IsPlacingAction(Action a) {
    return InRange(a, Action::Lyric, Action::HairpinThickness3);
}

bool Placing::command(DocumentController& d, Action a) {
    if (!d.canRun(a)) return true;
    if (a == Action::Lyric && d.mode_ == kModeMusic) {
        if (d.refuseWhileProvisional()) return true;
        d.setEditMode(kModeText);
    }
    d.handlers_[static_cast<std::size_t>(d.mode_)]->tool(a);
    d.refreshUi();
    return true;
}

void Placing::refreshActions(DocumentController& d) {
    const int m = d.mode_;
    const PlacementTools& t = d.ui_.tools;
    auto set = [&d](Action a, bool enabled, bool checked = false) {
        ActionState& st = d.ui_.actions[ActionName(a)];
        st.enabled = enabled;
        st.checked = checked;
    };
    const bool text = m == kModeText, line = m == kModeLine, curve = m == kModeCurve;
    const bool hairpin = m == kModeHairpin;
    // Lyrics go under the notes of a music stave, never in a header or footer.
    const bool onMusic = d.score_.CurrentStave > 0;
    set(Action::Lyric, (m == kModeMusic || text) && onMusic, text && t.lyric);
    set(Action::LyricButton, text && onMusic, t.lyric);
    for (Action a : {Action::TextCentre, Action::CompleteText, Action::AbortText,
                     Action::ChooseFont, Action::FavouriteFont})
        set(a, text);
    set(Action::TextTransposable, text, t.transposable);
    set(Action::TextImmobile, text, t.immobile);
    set(Action::TextBoxed, text, t.boxed);
    set(Action::TextBold, text, (t.textFont.style & kBold) != 0);
    set(Action::TextItalic, text, (t.textFont.style & kItalic) != 0);
    set(Action::TextUnderline, text, (t.textFont.style & kUnderline) != 0);
    set(Action::EndLineMode, line);
    for (int k = 0; k <= 5; ++k) {
        set(Nth(Action::LineThickness0, k), line, t.lineThickness == k);
        set(Nth(Action::CurveThickness0, k), curve, t.curveThickness == k);
    }
    for (int k = 0; k <= 2; ++k)
        set(Nth(Action::LineSolid, k), line, t.lineStyle == k);
    set(Action::EndCurveMode, curve);
    set(Action::CurveSolid, curve, !(t.curveStyle & 1));
    set(Action::CurveDotted, curve, (t.curveStyle & 1) != 0);
    set(Action::CurveEditorial, curve, (t.curveStyle & 2) != 0);
    set(Action::AbortHairpin, hairpin);
    for (int k = 0; k <= 3; ++k)
        set(Nth(Action::HairpinThickness0, k), hairpin, t.hairpinThickness == k);
}

void Placing::startSymbol(DocumentController& d) {
    // The symbol starts where the mouse was when the command came.
    const int s = d.score_.CurrentStave;
    const int32_t x = d.pointerIn_ ? d.pointerX_ : d.cursorX_;
    const int32_t y =
        d.pointerIn_ || !d.score_.hasStave(s) ? d.pointerY_ : d.score_.stave(s).h.Ycoord;
    d.setEditMode(kModeSymbol);
    if (d.mode_ != kModeSymbol) return;
    SymbolPaletteModel model;
    model.hints = d.ui_.tools.symbolHints;
    const bool chosen = d.dialogs_.chooseSymbol(model) && model.chosen();
    d.ui_.tools.symbolHints = model.hints;
    if (!chosen) {
        d.setEditMode(kModeMusic);
        return;
    }
    const int g = *model.chosen();
    if (ClassOfSymbol(g) == SymbolClass::Note)
        d.warnings_.show(d.host_, msg::NoteSymbolWarning, kLevelBound, false);
    if (ClassOfSymbol(g) == SymbolClass::Accidental)
        d.warnings_.show(d.host_, msg::AccidentalSymbolWarning, kLevelBound, false);
    static_cast<SymbolMode&>(*d.handlers_[kModeSymbol]).begin(g, model.moreThanOne, x, y);
    d.refreshUi();
}

void Placing::startShape(DocumentController& d) {
    ShapePaletteModel model;
    model.white = d.shapeWhite_;
    if (!d.dialogs_.chooseShape(model) || !model.chosen()) return;
    d.shapeKind_ = *model.chosen();
    d.shapeWhite_ = model.white;
    d.setEditMode(kModeDrawing);
}

void Placing::begin(DocumentController& d) {
    d.setCursorShown(false);
    d.focusStave_ = d.focusObject_ = -1;
    d.objectSelected_ = false;
    d.ui_.highlightStave = d.ui_.highlightObject = -1;
}

int32_t Placing::clampY(const DocumentController& d, int32_t y) {
    return d.attach_.clamp(y);
}

void Placing::attachFrom(DocumentController& d, int32_t x, int32_t y) {
    PlacingOverlay& o = d.ui_.overlay;
    o.attachLine.reset();
    const int s = d.score_.CurrentStave;
    if (s < 1 || s > d.score_.Nstaves || !d.score_.hasStave(s)) return;
    const PageGeometry g = ComputePageGeometry(d.score_);
    if (x < 0 || y < 0 || x >= g.width || y >= g.height) return;
    o.attachLine = Segment{x, y, AttachPointX(d.score_, s, x, y), d.score_.stave(s).h.Ycoord};
}

bool Placing::neighbour(DocumentController& d, bool down) {
    const Score& score = d.score_;
    const int s = score.CurrentStave, t = s + (down ? 1 : -1);
    if (s < 1 || t < 1 || t > score.Nstaves || !score.hasStave(s) || !score.hasStave(t) ||
        score.stave(t).h.PageNum != score.stave(s).h.PageNum)
        return false;
    d.setCurrentStave(t);
    return true;
}

bool Placing::modeKey(DocumentController& d, const std::string& key,
                      const std::function<void()>& end, const std::function<void()>& moved) {
    const std::string name = SplitKey(key).name;
    if (name == "Esc") {
        end();
    } else if (name == "PgUp" || name == "PgDown") {
        neighbour(d, name == "PgDown");
        moved();
    } else {
        return false;
    }
    return true;
}

void Placing::show(DocumentController& d) {
    d.view_.overlayChanged();
}

void Placing::clear(DocumentController& d) {
    d.ui_.overlay = PlacingOverlay{};
    show(d);
}

// ---------------------------------------------------------------------------
// Symbol

void SymbolMode::begin(int glyph, bool moreThanOne, int32_t x, int32_t y) {
    NewObjectRecord(symbol_);
    symbol_.kind = kTrill;
    symbol_.glyph = static_cast<uint8_t>(glyph);
    symbol_.data.trill = TrillData{0, 0, static_cast<int16_t>(GlyphInkWidth(glyph)), 0};
    more_ = moreThanOne;
    Placing::begin(d_);
    d_.showGuidance(SymbolGuidance(glyph));
    follow(x, y, false);
}

void SymbolMode::leave(int) {
    NewObjectRecord(symbol_);
    Placing::clear(d_);
}

void SymbolMode::follow(int32_t x, int32_t y, bool shift) {
    const int s = d_.score_.CurrentStave;
    symbol_.x = x;
    // With Shift the symbol sits across the stave, on its middle line.
    symbol_.y =
        shift && d_.score_.hasStave(s) ? d_.score_.stave(s).h.Ycoord : Placing::clampY(d_, y);
    refresh();
}

void SymbolMode::refresh() {
    PlacingOverlay& o = d_.ui_.overlay;
    o = PlacingOverlay{};
    if (symbol_.kind == kTrill) {
        Placing::attachFrom(d_, symbol_.x, symbol_.y);
        o.object = symbol_;
        o.stave = d_.score_.CurrentStave;
    }
    Placing::show(d_);
}

void SymbolMode::drop() {
    if (symbol_.kind != kTrill) return;
    EditContext ctx = d_.editContext();
    const int i = PlaceNewObject(ctx, d_.score_.CurrentStave, symbol_);
    if (i > 0) d_.afterEdits();
    if (i == 0 || !more_)
        d_.setEditMode(kModeMusic);
    else
        refresh();
}

PointerResult SymbolMode::pointer(const PointerEvent& e) {
    if (e.kind == PointerEvent::Move) {
        follow(e.x, e.y, e.shift);
    } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        follow(e.x, e.y, e.shift);
        drop();
    } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        d_.setEditMode(kModeMusic);
    } else {
        return {true, false, false};
    }
    return {true, true, false};
}

bool SymbolMode::key(const std::string& key) {
    const KeyParts k = SplitKey(key);
    TrillData& t = symbol_.data.trill;
    int32_t dx = 0, dy = 0;
    if (k.name == "Enter") {
        drop();
    } else if (k.name == "Esc") {
        d_.setEditMode(kModeMusic);
    } else if (k.name == "Space" || k.name == "Backspace") {
        // The repeat count lengthens the extension sign after a trill.
        t.count =
            static_cast<uint8_t>(std::clamp(t.count + (k.name == "Space" ? 1 : -1), 0, kMaxRepeat));
        refresh();
    } else if (ArrowStep(k, dx, dy)) {
        follow(symbol_.x + dx, symbol_.y + dy, false);
        d_.view_.movePointerTo(symbol_.x, symbol_.y);
    } else if (k.name == "PgUp" || k.name == "PgDown") {
        Placing::neighbour(d_, k.name == "PgDown");
        follow(symbol_.x, symbol_.y, false);
    } else {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Line

void LineMode::enter(int) {
    Placing::begin(d_);
    d_.ui_.tools.lineStyle = 0;
    d_.setLineThickness(d_.settings_.lineWidth);
    d_.showGuidance(msg::GuidanceLineStart);
    drawing_ = false;
    if (d_.pointerIn_) refresh(d_.pointerX_, d_.pointerY_);
}

void LineMode::leave(int) {
    drawing_ = false;
    d_.focusStave_ = d_.focusObject_ = -1;
    d_.ui_.highlightStave = d_.ui_.highlightObject = -1;
    Placing::clear(d_);
}

void LineMode::refresh(int32_t x, int32_t y) {
    PlacingOverlay& o = d_.ui_.overlay;
    o = PlacingOverlay{};
    if (drawing_) {
        o.rubberBand.push_back(Segment{start_.x, start_.y, end_.x, end_.y});
        Placing::attachFrom(d_, start_.x, start_.y);
    } else {
        Placing::attachFrom(d_, x, Placing::clampY(d_, y));
    }
    Placing::show(d_);
}

PointerResult LineMode::pointer(const PointerEvent& e) {
    const int32_t y = Placing::clampY(d_, e.y);
    if (e.kind == PointerEvent::Move) {
        if (drawing_) {
            end_ = {e.x, y};
            // Shift keeps the line level or upright, whichever it is nearer.
            if (e.shift) {
                if (std::abs(end_.x - start_.x) >= std::abs(end_.y - start_.y))
                    end_.y = start_.y;
                else
                    end_.x = start_.x;
            }
        } else {
            // A line under the mouse is the one the tool buttons restyle.
            const Hit hit = HitTestPage(d_.score_, d_.page_, kModeMusic, e.x, e.y, d_.measurer_);
            const bool line = hit.found() && d_.score_.object(hit.stave, hit.object).kind == kLine;
            d_.focusStave_ = d_.ui_.highlightStave = line ? hit.stave : -1;
            d_.focusObject_ = d_.ui_.highlightObject = line ? hit.object : -1;
        }
        refresh(e.x, e.y);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        start_ = end_ = {e.x, y};
        drawing_ = true;
        d_.showGuidance(msg::GuidanceLineDrag);
        refresh(e.x, e.y);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Release && e.button == MouseButton::Left && drawing_) {
        drawing_ = false;
        // A click that drew nothing stores nothing.
        if (!(end_ == start_)) {
            ScoreObject o;
            NewObjectRecord(o);
            o.kind = kLine;
            o.x = start_.x;
            o.y = start_.y;
            const PlacementTools& t = d_.ui_.tools;
            const auto spacing = static_cast<uint8_t>(t.dotSpacing);
            o.data.line = LineData{Short(end_.x - start_.x),
                                   Short(end_.y - start_.y),
                                   static_cast<uint8_t>(t.lineThickness),
                                   static_cast<uint8_t>(t.lineStyle),
                                   spacing,
                                   spacing,
                                   0,
                                   0,
                                   0};
            EditContext ctx = d_.editContext();
            if (PlaceNewObject(ctx, d_.score_.CurrentStave, o) > 0) d_.afterEdits();
            // Tidying renumbered the stave: the mouse finds its line again.
            d_.focusStave_ = d_.focusObject_ = -1;
            d_.ui_.highlightStave = d_.ui_.highlightObject = -1;
            d_.showGuidance(msg::GuidanceLineAgain);
        }
        refresh(e.x, e.y);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        d_.returnFromTransient();
        return {true, true, false};
    }
    // Leaving the page for the tool bar keeps the line under the mouse in hand.
    return {true, false, false};
}

bool LineMode::key(const std::string& key) {
    return Placing::modeKey(
        d_, key, [this] { d_.returnFromTransient(); },
        [this] {
            refresh(drawing_ ? start_.x : d_.pointerX_, drawing_ ? start_.y : d_.pointerY_);
        });
}

bool LineMode::tool(Action a) {
    if (a == Action::EndLineMode) {
        d_.returnFromTransient();
        return true;
    }
    const bool thickness = InRange(a, Action::LineThickness0, Action::LineThickness5);
    const int value = Index(a) - Index(thickness ? Action::LineThickness0 : Action::LineSolid);
    if (!thickness && !InRange(a, Action::LineSolid, Action::LineWavy)) return false;
    const int s = d_.focusStave_, i = d_.focusObject_;
    if (d_.score_.hasStave(s) && s <= d_.score_.Nstaves && d_.score_.stave(s).validIndex(i) &&
        d_.score_.object(s, i).kind == kLine) {
        EditContext ctx = d_.editContext();
        if (RestyleLine(ctx, s, i, thickness, value)) d_.afterEdits();
    } else if (thickness) {
        d_.setLineThickness(value);
    } else {
        d_.setLineStyle(value);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Curve

void CurveMode::enter(int) {
    Placing::begin(d_);
    points_.clear();
    d_.ui_.tools.curveStyle = 0;
    d_.setCurveThickness(d_.settings_.curveDepth);
    d_.showGuidance(msg::GuidanceCurveStart);
    mouse_ = {d_.pointerX_, Placing::clampY(d_, d_.pointerY_)};
    if (d_.pointerIn_) refresh();
}

void CurveMode::leave(int) {
    points_.clear();
    Placing::clear(d_);
}

void CurveMode::beforeMusic() {
    finish();
}

void CurveMode::refresh() {
    PlacingOverlay& o = d_.ui_.overlay;
    o = PlacingOverlay{};
    if (points_.empty()) {
        Placing::attachFrom(d_, mouse_.x, mouse_.y);
    } else {
        o.anchors = points_;
        if (points_.size() >= 2) {
            const PlacementTools& t = d_.ui_.tools;
            o.curve = points_;
            o.curveThickness = t.curveThickness;
            o.curveDotted = (t.curveStyle & 1) != 0;
            o.curveEditorial = (t.curveStyle & 2) != 0;
        }
    }
    Placing::show(d_);
}

void CurveMode::add(int32_t x, int32_t y) {
    const Score& score = d_.score_;
    const int s = score.CurrentStave;
    if (s < 1 || s > score.Nstaves || !score.hasStave(s)) return;
    if (points_.size() >= kMaxCurvePoints ||
        score.stave(s).count() + static_cast<int>(points_.size()) + 1 > kObjectLimit) {
        d_.host_.message(MsgType::Error, MessageText(msg::TooManyCurvePoints), Buttons::OK);
        return;
    }
    // A point on top of another one is taken for a second click on it.
    for (const Point& p : points_) {
        const int32_t dx = std::abs(x - p.x), dy = std::abs(y - p.y);
        if (dx < 2 || (dx <= 3 && dy < 4)) return;
    }
    const Point p{x, y};
    points_.insert(std::upper_bound(points_.begin(), points_.end(), p,
                                    [](const Point& a, const Point& b) { return a.x < b.x; }),
                   p);
    d_.showGuidance(msg::GuidanceCurvePoint);
    refresh();
}

void CurveMode::finish() {
    // A curve needs two points; fewer are no curve and leave nothing behind.
    if (points_.size() >= 2) {
        std::vector<std::pair<int32_t, int32_t>> points;
        for (const Point& p : points_)
            points.emplace_back(p.x, p.y);
        const PlacementTools& t = d_.ui_.tools;
        EditContext ctx = d_.editContext();
        if (PlaceCurvePoints(ctx, d_.score_.CurrentStave, points, t.curveThickness, t.curveStyle))
            d_.afterEdits();
    }
    points_.clear();
    d_.setEditMode(kModeMusic);
}

PointerResult CurveMode::pointer(const PointerEvent& e) {
    mouse_ = {e.x, Placing::clampY(d_, e.y)};
    if (e.kind == PointerEvent::Move) {
        if (points_.empty()) refresh();
    } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        add(mouse_.x, mouse_.y);
    } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        finish();
    } else {
        return {true, false, false};
    }
    return {true, true, false};
}

bool CurveMode::key(const std::string& key) {
    if (SplitKey(key).name == "Enter") {
        add(mouse_.x, mouse_.y);
        return true;
    }
    return Placing::modeKey(
        d_, key, [this] { finish(); }, [this] { refresh(); });
}

bool CurveMode::tool(Action a) {
    PlacementTools& t = d_.ui_.tools;
    if (a == Action::EndCurveMode)
        finish();
    else if (InRange(a, Action::CurveThickness0, Action::CurveThickness5))
        d_.setCurveThickness(Index(a) - Index(Action::CurveThickness0));
    else if (a == Action::CurveSolid || a == Action::CurveDotted)
        d_.setCurveStyle((t.curveStyle & 2) | (a == Action::CurveDotted ? 1 : 0));
    else if (a == Action::CurveEditorial)
        d_.setCurveStyle(t.curveStyle ^ 2);
    else
        return false;
    return true;
}

// ---------------------------------------------------------------------------
// Hairpin

void HairpinMode::enter(int) {
    Placing::begin(d_);
    d_.setHairpinThickness(d_.settings_.lineWidth);
    d_.showGuidance(msg::GuidanceHairpinStart);
    drawing_ = false;
    if (d_.pointerIn_) Placing::attachFrom(d_, d_.pointerX_, Placing::clampY(d_, d_.pointerY_));
    Placing::show(d_);
}

void HairpinMode::leave(int to) {
    drawing_ = false;
    Placing::clear(d_);
    RedrawOnReturn(d_, to);
}

PointerResult HairpinMode::pointer(const PointerEvent& e) {
    const Point at{e.x, Placing::clampY(d_, e.y)};
    PlacingOverlay& o = d_.ui_.overlay;
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        vertex_ = end_ = at;
        drawing_ = true;
        d_.showGuidance(msg::GuidanceHairpinEnd);
    } else if (e.kind == PointerEvent::Move) {
        if (drawing_) end_ = at;
    } else if (e.kind == PointerEvent::Release && e.button == MouseButton::Left && drawing_) {
        drawing_ = false;
        if (!(end_ == vertex_)) {
            ScoreObject h;
            NewObjectRecord(h);
            h.kind = kHairpin;
            h.x = vertex_.x;
            h.y = vertex_.y;
            h.data.hairpin = HairpinData{Short(end_.x - vertex_.x), Short(end_.y - vertex_.y),
                                         static_cast<uint8_t>(d_.ui_.tools.hairpinThickness)};
            EditContext ctx = d_.editContext();
            if (PlaceNewObject(ctx, d_.score_.CurrentStave, h) > 0) d_.afterEdits();
            d_.hintsOff();
            d_.setEditMode(kModeMusic);
            return {true, true, false};
        }
    } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        d_.setEditMode(kModeMusic);
        return {true, true, false};
    } else {
        return {true, false, false};
    }
    o = PlacingOverlay{};
    if (drawing_) {
        // The legs: to the mouse, and to its mirror image across the vertex's level.
        o.rubberBand.push_back(Segment{vertex_.x, vertex_.y, end_.x, end_.y});
        o.rubberBand.push_back(Segment{vertex_.x, vertex_.y, end_.x, 2 * vertex_.y - end_.y});
        Placing::attachFrom(d_, vertex_.x, vertex_.y);
    } else {
        Placing::attachFrom(d_, at.x, at.y);
    }
    Placing::show(d_);
    return {true, true, false};
}

bool HairpinMode::key(const std::string& key) {
    return Placing::modeKey(
        d_, key, [this] { d_.setEditMode(kModeMusic); }, [] {});
}

bool HairpinMode::tool(Action a) {
    if (a == Action::AbortHairpin)
        d_.setEditMode(kModeMusic);
    else if (InRange(a, Action::HairpinThickness0, Action::HairpinThickness3))
        d_.setHairpinThickness(Index(a) - Index(Action::HairpinThickness0));
    else
        return false;
    return true;
}

// ---------------------------------------------------------------------------
// Drawing

void DrawingMode::enter(int) {
    Placing::begin(d_);
    shape_.reset();
    d_.showGuidance(msg::GuidanceShapeFirst + 2 * (d_.shapeKind_ / 2));
    if (d_.pointerIn_) Placing::attachFrom(d_, d_.pointerX_, Placing::clampY(d_, d_.pointerY_));
    Placing::show(d_);
}

void DrawingMode::leave(int) {
    shape_.reset();
    Placing::clear(d_);
}

PointerResult DrawingMode::pointer(const PointerEvent& e) {
    const Point at{e.x, Placing::clampY(d_, e.y)};
    const bool left = e.kind == PointerEvent::Press && e.button == MouseButton::Left;
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        d_.setEditMode(kModeMusic);
        return {true, true, false};
    }
    if (left && !shape_) {
        ScoreObject o;
        NewObjectRecord(o);
        o.kind = kDrawobject;
        o.x = at.x;
        o.y = at.y;
        o.data.drawobject = ShapePaletteModel::Start(d_.shapeKind_, d_.shapeWhite_);
        shape_ = o;
    } else if ((left || e.kind == PointerEvent::Move) && shape_) {
        // Circles and squares by their radius, the others by their corner.
        DrawobjectData& s = shape_->data.drawobject;
        const int32_t dx = at.x - shape_->x, dy = at.y - shape_->y;
        if (s.shape <= 1) {
            s.radiusOrWidth = Short(RoundEven(std::hypot(static_cast<double>(dx), dy)));
        } else {
            s.radiusOrWidth = Short(dx);
            s.height = Short(dy);
        }
        const bool empty = s.shape <= 1 ? s.radiusOrWidth == 0 : dx == 0 && dy == 0;
        if (left && !empty) {
            EditContext ctx = d_.editContext();
            if (PlaceNewObject(ctx, d_.score_.CurrentStave, *shape_) > 0) d_.afterEdits();
            d_.setEditMode(kModeMusic);
            return {true, true, false};
        }
    } else if (e.kind != PointerEvent::Move) {
        return {true, false, false};
    }
    PlacingOverlay& o = d_.ui_.overlay;
    o = PlacingOverlay{};
    if (shape_) {
        Placing::attachFrom(d_, shape_->x, shape_->y);
        o.object = shape_;
        o.stave = d_.score_.CurrentStave;
    } else {
        Placing::attachFrom(d_, at.x, at.y);
    }
    Placing::show(d_);
    return {true, true, false};
}

bool DrawingMode::key(const std::string& key) {
    return Placing::modeKey(
        d_, key, [this] { d_.setEditMode(kModeMusic); },
        [this] {
            if (shape_) d_.ui_.overlay.stave = d_.score_.CurrentStave;
            Placing::show(d_);
        });
}

}  // namespace sw
