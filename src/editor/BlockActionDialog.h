// "Block Mode Action": what to do with a marked block, and where the dialog
// stands on the screen.
#pragma once

#include <array>
#include <string>

namespace sw {

// The dialog's results, numbered as its buttons' modal results.
enum class BlockAction {
    Cancel = 2,
    CopyOnce = 6,
    Move = 7,
    PcxFile = 900,
    PicToClipboard = 901,
    AlterAttributes = 910,
    AlignHorizontally = 920,
    AlignVertically = 930,
    CopyMany = 940,
    Delete = 999,
};

struct BlockActionButton {
    const char* caption;
    BlockAction action;
};

struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
};

class BlockActionModel {
  public:
    static constexpr const char* kCaption = "Block Mode Action";
    static constexpr const char* kLabel = "Specify action on marked block";
    static constexpr std::array<BlockActionButton, 10> kButtons{{
        {"&Copy Once", BlockAction::CopyOnce},
        {"Mo&ve", BlockAction::Move},
        {"Copy &Many", BlockAction::CopyMany},
        {"&Delete", BlockAction::Delete},
        {"C&ancel", BlockAction::Cancel},
        {"&PCX File", BlockAction::PcxFile},
        {"Pic to Clip&board", BlockAction::PicToClipboard},
        {"Alt&er Attributes", BlockAction::AlterAttributes},
        {"Al&ign", BlockAction::AlignHorizontally},
        {"Alig&n", BlockAction::AlignVertically},
    }};

    void choose(BlockAction a) { result_ = a; }
    BlockAction result() const { return result_; }

    // Where the dialog opens: at the remembered corner when the whole dialog
    // stays on the screen there, else centred on the main window.
    static ScreenRect Place(int left, int top, int width, int height, const ScreenRect& screen,
                            const ScreenRect& window);

  private:
    BlockAction result_ = BlockAction::Cancel;
};

}  // namespace sw
