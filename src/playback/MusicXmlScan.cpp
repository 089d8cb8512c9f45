// The MusicXML export's scan of the notes: the performance of a stamped copy
// of the score gives every note its onset and length; the staves give what
// the notes look like and what stands around them, placed in the measures by x.
#include "playback/MusicXmlScanner.h"

namespace sw::mxl {

namespace scan {

// ---------------------------------------------------------------------------
// The performance

namespace {

// Runs collect-only generation over the whole piece on a stamped copy, so that
// every record names the slot of its note in the user's score.
Performance Collect(const Score& score, Host& host, bool grace, std::unique_ptr<Score>* keep) {
    auto work = std::make_unique<Score>(score);
    for (int s = 1; s <= work->Nstaves; ++s) {
        StaveBlock& b = work->stave(s);
        for (int i = 1; i <= b.count(); ++i)
            if (b.obj[i].kind == kNote) {
                b.obj[i].note().working[0] = static_cast<uint8_t>(i);
                b.obj[i].note().working[1] = kStamp;
            }
    }
    PlaybackOptions o;
    o.collectOnly = true;
    o.range = PlayRange::Score;
    o.continueOn = true;
    o.firstStave = o.lastStave = 1;
    o.proximity = score.proximity;
    o.graceNotes = grace;
    o.everyHead = true;
    o.scratch = true;
    Performance perf;
    if (work->Nstaves >= 1) GeneratePerformance(*work, host, o, &perf);
    if (keep) *keep = std::move(work);
    return perf;
}

bool Stamped(const PerformanceRecord& r) {
    return r.kind == kRecordNote && r.note.working[1] == kStamp && !r.repeatStart && !r.repeatEnd &&
           !r.bracket;
}

}  // namespace

void Scanner::perform() {
    perf_ = Collect(score_, host_, false, &work_);
    recordOf_.assign((score_.Nstaves + 1) * 256, -1);
    for (std::size_t i = 0; i < perf_.records.size(); ++i) {
        const PerformanceRecord& r = perf_.records[i];
        if (!Stamped(r) || r.stave > score_.Nstaves) continue;
        recordOf_[r.stave * 256 + r.note.working[0]] = static_cast<int>(i);
        performed_ = true;
    }
    // Grace notes take no time in the written music: their pitches come from
    // a second performance that plays them.
    bool graces = false;
    for (int s = 1; s <= score_.Nstaves && !graces; ++s) {
        const StaveBlock& b = score_.stave(s);
        for (int i = 1; i <= b.count() && !graces; ++i)
            graces = b.obj[i].kind == kNote && (b.obj[i].note().headSize == kSmallHead ||
                                                b.obj[i].note().headSize == kAcciaccatura);
    }
    graceOf_.assign(recordOf_.size(), -1);
    if (!graces) return;
    grace_ = Collect(score_, host_, true, nullptr);
    for (std::size_t i = 0; i < grace_.records.size(); ++i) {
        const PerformanceRecord& r = grace_.records[i];
        if (Stamped(r) && r.stave <= score_.Nstaves)
            graceOf_[r.stave * 256 + r.note.working[0]] = static_cast<int>(i);
    }
}

const ScoreObject* Scanner::original(const PerformanceRecord& r) const {
    if (r.stave < 1 || r.stave > score_.Nstaves) return nullptr;
    const StaveBlock& b = score_.stave(r.stave);
    const int i = r.note.working[0];
    if (!b.validIndex(i) || b.obj[i].kind != kNote) return nullptr;
    return &b.obj[i];
}

// ---------------------------------------------------------------------------
// Systems and measures

void Scanner::findSystems() {
    for (int s = 1; s <= score_.Nstaves; ++s) {
        if (systems_.empty() || IsFirstStaveOfSystem(score_, s)) systems_.push_back({s, s});
        systems_.back().last = s;
        parts_ = std::max(parts_, s - systems_.back().first + 1);
    }
}

int Scanner::segmentOf(int k, int32_t x) const {
    const auto& bars = bars_[k];
    const auto it = std::lower_bound(bars.begin(), bars.end(), x,
                                     [](const auto& b, int32_t v) { return b.first < v; });
    return static_cast<int>(it - bars.begin());
}

// The measure holding x; a stretch without one gives its x to the next
// measure of the system, or else the one before.
int Scanner::measureOf(int k, int32_t x) const {
    const auto& segs = segments_[k];
    const int g = segmentOf(k, x);
    for (int i = g; i < static_cast<int>(segs.size()); ++i)
        if (segs[i].measure >= 0) return segs[i].measure;
    for (int i = g - 1; i >= 0; --i)
        if (segs[i].measure >= 0) return segs[i].measure;
    return -1;
}

namespace {

const char* StyleName(int style) {
    switch (style) {
        case kDouble:
            return "light-light";
        case kRepeatStart:
            return "heavy-light";
        case kRepeatEnd:
        case kRepeatBoth:
        case kFinal:
            return "light-heavy";
        case kDotted:
            return "dotted";
        case kDoubleDotted:
            return "dashed";
        case kHalf:
            return "short";
        default:
            return nullptr;
    }
}

}  // namespace

void Scanner::findMeasures() {
    segments_.resize(systems_.size());
    bars_.resize(systems_.size());
    int previousPage = -1;
    for (std::size_t k = 0; k < systems_.size(); ++k) {
        const System& sys = systems_[k];
        const StaveBlock& first = score_.stave(sys.first);
        for (int i = 1; i <= first.count(); ++i)
            if (first.obj[i].kind == kBarline) bars_[k].push_back({first.obj[i].x, i});
        std::stable_sort(bars_[k].begin(), bars_[k].end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Segment>& segs = segments_[k];
        segs.resize(bars_[k].size() + 1);
        for (std::size_t g = 0; g < segs.size(); ++g) {
            if (g > 0) {
                segs[g].from = bars_[k][g - 1].first;
                segs[g].opening = bars_[k][g - 1].second;
            }
            if (g < bars_[k].size()) {
                segs[g].to = bars_[k][g].first;
                segs[g].closing = bars_[k][g].second;
            }
        }
        std::vector<bool> notes(segs.size(), false);
        for (int s = sys.first; s <= sys.last; ++s) {
            const StaveBlock& b = score_.stave(s);
            for (int i = 1; i <= b.count(); ++i)
                if (b.obj[i].kind == kNote)
                    notes[segmentOf(static_cast<int>(k), b.obj[i].x)] = true;
        }
        bool firstOfSystem = true;
        // A system with nothing in it is still a bar: its first stretch.
        const bool empty = std::none_of(notes.begin(), notes.end(), [](bool n) { return n; }) &&
                           bars_[k].size() < 2;
        // A stretch before the system's first bar line is a bar of its own
        // (an empty one, or one of signatures) unless that line opens a repeat.
        auto closedBar = [&](std::size_t g) {
            if (g != 0 || bars_[k].empty()) return false;
            const int style = first.obj[bars_[k][0].second].data.barline.style;
            return style != kRepeatStart && style != kRepeatBoth;
        };
        for (std::size_t g = 0; g < segs.size(); ++g) {
            const bool bounded = (g > 0 && g < bars_[k].size()) || closedBar(g);
            if (!notes[g] && !bounded && !(empty && g == 0)) continue;
            segs[g].measure = static_cast<int>(doc_.measures.size());
            Measure m;
            m.system = static_cast<int>(k);
            m.fromX = g > 0 ? segs[g].from : first.h.LeftX;
            m.toX = g < bars_[k].size() ? segs[g].to : first.h.RightX;
            m.width = std::max(0, m.toX - m.fromX) * kTenthsPerPixel;
            if (firstOfSystem && !doc_.measures.empty()) {
                m.newSystem = true;
                m.newPage = first.h.PageNum != previousPage;
            }
            firstOfSystem = false;
            doc_.measures.push_back(m);
        }
        previousPage = first.h.PageNum;
    }
    // Bar lines: what closes a measure is its right bar line; a repeat
    // start belongs to the measure it opens.
    for (std::size_t k = 0; k < systems_.size(); ++k) {
        const StaveBlock& first = score_.stave(systems_[k].first);
        for (const Segment& g : segments_[k]) {
            if (g.measure < 0) continue;
            Measure& m = doc_.measures[g.measure];
            if (g.opening > 0) {
                const int style = first.obj[g.opening].data.barline.style;
                if (style == kRepeatStart || style == kRepeatBoth) {
                    m.left.style = "heavy-light";
                    m.left.repeat = true;
                }
            }
            if (g.closing > 0) {
                const int style = first.obj[g.closing].data.barline.style;
                if (style != kRepeatStart) m.right.style = StyleName(style);
                m.right.repeat = style == kRepeatEnd || style == kRepeatBoth;
            }
        }
    }
}

void Scanner::timeMeasures() {
    const std::size_t count = doc_.measures.size();
    std::vector<double> first(count, 1e300), last(count, -1e300);
    std::vector<bool> timed(count, false);
    for (const PerformanceRecord& r : perf_.records) {
        if (r.kind != kRecordNote || r.key.system < 0 ||
            r.key.system >= static_cast<int>(systems_.size()))
            continue;
        int32_t x = r.key.x;
        if (Stamped(r)) {
            const ScoreObject* o = original(r);
            if (!o) continue;
            x = o->x;
        }
        const int g = segmentOf(r.key.system, x);
        const int m = segments_[r.key.system][g].measure;
        if (m < 0) continue;
        timed[m] = true;
        first[m] = std::min(first[m], r.time);
        last[m] = std::max(last[m], r.time + r.own);
        if (r.own > 0) lengths_.push_back(r.own);
    }
    // The bar of the time signature in force, for measures the performance
    // leaves empty and for the check that a bar is not too long.
    double bar = 0;
    for (std::size_t k = 0, m = 0; k < systems_.size(); ++k) {
        const StaveBlock& b = score_.stave(systems_[k].first);
        for (const Segment& g : segments_[k]) {
            for (int i = 1; i <= b.count(); ++i) {
                const ScoreObject& o = b.obj[i];
                if ((o.kind == kTimesig || o.kind == kCommonTime) && o.x > g.from && o.x <= g.to) {
                    const TimesigData& t = o.data.timesig;
                    bar = o.kind == kCommonTime || t.sign != 0
                              ? 4
                              : t.numerator * 4.0 / (t.denominator == 0 ? 1 : t.denominator);
                }
            }
            if (g.measure >= 0) doc_.measures[m++].barQuarters = bar;
        }
    }
    for (std::size_t m = 0; m < count; ++m) {
        Measure& me = doc_.measures[m];
        if (timed[m]) {
            me.start = first[m];
        } else if (m > 0) {
            const Measure& p = doc_.measures[m - 1];
            me.start = timed[m - 1] ? last[m - 1] : p.start + p.quarters;
        }
        // Without a performance (no notes at all) every bar is a bar's rest.
        if (!performed_) me.quarters = me.barQuarters > 0 ? me.barQuarters : 4;
        if (m > 0 && performed_) {
            Measure& p = doc_.measures[m - 1];
            p.quarters = std::max(0.0, me.start - p.start);
        }
    }
    if (count > 0 && performed_) {
        Measure& l = doc_.measures.back();
        l.quarters = timed[count - 1] ? std::max(0.0, last[count - 1] - l.start) : 0;
    }
    for (std::size_t m = 0; m < count; ++m) {
        Measure& me = doc_.measures[m];
        lengths_.push_back(me.quarters);
        if (timed[m] && last[m] > me.start + me.quarters + kEpsilon)
            doc_.warnings.push_back(FormatMessage(msg::MusicXmlPastBarLine, static_cast<int>(m + 1),
                                                  systems_[me.system].first));
    }
}

// The smallest number of divisions of a crotchet that counts every length
// in whole divisions.
void Scanner::chooseDivisions() {
    std::sort(lengths_.begin(), lengths_.end());
    lengths_.erase(std::unique(lengths_.begin(), lengths_.end(),
                               [](double a, double b) { return std::abs(a - b) < kEpsilon; }),
                   lengths_.end());
    long long d = 1;
    bool exact = true;
    for (double q : lengths_) {
        if (q <= 0) continue;
        int k = 1;
        for (; k <= 1024; ++k) {
            const double v = q * static_cast<double>(d) * k;
            if (std::abs(v - std::round(v)) < 1e-6 * std::max(1.0, v)) break;
        }
        if (k > 1024 || d * k > kMaxDivisions) {
            exact = false;
            continue;
        }
        d *= k;
    }
    doc_.divisions = static_cast<int>(d);
    if (!exact) doc_.warnings.push_back(MessageText(msg::MusicXmlRounded));
    for (std::size_t m = 0; m < doc_.measures.size(); ++m) {
        Measure& me = doc_.measures[m];
        me.length = static_cast<int>(std::lround(me.quarters * d));
    }
    // Numbers: a short first bar is a pickup, counted as bar 0.
    int number = 1;
    for (std::size_t m = 0; m < doc_.measures.size(); ++m) {
        Measure& me = doc_.measures[m];
        if (m == 0 && doc_.measures.size() > 1 && me.barQuarters > 0 &&
            me.quarters < me.barQuarters - kEpsilon && me.quarters > 0) {
            me.implicit = true;
            me.number = "0";
            continue;
        }
        if (me.barQuarters > 0 && me.quarters > me.barQuarters + kEpsilon)
            doc_.warnings.push_back(FormatMessage(msg::MusicXmlBarTooLong, number));
        me.number = std::to_string(number++);
    }
}

// ---------------------------------------------------------------------------
// Chords: the records of one voice at one x

void Scanner::buildChords() {
    chordOf_.assign(perf_.records.size(), -1);
    staveChords_.assign(score_.Nstaves + 1, {});
    measureEntries_.assign(doc_.measures.size(), {});
    const PerformanceRecord* previous = nullptr;
    int current = -1;
    for (std::size_t i = 0; i < perf_.records.size(); ++i) {
        const PerformanceRecord& r = perf_.records[i];
        if (!Stamped(r)) continue;
        const ScoreObject* o = original(r);
        if (!o || r.key.system < 0 || r.key.system >= static_cast<int>(systems_.size())) continue;
        const int m = measureOf(r.key.system, o->x);
        if (m < 0) continue;
        const int p = r.stave - systems_[r.key.system].first;
        if (current >= 0 && previous && previous->key == r.key && previous->voice == r.voice &&
            previous->stave == r.stave) {
            chords_[current].records.push_back(static_cast<int>(i));
        } else {
            Chord c;
            c.part = p;
            c.measure = m;
            c.voice = std::clamp(r.voice - 2 * p, 1, 2);
            c.stave = r.stave;
            c.x = o->x;
            c.pos =
                static_cast<int>(std::lround((r.time - doc_.measures[m].start) * doc_.divisions));
            c.records = {static_cast<int>(i)};
            chords_.push_back(c);
            current = static_cast<int>(chords_.size()) - 1;
            staveChords_[r.stave].push_back(current);
            measureEntries_[m].push_back({c.x, c.pos});
        }
        chordOf_[i] = current;
        previous = &r;
    }
    for (auto& list : staveChords_)
        std::stable_sort(list.begin(), list.end(),
                         [this](int a, int b) { return chords_[a].x < chords_[b].x; });
    for (auto& list : measureEntries_)
        std::sort(list.begin(), list.end());
}

// The chord on stave s whose head lies nearest x, within `reach`; -1 for none.
int Scanner::chordNear(int s, int32_t x, int32_t reach) const {
    int best = -1;
    int32_t bestDistance = reach + 1;
    for (int c : staveChords_[s]) {
        const int32_t d = std::abs(chords_[c].x + kHeadCentre - x);
        if (d < bestDistance) {
            best = c;
            bestDistance = d;
        }
    }
    return best;
}

// Where x falls in measure m: with the note it stands by, or between the
// notes around it.
int Scanner::posNear(int m, int32_t x) const {
    const Measure& me = doc_.measures[m];
    const auto& entries = measureEntries_[m];
    auto it = std::lower_bound(entries.begin(), entries.end(), std::make_pair(x, INT_MIN));
    int32_t lx = me.fromX, rx = me.toX;
    int lp = 0, rp = me.length;
    if (it != entries.end()) {
        if (it->first - x <= kSnap) return it->second;
        rx = it->first;
        rp = it->second;
    }
    if (it != entries.begin()) {
        const auto& l = *std::prev(it);
        if (x - l.first <= kSnap) return l.second;
        lx = l.first;
        lp = l.second;
    }
    if (rx <= lx) return std::clamp(lp, 0, me.length);
    const double f = std::clamp(static_cast<double>(x - lx) / (rx - lx), 0.0, 1.0);
    return std::clamp(static_cast<int>(std::lround(lp + f * (rp - lp))), 0, me.length);
}

// The position of the first note on stave s at or after x in measure m, else
// the end of the measure.
int Scanner::posAtOrAfter(int m, int s, int32_t x) const {
    for (int c : staveChords_[s])
        if (chords_[c].measure == m && chords_[c].x >= x) return chords_[c].pos;
    return doc_.measures[m].length;
}

Attributes& Scanner::attributesAt(int p, int m, int pos) {
    std::vector<Attributes>& list = doc_.parts[p].measures[m].attributes;
    for (Attributes& a : list)
        if (a.pos == pos) return a;
    auto it =
        std::find_if(list.begin(), list.end(), [pos](const Attributes& a) { return a.pos > pos; });
    Attributes a;
    a.pos = pos;
    return *list.insert(it, a);
}

void Scanner::skip(int message, int count, const std::string& what) {
    if (!what.empty())
        skippedSymbols_[what] += count;
    else
        skippedCounts_[message] += count;
}

// ---------------------------------------------------------------------------
// Notes as written

void Scanner::pitchOf(Note& n, const PerformanceRecord& r, const NoteData& d,
                      const PartState& st) const {
    const int letter = NoteLetter(st.clef, d.pitch);
    const int natural = StaveKey(st.clef, d.pitch);
    int alter = 0, shift = 0;
    if (r.keyNumber >= 0) {
        // The performance's key holds the accidental in force and any octave
        // line; what is left beside the transposition is split into the two.
        const int delta = r.keyNumber - st.transpose - natural;
        shift = static_cast<int>(std::lround(delta / 12.0)) * 12;
        alter = std::clamp(delta - shift, -2, 2);
    }
    n.step = "CDEFGAB"[letter];
    n.alter = alter;
    n.octave = (natural - kPitchClass[letter]) / 12 - 1 + shift / 12 + st.clefOctave;
}

Note Scanner::noteOf(const PerformanceRecord& r, const ScoreObject& o, const PartState& st) const {
    const NoteData& d = o.note();
    Note n;
    n.rest = d.rest != 0;
    n.value = std::clamp<int>(d.noteValue, 0, 7);
    n.dots = std::clamp<int>(d.dots, 0, 3);
    n.duration = static_cast<int>(std::lround(r.own * doc_.divisions));
    if (d.durMod != 0 && d.durMod2 != 0 && d.durMod != d.durMod2) {
        n.actual = d.durMod;
        n.normal = d.durMod2;
    }
    if (n.rest) {
        // A whole-bar rest lasts the bar, whatever value it is written with.
        if (std::abs(r.own - NoteLength(d)) > kEpsilon) {
            n.measureRest = true;
            n.actual = n.normal = 0;
        }
    } else {
        pitchOf(n, r, d, st);
        n.stem = EffectiveStem(d);
        n.head = d.head;
        if (d.headSize == 4) n.head = 1;  // x-headed
    }
    n.cue = d.cueSize != 0;
    n.above = n.stem == 1;
    n.tieStop = r.mark && !n.rest;
    const StaveBlock& b = score_.stave(r.stave);
    if (!n.rest && d.tieRight != 0) {
        if (d.tieRight == 255) {
            n.tieStart = true;
        } else if (b.validIndex(d.tieRight)) {
            const int t = recordOf_[r.stave * 256 + d.tieRight];
            n.tieStart = t >= 0 && perf_.records[t].mark;
        }
    }
    n.staccato = d.staccato;
    n.emphasis = d.emphasis;
    if (d.tremuloBars > 0 && !d.beamStem1) n.tremolo = std::min<int>(d.tremuloBars, 8);
    return n;
}

std::string Scanner::text(const StaveBlock& b, int i) const {
    std::string t = ScoreTextToUtf8(ChainText(b, i));
    const auto first = t.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

TextFont Scanner::fontOf(int number) const {
    if (number < 1 || number > kMaxFonts || score_.fonts[number].name.empty()) return TextFont{};
    const FontDesc& f = score_.fonts[number];
    return TextFont{f.name, std::abs(f.size), f.style};
}

// ---------------------------------------------------------------------------
// The staves

void Scanner::scanStaves() {
    states_.assign(parts_, PartState{});
    openSlurs_.assign(parts_, -1);
    openHyphens_.assign(parts_, std::array<bool, 8>{});
    for (PartState& st : states_)
        st.key = score_.bagpipeScore ? 2 : 0;
    for (std::size_t k = 0; k < systems_.size(); ++k) {
        systemMarks(static_cast<int>(k));
        for (int s = systems_[k].first; s <= systems_[k].last; ++s)
            scanStave(static_cast<int>(k), s - systems_[k].first, s);
    }
    // Every part opens with its clef, key and stave in the first measure.
    if (doc_.measures.empty()) return;
    for (int p = 0; p < parts_; ++p) {
        Attributes& a = attributesAt(p, 0, 0);
        if (!a.clef) a.clef = Clef{};
        if (!a.key) a.key = score_.bagpipeScore ? 2 : 0;
    }
}

// What the first stave says for the whole system: time signatures and the
// first and second time brackets.
void Scanner::systemMarks(int k) {
    const int f = systems_[k].first;
    const StaveBlock& b = score_.stave(f);
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        const int m = measureOf(k, o.x);
        if (m < 0) continue;
        if (o.kind == kTimesig || o.kind == kCommonTime) {
            const TimesigData& t = o.data.timesig;
            Time time;
            if (o.kind == kCommonTime || t.sign == 1) {
                time.symbol = "common";
            } else if (t.sign == 2) {
                time = Time{2, 2, "cut"};
            } else {
                time.beats = std::max<int>(t.numerator, 1);
                time.beatType = std::max<int>(t.denominator, 1);
                if (t.singleNumber) time.symbol = "single-number";
            }
            const int pos = o.x < doc_.measures[m].fromX || measureEntries_[m].empty() ||
                                    o.x <= measureEntries_[m].front().first
                                ? 0
                                : posAtOrAfter(m, f, o.x);
            for (int p = 0; p < parts_; ++p)
                attributesAt(p, m, pos).time = time;
        } else if (o.kind == kLine && o.data.line.legDirection == kLegDown &&
                   (o.data.line.legEnds & kStartLeg) && o.data.line.style != kLineWithGap) {
            consumed_.insert({f, i});
            const int to = measureOf(k, o.x + o.data.line.dx - 1);
            // The first bracket after a backward repeat is the second-time bar.
            const bool second = m > 0 && doc_.measures[m - 1].right.repeat;
            Measure& start = doc_.measures[m];
            start.left.ending = second ? 2 : 1;
            start.left.endingType = "start";
            start.left.endingText = second ? "2." : "1.";
            // The number written under the bracket is the ending's own text.
            for (int j = 1; j <= b.count(); ++j) {
                const ScoreObject& t = b.obj[j];
                if (HasTextLayout(t.kind) && t.x >= o.x && t.x <= o.x + kNearNote &&
                    t.y >= o.y - kStaveHalf && t.y <= o.y + kNearNote &&
                    !(t.text().textFlags & 0x80)) {
                    const std::string words = text(b, j);
                    if (!words.empty() && words.size() <= 3 &&
                        std::isdigit(static_cast<unsigned char>(words[0]))) {
                        start.left.endingText = words;
                        consumed_.insert({f, j});
                    }
                }
            }
            if (to >= 0) {
                Measure& stop = doc_.measures[to];
                stop.right.ending = start.left.ending;
                stop.right.endingType = o.data.line.legEnds & kEndLeg ? "stop" : "discontinue";
            }
        }
    }
}

void Scanner::scanStave(int k, int p, int s) {
    const StaveBlock& b = score_.stave(s);
    PartState& st = states_[p];
    const int firstMeasure = measureOf(k, b.h.LeftX);
    // The stave's own settings at the start of each system.
    if (firstMeasure >= 0) {
        const bool small = b.h.sizeIndex == 1;
        const int lines = b.h.lineCount;
        if (!st.started || b.h.soundTranspose != st.transpose || small != st.small ||
            lines != st.lines) {
            Attributes& a = attributesAt(p, firstMeasure, 0);
            if (!st.started || b.h.soundTranspose != st.transpose) a.transpose = b.h.soundTranspose;
            if (lines != 5 || st.lines != 5) a.lines = lines;
            a.small = small;
            st.transpose = b.h.soundTranspose;
            st.small = small;
            st.lines = lines;
            st.started = true;
        }
    }
    if (b.h.instrumentUp != 0 && doc_.parts[p].program == 0)
        doc_.parts[p].program = b.h.instrumentUp;
    std::array<std::optional<PendingAccidental>, 256> accidentals;
    std::vector<std::pair<int, const ScoreObject*>> graces;  // waiting for their note
    std::vector<LyricItem> lyrics;
    const std::vector<OctaveSpan> spans = OctaveSpans(b);
    for (const OctaveSpan& span : spans) {
        consumed_.insert({s, span.sign});
        if (span.line) consumed_.insert({s, span.line});
        Spanner sp;
        sp.part = p;
        sp.kind = 2;
        sp.fromMeasure = measureOf(k, span.from);
        sp.toMeasure = measureOf(k, span.to);
        if (sp.fromMeasure < 0 || sp.toMeasure < 0) continue;
        sp.fromPos = posNear(sp.fromMeasure, span.from);
        sp.toPos = posNear(sp.toMeasure, span.to);
        sp.type = span.shift > 0 ? "down" : "up";
        sp.size = std::abs(span.shift) == 24 ? 15 : 8;
        sp.above = span.shift > 0;
        spanners_.push_back(sp);
    }
    auto flushGraces = [&](int chord) {
        for (const auto& [i, g] : graces) {
            const int gm = measureOf(k, g->x);
            if (gm < 0) continue;
            const int r = graceOf_[s * 256 + i];
            Note n;
            if (r >= 0) {
                n = noteOf(grace_.records[r], *g, st);
            } else {
                PerformanceRecord none;
                none.stave = static_cast<uint16_t>(s);
                n = noteOf(none, *g, st);
            }
            n.grace = true;
            n.slash = g->note().headSize == kAcciaccatura;
            n.duration = 0;
            n.tieStart = n.tieStop = false;
            const bool before = chord >= 0 && chords_[chord].measure == gm;
            n.voice = before ? chords_[chord].voice : 1;
            n.pos = before ? chords_[chord].pos : doc_.measures[gm].length;
            doc_.parts[p].measures[gm].notes.push_back(n);
        }
        graces.clear();
    };
    for (int i = 1; i <= b.count(); ++i) {
        const ScoreObject& o = b.obj[i];
        if (consumed_.count({s, i})) continue;
        const int m = measureOf(k, o.x);
        if (m < 0) continue;
        const bool above = o.y < b.h.Ycoord;
        switch (o.kind) {
            case kClef: {
                const int type = std::min<int>(o.data.clef.type, 4);
                const int octave = o.data.clef.octaveUp ? 1 : o.data.clef.octaveDown ? -1 : 0;
                if (type != st.clef || octave != st.clefOctave || !st.clefSeen) {
                    attributesAt(p, m, posAtOrAfter(m, s, o.x)).clef = Clef{type, octave};
                    st.clef = type;
                    st.clefOctave = octave;
                    st.clefSeen = true;
                }
                break;
            }
            case kKeysig: {
                const int key = std::clamp<int>(o.data.keysig.key, -7, 7);
                if (key != st.key || !st.keySeen)
                    attributesAt(p, m, posAtOrAfter(m, s, o.x)).key = key;
                st.key = key;
                st.keySeen = true;
                break;
            }
            case kAccidental:
                accidentals[static_cast<uint8_t>(o.data.accidental.pitch)] = PendingAccidental{
                    o.x, m, o.data.accidental.accidental, o.data.accidental.parentheses != 0,
                    o.data.accidental.small != 0};
                break;
            case kNote: {
                const NoteData& d = o.note();
                if (d.beamOnUp || d.beamOnDown) skip(msg::MusicXmlCrossStaveBeams, 1);
                const int r = recordOf_[s * 256 + i];
                if (r < 0) {
                    if (d.headSize == kSmallHead || d.headSize == kAcciaccatura)
                        graces.push_back({i, &o});
                    else
                        skip(msg::MusicXmlTremoloNotes, 1);
                    break;
                }
                const int c = chordOf_[r];
                if (c < 0 || chords_[c].records.front() != r) break;
                flushGraces(c);
                writeChord(c, st, accidentals);
                break;
            }
            case kText:
            case kText9: {
                if (o.text().textFlags & 0x80) break;
                const std::string words = text(b, i);
                if (words.empty()) break;
                const TextFont font = fontOf(o.text().fontNumber);
                const int width = measurer_.width(font, ChainText(b, i));
                const int32_t centre = o.x + width / 2;
                const int chord =
                    o.y > b.h.Ycoord + kStaveHalf ? chordNear(s, centre, kLyricSlack) : -1;
                if (chord >= 0 || (words == "-" && o.y > b.h.Ycoord + kStaveHalf)) {
                    lyrics.push_back({o.x, o.y, chord, words, words == "-"});
                    break;
                }
                Direction dir;
                dir.kind = Direction::Words;
                dir.pos = posNear(m, o.x);
                dir.above = above;
                dir.text = words;
                dir.fontFamily = font.name;
                dir.fontSize = font.pointSize;
                dir.bold = font.style & kBold;
                dir.italic = font.style & kItalic;
                doc_.parts[p].measures[m].directions.push_back(dir);
                break;
            }
            case kDynamic:
            case kSymbol:
            case kTrill:
            case kOther:
                symbol(p, s, i, m);
                break;
            case kLine:
                skip(msg::MusicXmlLines, 1);
                break;
            case kCurve:
                if (o.data.curve.prevAnchor == 0) curve(p, s, i);
                break;
            case kHairpin: {
                Spanner sp;
                sp.part = p;
                sp.kind = 1;
                const int32_t a = o.x, z = o.x + o.data.hairpin.length;
                sp.fromMeasure = measureOf(k, std::min(a, z));
                sp.toMeasure = measureOf(k, std::max(a, z));
                if (sp.fromMeasure < 0 || sp.toMeasure < 0) break;
                sp.fromPos = posNear(sp.fromMeasure, std::min(a, z));
                sp.toPos = posNear(sp.toMeasure, std::max(a, z));
                sp.type = o.data.hairpin.length >= 0 ? "crescendo" : "diminuendo";
                sp.above = above;
                spanners_.push_back(sp);
                break;
            }
            case kDrawobject:
                skip(msg::MusicXmlShapes, 1);
                break;
            case kSlur:
                skip(msg::MusicXmlSlurMarks, 1);
                break;
            default:
                break;
        }
    }
    flushGraces(-1);
    for (const auto& a : accidentals)
        if (a) skip(0, 1, "accidental");
    placeLyrics(p, lyrics);
}

void Scanner::writeChord(int c, const PartState& st,
                         std::array<std::optional<PendingAccidental>, 256>& accidentals) {
    Chord& chord = chords_[c];
    // The shortest note comes first: a chord moves on by its first note.
    std::vector<int> order = chord.records;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return perf_.records[a].own < perf_.records[b].own - kEpsilon;
    });
    PartMeasure& pm = doc_.parts[chord.part].measures[chord.measure];
    bool first = true;
    for (int r : order) {
        const PerformanceRecord& rec = perf_.records[r];
        const ScoreObject* o = original(rec);
        if (!o) continue;
        Note n = noteOf(rec, *o, st);
        n.pos = chord.pos;
        n.voice = chord.voice;
        n.chord = !first;
        n.chordId = c;
        first = false;
        std::optional<PendingAccidental>& a = accidentals[static_cast<uint8_t>(o->note().pitch)];
        if (a && !n.rest && a->measure == chord.measure && o->x >= a->x &&
            o->x - a->x <= kAccidentalReach) {
            n.accidental = std::clamp<int>(a->value, -2, 2);
            n.accidentalParentheses = a->parentheses;
            n.accidentalSmall = a->small;
            a.reset();
        }
        pm.notes.push_back(n);
    }
}

// Syllables by line (verse), their hyphens, onto their notes.
void Scanner::placeLyrics(int p, std::vector<LyricItem>& items) {
    if (items.empty()) return;
    std::vector<int32_t> lines;
    for (const LyricItem& l : items)
        if (!l.hyphen) lines.push_back(l.y);
    std::sort(lines.begin(), lines.end());
    std::vector<int32_t> verses;
    for (int32_t y : lines)
        if (verses.empty() || y - verses.back() > kVerseSlack) verses.push_back(y);
    auto verseOf = [&](int32_t y) {
        int best = 0;
        for (std::size_t v = 0; v < verses.size(); ++v)
            if (std::abs(verses[v] - y) < std::abs(verses[best] - y)) best = static_cast<int>(v);
        return best;
    };
    std::stable_sort(items.begin(), items.end(),
                     [](const LyricItem& a, const LyricItem& b) { return a.x < b.x; });
    const int count = std::min<int>(static_cast<int>(verses.size()), 8);
    std::vector<std::vector<LyricItem*>> byVerse(count);
    for (LyricItem& l : items) {
        const int v = verses.empty() ? 0 : verseOf(l.y);
        if (v < count) byVerse[v].push_back(&l);
    }
    for (int v = 0; v < count; ++v) {
        bool& open = openHyphens_[p][v];
        auto& list = byVerse[v];
        for (std::size_t i = 0; i < list.size(); ++i) {
            LyricItem& l = *list[i];
            if (l.hyphen || l.chord < 0) continue;
            std::string t = l.text;
            bool continues = t.size() > 1 && t.back() == '-';
            if (continues) t.pop_back();
            // A separate "-" before the next syllable joins the two as well.
            for (std::size_t j = i + 1; j < list.size(); ++j) {
                if (!list[j]->hyphen && list[j]->chord >= 0) break;
                if (list[j]->hyphen) continues = true;
            }
            const Syllabic syl = continues ? (open ? Syllabic::Middle : Syllabic::Begin)
                                           : (open ? Syllabic::End : Syllabic::Single);
            open = continues;
            lyrics_[l.chord].push_back(Lyric{v + 1, syl, t});
        }
    }
}

Document Scanner::run() {
    page();
    perform();
    findSystems();
    titles();
    findMeasures();
    // A score without staves is still a part of one bar.
    parts_ = std::max(parts_, 1);
    if (doc_.measures.empty()) doc_.measures.emplace_back();
    timeMeasures();
    chooseDivisions();
    buildChords();
    doc_.parts.resize(parts_);
    for (int p = 0; p < parts_; ++p) {
        doc_.parts[p].name = FormatMessage(msg::MusicXmlPartName, p + 1);
        doc_.parts[p].measures.resize(doc_.measures.size());
    }
    scanStaves();
    finish();
    beams();
    tuplets();
    marks();
    spanners();
    groups();
    for (const auto& [message, count] : skippedCounts_)
        doc_.skipped.push_back(FormatMessage(message, count));
    if (!skippedSymbols_.empty()) {
        int total = 0;
        std::string names;
        for (const auto& [name, count] : skippedSymbols_) {
            total += count;
            names += (names.empty() ? "" : ", ") + name;
        }
        doc_.skipped.push_back(FormatMessage(msg::MusicXmlSymbols, total, names));
    }
    return std::move(doc_);
}

}  // namespace scan

Document Scan(const Score& score, Host& host, const TextMeasurer& measurer) {
    return scan::Scanner(score, host, measurer).run();
}

}  // namespace sw::mxl
