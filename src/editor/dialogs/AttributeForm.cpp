// The shared form of the attribute dialogs.
#include "editor/dialogs/AttributeForm.h"

#include <algorithm>
#include <cctype>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

std::optional<long> WholeNumber(const std::string& text) {
    std::size_t k = 0;
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])))
        ++k;
    bool negative = false;
    if (k < text.size() && (text[k] == '-' || text[k] == '+')) negative = text[k++] == '-';
    long n = 0;
    bool any = false;
    for (; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); ++k) {
        if (n < 1000000) n = n * 10 + (text[k] - '0');
        any = true;
    }
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k])))
        ++k;
    if (!any || k != text.size()) return std::nullopt;
    return negative ? -n : n;
}

bool AttributeForm::IsNoChange(const std::string& caption) {
    std::string letters;
    for (char c : caption)
        if (c != '&' && c != ' ')
            letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return letters == "nochange";
}

bool AttributeForm::tabShown(int tab) const {
    return tab < 0 || static_cast<std::size_t>(tab) >= hiddenTabs_.size() ||
           !hiddenTabs_[static_cast<std::size_t>(tab)];
}

bool AttributeForm::usable(int id) const {
    const FormControl& c = control(id);
    return c.enabled && tabShown(c.tab);
}

int AttributeForm::add(FormControl c) {
    controls_.push_back(std::move(c));
    if (hiddenTabs_.size() < tabs_.size()) hiddenTabs_.resize(tabs_.size(), false);
    return static_cast<int>(controls_.size()) - 1;
}

int AttributeForm::radio(const std::string& caption, std::vector<std::string> choices, int tab) {
    return add({FormControl::Radio, caption, std::move(choices), -1, {}, tab, true});
}
int AttributeForm::box(const std::string& caption, int tab) {
    return add({FormControl::Box, caption, {}, -1, {}, tab, true});
}
int AttributeForm::check(const std::string& caption, int tab) {
    return add({FormControl::Check, caption, {}, 0, {}, tab, true});
}
int AttributeForm::button(const std::string& caption, int tab) {
    return add({FormControl::Button, caption, {}, -1, {}, tab, true});
}
int AttributeForm::memo(const std::string& caption, int tab) {
    return add({FormControl::Memo, caption, {}, -1, {}, tab, true});
}
int AttributeForm::label(const std::string& text, int tab) {
    return add({FormControl::Label, {}, {}, -1, text, tab, true});
}

void AttributeForm::choose(int id, int choice) {
    FormControl& c = at(id);
    if (c.kind != FormControl::Radio || choice < 0 || choice >= static_cast<int>(c.choices.size()))
        return;
    c.value = choice;
    changed(id, nullptr);
}

bool AttributeForm::setText(int id, const std::string& text, Host& host) {
    FormControl& c = at(id);
    if (c.kind == FormControl::Memo) {
        c.text = text;
        changed(id, &host);
        return true;
    }
    if (c.kind != FormControl::Box || !boxText(id, text, host)) return false;
    changed(id, &host);
    return true;
}

bool AttributeForm::boxText(int id, const std::string& text, Host&) {
    at(id).text = text;
    return true;
}

void AttributeForm::setCheck(int id, bool on) {
    FormControl& c = at(id);
    if (c.kind != FormControl::Check) return;
    c.value = on ? 1 : 0;
    changed(id, nullptr);
}

void AttributeForm::press(int id, Host& host) {
    if (control(id).kind != FormControl::Button) return;
    pressed(id, host);
    changed(id, &host);
}

std::string AttributeForm::explanation() const {
    return MessageText(msg::AttributeDialogExplanation);
}

void AttributeForm::openOn(int id, const std::vector<int>& choiceOfEach) {
    FormControl& c = at(id);
    const bool same =
        !choiceOfEach.empty() && std::all_of(choiceOfEach.begin(), choiceOfEach.end(),
                                             [&](int v) { return v == choiceOfEach.front(); });
    int v = same ? choiceOfEach.front() : -1;
    if (v >= static_cast<int>(c.choices.size()) ||
        (v >= 0 && IsNoChange(c.choices[static_cast<std::size_t>(v)])))
        v = -1;
    if (v < 0 && !same) {
        // Values that differ open on "No change", where the group has one.
        for (std::size_t k = 0; k < c.choices.size(); ++k)
            if (IsNoChange(c.choices[k])) v = static_cast<int>(k);
    }
    c.value = v;
}

std::optional<int> AttributeForm::chosen(int id) const {
    const FormControl& c = control(id);
    if (c.value < 0 || c.value >= static_cast<int>(c.choices.size())) return std::nullopt;
    if (IsNoChange(c.choices[static_cast<std::size_t>(c.value)])) return std::nullopt;
    return c.value;
}

void AttributeForm::dropNoChange() {
    for (FormControl& c : controls_) {
        if (c.kind != FormControl::Radio) continue;
        for (std::size_t k = 0; k < c.choices.size();) {
            if (!IsNoChange(c.choices[k])) {
                ++k;
                continue;
            }
            c.choices.erase(c.choices.begin() + static_cast<std::ptrdiff_t>(k));
            if (c.value == static_cast<int>(k))
                c.value = -1;
            else if (c.value > static_cast<int>(k))
                --c.value;
        }
    }
}

}  // namespace sw
