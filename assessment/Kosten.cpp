#include "assessment/Kosten.h"

#include <cmath>

#include "assessment/ExchangeFile.h"
#include "core/Files.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/ui/MessageShow.h"

namespace {

// Amounts, percentages and hours of the settings: finite and far below what any form takes
// (the widest takes 999,999.99). A value beyond is damage, never a number to show or compute with.
bool ValuesInRange(const RecordBuffer& record) {
    for (const auto& f : record.GetLayout().Fields()) {
        if (f->type != FieldType::Real) continue;
        for (int i = 1; i <= f->count; ++i) {
            const double v = record.GetReal(*f, f->count > 1 ? i : 0);
            if (!std::isfinite(v) || std::fabs(v) >= 1e9) return false;
        }
    }
    return true;
}

constexpr const char* kTable = "Kosten";
constexpr const char* kKind = "Ökonomie-Datei";
constexpr int kRequestChange = 2;

CKosten::UpdateProcedure& Update() {
    static CKosten::UpdateProcedure update;
    return update;
}

std::string Name(std::string_view prefix, const char* field) { return std::string(prefix) + field; }

void ShowStepNotStored() {
    MessageRequest m;
    m.text = "Die geänderten Kosteneinstellungen konnten nicht als Bearbeitungsschritt gespeichert "
             "werden.|Die Einstellungen bleiben wie geändert; der vorige Schritt ist unverändert erhalten.";
    m.caption = "Kosteneinstellungen nicht gespeichert";
    m.icon = MessageIcon::Exclamation;
    MessageShow(m);
}

} // namespace

double EffectiveRate(double betrag, double prozent, double stundenlohn) {
    const double rate = betrag != 0 ? betrag : prozent * stundenlohn / 100;
    return std::isfinite(rate) ? rate : 0;
}

const std::array<KostenItem, 21>& CKosten::Items() {
    static const std::array<KostenItem, 21> items = {{
        {"LZ", "Zulage I"},
        {"SP", "Zulage II"},
        {"SZ1", "Zulage IV"},
        {"SZ2", "Zulage V"},
        {"WS", "Zulage III"},
        {"TZ1", "tageszeitabh. Zuschlag (1)"},
        {"TZ2", "tageszeitabh. Zuschlag (2)"},
        {"TZ3", "tageszeitabh. Zuschlag (3)"},
        {"ZSA1", "Zuschlag für Samstagsarbeit (1)"},
        {"ZSA2", "Zuschlag für Samstagsarbeit (2)"},
        {"ZSO", "Zuschlag für Sonntagsarbeit"},
        {"SOZ1", "sonstige Zuschläge (1)"},
        {"SOZ2", "sonstige Zuschläge (2)"},
        {"UEBZ1", "Überstunden-Zuschlag (1)"},
        {"UEBZ2", "Überstunden-Zuschlag (2)"},
        {"WAZ1", "Wochenarbeitszeit-abh. Zuschlag (1)"},
        {"WAZ2", "Wochenarbeitszeit-abh. Zuschlag (2)"},
        {"BD", "Bereitschaftsdienst (Werktags)"},
        {"BDWE", "Bereitschaftsdienst (Wochenende)"},
        {"RB", "Rufbereitschaft (Werktags)"},
        {"RBWE", "Rufbereitschaft (Wochenende)"},
    }};
    return items;
}

CKosten::CKosten() : KOSTEN(static_cast<const RecordBuffer&>(KOST)) { KOSTEN.Clear(); }

CKosten::~CKosten() { DisposeSubfile(); }

void CKosten::SetUpdateProcedure(UpdateProcedure update) { Update() = std::move(update); }

void CKosten::AssignFrom(const CKosten& source) { KOSTEN.CopyFrom(source.KOSTEN); }

double CKosten::EffectiveRate(std::string_view prefix) const {
    return ::EffectiveRate(KOSTEN.GetReal(Name(prefix, "BETRAG")), KOSTEN.GetReal(Name(prefix, "PROZENT")),
                           KOSTEN.GetReal("STUNDENLOHN"));
}

// ---- files -----------------------------------------------------------------------------------

int CKosten::WriteRecord(FwFileManager& target) const {
    return ReplaceRecords(target, [this](RecordFile& file) {
        file.CopyFrom(KOSTEN);
        return FileAdd(file);
    });
}

int CKosten::ReadRecord(FwFileManager& source, bool keep, bool mayCreate) {
    RecordBuffer read = KOSTEN;
    bool found = false;
    const int err = ReadRecords(source, keep, mayCreate, [&](const RecordFile& file) {
        read.CopyFrom(file);
        if (!ValuesInRange(read)) return int(ERR_INVALID_FILE);
        found = true;
        return -1;   // only the first record counts
    });
    if (err == ERR_NONE && found) KOSTEN.CopyFrom(read);
    return err;
}

uint8_t CKosten::WriteToFile(FwFileManager& target) {
    return WriteRecord(target) == ERR_NONE ? RESULT_DONE : RESULT_FAILED;
}

uint8_t CKosten::ReadFromFile(FwFileManager& source, bool keep) {
    return ReadRecord(source, keep, true) == ERR_NONE ? RESULT_DONE : RESULT_FAILED;
}

uint8_t CKosten::ExportEco(const std::string& fileName) {
    if (fileName.find_first_not_of(' ') == std::string::npos) return RESULT_CANCELLED;
    const std::string name = WithExtension(fileName, "eco");
    const int err = Access::XIKOST
        ? ExportRecords(*Access::XIKOST, name, [this](FwFileManager& f) { return WriteRecord(f); })
        : int(ERR_NOT_OPEN);
    if (err == ERR_NONE) return RESULT_DONE;
    ShowFileProblem(true, name, err, kKind);
    return RESULT_FAILED;
}

uint8_t CKosten::ImportEco(const std::string& fileName) {
    if (fileName.find_first_not_of(' ') == std::string::npos) return RESULT_CANCELLED;
    FwFileManager* xikost = Access::XIKOST;
    int err = ERR_NOT_OPEN;
    if (xikost && xikost->IsOpen()) err = ERR_ALREADY_OPEN;
    else if (xikost) {
        xikost->SetName(fileName);
        // The file is the user's: a missing one is not created, and it keeps its record.
        err = ReadRecord(*xikost, true, false);
    }
    if (err == ERR_NONE) return RESULT_DONE;
    ShowFileProblem(false, fileName, err, kKind);
    return RESULT_FAILED;
}

// ---- edit cycle and tree node ----------------------------------------------------------------

uint8_t CKosten::Edit() {
    FwFileManager* tmp = Access::TMPKOST;
    if (!tmp || !Update()) return 0;
    if (EditFileBusy(*tmp, "Eine Kosteneinstellung")) return 0;
    if (tmp->Open() != 0) return 0;   // the access object has told the user
    uint8_t result = 0;
    // The dialog must never edit a record other than these settings.
    if (const int err = WriteRecord(*tmp)) {
        ShowFileProblem(true, tmp->GetName(), err, kKind);
    } else if (Update()(kRequestChange) == RESPONSE_COMPLETED) {
        if (const int err = ReadRecord(*tmp, false, true)) {
            ShowFileProblem(false, tmp->GetName(), err, kKind);
        } else {
            // Settings of no project have nowhere to store; that is no failure.
            if (StoreStep() != STORE_DONE && FileManager().File()) {
                ShowStepNotStored();
                result = STORE_REFUSED;
            }
            // The worksheet follows the settings in memory, stored or not.
            if (ARBEITSBLATT) ARBEITSBLATT->RecalcCosts();
        }
    }
    tmp->Close();
    return result;
}

void CKosten::RefreshTree(int level, CTree& tree) { tree.AddEntry(*this, level, GetText(), GetIcon()); }

uint8_t CKosten::TakeRequest(int request, const std::string&) {
    if (request != TREE_OPEN) return RESULT_FAILED;
    Edit();
    return RESULT_DONE;
}

// ---- storage ---------------------------------------------------------------------------------

void CKosten::DefineSubfile(CSubfileManager* parent) { FileManager().Init(kTable, KOST, parent); }

uint8_t CKosten::ResetData() {
    KOSTEN.Clear();
    for (const KostenItem& item : Items()) KOSTEN.SetString(Name(item.prefix, "BEZEICHNUNG"), item.defaultName);
    for (const char* prefix : {"BD", "BDWE", "RB", "RBWE"}) KOSTEN.SetReal(Name(prefix, "ANRECHENBAREAZ"), 100.0);
    return StoreStep();
}

uint8_t CKosten::TakeRecord() {
    if (!ValuesInRange(KOST)) return STORE_FILE_ERROR;
    KOSTEN.CopyFrom(KOST);
    return STORE_DONE;
}

uint8_t CKosten::PutRecord(int n) {
    if (n != 1) return STORE_REFUSED;
    // The settings now stand for the record of the step being stored.
    KOSTEN.SetInt("ID", FileManager().GetID());
    KOSTEN.SetInt("STEP", FileManager().CurrentStep());
    KOST.CopyFrom(KOSTEN);
    return STORE_DONE;
}
