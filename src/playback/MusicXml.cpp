// The MusicXML export's writer: the scanned document as score-partwise text,
// the compressed container, the file.
#include "playback/MusicXml.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "core/TextUtil.h"
#include "core/XmlWriter.h"
#include "core/Zip.h"
#include "playback/MusicXmlModel.h"

namespace sw {

namespace mxl {

namespace {

constexpr const char* kDoctype =
    "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
    "\"http://www.musicxml.org/dtds/partwise.dtd\">";
constexpr const char* kSoftware = "Staffwright 5";
constexpr double kTenthsPerPoint = 2;  // room under the title for its own height
constexpr const char* kTypes[8] = {"breve",  "whole", "half", "quarter",
                                   "eighth", "16th",  "32nd", "64th"};
constexpr const char* kStems[3] = {"up", "down", "none"};
constexpr const char* kAccidentals[5] = {"flat-flat", "flat", "natural", "sharp", "double-sharp"};
constexpr const char* kSyllabic[4] = {"single", "begin", "middle", "end"};

const char* Notehead(int head) {
    switch (head) {
        case 1:
            return "x";
        case 2:
            return "diamond";
        case 4:
            return "none";
        case 5:
            return "slash";
        case 7:
            return "square";
        case 8:
            return "circle-x";
        case 9:
        case 10:
            return "triangle";
        case 0:
        case 3:
            return nullptr;
        default:
            return "other";
    }
}

std::string Num(long long v) {
    return XmlNumber(v);
}

// "P1", "P2", …: appended, since g++ 12 misreads "P" + a string as overlapping.
std::string PartId(std::size_t p) {
    std::string id = "P";
    id += Num(static_cast<long long>(p) + 1);
    return id;
}

class Writer {
  public:
    explicit Writer(const Document& doc) : doc_(doc), x_(kDoctype) {}
    std::string run();

  private:
    void header();
    void partList();
    void measure(int p, std::size_t m);
    void attributes(const Attributes& a, bool first);
    void note(const Note& n);
    void notations(const Note& n);
    void direction(const Direction& d, int offset);
    void barline(const Barline& b, const char* location);
    void forward(int amount, int voice);
    void backup(int amount);

    const Document& doc_;
    XmlWriter x_;
};

void Writer::header() {
    if (!doc_.title.empty()) {
        x_.start("work");
        x_.leaf("work-title", doc_.title);
        x_.end();
        x_.leaf("movement-title", doc_.title);
    }
    x_.start("identification");
    if (!doc_.composer.empty()) x_.leaf("creator", doc_.composer, {{"type", "composer"}});
    if (!doc_.lyricist.empty()) x_.leaf("creator", doc_.lyricist, {{"type", "lyricist"}});
    x_.start("encoding");
    x_.leaf("software", kSoftware);
    x_.end();
    x_.end();
    x_.start("defaults");
    x_.start("scaling");
    x_.leaf("millimeters", XmlDecimal(doc_.millimetres));
    x_.leaf("tenths", "40");
    x_.end();
    x_.start("page-layout");
    x_.leaf("page-height", XmlDecimal(doc_.pageHeight));
    x_.leaf("page-width", XmlDecimal(doc_.pageWidth));
    auto margins = [this](const char* type, double left, double right) {
        x_.start("page-margins", {{"type", type}});
        x_.leaf("left-margin", XmlDecimal(left));
        x_.leaf("right-margin", XmlDecimal(right));
        x_.leaf("top-margin", XmlDecimal(doc_.top));
        x_.leaf("bottom-margin", XmlDecimal(doc_.bottom));
        x_.end();
    };
    if (doc_.facing) {
        margins("odd", doc_.left + doc_.gutter, doc_.right);
        margins("even", doc_.left, doc_.right + doc_.gutter);
    } else {
        margins("both", doc_.left + doc_.gutter, doc_.right);
    }
    x_.end();
    x_.end();
    auto credit = [this](const char* type, const std::string& words, double x, double y,
                         const char* justify, int size) {
        if (words.empty()) return;
        x_.start("credit", {{"page", "1"}});
        x_.leaf("credit-type", type);
        x_.leaf("credit-words", words,
                {{"default-x", XmlDecimal(x)},
                 {"default-y", XmlDecimal(y)},
                 {"justify", justify},
                 {"valign", "top"},
                 {"font-size", Num(size)}});
        x_.end();
    };
    const double top = doc_.pageHeight - doc_.top;
    credit("title", doc_.title, doc_.pageWidth / 2, top, "center", doc_.titleSize);
    const double below = top - doc_.titleSize * kTenthsPerPoint;
    credit("composer", doc_.composer, doc_.pageWidth - doc_.right, below, "right", doc_.creditSize);
    credit("lyricist", doc_.lyricist, doc_.pageWidth - doc_.right, below, "right", doc_.creditSize);
}

void Writer::partList() {
    x_.start("part-list");
    for (std::size_t p = 0; p < doc_.parts.size(); ++p) {
        for (std::size_t g = 0; g < doc_.groups.size(); ++g)
            if (doc_.groups[g].first == static_cast<int>(p)) {
                x_.start("part-group", {{"type", "start"}, {"number", Num(g + 1)}});
                x_.leaf("group-symbol", doc_.groups[g].symbol);
                x_.leaf("group-barline", doc_.groups[g].barline ? "yes" : "no");
                x_.end();
            }
        const Part& part = doc_.parts[p];
        const std::string id = PartId(p);
        x_.start("score-part", {{"id", id}});
        x_.leaf("part-name", part.name);
        if (part.program >= 1 && part.program <= 128) {
            x_.start("score-instrument", {{"id", id + "-I1"}});
            x_.leaf("instrument-name", part.name);
            x_.end();
            x_.start("midi-instrument", {{"id", id + "-I1"}});
            x_.leaf("midi-program", part.program);
            x_.end();
        }
        x_.end();
        for (std::size_t g = 0; g < doc_.groups.size(); ++g)
            if (doc_.groups[g].last == static_cast<int>(p))
                x_.empty("part-group", {{"type", "stop"}, {"number", Num(g + 1)}});
    }
    x_.end();
}

void Writer::attributes(const Attributes& a, bool first) {
    x_.start("attributes");
    if (first) x_.leaf("divisions", doc_.divisions);
    if (a.key) {
        x_.start("key");
        x_.leaf("fifths", *a.key);
        x_.end();
    }
    if (a.time) {
        if (a.time->symbol)
            x_.start("time", {{"symbol", a.time->symbol}});
        else
            x_.start("time");
        x_.leaf("beats", a.time->beats);
        x_.leaf("beat-type", a.time->beatType);
        x_.end();
    }
    if (a.clef) {
        static constexpr const char* kSigns[5] = {"G", "F", "C", "C", "percussion"};
        static constexpr int kLines[5] = {2, 4, 3, 4, 0};
        const int type = std::clamp(a.clef->type, 0, 4);
        x_.start("clef");
        x_.leaf("sign", kSigns[type]);
        if (kLines[type]) x_.leaf("line", kLines[type]);
        if (a.clef->octave) x_.leaf("clef-octave-change", a.clef->octave);
        x_.end();
    }
    if (a.lines || a.small) {
        x_.start("staff-details");
        if (a.lines) x_.leaf("staff-lines", a.lines);
        if (a.small) x_.leaf("staff-size", "62.5");
        x_.end();
    }
    if (a.transpose && (*a.transpose != 0 || !first)) {
        // Diatonic steps to go with the semitones: a major second is one step.
        const int chromatic = *a.transpose;
        const int diatonic = static_cast<int>(std::lround(chromatic * 7.0 / 12));
        x_.start("transpose");
        x_.leaf("diatonic", diatonic);
        x_.leaf("chromatic", chromatic);
        x_.end();
    }
    x_.end();
}

void Writer::forward(int amount, int voice) {
    if (amount <= 0) return;
    x_.start("forward");
    x_.leaf("duration", amount);
    x_.leaf("voice", voice);
    x_.end();
}

void Writer::backup(int amount) {
    if (amount <= 0) return;
    x_.start("backup");
    x_.leaf("duration", amount);
    x_.end();
}

void Writer::note(const Note& n) {
    x_.start("note");
    if (n.grace) {
        if (n.slash)
            x_.empty("grace", {{"slash", "yes"}});
        else
            x_.empty("grace");
    }
    if (n.chord) x_.empty("chord");
    if (n.rest) {
        if (n.measureRest)
            x_.empty("rest", {{"measure", "yes"}});
        else
            x_.empty("rest");
    } else {
        x_.start("pitch");
        x_.leaf("step", std::string(1, n.step));
        if (n.alter) x_.leaf("alter", n.alter);
        x_.leaf("octave", std::clamp(n.octave, 0, 9));
        x_.end();
    }
    if (!n.grace) x_.leaf("duration", n.duration);
    if (n.tieStop) x_.empty("tie", {{"type", "stop"}});
    if (n.tieStart) x_.empty("tie", {{"type", "start"}});
    x_.leaf("voice", n.voice);
    if (!n.measureRest) {
        if (n.cue)
            x_.leaf("type", kTypes[n.value], {{"size", "cue"}});
        else
            x_.leaf("type", kTypes[n.value]);
        for (int d = 0; d < n.dots; ++d)
            x_.empty("dot");
    }
    if (n.accidental) {
        std::vector<XmlAttr> attrs;
        if (n.accidentalParentheses) attrs.push_back({"parentheses", "yes"});
        if (n.accidentalSmall) attrs.push_back({"size", "cue"});
        x_.leaf("accidental", kAccidentals[std::clamp(*n.accidental, -2, 2) + 2], attrs);
    }
    if (n.actual > 0 && n.normal > 0) {
        x_.start("time-modification");
        x_.leaf("actual-notes", n.actual);
        x_.leaf("normal-notes", n.normal);
        x_.end();
    }
    if (!n.rest && n.stem >= 0 && n.stem <= 2) x_.leaf("stem", kStems[n.stem]);
    if (n.head == 3)
        x_.leaf("notehead", "normal", {{"filled", "no"}});
    else if (const char* head = Notehead(n.head))
        x_.leaf("notehead", head);
    for (const Beam& b : n.beams)
        x_.leaf("beam", b.type, {{"number", Num(b.level)}});
    notations(n);
    for (const Lyric& l : n.lyrics) {
        x_.start("lyric", {{"number", Num(l.verse)}});
        x_.leaf("syllabic", kSyllabic[static_cast<int>(l.syllabic)]);
        x_.leaf("text", l.text);
        x_.end();
    }
    x_.end();
}

void Writer::notations(const Note& n) {
    // Head-side marks go opposite the stem; tail-side ones beside it.
    const char* head = n.above ? "above" : "below";
    const char* tail = n.above ? "below" : "above";
    std::vector<std::pair<const char*, const char*>> articulations;
    if (n.staccato == 1 || n.staccato == 3)
        articulations.push_back({"staccato", n.staccato == 1 ? head : tail});
    if (n.staccato == 2 || n.staccato == 4)
        articulations.push_back({"staccatissimo", n.staccato == 2 ? head : tail});
    static constexpr const char* kEmphasis[4] = {nullptr, "tenuto", "accent", "strong-accent"};
    if (n.emphasis >= 1 && n.emphasis <= 6)
        articulations.push_back(
            {kEmphasis[(n.emphasis - 1) % 3 + 1], n.emphasis <= 3 ? head : tail});
    const bool any = n.tieStart || n.tieStop || !n.marks.empty() || !articulations.empty() ||
                     n.fermata || n.trill || n.arpeggio || n.tremolo > 0;
    if (!any) return;
    x_.start("notations");
    if (n.tieStop) x_.empty("tied", {{"type", "stop"}});
    if (n.tieStart) x_.empty("tied", {{"type", "start"}});
    for (const NoteMark& m : n.marks) {
        const char* type = m.start ? "start" : "stop";
        if (m.kind == NoteMark::Slur)
            x_.empty("slur", {{"type", type},
                              {"number", Num(m.number)},
                              {"placement", m.above ? "above" : "below"}});
        else
            x_.empty("tuplet", {{"type", type}, {"number", Num(m.number)}});
    }
    if (n.trill || n.tremolo > 0) {
        x_.start("ornaments");
        if (n.trill) x_.empty("trill-mark");
        if (n.tremolo > 0) x_.leaf("tremolo", Num(n.tremolo), {{"type", "single"}});
        x_.end();
    }
    if (!articulations.empty()) {
        x_.start("articulations");
        for (const auto& [name, placement] : articulations)
            x_.empty(name, {{"placement", placement}});
        x_.end();
    }
    if (n.fermata) x_.empty("fermata", {{"type", n.fermataInverted ? "inverted" : "upright"}});
    if (n.arpeggio) x_.empty("arpeggiate");
    x_.end();
}

void Writer::direction(const Direction& d, int offset) {
    x_.start("direction", {{"placement", d.above ? "above" : "below"}});
    x_.start("direction-type");
    switch (d.kind) {
        case Direction::Words: {
            std::vector<XmlAttr> attrs;
            if (!d.fontFamily.empty()) attrs.push_back({"font-family", d.fontFamily});
            if (d.fontSize > 0) attrs.push_back({"font-size", Num(d.fontSize)});
            if (d.italic) attrs.push_back({"font-style", "italic"});
            if (d.bold) attrs.push_back({"font-weight", "bold"});
            x_.leaf("words", d.text, attrs);
            break;
        }
        case Direction::Dynamic:
            x_.start("dynamics");
            x_.empty(d.text);
            x_.end();
            break;
        case Direction::Wedge:
            x_.empty("wedge", {{"type", d.text}, {"number", Num(d.number)}});
            break;
        case Direction::OctaveShift:
            x_.empty("octave-shift",
                     {{"type", d.text}, {"number", Num(d.number)}, {"size", Num(d.size)}});
            break;
        case Direction::Pedal:
            x_.empty("pedal", {{"type", d.text}});
            break;
        case Direction::Segno:
            x_.empty("segno");
            break;
    }
    x_.end();
    if (offset != 0) x_.leaf("offset", offset);
    x_.end();
}

void Writer::barline(const Barline& b, const char* location) {
    if (!b.any()) return;
    x_.start("barline", {{"location", location}});
    if (b.style) x_.leaf("bar-style", b.style);
    if (b.ending && b.endingType) {
        if (std::string(b.endingType) == "start")
            x_.leaf("ending", b.endingText, {{"number", Num(b.ending)}, {"type", b.endingType}});
        else
            x_.empty("ending", {{"number", Num(b.ending)}, {"type", b.endingType}});
    }
    if (b.repeat)
        x_.empty("repeat",
                 {{"direction", std::string(location) == "left" ? "forward" : "backward"}});
    x_.end();
}

void Writer::measure(int p, std::size_t m) {
    const Measure& me = doc_.measures[m];
    const PartMeasure& pm = doc_.parts[p].measures[m];
    std::vector<XmlAttr> attrs = {{"number", me.number}};
    if (me.implicit) attrs.push_back({"implicit", "yes"});
    if (me.width > 0) attrs.push_back({"width", XmlDecimal(me.width, 2)});
    x_.start("measure", attrs);
    if (me.newPage)
        x_.empty("print", {{"new-page", "yes"}});
    else if (me.newSystem)
        x_.empty("print", {{"new-system", "yes"}});
    barline(me.left, "left");
    std::size_t a = 0;
    if (m == 0 || (!pm.attributes.empty() && pm.attributes.front().pos == 0)) {
        if (a < pm.attributes.size() && pm.attributes[a].pos == 0)
            attributes(pm.attributes[a++], m == 0);
        else
            attributes(Attributes{}, true);
    }
    if (m == 0 && p == 0 && doc_.tempo > 0) x_.empty("sound", {{"tempo", Num(doc_.tempo)}});
    // The first voice carries the directions and any change of clef or key
    // within the measure; each further voice starts again from the bar line.
    int cursor = 0;
    std::size_t d = 0;
    auto pending = [&](int upTo) {
        for (; a < pm.attributes.size() && pm.attributes[a].pos <= upTo; ++a) {
            forward(pm.attributes[a].pos - cursor, 1);
            cursor = std::max(cursor, pm.attributes[a].pos);
            attributes(pm.attributes[a], false);
        }
        for (; d < pm.directions.size() && pm.directions[d].pos <= upTo; ++d) {
            const Direction& dir = pm.directions[d];
            if (dir.pos > cursor) {
                forward(dir.pos - cursor, 1);
                cursor = dir.pos;
            }
            direction(dir, dir.pos - cursor);
        }
    };
    int voice = 0;
    for (const Note& n : pm.notes) {
        if (n.voice != voice) {
            if (voice == 1) pending(me.length);
            if (voice != 0) {
                forward(me.length - cursor, voice);
                backup(std::max(cursor, me.length));
                cursor = 0;
            }
            voice = n.voice;
        }
        if (voice == 1) pending(n.pos);
        if (!n.chord && n.pos > cursor) {
            forward(n.pos - cursor, voice);
            cursor = n.pos;
        }
        note(n);
        if (!n.chord && !n.grace) cursor += n.duration;
    }
    if (voice <= 1) pending(me.length);
    if (voice != 0) forward(me.length - cursor, voice);
    barline(me.right, "right");
    x_.end();
}

std::string Writer::run() {
    constexpr std::size_t kBytesPerNote = 280;  // a note element as written, with room to spare
    std::size_t notes = 0;
    for (const Part& part : doc_.parts)
        for (const PartMeasure& pm : part.measures)
            notes += pm.notes.size() + pm.directions.size() + 1;
    x_.reserve(notes * kBytesPerNote);
    x_.start("score-partwise", {{"version", "4.0"}});
    header();
    partList();
    for (std::size_t p = 0; p < doc_.parts.size(); ++p) {
        x_.start("part", {{"id", PartId(p)}});
        for (std::size_t m = 0; m < doc_.measures.size(); ++m)
            measure(static_cast<int>(p), m);
        x_.end();
    }
    x_.end();
    return x_.take();
}

}  // namespace

std::string Write(const Document& doc) {
    return Writer(doc).run();
}

}  // namespace mxl

MusicXmlResult ExportMusicXml(const Score& score, Host& host, const TextMeasurer& measurer) {
    mxl::Document doc = mxl::Scan(score, host, measurer);
    MusicXmlResult r;
    r.xml = mxl::Write(doc);
    r.skipped = std::move(doc.skipped);
    r.warnings = std::move(doc.warnings);
    return r;
}

std::string MusicXmlContainer(const std::string& xml) {
    static constexpr const char* kContainer =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<container>\n"
        "  <rootfiles>\n"
        "    <rootfile full-path=\"score.musicxml\" "
        "media-type=\"application/vnd.recordare.musicxml+xml\"/>\n"
        "  </rootfiles>\n"
        "</container>\n";
    // The media type comes first and stored, as the container format asks.
    const std::optional<std::string> zip =
        StoredZip({{"mimetype", "application/vnd.recordare.musicxml"},
                   {"META-INF/container.xml", kContainer},
                   {"score.musicxml", xml}});
    return zip ? *zip : std::string();
}

bool IsCompressedMusicXml(const std::string& path) {
    return HasExtension(path, ".mxl");
}

int SaveMusicXml(const std::string& path, const MusicXmlResult& result, FileIo& io) {
    if (!IsCompressedMusicXml(path)) return WriteFileAtomically(path, result.xml, io);
    const std::string zip = MusicXmlContainer(result.xml);
    if (zip.empty()) return EFBIG;
    return WriteFileAtomically(path, zip, io);
}

}  // namespace sw
