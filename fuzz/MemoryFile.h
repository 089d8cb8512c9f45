// An in-memory file reachable by path, so that a reader runs exactly as it
// does on a real file. The descriptor is the caller's to close.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

inline std::string MemoryFile(const uint8_t* data, size_t size, int& fd) {
    fd = ::memfd_create("score", 0);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}
