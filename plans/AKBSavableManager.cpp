#include "plans/AKBSavableManager.h"

#include "core/Files.h"
#include "plans/AKBData.h"

void CAKBSavableManager::DefineSubfile(CSubfileManager* parent)
{
    FileManager().Init("Arbeitskraeftebedarf", ::AKB, parent);
}

uint8_t CAKBSavableManager::ResetData()
{
    AKB.Clear();
    AKB.ResetWeeks(1);
    return STORE_DONE;
}

void CAKBSavableManager::ClearData() { AKB.Clear(); }

uint8_t CAKBSavableManager::TakeRecord()
{
    CAKBEintrag span;
    span.TERMIN.BEGINN = uint32_t(::AKB.GetInt("BEGINN"));
    span.TERMIN.ENDE = uint32_t(::AKB.GetInt("ENDE"));
    span.ANZAHL = uint8_t(::AKB.GetInt("ANZAHL"));
    AKB.AppendLoaded(span);
    return STORE_DONE;
}

uint8_t CAKBSavableManager::PutRecord(int n)
{
    const CAKBEintrag* span = AKB.GetByIndex(n);
    if (!span)
        return STORE_REFUSED;
    ::AKB.SetInt("BEGINN", span->TERMIN.BEGINN);
    ::AKB.SetInt("ENDE", span->TERMIN.ENDE);
    ::AKB.SetInt("ANZAHL", span->ANZAHL);
    return STORE_DONE;
}

void CAKBSavableManager::AfterLoad() { AKB.AfterLoad(); }
