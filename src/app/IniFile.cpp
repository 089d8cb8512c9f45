// The INI file.
#include "app/IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/TextUtil.h"

namespace sw {

namespace {
std::string Trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}
}  // namespace

IniFile IniFile::Parse(const std::string& text) {
    IniFile ini;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        std::string raw = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            ini.sections_.push_back({Trim(t.substr(1, t.size() - 2)), {}});
        } else if (!(end == std::string::npos && raw.empty())) {
            Line line;
            line.raw = raw;
            std::size_t eq = raw.find('=');
            if (eq != std::string::npos && !Trim(raw.substr(0, eq)).empty()) {
                line.key = Trim(raw.substr(0, eq));
                line.value = raw.substr(eq + 1);
                if (!line.value.empty() && line.value.back() == '\r') line.value.pop_back();
            }
            (ini.sections_.empty() ? ini.preamble_ : ini.sections_.back().lines).push_back(line);
        }
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return ini;
}

std::string IniFile::Text() const {
    std::string out;
    auto write = [&out](const Line& l) {
        out += l.key.empty() ? l.raw : l.key + "=" + l.value;
        out += "\n";
    };
    for (const Line& l : preamble_)
        write(l);
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        for (const Line& l : s.lines)
            write(l);
    }
    return out;
}

const IniFile::Line* IniFile::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : sections_)
        if (EqualsIgnoreCase(s.name, section))
            for (const Line& l : s.lines)
                if (!l.key.empty() && EqualsIgnoreCase(l.key, key)) return &l;
    return nullptr;
}

bool IniFile::Has(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

std::string IniFile::Get(const std::string& section, const std::string& key,
                         const std::string& fallback) const {
    const Line* l = Find(section, key);
    return l ? l->value : fallback;
}

long long IniFile::GetInt(const std::string& section, const std::string& key,
                          long long fallback) const {
    const Line* l = Find(section, key);
    if (!l) return fallback;
    const std::string v = Trim(l->value);
    if (v.empty()) return fallback;
    errno = 0;
    char* end = nullptr;
    long long n = std::strtoll(v.c_str(), &end, 10);
    if (end == v.c_str() || *end != '\0') return fallback;
    return n;  // strtoll saturates at LLONG_MIN/MAX
}

bool IniFile::GetFlag(const std::string& section, const std::string& key, bool fallback) const {
    return GetInt(section, key, fallback ? 1 : 0) != 0;
}

IniFile::Section& IniFile::SectionFor(const std::string& section) {
    for (Section& s : sections_)
        if (EqualsIgnoreCase(s.name, section)) return s;
    sections_.push_back({section, {}});
    return sections_.back();
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    // Values are one line: a line break would start a new key.
    std::string v = value;
    for (char& c : v)
        if (c == '\n' || c == '\r') c = ' ';
    Section& s = SectionFor(section);
    for (Line& l : s.lines)
        if (!l.key.empty() && EqualsIgnoreCase(l.key, key)) {
            l.value = v;
            return;
        }
    s.lines.push_back({key, v, {}});
}

void IniFile::SetInt(const std::string& section, const std::string& key, long long value) {
    Set(section, key, std::to_string(value));
}

void IniFile::SetFlag(const std::string& section, const std::string& key, bool value) {
    Set(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
    // A hand-edited file may repeat a section: every copy goes.
    std::erase_if(sections_, [&](const Section& s) { return EqualsIgnoreCase(s.name, section); });
}

}  // namespace sw
