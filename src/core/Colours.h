// The editor's colours by role (0x00BBGGRR), with their defaults and their
// keys in the settings file's "Colours" section: one table for the settings,
// the drawing code and the dialogs.
#pragma once

#include <array>
#include <cstdint>

namespace sw {

struct Colours {
    uint32_t ink = 0x000000;
    uint32_t nonprinting = 0xFF00FF;
    uint32_t modnote = 0x008080;
    uint32_t putative = 0x808080;
    uint32_t selecting = 0xFF0000;
    uint32_t line = 0x008000;
    uint32_t erase = 0xAAD7D3;
    uint32_t anchor = 0x808080;
    uint32_t edit = 0x0000FF;
    uint32_t cursor = 0xFF0000;
    uint32_t block = 0x80FF00;
    uint32_t marked = 0xFF0000;
    uint32_t universalText = 0x008000;
    uint32_t virtualstem = 0x00FF00;
    uint32_t strings = 0xFF00FF;
    uint32_t defaultform = 0xC8FFFF;
    uint32_t grid = 0x00FFFF;
};

struct ColourRole {
    const char* key;
    uint32_t Colours::*member;
};

// In the order of the file.
inline constexpr std::array<ColourRole, 17> kColourRoles{{
    {"Ink", &Colours::ink},
    {"Nonprinting", &Colours::nonprinting},
    {"Modnote", &Colours::modnote},
    {"Putative", &Colours::putative},
    {"Selecting", &Colours::selecting},
    {"Line", &Colours::line},
    {"Erase", &Colours::erase},
    {"Anchor", &Colours::anchor},
    {"Edit", &Colours::edit},
    {"Cursor", &Colours::cursor},
    {"Block", &Colours::block},
    {"Marked", &Colours::marked},
    {"UniversalText", &Colours::universalText},
    {"Virtualstem", &Colours::virtualstem},
    {"Strings", &Colours::strings},
    {"Defaultform", &Colours::defaultform},
    {"Grid", &Colours::grid},
}};

}  // namespace sw
