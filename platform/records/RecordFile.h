#pragma once
// Keyed record files on SQLite. A RecordFile is one file of the program: its layout, its record
// buffer (the RecordFile is the buffer: AZP.GetInt("GRUPPE")), its disk name and, while open,
// its place in the stored table. The File* operations work on it the way the program's code is
// written:
//
//   AZP.SetInt("ID", id); AZP.SetInt("STEP", step);
//   FileSet(AZP, "KeyID");
//   while (FileNext(AZP) == 0 && AZP.GetInt("ID") == id && AZP.GetInt("STEP") == step) { ... }
//
// Disk names: "path" is a single-table file; "path\!table" is the table of a container file.
// Backslashes in the path part are taken as "/". Every operation sets the per-thread error code
// (FileError.h) and returns it, except FileRecords, which returns the count.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/records/FileError.h"
#include "platform/records/Layout.h"
#include "platform/records/RecordBuffer.h"

// Open modes: access in the low half-byte, sharing in the high one. The program opens its own
// files FILE_READ_WRITE | FILE_DENY_ALL (12h).
enum FileMode : int {
    FILE_READ_ONLY = 0x00,
    FILE_WRITE_ONLY = 0x01,
    FILE_READ_WRITE = 0x02,
    FILE_DENY_ALL = 0x10,
    FILE_DENY_WRITE = 0x20,
    FILE_DENY_READ = 0x30,
    FILE_DENY_NONE = 0x40,
};

using KeyValue = std::variant<int64_t, double, std::string>;

// Where a file stands in its reading order (FilePosition / FileReset).
struct RecordPosition {
    int key = -1;                   // -1: stored order
    std::vector<KeyValue> values;   // key values of the point
    int64_t nextId = INT64_MIN;     // the next read starts at (values, nextId)...
    bool nextInclusive = true;      // ...including it or after it
    int64_t prevId = INT64_MAX;
    bool prevInclusive = true;
};

class RecordFile : public RecordBuffer {
public:
    RecordFile(std::string prefix, std::shared_ptr<const Layout> layout);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const std::string& Prefix() const { return prefix_; }

    // The disk name: a fixed name, or a name variable that is read at each open, create and
    // remove (the shared name variable of the project tables). SetName unbinds the variable.
    void SetName(std::string name);
    void BindName(const std::string* variable);
    std::string Name() const;

    struct State;   // the open table; defined by the implementation

private:
    friend struct FileAccess;
    std::string prefix_;
    std::string name_;
    const std::string* nameVariable_ = nullptr;
    std::unique_ptr<State> state_;
};

// Opening and closing. FileOpen: 2 when the file or table does not exist (the caller then
// creates it), 32 when it is open exclusively elsewhere, 36 for a file that is not ours or is
// damaged, 47 when the stored table has another record size or other keys, 52 when already open.
int FileOpen(RecordFile& file, int mode = FILE_READ_WRITE | FILE_DENY_WRITE);
// Creates the table (and the container when missing), replacing an existing table of that name;
// the file stays closed. A container that is not ours is left alone (36).
int FileCreate(RecordFile& file);
int FileClose(RecordFile& file);
// Removes the table of a container, or the whole single-table file. 55 while it is open.
int FileRemove(RecordFile& file);
// Removes a file or table by name; a name without "\!" removes the whole file.
int FileRemoveNamed(std::string_view name);
bool FileIsOpen(const RecordFile& file);
// The mode the file is open in, -1 when closed.
int FileOpenMode(const RecordFile& file);

// Reading. FileSet(file) starts at the beginning of the stored order (or its end for
// FilePrevious); FileSet(file, key) starts at the buffer's values of that key: FileNext reads
// the first record at or after them, FilePrevious the last at or before them. Key order, then
// the order of adding among equal keys, is the reading order. 33 at the end.
int FileSet(RecordFile& file);
int FileSet(RecordFile& file, std::string_view key);
int FileNext(RecordFile& file);
int FilePrevious(RecordFile& file);
// Reads the first record whose key equals the buffer's values of that key (35 when none);
// the reading position stays where it was.
int FileGet(RecordFile& file, std::string_view key);
RecordPosition FilePosition(const RecordFile& file);
// Back to a position taken by FilePosition: the next FileNext reads that record again.
int FileReset(RecordFile& file, const RecordPosition& position);

// Writing. FileAdd adds the buffer as a new record (40 when a unique key holds its value).
// FilePut rewrites and FileDelete deletes the record last read, got or added (33 when none).
int FileAdd(RecordFile& file);
int FilePut(RecordFile& file);
int FileDelete(RecordFile& file);
int FileEmpty(RecordFile& file);
// Number of records; 0 (and the error code) when the file is not open.
int64_t FileRecords(RecordFile& file);

// Transactions over one or more open files, waiting up to `timeoutSeconds` for the lock.
// One transaction at a time. After FileRollback nothing of it is left.
int FileLogout(int timeoutSeconds, std::initializer_list<RecordFile*> files);
template <typename... Files>
int FileLogout(int timeoutSeconds, Files&... files) {
    return FileLogout(timeoutSeconds, std::initializer_list<RecordFile*>{&files...});
}
int FileCommit();
int FileRollback();
bool FileInTransaction();

// Copies a whole file (a container with all its tables) from a consistent state to a temporary
// name beside the destination ("<destination>.copying-XXXXXX"), makes it durable and renames it
// into place, so that a crash leaves either the old or the new file. A scratch destination (name
// ending in "~" or ".tmp") is not synced to disk. Copies to the same destination that a crashed
// process left behind are removed first. 32 when the destination is open.
int FileCopyNamed(std::string_view source, std::string_view destination);
// Disk syncs FileCopyNamed has asked for in this process (for tests and benchmarks).
uint64_t FileCopySyncCount();

// What FileCheckNamed found.
struct FileCheckReport {
    std::string table;      // the first damaged table; empty when the damage is not in a table
    int64_t record = 0;     // its damaged record, counted from 1 in stored order (0: none)
    std::string problem;    // what is wrong, in German; empty when nothing is
    int64_t repaired = 0;   // records whose key columns were rewritten from the record
};
// Checks a whole container file before it is used: SQLite's own structure, and every table against
// its stored description (each record of the declared size, the key columns beside it equal to the
// record's own fields). Key columns that hold no value of their kind (NULL, text for a number) are
// rewritten from their record when `repair`, and the indexes rebuilt; two sound values that
// disagree cannot be mended without guessing which side is right. Any damage not mended is 36 with
// the report naming the table and record. The file must not be open (32).
int FileCheckNamed(std::string_view name, bool repair, FileCheckReport* report = nullptr);

// The lock that keeps a file of the user's from other programs while this one works on it (the
// project file while the project is open): FileHoldNamed takes it (32 when another program or this
// one holds it, or has it open exclusively; a missing file is only reserved, in this process).
// While held, this process reads the file and FileCopyNamed replaces it as usual, and the hold
// moves on to the new file; other processes can neither open it exclusively nor copy over it.
int FileHoldNamed(std::string_view name);
void FileReleaseNamed(std::string_view name);
bool FileHeldNamed(std::string_view name);

// A name for a scratch file of this process that no other file has: in the program's own folder
// for temporary files (made private at first use, removed when the process ends normally), ending
// in "~" so that it is scratch. `stem` makes it readable ("Kosten"). Making the folder removes
// those that processes of this user left when they ended without tidying up. Empty when no such
// folder can be made (the temporary folder not writable): the error code tells why and the error
// file names the temporary folder; there is never a name outside a private folder.
std::string FileScratchName(std::string_view stem);
