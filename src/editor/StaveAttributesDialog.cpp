// The stave attributes dialog's model: loading, the rules between its
// controls and OK.
#include "editor/StaveAttributesDialog.h"

#include <algorithm>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/PlaybackDialogs.h"
#include "editor/commands/StaveCommands.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/Barlines.h"

namespace sw {

namespace {

constexpr int kMaxTranspose = 24, kOctave = 12;
constexpr int kPrograms = 128;
constexpr int kBarNumberPlaces = 4;

// Whether notes of two voices stand together anywhere on the stave: notes of
// both stem directions, or a note and a rest, at one x.
bool HoldsTwoParts(const StaveBlock& b) {
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& p = b.obj[i];
        if (p.kind != kNote) continue;
        for (int j = i + 1; j <= b.count() && b.obj[j].x == p.x; ++j) {
            const ScoreObject& q = b.obj[j];
            if (q.kind != kNote) continue;
            const bool rests = (p.note().rest != 0) != (q.note().rest != 0);
            const bool stems =
                p.note().stem <= 1 && q.note().stem <= 1 && p.note().stem != q.note().stem;
            if (rests || stems) return true;
        }
    }
    return false;
}

// Going down from r while a stave is bracketed with the next, the next takes
// its "with bracket".
void BracketChain(Score& score, int r) {
    for (int t = r; t < score.Nstaves && score.stave(t).h.bracketWithNext; ++t) {
        StaveHeader& next = score.stave(t + 1).h;
        if (next.withBracket == score.stave(t).h.withBracket) break;
        next.withBracket = score.stave(t).h.withBracket;
    }
}

}  // namespace

std::string InstrumentName(int program) {
    if (program < 0 || program >= kPrograms) return InstrumentChooserModel::kNotAllocated;
    // The chooser's item without its number: "41 Violin" is "Violin".
    const std::string text = InstrumentChooserModel::Name(program);
    const std::size_t space = text.find(' ');
    return space == std::string::npos ? text : text.substr(space + 1);
}

std::string InstrumentCaption(int instrument) {
    if (instrument < 1 || instrument > kPrograms) return InstrumentChooserModel::kNotAllocated;
    return InstrumentName(instrument - 1) + "...";
}

StaveAttributesModel::StaveAttributesModel(const Score& score, int s, bool american)
    : s_(s), american_(american) {
    const StaveBlock& b = score.stave(s);
    const StaveHeader& h = b.h;
    last_ = s >= score.Nstaves;
    twoParts_ = HoldsTwoParts(b);
    oldLines_ = h.lineCount;
    values_[Join] = h.joinToNext && !last_;
    values_[Brace] = h.withBrace;
    values_[BarlineThrough] = h.barlineThrough;
    values_[FullEndBar] = h.fullEndBar;
    values_[Bracket] = h.withBracket;
    values_[BracketNext] = h.bracketWithNext;
    values_[Invisible] = h.invisible;
    values_[PageBreak] = h.ForcedBk;
    values_[OneLine] = h.lineCount == 1;
    values_[Small] = h.sizeIndex != 0 || h.cue;
    barNumbers_ = std::clamp<int>(h.barNumberPlace, 0, kBarNumberPlaces - 1);
    transpose_ = std::clamp<int>(h.soundTranspose, -kMaxTranspose, kMaxTranspose);
    up_ = h.instrumentUp;
    down_ = h.instrumentDown;
    std::fill(std::begin(enabled_), std::end(enabled_), true);
    enabled_[Invisible] = false;
    rulesForJoin();
    enabled_[Small] = !values_[OneLine];
}

bool StaveAttributesModel::enabled(Control c) const {
    return c < kControlCount && enabled_[c];
}

void StaveAttributesModel::rulesForJoin() {
    const bool join = values_[Join];
    for (Control c : {Brace, FullEndBar, BracketNext}) {
        enabled_[c] = join;
        if (!join) values_[c] = false;
    }
    if (!join) values_[BarlineThrough] = false;
    enabled_[BarlineThrough] = join;
    enabled_[PageBreak] = !join;
    connEnabled();
}

void StaveAttributesModel::connEnabled() {
    enabled_[Join] = !values_[PageBreak] && !last_ && !values_[Invisible];
}

void StaveAttributesModel::set(Control c, bool on) {
    if (!enabled(c)) return;
    values_[c] = on;
    const bool oneLine = values_[OneLine];
    switch (c) {
        case Join:
            rulesForJoin();
            break;
        case PageBreak:
        case Invisible:
            connEnabled();
            break;
        case BracketNext:
            if (on) values_[Bracket] = true;
            if (!on && oneLine) values_[Bracket] = false;
            break;
        case Bracket:
            if (!on) values_[BracketNext] = false;
            if (on && oneLine && enabled_[BracketNext]) values_[BracketNext] = true;
            break;
        case OneLine:
            linesChosen_ = true;
            if (on) values_[Bracket] = values_[BracketNext] = values_[Small] = false;
            enabled_[Small] = !on;
            break;
        default:
            break;
    }
}

void StaveAttributesModel::setBarNumbers(int place) {
    if (place < 0 || place >= kBarNumberPlaces) return;
    barNumbers_ = place;
    replicate_ = true;
}

bool StaveAttributesModel::setTranspose(int semitones) {
    if (semitones < -kMaxTranspose || semitones > kMaxTranspose) return false;
    transpose_ = semitones;
    replicate_ = true;
    return true;
}

void StaveAttributesModel::octave(bool up) {
    setTranspose(up ? kOctave : -kOctave);
}

void StaveAttributesModel::chooseInstrumentUp(const Chooser& choose) {
    const std::optional<int> r = choose(up_ - 1);
    if (!r || *r < -1 || *r >= kPrograms) return;
    up_ = down_ = *r + 1;
    replicate_ = true;
}

void StaveAttributesModel::chooseInstrumentDown(const Chooser& choose, Host& host) {
    const std::optional<int> r = choose(down_ - 1);
    if (!r || *r < -1 || *r >= kPrograms) return;
    int chosen = *r + 1;
    if (!twoParts_ && chosen != up_ &&
        host.message(MsgType::Confirmation,
                     FormatMessage(msg::OnlyOnePart, InstrumentName(chosen - 1).c_str()),
                     Buttons::YesNo) != Answer::Yes)
        return;
    if (chosen == 0 && up_ != 0) {
        host.message(MsgType::Warning,
                     FormatMessage(msg::UnallocatedStemsDown, InstrumentName(up_ - 1).c_str()),
                     Buttons::OK);
        chosen = up_;
    }
    down_ = chosen;
    replicate_ = true;
}

std::string StaveAttributesModel::caption() const {
    return american_ ? "Staff Attributes and System Construction"
                     : "Stave Attributes and System Construction";
}
std::string StaveAttributesModel::linesCaption() const {
    return american_ ? " Staff lines " : " Stave lines ";
}
std::string StaveAttributesModel::sizeCaption() const {
    return american_ ? " Staff size " : " Stave size ";
}
std::string StaveAttributesModel::pageBreakCaption() const {
    return american_ ? "Page break a&fter staff" : "Page break a&fter stave";
}
std::string StaveAttributesModel::aboveCaption() const {
    return american_ ? "&Above staff" : "&Above stave";
}
std::string StaveAttributesModel::leftCaption() const {
    return american_ ? "Staff lef&t" : "Stave lef&t";
}
std::string StaveAttributesModel::unitCaption() const {
    return american_ ? "half step" : "semitones";
}

bool StaveAttributesModel::apply(EditContext& ctx) const {
    Score& score = ctx.score;
    const int s = s_;
    if (s < 1 || s > score.Nstaves) return false;
    const StaveHeader old = score.stave(s).h;
    const bool join = values_[Join] && s < score.Nstaves;
    const bool joinChanged = join != old.joinToNext;
    const bool breakChanged = values_[PageBreak] != old.ForcedBk;
    const int first = SystemBounds(score, s).first;
    if (joinChanged) {
        const int from = join ? s + 1 : first, to = join ? first : s + 1;
        if (score.stave(to).count() + BarlinesToCopy(score, from, to) > kObjectLimit) {
            ctx.host.message(MsgType::Error, MessageText(msg::TooManyBarlinesOnTop), Buttons::OK);
            return false;
        }
    }
    // Every stave OK can change: the bar lines' new top, the stave above,
    // the bracket chain below and, after a new page break or with
    // replication, every later stave.
    int lo = std::max(1, std::min(s - 1, joinChanged ? first : s));
    int hi = std::min<int>(s + 1, score.Nstaves);
    for (int t = s;
         t < score.Nstaves && (t == s ? values_[BracketNext] : score.stave(t).h.bracketWithNext);
         ++t)
        hi = std::max(hi, t + 1);
    if (breakChanged || replicate_) hi = score.Nstaves;
    ScoreEdit edit(ctx, "Stave attributes");
    if (!edit.touchStaves(lo, hi)) return false;

    // 1. The fields.
    StaveHeader& h = score.stave(s).h;
    h.withBrace = values_[Brace];
    h.barlineThrough = values_[BarlineThrough];
    h.fullEndBar = values_[FullEndBar];
    h.withBracket = values_[Bracket];
    h.bracketWithNext = values_[BracketNext];
    h.invisible = values_[Invisible];
    h.ForcedBk = values_[PageBreak];
    if (linesChosen_ || oldLines_ == 1 || oldLines_ == 5) h.lineCount = values_[OneLine] ? 1 : 5;
    h.sizeIndex = values_[Small] ? 1 : 0;
    h.cue = false;
    h.barNumberPlace = static_cast<uint8_t>(barNumbers_);
    h.soundTranspose = static_cast<int8_t>(transpose_);
    h.instrumentUp = static_cast<uint8_t>(up_);
    h.instrumentDown = static_cast<uint8_t>(down_);
    if (h.sizeIndex != old.sizeIndex) ReplaceForSize(score, s, old.sizeIndex);
    // 2. The bracket chain, and the stave above lets go of an unbracketed s.
    if (h.bracketWithNext) BracketChain(score, s);
    if (s > 1 && score.stave(s - 1).h.bracketWithNext && !h.withBracket)
        score.stave(s - 1).h.bracketWithNext = false;
    // 3. The bar lines follow the join.
    if (joinChanged) {
        if (join) {
            CopyBarlines(score, s + 1, first);
            RemoveBarlines(score, s + 1);
        } else {
            CopyBarlines(score, first, s + 1);
        }
        score.stave(s).h.joinToNext = join;
    }
    // 4. A page break lays the pages out again.
    if (breakChanged) {
        Unpaginate(score);
        Repaginate(score, ComputePageGeometry(score).height);
    }
    // 5. The same position in every later system of the same size.
    if (replicate_) {
        const auto [f, l] = SystemBounds(score, s);
        const int position = s - f, size = l - f + 1;
        const StaveHeader& src = score.stave(s).h;
        for (int a = l + 1; a <= score.Nstaves;) {
            const auto [sf, sl] = SystemBounds(score, a);
            if (sl - sf + 1 == size) {
                StaveHeader& r = score.stave(sf + position).h;
                r.bracketWithNext = src.bracketWithNext;
                r.fullEndBar = src.fullEndBar;
                r.withBracket = src.withBracket;
                r.barlineThrough = src.barlineThrough;
                r.withBrace = src.withBrace;
                r.soundTranspose = src.soundTranspose;
                r.instrumentUp = src.instrumentUp;
                r.barNumberPlace = src.barNumberPlace;
                BracketChain(score, sf + position);
            }
            a = sl + 1;
        }
    }
    edit.commit();
    return true;
}

}  // namespace sw
