// Reading MusicXML with Qt's stream reader and the container with libzip:
// bounded, never expanding entities, turning timewise scores partwise and
// each staff of a multi-staff part into a part of its own.
#include "platform/MusicXmlReader.h"

#include <zip.h>

#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
#include <optional>

#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"

namespace sw {

namespace {

constexpr int kMaxStaffNumber = 16;
constexpr int kMaxDivisionsRead = 1 << 24;
constexpr double kMaxQuarters = 1024;  // one note, forward or backup

struct ReadError {
    std::string text;
};

// The parts a source part became (one a staff) and where it stands.
struct SourcePart {
    std::string id, name;
    int program = 0;
    int first = -1, staves = 1;  // first index into the document's parts
};

struct OpenGroup {
    int firstSource = 0;
    std::string symbol = "bracket";
    bool barline = false;
};

const char* Literal(const QString& s, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (s == QLatin1String(n)) return n;
    return nullptr;
}

class Reader {
  public:
    Reader(const std::string& bytes, const MusicXmlLimits& limits)
        : x_(QByteArray::fromRawData(bytes.data(), static_cast<int>(bytes.size()))),
          limits_(limits) {}

    mxl::Document run();

  private:
    // The next token, within the bounds; errors end the read.
    QXmlStreamReader::TokenType next();
    bool nextChild();  // true at a child's start, false at the parent's end
    void skip();
    QString text();  // the element's text; the reader ends on its end tag
    double number(const char* what);
    int integer(const char* what, long lo, long hi);
    QString attr(const char* name) const { return x_.attributes().value(name).toString(); }
    [[noreturn]] void fail(const std::string& what) const;
    std::string place() const;

    void header();
    void partList();
    void partwise();
    void timewise();
    void measure(SourcePart& part, std::size_t index);
    void attributes(SourcePart& part, mxl::PartMeasure* at, std::size_t index, int pos);
    void note(SourcePart& part, std::size_t index);
    void notations(mxl::Note& n);
    void direction(SourcePart& part, std::size_t index, int pos);
    void barline(std::size_t index);
    SourcePart& partById(const QString& id);
    mxl::PartMeasure& cell(const SourcePart& part, int staff, std::size_t index);
    int toDivisions(double value, const char* what);
    void clampNote(mxl::Note& n);
    void finish();

    QXmlStreamReader x_;
    const MusicXmlLimits& limits_;
    mxl::Document doc_;
    std::vector<SourcePart> sources_;
    std::vector<OpenGroup> groupsOpen_ = std::vector<OpenGroup>(kMaxStaffNumber + 1);
    int depth_ = 0;
    // The part being read: its divisions and where in the measure it is.
    int divisions_ = 1;
    int pos_ = 0, lastPos_ = 0, reach_ = 0;
    std::vector<mxl::Beam> chordBeams_;  // the beams written on the chord's first note
    std::string partId_, measureNo_;
    std::vector<std::vector<mxl::Part>> partsOf_;  // by source part, by staff
    std::map<std::string, int> skipped_;
};

void Reader::fail(const std::string& what) const {
    throw ReadError{what};
}

std::string Reader::place() const {
    return FormatMessage(msg::MusicXmlPlace, partId_, measureNo_) + " ";
}

QXmlStreamReader::TokenType Reader::next() {
    const auto t = x_.readNext();
    switch (t) {
        case QXmlStreamReader::StartElement:
            if (++depth_ > limits_.depth)
                fail(FormatMessage(msg::MusicXmlTooDeep, x_.lineNumber()));
            for (const auto& a : x_.attributes())
                if (static_cast<std::size_t>(a.value().size()) > limits_.textChars)
                    fail(FormatMessage(msg::MusicXmlTooLong, x_.lineNumber()));
            break;
        case QXmlStreamReader::EndElement:
            --depth_;
            break;
        case QXmlStreamReader::Characters:
            if (static_cast<std::size_t>(x_.text().size()) > limits_.textChars)
                fail(FormatMessage(msg::MusicXmlTooLong, x_.lineNumber()));
            break;
        case QXmlStreamReader::DTD:
            // No entity is ever expanded: a document that declares any is refused.
            if (!x_.entityDeclarations().isEmpty() || !x_.notationDeclarations().isEmpty())
                fail(FormatMessage(msg::MusicXmlEntities, x_.lineNumber()));
            break;
        case QXmlStreamReader::EntityReference:
            fail(FormatMessage(msg::MusicXmlEntities, x_.lineNumber()));
        case QXmlStreamReader::Invalid:
            fail(FormatMessage(msg::MusicXmlBadXml, x_.lineNumber(), x_.columnNumber(),
                               x_.errorString().toStdString()));
        default:
            break;
    }
    return t;
}

bool Reader::nextChild() {
    for (;;) {
        const auto t = next();
        if (t == QXmlStreamReader::StartElement) return true;
        if (t == QXmlStreamReader::EndElement || t == QXmlStreamReader::EndDocument) return false;
    }
}

void Reader::skip() {
    const int until = depth_ - 1;
    while (depth_ > until) {
        if (next() == QXmlStreamReader::EndDocument) return;
    }
}

QString Reader::text() {
    QString s;
    const int until = depth_ - 1;
    while (depth_ > until) {
        const auto t = next();
        if (t == QXmlStreamReader::Characters && depth_ == until + 1) s += x_.text();
        if (t == QXmlStreamReader::EndDocument) break;
        if (static_cast<std::size_t>(s.size()) > limits_.textChars)
            fail(FormatMessage(msg::MusicXmlTooLong, x_.lineNumber()));
    }
    return s.trimmed();
}

double Reader::number(const char* what) {
    const QString s = text();
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        fail(place() + FormatMessage(msg::MusicXmlBadNumber, what, s.left(40).toStdString()));
    return v;
}

int Reader::integer(const char* what, long lo, long hi) {
    const double v = number(what);
    if (v < static_cast<double>(lo) || v > static_cast<double>(hi)) {
        const double c = std::clamp(v, static_cast<double>(lo), static_cast<double>(hi));
        doc_.warnings.push_back(place() + FormatMessage(msg::MusicXmlClamped, what,
                                                        std::to_string(std::lround(v)),
                                                        std::to_string(std::lround(c))));
        return static_cast<int>(std::lround(c));
    }
    return static_cast<int>(std::lround(v));
}

int Reader::toDivisions(double value, const char* what) {
    double q = value / divisions_;
    if (q < 0 || q > kMaxQuarters) {
        const double c = std::clamp(q, 0.0, kMaxQuarters);
        doc_.warnings.push_back(
            place() + FormatMessage(msg::MusicXmlClamped, what, std::to_string(std::lround(value)),
                                    std::to_string(std::lround(c * divisions_))));
        q = c;
    }
    return static_cast<int>(std::lround(q * kImportDivisions));
}

mxl::Document Reader::run() {
    bool root = false;
    while (!x_.atEnd()) {
        const auto t = next();
        if (t != QXmlStreamReader::StartElement) continue;
        if (x_.name() == QLatin1String("score-partwise")) {
            root = true;
            partwise();
        } else if (x_.name() == QLatin1String("score-timewise")) {
            root = true;
            timewise();
        } else {
            fail(FormatMessage(msg::MusicXmlNoScore));
        }
        break;
    }
    if (!root) fail(FormatMessage(msg::MusicXmlNoScore));
    finish();
    return std::move(doc_);
}

void Reader::header() {
    const auto name = x_.name();
    if (name == QLatin1String("work")) {
        while (nextChild())
            if (x_.name() == QLatin1String("work-title"))
                doc_.title = text().toStdString();
            else
                skip();
    } else if (name == QLatin1String("movement-title")) {
        const std::string t = text().toStdString();
        if (doc_.title.empty()) doc_.title = t;
    } else if (name == QLatin1String("identification")) {
        while (nextChild()) {
            if (x_.name() == QLatin1String("creator")) {
                const QString type = attr("type");
                const std::string t = text().toStdString();
                if (type == QLatin1String("composer") && doc_.composer.empty()) doc_.composer = t;
                if (type == QLatin1String("lyricist") && doc_.lyricist.empty()) doc_.lyricist = t;
            } else {
                skip();
            }
        }
    } else if (name == QLatin1String("defaults")) {
        double mm = 0, tenths = 0;
        while (nextChild()) {
            if (x_.name() == QLatin1String("scaling")) {
                while (nextChild())
                    if (x_.name() == QLatin1String("millimeters"))
                        mm = number("millimeters");
                    else if (x_.name() == QLatin1String("tenths"))
                        tenths = number("tenths");
                    else
                        skip();
            } else if (x_.name() == QLatin1String("page-layout")) {
                while (nextChild()) {
                    const auto n = x_.name();
                    if (n == QLatin1String("page-height")) {
                        doc_.pageHeight = number("page-height");
                    } else if (n == QLatin1String("page-width")) {
                        doc_.pageWidth = number("page-width");
                    } else if (n == QLatin1String("page-margins")) {
                        const bool first = doc_.left == 0 && doc_.right == 0;
                        while (nextChild()) {
                            const auto m = x_.name();
                            double* into = m == QLatin1String("left-margin")     ? &doc_.left
                                           : m == QLatin1String("right-margin")  ? &doc_.right
                                           : m == QLatin1String("top-margin")    ? &doc_.top
                                           : m == QLatin1String("bottom-margin") ? &doc_.bottom
                                                                                 : nullptr;
                            if (into && first)
                                *into = number("page-margins");
                            else
                                skip();
                        }
                    } else {
                        skip();
                    }
                }
            } else {
                skip();
            }
        }
        // Millimetres for the 40 tenths of a stave's height.
        if (mm > 0 && tenths > 0) doc_.millimetres = mm * 40.0 / tenths;
    } else if (name == QLatin1String("credit")) {
        QString type;
        while (nextChild()) {
            if (x_.name() == QLatin1String("credit-type")) {
                type = text();
            } else if (x_.name() == QLatin1String("credit-words")) {
                const std::string t = text().toStdString();
                if (type == QLatin1String("title") && doc_.title.empty()) doc_.title = t;
                if (type == QLatin1String("composer") && doc_.composer.empty()) doc_.composer = t;
            } else {
                skip();
            }
        }
    } else {
        skip();
    }
}

void Reader::partList() {
    while (nextChild()) {
        if (x_.name() == QLatin1String("score-part")) {
            SourcePart p;
            p.id = attr("id").toStdString();
            if (p.id.empty()) fail(FormatMessage(msg::MusicXmlUnknownPart, ""));
            while (nextChild()) {
                if (x_.name() == QLatin1String("part-name")) {
                    p.name = text().toStdString();
                } else if (x_.name() == QLatin1String("midi-instrument")) {
                    while (nextChild())
                        if (x_.name() == QLatin1String("midi-program"))
                            p.program = integer("midi-program", 1, 128);
                        else
                            skip();
                } else {
                    skip();
                }
            }
            if (static_cast<int>(sources_.size()) >= limits_.parts)
                fail(FormatMessage(msg::MusicXmlTooManyParts, limits_.parts));
            sources_.push_back(p);
            partsOf_.emplace_back(1);
        } else if (x_.name() == QLatin1String("part-group")) {
            const QString type = attr("type");
            const int number = std::clamp(attr("number").toInt(), 0, kMaxStaffNumber);
            OpenGroup& g = groupsOpen_[static_cast<std::size_t>(number)];
            QString symbol = "bracket";
            bool barline = false;
            while (nextChild()) {
                if (x_.name() == QLatin1String("group-symbol"))
                    symbol = text();
                else if (x_.name() == QLatin1String("group-barline"))
                    barline = text() == QLatin1String("yes");
                else
                    skip();
            }
            if (type == QLatin1String("start")) {
                g.firstSource = static_cast<int>(sources_.size());
                g.symbol = symbol.toStdString();
                g.barline = barline;
            } else if (type == QLatin1String("stop") &&
                       g.firstSource < static_cast<int>(sources_.size())) {
                mxl::Group grp;
                grp.first = g.firstSource;  // source indexes until finish()
                grp.last = static_cast<int>(sources_.size()) - 1;
                grp.symbol = g.symbol == "brace" ? "brace" : "bracket";
                grp.barline = g.barline;
                doc_.groups.push_back(grp);
            }
        } else {
            skip();
        }
    }
    if (sources_.empty()) fail(FormatMessage(msg::MusicXmlNoPartList));
}

SourcePart& Reader::partById(const QString& id) {
    const std::string key = id.toStdString();
    for (SourcePart& p : sources_)
        if (p.id == key) return p;
    fail(FormatMessage(msg::MusicXmlUnknownPart, key.substr(0, 40)));
}

mxl::PartMeasure& Reader::cell(const SourcePart& part, int staff, std::size_t index) {
    // Staves are the parts of the picture: a source part's staff k is part first + k − 1.
    std::vector<mxl::Part>& staves = partsOf_[static_cast<std::size_t>(&part - sources_.data())];
    const std::size_t s = static_cast<std::size_t>(std::clamp(staff, 1, kMaxStaffNumber));
    if (staves.size() < s) staves.resize(s);
    mxl::Part& p = staves[s - 1];
    if (p.measures.size() <= index) p.measures.resize(index + 1);
    if (doc_.measures.size() <= index) doc_.measures.resize(index + 1);
    return p.measures[index];
}

void Reader::partwise() {
    bool listSeen = false;
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("part-list")) {
            partList();
            listSeen = true;
        } else if (name == QLatin1String("part")) {
            if (!listSeen) fail(FormatMessage(msg::MusicXmlNoPartList));
            SourcePart& part = partById(attr("id"));
            partId_ = part.id;
            divisions_ = 1;
            std::size_t index = 0;
            while (nextChild()) {
                if (x_.name() != QLatin1String("measure")) {
                    skip();
                    continue;
                }
                if (static_cast<int>(index) >= limits_.measures)
                    fail(FormatMessage(msg::MusicXmlTooManyMeasures, limits_.measures));
                measureNo_ = attr("number").left(20).toStdString();
                if (doc_.measures.size() <= index) doc_.measures.resize(index + 1);
                if (&part == &sources_.front()) {
                    doc_.measures[index].number = measureNo_;
                    doc_.measures[index].implicit = attr("implicit") == QLatin1String("yes");
                }
                measure(part, index++);
            }
        } else {
            header();
        }
    }
    if (!listSeen) fail(FormatMessage(msg::MusicXmlNoPartList));
}

void Reader::timewise() {
    bool listSeen = false;
    std::size_t index = 0;
    std::map<std::string, int> divisions;  // each part's, carried from measure to measure
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("part-list")) {
            partList();
            listSeen = true;
        } else if (name == QLatin1String("measure")) {
            if (!listSeen) fail(FormatMessage(msg::MusicXmlNoPartList));
            if (static_cast<int>(index) >= limits_.measures)
                fail(FormatMessage(msg::MusicXmlTooManyMeasures, limits_.measures));
            const QString number = attr("number");
            const bool implicit = attr("implicit") == QLatin1String("yes");
            while (nextChild()) {
                if (x_.name() != QLatin1String("part")) {
                    skip();
                    continue;
                }
                SourcePart& part = partById(attr("id"));
                partId_ = part.id;
                auto d = divisions.find(part.id);
                divisions_ = d == divisions.end() ? 1 : d->second;
                measureNo_ = number.left(20).toStdString();
                if (doc_.measures.size() <= index) doc_.measures.resize(index + 1);
                doc_.measures[index].number = measureNo_;
                doc_.measures[index].implicit = implicit;
                measure(part, index);
                divisions[part.id] = divisions_;
            }
            ++index;
        } else {
            header();
        }
    }
    if (!listSeen) fail(FormatMessage(msg::MusicXmlNoPartList));
}

void Reader::measure(SourcePart& part, std::size_t index) {
    pos_ = lastPos_ = reach_ = 0;
    cell(part, 1, index);
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("note")) {
            note(part, index);
        } else if (name == QLatin1String("attributes")) {
            attributes(part, nullptr, index, pos_);
        } else if (name == QLatin1String("backup") || name == QLatin1String("forward")) {
            const bool back = name == QLatin1String("backup");
            int d = 0;
            while (nextChild())
                if (x_.name() == QLatin1String("duration"))
                    d = toDivisions(number("duration"), "duration");
                else
                    skip();
            pos_ = back ? std::max(0, pos_ - d) : pos_ + d;
            lastPos_ = pos_;
            reach_ = std::max(reach_, pos_);
        } else if (name == QLatin1String("direction")) {
            direction(part, index, pos_);
        } else if (name == QLatin1String("barline")) {
            if (&part == &sources_.front())
                barline(index);
            else
                skip();
        } else if (name == QLatin1String("print")) {
            if (&part == &sources_.front()) {
                mxl::Measure& m = doc_.measures[index];
                m.newSystem = m.newSystem || attr("new-system") == QLatin1String("yes");
                m.newPage = m.newPage || attr("new-page") == QLatin1String("yes");
            }
            skip();
        } else if (name == QLatin1String("sound")) {
            const double tempo = attr("tempo").toDouble();
            if (tempo > 0 && doc_.tempo == 0) doc_.tempo = static_cast<int>(std::lround(tempo));
            skip();
        } else {
            ++skipped_[QStringLiteral("<%1>").arg(name.left(40)).toStdString()];
            skip();
        }
    }
    mxl::Measure& m = doc_.measures[index];
    m.length = std::max(m.length, reach_);
}

void Reader::attributes(SourcePart& part, mxl::PartMeasure*, std::size_t index, int pos) {
    // Each change is kept on the staff it names, else on every staff of the part.
    std::vector<std::pair<int, mxl::Attributes>> changes;  // staff (0 every), change
    auto add = [&](int staff) -> mxl::Attributes& {
        changes.push_back({staff, mxl::Attributes{}});
        changes.back().second.pos = pos;
        return changes.back().second;
    };
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("divisions")) {
            const double d = number("divisions");
            if (!(d >= 1 && d <= kMaxDivisionsRead) || d != std::floor(d))
                fail(place() +
                     FormatMessage(msg::MusicXmlBadDivisions,
                                   std::to_string(std::llround(std::clamp(d, -1e15, 1e15)))));
            divisions_ = static_cast<int>(d);
        } else if (name == QLatin1String("key")) {
            const int staff = attr("number").toInt();
            mxl::Attributes& a = add(staff);
            while (nextChild())
                if (x_.name() == QLatin1String("fifths"))
                    a.key = integer("fifths", -7, 7);
                else
                    skip();
            if (!a.key) changes.pop_back();
        } else if (name == QLatin1String("time")) {
            const QString symbol = attr("symbol");
            mxl::Time t;
            t.symbol = Literal(symbol, {"common", "cut", "single-number"});
            bool beats = false;
            while (nextChild()) {
                if (x_.name() == QLatin1String("beats")) {
                    // Compound beats ("3+2") add up.
                    int sum = 0;
                    for (const QString& part : text().split('+')) {
                        bool ok = false;
                        const int v = part.trimmed().toInt(&ok);
                        if (!ok)
                            fail(place() + FormatMessage(msg::MusicXmlBadNumber, "beats",
                                                         part.left(40).toStdString()));
                        sum += std::clamp(v, 1, 99);
                    }
                    t.beats = std::clamp(sum, 1, 99);
                    beats = true;
                } else if (x_.name() == QLatin1String("beat-type")) {
                    t.beatType = integer("beat-type", 1, 64);
                } else {
                    skip();
                }
            }
            if (beats) add(attr("number").toInt()).time = t;
        } else if (name == QLatin1String("staves")) {
            part.staves = integer("staves", 1, kMaxStaffNumber);
            cell(part, part.staves, index);
        } else if (name == QLatin1String("clef")) {
            const int staff = attr("number").toInt();
            QString sign;
            int line = 0, octave = 0;
            while (nextChild()) {
                if (x_.name() == QLatin1String("sign"))
                    sign = text();
                else if (x_.name() == QLatin1String("line"))
                    line = integer("line", 1, 5);
                else if (x_.name() == QLatin1String("clef-octave-change"))
                    octave = integer("clef-octave-change", -2, 2);
                else
                    skip();
            }
            mxl::Clef c;
            c.octave = octave;
            if (sign == QLatin1String("G")) {
                c.type = 0;
                if (line != 0 && line != 2) ++skipped_["clef G on line " + std::to_string(line)];
            } else if (sign == QLatin1String("F")) {
                c.type = 1;
                if (line != 0 && line != 4) ++skipped_["clef F on line " + std::to_string(line)];
            } else if (sign == QLatin1String("C")) {
                c.type = line == 4 ? 3 : 2;
                if (line != 0 && line != 3 && line != 4)
                    ++skipped_["clef C on line " + std::to_string(line)];
            } else {
                c.type = 0;
                ++skipped_["clef " + sign.left(20).toStdString()];
            }
            add(staff).clef = c;
        } else if (name == QLatin1String("transpose")) {
            const int staff = attr("number").toInt();
            int chromatic = 0, octave = 0;
            while (nextChild())
                if (x_.name() == QLatin1String("chromatic"))
                    chromatic = integer("chromatic", -24, 24);
                else if (x_.name() == QLatin1String("octave-change"))
                    octave = integer("octave-change", -2, 2);
                else
                    skip();
            add(staff).transpose = std::clamp(chromatic + 12 * octave, -48, 48);
        } else {
            skip();
        }
    }
    for (auto& [staff, a] : changes) {
        if (staff >= 1) {
            cell(part, staff, index).attributes.push_back(a);
            continue;
        }
        for (int k = 1; k <= part.staves; ++k)
            cell(part, k, index).attributes.push_back(a);
    }
}

void Reader::note(SourcePart& part, std::size_t index) {
    mxl::Note n;
    int staff = 1;
    double duration = 0;
    bool pitched = false, rest = false;
    QString type;
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("grace")) {
            n.grace = true;
            n.slash = attr("slash") == QLatin1String("yes");
            skip();
        } else if (name == QLatin1String("cue")) {
            n.cue = true;
            skip();
        } else if (name == QLatin1String("chord")) {
            n.chord = true;
            skip();
        } else if (name == QLatin1String("pitch") || name == QLatin1String("unpitched")) {
            pitched = true;
            while (nextChild()) {
                const auto c = x_.name();
                if (c == QLatin1String("step") || c == QLatin1String("display-step")) {
                    const QString step = text();
                    if (step.size() != 1 || step[0] < 'A' || step[0] > 'G')
                        fail(place() +
                             FormatMessage(msg::MusicXmlBadStep, step.left(40).toStdString()));
                    else
                        n.step = static_cast<char>(step[0].toLatin1());
                } else if (c == QLatin1String("alter")) {
                    n.alter = integer("alter", -2, 2);
                } else if (c == QLatin1String("octave") || c == QLatin1String("display-octave")) {
                    n.octave = integer("octave", 0, 9);
                } else {
                    skip();
                }
            }
        } else if (name == QLatin1String("rest")) {
            rest = true;
            n.measureRest = attr("measure") == QLatin1String("yes");
            skip();
        } else if (name == QLatin1String("duration")) {
            duration = number("duration");
        } else if (name == QLatin1String("tie")) {
            const QString t = attr("type");
            if (t == QLatin1String("start")) n.tieStart = true;
            if (t == QLatin1String("stop")) n.tieStop = true;
            skip();
        } else if (name == QLatin1String("voice")) {
            n.voice = integer("voice", 1, 99);
        } else if (name == QLatin1String("type")) {
            type = text();
        } else if (name == QLatin1String("dot")) {
            n.dots = std::min(n.dots + 1, 3);
            skip();
        } else if (name == QLatin1String("accidental")) {
            n.accidentalParentheses = attr("parentheses") == QLatin1String("yes");
            const QString a = text();
            static const std::pair<const char*, int> kAccidentals[] = {
                {"sharp", 1},        {"flat", -1},       {"natural", 0},
                {"double-sharp", 2}, {"sharp-sharp", 2}, {"flat-flat", -2}};
            for (const auto& [word, v] : kAccidentals)
                if (a == QLatin1String(word)) n.accidental = v;
        } else if (name == QLatin1String("time-modification")) {
            while (nextChild())
                if (x_.name() == QLatin1String("actual-notes"))
                    n.actual = integer("actual-notes", 1, 64);
                else if (x_.name() == QLatin1String("normal-notes"))
                    n.normal = integer("normal-notes", 1, 64);
                else
                    skip();
        } else if (name == QLatin1String("stem")) {
            const QString st = text();
            n.stem = st == QLatin1String("up")     ? 0
                     : st == QLatin1String("down") ? 1
                     : st == QLatin1String("none") ? 2
                                                   : -1;
        } else if (name == QLatin1String("staff")) {
            staff = integer("staff", 1, kMaxStaffNumber);
        } else if (name == QLatin1String("beam")) {
            const int level = attr("number").isEmpty() ? 1 : attr("number").toInt();
            const QString b = text();
            const char* t =
                Literal(b, {"begin", "continue", "end", "forward hook", "backward hook"});
            if (t && level >= 1 && level <= 8) n.beams.push_back({level, t});
        } else if (name == QLatin1String("notations")) {
            notations(n);
        } else if (name == QLatin1String("lyric")) {
            mxl::Lyric l;
            l.verse = std::clamp(attr("number").toInt(), 1, 8);
            while (nextChild()) {
                if (x_.name() == QLatin1String("syllabic")) {
                    const QString sy = text();
                    l.syllabic = sy == QLatin1String("begin")    ? mxl::Syllabic::Begin
                                 : sy == QLatin1String("middle") ? mxl::Syllabic::Middle
                                 : sy == QLatin1String("end")    ? mxl::Syllabic::End
                                                                 : mxl::Syllabic::Single;
                } else if (x_.name() == QLatin1String("text")) {
                    l.text += text().toStdString();
                } else {
                    skip();
                }
            }
            if (!l.text.empty()) n.lyrics.push_back(l);
        } else {
            skip();
        }
    }
    if (!pitched && !rest) fail(place() + FormatMessage(msg::MusicXmlNoPitch));
    n.rest = rest;
    static const std::pair<const char*, int> kTypes[] = {
        {"breve", 0}, {"whole", 1}, {"half", 2},  {"quarter", 3}, {"eighth", 4}, {"16th", 5},
        {"32nd", 6},  {"64th", 7},  {"128th", 7}, {"long", 0},    {"maxima", 0}};
    bool known = false;
    for (const auto& [word, v] : kTypes)
        if (type == QLatin1String(word)) {
            n.value = v;
            known = true;
        }
    if (type == QLatin1String("128th") || type == QLatin1String("long") ||
        type == QLatin1String("maxima") || type == QLatin1String("256th"))
        ++skipped_[type.toStdString() + " notes (written shorter or longer)"];
    n.duration = n.grace ? 0 : toDivisions(duration, "duration");
    if (!known) {
        // No written type: the value and dots that make the length, else the
        // nearest value; a long enough rest may be a whole-bar rest.
        const double q = static_cast<double>(n.duration) / kImportDivisions;
        n.value =
            std::clamp(3 - static_cast<int>(std::floor(std::log2(std::max(q, 1.0 / 32)))), 0, 7);
        for (int dots = 1; dots <= 3; ++dots) {
            const double base = q / (2 - std::ldexp(1.0, -dots));
            const double v = 3 - std::log2(base);
            if (std::abs(v - std::round(v)) < 1e-9 && v >= 0 && v <= 7 && n.dots == 0) {
                n.value = static_cast<int>(std::round(v));
                n.dots = dots;
            }
        }
        if (rest && !n.grace && type.isEmpty()) n.measureRest = n.measureRest || q >= 1;
    }
    n.pos = n.chord ? lastPos_ : pos_;
    if (!n.chord) lastPos_ = pos_;
    // A chord's beams are written on its first note; a note of it on the
    // other staff of the part leads that staff's chord and needs them too.
    if (n.chord && n.beams.empty()) n.beams = chordBeams_;
    if (!n.chord) chordBeams_ = n.beams;
    if (!n.chord && !n.grace) pos_ += n.duration;
    reach_ = std::max(reach_, pos_);
    cell(part, staff, index).notes.push_back(std::move(n));
}

void Reader::notations(mxl::Note& n) {
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("tied")) {
            const QString t = attr("type");
            if (t == QLatin1String("start")) n.tieStart = true;
            if (t == QLatin1String("stop")) n.tieStop = true;
            skip();
        } else if (name == QLatin1String("slur")) {
            const QString t = attr("type");
            mxl::NoteMark m;
            m.kind = mxl::NoteMark::Slur;
            m.start = t == QLatin1String("start");
            m.number = std::clamp(attr("number").toInt(), 1, 16);
            m.above = attr("placement") != QLatin1String("below");
            if (t == QLatin1String("start") || t == QLatin1String("stop")) n.marks.push_back(m);
            skip();
        } else if (name == QLatin1String("articulations")) {
            while (nextChild()) {
                const auto a = x_.name();
                if (a == QLatin1String("staccato"))
                    n.staccato = 1;
                else if (a == QLatin1String("staccatissimo"))
                    n.staccato = 2;
                else if (a == QLatin1String("tenuto"))
                    n.emphasis = 1;
                else if (a == QLatin1String("accent"))
                    n.emphasis = 2;
                else if (a == QLatin1String("strong-accent"))
                    n.emphasis = 3;
                else
                    ++skipped_[a.toString().left(40).toStdString()];
                skip();
            }
        } else if (name == QLatin1String("fermata")) {
            n.fermata = true;
            n.fermataInverted = attr("type") == QLatin1String("inverted");
            skip();
        } else if (name == QLatin1String("ornaments")) {
            while (nextChild()) {
                if (x_.name() == QLatin1String("trill-mark"))
                    n.trill = true;
                else
                    ++skipped_[x_.name().toString().left(40).toStdString()];
                skip();
            }
        } else if (name == QLatin1String("arpeggiate")) {
            n.arpeggio = true;
            skip();
        } else if (name == QLatin1String("tuplet")) {
            skip();  // the time modification says it
        } else {
            ++skipped_[name.toString().left(40).toStdString()];
            skip();
        }
    }
}

void Reader::direction(SourcePart& part, std::size_t index, int pos) {
    const bool above = attr("placement") != QLatin1String("below");
    std::vector<mxl::Direction> found;
    int staff = 1;
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("direction-type")) {
            while (nextChild()) {
                const auto t = x_.name();
                mxl::Direction d;
                d.pos = pos;
                d.above = above;
                if (t == QLatin1String("words")) {
                    d.kind = mxl::Direction::Words;
                    d.bold = attr("font-weight") == QLatin1String("bold");
                    d.italic = attr("font-style") == QLatin1String("italic");
                    d.text = text().toStdString();
                    if (!d.text.empty()) found.push_back(d);
                } else if (t == QLatin1String("dynamics")) {
                    d.kind = mxl::Direction::Dynamic;
                    while (nextChild()) {
                        d.text = x_.name().toString().left(20).toStdString();
                        skip();
                    }
                    if (!d.text.empty()) found.push_back(d);
                } else if (t == QLatin1String("wedge")) {
                    d.kind = mxl::Direction::Wedge;
                    d.text = attr("type").left(20).toStdString();
                    d.number = std::clamp(attr("number").toInt(), 1, 16);
                    found.push_back(d);
                    skip();
                } else if (t == QLatin1String("metronome")) {
                    QString unit;
                    double perMinute = 0;
                    while (nextChild())
                        if (x_.name() == QLatin1String("beat-unit"))
                            unit = text();
                        else if (x_.name() == QLatin1String("per-minute"))
                            perMinute = text().toDouble();
                        else
                            skip();
                    if (unit == QLatin1String("quarter") && perMinute > 0 && doc_.tempo == 0)
                        doc_.tempo = static_cast<int>(std::lround(std::min(perMinute, 999.0)));
                } else {
                    ++skipped_[t.toString().left(40).toStdString()];
                    skip();
                }
            }
        } else if (name == QLatin1String("staff")) {
            staff = integer("staff", 1, kMaxStaffNumber);
        } else if (name == QLatin1String("sound")) {
            const double tempo = attr("tempo").toDouble();
            if (tempo > 0 && tempo < 1000) doc_.tempo = static_cast<int>(std::lround(tempo));
            skip();
        } else {
            skip();
        }
    }
    auto& into = cell(part, staff, index).directions;
    into.insert(into.end(), found.begin(), found.end());
}

void Reader::barline(std::size_t index) {
    const bool left = attr("location") == QLatin1String("left");
    mxl::Barline& b = left ? doc_.measures[index].left : doc_.measures[index].right;
    while (nextChild()) {
        const auto name = x_.name();
        if (name == QLatin1String("bar-style")) {
            b.style = Literal(text(),
                              {"regular", "dotted", "dashed", "heavy", "light-light", "light-heavy",
                               "heavy-light", "heavy-heavy", "tick", "short", "none"});
        } else if (name == QLatin1String("repeat")) {
            b.repeat = true;
            skip();
        } else if (name == QLatin1String("ending")) {
            b.ending = std::clamp(attr("number").split(',').front().trimmed().toInt(), 0, 99);
            b.endingType = Literal(attr("type"), {"start", "stop", "discontinue"});
            b.endingText = text().left(20).toStdString();
        } else {
            skip();
        }
    }
}

void Reader::finish() {
    if (doc_.measures.empty()) fail(FormatMessage(msg::MusicXmlNoMeasures));
    // The staves of every source part in order; the source groups follow them.
    std::vector<int> firstOf;
    for (std::size_t p = 0; p < sources_.size(); ++p) {
        firstOf.push_back(static_cast<int>(doc_.parts.size()));
        std::vector<mxl::Part>& staves = partsOf_[p];
        staves.resize(static_cast<std::size_t>(
            std::max<int>(sources_[p].staves, static_cast<int>(staves.size()))));
        for (mxl::Part& part : staves) {
            part.name = sources_[p].name;
            part.program = sources_[p].program;
            part.measures.resize(doc_.measures.size());
            doc_.parts.push_back(std::move(part));
        }
        if (staves.size() > 1) {
            mxl::Group g;
            g.first = firstOf.back();
            g.last = static_cast<int>(doc_.parts.size()) - 1;
            g.symbol = "brace";
            g.barline = true;
            doc_.groups.push_back(g);
        }
    }
    firstOf.push_back(static_cast<int>(doc_.parts.size()));
    for (mxl::Group& g : doc_.groups) {
        if (g.last >= static_cast<int>(sources_.size())) continue;  // a brace made above
        g.last = firstOf[static_cast<std::size_t>(g.last) + 1] - 1;
        g.first = firstOf[static_cast<std::size_t>(g.first)];
    }
    doc_.divisions = kImportDivisions;
    for (const auto& [what, count] : skipped_)
        doc_.skipped.push_back(FormatMessage(msg::MusicXmlSkippedElements, count, what));
}

// libzip's archive, closed when done.
struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};

// The bytes of entry `name`, at most `limit`; nothing when it is missing or larger.
std::optional<std::string> ReadEntry(zip_t* z, const char* name, std::size_t limit,
                                     std::string& error) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(z, name, 0, &st) != 0) return std::nullopt;
    if ((st.valid & ZIP_STAT_SIZE) && st.size > limit) {
        error = FormatMessage(msg::MusicXmlZipTooBig, static_cast<long long>(limit >> 20));
        return std::nullopt;
    }
    zip_file_t* f = zip_fopen(z, name, 0);
    if (!f) return std::nullopt;
    std::string out;
    char buffer[65536];
    for (;;) {
        const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
        if (n < 0) {
            error =
                FormatMessage(msg::MusicXmlBadContainer, zip_error_strerror(zip_file_get_error(f)));
            zip_fclose(f);
            return std::nullopt;
        }
        if (n == 0) break;
        // The size the directory states is not trusted: reading stops at the limit.
        if (out.size() + static_cast<std::size_t>(n) > limit) {
            error = FormatMessage(msg::MusicXmlZipTooBig, static_cast<long long>(limit >> 20));
            zip_fclose(f);
            return std::nullopt;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    zip_fclose(f);
    return out;
}

// The root file the container names, else its first .xml or .musicxml outside META-INF.
std::string Unpack(const std::string& bytes, const MusicXmlLimits& limits, std::string& error) {
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
    if (!src) {
        error = FormatMessage(msg::MusicXmlBadContainer, zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return {};
    }
    std::unique_ptr<zip_t, ZipCloser> z(zip_open_from_source(src, ZIP_RDONLY, &ze));
    if (!z) {
        zip_source_free(src);
        error = FormatMessage(msg::MusicXmlBadContainer, zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return {};
    }
    zip_error_fini(&ze);
    const zip_int64_t count = zip_get_num_entries(z.get(), 0);
    if (count < 0 || count > limits.zipEntries) {
        error = FormatMessage(msg::MusicXmlZipTooMany, limits.zipEntries);
        return {};
    }
    std::string root;
    if (auto container = ReadEntry(z.get(), "META-INF/container.xml", 1u << 20, error)) {
        QXmlStreamReader x(
            QByteArray::fromRawData(container->data(), static_cast<int>(container->size())));
        int depth = 0;
        while (!x.atEnd() && root.empty() && depth <= limits.depth) {
            const auto t = x.readNext();
            if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference) break;
            if (t == QXmlStreamReader::EndElement) --depth;
            if (t != QXmlStreamReader::StartElement) continue;
            ++depth;
            if (x.name() == QLatin1String("rootfile"))
                root = x.attributes().value("full-path").toString().left(1000).toStdString();
        }
    }
    if (!error.empty()) return {};
    if (root.empty()) {
        for (zip_int64_t i = 0; i < count && root.empty(); ++i) {
            const char* name = zip_get_name(z.get(), static_cast<zip_uint64_t>(i), 0);
            if (!name) continue;
            const std::string n = name;
            const bool xml = n.size() > 4 && (n.ends_with(".xml") || n.ends_with(".musicxml"));
            if (xml && n.rfind("META-INF/", 0) != 0) root = n;
        }
    }
    if (root.empty()) {
        error = FormatMessage(msg::MusicXmlNoRootFile);
        return {};
    }
    auto doc = ReadEntry(z.get(), root.c_str(), limits.entryBytes, error);
    if (!doc) {
        if (error.empty()) error = FormatMessage(msg::MusicXmlNoRootFile);
        return {};
    }
    return std::move(*doc);
}

}  // namespace

bool LooksCompressed(const std::string& bytes) {
    return bytes.size() >= 4 && bytes.compare(0, 4, "PK\x03\x04", 4) == 0;
}

MusicXmlRead ReadMusicXml(const std::string& bytes, const MusicXmlLimits& limits) {
    MusicXmlRead out;
    if (bytes.size() > limits.fileBytes) {
        out.error =
            FormatMessage(msg::MusicXmlTooBig, static_cast<long long>(limits.fileBytes >> 20));
        return out;
    }
    std::string unpacked;
    const std::string* text = &bytes;
    if (LooksCompressed(bytes)) {
        unpacked = Unpack(bytes, limits, out.error);
        if (!out.error.empty()) return out;
        text = &unpacked;
    }
    if (text->size() > static_cast<std::size_t>(INT32_MAX)) return out;
    try {
        Reader reader(*text, limits);
        out.doc = reader.run();
        out.ok = true;
    } catch (const ReadError& e) {
        out.error = e.text;
    }
    return out;
}

bool IsMusicXmlPath(const std::string& path) {
    return HasExtension(path, ".musicxml") || HasExtension(path, ".xml") ||
           HasExtension(path, ".mxl");
}

ImportOutcome ImportMusicXmlFile(const std::string& path, const ImportOptions& options,
                                 Score& score, Host& host, const TextMeasurer& measurer,
                                 const MusicXmlLimits& limits) {
    ImportOutcome out;
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        // As much as the file holds, up to one byte past the limit (enough to
        // know it is too large); a stream that cannot tell its size is read
        // in pieces up to the same bound.
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        in.seekg(0, std::ios::beg);
        const std::size_t want = limits.fileBytes + 1;
        if (size >= 0 && in) {
            bytes.resize(std::min(static_cast<std::size_t>(size), want));
            in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            bytes.resize(static_cast<std::size_t>(in.gcount()));
        } else {
            in.clear();
            std::size_t got = 0;
            while (got < want) {
                bytes.resize(std::min(want, got + 65536));
                in.read(bytes.data() + got, static_cast<std::streamsize>(bytes.size() - got));
                if (in.gcount() <= 0) break;
                got += static_cast<std::size_t>(in.gcount());
            }
            bytes.resize(got);
        }
    }
    if (!in && !in.eof()) {
        out.error = FormatMessage(msg::MusicXmlCannotBeRead, path, std::string("no such file"));
        return out;
    }
    MusicXmlRead read = ReadMusicXml(bytes, limits);
    if (!read.ok) {
        out.error = FormatMessage(msg::MusicXmlCannotBeRead, path, read.error);
        score.clear();
        return out;
    }
    out = BuildImportedScore(read.doc, options, score, host, measurer);
    if (!out.ok) out.error = FormatMessage(msg::MusicXmlCannotBeRead, path, out.error);
    return out;
}

}  // namespace sw
