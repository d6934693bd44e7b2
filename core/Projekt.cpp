#include "core/Projekt.h"

#include <filesystem>

#include "core/Utilities.h"
#include "platform/values/Locale.h"

namespace {
// The last `chars` characters.
std::string Utf8Suffix(const std::string& s, size_t chars)
{
    size_t skip = Utf8Length(s) - std::min(chars, Utf8Length(s));
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == skip)
                return s.substr(i);
            ++n;
        }
    }
    return {};
}
} // namespace

CProjekt::CProjekt()
    : PROJEKTINFO(std::make_unique<CProjektInfo>())
{
}

CProjekt::~CProjekt()
{
    if (IsOpen())
        Close();
}

uint8_t CProjekt::New(uint8_t type)
{
    FILENAME = kUnbenanntPrj;
    // A fresh working copy of this program alone: a file of that name lying about is never read,
    // and another program's new project never shares it.
    if (FILEMANAGER.OpenNewPrivate(FILENAME) != STORE_DONE) {
        // The reason stays for the caller's message.
        const int code = ErrorCode();
        const std::string file = ErrorFile();
        FILEMANAGER.Close();
        SetError(code, file);
        return STORE_REFUSED;
    }
    PROJEKTINFO->Init(FILEMANAGER, nullptr);
    PROJEKTINFO->ResetNew();
    AddArbeitsblatt(type);
    FILEMANAGER.ClearChanged();
    KILLED = 0;
    return STORE_DONE;
}

uint8_t CProjekt::Load()
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FILENAME, ec))
        return STORE_REFUSED;
    if (FILEMANAGER.Open(FILENAME) != STORE_DONE)
        return STORE_REFUSED;
    PROJEKTINFO->Init(FILEMANAGER, nullptr);
    uint8_t result = PROJEKTINFO->Load(true);
    ARBEITSBLAETTER.clear();
    // The first worksheet tells how many are stored; each further one is the next sub-file.
    int32_t count = 1;
    for (int32_t i = 1; i <= count; ++i) {
        std::unique_ptr<CArbeitsblattBase> sheet = CreateArbeitsblatt();
        if (!sheet) {
            result = STORE_REFUSED;
            break;
        }
        CArbeitsblattBase& s = *sheet;
        ARBEITSBLAETTER.push_back(std::move(sheet));
        if (s.Init(FILEMANAGER, nullptr) != STORE_DONE) {
            result = STORE_REFUSED;
            break;
        }
        // A worksheet that did not load is no project of ours to show.
        if (s.Load(i == 1) != STORE_DONE)
            result = STORE_REFUSED;
        if (i == 1)
            count = s.CountInstances();
    }
    if (count < 1)
        result = STORE_REFUSED;
    // A project that cannot be read whole is never opened in part.
    for (const CSubfileManager* sub : FILEMANAGER.Subfiles())
        if (sub->LoadFailed())
            result = STORE_REFUSED;
    FILEMANAGER.LoadIDCounter();
    KILLED = 0;
    if (result != STORE_DONE && ErrorCode() == ERR_NONE)
        SetError(ERR_INVALID_FILE, FILENAME);
    return result;
}

uint8_t CProjekt::Save()
{
    uint8_t result = FILEMANAGER.Save(FILENAME, false);
    for (auto& sheet : ARBEITSBLAETTER)
        sheet->UpdateButtons();
    return result;
}

void CProjekt::Close()
{
    PROJEKTINFO->Release(FILEMANAGER);
    while (!ARBEITSBLAETTER.empty())
        RemoveArbeitsblatt(1, false);
    FILEMANAGER.Close();
    KILLED = 1;
}

bool CProjekt::IsUnnamed() const
{
    // The name the dialog returns carries its directory; the name itself decides.
    return SplitPath(Clip(FILENAME)).name == kUnbenanntPrj;
}

void CProjekt::SetFileName(const std::string& name)
{
    std::string clipped = Clip(name);
    bool hasExtension = Utf8Length(clipped) >= 4 && LocaleEqualNoCase(Utf8Suffix(clipped, 4), ".prj");
    FILENAME = hasExtension ? clipped : clipped + ".prj";
}

CArbeitsblattBase* CProjekt::AddArbeitsblatt(uint8_t type)
{
    std::unique_ptr<CArbeitsblattBase> sheet = CreateArbeitsblatt();
    if (!sheet)
        return nullptr;
    CArbeitsblattBase& s = *sheet;
    if (s.Init(FILEMANAGER, nullptr) != STORE_DONE) {
        s.Release(FILEMANAGER);
        return nullptr;
    }
    ARBEITSBLAETTER.push_back(std::move(sheet));
    s.ResetNew();
    s.SetTyp(type);
    return &s;
}

void CProjekt::RemoveArbeitsblatt(int32_t index, bool deleteData)
{
    if (index < 1 || index > CountArbeitsblaetter())
        return;
    auto it = ARBEITSBLAETTER.begin() + (index - 1);
    if (deleteData)
        (*it)->DeleteAllSteps();
    (*it)->Release(FILEMANAGER);
    ARBEITSBLAETTER.erase(it);
}

CArbeitsblattBase* CProjekt::GetArbeitsblatt(int32_t index) const
{
    if (index < 1 || index > CountArbeitsblaetter())
        return nullptr;
    return ARBEITSBLAETTER[static_cast<size_t>(index - 1)].get();
}

int32_t CProjekt::IndexOf(const CArbeitsblattBase* sheet) const
{
    for (size_t i = 0; i < ARBEITSBLAETTER.size(); ++i)
        if (ARBEITSBLAETTER[i].get() == sheet)
            return static_cast<int32_t>(i + 1);
    return 0;
}

std::string CProjekt::GetText()
{
    std::string name = Clip(FILENAME);
    if (Utf8Length(name) < 30)
        return "Varn 4-Projekt " + name;
    return "Varn 4-Projekt ..." + Utf8Suffix(name, 30);
}

int32_t CProjekt::CountEntries()
{
    int32_t n = 1;
    for (auto& sheet : ARBEITSBLAETTER)
        n += sheet->CountEntries();
    return n;
}

void CProjekt::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
    PROJEKTINFO->RefreshTree(level + 1, tree);
    for (auto& sheet : ARBEITSBLAETTER)
        sheet->RefreshTree(level + 1, tree);
}

uint8_t CProjekt::TakeRequest(int request, const std::string&)
{
    TREESTDBEHAVIOUR.TakeRequest(request);
    return STORE_REFUSED;
}
