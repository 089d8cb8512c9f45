// Where the undo ring keeps its records: a private temporary file, memory, or
// (for tests) memory that fails on request.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sw {

class UndoStorage {
  public:
    virtual ~UndoStorage() = default;
    // Each returns false on failure, with errno-like detail in error().
    virtual bool create() = 0;
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
    bool create() override;
    bool write(int64_t slot, const std::vector<uint8_t>& record) override;
    bool read(int64_t slot, std::vector<uint8_t>& record) override;
    void close() override;
    const std::string& path() const { return path_; }

  private:
    // One whole record in or out at its slot, retrying short transfers.
    bool Transfer(int64_t slot, uint8_t* data, bool writing);
    std::string folder_;
    std::string path_;
    int fd_ = -1;
    std::size_t recordSize_ = 0;
};

class MemoryUndoStorage : public UndoStorage {
  public:
    bool create() override { return true; }
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
    bool create() override;
    bool write(int64_t slot, const std::vector<uint8_t>& record) override;
    bool read(int64_t slot, std::vector<uint8_t>& record) override;
};

}  // namespace sw
