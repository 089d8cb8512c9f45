// The file dump and the note attribute report.
#include "fileio/Dump.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/Report.h"
#include "core/TextUtil.h"
#include "fileio/NameTables.h"
#include "fileio/Records.h"

namespace sw {

namespace {

constexpr const char* kHeaderHeading =
    "Nstaves Flags Spacing Pulse Beamang FileVer Header Footer Nhead Nfoot Page1 NumFonts";
constexpr const char* kPageHeading =
    "Page size data: Length Width  TopM RightM LeftM  BotM   GutM   Tempo  StvSiz Facing";
constexpr const char* kFontHeading = "Font num -----font name------ ------------ Size Style Colour";
constexpr const char* kStaveHeading =
    "Stave data: Ycoord  MinY  MaxY CFlag Nobjec LeftX RightX Sysdown ForcedBk PageNum";

std::string Hex(unsigned v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%0*X", digits, v);
    return buf;
}

// "Record" with its number, then each byte as a space and two hex digits.
std::string RecordLine(std::size_t number, const uint8_t* r, std::size_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Record%4zu:", number);
    std::string line = buf;
    for (std::size_t k = 0; k < bytes; ++k) {
        std::snprintf(buf, sizeof buf, " %02X", r[k]);
        line += buf;
    }
    return line;
}

// A line of values, each ending where its word of `heading` ends; the first
// `skip` words of the heading are taken by `label`.
std::string Aligned(const std::string& heading, int skip, const std::string& label,
                    const std::vector<std::string>& values) {
    std::vector<std::size_t> ends;
    for (std::size_t k = 0; k < heading.size(); ++k)
        if (heading[k] != ' ' && (k + 1 == heading.size() || heading[k + 1] == ' '))
            ends.push_back(k + 1);
    std::string line = label;
    for (std::size_t v = 0; v < values.size(); ++v) {
        std::size_t col = static_cast<std::size_t>(skip) + v;
        std::size_t end = col < ends.size() ? ends[col] : 0;
        std::size_t room = line.size() + 1 + values[v].size();
        line.append(end > room ? end - room + 1 : 1, ' ');
        line += values[v];
    }
    return line;
}

std::string Num(long v) {
    return std::to_string(v);
}

// A string field from the file, with its control characters shown as dots so
// that no byte of the file can break the dump's lines.
std::string Printable(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '.';
    return s;
}

}  // namespace

std::string DumpScoreBytes(const std::string& path, const uint8_t* data, std::size_t size) {
    std::string out;
    auto line = [&](const std::string& l) {
        out += l;
        out += '\n';
    };
    line("Dump of file: " + path);
    line("============");
    line("");

    const std::size_t records = size / kRecordSize;
    std::size_t next = 0;
    auto record = [&](std::size_t k) { return data + k * kRecordSize; };
    auto emit = [&]() {
        const uint8_t* r = record(next);
        line(RecordLine(next, r, kRecordSize));
        ++next;
        return r;
    };

    if (records > 0 && GetU16(record(0) + 8) >= 300) {
        const uint8_t* h = emit();
        const int version = GetU16(h + 8);
        const long nstaves = h[0] + 256 * h[15];
        const bool partial = h[3] & 0x80;
        const int descriptions = DescriptionCountFromFlags(h[3]);
        const long fonts = GetU16(h + 20);
        line(kHeaderHeading);
        line(Aligned(kHeaderHeading, 0, "",
                     {Num(nstaves), Hex(h[3], 2), Num(h[5]), Num(h[6]), Num(h[7]), Num(version),
                      Num(GetU16(h + 11)), Num(GetU16(h + 13)), Num(h[16]), Num(h[17]), Num(h[10]),
                      Num(fonts)}));

        if (next < records) {
            const uint8_t* p = emit();
            line(kPageHeading);
            line(
                Aligned(kPageHeading, 3, "",
                        {Num(GetU16(p)), Num(GetU16(p + 2)), Num(GetU16(p + 4)), Num(GetU16(p + 6)),
                         Num(GetU16(p + 8)), Num(GetU16(p + 10)), Num(GetU16(p + 12)),
                         Num(GetU16(p + 14)), Num(GetU16(p + 19)), Num(p[18])}));
        }

        if (descriptions > 0 && next < records) line("Description:");
        for (int d = 0; d < descriptions && next < records; ++d)
            line(Printable(GetString(emit(), 21)));

        if (fonts > 0 && next < records) line("Font records:");
        for (long f = 0; f < fonts && next < records; ++f) {
            const uint8_t* a = emit();
            if (next >= records) break;
            const uint8_t* b = emit();
            char buf[160];
            std::snprintf(buf, sizeof buf, "%8d %-20s %-12s %4d %5d %s", a[0],
                          Printable(GetString(a + 1, 20)).c_str(),
                          Printable(GetString(b, 12)).c_str(), GetI16(b + 13), b[15],
                          Hex(GetU32(b + 16), 8).c_str());
            line(kFontHeading);
            line(buf);
        }

        const long first = (!partial && version >= 302) ? 0 : 1;
        if (nstaves >= first && next < records) line("Stave records:");
        for (long s = first; s <= nstaves && next < records; ++s) {
            const uint8_t* r = emit();
            line(kStaveHeading);
            line(Aligned(
                kStaveHeading, 2, "Stv " + Num(s) + ":",
                {Num(GetI16(r)), Num(GetI16(r + 4)), Num(GetI16(r + 2)), Hex(r[6], 2), Num(r[7]),
                 Num(GetI16(r + 8)), Num(GetI16(r + 10)), Num(r[6] & 1), Num(r[13]), Num(r[14])}));
        }

        if (next < records) {
            line("Object data:");
            std::string numbers(11, ' ');
            char buf[8];
            for (int k = 0; k < kRecordSize; ++k) {
                std::snprintf(buf, sizeof buf, " %02X", k);
                numbers += buf;
            }
            line(numbers);
        }
    }
    while (next < records)
        emit();
    // A file cut short ends in part of a record: listed as far as it goes.
    if (size % kRecordSize != 0) line(RecordLine(records, record(records), size % kRecordSize));
    return out;
}

bool DumpScoreFile(const std::string& in, const std::string& out, Host& host, FileIo& io) {
    std::ifstream f(in, std::ios::binary);
    std::vector<uint8_t> bytes;
    if (f) bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (!f && !f.eof()) {
        host.message(MsgType::Error, FormatMessage(msg::FileReadFailed, in), Buttons::OK);
        return false;
    }
    const std::string text = DumpScoreBytes(in, bytes.data(), bytes.size());
    if (const int e = WriteFileAtomically(out, text, io)) {
        host.message(MsgType::Error,
                     FormatMessage(msg::DumpWriteFailed, out) + "\n" + WriteErrorText(e, false),
                     Buttons::OK);
        return false;
    }
    return true;
}

std::string DumpFileName(const std::string& scorePath) {
    return ChangeExtension(scorePath, ".DMP");
}

bool RunDumpCommand(Host& host, const FileDialogSpec& openSpec) {
    std::optional<std::string> in = host.openFileName(openSpec);
    if (!in) return false;
    FileDialogSpec spec;
    spec.filter = MessageText(msg::DumpFilter);
    spec.defaultExtension = "DMP";
    spec.directory = DirectoryOf(*in);
    spec.fileName = FileNameOf(DumpFileName(*in));
    spec.overwritePrompt = true;
    std::optional<std::string> out = host.saveFileName(spec);
    if (!out) return false;
    return DumpScoreFile(*in, *out, host);
}

std::vector<std::string> NoteAttributeLines(const Score& score, int s, int i, bool usTerms) {
    const ScoreObject& o = score.object(s, i);
    const NoteData& n = o.note();
    auto point = [](long x, long y) {
        std::string p = "(";
        p.append(Num(x)).append(",").append(Num(y)).append(")");
        return p;
    };
    return {
        "Stv " + Num(s) + " obj " + Num(i),
        "Position=" + point(o.x, o.y),
        std::string(NoteValueName(n.noteValue, usTerms)) + "   pitch " + Num(n.pitch) +
            "  dots:" + Num(n.dots),
        StemName(n.stem),
        std::string("Rest=") + FlagWord(n.rest),
        std::string("Size ") + HeadSizeName(n.headSize),
        std::string("Cue size=") + FlagWord(n.cueSize),
        "Length incr=" + Num(n.lengthIncr) + " noshorten=" + FlagAnswer(n.noShorten),
        "Beam back to: " + Num(n.beamBackTo) + "   Up=" + FlagLetter(n.beamBackUp) +
            " Down=" + FlagLetter(n.beamBackDown),
        "Beam on to: " + Num(n.beamOnTo) + "   Up=" + FlagLetter(n.beamOnUp) +
            " Down=" + FlagLetter(n.beamOnDown),
        std::string("Single beam=") + FlagWord(n.singleBeam) + "   Flat=" + FlagWord(n.flatBeam),
        std::string("Stacc = ") + StaccatoName(n.staccato),
        std::string("Emphasis=") + EmphasisName(n.emphasis),
        "Tie left = " + Num(n.tieLeft) + "   right=" + Num(n.tieRight) +
            " over=" + FlagWord(n.tieOver),
        std::string("Head=") + HeadName(n.head),
        "Tremulobars = " + Num(n.tremuloBars) + " Beam/stem: " + FlagLetter(n.beamStem1) + "/" +
            FlagLetter(n.beamStem2),
        "Dur mod = " + Num(n.durMod) + "/" + Num(n.durMod2),
        "",
        std::string("Showtail=") + FlagWord(n.showTail),
        "Stemstart=" + point(n.stemStartX, n.stemStartY),
        "Stemend  =" + point(n.stemEndX, n.stemEndY),
        std::string("Validated=") + FlagWord(n.validated),
    };
}

bool ShowNoteAttributes(const Score& score, int s, int i, bool usTerms, Host& host,
                        ReportSink& report) {
    if (!score.hasStave(s) || !score.stave(s).validIndex(i) || score.object(s, i).kind != kNote) {
        host.message(MsgType::Plain, MessageText(msg::NotYetImplemented), Buttons::OK);
        return false;
    }
    report.ClearReport(MessageText(msg::NoteAttributesCaption));
    for (const std::string& l : NoteAttributeLines(score, s, i, usTerms))
        report.AddReportLine(l);
    report.ShowReport();
    return true;
}

}  // namespace sw
