// Stave and system commands as edits over the layout's pagination helpers.
// Staves go in and out on the unpaginated strip, where their undo records
// are written, and the pages are laid out again before the command ends.
#include "editor/commands/StaveCommands.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/GlyphTable.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "layout/Signatures.h"
#include "model/Barlines.h"

namespace sw {

namespace {

constexpr int kLevelBound = 3;     // warnings for levels 1 and 2
constexpr int32_t kNewLeftX = 17;  // where every new stave starts
constexpr int32_t kRightMargin = 5;
constexpr int32_t kNewPageY = 50;  // the first stave of a new page
constexpr int32_t kSystemGap = 2 * 8 + 30;
constexpr int32_t kNewClefX = 37;
constexpr int32_t kKeysigX = 67, kKeysigReach = 60, kKeysigMaxX = 77;
constexpr int32_t kLoneStaveGap = 10;  // below a single stave's extent
constexpr int32_t kHalfExtent = 22;
constexpr int kDigits = 10;

void Error(EditContext& ctx, int id) {
    ctx.host.message(MsgType::Error, MessageText(id), Buttons::OK);
}

// Lays the strip out on pages again: the staves keep what they hold. A
// committed edit leaves that to the document, which lays the pages out
// after every edit.
void Paginate(Score& score) {
    RebuildTrailers(score);
    Repaginate(score, ComputePageGeometry(score).height);
}

// The partner notes of stave s's cross-stave beams lose their link to it.
void UnlinkCrossStaveBeams(Score& score, int s) {
    const StaveBlock& b = score.stave(s);
    auto partner = [&](int t, int i) -> NoteData* {
        if (t < 1 || t > score.Nstaves || !score.stave(t).validIndex(i)) return nullptr;
        ScoreObject& o = score.object(t, i);
        return o.kind == kNote ? &o.note() : nullptr;
    };
    for (int i = 1; i <= b.count(); ++i) {
        if (b.obj[i].kind != kNote) continue;
        const NoteData& n = b.obj[i].note();
        const int back = n.beamBackUp ? s - 1 : n.beamBackDown ? s + 1 : 0;
        const int on = n.beamOnUp ? s - 1 : n.beamOnDown ? s + 1 : 0;
        if (NoteData* p = back ? partner(back, n.beamBackTo) : nullptr) {
            p->beamOnTo = 0;
            p->beamOnUp = p->beamOnDown = 0;
        }
        if (NoteData* p = on ? partner(on, n.beamOnTo) : nullptr) {
            p->beamBackTo = 0;
            p->beamBackUp = p->beamBackDown = 0;
        }
    }
}

int LastOfKind(const StaveBlock& b, int kind) {
    for (int i = b.count(); i >= 1; --i)
        if (b.obj[i].kind == kind) return i;
    return 0;
}

// Stave i of the last system as the first stave of the new one would have it.
std::unique_ptr<StaveBlock> NewSystemStave(const Score& score, int i, int32_t y, int page, int n,
                                           int32_t right) {
    const StaveBlock& src = score.stave(i);
    auto b = std::make_unique<StaveBlock>(src);
    StaveHeader& h = b->h;
    const int32_t dy = y - h.Ycoord;
    h.Ycoord = y;
    h.MinY += dy;
    h.MaxY += dy;
    h.PageNum = static_cast<uint16_t>(page);
    h.LeftX = kNewLeftX;
    h.RightX = right;
    h.ForcedBk = h.invisible = false;
    h.lastPitch = 0;
    h.staveIndex = static_cast<int16_t>(h.staveIndex + n);
    for (int k = 1; k <= h.Nobjec; ++k)
        NewObjectRecord(b->obj[k]);
    h.Nobjec = 0;
    if (const int c = LastOfKind(src, kClef)) {
        ScoreObject& o = b->obj[++h.Nobjec];
        o = src.obj[c];
        o.x = kNewClefX;
        o.y = y;
        o.data.clef.small = 0;
        o.glyph = ClefGlyph(o.data.clef.type, false);
    }
    if (const int k = LastOfKind(src, kKeysig)) {
        int32_t x = kKeysigX;
        for (int j = src.count(); j >= 1; --j) {
            const ScoreObject& o = src.obj[j];
            if (o.kind != kKeysig || o.x - src.h.LeftX >= kKeysigReach) continue;
            x = o.x - src.h.LeftX + kNewLeftX;
            break;
        }
        if (x < kNewLeftX || x > kKeysigMaxX) x = kKeysigX;
        ScoreObject& o = b->obj[++h.Nobjec];
        o = src.obj[k];
        o.x = x;
        o.y = y;
    }
    return b;
}

// Where the new system's cursor goes: the leftmost first note of the old one.
int32_t NewSystemCursor(const Score& score, int first, int last) {
    int32_t best = INT32_MAX;
    for (int s = first; s <= last; ++s) {
        const StaveBlock& b = score.stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kNote && b.obj[i].x < best) {
                best = b.obj[i].x;
                break;
            }
    }
    return best != INT32_MAX ? best : SystemMusicStart(score, first, last);
}

// The bar lines `from` would give `to` leave room on it.
bool BarlinesFit(EditContext& ctx, int from, int to) {
    const Score& score = ctx.score;
    if (score.stave(to).count() + BarlinesToCopy(score, from, to) <= kObjectLimit) return true;
    ctx.host.message(MsgType::Error, MessageText(msg::TooManyBarlinesOnTop), Buttons::OK);
    return false;
}

}  // namespace

bool NewSystem(EditContext& ctx) {
    Score& score = ctx.score;
    const int old = score.Nstaves;
    if (old < 1) return false;
    const auto [first, last] = SystemBounds(score, old);
    const int n = last - first + 1;
    if (old + n > kMaxStaves) {
        Error(ctx, msg::NotEnoughStaves);
        return false;
    }
    const PageGeometry g = ComputePageGeometry(score);
    const StaveHeader& top = score.stave(first).h;
    const StaveHeader& bottom = score.stave(last).h;
    bool newPage = bottom.ForcedBk;
    if (!newPage && g.height < bottom.MaxY + (bottom.Ycoord - top.Ycoord + 32) + 30) {
        if (ctx.host.message(MsgType::Confirmation, MessageText(msg::NoRoomForSystem),
                             Buttons::YesAbort) != Answer::Yes)
            return false;
        newPage = true;
    }
    const int page = bottom.PageNum;
    int32_t lowest = INT32_MIN;
    for (int s = old; s >= 1 && score.stave(s).h.PageNum == page; --s)
        lowest = std::max(lowest, score.stave(s).h.MaxY);
    const int32_t d = lowest + kSystemGap - top.Ycoord;
    std::vector<std::unique_ptr<StaveBlock>> blocks;
    for (int i = first; i <= last; ++i) {
        const int32_t y = newPage ? score.stave(i).h.Ycoord - top.Ycoord + kNewPageY
                                  : score.stave(i).h.Ycoord + d;
        blocks.push_back(
            NewSystemStave(score, i, y, newPage ? page + 1 : page, n, g.width - kRightMargin));
    }
    const int32_t cursor = NewSystemCursor(score, first, last);

    // The record is of the strip, where Undo takes the staves out again.
    Unpaginate(score);
    ScoreEdit edit(ctx, "New system");
    const bool recorded = edit.touchInsertion(old, n);
    Paginate(score);
    if (!recorded || !score.insertStaves(old + 1, blocks)) return false;
    score.CurrentStave = static_cast<uint16_t>(old + 1);
    ctx.cursorX = cursor;
    Paginate(score);
    edit.commit();
    return true;
}

bool InsertStave(EditContext& ctx, int after) {
    Score& score = ctx.score;
    const int count = score.Nstaves;
    if (after < 0 || after > count || count < 1) return false;
    if (count >= kMaxStaves) {
        Error(ctx, msg::NotEnoughStaves);
        return false;
    }
    Unpaginate(score);
    // The gap on the strip: page breaks would make it negative. Below the
    // last stave the gap above it is repeated.
    auto y = [&](int s) { return score.stave(s).h.Ycoord; };
    int32_t gap = 0;
    if (after == 0)
        gap = y(1);
    else if (after < count)
        gap = y(after + 1) - y(after);
    else if (count >= 2)
        gap = y(count) - y(count - 1);
    else
        gap = score.stave(1).h.MaxY - score.stave(1).h.MinY + kLoneStaveGap;

    ScoreEdit edit(ctx, "Insert stave");
    if (!edit.touchInsertion(after, 1)) {
        Paginate(score);
        return false;
    }
    auto block = std::make_unique<StaveBlock>();
    StaveHeader& h = block->h;
    if (after >= 1) {
        const StaveHeader& a = score.stave(after).h;
        h.LeftX = a.LeftX;
        h.RightX = a.RightX;
        h.Ycoord = a.Ycoord + gap;
        h.MinY = a.MinY + gap;
        h.MaxY = a.MaxY + gap;
    } else {
        h.LeftX = score.stave(1).h.LeftX;
        h.RightX = score.stave(1).h.RightX;
        h.Ycoord = gap;
        h.MinY = gap - kHalfExtent;
        h.MaxY = gap + kHalfExtent;
    }
    h.PageNum = 1;
    h.lineCount = 5;
    h.sizeIndex = 0;
    score.insertStave(after + 1, std::move(block));
    for (int s = after + 2; s <= score.Nstaves; ++s)
        ShiftStave(score, s, gap);
    edit.commit();
    return true;
}

bool DeleteStave(EditContext& ctx, int s) {
    Score& score = ctx.score;
    const int count = score.Nstaves;
    if (s < 1 || s > count) return false;
    if (count == 1) {
        Error(ctx, msg::CannotDeleteOnlyStave);
        return false;
    }
    if (ctx.warnings.ask(ctx.host, msg::DeleteStaveConfirm, kLevelBound, Buttons::OKCancel) !=
        Answer::OK)
        return false;
    Unpaginate(score);
    ScoreEdit edit(ctx, "Delete stave");
    // The neighbours first: Undo puts the stave back, then their contents.
    const bool recorded = (s == 1 || edit.touchStave(s - 1)) &&
                          (s == count || edit.touchStave(s + 1)) && edit.touchDeletion(s);
    if (!recorded) {
        Paginate(score);
        return false;
    }
    UnlinkCrossStaveBeams(score, s);
    const auto [first, last] = SystemBounds(score, s);
    bool moved = false;
    if (s == first && last > first) {
        if (!CopyBarlines(score, s, s + 1))
            ctx.host.message(MsgType::Warning, MessageText(msg::TooManyBarlinesOnTop), Buttons::OK);
        moved = true;
    } else if (s == last && last > first) {
        StaveHeader& above = score.stave(s - 1).h;
        above.bracketWithNext = above.fullEndBar = above.barlineThrough = above.withBrace = false;
        above.joinToNext = false;
    }
    score.removeStave(s);
    if (moved) TidyStave(score, s, false);
    if (score.CurrentStave > score.Nstaves) score.CurrentStave = score.Nstaves;
    edit.commit();
    return true;
}

bool ToggleJoin(EditContext& ctx, int s, bool clearBinding) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    if (s == score.Nstaves) {
        Error(ctx, msg::NoStaveToBind);
        return false;
    }
    const int first = SystemBounds(score, s).first;
    const bool joined = score.stave(s).h.joinToNext;
    // Joining gives the lower system's bar lines to the joined system's top;
    // separating gives the upper top's to the new top, s + 1.
    const int from = joined ? first : s + 1, to = joined ? s + 1 : first;
    if (!BarlinesFit(ctx, from, to)) return false;
    ScoreEdit edit(ctx, joined ? "Separate staves" : "Join staves");
    if (!edit.touchStaves(first, s + 1)) return false;
    CopyBarlines(score, from, to);
    if (!joined) RemoveBarlines(score, s + 1);
    StaveHeader& h = score.stave(s).h;
    h.joinToNext = !joined;
    if (joined && clearBinding) {
        if (s > 1 && s - 1 >= first && !score.stave(s - 1).h.withBracket) h.withBracket = false;
        h.bracketWithNext = h.withBrace = false;
        if (s + 2 <= score.Nstaves && !score.stave(s + 2).h.withBrace)
            score.stave(s + 1).h.withBrace = false;
    }
    edit.commit();
    return true;
}

bool ToggleBinding(EditContext& ctx, int s, bool brace) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    if (!score.stave(s).h.joinToNext) {
        ctx.warnings.show(ctx.host, brace ? msg::BraceNeedsJoin : msg::BracketNeedsJoin,
                          kLevelBound, false);
        return false;
    }
    const auto [first, last] = SystemBounds(score, s);
    ScoreEdit edit(ctx, brace ? "Brace" : "Bracket");
    if (!edit.touchStaves(first, last)) return false;
    StaveHeader& h = score.stave(s).h;
    if (brace) {
        h.withBrace = !h.withBrace;
    } else {
        h.bracketWithNext = !h.bracketWithNext;
        if (h.bracketWithNext) {
            h.withBracket = true;
            if (s < last) score.stave(s + 1).h.withBracket = true;
        }
    }
    edit.commit();
    return true;
}

bool SetBrace(EditContext& ctx, int s, bool on) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    StaveHeader& h = score.stave(s).h;
    if (!h.joinToNext || h.withBrace == on) return false;
    ScoreEdit edit(ctx, "Brace");
    if (!edit.touchStave(s)) return false;
    h.withBrace = on;
    edit.commit();
    return true;
}

void ReplaceForSize(Score& score, int s, int oldSize) {
    StaveBlock& b = score.stave(s);
    const int32_t oldSpace = oldSize ? 5 : 8, space = b.h.sizeIndex ? 5 : 8;
    const int digit0 = b.h.sizeIndex ? glyph::DIGIT0 : glyph::FB0;
    for (int i = 1; i <= b.count(); ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind == kNote) {
            o.y = NoteY(score, s, o.note().pitch);
            o.note().validated = 0;
        } else if (o.kind == kAccidental) {
            o.y = NoteY(score, s, o.data.accidental.pitch);
        } else if (o.kind == kTrill && o.y == b.h.Ycoord + oldSpace && o.glyph >= digit0 &&
                   o.glyph < digit0 + kDigits) {
            o.y = b.h.Ycoord + 2 * space;
        }
    }
}

bool ToggleStaveSize(EditContext& ctx, int s) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    ScoreEdit edit(ctx, "Stave size");
    if (!edit.touchStave(s)) return false;
    StaveHeader& h = score.stave(s).h;
    const int old = h.sizeIndex;
    h.sizeIndex = old ? 0 : 1;
    if (h.sizeIndex == 0) h.cue = false;
    ReplaceForSize(score, s, old);
    edit.commit();
    if (h.sizeIndex) ctx.warnings.show(ctx.host, msg::SmallStaveWarning, kLevelBound, false);
    return true;
}

bool ChopSystem(EditContext& ctx, int s, int32_t x, ChopSide side) {
    Score& score = ctx.score;
    if (s < 1 || s > score.Nstaves) return false;
    const auto [first, last] = SystemBounds(score, s);
    ScoreEdit edit(ctx, "Chop");
    if (!edit.touchStaves(first, last)) return false;
    const ChopOutcome out = Chop(score, s, x, side);
    if (out.result == ChopOutcome::MusicInTheWay) {
        ctx.host.message(MsgType::Error, FormatMessage(msg::ChopObjectsBeyond, out.stave),
                         Buttons::OK);
        return false;
    }
    if (out.result != ChopOutcome::Done) {
        Error(ctx, msg::ChopNoRoom);
        return false;
    }
    edit.commit();
    return true;
}

}  // namespace sw
