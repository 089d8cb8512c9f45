// The XML writer.
#include "core/XmlWriter.h"

#include <charconv>
#include <cmath>

namespace sw {

std::string XmlNumber(long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string XmlDecimal(double v, int places) {
    if (!std::isfinite(v)) return "0";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, places);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
                out += ch;
        }
    }
}

XmlWriter::XmlWriter(std::string_view doctype) {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (!doctype.empty()) {
        out_ += doctype;
        out_ += '\n';
    }
}

void XmlWriter::indent() {
    out_.append(open_.size() * 2, ' ');
}

template <class Attrs>
void XmlWriter::attributes(const Attrs& attrs) {
    for (const XmlAttr& a : attrs) {
        out_ += ' ';
        out_ += a.name;
        out_ += "=\"";
        AppendXmlEscaped(out_, a.value);
        out_ += '"';
    }
}

template <class Attrs>
void XmlWriter::tag(std::string_view name, const Attrs& attrs, bool close) {
    indent();
    out_ += '<';
    out_ += name;
    attributes(attrs);
    out_ += close ? "/>\n" : ">\n";
}

template <class Attrs>
void XmlWriter::leafWith(std::string_view name, std::string_view text, const Attrs& attrs) {
    indent();
    out_ += '<';
    out_ += name;
    attributes(attrs);
    out_ += '>';
    AppendXmlEscaped(out_, text);
    out_ += "</";
    out_ += name;
    out_ += ">\n";
}

void XmlWriter::start(std::string_view name, std::initializer_list<XmlAttr> attrs) {
    tag(name, attrs, false);
    open_.emplace_back(name);
}

void XmlWriter::start(std::string_view name, const std::vector<XmlAttr>& attrs) {
    tag(name, attrs, false);
    open_.emplace_back(name);
}

void XmlWriter::end() {
    if (open_.empty()) return;
    const std::string name = std::move(open_.back());
    open_.pop_back();
    indent();
    out_ += "</";
    out_ += name;
    out_ += ">\n";
}

void XmlWriter::leaf(std::string_view name, std::string_view text,
                     std::initializer_list<XmlAttr> attrs) {
    leafWith(name, text, attrs);
}

void XmlWriter::leaf(std::string_view name, std::string_view text,
                     const std::vector<XmlAttr>& attrs) {
    leafWith(name, text, attrs);
}

void XmlWriter::empty(std::string_view name, std::initializer_list<XmlAttr> attrs) {
    tag(name, attrs, true);
}

void XmlWriter::empty(std::string_view name, const std::vector<XmlAttr>& attrs) {
    tag(name, attrs, true);
}

}  // namespace sw
