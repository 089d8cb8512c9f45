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
    bool flag() { return ParseResultFlag(tok_.next()); }
    ResultPoint comma() { return ParseResultPoint(tok_.next(), ','); }
    ResultPoint slash() { return ParseResultPoint(tok_.next(), '/'); }

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

    // The index (1-based) a new element of `table` gets, or 0 when its parent
    // was dropped or the table is full.
    template <class T>
    int reserve(std::vector<T>& table, int parent, std::size_t capacity) {
        if (parent <= 0 || table.size() >= capacity) return 0;
        table.emplace_back();
        return static_cast<int>(table.size());
    }
    void grew() {
        if (progress_) progress_(t_.counts(true));
    }

    void page() {
        const int index = t_.hasPage ? 0 : 1;
        if (index) t_.hasPage = true;
        ResultPage p;
        element([&](const std::string& key) {
            if (key == "width")
                p.width = number();
            else if (key == "height")
                p.height = number();
            else if (key == "origwidth")
                p.origWidth = number();
            else if (key == "origheight")
                p.origHeight = number();
            else if (key == "spacing")
                p.spacing = number();
            else if (key == "imagefpath$")
                tok_.next();
            else if (key == "systems")
                list([&] { system(index); });
            else
                return false;
            return true;
        });
        if (index) t_.page = p;
    }

    void system(int parent) {
        const int index = reserve(t_.systems, parent, ResultCapacity::systems);
        ResultSystem s;
        s.page = parent;
        if (index) grew();
        element([&](const std::string& key) {
            if (key == "top")
                s.top = number();
            else if (key == "left")
                s.left = number();
            else if (key == "width")
                s.width = number();
            else if (key == "height")
                s.height = number();
            else if (key == "staves")
                list([&] { stave(index); });
            else if (key == "slurs")
                list([&] { slur(index); });
            else
                return false;
            return true;
        });
        if (index) t_.systems[static_cast<std::size_t>(index - 1)] = s;
    }

    void stave(int parent) {
        const int index = reserve(t_.staves, parent, ResultCapacity::staves);
        ResultStave s;
        s.system = parent;
        if (index) grew();
        element([&](const std::string& key) {
            if (key == "top")
                s.top = number();
            else if (key == "left")
                s.left = number();
            else if (key == "width")
                s.width = number();
            else if (key == "size")
                s.size = number();
            else if (key == "bars")
                list([&] { bar(index); });
            else if (key == "lyriclines")
                list([&] { lyricLine(index); });
            else if (key == "texts")
                list([&] { text(index); });
            else if (key == "dynamics")
                list([&] { dynamic(index); });
            else
                return false;
            return true;
        });
        if (index) t_.staves[static_cast<std::size_t>(index - 1)] = s;
    }

    void bar(int parent) {
        const int index = reserve(t_.bars, parent, ResultCapacity::bars);
        ResultBar b;
        b.stave = parent;
        if (index) grew();
        element([&](const std::string& key) {
            if (key == "bartime")
                slash();
            else if (key == "clefs")
                list([&] { clef(index); });
            else if (key == "keysigs")
                list([&] { keysig(index); });
            else if (key == "timesig") {
                b.hasTimesig = true;
                group([&](const std::string& k) {
                    if (k == "showasalpha")
                        b.timesig.showAsAlpha = flag();
                    else if (k == "top")
                        b.timesig.top = number();
                    else if (k == "bottom")
                        b.timesig.bottom = number();
                    else if (k == "centre")
                        b.timesig.centre = comma();
                    else if (k == "timeslice")
                        slash();
                    else
                        return false;
                    return true;
                });
            } else if (key == "chords")
                list([&] { chord(index); });
            else if (key == "barline") {
                b.hasBarline = true;
                group([&](const std::string& k) {
                    if (k == "type")
                        b.barline.type = BarlineTypeCode(tok_.next());
                    else if (k == "leftlinex")
                        b.barline.leftLineX = number();
                    else if (k == "rightlinex")
                        b.barline.rightLineX = number();
                    else if (k == "invented")
                        b.barline.invented = flag();
                    else if (k == "trueend")
                        b.barline.trueEnd = flag();
                    else
                        return false;
                    return true;
                });
            } else
                return false;
            return true;
        });
        if (index) {
            t_.bars[static_cast<std::size_t>(index - 1)] = b;
            if (b.hasTimesig) grew();
        }
    }

    void clef(int parent) {
        const int index = reserve(t_.clefs, parent, ResultCapacity::clefs);
        ResultClef c;
        c.bar = parent;
        element([&](const std::string& key) {
            if (key == "shape")
                c.shape = ClefShapeCode(tok_.next());
            else if (key == "centre")
                c.centre = comma();
            else if (key == "pitchposn")
                c.pitchPosn = number();
            else
                return false;
            return true;
        });
        if (index) {
            t_.clefs[static_cast<std::size_t>(index - 1)] = c;
            grew();
        }
    }

    void keysig(int parent) {
        const int index = reserve(t_.keysigs, parent, ResultCapacity::keysigs);
        ResultKeysig k;
        k.bar = parent;
        element([&](const std::string& key) {
            if (key == "key")
                k.key = number();
            else if (key == "centre")
                k.centre = comma();
            else
                return false;
            return true;
        });
        if (index) {
            t_.keysigs[static_cast<std::size_t>(index - 1)] = k;
            grew();
        }
    }

    void chord(int parent) {
        const int index = reserve(t_.chords, parent, ResultCapacity::chords);
        ResultChord c;
        c.bar = parent;
        element([&](const std::string& key) {
            if (key == "virtualstem")
                c.virtualStem = flag();
            else if (key == "stemup")
                c.stemUp = flag();
            else if (key == "staccato")
                c.staccato = flag();
            else if (key == "tenuto")
                c.tenuto = flag();
            else if (key == "pause")
                c.pause = flag();
            else if (key == "accent")
                c.accent = flag();
            else if (key == "stemslash")
                c.stemSlash = flag();
            else if (key == "naugdots")
                c.augDots = number();
            else if (key == "nflags")
                c.flags = number();
            else if (key == "headend")
                c.headEnd = number();
            else if (key == "flagposn")
                c.flagPosn = comma();
            else if (key == "tuplettransform")
                slash();
            else if (key == "beam")
                group([&](const std::string& k) {
                    if (k == "id")
                        c.beamId = number();
                    else if (k == "nofleft")
                        c.beamLeft = number();
                    else if (k == "nofnodes")
                        c.beamNodes = number();
                    else if (k == "nofright")
                        c.beamRight = number();
                    else
                        return false;
                    return true;
                });
            else if (key == "notes")
                list([&] { note(index); });
            else
                return false;
            return true;
        });
        c.beamed = c.beamNodes > 1 && c.beamNodes != kBadNumber;
        if (index) t_.chords[static_cast<std::size_t>(index - 1)] = c;
    }

    void note(int parent) {
        const int index = reserve(t_.notes, parent, ResultCapacity::notes);
        ResultNote n;
        n.chord = parent;
        element([&](const std::string& key) {
            if (key == "shape")
                n.shape = NoteShapeCode(tok_.next());
            else if (key == "staveoffset")
                n.staveOffset = number();
            else if (key == "accid_dc")
                n.accidDc = number();
            else if (key == "p")
                n.p = number();
            else if (key == "accid")
                n.accid = AccidCode(tok_.next());
            else if (key == "normalside")
                n.normalSide = flag();
            else
                return false;
            return true;
        });
        if (index) {
            t_.notes[static_cast<std::size_t>(index - 1)] = n;
            grew();
        }
    }

    void lyricLine(int parent) {
        const int index = reserve(t_.lyricLines, parent, ResultCapacity::lyricLines);
        ResultLyricLine l;
        l.stave = parent;
        element([&](const std::string& key) {
            if (key == "abot")
                l.abot = number();
            else if (key == "height")
                l.height = number();
            else if (key == "elements")
                list([&] { lyricElement(index); });
            else
                return false;
            return true;
        });
        if (index) t_.lyricLines[static_cast<std::size_t>(index - 1)] = l;
    }

    void lyricElement(int parent) {
        const int index = reserve(t_.lyricElements, parent, ResultCapacity::lyricElements);
        ResultLyricElement e;
        e.line = parent;
        element([&](const std::string& key) {
            if (key == "extender")
                e.extender = flag();
            else if (key == "c0")
                e.c0 = number();
            else if (key == "c1")
                e.c1 = number();
            else if (key == "midc")
                e.midc = number();
            else if (key == "bar")
                e.bar = number();
            else if (key == "symbol")
                e.symbol = number();
            else if (key == "text$")
                e.text = tok_.next().substr(0, 20);
            else
                return false;
            return true;
        });
        if (index) {
            t_.lyricElements[static_cast<std::size_t>(index - 1)] = e;
            grew();
        }
    }

    void text(int parent) {
        const int index = reserve(t_.texts, parent, ResultCapacity::texts);
        ResultText x;
        x.stave = parent;
        element([&](const std::string& key) {
            if (key == "abot")
                x.abot = number();
            else if (key == "c0")
                x.c0 = number();
            else if (key == "height")
                x.height = number();
            else if (key == "style")
                x.style = number();
            else if (key == "text$")
                x.text = tok_.next().substr(0, 50);
            else
                return false;
            return true;
        });
        if (index) {
            t_.texts[static_cast<std::size_t>(index - 1)] = x;
            grew();
        }
    }

    void dynamic(int parent) {
        const int index = reserve(t_.dynamics, parent, ResultCapacity::dynamics);
        ResultDynamic d;
        d.stave = parent;
        element([&](const std::string& key) {
            if (key == "type")
                d.type = DynamicTypeCode(tok_.next());
            else if (key == "c")
                d.c = number();
            else if (key == "c0")
                d.c0 = number();
            else if (key == "c1")
                d.c1 = number();
            else if (key == "r")
                d.r = number();
            else
                return false;
            return true;
        });
        if (index) t_.dynamics[static_cast<std::size_t>(index - 1)] = d;
    }

    void slur(int parent) {
        const int index = reserve(t_.slurs, parent, ResultCapacity::slurs);
        ResultSlur s;
        s.system = parent;
        element([&](const std::string& key) {
            if (key == "leftpt")
                s.left = comma();
            else if (key == "rightpt")
                s.right = comma();
            else if (key == "radius")
                s.radius = number();
            else
                return false;
            return true;
        });
        if (index) {
            t_.slurs[static_cast<std::size_t>(index - 1)] = s;
            grew();
        }
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
