// The score file reader and writer.
#include "fileio/ScoreFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "core/TextUtil.h"
#include "fileio/Records.h"

namespace sw {

namespace {

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Thrown inside the reader; caught at its end.
struct Ewrongfiletype {};
struct Emusicoverflow {};

// The file's records in order, read through one small buffer: a large score is
// read once, front to back, without holding the whole file or a copy of it.
// A file found shorter than it was (cut while being read) ends early, as a
// cut-short file does.
class RecordReader {
  public:
    RecordReader() = default;
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;
    ~RecordReader() {
        if (fd_ >= 0) ::close(fd_);
    }

    // errno is set on failure.
    bool open(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return false;
        struct stat st;
        if (::fstat(fd_, &st) != 0) return false;
        if (S_ISREG(st.st_mode)) {
            records_ = static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) / kRecordSize;
            buf_.resize(kBufferBytes);
            return true;
        }
        // Not a plain file (a pipe, a special file): its length is known only
        // once it has been read, so it is read whole first, up to what the
        // largest score can hold (an endless device stops there).
        while (filled_ < kLargestFile) {
            buf_.resize(filled_ + kBufferBytes);
            const std::size_t before = filled_;
            if (!readMore()) return false;
            if (filled_ == before) break;
        }
        records_ = filled_ / kRecordSize;
        return true;
    }
    std::size_t records() const { return records_; }
    bool atEnd() const { return next_ >= records_; }
    const uint8_t* take() {
        if (atEnd()) throw Emusicoverflow{};
        if (at_ + kRecordSize > filled_) refill();
        ++next_;
        const uint8_t* r = buf_.data() + at_;
        at_ += kRecordSize;
        return r;
    }

  private:
    // Not a whole number of records: a record split between two reads is
    // the usual case, not a rare one.
    static constexpr std::size_t kBufferBytes = 1 << 17;
    static constexpr std::size_t kLargestFile =
        kRecordSize * (5 + 2 * kMaxFonts + (kMaxStaves + 1) * (1 + kMaxObjects));

    // Reads into buf_ after the filled_ bytes until it is full or the file
    // ends; false on a read error.
    bool readMore() {
        while (filled_ < buf_.size()) {
            const ssize_t n = ::read(fd_, buf_.data() + filled_, buf_.size() - filled_);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) break;
            filled_ += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Moves the unread bytes to the front of the buffer and reads on after them.
    void refill() {
        const std::size_t kept = filled_ - at_;
        std::memmove(buf_.data(), buf_.data() + at_, kept);
        filled_ = kept;
        at_ = 0;
        if (!readMore() || filled_ < kRecordSize) {
            // The file ended, or failed, before the records it promised.
            records_ = next_;
            throw Emusicoverflow{};
        }
    }

    int fd_ = -1;
    std::vector<uint8_t> buf_;
    std::size_t filled_ = 0;  // bytes of buf_ that hold file data
    std::size_t at_ = 0;      // where the next record starts in buf_
    std::size_t next_ = 0;    // records handed out
    std::size_t records_ = 0;
};

void ReadStaveRecord(const uint8_t* r, StaveHeader& h, int s) {
    uint8_t flags = r[15];
    h.Ycoord = (flags & 0x80) ? 0 : GetI16(r);
    h.MaxY = GetI16(r + 2);
    h.MinY = GetI16(r + 4);
    uint8_t c = r[6];
    h.joinToNext = c & 1;
    h.withBracket = c & 2;
    h.bracketWithNext = c & 4;
    h.withBrace = c & 8;
    h.barlineThrough = c & 16;
    h.barNumberPlace = (c >> 5) & 3;
    h.Nobjec = r[7] > kMaxObjects ? kMaxObjects : r[7];
    h.LeftX = GetI16(r + 8);
    h.RightX = GetI16(r + 10);
    h.instrumentUp = r[12];
    h.ForcedBk = r[13] != 0;
    h.PageNum = r[14];
    h.invisible = flags & 1;
    int lines = (flags >> 1) & 7;
    h.lineCount = static_cast<uint8_t>(lines == 1 || lines == 4 || lines == 6 ? lines : 5);
    h.sizeIndex = (flags >> 4) & 1;
    h.cue = (flags >> 5) & 1;
    h.soundTranspose = static_cast<int8_t>(r[16]);
    h.instrumentDown = r[17];
    h.barNumber = GetU16(r + 18);
    h.staveIndex = static_cast<int16_t>(s);
    h.fullEndBar = false;
}

void WriteStaveRecord(uint8_t* r, const StaveHeader& h, bool staveZero) {
    PutU16(r, staveZero ? 0 : static_cast<uint32_t>(h.Ycoord));
    PutU16(r + 2, static_cast<uint32_t>(h.MaxY));
    PutU16(r + 4, static_cast<uint32_t>(h.MinY));
    r[6] = static_cast<uint8_t>((h.joinToNext ? 1 : 0) | (h.withBracket ? 2 : 0) |
                                (h.bracketWithNext ? 4 : 0) | (h.withBrace ? 8 : 0) |
                                (h.barlineThrough ? 16 : 0) | ((h.barNumberPlace & 3) << 5));
    r[7] = h.Nobjec;
    PutU16(r + 8, static_cast<uint32_t>(h.LeftX));
    PutU16(r + 10, static_cast<uint32_t>(h.RightX));
    r[12] = h.instrumentUp;
    r[13] = h.ForcedBk ? 1 : 0;
    // Pages past 255 wrap to 1..255: never 0 ("not placed"), and consecutive
    // pages stay distinct, which is all the reader relies on to rebuild them.
    r[14] = static_cast<uint8_t>(h.PageNum == 0 ? 0 : (h.PageNum - 1) % 255 + 1);
    r[15] = static_cast<uint8_t>((h.invisible ? 1 : 0) | ((h.lineCount & 7) << 1) |
                                 ((h.sizeIndex & 1) << 4) | (h.cue ? 0x20 : 0) |
                                 (staveZero ? 0x80 : 0));
    r[16] = static_cast<uint8_t>(h.soundTranspose);
    r[17] = h.instrumentDown;
    PutU16(r + 18, h.barNumber);
}

void ReadObjectData(const uint8_t* r, ScoreObject& o, int fileVersion) {
    o = ScoreObject{};
    o.x = GetI16(r + 2);
    o.y = GetI16(r + 4);
    o.glyph = r[6];
    o.kind = r[7];
    const uint8_t* d = r + 8;
    if (o.kind == kNote) {
        uint8_t b[kKindDataSize];
        std::memcpy(b, d, kKindDataSize);
        if (fileVersion >= 300 && fileVersion <= 499) ConvertOlderNoteRecord(b);
        UnpackNote(b, o.note());
        return;
    }
    if (o.kind == kCommonTime) {
        o.kind = kTimesig;
        o.data.timesig = CommonTimeToTimesig(d[0]);
        return;
    }
    std::memcpy(o.data.raw, d, static_cast<std::size_t>(StoredKindBytes(o.kind)));
    if (o.kind == kLine) {
        LineData& l = o.data.line;
        if (l.dashLength < 3 || l.dashLength > 20) l.dashLength = 5;
        if (l.gapLength < 3 || l.gapLength > 20) l.gapLength = 5;
    } else if (HasTextLayout(o.kind)) {
        if (o.text().chunkLength > 10) o.text().chunkLength = 10;
    }
}

void WriteObjectRecord(uint8_t* r, const ScoreObject& o, int staveByte, int index) {
    r[0] = static_cast<uint8_t>(staveByte & 0xFF);
    r[1] = static_cast<uint8_t>(index);
    PutU16(r + 2, static_cast<uint32_t>(o.x));
    PutU16(r + 4, static_cast<uint32_t>(o.y));
    r[6] = o.glyph;
    r[7] = o.kind;
    if (o.kind == kNote)
        PackNote(o.note(), r + 8);
    else
        std::memcpy(r + 8, o.data.raw, static_cast<std::size_t>(StoredKindBytes(o.kind)));
}

// Assigns each object record to its stave. The file keeps only the stave's low
// byte; records come in stave order, so the reader takes the nearest stave at
// or after the current one with that low byte, unless the stave counts show the
// records must belong to a stave 256 further on (a run of empty staves).
class StaveTracker {
  public:
    StaveTracker(const Score& score, int first) : cur_(first), last_(score.Nstaves) {
        nonEmptyUpTo_.assign(static_cast<std::size_t>(last_) + 2, 0);
        filled_.assign(static_cast<std::size_t>(last_) + 1, 0);
        for (int s = 0; s <= last_; ++s) {
            int before = s == 0 ? 0 : nonEmptyUpTo_[static_cast<std::size_t>(s) - 1];
            nonEmptyUpTo_[static_cast<std::size_t>(s)] =
                before + (score.stave(s).h.Nobjec > 0 ? 1 : 0);
        }
        score_ = &score;
    }

    // The stave for a record with stave byte b, or -1 when there is none.
    // The stave for a record with stave byte b and slot `slot`, or -1 when
    // there is none. Within a stave the writer goes up through the slots, so a
    // slot not above the last one placed starts a later stave.
    int place(uint8_t b, int slot) {
        int t1 = cur_ + ((b - (cur_ & 0xFF)) & 0xFF);
        int chosen = -1;
        for (int t = t1; t <= last_; t += 256) {
            if (t == cur_ && slot <= lastSlot_) continue;
            if (chosen < 0) chosen = t;
            if (emptyBetween(cur_, t) && hasRoom(t)) {
                chosen = t;
                break;
            }
        }
        if (chosen < 0) chosen = t1 <= last_ ? t1 : -1;
        if (chosen < 0) return -1;
        if (chosen != cur_) lastSlot_ = 0;
        cur_ = chosen;
        if (slot >= 1 && slot <= kMaxObjects) lastSlot_ = slot;
        return cur_;
    }
    void filled(int s) { ++filled_[static_cast<std::size_t>(s)]; }
    int filledCount(int s) const { return filled_[static_cast<std::size_t>(s)]; }

  private:
    bool emptyBetween(int a, int b) const {
        if (b <= a + 1) return true;
        return nonEmptyUpTo_[static_cast<std::size_t>(b) - 1] ==
               nonEmptyUpTo_[static_cast<std::size_t>(a)];
    }
    bool hasRoom(int s) const {
        return filled_[static_cast<std::size_t>(s)] < score_->stave(s).h.Nobjec;
    }

    int cur_;
    int lastSlot_ = 0;
    int last_;
    const Score* score_ = nullptr;
    std::vector<int> nonEmptyUpTo_;
    std::vector<int> filled_;
};

// Hands out zeroed records and passes them on in large blocks; after a failed
// block it stops passing anything on.
class RecordSink {
  public:
    using Flush = std::function<bool(const uint8_t*, std::size_t)>;
    explicit RecordSink(Flush flush) : flush_(std::move(flush)), buf_(kRecords * kRecordSize) {}
    uint8_t* next() {
        if (used_ == kRecords) flush();
        uint8_t* r = buf_.data() + used_++ * kRecordSize;
        std::memset(r, 0, kRecordSize);
        return r;
    }
    void flush() {
        if (used_ > 0 && ok_) ok_ = flush_(buf_.data(), used_ * kRecordSize);
        used_ = 0;
    }

  private:
    static constexpr std::size_t kRecords = 1 << 15;
    Flush flush_;
    std::vector<uint8_t> buf_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

void ReportSaveError(Host& host, int e, bool whileWriting) {
    host.message(MsgType::Error, WriteErrorText(e, whileWriting), Buttons::OK);
}

// Writes the output of `encode` to a new file beside `path`, then renames it
// over `path`. Returns 0, or errno with whileWriting telling which step failed.
int WriteReplacing(const std::string& path, const std::function<void(RecordSink&)>& encode,
                   bool& whileWriting, FileIo& io) {
    whileWriting = false;
    AtomicFile file(path, io);
    if (const int e = file.open()) return e;
    RecordSink sink([&](const uint8_t* data, std::size_t n) { return file.write(data, n); });
    encode(sink);
    sink.flush();
    const int e = file.commit();
    whileWriting = file.failedWhileWriting();
    return e;
}

void Encode(const Score& score, int firstStave, int lastStave, bool asTemplate, int fontCount,
            int screenPpi, RecordSink& sink) {
    const bool partial = firstStave != 0 || lastStave != score.Nstaves;
    // An empty description is kept as one record holding a space.
    const std::string description = score.description.empty()
                                        ? std::string(1, ' ')
                                        : score.description.substr(0, kMaxDescription);
    const int descriptionRecords = asTemplate ? DescriptionRecordCount(description.size()) : 0;

    auto next = [&]() { return sink.next(); };

    uint8_t* h = next();
    int n = partial ? lastStave - firstStave + 1 : score.Nstaves;
    h[0] = static_cast<uint8_t>(n & 0xFF);
    h[15] = static_cast<uint8_t>((n >> 8) & 0xFF);
    h[1] = 'w';
    h[2] = 'S';
    h[4] = 'T';
    h[3] = static_cast<uint8_t>(
        (score.naturalsInKeyChange ? 1 : 0) | (score.boxedBarNumbers ? 2 : 0) |
        DescriptionCountBits(descriptionRecords) | (asTemplate ? 0x40 : 0) | (partial ? 0x80 : 0));
    h[5] = score.Spacing;
    h[6] = score.Pulse;
    h[7] =
        static_cast<uint8_t>(score.Beamang < 0 ? 0 : (score.Beamang > 255 ? 255 : score.Beamang));
    PutU16(h + 8, kWriterVersion);
    h[10] = 0;
    PutU16(h + 11, InchesToFile(score.page.Header));
    PutU16(h + 13, InchesToFile(score.page.Footer));
    h[16] = score.bagpipeScore ? 1 : 0;
    h[17] = static_cast<uint8_t>(screenPpi & 0xFF);
    h[18] = score.temperament;
    h[19] = static_cast<uint8_t>((score.proximity & 0x7F) | (score.includeGraceNotes ? 0x80 : 0));
    PutU16(h + 20, static_cast<uint32_t>(fontCount));

    uint8_t* p = next();
    PutU16(p, InchesToFile(score.page.Length));
    PutU16(p + 2, InchesToFile(score.page.Width));
    PutU16(p + 4, InchesToFile(score.page.TopM));
    PutU16(p + 6, InchesToFile(score.page.RightM));
    PutU16(p + 8, InchesToFile(score.page.LeftM));
    PutU16(p + 10, InchesToFile(score.page.BotM));
    PutU16(p + 12, InchesToFile(score.page.GutM));
    PutU16(p + 14, score.Tempo);
    PutU16(p + 16, score.Page1);
    p[18] = score.page.Facing ? 1 : 0;
    PutU16(p + 19, InchesToFile(score.staveSize));
    p[21] = score.page.landscape ? 1 : 0;

    for (int d = 0; d < descriptionRecords; ++d)
        PutString(next(), description.substr(static_cast<std::size_t>(d) * 21, 21), 21);

    for (int f = 1; f <= fontCount; ++f) {
        const FontDesc& fd = score.fonts[f];
        std::string name = fd.name.substr(0, kMaxFontName);
        // Each record is complete before the next is asked for: asking may pass
        // the earlier ones on.
        uint8_t* a = next();
        a[0] = static_cast<uint8_t>(f);
        PutString(a + 1, name.substr(0, 20), 20);
        uint8_t* b = next();
        PutString(b, name.size() > 20 ? name.substr(20) : std::string(), 12);
        PutU16(b + 13, static_cast<uint16_t>(fd.size));
        b[15] = fd.style & 0x0F;
        PutU32(b + 16, fd.colour);
        b[20] = fd.charset;
    }

    for (int s = firstStave; s <= lastStave; ++s)
        WriteStaveRecord(next(), score.stave(s).h, s == 0);

    for (int s = firstStave; s <= lastStave; ++s) {
        const StaveBlock& b = score.stave(s);
        int staveByte = partial ? s - firstStave + 1 : s;
        for (int i = 1; i <= b.h.Nobjec; ++i)
            WriteObjectRecord(next(), b.obj[i], staveByte, i);
    }
}

}  // namespace

std::string ResolveScoreFile(const std::string& path) {
    if (path.empty() || FileExists(path)) return path;
    const std::string ext = FileExtension(path);
    std::vector<std::string> tries;
    if (ext.empty()) {
        tries = {path + ".NW", path + ".nw", path + ".SWN", path + ".swn"};
    } else {
        std::string lower = ext;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        tries = {ChangeExtension(path, ToUpperAscii(ext)), ChangeExtension(path, lower)};
    }
    for (const std::string& t : tries)
        if (FileExists(t)) return t;
    return path;
}

int PreCheckFile(const std::string& path, bool skip) {
    if (skip) return 0;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? 1 : 7;
    if (!S_ISREG(st.st_mode)) return 2;
    if (st.st_size == 0) return 3;
    if (st.st_size % kRecordSize != 0) return 4;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 7;
    uint8_t r[kRecordSize];
    ssize_t n = ::read(fd, r, sizeof r);
    ::close(fd);
    if (n != kRecordSize) return 7;
    if (r[1] == 'w' && r[2] == 'S' && r[4] == 'T') return 0;
    if (r[8] == 200 && HasExtension(path, ".NW")) return 0;
    return 6;
}

std::string PreCheckMessage(int code, const std::string& path) {
    return FormatMessage(msg::PreCheckBase + code, path);
}

LoadResult LoadScore(Score& target, const std::string& pathIn, bool asTemplate, Host& host,
                     const FileEnv& env) {
    LoadResult result;
    const DebugOptions debug = target.debug;
    const std::string path = ResolveScoreFile(pathIn);
    int code = PreCheckFile(path, debug.acceptAnyFile);
    if (code != 0) {
        host.message(MsgType::Error, PreCheckMessage(code, pathIn), Buttons::OK);
        return result;
    }
    if (!FileExists(path)) {
        host.message(MsgType::Error, FormatMessage(msg::FileNotFoundQuoted, pathIn), Buttons::OK);
        return result;
    }
    RecordReader in;
    if (!in.open(path)) {
        host.message(MsgType::Error, FormatMessage(msg::FileReadFailed, path), Buttons::OK);
        return result;
    }

    Score score;
    score.debug = debug;
    try {
        const uint8_t* h = in.take();
        int nstaves = h[0] + 256 * h[15];
        uint8_t flags = h[3];
        score.naturalsInKeyChange = flags & 1;
        score.boxedBarNumbers = flags & 2;
        result.partial = flags & 0x80;
        result.isTemplate = flags & 0x40;
        int descriptions = DescriptionCountFromFlags(flags);
        score.Spacing = h[5] >= 1 && h[5] <= 5 ? h[5] : 3;
        score.Pulse = h[6] >= 2 && h[6] <= 7 ? h[6] : 3;
        int fileVer = GetU16(h + 8);
        result.fileVersion = fileVer;
        score.fileVersion = static_cast<uint16_t>(fileVer);
        if (fileVer == 500) score.Page1 = h[10] == 0 ? 1 : h[10];
        score.page.Header = InchesFromFile(GetU16(h + 11));
        score.page.Footer = InchesFromFile(GetU16(h + 13));
        score.proximity = (h[19] & 0x7F) > 40 ? 40 : (h[19] & 0x7F);
        score.includeGraceNotes = h[19] & 0x80;
        score.temperament = h[18];
        bool bagpipe = h[16] == 1;
        int numFonts = GetU16(h + 20);

        if (fileVer < 300) {
            host.message(MsgType::Error, MessageText(msg::CannotLoadNoteWorthy), Buttons::OK);
            return result;
        }
        int fileRes = fileVer >= 303 ? h[17] : env.screenPpi;
        double fontScale = 1.0;
        if (fileRes != 0 && fileRes != (env.screenPpi & 0xFF) && !asTemplate &&
            !env.keepFontSizes) {
            if (host.message(MsgType::Warning, MessageText(msg::RescaleFontsQuestion),
                             Buttons::YesNoHelp) == Answer::Yes)
                fontScale = static_cast<double>(fileRes) / env.screenPpi;
        }
        score.fontsInUse.reset();
        for (int i = 1; i <= numFonts && i <= kMaxFonts; ++i)
            score.fontsInUse.set(i);

        if (!(h[1] == 'w' && h[2] == 'S') && !debug.acceptAnyFile) {
            host.message(MsgType::Error, MessageText(msg::NotAStaffwrightFile), Buttons::OK);
            return result;
        }
        if (fileVer > kWriterVersion && !debug.acceptAnyFile) {
            if (host.message(
                    MsgType::Warning,
                    FormatMessage(msg::LaterVersionQuestion, MessageText(msg::ProductName)),
                    Buttons::OKCancel) != Answer::OK)
                throw Ewrongfiletype{};
        }
        if (nstaves > kMaxStaves) {
            host.message(MsgType::Error,
                         FormatMessage(msg::TooManyStavesInFile, nstaves, kMaxStaves), Buttons::OK);
            return result;
        }
        score.Beamang = h[7];
        // A whole file from version 302 on carries stave 0's record too.
        const int first = (!result.partial && fileVer >= 302) ? 0 : 1;
        const std::size_t needed = 2 + static_cast<std::size_t>(descriptions) +
                                   2 * static_cast<std::size_t>(numFonts) +
                                   static_cast<std::size_t>(nstaves - first + 1);
        if (in.records() < needed) throw Emusicoverflow{};  // before allocating any stave

        const uint8_t* p = in.take();
        score.page.Length = InchesFromFile(GetU16(p));
        score.page.Width = InchesFromFile(GetU16(p + 2));
        score.page.TopM = InchesFromFile(GetU16(p + 4));
        score.page.RightM = InchesFromFile(GetU16(p + 6));
        score.page.LeftM = InchesFromFile(GetU16(p + 8));
        score.page.BotM = InchesFromFile(GetU16(p + 10));
        score.page.GutM = InchesFromFile(GetU16(p + 12));
        score.Tempo = GetU16(p + 14) == 0 ? 120 : GetU16(p + 14);
        if (fileVer >= 501) score.Page1 = GetU16(p + 16) == 0 ? 1 : GetU16(p + 16);
        score.page.Facing = p[18] != 0;
        double size = InchesFromFile(GetU16(p + 19));
        score.staveSize =
            size < kMinStaveSize ? kMinStaveSize : (size > kMaxStaveSize ? kMaxStaveSize : size);
        score.page.landscape = p[21] == 1;

        score.description.clear();
        for (int d = 0; d < descriptions; ++d)
            score.description += GetString(in.take(), 21);
        if (score.description.size() > kMaxDescription) score.description.resize(kMaxDescription);

        for (int f = 0; f < numFonts; ++f) {
            const uint8_t* a = in.take();
            const uint8_t* b = in.take();
            int number = a[0];
            if (number == 0) continue;
            FontDesc& fd = score.fonts[number];
            fd.name = GetString(a + 1, 20) + GetString(b, 12);
            double pt = std::nearbyint(GetI16(b + 13) * fontScale);
            fd.size = static_cast<int16_t>(pt > 32767 ? 32767 : (pt < -32768 ? -32768 : pt));
            fd.style = b[15] & 0x0F;
            fd.colour = GetU32(b + 16);
            fd.charset = b[20];
        }

        score.Nstaves = static_cast<uint16_t>(nstaves);
        for (int s = 1; s <= nstaves; ++s)
            score.allocateStave(s);
        for (int s = first; s <= nstaves; ++s) {
            StaveBlock& b = s == 0 ? score.stave(0) : score.stave(s);
            ReadStaveRecord(in.take(), b.h, s);
            if (s == 0) b.h.Ycoord = 0;
        }

        StaveTracker tracker(score, first);
        bool toldProblem = false;  // one box for a file, however many records are off
        while (!in.atEnd()) {
            const uint8_t* r = in.take();
            int index = r[1];
            int kind = r[7];
            int s = tracker.place(r[0], index);
            if (s < 0 || kind > kMaxKind || index == 0 || index > kMaxObjects) {
                ++result.badRecords;
                continue;
            }
            StaveBlock& b = score.stave(s);
            if (index > b.h.Nobjec) {
                if (!toldProblem)
                    host.message(MsgType::Plain, FormatMessage(msg::ProblemWithStave, s, index),
                                 Buttons::OK);
                b.h.Nobjec = static_cast<uint8_t>(index);
                toldProblem = true;
            }
            ReadObjectData(r, b.obj[index], fileVer);
            tracker.filled(s);
        }
        // A stave whose records fell short was damaged: its missing slots stay
        // empty records rather than taking objects of another stave.
        for (int s = first; s <= nstaves; ++s) {
            int missing = score.stave(s).h.Nobjec - tracker.filledCount(s);
            if (missing > 0) result.badRecords += missing;
        }
        if (result.badRecords > 0)
            // Which file, and how much of it is missing, so that the user
            // knows what a page with less on it lost.
            host.message(MsgType::Error,
                         MessageText(msg::ErrorInFileData) + "\n\n" +
                             FormatMessage(msg::DamagedRecordsLeftOut, path, result.badRecords),
                         Buttons::OK);
        if (bagpipe) score.setBagpipe(true);
        score.setBeamAngle(score.Beamang);
        score.CurrentStave = nstaves > 0 ? 1 : 0;
    } catch (const Ewrongfiletype&) {
        return result;
    } catch (const Emusicoverflow&) {
        host.message(MsgType::Error, FormatMessage(msg::FileTruncated, path), Buttons::OK);
        return result;
    }
    target = std::move(score);
    result.ok = true;
    return result;
}

std::string EncodeScore(const Score& score, int firstStave, int lastStave, bool asTemplate,
                        int fontCount, int screenPpi) {
    std::string out;
    RecordSink sink([&](const uint8_t* data, std::size_t n) {
        out.append(reinterpret_cast<const char*>(data), n);
        return true;
    });
    Encode(score, firstStave, lastStave, asTemplate, fontCount, screenPpi, sink);
    sink.flush();
    return out;
}

SaveResult SaveScore(Score& score, const std::string& path, int firstStave, int lastStave,
                     bool asTemplate, bool showProgress, Host& host, const FileEnv& env,
                     const DescriptionAsker& askDescription) {
    if (firstStave < 0 || lastStave > score.Nstaves || firstStave > lastStave ||
        (firstStave == 0 && lastStave != score.Nstaves) || (asTemplate && firstStave == 0))
        return SaveResult::Failed;
    int fonts = RenumberFonts(score);

    std::string info;
    if (asTemplate) {
        bool more = false;
        for (int s = 1; s <= score.Nstaves && !more; ++s) {
            const StaveBlock& b = score.stave(s);
            for (int i = 1; i <= b.h.Nobjec; ++i) {
                int k = b.obj[i].kind;
                if (k != kClef && k != kKeysig && k != kNothing) {
                    more = true;
                    break;
                }
            }
        }
        if (more && host.message(MsgType::Warning, MessageText(msg::TemplateContentQuestion),
                                 Buttons::YesAbort) != Answer::Yes)
            return SaveResult::Abandoned;
        if (askDescription) {
            std::optional<std::string> d = askDescription();
            if (!d) return SaveResult::Abandoned;
            score.description = d->substr(0, kMaxDescription);
        }
        info = FormatMessage(msg::TemplateSavedAs, FileNameOf(path));
    } else if (firstStave == 0) {
        info = FormatMessage(msg::ScoreSavedAs, path);
    } else if (firstStave == lastStave) {
        info = FormatMessage(msg::StaveSavedAs, firstStave, path);
    } else {
        info = FormatMessage(msg::StavesSavedAs, firstStave, lastStave, path);
    }

    if (showProgress) host.progressBegin(info);
    bool whileWriting = false;
    int err = WriteReplacing(
        path,
        [&](RecordSink& sink) {
            Encode(score, firstStave, lastStave, asTemplate, fonts, env.screenPpi, sink);
        },
        whileWriting, env.io ? *env.io : SystemFileIo());
    if (showProgress) host.progressEnd();
    if (err != 0) {
        ReportSaveError(host, err, whileWriting);
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

std::string BackupName(const std::string& path) {
    // "name.swn" keeps its previous version as "Backup of name.swb".
    const std::string ext = FileExtension(path);
    const bool lower = !ext.empty() && ext != ToUpperAscii(ext);
    return DirectoryOf(path) + "Backup of " +
           ChangeExtension(FileNameOf(path), lower ? ".swb" : ".SWB");
}

bool BackupBeforeSave(const std::string& path, const FileEnv& env) {
    if (!env.backups || !HasExtension(path, ".SWN") || !FileExists(path)) return false;
    std::string backup = BackupName(path);
    ::unlink(backup.c_str());
    return ::rename(path.c_str(), backup.c_str()) == 0;
}

}  // namespace sw
