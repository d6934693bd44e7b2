#include "core/ProjektInfo.h"

#include "core/Files.h"
#include "core/ProjektDialogs.h"
#include "core/ProjektFileManager.h"
#include "platform/fw/FwWindow.h"

// The INFO record buffer is shared by the whole program; the sub-file's saved copy always holds
// the record of the current step, so that whatever was left in the buffer (a cancelled dialog)
// never reaches the file.

CProjektInfo::CProjektInfo() = default;
CProjektInfo::~CProjektInfo() = default;

int CProjektInfo::Edit()
{
    FILEMANAGER.RestoreRecord();
    if (UpdateProjektinfo(*this) == RESPONSE_COMPLETED) {
        FILEMANAGER.SaveRecord();
        StoreStep();
    } else {
        FILEMANAGER.RestoreRecord();
    }
    return 0;
}

void CProjektInfo::RefreshTree(int level, CTree& tree)
{
    tree.AddEntry(*this, level, GetText(), GetIcon());
}

uint8_t CProjektInfo::TakeRequest(int request, const std::string&)
{
    if (request == TREE_OPEN)
        return static_cast<uint8_t>(Edit());
    return STORE_REFUSED;
}

uint8_t CProjektInfo::Init(CProjektFileManager& fileManager, CSubfileManager* parent)
{
    FILEMANAGER.Init("Projektinfo", INFO, parent);
    return fileManager.Register(FILEMANAGER, *this);
}

void CProjektInfo::Release(CProjektFileManager& fileManager)
{
    fileManager.Unregister(FILEMANAGER, *this);
    FILEMANAGER.Release();
}

uint8_t CProjektInfo::StoreStep()
{
    if (!FILEMANAGER.File())
        return STORE_REFUSED;
    const auto before = FILEMANAGER.GetStepState();
    uint8_t result = FILEMANAGER.TakeNewStep();
    if (result == STORE_DONE) {
        FILEMANAGER.PrimeKey();
        if (FileAdd(INFO) != ERR_NONE)
            result = STORE_REFUSED;
    }
    if (result != STORE_DONE)
        FILEMANAGER.SetStepState(before);
    else
        FILEMANAGER.SaveRecord();
    return result;
}

bool CProjektInfo::CanUndo(int n)
{
    return FILEMANAGER.CanUndo(n);
}

bool CProjektInfo::CanRedo(int n)
{
    return FILEMANAGER.CanRedo(n);
}

uint8_t CProjektInfo::Undo(int n)
{
    if (!FILEMANAGER.CanUndo(n))
        return STORE_REFUSED;
    FILEMANAGER.StepBack(n);
    uint8_t result = FILEMANAGER.fetch();
    if (result == STORE_DONE)
        FILEMANAGER.SaveRecord();
    else
        FILEMANAGER.StepForward(n);
    return result;
}

uint8_t CProjektInfo::Redo(int n)
{
    if (!FILEMANAGER.CanRedo(n))
        return STORE_REFUSED;
    FILEMANAGER.StepForward(n);
    uint8_t result = FILEMANAGER.fetch();
    if (result == STORE_DONE)
        FILEMANAGER.SaveRecord();
    else
        FILEMANAGER.StepBack(n);
    return result;
}

uint8_t CProjektInfo::ResetNew()
{
    INFO.Clear();
    return StoreStep();
}

uint8_t CProjektInfo::Save()
{
    if (!FILEMANAGER.File())
        return STORE_REFUSED;
    FILEMANAGER.RestoreRecord();
    if (FILEMANAGER.FetchKeep() != STORE_DONE)
        return STORE_REFUSED;
    return FILEMANAGER.Compact();
}

uint8_t CProjektInfo::Load(bool fromStart)
{
    return FILEMANAGER.load(fromStart);
}

uint8_t CProjektInfo::DeleteAllSteps()
{
    return FILEMANAGER.DeleteAll(false);
}

int32_t CProjektInfo::CountInstances()
{
    return FILEMANAGER.countInstances();
}
