// The message table, parsed once from the bytes compiled into the program.
#include "core/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <map>

extern const unsigned char kMessageTableText[];
extern const std::size_t kMessageTableTextSize;

namespace sw {

namespace {

std::string Unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            if (c == 'n')
                out += '\n';
            else if (c == 'r')
                out += '\r';
            else if (c == 't')
                out += '\t';
            else
                out += c;
        } else {
            out += s[i];
        }
    }
    return out;
}

const std::map<int, std::string>& Table() {
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> t;
        std::string_view all(reinterpret_cast<const char*>(kMessageTableText),
                             kMessageTableTextSize);
        while (!all.empty()) {
            std::size_t end = all.find('\n');
            std::string_view line = all.substr(0, end);
            all = end == std::string_view::npos ? std::string_view() : all.substr(end + 1);
            if (line.empty() || line[0] == '#') continue;
            std::size_t tab = line.find('\t');
            if (tab == std::string_view::npos) continue;
            int number = std::atoi(std::string(line.substr(0, tab)).c_str());
            t[number] = Unescape(line.substr(tab + 1));
        }
        return t;
    }();
    return table;
}

std::string Convert(const std::string& spec, char conv, const FormatArg& arg) {
    char buf[512];
    std::string f = "%" + spec;
    switch (conv) {
        case 'd':
        case 'x':
        case 'X': {
            long long v = 0;
            if (auto* i = std::get_if<long long>(&arg))
                v = *i;
            else if (auto* d = std::get_if<double>(&arg))
                v = static_cast<long long>(*d);
            else
                v = std::atoll(std::get<std::string>(arg).c_str());
            f += "ll";
            f += conv;
            std::snprintf(buf, sizeof buf, f.c_str(), v);
            return buf;
        }
        case 'f':
        case 'g': {
            double v = 0;
            if (auto* d = std::get_if<double>(&arg))
                v = *d;
            else if (auto* i = std::get_if<long long>(&arg))
                v = static_cast<double>(*i);
            else
                v = std::atof(std::get<std::string>(arg).c_str());
            f += conv;
            std::snprintf(buf, sizeof buf, f.c_str(), v);
            return buf;
        }
        default: {
            std::string v;
            if (auto* s = std::get_if<std::string>(&arg))
                v = *s;
            else if (auto* i = std::get_if<long long>(&arg))
                v = std::to_string(*i);
            else {
                std::snprintf(buf, sizeof buf, "%g", std::get<double>(arg));
                v = buf;
            }
            return v;
        }
    }
}

}  // namespace

std::string MessageText(int number) {
    const auto& t = Table();
    auto it = t.find(number);
    return it != t.end() ? it->second : "Message " + std::to_string(number);
}

bool HasMessage(int number) {
    return Table().count(number) != 0;
}

std::vector<int> MessageNumbers() {
    std::vector<int> out;
    for (const auto& [n, text] : Table())
        out.push_back(n);
    return out;
}

std::string FormatArgs(const std::string& format, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() &&
               std::string_view("-+ #0123456789.").find(format[j]) != std::string_view::npos)
            ++j;
        if (j >= format.size()) {
            out += format.substr(i);
            break;
        }
        char conv = format[j];
        if (conv == '%') {
            out += '%';
        } else if (std::string_view("sdxXfg").find(conv) != std::string_view::npos) {
            std::string spec = format.substr(i + 1, j - i - 1);
            if (spec.size() > 12) spec.clear();  // keep widths sane
            out += next < args.size() ? Convert(spec, conv, args[next]) : std::string();
            ++next;
        } else {
            out += format.substr(i, j - i + 1);
        }
        i = j;
    }
    return out;
}

}  // namespace sw
