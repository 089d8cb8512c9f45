// SANE behind the scanner interface: device list, mode and resolution set by
// the options' names, the frame read in pieces with progress and Cancel.
#include "platform/SaneScanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace sw {

namespace {

class Device {
  public:
    explicit Device(SANE_Handle h) : h_(h) {}
    ~Device() {
        if (h_) sane_close(h_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    SANE_Handle handle() const { return h_; }

    // The option of that name, or 0.
    SANE_Int find(const char* name, const SANE_Option_Descriptor** desc) const {
        for (SANE_Int i = 1;; ++i) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
            if (!d) return 0;
            if (d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap) &&
                SANE_OPTION_IS_SETTABLE(d->cap)) {
                *desc = d;
                return i;
            }
        }
    }

    bool offers(const char* name, const char* value) const {
        const SANE_Option_Descriptor* d = nullptr;
        if (!find(name, &d) || d->constraint_type != SANE_CONSTRAINT_STRING_LIST) return false;
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
            if (std::strcmp(*s, value) == 0) return true;
        return false;
    }

    bool setString(const char* name, const char* value) {
        const SANE_Option_Descriptor* d = nullptr;
        const SANE_Int i = find(name, &d);
        if (!i || d->type != SANE_TYPE_STRING || d->size <= 0) return false;
        std::vector<char> buffer(static_cast<std::size_t>(d->size), 0);
        std::strncpy(buffer.data(), value, buffer.size() - 1);
        return sane_control_option(h_, i, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) ==
               SANE_STATUS_GOOD;
    }

    bool setNumber(const char* name, int value) {
        const SANE_Option_Descriptor* d = nullptr;
        const SANE_Int i = find(name, &d);
        if (!i || d->size < static_cast<SANE_Int>(sizeof(SANE_Word))) return false;
        SANE_Word word = value;
        if (d->type == SANE_TYPE_FIXED)
            word = SANE_FIX(value);
        else if (d->type != SANE_TYPE_INT)
            return false;
        std::vector<SANE_Word> buffer(static_cast<std::size_t>(d->size) / sizeof(SANE_Word), word);
        return sane_control_option(h_, i, SANE_ACTION_SET_VALUE, buffer.data(), nullptr) ==
               SANE_STATUS_GOOD;
    }

  private:
    SANE_Handle h_;
};

ScanOutcome Failure(ScanOutcome::Status status, SANE_Status why) {
    ScanOutcome out;
    out.status = status;
    out.detail = sane_strstatus(why);
    return out;
}

}  // namespace

SaneScanner::~SaneScanner() {
    if (started_) sane_exit();
}

bool SaneScanner::start() {
    if (!started_) {
        SANE_Int version = 0;
        started_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    return started_;
}

std::vector<std::string> SaneScanner::sources() {
    std::vector<std::string> names;
    const SANE_Device** list = nullptr;
    if (!start() || sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || !list) return names;
    for (const SANE_Device** d = list; *d; ++d)
        if ((*d)->name) names.emplace_back((*d)->name);
    return names;
}

ScanOutcome SaneScanner::acquire(const std::string& source, int dpi,
                                 const std::function<bool(int)>& progress) {
    if (!start()) return Failure(ScanOutcome::Failed, SANE_STATUS_INVAL);
    SANE_Handle handle = nullptr;
    SANE_Status status = sane_open(source.c_str(), &handle);
    if (status != SANE_STATUS_GOOD) return Failure(ScanOutcome::Failed, status);
    Device device(handle);

    if (device.offers(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_LINEART)) {
        device.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_LINEART);
    } else if (device.offers(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY)) {
        device.setString(SANE_NAME_SCAN_MODE, SANE_VALUE_SCAN_MODE_GRAY);
        device.setNumber(SANE_NAME_BIT_DEPTH, 1);
    }
    device.setNumber(SANE_NAME_SCAN_RESOLUTION, dpi);

    status = sane_start(handle);
    if (status == SANE_STATUS_CANCELLED) return Failure(ScanOutcome::Cancelled, status);
    if (status != SANE_STATUS_GOOD) return Failure(ScanOutcome::Failed, status);
    SANE_Parameters p{};
    status = sane_get_parameters(handle, &p);
    if (status != SANE_STATUS_GOOD) {
        sane_cancel(handle);
        return Failure(ScanOutcome::Failed, status);
    }
    if (p.format != SANE_FRAME_GRAY || (p.depth != 1 && p.depth != 8 && p.depth != 16)) {
        sane_cancel(handle);
        return Failure(ScanOutcome::NotMonochrome, SANE_STATUS_UNSUPPORTED);
    }
    const long long expected = p.lines > 0 ? static_cast<long long>(p.lines) * p.bytes_per_line : 0;
    std::string data;
    std::vector<SANE_Byte> buffer(64 * 1024);
    bool cancelled = false;
    for (;;) {
        SANE_Int got = 0;
        status = sane_read(handle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &got);
        if (status == SANE_STATUS_EOF) break;
        if (status != SANE_STATUS_GOOD) {
            sane_cancel(handle);
            return Failure(
                status == SANE_STATUS_CANCELLED ? ScanOutcome::Cancelled : ScanOutcome::Failed,
                status);
        }
        data.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(got));
        if (static_cast<long long>(data.size()) > kMostScanPixels * 2) {
            sane_cancel(handle);
            return Failure(ScanOutcome::Failed, SANE_STATUS_NO_MEM);
        }
        const int percent =
            expected > 0 ? static_cast<int>(static_cast<long long>(data.size()) * 100 / expected)
                         : 0;
        if (!cancelled && !progress(std::min(percent, 100))) {
            cancelled = true;
            sane_cancel(handle);
        }
    }
    sane_cancel(handle);
    if (cancelled) return Failure(ScanOutcome::Cancelled, SANE_STATUS_CANCELLED);
    ScanOutcome out;
    if (!SaneGreyToMask(data, p.pixels_per_line, p.bytes_per_line, p.depth, out.picture))
        return Failure(ScanOutcome::Failed, SANE_STATUS_EOF);
    out.status = ScanOutcome::Acquired;
    return out;
}

}  // namespace sw
