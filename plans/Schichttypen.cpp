#include "plans/Schichttypen.h"

#include "core/Files.h"
#include "core/SavableManager.h"
#include "core/TimeHelpers.h"
#include "platform/records/FileError.h"
#include "platform/records/RecordFile.h"
#include "platform/ui/MessageShow.h"
#include "platform/values/Locale.h"
#include "platform/values/Picture.h"

#include <algorithm>
#include <vector>

// The shift types' sub-file "Schichttypen": one SCHICHT record per shift type, in list order.
class CSchichttypenSavable : public CSavableManager {
public:
    explicit CSchichttypenSavable(CSchichttypen& list) : LIST(list) {}

    void DefineSubfile(CSubfileManager* parent) override
    {
        FileManager().Init("Schichttypen", ::SCHICHT, parent);
    }
    uint8_t ResetData() override
    {
        LIST.Clear();
        return STORE_DONE;
    }
    void ClearData() override { LIST.Clear(); }
    uint8_t TakeRecord() override
    {
        auto shift = std::make_unique<CSchicht>();
        shift->Clear();
        shift->FromRecord(::SCHICHT);  // also classifies by the begin
        LIST.Insert(std::move(shift));
        return STORE_DONE;
    }
    uint8_t PutRecord(int n) override
    {
        CSchicht* shift = LIST.GetByIndex(n);
        if (!shift)
            return STORE_REFUSED;
        // The step being written; the base sets the same values in the record.
        shift->ID = FileManager().GetID();
        shift->STEP = FileManager().CurrentStep();
        shift->ToRecord(::SCHICHT);  // sorts the breaks, in memory too
        return STORE_DONE;
    }

private:
    CSchichttypen& LIST;
};

namespace {

CSchichttypen::BrowseWindow& Browse()
{
    static CSchichttypen::BrowseWindow browse;
    return browse;
}

CSchichttypen::FormWindow& Form()
{
    static CSchichttypen::FormWindow form;
    return form;
}

// The temporary file exists once for the whole program; a second edit while one runs (another
// worksheet's window on another thread) would overwrite the first one's file.
bool& TempFileBusy()
{
    static bool busy = false;
    return busy;
}

class TempFileUse {
public:
    TempFileUse() : taken_(!TempFileBusy()) { TempFileBusy() = true; }
    ~TempFileUse()
    {
        if (taken_)
            TempFileBusy() = false;
    }
    bool Taken() const { return taken_; }

private:
    bool taken_;
};

void ShowBusy()
{
    MessageRequest m;
    m.text = "Die Schichttypen eines Arbeitsblattes werden bereits bearbeitet.|"
             "Bitte schließen Sie zuerst das andere Schichttypen-Fenster.";
    m.caption = "Schichttypen in Bearbeitung";
    m.icon = MessageIcon::Exclamation;
    MessageShow(m);
}

void ShowTempFileError(const std::string& what)
{
    MessageRequest m;
    m.text = what + "|" + ErrorText() + " (" + std::to_string(ErrorCode()) + ")";
    m.caption = "Temporäre Datei der Schichttypen";
    m.icon = MessageIcon::Exclamation;
    MessageShow(m);
}

// Opens the temporary file exclusively, creating it when it does not exist yet.
bool OpenTempFile()
{
    constexpr int kMode = FILE_READ_WRITE | FILE_DENY_ALL;
    int rc = FileOpen(TMPSCHICHT, kMode);
    if (rc == ERR_FILE_NOT_FOUND) {
        if (FileCreate(TMPSCHICHT) != ERR_NONE)
            return false;
        rc = FileOpen(TMPSCHICHT, kMode);
    }
    return rc == ERR_NONE;
}

std::string TrimRight(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

bool IsBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

std::string TimeText(uint32_t stamp)
{
    return FormatPicture(static_cast<long long>(MinuteStampToTime(stamp % kMinutesPerDay)), "@T7");
}

} // namespace

CSchichttypen::CSchichttypen() : SAVABLE(std::make_unique<CSchichttypenSavable>(*this)) {}

CSchichttypen::~CSchichttypen() = default;

ISavable& CSchichttypen::GetSavable() { return *SAVABLE; }

long CSchichttypen::Count() const { return long(QueueRecords(SCHICHTTYPEN)); }

CSchicht* CSchichttypen::GetByIndex(long n) const
{
    const SchichttypRow* row = n >= 1 ? QueueGet(SCHICHTTYPEN, size_t(n)) : nullptr;
    return row ? row->SCHICHTTYP.get() : nullptr;
}

CSchicht* CSchichttypen::Insert(std::unique_ptr<CSchicht> shift)
{
    CSchicht* p = shift.get();
    QueueAdd(SCHICHTTYPEN, SchichttypRow{std::move(shift), p->SYSID, p->TERMIN.BEGINN}, std::ranges::less{},
             &SchichttypRow::SORTFIELD);
    return p;
}

uint8_t CSchichttypen::StoreStepReported()
{
    const uint8_t result = SAVABLE->StoreStep();
    // A list that belongs to no project yet has nowhere to store; that is no failure to report.
    if (result != STORE_DONE && SAVABLE->FileManager().File()) {
        MessageRequest m;
        m.text = "Die Änderung der Schichttypen konnte nicht als Bearbeitungsschritt gespeichert "
                 "werden.|Die Liste bleibt wie geändert; der vorige Schritt ist unverändert erhalten.";
        m.caption = "Schichttypen nicht gespeichert";
        m.icon = MessageIcon::Exclamation;
        MessageShow(m);
    }
    return result;
}

// ---- Lookups ----------------------------------------------------------------------------------

CSchicht* CSchichttypen::FindBySysId(uint32_t id, bool create)
{
    if (const SchichttypRow* row = QueueGet(SCHICHTTYPEN, id, &SchichttypRow::SYSID))
        return row->SCHICHTTYP.get();
    if (!create || id == 0)
        return nullptr;

    // A cleared record: every number 0 (kind included), no breaks.
    auto shift = std::make_unique<CSchicht>();
    shift->BEZEICHNUNG = "unbekannt";
    shift->KURZBEZEICHNUNG = "?";
    shift->SYSID = id;
    CSchicht* p = shift.get();
    QueueAdd(SCHICHTTYPEN, SchichttypRow{std::move(shift), id, 0}, 1);
    StoreStepReported();
    if (ARBEITSBLATT)
        ARBEITSBLATT->OnSchichttypenChanged();
    return p;
}

CSchicht* CSchichttypen::FindByKurzbezeichnung(const std::string& text) const
{
    const std::string wanted = LocaleUpper(TrimRight(text));
    for (const SchichttypRow& row : SCHICHTTYPEN)
        if (LocaleUpper(TrimRight(row.SCHICHTTYP->KURZBEZEICHNUNG)) == wanted)
            return row.SCHICHTTYP.get();
    return nullptr;
}

CSchicht* CSchichttypen::FindByTermin(const ::TERMIN& termin) const
{
    for (const SchichttypRow& row : SCHICHTTYPEN)
        if (row.SCHICHTTYP->TERMIN == termin)
            return row.SCHICHTTYP.get();
    return nullptr;
}

// ---- Changes ----------------------------------------------------------------------------------

uint8_t CSchichttypen::AddSchicht(CSchicht& shift, bool store)
{
    NewSysID(shift.SYSID);
    Insert(std::make_unique<CSchicht>(shift));
    return store ? StoreStepReported() : STORE_DONE;
}

void CSchichttypen::AddSchichtKeepId(const CSchicht& shift) { Insert(std::make_unique<CSchicht>(shift)); }

void CSchichttypen::Clear() { QueueFree(SCHICHTTYPEN); }

void CSchichttypen::CopyFrom(const CSchichttypen& source)
{
    if (&source == this)
        return;
    Clear();
    for (const SchichttypRow& row : source.SCHICHTTYPEN)
        QueueAdd(SCHICHTTYPEN, SchichttypRow{std::make_unique<CSchicht>(*row.SCHICHTTYP), row.SYSID, row.SORTFIELD},
                 std::ranges::less{}, &SchichttypRow::SORTFIELD);
}

void CSchichttypen::ApplyDefinitions()
{
    if (!ARBEITSBLATT)
        return;
    NACHTSCHICHT night;
    FRUEHSCHICHT early;
    TAGSCHICHT day;
    if (!ARBEITSBLATT->GetLageDefinitions(night, early, day))
        return;
    for (SchichttypRow& row : SCHICHTTYPEN)
        row.SCHICHTTYP->ClassifyLage(night, early, day);
}

void CSchichttypen::Normalize(CSchicht& shift)
{
    shift.ClassifyLageByStart();
    if (IsBlank(shift.BEZEICHNUNG))
        shift.BEZEICHNUNG = TimeText(shift.TERMIN.BEGINN) + "-" + TimeText(shift.TERMIN.ENDE);
    if (IsBlank(shift.KURZBEZEICHNUNG))
        shift.KURZBEZEICHNUNG = TimeText(shift.TERMIN.BEGINN).substr(0, 5);
}

void CSchichttypen::Reload(int mode) { SAVABLE->Reload(mode); }

// ---- The temporary file and the edit cycle ------------------------------------------------------

bool CSchichttypen::SaveToTempFile()
{
    if (!OpenTempFile()) {
        ShowTempFileError("Die temporäre Datei der Schichttypen kann nicht geöffnet werden.");
        return false;
    }
    bool ok = FileEmpty(TMPSCHICHT) == ERR_NONE;
    for (long n = 1; ok && n <= Count(); ++n) {
        TMPSCHICHT.Clear();
        GetByIndex(n)->ToRecord(TMPSCHICHT);  // sorts the breaks, in memory too
        ok = FileAdd(TMPSCHICHT) == ERR_NONE;
    }
    if (!ok)
        ShowTempFileError("Die Schichttypen konnten nicht in die temporäre Datei geschrieben werden.");
    FileClose(TMPSCHICHT);
    return ok;
}

bool CSchichttypen::LoadFromTempFile()
{
    if (!OpenTempFile()) {
        ShowTempFileError("Die temporäre Datei der Schichttypen kann nicht geöffnet werden.");
        return false;
    }
    // Read everything first: a read error leaves the list as it was, never half rebuilt.
    std::vector<std::unique_ptr<CSchicht>> read;
    int rc = FileSet(TMPSCHICHT);
    while (rc == ERR_NONE && (rc = FileNext(TMPSCHICHT)) == ERR_NONE) {
        auto shift = std::make_unique<CSchicht>();
        shift->Clear();
        shift->FromRecord(TMPSCHICHT);
        if (shift->SYSID == 0)  // 0 marks an empty plan cell; a shift type never has it
            NewSysID(shift->SYSID);
        read.push_back(std::move(shift));
    }
    if (rc != ERR_NO_RECORD) {
        ShowTempFileError("Die bearbeiteten Schichttypen konnten nicht gelesen werden; "
                          "die bisherige Liste bleibt erhalten.");
        FileClose(TMPSCHICHT);
        return false;
    }
    Clear();
    for (auto& shift : read)
        Insert(std::move(shift));
    FileEmpty(TMPSCHICHT);
    FileClose(TMPSCHICHT);
    return true;
}

uint8_t CSchichttypen::Edit()
{
    TempFileUse use;
    if (!use.Taken()) {
        ShowBusy();
        return 0;
    }
    if (!SaveToTempFile())
        return 0;
    if (ARBEITSBLATT)
        ARBEITSBLATT->PublishChecker();
    const int response = Browse() ? Browse()(*this) : 2;
    if (response == 1) {
        if (LoadFromTempFile()) {
            StoreStepReported();
            if (ARBEITSBLATT) {
                ApplyDefinitions();
                ARBEITSBLATT->OnSchichttypenChanged();
            }
        }
    } else if (OpenTempFile()) {  // the file is empty between edits
        FileEmpty(TMPSCHICHT);
        FileClose(TMPSCHICHT);
    }
    return 0;
}

uint8_t CSchichttypen::EditSchicht(CSchicht& shift)
{
    TempFileUse use;
    if (!use.Taken()) {
        ShowBusy();
        return 2;
    }
    if (!OpenTempFile()) {
        ShowTempFileError("Die temporäre Datei der Schichttypen kann nicht geöffnet werden.");
        return 2;
    }
    TMPSCHICHT.Clear();
    shift.ToRecord(TMPSCHICHT);
    if (FileAdd(TMPSCHICHT) != ERR_NONE) {
        ShowTempFileError("Der Schichttyp konnte nicht in die temporäre Datei geschrieben werden.");
        FileClose(TMPSCHICHT);
        return 2;
    }
    const int response = Form() ? Form()() : 2;
    uint8_t result = 2;
    if (response == 1) {
        shift.FromRecord(TMPSCHICHT);  // classifies by the begin
        result = 1;
    }
    FileDelete(TMPSCHICHT);
    FileEmpty(TMPSCHICHT);  // nothing stays behind, whatever the form did with its record
    FileClose(TMPSCHICHT);
    return result;
}

void CSchichttypen::SetWindows(BrowseWindow browse, FormWindow form)
{
    Browse() = std::move(browse);
    Form() = std::move(form);
}

uint8_t CSchichttypen::TakeRequest(int request, const std::string&)
{
    return request == 3 ? Edit() : 5;
}
