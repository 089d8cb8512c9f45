// The undo ring.
#include "editor/Undo.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "core/Host.h"
#include "core/MessageIds.h"
#include "core/Messages.h"
#include "layout/PageGeometry.h"
#include "layout/Pagination.h"
#include "model/SlotPacking.h"

namespace sw {

static_assert(std::is_trivially_copyable_v<StaveHeader>);
static_assert(std::is_trivially_copyable_v<ScoreObject>);
static_assert(std::is_trivially_copyable_v<PageData>);

// The record as kept in the private ring: a header, the stave's header, the
// page data, then the stave's slots in use, packed (SlotPacking.h). Counts are
// 32-bit: one command may cover thousands of staves.
struct UndoRing::Record {
    int32_t sequence = 0;
    int32_t count = 1;
    uint8_t kind = 0;
    uint16_t index = 0;
    uint16_t currentStave = 0;
    int32_t cursorX = 0;
    bool more = false;  // an earlier record belongs to the same command
    StaveHeader header;
    // Slots 0..header.Nobjec, packed; the slots above them are empty. A
    // record being written packs them straight from `source`.
    std::vector<uint8_t> packed;
    const StaveBlock* source = nullptr;
    // A parts record keeps `count` parts in the slots' place instead: each
    // the stave (2 bytes), the object (2 bytes, 0 for the header), then the
    // old header or object.
    std::vector<uint8_t> parts;
    // Restored by page records only.
    PageData page;
    double staveSize = 0;

    static constexpr std::size_t kHead = 24;
    static constexpr std::size_t kFixed =
        kHead + sizeof(StaveHeader) + sizeof(PageData) + sizeof(double);
    static constexpr std::size_t kSlotBytes = kSlots * sizeof(ScoreObject);
    static constexpr std::size_t kPartBytes = 4 + sizeof(ScoreObject);
    static constexpr int kPartsPerRecord = static_cast<int>(kSlotBytes / kPartBytes);
    static_assert(sizeof(StaveHeader) <= sizeof(ScoreObject));
    static constexpr std::size_t kMaxSize = kFixed + MaxPackedSize(kSlots);
    static_assert(kSlotBytes <= MaxPackedSize(kSlots));

    std::vector<uint8_t> encode() const {
        const std::size_t most = kind == kUndoParts ? static_cast<std::size_t>(count) * kPartBytes
                                                    : MaxPackedSize(UsedSlots(header));
        std::vector<uint8_t> out(kFixed + most, 0);  // padding stays zero
        uint8_t* p = out.data();
        std::memcpy(p, &sequence, 4);
        std::memcpy(p + 4, &count, 4);
        p[8] = kind;
        p[9] = more ? 1 : 0;
        std::memcpy(p + 10, &index, 2);
        std::memcpy(p + 12, &currentStave, 2);
        std::memcpy(p + 16, &cursorX, 4);
        std::memcpy(p + kHead, &header, sizeof header);
        std::memcpy(p + kHead + sizeof header, &page, sizeof page);
        std::memcpy(p + kHead + sizeof header + sizeof page, &staveSize, 8);
        if (kind == kUndoParts)
            std::memcpy(p + kFixed, parts.data(), most);
        else
            out.resize(kFixed + PackSlots(source->obj.data(), UsedSlots(header), p + kFixed));
        return out;
    }
    // False when the bytes are not a whole record.
    bool decode(const std::vector<uint8_t>& in) {
        if (in.size() < kFixed) return false;
        const uint8_t* p = in.data();
        std::memcpy(&sequence, p, 4);
        std::memcpy(&count, p + 4, 4);
        kind = p[8];
        more = p[9] != 0;
        std::memcpy(&index, p + 10, 2);
        std::memcpy(&currentStave, p + 12, 2);
        std::memcpy(&cursorX, p + 16, 4);
        std::memcpy(&header, p + kHead, sizeof header);
        std::memcpy(&page, p + kHead + sizeof header, sizeof page);
        std::memcpy(&staveSize, p + kHead + sizeof header + sizeof page, 8);
        const uint8_t* end = p + in.size();
        if (kind == kUndoParts) {
            if (count < 0 || count > kPartsPerRecord ||
                in.size() != kFixed + static_cast<std::size_t>(count) * kPartBytes)
                return false;
            parts.assign(p + kFixed, end);
        } else {
            if (UnpackSlots(p + kFixed, end, nullptr, UsedSlots(header)) != end) return false;
            packed.assign(p + kFixed, end);
        }
        return true;
    }
    StavePart part(int k) const {
        const uint8_t* p = parts.data() + static_cast<std::size_t>(k) * kPartBytes;
        uint16_t stave = 0, object = 0;
        std::memcpy(&stave, p, 2);
        std::memcpy(&object, p + 2, 2);
        return {stave, object};
    }
    // Whether every part names a header or slot of the staves 0..staves.
    bool partsFit(int staves) const {
        if (count < 0 || count > kPartsPerRecord) return false;
        for (int k = 0; k < count; ++k) {
            const StavePart at = part(k);
            if (at.stave > staves || at.object > kMaxObjects) return false;
        }
        return true;
    }
    void restoreParts(Score& score) const {
        for (int k = 0; k < count; ++k) {
            const StavePart at = part(k);
            const uint8_t* old = parts.data() + static_cast<std::size_t>(k) * kPartBytes + 4;
            if (at.object == 0)
                std::memcpy(&score.stave(at.stave).h, old, sizeof(StaveHeader));
            else
                std::memcpy(&score.object(at.stave, at.object), old, sizeof(ScoreObject));
        }
    }
    // The stave as it was: the slots used since are emptied again.
    void putInto(StaveBlock& b) const {
        const std::size_t used = UsedSlots(header), now = UsedSlots(b.h);
        UnpackSlots(packed.data(), packed.data() + packed.size(), b.obj.data(), used);
        for (std::size_t i = used; i < now; ++i)
            NewObjectRecord(b.obj[i]);
        b.h = header;
    }
    std::unique_ptr<StaveBlock> block() const {
        auto b = std::make_unique<StaveBlock>();
        putInto(*b);
        return b;
    }
};

UndoRing::UndoRing(std::unique_ptr<UndoStorage> storage) : storage_(std::move(storage)) {}

UndoRing::~UndoRing() {
    close();
}

void UndoRing::setDepth(int depth) {
    configuredDepth_ = std::clamp(depth, 0, kMaxDepth);
}

void UndoRing::open(Host& host) {
    close();
    depth_ = configuredDepth_;
    writePos_ = available_ = 0;
    held_ = 0;
    if (depth_ == 0) return;
    if (!storage_ || !storage_->create(Record::kMaxSize)) {
        host.message(MsgType::Warning,
                     FormatMessage(msg::UndoCannotCreate, storage_ ? storage_->error() : 0),
                     Buttons::OK);
        depth_ = 0;
        return;
    }
    open_ = true;
}

void UndoRing::close() {
    if (open_ && storage_) storage_->close();
    open_ = false;
}

void UndoRing::beginEdit() {
    inEdit_ = true;
    editStarted_ = false;
}

void UndoRing::endEdit() {
    inEdit_ = editStarted_ = false;
}

void UndoRing::withdraw(int count) {
    if (depth_ == 0) return;
    for (int k = 0; k < count && held_ > 0; ++k) {
        --available_;
        --held_;
        writePos_ = writePos_ == 0 ? depth_ - 1 : writePos_ - 1;
    }
}

bool UndoRing::fail(Host& host, int written) {
    withdraw(written);
    host.message(MsgType::Error, FormatMessage(msg::UndoWriteFailed, storage_->error()),
                 Buttons::OK);
    return false;
}

bool UndoRing::writeRecord(UndoDocument& doc, int index, int kind, int count) {
    Record r;
    r.sequence = static_cast<int32_t>(available_);
    r.count = count;
    r.kind = static_cast<uint8_t>(kind);
    r.index = static_cast<uint16_t>(index);
    r.currentStave = doc.score.CurrentStave;
    r.cursorX = doc.cursorX;
    r.more = inEdit_ && editStarted_;
    r.page = doc.score.page;
    r.staveSize = doc.score.staveSize;
    const StaveBlock& b = doc.score.stave(index);
    r.header = b.h;
    r.source = &b;
    return store(r);
}

bool UndoRing::store(Record& r) {
    if (!storage_->write(writePos_, r.encode())) return false;
    ++available_;
    editStarted_ = editStarted_ || inEdit_;
    held_ = std::min(held_ + 1, depth_);
    writePos_ = writePos_ + 1 >= depth_ ? 0 : writePos_ + 1;
    return true;
}

bool UndoRing::saveStave(UndoDocument& doc, int index, int kind, Host& host) {
    if (kind == kUndoCursorOnly || index < 0 || index > doc.score.Nstaves) return true;
    doc.modified = true;
    if (depth_ == 0 || !open_) return true;
    int written = 0;
    if (kind == kUndoWithNext && index < doc.score.Nstaves) {
        if (!writeRecord(doc, index + 1, kUndoStave, 1)) return fail(host, written);
        ++written;
    }
    if (!writeRecord(doc, index, kind, 1)) return fail(host, written);
    return true;
}

bool UndoRing::saveStaves(UndoDocument& doc, int index, int kind, int count, Host& host) {
    if (index < 0 || index > doc.score.Nstaves || count < 1) return true;
    doc.modified = true;
    if (depth_ == 0 || !open_) return true;
    // A group never wraps inside itself: the ring grows to hold it.
    const bool group = kind == kUndoGroup || kind == kUndoPage;
    const int extra = group ? count - 1 : (kind == kUndoInsert ? 1 : 0);
    reserve(extra + 1);
    int written = 0;
    if (kind == kUndoInsert && index < doc.score.Nstaves) {
        if (!writeRecord(doc, index + 1, kUndoShiftBelow, 1)) return fail(host, written);
        ++written;
    }
    if (group)
        for (int s = std::min<int>(index + count - 1, doc.score.Nstaves); s > index; --s) {
            if (!writeRecord(doc, s, kUndoStave, 1)) return fail(host, written);
            ++written;
        }
    if (!writeRecord(doc, index, kind, count)) return fail(host, written);
    return true;
}

void UndoRing::reserve(int64_t records) {
    if (writePos_ + records > depth_) depth_ = static_cast<int>(writePos_ + records);
}

bool UndoRing::saveParts(UndoDocument& doc, const std::vector<StavePart>& parts, Host& host) {
    for (const StavePart& at : parts)
        if (at.stave < 0 || at.stave > doc.score.Nstaves || at.object < 0 ||
            at.object > kMaxObjects)
            return false;
    if (parts.empty()) return true;
    doc.modified = true;
    if (depth_ == 0 || !open_) return true;
    const int per = Record::kPartsPerRecord;
    const int records = static_cast<int>((parts.size() + per - 1) / per);
    reserve(records);
    const bool chained = inEdit_ && editStarted_;
    for (int n = 0; n < records; ++n) {
        Record r;
        r.sequence = static_cast<int32_t>(available_);
        r.kind = kUndoParts;
        r.currentStave = doc.score.CurrentStave;
        r.cursorX = doc.cursorX;
        r.more = chained || n > 0;  // the parts' records are one command
        r.page = doc.score.page;
        r.staveSize = doc.score.staveSize;
        const std::size_t from = static_cast<std::size_t>(n) * per;
        const std::size_t to = std::min(parts.size(), from + per);
        r.count = static_cast<int32_t>(to - from);
        r.parts.assign(r.count * Record::kPartBytes, 0);
        for (std::size_t k = from; k < to; ++k) {
            uint8_t* p = r.parts.data() + (k - from) * Record::kPartBytes;
            const uint16_t stave = static_cast<uint16_t>(parts[k].stave);
            const uint16_t object = static_cast<uint16_t>(parts[k].object);
            std::memcpy(p, &stave, 2);
            std::memcpy(p + 2, &object, 2);
            if (object == 0)
                std::memcpy(p + 4, &doc.score.stave(stave).h, sizeof(StaveHeader));
            else
                std::memcpy(p + 4, &doc.score.object(stave, object), sizeof(ScoreObject));
        }
        if (!store(r)) return fail(host, n);
    }
    return true;
}

bool UndoRing::saveStaveGroup(UndoDocument& doc, int first, int last, int kind, Host& host) {
    if (last < first) return true;
    return saveStaves(doc, first, kind, last - first + 1, host);
}

UndoRing::Result UndoRing::undoOne(UndoDocument& doc, Host& host, WarningBox& warnings) {
    Result result;
    Score& score = doc.score;
    if (depth_ == 0) {
        warnings.show(host, msg::UndoIsOff, 4, false);
        return result;
    }
    if (held_ == 0) {
        warnings.show(host, msg::UndoDepthExceeded, 4, false);
        return result;
    }
    // Read the whole command first: its head, then the records it chains.
    std::vector<Record> chain;
    int64_t avail = available_, pos = writePos_;
    int left = held_;
    std::size_t needed = 1;
    std::vector<uint8_t> bytes;
    // A command's records end where the needed count is reached and the last
    // one read has no earlier record of the same edit.
    while (chain.size() < needed || (!chain.empty() && chain.back().more)) {
        if (left == 0) break;
        --avail;
        --left;
        pos = pos == 0 ? depth_ - 1 : pos - 1;
        Record r;
        if (!storage_->read(pos, bytes) || !r.decode(bytes)) {
            host.message(MsgType::Error, FormatMessage(msg::UndoReadFailed, storage_->error()),
                         Buttons::OK);
            return result;
        }
        if (r.sequence != avail) break;  // overwritten by newer history
        chain.push_back(std::move(r));
        if (chain.size() == 1) {
            const Record& head = chain[0];
            int further = 0;
            if (head.kind == kUndoDelete || head.kind == kUndoGroup || head.kind == kUndoPage)
                further = std::max(0, head.count - 1);
            else if (head.kind == kUndoInsert)
                further = head.index < score.Nstaves - head.count ? 1 : 0;
            else if (head.kind == kUndoWithNext)
                further = head.index < score.Nstaves ? 1 : 0;
            needed = 1 + static_cast<std::size_t>(further);
        }
    }
    if (chain.size() < needed || chain.back().more) {
        // Part of the command is gone: restore nothing, and nothing older is reachable.
        held_ = 0;
        warnings.show(host, msg::UndoIncomplete, 4, false);
        return result;
    }
    // Check that every record names a stave the score can take before changing anything.
    int staves = score.Nstaves;
    for (const Record& r : chain) {
        if (r.kind == kUndoDelete) ++staves;
        if (r.kind == kUndoInsert) staves -= r.count;
        if (r.index > std::max(staves, 0) || staves > kMaxStaves || staves < 0 ||
            (r.kind == kUndoParts && !r.partsFit(staves))) {
            held_ = 0;
            warnings.show(host, msg::UndoIncomplete, 4, false);
            return result;
        }
    }

    // Staves were inserted or removed on the unpaginated strip: their records
    // go back into it, and the caller lays the pages out again.
    if (std::any_of(chain.begin(), chain.end(),
                    [](const Record& r) { return r.kind == kUndoInsert || r.kind == kUndoDelete; }))
        Unpaginate(score);
    for (const Record& r : chain) {
        const int index = r.index;
        switch (r.kind) {
            case kUndoDelete:
                score.insertStave(index, r.block());
                result.structural = true;
                break;
            case kUndoShiftBelow: {
                const int32_t before = score.stave(index).h.Ycoord;
                r.putInto(score.stave(index));
                const int32_t dy = r.header.Ycoord - before;
                for (int s = index + 1; s <= score.Nstaves; ++s)
                    ShiftStave(score, s, dy);
                result.structural = true;
                break;
            }
            case kUndoParts:
                r.restoreParts(score);
                result.redraw = true;
                break;
            case kUndoPage:
                score.page = r.page;
                score.staveSize = r.staveSize;
                result.page = result.structural = true;
                [[fallthrough]];
            default: {
                r.putInto(score.stave(index));
                if (r.kind == kUndoInsert) {
                    for (int k = 0; k < r.count && index + 1 <= score.Nstaves; ++k)
                        score.removeStave(index + 1);
                    result.structural = true;
                }
                break;
            }
        }
    }
    available_ = avail;
    writePos_ = pos;
    held_ = left;
    score.CurrentStave = chain.front().currentStave;
    doc.cursorX = chain.front().cursorX;
    result.undone = true;
    result.redraw = true;
    return result;
}

UndoRing::Result UndoExecute(UndoRing& ring, UndoDocument& doc, Host& host, WarningBox& warnings,
                             bool musicMode) {
    if (!musicMode) return {};
    if (warnings.ask(host, msg::UndoConfirm, 3, Buttons::YesNo) != Answer::Yes) return {};
    UndoRing::Result r = ring.undoOne(doc, host, warnings);
    Score& score = doc.score;
    if (score.Nstaves > 0)
        score.CurrentStave =
            static_cast<uint16_t>(std::clamp<int>(score.CurrentStave, 1, score.Nstaves));
    if (r.structural) {
        // Inserted, removed or moved staves: no stale pages or system numbers.
        RebuildTrailers(score);
        Repaginate(score, ComputePageGeometry(score).height);
    }
    return r;
}

}  // namespace sw
