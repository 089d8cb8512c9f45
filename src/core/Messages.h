// Looking up and formatting entries of the numbered message table.
#pragma once

#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace sw {

// The text of entry `number`; an unknown number gives "Message <number>" so a
// missing entry is visible rather than silent.
std::string MessageText(int number);
bool HasMessage(int number);
std::vector<int> MessageNumbers();

using FormatArg = std::variant<std::string, long long, double>;

namespace detail {
inline FormatArg ToArg(const std::string& s) {
    return s;
}
inline FormatArg ToArg(const char* s) {
    return std::string(s);
}
inline FormatArg ToArg(double v) {
    return v;
}
template <class T>
requires std::is_integral_v<T> FormatArg ToArg(T v) {
    return static_cast<long long>(v);
}
}  // namespace detail

// printf-style formatting (%s, %d, %x, %5.3f, %%): each conversion takes the next
// argument and writes it by the conversion letter, converting the argument when
// its type differs, so a table entry can never read past or misread the arguments.
std::string FormatArgs(const std::string& format, const std::vector<FormatArg>& args);

template <class... Args>
std::string FormatText(const std::string& format, const Args&... args) {
    return FormatArgs(format, {detail::ToArg(args)...});
}

template <class... Args>
std::string FormatMessage(int number, const Args&... args) {
    return FormatArgs(MessageText(number), {detail::ToArg(args)...});
}

}  // namespace sw
