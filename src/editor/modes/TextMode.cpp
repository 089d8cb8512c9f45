// Text mode: a text, a lyric or a header or footer text typed at a point
// attached to its stave, stored line by line, word by word.
#include <algorithm>
#include <climits>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "editor/DocumentController.h"
#include "editor/modes/PlacingModes.h"
#include "layout/PageGeometry.h"
#include "layout/Rounding.h"

namespace sw {

namespace {

constexpr std::size_t kMaxText = 255;
constexpr std::size_t kAskBeforeAbandoning = 6;  // characters typed
constexpr int kLevelBound = 3;                   // questions for levels 1 and 2
constexpr int32_t kAboveStave = 16;              // a text starts two spaces above the middle line
constexpr int32_t kLyricGap = 20, kLyricFloor = 16, kNextNoteGap = 10;
constexpr int kMinFontSize = 3;
constexpr uint8_t kImmobileFlag = 2, kTransposableFlag = 4, kBoxedFlag = 8;
// Characters that stand for the sharp, natural and flat signs and the fixed-width space.
constexpr char kSharpSign = 27, kNaturalSign = 28, kFlatSign = 29, kFixedSpace = 30;
constexpr unsigned char kCopyright = 0xA9;

}  // namespace

TextFont TextMode::font() const {
    const FontDesc& f = d_.ui_.tools.textFont;
    return TextFont{f.name, f.size, f.style};
}

int32_t TextMode::width(const std::string& text) const {
    return d_.measurer_.width(font(), text);
}

int32_t TextMode::height() const {
    return d_.measurer_.height(font(), buffer_);
}

void TextMode::enter(int from) {
    from_ = from;
    buffer_.clear();
    words_.clear();
    lyric_ = dragging_ = false;
    PlacementTools& t = d_.ui_.tools;
    t.lyric = false;
    // A new text starts plain, in the font the last one used.
    t.transposable = t.immobile = t.boxed = false;
    Placing::begin(d_);
    const Score& score = d_.score_;
    const int s = score.CurrentStave;
    if (IsHeadFootMode(from)) {
        // In the header or footer band: at the mouse, else at the band's top left.
        const bool inside = d_.pointerIn_ && d_.pointerX_ >= 0 &&
                            d_.pointerX_ < ComputePageGeometry(score).width && d_.pointerY_ >= 0 &&
                            d_.pointerY_ < HeaderFooterBand(score, from == kModeHead);
        left_ = inside ? d_.pointerX_ : 0;
        bottom_ = inside ? d_.pointerY_ : height();
    } else {
        left_ = d_.cursorX_;
        bottom_ = score.hasStave(s) ? score.stave(s).h.Ycoord - kAboveStave : height();
    }
    d_.view_.movePointerTo(left_, bottom_);
    d_.showGuidance(msg::GuidanceText);
    refresh();
}

void TextMode::leave(int to) {
    buffer_.clear();
    words_.clear();
    lyric_ = dragging_ = false;
    d_.ui_.tools.lyric = false;
    Placing::clear(d_);
    RedrawOnReturn(d_, to);
}

void TextMode::beforeMusic() {
    // Leaving for Music keeps what was typed, as Enter would.
    complete();
}

void TextMode::place() {
    if (!lyric_) return;
    // A syllable is centred on its note; the hyphen that ends it hangs after it.
    std::string bare = buffer_;
    if (!bare.empty() && bare.back() == '-') bare.pop_back();
    left_ = lyricX_ - RoundEven(width(bare) / 2.0);
}

void TextMode::refresh() {
    PlacingOverlay& o = d_.ui_.overlay;
    o = PlacingOverlay{};
    o.text = PlacingOverlay::Text{buffer_, d_.ui_.tools.textFont, left_, bottom_ - height(),
                                  d_.ui_.tools.boxed};
    Placing::attachFrom(d_, left_ + width(buffer_), bottom_);
    Placing::show(d_);
}

void TextMode::toolsChanged() {
    place();
    refresh();
}

void TextMode::type(char byte) {
    if (lyric_ && (byte == ' ' || byte == '-')) {
        if (byte == '-' && buffer_.size() < kMaxText) buffer_ += byte;
        nextSyllable(byte == ' ');
        return;
    }
    if (buffer_.size() >= kMaxText) return;
    buffer_ += byte;
    place();
    refresh();
}

void TextMode::move(int32_t dx, int32_t dy) {
    (lyric_ ? lyricX_ : left_) += dx;
    bottom_ = Placing::clampY(d_, bottom_ + dy);
    place();
    refresh();
}

void TextMode::setFont(const FontDesc& f) {
    // The text keeps its left edge (a syllable its centre); the caret moves.
    d_.setTextFont(f);
}

bool TextMode::storeLine(bool finished) {
    const Score& score = d_.score_;
    const PlacementTools& t = d_.ui_.tools;
    TextLine line;
    line.stave = score.CurrentStave;
    line.kind = line.stave != 0 ? kText : from_ == kModeHead ? kHeadertext : kFootertext;
    line.left = left_;
    line.bottom = bottom_;
    line.bytes = buffer_;
    line.font = t.textFont;
    line.flags =
        static_cast<uint8_t>((t.immobile ? kImmobileFlag : 0) |
                             (t.transposable ? kTransposableFlag : 0) | (t.boxed ? kBoxedFlag : 0));
    EditContext ctx = d_.editContext();
    const StoredText stored = StoreText(ctx, line, d_.measurer_, words_, finished);
    words_.insert(words_.end(), stored.words.begin(), stored.words.end());
    buffer_.clear();
    d_.afterEdits();
    if (stored.complete) return true;
    // A full stave keeps what went in; the text ends there.
    d_.setEditMode(IsHeadFootMode(from_) ? from_ : kModeMusic);
    return false;
}

void TextMode::newLine() {
    if (!storeLine(false)) return;
    bottom_ += height();
    if (lyric_) lyricX_ = firstNoteX_;
    place();
    refresh();
}

void TextMode::complete() {
    const int back = IsHeadFootMode(from_) ? from_ : kModeMusic;
    if (storeLine(true)) d_.setEditMode(back);
}

void TextMode::abandon() {
    if (d_.settings_.level < kLevelBound && buffer_.size() > kAskBeforeAbandoning &&
        d_.host_.message(MsgType::Confirmation, MessageText(msg::AbortTextQuestion),
                         Buttons::YesNo) != Answer::Yes)
        return;
    d_.setEditMode(IsHeadFootMode(from_) ? from_ : kModeMusic);
}

bool TextMode::startLyric() {
    const Score& score = d_.score_;
    const int s = score.CurrentStave;
    if (s < 1 || s > score.Nstaves || !score.hasStave(s)) return false;
    const StaveBlock& b = score.stave(s);
    const ScoreObject* first = nullptr;
    int32_t lowest = INT32_MIN;
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (o.kind != kNote || o.note().rest) continue;
        if (!first) first = &o;
        lowest = std::max(lowest, o.y);
    }
    if (!first) return false;
    // The words' top edge 20 pixels below the lowest note (or below the stave
    // when the notes are high); the caret at their foot.
    bottom_ = std::max(lowest, b.h.Ycoord + kLyricFloor) + kLyricGap + height();
    firstNoteX_ = lyricX_ = first->x;
    lyric_ = d_.ui_.tools.lyric = true;
    place();
    refresh();
    return true;
}

void TextMode::nextSyllable(bool spaced) {
    const int32_t caret = left_ + width(buffer_);
    if (!buffer_.empty() && !storeLine(false)) return;
    // The next note is the next one after this syllable's note, however wide
    // the syllable: notes closer than the words are still each given one.
    const Score& score = d_.score_;
    const int s = score.CurrentStave;
    const ScoreObject* next = nullptr;
    if (s >= 1 && s <= score.Nstaves && score.hasStave(s)) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count() && !next; ++i)
            if (b.obj[i].kind == kNote && !b.obj[i].note().rest &&
                b.obj[i].x > lyricX_ + kNextNoteGap)
                next = &b.obj[i];
    }
    if (next) {
        lyricX_ = next->x;
    } else {
        // The last note has its syllable: what follows is plain text.
        lyric_ = d_.ui_.tools.lyric = false;
        left_ = caret + (spaced ? width(" ") : 0);
    }
    place();
    refresh();
    d_.refreshUi();
}

PointerResult TextMode::pointer(const PointerEvent& e) {
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        dragging_ = true;
        mouseX_ = e.x;
        mouseY_ = e.y;
        d_.ui_.cursor = CursorShape::Hidden;
    } else if (e.kind == PointerEvent::Move && dragging_) {
        // The text follows the mouse while the button is held.
        move(e.x - mouseX_, e.y - mouseY_);
        mouseX_ = e.x;
        mouseY_ = e.y;
    } else if (e.kind == PointerEvent::Release && e.button == MouseButton::Left) {
        dragging_ = false;
        d_.ui_.cursor = CursorShape::Cursor1;
    } else {
        return {true, false, false};
    }
    return {true, true, false};
}

bool TextMode::key(const std::string& key) {
    const KeyParts k = SplitKey(key);
    if (k.held.alt) return false;
    const std::string& n = k.name;
    if (k.held.ctrl) {
        if (n == "C")
            type(static_cast<char>(kCopyright));
        else if (n == "F" || n == "V")
            type(kFlatSign);
        else if (n == "N")
            type(kNaturalSign);
        else if (n == "S")
            type(kSharpSign);
        else if (n == "Space")
            type(kFixedSpace);
        else if (n == "B" || n == "I" || n == "U")
            tool(n == "B"   ? Action::TextBold
                 : n == "I" ? Action::TextItalic
                            : Action::TextUnderline);
        else if (n == "Enter")
            newLine();
        else if (n == "[" || n == "]") {
            FontDesc f = d_.ui_.tools.textFont;
            f.size = static_cast<int16_t>(std::max(kMinFontSize, f.size + (n == "]" ? 1 : -1)));
            setFont(f);
        } else if (n == "Left" || n == "Right")
            move(n == "Left" ? -10 : 10, 0);
        else if (n == "Up" || n == "Down")
            move(0, n == "Up" ? -5 : 5);
        else
            return false;
        return true;
    }
    if (n.size() == 1) {
        // A letter key is the small letter, with Shift the capital.
        char c = n[0];
        if (c >= 'A' && c <= 'Z' && !k.held.shift) c = static_cast<char>(c - 'A' + 'a');
        type(c);
    } else if (n == "Space") {
        type(' ');
    } else if (n == "Backspace") {
        if (!buffer_.empty()) buffer_.pop_back();
        place();
        refresh();
    } else if (n == "Enter") {
        complete();
    } else if (n == "Esc") {
        abandon();
    } else if (n == "Tab") {
        tool(Action::TextItalic);
    } else if (n == "Left" || n == "Right") {
        move(n == "Left" ? -1 : 1, 0);
    } else if (n == "Up" || n == "Down") {
        move(0, n == "Up" ? -1 : 1);
    } else if (n == "PgUp" || n == "PgDown") {
        if (Placing::neighbour(d_, n == "PgDown")) move(0, 0);
    } else {
        return false;
    }
    return true;
}

bool TextMode::character(char32_t c) {
    // Control characters come as keys.
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return false;
    const std::optional<uint8_t> byte = Cp1252Byte(c);
    if (!byte) {
        // A character the file cannot hold is refused, never stored as another.
        d_.host_.message(MsgType::Warning, FormatMessage(msg::CharacterNotInScoreText, Utf8Of(c)),
                         Buttons::OK);
        return true;
    }
    type(static_cast<char>(*byte));
    return true;
}

bool TextMode::tool(Action a) {
    PlacementTools& t = d_.ui_.tools;
    FontDesc f = t.textFont;
    switch (a) {
        case Action::Lyric:
            startLyric();
            break;
        case Action::LyricButton:
            if (lyric_) {
                lyric_ = t.lyric = false;
                refresh();
            } else {
                startLyric();
            }
            break;
        case Action::TextCentre: {
            // Across the page: a syllable by its note's place, a text by its width.
            const int32_t w = ComputePageGeometry(d_.score_).width;
            if (lyric_)
                lyricX_ = RoundEven(w / 2.0);
            else
                left_ = RoundEven((w - width(buffer_)) / 2.0);
            place();
            refresh();
            break;
        }
        case Action::CompleteText:
            complete();
            break;
        case Action::AbortText:
            abandon();
            break;
        case Action::TextTransposable:
            d_.setTextFlags(!t.transposable, t.immobile, t.boxed);
            break;
        case Action::TextImmobile:
            d_.setTextFlags(t.transposable, !t.immobile, t.boxed);
            break;
        case Action::TextBoxed:
            d_.setTextFlags(t.transposable, t.immobile, !t.boxed);
            break;
        case Action::TextBold:
        case Action::TextItalic:
        case Action::TextUnderline:
            f.style ^= a == Action::TextBold     ? kBold
                       : a == Action::TextItalic ? kItalic
                                                 : kUnderline;
            setFont(f);
            break;
        case Action::ChooseFont:
            if (d_.dialogs_.chooseFont(f)) setFont(f);
            break;
        case Action::FavouriteFont:
            if (const std::optional<FontDesc> fav = d_.dialogs_.selectFavourite()) setFont(*fav);
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace sw
