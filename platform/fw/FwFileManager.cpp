#include "platform/fw/FwFileManager.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/fw/FwLevel.h"

namespace {

constexpr auto kLockPoll = std::chrono::milliseconds(100);

} // namespace

void FwFileManager::Init(RecordFile& file, FwError& errors, const std::string* nameVariable) {
    file_ = &file;
    errors_ = &errors;
    aliasOf_ = nullptr;
    keys_.clear();
    users_ = 0;
    OpenMode = FILE_READ_WRITE | FILE_DENY_ALL;
    Create = true;
    LockRecover = 10;
    if (nameVariable) file.BindName(nameVariable);
}

void FwFileManager::AddKey(std::string_view key) {
    if (!file_ || file_->GetLayout().FindKey(key) < 0)
        throw std::logic_error((file_ ? file_->Prefix() : std::string("?")) + ": no key " + std::string(key));
    keys_.emplace_back(key);
}

bool FwFileManager::IsOpen() const { return file_ && FileIsOpen(*file_); }

void FwFileManager::Report(int message, bool report, std::string_view key) {
    if (!report || !errors_ || !file_) return;
    // The caller may look at the error code after the message: keep it.
    const int code = ErrorCode();
    const std::string file = ErrorFile();
    FwErrorContext c = FwErrorContext::FromFileError(file_->Prefix(), file_->Name());
    c.key = key;
    errors_->Throw(message, c);
    SetError(code, file);
}

int FwFileManager::OpenFile(bool report) {
    if (!file_) return LEVEL_FATAL;
    if (FileIsOpen(*file_)) {
        ++users_;
        return LEVEL_BENIGN;
    }
    users_ = 0;   // closed behind our back
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::seconds(LockRecover);
    for (;;) {
        int err = FileOpen(*file_, OpenMode);
        if (err == ERR_FILE_NOT_FOUND && Create) {
            if (FileCreate(*file_) != ERR_NONE) {
                Report(FWMSG_CREATE_FAILED, report);
                return LEVEL_FATAL;
            }
            err = FileOpen(*file_, OpenMode);
        }
        if (err == ERR_NONE) {
            users_ = 1;
            return LEVEL_BENIGN;
        }
        if (err != ERR_FILE_IN_USE) break;
        if (Clock::now() < deadline) {
            std::this_thread::sleep_for(kLockPoll);
            continue;
        }
        // Still held by another program: the user decides whether to wait once more.
        if (!report || !errors_) return LEVEL_FATAL;
        const std::string file = ErrorFile();
        const int answer = errors_->Throw(FWMSG_FILE_IN_USE, FwErrorContext::FromFileError(file_->Prefix(), file_->Name()));
        if (answer != LEVEL_BENIGN) {
            SetError(ERR_FILE_IN_USE, file);
            return LEVEL_FATAL;
        }
        deadline = Clock::now() + std::chrono::seconds(LockRecover);
    }
    Report(FWMSG_OPEN_FAILED, report);
    return LEVEL_FATAL;
}

int FwFileManager::Open() { return OpenFile(true); }
int FwFileManager::TryOpen() { return OpenFile(false); }

int FwFileManager::Ensure(bool report) {
    if (IsOpen()) return LEVEL_BENIGN;
    return OpenFile(report);
}

int FwFileManager::UseFile() { return Ensure(true); }

int FwFileManager::Close() {
    if (!file_) return LEVEL_BENIGN;
    if (users_ > 1) {
        --users_;
        return LEVEL_BENIGN;
    }
    users_ = 0;
    if (FileIsOpen(*file_) && FileClose(*file_) != ERR_NONE) return LEVEL_NOTIFY;
    return LEVEL_BENIGN;
}

int FwFileManager::Next() {
    if (const int level = Ensure(true)) return level;
    const int err = FileNext(*file_);
    if (err == ERR_NONE) return LEVEL_BENIGN;
    if (err != ERR_NO_RECORD) Report(FWMSG_READ_FAILED, true);
    return LEVEL_NOTIFY;
}

int FwFileManager::TryNext() {
    if (const int level = Ensure(false)) return level;
    return FileNext(*file_) == ERR_NONE ? LEVEL_BENIGN : LEVEL_NOTIFY;
}

std::string FwFileManager::UniqueKeyName() const {
    const Layout& layout = file_->GetLayout();
    for (const std::string& k : keys_)
        if (layout.Keys()[static_cast<size_t>(layout.FindKey(k))].unique) return k;
    for (const KeyDef& k : layout.Keys())
        if (k.unique) return k.name;
    return {};
}

int FwFileManager::Insert() {
    if (const int level = Ensure(true)) return level;
    const int err = FileAdd(*file_);
    if (err == ERR_NONE) return LEVEL_BENIGN;
    if (err == ERR_DUPLICATE_KEY) Report(FWMSG_DUPLICATE_KEY, true, UniqueKeyName());
    else Report(FWMSG_ADD_FAILED, true);
    return LEVEL_NOTIFY;
}

int FwFileManager::TryInsert() {
    if (const int level = Ensure(false)) return level;
    return FileAdd(*file_) == ERR_NONE ? LEVEL_BENIGN : LEVEL_NOTIFY;
}

int FwFileManager::Update() {
    if (const int level = Ensure(true)) return level;
    const int err = FilePut(*file_);
    if (err == ERR_NONE) return LEVEL_BENIGN;
    if (err == ERR_DUPLICATE_KEY) Report(FWMSG_DUPLICATE_KEY, true, UniqueKeyName());
    else Report(FWMSG_PUT_FAILED, true);
    return LEVEL_NOTIFY;
}

int FwFileManager::Delete() {
    if (const int level = Ensure(true)) return level;
    if (FileDelete(*file_) == ERR_NONE) return LEVEL_BENIGN;
    Report(FWMSG_DELETE_FAILED, true);
    return LEVEL_NOTIFY;
}

void FwFileManager::PrimeRecord() {
    if (!file_) return;
    file_->Clear();
    PrimeFields();
}

void FwFileManager::SetName(std::string name) {
    if (file_) file_->SetName(std::move(name));
}

std::string FwFileManager::GetName() const { return file_ ? file_->Name() : std::string(); }

void FwFileManager::Kill() {
    if (file_ && users_ > 0 && FileIsOpen(*file_)) FileClose(*file_);
    file_ = nullptr;
    errors_ = nullptr;
    aliasOf_ = nullptr;
    keys_.clear();
    users_ = 0;
}
