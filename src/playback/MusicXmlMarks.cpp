// The MusicXML export's scan of the marks: symbols, slurs, beams, tuplets,
// hairpins and octave lines, the title, the page and the part groups.
#include "playback/MusicXmlScanner.h"

namespace sw::mxl::scan {

namespace {

bool IsDynamic(const std::string& name) {
    static const std::set<std::string> kDynamics = {"ppp", "pp",  "p",  "mp",  "mf", "f",
                                                    "ff",  "fff", "sf", "sfz", "fz"};
    return kDynamics.count(name) > 0;
}

}  // namespace

void Scanner::symbol(int p, int s, int i, int m) {
    const StaveBlock& b = score_.stave(s);
    const ScoreObject& o = b.obj[i];
    const bool above = o.y < b.h.Ycoord;
    if (o.kind == kOther) {
        // An arpeggio stands just left of its chord.
        for (int c : staveChords_[s])
            if (chords_[c].x >= o.x && chords_[c].x - o.x <= 2 * kNearNote) {
                flags_[c].arpeggio = true;
                return;
            }
        skip(0, 1, "arpeggio");
        return;
    }
    const std::string name = Lower(GlyphBaseName(o.glyph));
    Direction d;
    d.pos = posNear(m, o.x);
    d.above = above;
    if (IsDynamic(name)) {
        d.kind = Direction::Dynamic;
        d.text = name;
    } else if (o.kind == kTrill && o.data.trill.count > 0) {
        skip(msg::MusicXmlRows, 1);
        return;
    } else if (name == "holdup" || name == "holddn" || name == "tr") {
        const int c = chordNear(s, o.x, kNearNote);
        if (c < 0) {
            skip(0, 1, GlyphBaseName(o.glyph));
            return;
        }
        NoteFlags& f = flags_[c];
        if (name == "tr") {
            f.trill = true;
        } else {
            f.fermata = true;
            f.inverted = name == "holddn";
        }
        return;
    } else if (name == "ped" || name == "star") {
        d.kind = Direction::Pedal;
        d.text = name == "ped" ? "start" : "stop";
    } else if (name.rfind("segno", 0) == 0) {
        d.kind = Direction::Segno;
    } else {
        skip(0, 1, GlyphBaseName(o.glyph));
        return;
    }
    doc_.parts[p].measures[m].directions.push_back(d);
}

// A curve from one note to another is a slur; one that leaves the system at
// its right end is continued by the first curve of the next system that
// comes in from the left.
void Scanner::curve(int p, int s, int i) {
    const StaveBlock& b = score_.stave(s);
    std::vector<int> anchors = {i};
    while (static_cast<int>(anchors.size()) < kMaxObjects) {
        const int n = b.obj[anchors.back()].data.curve.nextAnchor;
        if (!b.validIndex(n) || b.obj[n].kind != kCurve ||
            std::find(anchors.begin(), anchors.end(), n) != anchors.end())
            break;
        anchors.push_back(n);
    }
    const ScoreObject& a = b.obj[anchors.front()];
    const ScoreObject& z = b.obj[anchors.back()];
    if (anchors.size() < 2) {
        skip(msg::MusicXmlLooseCurves, 1);
        return;
    }
    const ScoreObject& mid = b.obj[anchors[anchors.size() / 2]];
    const bool above = mid.y < (a.y + z.y) / 2;
    const int from = chordNear(s, a.x, kNearNote), to = chordNear(s, z.x, kNearNote);
    Spanner sp;
    sp.part = p;
    sp.kind = 0;
    sp.above = above;
    if (from >= 0 && to >= 0 && chords_[from].x < chords_[to].x) {
        sp.startChord = from;
        sp.stopChord = to;
    } else if (from >= 0 && to < 0 && z.x >= b.h.RightX - 2 * kNearNote) {
        openSlurs_[p] = from;
        return;
    } else if (from < 0 && to >= 0 && openSlurs_[p] >= 0 && a.x <= chords_[to].x) {
        sp.startChord = openSlurs_[p];
        sp.stopChord = to;
        openSlurs_[p] = -1;
    } else {
        skip(msg::MusicXmlLooseCurves, 1);
        return;
    }
    sp.fromMeasure = chords_[sp.startChord].measure;
    sp.fromPos = chords_[sp.startChord].pos;
    sp.toMeasure = chords_[sp.stopChord].measure;
    sp.toPos = chords_[sp.stopChord].pos;
    spanners_.push_back(sp);
}

// ---------------------------------------------------------------------------
// After the staves: order, beams, tuplets, marks

void Scanner::finish() {
    for (Part& part : doc_.parts)
        for (std::size_t m = 0; m < part.measures.size(); ++m) {
            std::vector<Note>& notes = part.measures[m].notes;
            std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
                if (a.voice != b.voice) return a.voice < b.voice;
                if (a.pos != b.pos) return a.pos < b.pos;
                return a.grace && !b.grace;
            });
            const bool sounding =
                std::any_of(notes.begin(), notes.end(), [](const Note& n) { return !n.grace; });
            if (!sounding && doc_.measures[m].length > 0) {
                Note rest;
                rest.rest = rest.measureRest = true;
                rest.duration = doc_.measures[m].length;
                notes.insert(notes.begin(), rest);
            }
        }
    for (Part& part : doc_.parts)
        for (PartMeasure& pm : part.measures)
            for (std::size_t i = 0; i < pm.notes.size(); ++i) {
                const Note& n = pm.notes[i];
                if (n.chordId >= 0 && !n.chord && !n.grace)
                    chords_[n.chordId].note = static_cast<int>(i);
            }
}

Note* Scanner::firstNote(int c) {
    const Chord& chord = chords_[c];
    if (chord.note < 0) return nullptr;
    return &doc_.parts[chord.part].measures[chord.measure].notes[chord.note];
}

void Scanner::beams() {
    auto linked = [this](int c, bool back) {
        const Chord& chord = chords_[c];
        const StaveBlock& b = score_.stave(chord.stave);
        for (int r : chord.records) {
            const ScoreObject* o = original(perf_.records[r]);
            if (!o) continue;
            const NoteData& d = o->note();
            const int link = back ? d.beamBackTo : d.beamOnTo;
            const bool across =
                back ? (d.beamBackUp || d.beamBackDown) : (d.beamOnUp || d.beamOnDown);
            if (across || !b.validIndex(link)) continue;
            const int t = recordOf_[chord.stave * 256 + link];
            const int other = t >= 0 ? chordOf_[t] : -1;
            if (other >= 0 && other != c && chords_[other].part == chord.part &&
                chords_[other].voice == chord.voice)
                return other;
        }
        return -1;
    };
    auto levels = [this](int c) {
        const Note* n = firstNote(c);
        if (!n || n->rest) return 0;
        int l = std::max(0, n->value - 3);
        const ScoreObject* o = original(perf_.records[chords_[c].records.front()]);
        if (o && o->note().singleBeam) l = std::min(l, 1);
        return l;
    };
    for (std::size_t c = 0; c < chords_.size(); ++c) {
        chords_[c].prev = linked(static_cast<int>(c), true);
        chords_[c].next = linked(static_cast<int>(c), false);
    }
    for (std::size_t c = 0; c < chords_.size(); ++c) {
        const Chord& chord = chords_[c];
        Note* n = firstNote(static_cast<int>(c));
        const int own = levels(static_cast<int>(c));
        if (!n || own == 0 || (chord.prev < 0 && chord.next < 0)) continue;
        const int before = chord.prev >= 0 ? levels(chord.prev) : 0;
        const int after = chord.next >= 0 ? levels(chord.next) : 0;
        for (int l = 1; l <= std::min(own, 8); ++l) {
            const bool b = before >= l, a = after >= l;
            const char* type = b && a            ? "continue"
                               : a               ? "begin"
                               : b               ? "end"
                               : chord.next >= 0 ? "forward hook"
                                                 : "backward hook";
            n->beams.push_back(Beam{l, type});
        }
    }
}

// Tuplet brackets: a run of notes of one ratio, closed when it fills the
// time of its `normal` notes.
void Scanner::tuplets() {
    for (Part& part : doc_.parts)
        for (PartMeasure& pm : part.measures) {
            Note* start = nullptr;
            Note* last = nullptr;
            double filled = 0, whole = 0;
            auto close = [&]() {
                if (start && last && start != last) {
                    start->marks.push_back(NoteMark{NoteMark::Tuplet, true, 1, true});
                    last->marks.push_back(NoteMark{NoteMark::Tuplet, false, 1, true});
                }
                start = last = nullptr;
                filled = 0;
            };
            for (Note& n : pm.notes) {
                if (n.chord || n.grace) continue;
                if (start && (n.voice != start->voice || n.actual != start->actual ||
                              n.normal != start->normal))
                    close();
                if (n.actual == 0) continue;
                if (!start) {
                    start = &n;
                    whole = n.normal * ValueLength(n.value);
                }
                last = &n;
                filled += static_cast<double>(n.duration) / doc_.divisions;
                if (filled >= whole - kEpsilon) close();
            }
            close();
        }
}

void Scanner::marks() {
    for (const auto& [c, list] : lyrics_)
        if (Note* n = firstNote(c)) n->lyrics = list;
    for (const auto& [c, f] : flags_) {
        Note* n = firstNote(c);
        if (!n) continue;
        n->fermata = f.fermata;
        n->fermataInverted = f.inverted;
        n->trill = f.trill;
        if (f.arpeggio) {
            const Chord& chord = chords_[c];
            for (Note& m : doc_.parts[chord.part].measures[chord.measure].notes)
                if (m.chordId == c) m.arpeggio = true;
        }
    }
}

void Scanner::spanners() {
    std::vector<std::size_t> order(spanners_.size());
    std::iota(order.begin(), order.end(), 0);
    auto at = [](int m, int pos) { return static_cast<long long>(m) * INT_MAX + pos; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const Spanner &x = spanners_[a], &y = spanners_[b];
        if (x.part != y.part) return x.part < y.part;
        return at(x.fromMeasure, x.fromPos) < at(y.fromMeasure, y.fromPos);
    });
    std::map<std::pair<int, int>, std::vector<std::pair<long long, int>>> active;
    for (std::size_t index : order) {
        const Spanner& sp = spanners_[index];
        auto& open = active[{sp.part, sp.kind}];
        const long long from = at(sp.fromMeasure, sp.fromPos);
        open.erase(std::remove_if(open.begin(), open.end(),
                                  [from](const auto& e) { return e.first <= from; }),
                   open.end());
        int number = 1;
        while (number < kNumbers && std::any_of(open.begin(), open.end(), [number](const auto& e) {
                   return e.second == number;
               }))
            ++number;
        open.push_back({at(sp.toMeasure, sp.toPos), number});
        if (sp.kind == 0) {
            Note* a = firstNote(sp.startChord);
            Note* z = firstNote(sp.stopChord);
            if (!a || !z) continue;
            a->marks.push_back(NoteMark{NoteMark::Slur, true, number, sp.above});
            z->marks.push_back(NoteMark{NoteMark::Slur, false, number, sp.above});
            continue;
        }
        Direction start, stop;
        start.kind = stop.kind = sp.kind == 1 ? Direction::Wedge : Direction::OctaveShift;
        start.above = stop.above = sp.above;
        start.number = stop.number = number;
        start.size = stop.size = sp.size;
        start.text = sp.type;
        stop.text = "stop";
        start.pos = sp.fromPos;
        stop.pos = sp.toPos;
        doc_.parts[sp.part].measures[sp.fromMeasure].directions.push_back(start);
        doc_.parts[sp.part].measures[sp.toMeasure].directions.push_back(stop);
    }
    for (Part& part : doc_.parts)
        for (PartMeasure& pm : part.measures)
            std::stable_sort(pm.directions.begin(), pm.directions.end(),
                             [](const Direction& a, const Direction& b) { return a.pos < b.pos; });
}

// ---------------------------------------------------------------------------
// The page, the title, the part list

void Scanner::page() {
    const PageData& pg = score_.page;
    const double stave = std::clamp(score_.staveSize, kMinStaveSize, kMaxStaveSize);
    const double tenths = 40.0 / stave;  // a stave is 40 tenths high
    doc_.millimetres = stave * 25.4;
    doc_.pageWidth = pg.Width * tenths;
    doc_.pageHeight = pg.Length * tenths;
    doc_.left = pg.LeftM * tenths;
    doc_.right = pg.RightM * tenths;
    doc_.top = (pg.TopM + pg.Header) * tenths;
    doc_.bottom = (pg.BotM + pg.Footer) * tenths;
    doc_.gutter = pg.GutM * tenths;
    doc_.facing = pg.Facing;
    doc_.tempo = score_.Tempo != 0 ? score_.Tempo : 120;
}

// The largest text above the first system (or in the header) is the title;
// one ending towards the right is the composer, or the lyricist when it says so.
void Scanner::titles() {
    struct Candidate {
        int s, i;
        std::string text;
        int size;
        int32_t x, y, width;
    };
    std::vector<Candidate> found;
    auto consider = [&](int s, int i) {
        const StaveBlock& b = score_.stave(s);
        const ScoreObject& o = b.obj[i];
        if (!HasTextLayout(o.kind) || (o.text().textFlags & 0x80)) return;
        const std::string raw = ChainText(b, i);
        if (raw.find('@') != std::string::npos) return;  // page numbers, file names
        const std::string t = text(b, i);
        if (t.empty()) return;
        const TextFont font = fontOf(o.text().fontNumber);
        found.push_back({s, i, t, font.pointSize, o.x, o.y, measurer_.width(font, raw)});
    };
    int headerTexts = 0;
    const StaveBlock& zero = score_.stave(0);
    for (int i = 1; i <= zero.count(); ++i) {
        const ScoreObject& o = zero.obj[i];
        if (!IsTextLike(o.kind) || (o.text().textFlags & 0x80)) continue;
        ++headerTexts;
        if (o.kind == kHeadertext) consider(0, i);
    }
    int32_t left = 0, right = 0;
    if (!systems_.empty()) {
        const StaveHeader& top = score_.stave(systems_[0].first).h;
        left = top.LeftX;
        right = top.RightX;
        for (int s = systems_[0].first; s <= systems_[0].last; ++s) {
            const StaveBlock& b = score_.stave(s);
            for (int i = 1; i <= b.count(); ++i)
                if ((b.obj[i].kind == kText || b.obj[i].kind == kText9) &&
                    b.obj[i].y < top.Ycoord - kStaveHalf - kStaveHalf)
                    consider(s, i);
        }
    }
    int title = -1, composer = -1;
    for (std::size_t c = 0; c < found.size(); ++c)
        if (title < 0 || found[c].size > found[title].size ||
            (found[c].size == found[title].size && found[c].y < found[title].y))
            title = static_cast<int>(c);
    for (std::size_t c = 0; c < found.size(); ++c) {
        if (static_cast<int>(c) == title) continue;
        const Candidate& f = found[c];
        if (f.x + f.width / 2 > (left + right) / 2 &&
            (composer < 0 || f.x + f.width > found[composer].x + found[composer].width))
            composer = static_cast<int>(c);
    }
    auto take = [&](int c, std::string& into) {
        if (c < 0) return;
        into = found[c].text;
        if (found[c].s == 0)
            --headerTexts;
        else
            consumed_.insert({found[c].s, found[c].i});
    };
    take(title, doc_.title);
    if (title >= 0 && found[title].size > 0) doc_.titleSize = found[title].size;
    if (composer >= 0 && found[composer].size > 0) doc_.creditSize = found[composer].size;
    if (composer >= 0) {
        const std::string l = Lower(found[composer].text);
        const bool words =
            l.rfind("words", 0) == 0 || l.rfind("lyrics", 0) == 0 || l.rfind("text", 0) == 0;
        take(composer, words ? doc_.lyricist : doc_.composer);
    }
    if (headerTexts > 0) skip(msg::MusicXmlHeaderTexts, headerTexts);
}

void Scanner::groups() {
    if (systems_.empty()) return;
    const System& sys = systems_[0];
    for (int s = sys.first; s <= sys.last; ++s) {
        const StaveHeader& h = score_.stave(s).h;
        const int p = s - sys.first;
        if (h.withBrace && s < sys.last)
            doc_.groups.push_back({p, p + 1, "brace", h.barlineThrough});
        if (h.withBracket) {
            int e = s;
            while (e < sys.last && score_.stave(e).h.bracketWithNext)
                ++e;
            doc_.groups.push_back({p, e - sys.first, "bracket", h.barlineThrough});
        }
    }
}

}  // namespace sw::mxl::scan
