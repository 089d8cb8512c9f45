// Reading the recognition engine's result file into the parse tables.
#include "scan/RecognitionResult.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sw {

namespace {

constexpr std::size_t kMaxLine = 255;

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> SplitLine(const std::string& line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= n) break;
        std::string token;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        token += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                token += line[i++];
            }
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t')
                token += line[i++];
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace

bool ResultTokenizer::fill() {
    while (pos_ >= line_.size()) {
        if (ended_) return false;
        std::string raw;
        if (!std::getline(in_, raw)) {
            ended_ = true;
            return false;
        }
        if (raw.size() > kMaxLine) raw.resize(kMaxLine);
        std::size_t b = 0, e = raw.size();
        while (b < e && IsBlank(raw[b]))
            ++b;
        while (e > b && IsBlank(raw[e - 1]))
            --e;
        line_ = SplitLine(raw.substr(b, e - b));
        pos_ = 0;
    }
    return true;
}

const std::string& ResultTokenizer::peek() {
    if (!hasPeeked_) {
        peeked_ = fill() ? line_[pos_++] : std::string(kEndToken);
        hasPeeked_ = true;
    }
    return peeked_;
}

std::string ResultTokenizer::next() {
    peek();
    hasPeeked_ = false;
    return std::move(peeked_);
}

int32_t ParseResultNumber(const std::string& token) {
    const char* b = token.data();
    const char* e = b + token.size();
    if (b != e && *b == '+') ++b;
    int32_t v = 0;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc() || p != e || b == e) return kBadNumber;
    return v;
}

bool ParseResultFlag(const std::string& token) {
    return !token.empty() && (token[0] == 'T' || token[0] == 't');
}

ResultPoint ParseResultPoint(const std::string& token, char separator) {
    const std::size_t cut = token.find(separator);
    if (cut == std::string::npos) return {kBadNumber, kBadNumber};
    const int32_t a = ParseResultNumber(token.substr(0, cut));
    const int32_t b = ParseResultNumber(token.substr(cut + 1));
    if (a == kBadNumber || b == kBadNumber) return {kBadNumber, kBadNumber};
    return {a, b};
}

namespace {

int WordCode(const std::string& word, std::initializer_list<const char*> table) {
    const std::string w = Lower(word);
    int code = 0;
    for (const char* entry : table) {
        if (w == entry) return code;
        ++code;
    }
    return -1;
}

}  // namespace

int NoteShapeCode(const std::string& word) {
    return WordCode(word, {"breve", "sbreve", "minim", "solid", "grace", "minimgrace", "breverest",
                           "sbreverest", "minimrest", "crotchetrest", "quaverrest", "squaverrest",
                           "dsquaverrest", "hdsquaverrest"});
}
int AccidCode(const std::string& word) {
    return WordCode(word, {"none", "sharp", "flat", "natural", "doublesharp", "doubleflat",
                           "naturalsharp", "naturalflat"});
}
int ClefShapeCode(const std::string& word) {
    return WordCode(word, {"treble", "bass", "alto", "trebleup8", "trebledown8"});
}
int DynamicTypeCode(const std::string& word) {
    return WordCode(word, {"hairpincresc", "hairpindim", "dyn_ppp", "dyn_pp", "dyn_p", "dyn_mp",
                           "dyn_mf", "dyn_f", "dyn_ff", "dyn_fff"});
}
int BarlineTypeCode(const std::string& word) {
    if (word.empty()) return -1;
    static const char kLetters[] = "sdlrbt";
    const char* at = std::char_traits<char>::find(
        kLetters, 6, static_cast<char>(std::tolower(static_cast<unsigned char>(word[0]))));
    return at ? static_cast<int>(at - kLetters) : -1;
}

RecognitionCounts RecognitionTables::counts(bool includeWords) const {
    RecognitionCounts c;
    c.systems = static_cast<int>(systems.size());
    c.staves = static_cast<int>(staves.size());
    c.bars = static_cast<int>(bars.size());
    c.notes = static_cast<int>(notes.size());
    c.curves = static_cast<int>(slurs.size());
    c.clefs = static_cast<int>(clefs.size());
    c.keysigs = static_cast<int>(keysigs.size());
    c.timesigs = static_cast<int>(
        std::count_if(bars.begin(), bars.end(), [](const ResultBar& b) { return b.hasTimesig; }));
    c.words = includeWords ? static_cast<int>(lyricElements.size() + texts.size()) : 0;
    return c;
}

namespace {

// Recursive descent over the tokens. Every loop ends at "}" or at the end of
// the text, so a cut-short or malformed file is read as far as it goes.
class Reader {
  public:
    Reader(std::istream& in, RecognitionTables& t,
           const std::function<void(const RecognitionCounts&)>& progress)
        : tok_(in), t_(t), progress_(progress) {}

    void run() {
        while (!end(tok_.peek()) && Lower(tok_.peek()) != "fileheader")
            tok_.next();
        if (end(tok_.next())) return;
        if (tok_.peek() == "{") tok_.next();
        if (Lower(tok_.peek()) == "version") {
            tok_.next();
            t_.version = number();
        }
        while (!end(tok_.peek()) && Lower(tok_.peek()) != "score")
            tok_.next();
        if (end(tok_.next())) return;
        group([&](const std::string& key) {
            if (key == "title$" || key == "unitsperstavespacing")
                tok_.next();
            else if (key == "pages")
                list([&] { page(); });
            else
                return false;
            return true;
        });
    }

  private:
    static bool end(const std::string& token) { return token == kEndToken; }

    int32_t number() { return ParseResultNumber(tok_.next()); }

    void skipGroup() {
        int depth = 1;
        while (depth > 0) {
            const std::string t = tok_.next();
            if (end(t)) return;
            if (t == "{") ++depth;
            if (t == "}") --depth;
        }
    }

    // Keys up to "}": `onKey` reads the value of a key it knows and returns
    // true; any other token is skipped, and a brace after it skips the group.
    template <class F>
    void keys(F&& onKey) {
        for (;;) {
            const std::string token = tok_.next();
            if (end(token) || token == "}") return;
            if (token == "{") {
                skipGroup();
                continue;
            }
            if (!onKey(Lower(token)) && tok_.peek() == "{") {
                tok_.next();
                skipGroup();
            }
        }
    }

    // An element or group: its name (when there is one) and "{" are expected
    // but not checked, then its keys.
    template <class F>
    void element(F&& onKey) {
        if (tok_.peek() != "{" && tok_.peek() != "}" && !end(tok_.peek())) tok_.next();
        if (tok_.peek() == "{") tok_.next();
        keys(onKey);
    }
    template <class F>
    void group(F&& onKey) {
        if (tok_.peek() == "{") tok_.next();
        keys(onKey);
    }
    // "{", "nof", the count, the elements, "}". The count limits the elements
    // read but never makes the reader wait beyond the end of the text.
    template <class F>
    void list(F&& readElement) {
        if (tok_.peek() == "{") tok_.next();
        if (Lower(tok_.peek()) == "nof") tok_.next();
        int64_t n = -1;
        if (ParseResultNumber(tok_.peek()) != kBadNumber) n = ParseResultNumber(tok_.next());
        for (int64_t read = 0;; ++read) {
            const std::string& p = tok_.peek();
            if (end(p)) return;
            if (p == "}") {
                tok_.next();
                return;
            }
            if (n >= 0 && read >= n) return;
            readElement();
        }
    }

    // Readers of one key's value into a field: true when `key` is `name`.
    bool num(const std::string& key, const char* name, int32_t& field) {
        if (key != name) return false;
        field = number();
        return true;
    }
    bool flag(const std::string& key, const char* name, bool& field) {
        if (key != name) return false;
        field = ParseResultFlag(tok_.next());
        return true;
    }
    bool point(const std::string& key, const char* name, ResultPoint& field) {
        if (key != name) return false;
        field = ParseResultPoint(tok_.next(), ',');
        return true;
    }
    bool word(const std::string& key, const char* name, int& field,
              int (*code)(const std::string&)) {
        if (key != name) return false;
        field = code(tok_.next());
        return true;
    }
    bool text(const std::string& key, const char* name, std::string& field, std::size_t keep) {
        if (key != name) return false;
        field = tok_.next().substr(0, keep);
        return true;
    }
    // A key whose value is read and not used.
    bool skip(const std::string& key, const char* name) {
        if (key != name) return false;
        tok_.next();
        return true;
    }
    template <class F>
    bool sub(const std::string& key, const char* name, F&& read) {
        if (key != name) return false;
        read();
        return true;
    }

    // One element of `table`, stored when its parent was kept and the table
    // has room: `keys(row, index, key)` reads a key into the row, the index
    // (0 when the row is not kept) being its children's parent.
    template <class Row, class Keys>
    void row(std::vector<Row>& table, std::size_t capacity, int parent, Row r, Keys&& keys) {
        int index = 0;
        if (parent > 0 && table.size() < capacity) {
            table.emplace_back();
            index = static_cast<int>(table.size());
        }
        element([&](const std::string& key) { return keys(r, index, key); });
        if (!index) return;
        table[static_cast<std::size_t>(index - 1)] = r;
        if (progress_) progress_(t_.counts(true));
    }

    void page() {
        const int index = t_.hasPage ? 0 : 1;
        t_.hasPage = true;
        ResultPage p;
        element([&](const std::string& k) {
            return num(k, "width", p.width) || num(k, "height", p.height) ||
                   num(k, "origwidth", p.origWidth) || num(k, "origheight", p.origHeight) ||
                   num(k, "spacing", p.spacing) || skip(k, "imagefpath$") ||
                   sub(k, "systems", [&] { list([&] { system(index); }); });
        });
        if (index) t_.page = p;
    }

    void system(int parent) {
        ResultSystem s;
        s.page = parent;
        row(t_.systems, ResultCapacity::systems, parent, s,
            [&](ResultSystem& r, int index, const std::string& k) {
                return num(k, "top", r.top) || num(k, "left", r.left) || num(k, "width", r.width) ||
                       num(k, "height", r.height) ||
                       sub(k, "staves", [&] { list([&] { stave(index); }); }) ||
                       sub(k, "slurs", [&] { list([&] { slur(index); }); });
            });
    }

    void stave(int parent) {
        ResultStave s;
        s.system = parent;
        row(t_.staves, ResultCapacity::staves, parent, s,
            [&](ResultStave& r, int index, const std::string& k) {
                return num(k, "top", r.top) || num(k, "left", r.left) || num(k, "width", r.width) ||
                       num(k, "size", r.size) ||
                       sub(k, "bars", [&] { list([&] { bar(index); }); }) ||
                       sub(k, "lyriclines", [&] { list([&] { lyricLine(index); }); }) ||
                       sub(k, "texts", [&] { list([&] { textItem(index); }); }) ||
                       sub(k, "dynamics", [&] { list([&] { dynamic(index); }); });
            });
    }

    void bar(int parent) {
        ResultBar b;
        b.stave = parent;
        row(t_.bars, ResultCapacity::bars, parent, b,
            [&](ResultBar& r, int index, const std::string& k) {
                return skip(k, "bartime") || sub(k, "clefs", [&] { list([&] { clef(index); }); }) ||
                       sub(k, "keysigs", [&] { list([&] { keysig(index); }); }) ||
                       sub(k, "chords", [&] { list([&] { chord(index); }); }) ||
                       sub(k, "timesig",
                           [&] {
                               r.hasTimesig = true;
                               ResultTimesig& t = r.timesig;
                               group([&](const std::string& g) {
                                   return flag(g, "showasalpha", t.showAsAlpha) ||
                                          num(g, "top", t.top) || num(g, "bottom", t.bottom) ||
                                          point(g, "centre", t.centre) || skip(g, "timeslice");
                               });
                           }) ||
                       sub(k, "barline", [&] {
                           r.hasBarline = true;
                           ResultBarline& l = r.barline;
                           group([&](const std::string& g) {
                               return word(g, "type", l.type, BarlineTypeCode) ||
                                      num(g, "leftlinex", l.leftLineX) ||
                                      num(g, "rightlinex", l.rightLineX) ||
                                      flag(g, "invented", l.invented) ||
                                      flag(g, "trueend", l.trueEnd);
                           });
                       });
            });
    }

    void clef(int parent) {
        ResultClef c;
        c.bar = parent;
        row(t_.clefs, ResultCapacity::clefs, parent, c,
            [&](ResultClef& r, int, const std::string& k) {
                return word(k, "shape", r.shape, ClefShapeCode) || point(k, "centre", r.centre) ||
                       num(k, "pitchposn", r.pitchPosn);
            });
    }

    void keysig(int parent) {
        ResultKeysig s;
        s.bar = parent;
        row(t_.keysigs, ResultCapacity::keysigs, parent, s,
            [&](ResultKeysig& r, int, const std::string& k) {
                return num(k, "key", r.key) || point(k, "centre", r.centre);
            });
    }

    void chord(int parent) {
        ResultChord c;
        c.bar = parent;
        row(t_.chords, ResultCapacity::chords, parent, c,
            [&](ResultChord& r, int index, const std::string& k) {
                const bool known =
                    flag(k, "virtualstem", r.virtualStem) || flag(k, "stemup", r.stemUp) ||
                    flag(k, "staccato", r.staccato) || flag(k, "tenuto", r.tenuto) ||
                    flag(k, "pause", r.pause) || flag(k, "accent", r.accent) ||
                    flag(k, "stemslash", r.stemSlash) || num(k, "naugdots", r.augDots) ||
                    num(k, "nflags", r.flags) || num(k, "headend", r.headEnd) ||
                    point(k, "flagposn", r.flagPosn) || skip(k, "tuplettransform") ||
                    sub(k, "notes", [&] { list([&] { note(index); }); }) || sub(k, "beam", [&] {
                        group([&](const std::string& g) {
                            return num(g, "id", r.beamId) || num(g, "nofleft", r.beamLeft) ||
                                   num(g, "nofnodes", r.beamNodes) ||
                                   num(g, "nofright", r.beamRight);
                        });
                    });
                // A chord is beamed when its group has more than one node.
                r.beamed = r.beamNodes > 1 && r.beamNodes != kBadNumber;
                return known;
            });
    }

    void note(int parent) {
        ResultNote n;
        n.chord = parent;
        row(t_.notes, ResultCapacity::notes, parent, n,
            [&](ResultNote& r, int, const std::string& k) {
                return word(k, "shape", r.shape, NoteShapeCode) ||
                       num(k, "staveoffset", r.staveOffset) || num(k, "accid_dc", r.accidDc) ||
                       num(k, "p", r.p) || word(k, "accid", r.accid, AccidCode) ||
                       flag(k, "normalside", r.normalSide);
            });
    }

    void lyricLine(int parent) {
        ResultLyricLine l;
        l.stave = parent;
        row(t_.lyricLines, ResultCapacity::lyricLines, parent, l,
            [&](ResultLyricLine& r, int index, const std::string& k) {
                return num(k, "abot", r.abot) || num(k, "height", r.height) ||
                       sub(k, "elements", [&] { list([&] { lyricElement(index); }); });
            });
    }

    void lyricElement(int parent) {
        ResultLyricElement e;
        e.line = parent;
        row(t_.lyricElements, ResultCapacity::lyricElements, parent, e,
            [&](ResultLyricElement& r, int, const std::string& k) {
                return flag(k, "extender", r.extender) || num(k, "c0", r.c0) ||
                       num(k, "c1", r.c1) || num(k, "midc", r.midc) || num(k, "bar", r.bar) ||
                       num(k, "symbol", r.symbol) || text(k, "text$", r.text, 20);
            });
    }

    void textItem(int parent) {
        ResultText x;
        x.stave = parent;
        row(t_.texts, ResultCapacity::texts, parent, x,
            [&](ResultText& r, int, const std::string& k) {
                return num(k, "abot", r.abot) || num(k, "c0", r.c0) || num(k, "height", r.height) ||
                       num(k, "style", r.style) || text(k, "text$", r.text, 50);
            });
    }

    void dynamic(int parent) {
        ResultDynamic d;
        d.stave = parent;
        row(t_.dynamics, ResultCapacity::dynamics, parent, d,
            [&](ResultDynamic& r, int, const std::string& k) {
                return word(k, "type", r.type, DynamicTypeCode) || num(k, "c", r.c) ||
                       num(k, "c0", r.c0) || num(k, "c1", r.c1) || num(k, "r", r.r);
            });
    }

    void slur(int parent) {
        ResultSlur s;
        s.system = parent;
        row(t_.slurs, ResultCapacity::slurs, parent, s,
            [&](ResultSlur& r, int, const std::string& k) {
                return point(k, "leftpt", r.left) || point(k, "rightpt", r.right) ||
                       num(k, "radius", r.radius);
            });
    }

    ResultTokenizer tok_;
    RecognitionTables& t_;
    const std::function<void(const RecognitionCounts&)>& progress_;
};

}  // namespace

void ReadRecognitionResult(std::istream& in, RecognitionTables& tables,
                           const std::function<void(const RecognitionCounts&)>& progress) {
    tables.clear();
    if (progress) progress(tables.counts(true));
    Reader(in, tables, progress).run();
}

}  // namespace sw
