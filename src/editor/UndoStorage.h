// Where the undo ring keeps its records: a private temporary file, memory, or
// (for tests) memory that fails on request.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sw {

class UndoStorage {
  public:
    virtual ~UndoStorage() = default;
    // Each returns false on failure, with errno-like detail in error().
    // Records may differ in length, up to `maxRecord` bytes.
    virtual bool create(std::size_t maxRecord) = 0;
    virtual bool write(int64_t slot, const std::vector<uint8_t>& record) = 0;
    virtual bool read(int64_t slot, std::vector<uint8_t>& record) = 0;
    // Closes and removes the storage; failures are ignored.
    virtual void close() = 0;
    int error() const { return error_; }

  protected:
    int error_ = 0;
};

// An owner-only file "SWN…" in the temporary folder, removed on close.
class FileUndoStorage : public UndoStorage {
  public:
    explicit FileUndoStorage(std::string folder = {});
    ~FileUndoStorage() override;
    bool create(std::size_t maxRecord) override;
    bool write(int64_t slot, const std::vector<uint8_t>& record) override;
    bool read(int64_t slot, std::vector<uint8_t>& record) override;
    void close() override;
    const std::string& path() const { return path_; }

  private:
    // n bytes in or out at `at`, retrying short transfers.
    bool Transfer(off_t at, uint8_t* data, std::size_t n, bool writing);
    std::string folder_;
    std::string path_;
    int fd_ = -1;
    // Each slot holds a record's length (4 bytes), then the record.
    std::size_t maxRecord_ = 0;
};

class MemoryUndoStorage : public UndoStorage {
  public:
    bool create(std::size_t) override { return true; }
    bool write(int64_t slot, const std::vector<uint8_t>& record) override;
    bool read(int64_t slot, std::vector<uint8_t>& record) override;
    void close() override { slots_.clear(); }

  private:
    std::map<int64_t, std::vector<uint8_t>> slots_;
};

// Memory storage that fails where a test asks it to.
class FaultyUndoStorage : public MemoryUndoStorage {
  public:
    bool failCreate = false;
    int writesBeforeFailure = -1;  // -1: never fail
    bool failReads = false;
    bool create(std::size_t maxRecord) override;
    bool write(int64_t slot, const std::vector<uint8_t>& record) override;
    bool read(int64_t slot, std::vector<uint8_t>& record) override;
};

}  // namespace sw
