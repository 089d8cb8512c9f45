// The editing modes: their numbers, names, cursors, tool bars and guidance.
#pragma once

#include <array>
#include <cstdint>

namespace sw {

enum EditMode : uint8_t {
    kModeNothing = 0,
    kModeMusic = 1,
    kModeBlocksoon = 2,
    kModeDefBlock = 3,
    kModeSelecting = 4,
    kModeMovingObject = 5,
    kModeText = 7,
    kModeSymbol = 8,
    kModeLine = 9,
    kModeCurve = 10,
    kModeHairpin = 11,
    kModeDrawing = 12,
    kModeMovestave = 13,
    kModeBlockVb = 15,
    kModeBlockCpy = 16,
    kModeCompressing = 17,
    kModeDragging = 18,
    kModePreview = 19,
    kModeHead = 20,
    kModeFoot = 21,
    kModeWaiting = 22,
    kModeSaving = 23,
};
inline constexpr int kModeCount = 24;

// The cursor shapes, by the names of the cursor pictures.
enum class CursorShape : uint8_t {
    Default,
    Hidden,
    Pencil,
    Cursor1,
    Cursor3,
    Cursor4,
    Cursor8,
    Cursor9,
    Cursor13,
    Cursor14,
    MoveStave,
    MoveBar,
    HandFlat,
    ArrowH,
    ArrowF,
    Hourglass,
    Unchanged,
};

enum class ToolBarId : uint8_t { None, Main, Text, Line, Curve, Hairpin, Empty, BlockActions };

struct ModeInfo {
    const char* name;
    CursorShape cursor;
    ToolBarId toolbar;
};

inline constexpr std::array<ModeInfo, kModeCount> kModes{{
    {"Nothing", CursorShape::Default, ToolBarId::None},
    {"Music", CursorShape::Default, ToolBarId::Main},
    {"Blocksoon", CursorShape::Cursor8, ToolBarId::Empty},
    {"Def block", CursorShape::Cursor4, ToolBarId::Empty},
    {"Selecting", CursorShape::Cursor14, ToolBarId::BlockActions},
    {"Moving object", CursorShape::Unchanged, ToolBarId::Main},
    {"", CursorShape::Default, ToolBarId::Main},
    {"Text", CursorShape::Cursor1, ToolBarId::Text},
    {"Symbol", CursorShape::Hidden, ToolBarId::Empty},
    {"Line", CursorShape::Pencil, ToolBarId::Line},
    {"Curve", CursorShape::Cursor3, ToolBarId::Curve},
    {"Hairpin", CursorShape::Pencil, ToolBarId::Hairpin},
    {"Drawing", CursorShape::Cursor8, ToolBarId::Empty},
    {"Movestave", CursorShape::MoveStave, ToolBarId::Main},
    {"", CursorShape::Default, ToolBarId::Main},
    {"BlockVb", CursorShape::Cursor13, ToolBarId::Empty},
    {"BlockCpy", CursorShape::Cursor13, ToolBarId::Empty},
    {"Compressing", CursorShape::Cursor9, ToolBarId::Main},
    {"Dragging", CursorShape::HandFlat, ToolBarId::Main},
    {"Preview", CursorShape::Default, ToolBarId::Main},
    {"Head", CursorShape::ArrowH, ToolBarId::Main},
    {"Foot", CursorShape::ArrowF, ToolBarId::Main},
    {"Waiting", CursorShape::Hourglass, ToolBarId::Empty},
    {"Saving", CursorShape::Hourglass, ToolBarId::Empty},
}};

inline bool IsHeadFootMode(int mode) {
    return mode == kModeHead || mode == kModeFoot;
}

inline bool ValidMode(int mode) {
    return mode >= 0 && mode < kModeCount && mode != 6 && mode != 14;
}

}  // namespace sw
