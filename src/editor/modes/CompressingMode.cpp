// The Compressing mode: press, choose a side, release.
#include "editor/modes/CompressingMode.h"

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "editor/DocumentController.h"
#include "editor/Placement.h"
#include "editor/commands/SpacingCommands.h"
#include "layout/GlyphTable.h"

namespace sw {

namespace {

// The pointer must move this far from the press before a side is taken.
constexpr int32_t kDirectionSlack = 5;

}  // namespace

void CompressingMode::reset() {
    pressed_ = false;
    stave_ = 0;
    plan_ = CompressPlan{};
    d_.ui_.hairline.reset();
}

void CompressingMode::enter(int) {
    reset();
}

void CompressingMode::leave(int) {
    reset();
    d_.setCursorShown(true);
}

PointerResult CompressingMode::pointer(const PointerEvent& e) {
    DocumentController& d = d_;
    Score& score = d.score_;
    if (e.kind == PointerEvent::Press && e.button == MouseButton::Left) {
        reset();
        const int s = NearestStave(score, d.page_, e.x, e.y);
        if (s < 1) return {true, false, false};
        pressed_ = true;
        stave_ = s;
        d.cursorX_ = e.x;
        d.setCurrentStave(s);
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Move && pressed_ && plan_.direction == CompressDirection::None) {
        const int32_t start = d.cursorX_;
        const CompressDirection dir = e.x > start + kDirectionSlack   ? CompressDirection::Right
                                      : e.x < start - kDirectionSlack ? CompressDirection::Left
                                                                      : CompressDirection::None;
        if (dir == CompressDirection::None) return {true, false, false};
        switch (PrepareCompress(score, stave_, start, dir, d.settings_.lcl, plan_)) {
            case CompressPrepared::NoAnchor:
                return {true, false, false};
            case CompressPrepared::NothingToDo:
                d.host_.message(MsgType::Information, MessageText(msg::CompressNothingToDo),
                                Buttons::OK);
                d.returnFromTransient();
                return {true, true, false};
            case CompressPrepared::Ready:
                break;
        }
        const StaveHeader& top = score.stave(plan_.first).h;
        const StaveHeader& bottom = score.stave(plan_.last).h;
        d.ui_.hairline = UiState::Hairline{plan_.limit(), top.Ycoord - TwoSpaces(top.sizeIndex),
                                           bottom.Ycoord + TwoSpaces(bottom.sizeIndex)};
        return {true, true, false};
    }
    if (e.kind == PointerEvent::Release && e.button == MouseButton::Left) {
        if (pressed_) {
            if (plan_.direction == CompressDirection::None) {
                d.host_.message(MsgType::Error, MessageText(msg::CompressNoDirection), Buttons::OK);
            } else {
                EditContext ctx = d.editContext();
                const CompressPlan plan = plan_;
                d.ui_.hairline.reset();
                CompressSystem(ctx, plan, e.x);
                d.afterEdits();
            }
        }
        // One compression, then back to where the mode was chosen from.
        d.returnFromTransient();
        return {true, true, false};
    }
    return {true, false, false};
}

}  // namespace sw
