#pragma once
// The program-wide error code of the file operations: every record-file (and line-file) operation
// sets it, per thread. 0 means done; the program tests 2 after an open and 33 after a read.
#include <string>
#include <string_view>

enum FileErrorCode : int {
    ERR_NONE = 0,
    ERR_FILE_NOT_FOUND = 2,     // file or table does not exist
    ERR_PATH_NOT_FOUND = 3,     // the directory does not exist
    ERR_ACCESS_DENIED = 5,      // no permission, or a write to a file opened read-only
    ERR_FILE_IN_USE = 32,       // opened exclusively elsewhere, or locked beyond the time-out
    ERR_NO_RECORD = 33,         // no further record in the direction of reading; no current record
    ERR_RECORD_NOT_FOUND = 35,  // no record with the key values (FileGet)
    ERR_INVALID_FILE = 36,      // not a record file of this program, or damaged
    ERR_DISK_FULL = 39,         // no room left on the disk (or the user's quota is used up)
    ERR_NOT_OPEN = 37,          // the operation needs an open file
    ERR_DUPLICATE_KEY = 40,     // a unique key already holds the value
    ERR_INVALID_NAME = 45,      // empty or malformed file name
    ERR_LAYOUT_MISMATCH = 47,   // the stored table has another record size or other keys
    ERR_TRANSACTION = 48,       // commit or roll back without a transaction, or it could not start
    ERR_ALREADY_OPEN = 52,      // the file object is open already (or must be closed first)
    ERR_REMOVE_OPEN = 55,       // an open file cannot be removed
    ERR_TRANSACTION_ACTIVE = 56,// a transaction is already active
    ERR_FILE_SYSTEM = 90,       // any other failure of the storage
};

// The code of the last file operation on this thread.
int ErrorCode();
// The German text of that code.
std::string ErrorText();
// The file name the last error concerns (empty after success).
std::string ErrorFile();
// The German text of any code; unknown codes get "Fehler <n>".
std::string ErrorTextFor(int code);

// Sets the code (and the file it concerns) for this thread; returns the code. Used by every
// file operation, including the line files.
int SetError(int code, std::string_view file = {});
