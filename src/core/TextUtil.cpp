// String and path helpers.
#include "core/TextUtil.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sw {

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToUpperAscii(a) == ToUpperAscii(b);
}

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileExtension(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    return DirectoryOf(path) + stem + ext;
}

bool HasExtension(const std::string& path, std::string_view ext) {
    return EqualsIgnoreCase(FileExtension(path), ext);
}

std::optional<double> ParseReal(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double v = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> ParseRealOrFraction(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return ParseReal(text);
    const std::optional<double> a = ParseReal(text.substr(0, slash));
    const std::optional<double> b = ParseReal(text.substr(slash + 1));
    if (!a || !b) return std::nullopt;
    return *b != 0 ? *a / *b : HUGE_VAL;
}

std::string LengthInUnit(double inches, bool metric) {
    char buf[48];
    std::snprintf(buf, sizeof buf, metric ? "%.1f" : "%.3f", metric ? inches * 25.4 : inches);
    return buf;
}

}  // namespace sw
