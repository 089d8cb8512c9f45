// The attribute dialogs of the object kinds.
#include "editor/dialogs/ObjectDialogs.h"

#include <algorithm>
#include <set>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/PopupMenus.h"
#include "fileio/NameTables.h"
#include "layout/AccidentalGlyph.h"
#include "layout/BeamRules.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"
#include "layout/Signatures.h"
#include "model/Build.h"

namespace sw {

namespace {

using Objects = std::vector<const ScoreObject*>;

const std::vector<std::string> kYesNo = {"No", "Yes", "No change"};
const std::vector<std::string> kThickness = {"&Thinnest", "&1", "&2",        "&3",
                                             "&4",        "&5", "N&o change"};

// The choice each object of the dialog's kind has for a field.
template <typename F>
std::vector<int> Each(const Objects& objects, int kind, F choiceOf) {
    std::vector<int> v;
    for (const ScoreObject* o : objects)
        if (o && (o->kind == kind || (kind == kText && IsTextLike(o->kind))))
            v.push_back(choiceOf(*o));
    return v;
}

int CountOf(const Objects& objects, int kind) {
    return static_cast<int>(Each(objects, kind, [](const ScoreObject&) { return 0; }).size());
}

uint8_t U8(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

// --- Clef ---------------------------------------------------------------

ClefAttributesDialog::ClefAttributesDialog(const Objects& objects) {
    title_ = MessageText(msg::ClefAttributesCaption);
    type = radio(" Type ", {"&Treble", "&Bass", "&Alto", "Teno&r", "No c&hange"});
    size = radio(" Size ", {"&Normal", "&Small", "N&o change"});
    octave = radio(" Octave indication ", {"Non&e", "&Down", "&Up", "No chan&ge"});
    openOn(type, Each(objects, kClef, [](const ScoreObject& o) {
               return o.data.clef.type <= 3 ? o.data.clef.type : -1;
           }));
    openOn(size,
           Each(objects, kClef, [](const ScoreObject& o) { return o.data.clef.small ? 1 : 0; }));
    openOn(octave, Each(objects, kClef, [](const ScoreObject& o) {
               return o.data.clef.octaveDown ? 1 : o.data.clef.octaveUp ? 2 : 0;
           }));
    if (CountOf(objects, kClef) == 1) dropNoChange();
}

void ClefAttributesDialog::applyTo(ScoreObject& o) const {
    ClefData& c = o.data.clef;
    if (const auto t = chosen(type)) c.type = U8(*t);
    if (const auto s = chosen(size)) c.small = U8(*s);
    if (const auto v = chosen(octave)) {
        c.octaveDown = U8(*v == 1);
        c.octaveUp = U8(*v == 2);
    }
    if (c.type <= 3) o.glyph = ClefGlyph(c.type, c.small != 0);
}

// --- Key signature ------------------------------------------------------

KeySignatureDialog::KeySignatureDialog(const Objects& objects) {
    title_ = MessageText(msg::KeySignatureCaption);
    type = radio(" Type ", {"&Flats", "&Sharps"});
    number = radio(" Number ", {"&0", "&1", "&2", "&3", "&4", "&5", "&6", "&7"});
    name = label("");
    naturals = check("With naturals on change");
    const std::vector<int> keys =
        Each(objects, kKeysig, [](const ScoreObject& o) { return int{o.data.keysig.key}; });
    if (!keys.empty() &&
        std::all_of(keys.begin(), keys.end(), [&](int k) { return k == keys[0]; })) {
        const int k = std::clamp(keys[0], -7, 7);
        at(number).value = std::abs(k);
        at(type).value = k < 0 ? 0 : k > 0 ? 1 : -1;
    }
    const std::vector<int> flags = Each(objects, kKeysig, [](const ScoreObject& o) {
        return o.data.keysig.naturalsOnChange ? 1 : 0;
    });
    at(naturals).value =
        !flags.empty() && std::all_of(flags.begin(), flags.end(), [](int f) { return f == 1; });
    changed(number, nullptr);
}

void KeySignatureDialog::changed(int id, Host*) {
    if (id == number && control(number).value == 0) at(type).value = -1;
    const int n = control(number).value, t = control(type).value;
    const bool known = n == 0 || (n > 0 && t >= 0);
    at(name).text = known ? MessageText(msg::KeyName + (t == 0 ? -n : n)) : std::string();
}

bool KeySignatureDialog::accept(Host& host) {
    const int n = control(number).value;
    if (n > 0 && control(type).value < 0) {
        host.message(MsgType::Error, FormatMessage(msg::SharpsOrFlats, n), Buttons::OK);
        return false;
    }
    return true;
}

void KeySignatureDialog::applyTo(ScoreObject& o) const {
    // Neither type nor number chosen (several keys that differ): each keeps its own.
    const int n = control(number).value, t = control(type).value;
    if (n == 0)
        o.data.keysig.key = 0;
    else if (n > 0 && t >= 0)
        o.data.keysig.key = static_cast<int8_t>(t == 0 ? -n : n);
    o.data.keysig.naturalsOnChange = U8(control(naturals).value);
}

// --- Time signature -----------------------------------------------------

TimeSignatureDialog::TimeSignatureDialog(const Objects& objects) {
    title_ = MessageText(msg::TimeSignatureCaption);
    type = radio(" &Type ", {"Normal numbered", "c", "\xC2\xA2", "Single number"});
    upper = box("&Upper Number");
    lower = box("&Lower Number");
    quick = radio(" &Quick set ", {"&2/4", "&3/4", "&4/4", "3/&8", "&6/8", "Oth&er"});
    const ScoreObject* first = nullptr;
    for (const ScoreObject* o : objects)
        if (o && o->kind == kTimesig && !first) first = o;
    const TimesigData t = first ? first->data.timesig : TimesigData{4, 4, 0, 0};
    at(type).value = t.sign == 1 ? Common : t.sign == 2 ? Cut : t.singleNumber ? Single : Numbered;
    upper_ = std::max(1, int{t.numerator});
    lower_ = t.denominator;
    if (t.sign == 1) upper_ = lower_ = 4;
    if (t.sign == 2) upper_ = lower_ = 2;
    show();
}

void TimeSignatureDialog::show() {
    static const std::pair<int, int> kQuick[] = {{2, 4}, {3, 4}, {4, 4}, {3, 8}, {6, 8}};
    at(upper).text = std::to_string(upper_);
    static const std::set<int> kListed = {1, 2, 4, 8, 16, 32, 64};
    at(lower).text = kListed.count(lower_) ? std::to_string(lower_) : "X";
    at(quick).value = kOther;
    for (int k = 0; k < 5; ++k)
        if (kQuick[k] == std::pair{upper_, lower_}) at(quick).value = k;
    const int t = control(type).value;
    at(upper).enabled = t == Numbered || t == Single;
    at(lower).enabled = t == Numbered;
}

bool TimeSignatureDialog::boxText(int id, const std::string& text, Host& host) {
    const std::optional<long> n = WholeNumber(text);
    if (id == upper) {
        if (!n) return false;
        // The file keeps the numbers in bytes.
        upper_ = static_cast<int>(std::clamp<long>(*n, 1, 255));
        return true;
    }
    if (id != lower) return true;
    const std::string plain = text.find_first_not_of(' ') == std::string::npos ? "" : text;
    if (n && *n >= 0 && *n <= 255) {
        lower_ = static_cast<int>(*n);
    } else if (plain == "X" || plain == "x") {
        lower_ = 0;
    } else {
        host.message(MsgType::Error, MessageText(msg::BadLowerNumber), Buttons::OK);
        lower_ = n ? lower_ : 0;
    }
    return true;
}

void TimeSignatureDialog::changed(int id, Host*) {
    static const std::pair<int, int> kQuick[] = {{2, 4}, {3, 4}, {4, 4}, {3, 8}, {6, 8}};
    if (id == type) {
        const int t = control(type).value;
        if (t == Common) upper_ = lower_ = 4;
        if (t == Cut) upper_ = lower_ = 2;
        if (t == Single) lower_ = 1;
    }
    if (id == quick && control(quick).value >= 0 && control(quick).value < kOther) {
        at(type).value = Numbered;
        std::tie(upper_, lower_) = kQuick[control(quick).value];
    }
    show();
}

void TimeSignatureDialog::applyTo(ScoreObject& o) const {
    TimesigData& t = o.data.timesig;
    t = TimesigData{};
    switch (control(type).value) {
        case Common:
        case Cut:
            t = TimesigData{4, 4, 0, U8(control(type).value == Common ? 1 : 2)};
            break;
        case Single:
            t = TimesigData{U8(upper_), 1, 1, 0};
            break;
        default:
            t = TimesigData{U8(upper_), U8(lower_), 0, 0};
    }
}

// --- Accidental ---------------------------------------------------------

AccidentalAttributesDialog::AccidentalAttributesDialog(const Objects& objects) {
    title_ = MessageText(msg::AccidentalAttributesCaption);
    type = radio(" Type ",
                 {"&Double Flat", "&Flat", "Nat&ural", "Sha&rp", "Do&uble Sharp", "No c&hange"});
    size = radio(" Size ", {"N&ormal", "&Small", "No chan&ge"});
    courtesy = radio(" Courtesy  ", {"&No", "&Yes", "No chang&e"});
    openOn(type, Each(objects, kAccidental, [](const ScoreObject& o) {
               const int a = o.data.accidental.accidental;
               return a >= -2 && a <= 2 ? a + 2 : -1;
           }));
    openOn(size, Each(objects, kAccidental,
                      [](const ScoreObject& o) { return o.data.accidental.small ? 1 : 0; }));
    openOn(courtesy, Each(objects, kAccidental, [](const ScoreObject& o) {
               return o.data.accidental.parentheses ? 1 : 0;
           }));
    if (CountOf(objects, kAccidental) == 1) dropNoChange();
}

void AccidentalAttributesDialog::applyTo(ScoreObject& o) const {
    AccidentalData& a = o.data.accidental;
    if (const auto t = chosen(type)) {
        a.accidental = static_cast<int8_t>(*t - 2);
        o.glyph = AccidentalGlyph(a.accidental);
    }
    if (const auto s = chosen(size)) a.small = U8(*s);
    if (const auto c = chosen(courtesy)) a.parentheses = U8(*c);
}

// --- Hairpin ------------------------------------------------------------

HairpinAttributesDialog::HairpinAttributesDialog(const Objects& objects) {
    title_ = MessageText(msg::HairpinAttributesCaption);
    thickness = radio(" Line thickness ", {"Thinnest", "1", "2", "3", "4", "5", "No change"});
    openOn(thickness, Each(objects, kHairpin, [](const ScoreObject& o) {
               return o.data.hairpin.thickness <= 5 ? o.data.hairpin.thickness : -1;
           }));
    if (CountOf(objects, kHairpin) == 1) dropNoChange();
}

void HairpinAttributesDialog::applyTo(ScoreObject& o) const {
    if (const auto t = chosen(thickness)) o.data.hairpin.thickness = U8(*t);
}

// --- Curve --------------------------------------------------------------

CurveAttributesDialog::CurveAttributesDialog(const Objects& objects) {
    title_ = MessageText(msg::CurveAttributesCaption);
    thickness = radio(" Line thickness ", kThickness);
    dotted = radio(" &Dotted ", kYesNo);
    editorial = radio(" &Editorial mark ", kYesNo);
    openOn(thickness, Each(objects, kCurve, [](const ScoreObject& o) {
               return o.data.curve.thickness <= 5 ? o.data.curve.thickness : -1;
           }));
    openOn(dotted,
           Each(objects, kCurve, [](const ScoreObject& o) { return o.data.curve.styleBits & 1; }));
    openOn(editorial, Each(objects, kCurve,
                           [](const ScoreObject& o) { return (o.data.curve.styleBits >> 1) & 1; }));
    if (CountOf(objects, kCurve) == 1) dropNoChange();
}

void CurveAttributesDialog::applyTo(ScoreObject& o) const {
    CurveData& c = o.data.curve;
    if (const auto t = chosen(thickness)) c.thickness = U8(*t);
    if (const auto d = chosen(dotted)) c.styleBits = U8((c.styleBits & ~1) | *d);
    if (const auto e = chosen(editorial)) c.styleBits = U8((c.styleBits & ~2) | (*e << 1));
}

bool CurveAttributesDialog::applyInScore(Score& score, const std::vector<NoteRef>& list, Host&,
                                         ApplyReport& report) {
    for (const NoteRef& r : list) {
        if (!score.hasStave(r.s) || !score.stave(r.s).validIndex(r.i)) continue;
        StaveBlock& b = score.stave(r.s);
        if (b.obj[r.i].kind != kCurve) continue;
        const CurveData mine = b.obj[r.i].data.curve;
        for (int j : CurveOf(b, r.i)) {
            CurveData& c = b.obj[j].data.curve;
            if (c.thickness == mine.thickness && c.styleBits == mine.styleBits) continue;
            c.thickness = mine.thickness;
            c.styleBits = mine.styleBits;
            report.touched.push_back({r.s, j});
        }
    }
    return true;
}

// --- Arpeggiando --------------------------------------------------------

ArpeggioAttributesDialog::ArpeggioAttributesDialog(const Objects& objects) {
    title_ = MessageText(msg::ArpeggioAttributesCaption);
    bends = box("&Bends");
    up = radio(" With up arrow ", kYesNo);
    down = radio(" With down arrow ", kYesNo);
    const std::vector<int> counts =
        Each(objects, kOther, [](const ScoreObject& o) { return int{o.data.other.bends}; });
    bends_ = counts.empty() ? 1 : std::clamp(counts.front(), 1, 99);
    at(bends).text = std::to_string(bends_);
    openOn(up, Each(objects, kOther,
                    [](const ScoreObject& o) { return o.data.other.upArrow ? 1 : 0; }));
    openOn(down, Each(objects, kOther,
                      [](const ScoreObject& o) { return o.data.other.downArrow ? 1 : 0; }));
    if (counts.size() == 1) dropNoChange();
}

bool ArpeggioAttributesDialog::boxText(int id, const std::string& text, Host&) {
    const std::optional<long> n = WholeNumber(text);
    if (id != bends || !n) return false;
    bends_ = static_cast<int>(std::clamp<long>(*n, 1, 99));
    at(bends).text = std::to_string(bends_);
    return true;
}

void ArpeggioAttributesDialog::applyTo(ScoreObject& o) const {
    o.data.other.bends = U8(bends_);
    if (const auto u = chosen(up)) o.data.other.upArrow = U8(*u);
    if (const auto d = chosen(down)) o.data.other.downArrow = U8(*d);
}

// --- Lines --------------------------------------------------------------

namespace {

// The ends choice of the leg bits: Neither, Both, Left only, Right only.
int EndsChoice(const LineData& l) {
    const bool start = l.legEnds & 2, end = l.legEnds & 4;
    if (l.legDirection == 0 || (!start && !end)) return 0;
    return start && end ? 1 : start ? 2 : 3;
}
constexpr int kEndBits[] = {0, 6, 2, 4};
// Dash and gap lengths as files keep them.
constexpr int kMinDash = 3, kMaxDash = 20;

}  // namespace

LineDialog::LineDialog(const Objects& objects, bool legsOnly) : legsOnly_(legsOnly) {
    title_ = MessageText(legsOnly ? msg::LineLegsCaption : msg::LinePropertiesCaption);
    for (const ScoreObject* o : objects)
        if (o && o->kind == kLine) {
            first_ = *o;
            break;
        }
    const int count = CountOf(objects, kLine);
    if (!legsOnly) {
        thickness =
            radio(" Line Thickness ", {"&Thinnest", "&1", "&2", "&3", "&4", "&5", "No &change"});
        type = radio(" T&ype ", {"&Solid", "Dash", "Wi&ggly", "With ga&p", "No change"});
        segment = box("Segment");
        gap = box("Gap");
        openOn(thickness, Each(objects, kLine, [](const ScoreObject& o) {
                   return o.data.line.thickness <= 5 ? o.data.line.thickness : -1;
               }));
        openOn(type, Each(objects, kLine, [](const ScoreObject& o) {
                   return o.data.line.style <= 3 ? o.data.line.style : -1;
               }));
        // Several lines open on "no change" (0) for the lengths.
        segment_ = count == 1 ? first_.data.line.dashLength : 0;
        gap_ = count == 1 ? first_.data.line.gapLength : 0;
    }
    legs.direction = radio(" Direction ", {"&Down", "&Up", "&Left", "&Right"});
    legs.ends = radio(" Ends ", {"&Neither", "&Both", "L&eft only", "R&ight only"});
    legs.length = box("Leg lengt&h");
    legs.first = button("1st time bar");
    legs.second = button("2nd time bar");
    if (!legsOnly) {
        tuplets = button("Tuplets");
        allowLegs = check("Allo&w leg change");
    }
    const LineData& l = first_.data.line;
    at(legs.direction).value = l.legDirection >= 1 && l.legDirection <= 4 ? l.legDirection - 1 : -1;
    at(legs.ends).value = EndsChoice(l);
    length_ = l.legLength >= 1 && l.legLength <= 50 ? l.legLength : 10;
    if (!legsOnly) {
        const std::vector<int> legSets = Each(objects, kLine, [](const ScoreObject& o) {
            return o.data.line.legDirection | (o.data.line.legEnds << 4) |
                   (o.data.line.legLength << 8);
        });
        at(allowLegs).value = std::all_of(legSets.begin(), legSets.end(),
                                          [&](int v) { return v == legSets.front(); });
        if (count == 1) dropNoChange();
    }
    changed(-1, nullptr);
}

bool LineDialog::boxText(int id, const std::string& text, Host&) {
    const std::optional<long> n = WholeNumber(text);
    if (!n) return false;
    if (id == legs.length) length_ = static_cast<int>(std::clamp<long>(*n, 1, 50));
    // 0 leaves each line's length; anything else is brought into what files keep.
    auto dash = [&](long v) {
        return v == 0 ? 0 : static_cast<int>(std::clamp<long>(v, kMinDash, kMaxDash));
    };
    if (id == segment) segment_ = dash(*n);
    if (id == gap) gap_ = dash(*n);
    return true;
}

void LineDialog::timeBar(bool both, bool withGap) {
    at(legs.ends).value = both ? 1 : 2;
    at(legs.direction).value = 0;
    length_ = 15;
    if (legsOnly_) return;
    at(allowLegs).value = 1;
    at(thickness).value = 1;
    at(type).value = withGap ? 3 : 0;
    if (withGap) gap_ = kMaxDash;
}

void LineDialog::pressed(int id, Host&) {
    if (id == legs.first) timeBar(true, false);
    if (id == legs.second) timeBar(false, false);
    if (id == tuplets) timeBar(true, true);
}

void LineDialog::changed(int, Host*) {
    if (!legsOnly_) {
        const std::optional<int> t = chosen(type);
        at(segment).enabled = t == 1 || t == 2 || t == 3;
        at(gap).enabled = t == 1 || t == 3;
        at(segment).text = std::to_string(segment_);
        at(gap).text = std::to_string(gap_);
    }
    at(legs.length).text = std::to_string(length_);
}

void LineDialog::applyTo(ScoreObject& o) const {
    LineData& l = o.data.line;
    if (!legsOnly_) {
        if (const auto t = chosen(thickness)) l.thickness = U8(*t);
        if (const auto t = chosen(type)) l.style = U8(*t);
        if (segment_ > 0 && control(segment).enabled) l.dashLength = U8(segment_);
        if (gap_ > 0 && control(gap).enabled) l.gapLength = U8(gap_);
        if (!control(allowLegs).value) return;
    }
    const int ends = std::max(0, control(legs.ends).value);
    const int dir = control(legs.direction).value;
    l.legEnds = U8(kEndBits[ends]);
    l.legDirection = U8(ends == 0 || dir < 0 ? 0 : dir + 1);
    l.legLength = U8(length_);
}

std::optional<ScoreObject> LineDialog::sample() const {
    if (!legsOnly_ && (!chosen(thickness) || !chosen(type))) return std::nullopt;
    ScoreObject o = first_;
    o.kind = kLine;
    o.data.line.dx = 120;
    o.data.line.dy = 0;
    if (!legsOnly_ && !control(allowLegs).value) o.data.line.legDirection = 0;
    applyTo(o);
    if (o.data.line.dashLength < kMinDash) o.data.line.dashLength = kMinDash;
    if (o.data.line.gapLength < kMinDash) o.data.line.gapLength = kMinDash;
    return o;
}

// --- Text ---------------------------------------------------------------

namespace {

// The pieces of the chain starting at i, bounded so a damaged loop ends.
std::vector<int> TextPieces(const StaveBlock& b, int i) {
    std::vector<int> pieces;
    while (b.validIndex(i) && HasTextLayout(b.obj[i].kind) &&
           std::find(pieces.begin(), pieces.end(), i) == pieces.end() &&
           pieces.size() < static_cast<std::size_t>(kMaxObjects)) {
        pieces.push_back(i);
        i = b.obj[i].text().nextChunk;
    }
    return pieces;
}

constexpr std::size_t kChunk = 10;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t nl = text.find('\n', from);
        lines.push_back(text.substr(from, nl == std::string::npos ? std::string::npos : nl - from));
        if (nl == std::string::npos) break;
        from = nl + 1;
    }
    for (std::string& l : lines)
        std::replace(l.begin(), l.end(), '\r', ' ');
    return lines;
}

}  // namespace

TextAttributesDialog::TextAttributesDialog(const Objects& objects, const DialogContext& context) {
    title_ = MessageText(msg::TextAttributesCaption);
    text = memo("Text");
    const std::vector<std::string> yn = {"Yes", "No", "No change"};
    transposable = radio(" &Transposable ", yn);
    immobile = radio(" &Immobile ", yn);
    boxed = radio(" &Boxed ", yn);
    global = radio(" &Global ", yn);
    changeFont = button("Change &Font");
    alterFont = check("Alter font on &exit");
    std::string lines;
    for (std::size_t k = 0; k < objects.size(); ++k) {
        const ScoreObject* o = objects[k];
        if (!o || !IsTextLike(o->kind)) continue;
        std::string t = o->chunk();
        if (context.score && k < context.refs.size() &&
            context.score->hasStave(context.refs[k].s)) {
            const StaveBlock& b = context.score->stave(context.refs[k].s);
            t.clear();
            for (int j : TextPieces(b, context.refs[k].i))
                t += b.obj[j].chunk();
        }
        if (!lines.empty() || k > 0) lines += '\n';
        lines += t;
    }
    at(text).text = lines;
    auto flag = [&](int id, uint8_t bit) {
        openOn(id, Each(objects, kText,
                        [bit](const ScoreObject& o) { return o.text().textFlags & bit ? 0 : 1; }));
    };
    flag(transposable, kTextTransposable);
    flag(immobile, kTextImmobile);
    flag(boxed, kTextBoxed);
    flag(global, kTextGlobal);
    if (context.score) {
        for (const ScoreObject* o : objects)
            if (o && IsTextLike(o->kind)) {
                const int f = o->text().fontNumber;
                if (f >= 1 && f <= kMaxFonts)
                    font_ = context.score->fonts[static_cast<std::size_t>(f)];
                break;
            }
    }
    if (CountOf(objects, kText) == 1) dropNoChange();
}

void TextAttributesDialog::pressed(int id, Host&) {
    if (id != changeFont || !chooseFont) return;
    FontDesc f = font_;
    if (!chooseFont(f)) return;
    font_ = f;
    at(alterFont).value = 1;
}

void TextAttributesDialog::applyTo(ScoreObject& o) const {
    auto flag = [&](int id, uint8_t bit) {
        if (const auto c = chosen(id))
            o.text().textFlags =
                U8(*c == 0 ? (o.text().textFlags | bit) : (o.text().textFlags & ~bit));
    };
    flag(transposable, kTextTransposable);
    flag(immobile, kTextImmobile);
    flag(boxed, kTextBoxed);
    flag(global, kTextGlobal);
}

bool TextAttributesDialog::applyInScore(Score& score, const std::vector<NoteRef>& list, Host& host,
                                        ApplyReport& report) {
    const std::vector<std::string> lines = Lines(control(text).text);
    int fontNumber = 0;
    if (control(alterFont).value) {
        fontNumber = FindOrAddFont(score, font_, host);
        if (fontNumber < 1) return false;
    }
    std::size_t line = 0;
    for (const NoteRef& r : list) {
        if (!score.hasStave(r.s) || !score.stave(r.s).validIndex(r.i)) continue;
        StaveBlock& b = score.stave(r.s);
        if (!IsTextLike(b.obj[r.i].kind)) continue;
        // Line i is text i; a text past the memo's last line keeps its words.
        const std::optional<std::string> words =
            line < lines.size() ? std::optional(lines[line]) : std::nullopt;
        ++line;
        std::vector<int> pieces = TextPieces(b, r.i);
        if (words) {
            const std::size_t need =
                std::max<std::size_t>(1, (words->size() + kChunk - 1) / kChunk);
            if (need > pieces.size() &&
                b.count() + static_cast<int>(need - pieces.size()) >= kObjectLimit) {
                host.message(MsgType::Error, MessageText(msg::StaveTooComplex), Buttons::OK);
                continue;  // this text keeps its words
            }
            const ScoreObject head = b.obj[r.i];
            for (std::size_t k = 0; k < need; ++k) {
                if (k == pieces.size()) {
                    const int slot = b.count() + 1;
                    b.h.Nobjec = static_cast<uint8_t>(slot);
                    ScoreObject piece = head;
                    piece.x = piece.y = 0;
                    piece.text().textFlags = U8(head.text().textFlags | kTextContinuation);
                    b.obj[slot] = piece;
                    pieces.push_back(slot);
                }
                ScoreObject& p = b.obj[pieces[k]];
                p.setChunk(words->substr(std::min(words->size(), k * kChunk), kChunk));
                p.text().chunkLength = U8(p.chunk().size());
                p.text().nextChunk = 0;
                if (k > 0) b.obj[pieces[k - 1]].text().nextChunk = U8(pieces[k]);
            }
            // Surplus pieces go.
            for (std::size_t k = need; k < pieces.size(); ++k)
                NewObjectRecord(b.obj[pieces[k]]);
            pieces.resize(need);
        }
        for (int j : pieces) {
            if (j != r.i) {
                applyTo(b.obj[j]);
                b.obj[j].text().textFlags |= kTextContinuation;
                b.obj[j].x = b.obj[j].y = 0;
            }
            if (fontNumber > 0) b.obj[j].text().fontNumber = U8(fontNumber);
            report.touched.push_back({r.s, j});
        }
    }
    return true;
}

// --- Object type selection ----------------------------------------------

ObjectTypeSelection::ObjectTypeSelection(const std::vector<int>& kindsPresent) {
    title_ = MessageText(msg::TypeSelectionCaption);
    label(MessageText(msg::TypeSelectionHeading));
    static const char* const kCaptions[] = {"&Notes", "&Accidentals", "&Clefs",  "&Key signatures",
                                            "&Lines", "&Hairpins",    "C&urves", "&Text"};
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
        const int id = button(kCaptions[k]);
        if (k == 0) firstButton_ = id;
        const int kind = kKinds[k];
        at(id).enabled = std::any_of(kindsPresent.begin(), kindsPresent.end(), [&](int p) {
            return p == kind || (kind == kText && IsTextLike(p));
        });
    }
    label(MessageText(msg::TypeSelectionPrompt));
}

void ObjectTypeSelection::pressed(int id, Host&) {
    const int k = id - firstButton_;
    if (k >= 0 && k < static_cast<int>(std::size(kKinds)) && control(id).enabled)
        chosen_ = kKinds[k];
}

RadioListChooser::RadioListChooser(std::string title, const std::string& group,
                                   std::vector<std::string> items) {
    title_ = std::move(title);
    list_ = radio(group, std::move(items));
}

std::optional<int> RadioListChooser::result() const {
    const std::optional<int> k = chosen(list_);
    return k ? std::optional<int>(kResultBase + *k) : std::nullopt;
}

// --- The dispatch -------------------------------------------------------

std::unique_ptr<ObjectDialog> MakeObjectDialog(const Objects& objects,
                                               const DialogContext& context) {
    const ScoreObject* first = objects.empty() ? nullptr : objects.front();
    if (!first) return nullptr;
    switch (first->kind) {
        case kClef:
            return std::make_unique<ClefAttributesDialog>(objects);
        case kKeysig:
            return std::make_unique<KeySignatureDialog>(objects);
        case kTimesig:
            return std::make_unique<TimeSignatureDialog>(objects);
        case kNote:
            return std::make_unique<NoteAttributesDialog>(objects, context);
        case kAccidental:
            return std::make_unique<AccidentalAttributesDialog>(objects);
        case kLine:
            return std::make_unique<LineDialog>(objects, false);
        case kCurve:
            return std::make_unique<CurveAttributesDialog>(objects);
        case kOther:
            return std::make_unique<ArpeggioAttributesDialog>(objects);
        case kText:
        case kHeadertext:
        case kFootertext:
            return std::make_unique<TextAttributesDialog>(objects, context);
        case kHairpin:
            return std::make_unique<HairpinAttributesDialog>(objects);
        default:
            return nullptr;
    }
}

}  // namespace sw
