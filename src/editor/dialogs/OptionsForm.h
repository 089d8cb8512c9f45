// The options window as a table of controls over its model: the window builds
// its widgets from it, the script runner reaches the same controls by caption
// or component name, and the buttons that act at once run here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Options.h"

namespace sw {

class Host;
class WarningBox;

struct OptionControl {
    enum Kind : uint8_t { Radio, Check, Spin, Button, Label, List, Folder };
    Kind kind = Label;
    int tab = 0;
    std::string caption;                   // a group's, box's or button's; a fixed label's text
    std::string name;                      // the component name
    std::vector<std::string> choiceNames;  // Radio: each choice's component name, if it has one
    int low = 0, high = 0;                 // Spin
    std::string suffix;                    // Spin: the unit after the number
    std::string hint;
    bool italic = false, red = false;  // Label
    bool newColumn = false;            // starts the tab's second column
};

// What the window's buttons open beyond the model.
struct OptionsHelpers {
    // The instrument chooser: 0..127, nothing on Cancel.
    std::function<std::optional<int>(int current)> chooseInstrument;
    // The page setup dialog on a copy, for the startup page or this score's;
    // true on OK.
    std::function<bool(PageData& page, bool& metric, bool thisScore)> pageSetup;
    // A colour (0x00BBGGRR), nothing on Cancel.
    std::function<std::optional<uint32_t>(uint32_t current)> chooseColour;
    // The score information window on its first (0) or second (1) page.
    std::function<void(const Score& score, int page)> scoreInformation;
};

class OptionsForm {
  public:
    enum Tab {
        kDesktop,
        kMusic,
        kScoreTab,
        kLanguage,
        kFolders,
        kPrinter,
        kSystem,
        kCosmetic,
        kToolbars
    };
    static constexpr std::array<const char*, 9> kTabs = {"&Desktop",  "&Music",    "&Score",
                                                         "&Language", "&Folders",  "&Printer",
                                                         "S&ystem",   "&Cosmetic", "&Toolbars"};

    OptionsForm(OptionsModel& model, Host& host, WarningBox& warnings, OptionsHelpers helpers);

    bool tabShown(int tab) const { return tab != kScoreTab || model_.hasScoreTab(); }
    const std::vector<OptionControl>& controls() const { return controls_; }
    const OptionControl& control(int id) const { return controls_.at(std::size_t(id)); }
    // The control of a component name, -1 for none.
    int find(const std::string& name) const;
    bool enabled(int id) const;

    // The control's state: a choice, tick (0/1), number or list item (-1
    // none); a label's text or the selected folder.
    int value(int id) const;
    std::string text(int id) const;
    // A radio group's choices (the pulse names follow the terms) and a list's items.
    std::vector<std::string> choices(int id) const;
    // A spin box's step at its value.
    int step(int id) const;

    // What the user does; false when the value does not fit the control.
    // setText picks a list's item by its name or selects a folder.
    bool choose(int id, int choice);
    void setCheck(int id, bool on);
    bool setValue(int id, int value);
    bool setText(int id, const std::string& text);
    void press(int id);
    // Leaving the printer tab reads the printer again.
    void leaveTab(int tab);

    // OK: false (the reason told) keeps the window open.
    bool accept();
    std::string explanation() const;

  private:
    struct Binding {
        std::function<int()> get = {};
        std::function<void(int)> set = {};
        std::function<std::string()> text = {};
        std::function<std::vector<std::string>()> items = {};
        std::function<void()> press = {};
        std::function<bool()> enabled = {};
    };
    int add(OptionControl c, Binding b);
    void buildDesktop();
    void buildMusicAndScore();
    void buildLanguageAndFolders();
    void buildPrinterAndSystem();
    void buildCosmeticAndToolbars();
    void selectSaveType(int type);
    void readPrinter();

    OptionsModel& model_;
    Host& host_;
    WarningBox& warnings_;
    OptionsHelpers helpers_;
    std::vector<OptionControl> controls_;
    std::vector<Binding> bindings_;
    SaveType saveType_ = SaveType::Scores;
    std::string folder_;
    std::optional<PrintableArea> area_;
    std::vector<std::string> systemLines_;
    ScoreOptions noScore_;  // what the hidden score tab shows without a document
};

// The score information window's two pages: the document's figures (those
// `staffwright-cli info` prints) and the fonts its texts use.
std::array<std::vector<std::string>, 2> ScoreInformationPages(const Score& score);

}  // namespace sw
