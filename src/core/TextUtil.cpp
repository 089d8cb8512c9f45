// String and path helpers.
#include "core/TextUtil.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sw {

namespace {

// What Windows-1252 puts at 0x80..0x9F; the five codes it leaves free keep
// their own values.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kSharpSign = 0x266F, kNaturalSign = 0x266E, kFlatSign = 0x266D;

}  // namespace

char32_t Cp1252ToUnicode(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ScoreTextToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        char32_t u = Cp1252ToUnicode(c);
        if (c == 27) u = kSharpSign;
        if (c == 28) u = kNaturalSign;
        if (c == 29) u = kFlatSign;
        // The C1 codes Windows-1252 leaves undefined are control characters too.
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) continue;
        AppendUtf8(out, u);
    }
    return out;
}

std::string Utf8ToScoreText(std::string_view text) {
    std::string out;
    for (char32_t c : DecodeUtf8(text)) {
        if (c == kSharpSign)
            out.push_back(27);
        else if (c == kNaturalSign)
            out.push_back(28);
        else if (c == kFlatSign)
            out.push_back(29);
        else if (c < 0x20)
            continue;
        else if (const auto b = Cp1252Byte(c))
            out.push_back(static_cast<char>(*b));
        else
            out.push_back('?');
    }
    return out;
}

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

std::optional<uint8_t> Cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c) return static_cast<uint8_t>(0x80 + i);
    return std::nullopt;
}

char32_t Cp1252Char(uint8_t byte) {
    return Cp1252ToUnicode(byte);
}

std::vector<char32_t> DecodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80             ? 0
                          : (b & 0xE0) == 0xC0 ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        char32_t c = extra == 0   ? b
                     : extra == 1 ? (b & 0x1F)
                     : extra == 2 ? (b & 0x0F)
                                  : (b & 0x07);
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and values past the last plane are no characters.
        static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && extra > 0) ok = c >= kLeast[extra] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string Utf8Of(char32_t c) {
    std::string out;
    AppendUtf8(out, c);
    return out;
}

}  // namespace sw
