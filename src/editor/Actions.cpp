// Finding the document window's actions by name and by key.
#include "editor/Actions.h"

#include <cctype>
#include <vector>

namespace sw {

namespace {

constexpr bool TableInOrder() {
    for (int i = 0; i < kActionCount; ++i)
        if (static_cast<int>(kActions[static_cast<std::size_t>(i)].id) != i) return false;
    return true;
}
static_assert(TableInOrder(), "kActions lists the actions in the order of the enum");

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return std::string(s.substr(a, b - a));
}

// The one spelling of a key's name; empty for a name that is no key.
std::string KeyName(const std::string& part) {
    if (part.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(part[0]);
        return std::isgraph(c) ? std::string(1, static_cast<char>(std::toupper(c))) : std::string();
    }
    static const std::pair<const char*, const char*> kNames[] = {
        {"esc", "Esc"},
        {"escape", "Esc"},
        {"enter", "Enter"},
        {"return", "Enter"},
        {"tab", "Tab"},
        {"backtab", "Backtab"},
        {"backspace", "Backspace"},
        {"del", "Del"},
        {"delete", "Del"},
        {"ins", "Ins"},
        {"insert", "Ins"},
        {"space", "Space"},
        {"left", "Left"},
        {"right", "Right"},
        {"up", "Up"},
        {"down", "Down"},
        {"home", "Home"},
        {"end", "End"},
        {"pgup", "PgUp"},
        {"pageup", "PgUp"},
        {"pgdown", "PgDown"},
        {"pgdn", "PgDown"},
        {"pagedown", "PgDown"},
    };
    const std::string l = Lower(part);
    for (const auto& [from, to] : kNames)
        if (l == from) return to;
    if (l.size() >= 2 && l.size() <= 3 && l[0] == 'f') {
        int n = 0;
        for (std::size_t i = 1; i < l.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(l[i]))) return {};
            n = n * 10 + (l[i] - '0');
        }
        if (n >= 1 && n <= 24) return std::string(1, 'F').append(std::to_string(n));
    }
    return {};
}

}  // namespace

KeyParts SplitKey(std::string_view key) {
    KeyParts k;
    for (;;) {
        if (key.size() > 5 && key.starts_with("Ctrl+")) {
            k.held.ctrl = true;
            key.remove_prefix(5);
        } else if (key.size() > 4 && key.starts_with("Alt+")) {
            k.held.alt = true;
            key.remove_prefix(4);
        } else if (key.size() > 6 && key.starts_with("Shift+")) {
            k.held.shift = true;
            key.remove_prefix(6);
        } else {
            k.name = std::string(key);
            return k;
        }
    }
}

std::optional<Action> ActionByName(std::string_view name) {
    const std::string want = Lower(Trim(name));
    for (const ActionInfo& a : kActions)
        if (Lower(a.name) == want) return a.id;
    return std::nullopt;
}

std::string NormalizeKey(std::string_view key) {
    const std::string k = Trim(key);
    if (k.empty()) return {};
    // "Ctrl++" names the plus key: the last part is whatever follows the last separator.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < k.size()) {
        std::size_t plus = k.find('+', start);
        if (plus == start && start + 1 == k.size()) plus = std::string::npos;
        if (plus == std::string::npos) {
            parts.push_back(Trim(k.substr(start)));
            break;
        }
        parts.push_back(Trim(k.substr(start, plus - start)));
        start = plus + 1;
        if (start == k.size()) return {};  // "Ctrl+" names no key
    }
    bool ctrl = false, alt = false, shift = false;
    std::string name;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string l = Lower(parts[i]);
        if (i + 1 < parts.size()) {
            if (l == "ctrl" || l == "control")
                ctrl = true;
            else if (l == "alt")
                alt = true;
            else if (l == "shift")
                shift = true;
            else
                return {};
            continue;
        }
        name = KeyName(parts[i]);
    }
    if (name.empty()) return {};
    return std::string(ctrl ? "Ctrl+" : "") + (alt ? "Alt+" : "") + (shift ? "Shift+" : "") + name;
}

std::optional<Action> ActionByKey(std::string_view key) {
    const std::string want = NormalizeKey(key);
    if (want.empty()) return std::nullopt;
    for (const ActionInfo& a : kActions) {
        std::string_view keys = a.keys;
        while (!keys.empty()) {
            const std::size_t comma = keys.find(',');
            if (NormalizeKey(keys.substr(0, comma)) == want) return a.id;
            if (comma == std::string_view::npos) break;
            keys.remove_prefix(comma + 1);
        }
    }
    return std::nullopt;
}

}  // namespace sw
