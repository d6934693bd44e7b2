#include "assessment/ExchangeFile.h"

#include "core/Savable.h"
#include "core/SubfileManager.h"
#include "platform/fw/FwFileManager.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"

namespace {

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The code an open left behind; never 0 for an open that failed.
int FailedOpenCode() {
    const int code = ErrorCode();
    return code != ERR_NONE ? code : ERR_FILE_SYSTEM;
}

// A name for the scratch copy of an export that nothing else has: in the program's own folder for
// temporary files, never by a fixed name.
std::string ScratchName(const std::string&) { return FileScratchName("varn-export"); }

std::string Reason(int code, std::string_view kind) {
    switch (code) {
    case ERR_FILE_NOT_FOUND: return "Die Datei wurde nicht gefunden.";
    case ERR_PATH_NOT_FOUND: return "Der Ordner wurde nicht gefunden.";
    case ERR_ACCESS_DENIED: return "Der Zugriff auf die Datei wurde verweigert.";
    case ERR_FILE_IN_USE: return "Die Datei wird von einem anderen Programm benutzt.";
    case ERR_INVALID_FILE: return "Die Datei ist keine " + std::string(kind) + " oder sie ist beschädigt.";
    case ERR_LAYOUT_MISMATCH: return "Die Datei ist keine " + std::string(kind) + ".";
    case ERR_INVALID_NAME: return "Der Dateiname ist ungültig.";
    default: return ErrorTextFor(code) + ".";
    }
}

} // namespace

std::string WithExtension(std::string_view name, std::string_view ext) {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const std::string suffix = "." + std::string(ext);
    if (name.size() >= suffix.size() && AsciiUpper(name.substr(name.size() - suffix.size())) == AsciiUpper(suffix))
        return std::string(name);
    return std::string(name) + suffix;
}

namespace {

// The records replaced in the open file, in one transaction.
int FillInTransaction(FwFileManager& target, const std::function<int(RecordFile&)>& fill) {
    RecordFile* file = target.File();
    int err = ERR_NONE;
    SubfileTransaction t(*file);
    if (!t.Started()) err = ERR_TRANSACTION;
    if (err == ERR_NONE) err = FileEmpty(*file);
    if (err == ERR_NONE) err = fill(*file);
    if (t.Finish(err == ERR_NONE ? STORE_DONE : STORE_REFUSED) != STORE_DONE && err == ERR_NONE) err = ERR_TRANSACTION;
    return err;
}

} // namespace

int ReplaceRecords(FwFileManager& target, const std::function<int(RecordFile&)>& fill) {
    RecordFile* file = target.File();
    if (!file) return ERR_NOT_OPEN;
    if (target.IsOpen()) return FillInTransaction(target, fill);
    // Written whole into a scratch file first and then put in place by a rename: the file is never
    // removed or emptied on the way, so a full disk leaves it as it was.
    const std::string name = target.GetName();
    return ExportRecords(target, name, [&](FwFileManager& scratch) {
        if (scratch.TryOpen() != 0) return FailedOpenCode();
        const int err = FillInTransaction(scratch, fill);
        scratch.Close();
        return err;
    });
}

int ReadRecords(FwFileManager& source, bool keep, bool mayCreate,
                const std::function<int(const RecordFile&)>& take) {
    RecordFile* file = source.File();
    if (!file) return ERR_NOT_OPEN;
    const bool create = source.Create;
    source.Create = create && mayCreate;
    const int level = source.TryOpen();
    source.Create = create;
    if (level != 0) return FailedOpenCode();
    int err = FileSet(*file);
    while (err == ERR_NONE) {
        const int rc = FileNext(*file);
        if (rc == ERR_NO_RECORD) break;
        if (rc != ERR_NONE) {
            err = rc;
            break;
        }
        const int taken = take(*file);
        if (taken < 0) break;
        err = taken;
    }
    if (err == ERR_NONE && !keep) err = FileEmpty(*file);
    source.Close();
    return err;
}

int ExportRecords(FwFileManager& access, const std::string& target,
                  const std::function<int(FwFileManager&)>& write) {
    // Renaming an open file would leave its records going to the old one.
    if (access.IsOpen()) return ERR_ALREADY_OPEN;
    const std::string scratch = ScratchName(target);
    access.SetName(scratch);
    int err = write(access);
    if (err == ERR_NONE) err = FileCopyNamed(scratch, target);
    FileRemoveNamed(scratch);
    access.SetName(target);
    return err;
}

void ShowFileProblem(bool saving, const std::string& file, int code, std::string_view kind) {
    MessageRequest m;
    m.caption = saving ? "Datei kann nicht gespeichert werden" : "Datei kann nicht geöffnet werden";
    m.text = std::string(saving ? "Beim Speichern der Datei ist ein Fehler aufgetreten."
                                : "Beim Öffnen der Datei ist ein Fehler aufgetreten.")
             + "|" + file + "|" + Reason(code, kind);
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
}

bool EditFileBusy(FwFileManager& editFile, std::string_view what) {
    if (!editFile.IsOpen()) return false;
    MessageRequest m;
    m.caption = "Datei wird bearbeitet";
    m.text = std::string(what) + " wird gerade in einem anderen Fenster bearbeitet.|Bitte schließen Sie zuerst diesen Dialog.";
    m.icon = MessageIcon::Exclamation;
    m.buttonBits = BUTTON_OK;
    MessageShow(m);
    return true;
}
