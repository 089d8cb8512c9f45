// Undo record storage.
#include "editor/UndoStorage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace sw {

FileUndoStorage::FileUndoStorage(std::string folder) : folder_(std::move(folder)) {}

FileUndoStorage::~FileUndoStorage() {
    close();
}

bool FileUndoStorage::create(std::size_t maxRecord) {
    close();
    maxRecord_ = maxRecord;
    std::string folder = folder_;
    if (folder.empty()) {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec).string();
        if (ec) folder = "/tmp";
    }
    std::string name = folder + "/SWNXXXXXX";
    // mkstemp makes the file owner-only.
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    path_ = name;
    return true;
}

// Slots are as long as the longest record, so a record is found by its
// number; a shorter record leaves the rest of its slot unwritten. A length of
// 0 marks a slot never written.
bool FileUndoStorage::write(int64_t slot, const std::vector<uint8_t>& record) {
    if (fd_ < 0 || record.empty() || record.size() > maxRecord_ || slot < 0) {
        error_ = fd_ < 0 ? EBADF : EINVAL;
        return false;
    }
    const off_t at = static_cast<off_t>(slot) * static_cast<off_t>(maxRecord_ + 4);
    uint32_t length = static_cast<uint32_t>(record.size());
    // The length and the record in one call; a short write goes on piece by piece.
    iovec parts[2] = {{&length, 4}, {const_cast<uint8_t*>(record.data()), record.size()}};
    ssize_t n;
    do
        n = ::pwritev(fd_, parts, 2, at);
    while (n < 0 && errno == EINTR);
    std::size_t done = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (done < 4 && !Transfer(at + static_cast<off_t>(done),
                              reinterpret_cast<uint8_t*>(&length) + done, 4 - done, true))
        return false;
    done = done > 4 ? done - 4 : 0;
    return Transfer(at + 4 + static_cast<off_t>(done), const_cast<uint8_t*>(record.data()) + done,
                    record.size() - done, true);
}

bool FileUndoStorage::read(int64_t slot, std::vector<uint8_t>& record) {
    if (fd_ < 0 || maxRecord_ == 0 || slot < 0) {
        error_ = EBADF;
        return false;
    }
    const off_t at = static_cast<off_t>(slot) * static_cast<off_t>(maxRecord_ + 4);
    // Most records are short: one read takes the length and all of the record,
    // and only a longer one needs a second.
    record.resize(std::min<std::size_t>(maxRecord_ + 4, 8192));
    ssize_t n;
    do
        n = ::pread(fd_, record.data(), record.size(), at);
    while (n < 0 && errno == EINTR);
    if (n < 4) {
        error_ = n < 0 ? errno : EIO;
        return false;
    }
    uint32_t length = 0;
    std::memcpy(&length, record.data(), 4);
    if (length == 0 || length > maxRecord_) {
        error_ = EIO;
        return false;
    }
    const std::size_t got = static_cast<std::size_t>(n);
    record.resize(4 + static_cast<std::size_t>(length));
    if (got < record.size() && !Transfer(at + n, record.data() + got, record.size() - got, false))
        return false;
    record.erase(record.begin(), record.begin() + 4);
    return true;
}

bool FileUndoStorage::Transfer(off_t at, uint8_t* data, std::size_t size, bool writing) {
    std::size_t done = 0;
    while (done < size) {
        const off_t where = at + static_cast<off_t>(done);
        ssize_t n = writing ? ::pwrite(fd_, data + done, size - done, where)
                            : ::pread(fd_, data + done, size - done, where);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void FileUndoStorage::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
}

bool MemoryUndoStorage::write(int64_t slot, const std::vector<uint8_t>& record) {
    slots_[slot] = record;
    return true;
}

bool MemoryUndoStorage::read(int64_t slot, std::vector<uint8_t>& record) {
    auto it = slots_.find(slot);
    if (it == slots_.end()) {
        error_ = EIO;
        return false;
    }
    record = it->second;
    return true;
}

bool FaultyUndoStorage::create(std::size_t maxRecord) {
    if (failCreate) {
        error_ = EACCES;
        return false;
    }
    return MemoryUndoStorage::create(maxRecord);
}

bool FaultyUndoStorage::write(int64_t slot, const std::vector<uint8_t>& record) {
    if (writesBeforeFailure == 0) {
        error_ = ENOSPC;
        return false;
    }
    if (writesBeforeFailure > 0) --writesBeforeFailure;
    return MemoryUndoStorage::write(slot, record);
}

bool FaultyUndoStorage::read(int64_t slot, std::vector<uint8_t>& record) {
    if (failReads) {
        error_ = EIO;
        return false;
    }
    return MemoryUndoStorage::read(slot, record);
}

}  // namespace sw
