// The older-format conversion, the duplicate finder and the emergency omissions.
#include "fileio/Repair.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/Report.h"
#include "fileio/NameTables.h"
#include "fileio/Records.h"

namespace sw {

namespace {

// ---- duplicates ----

bool SameStem(const NoteData& a, const NoteData& b) {
    // No stem and an automatic stem go with whatever the other note has.
    return a.stem >= 2 || b.stem >= 2 || a.stem == b.stem;
}

bool SameValueClass(const NoteData& a, const NoteData& b) {
    if (a.noteValue == b.noteValue) return true;
    // A long note and a short one at one place are the same note drawn twice,
    // once hollow and once filled; two different short values are two voices.
    return (a.noteValue <= 2 && b.noteValue >= 3) || (b.noteValue <= 2 && a.noteValue >= 3);
}

bool Repeats(const ScoreObject& a, const ScoreObject& b) {
    const KindData& p = a.data;
    const KindData& q = b.data;
    switch (a.kind) {
        case kClef:
            return p.clef.type == q.clef.type && p.clef.small == q.clef.small;
        case kKeysig:
            return p.keysig.key == q.keysig.key;
        case kTimesig:
            return std::memcmp(&p.timesig, &q.timesig, sizeof(TimesigData)) == 0;
        case kBarline:
            return p.barline.style == q.barline.style;
        case kNote:
            return p.note.pitch == q.note.pitch && SameStem(p.note, q.note) &&
                   SameValueClass(p.note, q.note);
        case kAccidental:
            return p.accidental.pitch == q.accidental.pitch &&
                   p.accidental.accidental == q.accidental.accidental &&
                   p.accidental.small == q.accidental.small;
        case kLine:
            return std::abs(p.line.dx - q.line.dx) <= 1 && std::abs(p.line.dy - q.line.dy) <= 1;
        case kCurve:
            return true;
        case kTrill:
            return a.glyph == b.glyph && p.trill.count == q.trill.count;
        case kOther:
            return p.other.bends == q.other.bends;
        case kHairpin:
            return p.hairpin.length == q.hairpin.length &&
                   p.hairpin.halfOpening == q.hairpin.halfOpening;
        case kDrawobject: {
            const DrawobjectData& d = p.drawobject;
            const DrawobjectData& e = q.drawobject;
            if (d.filled != e.filled || d.whiteOut != e.whiteOut || d.shape != e.shape)
                return false;
            if (d.shape <= 1) return d.radiusOrWidth == e.radiusOrWidth;
            if (d.shape <= 3) return d.radiusOrWidth == e.radiusOrWidth && d.height == e.height;
            return true;
        }
        default:
            return false;
    }
}

// ---- header and footer texts ----

// The older format kept these bits for itself, and its own codes for the
// embedded accidental signs.
void ConvertOlderText(ScoreObject& o) {
    TextData& t = o.text();
    t.textFlags &= static_cast<uint8_t>(~0x30);
    if (t.chunkLength > 10) t.chunkLength = 10;
    for (int k = 0; k < t.chunkLength; ++k) {
        unsigned char c = static_cast<unsigned char>(t.chunkText[k]);
        if (c >= 141 && c <= 143) t.chunkText[k] = static_cast<char>(29 - (c - 141));
    }
}

struct Placement {
    uint8_t kind;
    int32_t shift;  // subtracted from y
};

using TextKey = std::tuple<int32_t, int32_t, int, std::string>;

std::multiset<TextKey> TextsOf(const StaveBlock& b) {
    std::multiset<TextKey> out;
    for (int i = 1; i <= b.h.Nobjec; ++i)
        if (HasTextLayout(b.obj[i].kind))
            out.insert({b.obj[i].x, b.obj[i].y, b.obj[i].kind, b.obj[i].chunk()});
    return out;
}

// Turns the older stave-0 texts into header and footer texts; returns how many
// text objects were lost on the way (each one is in the report).
int ConvertHeaderFooter(Score& score, ReportSink& report) {
    StaveBlock& b = score.stave(0);
    const int n = b.h.Nobjec;
    if (n == 0) return 0;
    const double ppi = 32.0 / score.staveSize;
    const PageData& pg = score.page;
    const long h = std::lround(pg.Header * ppi);
    const long f = std::lround(pg.Footer * ppi);
    // The footer band's top as every picture places it.
    const long footTop =
        std::lround(std::nearbyint((pg.Length - pg.TopM - pg.BotM - pg.Footer) * ppi));
    const long footBottom = footTop + f;

    // A text between the two areas (or beyond the footer) goes to the nearer
    // one rather than being deleted: with the usual header margin of 0 nearly
    // every text lies outside both areas.
    auto place = [&](int32_t y) -> Placement {
        if (y < h) return {kHeadertext, 0};
        if (y >= footTop && y <= footBottom) return {kFootertext, static_cast<int32_t>(footTop)};
        long toHeader = y - h;
        long toFooter = y < footTop ? footTop - y : y - footBottom;
        if (toHeader <= toFooter) return {kHeadertext, 0};
        return {kFootertext, static_cast<int32_t>(footTop)};
    };

    // A chain of chunks goes where its first chunk goes, so it stays one text.
    std::vector<bool> done(static_cast<std::size_t>(n) + 1, false);
    auto apply = [&](int i, Placement p) {
        ScoreObject& o = b.obj[i];
        o.kind = p.kind;
        o.y -= p.shift;
        done[static_cast<std::size_t>(i)] = true;
    };
    for (int i = 1; i <= n; ++i) {
        ScoreObject& o = b.obj[i];
        if (o.kind != kText || (o.text().textFlags & 0x80)) continue;
        Placement p = place(o.y);
        int j = o.text().nextChunk;
        apply(i, p);
        for (int steps = 0; steps < kMaxObjects && b.validIndex(j) && !done[j] &&
                            b.obj[j].kind == kText && (b.obj[j].text().textFlags & 0x80);
             ++steps) {
            int next = b.obj[j].text().nextChunk;
            apply(j, p);
            j = next;
        }
    }
    for (int i = 1; i <= n; ++i)
        if (b.obj[i].kind == kText && !done[i]) apply(i, place(b.obj[i].y));
    for (int i = 1; i <= n; ++i)
        if (IsTextLike(b.obj[i].kind)) ConvertOlderText(b.obj[i]);

    // Tidying drops texts off the page's left edge and chunks hanging off a
    // short one; whatever it drops is named in the report.
    std::multiset<TextKey> before = TextsOf(b);
    TidyStave(score, 0, true);
    for (const TextKey& k : TextsOf(score.stave(0))) {
        auto it = before.find(k);
        if (it != before.end()) before.erase(it);
    }
    for (const auto& [x, y, kind, text] : before)
        report.AddReportLine(FormatMessage(msg::TextRemovedLine, x, y, text));
    return static_cast<int>(before.size());
}

// ---- older time signatures ----

// A digit glyph stands for glyph - 8; glyph 18 is the number 16.
int DenominatorOfGlyph(uint8_t g) {
    if (g >= 9 && g <= 17) return g - 8;
    if (g == 18) return 16;
    return 0;
}

// Object i holds the lower digit; the upper digits stand on the middle line
// just before or above it and are folded into it. A time signature assembled
// earlier also stands on the middle line, but is never taken for a digit.
void AssembleTimesig(StaveBlock& b, int i, std::vector<bool>& assembled) {
    ScoreObject& o = b.obj[i];
    const int32_t mid = b.h.Ycoord;
    int denominator = DenominatorOfGlyph(o.glyph);
    int numerator = 0;
    if (denominator != 0) {
        for (int j = 1; j <= b.h.Nobjec; ++j) {
            ScoreObject& u = b.obj[j];
            if (u.x > o.x + 16) break;
            if (j == i || assembled[static_cast<std::size_t>(j)] || u.kind != kTimesig ||
                u.y != mid || u.x < o.x - 16 || u.x > o.x + 8)
                continue;
            // Only the digit glyphs 0..9 are digits; anything else stays where it is.
            if (u.glyph < 8 || u.glyph > 17) continue;
            numerator = std::min(255, numerator * 10 + (u.glyph - 8));
            UnlinkAndDelete(b, j);
        }
    }
    o.data.timesig =
        TimesigData{static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominator), 0, 0};
    o.y = mid;
    assembled[static_cast<std::size_t>(i)] = true;
}

// ---- older notes ----

bool IsSounding(const ScoreObject& o) {
    return o.kind == kNote && !o.note().rest;
}

void ConvertOlderNote(StaveBlock& b, int i) {
    ScoreObject& o = b.obj[i];
    NoteData& n = o.note();
    const int n_obj = b.h.Nobjec;
    auto others = [&](auto&& fn) {
        for (int j = 1; j <= n_obj; ++j)
            if (j != i && IsSounding(b.obj[j]))
                if (!fn(b.obj[j])) return;
    };
    const int32_t x0 = o.x;
    const int p = n.pitch;

    // 1. A note without a stem of its own takes its direction from a stemmed
    // note it stands beside.
    if (n.noteValue < 2) {
        others([&](ScoreObject& m) {
            if (m.note().noteValue >= 2 && m.x <= x0 && x0 <= m.x + 10) {
                n.stem = m.note().pitch >= p ? 1 : 0;
                return false;
            }
            return true;
        });
    }
    // 2.
    if (n.stem == 3) n.stem = p >= 0 ? 1 : 0;
    // 3. A stemless note one step from a stemmed one is a second of its chord.
    if (n.stem == 2) {
        const ScoreObject* last = nullptr;
        others([&](ScoreObject& m) {
            const NoteData& mn = m.note();
            if (std::abs(p - mn.pitch) == 1 && ((mn.stem == 1 && m.x - 10 <= x0 && x0 <= m.x) ||
                                                (mn.stem == 0 && m.x <= x0 && x0 <= m.x + 10)))
                last = &m;
            return true;
        });
        if (last) {
            n.stem = last->note().stem;
            n.noteValue = last->note().noteValue;
            o.x = last->x;
        }
    }
    // 4. The notes of one chord share the shortest value among them.
    {
        uint8_t v = n.noteValue;
        others([&](ScoreObject& m) {
            if (m.note().stem == n.stem && std::abs(m.x - x0) < 5)
                v = std::max(v, m.note().noteValue);
            return true;
        });
        n.noteValue = v;
    }
    // 5. A stem-down chord displaced by an upper second joins that note's x.
    if (n.stem == 1) {
        const ScoreObject* up = nullptr;
        others([&](ScoreObject& m) {
            if (m.note().stem == 0 && m.note().pitch == p + 1 && x0 - 10 <= m.x && m.x <= x0) {
                up = &m;
                return false;
            }
            return true;
        });
        if (up) {
            const int32_t to = up->x;
            others([&](ScoreObject& m) {
                if (m.x == x0 && m.note().stem == 1) m.x = to;
                return true;
            });
            o.x = to;
        }
    }
    // 6. A forward beam link must lead to a note that links back.
    if (n.beamOnTo != 0) {
        int t = n.beamOnTo;
        bool ok = t <= n_obj && t <= kMaxObjects && b.obj[t].kind == kNote &&
                  b.obj[t].note().beamBackTo == i;
        if (!ok) n.beamOnTo = 0;
    }
    // 7. The older head codes.
    const bool beamed = n.beamBackTo != 0 || n.beamOnTo != 0;
    const int v = n.noteValue;
    auto plain = [&](uint8_t size) {
        n.head = 0, n.tremuloBars = 0, n.beamStem1 = 0, n.beamStem2 = 0, n.headSize = size;
    };
    switch (n.head) {
        case 0:
            plain(0);
            break;
        case 1:
            plain(1);
            break;
        case 2:
            n.head = 0;
            n.beamStem1 = beamed;
            n.tremuloBars = 0, n.beamStem2 = 0;
            if (v >= 1 && v <= 3) {
                n.tremuloBars = 1, n.beamStem2 = 1;
            } else if (v == 4) {
                n.headSize = 5;
            } else if (v >= 5 && v <= 7) {
                if (beamed)
                    n.tremuloBars = static_cast<uint8_t>(v - 3);
                else
                    n.head = 3;
            }
            break;
        case 3:
            n.head = 0;
            n.beamStem1 = beamed;
            n.tremuloBars = 0, n.beamStem2 = 0;
            if (v >= 1 && v <= 3) {
                n.tremuloBars = 2, n.beamStem2 = 1;
            } else if (v >= 4 && v <= 7) {
                if (beamed)
                    n.tremuloBars = static_cast<uint8_t>(v - 3);
                else
                    n.showTail = 0;
            }
            break;
        case 4:
            n.head = (v == 1 || v == 2) ? 2 : 1;
            n.tremuloBars = 0, n.beamStem1 = 0, n.beamStem2 = 0, n.headSize = 0;
            break;
        default:
            break;
    }
}

// Fields the older formats did not have, on notes and rests alike: a rest
// carrying a tuplet left over from the older layout would play at the wrong length.
void ClearOlderNoteFields(NoteData& n) {
    n.beamBackUp = n.beamBackDown = n.beamOnUp = n.beamOnDown = 0;
    n.singleBeam = n.flatBeam = 0;
    n.durMod = n.durMod2 = 0;
    n.working[0] = n.working[1] = 0;
    n.noShorten = 0;
    n.noVisibleStem = 0;
    n.validated = 0;
}

// The working bytes and the kind data the file does not keep.
void ClearUnstoredBytes(ScoreObject& o) {
    o.invisible = 0;
    o.working = 0;
    if (o.kind == kNote) {
        NoteData& n = o.note();
        n.working[0] = n.working[1] = 0;
        auto* from = reinterpret_cast<uint8_t*>(&n.dotPosition);
        std::memset(from, 0, sizeof(NoteData) - offsetof(NoteData, dotPosition));
    } else {
        const int kept = StoredKindBytes(o.kind);
        std::memset(o.data.raw + kept, 0, sizeof(o.data.raw) - static_cast<std::size_t>(kept));
    }
}

void ConvertMusicStave(Score& score, int s, const RepairOptions& options) {
    StaveBlock& b = score.stave(s);
    StaveHeader& h = b.h;
    h.instrumentUp = h.instrumentDown = 0;
    h.invisible = false;
    h.lineCount = 5;
    h.sizeIndex = 0;
    h.cue = false;
    h.soundTranspose = 0;
    h.fullEndBar = false;
    b.t.bagpipeMark = 0;

    bool firstKey = true;
    std::vector<bool> assembled(kSlots, false);
    for (int i = 1; i <= h.Nobjec; ++i) {
        ScoreObject& o = b.obj[i];
        ClearUnstoredBytes(o);
        KindData& d = o.data;
        switch (o.kind) {
            case kClef:
                d.clef.octaveUp = d.clef.octaveDown = 0;
                break;
            case kKeysig:
                d.keysig.naturalsOnChange = firstKey ? 0 : (options.naturalsInKeyChange ? 1 : 0);
                firstKey = false;
                break;
            case kTimesig:
                if (o.y == h.Ycoord + 16) AssembleTimesig(b, i, assembled);
                break;
            case kBarline:
                d.barline.setBarNumber = 0;
                d.barline.barNumber = 0;
                d.barline.showNumber = 0;
                break;
            case kNote:
                if (!o.note().rest) ConvertOlderNote(b, i);
                ClearOlderNoteFields(o.note());
                break;
            case kAccidental:
                d.accidental.parentheses = 0;
                std::memset(d.accidental.further, 0, sizeof d.accidental.further);
                break;
            case kLine:
                std::memset(d.raw + 5, 0, 5);  // style, dash, gap, leg length and direction
                break;
            case kCurve:
                d.curve.styleBits &= static_cast<uint8_t>(~0x02);
                break;
            case kTrill:
                d.raw[6] = 0;
                // The older glyphs sat at other offsets from their anchor.
                if (o.glyph == 71 || o.glyph == 73) {
                    o.x -= 6, o.y += 8;
                } else if (o.glyph == 74) {
                    o.x -= 6, o.y += 9;
                } else if (o.glyph == 76) {
                    o.x += 3, o.y -= 25;
                }
                break;
            case kOther:
                d.other.upArrow = d.other.downArrow = 0;
                break;
            case kText:
            case kHeadertext:
            case kFootertext:
                ConvertOlderText(o);
                break;
            default:
                break;
        }
    }
}

int Saturate(int v) {
    return v > 100000 ? 100000 : v;
}

}  // namespace

int FindDuplicates(Score& score, int s, bool remove, ReportSink& report, bool usTerms) {
    if (!score.hasStave(s)) return 0;
    StaveBlock& b = score.stave(s);
    const int n = b.h.Nobjec;
    int clef = kNoClef;
    int bar = 1;
    int count = 0;
    for (int i = 1; i <= n; ++i) {
        const ScoreObject& a = b.obj[i];
        if (a.kind == kClef)
            clef = a.data.clef.type;
        else if (a.kind == kBarline)
            ++bar;
        if (a.kind == kNothing) continue;
        for (int j = i + 1; j <= n; ++j) {
            const ScoreObject& c = b.obj[j];
            if (c.kind != a.kind || std::abs(c.x - a.x) > 1 || std::abs(c.y - a.y) > 1 ||
                !Repeats(a, c))
                continue;
            std::string line;
            if (c.kind == kNote)
                line = FormatMessage(msg::DuplicateNoteLine, s, j, bar,
                                     NoteLetter(clef, c.note().pitch),
                                     NoteValueName(c.note().noteValue, usTerms));
            else if (c.kind == kAccidental)
                line = FormatMessage(msg::DuplicateAccidentalLine, s, bar,
                                     NoteLetter(clef, c.data.accidental.pitch),
                                     AccidentalName(c.data.accidental.accidental));
            else
                line = FormatMessage(msg::DuplicateObjectLine, s, c.x, c.y, KindName(c.kind));
            report.AddReportLine(line);
            ++count;
            // Deleted with its links, so no beam, tie or curve is left naming it.
            if (remove) UnlinkAndDelete(b, j);
        }
    }
    return count;
}

ConvertResult ConvertOlderFormat(Score& score, bool showMessage, Host& host, ReportSink& report,
                                 const RepairOptions& options) {
    ConvertResult r;
    if (showMessage) host.progressBegin(MessageText(msg::ConvertingOlderFile));
    report.ClearReport(MessageText(msg::ProblemsInInputFile));
    report.SetReportFixedPitch(false);
    report.SetReportFontSize(10);
    for (int s = 0; s <= score.Nstaves; ++s)
        r.duplicates += FindDuplicates(score, s, true, report, options.usTerms);
    report.AddReportLine(FormatMessage(msg::DuplicatesFound, r.duplicates));

    r.textsRemoved = ConvertHeaderFooter(score, report);
    for (int s = 1; s <= score.Nstaves; ++s)
        ConvertMusicStave(score, s, options);
    for (int s = 1; s <= score.Nstaves; ++s)
        TidyStave(score, s, true);
    score.fileVersion = kWriterVersion;
    if (showMessage) host.progressEnd();

    // Asked once everything is done, so the report the user sees is complete.
    int question = r.duplicates > 0     ? msg::DuplicatesQuestion
                   : r.textsRemoved > 0 ? msg::TextsRemovedQuestion
                                        : 0;
    if (question != 0 &&
        host.message(MsgType::Warning, MessageText(question), Buttons::YesNo) == Answer::Yes) {
        report.ShowReport();
        r.reportShown = true;
    }
    return r;
}

std::bitset<kMaxKind + 1> ParseOmittedKinds(const std::string& letters) {
    std::bitset<kMaxKind + 1> k;
    for (char ch : letters) {
        char c = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
        switch (c) {
            case '&':
                k.set(kClef);
                break;
            case 'K':
                k.set(kKeysig);
                break;
            case 'B':
                k.set(kBarline);
                break;
            case 'N':
                k.set(kNote);
                break;
            case '#':
                k.set(kAccidental);
                break;
            case 'T':
                k.set(kText9).set(kText).set(kHeadertext).set(kFootertext);
                break;
            case 'L':
                k.set(kLine);
                break;
            case 'C':
                k.set(kCurve);
                break;
            case 'S':
                k.set(kTrill);
                break;
            case '~':
                k.set(kOther);
                break;
            case 'H':
                k.set(kHairpin);
                break;
            case 'D':
                k.set(kDrawobject);
                break;
            default:
                break;
        }
    }
    return k;
}

std::bitset<256> ParseStaveList(const std::string& text) {
    std::bitset<256> set;
    std::size_t at = 0;
    const std::size_t n = text.size();
    auto isDigit = [&](std::size_t k) { return k < n && text[k] >= '0' && text[k] <= '9'; };
    auto skipBlanks = [&] {
        while (at < n && (text[at] == ' ' || text[at] == '\t'))
            ++at;
    };
    auto number = [&] {
        int v = 0;
        while (isDigit(at))
            v = Saturate(v * 10 + (text[at++] - '0'));
        return v;
    };
    for (;;) {
        while (at < n &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == ',' || text[at] == ';'))
            ++at;
        if (!isDigit(at)) break;
        int first = number();
        skipBlanks();
        int last = first;
        if (at < n && text[at] == '-') {
            ++at;
            skipBlanks();
            if (!isDigit(at)) break;
            last = number();
        }
        if (first > last) std::swap(first, last);
        for (int v = first; v <= last && v <= 255; ++v)
            set.set(static_cast<std::size_t>(v));
    }
    return set;
}

EmergencyOmissions AskEmergencyOptions(Host& host) {
    EmergencyOmissions e;
    const std::string caption = MessageText(msg::EmergencyCaption);
    // Cancel means "omit nothing": never fall back on the pre-filled answers,
    // which would omit nearly everything.
    std::optional<std::string> kinds =
        host.input(caption, MessageText(msg::EmergencyKindsPrompt), "CLHBST~K#&DN");
    if (!kinds) return e;
    std::optional<std::string> staves =
        host.input(caption, MessageText(msg::EmergencyStavesPrompt), "1-255");
    if (!staves) return e;
    e.kinds = ParseOmittedKinds(*kinds);
    e.staves = ParseStaveList(*staves);
    return e;
}

int ApplyEmergencyOmissions(Score& score, const EmergencyOmissions& omit) {
    int gone = 0;
    const int last = std::min<int>(score.Nstaves, 255);
    for (int s = 1; s <= last; ++s) {
        if (!omit.staves.test(static_cast<std::size_t>(s))) continue;
        StaveBlock& b = score.stave(s);
        auto live = [&] {
            int n = 0;
            for (int i = 1; i <= b.h.Nobjec; ++i)
                n += b.obj[i].kind != kNothing;
            return n;
        };
        // Counted by what is gone: deleting the first chunk of a text takes the rest.
        const int before = live();
        for (int i = 1; i <= b.h.Nobjec; ++i) {
            int k = b.obj[i].kind;
            if (k != kNothing && k <= kMaxKind && omit.kinds.test(static_cast<std::size_t>(k)))
                UnlinkAndDelete(b, i);
        }
        const int here = before - live();
        if (here > 0) TidyStave(score, s, true);
        gone += here;
    }
    return gone;
}

}  // namespace sw
