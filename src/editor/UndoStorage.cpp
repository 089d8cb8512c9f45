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

bool FileUndoStorage::create() {
    close();
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

bool FileUndoStorage::write(int64_t slot, const std::vector<uint8_t>& record) {
    if (fd_ < 0) {
        error_ = EBADF;
        return false;
    }
    recordSize_ = record.size();
    return Transfer(slot, const_cast<uint8_t*>(record.data()), true);
}

bool FileUndoStorage::read(int64_t slot, std::vector<uint8_t>& record) {
    if (fd_ < 0 || recordSize_ == 0) {
        error_ = EBADF;
        return false;
    }
    record.assign(recordSize_, 0);
    return Transfer(slot, record.data(), false);
}

bool FileUndoStorage::Transfer(int64_t slot, uint8_t* data, bool writing) {
    const off_t at = static_cast<off_t>(slot) * static_cast<off_t>(recordSize_);
    std::size_t done = 0;
    while (done < recordSize_) {
        const off_t where = at + static_cast<off_t>(done);
        ssize_t n = writing ? ::pwrite(fd_, data + done, recordSize_ - done, where)
                            : ::pread(fd_, data + done, recordSize_ - done, where);
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

bool FaultyUndoStorage::create() {
    if (failCreate) {
        error_ = EACCES;
        return false;
    }
    return MemoryUndoStorage::create();
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
