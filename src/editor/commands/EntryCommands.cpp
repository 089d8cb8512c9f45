// Placing, moving and deleting objects.
#include "editor/commands/EntryCommands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/GlyphTable.h"
#include "layout/NoteGeometry.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

constexpr int32_t kNearSignature = 15;

// Whether the text chain that starts at `head` reaches chunk `i`.
bool ChainHolds(const StaveBlock& b, int head, int i) {
    int j = b.obj[head].text().nextChunk;
    for (int steps = 0; steps < kMaxObjects && b.validIndex(j) && HasTextLayout(b.obj[j].kind);
         ++steps) {
        if (j == i) return true;
        j = b.obj[j].text().nextChunk;
    }
    return false;
}

bool IsSignature(int kind) {
    return kind == kKeysig || kind == kTimesig || kind == kCommonTime;
}

bool SameSignatureKind(int a, int b) {
    return a == b || (a != kKeysig && b != kKeysig && IsSignature(a) && IsSignature(b));
}

int Append(StaveBlock& b, const ScoreObject& o) {
    if (b.h.Nobjec >= kObjectLimit) return 0;
    b.obj[++b.h.Nobjec] = o;
    return b.h.Nobjec;
}

// The other notes of the voice at the new note's x take its value, and
// a crotchet or longer leaves the beams of that chord.
void JoinChord(StaveBlock& b, int i) {
    const NoteData& n = b.obj[i].note();
    for (int j = 1; j <= b.count(); ++j) {
        ScoreObject& o = b.obj[j];
        if (j == i || o.kind != kNote || o.note().rest || o.x != b.obj[i].x ||
            o.note().stem != n.stem)
            continue;
        NoteData& m = o.note();
        m.noteValue = n.noteValue;
        m.dots = n.dots;
        m.emphasis = n.emphasis;
        m.staccato = n.staccato;
        m.lengthIncr = n.lengthIncr;
        m.flatBeam = n.flatBeam;
        m.noShorten = n.noShorten;
        std::memcpy(m.working, n.working, sizeof m.working);
        if (n.noteValue <= 3) {
            for (uint8_t NoteData::*link : {&NoteData::beamBackTo, &NoteData::beamOnTo}) {
                const int k = m.*link;
                if (b.validIndex(k) && b.obj[k].kind == kNote) {
                    NoteData& partner = b.obj[k].note();
                    if (partner.beamBackTo == j) partner.beamBackTo = 0;
                    if (partner.beamOnTo == j) partner.beamOnTo = 0;
                }
                m.*link = 0;
            }
        }
    }
}

// Asks whether a signature goes to the other staves: the staves to record
// (first..last) and to copy to, or none.
struct CopyPlan {
    int first = 0, last = 0;
    bool cMajorWholeScore = false;
};

CopyPlan PlanCopies(EditContext& ctx, int s, const ScoreObject& o) {
    const Score& score = ctx.score;
    if (!IsSignature(o.kind)) return {};
    if (o.kind == kKeysig && o.data.keysig.key == 0 && s == 1 && score.Nstaves >= 2) {
        if (ctx.host.message(MsgType::Confirmation, MessageText(msg::CMajorInWholeScore),
                             Buttons::YesNo) != Answer::Yes)
            return {};
        return {1, score.Nstaves, true};
    }
    const auto [first, last] = SystemBounds(score, s);
    if (first < 1 || last <= first) return {};
    const int question = o.kind == kKeysig ? msg::KeyInEveryStave : msg::TimeInEveryStave;
    if (ctx.host.message(MsgType::Confirmation, MessageText(question), Buttons::YesNo) !=
        Answer::Yes)
        return {};
    return {first, last, false};
}

void CopySignature(EditContext& ctx, const CopyPlan& plan, int s, const ScoreObject& o) {
    Score& score = ctx.score;
    const StaveHeader& from = score.stave(s).h;
    for (int t = plan.first; t <= plan.last; ++t) {
        if (t == s || !score.hasStave(t)) continue;
        StaveBlock& b = score.stave(t);
        ScoreObject copy = o;
        copy.y = b.h.Ycoord + (o.y - from.Ycoord);
        if (plan.cMajorWholeScore) {
            const bool hasKey = std::any_of(b.obj.begin() + 1, b.obj.begin() + 1 + b.count(),
                                            [](const ScoreObject& x) { return x.kind == kKeysig; });
            if (hasKey) continue;
            copy.x = b.h.LeftX + (o.x - from.LeftX);
        } else {
            bool near = false;
            for (int i = 1; i <= b.count() && !near; ++i)
                near = SameSignatureKind(b.obj[i].kind, o.kind) &&
                       std::abs(b.obj[i].x - o.x) <= kNearSignature;
            if (near) {
                const char* what = o.kind == kKeysig ? "key signature" : "time signature";
                const char* What = o.kind == kKeysig ? "Key signature" : "Time signature";
                ctx.host.message(MsgType::Information,
                                 FormatMessage(msg::AlreadyContainsNear, t, what, What),
                                 Buttons::OK);
                continue;
            }
        }
        // A full stave is passed over: the others still get their copy.
        Append(b, copy);
    }
}

}  // namespace

Placed PlaceObjectOnStave(EditContext& ctx, int s, const ScoreObject& o) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves || !score.hasStave(s)) return {};
    int target = s;
    if (o.kind == kBarline) {
        const int top = SystemBounds(score, s).first;
        if (top >= 1) target = top;
    }
    if (score.stave(target).count() >= kObjectLimit) {
        ctx.host.message(
            MsgType::Error,
            MessageText(o.kind == kBarline ? msg::UnableToSaveBarline : msg::StaveTooComplex),
            Buttons::OK);
        return {};
    }
    const CopyPlan plan = PlanCopies(ctx, s, o);
    ScoreEdit edit(ctx, "place object");
    const bool recorded = plan.first > 0 ? edit.touchStaves(plan.first, plan.last)
                          : target == s
                              ? edit.touchStave(s)
                              : edit.touchStaves(std::min(s, target), std::max(s, target));
    if (!recorded) return {};
    ScoreObject placed = o;
    StaveBlock& b = score.stave(target);
    // A bar line typed on a lower stave stands on the stave that holds it,
    // where the mouse finds it again.
    if (placed.kind == kBarline) placed.y = b.h.Ycoord;
    if (placed.kind == kNote) {
        // No stored note keeps an automatic stem, a rest neither: reading a
        // file resolves them, and the score must save the same before and after.
        NoteData& n = placed.note();
        n.stem = static_cast<uint8_t>(EffectiveStem(n));
        if (!n.rest) {
            placed.glyph = static_cast<uint8_t>(NoteGlyph(n));
            score.stave(s).h.lastPitch = n.pitch;
        }
    }
    const int i = Append(b, placed);
    if (placed.kind == kNote) {
        NoteData& n = b.obj[i].note();
        if (b.validIndex(n.beamBackTo) && b.obj[n.beamBackTo].kind == kNote)
            b.obj[n.beamBackTo].note().beamOnTo = static_cast<uint8_t>(i);
        if (b.validIndex(n.tieLeft) && b.obj[n.tieLeft].kind == kNote)
            b.obj[n.tieLeft].note().tieRight = static_cast<uint8_t>(i);
        InvalidateNotesAt(score, target, placed.x);
        if (!n.rest) JoinChord(b, i);
    }
    if (plan.first > 0) CopySignature(ctx, plan, s, placed);
    edit.commit();
    return {target, i};
}

bool MoveObject(EditContext& ctx, int s, int i, int32_t x, int32_t y) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return false;
    ScoreObject& o = score.object(s, i);
    if (o.x == x && o.y == y) return false;
    ScoreEdit edit(ctx, "move object");
    // A bar line's move reaches the other staves of its system.
    const auto [first, last] = o.kind == kBarline ? SystemBounds(score, s) : std::pair{s, s};
    if (!(first >= 1 && last > first ? edit.touchStaves(first, last) : edit.touchStave(s)))
        return false;
    const int32_t oldX = o.x;
    o.x = x;
    o.y = y;
    if (o.kind == kNote) {
        InvalidateNotesAt(score, s, oldX);
        InvalidateNotesAt(score, s, x);
    }
    edit.commit();
    return true;
}

bool DeleteObject(EditContext& ctx, int s, int i) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return false;
    ScoreEdit edit(ctx, "delete object");
    if (!edit.touchStave(s)) return false;
    StaveBlock& b = score.stave(s);
    // A text is deleted from its first chunk, whichever chunk was taken.
    if (HasTextLayout(b.obj[i].kind) && (b.obj[i].text().textFlags & kTextContinuation))
        for (int j = 1; j <= b.count(); ++j)
            if (j != i && HasTextLayout(b.obj[j].kind) &&
                !(b.obj[j].text().textFlags & kTextContinuation) && ChainHolds(b, j, i))
                i = j;
    ScoreObject& o = b.obj[i];
    if (o.kind == kNote && !o.note().rest) {
        // Its neighbours are left unbeamed, not beamed past it.
        NoteData& n = o.note();
        const bool here = !n.beamBackUp && !n.beamBackDown && !n.beamOnUp && !n.beamOnDown;
        for (uint8_t NoteData::*link : {&NoteData::beamBackTo, &NoteData::beamOnTo}) {
            const int k = n.*link;
            if (here && b.validIndex(k) && b.obj[k].kind == kNote) {
                NoteData& partner = b.obj[k].note();
                if (partner.beamBackTo == i) partner.beamBackTo = 0;
                if (partner.beamOnTo == i) partner.beamOnTo = 0;
            }
            n.*link = 0;
        }
    }
    const int32_t x = o.x;
    const bool note = o.kind == kNote;
    UnlinkAndDelete(b, i);
    NewObjectRecord(b.obj[i]);
    if (note) InvalidateNotesAt(score, s, x);
    TidyStave(score, s, true);
    edit.commit();
    return true;
}

bool ReplaceObject(EditContext& ctx, int s, int i, const ScoreObject& o) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return false;
    if (std::memcmp(&score.object(s, i), &o, sizeof o) == 0) return false;
    ScoreEdit edit(ctx, "change object");
    if (!edit.touchStave(s)) return false;
    score.object(s, i) = o;
    if (o.kind == kNote) InvalidateNotesAt(score, s, o.x);
    edit.commit();
    return true;
}

bool ApplyMenuItem(EditContext& ctx, int s, int i, MenuCommand c, int value) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i)) return false;
    ScoreEdit edit(ctx, "change object");
    if (!edit.touchStave(s)) return false;
    // An item that changes nothing leaves no record behind.
    if (!ApplyMenuCommand(score.stave(s), i, c, value)) return false;
    edit.commit();
    return true;
}

bool MoveStaves(EditContext& ctx, int first, int last, int32_t dy) {
    Score& score = ctx.score;
    if (dy == 0 || first < 1 || last < first || last > score.Nstaves) return false;
    ScoreEdit edit(ctx, "move staves");
    if (!edit.touchStaves(first, last)) return false;
    for (int s = first; s <= last; ++s)
        ShiftStave(score, s, dy);
    edit.commit();
    return true;
}

bool ToggleTextStyle(EditContext& ctx, int s, int i, int styleBit) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i) ||
        !HasTextLayout(score.object(s, i).kind))
        return false;
    const int f = score.object(s, i).text().fontNumber;
    if (f < 1 || f > kMaxFonts) return false;
    FontDesc font = score.fonts[f];
    font.style = static_cast<uint8_t>(font.style ^ styleBit);
    return SetTextFont(ctx, s, i, font);
}

bool SetTextFont(EditContext& ctx, int s, int i, const FontDesc& font) {
    Score& score = ctx.score;
    if (!score.hasStave(s) || !score.stave(s).validIndex(i) ||
        !HasTextLayout(score.object(s, i).kind))
        return false;
    ScoreEdit edit(ctx, "text font");
    if (!edit.touchStave(s)) return false;
    StaveBlock& b = score.stave(s);
    const uint8_t n = static_cast<uint8_t>(FindOrAddFont(score, font, ctx.host));
    // Every chunk of the chain shares the font, whichever chunk was taken.
    int head = i;
    for (int steps = 0; steps < kMaxObjects; ++steps) {
        int before = 0;
        for (int j = 1; j <= b.count() && !before; ++j)
            if (j != head && HasTextLayout(b.obj[j].kind) && b.obj[j].text().nextChunk == head)
                before = j;
        if (!before) break;
        head = before;
    }
    bool changed = false;
    for (int j = head, steps = 0;
         steps < kMaxObjects && b.validIndex(j) && HasTextLayout(b.obj[j].kind); ++steps) {
        changed |= b.obj[j].text().fontNumber != n;
        b.obj[j].text().fontNumber = n;
        j = b.obj[j].text().nextChunk;
    }
    if (!changed) return false;  // the same font: no undo step
    edit.commit();
    return true;
}

}  // namespace sw
