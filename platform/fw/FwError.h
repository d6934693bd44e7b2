#pragma once
// The program's error object: a table of German messages with placeholders, shown through
// MessageShow according to each message's fatality, and the per-thread stack of the names of the
// window procedures that are running (the innermost is "%Procedure" in a message).
//
// Levels returned by Throw are those of the framework (FwLevel.h): LEVEL_BENIGN 0, LEVEL_FATAL 3,
// LEVEL_NOTIFY 5, and LEVEL_CANCEL 4 for a question answered "Nein".
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/fw/FwLevel.h"
#include "platform/ui/MessageShow.h"

enum class FwFatality {
    Benign,    // nothing is shown; level 0
    Question,  // "Ja"/"Nein": 0 for Ja, LEVEL_CANCEL for Nein ("Nein" has the focus)
    Notice,    // OK; level 5
    Fatal,     // OK, then the program ends (Halt); level 3 if a halt handler returns
};

// Message numbers of the table. The program may add its own from FWMSG_USER on.
enum FwMessageId : int {
    FWMSG_OPEN_FAILED = 1,     // a file could not be opened
    FWMSG_CREATE_FAILED,       // a missing file could not be created
    FWMSG_FILE_IN_USE,         // another program holds the file: try again?
    FWMSG_READ_FAILED,
    FWMSG_ADD_FAILED,
    FWMSG_DUPLICATE_KEY,       // a unique key already holds the value
    FWMSG_PUT_FAILED,
    FWMSG_DELETE_FAILED,
    FWMSG_USER = 1000,
};

struct FwMessage {
    int id = 0;
    FwFatality fatality = FwFatality::Notice;
    std::string caption;
    std::string text;   // "|" starts a new line
};

// The values the placeholders stand for:
//   %File the disk name of the file, %Label its prefix (SCHICHT, TMPBEL, ...), %ErrorCode and
//   %ErrorText the file error, %Key a key name, %Message free text, %Procedure the innermost
//   procedure name of the calling thread.
struct FwErrorContext {
    std::string file;
    std::string label;
    int errorCode = 0;
    std::string errorText;
    std::string key;
    std::string message;

    // The file error of this thread (ErrorCode, ErrorText) for the named file.
    static FwErrorContext FromFileError(std::string_view label, std::string_view file);
};

class FwError {
public:
    using HaltHandler = std::function<void(const FwMessage& message)>;

    FwError();   // holds the framework's message table from the start
    virtual ~FwError() = default;
    FwError(const FwError&) = delete;
    FwError& operator=(const FwError&) = delete;

    // Set-up and tear-down at start and end of the run: the framework's table again, no
    // procedure names on any thread.
    void Init();
    void Kill();

    // Adds a message to the table or replaces the one of that number.
    void AddMessage(FwMessage message);
    // The message of that number, nullptr when the table has none.
    const FwMessage* FindMessage(int id) const;

    // Shows the message with the placeholders filled in and returns the level its fatality and
    // the answer give. An unknown number is shown as a notice naming the number.
    int Throw(int id, const FwErrorContext& context = {});
    // Shortcut: the current file error of this thread for the given file.
    int ThrowFile(int id, std::string_view label, std::string_view file);

    // The text with the placeholders filled in. A line ("|"-separated) that holds placeholders
    // which all came out empty is left out, so "Programmteil: %Procedure" disappears outside
    // any procedure.
    std::string SubsString(std::string_view text, const FwErrorContext& context) const;

    // The calling thread's stack of procedure names. Popping an empty stack does nothing.
    void PushProcedure(std::string_view name);
    void PopProcedure();
    std::string TopProcedure() const;   // empty when none
    size_t ProcedureDepth() const;

    // What a fatal message does after it was shown. Without a handler the process ends at once
    // (std::quick_exit, exit code 3): no cleanup of objects that other threads may still use.
    void SetHaltHandler(HaltHandler handler);

protected:
    // The seam to the screen; the framework shows through MessageShow.
    virtual int ShowMessage(const MessageRequest& request);
    virtual void Halt(const FwMessage& message);

private:
    void LoadDefaults();

    mutable std::mutex mutex_;
    std::map<int, FwMessage> table_;
    std::map<std::thread::id, std::vector<std::string>> procedures_;
    HaltHandler halt_;
};

// The program's one error object.
extern FwError GlobalErrorHandler;
