#include "assessment/Belastungseinschaetzungen.h"

#include <algorithm>
#include <vector>

#include "assessment/ExchangeFile.h"
#include "core/Files.h"
#include "core/TimeHelpers.h"
#include "platform/fw/FwFileManager.h"
#include "platform/fw/FwWindow.h"
#include "platform/records/FileError.h"
#include "platform/ui/MessageShow.h"

namespace {

// Ratings are 1 .. 9, 0 for an item not rated; anything else did not come from a form.
bool RatingsInRange(const CBelastungseinschaetzung& a) {
    return std::all_of(a.EINSCHAETZUNG.begin(), a.EINSCHAETZUNG.end(), [](int32_t v) { return v >= 0 && v <= 9; });
}

constexpr const char* kTable = "Belastungseinschaetzungen";
constexpr const char* kKind = "EBA-Datei";
constexpr const char* kDayNames[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag",
                                      "Freitag", "Samstag", "Sonntag"};

CBelastungseinschaetzungen::BrowseProcedure& Browse() {
    static CBelastungseinschaetzungen::BrowseProcedure browse;
    return browse;
}

void AddInOrder(Queue<CBelastungseinschaetzungen::Row>& rows, std::unique_ptr<CBelastungseinschaetzung> item) {
    CBelastungseinschaetzungen::Row row;
    row.SYSID = item->SYSID;
    row.SORTFIELD = static_cast<int32_t>(item->TERMIN.BEGINN);
    row.BELASTUNGSEINSCHAETZUNG = std::move(item);
    QueueAdd(rows, std::move(row), std::ranges::less{}, &CBelastungseinschaetzungen::Row::SORTFIELD);
}

// An assessment lies within one day, as the assessment form makes it.
bool WithinOneDay(const TERMIN& t) { return t.BEGINN < t.ENDE && t.ENDE <= kMinutesPerDay; }

} // namespace

CBelastungseinschaetzungen::CBelastungseinschaetzungen() = default;

CBelastungseinschaetzungen::~CBelastungseinschaetzungen() { DisposeSubfile(); }

void CBelastungseinschaetzungen::SetBrowseProcedure(BrowseProcedure browse) { Browse() = std::move(browse); }

// ---- the list --------------------------------------------------------------------------------

void CBelastungseinschaetzungen::Clear() { QueueFree(BELASTUNGSEINSCHAETZUNGEN); }

void CBelastungseinschaetzungen::AssignFrom(const CBelastungseinschaetzungen& source) {
    if (&source == this) return;
    Clear();
    for (const Row& r : source.BELASTUNGSEINSCHAETZUNGEN)
        QueueAdd(BELASTUNGSEINSCHAETZUNGEN,
                 Row{std::make_unique<CBelastungseinschaetzung>(*r.BELASTUNGSEINSCHAETZUNG), r.SYSID, r.SORTFIELD});
}

void CBelastungseinschaetzungen::Add(const CBelastungseinschaetzung& item) {
    AddInOrder(BELASTUNGSEINSCHAETZUNGEN, std::make_unique<CBelastungseinschaetzung>(item));
}

const CBelastungseinschaetzung* CBelastungseinschaetzungen::Get(std::size_t n) const {
    const Row* row = QueueGet(BELASTUNGSEINSCHAETZUNGEN, n);
    return row ? row->BELASTUNGSEINSCHAETZUNG.get() : nullptr;
}

// ---- rating a span ---------------------------------------------------------------------------

CBelastungseinschaetzung CBelastungseinschaetzungen::AssessInterval(const ::TERMIN& span) const {
    const uint32_t day = MinuteStampDay(span.BEGINN);
    const uint32_t bit = 1u << ((day - 1) % 7);   // plan day 1 is a Monday
    CBelastungseinschaetzung result;
    bool covered = false;
    for (const Row& r : BELASTUNGSEINSCHAETZUNGEN) {
        const CBelastungseinschaetzung& a = *r.BELASTUNGSEINSCHAETZUNG;
        if (!(a.WOCHENTAGE & bit)) continue;
        ::TERMIN t = a.TERMIN;
        MoveIntervalToDay(t, day);
        if (IntervalOverlap(t, span) == 0) continue;
        covered = true;
        for (int n = 1; n <= CBelastungseinschaetzung::kItems; ++n)
            result.SetItem(n, std::max(result.Item(n), a.Item(n)));
    }
    if (!covered) {
        result.WOCHENTAGE = 127;
        result.TERMIN = {0, kMinutesPerDay};
    }
    // A time nobody assessed and an item nobody rated both count as neutral strain.
    for (int n = 1; n <= CBelastungseinschaetzung::kItems; ++n)
        if (CBelastungseinschaetzung::IsRatedItem(n) && result.Item(n) == 0)
            result.SetItem(n, CBelastungseinschaetzung::NeutralValue(n));
    return result;
}

// ---- overlaps --------------------------------------------------------------------------------

uint8_t CBelastungseinschaetzungen::CheckOverlaps(bool quiet) const {
    const auto& rows = BELASTUNGSEINSCHAETZUNGEN.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CBelastungseinschaetzung& a = *rows[i].BELASTUNGSEINSCHAETZUNG;
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            const CBelastungseinschaetzung& b = *rows[j].BELASTUNGSEINSCHAETZUNG;
            if (IntervalOverlap(a.TERMIN, b.TERMIN) == 0) continue;
            std::string days;
            for (int d = 0; d < 7; ++d) {
                if (!(a.WOCHENTAGE & b.WOCHENTAGE & (1 << d))) continue;
                if (!days.empty()) days += ", ";
                days += kDayNames[d];
            }
            if (days.empty()) continue;
            if (!quiet) {
                MessageRequest m;
                m.caption = "Belastungseinschätzungen überschneiden sich";
                m.text = "Die Zeiten von " + FormatTimeOfDay(a.TERMIN.BEGINN) + " bis "
                         + FormatTimeOfDay(a.TERMIN.ENDE, true) + " überschneiden sich an diesen/m Tag(en): |"
                         + days + "||Bitte korrigieren Sie Ihre Eingaben.";
                m.icon = MessageIcon::Exclamation;
                m.buttonBits = BUTTON_OK;
                MessageShow(m);
            }
            return RESULT_FAILED;
        }
    }
    return RESULT_DONE;
}

// ---- files -----------------------------------------------------------------------------------

int CBelastungseinschaetzungen::WriteList(FwFileManager& target) const {
    return ReplaceRecords(target, [this](RecordFile& file) {
        for (const Row& r : BELASTUNGSEINSCHAETZUNGEN) {
            file.Clear();
            r.BELASTUNGSEINSCHAETZUNG->ToRecord(file);
            if (const int err = FileAdd(file)) return err;
        }
        return int(ERR_NONE);
    });
}

int CBelastungseinschaetzungen::ReadList(FwFileManager& source, bool keep, bool mayCreate) {
    // Read into a list of its own: a file that fails part-way changes nothing.
    Queue<Row> read;
    const int err = ReadRecords(source, keep, mayCreate, [&read](const RecordFile& file) {
        auto item = std::make_unique<CBelastungseinschaetzung>();
        item->FromRecord(file);
        if (!WithinOneDay(item->TERMIN) || !RatingsInRange(*item)) return int(ERR_INVALID_FILE);
        AddInOrder(read, std::move(item));
        return int(ERR_NONE);
    });
    if (err == ERR_NONE) std::swap(BELASTUNGSEINSCHAETZUNGEN, read);
    return err;
}

uint8_t CBelastungseinschaetzungen::WriteToFile(FwFileManager& target) {
    return WriteList(target) == ERR_NONE ? RESULT_DONE : RESULT_FAILED;
}

uint8_t CBelastungseinschaetzungen::ReadFromFile(FwFileManager& source, bool keep) {
    return ReadList(source, keep, true) == ERR_NONE ? RESULT_DONE : RESULT_FAILED;
}

uint8_t CBelastungseinschaetzungen::ExportEba(const std::string& fileName) {
    if (fileName.find_first_not_of(' ') == std::string::npos) return RESULT_CANCELLED;
    const std::string name = WithExtension(fileName, "eba");
    const int err = Access::XIBEL
        ? ExportRecords(*Access::XIBEL, name, [this](FwFileManager& f) { return WriteList(f); })
        : int(ERR_NOT_OPEN);
    if (err == ERR_NONE) return RESULT_DONE;
    ShowFileProblem(true, name, err, kKind);
    return RESULT_FAILED;
}

uint8_t CBelastungseinschaetzungen::ImportEba(const std::string& fileName) {
    if (fileName.find_first_not_of(' ') == std::string::npos) return RESULT_CANCELLED;
    FwFileManager* xibel = Access::XIBEL;
    int err = ERR_NOT_OPEN;
    if (xibel && xibel->IsOpen()) err = ERR_ALREADY_OPEN;
    else if (xibel) {
        xibel->SetName(fileName);
        // The file is the user's: a missing one is not created, and it keeps its records.
        err = ReadList(*xibel, true, false);
    }
    if (err == ERR_NONE) return RESULT_DONE;
    ShowFileProblem(false, fileName, err, kKind);
    return RESULT_FAILED;
}

// ---- edit cycle and tree node ----------------------------------------------------------------

uint8_t CBelastungseinschaetzungen::Edit() {
    FwFileManager* tmp = Access::TMPBEL;
    if (!tmp || !Browse()) return 0;
    if (EditFileBusy(*tmp, "Eine Belastungseinschätzung")) return 0;
    // Held open for the whole edit: no other edit takes the file meanwhile.
    if (tmp->TryOpen() != 0) {
        ShowFileProblem(true, tmp->GetName(), ErrorCode() != ERR_NONE ? ErrorCode() : int(ERR_FILE_SYSTEM), kKind);
        return 0;
    }
    const uint8_t result = EditHeld(*tmp);
    tmp->Close();
    return result;
}

uint8_t CBelastungseinschaetzungen::EditHeld(FwFileManager& tmp) {
    // The browse must never edit records other than the list's.
    if (const int err = WriteList(tmp)) {
        ShowFileProblem(true, tmp.GetName(), err, kKind);
        return 0;
    }
    if (Browse()() != RESPONSE_COMPLETED) return 0;
    if (const int err = ReadList(tmp, false, true)) {
        ShowFileProblem(false, tmp.GetName(), err, kKind);
        return 0;
    }
    uint8_t result = 0;
    // A list of no project has nowhere to store; that is no failure.
    if (StoreStep() != STORE_DONE && FileManager().File()) {
        MessageRequest m;
        m.text = "Die geänderten Belastungseinschätzungen konnten nicht als Bearbeitungsschritt "
                 "gespeichert werden.|Die Liste bleibt wie geändert; der vorige Schritt ist unverändert erhalten.";
        m.caption = "Belastungseinschätzungen nicht gespeichert";
        m.icon = MessageIcon::Exclamation;
        MessageShow(m);
        result = STORE_REFUSED;
    }
    // The worksheet follows the list in memory, stored or not.
    if (ARBEITSBLATT) ARBEITSBLATT->OnDefinitionsChanged();
    return result;
}

void CBelastungseinschaetzungen::RefreshTree(int level, CTree& tree) { tree.AddEntry(*this, level, GetText(), GetIcon()); }

uint8_t CBelastungseinschaetzungen::TakeRequest(int request, const std::string&) {
    if (request != TREE_OPEN) return RESULT_FAILED;
    Edit();
    return RESULT_DONE;
}

// ---- storage ---------------------------------------------------------------------------------

void CBelastungseinschaetzungen::DefineSubfile(CSubfileManager* parent) { FileManager().Init(kTable, BEL, parent); }

uint8_t CBelastungseinschaetzungen::ResetData() {
    Clear();
    return STORE_DONE;
}

void CBelastungseinschaetzungen::ClearData() { Clear(); }

uint8_t CBelastungseinschaetzungen::TakeRecord() {
    auto item = std::make_unique<CBelastungseinschaetzung>();
    item->FromRecord(BEL);
    // A rating no form can give is damage, never a number to compute with.
    if (!RatingsInRange(*item)) return STORE_FILE_ERROR;
    AddInOrder(BELASTUNGSEINSCHAETZUNGEN, std::move(item));
    return STORE_DONE;
}

uint8_t CBelastungseinschaetzungen::PutRecord(int n) {
    Row* row = QueueGet(BELASTUNGSEINSCHAETZUNGEN, static_cast<std::size_t>(n));
    if (!row) return STORE_REFUSED;
    CBelastungseinschaetzung* item = row->BELASTUNGSEINSCHAETZUNG.get();
    // The assessment now stands for the record of the step being stored.
    item->ID = FileManager().GetID();
    item->STEP = FileManager().CurrentStep();
    BEL.Clear();
    item->ToRecord(BEL);
    return STORE_DONE;
}
