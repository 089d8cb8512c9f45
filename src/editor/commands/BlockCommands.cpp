// The block commands as edits.
#include "editor/commands/BlockCommands.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "model/Build.h"

namespace sw {

namespace {

constexpr int kDrawRectangle = 2, kDrawEllipse = 3;

bool Recorded(ScoreEdit& edit, std::pair<int, int> reach) {
    return reach.first <= reach.second && edit.touchStaves(reach.first, reach.second);
}

void Refuse(EditContext& ctx, int message) {
    ctx.host.message(MsgType::Error, MessageText(message), Buttons::OK);
}

bool HasBarline(const Score& score, const Selection& selection) {
    return std::any_of(
        selection.entries().begin(), selection.entries().end(),
        [&](const SelectedObject& e) { return score.object(e.stave, e.object).kind == kBarline; });
}

bool Delete(EditContext& ctx, const Selection& selection, bool barlines, const char* what) {
    const int moved = selection.entries().empty() ? 0 : selection.staveRange().first;
    if (moved == 0) return false;
    ScoreEdit edit(ctx, what);
    // Deleting is a move to nowhere: the same staves and beam partners.
    if (!Recorded(edit, BlockReach(ctx.score, selection, moved, true))) return false;
    if (DeleteBlockObjects(ctx.score, selection, barlines) == 0) return false;
    edit.commit();
    return true;
}

// Where the aligned point of object (s, i) lies along the axis; nothing for
// an object that is not aligned on it.
std::optional<double> Measured(const Score& score, int s, int i, bool horizontal,
                               const TextMeasurer& measurer) {
    const ScoreObject& o = score.object(s, i);
    if (HasTextLayout(o.kind) && (o.text().textFlags & kTextContinuation)) return std::nullopt;
    const bool text = IsTextLike(o.kind);
    if (horizontal) {
        switch (o.kind) {
            case kCurve:
            case kNothing:
                return std::nullopt;
            case kLine:
                return o.x + o.data.line.dx / 2.0;
            case kHairpin:
                return o.x + o.data.hairpin.length / 2.0;
            case kDrawobject: {
                const DrawobjectData& d = o.data.drawobject;
                if (d.shape == kDrawRectangle || d.shape == kDrawEllipse)
                    return o.x + d.radiusOrWidth / 2.0;
                return o.x;
            }
            default:
                if (text)
                    return o.x + measurer.width(ScoreTextFont(score, o.text().fontNumber),
                                                ChainText(score.stave(s), i)) /
                                     2.0;
                return o.x;
        }
    }
    if (!VerticallyMovable(o.kind) || o.kind == kCurve) return std::nullopt;
    switch (o.kind) {
        case kLine:
            return o.y + o.data.line.dy / 2.0;
        case kDrawobject: {
            const DrawobjectData& d = o.data.drawobject;
            if (d.shape == kDrawRectangle || d.shape == kDrawEllipse) return o.y + d.height / 2.0;
            return o.y;
        }
        default:
            if (text)
                return o.y + measurer.height(ScoreTextFont(score, o.text().fontNumber),
                                             ChainText(score.stave(s), i)) /
                                 2.0;
            return o.y;
    }
}

}  // namespace

TextFont ScoreTextFont(const Score& score, int number) {
    if (number < 1 || number > kMaxFonts || !score.fontsInUse.test(number)) number = 1;
    const FontDesc& f = score.fonts[static_cast<std::size_t>(number)];
    return TextFont{f.name.empty() ? "Times New Roman" : f.name, f.size > 0 ? f.size : 12, f.style};
}

bool CopyBlock(EditContext& ctx, const Selection& selection, const BlockPlacement& placement,
               bool move) {
    Score& score = ctx.score;
    switch (CheckBlockFits(score, selection, placement.targetFirst, placement.dx)) {
        case BlockFit::Fits:
            break;
        case BlockFit::NoTarget:
            return false;
        case BlockFit::TooFull:
            Refuse(ctx, msg::BlockTooFull);
            return false;
        case BlockFit::OutsideEnds:
            Refuse(ctx, msg::BlockOutsideEnds);
            return false;
    }
    ScoreEdit edit(ctx, move ? "move block" : "copy block");
    if (!Recorded(edit, BlockReach(score, selection, placement.targetFirst, move))) return false;
    if (!PlaceBlock(score, selection, placement, move)) return false;
    edit.commit();
    return true;
}

bool DeleteBlock(EditContext& ctx, const Selection& selection) {
    bool barlines = true;
    if (HasBarline(ctx.score, selection))
        barlines = ctx.host.message(MsgType::Confirmation, MessageText(msg::DeleteBarlinesQuestion),
                                    Buttons::YesNo) == Answer::Yes;
    return Delete(ctx, selection, barlines, "delete block");
}

bool DeleteSelectedObjects(EditContext& ctx, const Selection& selection) {
    return Delete(ctx, selection, true, "delete selected objects");
}

bool AlignBlock(EditContext& ctx, const Selection& selection, bool horizontal,
                const TextMeasurer& measurer) {
    Score& score = ctx.score;
    struct Entry {
        SelectedObject at;
        double position;
    };
    std::vector<Entry> eligible;
    for (const SelectedObject& e : selection.entries())
        if (const auto p = Measured(score, e.stave, e.object, horizontal, measurer))
            eligible.push_back({e, *p});
    if (eligible.size() < 2) {
        ctx.host.message(MsgType::Warning, MessageText(msg::AlignTooFew), Buttons::OK);
        return false;
    }
    double sum = 0;
    for (const Entry& e : eligible)
        sum += e.position;
    const double mean = std::nearbyint(sum / static_cast<double>(eligible.size()));
    ScoreEdit edit(ctx, horizontal ? "align horizontally" : "align vertically");
    if (!Recorded(edit, selection.staveRange())) return false;
    bool moved = false;
    for (const Entry& e : eligible) {
        const auto by = static_cast<int32_t>(std::nearbyint(mean - e.position));
        if (by == 0) continue;
        ScoreObject& o = score.object(e.at.stave, e.at.object);
        (horizontal ? o.x : o.y) += by;
        moved = true;
    }
    if (!moved) return false;
    edit.commit();
    return true;
}

}  // namespace sw
