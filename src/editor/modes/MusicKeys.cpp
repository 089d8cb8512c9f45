// The Music key table and the commands of its rows. Every change to an
// object already in the score goes through one edit, so Undo reaches it and
// the document counts as changed.
#include "editor/modes/MusicKeys.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "core/MessageIds.h"
#include "editor/DocumentController.h"
#include "editor/Placement.h"
#include "editor/StaveActions.h"
#include "editor/commands/EntryCommands.h"
#include "layout/AccidentalGlyph.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"

namespace sw {

// One key as the rows see it.
struct MusicKey {
    std::string name;  // without modifiers: "C", "#", "Backspace"
    char c = 0;        // the character of a one-character name
    bool shift = false, ctrl = false, alt = false;
};

namespace {

enum class Case : uint8_t { Any, Plain, Shifted };
// Most keys act when pressed (and repeat); some wait for the release.
enum class On : uint8_t { Char, Release };
enum class When : uint8_t {
    Always,
    FocusNote,        // a note (not a rest) under the mouse, editing unlocked
    FocusNoteOrAcc,   // ... or an accidental
    FocusAccidental,  // an accidental under the mouse
    FocusBarline,
    FocusKeysig,
    FocusOther,
    FocusObject,  // anything under the mouse
    Provisional,
    NoFocus,
};

using Command = void (*)(DocumentController&, const MusicKey&);

struct Row {
    const char* keys;  // the characters of the row, or one key's name
    Case keyCase;
    bool ctrl;
    On on;
    When when;
    Command command;
    bool alt = false;
};

// First match wins: the focus rows come before the rows for what is typed.
constexpr std::array kRows{
    Row{"ABCDEFGH", Case::Any, false, On::Release, When::FocusNoteOrAcc, MusicKeys::letter},
    Row{"ABCDEFGH", Case::Any, false, On::Char, When::Always, MusicKeys::letter},
    Row{"12345678", Case::Plain, false, On::Char, When::Always, MusicKeys::value},
    Row{"JPOI", Case::Any, false, On::Char, When::Always, MusicKeys::stem},
    Row{".", Case::Any, false, On::Char, When::Always, MusicKeys::dot},
    Row{"'", Case::Any, false, On::Char, When::Always, MusicKeys::staccato},
    Row{"-=>", Case::Any, false, On::Char, When::Always, MusicKeys::emphasis},
    Row{"NSVWX#", Case::Any, false, On::Char, When::Always, MusicKeys::accidental},
    Row{"/\\|", Case::Any, false, On::Char, When::Always, MusicKeys::barline},
    Row{"K", Case::Any, false, On::Release, When::Always, MusicKeys::keysig},
    Row{"Z", Case::Any, false, On::Release, When::Always, MusicKeys::rest},
    Row{"TU", Case::Any, false, On::Char, When::FocusNote, MusicKeys::focusTie},
    Row{"TU", Case::Any, false, On::Char, When::Always, MusicKeys::tie},
    Row{"%", Case::Any, false, On::Char, When::Always, MusicKeys::grace},
    Row{"0", Case::Plain, false, On::Release, When::Always, MusicKeys::small},
    Row{"X", Case::Any, true, On::Release, When::Provisional, MusicKeys::crossHead},
    Row{"@", Case::Any, false, On::Char, When::Always, MusicKeys::nearest},
    Row{"F8", Case::Plain, true, On::Char, When::Always, MusicKeys::pointerToNearest},
    Row{"*", Case::Any, false, On::Char, When::Always, MusicKeys::cursorShape},
    Row{"~", Case::Any, false, On::Char, When::Always, MusicKeys::arpeggio},
    Row{"[", Case::Any, true, On::Char, When::Always, StaveActions::joinKey},
    Row{"[", Case::Any, false, On::Char, When::Always, StaveActions::bracketKey},
    Row{"{", Case::Any, false, On::Char, When::Always, StaveActions::braceKey},
    Row{"+", Case::Any, false, On::Char, When::Always, StaveActions::sizeKey},
    Row{"?", Case::Any, false, On::Char, When::Always, MusicKeys::properties},
    Row{"Backspace", Case::Any, false, On::Release, When::Always, MusicKeys::backspace},
    Row{"Backspace", Case::Any, true, On::Release, When::Always, MusicKeys::previousPosition},
    Row{"Q", Case::Any, true, On::Char, When::Always, MusicKeys::clef},
    Row{"M", Case::Shifted, true, On::Char, When::Always, MusicKeys::randomTune},
    Row{"\"", Case::Any, false, On::Char, When::Always, MusicKeys::textMode},
    Row{"Enter", Case::Any, false, On::Char, When::Always, MusicKeys::enter},
    Row{"Space", Case::Any, false, On::Char, When::Always, MusicKeys::space},
    Row{"Tab", Case::Any, false, On::Release, When::Always, MusicKeys::tab},
    Row{"Backtab", Case::Any, false, On::Release, When::Always, MusicKeys::tab},
    Row{"Esc", Case::Any, false, On::Char, When::Provisional, MusicKeys::escape},
    Row{"Del", Case::Any, false, On::Char, When::FocusObject, MusicKeys::del},
    Row{"Left", Case::Any, false, On::Char, When::Provisional, MusicKeys::nudge},
    Row{"Right", Case::Any, false, On::Char, When::Provisional, MusicKeys::nudge},
    Row{"Left", Case::Any, true, On::Char, When::Provisional, MusicKeys::nudge},
    Row{"Right", Case::Any, true, On::Char, When::Provisional, MusicKeys::nudge},
    Row{"Up", Case::Plain, false, On::Char, When::Provisional, MusicKeys::octave},
    Row{"Down", Case::Plain, false, On::Char, When::Provisional, MusicKeys::octave},
    Row{"Left", Case::Plain, false, On::Char, When::FocusObject, MusicKeys::focusStep, true},
    Row{"Right", Case::Plain, false, On::Char, When::FocusObject, MusicKeys::focusStep, true},
    Row{"Left", Case::Plain, false, On::Char, When::FocusObject, MusicKeys::focusNudge},
    Row{"Right", Case::Plain, false, On::Char, When::FocusObject, MusicKeys::focusNudge},
    Row{"Left", Case::Plain, true, On::Char, When::FocusObject, MusicKeys::focusNudge},
    Row{"Right", Case::Plain, true, On::Char, When::FocusObject, MusicKeys::focusNudge},
    Row{"Up", Case::Any, false, On::Char, When::FocusObject, MusicKeys::focusVertical},
    Row{"Down", Case::Any, false, On::Char, When::FocusObject, MusicKeys::focusVertical},
    Row{"Up", Case::Any, true, On::Char, When::FocusObject, MusicKeys::focusVertical},
    Row{"Down", Case::Any, true, On::Char, When::FocusObject, MusicKeys::focusVertical},
    Row{"Left", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"Right", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"Home", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"End", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"Up", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"Down", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"PgUp", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"PgDown", Case::Plain, false, On::Char, When::Always, MusicKeys::cursor},
    Row{"Left", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
    Row{"Right", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
    Row{"Home", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
    Row{"End", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
    Row{"PgUp", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
    Row{"PgDown", Case::Plain, true, On::Char, When::Always, MusicKeys::cursor},
};

constexpr int kLevelBound = 3;  // warnings for levels 1 and 2
constexpr int kMaxKey = 7;
constexpr int kMaxCount = 127;
constexpr int kStaccatoKinds = 5, kEmphasisKinds = 7, kBarlineStyles = 6;
constexpr uint8_t kTieFromPreviousSystem = 255;
constexpr uint8_t kSmallHead = 1, kGraceHead = 5, kGraceValue = 4, kCrossHead = 1;
constexpr int kOctave = 7;

bool RowMatches(const Row& r, const MusicKey& k) {
    if (r.ctrl != k.ctrl || r.alt != k.alt) return false;
    if (r.keyCase == Case::Plain && k.shift) return false;
    if (r.keyCase == Case::Shifted && !k.shift) return false;
    const std::string_view keys = r.keys;
    // A row names one key ("PgUp") or lists characters ("JPOI").
    const bool named =
        std::any_of(keys.begin(), keys.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!named && k.name.size() == 1) return keys.find(k.c) != std::string_view::npos;
    return keys == k.name;
}

int NextIn(const int* cycle, int n, int v) {
    for (int i = 0; i + 1 < n; i += 2)
        if (cycle[i] == v) return cycle[i + 1];
    return 0;
}

}  // namespace

ScoreObject* MusicKeys::focus(DocumentController& d) {
    if (!d.objectSelected_ || !d.score_.hasStave(d.focusStave_) ||
        !d.score_.stave(d.focusStave_).validIndex(d.focusObject_))
        return nullptr;
    return &d.score_.object(d.focusStave_, d.focusObject_);
}

namespace {

bool Holds(DocumentController& d, When w);

}  // namespace

bool MusicKeys::press(DocumentController& d, const std::string& key, bool release) {
    if (d.mode_ != kModeMusic) return false;
    const KeyParts parts = SplitKey(key);
    MusicKey k;
    k.name = parts.name;
    k.shift = parts.held.shift;
    k.ctrl = parts.held.ctrl;
    k.alt = parts.held.alt;
    if (k.name == "Tab" && k.shift) {
        k.name = "Backtab";
        k.shift = false;
    }
    if (k.name.size() == 1) k.c = k.name[0];
    bool claimed = false;
    for (const Row& r : kRows) {
        if (!RowMatches(r, k) || !Holds(d, r.when)) continue;
        if ((r.on == On::Release) != release) {
            claimed |= !release;
            continue;
        }
        r.command(d, k);
        return true;
    }
    return claimed;
}

namespace {

ScoreObject* Focus(DocumentController& d) {
    return MusicKeys::focus(d);
}

bool IsNote(const ScoreObject* o) {
    return o && o->kind == kNote && !o->note().rest;
}

bool Holds(DocumentController& d, When w) {
    const ScoreObject* f = Focus(d);
    switch (w) {
        case When::Always:
            return true;
        case When::FocusNote:
            return IsNote(f);
        case When::FocusNoteOrAcc:
            return IsNote(f) || (f && f->kind == kAccidental);
        case When::FocusAccidental:
            return f && f->kind == kAccidental;
        case When::FocusBarline:
            return f && f->kind == kBarline;
        case When::FocusKeysig:
            return f && f->kind == kKeysig;
        case When::FocusOther:
            return f && f->kind == kOther;
        case When::FocusObject:
            return f != nullptr;
        case When::Provisional:
            return d.pendingObject() != nullptr;
        case When::NoFocus:
            return f == nullptr;
    }
    return false;
}

}  // namespace

template <class F>
void MusicKeys::editFocus(DocumentController& d, F change) {
    ScoreObject* f = focus(d);
    if (!f) return;
    ScoreObject o = *f;
    change(o);
    EditContext ctx = d.editContext();
    if (ReplaceObject(ctx, d.focusStave_, d.focusObject_, o)) d.afterEdits();
}

void MusicKeys::startNoteAt(DocumentController& d, int pitch) {
    if (!d.startProvisional(kNote)) return;
    NoteData n = d.noteTemplate_;
    n.pitch = static_cast<int8_t>(pitch);
    n.rest = n.dots = n.emphasis = n.staccato = 0;
    n.beamBackTo = n.beamOnTo = n.tieLeft = n.tieRight = n.tieOver = 0;
    d.pending_->data.note = n;
    d.pending_->y = NoteY(d.score_, d.pendingStave_, pitch);
    d.pendingChanged();
}

bool MusicKeys::jump(DocumentController& d, bool right) {
    Score& score = d.score_;
    const auto [first, last] = SystemBounds(score, score.CurrentStave);
    bool found = false;
    int32_t best = 0;
    for (int s = std::max(first, 1); s <= last; ++s) {
        if (!score.hasStave(s)) continue;
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            const ScoreObject& o = b.obj[i];
            if (o.kind != kNote && o.kind != kClef) continue;
            if (right ? o.x <= d.cursorX_ : o.x >= d.cursorX_) continue;
            if (!found || (right ? o.x < best : o.x > best)) best = o.x;
            found = true;
        }
    }
    if (!found) return false;
    d.cursorX_ = best;
    d.view_.showStaveCursor(d.cursorShown_);
    return true;
}

void MusicKeys::letter(DocumentController& d, const MusicKey& k) {
    const int step = NoteLetter(k.c);
    if (step < 0) return;
    if (ScoreObject* f = focus(d); f && (IsNote(f) || f->kind == kAccidental)) {
        const int s = d.focusStave_;
        const int clef = ClefTypeAt(d.score_.stave(s), f->x);
        editFocus(d, [&](ScoreObject& o) {
            int8_t& pitch = o.kind == kNote ? o.note().pitch : o.data.accidental.pitch;
            pitch = static_cast<int8_t>(PitchFromLetter(step, clef, pitch));
            o.y = NoteY(d.score_, s, pitch);
        });
        return;
    }
    d.noteLetter(step, k.shift);
}

void MusicKeys::value(DocumentController& d, const MusicKey& k) {
    const int v = k.c - '1';
    if (ScoreObject* f = focus(d); IsNote(f)) {
        const int s = d.focusStave_, i = d.focusObject_;
        const bool crosses = (f->note().noteValue <= 3) != (v <= 3);
        StaveBlock& b = d.score_.stave(s);
        EditContext ctx = d.editContext();
        ScoreEdit edit(ctx, "note value");
        if (!edit.touchStave(s)) return;
        NoteData& n = b.obj[i].note();
        n.noteValue = static_cast<uint8_t>(v);
        if (crosses) {
            // A crotchet has no beam: its partners on this stave let go too.
            for (uint8_t NoteData::*link : {&NoteData::beamBackTo, &NoteData::beamOnTo}) {
                const int p = n.*link;
                if (b.validIndex(p) && b.obj[p].kind == kNote) {
                    NoteData& partner = b.obj[p].note();
                    if (partner.beamBackTo == i) partner.beamBackTo = 0;
                    if (partner.beamOnTo == i) partner.beamOnTo = 0;
                }
                n.*link = 0;
            }
        }
        InvalidateNotesAt(d.score_, s, b.obj[i].x);
        edit.commit();
        d.afterEdits();
        return;
    }
    d.valueKey(v);
}

void MusicKeys::stem(DocumentController& d, const MusicKey& k) {
    const int v = k.c == 'J' ? 0 : k.c == 'P' ? 1 : k.c == 'O' ? 2 : 3;
    if (ScoreObject* f = focus(d); IsNote(f)) {
        if (v != 3) editFocus(d, [&](ScoreObject& o) { o.note().stem = static_cast<uint8_t>(v); });
        return;
    }
    if (d.pending_ && d.pending_->kind != kNote) return;
    d.noteTemplate_.stem = static_cast<uint8_t>(v);
    if (d.pending_ && !d.pending_->note().rest) {
        d.pending_->note().stem = static_cast<uint8_t>(v);
        d.pendingChanged();
    }
}

namespace {

// Another note stands at the provisional note's x: its marks are the chord's.
bool InChord(const Score& score, int s, const ScoreObject& w) {
    if (!score.hasStave(s)) return false;
    const StaveBlock& b = score.stave(s);
    for (int i = 1; i <= b.count(); ++i)
        if (b.obj[i].kind == kNote && !b.obj[i].note().rest && b.obj[i].x == w.x) return true;
    return false;
}

}  // namespace

void MusicKeys::dot(DocumentController& d, const MusicKey&) {
    const int most = d.settings_.threeDot ? 3 : 1;
    auto next = [most](uint8_t& dots) { dots = static_cast<uint8_t>(dots >= most ? 0 : dots + 1); };
    if (ScoreObject* f = focus(d); IsNote(f)) {
        editFocus(d, [&](ScoreObject& o) { next(o.note().dots); });
        return;
    }
    if (!d.pending_ || d.pending_->kind != kNote) return;
    next(d.pending_->note().dots);
    d.pendingChanged();
}

void MusicKeys::staccato(DocumentController& d, const MusicKey&) {
    if (ScoreObject* f = focus(d); IsNote(f)) {
        editFocus(d, [](ScoreObject& o) {
            o.note().staccato = static_cast<uint8_t>((o.note().staccato + 1) % kStaccatoKinds);
        });
        return;
    }
    if (!d.pending_ || !IsNote(&*d.pending_) || InChord(d.score_, d.pendingStave_, *d.pending_))
        return;
    static constexpr int kCycle[] = {0, 1, 1, 3, 3, 2, 2, 4, 4, 0};
    uint8_t& v = d.pending_->note().staccato;
    v = static_cast<uint8_t>(NextIn(kCycle, std::size(kCycle), v));
    d.pendingChanged();
}

void MusicKeys::emphasis(DocumentController& d, const MusicKey& k) {
    if (ScoreObject* f = focus(d); IsNote(f)) {
        editFocus(d, [](ScoreObject& o) {
            o.note().emphasis = static_cast<uint8_t>((o.note().emphasis + 1) % kEmphasisKinds);
        });
        return;
    }
    if (!d.pending_ || !IsNote(&*d.pending_) || InChord(d.score_, d.pendingStave_, *d.pending_))
        return;
    static constexpr int kMinus[] = {0, 1, 1, 4, 4, 2, 2, 5, 5, 3, 3, 6, 6, 0};
    static constexpr int kGreater[] = {0, 2, 2, 5, 5, 3, 3, 6, 6, 1, 1, 4, 4, 0};
    uint8_t& v = d.pending_->note().emphasis;
    v = static_cast<uint8_t>(k.c == '>' ? NextIn(kGreater, std::size(kGreater), v)
                                        : NextIn(kMinus, std::size(kMinus), v));
    d.pendingChanged();
}

void MusicKeys::accidental(DocumentController& d, const MusicKey& k) {
    auto valueOf = [&](int current, bool isAccidental) {
        switch (k.c) {
            case 'N':
                return 0;
            case 'S':
                return isAccidental && current == 1 ? 2 : 1;
            case 'V':
                return isAccidental && current == -1 ? -2 : -1;
            case 'W':
                return -2;
            case 'X':
                return 2;
            default:
                return current;
        }
    };
    if (ScoreObject* f = focus(d); f && f->kind == kAccidental) {
        editFocus(d, [&](ScoreObject& o) {
            int8_t& a = o.data.accidental.accidental;
            if (k.c == '#')
                a = static_cast<int8_t>(a == 0 ? 1 : a == 1 ? -1 : a == -1 ? -2 : a == -2 ? 2 : 0);
            else
                a = static_cast<int8_t>(valueOf(a, true));
            o.glyph = AccidentalGlyph(a);
        });
        return;
    }
    if (!d.pending_ || !d.score_.hasStave(d.pendingStave_)) return;
    ScoreObject& w = *d.pending_;
    const bool wasAccidental = w.kind == kAccidental;
    if (!IsNote(&w) && !wasAccidental) return;
    if (d.score_.stave(d.pendingStave_).h.lineCount == 1) return;
    int value = 0;
    if (wasAccidental) {
        const int a = w.data.accidental.accidental;
        value = k.c == '#' ? (a == -1 ? 0 : a == 1 ? -1 : a == 0 ? 1 : a) : valueOf(a, true);
    } else {
        value = k.c == '#' ? 1 : valueOf(0, false);
    }
    if (!wasAccidental) {
        const NoteData n = w.note();
        const int32_t x = w.x;
        NewObjectRecord(w);
        w.kind = kAccidental;
        w.x = x;
        w.data.accidental.pitch = n.pitch;
        w.data.accidental.small = n.cueSize != 0 ? 1 : 0;
        w.y = NoteY(d.score_, d.pendingStave_, n.pitch);
    }
    w.data.accidental.accidental = static_cast<int8_t>(value);
    w.glyph = AccidentalGlyph(value);
    InvalidateNotesAt(d.score_, d.pendingStave_, w.x);
    d.pendingChanged();
}

void MusicKeys::barline(DocumentController& d, const MusicKey&) {
    if (ScoreObject* f = focus(d); f && f->kind == kBarline) {
        editFocus(d, [](ScoreObject& o) {
            o.data.barline.style =
                static_cast<uint8_t>((o.data.barline.style + 1) % kBarlineStyles);
        });
        return;
    }
    d.barlineKey();
}

void MusicKeys::keysig(DocumentController& d, const MusicKey& k) {
    const int step = k.shift ? 1 : -1;
    auto more = [step](int8_t& key) {
        key = static_cast<int8_t>(std::clamp(key + step, -kMaxKey, kMaxKey));
    };
    if (ScoreObject* f = focus(d); f && f->kind == kKeysig) {
        editFocus(d, [&](ScoreObject& o) { more(o.data.keysig.key); });
        return;
    }
    const bool again = d.pending_ && d.pending_->kind == kKeysig;
    if (d.mode_ != kModeMusic || !d.startProvisional(kKeysig)) return;
    KeysigData& ks = d.pending_->data.keysig;
    if (again) {
        more(ks.key);
    } else {
        ks.key = static_cast<int8_t>(step);
        ks.naturalsOnChange = d.settings_.naturalsInKeyChange ? 1 : 0;
        d.pending_->y = d.score_.stave(d.pendingStave_).h.Ycoord;
    }
    d.pendingChanged();
}

void MusicKeys::rest(DocumentController& d, const MusicKey& k) {
    d.restKey(k.shift);
}

void MusicKeys::tie(DocumentController& d, const MusicKey& k) {
    // The partner is only named here; it is linked back when the note is
    // completed, so an abandoned note leaves nothing behind.
    if (!d.pending_ || !IsNote(&*d.pending_) || !d.score_.hasStave(d.pendingStave_)) return;
    NoteData& n = d.pending_->note();
    const uint8_t over = k.shift ? 1 : 0;
    if (n.tieLeft != 0) {
        if (n.tieOver == over)
            n.tieLeft = n.tieOver = 0;
        else
            n.tieOver = over;
        d.pendingChanged();
        return;
    }
    const StaveBlock& b = d.score_.stave(d.pendingStave_);
    const int stem = EffectiveStem(n);
    int partner = 0;
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (!IsNote(&o) || o.x >= d.pending_->x || o.note().tieRight != 0) continue;
        const bool fits = k.c == 'T' ? o.note().pitch == n.pitch : o.note().stem == stem;
        if (fits && (partner == 0 || o.x > b.obj[partner].x)) partner = i;
    }
    if (partner == 0 && k.c == 'U') return;
    n.tieLeft = partner != 0 ? static_cast<uint8_t>(partner) : kTieFromPreviousSystem;
    n.tieOver = over;
    d.pendingChanged();
}

void MusicKeys::properties(DocumentController& d, const MusicKey&) {
    d.properties();
}

void MusicKeys::arpeggio(DocumentController& d, const MusicKey&) {
    if (ScoreObject* f = focus(d); f && f->kind == kOther) {
        editFocus(d, [](ScoreObject& o) {
            o.data.other.bends = static_cast<uint8_t>(std::min(o.data.other.bends + 1, kMaxCount));
        });
        return;
    }
    if (d.pending_ && d.pending_->kind == kOther) {
        uint8_t& count = d.pending_->data.other.bends;
        if (count >= kMaxCount) {
            // A count of nothing is no object.
            d.abandonProvisional();
            return;
        }
        ++count;
        d.pendingChanged();
        return;
    }
    if (d.mode_ != kModeMusic || !d.startProvisional(kOther)) return;
    const int s = d.pendingStave_;
    d.pending_->data.other.bends = 1;
    d.pending_->y = d.score_.stave(s).h.Ycoord + (NoteY(d.score_, s, 0) - NoteY(d.score_, s, 2));
    d.pendingChanged();
}

void MusicKeys::backspace(DocumentController& d, const MusicKey& k) {
    if (ScoreObject* f = focus(d); f && f->kind == kOther) {
        editFocus(d, [](ScoreObject& o) {
            o.data.other.bends = static_cast<uint8_t>(std::max(o.data.other.bends - 1, 1));
        });
        return;
    }
    if (!d.pending_) {
        if (!focus(d)) previousPosition(d, k);
        return;
    }
    ScoreObject& w = *d.pending_;
    if (w.kind == kOther) {
        w.data.other.bends = static_cast<uint8_t>(std::max(w.data.other.bends - 1, 1));
        d.pendingChanged();
        return;
    }
    if (!IsNote(&w) || w.note().noteValue < 4 || !d.score_.hasStave(d.pendingStave_)) return;
    NoteData& n = w.note();
    if (n.beamBackTo != 0) {
        n.beamBackTo = 0;
        d.pendingChanged();
        return;
    }
    const StaveBlock& b = d.score_.stave(d.pendingStave_);
    const int stem = EffectiveStem(n);
    int partner = 0;
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (!IsNote(&o) || o.x >= w.x || (partner != 0 && o.x <= b.obj[partner].x)) continue;
        partner = i;
    }
    const NoteData* p = partner != 0 ? &b.obj[partner].note() : nullptr;
    if (!p || p->noteValue < 4 || p->stem != stem || p->cueSize != n.cueSize || p->beamOnTo != 0) {
        d.warnings_.show(d.host_, msg::NoPreviousBeamNote, kLevelBound, false);
        return;
    }
    n.beamBackTo = static_cast<uint8_t>(partner);
    d.pendingChanged();
}

void MusicKeys::clef(DocumentController& d, const MusicKey&) {
    d.clefKey();
}

void MusicKeys::enter(DocumentController& d, const MusicKey&) {
    if (d.pending_) d.completeProvisional(false);
}

void MusicKeys::space(DocumentController& d, const MusicKey&) {
    if (d.pending_) {
        if (focus(d)) return;
        const bool accidental = d.pending_->kind == kAccidental;
        const int pitch = accidental ? d.pending_->data.accidental.pitch : 0;
        if (d.completeProvisional(true) && accidental) startNoteAt(d, pitch);
        return;
    }
    const int s = d.score_.CurrentStave;
    if (s >= 1 && d.score_.hasStave(s)) {
        d.cursorX_ =
            std::min(d.score_.stave(s).h.RightX, d.cursorX_ + PlainSpacingStep(d.score_.Spacing));
        d.view_.showStaveCursor(d.cursorShown_);
    }
}

void MusicKeys::tab(DocumentController& d, const MusicKey& k) {
    if (!d.settleProvisional()) return;
    jump(d, k.name == "Tab");
}

void MusicKeys::escape(DocumentController& d, const MusicKey&) {
    d.abandonProvisional();
}

void MusicKeys::del(DocumentController& d, const MusicKey&) {
    d.deleteFocus();
}

void MusicKeys::textMode(DocumentController& d, const MusicKey&) {
    if (d.refuseWhileProvisional()) return;
    d.setEditMode(kModeText);
}

void MusicKeys::nudge(DocumentController& d, const MusicKey& k) {
    const int32_t step = k.ctrl ? 10 : 1;
    d.moveProvisionalTo(d.cursorX_ + (k.name == "Left" ? -step : step));
}

void MusicKeys::octave(DocumentController& d, const MusicKey& k) {
    d.provisionalOctave(k.name == "Up");
}

void MusicKeys::cursor(DocumentController& d, const MusicKey& k) {
    using K = DocumentController::CursorKey;
    static const std::pair<const char*, K> kKeys[] = {
        {"Left", K::Left}, {"Right", K::Right}, {"Home", K::Home},   {"End", K::End},
        {"Up", K::Up},     {"Down", K::Down},   {"PgUp", K::PageUp}, {"PgDown", K::PageDown}};
    // Another stave: the object in hand goes in first.
    if ((k.name == "PgUp" || k.name == "PgDown") && !d.settleProvisional()) return;
    for (const auto& [name, key] : kKeys)
        if (k.name == name) d.cursorKey(key, k.ctrl);
}

void MusicKeys::previousPosition(DocumentController& d, const MusicKey&) {
    if (d.settleProvisional()) jump(d, false);
}

void MusicKeys::grace(DocumentController& d, const MusicKey&) {
    auto toggle = [](NoteData& n) {
        n.headSize = n.headSize == kGraceHead ? 0 : kGraceHead;
        n.noteValue = kGraceValue;
    };
    if (ScoreObject* f = focus(d); IsNote(f)) {
        editFocus(d, [&](ScoreObject& o) { toggle(o.note()); });
        return;
    }
    if (!d.pending_ || !IsNote(&*d.pending_)) return;
    toggle(d.pending_->note());
    d.pendingChanged();
}

void MusicKeys::randomTune(DocumentController& d, const MusicKey&) {
    d.randomTune();
}

void MusicKeys::small(DocumentController& d, const MusicKey&) {
    if (!d.pending_) {
        d.noteTemplate_.headSize = d.noteTemplate_.headSize == kSmallHead ? 0 : kSmallHead;
        return;
    }
    ScoreObject& w = *d.pending_;
    if (w.kind == kClef) {
        static constexpr uint8_t kSmallClefShift = 4;
        ClefData& c = w.data.clef;
        c.small = c.small ? 0 : 1;
        w.glyph =
            static_cast<uint8_t>(c.small ? w.glyph + kSmallClefShift : w.glyph - kSmallClefShift);
    } else if (w.kind == kAccidental) {
        w.data.accidental.small = w.data.accidental.small ? 0 : 1;
    } else {
        return;
    }
    d.pendingChanged();
}

void MusicKeys::crossHead(DocumentController& d, const MusicKey&) {
    if (!IsNote(d.pendingObject())) return;
    NoteData& n = d.pending_->note();
    n.head = n.head == kCrossHead ? 0 : kCrossHead;
    d.pendingChanged();
}

void MusicKeys::focusTie(DocumentController& d, const MusicKey& k) {
    const int s = d.focusStave_, i = d.focusObject_;
    StaveBlock& b = d.score_.stave(s);
    const NoteData& was = b.obj[i].note();
    const uint8_t over = k.shift ? 1 : 0;
    int partner = 0;
    if (was.tieLeft == 0) {
        for (int j = 1; j <= b.count(); ++j) {
            const ScoreObject& o = b.obj[j];
            if (j == i || !IsNote(&o) || o.x >= b.obj[i].x || o.note().tieRight != 0) continue;
            const bool fits = k.c == 'T' ? o.note().pitch == was.pitch : o.note().stem == was.stem;
            if (fits && (partner == 0 || o.x > b.obj[partner].x)) partner = j;
        }
        if (partner == 0 && k.c == 'U') return;
    }
    EditContext ctx = d.editContext();
    ScoreEdit edit(ctx, "tie");
    if (!edit.touchStave(s)) return;
    NoteData& n = b.obj[i].note();
    if (n.tieLeft != 0 && n.tieOver != over) {
        n.tieOver = over;
    } else if (n.tieLeft != 0) {
        if (b.validIndex(n.tieLeft) && b.obj[n.tieLeft].kind == kNote)
            b.obj[n.tieLeft].note().tieRight = 0;
        n.tieLeft = n.tieOver = 0;
    } else {
        n.tieLeft = partner != 0 ? static_cast<uint8_t>(partner) : kTieFromPreviousSystem;
        n.tieOver = over;
        if (partner != 0) b.obj[partner].note().tieRight = static_cast<uint8_t>(i);
    }
    edit.commit();
    d.afterEdits();
}

void MusicKeys::focusNudge(DocumentController& d, const MusicKey& k) {
    const ScoreObject* f = focus(d);
    const int32_t step = (k.ctrl ? 10 : 1) * (k.name == "Left" ? -1 : 1);
    EditContext ctx = d.editContext();
    if (MoveObject(ctx, d.focusStave_, d.focusObject_, f->x + step, f->y)) d.afterEdits();
}

void MusicKeys::focusVertical(DocumentController& d, const MusicKey& k) {
    const ScoreObject* f = focus(d);
    const int up = k.name == "Up" ? 1 : -1;
    const int s = d.focusStave_;
    const int32_t height = ComputePageGeometry(d.score_).height;
    ScoreObject o = *f;
    if (IsNote(&o) && !k.shift && !k.ctrl) {
        NoteData& n = o.note();
        const int pitch = n.pitch + up * kOctave;
        const int32_t y = NoteY(d.score_, s, pitch);
        if (y < 0 || y >= height) {
            d.warnings_.show(d.host_, msg::NoteOffThePaper, kLevelBound, false);
            return;
        }
        n.pitch = static_cast<int8_t>(pitch);
        o.y = y;
    } else if (o.kind == kNote && !k.shift && !k.ctrl) {
        o.note().pitch = static_cast<int8_t>(o.note().pitch + 2 * up);
        o.y = NoteY(d.score_, s, o.note().pitch);
    } else if (o.kind == kAccidental && !k.shift && !k.ctrl) {
        o.data.accidental.pitch = static_cast<int8_t>(o.data.accidental.pitch + up * kOctave);
        o.y = NoteY(d.score_, s, o.data.accidental.pitch);
    } else if (o.kind == kOther && !k.shift && !k.ctrl) {
        o.y -= up * kOctave;
    } else if (o.kind == kText9 || o.kind == kLine || o.kind == kCurve || o.kind == kTrill ||
               o.kind == kOther || o.kind == kText || o.kind == kHairpin || o.kind == kDrawobject) {
        o.y -= up * (k.shift || k.ctrl ? 5 : 1);
    } else {
        return;
    }
    editFocus(d, [&](ScoreObject& to) { to = o; });
}

void MusicKeys::nearest(DocumentController& d, const MusicKey&) {
    const int s = d.score_.CurrentStave;
    if (!d.score_.hasStave(s) || d.score_.stave(s).count() == 0) return;
    const StaveBlock& b = d.score_.stave(s);
    int best = 1;
    for (int i = 2; i <= b.count(); ++i)
        if (std::abs(b.obj[i].x - d.cursorX_) < std::abs(b.obj[best].x - d.cursorX_)) best = i;
    d.unlocked_ = true;
    d.focusStave_ = s;
    d.focusObject_ = best;
    d.objectSelected_ = true;
    d.ui_.highlightStave = s;
    d.ui_.highlightObject = best;
    d.refreshUi();
}

void MusicKeys::pointerToNearest(DocumentController& d, const MusicKey&) {
    if (!d.pointerIn_ || !d.score_.hasStave(d.score_.CurrentStave)) return;
    const int first = FirstStaveOnPage(d.score_, d.page_);
    const int last = LastStaveOnPage(d.score_, d.page_);
    if (first < 1) return;
    int bestStave = 0, best = 0;
    int64_t bestDistance = 0;
    for (int s = first; s <= last; ++s) {
        if (!d.score_.hasStave(s) || d.score_.stave(s).h.PageNum != d.page_) continue;
        const StaveBlock& b = d.score_.stave(s);
        for (int i = 1; i <= b.count(); ++i) {
            if (b.obj[i].kind == kNothing) continue;
            const int64_t dx = b.obj[i].x - d.pointerX_, dy = b.obj[i].y - d.pointerY_;
            if (bestStave == 0 || dx * dx + dy * dy < bestDistance) {
                bestStave = s;
                best = i;
                bestDistance = dx * dx + dy * dy;
            }
        }
    }
    if (bestStave == 0) return;
    const ScoreObject& o = d.score_.object(bestStave, best);
    d.pointerX_ = o.x;
    d.pointerY_ = o.y;
    d.view_.movePointerTo(o.x, o.y);
    // The object under the pointer's new place takes the focus, as a move would.
    d.mouseMove(o.x, o.y, false);
    d.refreshUi();
}

void MusicKeys::cursorShape(DocumentController& d, const MusicKey&) {
    d.settings_.cursorType = (d.settings_.cursorType + 1) % 3;
    d.view_.showStaveCursor(d.cursorShown_);
}

void MusicKeys::focusStep(DocumentController& d, const MusicKey& k) {
    const int s = d.focusStave_, step = k.name == "Left" ? -1 : 1;
    const StaveBlock& b = d.score_.stave(s);
    int j = d.focusObject_ + step;
    while (b.validIndex(j) && b.obj[j].kind == kNothing)
        j += step;
    if (!b.validIndex(j)) return;
    d.focusObject_ = j;
    d.ui_.highlightStave = s;
    d.ui_.highlightObject = j;
    d.refreshUi();
    d.view_.movePointerTo(b.obj[j].x, b.obj[j].y);
}

}  // namespace sw
