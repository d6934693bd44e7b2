#pragma once
// The framework's access object of one record file. It opens the file on first use (creating it
// when missing), counts its users, and does the record operations either reporting errors through
// the error object or quietly. Every operation returns a level:
//   0 done, 3 the file cannot be opened, 5 nothing read (end of file, not found) or the
//   operation refused (duplicate key, no current record, any failure of an open file).
// Reporting operations show the error first; reaching the end of the file is not an error.
#include <string>
#include <string_view>
#include <vector>

#include "platform/fw/FwError.h"
#include "platform/records/RecordFile.h"

class FwFileManager {
public:
    FwFileManager() = default;
    virtual ~FwFileManager() = default;
    FwFileManager(const FwFileManager&) = delete;
    FwFileManager& operator=(const FwFileManager&) = delete;

    // Set-up: the file (which is also its record buffer), the error object for reports, and the
    // shared name variable when the file takes its disk name from it (nullptr keeps the file's
    // own name). Mode, creation and lock recovery start at the program's values.
    void Init(RecordFile& file, FwError& errors, const std::string* nameVariable = nullptr);
    // The access object of the file an alias repeats; nullptr cuts the link.
    void SetAliasOf(FwFileManager* base) { aliasOf_ = base; }
    FwFileManager* AliasOf() const { return aliasOf_; }
    // Registers a key of the file's layout under its name; an unknown key throws std::logic_error.
    void AddKey(std::string_view key);
    const std::vector<std::string>& Keys() const { return keys_; }

    int OpenMode = FILE_READ_WRITE | FILE_DENY_ALL;
    bool Create = true;        // create the file when it is missing
    int LockRecover = 10;      // seconds an open waits while another program holds the file

    // Open: opens the file (or counts one more user of the open file). Reporting: the error is
    // shown and, while another program holds the file after LockRecover seconds, the user is
    // asked whether to try again.
    int Open();
    int TryOpen();
    // Ensure-open before use: opens the file for its first user when nobody has yet.
    int UseFile();
    // One user fewer; the last one closes the file.
    int Close();
    bool IsOpen() const;

    int Next();
    int TryNext();
    // Adds the record buffer as a new record.
    int Insert();
    int TryInsert();
    // Rewrites / deletes the record last read (reporting).
    int Update();
    int Delete();

    // Clears the record buffer, then sets the file's own values for a new record (PrimeFields).
    void PrimeRecord();

    // The disk name, on the file: a fixed name from now on, no longer the shared name variable.
    void SetName(std::string name);
    std::string GetName() const;

    // End of the run: closes the file when this object opened it and forgets every reference.
    void Kill();

    RecordFile* File() const { return file_; }
    FwError* Errors() const { return errors_; }

protected:
    // The values a new record of this file starts with; the buffer is clear when it is called.
    virtual void PrimeFields() {}

private:
    int OpenFile(bool report);
    int Ensure(bool report);
    void Report(int message, bool report, std::string_view key = {});
    std::string UniqueKeyName() const;

    RecordFile* file_ = nullptr;
    FwError* errors_ = nullptr;
    FwFileManager* aliasOf_ = nullptr;
    std::vector<std::string> keys_;
    int users_ = 0;
};
