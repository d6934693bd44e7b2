#include "worksheets/Arbeitsblatt.h"

#include "core/Files.h"
#include "core/ProjektFileManager.h"
#include "core/Projektmanager.h"
#include "platform/ui/Runtime.h"
#include "platform/values/Date.h"

namespace {
std::string Clip(const std::string& s)
{
    size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// The first `chars` characters of a UTF-8 text (the record holds 80 characters of a name).
std::string CutChars(const std::string& s, size_t chars)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars)
                return s.substr(0, i);
            ++n;
        }
    }
    return s;
}

constexpr size_t kNameLength = 80;
} // namespace

CArbeitsblatt::CArbeitsblatt()
{
    KOMMENTARMANAGER.SetInfo(&INFO);
}

CArbeitsblatt::~CArbeitsblatt() = default;

// ---- window --------------------------------------------------------------------------------------

int CArbeitsblatt::Run()
{
    // The worksheet windows come with their own issue; until then there is no window to start.
    return 3;
}

int CArbeitsblatt::CloseRequest()
{
    if (!IsActive() || ThreadCurrent() == THREAD)
        return 0;
    return CVisual::CloseRequest();
}

void CArbeitsblatt::Reset()
{
    CVisual::Reset();
}

int CArbeitsblatt::Open()
{
    return Execute(false);
}

// ---- kind, name, settings --------------------------------------------------------------------------

void CArbeitsblatt::SetTyp(uint8_t typ)
{
    BEZEICHNUNG = typ == ARBEITSBLATT_AZ ? "Arbeitszeitblatt" : "Flex-Arbeitszeitblatt";
    TYP = typ;
}

void CArbeitsblatt::CopyFrom(CArbeitsblattBase& base)
{
    auto& source = static_cast<CArbeitsblatt&>(base);
    TYP = source.TYP;
    BEZUGSRAHMEN = source.BEZUGSRAHMEN;
    SCHICHTGRUPPENSTAERKE = source.SCHICHTGRUPPENSTAERKE;
    INFO = source.INFO;
    BEZEICHNUNG = CutChars("Kopie von " + source.BEZEICHNUNG, kNameLength);
}

void CArbeitsblatt::SetBezugsrahmen(int32_t weeks, bool keep)
{
    if (TYP != ARBEITSBLATT_AZ)
        return;
    if (!keep)
        BEZUGSRAHMEN = weeks;
}

void CArbeitsblatt::SetSchichtgruppenstaerke(int32_t strength, bool keep)
{
    if (TYP != ARBEITSBLATT_AZ)
        return;
    if (!keep)
        SCHICHTGRUPPENSTAERKE = strength;
}

// ---- tree node ---------------------------------------------------------------------------------------

std::string CArbeitsblatt::GetIcon()
{
    return TYP == ARBEITSBLATT_AZ ? "~mini_tabelle.ico" : "~mini_kalender.ico";
}

void CArbeitsblatt::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    KOMMENTARMANAGER.RefreshTree(level + 1, tree);
}

bool CArbeitsblatt::AcceptsRequest(int request)
{
    switch (request) {
    case TREE_DUPLICATE:
    case TREE_NEW:
    case TREE_OPEN:
    case TREE_RENAME:
    case TREE_COLLAPSE:
    case TREE_EXPAND:
        return true;
    case TREE_DELETE:
        // The last worksheet of a project stays.
        return GlobalProjektmanager.CountArbeitsblaetter() > 1;
    default:
        return false;
    }
}

uint8_t CArbeitsblatt::TakeRequest(int request, const std::string& text)
{
    switch (request) {
    case TREE_OPEN:
        return static_cast<uint8_t>(Open());
    case TREE_RENAME:
        if (Clip(text).empty())
            return STORE_REFUSED;
        BEZEICHNUNG = CutChars(text, kNameLength);
        // The name is stored with the next save: closing without one must ask, or it is lost.
        FILEMANAGER.SetChanged(true);
        return STORE_DONE;
    case TREE_NEW:
        GlobalProjektmanager.NewArbeitsblatt(true, 0);
        return STORE_DONE;
    case TREE_DELETE:
        // This object is gone once the delete went through: nothing of it is touched afterwards.
        return GlobalProjektmanager.DeleteArbeitsblatt(*this);
    case TREE_DUPLICATE:
        GlobalProjektmanager.DuplicateArbeitsblatt(*this);
        return STORE_DONE;
    default:
        TREESTDBEHAVIOUR.TakeRequest(request);
        return STORE_DONE;
    }
}

// ---- storage -------------------------------------------------------------------------------------------

uint8_t CArbeitsblatt::Init(CProjektFileManager& fileManager, CSubfileManager* parent)
{
    FILEMANAGER.Init("Arbeitsblatt", BLATT, parent);
    uint8_t result = fileManager.Register(FILEMANAGER, *this);
    for (ISavable* part : parts_) {
        part->Init(fileManager, &FILEMANAGER);
        // The store reaches the parts only through the worksheet; their sub-files stay registered.
        fileManager.RemoveSavable(*part);
    }
    return result;
}

void CArbeitsblatt::Release(CProjektFileManager& fileManager)
{
    for (ISavable* part : parts_)
        part->Release(fileManager);
    fileManager.Unregister(FILEMANAGER, *this);
    FILEMANAGER.Release();
}

uint8_t CArbeitsblatt::ResetNew()
{
    BEZUGSRAHMEN = 1;
    SCHICHTGRUPPENSTAERKE = 1;
    BEZEICHNUNG = "Arbeitszeitblatt";
    INFO.Clear();
    for (ISavable* part : parts_)
        part->ResetNew();
    SetBezugsrahmen(BEZUGSRAHMEN, true);
    SetSchichtgruppenstaerke(SCHICHTGRUPPENSTAERKE, true);
    BLATT.Clear();
    return Save();
}

uint8_t CArbeitsblatt::Save()
{
    if (!FILEMANAGER.File())
        return STORE_REFUSED;
    // The old record goes only together with the new one being written.
    const auto before = FILEMANAGER.GetStepState();
    uint8_t result;
    {
        SubfileTransaction t(BLATT);
        result = t.Started() ? FILEMANAGER.DeleteAll(false) : STORE_REFUSED;
        if (result == STORE_DONE)
            result = FILEMANAGER.TakeNewStep();
        if (result == STORE_DONE) {
            BLATT.Clear();
            BLATT.SetInt("TYP", TYP);
            BLATT.SetString("BEZEICHNUNG", BEZEICHNUNG);
            BLATT.SetInt("BEZUGSRAHMEN", BEZUGSRAHMEN);
            BLATT.SetInt("SCHICHTGRUPPENSTAERKE", SCHICHTGRUPPENSTAERKE);
            INFO.ToRecord(BLATT);
            BLATT.SetInt("LETZTEAENDERUNG", DateToday());
            FILEMANAGER.PrimeKey();
            if (FileAdd(BLATT) != ERR_NONE)
                result = STORE_REFUSED;
        }
        if (result == STORE_DONE)
            result = FILEMANAGER.Compact();
        result = t.Finish(result);
    }
    if (result != STORE_DONE)
        FILEMANAGER.SetStepState(before);
    for (ISavable* part : parts_)
        if (part->Save() != STORE_DONE)
            result = STORE_REFUSED;
    return result;
}

uint8_t CArbeitsblatt::Load(bool fromStart)
{
    uint8_t result = FILEMANAGER.load(fromStart);
    if (result == STORE_DONE) {
        TYP = BLATT.GetInt("TYP") == ARBEITSBLATT_FLEX ? ARBEITSBLATT_FLEX : ARBEITSBLATT_AZ;
        BEZEICHNUNG = BLATT.GetString("BEZEICHNUNG");
        BEZUGSRAHMEN = static_cast<int32_t>(BLATT.GetInt("BEZUGSRAHMEN"));
        SCHICHTGRUPPENSTAERKE = static_cast<int32_t>(BLATT.GetInt("SCHICHTGRUPPENSTAERKE"));
        INFO.FromRecord(BLATT);
    }
    SetBezugsrahmen(BEZUGSRAHMEN, true);
    SetSchichtgruppenstaerke(SCHICHTGRUPPENSTAERKE, true);
    for (ISavable* part : parts_)
        if (part->Load(true) != STORE_DONE)
            result = STORE_REFUSED;
    return result;
}

uint8_t CArbeitsblatt::DeleteAllSteps()
{
    uint8_t result = FILEMANAGER.DeleteAll(false);
    for (ISavable* part : parts_)
        if (part->DeleteAllSteps() != STORE_DONE)
            result = STORE_REFUSED;
    return result;
}

int32_t CArbeitsblatt::CountInstances()
{
    return FILEMANAGER.countInstances();
}

void RegisterArbeitsblatt()
{
    SetArbeitsblattFactory([]() -> std::unique_ptr<CArbeitsblattBase> { return std::make_unique<CArbeitsblatt>(); });
}
