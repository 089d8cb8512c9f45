// A small writer of indented XML text: elements, attributes and text, every
// value escaped, numbers written the same whatever the locale.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

struct XmlAttr {
    std::string_view name;
    std::string value;
};

// A whole number, and a decimal with at most `places` digits after the point
// (trailing zeros dropped), as XML wants them.
std::string XmlNumber(long long v);
std::string XmlDecimal(double v, int places = 4);

class XmlWriter {
  public:
    // Starts the document with its declaration; `doctype` (when given) follows it.
    explicit XmlWriter(std::string_view doctype = {});

    void start(std::string_view name, std::initializer_list<XmlAttr> attrs = {});
    void start(std::string_view name, const std::vector<XmlAttr>& attrs);
    void end();
    // <name attrs>text</name>
    void leaf(std::string_view name, std::string_view text,
              std::initializer_list<XmlAttr> attrs = {});
    void leaf(std::string_view name, std::string_view text, const std::vector<XmlAttr>& attrs);
    void leaf(std::string_view name, long long value) { leaf(name, XmlNumber(value)); }
    // <name attrs/>
    void empty(std::string_view name, std::initializer_list<XmlAttr> attrs = {});
    void empty(std::string_view name, const std::vector<XmlAttr>& attrs);

    // The document so far; every element must be closed before it is whole.
    const std::string& text() const { return out_; }
    std::string take() { return std::move(out_); }
    // Room for `bytes` of text, so that a large document is not copied as it grows.
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    int depth() const { return static_cast<int>(open_.size()); }

  private:
    template <class Attrs>
    void tag(std::string_view name, const Attrs& attrs, bool close);
    template <class Attrs>
    void attributes(const Attrs& attrs);
    template <class Attrs>
    void leafWith(std::string_view name, std::string_view text, const Attrs& attrs);
    void indent();

    std::string out_;
    std::vector<std::string> open_;
};

// `text` with &, <, >, " escaped and the characters XML forbids dropped; the
// text must be UTF-8.
void AppendXmlEscaped(std::string& out, std::string_view text);

}  // namespace sw
