// The one way a file is written: beside its target under a temporary name,
// every write checked, flushed to the disk, then renamed over the target. A
// failure at any step removes the temporary file and leaves the target as it
// was. The system calls go through `FileIo` so that tests can fail any of them.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace sw {

class FileIo {
  public:
    virtual ~FileIo() = default;
    // As the system calls: -1 (or a short count) with errno set on failure.
    virtual int open(const std::string& path, int flags, int mode);
    virtual ssize_t write(int fd, const void* data, std::size_t n);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const std::string& from, const std::string& to);
    virtual int unlink(const std::string& path);
};

// The system's own calls.
FileIo& SystemFileIo();

class AtomicFile {
  public:
    explicit AtomicFile(std::string target, FileIo& io = SystemFileIo());
    ~AtomicFile();  // a file never committed is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Makes the temporary file (with the target's permissions when it
    // exists). 0, or the errno of the failure.
    int open();
    // False once any write has failed (error() says why).
    bool write(const void* data, std::size_t n);
    // Flushes, closes and renames over the target; afterwards the stale
    // temporary files of processes that died while writing the same target
    // are removed. 0, or the errno of the failure (the target untouched).
    int commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

    int error() const { return error_; }
    // True while the failure came from writing the bytes (not from opening,
    // flushing or renaming).
    bool failedWhileWriting() const { return whileWriting_; }
    const std::string& temporaryPath() const { return temp_; }

  private:
    std::string target_, temp_;
    FileIo& io_;
    int fd_ = -1;
    int error_ = 0;
    bool whileWriting_ = false, committed_ = false;
};

// `bytes` written to `target` as above; `progress` (when given) hears the
// percentage done and may stop the write (the result is then ECANCELED).
int WriteFileAtomically(const std::string& target, std::string_view bytes,
                        FileIo& io = SystemFileIo(), const std::function<bool(int)>& progress = {});

// The user's words for a failed write: a full disk, no access, and so on.
std::string WriteErrorText(int error, bool whileWriting);

}  // namespace sw
