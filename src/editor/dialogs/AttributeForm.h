// The attribute dialogs' shared form: radio groups with their "No change"
// choice, boxes, tick boxes, buttons and a memo, laid out on tabs. The
// window builds its widgets from it and the script runner reaches the same
// controls by caption; every change goes through the form so its rules run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sw {

class Host;

struct FormControl {
    enum Kind : uint8_t { Radio, Box, Check, Button, Memo, Label };
    Kind kind = Radio;
    std::string caption;               // a group's, box's, button's or tick box's
    std::vector<std::string> choices;  // Radio, with their "&"
    int value = -1;                    // Radio: the choice, -1 none; Check: 0 or 1
    std::string text;                  // Box and Memo (lines split by '\n'), Label
    int tab = 0;
    bool enabled = true;
    uint32_t offChoices = 0;  // Radio: bit k greys out choice k
    bool choiceUsable(int k) const { return enabled && k >= 0 && k < 32 && !(offChoices >> k & 1); }
};

class AttributeForm {
  public:
    virtual ~AttributeForm() = default;
    const std::string& title() const { return title_; }
    // Empty for a dialog without tabs.
    const std::vector<std::string>& tabs() const { return tabs_; }
    bool tabShown(int tab) const;
    const std::vector<FormControl>& controls() const { return controls_; }
    const FormControl& control(int id) const { return controls_.at(static_cast<std::size_t>(id)); }
    // Whether the user can reach a control: enabled and on a shown tab.
    bool usable(int id) const;

    // What the user does. Each runs the dialog's rules; a box may refuse
    // its text with a message (false).
    void choose(int id, int choice);
    bool setText(int id, const std::string& text, Host& host);
    void setCheck(int id, bool on);
    void press(int id, Host& host);
    // OK: false (with the reason told) keeps the dialog open.
    virtual bool accept(Host& /*host*/) { return true; }
    // The "Explain" button's text.
    virtual std::string explanation() const;
    // A dialog that a choice closes (no OK): true once it is closed.
    virtual bool finished() const { return false; }

    // A choice reads "No change" when its letters, without "&" and spaces, do.
    static bool IsNoChange(const std::string& caption);

  protected:
    int radio(const std::string& caption, std::vector<std::string> choices, int tab = 0);
    int box(const std::string& caption, int tab = 0);
    int check(const std::string& caption, int tab = 0);
    int button(const std::string& caption, int tab = 0);
    int memo(const std::string& caption, int tab = 0);
    int label(const std::string& text, int tab = 0);
    FormControl& at(int id) { return controls_.at(static_cast<std::size_t>(id)); }

    // Opens a group on the choice of the value every object shares, else on
    // "No change" (on nothing for a group without one, or a value with no choice).
    void openOn(int id, const std::vector<int>& choiceOfEach);
    // The chosen index, nothing for "No change" or no choice.
    std::optional<int> chosen(int id) const;
    bool isChosen(int id, int choice) const { return chosen(id) == choice; }
    // For one object: every "No change" choice goes.
    void dropNoChange();

    // The rules, after the form changed.
    virtual void changed(int /*id*/, Host* /*host*/) {}
    // A box's text: false (nothing changed) when it does not fit.
    virtual bool boxText(int id, const std::string& text, Host& host);
    virtual void pressed(int /*id*/, Host& /*host*/) {}

    std::string title_;
    std::vector<std::string> tabs_;
    std::vector<bool> hiddenTabs_;

  private:
    int add(FormControl c);
    std::vector<FormControl> controls_;
};

// The digits of a text as a whole number (spaces around allowed).
std::optional<long> WholeNumber(const std::string& text);

}  // namespace sw
