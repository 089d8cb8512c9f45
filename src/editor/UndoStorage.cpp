// Undo record storage.
#include "editor/UndoStorage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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
    return Transfer(at, reinterpret_cast<uint8_t*>(&length), 4, true) &&
           Transfer(at + 4, const_cast<uint8_t*>(record.data()), record.size(), true);
}

bool FileUndoStorage::read(int64_t slot, std::vector<uint8_t>& record) {
    if (fd_ < 0 || maxRecord_ == 0 || slot < 0) {
        error_ = EBADF;
        return false;
    }
    const off_t at = static_cast<off_t>(slot) * static_cast<off_t>(maxRecord_ + 4);
    uint32_t length = 0;
    if (!Transfer(at, reinterpret_cast<uint8_t*>(&length), 4, false)) return false;
    if (length == 0 || length > maxRecord_) {
        error_ = EIO;
        return false;
    }
    record.resize(length);
    return Transfer(at + 4, record.data(), length, false);
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
