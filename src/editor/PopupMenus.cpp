// Which items each right-button menu offers and what they write.
#include "editor/PopupMenus.h"

#include <algorithm>
#include <cstring>

#include "editor/StaveActions.h"
#include "layout/GlyphTable.h"
#include "layout/Signatures.h"

namespace sw {

namespace {

MenuItem Act(const char* caption, Action a, const ActionEnabled& enabled) {
    return {caption, a, MenuCommand::None, 0, false, enabled(a)};
}
MenuItem Cmd(const char* caption, MenuCommand c, int value, bool checked) {
    return {caption, std::nullopt, c, value, checked, true};
}
// An item whose command comes with a later step.
MenuItem Later(const char* caption) {
    return {caption, std::nullopt, MenuCommand::None, 0, false, false};
}
MenuItem Separator() {
    return {};
}

constexpr int kClefTypes = 4;

void ClefItems(std::vector<MenuItem>& m, const ClefData& c) {
    static const char* kTypes[kClefTypes] = {"Treble", "Bass", "Alto", "Tenor"};
    for (int t = 0; t < kClefTypes; ++t)
        m.push_back(Cmd(kTypes[t], MenuCommand::ClefType, t, c.type == t));
    m.push_back(Separator());
    m.push_back(Cmd("Normal size", MenuCommand::ClefSize, 0, !c.small));
    m.push_back(Cmd("Small", MenuCommand::ClefSize, 1, c.small != 0));
    m.push_back(Separator());
    const int octave = c.octaveDown ? 1 : c.octaveUp ? 2 : 0;
    m.push_back(Cmd("No octave sign", MenuCommand::ClefOctave, 0, octave == 0));
    m.push_back(Cmd("With octave down sign", MenuCommand::ClefOctave, 1, octave == 1));
    m.push_back(Cmd("With octave up sign", MenuCommand::ClefOctave, 2, octave == 2));
}

void KeyItems(std::vector<MenuItem>& m, int key) {
    static const char* kNames[15] = {"7 sharps", "6 sharps", "5 sharps", "4 sharps", "3 sharps",
                                     "2 sharps", "1 sharp",  "C major",  "1 flat",   "2 flats",
                                     "3 flats",  "4 flats",  "5 flats",  "6 flats",  "7 flats"};
    for (int k = 0; k < 15; ++k)
        m.push_back(Cmd(kNames[k], MenuCommand::KeyValue, 7 - k, key == 7 - k));
}

}  // namespace

MenuModel ObjectMenu(const Score& score, int s, int i, const ActionEnabled& enabled) {
    MenuModel menu;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return menu;
    const ScoreObject& o = score.object(s, i);
    auto& m = menu.items;
    const MenuItem properties = Act("Properties", Action::Properties, enabled);
    auto del = [&](const char* caption) { return Act(caption, Action::DeleteFocus, enabled); };
    switch (o.kind) {
        case kClef:
            menu.name = "pumClef";
            m = {properties, del("Delete clef"), Separator()};
            ClefItems(m, o.data.clef);
            m.push_back(Separator());
            m.push_back(Later("Notation Guide"));
            break;
        case kKeysig:
            menu.name = "pumkeysig";
            m = {properties, del("Delete key signature"), Separator()};
            KeyItems(m, o.data.keysig.key);
            break;
        case kTimesig:
        case kCommonTime:
            menu.name = "pumTimeSig";
            m = {properties, del("Delete time signature")};
            break;
        case kBarline: {
            menu.name = "pumbarline";
            static const std::pair<const char*, int> kStyles[] = {
                {"Normal", 0}, {"Double", 1},       {"Dotted", 6},     {"Double Dotted", 7},
                {"Half", 8},   {"Repeat start", 2}, {"Repeat end", 3}, {"Repeat both", 4}};
            for (const auto& [caption, style] : kStyles)
                m.push_back(
                    Cmd(caption, MenuCommand::BarStyle, style, o.data.barline.style == style));
            m.push_back(Separator());
            m.push_back(del("Delete barline"));
            break;
        }
        case kNote:
            menu.name = "pumNote";
            if (!o.note().rest) {
                m.push_back(Act("Beam to previous", Action::BeamToPrevious, enabled));
                m.push_back(Act("Unbeam", Action::Unbeam, enabled));
                MenuItem flat = Act("Flat beam", Action::FlatBeam, enabled);
                flat.checked = o.note().flatBeam != 0;
                m.push_back(flat);
                m.push_back(Act("Reverse Stem", Action::ReverseStem, enabled));
                m.push_back(Act("Make Triplet", Action::MakeTriplet, enabled));
                m.push_back(Separator());
            }
            m.push_back(properties);
            m.push_back(del("Delete note"));
            m.push_back(Act("Extended Properties", Action::ExtendedProperties, enabled));
            m.push_back(Later("Notation Guide"));
            break;
        case kAccidental: {
            menu.name = "pumaccidental";
            const AccidentalData& a = o.data.accidental;
            m = {properties, del("Delete accidental"), Separator()};
            static const std::pair<const char*, int> kValues[] = {{"Double sharp", 2},
                                                                  {"Sharp", 1},
                                                                  {"Natural", 0},
                                                                  {"Flat", -1},
                                                                  {"Double Flat", -2}};
            for (const auto& [caption, v] : kValues)
                m.push_back(Cmd(caption, MenuCommand::AccidentalValue, v, a.accidental == v));
            m.push_back(Separator());
            m.push_back(Cmd(a.parentheses ? "Courtesy" : "Normal", MenuCommand::AccidentalCourtesy,
                            0, a.parentheses != 0));
            m.push_back(Cmd("Small", MenuCommand::AccidentalSmall, 0, a.small != 0));
            break;
        }
        case kLine: {
            menu.name = "pumline";
            const LineData& l = o.data.line;
            m = {properties, del("Delete line"), Separator()};
            static const std::pair<const char*, int> kStyles[] = {
                {"Normal", 0}, {"Dashed", 1}, {"Wavy", 2}, {"With break", 3}};
            for (const auto& [caption, v] : kStyles)
                m.push_back(Cmd(caption, MenuCommand::LineStyle, v, l.style == v));
            m.push_back(Act("Legs", Action::LineLegs, enabled));
            m.push_back(Separator());
            static const char* kThick[] = {"Line thickness 0", "Line thickness 1",
                                           "Line thickness 2", "Line thickness 3",
                                           "Line thickness 4", "Line thickness 5"};
            for (int t = 0; t <= 5; ++t)
                m.push_back(Cmd(kThick[t], MenuCommand::LineThickness, t, l.thickness == t));
            break;
        }
        case kCurve: {
            menu.name = "pumcurve";
            const CurveData& c = o.data.curve;
            m = {properties, del("Delete anchor point"), Separator()};
            m.push_back(Cmd("Normal", MenuCommand::CurveStyle, 0, (c.styleBits & 3) == 0));
            m.push_back(Cmd("Dotted", MenuCommand::CurveStyle, 1, (c.styleBits & 1) != 0));
            m.push_back(Cmd("Editorial", MenuCommand::CurveStyle, 2, (c.styleBits & 2) != 0));
            m.push_back(Separator());
            static const char* kThick[] = {"Thickness 0", "Thickness 1", "Thickness 2",
                                           "Thickness 3", "Thickness 4", "Thickness 5"};
            for (int t = 0; t <= 5; ++t)
                m.push_back(Cmd(kThick[t], MenuCommand::CurveThickness, t, c.thickness == t));
            break;
        }
        case kOther:
            menu.name = "pumtwiddly";
            m = {properties, del("Delete"), Separator(),
                 Cmd("Up arrow", MenuCommand::UpArrow, 0, o.data.other.upArrow != 0),
                 Cmd("Down arrow", MenuCommand::DownArrow, 0, o.data.other.downArrow != 0)};
            break;
        case kText:
        case kHeadertext:
        case kFootertext:
            menu.name = "pumtext";
            {
                const int f = o.text().fontNumber;
                const int style = f >= 1 && f <= kMaxFonts ? score.fonts[f].style : 0;
                m = {
                    properties,
                    Separator(),
                    Cmd("Bold", MenuCommand::TextStyle, kBold, (style & kBold) != 0),
                    Cmd("Italic", MenuCommand::TextStyle, kItalic, (style & kItalic) != 0),
                    Cmd("Underline", MenuCommand::TextStyle, kUnderline, (style & kUnderline) != 0),
                    Cmd("Choose from favourite fonts", MenuCommand::TextFont, 0, false),
                    Cmd("Choose from any font", MenuCommand::TextFont, 1, false),
                    Separator(),
                    del("Delete text")};
            }
            break;
        case kHairpin: {
            menu.name = "pumHairpin";
            m = {properties, del("Delete hairpin"), Separator()};
            static const char* kThick[] = {"Thickness 0", "Thickness 1", "Thickness 2",
                                           "Thickness 3"};
            for (int t = 0; t <= 3; ++t)
                m.push_back(Cmd(kThick[t], MenuCommand::HairpinThickness, t,
                                o.data.hairpin.thickness == t));
            break;
        }
        case kDrawobject: {
            menu.name = "pumshape";
            const DrawobjectData& d = o.data.drawobject;
            static const std::pair<const char*, int> kShapes[] = {
                {"Square", 1}, {"Rectangle", 2}, {"Circle", 0}, {"Ellipse", 3}};
            for (const auto& [caption, v] : kShapes)
                m.push_back(Cmd(caption, MenuCommand::Shape, v, d.shape == v));
            m.push_back(Separator());
            m.push_back(Cmd("Solid", MenuCommand::ShapeSolid, 1, d.filled != 0));
            m.push_back(Cmd("Outline", MenuCommand::ShapeSolid, 0, d.filled == 0));
            m.push_back(Separator());
            m.push_back(Cmd("White", MenuCommand::ShapeWhite, 1, d.whiteOut != 0));
            m.push_back(Cmd("Normal", MenuCommand::ShapeWhite, 0, d.whiteOut == 0));
            m.push_back(Separator());
            m.push_back(del("Delete shape"));
            break;
        }
        default:
            break;
    }
    return menu;
}

MenuModel StaveMenu(const Score& score, int s, const ActionEnabled& enabled) {
    MenuModel menu{"pumstave", {}};
    const bool small = score.hasStave(s) && score.stave(s).h.sizeIndex != 0;
    auto item = [&](const char* caption, Action a) {
        const bool on = enabled(a) && StaveCommandApplies(score, s, a);
        return MenuItem{caption, a, MenuCommand::None, 0, false, on};
    };
    menu.items = {
        item(small ? "Make stave normal size" : "Make stave small size", Action::ChangeSize),
        item("Move first bar up", Action::MoveFirstUp),
        item("Move last bar down", Action::MoveLastDown),
        Separator(),
        item("Join to stave below", Action::JoinDown),
        item("Separate from stave below", Action::NoJoinDown),
        item("Brace with stave below", Action::BraceBelow),
        item("Do not brace below", Action::NoBraceBelow),
        Separator(),
        item("Add new stave above", Action::NewStaveAbove),
        item("Add new stave below", Action::NewStaveBelow),
        item("Delete this stave", Action::DeleteStave),
        Separator(),
        item("Make start of stave here", Action::CutLeft),
        item("Make end of stave here", Action::CutRight),
        Separator(),
        item("Properties", Action::StaveAttributes)};
    return menu;
}

MenuModel PageMenu(const ActionEnabled& enabled) {
    MenuModel menu{"pumpage", {}};
    menu.items = {Act("Preview", Action::Preview, enabled),
                  Act("Print", Action::Print, enabled),
                  Separator(),
                  Act("Previous page", Action::PrevPage, enabled),
                  Act("Next page", Action::NextPage, enabled),
                  Separator(),
                  Act("Page layout", Action::PageLayout, enabled),
                  Act("Stave size", Action::StaveSize, enabled),
                  Later("Information"),
                  Act("Global options", Action::Options, enabled),
                  Separator(),
                  Act("Picture output", Action::PictureFile, enabled),
                  Act("Copy to clipboard", Action::Clipboard, enabled),
                  Separator(),
                  Act("Playback", Action::Play, enabled),
                  Act("Neaten whole score", Action::NeatenScore, enabled)};
    return menu;
}

MenuModel AddMenuModel(const ActionEnabled& enabled) {
    MenuModel menu{"Place", {}};
    for (Action a : {Action::PlaceClef, Action::PlaceKeysig, Action::PlaceTimesig})
        menu.items.push_back(Act(Info(a).caption, a, enabled));
    return menu;
}

namespace {

// A curve's anchors, from any one of them.

void SetShape(ScoreObject& o, int shape) {
    DrawobjectData& d = o.data.drawobject;
    const bool round = d.shape <= 1, toRound = shape <= 1;
    // The centre stays where it was.
    if (round && !toRound) {
        const int16_t r = d.radiusOrWidth;
        o.x -= r;
        o.y -= r;
        d.radiusOrWidth = static_cast<int16_t>(2 * r);
        d.height = static_cast<int16_t>(2 * r);
    } else if (!round && toRound) {
        o.x += d.radiusOrWidth / 2;
        o.y += d.height / 2;
        const int w = d.radiusOrWidth, h = d.height;
        d.radiusOrWidth = static_cast<int16_t>(std::min(w, h) / 2);
    }
    d.shape = static_cast<uint8_t>(shape);
}

}  // namespace

bool ApplyMenuCommand(StaveBlock& b, int i, MenuCommand c, int value) {
    if (!b.validIndex(i)) return false;
    ScoreObject& o = b.obj[i];
    const ScoreObject before = o;
    auto u8 = [](int v) { return static_cast<uint8_t>(v); };
    switch (c) {
        case MenuCommand::ClefType:
        case MenuCommand::ClefSize:
        case MenuCommand::ClefOctave: {
            if (o.kind != kClef) return false;
            ClefData& k = o.data.clef;
            if (c == MenuCommand::ClefType && value >= 0 && value < kClefTypes) k.type = u8(value);
            if (c == MenuCommand::ClefSize) k.small = u8(value != 0);
            if (c == MenuCommand::ClefOctave) {
                k.octaveDown = u8(value == 1);
                k.octaveUp = u8(value == 2);
            }
            if (k.type < kClefTypes) o.glyph = ClefGlyph(k.type, k.small != 0);
            break;
        }
        case MenuCommand::KeyValue:
            if (o.kind != kKeysig || value < -7 || value > 7) return false;
            o.data.keysig.key = static_cast<int8_t>(value);
            break;
        case MenuCommand::BarStyle:
            if (o.kind != kBarline) return false;
            o.data.barline.style = u8(value);
            break;
        case MenuCommand::AccidentalValue:
            if (o.kind != kAccidental || value < -2 || value > 2) return false;
            o.data.accidental.accidental = static_cast<int8_t>(value);
            break;
        case MenuCommand::AccidentalCourtesy:
            if (o.kind != kAccidental) return false;
            o.data.accidental.parentheses = u8(!o.data.accidental.parentheses);
            break;
        case MenuCommand::AccidentalSmall:
            if (o.kind != kAccidental) return false;
            o.data.accidental.small = u8(!o.data.accidental.small);
            break;
        case MenuCommand::LineStyle:
            if (o.kind != kLine) return false;
            o.data.line.style = u8(value);
            break;
        case MenuCommand::LineThickness:
            if (o.kind != kLine) return false;
            o.data.line.thickness = u8(value);
            break;
        case MenuCommand::CurveStyle:
        case MenuCommand::CurveThickness: {
            if (o.kind != kCurve) return false;
            bool changed = false;
            for (int j : CurveOf(b, i)) {
                CurveData& k = b.obj[j].data.curve;
                const CurveData old = k;
                if (c == MenuCommand::CurveThickness)
                    k.thickness = u8(value);
                else if (value == 0)
                    k.styleBits = u8(k.styleBits & ~3);
                else
                    k.styleBits = u8(k.styleBits ^ value);
                changed |= std::memcmp(&old, &k, sizeof k) != 0;
            }
            return changed;
        }
        case MenuCommand::UpArrow:
            if (o.kind != kOther) return false;
            o.data.other.upArrow = u8(!o.data.other.upArrow);
            break;
        case MenuCommand::DownArrow:
            if (o.kind != kOther) return false;
            o.data.other.downArrow = u8(!o.data.other.downArrow);
            break;
        case MenuCommand::HairpinThickness:
            if (o.kind != kHairpin) return false;
            o.data.hairpin.thickness = u8(value);
            break;
        case MenuCommand::Shape:
            if (o.kind != kDrawobject || value < 0 || value > 3) return false;
            SetShape(o, value);
            break;
        case MenuCommand::ShapeSolid:
            if (o.kind != kDrawobject) return false;
            o.data.drawobject.filled = u8(value);
            if (!value) o.data.drawobject.whiteOut = 0;
            break;
        case MenuCommand::ShapeWhite:
            if (o.kind != kDrawobject) return false;
            // A white shape covers what lies under it.
            o.data.drawobject.whiteOut = u8(value);
            if (value) o.data.drawobject.filled = 1;
            break;
        case MenuCommand::TextStyle:  // the font table is the score's
        case MenuCommand::TextFont:
        case MenuCommand::None:
            return false;
    }
    return std::memcmp(&before, &o, sizeof o) != 0;
}

std::string PlainCaption(const std::string& caption) {
    std::string out;
    for (char ch : caption)
        if (ch != '&') out += ch;
    return out;
}

std::vector<int> CurveOf(const StaveBlock& b, int i) {
    std::vector<int> chain;
    int first = i;
    for (int steps = 0; steps < kMaxObjects; ++steps) {
        const int p = b.obj[first].data.curve.prevAnchor;
        if (p == first || !b.validIndex(p) || b.obj[p].kind != kCurve) break;
        first = p;
    }
    for (int j = first, steps = 0;
         steps < kMaxObjects && b.validIndex(j) && b.obj[j].kind == kCurve; ++steps) {
        if (std::find(chain.begin(), chain.end(), j) != chain.end()) break;
        chain.push_back(j);
        j = b.obj[j].data.curve.nextAnchor;
    }
    return chain;
}

}  // namespace sw
