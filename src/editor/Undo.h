// Undo: snapshots of whole staves in a ring of fixed-size records, taken
// before every change and read back last-first, one command at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/WarningBox.h"
#include "editor/UndoStorage.h"
#include "model/Score.h"

namespace sw {

class Host;

enum UndoKind : uint8_t {
    kUndoStave = 1,       // one stave changes
    kUndoDelete = 2,      // staves are deleted at the index
    kUndoInsert = 3,      // staves are inserted after the index
    kUndoShiftBelow = 4,  // the staves below the index move vertically
    kUndoWithNext = 5,    // a stave and the next change together
    kUndoGroup = 6,       // consecutive staves change in one operation
    kUndoCursorOnly = 7,  // nothing is written
    kUndoPage = 8,        // the page data and stave size change with the staves from the index
    kUndoParts = 9,       // headers and single objects change in place (nothing moves)
};

// What undo reads and writes besides the staves.
struct UndoDocument {
    Score& score;
    int32_t& cursorX;
    bool& modified;
};

class UndoRing {
  public:
    static constexpr int kMaxDepth = 10000;

    explicit UndoRing(std::unique_ptr<UndoStorage> storage);
    ~UndoRing();

    // The depth from the settings, kept within 0..10000; used from the next open.
    void setDepth(int depth);
    int depth() const { return depth_; }
    // Starts a fresh history. When the storage cannot be made the user is
    // told once and the score is edited with undo off.
    void open(Host& host);
    void close();

    // Each writes its records before a command changes the staves; false when
    // the history could not be written (the user has been told, nothing of
    // the group is kept, and the command must not go on).
    bool saveStave(UndoDocument& doc, int index, int kind, Host& host);
    bool saveStaveGroup(UndoDocument& doc, int first, int last, int kind, Host& host);
    bool saveStaves(UndoDocument& doc, int index, int kind, int count, Host& host);
    // Only these headers and objects, a few hundred to a record: for edits
    // that rewrite numbers or flags in place over many staves, where whole
    // staves would cost megabytes of history.
    bool saveParts(UndoDocument& doc, const std::vector<StavePart>& parts, Host& host);

    // The records written between beginEdit and endEdit are one command:
    // undo takes them back together, whatever their kinds.
    void beginEdit();
    void endEdit();
    // How many records have been written so far (for withdrawing an edit's own).
    int64_t written() const { return available_; }

    bool canUndo() const { return held_ > 0; }
    int retrievable() const { return held_; }
    // Takes back the last `count` records written (a cancelled command).
    void withdraw(int count);

    struct Result {
        bool undone = false;
        bool redraw = false;
        bool structural = false;  // staves were inserted, removed or moved
        bool page = false;        // the page data or the stave size came back
    };
    // Undoes one command. Every record of the command is read and checked
    // before any stave is touched: a partly overwritten command restores
    // nothing.
    Result undoOne(UndoDocument& doc, Host& host, WarningBox& warnings);

  private:
    struct Record;
    bool writeRecord(UndoDocument& doc, int index, int kind, int count);
    bool store(Record& r);
    // The ring grows rather than let one command's records overwrite each other.
    void reserve(int64_t records);
    bool fail(Host& host, int written);

    std::unique_ptr<UndoStorage> storage_;
    int configuredDepth_ = 100;
    int depth_ = 0;
    int64_t writePos_ = 0;
    int64_t available_ = 0;  // sequence number of the next record
    int held_ = 0;           // records that can still be read back
    bool open_ = false;
    bool inEdit_ = false, editStarted_ = false;
};

// The Undo command: asks for confirmation at the beginner levels, undoes one
// command, keeps the current stave on the score and, after a structural undo,
// lays the score out again. Only in Music mode.
UndoRing::Result UndoExecute(UndoRing& ring, UndoDocument& doc, Host& host, WarningBox& warnings,
                             bool musicMode);

}  // namespace sw
