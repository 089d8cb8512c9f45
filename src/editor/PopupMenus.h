// The right-button menus of the page: plain data the window shows and a
// script answers, so their checks and enabled states are tested without Qt.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/Actions.h"
#include "model/Score.h"

namespace sw {

// What an item writes into the object it was opened on.
enum class MenuCommand : uint8_t {
    None,
    ClefType,
    ClefSize,
    ClefOctave,  // 0 none, 1 down, 2 up
    KeyValue,
    BarStyle,
    AccidentalValue,
    AccidentalCourtesy,
    AccidentalSmall,
    LineStyle,
    LineThickness,
    CurveStyle,  // 0 normal, 1 dotted, 2 editorial
    CurveThickness,
    UpArrow,
    DownArrow,
    HairpinThickness,
    Shape,
    ShapeSolid,
    ShapeWhite,
    TextStyle,  // the value is the style bit toggled in the text's font
    TextFont,   // 0 a favourite font, 1 any font
};

struct MenuItem {
    std::string caption;  // empty: a separator
    std::optional<Action> action;
    MenuCommand command = MenuCommand::None;
    int value = 0;
    bool checked = false;
    bool enabled = true;
};

struct MenuModel {
    std::string name;  // "pumClef" …
    std::vector<MenuItem> items;
};

// Whether an action can run now, as the controller's action states say.
using ActionEnabled = std::function<bool(Action)>;

// The menu of object i of stave s; empty (no items) for kinds without one.
MenuModel ObjectMenu(const Score& score, int s, int i, const ActionEnabled& enabled);
MenuModel StaveMenu(const Score& score, int s, const ActionEnabled& enabled);
MenuModel PageMenu(const ActionEnabled& enabled);
// The Add menu, also opened by Ins at the mouse.
MenuModel AddMenuModel(const ActionEnabled& enabled);

// Writes the item's value into object i of the stave (a curve's style and
// thickness into every anchor of its curve). False when nothing changed.
bool ApplyMenuCommand(StaveBlock& b, int i, MenuCommand c, int value);

// The anchors of the curve holding anchor i, first to last (a damaged chain
// stops where it would loop).
std::vector<int> CurveOf(const StaveBlock& b, int i);

// The caption as a script names it: without "&".
std::string PlainCaption(const std::string& caption);

}  // namespace sw
