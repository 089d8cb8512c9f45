// Writing files so that a failure never leaves a broken one.
#include "core/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/MessageIds.h"
#include "core/Messages.h"

namespace sw {

int FileIo::open(const std::string& path, int flags, int mode) {
    return ::open(path.c_str(), flags, mode);
}
ssize_t FileIo::write(int fd, const void* data, std::size_t n) {
    return ::write(fd, data, n);
}
int FileIo::fsync(int fd) {
    return ::fsync(fd);
}
int FileIo::close(int fd) {
    return ::close(fd);
}
int FileIo::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}
int FileIo::unlink(const std::string& path) {
    return ::unlink(path.c_str());
}

FileIo& SystemFileIo() {
    // Stateless: the one instance holds nothing that could change.
    static FileIo io;
    return io;
}

namespace {

const std::string kSaving = ".saving-";

// Temporary files of the same target left by processes that no longer run.
void RemoveStaleTemporaries(const std::string& target, FileIo& io) {
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string prefix = base + kSaving;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        // name.saving-PID-N
        const std::string rest = name.substr(prefix.size());
        char* end = nullptr;
        const long pid = std::strtol(rest.c_str(), &end, 10);
        if (end == rest.c_str() || *end != '-' || pid <= 0) continue;
        if (pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        io.unlink(slash == std::string::npos ? name : dir + name);
    }
    ::closedir(d);
}

}  // namespace

AtomicFile::AtomicFile(std::string target, FileIo& io) : target_(std::move(target)), io_(io) {}

AtomicFile::~AtomicFile() {
    if (!committed_) abandon();
}

int AtomicFile::open() {
    struct stat old;
    const bool hadOld = ::stat(target_.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) return error_ = EISDIR;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = target_ + kSaving + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd_ = io_.open(temp_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                       hadOld ? static_cast<int>(old.st_mode & 07777) : 0666);
        if (fd_ < 0 && errno != EEXIST) {
            error_ = errno ? errno : EIO;
            temp_.clear();
            return error_;
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return error_ = EEXIST;
    }
    // The new version keeps the old one's permissions, whatever the umask.
    if (hadOld) (void)::fchmod(fd_, old.st_mode & 07777);
    return 0;
}

bool AtomicFile::write(const void* data, std::size_t n) {
    if (fd_ < 0 || error_ != 0) return false;
    const auto* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < n) {
        errno = 0;
        const ssize_t w = io_.write(fd_, p + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            // A short write of nothing is a full disk that said no more.
            error_ = w < 0 && errno != 0 ? errno : ENOSPC;
            whileWriting_ = true;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

int AtomicFile::commit() {
    if (fd_ < 0) return error_ ? error_ : (error_ = EBADF);
    if (error_ != 0) {
        abandon();
        return error_;
    }
    auto fail = [this](int e) {
        error_ = e ? e : EIO;
        abandon();
        return error_;
    };
    // A file system that cannot sync (a pipe, some special files) says so
    // with EINVAL; anything else is a failure to reach the disk.
    if (io_.fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (io_.close(fd) != 0) return fail(errno);
    if (io_.rename(temp_, target_) != 0) return fail(errno);
    committed_ = true;
    temp_.clear();
    RemoveStaleTemporaries(target_, io_);
    return 0;
}

void AtomicFile::abandon() {
    if (fd_ >= 0) {
        io_.close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) io_.unlink(temp_);
    temp_.clear();
}

int WriteFileAtomically(const std::string& target, std::string_view bytes, FileIo& io,
                        const std::function<bool(int)>& progress) {
    AtomicFile file(target, io);
    if (const int e = file.open()) return e;
    // Written in pieces so that a progress box moves and a cancel is heard.
    constexpr std::size_t kChunk = 16 * 1024;
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t n = std::min(kChunk, bytes.size() - done);
        if (!file.write(bytes.data() + done, n)) return file.error();
        done += n;
        if (progress && !progress(static_cast<int>(done * 100 / bytes.size()))) {
            file.abandon();
            return ECANCELED;
        }
    }
    return file.commit();
}

std::string WriteErrorText(int e, bool whileWriting) {
    switch (e) {
        case ENOSPC:
        case EDQUOT:
            return MessageText(msg::WriteDiskFull);
        default:
            break;
    }
    if (whileWriting) return FormatMessage(msg::WriteErrorCode, e);
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return MessageText(msg::WriteFileNotFound);
        case ENAMETOOLONG:
        case EINVAL:
            return MessageText(msg::WriteInvalidFilename);
        case EMFILE:
        case ENFILE:
            return MessageText(msg::WriteTooManyOpenFiles);
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return MessageText(msg::WriteAccessDenied);
        case EBUSY:
        case ETXTBSY:
            return MessageText(msg::WriteSharingViolation);
        default:
            return FormatMessage(msg::ProcessingErrorCode, e);
    }
}

}  // namespace sw
