// The block modes and the controller's block commands.
#include "editor/modes/BlockModes.h"

#include <algorithm>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/BlockActionDialog.h"
#include "editor/DocumentController.h"
#include "editor/commands/BlockCommands.h"
#include "editor/commands/StemCommands.h"
#include "layout/BeamRules.h"
#include "layout/Pagination.h"

namespace sw {

namespace {

constexpr int kAllLevels = 4;     // the warning box at every user level
constexpr int kNoviceLevels = 3;  // levels 1 and 2
constexpr int kBigStep = 10;      // Ctrl+Left/Right

PixelBox Shifted(const PixelBox& b, int32_t dx, int32_t dy) {
    return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
}

}  // namespace

// The controller's side of the block modes.
struct BlockOps {
    static BlockState& B(DocumentController& d) { return d.block_; }
    static const BlockState& B(const DocumentController& d) { return d.block_; }

    // The stave blocks' marks follow the selection, so tidying keeps them
    // on the objects that were selected.
    static void Mark(DocumentController& d) {
        Score& score = d.score_;
        for (int s = 1; s <= score.Nstaves; ++s)
            score.stave(s).t.blockSet.reset();
        for (const SelectedObject& e : B(d).selection.entries())
            score.stave(e.stave).t.blockSet.set(e.object);
    }
    // The selection again from the marks, after an edit tidied its staves.
    static void Reload(DocumentController& d, int first, int last) {
        Selection& sel = B(d).selection;
        sel.clear();
        const Score& score = d.score_;
        for (int s = std::max(first, 1); s <= std::min<int>(last, score.Nstaves); ++s)
            for (int i = 1; i <= score.stave(s).count(); ++i)
                if (score.stave(s).t.blockSet.test(static_cast<std::size_t>(i))) sel.append(s, i);
    }
    static void Clear(DocumentController& d) {
        B(d).selection.clear();
        Mark(d);
        d.ui_.overlay.blockFill.reset();
        d.ui_.overlay.blockOutlines.clear();
        d.view_.overlayChanged();
    }
    static void ToMusic(DocumentController& d) {
        Clear(d);
        d.setEditMode(kModeMusic);
        d.view_.redrawPage();
    }

    static void Outline(DocumentController& d) {
        d.ui_.overlay.blockFill.reset();
        d.ui_.overlay.blockOutlines = {B(d).marked, B(d).moving};
        d.view_.overlayChanged();
    }

    // --- the box
    static void BoxTo(DocumentController& d, int32_t x, int32_t y) {
        d.ui_.overlay.blockFill = PixelBox::Between(B(d).fixedX, B(d).fixedY, x, y);
        d.view_.overlayChanged();
        d.view_.makeVisible(x, y);
    }

    static void BoxDone(DocumentController& d, int32_t x, int32_t y) {
        BlockState& b = B(d);
        Score& score = d.score_;
        b.marked = PixelBox::Between(b.fixedX, b.fixedY, x, y);
        b.cornerX = x;
        b.cornerY = y;
        const int first = FirstStaveOnPage(score, d.page_);
        const int last = std::max(first, LastStaveOnPage(score, d.page_));
        BoxSelection found = first > 0 ? SelectInBox(score, first, last, b.marked) : BoxSelection{};
        if (found.curvesLeftOut)
            d.warnings_.show(d.host_, msg::BoxCurvesLeftOut, kAllLevels, false);
        if (found.selection.empty()) {
            d.cursorX_ = x;
            d.warnings_.show(d.host_, msg::BoxEmpty, kNoviceLevels, false);
            ToMusic(d);
            return;
        }
        b.selection = std::move(found.selection);
        Mark(d);
        b.freeVertical = SelectionMovesFreely(score, b.selection);
        d.ui_.emptyBarText = MessageText(msg::BlockActionPrompt);
        d.refreshUi();
        BlockActionModel model;
        if (!d.dialogs_.blockAction(model)) model = BlockActionModel{};
        d.view_.movePointerTo(b.cornerX, b.cornerY);
        Act(d, model.result());
    }

    static void Act(DocumentController& d, BlockAction a) {
        BlockState& b = B(d);
        EditContext ctx = d.editContext();
        switch (a) {
            case BlockAction::CopyOnce:
            case BlockAction::Move:
            case BlockAction::CopyMany: {
                const auto [first, last] = b.selection.staveRange();
                b.targetFirst = first;
                b.targetLast = last;
                b.moving = b.marked;
                b.mouseX = b.cornerX;
                b.mouseY = b.cornerY;
                b.afterKey = false;
                b.copyOnce = a == BlockAction::CopyOnce;
                Outline(d);
                d.setEditMode(a == BlockAction::Move ? kModeBlockVb : kModeBlockCpy);
                return;
            }
            case BlockAction::AlignHorizontally:
            case BlockAction::AlignVertically:
                AlignBlock(ctx, b.selection, a == BlockAction::AlignHorizontally, d.measurer_);
                break;
            case BlockAction::Delete:
                DeleteBlock(ctx, b.selection);
                break;
            case BlockAction::PcxFile:
            case BlockAction::PicToClipboard:
                d.view_.exportBox(b.marked, a == BlockAction::PicToClipboard);
                break;
            case BlockAction::AlterAttributes: {
                std::vector<NoteRef> objects;
                for (const SelectedObject& e : b.selection.entries())
                    objects.push_back({e.stave, e.object});
                d.editAttributes(std::move(objects));
                break;
            }
            case BlockAction::Cancel:
                break;
        }
        ToMusic(d);
        d.afterEdits();
        if (a == BlockAction::Delete) d.setCursorShown(true);
    }

    // --- the moving box
    static int32_t TargetY(const DocumentController& d) {
        return d.score_.stave(B(d).targetFirst).h.Ycoord;
    }
    // The x offset the box may take on the target range.
    static int32_t ClampDx(const DocumentController& d, int32_t dx) {
        const auto [lo, hi] = BlockDxLimits(d.score_, B(d).selection, B(d).targetFirst);
        return lo <= hi ? std::clamp(dx, lo, hi) : dx;
    }
    static AttachRange TargetAttach(const DocumentController& d) {
        const int level = d.settings_.level;
        AttachRange r = ComputeAttachRange(d.score_, B(d).targetFirst, level, false);
        r.lower = ComputeAttachRange(d.score_, B(d).targetLast, level, false).lower;
        return r;
    }

    static void MoveBox(DocumentController& d, int32_t dx, int32_t dy) {
        BlockState& b = B(d);
        const int32_t off = b.moving.left - b.marked.left;
        dx = ClampDx(d, off + dx) - off;
        b.moving = Shifted(b.moving, dx, dy);
        Outline(d);
    }

    static void Mouse(DocumentController& d, const PointerEvent& e) {
        BlockState& b = B(d);
        if (b.afterKey) {
            b.afterKey = false;
        } else {
            int32_t y = TargetAttach(d).clamp(e.y);
            if (e.shift || !b.freeVertical) y = b.mouseY;
            MoveBox(d, e.x - b.mouseX, y - b.mouseY);
        }
        b.mouseX = e.x;
        b.mouseY = e.y;
    }

    static void PointerToCorner(DocumentController& d) {
        BlockState& b = B(d);
        b.mouseX = b.moving.right;
        b.mouseY = b.moving.bottom;
        b.afterKey = true;
        d.view_.makeVisible(b.mouseX, b.mouseY);
        d.view_.movePointerTo(b.mouseX, b.mouseY);
    }

    // The target range moved to first..last (already checked to exist).
    static void Retarget(DocumentController& d, int first, int last) {
        BlockState& b = B(d);
        Score& score = d.score_;
        if (score.stave(first).h.PageNum != score.stave(last).h.PageNum) {
            d.host_.message(MsgType::Error, MessageText(msg::BlockOverTwoPages), Buttons::OK);
            return;
        }
        const int32_t dy = score.stave(first).h.Ycoord - TargetY(d);
        b.targetFirst = first;
        b.targetLast = last;
        b.moving = Shifted(b.moving, 0, dy);
        d.services_.refreshStatus();  // "Copy to:" names the new target
        // Keeps the notes between the new staves' ends.
        MoveBox(d, 0, 0);
        const int page = score.stave(first).h.PageNum;
        if (page != d.page_) {
            d.page_ = page;
            d.view_.showPage(page);
        }
        PointerToCorner(d);
    }

    static void StepRange(DocumentController& d, int step) {
        const BlockState& b = B(d);
        const Score& score = d.score_;
        int first = b.targetFirst, last = b.targetLast;
        if ((step < 0 && first <= 1) || (step > 0 && last >= score.Nstaves)) return;
        do {
            first += step;
            last += step;
        } while (score.stave(first).h.PageNum != score.stave(last).h.PageNum && first > 1 &&
                 last < score.Nstaves);
        Retarget(d, first, last);
    }

    static void SystemRange(DocumentController& d, int step) {
        const BlockState& b = B(d);
        const Score& score = d.score_;
        const int span = b.targetLast - b.targetFirst;
        const int system = SystemNumber(score, b.targetFirst);
        const int offset = b.targetFirst - FirstStaveOfSystem(score, system);
        if (system + step < 1 || system + step > SystemCount(score)) return;
        const int first = FirstStaveOfSystem(score, system + step) + offset;
        if (first + span > score.Nstaves) {
            d.host_.message(MsgType::Error, MessageText(msg::BlockNoTargetSystem), Buttons::OK);
            return;
        }
        Retarget(d, first, first + span);
    }

    static void PageRange(DocumentController& d, int step) {
        const BlockState& b = B(d);
        const Score& score = d.score_;
        const int page = score.stave(b.targetFirst).h.PageNum + step;
        if (page < 1 || page > score.pageCount) return;
        const int first = FirstStaveOnPage(score, page);
        const int last = first + (b.targetLast - b.targetFirst);
        if (first < 1 || last > score.Nstaves) return;
        Retarget(d, first, last);
    }

    static void Accept(DocumentController& d, bool move) {
        BlockState& b = B(d);
        Score& score = d.score_;
        const auto [first, last] = b.selection.staveRange();
        BlockPlacement p;
        p.targetFirst = b.targetFirst;
        p.dx = b.moving.left - b.marked.left;
        p.dv = (b.moving.top - TargetY(d)) - (b.marked.top - score.stave(first).h.Ycoord);
        EditContext ctx = d.editContext();
        if (!CopyBlock(ctx, b.selection, p, move)) return;  // the box stays for another place
        d.cursorX_ = b.moving.right;
        if (!move && !b.copyOnce) {
            d.afterEdits();
            Reload(d, first, last);
            Outline(d);
            return;
        }
        d.setCurrentStave(b.targetFirst);
        ToMusic(d);
        d.afterEdits();
    }

    static void Reject(DocumentController& d) {
        d.setCurrentStave(B(d).targetFirst);
        ToMusic(d);
    }

    // --- Selecting
    static void Toggle(DocumentController& d, int s, int i) {
        Selection& sel = B(d).selection;
        if (!sel.remove(s, i)) sel.add(s, i);
        Mark(d);
        d.refreshUi();
        d.view_.redrawPage();
    }
};

namespace {

class BlocksoonMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    PointerResult pointer(const PointerEvent& e) override {
        if (e.kind != PointerEvent::Press) return ModeHandler::pointer(e);
        if (e.button == MouseButton::Right) {
            BlockOps::ToMusic(d_);
        } else if (e.button == MouseButton::Left) {
            BlockOps::B(d_).fixedX = e.x;
            BlockOps::B(d_).fixedY = e.y;
            d_.setEditMode(kModeDefBlock);
            BlockOps::BoxTo(d_, e.x, e.y);
        }
        return {true, true, false};
    }
    bool key(const std::string& k) override {
        if (k != "Esc") return false;
        BlockOps::ToMusic(d_);
        return true;
    }
};

class DefBlockMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    void enter(int) override { d_.hintsOff(); }
    PointerResult pointer(const PointerEvent& e) override {
        if (e.kind == PointerEvent::Move) {
            BlockOps::BoxTo(d_, e.x, e.y);
            return {true, true, false};
        }
        if (e.kind == PointerEvent::Release && e.button == MouseButton::Left)
            BlockOps::BoxDone(d_, e.x, e.y);
        else if (e.kind == PointerEvent::Press && e.button == MouseButton::Right)
            BlockOps::ToMusic(d_);
        return {true, true, false};
    }
    bool key(const std::string& k) override {
        if (k != "Esc") return false;
        BlockOps::ToMusic(d_);
        return true;
    }
};

class SelectingMode : public ModeHandler {
  public:
    using ModeHandler::ModeHandler;
    PointerResult pointer(const PointerEvent& e) override;
    bool key(const std::string& k) override {
        if (k != "Esc") return false;
        BlockOps::ToMusic(d_);
        return true;
    }
};

class BlockMovingMode : public ModeHandler {
  public:
    BlockMovingMode(DocumentController& d, bool move, int guidance)
        : ModeHandler(d), move_(move), guidance_(guidance) {}
    void enter(int) override { d_.showGuidance(guidance_); }
    PointerResult pointer(const PointerEvent& e) override {
        if (e.kind == PointerEvent::Move && e.button == MouseButton::None) {
            BlockOps::Mouse(d_, e);
        } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
            BlockOps::Accept(d_, move_);
        } else if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
            BlockOps::Reject(d_);
        } else {
            return ModeHandler::pointer(e);
        }
        return {true, true, false};
    }
    bool key(const std::string& k) override {
        const KeyParts parts = SplitKey(k);
        const KeyModifiers& m = parts.held;
        const std::string& n = parts.name;
        if (n == "Enter") {
            BlockOps::Accept(d_, move_);
        } else if (n == "Esc") {
            BlockOps::Reject(d_);
        } else if (n == "Left" || n == "Right") {
            const int step = (m.ctrl ? kBigStep : 1) * (n == "Left" ? -1 : 1);
            BlockOps::MoveBox(d_, step, 0);
            BlockOps::PointerToCorner(d_);
        } else if (n == "PgUp" || n == "PgDown") {
            const int step = n == "PgUp" ? -1 : 1;
            if (m.alt)
                BlockOps::PageRange(d_, step);
            else if (m.ctrl)
                BlockOps::SystemRange(d_, step);
            else
                BlockOps::StepRange(d_, step);
        } else {
            return false;
        }
        return true;
    }

  private:
    bool move_;
    int guidance_;
};

PointerResult SelectingMode::pointer(const PointerEvent& e) {
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        d_.mouseMove(e.x, e.y, false);
        if (!e.shift) {
            BlockOps::ToMusic(d_);
        } else if (d_.focusStave() > 0 && d_.focusObject() > 0) {
            BlockOps::Toggle(d_, d_.focusStave(), d_.focusObject());
        }
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Right) {
        MenuModel menu{"pumpropdel",
                       {{"Properties", Action::ChgAttr, MenuCommand::None, 0, false,
                         d_.canRun(Action::ChgAttr)},
                        {"Delete object", Action::DeleteBlk, MenuCommand::None, 0, false,
                         d_.canRun(Action::DeleteBlk)},
                        {"Notation Guide", std::nullopt, MenuCommand::None, 0, false, false}}};
        if (const std::optional<int> k = d_.dialogs().popup(menu))
            if (*k >= 0 && *k < static_cast<int>(menu.items.size()) && menu.items[*k].action)
                d_.run(*menu.items[static_cast<std::size_t>(*k)].action);
        return {true, true, false};
    }
    return ModeHandler::pointer(e);
}

}  // namespace

void AddBlockModeHandlers(std::array<std::unique_ptr<ModeHandler>, kModeCount>& h,
                          DocumentController& d) {
    h[kModeBlocksoon] = std::make_unique<BlocksoonMode>(d);
    h[kModeDefBlock] = std::make_unique<DefBlockMode>(d);
    h[kModeSelecting] = std::make_unique<SelectingMode>(d);
    h[kModeBlockVb] = std::make_unique<BlockMovingMode>(d, true, msg::GuidanceBlockMove);
    h[kModeBlockCpy] = std::make_unique<BlockMovingMode>(d, false, msg::GuidanceBlockCopy);
}

void StartSelecting(DocumentController& d, int s, int i) {
    BlockState& b = BlockOps::B(d);
    b.selection.clear();
    b.selection.add(s, i);
    BlockOps::Mark(d);
    d.setEditMode(kModeSelecting);
    d.view_.redrawPage();
}

bool DocumentController::selectionCommand(Action a) {
    if (mode_ != kModeSelecting || block_.selection.empty()) return false;
    EditContext ctx = editContext();
    std::vector<NoteRef> notes;
    for (const SelectedObject& e : block_.selection.entries())
        notes.push_back({e.stave, e.object});
    switch (a) {
        case Action::DeleteBlk:
            DeleteSelectedObjects(ctx, block_.selection);
            break;
        case Action::AlignH:
        case Action::AlignV:
            AlignBlock(ctx, block_.selection, a == Action::AlignH, measurer_);
            break;
        case Action::CrossStaveBeam:
            BeamSelectedNotes(ctx, notes);
            break;
        case Action::BeamTremolo:
            tremoloBeams(notes);
            break;
        case Action::Triplets:
            MakeSelectedTriplets(ctx, notes);
            break;
        case Action::ChgAttr:
            editAttributes(notes);
            break;
        case Action::AbortSelecting:
            break;
        default:
            return false;
    }
    BlockOps::ToMusic(*this);
    afterEdits();
    if (a == Action::DeleteBlk) setCursorShown(true);
    return true;
}

std::string SelectingLabel(std::size_t count) {
    return count == 1 ? MessageText(msg::SelectingOne)
                      : FormatMessage(msg::SelectingMany, static_cast<long long>(count));
}

}  // namespace sw
