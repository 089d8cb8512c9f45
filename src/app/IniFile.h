// An INI file kept as written: sections and keys in their order, names
// matched without regard to case, values verbatim. Keys nobody asked for
// survive a write.
#pragma once

#include <string>
#include <vector>

namespace sw {

class IniFile {
  public:
    // Parses INI text; lines that are neither a section nor key=value are kept
    // as they are (comments, blanks) and written back.
    static IniFile Parse(const std::string& text);
    std::string Text() const;

    bool Has(const std::string& section, const std::string& key) const;
    // The value, or `fallback` when the key is missing.
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = {}) const;
    // A decimal integer (leading spaces and a sign allowed); `fallback` when
    // missing or not a number. Out-of-range numbers saturate.
    long long GetInt(const std::string& section, const std::string& key, long long fallback) const;
    bool GetFlag(const std::string& section, const std::string& key, bool fallback) const;

    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, long long value);
    void SetFlag(const std::string& section, const std::string& key, bool value);
    void EraseSection(const std::string& section);

  private:
    struct Line {
        std::string key;  // empty for a line that is not key=value
        std::string value;
        std::string raw;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;
    };
    const Line* Find(const std::string& section, const std::string& key) const;
    Section& SectionFor(const std::string& section);

    std::vector<Line> preamble_;  // lines before the first section
    std::vector<Section> sections_;
};

}  // namespace sw
